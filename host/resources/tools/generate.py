"""Makes every picture of the host into host/resources/artwork (or the folder
given as the first argument). The output is committed, so building never
needs this; the resource test runs it again and compares.

    python3 host/resources/tools/generate.py [folder]
"""

import math
import os
import sys

import backdrop
import preview
from raster import Picture, bmp24_bytes, clamp8, cur_mono_bytes, ico_256_bytes, mix, write_bytes, write_jpeg

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "..", "artwork")

BUTTON_STATES = ("normal", "highlight", "pressed", "selected", "highlight_select", "disable")


# -- the settings dialog's markers ------------------------------------------------

def marker(selected):
    """12 x 12: a round hole on the panel's light grey; the selected one holds
    a magenta dot."""
    pic = Picture(12, 12, (224.0, 224.0, 224.0))
    cx = cy = 5.5
    for y in range(12):
        for x in range(12):
            d = math.hypot(x - cx, y - cy)
            if d <= 5.6:
                # rim: dark at the top left, light at the bottom right (sunken)
                shade = 110.0 + 70.0 * ((x - cx) + (y - cy)) / 11.0
                pic.set(x, y, (shade, shade, shade))
            if d <= 4.4:
                pic.set(x, y, (255.0, 255.0, 255.0))
            if selected and d <= 2.9:
                pic.set(x, y, (200.0, 20.0, 120.0))
    return pic


# -- the window and program icon ----------------------------------------------------

def icon():
    """32 x 32, 256 colours: the pink sphere with the dark wobbling body."""
    size = 32
    palette = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    indexes, opaque = [], []
    for y in range(size):
        for x in range(size):
            dx, dy = (x - 15.5) / 15.5, (y - 15.5) / 15.5
            d = math.hypot(dx, dy)
            inside = d <= 1.0
            if inside:
                light = max(0.0, 1.0 - math.hypot(dx + 0.4, dy + 0.4) * 0.8)
                colour = mix((180.0, 60.0, 120.0), (255.0, 210.0, 235.0), light)
                # the body: a long wobbling spindle across the sphere
                along = dx
                radius = 0.32 * math.sin((along + 1.0) * math.pi / 2.0) * (1.0 + 0.25 * math.sin(along * 7.0))
                centre = 0.12 * math.sin(along * 4.0)
                if abs(dy - centre) <= radius and abs(along) < 0.95:
                    g = 0.55 + 0.45 * (1.0 - abs(dy - centre) / max(radius, 1e-6))
                    colour = (60.0 * g + 30.0, 170.0 * g + 40.0, 220.0 * g + 30.0)
                if d > 0.92:
                    colour = (110.0, 20.0, 70.0)
            else:
                colour = (0.0, 0.0, 0.0)
            r, g, b = (min(5, int(clamp8(c) / 51.0 + 0.5)) for c in colour)
            indexes.append(r * 36 + g * 6 + b)
            opaque.append(inside)
    return ico_256_bytes(size, size, palette, indexes, opaque)


# -- the link label's pointer ------------------------------------------------------------

def pointing_hand():
    """32 x 32 monochrome hand whose index finger tip is the hot spot (12, 10)."""
    w = h = 32

    def in_hand(x, y):
        if 10 <= x <= 14 and 10 <= y <= 21:  # the index finger
            return not (y == 10 and x in (10, 14))
        if 15 <= x <= 18 and 15 <= y <= 21:
            return not (y == 15 and x in (15, 18))
        if 19 <= x <= 22 and 16 <= y <= 22:
            return not (y == 16 and x in (19, 22))
        if 6 <= x <= 9 and 17 <= y <= 23:  # the thumb
            return not (y == 17 and x in (6, 9))
        if 9 <= x <= 22 and 20 <= y <= 28:  # the palm
            return not (y == 28 and x in (9, 22))
        return False

    mask = [in_hand(x, y) for y in range(h) for x in range(w)]
    # a black outline round a white hand, with lines between the fingers
    white = []
    for y in range(h):
        for x in range(w):
            edge = any(not (0 <= x + dx < w and 0 <= y + dy < h and mask[(y + dy) * w + x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            divider = x in (14, 18) and 16 <= y <= 21 or (x == 10 and 21 <= y <= 23)
            white.append(mask[y * w + x] and not edge and not divider)
    return cur_mono_bytes(w, h, 12, 10, white, mask)


# -- the image button's state pictures ---------------------------------------------------

def button(state):
    """64 x 25, of which only the outer 4-pixel frame is ever shown."""
    w, h = 64, 25
    pic = Picture(w, h, (236.0, 234.0, 244.0))
    styles = {
        # outer line, light side, dark side
        "normal": ((96.0, 96.0, 120.0), (255.0, 255.0, 255.0), (168.0, 166.0, 190.0)),
        "highlight": ((200.0, 110.0, 30.0), (255.0, 236.0, 170.0), (250.0, 170.0, 80.0)),
        "pressed": ((70.0, 70.0, 96.0), (150.0, 148.0, 176.0), (255.0, 255.0, 255.0)),
        "selected": ((96.0, 96.0, 120.0), (255.0, 255.0, 255.0), (168.0, 166.0, 190.0)),
        "highlight_select": ((200.0, 110.0, 30.0), (255.0, 236.0, 170.0), (250.0, 170.0, 80.0)),
        "disable": ((170.0, 170.0, 170.0), (218.0, 218.0, 218.0), (200.0, 200.0, 200.0)),
    }
    outer, light, dark = styles[state]
    ring = state in ("selected", "highlight_select")
    for y in range(h):
        for x in range(w):
            depth = min(x, y, w - 1 - x, h - 1 - y)
            if depth >= 4:
                continue
            if depth == 0:
                colour = outer
            elif ring and depth == 3:
                colour = (40.0, 90.0, 220.0)  # the focus ring
            else:
                top_left = (x <= y and x < w - 1 - y) or (y < x and y < h - 1 - y and y <= w - 1 - x)
                top_left = min(x, y) == depth
                colour = light if top_left else dark
                if depth == 2 and not ring:
                    colour = mix(colour, (236.0, 234.0, 244.0), 0.5)
            pic.set(x, y, colour)
    # rounded outer corners
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        pic.set(x, y, mix(outer, (236.0, 234.0, 244.0), 0.6))
    return pic


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else DEFAULT_OUT)
    os.makedirs(out, exist_ok=True)
    back = backdrop.make_backdrop()
    write_jpeg(back, os.path.join(out, "back.jpg"), 90, "2x2")
    background, front = preview.make_previews(back)
    write_jpeg(background, os.path.join(out, "preview_back.jpg"), 92, "1x1")
    write_jpeg(front, os.path.join(out, "preview_image.jpg"), 92, "1x1")
    write_jpeg(marker(False), os.path.join(out, "marker_off.jpg"), 95, "1x1")
    write_jpeg(marker(True), os.path.join(out, "marker_on.jpg"), 95, "1x1")
    write_bytes(os.path.join(out, "numerabo.ico"), icon())
    write_bytes(os.path.join(out, "pointing_hand.cur"), pointing_hand())
    for state in BUTTON_STATES:
        write_bytes(os.path.join(out, "button_%s.bmp" % state), bmp24_bytes(button(state)))


if __name__ == "__main__":
    main()
