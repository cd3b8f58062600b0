"""The settings dialog under Wine, as a user meets it: opened with /c over a
stored settings file, looked at in screenshots, pressed with the mouse, its
file chooser typed into, saved, cancelled and closed; then the saver run
that the saved choices drive."""

import math
import os
import shutil
import signal
import subprocess
import time
import unittest

import harness
from harness import sjis

CAPTION = "<ぬめらぼ>"
OPEN_TITLE = "ﾌｧｲﾙを開く"
KIND, REPEAT, FILE = "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ"

# Pixel places in the client area at 96 dpi (15 twips a pixel).
PANEL = (12, 16, 469, 165)
KIND_MARKER = {0: (40, 92), 1: (40, 72), 2: (40, 112)}
KIND_LABEL = {0: (56, 92), 1: (56, 72), 2: (56, 112)}
FILE_BUTTON = (40, 132, 41, 21)
SET_BUTTON = (324, 200, 77, 25)
CANCEL_BUTTON = (404, 200, 77, 25)
FILE_NAME = (84, 132, 373, 33)

MESSAGE_TITLE = "ぬめらぼ (ScreenSaver)"
NOT_SAVED = "設定を保存できませんでした。"
TOO_LONG = "このﾌｧｲﾙはﾊﾟｽが長すぎるため選べません。\r\nﾌｧｲﾙ名かﾌｫﾙﾀﾞ名を短くしてから選び直してください。"

WS_CAPTION, WS_SYSMENU = 0x00C00000, 0x00080000
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000


def artwork_built_in():
    """The pictures (icon, markers) are compiled in once their resource script exists."""
    return os.path.isfile(os.path.join(harness.SOURCE_DIR, "host", "resources", "numerabo.rc"))


def ini_bytes(*lines):
    return b"[Section]\r\n" + b"".join(sjis(line) + b"\r\n" for line in lines)


def round_even(x):
    return float(round(x))  # Python rounds halves to even


def gradient_rows(height_tw, rows, tint):
    """The colour each pixel row keeps: the last of the twip lines on it."""
    k = height_tw / 3.142
    out = [(0, 0, 0)] * rows
    for y in range(int(round_even(height_tw)) + 1):
        r = y // 15
        if r >= rows:
            break
        c = int(round_even(abs(220 * math.sin(y / k))))
        out[r] = (c, c, c + 30) if tint == "window" else (c + 30, c + 30, c + 30)
    return out


def caption_is_black(d, image, button):
    """Whether a button's caption is drawn in black (enabled) rather than in
    the greyed text of a disabled button: the darkest pixel inside its frame."""
    x, y, w, h = button
    darkest = min(sum(p) for p in d.patch(image, x + 5, y + 5, w - 10, h - 10))
    return darkest < 3 * 70


