"""The Undo button after a drop: it asks, puts both times back exactly,
reports the count, deletes the journal and disables itself."""

import os
import unittest

import drive
from e2e_case import ORIGINAL_MTIME, DropTestCase

QUESTION = "Chronoshift: Undo last change?"


class UndoAfterDrop(DropTestCase):
    def build(self):
        paths = [self.dated("one.jpg", "2005:07:15 12:30:45", mtime=ORIGINAL_MTIME),
                 self.dated("two.jpg", "2006:01:20 08:15:00", mtime=ORIGINAL_MTIME + 61),
                 self.dated("three.jpg", "2007:03:04 05:06:07", mtime=ORIGINAL_MTIME + 3600)]
        readonly = self.dated("readonly.jpg", "2008:01:01 00:00:00", mtime=ORIGINAL_MTIME + 7)
        os.chmod(readonly, 0o444)
        return paths, readonly

    def test_yes_restores_every_changed_file_exactly(self):
        paths, readonly = self.build()
        before = self.snapshot()
        result = drive.run(["--target", "m", "--undo"], paths + [readonly], self.work)
        self.assertRan(result)
        self.assertEqual("enabled", result.value("drop 1 undo button"))
        self.assertEqual([QUESTION], result.values("undo box"))
        # The read-only file is journalled but cannot be restored while read-only.
        self.assertEqual(drive.restored_status(3, 4), result.value("undo status"))
        self.assertEqual("deleted", result.value("undo journal"))
        self.assertEqual("disabled", result.value("undo button"))
        after = self.snapshot()
        self.assertEqual(before, after, "undo did not put the times back exactly")

    def test_no_discards_the_journal_and_keeps_the_new_dates(self):
        paths, _ = self.build()
        result = drive.run(["--target", "m", "--undo-answer", "no"], paths, self.work)
        self.assertRan(result)
        self.assertEqual([QUESTION], result.values("undo box"))
        self.assertEqual(drive.final_status(3, 3), result.value("undo status"))
        self.assertEqual("deleted", result.value("undo journal"))
        self.assertEqual("disabled", result.value("undo button"))
        self.assertMtime(paths[0], drive.local_epoch("2005:07:15 12:30:45"))

    def test_a_file_deleted_since_the_drop_is_counted_not_restored(self):
        paths, _ = self.build()
        result = drive.run(["--target", "m", "--remove", drive.win_path(paths[1])], paths, self.work)
        self.assertRan(result)
        self.assertEqual(drive.restored_status(2, 3), result.value("undo status"))
        self.assertMtime(paths[0], ORIGINAL_MTIME)
        self.assertMtime(paths[2], ORIGINAL_MTIME + 3600)

    def test_all_files_deleted_since_restores_none(self):
        paths, _ = self.build()
        args = ["--target", "m"]
        for path in paths:
            args += ["--remove", drive.win_path(path)]
        result = drive.run(args, paths, self.work)
        self.assertRan(result)
        self.assertEqual(drive.restored_status(0, 3), result.value("undo status"))
        self.assertEqual("deleted", result.value("undo journal"))
        self.assertEqual("disabled", result.value("undo button"))

    def test_a_drop_that_changed_nothing_cannot_be_undone(self):
        date = "2005:07:15 12:30:45"
        path = self.dated("same.jpg", date, mtime=drive.local_epoch(date))
        result = drive.run(["--target", "m", "--undo"], [path], self.work)
        self.assertRan(result)
        self.assertEqual("none", result.value("drop 1 journal"))
        self.assertIsNone(result.journal)
        self.assertEqual("disabled", result.value("drop 1 undo button"))
        self.assertEqual(["button disabled, not pressed"], result.values("undo"))


class UndoOfCreationTimes(DropTestCase):
    """Creation times through the driver's NTFS-like time store: Wine does not
    keep creation times on Linux file systems. Every file starts with this one."""

    CREATED = "1999-12-31 23:59:58"

    def test_date_created_drop_and_undo(self):
        path = self.dated("created.jpg", "2005:07:15 12:30:45")
        key = drive.win_path(path)
        result = drive.run(["--target", "c", "--created", self.CREATED, "--times", "--undo"], [path], self.work)
        self.assertRan(result)
        created_before, modified_before = result.times("before")[key]
        self.assertEqual(self.CREATED, created_before)
        self.assertEqual(drive.local_text(ORIGINAL_MTIME), modified_before)
        self.assertEqual(("2005-07-15 12:30:45", modified_before), result.times("after drop")[key])
        self.assertEqual((created_before, modified_before), result.times("after undo")[key])
        self.assertEqual(drive.restored_status(1, 1), result.value("undo status"))

    def test_both_dates_with_the_last_write_time_already_equal(self):
        date = "2006:01:20 08:15:00"
        path = self.dated("both.jpg", date, mtime=drive.local_epoch(date))
        key = drive.win_path(path)
        result = drive.run(["--target", "mc", "--created", self.CREATED, "--times", "--undo"], [path], self.work)
        self.assertRan(result)
        created_before, modified_before = result.times("before")[key]
        self.assertEqual((self.CREATED, "2006-01-20 08:15:00"), (created_before, modified_before))
        self.assertIn(drive.changed(date.encode()), result.log)
        self.assertEqual(("2006-01-20 08:15:00", "2006-01-20 08:15:00"), result.times("after drop")[key])
        self.assertEqual((created_before, modified_before), result.times("after undo")[key])
        self.assertEqual(drive.final_status(1, 1), result.value("drop 1 status"))

    def test_both_dates_already_equal_change_nothing(self):
        date = "2006:01:20 08:15:00"
        path = self.dated("equal.jpg", date, mtime=drive.local_epoch(date))
        key = drive.win_path(path)
        # First drop sets the creation time; the second finds both equal.
        result = drive.run(["--target", "mc", "--created", self.CREATED, "--times", "--drop-again"], [path], self.work)
        self.assertRan(result)
        self.assertEqual(("2006-01-20 08:15:00", "2006-01-20 08:15:00"), result.times("after drop")[key])
        self.assertEqual(drive.final_status(1, 1), result.value("drop 1 status"))
        self.assertIn(drive.file_line(1, drive.SAME_DATE, path), drive.mask_stamps(result.log))
        self.assertEqual(drive.final_status(1, 0), result.value("drop 2 status"))
        self.assertEqual("disabled", result.value("drop 2 undo button"))


if __name__ == "__main__":
    unittest.main()
