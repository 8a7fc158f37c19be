"""Real camera pictures, dropped on the dialog: each gets the date an
independent EXIF reader reports for it, and keeps its bytes. Their EXIF
blocks run to tens of kilobytes, so the reader's bytes come through many
reads of the held file."""

import os
import shutil
import unittest

import drive
from drive import changed
from e2e_case import DropTestCase

CAMERAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "cameras")


def expected_dates():
    """[(file name, DateTimeOriginal or None)] from the reference list."""
    with open(os.path.join(CAMERAS, "expected.tsv"), encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f][1:]
    return [(row[0], None if row[3] == "-" else row[3]) for row in rows if row and row[0]]


class CameraPictures(DropTestCase):
    def test_every_camera_picture_gets_its_date(self):
        dates = expected_dates()
        self.assertGreater(len(dates), 10)
        for name, _ in dates:
            shutil.copyfile(os.path.join(CAMERAS, name), os.path.join(self.tree, name))
            os.utime(os.path.join(self.tree, name), (1580637600, 1580637600))
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "on"], [self.tree], self.work)
        self.assertRan(result)
        after = self.snapshot()
        self.assertBytesUnchanged(before, after)

        lines = drive.mask_stamps(result.log).split(b"\r\n")
        for name, date in dates:
            path = os.path.join(self.tree, name)
            line = [l for l in lines if l.endswith(b"\t File name \"" + drive.log_path(path) + b"\"")]
            self.assertEqual(1, len(line), name)
            if date is None:
                self.assertIn(drive.NO_EXIF, line[0], name)
                self.assertEqual(before[path][1], after[path][1], name)
            else:
                self.assertIn(changed(date.encode()), line[0], name)
                self.assertMtime(path, drive.local_epoch(date), after)
        with_date = sum(1 for _, date in dates if date)
        self.assertEqual(drive.final_status(len(dates), with_date), result.value("drop 1 status"))


if __name__ == "__main__":
    unittest.main()
