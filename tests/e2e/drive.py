"""Runs chronoshift-drive under Wine and reads back what it reports: its
standard output, the copy of the processing log and the copy of the journal."""

import datetime
import os
import re
import subprocess
import zoneinfo

# A zone with daylight saving time, so that local-time conversions are put to
# the test in summer and in winter.
TIME_ZONE = "Europe/Berlin"
ZONE = zoneinfo.ZoneInfo(TIME_ZONE)

STAMP = re.compile(rb"^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}  --  ", re.M)


def driver_paths():
    drive = os.environ.get("CHRONOSHIFT_DRIVE")
    wine_run = os.environ.get("CHRONOSHIFT_WINE_RUN")
    if not drive or not wine_run:
        raise RuntimeError("CHRONOSHIFT_DRIVE and CHRONOSHIFT_WINE_RUN must name the driver and tools/wine-run.sh")
    return drive, wine_run


def win_path(path):
    """The Windows view of a Linux path (Wine maps / to drive Z:)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def log_path(path):
    """A path as the per-file change logs it: every capital lowered. Python's
    lower() agrees with Windows for the names of these tests; it differs for a
    few letters (a word-final capital sigma, a dotted capital I)."""
    return win_path(path).lower().encode("utf-8")


def local_epoch(text):
    """The moment of an EXIF date text taken as local time of the test zone,
    with out-of-range fields rolled over as the C library's mktime does."""
    year, month, day = int(text[0:4]), int(text[5:7]), int(text[8:10])
    hour, minute, second = int(text[11:13]), int(text[14:16]), int(text[17:19])
    year += (month - 1) // 12
    month = (month - 1) % 12 + 1
    naive = datetime.datetime(year, month, 1) + datetime.timedelta(
        days=day - 1, hours=hour, minutes=minute, seconds=second)
    return int(naive.replace(tzinfo=ZONE).timestamp())


def local_text(epoch):
    return datetime.datetime.fromtimestamp(epoch, ZONE).strftime("%Y-%m-%d %H:%M:%S")


def journal_time(epoch):
    t = datetime.datetime.fromtimestamp(epoch, ZONE)
    return "%d:%d:%d %d:%d:%d" % (t.year, t.month, t.day, t.hour, t.minute, t.second)


class DriveResult:
    def __init__(self, completed, log, journal):
        self.returncode = completed.returncode
        self.stdout = completed.stdout.decode("utf-8", "replace")
        self.stderr = completed.stderr.decode("utf-8", "replace")
        self.log = log
        self.journal = journal
        self.lines = self.stdout.splitlines()

    def values(self, key):
        prefix = key + ": "
        return [line[len(prefix):] for line in self.lines if line.startswith(prefix)]

    def value(self, key):
        found = self.values(key)
        if len(found) != 1:
            raise AssertionError("expected one line %r in the driver's output, found %d:\n%s"
                                 % (key, len(found), self.stdout))
        return found[0]

    def times(self, phase):
        """{windows path: (created, modified)} of a --times report."""
        result = {}
        for entry in self.values("times " + phase):
            path, created, modified = entry.split("\t")
            result[path] = (created[len("created "):], modified[len("modified "):])
        return result


def run(args, paths, work, timeout=900):
    """Runs the driver with `args` on `paths` (Linux paths), copying the log and
    the journal into `work`."""
    drive, wine_run = driver_paths()
    log_copy = os.path.join(work, "log-copy.txt")
    journal_copy = os.path.join(work, "journal-copy.txt")
    for stale in (log_copy, journal_copy):
        if os.path.exists(stale):
            os.remove(stale)
    env = dict(os.environ, TZ=TIME_ZONE)
    cmd = [wine_run, drive] + list(args) + ["--log", win_path(log_copy), "--journal", win_path(journal_copy),
                                            "--"] + [win_path(p) for p in paths]
    # Files, not pipes: Wine's background services inherit the first program's
    # output handles and keep a pipe open until the Wine server exits.
    out_path = os.path.join(work, "drive-stdout.txt")
    err_path = os.path.join(work, "drive-stderr.txt")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        completed = subprocess.run(cmd, stdout=out, stderr=err, stdin=subprocess.DEVNULL, env=env, timeout=timeout)
    with open(out_path, "rb") as f:
        completed.stdout = f.read()
    with open(err_path, "rb") as f:
        completed.stderr = f.read()
    log = journal = None
    if os.path.exists(log_copy):
        with open(log_copy, "rb") as f:
            log = f.read()
    if os.path.exists(journal_copy):
        with open(journal_copy, "rb") as f:
            journal = f.read()
    return DriveResult(completed, log, journal)


