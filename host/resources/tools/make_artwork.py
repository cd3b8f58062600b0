#!/usr/bin/env python3
"""Draws every picture of the host and writes them into a folder.

    host/resources/tools/make_artwork.py [folder]

The folder defaults to host/resources/art, where the results are committed
so that building never needs this program. Needs Python 3 and Debian's
ImageMagick (for text through FreeType and for JPEG encoding) with the IPA
gothic font. The same run on the same machine gives the same bytes.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import backdrop  # noqa: E402
import button_faces  # noqa: E402
import dialog_art  # noqa: E402
import preview  # noqa: E402
from raster import (bmp24_bytes, cur_mono_bytes, ico_256_bytes, write_bytes,  # noqa: E402
                    write_jpeg)

# File names, in the order of the resource ids they are embedded under.
BACK = "back.jpg"
PREVIEW_BACK = "preview_back.jpg"
PREVIEW_IMAGE = "preview_image.jpg"
MARKER_OFF = "marker_off.jpg"
MARKER_ON = "marker_on.jpg"
ICON = "numerabo.ico"
CURSOR = "pointing_hand.cur"
BUTTONS = ["button_%s.bmp" % name for name in button_faces.STATE_NAMES]
ALL_FILES = [BACK, PREVIEW_BACK, PREVIEW_IMAGE, MARKER_OFF, MARKER_ON, ICON, CURSOR] + BUTTONS


def generate(folder):
    os.makedirs(folder, exist_ok=True)
    out = lambda name: os.path.join(folder, name)  # noqa: E731

    sphere = backdrop.make_backdrop()
    # the one picture stretched over the whole screen: fine chroma is wasted
    # on it, detail in light and dark is not
    write_jpeg(sphere, out(BACK), 90, "2x2")

    background, front = preview.make_previews(sphere)
    write_jpeg(background, out(PREVIEW_BACK), 92, "1x1")
    write_jpeg(front, out(PREVIEW_IMAGE), 92, "1x1")

    write_jpeg(dialog_art.marker(False), out(MARKER_OFF), 95, "1x1")
    write_jpeg(dialog_art.marker(True), out(MARKER_ON), 95, "1x1")

    palette, indexes, opaque = dialog_art.icon_data()
    n = dialog_art.ICON_SIZE
    write_bytes(out(ICON), ico_256_bytes(n, n, palette, indexes, opaque))

    white, opaque = dialog_art.hand()
    n = dialog_art.CURSOR_SIZE
    hx, hy = dialog_art.HOT_SPOT
    write_bytes(out(CURSOR), cur_mono_bytes(n, n, hx, hy, white, opaque))

    for name, file_name in zip(button_faces.STATE_NAMES, BUTTONS):
        write_bytes(out(file_name), bmp24_bytes(button_faces.face(name)))


if __name__ == "__main__":
    generate(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "art"))
