"""Shared machinery of the Wine suite.

A test gets a fresh Wine prefix copied from the prepared template (Japanese
locale, fonts, an ALSA file device that captures what Wine plays), installs
the programs into it, starts them as separate processes and watches them the
way a user and the platform do: windows by title, files on drive C:, keys,
screenshots and captured audio.

The same tests run against either build. NUMERABO_ARCH picks it: x86_64
(the default) runs natively under 64-bit Wine; i686 runs the 32-bit programs
under 32-bit Wine emulated by qemu-i386 (scripts/i686-wine.sh), in a 32-bit
prefix, with more patience for the slower start-up. Under i686 only the
tests marked with @both_arches run (all of them with NUMERABO_ALL_CASES=1);
the others report themselves skipped.

The system's ANSI code page is a parameter too: NUMERABO_CODEPAGE 932 (the
default: a Japanese system), 1252 (a Western one: Wine in a C.UTF-8 locale)
or 65001 (Windows' UTF-8 option: the host built with a manifest that asks for
it). Under 1252 and 65001 only the tests marked @code_pages run.

Each test file runs on an X display of its own (OwnDisplay, started by
run_file.py), so that several files can run side by side: windows, pointer,
keyboard focus and screenshots are then the file's alone. Its prefixes are
the run's own too (WINE_WORK/run/<run>/...), for the same file runs under
each architecture and code page, perhaps at the same time.

Environment (set by ctest): NUMERABO_ARCH, NUMERABO_CODEPAGE, NUMERABO_SOURCE_DIR,
NUMERABO_WIN64_DIR, NUMERABO_WIN32_DIR, NUMERABO_WINE_WORK; from
scripts/test.sh: NUMERABO_PATIENCE, a factor on every wait's limit for a
machine loaded by tests running side by side, and NUMERABO_SHARED_DISPLAY=1
with DISPLAY for the one display of a run that takes the files one at a time.
"""

import os
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

WINESERVER = "/usr/lib/wine/wineserver"

