"""The shipped programs: the right PE kind per architecture, imports from
the platform's own DLLs only, and only of functions Windows Vista has, so
they start on a bare Windows Vista or later, and the texts they show the
platform about themselves; the zips and the checksum list that are
downloaded; and the README's first command, scripts/run.sh, as a newcomer
meets it."""

import glob
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

import harness

PLATFORM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll", "comdlg32.dll", "shell32.dll",
    "opengl32.dll", "glu32.dll", "msimg32.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll",
    "msvcrt.dll", "windowscodecs.dll", "comctl32.dll", "shlwapi.dll",
}

# Every function the four programs import, by DLL. The newest are
# GetTickCount64 and CompareStringOrdinal (kernel32), which came with Windows
# Vista; all the others are in Windows XP (SetThreadErrorMode, of Windows 7,
# is looked up at run time). So the programs start on Vista and later, as the
# README says. A new import fails the test until it is added
# here, and, if it is newer than Vista, until the README says so too.
ALLOWED_IMPORTS = {
    "advapi32.dll": "RegCloseKey RegOpenKeyExW RegQueryValueExW",
    "comdlg32.dll": "GetOpenFileNameW",
    "gdi32.dll": (
        "BitBlt ChoosePixelFormat CreateCompatibleDC CreateDIBSection CreateFontW CreatePen "
        "CreateSolidBrush DeleteDC DeleteObject GdiFlush GetDeviceCaps GetObjectA GetObjectW LineTo "
        "MoveToEx SelectObject SetBkMode SetPixelFormat SetROP2 SetStretchBltMode SetTextColor StretchBlt "
        "SwapBuffers "
    ),
    "glu32.dll": "gluBuild2DMipmaps gluNewQuadric gluPerspective gluQuadricTexture gluSphere",
    "kernel32.dll": (
        "CloseHandle CompareStringOrdinal GetCurrentProcess GetLocalTime GetProcessId GetProcessTimes "
        "GetSystemTimeAsFileTime CreateDirectoryW CreateFileW CreateProcessW CreateSemaphoreW CreateThread "
        "DeleteCriticalSection DeleteFileW EnterCriticalSection ExitProcess ExpandEnvironmentStringsW FindClose "
        "FindFirstFileW "
        "FindNextFileW FindResourceA FlushFileBuffers FreeLibrary GetACP GetCommandLineW "
        "GetCurrentProcessId GetCurrentThreadId GetDriveTypeW GetFileAttributesW GetFileSizeEx GetLastError "
        "GetLocaleInfoW "
        "GetLongPathNameW GetModuleFileNameW GetModuleHandleA GetModuleHandleW GetPrivateProfileStringW "
        "GetProcAddress GetShortPathNameW GetStartupInfoA GetTickCount64 GlobalAlloc GlobalFree "
        "GlobalLock GlobalUnlock InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection "
        "LoadLibraryA LoadLibraryW LoadResource LocalFree LockResource MoveFileExW MultiByteToWideChar "
        "OutputDebugStringA QueryPerformanceCounter QueryPerformanceFrequency RaiseException ReadFile "
        "ReleaseSemaphore RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx RtlVirtualUnwind "
        "SetEndOfFile SetErrorMode SetLastError SetUnhandledExceptionFilter SizeofResource Sleep TlsAlloc TlsFree "
        "TlsGetValue TlsSetValue VirtualProtect VirtualQuery WaitForSingleObject WideCharToMultiByte "
        "WriteFile WritePrivateProfileStringW __C_specific_handler "
    ),
    "msimg32.dll": "GradientFill",
    "msvcrt.dll": (
        "___lc_codepage_func ___mb_cur_max_func __getmainargs __initenv __iob_func __mb_cur_max "
        "__p__acmdln __p__commode __p__fmode __set_app_type __setusermatherr _acmdln _amsg_exit _cexit "
        "_close _commode _errno _fmode _initterm _iob _nextafter _onexit _read _wcsnicmp abort atoi "
        "calloc exit fprintf fputc fputs fputwc free fwprintf fwrite islower isspace isupper localeconv "
        "malloc memchr memcmp memcpy memmove memset realloc setlocale signal strchr strcmp strerror "
        "strlen strncmp vfprintf wcslen "
    ),
    "ole32.dll": "CoCreateInstance CoInitializeEx CoTaskMemFree CoUninitialize CreateStreamOnHGlobal",
    "oleaut32.dll": "OleLoadPicture",
    "opengl32.dll": (
        "glBegin glBindTexture glClear glClearColor glColor3f glDeleteTextures glEnable glEnd "
        "glGenTextures glLoadIdentity glMatrixMode glPixelStorei glPopMatrix glPushMatrix glRotatef "
        "glTexCoord2f glTexParameterf glTranslatef glVertex3f glViewport wglCreateContext "
        "wglDeleteContext wglMakeCurrent "
    ),
    "shell32.dll": "CommandLineToArgvW SHGetFolderPathW ShellExecuteW",
    "user32.dll": (
        "EqualRect GetForegroundWindow GetMonitorInfoW GetWindowThreadProcessId IsRectEmpty IsWindowVisible "
        "MonitorFromPoint SetRect "
        "AdjustWindowRectEx AllowSetForegroundWindow BeginPaint CreateWindowExW DefWindowProcW "
        "DestroyWindow DispatchMessageW DrawAnimatedRects DrawTextW EnableWindow EndPaint FillRect "
        "FindWindowW FrameRect GetCapture GetClientRect GetCursorPos GetDC GetDesktopWindow GetFocus "
        "GetKeyState GetMessageW GetParent GetSysColor GetSystemMetrics GetThreadDesktop "
        "GetUserObjectInformationW GetWindowLongPtrW GetWindowLongW GetWindowRect GetWindowTextLengthW "
        "GetWindowTextW InflateRect InvalidateRect IsWindow IsWindowEnabled KillTimer LoadCursorA "
        "LoadImageA MapWindowPoints MessageBoxW MoveWindow OffsetRect PeekMessageW PostMessageW "
        "PostQuitMessage PtInRect RedrawWindow RegisterClassW ReleaseCapture ReleaseDC ScreenToClient "
        "SendMessageW SetCapture SetCursor SetFocus SetForegroundWindow SetParent SetTimer "
        "SetWindowLongPtrW SetWindowLongW SetWindowPos SetWindowTextW ShowCursor ShowWindow "
        "SystemParametersInfoW TranslateMessage UpdateWindow ValidateRect WindowFromPoint "
    ),
    "windowscodecs.dll": "WICConvertBitmapSource",
    "winmm.dll": "PlaySoundW mciGetErrorStringW mciSendStringW waveOutGetNumDevs",
}
OLDEST_WINDOWS = (6, 0)  # Vista: no PE header may ask for a newer subsystem

