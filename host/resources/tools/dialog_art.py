"""The settings dialog's small pictures: the window icon, the two music-kind
markers and the link's pointing-hand cursor."""

import math

from raster import Picture, clamp8, mix, smoothstep, text_masks

# -- window icon -------------------------------------------------------------

ICON_SIZE = 32


def icon_picture():
    """A glossy pink ball, the saver's sphere, with ぬ on it. Returns the
    picture and each pixel's coverage by the ball (0..1)."""
    n = ICON_SIZE
    pic = Picture(n, n)
    cover = [0.0] * (n * n)
    c = n / 2.0
    radius = 15.2
    sub = 4
    for y in range(n):
        for x in range(n):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(sub):
                for sx in range(sub):
                    px = x + (sx + 0.5) / sub - c
                    py = y + (sy + 0.5) / sub - c
                    d = math.hypot(px, py) / radius
                    if d > 1.0:
                        continue
                    hits += 1
                    # light from the upper left, a darker rim
                    lx, ly = px / radius + 0.35, py / radius + 0.40
                    light = max(0.0, 1.0 - math.hypot(lx, ly) / 1.25)
                    col = mix((150.0, 30.0, 95.0), (255.0, 150.0, 200.0), light)
                    col = mix(col, (90.0, 10.0, 60.0), smoothstep(0.80, 1.0, d) * 0.7)
                    spec = smoothstep(0.28, 0.0, math.hypot(lx + 0.05, ly + 0.05))
                    col = mix(col, (255.0, 255.0, 255.0), spec * 0.9)
                    acc = [a + b for a, b in zip(acc, col)]
            if hits:
                pic.set(x, y, tuple(a / hits for a in acc))
                cover[y * n + x] = hits / (sub * sub)
    plain, line = text_masks("ぬ", 21, (0.5, 3.5), pad=0)
    left = int(round(c - plain.width / 2.0))
    top = int(round(c - plain.height / 2.0))
    for y in range(plain.height):
        for x in range(plain.width):
            px, py = left + x, top + y
            if 0 <= px < n and 0 <= py < n:
                pic.blend(px, py, (70.0, 0.0, 45.0), line.values[y * line.width + x] * 0.9)
                pic.blend(px, py, (255.0, 255.0, 255.0), plain.values[y * plain.width + x])
    return pic, cover


def quantise(colours):
    """At most 255 palette entries (entry 0 stays black for the transparent
    pixels) by rounding the channels ever more coarsely: simple, and the same
    on every run."""
    step = 1
    while True:
        rounded = [tuple(min(255, (clamp8(v) + step // 2) // step * step) for v in c) for c in colours]
        palette = sorted(set(rounded))
        if len(palette) <= 255:
            return rounded, palette
        step *= 2


def icon_data():
    """(palette, indexes, opaque) of the 32 x 32, 256-colour icon."""
    pic, cover = icon_picture()
    n = ICON_SIZE
    opaque = [v >= 0.5 for v in cover]
    # edge pixels are half ball, half whatever is behind: settle them on a
    # mid grey so the ball's outline looks smooth on light and dark alike
    colours = []
    for i, p in enumerate(pic.px):
        if opaque[i] and cover[i] < 1.0:
            p = mix((128.0, 128.0, 128.0), p, cover[i])
        colours.append(p if opaque[i] else (0.0, 0.0, 0.0))
    rounded, palette = quantise([colours[i] for i in range(n * n) if opaque[i]])
    palette = [(0, 0, 0)] + [c for c in palette if c != (0, 0, 0)]
    where = {c: i for i, c in enumerate(palette)}
    indexes, k = [], 0
    for i in range(n * n):
        if opaque[i]:
            indexes.append(where[rounded[k]])
            k += 1
        else:
            indexes.append(0)
    return palette, indexes, opaque


# -- music-kind markers --------------------------------------------------------

MARKER_SIZE = 12
MARKER_BACK = (248.0, 248.0, 250.0)  # the panel's gradient is this light where the markers sit


def marker(selected):
    """A radio dot on the light panel: an empty ring, or the ring filled with
    a glossy pink dot."""
    n = MARKER_SIZE
    pic = Picture(n, n, MARKER_BACK)
    c = n / 2.0
    sub = 4
    for y in range(n):
        for x in range(n):
            acc = [0.0, 0.0, 0.0]
            for sy in range(sub):
                for sx in range(sub):
                    px = x + (sx + 0.5) / sub - c
                    py = y + (sy + 0.5) / sub - c
                    d = math.hypot(px, py)
                    col = MARKER_BACK
                    if d <= 5.3:
                        col = (88.0, 76.0, 124.0)            # ring
                    if d <= 4.1:
                        col = (255.0, 255.0, 255.0)          # well
                    if selected and d <= 2.9:
                        light = max(0.0, 1.0 - math.hypot(px + 1.0, py + 1.0) / 3.5)
                        col = mix((170.0, 20.0, 100.0), (255.0, 140.0, 200.0), light)
                    acc = [a + b for a, b in zip(acc, col)]
            pic.set(x, y, tuple(a / (sub * sub) for a in acc))
    return pic


# -- pointing hand ---------------------------------------------------------------

CURSOR_SIZE = 32
HOT_SPOT = (12, 10)  # the top of the index finger

# White parts of the hand, each (left, top, right, bottom) inclusive; every
# part gets a one-pixel black outline where nothing white is next to it, so
# the one-pixel gaps between the fingers become the lines that part them.
_HAND = [
    (11, 11, 14, 24),   # index finger, its tip one row below the hot spot
    (16, 16, 18, 24),   # middle finger
    (20, 17, 22, 24),   # ring finger
    (24, 19, 25, 24),   # little finger
    (11, 23, 25, 28),   # palm
    (13, 29, 23, 30),   # wrist
]
_THUMB = [(6, 19, 7, 20), (7, 21, 8, 22), (8, 23, 10, 24), (9, 25, 10, 26), (10, 27, 10, 28)]
# rounded finger tips and palm corners: left transparent-then-outlined
_CUT = {(11, 11), (14, 11), (25, 28), (11, 28)}


def hand():
    """(white, opaque) of the 32 x 32 monochrome pointing hand."""
    n = CURSOR_SIZE
    white = [False] * (n * n)
    for left, top, right, bottom in _HAND + _THUMB:
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                if (x, y) not in _CUT:
                    white[y * n + x] = True
    opaque = list(white)
    for y in range(n):
        for x in range(n):
            if white[y * n + x]:
                continue
            near = any(0 <= x + dx < n and 0 <= y + dy < n and white[(y + dy) * n + x + dx]
                       for dx in (-1, 0, 1) for dy in (-1, 0, 1))
            if near:
                opaque[y * n + x] = True
    return white, opaque
