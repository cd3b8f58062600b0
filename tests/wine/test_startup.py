"""The host's start-up under Wine: settings file, file checks, the mode
dispatch with its refusals and its one message, and the preview pane."""

import os
import shutil
import subprocess
import time
import unittest

import harness
from harness import sjis

MESSAGE = "ぬめらぼ.dll が同じﾌｫﾙﾀﾞに見つかりません！"
TITLE = "ぬめらぼ (ScreenSaver)"


def hexed(text):
    return sjis(text).hex().upper() if text else "-"


class Probe:
    """The startup_probe helper installed in a folder of the prefix; with a
    code page, it runs on that system as the host would (its UTF-8 build for
    65001)."""

    def __init__(self, prefix, folder, codepage="932"):
        self.prefix = prefix
        self.codepage = codepage
        name = "utf8_startup_probe" if codepage == "65001" else "startup_probe"
        self.path = os.path.join(folder, "startup_probe.exe")
        shutil.copy(harness.helper_binary(name), self.path)

    def run(self, *args, timeout=30):
        code, out = self.prefix.run(self.path, *args, timeout=timeout, env=self.prefix.env(self.codepage))
        return code, out

    def start(self, *args):
        return self.prefix.start(self.path, *args, stdout=subprocess.PIPE)


class SettingsFileTest(harness.WineTestCase):
    def load(self, ini_bytes, files=()):
        folder = self.prefix.c("Numerabo")
        os.makedirs(folder, exist_ok=True)
        probe = Probe(self.prefix, folder, harness.CODEPAGE)
        if ini_bytes is not None:
            with open(os.path.join(folder, harness.SETTINGS_NAME), "wb") as f:
                f.write(ini_bytes)
        for name in files:
            path = self.prefix.c(*name.split("\\"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            open(path, "wb").close()
        code, out = probe.run("load-settings")
        self.assertEqual(code, 0, out)
        return dict(line.split(" ", 1) for line in out.splitlines() if " " in line)

    def test_keys_in_shift_jis_as_the_platform_reads_them(self):
        ini = (b"[Section]\r\n" + sjis("BGM区分") + b"= 2\r\n" + sjis("BGMﾘﾋﾟｰﾄ") + b"= 7\r\n"
               + sjis("BGMﾌｧｲﾙ") + b"=" + sjis("C:\\曲 集\\a.wav") + b"\r\n")
        self.assertEqual(sjis("BGM区分"), bytes.fromhex("42474D8BE695AA"))
        self.assertEqual(sjis("BGMﾘﾋﾟｰﾄ"), bytes.fromhex("42474DD8CBDFB0C4"))
        self.assertEqual(sjis("BGMﾌｧｲﾙ"), bytes.fromhex("42474DCCA7B2D9"))
        values = self.load(ini, files=["曲 集\\a.wav"])
        self.assertEqual(values["kind"], "2")
        self.assertEqual(values["repeat"], "7")
        self.assertEqual(values["file"], hexed("C:\\曲 集\\a.wav"))
        self.assertEqual(values["folder"], hexed("C:\\曲 集"))

    @harness.code_pages
    def test_missing_file_and_repairs(self):
        values = self.load(None)
        self.assertEqual((values["kind"], values["repeat"], values["file"]), ("0", "0", "-"))
        self.assertEqual(values["folder"], hexed("C:\\Numerabo"))

        ini = b"[Section]\r\n" + sjis("BGM区分") + b"=2\r\n" + sjis("BGMﾌｧｲﾙ") + b"=C:\\gone.mp3\r\n"
        values = self.load(ini)
        self.assertEqual((values["kind"], values["file"]), ("0", "-"))
        self.assertEqual(values["folder"], hexed("C:\\Numerabo"))

        ini = b"[Section]\r\n" + sjis("BGM区分") + b"=abc\r\n" + sjis("BGMﾘﾋﾟｰﾄ") + b"=40000\r\n"
        values = self.load(ini)
        self.assertEqual((values["kind"], values["repeat"]), ("0", "0"))

        ini = b"[Section]\r\n" + sjis("BGM区分") + b"= 1\r\n" + sjis("BGMﾌｧｲﾙ") + b"=C:\\a.mp3\r\n"
        values = self.load(ini, files=["a.mp3"])
        self.assertEqual((values["kind"], values["file"], values["folder"]),
                         ("1", hexed("C:\\a.mp3"), hexed("C:")))

    @harness.code_pages
    def test_long_values_come_back_cut_to_255_bytes(self):
        folder = self.prefix.c("Numerabo")
        os.makedirs(folder)
        probe = Probe(self.prefix, folder, harness.CODEPAGE)
        ini = os.path.join(folder, harness.SETTINGS_NAME)
        # 400 ASCII bytes; 200 kanji (400 bytes, 200 UTF-16 units, which the
        # platform's 256-unit reply holds whole); a NUL inside a value.
        for value, expected in ((b"x" * 400, b"x" * 255), (sjis("曲" * 200), sjis("曲" * 127)),
                                (b"C:\\a.wav\0junk", b"C:\\a.wav")):
            with open(ini, "wb") as f:
                f.write(b"[Section]\r\n" + sjis("BGMﾌｧｲﾙ") + b"=" + value + b"\r\n")
            code, out = probe.run("read-setting", "C:\\Numerabo\\" + harness.SETTINGS_NAME, "BGMﾌｧｲﾙ")
            self.assertEqual(out.split()[1:], [expected.hex().upper(), str(len(expected))], value[:20])

    @harness.code_pages
    def test_held_files_keep_their_bytes(self):
        # Another program holds the file open without delete sharing, so the
        # rename onto it is refused: the host writes in place where it may,
        # and otherwise leaves the file as it was; never a partial file.
        folder = self.prefix.c("Numerabo")
        os.makedirs(folder)
        probe = Probe(self.prefix, folder, harness.CODEPAGE)
        path = os.path.join(folder, "held.ini")
        old = b"[Section]\r\nKey=old\r\n[Other]\r\nA=1\r\n"
        cases = (("rw", ["replace", "new"], b"new", "replaced 1"),
                 ("none", ["replace", "new"], old, "replaced 0"),
                 ("none", ["setting", "Key", "2"], old, "written 0"))
        for share, action, expected, said in cases:
            with open(path, "wb") as f:
                f.write(old)
            for stale in ("held.ini.999.part", "held.ini.x9.part"):
                open(os.path.join(folder, stale), "wb").close()
            code, out = probe.run("held-write", "C:\\Numerabo\\held.ini", share, *action)
            with open(path, "rb") as f:
                self.assertEqual((code, out.strip(), f.read()), (0, said, expected), (share, action))
            parts = sorted(n for n in os.listdir(folder) if n.endswith(".part"))
            # An ended writer's partial file goes once the host writes there.
            left = ["held.ini.x9.part"] if action[0] == "replace" else ["held.ini.999.part", "held.ini.x9.part"]
            self.assertEqual(parts, left, (share, action))
            for n in parts:
                os.remove(os.path.join(folder, n))

    def test_file_exists(self):
        folder = self.prefix.c("Numerabo")
        os.makedirs(os.path.join(folder, "sub"))
        probe = Probe(self.prefix, folder)
        open(os.path.join(folder, "a.txt"), "w").close()
        code, out = probe.run("file-exists", "C:\\Numerabo\\a.txt", "C:\\Numerabo\\a.txt\\",
                              "C:\\Numerabo\\sub", "C:\\Numerabo\\sub\\", "EMPTY", "C:\\Numerabo\\none.txt")
        self.assertEqual(out.split(), ["1", "1", "0", "0", "0", "0"])


class ModeDispatchTest(harness.WineTestCase):
    def host(self, renderer=True):
        folder = self.prefix.install(renderer=renderer)
        return os.path.join(folder, harness.HOST_NAME)

    @harness.both_arches
    @harness.code_pages
    def test_missing_renderer_shows_the_message_for_saver_and_settings(self):
        host = self.host(renderer=False)
        probe = Probe(self.prefix, self.prefix.c("Numerabo"))
        for switch in ("/s", "/c"):
            p, window = harness.start_window(self.prefix, TITLE, host, switch, timeout=20)
            self.assertIsNotNone(window, "%s: %s" % (switch, harness.no_window_reason(p)))
            code, out = probe.run("message-box", TITLE)
            controls = [line.split() for line in out.splitlines() if line.startswith("control")]
            texts = [c[2] for c in controls if c[3] == "visible=1"]
            buttons = [c for c in controls if c[1].lower() == "button" and c[3] == "visible=1"]
            self.assertIn(hexed(MESSAGE), texts, out)
            self.assertEqual([b[2] for b in buttons], [hexed("OK")], out)
            self.assertEqual(harness.wait_exit(p, 10), 0, switch)

    def test_missing_renderer_does_not_stop_the_preview(self):
        host = self.host(renderer=False)
        probe = Probe(self.prefix, self.prefix.c("Numerabo"))
        pane = probe.start("pane", "50", "50", "200", "150", str(int(3000 * harness.RUN.patience)), "60000")
        handle = pane.stdout.readline().split()[1].decode()
        self.prefix.start(host, "/p", handle)
        line = pane.stdout.readline().decode()
        self.assertTrue(line.startswith("child " + hexed("Preview Window")), line)
        self.assertEqual(harness.find_windows(TITLE), [])

    @harness.both_arches
    def test_unknown_switches_end_silently(self):
        host = self.host()
        for line in ("/a", "s"):
            p = self.prefix.start(host, line)
            self.assertEqual(harness.wait_exit(p, 20), 0, line)
        self.assertEqual(harness.find_windows(TITLE), [])

    def test_settings_mode_with_the_renderer_present_shows_no_message(self):
        # /c:1234 carries an owner handle that is ignored.
        host = self.host()
        p = self.prefix.start(host, "/c:1234")
        harness.wait_window("<ぬめらぼ>", timeout=10)
        self.assertEqual(harness.find_windows(TITLE), [])
        p.kill()

    @harness.both_arches
    @harness.code_pages
    def test_a_running_instance_refuses_every_mode(self):
        host = self.host()
        probe = Probe(self.prefix, self.prefix.c("Numerabo"))
        pane = probe.start("pane", "50", "50", "200", "150", "4000", "60000")
        handle = pane.stdout.readline().split()[1].decode()
        for caption in ("Numerabo_Main", "<ぬめらぼ>"):
            other = probe.start("window", caption)
            self.assertEqual(other.stdout.readline().strip(), b"ready")
            for args in (("/s",), ("/c",), ("/p", handle), ()):
                started = time.time()
                p = self.prefix.start(host, *args)
                self.assertEqual(harness.wait_exit(p, 20), 0, (caption, args))
                self.assertLess(time.time() - started, 10 * harness.RUN.patience)
            other.kill()
            other.wait()
        self.assertEqual(harness.find_windows(TITLE), [])
        # The preview never came: the pane reports no child.
        line = pane.stdout.readline().decode()
        self.assertFalse(line.startswith("child"), line)


class PreviewTest(harness.WineTestCase):
    @harness.both_arches
    def test_preview_fills_the_pane_and_ends_with_it(self):
        folder = self.prefix.install()
        host = os.path.join(folder, harness.HOST_NAME)
        probe = Probe(self.prefix, folder)
        x, y, w, h = 100, 80, 300, 200
        report = int(4000 * harness.RUN.patience)
        pane = probe.start("pane", str(x), str(y), str(w), str(h), str(report), str(report + 4000))
        handle = pane.stdout.readline().split()[1].decode()
        p = self.prefix.start(host, "/p", handle)
        line = pane.stdout.readline().decode().split()
        self.assertEqual(line[:6], ["child", hexed("Preview Window"), "0", "0", str(w), str(h)], line)
        self.assertEqual(line[6], "visible=1")

        # The pane goes: the host ends.
        self.assertEqual(pane.stdout.readline().strip(), b"destroying")
        self.assertEqual(harness.wait_exit(p, 15), 0)

    def test_preview_shows_its_picture_at_the_top_left_and_black_elsewhere(self):
        # Wine draws a child window only into a pane of its own process, so
        # the picture is checked with the host's preview code embedding into
        # a pane of the probe; the cross-process embedding is checked above.
        folder = self.prefix.install()
        probe = Probe(self.prefix, folder)
        x, y, w, h = 100, 80, 300, 200
        pane = probe.start("preview-here", str(x), str(y), str(w), str(h))
        self.assertEqual(pane.stdout.readline().strip(), b"shown")
        expected = harness.read_image(os.path.join(harness.SOURCE_DIR, "host", "resources", "artwork",
                                                   "preview_image.jpg"))
        self.assertEqual((expected.width, expected.height), (152, 112))
        picture = [((px, py), expected.pixel(px, py), 40) for px, py in ((10, 10), (76, 56), (140, 100), (30, 90))]
        black = [((px, py), (0, 0, 0), 8) for px, py in ((200, 50), (50, 150), (290, 190), (160, 120))]
        last = []

        def painted(shot):
            last[:] = [(point, shot.pixel(x + point[0], y + point[1]), want) for point, want, tolerance in picture + black
                       if not harness.close_enough(shot.pixel(x + point[0], y + point[1]), want, tolerance)]
            return not last

        # Read once the pane is painted, not after a fixed time.
        self.assertIsNotNone(harness.wait_screen(os.path.join(self.prefix.path, "preview.png"), painted, timeout=20),
                             last)

    def test_a_preview_without_a_pane_ends(self):
        folder = self.prefix.install()
        host = os.path.join(folder, harness.HOST_NAME)
        for args in (("/p", "0"), ("/p",), ("/p", "12345678"), ("/p", "99999999999")):
            p = self.prefix.start(host, *args)
            self.assertEqual(harness.wait_exit(p, 20), 0, args)


if __name__ == "__main__":
    unittest.main()
