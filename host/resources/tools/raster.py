"""A small RGB picture in plain Python and the file writers of the artwork.

Everything here is deterministic: the same drawing calls give the same bytes,
which is what lets a test regenerate the artwork and compare it with the
committed files.
"""

import math
import os
import shutil
import struct
import subprocess


def clamp8(v):
    v = int(round(v))
    return 0 if v < 0 else 255 if v > 255 else v


def mix(a, b, f):
    """Linear blend of two colours, f = 0 gives a, f = 1 gives b."""
    return tuple(x + (y - x) * f for x, y in zip(a, b))


def hsv(h, s, v):
    """Colour from hue (turns, any real), saturation and value in 0..1,
    as 0..255 floats."""
    h = (h % 1.0) * 6.0
    i = int(h) % 6
    f = h - int(h)
    p, q, t = v * (1 - s), v * (1 - s * f), v * (1 - s * (1 - f))
    r, g, b = [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]
    return (r * 255.0, g * 255.0, b * 255.0)


def smoothstep(e0, e1, x):
    if e0 == e1:
        return 0.0 if x < e0 else 1.0
    t = (x - e0) / (e1 - e0)
    t = 0.0 if t < 0 else 1.0 if t > 1 else t
    return t * t * (3 - 2 * t)


class Picture:
    """RGB picture, rows top to bottom, channels as floats while drawing."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.px = [tuple(float(c) for c in colour)] * (width * height)

    def get(self, x, y):
        return self.px[y * self.width + x]

    def set(self, x, y, colour):
        self.px[y * self.width + x] = colour

    def blend(self, x, y, colour, alpha):
        if alpha <= 0:
            return
        i = y * self.width + x
        self.px[i] = mix(self.px[i], colour, min(alpha, 1.0))

    def sample(self, u, v, wrap_x=True):
        """Bilinear sample at continuous pixel coordinates (u, v), the centre
        of pixel (0, 0) at (0.5, 0.5); x wraps round, y is clamped."""
        u -= 0.5
        v -= 0.5
        x0 = math.floor(u)
        y0 = math.floor(v)
        fx, fy = u - x0, v - y0
        out = [0.0, 0.0, 0.0]
        for yy, wy in ((y0, 1 - fy), (y0 + 1, fy)):
            yy = 0 if yy < 0 else self.height - 1 if yy >= self.height else yy
            for xx, wx in ((x0, 1 - fx), (x0 + 1, fx)):
                if wrap_x:
                    xx %= self.width
                else:
                    xx = 0 if xx < 0 else self.width - 1 if xx >= self.width else xx
                c = self.px[yy * self.width + xx]
                w = wx * wy
                out[0] += c[0] * w
                out[1] += c[1] * w
                out[2] += c[2] * w
        return tuple(out)

    def flopped(self):
        """Mirror image, left and right exchanged."""
        out = Picture(self.width, self.height)
        w = self.width
        for y in range(self.height):
            row = self.px[y * w:(y + 1) * w]
            out.px[y * w:(y + 1) * w] = row[::-1]
        return out

    def rgb_bytes(self):
        return bytes(clamp8(c) for p in self.px for c in p)

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb_bytes()


class Mask:
    """Grey coverage (0..1) of text or shapes that ImageMagick rendered."""

    def __init__(self, width, height, values):
        self.width, self.height, self.values = width, height, values

    def at(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            return self.values[y * self.width + x]
        return 0.0

    def sample(self, u, v):
        """Bilinear coverage at continuous coordinates, 0 outside."""
        u -= 0.5
        v -= 0.5
        x0, y0 = math.floor(u), math.floor(v)
        fx, fy = u - x0, v - y0
        return (self.at(x0, y0) * (1 - fx) * (1 - fy) + self.at(x0 + 1, y0) * fx * (1 - fy)
                + self.at(x0, y0 + 1) * (1 - fx) * fy + self.at(x0 + 1, y0 + 1) * fx * fy)


# -- ImageMagick ----------------------------------------------------------------

def convert_program():
    """Debian's ImageMagick convert."""
    for name in ("convert-im6.q16", "convert"):
        path = shutil.which(name)
        if path:
            return path
    raise RuntimeError("ImageMagick's convert is not installed")


JAPANESE_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"


