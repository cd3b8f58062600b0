"""Figures of long runs, as the Unix side sees Wine's processes: the
resident size (VmRSS) and its anonymous part (RssAnon, where a Windows heap
lives) from /proc. They are what Wine itself reports: its working set is
VmRSS and its pagefile usage RssAnon plus swap; its handle, GDI and USER
counts are stubs, so nothing more can be watched here.

Three phases in one prefix, each followed by a look for leftovers:
  1. the show (/s) for the given minutes with an MP3 of a few seconds as
     music, which the host's keep-alive restarts whenever it ends; the host,
     the renderer, Wine's desktop process and the wineserver sampled every
     10 s; growth is the least-squares slope over the samples after the first
     minute, per hour;
  2. 200 previews: startup_probe plays the display settings, starting the
     host with /p into a 152 x 112 pane and ending it with TerminateProcess
     once its window is in;
  3. 50 opens and closes of the settings dialog (/c, closed through its
     system menu's close as a user closes it)."""

import os
import re
import shutil
import subprocess
import sys
import time

import harness
from test_saver import make_tone, write_settings

RENDERER_TITLE = "ぬめらぼ_VC"
DIALOG_CAPTION = "<ぬめらぼ>"
SAMPLE_SECONDS = 10
PREVIEWS = 200
DIALOGS = 50
TONE_SECONDS = 8
# Wine's own processes of a prefix; anything else still running after a
# phase is a leftover.
WINE_OWN = ("wineserver", "wineserver64", "services.exe", "winedevice.exe", "plugplay.exe", "explorer.exe", "rpcss.exe",
            "svchost.exe", "conhost.exe", "start.exe")


def program_of(cmdline):
    """The program's file name in a command line: Wine shows a Unix path for
    a process started from Unix, a Windows one for the rest."""
    m = re.search(r'([^\\/"]+?\.(?:exe|scr|dll))(?=[\s"]|$)', cmdline, re.I)
    return (m.group(1) if m else cmdline.split(" ")[0].rsplit("/", 1)[-1]).lower()


def find(prefix, name):
    """The pid of the prefix's process whose program name starts with name
    (wineserver is wineserver64 on some builds), or None."""
    for pid, cmdline in prefix.unix_processes().items():
        if program_of(cmdline).startswith(name.lower()):
            return pid
    return None


def leftovers(prefix):
    return sorted(cmd for cmd in prefix.unix_processes().values() if program_of(cmd) not in WINE_OWN)


def memory(pid):
    """(VmRSS, RssAnon) in KiB, or None once the process has gone."""
    values = {}
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                key, _, rest = line.partition(":")
                if key in ("VmRSS", "RssAnon"):
                    values[key] = int(rest.split()[0])
    except (OSError, TypeError):
        return None
    return (values["VmRSS"], values["RssAnon"]) if len(values) == 2 else None


def load():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def slope_per_hour(points):
    """Least-squares slope of (seconds, KiB) points, in MiB per hour."""
    if len(points) < 2:
        return float("nan")
    tm = sum(t for t, _ in points) / len(points)
    vm = sum(v for _, v in points) / len(points)
    den = sum((t - tm) ** 2 for t, _ in points)
    return sum((t - tm) * (v - vm) for t, v in points) / den * 3600 / 1024 if den else float("nan")


def mib(kib):
    return "%7.1f" % (kib / 1024.0) if kib is not None else "      -"


