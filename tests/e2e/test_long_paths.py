"""Paths of 260 characters and more, the way synced cloud folders, NAS shares
and archives nest photographs: folders named in Latin, Cyrillic, CJK and
emoji, down to the deepest path Wine can map on this file system."""

import os
import re
import unittest

import drive
from drive import changed, file_line
from e2e_case import ORIGINAL_MTIME, DropTestCase

# A word of each script; every folder name holds all four, under 255 bytes.
WORDS = ["Ürlaubsfotos Élan", "Фотографии Отпуск", "写真アルバム東京", "📷🌅🏔🌊"]
LATIN = ["Archive", "Holidays", "Camera Uploads", "Backup"]

FILE_LINE = re.compile(rb"^<stamp>  --     File +(\d+) (.*)\t File name \"(.*)\"\r$", re.M)
FOLDER_LINE = re.compile(rb"^<stamp>  --  Working on folder \"(.*)\"\r$", re.M)


def win_chars(path):
    """The length of a Linux path's Windows form in the characters Windows counts (UTF-16 units)."""
    return len(drive.win_path(path).encode("utf-16-le")) // 2


def host_bytes(path):
    return len(os.path.abspath(path).encode("utf-8"))


def folder_name(level, words=WORDS):
    words = words[level % len(words):] + words[:level % len(words)]
    name = " ".join(words)
    for word in words:
        if len((name + " " + word).encode("utf-8")) < 200:
            name += " " + word
    return name


def deep_file(base, fits, stem, words=WORDS):
    """The longest path under `base` for which `fits(path)` holds: folders
    named with `words`, then a file named `stem`, padded with Latin letters,
    ending in .jpg."""
    folder = base
    level = 0
    while fits(os.path.join(folder, folder_name(level, words), stem + "x" * 40 + ".jpg")):
        folder = os.path.join(folder, folder_name(level, words))
        level += 1
    # A shorter last folder, so that the file name has room to spare.
    name = folder_name(level, words)
    while name and not fits(os.path.join(folder, name, stem + "x" * 20 + ".jpg")):
        name = name[:-1].rstrip()
    if name:
        folder = os.path.join(folder, name)
    padding = 0
    while fits(os.path.join(folder, stem + "x" * (padding + 1) + ".jpg")):
        padding += 1
    path = os.path.join(folder, stem + "x" * padding + ".jpg")
    assert len(os.path.basename(path).encode("utf-8")) < 255 and fits(path)
    return path


def walk_entries(masked_log):
    folders = FOLDER_LINE.findall(masked_log)
    files = [(int(n), outcome, path) for n, outcome, path in FILE_LINE.findall(masked_log)]
    return folders, files


def journal_records(journal):
    """[(path, created line, modified line)] of a journal, which must end with a whole record."""
    lines = journal.split(b"\r\n")
    assert lines[-1] == b"" and (len(lines) - 1) % 3 == 0, journal
    return [tuple(lines[i:i + 3]) for i in range(0, len(lines) - 1, 3)]


class LongPathCase(DropTestCase):
    def within(self, chars):
        return lambda path: win_chars(path) <= chars

    def assertChangedAndJournalled(self, result, pictures):
        """`pictures`: {path: EXIF text}, all changed by the drop, in any order."""
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        _, files = walk_entries(masked)
        self.assertEqual(sorted(drive.log_path(p) for p in pictures), sorted(f[2] for f in files),
                         masked.decode("utf-8", "replace"))
        for path, date in pictures.items():
            line = file_line(0, changed(date.encode()), path)[len(b"<stamp>  --     File      0 "):]
            self.assertIn(line, masked)
        self.assertTrue(masked.endswith(drive.drop_end(len(pictures), len(pictures))))
        # Each path as found, with the times as read before the change.
        records = journal_records(result.journal)
        self.assertEqual(sorted(drive.win_path(p).encode("utf-8") for p in pictures), sorted(r[0] for r in records))
        for _, created, modified in records:
            self.assertRegex(created, rb"^Created: \d+:\d+:\d+ \d+:\d+:\d+$")
            self.assertEqual(b"Modified: " + drive.journal_time(ORIGINAL_MTIME).encode(), modified)


