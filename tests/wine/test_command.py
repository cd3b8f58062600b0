"""The image button under Wine, driven with the real pointer: Click from a
press and release over it, none after dragging off, none while disabled;
the faces on screen (frame pieces of each state picture, the white to
lavender gradient and its reversal on hover, the centred caption, greyed
caption when disabled)."""

import os
import queue
import subprocess
import threading
import time
import unittest

import harness

DEMO_TITLE = "command_demo"
WINDOW = (100, 100)  # the demo's pop-up window, screen pixels
# Buttons of the demo: (x, y, width, height) on the screen.
BUTTONS = {
    1: (120, 120, 77, 25),
    2: (120, 170, 77, 25),   # disabled
    3: (120, 220, 41, 21),
    4: (250, 120, 200, 80),
}
AWAY = (200, 280)  # demo background, over no button
LABEL = (410, 240)  # centre of the demo's label
WHITE = (255, 255, 255)
LAVENDER = (0xC6, 0xC5, 0xD7)


def centre(n):
    x, y, w, h = BUTTONS[n]
    return x + w // 2, y + h // 2


def caption_rows(n):
    """Top and bottom (exclusive) of the caption label, control pixels."""
    h_tw = BUTTONS[n][3] * 15
    top = round((h_tw - 195 - 20) / 2 / 15)
    return top, top + 13


class Demo:
    """The demo program with its stdout read line by line."""

    def __init__(self, prefix):
        self.process = prefix.start(harness.helper_binary("command_demo"), stdout=subprocess.PIPE)
        self.lines = queue.Queue()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        with self.process.stdout:
            for raw in self.process.stdout:
                self.lines.put(raw.decode("utf-8", "replace").strip())

    def finish(self):
        """After the process has been killed: the reader has seen the end."""
        self.reader.join(timeout=10)

    def wait_line(self, text, timeout=10.0):
        end = time.time() + timeout
        while time.time() < end:
            try:
                line = self.lines.get(timeout=max(0.01, end - time.time()))
            except queue.Empty:
                return False
            if line == text:
                return True
        return False

    def drain(self):
        got = []
        while True:
            try:
                got.append(self.lines.get_nowait())
            except queue.Empty:
                return got


class CommandTestCase(harness.WineTestCase):

    def setUp(self):
        # Runs after the prefix (and the demo with it) has been closed.
        self.addCleanup(lambda: self.demo.finish() if hasattr(self, "demo") else None)
        super().setUp()
        harness.mouse_move(*AWAY)
        self.demo = Demo(self.prefix)
        self.assertTrue(self.demo.wait_line("Ready", timeout=30), "demo did not start")
        self.assertIsNotNone(harness.wait_window(DEMO_TITLE, timeout=20))
        time.sleep(0.5)

    def expect_clicks(self, expected, settle=0.8):
        time.sleep(settle)
        self.assertEqual([l for l in self.demo.drain() if l.startswith("Click")], expected)