class Track:
    """Samples of a few processes of a prefix, by role (role -> program
    name); each role is the first process of that name seen in the phase."""

    def __init__(self, prefix, roles):
        self.prefix = prefix
        self.names = roles
        self.pids = {role: None for role in roles}
        self.samples = {role: [] for role in roles}
        self.loads = []
        self.music = []  # (seconds, captured bytes)
        self.t0 = time.time()

    def sample(self):
        t = time.time() - self.t0
        for role, name in self.names.items():
            if self.pids[role] is None:
                self.pids[role] = find(self.prefix, name)
            m = memory(self.pids[role])
            if m:
                self.samples[role].append((t, m))
        self.loads.append(load())
        self.music.append((t, harness.capture_size(self.prefix)))

    def print_table(self, unit=None, after=60.0):
        """One line per process, the growth from the samples after the first
        `after` seconds; unit = (name, seconds each) adds the growth per 100
        of those, from the same slope."""
        extra = "  MiB/100 %s" % unit[0] if unit else ""
        print("  %-24s %7s %7s %7s %7s %9s   %7s %7s %9s%s" % (
            "process (MiB)", "start", "%d s" % after, "end", "max", "MiB/hour", "anon@", "anon", "MiB/hour", extra))
        for role, samples in self.samples.items():
            if not samples:
                print("  %-24s (not seen)" % role)
                continue
            late = [s for s in samples if s[0] >= samples[0][0] + after] or samples[-1:]
            rss = slope_per_hour([(t, m[0]) for t, m in late])
            anon = slope_per_hour([(t, m[1]) for t, m in late])
            line = "  %-24s %s %s %s %s %9.2f   %s %s %9.2f" % (
                role, mib(samples[0][1][0]), mib(late[0][1][0]), mib(samples[-1][1][0]),
                mib(max(m[0] for _, m in samples)), rss, mib(late[0][1][1]), mib(samples[-1][1][1]), anon)
            if unit:
                line += "  %9.2f" % (rss * unit[1] / 36.0)
            print(line)
        if self.loads:
            print("  load average (1 min) during the phase: mean %.2f, max %.2f" % (
                sum(self.loads) / len(self.loads), max(self.loads)))


def report_leftovers(prefix, phase):
    left = harness.wait_for(lambda: not leftovers(prefix), timeout=10)
    print("  left over after the %s: %s" % (phase, "nothing" if left else "; ".join(leftovers(prefix))))


def show_phase(prefix, folder, minutes):
    os.makedirs(prefix.c("Music"))
    make_tone(prefix.c("Music", "soak.wav"), TONE_SECONDS, 550)
    subprocess.run(["lame", "--quiet", prefix.c("Music", "soak.wav"), prefix.c("Music", "soak.mp3")], check=True)
    write_settings(folder, 2, "C:\\Music\\soak.mp3")
    host = prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
    window = harness.wait_window(RENDERER_TITLE, timeout=60)
    if not window:
        print("  no renderer window; the show did not start")
        return False
    track = Track(prefix, {"host (ぬめらぼ.scr)": harness.HOST_NAME, "renderer (ぬめらぼ.dll)": harness.RENDERER_NAME,
                           "Wine desktop (explorer)": "explorer.exe", "wineserver": "wineserver"})
    end = time.time() + minutes * 60
    while time.time() < end and host.poll() is None:
        track.sample()
        time.sleep(max(0.0, min(SAMPLE_SECONDS, end - time.time())))
    track.sample()
    seconds = time.time() - track.t0
    # Wine hands sound to the capture faster than it plays, so the capture's
    # length says only whether the music was still going at the end.
    last_minute = [size for t, size in track.music if t >= seconds - 60]
    print("show: %.1f min, %d samples; music captured %.1f MB, %s in the last minute%s" % (
        seconds / 60, len(track.loads), track.music[-1][1] / 1e6,
        "still growing" if last_minute[-1] > last_minute[0] else "NOT GROWING",
        "" if host.poll() is None else "; THE HOST ENDED EARLY"))
    track.print_table()
    gone = lambda: window not in harness.find_windows(RENDERER_TITLE)
    harness.hold_key(window, "Escape", until=gone)
    code = harness.wait_exit(host, 20)
    print("  Escape: renderer window %s, host %s" % (
        "gone" if gone() else "STILL THERE", "ended (%d)" % code if code is not None else "STILL RUNNING"))
    report_leftovers(prefix, "show")
    return True


