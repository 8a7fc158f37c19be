"""Every outcome of the per-file change, end to end: one drop of files in a
known order, checked in the log line by line, the journal, the status line,
the Undo button, the file times and the picture bytes."""

import os
import time
import unittest

import drive
from drive import changed, empty_date, file_line, invalid_date, windows_error
from e2e_case import ORIGINAL_MTIME, DropTestCase, journal_created

ERROR_SHARING_VIOLATION = 0x20


class OutcomeTable(DropTestCase):
    def build(self):
        """[(path, outcome or None when skipped, EXIF text when the time must change)]."""
        f = self.factory
        same = "2007:08:09 10:11:12"
        items = [
            (self.dated("summer.jpg", "2005:07:15 12:30:45"), changed(b"2005:07:15 12:30:45"), "2005:07:15 12:30:45"),
            (self.dated("WINTER Photo.JPG", "2006:01:20 08:15:00"), changed(b"2006:01:20 08:15:00"),
             "2006:01:20 08:15:00"),
            (self.dated("Long Name.JPEG", "2008:05:17 14:03:09"), changed(b"2008:05:17 14:03:09"),
             "2008:05:17 14:03:09"),
            (self.dated("notes.txt", "2001:01:01 01:01:01"), None, None),
            (self.dated("picture.jpe", "2001:01:01 01:01:01"), None, None),
            (self.dated("picture.jfif", "2001:01:01 01:01:01"), None, None),
            (self.dated("picture.jpg.bak", "2001:01:01 01:01:01"), None, None),
            (self.picture("plain.jpg", f.no_exif), drive.NO_EXIF, None),
            (self.picture("empty.jpg", b""), drive.NO_EXIF, None),
            (self.picture("text.jpg", b"this is not a picture\r\n"), drive.NO_EXIF, None),
            (self.picture("undated.jpg", f.exif_without_date), empty_date(b""), None),
            (self.dated("zeros.jpg", "0000:00:00 00:00:00"), empty_date(b"0000:00:00 00:00:00"), None),
            (self.dated("blank.jpg", "    :  :     :  :  "), empty_date(b"    :  :     :  :  "), None),
            (self.dated("y1899.jpg", "1899:12:31 23:59:59"), invalid_date(b"1899:12:31 23:59:59"), None),
            (self.dated("same.jpg", same, mtime=drive.local_epoch(same)), drive.SAME_DATE, None),
            (self.dated("dashes.jpg", "2003-04-05 06:07:08"), changed(b"2003-04-05 06:07:08"), "2003-04-05 06:07:08"),
            (self.dated("month13.jpg", "2003:13:05 06:07:08"), changed(b"2003:13:05 06:07:08"), "2003:13:05 06:07:08"),
            (self.picture("truncated.jpg", f.truncated_after_exif("2004:02:29 23:59:59")),
             changed(b"2004:02:29 23:59:59"), "2004:02:29 23:59:59"),
            (self.dated("readonly.jpg", "2002:03:04 05:06:07"), drive.READ_ONLY, None),
            (self.dated("held.jpg", "2002:03:04 05:06:08"), windows_error(ERROR_SHARING_VIOLATION), None),
            (self.dated("locked.jpg", "2002:03:04 05:06:09"), drive.OPEN_FAILED, None),
            (self.dated("last.jpg", "2010:12:31 23:59:59"), changed(b"2010:12:31 23:59:59"), "2010:12:31 23:59:59"),
        ]
        os.chmod(os.path.join(self.tree, "readonly.jpg"), 0o444)
        return items

    def test_one_drop_of_every_outcome(self):
        items = self.build()
        paths = [path for path, _, _ in items]
        before = self.snapshot()
        started = time.time()
        result = drive.run(["--target", "m", "--subfolders", "on", "--times",
                            "--hold", drive.win_path(os.path.join(self.tree, "held.jpg")),
                            "--lock", drive.win_path(os.path.join(self.tree, "locked.jpg"))],
                           paths, self.work)
        finished = time.time()
        after = self.snapshot()
        self.assertRan(result)
        self.assertEqual("date to change \"Date Modified\", process subfolders on", result.value("options"))

        # The log: start-up line, then the drop's block, line for line.
        lines = []
        number = 0
        for path, outcome, _ in items:
            if outcome is not None:
                number += 1
                lines.append(file_line(number, outcome, path))
        n_changed = sum(1 for _, outcome, _ in items if outcome is not None and outcome.startswith(b"CHANGED"))
        expected = (drive.program_started() + drive.drop_start(True, False) + b"".join(lines)
                    + drive.drop_end(number, n_changed))
        self.assertIsNotNone(result.log, "no log was copied")
        masked = drive.mask_stamps(result.log)
        self.assertEqual(expected.decode("utf-8", "replace").splitlines(),
                         masked.decode("utf-8", "replace").splitlines())
        self.assertEqual(expected, masked)
        self.assertStampsPlausible(result.log, started, finished)

        # Status line, link and Undo button.
        self.assertEqual(drive.final_status(number, n_changed), result.value("drop 1 status"))
        # One link, drawn in several runs.
        self.assertEqual({"app:WM_APP_COMMAND_SHOW_LOG"}, set(result.values("drop 1 link")))
        self.assertEqual("enabled", result.value("drop 1 undo button"))

        # The journal lists every file about to change, read-only and held ones
        # included, with its times as read before the drop.
        journalled = [path for path, outcome, _ in items
                      if outcome is not None and (outcome.startswith(b"CHANGED") or outcome == drive.READ_ONLY
                                                  or outcome.startswith(b"not changed. Windows error"))]
        self.assertIsNotNone(result.journal, "no journal was copied")
        self.assertJournal(result.journal, [(path, journal_created(result, path), drive.journal_time(ORIGINAL_MTIME))
                                            for path in journalled])

        # Times: changed files carry the EXIF moment in local time, all others
        # their old time to the nanosecond; no picture byte changed.
        for path, outcome, date in items:
            if date is not None:
                self.assertMtime(path, drive.local_epoch(date), after)
            else:
                self.assertEqual(before[path][1], after[path][1], "time of %s changed" % path)
        self.assertBytesUnchanged(before, after)
        self.assertEqual("2004-01-05 06:07:08",
                         result.times("after drop")[drive.win_path(os.path.join(self.tree, "month13.jpg"))][1])


