"""Figures of saver runs: the benchmark's own build of the host
(saver_bench_host.scr, installed as the host) writes timestamps of its steps
to saver-steps.log beside itself (system time, which Wine takes from the Unix
clock, so they compare with time.time() here); the renderer's window and its
first frame are seen from outside, by title and by screenshots. In the same
run and under the same Wine a trivial GL program (gl_first_frame.exe: a
window, a context, one cleared frame) is started the same way, and the saver's
start is given as a ratio over that floor. Each prefix has Wine's desktop
process before the first program starts, as a user's session has it (and as
the Wine suite gives it): Wine now and then fails to start it in a fresh
prefix, and a program that meets that failure shows no window.

Then the saver is started the way Windows starts an idle one, on the
Screen-saver desktop (through the suite's saver_desktop_start helper), with
no wallpaper, a 3840 x 2160 JPEG and an 8000 x 6000 one (a phone photo's 48
megapixels) filling the 1920 x 1080 screen: the time the stand-in for the
desktop takes is printed beside the capture's own, and the host's peak
memory (the Unix process's peak resident size, VmHWM: Wine reports no
private bytes), measured in the same runs. In the same runs the 8000 x 6000
file is also read and decoded at its full size through the host's own code
(wallpaper_decode.exe), the yardstick of the stand-in's reduced decoding,
and decoded as the stand-in decodes it, timed alone."""

import os
import shutil
import statistics
import subprocess
import sys
import time

import harness
import test_saver

TITLE = "ぬめらぼ_VC"
FILETIME_UNIX_OFFSET = 11644473600.0


def read_trace(path):
    steps = {}
    with open(path, "rb") as f:
        for line in f.read().decode("ascii", "replace").splitlines():
            ticks, _, step = line.strip().partition(" ")
            if ticks.isdigit():
                steps.setdefault(step, int(ticks) / 1e7 - FILETIME_UNIX_OFFSET)
    return steps


def frame_drawn(before, shot_path):
    """True once the renderer's area of the screen differs from the desktop
    that was there before."""
    now = harness.screenshot(shot_path)
    for x, y in ((512, 384), (300, 200), (700, 500)):
        a = now.region_mean(x - 8, y - 8, x + 8, y + 8)
        b = before.region_mean(x - 8, y - 8, x + 8, y + 8)
        if not harness.close_enough(a, b, 16):
            return True
    return False


def one_run(index):
    figures = {}
    with harness.WinePrefix("bench-saver-%d" % index, hold_desktop=True) as prefix:
        folder = prefix.install()
        shutil.copy(os.path.join(harness.WIN64_DIR, "host", "saver_bench_host.scr"),
                    os.path.join(folder, harness.HOST_NAME))
        shot = os.path.join(prefix.path, "shot.png")
        before = harness.screenshot(shot)
        trace = os.path.join(folder, "saver-steps.log")
        t0 = time.time()
        host = prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        window = harness.wait_for(lambda: harness.find_windows(TITLE), timeout=60, interval=0.02)
        t_window = time.time()
        if not window:
            raise RuntimeError("no renderer window")
        harness.wait_for(lambda: frame_drawn(before, shot), timeout=60, interval=0.0)
        t_frame = time.time()
        time.sleep(1.0)
        t_escape = time.time()
        # Held briefly: the renderer reads its key flags once per frame.
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window[0])], check=False)
        subprocess.run(["xdotool", "keydown", "Escape"], check=True)
        time.sleep(0.1)
        subprocess.run(["xdotool", "keyup", "Escape"], check=True)
        while host.poll() is None and time.time() - t_escape < 30:
            time.sleep(0.005)
        t_end = time.time()
        if host.poll() is None:
            raise RuntimeError("the host did not end")
        steps = read_trace(trace)

    ms = lambda a, b: (b - a) * 1000.0
    figures["process start to load handler"] = ms(t0, steps["load"])
    figures["desktop capture"] = ms(steps["load"], steps["captured"])
    figures["desktop check (the capture kept)"] = ms(steps["captured"], steps["stand-in"])
    figures["write C:\\Numerabo1.bmp"] = ms(steps["stand-in"], steps["desktop-saved"])
    figures["write C:\\Numerabo2.bmp"] = ms(steps["desktop-saved"], steps["picture-saved"])
    figures["renderer process start (CreateProcess)"] = ms(steps["picture-saved"], steps["renderer-started"])
    figures["renderer start to its window"] = ms(steps["renderer-started"], t_window)
    figures["window to first frame (context, texture loads, draw)"] = ms(t_window, t_frame)
    figures["total: /s to first frame"] = ms(t0, t_frame)
    figures["Escape to host's watch decision"] = ms(t_escape, steps["renderer-gone"])
    figures["watch decision to end of close handler"] = ms(steps["renderer-gone"], steps["end"])
    figures["total: Escape to end of host"] = ms(t_escape, t_end)
    return figures


