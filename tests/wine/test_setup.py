"""The setup program under Wine, the way a user meets it: a silent install
into a fresh prefix, the installed saver's show and settings, an update over
the first install, and the silent uninstall that Settings → Apps would run;
and its pages, and the uninstaller's, in the user's language.

The setup program is a 32-bit program that installs the 64-bit build on
64-bit Windows, so on the x86_64 prefix it runs under the emulated 32-bit
Wine as well; without that, this file reports itself skipped."""

import glob
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import unittest

import harness
import test_saver
import test_settings

DIST = os.path.join(os.path.dirname(harness.WIN64_DIR), "dist")
WINE32 = harness.ARCHES["i686"].loader
UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Numerabo"
OWN_KEY = "HKCU\\Software\\Numerabo"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
SHORTCUT = "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\ぬめらぼ の設定.lnk"
# The way back to ぬめらぼ once another saver was chosen: what Explorer's
# "Install" on the .scr runs.
INSTALL_SHORTCUT = "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\ぬめらぼ をスクリーン セーバーにする.lnk"
# Where the saver may have left its two pictures, below the user's local
# application data (besides the root of drive C:).
PICTURE_FOLDERS = ("VirtualStore", "Numerabo")
PREVIOUS_SAVER = "C:\\windows\\system32\\ssText3d.scr"
# What the setup program shows and makes on a Western system (Wine in the
# C.UTF-8 locale has an English user interface) and on a Japanese one: the
# titles of its first page and of the uninstaller's (which NSIS ends with a
# blank), and the names of the Start-menu entries.
LANGUAGES = {
    "English": ("1252", "ぬめらぼ Setup", "ぬめらぼ Uninstall ",
                ["Make ぬめらぼ the screen saver.lnk", "ぬめらぼ Settings.lnk"]),
    "Japanese": ("932", "ぬめらぼ セットアップ", "ぬめらぼ アンインストール ",
                 ["ぬめらぼ の設定.lnk", "ぬめらぼ をスクリーン セーバーにする.lnk"]),
}


def texts_define(name):
    with open(os.path.join(harness.SOURCE_DIR, "host", "resources", "texts.h"), encoding="utf-8") as f:
        return re.search(r'#define %s "([^"]+)"' % name, f.read())[1]


def version():
    return texts_define("NUMERABO_VERSION_TEXT")


REG_VALUE = re.compile(r'^"((?:[^"\\]|\\.)*)"=(?:"((?:[^"\\]|\\.)*)"|dword:([0-9a-f]{8}))$')


def unescape(text):
    return re.sub(r"\\(.)", r"\1", text)