def preview_phase(prefix, folder):
    probe_path = shutil.copy(harness.helper_binary("startup_probe"), folder)
    host = "C:\\Numerabo\\" + harness.HOST_NAME
    probe = prefix.start(probe_path, "preview-cycles", host, str(PREVIEWS), stdout=subprocess.PIPE)
    track = Track(prefix, {"pane (startup_probe)": "startup_probe.exe", "Wine desktop (explorer)": "explorer.exe",
                           "wineserver": "wineserver"})
    counts, embed_ms, cycles = {}, [], 0
    for raw in probe.stdout:
        words = raw.decode("utf-8", "replace").split()
        if words[:1] == ["done"]:
            counts["children left in the pane"] = int(words[2])
            break
        if words[:1] != ["cycle"]:
            continue
        cycles += 1
        counts[words[2]] = counts.get(words[2], 0) + 1
        for flag in ("still-running", "child-left"):
            if flag in words:
                counts[flag] = counts.get(flag, 0) + 1
        if words[2] == "embedded":
            embed_ms.append(int(words[3]))
        # The starts come faster than the show's samples: one every ten.
        if cycles % 10 == 1:
            track.sample()
    track.sample()
    probe.stdout.close()
    harness.wait_exit(probe, 20)
    seconds = time.time() - track.t0
    embed_ms.sort()
    print("previews: %d starts in %.1f min, each ended with TerminateProcess; %s; window in the pane after "
          "%s ms (median)" % (PREVIEWS, seconds / 60, ", ".join("%s %d" % kv for kv in sorted(counts.items())),
                              embed_ms[len(embed_ms) // 2] if embed_ms else "-"))
    track.print_table(("starts", seconds / PREVIEWS), after=0.0)
    report_leftovers(prefix, "previews")


def dialog_phase(prefix, folder):
    write_settings(folder, 0)
    track = Track(prefix, {"Wine desktop (explorer)": "explorer.exe", "wineserver": "wineserver"})
    opened, hosts, failures = 0, [], []
    for i in range(DIALOGS):
        host = prefix.start(os.path.join(folder, harness.HOST_NAME), "/c")
        if not harness.wait_window(DIALOG_CAPTION, timeout=30):
            failures.append("%d: no dialog" % i)
        else:
            opened += 1
            time.sleep(0.5)  # the opening zoom
            m = memory(find(prefix, harness.HOST_NAME))
            if m:
                hosts.append(m)
            prefix.run(harness.helper_binary("settings_poke"), "close", timeout=30)
        code = harness.wait_exit(host, 20)
        if code is None:
            failures.append("%d: the host did not end" % i)
            os.killpg(host.pid, 9)
        track.sample()
    seconds = time.time() - track.t0
    print("settings dialog: %d opens and closes in %.1f min, %d opened%s" % (
        DIALOGS, seconds / 60, opened, "; " + "; ".join(failures) if failures else ""))
    if hosts:
        print("  host with the dialog open (MiB): first %s, last %s, max %s; anon first %s, last %s" % (
            mib(hosts[0][0]).strip(), mib(hosts[-1][0]).strip(), mib(max(h[0] for h in hosts)).strip(),
            mib(hosts[0][1]).strip(), mib(hosts[-1][1]).strip()))
    track.print_table(("dialogs", seconds / DIALOGS), after=0.0)
    report_leftovers(prefix, "dialogs")


def main():
    minutes = float(sys.argv[1]) if len(sys.argv) > 1 else 30.0
    print("soak benchmark: Wine %s, display %s, load average at the start %.2f (%d cores)" % (
        subprocess.run([harness.WINE_LOADER, "--version"], stdout=subprocess.PIPE).stdout.decode().strip(),
        os.environ.get("DISPLAY"), load(), os.cpu_count()))
    print("memory as resident size (RSS) and its anonymous part (anon); growth per hour is the least-squares "
          "slope, for the show after its first minute")
    with harness.WinePrefix("bench-soak") as prefix:
        folder = prefix.install()
        if show_phase(prefix, folder, minutes):
            preview_phase(prefix, folder)
            dialog_phase(prefix, folder)
        try:
            subprocess.run([harness.WINESERVER, "-w"], env=prefix.env(), timeout=30)
            print("the prefix went idle: no process left, the wineserver ended")
        except subprocess.TimeoutExpired:
            print("the prefix did not go idle within 30 s: %s" % "; ".join(prefix.unix_processes().values()))
    print("load average at the end %.2f" % load())


if __name__ == "__main__":
    main()
