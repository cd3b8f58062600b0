"""The 512 x 512 picture that the renderer wraps round the viewer.

GLU's sphere maps the picture's width to the full circle of longitude and its
height to the half circle from pole to pole, so at the equator a texel is
twice as wide on the sphere as it is high, and towards the poles the rows
shrink to a point. Everything that should look round or readable is drawn
squeezed across by 1 / (2 cos latitude). The viewer sees the sphere from the
inside, which mirrors it, so the finished picture is mirrored once more here
to make the name read the right way round.

The renderer multiplies the picture by (0.7, 0.4, 0.5), so the design leans
on light and dark more than on hue: bright gold and white against deep
violet stay legible once everything is pink.
"""

import math

from raster import Picture, hsv, mix, smoothstep, text_masks

SIZE = 512
TWO_PI = 2 * math.pi


def latitude(y):
    """Latitude in radians of pixel row y, +pi/2 at the top row's edge."""
    return (0.5 - (y + 0.5) / SIZE) * math.pi


def squeeze(lat):
    """Texture pixels across per texture pixel down, for a shape that is to
    look round on the sphere at this latitude."""
    return 1.0 / (2.0 * max(math.cos(lat), 0.08))


class Lcg:
    """Fixed pseudo-random sequence, so the bubbles land in the same places
    on every run and every Python."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state / 0x7FFFFFFF


def marble():
    """Flowing bands of colour, periodic across so that the seam where the
    picture's two sides meet on the sphere does not show."""
    pic = Picture(SIZE, SIZE)
    for y in range(SIZE):
        lat = latitude(y)
        v = (y + 0.5) / SIZE
        for x in range(SIZE):
            u = (x + 0.5) / SIZE
            a = TWO_PI * u
            warp = 1.7 * math.sin(2 * a + 4.0 * lat) + 0.9 * math.sin(5 * a - 7.0 * lat + 1.3)
            f = math.sin(3 * a + 6.0 * lat + warp)
            g = math.sin(4 * a - 9.0 * lat + 0.8 * warp + 2.0)
            hue = 0.78 + 0.16 * f + 0.10 * math.sin(a + 2 * lat) + 0.25 * v
            val = 0.40 + 0.42 * (0.5 + 0.5 * f) ** 2 + 0.22 * (0.5 + 0.5 * g) ** 3
            sat = 0.55 + 0.35 * (0.5 + 0.5 * g)
            # thin bright veins where the flow folds over
            vein = max(0.0, 1.0 - abs(f) * 9.0) * 0.55
            c = hsv(hue, sat, min(val, 1.0))
            pic.px[y * SIZE + x] = mix(c, (255.0, 244.0, 210.0), vein)
    return pic


def graticule(pic):
    """Faint meridians and parallels, one meridian per slice of the 16-sided
    sphere: the lab's measuring net."""
    for y in range(SIZE):
        lat = latitude(y)
        par = abs(((lat / math.pi * 12.0) % 1.0) - 0.5)
        par_a = smoothstep(0.5 - 0.03, 0.5, par) * 0.35 if y % 2 == 0 else smoothstep(0.47, 0.5, par) * 0.35
        for x in range(SIZE):
            mer = abs((((x + 0.5) / SIZE * 16.0) % 1.0) - 0.5)
            mer_a = smoothstep(0.5 - 0.045 / squeeze(lat) / 2, 0.5, mer) * 0.3
            a = max(par_a, mer_a)
            if a > 0:
                pic.blend(x, y, (250.0, 250.0, 255.0), a)


def bubbles(pic, count=46):
    """Slime bubbles: a lighter body, a bright rim and a highlight at the
    upper left, each squeezed across to look round on the sphere."""
    rnd = Lcg(20240607)
    for _ in range(count):
        cy = 20 + rnd.next() * (SIZE - 40)
        cx = rnd.next() * SIZE
        radius = 7 + rnd.next() ** 2 * 30
        tint = hsv(0.1 + rnd.next() * 0.25, 0.25, 1.0)
        lat = latitude(int(cy))
        # keep clear of the band that carries the name
        if abs(lat) < 0.33:
            cy += math.copysign(0.2 * SIZE, lat if lat != 0 else 1)
            lat = latitude(int(cy))
        sq = squeeze(lat)
        rx = radius * sq
        y0, y1 = max(int(cy - radius) - 1, 0), min(int(cy + radius) + 2, SIZE)
        for y in range(y0, y1):
            dy = (y + 0.5 - cy) / radius
            span = int(rx) + 2
            for xi in range(int(cx) - span, int(cx) + span + 1):
                dx = (xi + 0.5 - cx) / rx
                d = math.sqrt(dx * dx + dy * dy)
                if d > 1.05:
                    continue
                x = xi % SIZE
                edge = smoothstep(1.04, 0.98, d)
                pic.blend(x, y, tint, 0.22 * edge)
                rim = smoothstep(0.78, 0.97, d) * edge
                pic.blend(x, y, (255.0, 255.0, 255.0), 0.55 * rim)
                hx, hy = dx + 0.38, dy + 0.42
                spot = smoothstep(0.30, 0.05, math.sqrt(hx * hx + hy * hy))
                pic.blend(x, y, (255.0, 255.0, 255.0), 0.85 * spot)