DIST = os.path.join(os.path.dirname(harness.WIN64_DIR), "dist")
BUILDS = {
    "i686": (os.environ.get("NUMERABO_WIN32_DIR", ""), "pei-i386"),
    "x86_64": (harness.WIN64_DIR, "pei-x86-64"),
}


# windres turns a program's resources back into a resource script, writing
# every UTF-16 unit outside plain ASCII as \xNNNN.
VALUE = re.compile(r'VALUE "(\w+)", L?"((?:[^"\\]|\\.)*)"')
STRING_1 = re.compile(r'STRINGTABLE\s+BEGIN\s+1, L?"((?:[^"\\]|\\.)*)"')


def resource_script(path):
    r = subprocess.run(["x86_64-w64-mingw32-windres", "-i", path, "-O", "rc"], stdout=subprocess.PIPE,
                       check=True, env=dict(os.environ, LC_ALL="C"))
    return r.stdout.decode("ascii")


def rc_text(literal):
    return re.sub(r"\\x([0-9a-fA-F]{4})|\\(.)", lambda m: chr(int(m[1], 16)) if m[1] else m[2], literal)


def manifests(path):
    """{id: text} of the application manifests (resource type 24) of a program."""
    blocks = re.finditer(r'^(\S+) 24 [^\n]*\nBEGIN\n(.*?)^END', resource_script(path), re.M | re.S)
    return {m[1]: "".join(re.findall(r'"((?:[^"]|"")*)"', m[2])) for m in blocks}