WALLPAPER = (3840, 2160)
PHOTO = (8000, 6000)


def make_wallpaper(path):
    """A JPEG of the wallpaper's size with a photograph's detail: gradients
    under noise, so the codec has real work."""
    subprocess.run(["convert", "-size", "%dx%d" % WALLPAPER, "gradient:#d08040-#2050a0", "-attenuate", "0.4",
                    "+noise", "Gaussian", "-quality", "90", path], check=True)


def make_photo(path):
    """A JPEG of a phone photo's size and detail (a gradient under noise),
    written as a PPM into cjpeg: ImageMagick is slow and heavy at this size."""
    w, h = PHOTO
    cjpeg = subprocess.Popen(["cjpeg", "-quality", "90", "-outfile", path], stdin=subprocess.PIPE)
    cjpeg.stdin.write(b"P6 %d %d 255\n" % (w, h))
    for y in range(h):
        base = 40 + 160 * y // h
        cjpeg.stdin.write(os.urandom(w * 3).translate(bytes(min(255, base + i % 16 + (i >> 6) * 12)
                                                            for i in range(256))))
    cjpeg.stdin.close()
    if cjpeg.wait() != 0:
        raise RuntimeError("cjpeg failed")


def host_peak_mib(prefix):
    """Peak resident size of the host's Unix process (not the helper's, whose
    command line names the host too), in MiB."""
    for pid, cmdline in prefix.unix_processes().items():
        if harness.HOST_NAME in cmdline and "saver_desktop_start" not in cmdline:
            with open("/proc/%d/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1]) / 1024.0
    raise RuntimeError("no host process")


def stand_in_run(index, wallpaper):
    """(capture ms, stand-in ms, host's peak MiB, full-size decode ms or
    None) of a start on the Screen-saver desktop with wallpaper (None: a
    solid colour)."""
    with harness.WinePrefix("bench-stand-in-%d" % index, hold_desktop=True) as prefix:
        folder = prefix.install()
        shutil.copy(os.path.join(harness.WIN64_DIR, "host", "saver_bench_host.scr"),
                    os.path.join(folder, harness.HOST_NAME))
        if wallpaper:
            shutil.copy(wallpaper, prefix.c("wall.jpg"))
        if test_saver.set_desktop_look(prefix, "C:\\wall.jpg" if wallpaper else "", "10") != 0:
            raise RuntimeError("the wallpaper could not be set")
        start = prefix.start(os.path.join(harness.WIN64_DIR, "helpers", "saver_desktop_start.exe"), "60",
                             "C:\\Numerabo\\" + harness.HOST_NAME, "/s", stdout=subprocess.PIPE)
        window = harness.wait_window(TITLE, timeout=60)
        if not window:
            raise RuntimeError("no renderer window on the Screen-saver desktop")
        steps = read_trace(os.path.join(folder, "saver-steps.log"))
        peak = host_peak_mib(prefix)
        time.sleep(1.0)
        harness.hold_key(window, "Escape", until=lambda: not harness.find_windows(TITLE))
        start.communicate(timeout=30)
        full = None
        if wallpaper and PHOTO_NAME in wallpaper:
            code, out = prefix.run(os.path.join(harness.WIN64_DIR, "host", "wallpaper_decode.exe"), "C:\\wall.jpg")
            words = dict(line.split() for line in out.splitlines() if line.strip())
            if code != 0 or "full-decode-ms" not in words:
                raise RuntimeError("the full-size decode failed")
            full = (float(words["full-decode-ms"]), words["reduced-decoding"], float(words["reduced-decode-ms"]))
    ms = lambda a, b: (b - a) * 1000.0
    return ms(steps["load"], steps["captured"]), ms(steps["captured"], steps["stand-in"]), peak, full


PHOTO_NAME = "bench-photo.jpg"


def floor_run(index):
    """Milliseconds from starting the trivial GL program to its first frame on
    the screen, measured as the saver's total is."""
    with harness.WinePrefix("bench-floor-%d" % index, hold_desktop=True) as prefix:
        folder = prefix.install(host=False, renderer=False)
        program = shutil.copy(os.path.join(harness.WIN64_DIR, "renderer", "gl_first_frame.exe"), folder)
        shot = os.path.join(prefix.path, "shot.png")
        before = harness.screenshot(shot)
        t0 = time.time()
        prefix.start(program)
        if not harness.wait_for(lambda: frame_drawn(before, shot), timeout=60, interval=0.0):
            raise RuntimeError("the GL program drew no frame")
        return (time.time() - t0) * 1000.0


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    results = [one_run(i) for i in range(runs)]
    floors = [floor_run(i) for i in range(runs)]
    print("saver bench: %d runs, milliseconds (screenshot polling adds up to ~150 ms to the frame figure;" % runs)
    print("the host's watch ticks every 500 ms, which bounds the Escape figure)")
    width = max(len(k) for k in results[0])
    print("%-*s  %s  %8s" % (width, "step", " ".join("%8s" % ("run %d" % (i + 1)) for i in range(runs)), "median"))
    for key in results[0]:
        values = [r[key] for r in results]
        print("%-*s  %s  %8.1f" % (width, key, " ".join("%8.1f" % v for v in values), statistics.median(values)))
    key = "floor: GL program start to first frame"
    print("%-*s  %s  %8.1f" % (width, key, " ".join("%8.1f" % v for v in floors), statistics.median(floors)))
    saver = statistics.median(r["total: /s to first frame"] for r in results)
    print("ratio /s to first frame over the floor (medians): %.2f" % (saver / statistics.median(floors)))

    wallpaper = os.path.join(harness.WINE_WORK, "bench-wallpaper.jpg")
    make_wallpaper(wallpaper)
    photo = os.path.join(harness.WINE_WORK, PHOTO_NAME)
    make_photo(photo)
    cases = [("no wallpaper (the colour alone)", None),
             ("%d x %d JPEG (%.1f MB)" % (WALLPAPER + (os.path.getsize(wallpaper) / 1e6,)), wallpaper),
             ("%d x %d JPEG (%.1f MB)" % (PHOTO + (os.path.getsize(photo) / 1e6,)), photo)]
    runs_of = {label: [stand_in_run(i, path) for i in range(runs)] for label, path in cases}
    print()
    print("idle start on the Screen-saver desktop, the wallpaper filling the 1920 x 1080 screen:")
    median = {}
    for label, _ in cases:
        print(label)
        for i, name in enumerate(("  desktop capture (ms)", "  stand-in: values, read, decode, draw (ms)",
                                  "  host's peak resident size (MiB)")):
            values = [r[i] for r in runs_of[label]]
            median[label, i] = statistics.median(values)
            print("%-*s  %s  %8.1f" % (width, name, " ".join("%8.1f" % v for v in values), median[label, i]))
    none, large, huge = (label for label, _ in cases)
    fulls = [r[3][0] for r in runs_of[huge]]
    print("%-*s  %s  %8.1f" % (width, "full-size read and decode of the 8000 x 6000 JPEG (ms)",
                               " ".join("%8.1f" % v for v in fulls), statistics.median(fulls)))
    reduced = [r[3][2] for r in runs_of[huge]]
    print("%-*s  %s  %8.1f" % (width, "its reduced decode alone (ms)",
                               " ".join("%8.1f" % v for v in reduced), statistics.median(reduced)))
    print("reduced decoding of that JPEG here (the codec's own, else the host's for baseline JPEG): %s"
          % runs_of[huge][0][3][1])
    for label in (large, huge):
        print("stand-in, %s: %.0f ms beside a capture of %.0f ms (target: at most 250 ms)"
              % (label, median[label, 1], median[label, 0]))
    print("stand-in of the 8000 x 6000 JPEG over its full-size decode (medians): %.2f (target: at most 0.25)"
          % (median[huge, 1] / statistics.median(fulls)))
    print("host's peak memory with the 8000 x 6000 JPEG over none: %+.1f MiB (target: at most +64)"
          % (median[huge, 2] - median[none, 2]))


if __name__ == "__main__":
    main()
