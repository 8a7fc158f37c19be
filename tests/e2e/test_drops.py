"""Several drops in one run, the log switched off by its deletion, a large
tree that keeps the window repainting, and the picture of the dialog."""

import os
import re
import unittest

import drive
from e2e_case import DropTestCase
from test_folders import walk_entries


class TwoDrops(DropTestCase):
    def test_second_drop_of_the_same_files_changes_nothing_and_drops_undo(self):
        paths = [self.dated("a.jpg", "2005:07:15 12:30:45"), self.dated("b.jpg", "2006:01:20 08:15:00")]
        result = drive.run(["--target", "m", "--drop-again"], paths, self.work)
        self.assertRan(result)
        self.assertEqual("enabled", result.value("drop 1 undo button"))
        self.assertEqual(drive.final_status(2, 0), result.value("drop 2 status"))
        self.assertEqual("none", result.value("drop 2 journal"))
        self.assertEqual("disabled", result.value("drop 2 undo button"))
        self.assertIsNone(result.journal)
        # One start-up line, then one block per drop, in drop order.
        expected = (drive.program_started()
                    + drive.drop_start(True, False)
                    + b"".join(drive.file_line(i + 1, drive.changed(d), p) for i, (p, d) in
                               enumerate(zip(paths, [b"2005:07:15 12:30:45", b"2006:01:20 08:15:00"])))
                    + drive.drop_end(2, 2)
                    + drive.drop_start(True, False)
                    + b"".join(drive.file_line(i + 1, drive.SAME_DATE, p) for i, p in enumerate(paths))
                    + drive.drop_end(2, 0))
        self.assertEqual(expected, drive.mask_stamps(result.log))

    def test_log_deleted_between_drops_turns_the_log_off(self):
        paths = [self.dated("a.jpg", "2005:07:15 12:30:45"), self.dated("b.txt", "2005:07:15 12:30:45")]
        result = drive.run(["--target", "m", "--delete-log"], paths, self.work)
        self.assertRan(result)
        self.assertEqual(drive.final_status(1, 1), result.value("drop 1 status"))
        self.assertEqual({"app:WM_APP_COMMAND_SHOW_LOG"}, set(result.values("drop 1 link")))
        self.assertEqual("done", result.value("delete log"))
        self.assertEqual("off", result.value("drop 2 log"))
        self.assertEqual(drive.progress_status(1), result.value("drop 2 status"))
        self.assertEqual([], result.values("drop 2 link"))
        self.assertEqual("0", result.value("drop 2 links"))
        self.assertEqual("log none, journal none", result.value("closed"))
        # The copy holds the first drop only.
        self.assertEqual(1, drive.mask_stamps(result.log).count(b"Starting to process"))


class DropDuringBatch(DropTestCase):
    # The driver makes the batch's pump due until the second drop is posted,
    # so that a fast machine walks no tree too quickly for it.
    COUNT = 500

    def test_a_drop_during_a_batch_waits_for_its_turn(self):
        for i in range(self.COUNT):
            self.dated(os.path.join("folder %d" % (i % 5), "p%04d.jpg" % i), "2005:07:15 12:30:45")
        result = drive.run(["--target", "m", "--subfolders", "on", "--drop-during"], [self.tree], self.work)
        self.assertRan(result)
        self.assertEqual("posted", result.value("drop during batch"))
        masked = drive.mask_stamps(result.log)
        blocks = masked.split(drive.drop_start(True, False))
        # The start-up line, then two whole blocks one after the other: the
        # second drop neither started inside the first nor was lost.
        self.assertEqual([drive.program_started()], blocks[:1])
        self.assertEqual(3, len(blocks))
        first = [e for e in walk_entries(blocks[1]) if e[0] == "file"]
        second = [e for e in walk_entries(blocks[2]) if e[0] == "file"]
        self.assertEqual(list(range(1, self.COUNT + 1)), [e[1] for e in first])
        self.assertTrue(all(e[2] == drive.changed(b"2005:07:15 12:30:45") for e in first))
        self.assertTrue(blocks[1].endswith(drive.drop_end(self.COUNT, self.COUNT)))
        self.assertEqual([e[3] for e in first], [e[3] for e in second])
        self.assertTrue(all(e[2] == drive.SAME_DATE for e in second))
        self.assertTrue(blocks[2].endswith(drive.drop_end(self.COUNT, 0)))
        self.assertEqual(drive.final_status(self.COUNT, 0), result.value("drop 1 status"))


class LargeTree(DropTestCase):
    FOLDERS = 100
    PER_FOLDER = 100

    def test_ten_thousand_pictures_finish_and_the_progress_shows(self):
        for f in range(self.FOLDERS):
            for i in range(self.PER_FOLDER):
                date = "20%02d:%02d:%02d %02d:%02d:%02d" % (f % 20, 1 + i % 12, 1 + i % 28, i % 24, f % 60, i % 60)
                self.dated(os.path.join("level %d" % (f % 10), "folder %03d" % f, "p%03d.jpg" % i), date)
        result = drive.run(["--target", "m", "--subfolders", "on"], [self.tree], self.work, timeout=1800)
        self.assertRan(result)
        total = self.FOLDERS * self.PER_FOLDER
        self.assertEqual(drive.final_status(total, total), result.value("drop 1 status"))
        masked = drive.mask_stamps(result.log)
        files = [e for e in walk_entries(masked) if e[0] == "file"]
        self.assertEqual(list(range(1, total + 1)), [e[1] for e in files])
        self.assertTrue(all(e[2].startswith(b"CHANGED file date.") for e in files))
        self.assertTrue(masked.endswith(drive.drop_end(total, total)))
        # The label was repainted while the batch ran, showing its progress.
        self.assertGreaterEqual(int(result.value("drop 1 busy paints")), 1)
        seen = result.value("drop 1 progress seen")
        progress = re.compile(r'<font color="DarkRed">Processed <b>(\d+)</b> files\.\.\.</font>')
        m = progress.fullmatch(seen)
        self.assertIsNotNone(m, seen)
        self.assertLessEqual(int(m.group(1)), total)
        # The first of those paints comes first, and the working set is
        # taken at it and at the end, for the benchmark.
        first = progress.fullmatch(result.value("drop 1 first progress seen"))
        self.assertIsNotNone(first)
        self.assertLessEqual(int(first.group(1)), int(m.group(1)))
        for point in ("first progress paint", "end"):
            self.assertRegex(result.value("drop 1 working set at " + point), r"^[1-9]\d* KB$")


class Screenshot(DropTestCase):
    def test_the_dialog_is_saved_as_a_picture(self):
        path = self.dated("a.jpg", "2005:07:15 12:30:45")
        shot = os.path.join(self.work, "dialog.bmp")
        result = drive.run(["--target", "m", "--screenshot", drive.win_path(shot)], [path], self.work)
        self.assertRan(result)
        self.assertEqual("saved", result.value("screenshot"))
        with open(shot, "rb") as f:
            data = f.read()
        self.assertEqual(b"BM", data[:2])
        width = int.from_bytes(data[18:22], "little", signed=True)
        height = int.from_bytes(data[22:26], "little", signed=True)
        self.assertEqual(24, int.from_bytes(data[28:30], "little"))
        self.assertGreater(width, 300)
        self.assertGreater(height, 100)
        pixels = data[54:]
        self.assertEqual(((width * 3 + 3) & ~3) * height, len(pixels))
        # A real picture of the dialog, not a blank area.
        self.assertGreater(len(set(pixels[i:i + 3] for i in range(0, len(pixels) - 3, 3))), 4)


if __name__ == "__main__":
    unittest.main()