class DeliverablesTest(unittest.TestCase):
    def check(self, path, fmt):
        self.assertTrue(os.path.isfile(path), path)
        r = subprocess.run(["objdump", "-p", path], stdout=subprocess.PIPE, check=False, env=harness.C_LOCALE)
        text = r.stdout.decode("utf-8", "replace")
        if "file format" not in text:  # host objdump without PE support
            tool = "i686-w64-mingw32-objdump" if "i386" in fmt else "x86_64-w64-mingw32-objdump"
            text = subprocess.run([tool, "-p", path], stdout=subprocess.PIPE, check=True,
                                  env=harness.C_LOCALE).stdout.decode()
        self.assertIn("file format " + fmt, text, path)
        magic = "PE32+" if fmt == "pei-x86-64" else "PE32"
        self.assertIn("Magic\t\t\t%s" % ("020b" if magic == "PE32+" else "010b"), text, path)
        dlls = {line.split(":", 1)[1].strip().lower() for line in text.splitlines() if "DLL Name:" in line}
        self.assertTrue(dlls, path)
        self.assertLessEqual(dlls, PLATFORM_DLLS, (path, dlls - PLATFORM_DLLS))
        self.assertIn("(Windows GUI)", text, path)
        # Stripped: no symbols of its own or of the MinGW runtime, no debug information.
        self.assertIn("\tsymbols stripped\n", text, path)
        self.assertIn("\tdebugging information removed\n", text, path)
        imports, dll = set(), None
        for line in text.splitlines():
            if "DLL Name:" in line:
                dll = line.split(":", 1)[1].strip().lower()
            elif dll and re.fullmatch(r"\s*[0-9a-f]+\s+\d+\s+\S+", line):
                imports.add((dll, line.split()[2]))
        allowed = {(d, name) for d, names in ALLOWED_IMPORTS.items() for name in "".join(names).split()}
        self.assertTrue(imports, path)
        self.assertFalse(imports - allowed, (path, "imports the list does not allow"))
        subsystem = tuple(int(re.search(r"%sSubsystemVersion\t(\d+)" % part, text)[1]) for part in ("Major", "Minor"))
        self.assertLessEqual(subsystem, OLDEST_WINDOWS, path)
        with open(path, "rb") as f:
            self.assertNotIn(b"saver-steps.log", f.read(), "the benchmark's step recorder was shipped")

    def test_both_programs_of_both_architectures(self):
        for arch, (folder, fmt) in BUILDS.items():
            self.assertTrue(folder, arch)
            self.check(os.path.join(folder, "host", harness.HOST_NAME), fmt)
            self.check(os.path.join(folder, "renderer", harness.RENDERER_NAME), fmt)

    def test_host_declares_system_dpi_awareness_and_nothing_else(self):
        for arch, (folder, _) in BUILDS.items():
            host = manifests(os.path.join(folder, "host", harness.HOST_NAME))
            self.assertEqual(list(host), ["1"], arch)
            text = re.sub(r"<!--.*?-->", "", host["1"], flags=re.S)
            self.assertRegex(text, r"<dpiAware[^>]*>\s*true\s*</dpiAware>", arch)
            # An execution level would end the file virtualization a standard
            # user's 32-bit saver writes C:\Numerabo1.bmp through.
            self.assertNotIn("requestedExecutionLevel", text, arch)
            self.assertNotRegex(text, re.compile("dpiAwareness|PerMonitor", re.I), arch)
            self.assertEqual(manifests(os.path.join(folder, "renderer", harness.RENDERER_NAME)), {}, arch)

    def test_distribution_folders_hold_exactly_the_two_programs_and_a_note(self):
        for arch in BUILDS:
            folder = os.path.join(DIST, "numerabo-" + arch)
            names = sorted([harness.HOST_NAME, harness.RENDERER_NAME, "INSTALL.txt"])
            self.assertEqual(sorted(os.listdir(folder)), names, arch)
            # The zip holds the same, under names Windows' own zip folders
            # read as UTF-8 (flag 0x800) rather than in the OEM code page.
            with zipfile.ZipFile(os.path.join(DIST, "numerabo-%s.zip" % arch)) as z:
                entries = z.infolist()
            self.assertEqual([e.filename for e in entries],
                             ["numerabo-%s/" % arch] + ["numerabo-%s/%s" % (arch, n) for n in names], arch)
            for e in entries:
                self.assertEqual(bool(e.flag_bits & 0x800), not e.filename.isascii(), e.filename)

    def test_checksums_list_every_download_and_match_it(self):
        setup = [os.path.basename(p) for p in glob.glob(os.path.join(DIST, "numerabo-*-setup.exe"))]
        with open(os.path.join(DIST, "SHA256SUMS"), encoding="utf-8") as f:
            listed = [line.rstrip("\n").split("  ", 1)[1] for line in f]
        self.assertEqual(sorted(listed), sorted(setup + ["numerabo-i686.zip", "numerabo-x86_64.zip",
                                                         "BUILDINFO.txt"]))
        # What someone rebuilding elsewhere must match.
        with open(os.path.join(DIST, "BUILDINFO.txt"), encoding="utf-8") as f:
            info = f.read()
        for needed in ("i686-w64-mingw32-g++", "x86_64-w64-mingw32-ld", "makensis", "cmake", "python3"):
            self.assertIn(needed, info)
        for arch in BUILDS:
            self.assertRegex(info, r"(?m)^flags \(%s\): .* -O3 .* -s$" % arch)
        self.assertNotIn(os.path.dirname(DIST), info, "a build folder's own path")
        r = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=DIST, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, env=harness.C_LOCALE)
        self.assertEqual(r.returncode, 0, r.stdout.decode())

    def test_version_information_and_the_saver_list_name(self):
        credit = "Designed by Numerabo Project Ver.1.0.0"  # the dialog's credit line
        programs = {harness.HOST_NAME: ("host", "ぬめらぼ (ScreenSaver)"),
                    harness.RENDERER_NAME: ("renderer", "ぬめらぼ (ScreenSaver) renderer")}
        for arch, (folder, _) in BUILDS.items():
            for name, (sub, description) in programs.items():
                rc = resource_script(os.path.join(folder, sub, name))
                self.assertIn("FILEVERSION 1, 0, 0, 0", rc, (arch, name))
                values = {key: rc_text(text) for key, text in VALUE.findall(rc)}
                self.assertEqual(values, {
                    "CompanyName": "Numerabo Project", "FileDescription": description,
                    "FileVersion": "1.0.0", "InternalName": name, "LegalCopyright": credit,
                    "OriginalFilename": name, "ProductName": "ぬめらぼ", "ProductVersion": "1.0.0",
                }, (arch, name))
                strings = [rc_text(text) for text in STRING_1.findall(rc)]
                self.assertEqual(strings, ["ぬめらぼ"] if sub == "host" else [], (arch, name))