SOURCE_DIR = os.environ.get("NUMERABO_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
WINE_WORK = os.environ.get("NUMERABO_WINE_WORK", os.path.join(SOURCE_DIR, "build", "native", "wine"))
ARCH = os.environ.get("NUMERABO_ARCH", "x86_64")
CODEPAGE = os.environ.get("NUMERABO_CODEPAGE", "932")
# Which of a file's runs this is: its prefixes' folder below WINE_WORK/run.
RUN_NAME = ARCH + "-cp" + CODEPAGE
# Tests running side by side share the cores: every wait may take longer.
LOAD_PATIENCE = max(1.0, float(os.environ.get("NUMERABO_PATIENCE") or 1))
# The Unix locale that gives Wine each ANSI code page. Under 65001 Wine keeps
# 932 for the system and the host's manifest turns its own process to UTF-8.
LOCALES = {"932": "ja_JP.UTF-8", "1252": "C.UTF-8", "65001": "ja_JP.UTF-8"}


class Arch:
    """What running one build takes: its build folder, the command that
    starts a Windows program, its prepared prefix, and how much longer than
    native every wait may take."""

    def __init__(self, name, build_env, loader, template, patience):
        self.name = name
        self.build_dir = os.environ.get(build_env, os.path.join(SOURCE_DIR, "build", name))
        self.loader = loader
        self.template = os.path.join(WINE_WORK, template)
        self.patience = patience * LOAD_PATIENCE


ARCHES = {
    "x86_64": Arch("x86_64", "NUMERABO_WIN64_DIR", ["/usr/lib/wine/wine64"], "template", 1.0),
    "i686": Arch("i686", "NUMERABO_WIN32_DIR", [os.path.join(SOURCE_DIR, "scripts", "i686-wine.sh")],
                 "template-i686", 3.0),
}
RUN = ARCHES[ARCH]
WIN64_DIR = ARCHES["x86_64"].build_dir
WINE_LOADER = RUN.loader[0]
TEMPLATE = RUN.template
# Long enough for the renderer to draw a frame and look at its keys.
FRAME = 0.3 if ARCH == "x86_64" else 1.2


def both_arches(test):
    """Marks a test method or class to run on the 32-bit build as well."""
    test.numerabo_both_arches = True
    return test


def code_pages(test):
    """Marks a test method or class to run under code pages 1252 and 65001 as well."""
    test.numerabo_code_pages = True
    return test


_unavailable = []


def unavailable_reason():
    """Why this build cannot run here, or None; asked once."""
    if ARCH == "x86_64":
        return None
    if not _unavailable:
        r = subprocess.run([RUN.loader[0], "--check"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        _unavailable.append(r.stdout.decode("utf-8", "replace").strip() or "check failed" if r.returncode else None)
    return _unavailable[0]


HOST_NAME = "ぬめらぼ.scr"
RENDERER_NAME = "ぬめらぼ.dll"
SETTINGS_NAME = "ぬめらぼ.ini"


# Tools whose printed output a test reads run in the C locale: in a Japanese
# shell objdump, for one, reports "ファイル形式" instead of "file format".
C_LOCALE = dict(os.environ, LC_ALL="C", LANGUAGE="")


def host_binary(codepage=None):
    if (codepage or CODEPAGE) == "65001":
        return os.path.join(RUN.build_dir, "helpers", "utf8_host.scr")
    return os.path.join(RUN.build_dir, "host", HOST_NAME)


def renderer_binary():
    return os.path.join(RUN.build_dir, "renderer", RENDERER_NAME)


def helper_binary(name):
    """A test helper program built from tests/wine/helpers/<name>.cpp."""
    return os.path.join(RUN.build_dir, "helpers", name + ".exe")


def sjis(text):
    return text.encode("cp932")


class WinePrefix:
    """A private copy of the template prefix, removed again by close().

    Use as a context manager; every process started through it is killed at
    the end together with the prefix's wineserver.
    """

    def __init__(self, name, template=TEMPLATE, hold_desktop=False):
        if not os.path.isfile(os.path.join(template, ".numerabo-ready")):
            raise RuntimeError("no prepared Wine prefix at %s (run scripts/test.sh)" % template)
        self.path = os.path.join(WINE_WORK, "run", RUN_NAME, name)
        if os.path.exists(self.path):
            self._kill_server()
            shutil.rmtree(self.path)
        os.makedirs(os.path.dirname(self.path), exist_ok=True)
        copy_prefix(template, self.path)
        self.home = os.path.join(self.path, "home")
        # The template's .asoundrc names the template's capture file.
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write(asoundrc(self.capture_path))
        self.drive_c = os.path.join(self.path, "drive_c")
        self.processes = []
        # With hold_desktop, the first program started finds Wine's desktop
        # process already running (see hold_desktop()).
        self.holds_desktop = hold_desktop
        self.keeper = None

    # -- environment and paths -------------------------------------------
    @property
    def capture_path(self):
        return os.path.join(self.path, "home", "capture.raw")

    def env(self, codepage=None, **extra):
        """The environment of a program run in this prefix, under the run's
        code page or the one given."""
        env = dict(os.environ)
        locale = LOCALES[codepage or CODEPAGE]
        env.update({
            "WINEPREFIX": self.path,
            "HOME": self.home,
            "LANG": locale,
            "LC_ALL": locale,
            # The 32-bit loader (scripts/i686-wine.sh) takes it from here.
            "NUMERABO_WINE_LOCALE": locale,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        })
        env.update(extra)
        return env

    def c(self, *parts):
        """Unix path of C:\\<parts>."""
        return os.path.join(self.drive_c, *parts)

    def disable_sound(self):
        """Points the default sound device at a card that does not exist, so
        that Wine finds no wave output."""
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type hw card 99 }\nctl.!default { type hw card 99 }\n")

    def install(self, folder=("Numerabo",), host=True, renderer=True, codepage=None):
        """Copies the programs into C:\\<folder...>; returns the Unix folder.
        The host is the one built for the run's code page, or codepage's."""
        dest = self.c(*folder) if folder else self.drive_c
        os.makedirs(dest, exist_ok=True)
        if host:
            shutil.copy(host_binary(codepage), os.path.join(dest, HOST_NAME))
        if renderer:
            shutil.copy(renderer_binary(), os.path.join(dest, RENDERER_NAME))
        return dest

    # -- processes ----------------------------------------------------------
    def start(self, program, *args, cwd=None, env=None, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL):
        """Starts a Windows program (a Unix path) under Wine; returns the Popen.
        The suite's helper programs (*.exe) are instruments, not what is
        tested: they always run on a Japanese system.
        A file name as stderr sends the program's standard error to that file
        in the prefix's folder (the Popen's stderr_path), to be read once the
        program has ended: a pipe that nobody reads can fill up and stop the
        program, and it is left open."""
        if self.holds_desktop and self.keeper is None:
            self.hold_desktop()
        if env is None:
            env = self.env(codepage="932" if program.lower().endswith(".exe") else None)
        p = self._launch(program, args, cwd or os.path.dirname(program), env, stdout, stderr)
        self.processes.append(p)
        return p

    def _launch(self, program, args, cwd, env, stdout, stderr):
        """The Popen of a Windows program under Wine, in a session of its own;
        stderr as start() takes it."""
        stderr_path = os.path.join(self.path, stderr) if isinstance(stderr, str) else None
        err = open(stderr_path, "wb") if stderr_path else stderr
        try:
            p = subprocess.Popen([*RUN.loader, program, *args], cwd=cwd, env=env, stdout=stdout, stderr=err,
                                 start_new_session=True)
        finally:
            if stderr_path:
                err.close()
        p.stderr_path = stderr_path
        return p

    def hold_desktop(self, attempts=3):
        """Starts Wine's desktop process for this prefix through the
        desktop_keeper helper, which keeps it up until release_desktop().
        Wine now and then fails to start it in a fresh prefix, most often
        under emulation, and a program that met that failure could show no
        window: here it is met before any tested program starts, and the
        prefix starts afresh until the desktop is up."""
        reason = ""
        for _ in range(attempts):
            self.keeper = self._launch(helper_binary("desktop_keeper"), (), self.drive_c,
                                       self.env(WINEDEBUG=DESKTOP_DEBUG), subprocess.PIPE, "desktop.err")
            line = read_line(self.keeper.stdout, 30 * RUN.patience)
            with open(self.keeper.stderr_path, "rb") as f:
                failed = DESKTOP_FAILED in f.read()
            if line.strip() == b"desktop 1" and not failed:
                return
            reason = "said %r%s" % (line, ", Wine's desktop process failed to start" if failed else "")
            self._end_keeper()
            self._kill_server()
        raise RuntimeError("no desktop in %s after %d starts: the keeper %s" % (self.path, attempts, reason))

    def release_desktop(self):
        """Ends the desktop_keeper for good, so that the prefix can go idle."""
        self.holds_desktop = False
        self._end_keeper()

    def _end_keeper(self):
        if self.keeper:
            try:
                os.killpg(self.keeper.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.keeper.wait()
            self.keeper.stdout.close()
            self.keeper = None

    def run(self, program, *args, timeout=60, env=None, cwd=None):
        """Runs a program to its end; returns (exit code, stdout text)."""
        p = self.start(program, *args, env=env, cwd=cwd, stdout=subprocess.PIPE)
        out, _ = p.communicate(timeout=timeout * RUN.patience)
        return p.returncode, out.decode("utf-8", "replace")

    def unix_processes(self):
        """{pid: command line} of the Unix processes running in this prefix."""
        found = {}
        tag = ("WINEPREFIX=" + self.path).encode()
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if tag not in f.read().split(b"\0"):
                        continue
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    found[int(pid)] = f.read().replace(b"\0", b" ").decode("utf-8", "replace").strip()
            except OSError:
                continue
        return found

    def _kill_server(self):
        subprocess.run([WINESERVER, "-k"], env={**os.environ, "WINEPREFIX": self.path},
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        self.release_desktop()
        for p in self.processes:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        self._kill_server()
        for p in self.processes:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
            if p.stdout:
                p.stdout.close()
        if os.environ.get("NUMERABO_KEEP_PREFIX") != "1":
            shutil.rmtree(self.path, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# The platform's own DLLs are never written by a test: the copies share them
# with the template (hard links), which makes a fresh prefix cost well under
# a second instead of copying several hundred megabytes.
_SHARED_FOLDERS = ("system32", "syswow64", "winsxs")


def copy_prefix(src, dst):
    windows = os.path.join(src, "drive_c", "windows")

    def link_or_copy(s, d):
        rel = os.path.relpath(s, windows)
        if not rel.startswith("..") and rel.split(os.sep)[0].lower() in _SHARED_FOLDERS:
            try:
                os.link(s, d)
                return d
            except OSError:
                pass
        return shutil.copy2(s, d)

    shutil.copytree(src, dst, symlinks=True, copy_function=link_or_copy)


_dpi_templates = {}


def dpi_template(dpi):
    """A template prefix whose screen has dpi dots per inch (LogPixels in
    HKCU\\Control Panel\\Desktop), derived from the template once per run."""
    if dpi not in _dpi_templates:
        path = os.path.join(WINE_WORK, "run", RUN_NAME, "template-%d-dpi" % dpi)
        env = {**os.environ, "WINEPREFIX": path, "HOME": os.path.join(path, "home"), "WINEDEBUG": "-all"}
        if os.path.exists(path):
            subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            shutil.rmtree(path)
        copy_prefix(TEMPLATE, path)
        subprocess.run([WINE_LOADER, "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=env, check=False)
        _dpi_templates[dpi] = path
    return _dpi_templates[dpi]


# Wine's diagnostics, in the standard error of a program started with
# WINEDEBUG=DESKTOP_DEBUG; DESKTOP_FAILED is its report that the prefix's
# desktop process (explorer, which owns the display driver) did not start.
DESKTOP_DEBUG = "-all,err+winediag"
DESKTOP_FAILED = b"explorer process failed to start"


def start_window(prefix, title, program, *args, codepage=None, debug="", stderr="start.err", timeout=30):
    """Starts program in prefix and waits for its visible window titled
    title; returns (process, window id or None). Wine's diagnostics go to the
    stderr file, with the WINEDEBUG channels in debug (",+debugstr")."""
    process = prefix.start(program, *args, env=prefix.env(codepage, WINEDEBUG=DESKTOP_DEBUG + debug),
                           stderr=stderr)
    wait_for(lambda: find_windows(title, True) or process.poll() is not None, timeout)
    windows = find_windows(title, True)
    return process, windows[0] if windows else None


def no_window_reason(process):
    """Why start_window found no window, for a failure message: whether the
    program still runs, and the end of what Wine reported."""
    code = process.poll()
    state = "is still running" if code is None else "ended with %d" % code
    try:
        with open(process.stderr_path, "rb") as f:
            tail = f.read()[-1500:].decode("utf-8", "replace")
    except (OSError, TypeError):
        tail = ""
    return "the program %s; Wine said: %s" % (state, tail.strip() or "nothing")


def read_line(stream, timeout):
    """One line from a pipe, or what came before timeout seconds passed."""
    end = time.time() + timeout
    data = b""
    while not data.endswith(b"\n"):
        ready, _, _ = select.select([stream], [], [], max(0.0, end - time.time()))
        if not ready:
            break
        byte = os.read(stream.fileno(), 1)
        if not byte:
            break
        data += byte
    return data


def asoundrc(capture):
    return ('pcm.!default {\n  type file\n  slave.pcm "null"\n  file "%s"\n  format "raw"\n}\n' % capture)


def wait_for(predicate, timeout=20.0, interval=0.1):
    """Polls predicate until it returns a true value; returns it (or None).
    The timeout is the native one: emulated builds get more."""
    end = time.time() + timeout * RUN.patience
    while True:
        value = predicate()
        if value:
            return value
        if time.time() >= end:
            return None
        time.sleep(interval)


def wait_exit(process, timeout=20.0):
    """The exit code of process, or None when it is still running after timeout."""
    try:
        return process.wait(timeout=timeout * RUN.patience)
    except subprocess.TimeoutExpired:
        return None


# -- X windows --------------------------------------------------------------

class OwnDisplay:
    """A context in which DISPLAY names an Xvfb of this process's own, the
    one scripts/xvfb.sh starts (its screen size, no key repeats), stopped
    again at the end; with NUMERABO_SHARED_DISPLAY=1 the DISPLAY given is
    kept instead. The server stops with this process however it ends: the
    script keeps it only while the pipe from here is open."""

    def __enter__(self):
        self.keeper = None
        self.saved = os.environ.get("DISPLAY")
        if os.environ.get("NUMERABO_SHARED_DISPLAY") == "1":
            if not os.environ.get("DISPLAY"):
                raise RuntimeError("NUMERABO_SHARED_DISPLAY=1 but no DISPLAY")
            return os.environ["DISPLAY"]
        self.keeper = subprocess.Popen(["bash", os.path.join(SOURCE_DIR, "scripts", "xvfb.sh"), "--until-eof"],
                                       stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        line = read_line(self.keeper.stdout, 60 * LOAD_PATIENCE).decode("utf-8", "replace").strip()
        if not line.startswith(":"):
            self.__exit__()
            raise RuntimeError("no X display of its own for this test file (scripts/xvfb.sh said %r)" % line)
        _use_display(line)
        return line

    def __exit__(self, *exc):
        if self.keeper is None:
            return
        self.keeper.stdin.close()
        try:
            self.keeper.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.keeper.kill()
            self.keeper.wait()
        self.keeper.stdout.close()
        self.keeper = None
        _use_display(self.saved)


def _use_display(display):
    """Points this process's X clients at display (None: at none): those it
    starts with its environment, and the tools run in C_LOCALE's."""
    for env in (os.environ, C_LOCALE):
        if display is None:
            env.pop("DISPLAY", None)
        else:
            env["DISPLAY"] = display


def find_windows(title, visible_only=False):
    """X window ids whose name is exactly title."""
    pattern = "^" + "".join("\\" + ch if ch in ".^$*+?()[]{}|\\" else ch for ch in title) + "$"
    cmd = ["xdotool", "search"] + (["--onlyvisible"] if visible_only else []) + ["--name", pattern]
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=C_LOCALE)
    return [int(x) for x in r.stdout.split()]


def wait_window(title, timeout=20.0, visible_only=True):
    """The first X window id with that title, waiting up to timeout seconds."""
    ids = wait_for(lambda: find_windows(title, visible_only), timeout)
    return ids[0] if ids else None


def window_geometry(window):
    """(x, y, width, height) of an X window, from xdotool."""
    r = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(window)],
                       stdout=subprocess.PIPE, check=True, env=C_LOCALE)
    values = dict(line.split("=", 1) for line in r.stdout.decode().split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def send_key(window, key):
    """Focuses the window and sends one key (an xdotool key name)."""
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["xdotool", "key", key], check=True)


def hold_key(window, key, until=None, seconds=None):
    """A key pressed the way a person presses it: down until until() holds
    (or for seconds, one frame by default), then up. The renderer looks at
    its keys only when it paints, so a press and release that both arrive
    between two frames go unseen; under emulation frames come slowly."""
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["xdotool", "keydown", key], check=True)
    try:
        if until:
            wait_for(until, timeout=10 * LOAD_PATIENCE)
        else:
            time.sleep(FRAME if seconds is None else seconds)
    finally:
        subprocess.run(["xdotool", "keyup", key], check=True)


def mouse_move(x, y):
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], check=True)


def mouse_click(button=1):
    subprocess.run(["xdotool", "click", str(button)], check=True)


def mouse_down(button=1):
    subprocess.run(["xdotool", "mousedown", str(button)], check=True)


def mouse_up(button=1):
    subprocess.run(["xdotool", "mouseup", str(button)], check=True)


# -- screenshots ------------------------------------------------------------

class Image:
    """An RGB picture read from a binary PPM."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region_mean(self, x0, y0, x1, y1):
        """Mean (r, g, b) over the half-open rectangle [x0, x1) x [y0, y1)."""
        total = [0, 0, 0]
        n = 0
        for y in range(y0, y1):
            row = (y * self.width) * 3
            for x in range(x0, x1):
                i = row + x * 3
                total[0] += self.data[i]
                total[1] += self.data[i + 1]
                total[2] += self.data[i + 2]
                n += 1
        return tuple(t / n for t in total)


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit binary PPM: %s" % path)
    w, h = int(fields[1]), int(fields[2])
    return Image(w, h, data[pos:pos + w * h * 3])


def read_image(path):
    """Any picture ImageMagick reads, as an Image. The conversion goes to a
    folder of its own: the picture's may be read-only (the source tree, for
    a runner that does not own it)."""
    with tempfile.TemporaryDirectory() as work:
        ppm = os.path.join(work, "image.ppm")
        subprocess.run(["convert", path, "-depth", "8", "ppm:" + ppm], check=True)
        return read_ppm(ppm)


def screenshot(path):
    """Saves the whole X screen as PNG at path and returns it as an Image."""
    subprocess.run(["import", "-window", "root", path], check=True)
    return read_image(path)


def wait_screen(path, predicate, timeout=20.0):
    """Takes screenshots until predicate(image) holds; returns that image,
    or None after timeout."""
    found = []

    def shot_matches():
        image = screenshot(path)
        if predicate(image):
            found.append(image)
            return True
        return False

    return found[0] if wait_for(shot_matches, timeout, interval=0.2) else None


def wait_new_frame(path, box, timeout=20.0):
    """Waits until the screen inside box (x, y, width, height) has changed
    from what it shows now, on a grid of points: a moving picture has drawn
    another frame since. Returns that image, or None after timeout."""
    x, y, w, h = box
    points = [(x + w * i // 32, y + h * j // 24) for i in range(32) for j in range(24)]
    now = screenshot(path)
    before = [now.pixel(*p) for p in points]
    return wait_screen(path, lambda image: [image.pixel(*p) for p in points] != before, timeout)


def show_picture(path, title="numerabo-test-picture"):
    """Shows a picture on the X screen at (0, 0) with ImageMagick's display,
    for tests that need a known desktop. Returns the Popen."""
    return subprocess.Popen(["display", "-geometry", "+0+0", "-title", title, "-borderwidth", "0", path],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def close_enough(a, b, tolerance=24):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


# -- bitmap files -----------------------------------------------------------

def read_bmp_header(path):
    """(offset, width, height, bit count, compression) of a Windows bitmap."""
    with open(path, "rb") as f:
        head = f.read(54)
    if head[:2] != b"BM":
        raise ValueError("not a bitmap: %s" % path)
    off = struct.unpack_from("<I", head, 10)[0]
    width, height = struct.unpack_from("<ii", head, 18)
    bits = struct.unpack_from("<H", head, 28)[0]
    comp = struct.unpack_from("<I", head, 30)[0]
    return off, width, height, bits, comp


def write_bmp24(path, width, height, pixel):
    """Writes a bottom-up 24-bit bitmap; pixel(x, y) gives (r, g, b) with y = 0
    the top row."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    body = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


# -- audio ------------------------------------------------------------------

CAPTURE_RATE = 44100
CAPTURE_FRAME = 4  # 16-bit stereo


def capture_size(prefix):
    try:
        return os.path.getsize(prefix.capture_path)
    except FileNotFoundError:
        return 0


def audio_rms(raw_path, start_seconds=None, seconds=None):
    """RMS amplitude (0 to 1) of the captured raw PCM, or of a slice of it,
    measured by sox."""
    cmd = ["sox", "-t", "raw", "-r", str(CAPTURE_RATE), "-e", "signed", "-b", "16", "-c", "2",
           raw_path, "-n"]
    if start_seconds is not None:
        cmd += ["trim", str(start_seconds)] + ([str(seconds)] if seconds is not None else [])
    cmd += ["stat"]
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=C_LOCALE)
    for line in r.stderr.decode().splitlines():
        if line.startswith("RMS     amplitude"):
            return float(line.split(":")[1])
    return 0.0


# The skip reasons of cases that another run of their file tests.
X86_64_ONLY = "x86_64 only"
CODE_PAGE_932_ONLY = "code page 932 only"
OTHER_RUNS_CASE = (X86_64_ONLY, CODE_PAGE_932_ONLY)


class WineTestCase(unittest.TestCase):
    """Base class: self.prefix is a fresh prefix for each test method."""

    prefix_name = None

    def _marked(self, mark):
        return getattr(getattr(self, self._testMethodName), mark, getattr(type(self), mark, False))

    def setUp(self):
        if ARCH != "x86_64" and os.environ.get("NUMERABO_ALL_CASES") != "1":
            if not self._marked("numerabo_both_arches"):
                self.skipTest(X86_64_ONLY)
        if CODEPAGE != "932" and os.environ.get("NUMERABO_ALL_CASES") != "1":
            if not self._marked("numerabo_code_pages"):
                self.skipTest(CODE_PAGE_932_ONLY)
        reason = unavailable_reason()
        if reason:
            self.skipTest("the %s build cannot run here: %s" % (ARCH, reason))
        name = self.prefix_name or self.id().replace(".", "_")
        self.prefix = WinePrefix(name, hold_desktop=True)
        self.addCleanup(self.prefix.close)
