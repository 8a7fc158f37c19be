"""Common ground of the end-to-end test cases: a scratch folder per test, the
picture factory, and checks shared by several cases."""

import datetime
import hashlib
import os
import re
import shutil
import tempfile
import unittest

import drive
import pictures

# Integer seconds, so that "restored exactly" can be checked to the nanosecond.
ORIGINAL_MTIME = 1580637600  # 2020-02-02 10:00:00 UTC


class DropTestCase(unittest.TestCase):
    factory = None

    @classmethod
    def setUpClass(cls):
        cls.factory = pictures.PictureFactory()

    @classmethod
    def tearDownClass(cls):
        cls.factory.close()

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="chronoshift-e2e-")
        self.tree = os.path.join(self.work, "tree")
        os.makedirs(self.tree)

    def tearDown(self):
        for folder, _, files in os.walk(self.work):
            for name in files:
                os.chmod(os.path.join(folder, name), 0o644)
        shutil.rmtree(self.work, ignore_errors=True)

    # Building the tree.
    def picture(self, relative, data, mtime=ORIGINAL_MTIME):
        path = os.path.join(self.tree, relative)
        pictures.write(path, data, mtime)
        return path

    def dated(self, relative, text, mtime=ORIGINAL_MTIME):
        return self.picture(relative, self.factory.with_date(text), mtime)

    # Observing the tree.
    def snapshot(self):
        """{path: (sha256, mtime_ns)} of every file in the tree."""
        result = {}
        for folder, _, files in os.walk(self.tree):
            for name in files:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    digest = hashlib.sha256(f.read()).hexdigest()
                result[path] = (digest, os.stat(path).st_mtime_ns)
        return result

    def assertBytesUnchanged(self, before, after):
        self.assertEqual(sorted(before), sorted(after), "files appeared or vanished")
        for path in before:
            self.assertEqual(before[path][0], after[path][0], "picture bytes changed: " + path)

    def assertMtime(self, path, epoch, snapshot=None):
        ns = (snapshot or self.snapshot())[path][1]
        self.assertEqual(epoch * 10**9, ns, "last-write time of %s is %s, expected %s"
                         % (path, drive.local_text(ns // 10**9), drive.local_text(epoch)))

    def assertRan(self, result):
        """The driver ran its drops, and closing the dialog left no temporary file behind."""
        self.assertEqual(0, result.returncode, "driver failed:\n" + result.stdout + result.stderr)
        self.assertNotIn("kept", result.value("closed"), "a temporary file outlived the program")

    def assertStampsPlausible(self, log, started, finished):
        """Every stamp is a local time of the test zone within the run."""
        for match in re.finditer(rb"^(\d{4})/(\d{2})/(\d{2}) (\d{2}):(\d{2}):(\d{2})  --  ", log, re.M):
            fields = [int(x) for x in match.groups()]
            moment = datetime.datetime(*fields, tzinfo=drive.ZONE).timestamp()
            self.assertGreaterEqual(moment, started - 2, "stamp before the run: " + match.group(0).decode())
            self.assertLessEqual(moment, finished + 2, "stamp after the run: " + match.group(0).decode())

    def assertJournal(self, journal, records):
        """`records`: [(path, created text, modified text)] in drop order. The
        journal keeps each path as dropped or found, so that the undo finds the
        file on a case-sensitive file system too."""
        expected = b"".join(drive.win_path(path).encode("utf-8") + b"\r\nCreated: " + created.encode() + b"\r\nModified: "
                            + modified.encode() + b"\r\n" for path, created, modified in records)
        self.assertEqual(expected, journal)


def journal_created(result, path):
    """The creation time the driver read before the drop, as the journal writes it."""
    created = result.times("before")[drive.win_path(path)][0]
    moment = datetime.datetime.strptime(created, "%Y-%m-%d %H:%M:%S")
    return "%d:%d:%d %d:%d:%d" % (moment.year, moment.month, moment.day, moment.hour, moment.minute, moment.second)
