"""The shipped programs: the right PE kind per architecture, and imports
from the platform's own DLLs only, so they start on a bare Windows."""

import os
import re
import struct
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


def manifests(path):
    """{id: bytes} of the application manifests (resource type 24) of a PE file."""
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    # The resource directory is the third data directory, after 96 (PE32) or
    # 112 (PE32+) bytes of the optional header.
    directories = optional + (112 if struct.unpack_from("<H", data, optional)[0] == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    if not rsrc_rva:
        return {}
    table = optional + optional_size
    for i in range(sections):
        size, rva, _, raw = struct.unpack_from("<4I", data, table + 40 * i + 8)
        if rva <= rsrc_rva < rva + size:
            base = raw + rsrc_rva - rva
            to_file = raw - rva
    def entries(offset):
        named, numbered = struct.unpack_from("<12xHH", data, base + offset)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
    found = {}
    for type_id, type_at in entries(0):
        if type_id != 24:
            continue
        for res_id, res_at in entries(type_at & 0x7FFFFFFF):
            for _, leaf in entries(res_at & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found[res_id] = data[rva + to_file:rva + to_file + size]
    return found


class DeliverablesTest(unittest.TestCase):
    def check(self, path, fmt):
        self.assertTrue(os.path.isfile(path), path)
        r = subprocess.run(["objdump", "-p", path], stdout=subprocess.PIPE, check=False)
        text = r.stdout.decode("utf-8", "replace")
        if "file format" not in text:  # host objdump without PE support
            tool = "i686-w64-mingw32-objdump" if "i386" in fmt else "x86_64-w64-mingw32-objdump"
            text = subprocess.run([tool, "-p", path], stdout=subprocess.PIPE, check=True).stdout.decode()
        self.assertIn("file format " + fmt, text, path)
        magic = "PE32+" if fmt == "pei-x86-64" else "PE32"
        self.assertIn("Magic\t\t\t%s" % ("020b" if magic == "PE32+" else "010b"), text, path)
        dlls = {line.split(":", 1)[1].strip().lower() for line in text.splitlines() if "DLL Name:" in line}
        self.assertTrue(dlls, path)
        self.assertLessEqual(dlls, PLATFORM_DLLS, (path, dlls - PLATFORM_DLLS))
        self.assertIn("(Windows GUI)", text, path)

    def test_both_programs_of_both_architectures(self):
        for arch, (folder, fmt) in BUILDS.items():
            self.assertTrue(folder, arch)
            self.check(os.path.join(folder, "host", harness.HOST_NAME), fmt)
            self.check(os.path.join(folder, "renderer", harness.RENDERER_NAME), fmt)

    def test_host_declares_system_dpi_awareness_and_nothing_else(self):
        for arch, (folder, _) in BUILDS.items():
            host = manifests(os.path.join(folder, "host", harness.HOST_NAME))
            self.assertEqual(list(host), [1], arch)
            text = re.sub(r"<!--.*?-->", "", host[1].decode("utf-8"), flags=re.S)
            self.assertRegex(text, r"<dpiAware[^>]*>\s*true\s*</dpiAware>", arch)
            # An execution level would end the file virtualization a standard
            # user's 32-bit saver writes C:\Numerabo1.bmp through.
            self.assertNotIn("requestedExecutionLevel", text, arch)
            self.assertNotRegex(text, re.compile("dpiAwareness|PerMonitor", re.I), arch)
            self.assertEqual(manifests(os.path.join(folder, "renderer", harness.RENDERER_NAME)), {}, arch)

    def test_distribution_folders_hold_exactly_the_two_programs_and_a_note(self):
        dist = os.path.join(os.path.dirname(harness.WIN64_DIR), "dist")
        for arch in BUILDS:
            folder = os.path.join(dist, "numerabo-" + arch)
            self.assertEqual(sorted(os.listdir(folder)),
                             sorted([harness.HOST_NAME, harness.RENDERER_NAME, "INSTALL.txt"]), arch)
            self.assertTrue(os.path.isfile(os.path.join(dist, "numerabo-%s.zip" % arch)))


if __name__ == "__main__":
    unittest.main()