class RunCommandTest(unittest.TestCase):
    """scripts/run.sh from a clean clone on a machine without a display, as
    the README gives it: the show, then the settings dialog; the second run
    may call no package manager and rebuild nothing."""

    def run_command(self, clone, env, *args, timeout):
        r = subprocess.run(["scripts/run.sh", *args], cwd=clone, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, timeout=timeout)
        out = r.stdout.decode("utf-8", "replace")
        self.assertEqual(r.returncode, 0, out)
        return out

    def shot(self, out, words):
        paths = re.findall("^run: %s: (.*)$" % words, out, re.M)
        self.assertEqual(len(paths), 1, out)
        return harness.read_image(paths[0])

    def test_show_then_dialog_from_a_clean_clone_the_second_run_installing_and_building_nothing(self):
        if not os.path.exists(os.path.join(harness.SOURCE_DIR, ".git")):
            self.skipTest("the sources are not a git checkout, so there is nothing to clone")
        work = os.path.join(harness.WINE_WORK, "run-command")
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        if os.environ.get("NUMERABO_KEEP_PREFIX") != "1":
            self.addCleanup(shutil.rmtree, work, ignore_errors=True)
        clone = os.path.join(work, "numerabo")
        subprocess.run(["git", "-c", "safe.directory=*", "clone", "-q", harness.SOURCE_DIR, clone], check=True)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "NUMERABO_BUILD", "NUMERABO_WINE_LOCALE", "WINEPREFIX")}

        shown = self.shot(self.run_command(clone, env, timeout=780), "screenshot of the running show")
        # What run.sh puts on the desktop, as it puts it there.
        reference = os.path.join(work, "desktop.png")
        subprocess.run(["convert", os.path.join(clone, "host", "resources", "artwork", "preview_image.jpg"),
                        "-resize", "1280x1024!", reference], check=True)
        desktop = harness.read_image(reference)
        grid = [(x, y) for x in range(0, 1280, 16) for y in range(0, 1024, 16)]
        changed = {(x, y): sum(abs(a - b) for a, b in zip(shown.pixel(x, y), desktop.pixel(x, y))) > 60
                   for x, y in grid}
        outside = [p for p in grid if p[0] >= 1024 or p[1] >= 768]
        inside = [p for p in grid if p not in outside]
        self.assertFalse(any(changed[p] for p in outside), "the desktop around the show is not the one shown")
        self.assertGreater(sum(changed[p] for p in inside), len(inside) / 2, "no show in the top-left 1024 x 768")
        for x, y in ((40, 40), (984, 40), (40, 728), (984, 728)):
            # The sphere's pink vertex colour keeps green at 40 % of the picture's.
            greens = [shown.pixel(x + i, y + j)[1] for i in range(-20, 20, 4) for j in range(-20, 20, 4)]
            self.assertLessEqual(max(greens), 0.4 * 255 + 12, "no pink sphere at %d,%d" % (x, y))

        # The second run: package managers that record their calls.
        shims, calls = os.path.join(work, "shims"), os.path.join(work, "calls.log")
        os.makedirs(shims)
        for name in ("apt-get", "apt", "aptitude", "dpkg", "sudo"):
            real = shutil.which(name) or "false"
            with open(os.path.join(shims, name), "w") as f:
                f.write('#!/bin/sh\necho "%s $*" >>"%s"\nexec %s "$@"\n' % (name, calls, real))
            os.chmod(os.path.join(shims, name), 0o755)
        built = [os.path.join(clone, "build", "x86_64", sub, name) for sub, name in
                 (("host", harness.HOST_NAME), ("renderer", harness.RENDERER_NAME))]
        times = [os.stat(p).st_mtime_ns for p in built]
        out = self.run_command(clone, dict(env, PATH=shims + os.pathsep + env["PATH"]), "/c", timeout=180)
        self.assertFalse(os.path.exists(calls), open(calls).read() if os.path.exists(calls) else "")
        self.assertEqual([os.stat(p).st_mtime_ns for p in built], times, "the second run built the programs again")
        dialog = self.shot(out, "the settings dialog")
        # The window's gradient (grey with blue 30 above) down its left edge,
        # dark at both ends and light in the middle, and the black caption of
        # its "設定" button (client pixels at 96 dpi).
        edge = [dialog.pixel(4, y) for y in range(0, dialog.height, 10)]
        for r, g, b in edge:
            self.assertTrue(abs(r - g) <= 3 and abs(b - r - 30) <= 4, edge)
        self.assertGreater(max(r for r, _, _ in edge), 180, edge)
        self.assertLess(min(r for r, _, _ in edge), 40, edge)
        self.assertLess(min(sum(dialog.pixel(x, y)) for x in range(329, 396) for y in range(205, 220)), 3 * 70)


