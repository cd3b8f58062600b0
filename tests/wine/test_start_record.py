"""The start's record under Wine: after a /s start the user's
%LOCALAPPDATA%\\Numerabo\\Numerabo-start.txt says, in UTF-8 key: value
lines, on which desktop the saver started, what became of the capture, what
the stand-in drew and why, how long each step took and whether the show
reached the foreground; a record that cannot be written leaves the older one
whole and the show runs on."""

import glob
import os
import resource
import signal
import subprocess

import harness
from test_saver import (QUARTERS, RENDERER_TITLE, escape_renderer, make_quarters, set_desktop_look,
                        show_screen)

# The steps in the order the start takes them, each "<step>-ms".
STEPS = ["load", "captured", "stand-in", "picture-saved", "renderer-started", "music-started", "renderer-window",
         "renderer-shown"]


def record_path(prefix):
    """Unix path of %LOCALAPPDATA%\\Numerabo\\Numerabo-start.txt."""
    local = [p for p in glob.glob(os.path.join(prefix.drive_c, "users", "*", "AppData", "Local"))
             if os.sep + "Public" + os.sep not in p]
    return os.path.join(local[0], "Numerabo", "Numerabo-start.txt")


def windows_path(prefix, unix):
    return "C:\\" + os.path.relpath(unix, prefix.drive_c).replace(os.sep, "\\")