class PointerTest(CommandTestCase):

    def test_click_raises_click(self):
        harness.mouse_move(*centre(1))
        time.sleep(0.3)
        harness.mouse_click(1)
        self.expect_clicks(["Click 1"])
        # A second click right after counts again.
        harness.mouse_click(1)
        self.expect_clicks(["Click 1"])

    def test_release_after_leaving_does_not_click(self):
        # The left button, and the right one, whose press the button does not
        # capture: released away, neither clicks.
        for mouse_button in (1, 3):
            harness.mouse_move(*centre(1))
            time.sleep(0.3)
            harness.mouse_down(mouse_button)
            time.sleep(0.2)
            harness.mouse_move(*AWAY)
            time.sleep(0.4)  # several hover ticks see the pointer away
            harness.mouse_up(mouse_button)
            self.expect_clicks([], settle=0.5)
        # Leaving and coming back during the press does not click either.
        harness.mouse_move(*centre(1))
        time.sleep(0.3)
        harness.mouse_down(1)
        harness.mouse_move(*AWAY)
        time.sleep(0.4)
        harness.mouse_move(*centre(1))
        time.sleep(0.2)
        harness.mouse_up(1)
        self.expect_clicks([])

    def test_disabled_button_never_clicks(self):
        harness.mouse_move(*centre(2))
        time.sleep(0.3)
        for button in (1, 3):
            harness.mouse_click(button)
        self.expect_clicks([])

    def test_right_and_middle_release_click(self):
        harness.mouse_move(*centre(3))
        time.sleep(0.3)
        harness.mouse_click(3)
        self.expect_clicks(["Click 3"])
        harness.mouse_click(2)
        self.expect_clicks(["Click 3"])

    def test_double_click_on_a_label_clicks_once(self):
        # The second press of a double click raises no second Click (the
        # home-page link would otherwise open the page twice).
        harness.mouse_move(*LABEL)
        time.sleep(0.3)
        subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "60", "1"], check=True)
        self.expect_clicks(["Click label"])
        # Two clicks far enough apart are two clicks.
        for _ in range(2):
            time.sleep(0.7)  # beyond the double-click time
            harness.mouse_click(1)
        self.expect_clicks(["Click label", "Click label"])

    def test_click_on_the_caption_reaches_the_button(self):
        x, y, w, h = BUTTONS[4]
        top, bottom = caption_rows(4)
        harness.mouse_move(x + w // 2, y + (top + bottom) // 2)
        time.sleep(0.3)
        harness.mouse_click(1)
        self.expect_clicks(["Click 4"])


class FaceTest(CommandTestCase):

    def setUp(self):
        super().setUp()
        folder = self.prefix.c("pics")
        os.makedirs(folder, exist_ok=True)
        code, out = self.prefix.run(harness.helper_binary("command_demo"), "--dump", "C:\\pics")
        self.assertEqual(code, 0, out)
        self.pictures = {i: harness.read_image(os.path.join(folder, "%d.bmp" % i)) for i in range(1, 7)}
        for p in self.pictures.values():
            self.assertEqual((p.width, p.height), (64, 25))
        self.shots = 0

    def shot(self):
        self.shots += 1
        return harness.screenshot(os.path.join(self.prefix.path, "shot%d.png" % self.shots))

    @staticmethod
    def face(image, n):
        """The button's pixels as a function (x, y) -> (r, g, b)."""
        bx, by, _, _ = BUTTONS[n]
        return lambda x, y: image.pixel(bx + x, by + y)

    def corners_match(self, image, n, picture_no, tolerance=6):
        pic = self.pictures[picture_no]
        _, _, w, h = BUTTONS[n]
        px = self.face(image, n)
        pieces = [((0, 0), (0, 0)), ((w - 4, 0), (60, 0)), ((w - 4, h - 4), (60, 21)), ((0, h - 4), (0, 21))]
        for (dx, dy), (sx, sy) in pieces:
            for j in range(4):
                for i in range(4):
                    if not harness.close_enough(px(dx + i, dy + j), pic.pixel(sx + i, sy + j), tolerance):
                        return False
        return True

    def wait_face(self, n, picture_no, timeout=5.0):
        """Waits until button n shows the frame corners of the picture; the
        screenshot that did."""
        found = []

        def check():
            image = self.shot()
            if self.corners_match(image, n, picture_no):
                found.append(image)
                return True
            return False

        harness.wait_for(check, timeout=timeout, interval=0.2)
        self.assertTrue(found, "button %d does not show picture %d" % (n, picture_no))
        return found[0]

    def assert_edges_from(self, image, n, picture_no, tolerance=20):
        """Each edge piece is its picture strip stretched along its length:
        per row (top/bottom) or column (left/right) the mean colour stays."""
        pic = self.pictures[picture_no]
        _, _, w, h = BUTTONS[n]
        px = self.face(image, n)

        def mean(points, get):
            values = [get(x, y) for x, y in points]
            return tuple(sum(v[c] for v in values) / len(values) for c in range(3))

        for j in range(4):
            for dy, sy in ((j, j), (h - 4 + j, 21 + j)):
                got = mean([(x, dy) for x in range(4, w - 4)], px)
                want = mean([(x, sy) for x in range(4, 60)], pic.pixel)
                self.assertTrue(harness.close_enough(got, want, tolerance), ("row", dy, got, want))
            for dx, sx in ((j, j), (w - 4 + j, 60 + j)):
                got = mean([(dx, y) for y in range(4, h - 4)], px)
                want = mean([(sx, y) for y in range(4, 21)], pic.pixel)
                self.assertTrue(harness.close_enough(got, want, tolerance), ("column", dx, got, want))

    def gradient_column(self, image, n, x=10):
        _, _, _, h = BUTTONS[n]
        px = self.face(image, n)
        return [px(x, y) for y in range(4, h - 4)]

    def assert_gradient(self, column, top, bottom):
        # Close to the end colours at the ends, and changing one way only.
        self.assertTrue(harness.close_enough(column[0], top, 10), (column[0], top))
        self.assertTrue(harness.close_enough(column[-1], bottom, 10), (column[-1], bottom))
        sign = 1 if bottom[0] >= top[0] else -1
        for a, b in zip(column, column[1:]):
            self.assertGreaterEqual(sign * (b[0] - a[0]), -1, column)

    def caption_pixels(self, image, n, predicate):
        _, _, w, h = BUTTONS[n]
        px = self.face(image, n)
        return [(x, y) for y in range(4, h - 4) for x in range(4, w - 4) if predicate(px(x, y))]

    def test_normal_faces(self):
        image = self.wait_face(4, 1)
        self.assertTrue(self.corners_match(image, 1, 1))
        self.assertTrue(self.corners_match(image, 3, 1))
        self.assert_edges_from(image, 4, 1)
        self.assert_edges_from(image, 1, 1)
        # The middle of the picture is never drawn: the gradient shows there,
        # white at the top fading to lavender at the bottom.
        self.assert_gradient(self.gradient_column(image, 4), WHITE, LAVENDER)
        self.assert_gradient(self.gradient_column(image, 1, x=5), WHITE, LAVENDER)

    def test_caption_is_centred(self):
        image = self.wait_face(4, 1)
        for n in (1, 4):
            dark = self.caption_pixels(image, n, lambda p: max(p) < 90)
            self.assertTrue(dark, "no caption text on button %d" % n)
            xs = [x for x, _ in dark]
            ys = [y for _, y in dark]
            w = BUTTONS[n][2]
            self.assertLessEqual(abs((min(xs) + max(xs) + 1) / 2 - w / 2), 3, (n, min(xs), max(xs)))
            top, bottom = caption_rows(n)
            self.assertGreaterEqual(min(ys), top, n)
            self.assertLess(max(ys), bottom, n)

    def test_disabled_face_has_greyed_caption(self):
        image = self.wait_face(2, 6)
        self.assert_edges_from(image, 2, 6)
        black = self.caption_pixels(image, 2, lambda p: max(p) < 60)
        grey = self.caption_pixels(image, 2, lambda p: 80 <= min(p) and max(p) <= 180 and max(p) - min(p) < 24)
        self.assertEqual(black, [])
        self.assertTrue(grey, "no grey caption text")

    @harness.both_arches
    def test_hover_reverses_the_gradient_until_the_pointer_leaves(self):
        self.wait_face(4, 1)
        x, y, w, h = BUTTONS[4]
        harness.mouse_move(x + w - 30, y + h // 2)
        image = self.wait_face(4, 2)
        self.assert_edges_from(image, 4, 2)
        self.assert_gradient(self.gradient_column(image, 4), LAVENDER, WHITE)
        # Still hovered after several ticks, also over the caption.
        top, bottom = caption_rows(4)
        harness.mouse_move(x + w // 2, y + (top + bottom) // 2)
        time.sleep(0.5)
        self.assertTrue(self.corners_match(self.shot(), 4, 2))
        # Away: the next tick brings the normal face back.
        harness.mouse_move(*AWAY)
        image = self.wait_face(4, 1, timeout=2)
        self.assert_gradient(self.gradient_column(image, 4), WHITE, LAVENDER)

    @harness.both_arches
    def test_press_and_release_faces(self):
        x, y, w, h = BUTTONS[4]
        harness.mouse_move(x + w - 30, y + h // 2)
        self.wait_face(4, 2)
        harness.mouse_down(1)
        self.wait_face(4, 3)  # Pressed
        harness.mouse_up(1)
        image = self.wait_face(4, 5)  # HighLightSelect, reached through hover: reversed
        self.assert_gradient(self.gradient_column(image, 4), LAVENDER, WHITE)
        self.assertTrue(self.demo.wait_line("Click 4", timeout=3))
        harness.mouse_move(*AWAY)
        image = self.wait_face(4, 4)  # Selected
        self.assert_gradient(self.gradient_column(image, 4), WHITE, LAVENDER)


if __name__ == "__main__":
    unittest.main()
