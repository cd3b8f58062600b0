"""The host's artwork files, read by independent readers (ImageMagick and the
bytes themselves), and checked to be what the generator makes."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
ART = os.path.join(ROOT, "host", "resources", "artwork")
GENERATOR = os.path.join(ROOT, "host", "resources", "tools", "generate.py")


def identify(path, fmt):
    # The C locale: what identify prints must not follow the user's language.
    return subprocess.run(["identify", "-format", fmt, path], stdout=subprocess.PIPE, check=True,
                          env=dict(os.environ, LC_ALL="C", LANGUAGE="")).stdout.decode().strip()


def jpeg_frame(path):
    """(marker, components) of the JPEG's start-of-frame segment."""
    data = open(path, "rb").read()
    assert data[:2] == b"\xff\xd8"
    pos = 2
    while pos < len(data):
        assert data[pos] == 0xFF
        marker = data[pos + 1]
        length = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            return marker, data[pos + 9]
        pos += 2 + length
    raise AssertionError("no frame in " + path)


class ArtworkTest(unittest.TestCase):
    def test_jpegs_are_baseline_three_component_of_their_sizes(self):
        for name, size in (("back.jpg", "512 512"), ("preview_back.jpg", "152 112"),
                           ("preview_image.jpg", "152 112"), ("marker_off.jpg", "12 12"),
                           ("marker_on.jpg", "12 12")):
            path = os.path.join(ART, name)
            self.assertEqual(identify(path, "%m %w %h"), "JPEG " + size, name)
            self.assertEqual(jpeg_frame(path), (0xC0, 3), name)

    def test_markers_differ_clearly(self):
        def centre(name):
            out = subprocess.run(["convert", os.path.join(ART, name), "-crop", "1x1+5+5", "-depth", "8",
                                  "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
            return tuple(out[:3])
        off, on = centre("marker_off.jpg"), centre("marker_on.jpg")
        self.assertGreater(min(off), 230, off)          # an empty white hole
        self.assertGreater(on[0] - on[1], 100, on)      # a magenta dot

    def test_button_pictures_are_24_bit_uncompressed_and_differ_in_their_frames(self):
        frames = []
        for state in ("normal", "highlight", "pressed", "selected", "highlight_select", "disable"):
            path = os.path.join(ART, "button_%s.bmp" % state)
            data = open(path, "rb").read()
            self.assertEqual(data[:2], b"BM")
            width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
            self.assertEqual((width, height, bits, compression), (64, 25, 24, 0), state)
            stride = (64 * 3 + 3) & ~3
            rows = [data[54 + y * stride:54 + y * stride + 64 * 3] for y in range(25)]
            frame = bytes(b for y, row in enumerate(rows) for x in range(64)
                          if min(x, y, 63 - x, 24 - y) < 4 for b in row[x * 3:x * 3 + 3])
            frames.append(frame)
        self.assertEqual(len(set(frames)), 6)

    def test_icon_is_32_by_32_with_256_colours(self):
        path = os.path.join(ART, "numerabo.ico")
        data = open(path, "rb").read()
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((kind, count), (1, 1))
        w, h, colours = data[6], data[7], data[8]
        self.assertEqual((w, h, colours), (32, 32, 0))  # 0 colours in the entry means 256
        self.assertEqual(struct.unpack_from("<H", data, 6 + 6)[0], 8)  # bits per pixel
        self.assertEqual(identify(path, "%w %h"), "32 32")

    def test_cursor_is_monochrome_with_its_hot_spot(self):
        path = os.path.join(ART, "pointing_hand.cur")
        data = open(path, "rb").read()
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        self.assertEqual((kind, count), (2, 1))
        self.assertEqual((data[6], data[7]), (32, 32))
        self.assertEqual(struct.unpack_from("<HH", data, 10), (12, 10))
        offset = struct.unpack_from("<I", data, 18)[0]
        self.assertEqual(struct.unpack_from("<H", data, offset + 14)[0], 1)  # 1 bit per pixel
        self.assertEqual(identify("cur:" + path, "%w %h"), "32 32")

    def test_generator_makes_exactly_the_committed_files(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, out], check=True)
            self.assertEqual(sorted(os.listdir(out)), sorted(os.listdir(ART)))
            for name in os.listdir(out):
                with open(os.path.join(out, name), "rb") as a, open(os.path.join(ART, name), "rb") as b:
                    self.assertEqual(a.read(), b.read(), name)


if __name__ == "__main__":
    unittest.main()