def mask_stamps(log):
    return STAMP.sub(b"<stamp>  --  ", log)


# The outcome texts of the per-file change, tab for tab.
OPEN_FAILED = b"couldn't be opened\t\t\t\t\t\t"
NO_EXIF = b"doesn't have EXIF tag\t\t\t\t\t\t"
STATUS_FAILED = b"couldn't be queried for system date and time\t\t\t\t\t"
SAME_DATE = b"not changed. File date is the same as EXIF date\t\t\t"
READ_ONLY = b"not changed. File is READONLY\t\t\t"


def empty_date(text):
    return b"- EXIF date tag is empty or undefined: \"" + text + b"\"\t" + (b"\t\t" if text == b"" else b"")


def invalid_date(text):
    return b"- EXIF date tag is invalid: \"" + text + b"\"\t\t"


def windows_error(code):
    return b"not changed. Windows error code: %08x\t\t\t" % code


def changed(text):
    return b"CHANGED file date. EXIF date tag \"" + text + b"\"\t\t"


def file_line(number, outcome, path):
    return b"<stamp>  --     File %6d " % number + outcome + b"\t File name \"" + log_path(path) + b"\"\r\n"


def folder_line(path):
    return b"<stamp>  --  Working on folder \"" + path + b"\"\r\n"


def drop_start(modified, created):
    return (b"\r\n\r\n<stamp>  --  Starting to process files or folders. Change Modified Date: %s. "
            b"Change Created Date: %s\r\n" % (b"yes" if modified else b"no", b"yes" if created else b"no"))


def drop_end(jpg_files, changed_files):
    return (b"<stamp>  --  Finished processing files or folders\r\n"
            b"\t\tTotal JPG files dropped %d\r\n\t\tTotal changed %d\r\n\r\n" % (jpg_files, changed_files))


def final_status(jpg_files, changed_files):
    return ("<font color=\"DarkRed\">Dropped <b>%d</b> jpg files, changed date for <b>%d</b> files</font>"
            "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>"
            % (jpg_files, changed_files))


def progress_status(jpg_files):
    return "<font color=\"DarkRed\">Processed <b>%d</b> files...</font>" % jpg_files


def restored_status(restored, records):
    return "<font color=\"DarkRed\">Restored date for <b>%d</b> out of <b>%d</b> jpg files</font>" % (restored,
                                                                                                     records)


def build_folder():
    """The nearest folder above the driver with a CMakeCache.txt, as tools/wine-run.sh finds it."""
    build = os.path.dirname(os.path.abspath(driver_paths()[0]))
    while build != "/" and not os.path.isfile(os.path.join(build, "CMakeCache.txt")):
        build = os.path.dirname(build)
    return None if build == "/" else build


def wine_prefix():
    """The Wine prefix tools/wine-run.sh gives the driver: its own variable,
    or "wine/prefix" in the driver's build folder."""
    if os.environ.get("CHRONOSHIFT_WINEPREFIX"):
        return os.environ["CHRONOSHIFT_WINEPREFIX"]
    build = build_folder() or os.environ.get("CHRONOSHIFT_BUILD_DIR", os.path.expanduser("~/.chronoshift"))
    return os.path.join(build, "wine", "prefix")


def program_version():
    """The version as the build made it from its one source, the generated Version.h."""
    with open(os.path.join(build_folder(), "resources", "Version.h"), encoding="ascii") as header:
        return re.search(r'^#define CHRONOSHIFT_VERSION "(.*)"$', header.read(), re.M).group(1)


def program_started():
    return b"<stamp>  --  Chronoshift %s program started\r\n" % program_version().encode("ascii")


def deepest_host_path():
    """The longest Linux path, in bytes, of a file Wine can reach on drive Z:.
    Wine hands Linux the prefix's dosdevices/z: link followed by the path, and
    Linux takes 4,095 bytes at most (4,096 with the terminator)."""
    return 4095 - len(os.path.join(wine_prefix(), "dosdevices", "z:").encode("utf-8"))
