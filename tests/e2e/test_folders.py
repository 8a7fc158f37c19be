"""Dropped folders: the walk with "Process Subfolders" on and off, several
items in one drop, and folders reached twice, through links or as a dropped
folder's own subfolder."""

import os
import re
import unittest

import drive
from drive import changed, file_line
from e2e_case import ORIGINAL_MTIME, DropTestCase

FILE_LINE = re.compile(rb"^<stamp>  --     File +(\d+) (.*)\t File name \"(.*)\"\r$", re.M)
FOLDER_LINE = re.compile(rb"^<stamp>  --  Working on folder \"(.*)\"\r$", re.M)


def walk_entries(masked_log):
    """("folder", path) and ("file", number, outcome, path) in log order."""
    entries = []
    for line in masked_log.split(b"\n"):
        line += b"\n"
        m = FOLDER_LINE.match(line.rstrip(b"\n"))
        if m:
            entries.append(("folder", m.group(1)))
            continue
        m = FILE_LINE.match(line.rstrip(b"\n"))
        if m:
            entries.append(("file", int(m.group(1)), m.group(2), m.group(3)))
    return entries


class FolderWalk(DropTestCase):
    DATES = {
        "top1.jpg": "2001:02:03 04:05:06",
        "Top2.JPG": "2001:02:03 04:05:07",
        "sub A/inner1.jpg": "2002:02:03 04:05:06",
        "sub A/deeper/deep1.jpeg": "2003:02:03 04:05:06",
        "sub A/deeper/deep2.jpg": "2003:02:03 04:05:07",
        "sub A/later.jpg": "2002:02:03 04:05:08",
        "Sub B/inner2.jpg": "2004:02:03 04:05:06",
        "Sub B/empty/.keep": None,
    }

    def build(self, root):
        for relative, date in self.DATES.items():
            path = os.path.join(root, relative)
            if date is None:
                self.picture(path, b"")
            else:
                self.dated(path, date)
        self.picture(os.path.join(root, "readme.txt"), b"hello")

    def assertDepthFirst(self, entries, roots):
        """Every entry lies in the folder being walked or in one of its
        ancestors, and a folder left is never entered again."""
        stack = []
        for entry in entries:
            path = entry[-1] if entry[0] == "folder" else entry[3]
            parent = path.rsplit(b"\\", 1)[0]
            if entry[0] == "folder" and path in roots:
                stack = [path.lower()]
                continue
            while stack and stack[-1] != parent.lower():
                stack.pop()
            self.assertTrue(stack, "%r is outside the folder being walked" % (path,))
            if entry[0] == "folder":
                stack.append(path.lower())

    def test_subfolders_on_walks_every_level_depth_first(self):
        root = os.path.join(self.tree, "Root Folder")
        self.build(root)
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "on"], [root], self.work)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        entries = walk_entries(masked)

        folders = sorted(e[1] for e in entries if e[0] == "folder")
        expected_folders = sorted(drive.win_path(os.path.join(root, sub)).encode()
                                  for sub in ("", "sub A", "sub A/deeper", "Sub B", "Sub B/empty"))
        # The dropped folder as dropped; subfolders as the folder walk forms them.
        self.assertEqual(sorted(f.rstrip(b"\\") for f in expected_folders), folders)

        files = [e for e in entries if e[0] == "file"]
        self.assertEqual(list(range(1, 8)), [e[1] for e in files])
        self.assertEqual(sorted(drive.log_path(os.path.join(root, r)) for r, d in self.DATES.items() if d),
                         sorted(e[3] for e in files))
        for relative, date in self.DATES.items():
            if date:
                path = os.path.join(root, relative)
                self.assertIn(file_line(0, changed(date.encode()), path)[len(b"<stamp>  --     File      0 "):],
                              masked)
                self.assertMtime(path, drive.local_epoch(date))
        self.assertDepthFirst(entries, {drive.win_path(root).encode()})
        self.assertTrue(masked.endswith(drive.drop_end(7, 7)))
        self.assertEqual(drive.final_status(7, 7), result.value("drop 1 status"))
        self.assertBytesUnchanged(before, self.snapshot())

    def test_subfolders_off_walks_only_the_dropped_folder(self):
        root = os.path.join(self.tree, "Root Folder")
        self.build(root)
        before = self.snapshot()
        result = drive.run(["--target", "m", "--subfolders", "off"], [root], self.work)
        self.assertRan(result)
        self.assertEqual("date to change \"Date Modified\", process subfolders off", result.value("options"))
        entries = walk_entries(drive.mask_stamps(result.log))
        self.assertEqual([("folder", drive.win_path(root).encode())], [e for e in entries if e[0] == "folder"])
        self.assertEqual(sorted([drive.log_path(os.path.join(root, "top1.jpg")),
                                 drive.log_path(os.path.join(root, "Top2.JPG"))]),
                         sorted(e[3] for e in entries if e[0] == "file"))
        after = self.snapshot()
        inner = os.path.join(root, "sub A/inner1.jpg")
        self.assertEqual(before[inner], after[inner])
        self.assertEqual(drive.final_status(2, 2), result.value("drop 1 status"))

    def test_items_of_one_drop_are_taken_in_order_and_counted_together(self):
        first = os.path.join(self.tree, "first")
        second = os.path.join(self.tree, "second")
        self.dated(os.path.join(first, "a.jpg"), "2001:01:01 00:00:01")
        self.dated(os.path.join(first, "b.jpg"), "2001:01:01 00:00:02")
        self.dated(os.path.join(second, "c.jpg"), "2001:01:01 00:00:03")
        single = self.dated("single.jpg", "2001:01:01 00:00:04")
        missing = os.path.join(self.tree, "gone.jpg")
        result = drive.run(["--target", "m", "--subfolders", "on"], [second, missing, single, first], self.work)
        self.assertRan(result)
        entries = walk_entries(drive.mask_stamps(result.log))
        # An item that does not exist is skipped without a trace.
        self.assertEqual([("folder", drive.win_path(second).encode())], entries[:1])
        self.assertEqual((1, drive.log_path(os.path.join(second, "c.jpg"))), (entries[1][1], entries[1][3]))
        self.assertEqual((2, drive.log_path(single)), (entries[2][1], entries[2][3]))
        self.assertEqual(("folder", drive.win_path(first).encode()), entries[3])
        self.assertEqual([3, 4], [e[1] for e in entries[4:]])
        self.assertTrue(drive.mask_stamps(result.log).endswith(drive.drop_end(4, 4)))

    def test_a_folder_reached_twice_through_links_is_walked_once(self):
        root = os.path.join(self.tree, "looped")
        self.dated(os.path.join(root, "a.jpg"), "2001:01:01 00:00:01")
        self.dated(os.path.join(root, "sub", "b.jpg"), "2001:01:01 00:00:02")
        os.symlink("..", os.path.join(root, "sub", "back to root"))
        os.symlink("sub", os.path.join(root, "alias of sub"))
        result = drive.run(["--target", "m", "--subfolders", "on"], [root], self.work, timeout=300)
        self.assertRan(result)
        files = [e for e in walk_entries(drive.mask_stamps(result.log)) if e[0] == "file"]
        self.assertEqual(2, len(files), result.log.decode("utf-8", "replace"))
        self.assertTrue(drive.mask_stamps(result.log).endswith(drive.drop_end(2, 2)))

    def test_a_link_met_deep_in_a_plain_tree_leads_back_to_no_walked_folder(self):
        # One way down, so the plain folders are all walked before the link.
        root = os.path.join(self.tree, "chain")
        self.dated(os.path.join(root, "r.jpg"), "2001:01:01 00:00:01")
        self.dated(os.path.join(root, "p", "p.jpg"), "2001:01:01 00:00:02")
        self.dated(os.path.join(root, "p", "q", "q.jpg"), "2001:01:01 00:00:03")
        os.symlink(os.path.join("..", "..", "p"), os.path.join(root, "p", "q", "back to p"))
        # A second dropped item inside the first one: walked already.
        inner = os.path.join(root, "p", "q")
        result = drive.run(["--target", "m", "--subfolders", "on"], [root, inner], self.work, timeout=300)
        self.assertRan(result)
        masked = drive.mask_stamps(result.log)
        files = [e for e in walk_entries(masked) if e[0] == "file"]
        self.assertEqual(3, len(files), result.log.decode("utf-8", "replace"))
        skipped = re.findall(rb'^<stamp>  --  Skipped folder "(.*)": already walked in this drop\r$', masked, re.M)
        self.assertEqual([drive.win_path(os.path.join(inner, "back to p")).encode(), drive.win_path(inner).encode()],
                         skipped)
        self.assertTrue(masked.endswith(drive.drop_end(3, 3)))

    def test_a_folder_dropped_with_its_own_subfolder_is_walked_once(self):
        # No link anywhere: the subfolder is one folder reached twice, in
        # either order of the two items.
        root = os.path.join(self.tree, "Parent")
        sub = os.path.join(root, "Child")
        dates = {
            os.path.join(root, "p.jpg"): "2001:01:01 00:00:01",
            os.path.join(sub, "c.jpg"): "2001:01:01 00:00:02",
            os.path.join(sub, "Grandchild", "g.jpg"): "2001:01:01 00:00:03",
        }
        for path, date in dates.items():
            self.dated(path, date)
        for order in ([root, sub], [sub, root]):
            with self.subTest(first=os.path.basename(order[0])):
                for path in dates:
                    os.utime(path, (ORIGINAL_MTIME, ORIGINAL_MTIME))
                result = drive.run(["--target", "m", "--subfolders", "on"], order, self.work)
                self.assertRan(result)
                masked = drive.mask_stamps(result.log)
                entries = walk_entries(masked)
                self.assertEqual(sorted(drive.log_path(p) for p in dates),
                                 sorted(e[3] for e in entries if e[0] == "file"),
                                 result.log.decode("utf-8", "replace"))
                self.assertEqual([1, 2, 3], [e[1] for e in entries if e[0] == "file"])
                for path, date in dates.items():
                    self.assertIn(file_line(0, changed(date.encode()), path)[len(b"<stamp>  --     File      0 "):],
                                  masked)
                    self.assertMtime(path, drive.local_epoch(date))
                # The subfolder met again gets its line and the skipped line, once.
                skipped = re.findall(rb'^<stamp>  --  Working on folder "(.*)"\r\n'
                                     rb'<stamp>  --  Skipped folder "\1": already walked in this drop\r$', masked, re.M)
                self.assertEqual([drive.win_path(sub).encode()], skipped)
                self.assertEqual(1, masked.count(b"Skipped folder"))
                self.assertEqual(1, masked.count(drive.folder_line(drive.win_path(os.path.join(sub, "Grandchild"))
                                                                   .encode())))
                self.assertTrue(masked.endswith(drive.drop_end(3, 3)))
                self.assertEqual(drive.final_status(3, 3), result.value("drop 1 status"))
                self.assertEqual(3, result.journal.count(b"\r\nCreated: "))


if __name__ == "__main__":
    unittest.main()
