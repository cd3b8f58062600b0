"""The two 152 x 112 pictures of the display settings' preview pane.

Both are the saver's own scene, ray-cast in a fixed pose: the eye at the
origin looking down -z with a 55 degree vertical field of view, the model
3 units ahead, turned the same angle about x, y and z; the pink-tinted
backdrop sphere of radius 3.5 carries the built-in picture with GLU's sphere
mapping, and the wobbling body of 33 rings carries a made-up desktop,
shaded by its girth. The background is the sphere alone; the picture in
front of it adds the body and the title.
"""

import math

from raster import Picture, mix, text_masks

WIDTH, HEIGHT = 152, 112
SUPERSAMPLE = 3
FOV_Y = math.radians(55.0)
TURN = math.radians(62.0)
SPHERE_RADIUS = 3.5
BODY_BOUND = 2.3  # no ring reaches further from the centre
TINT = (0.7, 0.4, 0.5)
# a moment of the body's wobble, the four wave phases
PHASES = (0.35, 1.1, 0.6, 0.9)


def rotation(a):
    """Rx(a) * Ry(a) * Rz(a), the order in which the renderer turns the
    model, as rows."""
    c, s = math.cos(a), math.sin(a)
    rx = ((1, 0, 0), (0, c, -s), (0, s, c))
    ry = ((c, 0, s), (0, 1, 0), (-s, 0, c))
    rz = ((c, -s, 0), (s, c, 0), (0, 0, 1))

    def mul(m, n):
        return tuple(tuple(sum(m[i][k] * n[k][j] for k in range(3)) for j in range(3)) for i in range(3))
    return mul(mul(rx, ry), rz)


def to_model(m, v):
    """Transposed (inverse) rotation: eye space into model space."""
    return tuple(m[0][i] * v[0] + m[1][i] * v[1] + m[2][i] * v[2] for i in range(3))


def rings():
    """(z, radius, centre x, centre y) of the body's 33 rings."""
    p1, p2, p3, p4 = PHASES
    pi = math.pi
    out = []
    for k in range(33):
        r = (0.1 * math.sin((k + p1 * pi) * 0.5) + 0.2 * math.sin((k + p2 * pi) * 0.25) + 0.6) \
            * math.sin(k * pi / 32)
        out.append((k * 0.125 - 2.0, r, 0.2 * math.sin((k + p3 * pi) * 0.25),
                    0.1 * math.sin((k + p4 * pi) * 0.5)))
    return out


def made_up_desktop():
    """What the body carries in the preview: a blue desktop with a column
    of icons, a window and a task bar."""
    w, h = 96, 72
    pic = Picture(w, h)
    for y in range(h):
        for x in range(w):
            pic.set(x, y, mix((40.0, 110.0, 170.0), (10.0, 60.0, 120.0), y / h))
    for i in range(4):
        for y in range(6 + i * 14, 14 + i * 14):
            for x in range(5, 13):
                pic.set(x, y, (235.0, 215.0, 120.0) if i % 2 else (220.0, 230.0, 240.0))
    for y in range(12, 52):
        for x in range(30, 84):
            pic.set(x, y, (20.0, 40.0, 150.0) if y < 19 else (245.0, 245.0, 245.0))
    for y in range(64, 72):
        for x in range(w):
            pic.set(x, y, (200.0, 200.0, 200.0))
    return pic


