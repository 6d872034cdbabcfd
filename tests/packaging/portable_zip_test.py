#!/usr/bin/env python3
"""The portable zip: its layout, its dates and its bytes from the same inputs.

    python3 tests/packaging/portable_zip_test.py
"""

import os
import sys
import tempfile
import time
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import make_portable_zip  # noqa: E402

NAMES = ("Vombly.exe", "Vombly.cfg", "Vombly1.dat", "Vombly2.dat", "Vombly3.dat")


class PortableZip(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.root = self.work.name
        for arch in ("x86_64", "i686"):
            os.makedirs(os.path.join(self.root, arch))
            for name in NAMES:
                with open(os.path.join(self.root, arch, name), "wb") as f:
                    f.write(("%s %s" % (arch, name)).encode() * 50)
        self.readme = os.path.join(self.root, "readme.txt")
        with open(self.readme, "wb") as f:
            f.write(b"line one\nline two\r\n")

    def tearDown(self):
        self.work.cleanup()

    def build(self, out, epoch, order=("x86_64", "i686")):
        folders = ["%s=%s" % (arch, os.path.join(self.root, arch)) for arch in order]
        make_portable_zip.main(["make_portable_zip.py", out, str(epoch), self.readme] + folders)
        with open(out, "rb") as f:
            return f.read()

    def test_layout_contents_and_dates(self):
        out = os.path.join(self.root, "a.zip")
        self.build(out, 1765342934)  # 2025-12-10 05:02:14 UTC
        with zipfile.ZipFile(out) as archive:
            self.assertIsNone(archive.testzip())
            names = [info.filename for info in archive.infolist()]
            self.assertEqual(["README.txt"] + ["i686/" + n for n in NAMES] + ["x86_64/" + n for n in NAMES], names)
            for info in archive.infolist():
                self.assertEqual((2025, 12, 10, 5, 2, 14), info.date_time, info.filename)
                self.assertEqual(zipfile.ZIP_DEFLATED, info.compress_type)
            self.assertEqual(b"line one\r\nline two\r\n", archive.read("README.txt"))
            for arch in ("x86_64", "i686"):
                for name in NAMES:
                    with open(os.path.join(self.root, arch, name), "rb") as f:
                        self.assertEqual(f.read(), archive.read("%s/%s" % (arch, name)))

    def test_same_bytes_whatever_the_inputs_times_and_order(self):
        first = self.build(os.path.join(self.root, "a.zip"), 1765342934)
        for arch in ("x86_64", "i686"):
            for name in NAMES:
                os.utime(os.path.join(self.root, arch, name), (1000000000, 1000000000))
        time.sleep(1.1)  # the clock moves on: nothing may depend on it
        second = self.build(os.path.join(self.root, "b.zip"), 1765342934, order=("i686", "x86_64"))
        self.assertEqual(first, second)
        self.assertNotEqual(first, self.build(os.path.join(self.root, "c.zip"), 1765342936))

    def test_times_before_1980_become_1980(self):
        out = os.path.join(self.root, "a.zip")
        self.build(out, 0)
        with zipfile.ZipFile(out) as archive:
            self.assertEqual((1980, 1, 1, 0, 0, 0), archive.infolist()[0].date_time)


if __name__ == "__main__":
    unittest.main()
