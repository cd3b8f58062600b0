"""The shipped programs: the right PE kind per architecture, and imports
from the platform's own DLLs only, so they start on a bare Windows."""

import os
import subprocess
import unittest

import harness

PLATFORM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "winmm.dll", "comdlg32.dll", "shell32.dll",
    "opengl32.dll", "glu32.dll", "msimg32.dll", "ole32.dll", "oleaut32.dll", "advapi32.dll",
    "msvcrt.dll", "windowscodecs.dll", "comctl32.dll", "shlwapi.dll",
}

BUILDS = {
    "i686": (os.environ.get("NUMERABO_WIN32_DIR", ""), "pei-i386"),
    "x86_64": (harness.WIN64_DIR, "pei-x86-64"),
}


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
        with open(path, "rb") as f:
            self.assertNotIn(b"saver-steps.log", f.read(), "the benchmark's step recorder was shipped")

    def test_both_programs_of_both_architectures(self):
        for arch, (folder, fmt) in BUILDS.items():
            self.assertTrue(folder, arch)
            self.check(os.path.join(folder, "host", harness.HOST_NAME), fmt)
            self.check(os.path.join(folder, "renderer", harness.RENDERER_NAME), fmt)

    def test_distribution_folders_hold_exactly_the_two_programs_and_a_note(self):
        dist = os.path.join(os.path.dirname(harness.WIN64_DIR), "dist")
        for arch in BUILDS:
            folder = os.path.join(dist, "numerabo-" + arch)
            self.assertEqual(sorted(os.listdir(folder)),
                             sorted([harness.HOST_NAME, harness.RENDERER_NAME, "INSTALL.txt"]), arch)
            self.assertTrue(os.path.isfile(os.path.join(dist, "numerabo-%s.zip" % arch)))


if __name__ == "__main__":
    unittest.main()
