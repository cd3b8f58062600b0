"""The host at the display scales of high-resolution screens: Wine prefixes
whose screen has 120, 144, 168 and 192 dots per inch. The dialog keeps its twips
layout (client area, button faces, markers, where a click lands), and the
saver and the preview behave as at 96."""

import math
import os
import unittest

import harness
import test_saver
import test_settings
import test_startup
from test_settings import FILE, KIND, REPEAT, ini_bytes, sjis

DPIS = (120, 144, 168, 192)
PANEL = (180, 240)  # the panel's place on the window, twips
WHITE, LAVENDER = (255, 255, 255), (0xC6, 0xC5, 0xD7)
# Twips rectangles on the window (the file button's and the markers' moved
# off the panel); kinds 0 none, 1 music CD, 2 file.
BUTTONS = {"set": (4860, 3000, 1155, 375), "cancel": (6060, 3000, 1155, 375),
           "file": (PANEL[0] + 420, PANEL[1] + 1740, 615, 315)}
MARKERS = {0: (PANEL[0] + 420, PANEL[1] + 1140), 1: (PANEL[0] + 420, PANEL[1] + 840),
           2: (PANEL[0] + 420, PANEL[1] + 1440)}
NONE_LABEL = (PANEL[0] + 660, PANEL[1] + 1140, 330, 195)
CD_LABEL = (PANEL[0] + 660, PANEL[1] + 840, 645, 195)


class Scale:
    """Twips and pixels at one dots-per-inch setting, as the host converts."""

    def __init__(self, dpi):
        self.dpi = dpi

    def px(self, twips):
        return int(twips * self.dpi / 1440)

    def whole_twips(self, pixels):
        return math.ceil(pixels * 1440 / self.dpi)

    def rect(self, r):
        x, y = self.px(r[0]), self.px(r[1])
        return x, y, self.px(r[2]), self.px(r[3])

    def centre(self, r):
        return self.px(r[0] + r[2] / 2), self.px(r[1] + r[3] / 2)

    def gradient(self, height_px, row, tint_offset, blue_extra):
        """The colour a background gradient row keeps: its last twip line."""
        height = self.whole_twips(height_px)
        k = height / 3.142
        y = min(round(height), math.ceil((row + 1) * 1440 / self.dpi) - 1)
        c = round(abs(220 * math.sin(y / k))) + tint_offset
        return (c, c, c + blue_extra)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class ScaledTestCase(harness.WineTestCase):
    dpi = 144

    def setUp(self):
        self.prefix = harness.WinePrefix(self.id().replace(".", "_"), harness.dpi_template(self.dpi))
        self.addCleanup(self.prefix.close)


class DialogAtScalesTest(harness.WineTestCase):
    def setUp(self):
        pass  # one prefix for each scale, made in the test

    def check_look(self, d, s):
        w, h = (int(v) for v in d.info["client"][2:])
        self.assertLessEqual(abs(w - s.px(7440)), 1, (w, h))
        self.assertLessEqual(abs(h - s.px(3645)), 1, (w, h))
        image = d.shot("look-%d" % s.dpi)
        panel_top, panel_rows = s.px(PANEL[1]), s.px(2475)
        for name, r in BUTTONS.items():
            x, y, bw, bh = s.rect(r)
            middle = y + bh // 2
            # The face's own gradient (white over lavender) inside its rectangle...
            face = d.patch(image, x + bw // 4, middle, 1, 1)[0]
            want = mix(WHITE, LAVENDER, (bh // 2) / (bh - 1))
            self.assertTrue(harness.close_enough(face, want, 12), (name, face, want))
            # ... and the background's just outside it, left of it and below it.
            for ox, oy in ((x - 2, middle), (x + bw // 4, y + bh + 1)):
                if name == "file":
                    want = s.gradient(panel_rows, oy - panel_top, 30, 0)
                else:
                    want = s.gradient(h, oy, 0, 30)
                got = d.patch(image, ox, oy, 1, 1)[0]
                self.assertTrue(harness.close_enough(got, want, 4), (name, ox, oy, got, want))
        # The markers inside their rectangles: the two unselected alike, the
        # selected one (none) different.
        markers = {k: d.patch(image, s.px(x), s.px(y), 12, 12) for k, (x, y) in MARKERS.items()}
        self.assertEqual(markers[1], markers[2])
        self.assertNotEqual(markers[0], markers[1])

    def test_layout_and_clicks_at_each_scale(self):
        for dpi in DPIS:
            name = "%s_%d" % (self.id().replace(".", "_"), dpi)
            with self.subTest(dpi=dpi), harness.WinePrefix(name, harness.dpi_template(dpi)) as self.prefix:
                s = Scale(dpi)
                stored = ini_bytes(KIND + "= 2", REPEAT + "= 7", FILE + "=C:\\Numerabo\\a.mp3")
                d = test_settings.Dialog(self, stored, files=["a.mp3"], dpi=dpi).open()
                d.press(*s.centre(NONE_LABEL))
                self.check_look(d, s)
                d.press(*s.centre(BUTTONS["set"]))
                d.wait_closed()
                lines = d.saved_lines()
                self.assertIn(lines[1], (sjis(KIND) + b"= 0", sjis(KIND) + b"=0"))
                self.assertIn(lines[2], (sjis(REPEAT) + b"= 7", sjis(REPEAT) + b"=7"))
                self.assertEqual(lines[3], sjis(FILE) + b"=C:\\Numerabo\\a.mp3")

                with open(d.ini_path, "rb") as f:
                    saved = f.read()
                d.open()
                d.press(*s.centre(CD_LABEL))
                d.press(*s.centre(BUTTONS["cancel"]))
                d.wait_closed()
                with open(d.ini_path, "rb") as f:
                    self.assertEqual(f.read(), saved)


class SaverAndPreviewAt144Test(ScaledTestCase):
    show_desktop = test_saver.SaverRunTest.show_desktop
    start_host = test_saver.SaverRunTest.start_host
    assert_desktop_bitmap = test_saver.SaverRunTest.assert_desktop_bitmap
    assert_picture_bitmap = test_saver.SaverRunTest.assert_picture_bitmap
    end_show = test_saver.SaverRunTest.end_show
    # The capture is the whole screen at its size in pixels, and Escape ends
    # the show; the preview's picture is pixels and fills its pane.
    test_saver_run = test_saver.SaverRunTest.test_saver_run_writes_both_bitmaps_and_ends_with_the_renderer
    test_preview = test_startup.PreviewTest.test_preview_fills_the_pane_and_ends_with_it


if __name__ == "__main__":
    unittest.main()
