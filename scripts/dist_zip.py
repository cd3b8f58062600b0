"""Packs one distribution folder into a zip the same way every time:
python3 dist_zip.py <zip> <folder>, run from the folder's parent.

The entries come in byte order of their names, the folder first, each with
the time SOURCE_DATE_EPOCH gives (as UTC), plain modes and no owner or extra
fields, so the same files give the same zip. The names are stored as UTF-8
with the flag that says so: without it Windows' own zip folders read them
in the OEM code page and unpack ぬめらぼ.scr under a garbled name, beside
which the host then cannot find ぬめらぼ.dll."""

import os
import sys
import time
import zipfile


def entry(name, epoch, mode):
    info = zipfile.ZipInfo(name, time.gmtime(max(epoch, 315532800))[:6])  # DOS time starts in 1980
    info.create_system = 3  # Unix, so that the mode below is read as one
    info.external_attr = mode << 16
    return info


def main(zip_path, folder):
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    names = sorted(os.listdir(folder), key=lambda n: n.encode("utf-8"))
    with zipfile.ZipFile(zip_path, "w") as z:
        folder_entry = entry(folder + "/", epoch, 0o40755)
        folder_entry.external_attr |= 0x10  # the MS-DOS directory attribute
        z.writestr(folder_entry, b"")
        for name in names:
            with open(os.path.join(folder, name), "rb") as f:
                z.writestr(entry(folder + "/" + name, epoch, 0o100644), f.read(),
                           compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


if __name__ == "__main__":
    main(*sys.argv[1:])
