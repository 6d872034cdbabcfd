#!/usr/bin/env python3
"""Write the portable zip: the same bytes from the same inputs.

    make_portable_zip.py OUT.zip EPOCH README FOLDER=DIR [FOLDER=DIR ...]

Each FOLDER gets Vombly.exe and the four default files from DIR; README
goes in at the top as README.txt. Every entry has the time EPOCH (seconds
since 1970, as SOURCE_DATE_EPOCH; zip keeps local times from 1980 on, so
earlier times are raised to 1980), fixed permissions, and a stable order.
"""

import sys
import time
import zipfile

FILES = ("Vombly.exe", "Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat")


def entry(name, when):
    info = zipfile.ZipInfo(name, date_time=when)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # no Unix permissions that depend on the builder
    info.external_attr = 0
    return info


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__)
    out, epoch, readme, folders = argv[1], int(argv[2]), argv[3], argv[4:]
    when = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(out, "w") as archive:
        with open(readme, "rb") as text:
            # Windows' Notepad before 2018 wants CRLF line ends.
            body = text.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        archive.writestr(entry("README.txt", when), body, compresslevel=9)
        for spec in sorted(folders):
            folder, _, source = spec.partition("=")
            for name in FILES:
                with open("%s/%s" % (source, name), "rb") as data:
                    archive.writestr(entry("%s/%s" % (folder, name), when), data.read(), compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