class NameForms(DropTestCase):
    def test_a_file_named_just_dot_jpg_is_a_jpeg(self):
        path = self.dated(".jpg", "2009:09:09 09:09:09")
        result = drive.run(["--target", "m"], [path], self.work)
        self.assertRan(result)
        self.assertIn(file_line(1, changed(b"2009:09:09 09:09:09"), path), drive.mask_stamps(result.log))
        self.assertMtime(path, drive.local_epoch("2009:09:09 09:09:09"))

    def test_names_in_other_scripts_reach_log_and_journal_intact(self):
        path = self.dated("Ünïcödé 日本語 фото.jpg", "2011:11:11 11:11:11")
        result = drive.run(["--target", "m"], [path], self.work)
        self.assertRan(result)
        self.assertIn(file_line(1, changed(b"2011:11:11 11:11:11"), path), drive.mask_stamps(result.log))
        self.assertTrue(result.journal.startswith(drive.win_path(path).encode("utf-8") + b"\r\n"), result.journal)
        self.assertMtime(path, drive.local_epoch("2011:11:11 11:11:11"))

    def test_capitals_of_any_script_are_logged_in_lower_case_and_journalled_as_found(self):
        names = [("ÉTÉ.JPG", "été.jpg"), ("ФОТО.JPG", "фото.jpg"), ("ΦΩΤΟΓΡΑΦΊΑ.JPEG", "φωτογραφία.jpeg")]
        paths = [self.dated(name, "2012:12:12 12:12:%02d" % i) for i, (name, _) in enumerate(names)]
        result = drive.run(["--target", "m", "--times"], paths, self.work)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        folder = drive.win_path(self.tree).lower().encode("utf-8")
        for i, (_, logged) in enumerate(names):
            line = (b"<stamp>  --     File %6d " % (i + 1) + changed(b"2012:12:12 12:12:%02d" % i)
                    + b"\t File name \"" + folder + b"\\" + logged.encode("utf-8") + b"\"\r\n")
            self.assertIn(line, masked, masked.decode("utf-8", "replace"))
            self.assertMtime(paths[i], drive.local_epoch("2012:12:12 12:12:%02d" % i))
        self.assertJournal(result.journal, [(path, journal_created(result, path), drive.journal_time(ORIGINAL_MTIME))
                                            for path in paths])

    def test_only_files_of_other_names_end_with_zero_counts_and_the_link(self):
        paths = [self.dated(name, "2001:01:01 01:01:01") for name in ("a.png", "b.jpg.txt", "c.jpe")]
        before = self.snapshot()
        result = drive.run(["--target", "m"], paths, self.work)
        self.assertRan(result)
        self.assertEqual(drive.final_status(0, 0), result.value("drop 1 status"))
        self.assertEqual(drive.program_started() + drive.drop_start(True, False) + drive.drop_end(0, 0),
                         drive.mask_stamps(result.log))
        self.assertEqual("none", result.value("drop 1 journal"))
        self.assertEqual("disabled", result.value("drop 1 undo button"))
        self.assertEqual(before, self.snapshot())


class DateTargets(DropTestCase):
    def test_date_created_leaves_the_last_write_time_as_read(self):
        path = self.dated("created.jpg", "2005:07:15 12:30:45")
        result = drive.run(["--target", "c", "--times"], [path], self.work)
        self.assertRan(result)
        self.assertIn(b"Change Modified Date: no. Change Created Date: yes", result.log)
        self.assertMtime(path, ORIGINAL_MTIME)

    def test_no_selection_behaves_like_date_modified(self):
        path = self.dated("none.jpg", "2005:07:15 12:30:45")
        result = drive.run(["--target", "none", "--subfolders", "on"], [path], self.work)
        self.assertRan(result)
        self.assertEqual("date to change \"\", process subfolders on", result.value("options"))
        self.assertIn(b"Change Modified Date: yes. Change Created Date: no", result.log)
        self.assertMtime(path, drive.local_epoch("2005:07:15 12:30:45"))


if __name__ == "__main__":
    unittest.main()