def text_masks(text, pointsize, strokes=(0,), font=JAPANESE_FONT, pad=2):
    """Coverage masks of one line of text, one per stroke width (0 is the
    plain glyphs, wider strokes give outlines and glows), all cut to the same
    box: the ink of the widest plus pad pixels.

    The text is rendered by ImageMagick through FreeType from a Debian font
    and read back as grey PGMs.
    """
    width = int(pointsize * (len(text) + 2) * 1.3) + 2 * max(strokes)
    height = int(pointsize * 2.2) + 2 * max(strokes)
    full = []
    for stroke in strokes:
        cmd = [convert_program(), "-size", "%dx%d" % (width, height), "xc:black",
               "-font", font, "-pointsize", str(pointsize), "-fill", "white"]
        if stroke > 0:
            cmd += ["-stroke", "white", "-strokewidth", str(stroke)]
        cmd += ["-gravity", "center", "-annotate", "+0+0", text, "-depth", "8", "pgm:-"]
        full.append(read_pgm(subprocess.run(cmd, stdout=subprocess.PIPE, check=True).stdout))
    widest = full[strokes.index(max(strokes))]
    xs = [i % width for i, v in enumerate(widest.values) if v > 0]
    ys = [i // width for i, v in enumerate(widest.values) if v > 0]
    x0, x1 = max(min(xs) - pad, 0), min(max(xs) + pad + 1, width)
    y0, y1 = max(min(ys) - pad, 0), min(max(ys) + pad + 1, height)
    out = []
    for m in full:
        vals = [m.values[y * width + x] for y in range(y0, y1) for x in range(x0, x1)]
        out.append(Mask(x1 - x0, y1 - y0, vals))
    return out


def read_pgm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P5":
        raise ValueError("expected a binary PGM")
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    raw = data[pos:pos + w * h]
    return Mask(w, h, [b / maxval for b in raw])


def write_jpeg(picture, path, quality, sampling):
    """Baseline JPEG with three components, no metadata, by ImageMagick.

    sampling is the chroma subsampling, "2x2" (4:2:0) for photographs or
    "1x1" for small sharp pictures.
    """
    cmd = [convert_program(), "ppm:-", "-strip", "-colorspace", "sRGB", "-type", "TrueColor",
           "-interlace", "none", "-sampling-factor", sampling, "-quality", str(quality),
           "-define", "jpeg:optimize-coding=true", "jpeg:" + path]
    subprocess.run(cmd, input=picture.ppm(), check=True)


# -- Windows picture files ------------------------------------------------------

def bmp24_bytes(picture):
    """BMP3: 14-byte file header, 40-byte BITMAPINFOHEADER, bottom-up rows of
    blue, green, red, each padded to 4 bytes, no compression."""
    w, h = picture.width, picture.height
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b = picture.get(x, y)
            body += bytes((clamp8(b), clamp8(g), clamp8(r)))
        body += b"\0" * (stride - w * 3)
    head = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    return head + info + bytes(body)


def _mask_rows(opaque, w, h):
    """AND mask of an icon or cursor, bottom-up, 1 bit per pixel, rows padded
    to 4 bytes; a set bit lets the screen show through."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if not opaque[y * w + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def ico_256_bytes(w, h, palette, indexes, opaque):
    """An .ico with one 8-bit palette image: the BITMAPINFOHEADER says twice
    the height because the XOR image and the AND mask follow each other."""
    if len(palette) > 256:
        raise ValueError("more than 256 colours")
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    pal += b"\0" * (4 * (256 - len(palette)))
    stride = (w + 3) & ~3
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        xor += bytes(indexes[y * w:(y + 1) * w]) + b"\0" * (stride - w)
    mask = _mask_rows(opaque, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    image = info + bytes(pal) + bytes(xor) + mask
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, 0, 0, 1, 8, len(image), 6 + 16)
    return head + entry + image


def cur_mono_bytes(w, h, hot_x, hot_y, white, opaque):
    """A monochrome .cur: palette black and white, XOR bits from white, AND
    mask from opaque. The directory entry carries the hot spot where an icon
    has its planes and bit count."""
    pal = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    stride = ((w + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if opaque[y * w + x] and white[y * w + x]:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = _mask_rows(opaque, w, h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = info + pal + bytes(xor) + mask
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return head + entry + image


def write_bytes(path, data):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
