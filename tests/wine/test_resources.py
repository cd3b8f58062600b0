"""The built host carries every picture, and the host's own loading code
decodes each one at its size with the colours of the file."""

import os
import shutil
import subprocess
import unittest

import harness

ART = os.path.join(harness.SOURCE_DIR, "host", "resources", "artwork")


class ResourcesTest(harness.WineTestCase):
    def test_every_picture_loads_at_its_size_and_colours(self):
        probe = os.path.join(self.prefix.c("probe"), "resources_probe.exe")
        os.makedirs(os.path.dirname(probe))
        shutil.copy(harness.helper_binary("resources_probe"), probe)
        code, out = self.prefix.run(probe)
        self.assertEqual(code, 0, out)
        lines = {line.split()[0]: line.split()[1:] for line in out.splitlines() if line.strip()}
        sizes = {"back": (512, 512), "preview_back": (152, 112), "preview_image": (152, 112),
                 "marker_off": (12, 12), "marker_on": (12, 12)}
        for state in ("normal", "highlight", "pressed", "selected", "highlight_select", "disable"):
            sizes["button_" + state] = (64, 25)
        for name, size in sizes.items():
            fields = lines[name]
            self.assertEqual((int(fields[0]), int(fields[1])), size, (name, fields))
            ext = ".jpg" if not name.startswith("button") else ".bmp"
            reference = harness.read_image(os.path.join(ART, name + ext))
            for sample in fields[2:]:
                point, colour = sample.split("=")
                x, y = map(int, point.split(","))
                got = tuple(map(int, colour.split(",")))
                self.assertTrue(harness.close_enough(got, reference.pixel(x, y), 12), (name, x, y, got))
        self.assertEqual(lines["icon"], ["32", "32"])
        self.assertEqual(lines["cursor"], ["12", "10"])

    def test_the_host_file_holds_every_resource(self):
        r = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", harness.host_binary()],
                           stdout=subprocess.PIPE, check=True, env=harness.C_LOCALE)
        self.assertIn(".rsrc", r.stdout.decode())
        size = os.path.getsize(harness.host_binary())
        art = sum(os.path.getsize(os.path.join(ART, f)) for f in os.listdir(ART))
        self.assertGreater(size, art)


if __name__ == "__main__":
    unittest.main()