class DeepTrees(LongPathCase):
    def build(self):
        root = os.path.join(self.tree, "Deep photos")
        limit = drive.deepest_host_path()
        deepest = deep_file(os.path.join(root, "deepest"), lambda p: host_bytes(p) <= limit, "Photo max")
        self.assertEqual(limit, host_bytes(deepest))
        pictures = {
            deep_file(os.path.join(root, "about 300"), self.within(300), "Photo 300"): "2001:02:03 04:05:06",
            deep_file(os.path.join(root, "about 1000"), self.within(1000), "Photo 1000"): "2002:03:04 05:06:07",
            deepest: "2003:04:05 06:07:08",
        }
        # One character a byte: the most characters a path can have here.
        self.longest = deep_file(os.path.join(root, "longest"), lambda p: host_bytes(p) <= limit, "Photo latin",
                                 LATIN)
        self.assertEqual(limit + 2, win_chars(self.longest))
        pictures[self.longest] = "2004:05:06 07:08:09"
        # The tree is what it claims to be.
        self.assertEqual([300, 1000], sorted(win_chars(p) for p in pictures)[:2])
        for path, date in pictures.items():
            self.assertTrue(all(len(part.encode("utf-8")) < 255 for part in path.split(os.sep)))
            if path != self.longest:
                for word in WORDS:
                    self.assertIn(word, path)
            self.dated(path, date)
        return root, pictures

    def test_a_dropped_top_folder_reaches_every_deep_picture_and_undo_restores_them(self):
        root, pictures = self.build()
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "on", "--undo"], [root], self.work)
        self.assertChangedAndJournalled(result, pictures)
        self.assertEqual(drive.final_status(4, 4), result.value("drop 1 status"))
        self.assertEqual("enabled", result.value("drop 1 undo button"))
        # Every folder of the way down got its line, as the walk formed it.
        folders, _ = walk_entries(drive.mask_stamps(result.log))
        expected = {drive.win_path(root).encode("utf-8")}
        for path in pictures:
            folder = os.path.dirname(path)
            while folder != root:
                expected.add(drive.win_path(folder).encode("utf-8"))
                folder = os.path.dirname(folder)
        self.assertEqual(sorted(expected), sorted(folders))
        self.assertEqual(drive.restored_status(4, 4), result.value("undo status"))
        self.assertEqual(before, self.snapshot(), "undo did not put the times back exactly")

    def test_a_dropped_top_folder_sets_each_modified_time(self):
        root, pictures = self.build()
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "on"], [root], self.work)
        self.assertChangedAndJournalled(result, pictures)
        after = self.snapshot()
        for path, date in pictures.items():
            self.assertMtime(path, drive.local_epoch(date), after)
        self.assertBytesUnchanged(before, after)


class DroppedLongFiles(LongPathCase):
    def test_a_picture_of_300_characters_dropped_as_the_file_itself(self):
        path = deep_file(self.tree, self.within(300), "Dropped")
        self.assertEqual(300, win_chars(path))
        self.dated(path, "2004:05:06 07:08:09")
        before = self.snapshot()
        result = drive.run(["--target", "m"], [path], self.work)
        self.assertChangedAndJournalled(result, {path: "2004:05:06 07:08:09"})
        self.assertIn(file_line(1, changed(b"2004:05:06 07:08:09"), path), drive.mask_stamps(result.log))
        after = self.snapshot()
        self.assertMtime(path, drive.local_epoch("2004:05:06 07:08:09"), after)
        self.assertBytesUnchanged(before, after)

        os.utime(path, (ORIGINAL_MTIME, ORIGINAL_MTIME))
        result = drive.run(["--target", "m", "--undo"], [path], self.work)
        self.assertRan(result)
        self.assertEqual(drive.restored_status(1, 1), result.value("undo status"))
        self.assertEqual(before, self.snapshot())

    def test_a_read_only_long_path_picture_is_journalled_not_changed(self):
        readonly = deep_file(os.path.join(self.tree, "locked"), self.within(400), "Read only")
        writable = deep_file(os.path.join(self.tree, "open"), self.within(350), "Writable")
        self.dated(readonly, "2005:06:07 08:09:10")
        self.dated(writable, "2005:06:07 08:09:11")
        os.chmod(readonly, 0o444)
        before = self.snapshot()
        result = drive.run(["--target", "m", "--undo"], [readonly, writable], self.work)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        self.assertIn(file_line(1, drive.READ_ONLY, readonly), masked)
        self.assertIn(file_line(2, changed(b"2005:06:07 08:09:11"), writable), masked)
        self.assertEqual([drive.win_path(readonly).encode("utf-8"), drive.win_path(writable).encode("utf-8")],
                         [r[0] for r in journal_records(result.journal)])
        self.assertEqual(drive.final_status(2, 1), result.value("drop 1 status"))
        # Still read-only at the undo: counted, not restored.
        self.assertEqual(drive.restored_status(1, 2), result.value("undo status"))
        self.assertEqual(before, self.snapshot())