class Dialog:
    """One /c run of the host and the helper that looks into it."""

    def __init__(self, test, ini=None, files=(), folder=("Numerabo",), dpi=96):
        self.test = test
        self.dpi = dpi
        self.prefix = test.prefix
        self.folder = self.prefix.install(folder)
        self.ini_path = os.path.join(self.folder, harness.SETTINGS_NAME)
        if ini is not None:
            with open(self.ini_path, "wb") as f:
                f.write(ini)
        for name in files:
            with open(os.path.join(self.folder, name), "wb") as f:
                f.write(b"RIFF")
        self.poke_path = os.path.join(self.folder, "settings_poke.exe")
        shutil.copy(harness.helper_binary("settings_poke"), self.poke_path)
        self.process = None

    def open(self, codepage=None):
        """Starts /c on a system of the run's code page, or of codepage's
        (with the host built for it)."""
        if codepage:
            self.prefix.install(self.folder_parts(), renderer=False, codepage=codepage)
        harness.mouse_move(1270, 1015)  # away from every button
        self.process, window = harness.start_window(self.prefix, CAPTION, os.path.join(self.folder, harness.HOST_NAME),
                                                    "/c", codepage=codepage, stderr="dialog-host.err")
        if window is None:
            self.test.fail("no dialog (%s)" % harness.no_window_reason(self.process))
        self.info = harness.wait_for(self.read_info, timeout=10)
        self.test.assertIsNotNone(self.wait_drawn(), "the dialog was not drawn")
        return self

    def wait_drawn(self):
        """The first screenshot after the opening zoom that shows the dialog
        painted: both gradients and the caption of 設定, which is a window of
        its own. At another scale, whose look the scale tests check
        themselves, the client area the same in two screenshots in a row and
        not one flat colour."""
        if self.dpi != 96:
            return self.wait_settled()
        window, panel = gradient_rows(3645, 243, "window"), gradient_rows(2475, 165, "panel")

        def painted(image):
            return (harness.close_enough(self.patch(image, 5, 121, 1, 1)[0], window[121], 3) and
                    harness.close_enough(self.patch(image, PANEL[0] + 5, PANEL[1] + 82, 1, 1)[0], panel[82], 3) and
                    caption_is_black(self, image, SET_BUTTON))

        return harness.wait_screen(os.path.join(self.prefix.path, "drawn.png"), painted, timeout=20)

    def wait_settled(self):
        ox, oy = self.origin()
        w, h = (int(v) for v in self.info["client"][2:4])
        points = [(ox + w * i // 32, oy + h * j // 24) for i in range(32) for j in range(24)]
        seen = []

        def settled(image):
            now = [image.pixel(*p) for p in points]
            same = bool(seen) and now == seen[-1] and len(set(now)) > 1
            seen.append(now)
            return same

        return harness.wait_screen(os.path.join(self.prefix.path, "drawn.png"), settled, timeout=20)

    def folder_parts(self):
        return os.path.relpath(self.folder, self.prefix.drive_c).split(os.sep)

    def poke(self, *args):
        code, out = self.prefix.run(self.poke_path, *args, timeout=30)
        return out

    def read_info(self):
        out = self.poke("info")
        if out.startswith("none"):
            return None
        info = {"children": []}
        for line in out.splitlines():
            parts = line.split()
            if parts[0] == "child":
                info["children"].append(parts[1:])
            else:
                info[parts[0]] = parts[1:]
        return info

    def combo(self):
        for child in self.read_info()["children"]:
            if child[0] == "ComboBox":
                return child
        self.test.fail("no repeat box")

    def origin(self):
        x, y = self.info["client"][:2]
        return int(x), int(y)

    def at(self, x, y):
        ox, oy = self.origin()
        return ox + x, oy + y

    def press(self, x, y, button=1):
        harness.mouse_move(*self.at(x, y))
        time.sleep(0.2)
        harness.mouse_click(button)
        time.sleep(0.5)

    def shot(self, name):
        return harness.screenshot(os.path.join(self.prefix.path, name + ".png"))

    def patch(self, image, x, y, w, h):
        ox, oy = self.origin()
        return [image.pixel(ox + i, oy + j) for j in range(y, y + h) for i in range(x, x + w)]

    def saved_lines(self):
        with open(self.ini_path, "rb") as f:
            return f.read().split(b"\r\n")

    def wait_closed(self):
        self.test.assertEqual(harness.wait_exit(self.process, 20), 0)

    def message(self):
        """The texts of the host's message box once it shows; OK is pressed
        on it and the dialog is back."""
        self.test.assertIsNotNone(harness.wait_window(MESSAGE_TITLE, timeout=20), "no message")
        code, out = self.prefix.run(harness.helper_binary("startup_probe"), "message-box", MESSAGE_TITLE)
        self.test.assertTrue(harness.wait_for(lambda: not harness.find_windows(MESSAGE_TITLE), timeout=10))
        return [line.split()[2] for line in out.splitlines() if line.startswith("control") and
                line.endswith("visible=1")]


class SettingsDialogLookTest(harness.WineTestCase):
    def check_kind(self, kind, repeat_text, ini, files=()):
        d = Dialog(self, ini, files).open()
        style = int(d.info["style"][0], 16)
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU)
        self.assertEqual(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
        self.assertEqual(d.info["client"][2:], ["496", "243"])
        # Centred across, a third of the free height down, in twips.
        sw, sh = (int(v) * 15 for v in d.info["screen"])
        fx, fy, fw, fh = (int(v) for v in d.info["frame"])
        self.assertEqual(fx, int(int(round_even(sw - fw * 15)) // 2 / 15))
        self.assertEqual(fy, int(int(round_even(sh - fh * 15)) // 3 / 15))

        combo = d.combo()
        self.assertEqual(combo[-32], "items=31")
        # Wine hands list texts to another process cut to one character, so
        # only the one-digit entries are compared whole.
        self.assertEqual(combo[-31:-21], ["-"] + [sjis(str(i)).hex().upper() for i in range(1, 10)])
        self.assertEqual(combo[1], sjis(repeat_text).hex().upper() if repeat_text else "-")
        self.assertEqual(combo[6], "enabled=%d" % (kind == 1))

        image = d.shot("look")
        self.assertTrue(caption_is_black(d, image, SET_BUTTON))
        self.assertEqual(caption_is_black(d, image, FILE_BUTTON), kind == 2)
        if not artwork_built_in():
            self.skipTest("the marker pictures are not built in yet")
        markers = {k: d.patch(image, x, y, 12, 12) for k, (x, y) in KIND_MARKER.items()}
        others = [markers[k] for k in markers if k != kind]
        self.assertEqual(others[0], others[1], "unselected markers differ")
        if kind in markers:
            self.assertNotEqual(markers[kind], others[0], "selected marker looks unselected")
        return d, image

    def test_kind_none_selects_none_and_enables_nothing(self):
        self.check_kind(0, "45", ini_bytes(KIND + "= 0", REPEAT + "= 45"))

    def test_kind_cd_enables_only_the_repeat_box(self):
        self.check_kind(1, "12", ini_bytes(KIND + "= 1", REPEAT + "= 12"))

    @harness.both_arches
    def test_kind_file_enables_only_the_file_button(self):
        self.check_kind(2, "", ini_bytes(KIND + "= 2", REPEAT + "= 0", FILE + "=C:\\Numerabo\\a.wav"),
                        files=["a.wav"])

    def test_odd_kind_selects_no_marker(self):
        self.check_kind(7, "-3", ini_bytes(KIND + "= 7", REPEAT + "=-3"))

    def test_gradients_follow_the_formulas(self):
        d = Dialog(self, ini_bytes(KIND + "= 0")).open()
        image = d.shot("gradient")
        window = gradient_rows(3645, 243, "window")
        for row in (0, 60, 121, 180, 242):
            got = d.patch(image, 5, row, 1, 1)[0]
            self.assertTrue(harness.close_enough(got, window[row], 3), (row, got, window[row]))
        self.assertTrue(harness.close_enough(window[0], (0, 0, 30), 4))
        self.assertEqual(window[121], (220, 220, 250))
        panel = gradient_rows(2475, 165, "panel")
        for row in (0, 40, 82, 120, 164):
            got = d.patch(image, PANEL[0] + 5, PANEL[1] + row, 1, 1)[0]
            self.assertTrue(harness.close_enough(got, panel[row], 3), (row, got, panel[row]))
        self.assertEqual(panel[82], (250, 250, 250))

    def test_dialog_font_is_13_pixels_high(self):
        d = Dialog(self)
        lines = d.poke("font").split("\n")
        face = sjis("ＭＳ Ｐゴシック").hex().upper()
        self.assertEqual(lines[0].split(), ["font", "-13", "400", "128", "0", face])
        self.assertEqual(lines[1].split(), ["font", "-13", "400", "128", "1", face])


    @unittest.skipUnless(artwork_built_in(), "no pictures built in")
    def test_dialog_carries_the_program_icon(self):
        # Asked from within the dialog's own process: Wine answers WM_GETICON
        # sent from another process with no icon even when one is set.
        d = Dialog(self, ini_bytes(KIND + "= 0"))
        out = d.poke("icon-here")
        self.assertIn("icon 1 1", out)


class SettingsDialogActionTest(harness.WineTestCase):
    def choose_file(self, d, path):
        d.press(FILE_BUTTON[0] + 20, FILE_BUTTON[1] + 10)
        chooser = harness.wait_window(OPEN_TITLE, timeout=20)
        self.assertIsNotNone(chooser, "no file chooser")
        time.sleep(1.0)
        subprocess.run(["xdotool", "windowfocus", "--sync", str(chooser)], check=False)
        if path.isascii():
            subprocess.run(["xdotool", "type", "--delay", "30", path], check=True)
        else:
            self.assertEqual(d.poke("chooser-name", path.encode("utf-8").hex()).split(), ["set", "1"])
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.assertTrue(harness.wait_for(lambda: not harness.find_windows(OPEN_TITLE), timeout=10))

    def wait_shot(self, d, name, predicate, message):
        """The first screenshot for which predicate holds: what a press
        changes shows when the dialog has handled it."""
        image = harness.wait_screen(os.path.join(self.prefix.path, name + ".png"), predicate, timeout=10)
        self.assertIsNotNone(image, message)
        return image

    @harness.both_arches
    def test_right_press_on_file_kind_selects_it(self):
        d = Dialog(self, ini_bytes(KIND + "= 0")).open()
        before = d.shot("before")
        d.press(KIND_LABEL[2][0] + 20, KIND_LABEL[2][1] + 6, button=3)
        self.assertFalse(caption_is_black(d, before, FILE_BUTTON))
        after = self.wait_shot(d, "after", lambda image: caption_is_black(d, image, FILE_BUTTON),
                               "the file button was not enabled")
        self.assertEqual(d.combo()[6], "enabled=0")
        if not artwork_built_in():
            self.skipTest("the marker pictures are not built in yet")
        # The markers swap pictures: the selected one moved from "なし" to "MP3、WAV".
        self.assertEqual(d.patch(after, *KIND_MARKER[0], 12, 12), d.patch(before, *KIND_MARKER[2], 12, 12))
        self.assertEqual(d.patch(after, *KIND_MARKER[2], 12, 12), d.patch(before, *KIND_MARKER[0], 12, 12))

    @harness.both_arches
    def test_missing_file_then_none_is_saved_with_kind_0(self):
        # Only the kind is in the file, so the other two keys are appended
        # in the order they are written.
        d = Dialog(self, ini_bytes(KIND + "= 0", )).open()
        d.press(KIND_LABEL[2][0] + 20, KIND_LABEL[2][1] + 6)
        before = self.wait_shot(d, "empty", lambda image: caption_is_black(d, image, FILE_BUTTON),
                                "the file button was not enabled")
        empty = d.patch(before, *FILE_NAME)
        self.choose_file(d, "C:\\Numerabo\\missing.wav")
        shown = d.patch(self.wait_shot(d, "shown", lambda image: d.patch(image, *FILE_NAME) != empty,
                                       "the chosen path is not shown"), *FILE_NAME)
        d.press(KIND_LABEL[0][0] + 10, KIND_LABEL[0][1] + 6)
        kept = self.wait_shot(d, "kept", lambda image: not caption_is_black(d, image, FILE_BUTTON),
                              "none was not chosen")
        self.assertEqual(d.patch(kept, *FILE_NAME), shown, "choosing none lost the path")
        d.poke("combo-text", "3.5")
        d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
        d.wait_closed()
        lines = d.saved_lines()
        self.assertEqual(lines[0], b"[Section]")
        self.assertIn(lines[1], (sjis(KIND) + b"= 0", sjis(KIND) + b"=0"))
        self.assertIn(lines[2], (sjis(REPEAT) + b"= 4", sjis(REPEAT) + b"=4"))
        self.assertEqual(lines[3], sjis(FILE) + b"=C:\\Numerabo\\missing.wav")

    @harness.both_arches
    @harness.code_pages
    def test_save_writes_the_three_keys_in_order(self):
        d = Dialog(self, b"[Section]\r\n").open()
        d.poke("combo-text", "abc")
        d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
        d.wait_closed()
        lines = [line for line in d.saved_lines() if line]
        self.assertEqual(lines[0], b"[Section]")
        self.assertEqual([line.split(b"=")[0] for line in lines[1:]], [sjis(KIND), sjis(REPEAT), sjis(FILE)])
        self.assertEqual([line.split(b"=", 1)[1].strip() for line in lines[1:]], [b"0", b"0", b""])

    @harness.both_arches
    def test_cancel_and_close_box_write_nothing(self):
        original = ini_bytes(REPEAT + "= 7", KIND + "= 1")
        d = Dialog(self, original).open()
        d.press(KIND_LABEL[0][0] + 10, KIND_LABEL[0][1] + 6)
        d.poke("combo-text", "9")
        d.press(CANCEL_BUTTON[0] + 38, CANCEL_BUTTON[1] + 12)
        d.wait_closed()
        with open(d.ini_path, "rb") as f:
            self.assertEqual(f.read(), original)

        d.open()
        d.press(KIND_LABEL[2][0] + 10, KIND_LABEL[2][1] + 6)
        self.assertEqual(d.poke("close").split(), ["posted", "1"])
        d.wait_closed()
        with open(d.ini_path, "rb") as f:
            self.assertEqual(f.read(), original)

    @harness.code_pages
    def test_settings_move_between_code_pages_unchanged(self):
        # A file as a Japanese system writes it, with a music file in a folder
        # whose name holds a trail byte 0x5C ("表"); opened and saved on this
        # run's system, then on the other one (932 and 1252 in turn).
        music = "C:\\曲 表\\ソ.wav"
        os.makedirs(self.prefix.c("曲 表"))
        with open(self.prefix.c("曲 表", "ソ.wav"), "wb") as f:
            f.write(b"RIFF")
        original = ini_bytes(KIND + "=2", REPEAT + "=5", FILE + "=" + music)
        d = Dialog(self, original)
        other = "932" if harness.CODEPAGE != "932" else "1252"
        looks = []
        for codepage in (harness.CODEPAGE, other):
            d.open(codepage)
            self.assertEqual(d.combo()[1], "35", "repeat not read on %s" % codepage)  # "5"
            shot = d.shot("cp" + codepage)
            self.assertTrue(caption_is_black(d, shot, FILE_BUTTON), "kind not read on %s" % codepage)
            # The captions: labels and buttons look the same on every system.
            looks.append([d.patch(shot, *KIND_LABEL[k], 60, 13) for k in (0, 1, 2)] +
                         [d.patch(shot, *button) for button in (SET_BUTTON, CANCEL_BUTTON)])
            d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
            d.wait_closed()
            lines = [line for line in d.saved_lines() if line]
            self.assertEqual([line.split(b"=", 1)[0] for line in lines[1:]], [sjis(KIND), sjis(REPEAT), sjis(FILE)])
            self.assertEqual([line.split(b"=", 1)[1].strip() for line in lines[1:]], [b"2", b"5", sjis(music)])
            # Off 932 the host writes the file itself and keeps the number's
            # leading blank, which Wine's profile calls drop: proof that the
            # process really ran on that code page.
            if codepage != "932":
                self.assertEqual(lines[1], sjis(KIND) + b"= 2", codepage)
        self.assertEqual(looks[0], looks[1], "the dialog's Japanese is drawn differently on the two systems")

    def test_paths_the_settings_file_cannot_hold_are_stored_by_short_name(self):
        # A host in a folder Shift-JIS cannot name with a music file whose
        # path it cannot hold either; and a Japanese path the chooser takes
        # (150 characters) but whose 291 Shift-JIS bytes the settings file
        # would give back cut, after which the next start would drop it.
        deep = "曲集" * 35
        cases = ((("Zoë Numerabo",), ("Musique", "été.wav")), (("Numerabo",), (deep, deep, "曲.wav")))
        for host_folder, music in cases:
            with self.subTest(music=music[-1]):
                d = Dialog(self, ini_bytes(KIND + "= 0"), folder=host_folder)
                os.makedirs(self.prefix.c(*music[:-1]), exist_ok=True)
                subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", self.prefix.c(*music),
                                "synth", "2", "sine", "440", "vol", "0.5"], check=True)
                d.open()
                d.press(KIND_LABEL[2][0] + 20, KIND_LABEL[2][1] + 6, button=3)
                self.choose_file(d, "C:\\" + "\\".join(music))
                d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
                d.wait_closed()
                stored = [line for line in d.saved_lines() if line.startswith(sjis(FILE) + b"=")]
                self.assertEqual(len(stored), 1)
                path = stored[0].split(b"=", 1)[1]
                self.assertTrue(path.upper().startswith(b"C:\\"), path)
                self.assertTrue(all(32 < c < 127 for c in path) and b"?" not in path and len(path) <= 254, path)

                saver = self.prefix.start(os.path.join(d.folder, harness.HOST_NAME), "/s")
                renderer = harness.wait_window("ぬめらぼ_VC", timeout=60)
                self.assertIsNotNone(renderer, "no show")
                self.assertTrue(harness.wait_for(lambda: harness.audio_rms(self.prefix.capture_path) > 0.05,
                                                 timeout=10), "the short name did not play")
                harness.hold_key(renderer, "Escape", until=lambda: not harness.find_windows("ぬめらぼ_VC"))
                self.assertIsNotNone(harness.wait_exit(saver, 5))
                shutil.rmtree(d.folder)
                if os.path.exists(self.prefix.capture_path):
                    os.remove(self.prefix.capture_path)

    def lock_folder(self, folder):
        """Makes the folder take no new file: immutable for root, to whom
        permissions mean nothing, read-only for anyone else; skips where
        neither holds."""
        if subprocess.run(["chattr", "+i", folder], stderr=subprocess.DEVNULL).returncode == 0:
            unlock = ["chattr", "-i", folder]
        else:
            os.chmod(folder, 0o555)
            unlock = ["chmod", "755", folder]
        self.addCleanup(subprocess.run, unlock)
        try:
            open(os.path.join(folder, "probe"), "wb").close()
        except OSError:
            return lambda: subprocess.run(unlock, check=True)
        self.skipTest("no folder here refuses new files")

    @harness.code_pages
    def test_a_failed_save_says_so_and_keeps_the_dialog_open(self):
        # The settings file held by another program without sharing (off
        # code page 932 the host cannot even read it then), and a folder that
        # takes no new file: the message, the old bytes, the dialog still
        # open with the choices, which a second try saves once the way is free.
        old = ini_bytes(KIND + "= 0", REPEAT + "= 0")
        for case in ("held", "locked"):
            with self.subTest(case):
                d = Dialog(self, old if case == "held" else None, folder=(case,))
                windows_path = "C:\\%s\\%s" % (case, harness.SETTINGS_NAME)
                if case == "held":
                    holder = self.prefix.start(d.poke_path, "hold", windows_path, stdout=subprocess.PIPE)
                    self.assertEqual(harness.read_line(holder.stdout, 30 * harness.RUN.patience).strip(), b"held 1")

                    def release():
                        os.killpg(holder.pid, signal.SIGKILL)
                        holder.wait()
                        harness.wait_for(lambda: d.poke("hold", windows_path, "once").strip() == "held 1")
                else:
                    release = self.lock_folder(d.folder)
                d.open()
                d.press(KIND_LABEL[1][0] + 20, KIND_LABEL[1][1] + 6)
                d.poke("combo-text", "7")
                d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
                self.assertIn(sjis(NOT_SAVED).hex().upper(), d.message())
                self.assertIsNone(d.process.poll(), "the dialog closed")
                self.assertEqual(d.combo()[1], sjis("7").hex().upper())
                self.assertEqual(d.combo()[6], "enabled=1")
                if case == "held":
                    with open(d.ini_path, "rb") as f:
                        self.assertEqual(f.read(), old)
                self.assertEqual(sorted(os.listdir(d.folder)), sorted(
                    [harness.HOST_NAME, harness.RENDERER_NAME, "settings_poke.exe"] +
                    ([harness.SETTINGS_NAME] if case == "held" else [])))
                release()
                # The pointer comes back onto 設定 as a user's does: the
                # button, focused again, takes a press it has not seen the
                # pointer come for as one dragged away. It comes back to
                # another point of the button than the first press's: Wine
                # merges the move away and the move back when it reads both
                # at once (on a busy machine), and reports no move at all to
                # where the pointer already was.
                harness.mouse_move(*d.at(SET_BUTTON[0] - 20, SET_BUTTON[1] - 20))
                d.press(SET_BUTTON[0] + 30, SET_BUTTON[1] + 10)
                d.wait_closed()
                values = [line.split(b"=", 1)[1].strip() for line in d.saved_lines() if b"=" in line]
                self.assertEqual(values, [b"1", b"7", b""])

    @harness.code_pages
    def test_a_path_too_long_to_store_is_refused_saying_why(self):
        # 291 Shift-JIS bytes in 150 characters: the chooser takes the path,
        # the settings file would give it back cut. The file is not there,
        # so the platform has no short name for it either, as a volume
        # without short names has none for any file.
        deep = "曲集" * 35
        os.makedirs(self.prefix.c(deep, deep))
        d = Dialog(self, ini_bytes(KIND + "= 2", FILE + "=C:\\Numerabo\\a.wav"), files=["a.wav"]).open()
        shown = d.patch(d.shot("before"), *FILE_NAME)
        self.choose_file(d, "C:\\%s\\%s\\曲.wav" % (deep, deep))
        self.assertIn(sjis(TOO_LONG).hex().upper(), d.message())
        self.assertIsNotNone(harness.wait_screen(os.path.join(self.prefix.path, "after.png"),
                                                 lambda image: d.patch(image, *FILE_NAME) == shown, timeout=10),
                             "the refused path is shown")
        d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
        d.wait_closed()
        self.assertIn(sjis(FILE) + b"=C:\\Numerabo\\a.wav", d.saved_lines())

    def test_an_open_dialog_refuses_a_second_host(self):
        d = Dialog(self, ini_bytes(KIND + "= 0")).open()
        host = os.path.join(d.folder, harness.HOST_NAME)
        for args in (["/s"], ["/c"], ["/p", "0"]):
            p = self.prefix.start(host, *args)
            self.assertIsNotNone(harness.wait_exit(p, 15), args)
        self.assertEqual(len(harness.find_windows(CAPTION)), 1)
        self.assertEqual(harness.find_windows("Numerabo_Main"), [])
        self.assertIsNone(d.process.poll())

    @harness.both_arches
    def test_saved_file_choice_plays_in_the_next_saver_run(self):
        d = Dialog(self, ini_bytes(KIND + "= 0"))
        tone = os.path.join(d.folder, "tone.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", tone, "synth", "2", "sine", "440",
                        "vol", "0.5"], check=True)
        d.open()
        d.press(KIND_LABEL[2][0] + 20, KIND_LABEL[2][1] + 6, button=3)
        self.choose_file(d, "C:\\Numerabo\\tone.wav")
        d.press(SET_BUTTON[0] + 38, SET_BUTTON[1] + 12)
        d.wait_closed()

        saver = self.prefix.start(os.path.join(d.folder, harness.HOST_NAME), "/s")
        renderer = harness.wait_window("ぬめらぼ_VC", timeout=60)
        self.assertTrue(harness.wait_for(lambda: harness.capture_size(self.prefix) > 0 and
                                         harness.audio_rms(self.prefix.capture_path) > 0.05, timeout=30),
                        "nothing was played")
        if renderer:
            harness.send_key(renderer, "Escape")
        # How the saver ends is the saver screen's own business.


if __name__ == "__main__":
    unittest.main()