def parse_record(data):
    """The record's lines as a dict, in order; raises on anything that is
    not UTF-8 "key: value" lines ended by CR LF."""
    text = data.decode("utf-8")
    if not text.endswith("\r\n"):
        raise ValueError("no line end at the end: %r" % text[-40:])
    lines = {}
    for line in text[:-2].split("\r\n"):
        key, sep, value = line.partition(": ")
        if not sep or not key or key in lines:
            raise ValueError("not a line of its own key: %r" % line)
        lines[key] = value
    return lines


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class StartRecordTest(harness.WineTestCase):
    def wait_record(self, old=None):
        """The record once it is there and other than old bytes, as a dict."""
        path = record_path(self.prefix)
        data = harness.wait_for(lambda: (lambda d: d if d and d != old else None)(read_bytes(path)), timeout=30)
        self.assertIsNotNone(data, "no start record at %s" % path)
        return parse_record(data)

    def assert_facts(self, record, expected):
        for key, value in expected.items():
            self.assertEqual(record.get(key), value, "%s in %r" % (key, record))

    def start_on_desktop(self, *desktop):
        """The host started with /s on a desktop of its own ("Screen-saver",
        or the one named), through the helper that does so; the helper's
        Popen, which prints "exit <code>" once the host has ended."""
        start = self.prefix.start(harness.helper_binary("saver_desktop_start"), *desktop,
                                  str(int(60 * harness.RUN.patience)), "C:\\Numerabo\\" + harness.HOST_NAME, "/s",
                                  stdout=subprocess.PIPE)
        self.assertEqual(harness.read_line(start.stdout, 30 * harness.RUN.patience).strip(), b"started")
        return start

    def end_show(self, host=None, desktop_start=None):
        """The show runs until Escape ends it; the host ends with 0."""
        window = harness.wait_window(RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        if host:
            self.assertIsNone(host.poll(), "the host ended during the show")
        escape_renderer(self, window)
        if desktop_start:
            self.assertEqual(harness.read_line(desktop_start.stdout, 10 * harness.RUN.patience).strip(), b"exit 0")
        else:
            self.assertEqual(harness.wait_exit(host, 10), 0, "the host did not end well with its renderer")

    @harness.both_arches
    def test_a_start_records_its_desktop_capture_steps_and_foreground(self):
        # An older record and a partial file of a host that died half-way:
        # the new record takes the place of both.
        folder = self.prefix.install()
        path = record_path(self.prefix)
        os.makedirs(os.path.dirname(path))
        old = b"numerabo-start-record: 1\r\ntime: an older start\r\n"
        with open(path, "wb") as f:
            f.write(old)
        with open(path + ".part", "wb") as f:
            f.write(b"half")
        show_screen(self, (40, 200, 90), corner=(0, 0, 0))
        host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        self.assertIsNotNone(harness.wait_window(RENDERER_TITLE, timeout=30), "no renderer window")
        record = self.wait_record(old)
        # Written while the show runs, not only as it ends.
        self.assertIsNone(host.poll(), "the host ended before its record was written")
        self.assertTrue(harness.find_windows(RENDERER_TITLE), "the show ended before its record was written")
        self.assert_facts(record, {"numerabo-start-record": "1", "host": harness.ARCH, "desktop": "Default",
                                   "capture": "used", "stand-in": "not-needed", "renderer": "started",
                                   "renderer-window": "shown"})
        self.assertNotIn("stand-in-source", record)
        self.assertEqual([k[:-3] for k in record if k.endswith("-ms") and k[:-3] in STEPS], STEPS)
        for step in STEPS:
            self.assertTrue(record[step + "-ms"].isdigit(), record)
        # Wine hands the foreground on as Windows should.
        self.assertEqual(record["foreground"], "renderer", record)
        self.assertEqual(os.listdir(os.path.dirname(path)), ["Numerabo-start.txt"], "a partial file was left")
        self.assertLess(len(read_bytes(path)), 2048)
        self.end_show(host)

    def test_the_screen_saver_desktop_and_a_flat_capture_say_what_the_stand_in_drew(self):
        # A wallpaper whose name Shift-JIS cannot hold ("ë"): the record
        # gives its path as it is. A missing one leaves the background colour.
        self.prefix.install()
        wallpaper = "C:\\Zo\u00eb \u58c1\u7d19.jpg"
        make_quarters(self.prefix.c("Zo\u00eb \u58c1\u7d19.jpg"), (800, 600), QUARTERS)
        show_screen(self, (90, 90, 90))
        path = record_path(self.prefix)
        # (the desktop the helper starts the host on, () for "Screen-saver" and
        # None for a start of its own; the wallpaper; what the record says)
        cases = [
            ((), wallpaper, {"desktop": "Screen-saver", "capture": "screen-saver-desktop", "stand-in": "drawn",
                                "stand-in-values": "control-panel", "stand-in-source": "wallpaper",
                                "stand-in-passed-over": "none", "stand-in-wallpaper": wallpaper,
                                "stand-in-fit": "stretch", "stand-in-decoding": "whole"}),
            (("/desktop:Desktop 2",), wallpaper, {"desktop": "Desktop 2", "capture": "flat", "stand-in": "drawn",
                                                   "stand-in-source": "wallpaper"}),
            (None, "C:\\missing.jpg", {"desktop": "Default", "capture": "flat", "stand-in": "drawn",
                                       "stand-in-source": "colour", "stand-in-wallpaper": "C:\\missing.jpg",
                                       "stand-in-decoding": "none"}),
        ]
        shot = os.path.join(self.prefix.path, "flat.png")
        for desktop, wallpaper_value, expected in cases:
            with self.subTest(desktop=desktop, wallpaper=wallpaper_value):
                # The last show's window is gone from the screen too.
                self.assertIsNotNone(harness.wait_screen(shot, lambda i: i.pixel(640, 512) == (90, 90, 90)))
                self.assertEqual(set_desktop_look(self.prefix, wallpaper_value, "2"), 0)
                old = read_bytes(path)
                if desktop is None:
                    host, start = self.prefix.start(self.prefix.c("Numerabo", harness.HOST_NAME), "/s"), None
                else:
                    host, start = None, self.start_on_desktop(*desktop)
                # The show ends whatever the record says: the next case needs
                # a screen of its own.
                try:
                    record = self.wait_record(old)
                finally:
                    self.end_show(host, start)
                self.assert_facts(record, expected)
                if expected["stand-in-source"] == "colour":
                    self.assertIn("wallpaper", record.get("stand-in-passed-over", ""), record)
                for key in ("stand-in-values-ms", "stand-in-read-ms", "stand-in-decode-ms", "stand-in-draw-ms"):
                    self.assertTrue(record.get(key, "").isdigit(), (key, record))

    def test_a_record_that_cannot_be_written_leaves_the_older_one_and_the_show_runs(self):
        folder = self.prefix.install()
        path = record_path(self.prefix)
        record_folder = os.path.dirname(path)
        old = b"numerabo-start-record: 1\r\ntime: an older start\r\n"

        def held():
            # Open elsewhere, shared for reading only: no rename may replace it.
            holder = subprocess.Popen([*harness.RUN.loader, harness.helper_binary("file_holder"),
                                       windows_path(self.prefix, path)],
                                      env=self.prefix.env("932"), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, start_new_session=True)
            self.prefix.processes.append(holder)
            self.assertEqual(harness.read_line(holder.stdout, 30 * harness.RUN.patience).strip(), b"held 1")
            return lambda: (holder.stdin.close(), holder.wait(timeout=30))

        def partial_in_the_way():
            os.makedirs(path + ".part")
            return lambda: os.rmdir(path + ".part")

        def full_disk():
            # Nothing in the way, but a file-size limit of the host's below
            # the record's size: its write stops half-way, as on a full disk.
            return lambda: None

        def limited():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # a failed write, not a killed process
            resource.setrlimit(resource.RLIMIT_FSIZE, (200, 200))

        # (what stands in the way, the names the folder is left with)
        cases = [(held, ["Numerabo-start.txt"]),
                 (partial_in_the_way, ["Numerabo-start.txt", "Numerabo-start.txt.part"]),
                 (full_disk, ["Numerabo-start.txt"])]
        for block, names in cases:
            with self.subTest(block=block.__name__):
                os.makedirs(record_folder, exist_ok=True)
                with open(path, "wb") as f:
                    f.write(old)
                let_go = block()
                if block is full_disk:
                    # The prefix's server, already running, stays outside the limit.
                    host = subprocess.Popen([*harness.RUN.loader, os.path.join(folder, harness.HOST_NAME), "/s"],
                                            cwd=folder, env=self.prefix.env(), preexec_fn=limited,
                                            start_new_session=True, stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
                    self.prefix.processes.append(host)
                else:
                    host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
                # The host writes its record at the latest as it ends.
                self.end_show(host)
                self.assertEqual(read_bytes(path), old, "the older record was spoilt")
                self.assertEqual(sorted(os.listdir(record_folder)), names, "a partial file was left")
                let_go()

        # A file where the folder belongs: no record, and the file stays.
        os.remove(path)
        os.rmdir(record_folder)
        with open(record_folder, "wb") as f:
            f.write(b"not a folder")
        host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        self.end_show(host)
        self.assertEqual(read_bytes(record_folder), b"not a folder")


if __name__ == "__main__":
    import unittest
    unittest.main()
