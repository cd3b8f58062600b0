"""The renderer ぬめらぼ.dll as a process under Wine: its window, what a frame
shows with good, missing and broken bitmap files, and the two ways it ends."""

import os
import re
import shutil
import struct
import unittest

import harness

TITLE = "ぬめらぼ_VC"
PINK = (0.7, 0.4, 0.5)  # the sphere's vertex colour, multiplied into its picture
WINDOW_CORNERS = [(40, 40), (984, 40), (40, 728), (984, 728)]


def tinted(rgb):
    return tuple(round(c * t) for c, t in zip(rgb, PINK))


UNTEXTURED_SPHERE = tinted((255, 255, 255))


def bmp24(width, height, rgb):
    """A bottom-up 24-bit bitmap of one colour, as bytes."""
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * (stride - width * 3)
    body = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return header + info + body


def patched(data, offset, fmt, value):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, value)
    return bytes(data)


GOOD = bmp24(64, 64, (200, 100, 50))
MALFORMED = {
    "truncated": GOOD[:54 + len(GOOD[54:]) // 2],
    "wrong_magic": b"MB" + GOOD[2:],
    "bits32": patched(patched(GOOD[:54], 28, "<H", 32), 34, "<I", 64 * 64 * 4) + b"\x80" * (64 * 64 * 4),
    "compressed": patched(GOOD, 30, "<I", 1),
    "huge": patched(patched(patched(GOOD, 18, "<i", 100000), 22, "<i", 100000), 34, "<I", 0),
    "short_pixels": patched(GOOD[:54 + 100], 34, "<I", 100),
    "top_down": patched(GOOD, 22, "<i", -64),
    "small_header": patched(GOOD, 10, "<I", 26),
}


class RendererTestCase(harness.WineTestCase):

    def put_bitmaps(self, body=None, sphere=None):
        for name, data in (("Numerabo1.bmp", body), ("Numerabo2.bmp", sphere)):
            if data is not None:
                with open(self.prefix.c(name), "wb") as f:
                    f.write(data)

    def start_renderer(self, debug=False):
        folder = self.prefix.c("Numerabo")
        os.makedirs(folder, exist_ok=True)
        program = os.path.join(folder, harness.RENDERER_NAME)
        shutil.copy(harness.renderer_binary(), program)
        self.process, self.window = harness.start_window(self.prefix, TITLE, program, stderr="renderer.err",
                                                         debug=",+debugstr" if debug else "")
        self.stderr_path = self.process.stderr_path
        self.assertIsNotNone(self.window, "no renderer window: " + harness.no_window_reason(self.process))
        # The window shows before the pictures are loaded; then frames follow.
        first = harness.wait_screen(os.path.join(self.prefix.path, "first.png"),
                                    lambda image: max(image.pixel(*WINDOW_CORNERS[0])) > 40)
        self.assertIsNotNone(first, "no frame drawn")

    def assertRunning(self):
        self.assertIsNone(self.process.poll(), "renderer ended")
        self.assertTrue(harness.find_windows(TITLE), "renderer window gone")

    def escape(self):
        harness.hold_key(self.window, "Escape", until=lambda: self.process.poll() is not None)

    def assertEnds(self, code=0):
        self.assertEqual(harness.wait_exit(self.process, 20), code)

    def scene_problems(self, image, body, sphere):
        """What in image differs from the scene: body, a colour, or None for
        the untextured grey; sphere, the colour seen on the backdrop."""
        problems = []
        centre = image.region_mean(508, 380, 516, 388)
        if body is None:
            if max(centre) - min(centre) >= 12 or min(centre) <= 100:
                problems.append("centre not a light grey: %s" % (centre,))
        else:
            # The body's grey (0.5 to 1) scales the picture's colour.
            scale = max(centre) / max(body)
            if scale <= 0.45 or not harness.close_enough(centre, [c * scale for c in body]):
                problems.append("centre %s is not %s shaded" % (centre, body))
        for x, y in WINDOW_CORNERS:
            if not harness.close_enough(image.pixel(x, y), sphere):
                problems.append("sphere at %d,%d is %s, not %s" % (x, y, image.pixel(x, y), sphere))
        return problems

    def wait_scene(self, name, body, sphere):
        """The first frame that shows the scene with its corners clear. The
        scene turns: now and then the thin tip of the body passes through a
        corner, sooner the later a frame is read, so the test waits for a
        frame that shows what it checks rather than reading one at a fixed
        time."""
        last = []

        def shown(image):
            last[:] = self.scene_problems(image, body, sphere)
            return not last

        image = harness.wait_screen(os.path.join(self.prefix.path, name + ".png"), shown, timeout=30)
        self.assertIsNotNone(image, "; ".join(last))
        return image

    def assertDrawsOn(self):
        """The renderer runs on and draws frames after what it was sent."""
        self.assertIsNotNone(harness.wait_new_frame(os.path.join(self.prefix.path, "next.png"), (0, 0, 1024, 768)),
                             "no frame drawn since")
        self.assertRunning()

    def run_malformed(self, body, sphere):
        self.put_bitmaps(MALFORMED[body], MALFORMED[sphere])
        self.start_renderer()
        self.assertRunning()
        # Neither file may reach the texture: both show their vertex colours.
        self.wait_scene("frame", None, UNTEXTURED_SPHERE)
        self.escape()
        self.assertEnds(0)


class RendererWithPictures(RendererTestCase):

    @harness.both_arches
    def test_window_pictures_input_and_escape(self):
        green, yellow = (0, 255, 0), (255, 255, 0)
        self.put_bitmaps(bmp24(400, 300, green), bmp24(512, 512, yellow))
        self.start_renderer(debug=True)

        self.assertEqual(harness.window_geometry(self.window), (0, 0, 1024, 768))
        image = self.wait_scene("frame", green, tinted(yellow))
        # Only the top-left 1024 x 768 of the 1280 x 1024 screen is covered.
        self.assertFalse(harness.close_enough(image.pixel(1200, 900), tinted(yellow)))

        # Pointer and other keys leave it running.
        harness.mouse_move(300, 300)
        harness.mouse_move(700, 500)
        harness.mouse_click(1)
        harness.mouse_click(3)
        for key in ("space", "a", "Return", "F1"):
            harness.hold_key(self.window, key)
        self.assertDrawsOn()

        self.escape()
        self.assertEnds(0)
        with open(self.stderr_path, "rb") as f:
            err = f.read().decode("utf-8", "replace")
        m = re.search(r'OutputDebugStringA "PixelFormat Selected: (\d+)\\nBPP: (\d+)\\n"', err)
        self.assertIsNotNone(m, err[-2000:])
        self.assertGreater(int(m.group(1)), 0)
        self.assertIn(int(m.group(2)), (24, 32))


class RendererWithoutPictures(RendererTestCase):

    @harness.both_arches
    def test_missing_files_messages_and_close_request(self):
        self.start_renderer()
        self.wait_scene("frame", None, UNTEXTURED_SPHERE)

        helper = harness.helper_binary("renderer_post_close")
        # Escape pressed and released before the next frame is not seen.
        self.assertEqual(self.prefix.run(helper, "tap", "27")[0], 0)
        # A key message with a code beyond the key table is ignored.
        self.assertEqual(self.prefix.run(helper, "key", "0x7FFFFFFF")[0], 0)
        self.assertEqual(self.prefix.run(helper, "key", "256")[0], 0)
        self.assertDrawsOn()

        self.assertEqual(self.prefix.run(helper, "close")[0], 0)
        self.assertEnds(0)


class RendererWithMalformedFiles(RendererTestCase):

    @harness.both_arches
    def test_truncated_and_wrong_magic(self):
        self.run_malformed("truncated", "wrong_magic")

    def test_32_bit_and_compressed(self):
        self.run_malformed("bits32", "compressed")

    @harness.both_arches
    def test_huge_dimensions_and_short_pixel_data(self):
        self.run_malformed("huge", "short_pixels")

    def test_top_down_and_short_header(self):
        # A top-down file passes the reader, and the mipmap builder refuses it.
        self.run_malformed("top_down", "small_header")


if __name__ == "__main__":
    unittest.main()