def pole_rings(pic):
    """Near the poles every row shrinks to a point, so only stripes running
    across survive there: they become rings round the poles."""
    for y in range(SIZE):
        lat = abs(latitude(y))
        if lat < 1.12:
            continue
        k = (lat - 1.12) / (math.pi / 2 - 1.12)
        stripe = 0.5 + 0.5 * math.cos(k * 9 * math.pi)
        colour = mix((60.0, 20.0, 110.0), (255.0, 220.0, 120.0), stripe)
        a = smoothstep(0.0, 0.25, k) * 0.85
        for x in range(SIZE):
            pic.blend(x, y, colour, a)


def band(pic, lat0, lat1, colour, alpha, edge_colour):
    """A ribbon round the sphere between two latitudes, with bright edges."""
    for y in range(SIZE):
        lat = latitude(y)
        if lat0 - 0.03 <= lat <= lat1 + 0.03:
            inside = lat0 <= lat <= lat1
            near_edge = min(abs(lat - lat0), abs(lat - lat1)) < 0.012
            for x in range(SIZE):
                if near_edge:
                    pic.blend(x, y, edge_colour, 0.9)
                elif inside:
                    pic.blend(x, y, colour, alpha)


def stamp_text(pic, text, pointsize, centre_lat, copies, fill_top, fill_bottom, outline,
               glow=None, strokes=(0, 8, 20), height=None, phase=0.0):
    """Writes text round the sphere copies times, centred on a latitude,
    squeezed across for that latitude; each glyph gets a dark outline and an
    optional soft glow behind it."""
    masks = text_masks(text, pointsize, strokes)
    plain, line, halo = masks[0], masks[1], masks[-1]
    scale_y = 1.0 if height is None else height / plain.height
    scale_x = scale_y * squeeze(centre_lat)
    w = plain.width * scale_x
    h = plain.height * scale_y
    cy = (0.5 - centre_lat / math.pi) * SIZE
    top = cy - h / 2
    for n in range(copies):
        cx = (n + 0.5 + phase) * SIZE / copies
        left = cx - w / 2
        for y in range(max(int(top), 0), min(int(top + h) + 1, SIZE)):
            my = (y + 0.5 - top) / scale_y
            fill = mix(fill_top, fill_bottom, (y + 0.5 - top) / h)
            for xi in range(int(left), int(left + w) + 1):
                mx = (xi + 0.5 - left) / scale_x
                x = xi % SIZE
                if glow is not None:
                    pic.blend(x, y, glow, 0.45 * halo.sample(mx, my))
                pic.blend(x, y, outline, line.sample(mx, my))
                pic.blend(x, y, fill, plain.sample(mx, my))


def make_backdrop():
    pic = marble()
    graticule(pic)
    pole_rings(pic)
    bubbles(pic)
    # the name's ribbon round the equator
    band(pic, -0.30, 0.30, (30.0, 8.0, 60.0), 0.62, (255.0, 236.0, 170.0))
    stamp_text(pic, "ぬめらぼ", 120, 0.0, 2, (255.0, 255.0, 235.0), (255.0, 200.0, 90.0),
               (40.0, 0.0, 60.0), glow=(255.0, 240.0, 200.0), height=118)
    # the Latin name on two thinner ribbons, four times round
    for lat in (0.62, -0.62):
        band(pic, lat - 0.075, lat + 0.075, (20.0, 10.0, 50.0), 0.55, (235.0, 235.0, 255.0))
        stamp_text(pic, "NUMERABO", 40, lat, 4, (255.0, 255.0, 255.0), (220.0, 240.0, 255.0),
                   (20.0, 0.0, 40.0), strokes=(0, 4, 4), height=30, phase=0.25)
    return pic.flopped()


def tinted(pic):
    """The picture as the renderer's vertex colour modulates it."""
    out = Picture(pic.width, pic.height)
    out.px = [(r * 0.7, g * 0.4, b * 0.5) for r, g, b in pic.px]
    return out
