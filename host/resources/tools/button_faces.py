"""The image button's six 64 x 25 state pictures.

The button never shows a picture whole: it keeps only the outer 4-pixel
frame, stretches the edges along their length and lays its own white to
lavender gradient over the middle. So each edge is one colour along its
length, and the states differ in the four rings of the frame alone:
raised, lit, sunken, focus-ringed, lit with focus, and greyed.
"""

from raster import Picture, mix

WIDTH, HEIGHT, FRAME = 64, 25, 4
WHITE = (255.0, 255.0, 255.0)
LAVENDER = (198.0, 197.0, 215.0)

# Per state, from the outside in: (top and left colour, bottom and right
# colour) of each ring, then the middle's gradient ends.
_STATES = {
    "normal": ([((96, 88, 140), (96, 88, 140)),
                ((255, 255, 255), (150, 146, 182)),
                ((242, 242, 250), (184, 181, 206)),
                ((232, 231, 242), (212, 210, 227))], (WHITE, LAVENDER)),
    "highlight": ([((214, 72, 148), (214, 72, 148)),
                   ((255, 236, 246), (224, 120, 178)),
                   ((255, 214, 236), (236, 164, 204)),
                   ((252, 228, 242), (240, 200, 224))], (WHITE, (240, 200, 224))),
    "pressed": ([((72, 64, 116), (72, 64, 116)),
                 ((124, 118, 164), (255, 255, 255)),
                 ((164, 160, 194), (242, 242, 250)),
                 ((196, 194, 216), (228, 227, 240))], (LAVENDER, WHITE)),
    "selected": ([((44, 34, 132), (44, 34, 132)),
                  ((118, 106, 216), (118, 106, 216)),
                  ((255, 255, 255), (160, 156, 194)),
                  ((232, 231, 242), (206, 204, 224))], (WHITE, LAVENDER)),
    "highlight_select": ([((44, 34, 132), (44, 34, 132)),
                          ((214, 72, 148), (214, 72, 148)),
                          ((255, 226, 242), (228, 144, 192)),
                          ((252, 228, 242), (240, 200, 224))], (WHITE, (240, 200, 224))),
    "disable": ([((160, 160, 166), (160, 160, 166)),
                 ((236, 236, 238), (192, 192, 196)),
                 ((226, 226, 229), (208, 208, 212)),
                 ((222, 222, 224), (216, 216, 219))], ((244, 244, 245), (214, 214, 217))),
}

# The order of the resource ids IDB_BUTTON_NORMAL .. IDB_BUTTON_DISABLE.
STATE_NAMES = ["normal", "highlight", "pressed", "selected", "highlight_select", "disable"]

# The corners' outermost pixel is half way to a dark slate, which reads as a
# slightly rounded corner on the dialog's dark lower part.
_CORNER_BEHIND = (100.0, 100.0, 130.0)


def face(state):
    rings, (top, bottom) = _STATES[state]
    pic = Picture(WIDTH, HEIGHT)
    for y in range(HEIGHT):
        middle = mix(top, bottom, (y - FRAME) / (HEIGHT - 2 * FRAME - 1))
        for x in range(WIDTH):
            ring = min(x, y, WIDTH - 1 - x, HEIGHT - 1 - y)
            if ring >= FRAME:
                pic.set(x, y, tuple(float(c) for c in middle))
                continue
            lit = (y == ring and x < WIDTH - 1 - ring) or (x == ring and y < HEIGHT - 1 - ring)
            colour = tuple(float(c) for c in rings[ring][0 if lit else 1])
            if ring == 0 and x in (0, WIDTH - 1) and y in (0, HEIGHT - 1):
                colour = mix(colour, _CORNER_BEHIND, 0.5)
            pic.set(x, y, colour)
    return pic
