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
megapixels) filling the 1920 x 1080 screen: the stand-in for the desktop
decodes them with the platform's codec, which under Wine decodes a JPEG only
whole. The stand-in's time is printed beside the capture's own and beside
Wine's codec alone decoding the same file whole in the same prefix
(wallpaper_decode.exe, the yardstick: the stand-in's own work on top of the
codec's is their difference); the host's peak memory (the Unix process's
peak resident size, VmHWM: Wine reports no private bytes) beside the size of
the picture decoded at 4 bytes a pixel and beside the memory the yardstick's
decode took. Last, an 8000 x 6000 picture
through the test suite's codec, which decodes at 1/2, 1/4 and 1/8 as
Windows' JPEG codec does: the stand-in's time and the copies of pixels the
codec was asked for."""

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
    """{figure: value} of a start on the Screen-saver desktop with wallpaper
    (None: a solid colour; a ".nrd" file: through the tests' reducing
    codec): "capture" and "stand-in" (ms), "peak" (the host's, MiB); for a
    JPEG "codec" (Wine's codec decoding it whole, ms), "decoded" (its bytes,
    MiB) and "codec-peak" (the memory that decode took, MiB); for the
    reducing codec "copies" (its log's lines)."""
    figures = {}
    with harness.WinePrefix("bench-stand-in-%d" % index, hold_desktop=True) as prefix:
        folder = prefix.install()
        shutil.copy(os.path.join(harness.WIN64_DIR, "host", "saver_bench_host.scr"),
                    os.path.join(folder, harness.HOST_NAME))
        reducing = bool(wallpaper) and wallpaper.endswith(".nrd")
        name = "C:\\wall.nrd" if reducing else "C:\\wall.jpg" if wallpaper else ""
        if reducing and test_saver.register_reducing_codec(prefix) != 0:
            raise RuntimeError("the reducing codec could not be registered")
        if wallpaper:
            shutil.copy(wallpaper, prefix.c(name[3:]))
        if test_saver.set_desktop_look(prefix, name, "10") != 0:
            raise RuntimeError("the wallpaper could not be set")
        start = prefix.start(os.path.join(harness.WIN64_DIR, "helpers", "saver_desktop_start.exe"), "60",
                             "C:\\Numerabo\\" + harness.HOST_NAME, "/s", stdout=subprocess.PIPE)
        window = harness.wait_window(TITLE, timeout=60)
        if not window:
            raise RuntimeError("no renderer window on the Screen-saver desktop")
        steps = read_trace(os.path.join(folder, "saver-steps.log"))
        figures["peak"] = host_peak_mib(prefix)
        time.sleep(1.0)
        harness.hold_key(window, "Escape", until=lambda: not harness.find_windows(TITLE))
        start.communicate(timeout=30)
        if reducing:
            copies = []
            if os.path.exists(prefix.c("reducing_codec.log")):
                with open(prefix.c("reducing_codec.log")) as f:
                    copies = f.read().splitlines()
            figures["copies"] = len(copies)
            figures["copied"] = "; ".join(copies)
        elif wallpaper:
            code, out = prefix.run(os.path.join(harness.WIN64_DIR, "host", "wallpaper_decode.exe"), name)
            words = dict(line.split() for line in out.splitlines() if line.strip())
            if code != 0 or "codec-decode-ms" not in words:
                raise RuntimeError("Wine's codec could not decode the file")
            figures["codec"] = float(words["codec-decode-ms"])
            figures["decoded"] = int(words["codec-decoded-bytes"]) / 1048576.0
            figures["codec-peak"] = int(words["codec-peak-added-bytes"]) / 1048576.0
    figures["capture"] = (steps["captured"] - steps["load"]) * 1000.0
    figures["stand-in"] = (steps["stand-in"] - steps["captured"]) * 1000.0
    return figures


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
    reduced = os.path.join(harness.WINE_WORK, "bench-photo.nrd")
    test_saver.write_reducing_picture(reduced, PHOTO, test_saver.QUARTERS)
    cases = [("no wallpaper (the colour alone)", None),
             ("%d x %d JPEG (%.1f MB), Wine's codec" % (WALLPAPER + (os.path.getsize(wallpaper) / 1e6,)), wallpaper),
             ("%d x %d JPEG (%.1f MB), Wine's codec" % (PHOTO + (os.path.getsize(photo) / 1e6,)), photo),
             ("%d x %d picture, the tests' codec that decodes at 1/2, 1/4, 1/8" % PHOTO, reduced)]
    runs_of = {label: [stand_in_run(i, path) for i in range(runs)] for label, path in cases}
    rows = [("capture", "  desktop capture (ms)"),
            ("stand-in", "  stand-in: values, read, decode, scale, draw (ms)"),
            ("codec", "  Wine's codec alone decoding the file whole (ms)"),
            ("copies", "  CopyPixels calls the codec saw"),
            ("peak", "  host's peak resident size (MiB)"),
            ("decoded", "  the picture decoded whole, w * h * 4 (MiB)"),
            ("codec-peak", "  memory Wine's codec alone took for it (MiB)")]
    print()
    print("idle start on the Screen-saver desktop, the wallpaper filling the 1920 x 1080 screen:")
    median = {}
    for label, _ in cases:
        print(label)
        for key, name in rows:
            if key not in runs_of[label][0]:
                continue
            values = [r[key] for r in runs_of[label]]
            median[label, key] = statistics.median(values)
            print("%-*s  %s  %8.1f" % (width, name, " ".join("%8.1f" % v for v in values), median[label, key]))
    none, large, huge, reducing = (label for label, _ in cases)
    for label, size in ((large, WALLPAPER), (huge, PHOTO)):
        print("%d x %d JPEG: stand-in %.0f ms over Wine's decode %.0f ms (medians): %.2f (target: at most 1.25)"
              % (size + (median[label, "stand-in"], median[label, "codec"],
                         median[label, "stand-in"] / median[label, "codec"])))
    for label, size in ((large, WALLPAPER), (huge, PHOTO)):
        print("%d x %d JPEG: host's peak %.1f MiB, %+.1f MiB over none, beside the picture decoded %.1f MiB"
              " and Wine's codec alone %+.1f MiB (medians)"
              % (size + (median[label, "peak"], median[label, "peak"] - median[none, "peak"],
                         median[label, "decoded"], median[label, "codec-peak"])))
    print("%d x %d through the reducing codec: stand-in %.0f ms, %s copy call(s) of pixels (target: one): %s"
          % (PHOTO + (median[reducing, "stand-in"], " ".join("%d" % r["copies"] for r in runs_of[reducing]),
                      runs_of[reducing][0]["copied"])))


if __name__ == "__main__":
    main()