class Scene:
    def __init__(self, backdrop, with_body):
        self.backdrop = backdrop
        self.desktop = made_up_desktop()
        self.rot = rotation(TURN)
        self.origin = to_model(self.rot, (0.0, 0.0, 3.0))
        self.rings = rings() if with_body else None

    def body_at(self, z):
        """Linear between rings, as the triangle strips are."""
        f = (z + 2.0) / 0.125
        k = min(int(f), 31)
        f -= k
        a, b = self.rings[k], self.rings[k + 1]
        return (a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f, a[3] + (b[3] - a[3]) * f)

    def inside(self, p):
        if not -2.0 < p[2] < 2.0:
            return False
        r, cx, cy = self.body_at(p[2])
        dx, dy = p[0] - cx, p[1] - cy
        return dx * dx + dy * dy < r * r

    def hit_body(self, o, d):
        """Distance along the ray to the body's surface, or None."""
        # march only where the ray crosses the sphere that bounds the body
        b = o[0] * d[0] + o[1] * d[1] + o[2] * d[2]
        dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2]
        cc = o[0] * o[0] + o[1] * o[1] + o[2] * o[2] - BODY_BOUND ** 2
        disc = b * b - dd * cc
        if disc <= 0:
            return None
        root = math.sqrt(disc)
        t, end = max((-b - root) / dd, 1.0), (-b + root) / dd
        step = 0.03
        prev = t
        while t < end:
            p = (o[0] + d[0] * t, o[1] + d[1] * t, o[2] + d[2] * t)
            if abs(p[0]) < 1.2 and abs(p[1]) < 1.2 and self.inside(p):
                lo, hi = prev, t
                for _ in range(10):
                    mid = (lo + hi) / 2
                    q = (o[0] + d[0] * mid, o[1] + d[1] * mid, o[2] + d[2] * mid)
                    if self.inside(q):
                        hi = mid
                    else:
                        lo = mid
                return hi
            prev = t
            t += step
        return None

    def colour(self, d):
        o = self.origin
        if self.rings is not None:
            t = self.hit_body(o, d)
            if t is not None:
                p = (o[0] + d[0] * t, o[1] + d[1] * t, o[2] + d[2] * t)
                r, cx, cy = self.body_at(min(max(p[2], -2.0), 2.0))
                angle = math.atan2(p[1] - cy, p[0] - cx) % (2 * math.pi)
                s = angle / (2 * math.pi) * 2.0
                tt = (p[2] + 2.0) / 0.125 * 0.0625
                w, h = self.desktop.width, self.desktop.height
                c = self.desktop.sample((s % 1.0) * w, (1.0 - (tt % 1.0)) * h)
                g = min(r + 0.5, 1.0)
                return (c[0] * g, c[1] * g, c[2] * g)
        # the sphere: the far root, since the eye is inside
        b = o[0] * d[0] + o[1] * d[1] + o[2] * d[2]
        dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2]
        cc = o[0] * o[0] + o[1] * o[1] + o[2] * o[2] - SPHERE_RADIUS ** 2
        t = (-b + math.sqrt(b * b - dd * cc)) / dd
        p = (o[0] + d[0] * t, o[1] + d[1] * t, o[2] + d[2] * t)
        rho = math.acos(max(-1.0, min(1.0, p[2] / SPHERE_RADIUS)))
        theta = math.atan2(-p[0], p[1]) % (2 * math.pi)
        size = self.backdrop.width
        c = self.backdrop.sample(theta / (2 * math.pi) * size, rho / math.pi * size)
        return (c[0] * TINT[0], c[1] * TINT[1], c[2] * TINT[2])

    def render(self):
        pic = Picture(WIDTH, HEIGHT)
        tan = math.tan(FOV_Y / 2)
        aspect = WIDTH / HEIGHT
        n = SUPERSAMPLE
        for y in range(HEIGHT):
            for x in range(WIDTH):
                acc = [0.0, 0.0, 0.0]
                for sy in range(n):
                    for sx in range(n):
                        nx = 2 * (x + (sx + 0.5) / n) / WIDTH - 1
                        ny = 1 - 2 * (y + (sy + 0.5) / n) / HEIGHT
                        d = to_model(self.rot, (nx * aspect * tan, ny * tan, -1.0))
                        c = self.colour(d)
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                pic.set(x, y, (acc[0] / n / n, acc[1] / n / n, acc[2] / n / n))
        return pic


def title(pic):
    """The name, small, in the top left corner, white on a dark outline."""
    plain, line = text_masks("ぬめらぼ", 17, (0, 4))
    left, top = 4, 3
    for y in range(line.height):
        for x in range(line.width):
            px, py = left + x, top + y
            if px < pic.width and py < pic.height:
                pic.blend(px, py, (50.0, 10.0, 40.0), line.values[y * line.width + x] * 0.85)
                pic.blend(px, py, (255.0, 250.0, 252.0), plain.values[y * plain.width + x])


def make_previews(backdrop):
    """(background, front picture) of the preview window."""
    background = Scene(backdrop, with_body=False).render()
    front = Scene(backdrop, with_body=True).render()
    title(front)
    return background, front