def read_link(path):
    """(target, arguments) of a shell link file: the target from its link
    information's local path, the arguments from its string data."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x1:  # an item id list
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x2:  # link information
        size, header, info_flags = struct.unpack_from("<III", data, pos)
        if info_flags & 0x1:  # a local path, in Unicode too where the header is long enough
            if header >= 0x24:
                start = pos + struct.unpack_from("<I", data, pos + 0x1C)[0]
                end = start
                while data[end:end + 2] != b"\0\0":
                    end += 2
                target = data[start:end].decode("utf-16-le")
            else:
                start = pos + struct.unpack_from("<I", data, pos + 0x10)[0]
                target = data[start:data.index(b"\0", start)].decode("cp932")
        pos += size
    wide = 2 if flags & 0x80 else 1
    strings = {}
    for bit in (0x4, 0x8, 0x10, 0x20, 0x40):  # name, relative path, folder, arguments, icon
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            text = data[pos + 2:pos + 2 + count * wide]
            # Wine counts the closing NUL as well.
            strings[bit] = text.decode("utf-16-le" if wide == 2 else "cp932").rstrip("\0")
            pos += 2 + count * wide
    return target, strings.get(0x20)


def unavailable_reason():
    """The setup program is 32-bit: without the emulation this whole file is
    skipped, for either build (run_file.py asks)."""
    r = subprocess.run([*WINE32, "--check"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return "the 32-bit setup program cannot run here: " + r.stdout.decode().strip() if r.returncode else None


class SetupTest(harness.WineTestCase):
    def setUp(self):
        super().setUp()
        reason = unavailable_reason()
        if reason:
            self.skipTest(reason)
        found = glob.glob(os.path.join(DIST, "numerabo-*-setup.exe"))
        self.assertEqual([os.path.basename(f) for f in found], ["numerabo-%s-setup.exe" % version()])
        self.setup_program = found[0]
        self.check_32_bit_half()

    def check_32_bit_half(self):
        if harness.ARCH == "x86_64" and not os.listdir(self.prefix.c("windows", "syswow64")):
            self.fail(self.no_32_bit_half())

    def no_32_bit_half(self):
        return ("the x86_64 prefix has no 32-bit half (drive_c/windows/syswow64 is empty), so no 32-bit "
                "program starts in it (Wine exits with 53): its template %s was made without the 32-bit "
                "platform; scripts/wine-prefix.sh makes it again" % harness.ARCHES["x86_64"].template)

    # -- helpers -------------------------------------------------------------
    def start32(self, program, *args, prefix=None, codepage=None):
        """Starts a 32-bit program (a Unix path) in the prefix, under the
        run's code page or the one given; returns the Popen."""
        prefix = prefix or self.prefix
        if prefix.holds_desktop and prefix.keeper is None:
            prefix.hold_desktop()
        p = subprocess.Popen([*WINE32, program, *args], cwd=os.path.dirname(program), env=prefix.env(codepage),
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        prefix.processes.append(p)
        return p

    def run32(self, program, *args, **where):
        """Runs a 32-bit program of the prefix (a Unix path) to its end."""
        code = harness.wait_exit(self.start32(program, *args, **where), 60)
        if code == 53 and not os.listdir(os.path.join((where.get("prefix") or self.prefix).drive_c,
                                                      "windows", "syswow64")):
            self.fail(self.no_32_bit_half())
        return code

    def unix(self, path):
        self.assertTrue(path.upper().startswith("C:\\"), path)
        return self.prefix.c(*path[3:].split("\\"))

    def registry(self, key):
        """{name: text or number} of the key's own string and DWORD values,
        or None when there is no such key."""
        export = ("reg", "export", key, "C:\\key.reg", "/y")
        code, out = self.prefix.run(*export, cwd=self.prefix.path)
        if code != 0 and self.prefix.run("reg", "query", key, cwd=self.prefix.path)[0] == 0:
            # Seen once in a full run, not since: the key was there and its
            # export failed. Said on stderr, then asked once more.
            print("registry: reg export of %s failed (%s): %r; again" % (key, code, out), file=sys.stderr)
            code, out = self.prefix.run(*export, cwd=self.prefix.path)
            self.assertEqual(code, 0, "reg export of %s failed twice: %r" % (key, out))
        if code != 0:
            return None
        with open(self.prefix.c("key.reg"), "rb") as f:
            lines = f.read().decode("utf-16").splitlines()
        values = {}
        for line in lines[3:]:
            if line.startswith("["):
                break  # a subkey
            m = REG_VALUE.match(line)
            if m:
                values[unescape(m[1])] = unescape(m[2]) if m[2] is not None else int(m[3], 16)
        return values

    def settled_screenshot(self, title, name):
        """Waits for the window of that title, then takes screenshots, kept in
        the suite's work folder for a look, until the window shows more than a
        blank face and two in a row agree."""
        window = harness.wait_window(title, timeout=60)
        self.assertIsNotNone(window, "no window " + title)
        path = os.path.join(harness.WINE_WORK, name)
        shots = []

        def settled():
            x, y, width, height = harness.window_geometry(window)
            image = harness.screenshot(path)
            faces = {image.pixel(i, j) for i in range(max(x, 0), min(x + width, image.width), 4)
                     for j in range(max(y, 0), min(y + height, image.height), 4)}
            shots.append(image.data)
            return len(faces) > 16 and len(shots) > 1 and shots[-1] == shots[-2]

        self.assertTrue(harness.wait_for(settled, 60, interval=0.3), name + " did not settle")

    def set_desktop(self, name, text):
        args = ["/d", text] if text is not None else []
        self.prefix.run("reg", "delete" if text is None else "add", DESKTOP_KEY, "/v", name, *args, "/f",
                        cwd=self.prefix.path)

    def install(self):
        self.assertEqual(self.run32(self.setup_program, "/S"), 0)
        return self.registry(UNINSTALL_KEY)

    def uninstall(self, entry):
        # What Settings → Apps runs; the uninstaller hands over to a copy of
        # itself in a temporary folder and returns at once.
        m = re.fullmatch(r'"([^"]+)" (.*)', entry["QuietUninstallString"])
        self.assertEqual(self.run32(self.unix(m[1]), *m[2].split()), 0)
        self.assertTrue(test_saver.wineserver_idle(self.prefix, 60), "the uninstaller did not end")

    def run_show(self, folder):
        host = self.prefix.start(os.path.join(folder, harness.HOST_NAME), "/s")
        window = harness.wait_window(test_saver.RENDERER_TITLE, timeout=30)
        self.assertIsNotNone(window, "no renderer window")
        for name in ("Numerabo1.bmp", "Numerabo2.bmp"):
            self.assertTrue(os.path.isfile(self.prefix.c(name)), name)
        test_saver.escape_renderer(self, window)
        self.assertIsNotNone(harness.wait_exit(host, 5), "the host outlives the renderer")

    # -- the test -------------------------------------------------------------
    @harness.both_arches
    def test_install_show_settings_update_and_uninstall(self):
        if harness.ARCH == "x86_64":
            self.set_desktop("SCRNSAVE.EXE", PREVIOUS_SAVER)
            self.set_desktop("ScreenSaveActive", "0")
        entry = self.install()
        self.assertIsNotNone(entry, "no uninstall entry")
        location = entry.get("InstallLocation", "")
        self.assertRegex(location, r"^C:\\users\\[^\\]+\\AppData\\Local\\Programs\\Numerabo$")
        folder = self.unix(location)
        profile = location[:-len("\\AppData\\Local\\Programs\\Numerabo")]
        host = location + "\\" + harness.HOST_NAME
        uninstaller = '"%s\\uninstall.exe"' % location
        self.assertEqual(sorted(os.listdir(folder)),
                         sorted([harness.HOST_NAME, harness.RENDERER_NAME, "uninstall.exe"]))
        # The 64-bit build on 64-bit Windows, the 32-bit one on 32-bit Windows.
        for name in (harness.HOST_NAME, harness.RENDERER_NAME):
            with open(os.path.join(folder, name), "rb") as a, \
                    open(os.path.join(DIST, "numerabo-" + harness.ARCH, name), "rb") as b:
                self.assertTrue(a.read() == b.read(), name + " is not the %s build" % harness.ARCH)
        size = sum(os.path.getsize(os.path.join(folder, name)) for name in os.listdir(folder)) / 1024
        self.assertLessEqual(abs(entry.pop("EstimatedSize", 0) - size), 2, size)
        self.assertEqual(entry, {
            "DisplayName": "ぬめらぼ", "DisplayVersion": version(), "Publisher": "Numerabo Project",
            "URLInfoAbout": texts_define("NUMERABO_HOME_PAGE"),
            "DisplayIcon": host + ",0", "InstallLocation": location,
            "UninstallString": uninstaller, "QuietUninstallString": uninstaller + " /S",
            "NoModify": 1, "NoRepair": 1,
        })
        desktop = self.registry(DESKTOP_KEY)
        self.assertEqual((desktop.get("SCRNSAVE.EXE"), desktop.get("ScreenSaveActive")), (host, "1"))
        with open(self.unix(profile + "\\" + SHORTCUT), "rb") as f:
            link = f.read()
        self.assertIn(host.encode("utf-16-le"), link)
        self.assertIn("/c".encode("utf-16-le"), link)
        target, arguments = read_link(self.unix(profile + "\\" + INSTALL_SHORTCUT))
        self.assertEqual((target.lower(), arguments),
                         ("c:\\windows\\system32\\rundll32.exe", "desk.cpl,InstallScreenSaver " + host))
        self.run_show(folder)
        if harness.ARCH != "x86_64":
            return  # the rest does not depend on the build, and is slow emulated

        # The dialog opened the way the Start-menu entry opens it saves beside
        # the installed host, and an update keeps what it saved.
        dialog = InstalledDialog(self, folder).open()
        dialog.press(test_settings.SET_BUTTON[0] + 38, test_settings.SET_BUTTON[1] + 12)
        dialog.wait_closed()
        with open(dialog.ini_path, "rb") as f:
            settings = f.read()
        self.assertTrue(settings.startswith(b"[Section]"), settings)
        update = self.install()
        update.pop("EstimatedSize", None)
        self.assertEqual(update, entry)
        self.assertTrue(os.path.isfile(dialog.ini_path), "the update removed the settings file")
        with open(dialog.ini_path, "rb") as f:
            self.assertEqual(f.read(), settings, "the update changed the settings file")
        self.assertEqual(self.registry(DESKTOP_KEY).get("SCRNSAVE.EXE"), host)

        local = self.unix(profile + "\\AppData\\Local")
        # The pictures, and partial files a host ended mid-write left beside them.
        pictures = [os.path.join(folder, harness.SETTINGS_NAME + ".4242.part")]
        for where in [self.prefix.drive_c] + [os.path.join(local, sub) for sub in PICTURE_FOLDERS]:
            os.makedirs(where, exist_ok=True)
            for name in ("Numerabo1.bmp", "Numerabo2.bmp", "Numerabo1.bmp.4242.part", "Numerabo2.bmp.17.part"):
                pictures.append(os.path.join(where, name))
                if not os.path.exists(pictures[-1]):
                    with open(pictures[-1], "wb") as f:
                        f.write(b"BM")
        # The record of the last start, and a partial one.
        for name in ("Numerabo-start.txt", "Numerabo-start.txt.part"):
            pictures.append(os.path.join(local, "Numerabo", name))
            with open(pictures[-1], "wb") as f:
                f.write(b"numerabo-start-record: 1\r\n")
        with open(pictures[0], "wb") as f:
            f.write(b"[Section]")
        self.uninstall(entry)
        links = [self.unix(profile + "\\" + name) for name in (SHORTCUT, INSTALL_SHORTCUT)]
        left = [p for p in [folder, os.path.join(local, "Numerabo")] + links + pictures if os.path.exists(p)]
        self.assertEqual(left, [])
        self.assertEqual((self.registry(UNINSTALL_KEY), self.registry(OWN_KEY)), (None, None))
        desktop = self.registry(DESKTOP_KEY)
        self.assertEqual((desktop.get("SCRNSAVE.EXE"), desktop.get("ScreenSaveActive")), (PREVIOUS_SAVER, "0"))

        # With no screen saver before, there is none after.
        self.set_desktop("SCRNSAVE.EXE", None)
        self.uninstall(self.install())
        self.assertNotIn("SCRNSAVE.EXE", self.registry(DESKTOP_KEY))

    def hold(self, path):
        """Holds a file of the prefix (a Windows path) open, sharing reads
        only, until let_go(); returns the helper's process."""
        holder = subprocess.Popen([*harness.RUN.loader, harness.helper_binary("file_holder"), path],
                                  env=self.prefix.env("932"), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, start_new_session=True)
        self.prefix.processes.append(holder)
        self.assertEqual(harness.read_line(holder.stdout, 30).strip(), b"held 1", path)
        return holder

    def let_go(self, holder):
        holder.stdin.write(b"\n")
        holder.stdin.flush()
        self.assertEqual(harness.read_line(holder.stdout, 30).strip(), b"released")

    def test_files_in_use_and_an_update_into_another_folder(self):
        # The 32-bit setup's own logic, the same on either build: run once.
        entry = self.install()
        location = entry["InstallLocation"]
        folder = self.unix(location)
        programs = [harness.HOST_NAME, harness.RENDERER_NAME, "uninstall.exe"]
        # What the setup must not replace while the file is held.
        with open(os.path.join(folder, harness.HOST_NAME), "wb") as f:
            f.write(b"old host")
        holder = self.hold(location + "\\" + harness.HOST_NAME)
        code = self.run32(self.setup_program, "/S")
        self.assertNotIn(code, (0, None), "the setup finished over a held file")
        with open(os.path.join(folder, harness.HOST_NAME), "rb") as f:
            self.assertEqual(f.read(), b"old host")
        # The uninstaller run in its folder (_?=), so that its exit code is
        # its own rather than that of the copy it otherwise hands over to.
        code = self.run32(os.path.join(folder, "uninstall.exe"), "/S", "_?=" + location)
        self.assertNotIn(code, (0, None), "the uninstaller finished beside a held file")
        self.assertEqual(self.registry(UNINSTALL_KEY), entry)
        self.assertEqual(sorted(os.listdir(folder)), sorted(programs))
        self.let_go(holder)

        # An update into another folder takes the settings along and leaves
        # nothing in the old one.
        settings = b"[Section]\r\nMusicType=0\r\n"
        with open(os.path.join(folder, harness.SETTINGS_NAME), "wb") as f:
            f.write(settings)
        with open(os.path.join(folder, harness.SETTINGS_NAME + ".4242.part"), "wb") as f:
            f.write(b"[Sec")
        # No blank: Wine would quote the argument, and /D= is taken unquoted.
        other = location[:-len("Programs\\Numerabo")] + "Saver\\ぬめらぼ"
        self.assertEqual(self.run32(self.setup_program, "/S", "/D=" + other), 0)
        self.assertFalse(os.path.exists(folder), os.listdir(folder) if os.path.isdir(folder) else "")
        moved = self.registry(UNINSTALL_KEY)
        self.assertEqual(moved["InstallLocation"], other)
        self.assertEqual(sorted(os.listdir(self.unix(other))), sorted(programs + [harness.SETTINGS_NAME]))
        with open(os.path.join(self.unix(other), harness.SETTINGS_NAME), "rb") as f:
            self.assertEqual(f.read(), settings)
        self.assertEqual(self.registry(DESKTOP_KEY).get("SCRNSAVE.EXE"), other + "\\" + harness.HOST_NAME)

    def test_pages_speak_the_user_interface_language(self):
        # Each language in a prefix of its own, installed silently first, so
        # that the uninstaller is there to start too. The screenshots stay in
        # the suite's work folder for a look.
        for language, (codepage, setup_title, uninstall_title, names) in LANGUAGES.items():
            with self.subTest(language), harness.WinePrefix(self.id().replace(".", "_") + "_" + language,
                                                            hold_desktop=True) as prefix:
                self.assertEqual(self.run32(self.setup_program, "/S", prefix=prefix, codepage=codepage), 0)
                entries = glob.glob(prefix.c("users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                             "Start Menu", "Programs", "*ぬめらぼ*"))
                self.assertEqual(sorted(os.path.basename(e) for e in entries), sorted(names))
                uninstaller = glob.glob(prefix.c("users", "*", "AppData", "Local", "Programs", "Numerabo",
                                                 "uninstall.exe"))
                setup = self.start32(self.setup_program, prefix=prefix, codepage=codepage)
                self.settled_screenshot(setup_title, "setup-%s.png" % language)
                # Gone again, so that the uninstaller's screenshot shows it alone.
                os.killpg(setup.pid, signal.SIGKILL)
                self.assertTrue(harness.wait_for(lambda: not harness.find_windows(setup_title), 30))
                self.start32(uninstaller[0], prefix=prefix, codepage=codepage)
                self.settled_screenshot(uninstall_title, "uninstall-%s.png" % language)


class InstalledDialog(test_settings.Dialog):
    """The settings dialog of the installed host; its helper stays outside
    the install folder, which the uninstaller must leave empty."""

    def __init__(self, test, folder):
        self.test, self.prefix, self.folder, self.dpi = test, test.prefix, folder, 96
        self.ini_path = os.path.join(folder, harness.SETTINGS_NAME)
        os.makedirs(test.prefix.c("helpers"), exist_ok=True)
        self.poke_path = test.prefix.c("helpers", "settings_poke.exe")
        shutil.copy(harness.helper_binary("settings_poke"), self.poke_path)
        self.process = None


if __name__ == "__main__":
    unittest.main()