class SetupScriptsTest(unittest.TestCase):
    """The setup scripts against a registry that fails, through stand-ins
    for the system's tools that record their calls (with whether
    DEBIAN_FRONTEND=noninteractive reached them)."""

    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.work)
        self.calls = os.path.join(self.work, "calls")
        # Not root, so through sudo, which clears the environment.
        self.stand_in("id", "echo 1000")
        self.stand_in("sudo", 'exec env -i PATH="$PATH" "$@"')
        self.stand_in("uname", "echo 6.8.0")
        self.stand_in("dpkg-query", "exit 1")

    def stand_in(self, name, body, record=False):
        with open(os.path.join(self.work, name), "w") as f:
            f.write("#!/bin/sh\n")
            if record:
                f.write('echo "%s $(env | grep -c ^DEBIAN_FRONTEND=noninteractive) $*" >>%s\n' % (name, self.calls))
            f.write(body + "\n")
        os.chmod(os.path.join(self.work, name), 0o755)

    def run_script(self, command, **env):
        env = dict({k: v for k, v in os.environ.items() if k != "NUMERABO_SKIP_I686"},
                   PATH=self.work + os.pathsep + os.environ["PATH"], NUMERABO_APT_PAUSE="0", **env)
        r = subprocess.run(["bash", "-c", command], cwd=harness.SOURCE_DIR, env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT)
        with open(self.calls) as f:
            return r.returncode, r.stdout.decode().strip().splitlines(), f.read().splitlines()

    def test_apt_retry_tries_again_only_what_can_change_and_reports_apts_error(self):
        for error, tries in (("E: Unable to locate package nosuch", 1),
                             ("E: Failed to fetch http://x/Packages.xz  File has unexpected size", 4)):
            open(self.calls, "w").close()
            self.stand_in("apt-get", 'echo "W: a warning first"; echo "%s"; exit 100' % error, record=True)
            code, out, calls = self.run_script(". scripts/apt-retry.sh; apt_retry t install nosuch")
            self.assertNotEqual(code, 0)
            self.assertEqual(len(calls), tries, calls)
            self.assertTrue(all(c.startswith("apt-get 1 ") for c in calls), calls)
            self.assertTrue(out[-1].endswith(error), out)

    def test_apt_retry_forgets_a_release_file_its_mirror_no_longer_matches(self):
        # The mirror serves an older Release than the cached one: the update
        # fails until that suite's cached Release files are gone.
        lists = os.path.join(self.work, "lists")
        os.mkdir(lists)
        suite, other = "deb.debian.org_debian-security_dists_bookworm-security_", "deb.debian.org_debian_dists_bookworm_"
        for name in (suite + "InRelease", suite + "Release.gpg", other + "InRelease"):
            open(os.path.join(lists, name), "w").close()
        for error in ("File has unexpected size (374820 != 376004). Mirror sync in progress?", "Hash Sum mismatch"):
            open(self.calls, "w").close()
            open(os.path.join(lists, suite + "InRelease"), "w").close()
            self.stand_in("apt-get", '[ ! -e %s ] || { echo "E: Failed to fetch http://deb.debian.org/debian-security/'
                          'dists/bookworm-security/main/binary-i386/Packages.xz  %s"; exit 100; }'
                          % (os.path.join(lists, suite + "InRelease"), error), record=True)
            code, out, calls = self.run_script(". scripts/apt-retry.sh; apt_retry t update", NUMERABO_APT_LISTS=lists)
            self.assertEqual((code, len(calls)), (0, 2), (error, out))
            self.assertEqual(sorted(os.listdir(lists)), [other + "InRelease"], error)

    def test_setup_i686_takes_back_the_architecture_it_added_when_the_install_fails(self):
        self.stand_in("apt-get", 'echo "E: Failed to fetch http://x/binary-i386/Packages.xz"; exit 100', record=True)
        for before, added in (("", True), ("i386", False)):
            open(self.calls, "w").close()
            self.stand_in("dpkg", '[ "$1" != --print-foreign-architectures ] || echo %s' % before, record=True)
            code, out, calls = self.run_script("scripts/setup-i686.sh", NUMERABO_APT_TRIES="1")
            self.assertNotEqual(code, 0)
            changes = [c.split(" ", 2)[2] for c in calls if "architecture " in c]
            self.assertEqual(changes, ["--add-architecture i386", "--remove-architecture i386"] if added else [],
                             (before, out))


if __name__ == "__main__":
    unittest.main()