class LinksInLongFolders(LongPathCase):
    def test_a_link_that_loops_back_ends_the_walk_of_a_long_folder(self):
        top = os.path.dirname(deep_file(os.path.join(self.tree, "looped"), self.within(400), "a"))
        self.assertGreater(win_chars(top), 300)
        dates = {os.path.join(top, "a.jpg"): "2001:01:01 00:00:01",
                 os.path.join(top, "sub", "b.jpg"): "2001:01:01 00:00:02"}
        for path, date in dates.items():
            self.dated(path, date)
        os.symlink("..", os.path.join(top, "sub", "back to top"))
        os.symlink("sub", os.path.join(top, "alias of sub"))
        result = drive.run(["--target", "m", "--subfolders", "on"], [top], self.work, timeout=120)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        # Each picture once, whichever way to sub came first.
        _, files = walk_entries(masked)
        self.assertEqual([b"a.jpg", b"b.jpg"], sorted(f[2].rsplit(b"\\", 1)[1] for f in files),
                         masked.decode("utf-8", "replace"))
        self.assertTrue(masked.endswith(drive.drop_end(2, 2)))
        self.assertEqual(2, masked.count(b"already walked in this drop"))
        for path, date in dates.items():
            self.assertMtime(path, drive.local_epoch(date))


class LimitsThatStay(LongPathCase):
    def test_what_lies_beyond_the_deepest_path_wine_maps(self):
        limit = drive.deepest_host_path()
        deepest = deep_file(os.path.join(self.tree, "edge"), lambda p: host_bytes(p) <= limit, "at")
        folder = os.path.dirname(deepest)
        beyond = os.path.join(folder, os.path.basename(deepest)[:-len(".jpg")] + "y.jpg")
        far = os.path.join(folder, "z" * (limit - host_bytes(folder)))
        hidden = os.path.join(far, "hidden.jpg")
        self.assertEqual([limit, limit + 1, limit + 1], [host_bytes(p) for p in (deepest, beyond, far)])
        for path in (deepest, beyond, hidden):
            self.dated(path, "2006:07:08 09:10:11")
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "on"], [os.path.join(self.tree, "edge"), beyond, far],
                           self.work)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        folders, files = walk_entries(masked)
        # Found by the walk, a file Wine cannot map cannot be opened; a folder
        # gets its line, and what it holds stays out of reach. Dropped, both are
        # skipped without a trace, like items that do not exist.
        self.assertEqual(sorted([(changed(b"2006:07:08 09:10:11"), drive.log_path(deepest)),
                                 (drive.OPEN_FAILED, drive.log_path(beyond))]), sorted(f[1:] for f in files))
        self.assertEqual(1, folders.count(drive.win_path(far).encode("utf-8")))
        self.assertTrue(masked.endswith(drive.drop_end(2, 1)))
        after = self.snapshot()
        self.assertMtime(deepest, drive.local_epoch("2006:07:08 09:10:11"), after)
        for path in (beyond, hidden):
            self.assertEqual(before[path], after[path])

    def test_a_dropped_name_of_more_than_255_bytes_is_skipped_like_a_missing_item(self):
        # 128 Cyrillic letters fit a Windows name (255 characters) but not a
        # Linux one (255 bytes); neither can exist here.
        names = ["n" * 300 + ".jpg", "Ф" * 128 + ".jpg", os.path.join("d" * 256, "inside.jpg")]
        present = self.dated("present.jpg", "2007:08:09 10:11:12")
        result = drive.run(["--target", "m"], [os.path.join(self.tree, n) for n in names] + [present], self.work)
        self.assertRan(result)
        self.assertEqual(drive.program_started() + drive.drop_start(True, False)
                         + file_line(1, changed(b"2007:08:09 10:11:12"), present) + drive.drop_end(1, 1),
                         drive.mask_stamps(result.log))


if __name__ == "__main__":
    unittest.main()
