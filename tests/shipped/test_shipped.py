"""The download as a person runs it: chronoshift.exe out of the zip, under Wine
in a prefix and an X display of its own, with no driver. A folder of pictures
is dropped on the window the way a file manager does it (XDND), then the log
link, Undo, the about box and Exit are used through mouse and keyboard, and
everything is checked from outside the process."""

import datetime
import fcntl
import glob
import hashlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time
import unittest
import urllib.parse
import zipfile

try:
    from Xlib import X, XK, display
except ImportError:
    # Debian's python3-xlib, for a python3 of one's own (pyenv, a venv) that does not see Debian's packages.
    sys.path.append("/usr/lib/python3/dist-packages")
    from Xlib import X, XK, display
from Xlib.ext import xtest
from Xlib.protocol import event

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import drive  # noqa: E402  the log's line formats and the local times of the test zone
import pictures  # noqa: E402

BUILD = os.environ["CHRONOSHIFT_BUILD"]
ORIGINAL_MTIME = 1580637600  # 2020-02-02 10:00:00 UTC
# The main dialog's template in dialog units; the controls are found from it.
TEMPLATE = (278, 106)
EXIT, UNDO, KEEP_ON_TOP = (219, 85, 52, 14), (162, 85, 52, 14), (7, 49, 85, 12)
STATUS = (46, 35, 225, 11)
KEY = "Software\\Freeware\\Chronoshift"


def wait_for(what, probe, timeout, alive=None):
    """Polls `probe` until it returns something true; fails when `timeout`
    seconds pass, or at once when the process `alive` has ended."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if alive is not None and alive.poll() is not None:
            raise AssertionError("the program ended with status %d while waiting for %s" % (alive.returncode, what))
        if time.monotonic() > deadline:
            raise AssertionError("%s: not within %d s" % (what, timeout))
        time.sleep(0.1)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def start_xvfb():
    """Its own display: Xvfb picks a free number and writes it to a pipe."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        if select.select([read_end], [], [], 0.5)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        xvfb.kill()
        xvfb.wait()
        raise AssertionError("Xvfb did not start")
    return xvfb, ":" + number.strip().decode()


def without_key(registry, key):
    """user.reg without the section of `key` (Wine writes each section as its
    header line, its values and a blank line)."""
    header = re.escape("[" + key.replace("\\", "\\\\") + "]")
    return re.sub(r"^" + header + r"[^\n]*\n(?:[^\n]+\n)*\n?", "", registry, flags=re.M | re.I)


def key_values(registry, key):
    """{value name: data as Wine writes it} of `key` in user.reg, or None."""
    header = "[" + key.replace("\\", "\\\\").lower() + "]"
    values = None
    for line in registry.splitlines():
        if values is None:
            if line.lower().startswith(header):
                values = {}
        elif not line:
            break
        elif line.startswith('"'):
            name, data = line.split("=", 1)
            values[name.strip('"')] = data
    return values


class Shot:
    """A screenshot of one window, its pixels as (red, green, blue)."""

    def __init__(self, window):
        geometry = window.get_geometry()
        self.width, self.height = geometry.width, geometry.height
        self.data = window.get_image(0, 0, self.width, self.height, X.ZPixmap, 0xFFFFFFFF).data

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return self.data[i + 2], self.data[i + 1], self.data[i]

    def client_area(self):
        """(left, top, width, height) of the client area. Wine draws the frame
        itself: as thick at the sides and the bottom as above the caption, and
        the caption one colour from its top row to its bottom row."""
        x = self.width // 2
        face = self.pixel(3 * self.width // 4, self.height // 2)
        y = 0
        while y < self.height // 3:
            colour, run = self.pixel(x, y), 1
            while y + run < self.height and self.pixel(x, y + run) == colour:
                run += 1
            if run >= 8 and colour != face:
                return y, y + run, self.width - 2 * y, self.height - run - 2 * y
            y += run
        raise AssertionError("no caption in the picture of the window")


class ShippedProgram(unittest.TestCase):
    def setUp(self):
        self.work = os.path.join(BUILD, "shipped-test")
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.prefix = os.path.join(BUILD, "wine", "prefix-shipped")
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        # One run at a time in the prefix.
        self.lock = open(self.prefix + ".lock", "w")
        self.addCleanup(self.lock.close)
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.wine_env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", TZ=drive.TIME_ZONE)
        self.xvfb, self.wine_env["DISPLAY"] = start_xvfb()
        self.addCleanup(self.stop_xvfb)
        self.app = None
        self.addCleanup(self.stop_wine)
        self.stop_wine()
        self.x = display.Display(self.wine_env["DISPLAY"])
        self.addCleanup(self.x.close)
        self.root = self.x.screen().root

    def stop_xvfb(self):
        self.xvfb.terminate()
        try:
            self.xvfb.wait(10)
        except subprocess.TimeoutExpired:
            self.xvfb.kill()
            self.xvfb.wait()

    def stop_wine(self):
        """Ends every process of the prefix and its server, which saves the registry."""
        if os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run(["wineserver", "-k"], env=self.wine_env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            subprocess.run(["wineserver", "-w"], env=self.wine_env, timeout=60)
        if getattr(self, "app", None) is not None and self.app.poll() is None:
            self.app.kill()
            self.app.wait(10)

    # The program's surroundings.
    def unpack_program(self):
        """chronoshift.exe out of the download that tools/make-package.sh makes of this build."""
        out = os.path.join(self.work, "package")
        subprocess.run([os.path.join(ROOT, "tools", "make-package.sh"), out], check=True, stdout=subprocess.DEVNULL,
                       env=dict(os.environ, CHRONOSHIFT_PACKAGE_BUILD=BUILD), timeout=120)
        zips = glob.glob(os.path.join(out, "*.zip"))
        self.assertEqual(1, len(zips), "make-package made no single zip")
        folder = os.path.join(self.work, "Chronoshift")
        with zipfile.ZipFile(zips[0]) as archive:
            archive.extract("chronoshift.exe", folder)
        return os.path.join(folder, "chronoshift.exe")

    def temp_files(self):
        """The program's temporary files in the prefix's temporary folder."""
        return sorted(glob.glob(os.path.join(self.prefix, "drive_c", "users", "*", "Temp", "Chronoshift Temp *.txt")))

    def forget_earlier_runs(self):
        """No options and no temporary files of an earlier run: the run starts as a first start."""
        for path in self.temp_files():
            os.remove(path)
        registry = os.path.join(self.prefix, "user.reg")
        if os.path.exists(registry):
            with open(registry, encoding="utf-8", errors="surrogateescape") as f:
                text = f.read()
            with open(registry, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(without_key(text, KEY))

    def windows_path(self, path):
        """The Windows view of a file inside the prefix's drive C:."""
        return "C:\\" + os.path.relpath(path, os.path.join(self.prefix, "drive_c")).replace("/", "\\")

    def version(self):
        with open(os.path.join(BUILD, "resources", "Version.h"), encoding="ascii") as header:
            return re.search(r'^#define CHRONOSHIFT_VERSION "(.*)"$', header.read(), re.M).group(1)

    # The X side.
    def windows(self):
        """{X window: its name} of the program's mapped top-level windows."""
        pid_atom = self.x.intern_atom("_NET_WM_PID")
        found = {}
        for window in self.root.query_tree().children:
            try:
                if window.get_attributes().map_state != X.IsViewable:
                    continue
                pid = window.get_full_property(pid_atom, X.AnyPropertyType)
                if pid and pid.value[0] == self.app.pid:
                    found[window.id] = window.get_wm_name() or ""
            except Exception:  # a window that went away while we looked
                continue
        return found

    def wait_for_window(self, what, name, timeout=20):
        """A new window of the program named `name`, besides the main window."""
        wid = wait_for(what, lambda: next((w for w, n in self.windows().items()
                                           if n == name and w != self.main.id), None), timeout, self.app)
        return self.x.create_resource_object("window", wid)

    def give_focus(self, window):
        """The window manager's part, which Xvfb has none of: the keyboard
        goes to the window that has just come up."""
        window.set_input_focus(X.RevertToParent, X.CurrentTime)
        self.x.sync()

    def inside(self, box, fraction=(0.5, 0.5)):
        """Position in the main window of a point of a control given in dialog units."""
        left, top, width, height = self.client
        return (left + round((box[0] + box[2] * fraction[0]) * width / TEMPLATE[0]),
                top + round((box[1] + box[3] * fraction[1]) * height / TEMPLATE[1]))

    def point(self, box, fraction=(0.5, 0.5)):
        """The same on the screen."""
        x, y = self.inside(box, fraction)
        origin = self.main.translate_coords(self.root, 0, 0)
        return x - origin.x, y - origin.y

    def click(self, x, y):
        xtest.fake_input(self.x, X.MotionNotify, x=x, y=y)
        self.x.sync()
        time.sleep(0.1)
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()
        time.sleep(0.05)
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()

    def press(self, *names):
        """One key with its modifiers, "Alt_L", "space": down in order, up in reverse."""
        codes = [self.x.keysym_to_keycode(XK.string_to_keysym(name)) for name in names]
        for code in codes:
            xtest.fake_input(self.x, X.KeyPress, code)
            self.x.sync()
            time.sleep(0.03)
        for code in reversed(codes):
            xtest.fake_input(self.x, X.KeyRelease, code)
            self.x.sync()
            time.sleep(0.03)

    def drop(self, window, paths, position):
        """Drops `paths` at `position` the way a file manager does: the XDND
        handshake, with the file list offered as text/uri-list."""
        atom = self.x.intern_atom
        uri_list = atom("text/uri-list")
        data = b"".join(b"file://" + urllib.parse.quote(os.path.abspath(p)).encode() + b"\r\n" for p in paths)
        source = self.root.create_window(-10, -10, 1, 1, 0, 0, X.InputOnly)
        source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
        xtest.fake_input(self.x, X.MotionNotify, x=position[0], y=position[1])

        def send(kind, *values):
            message = event.ClientMessage(window=window, client_type=atom(kind),
                                          data=(32, [source.id] + list(values) + [0] * (4 - len(values))))
            window.send_event(message, event_mask=0)
            self.x.flush()

        send("XdndEnter", 5 << 24, uri_list)
        send("XdndPosition", 0, (position[0] << 16) | position[1], X.CurrentTime, atom("XdndActionCopy"))
        dropped = False
        deadline = time.monotonic() + 20
        while True:
            if time.monotonic() > deadline:
                raise AssertionError("the drop got no answer within 20 s (dropped: %s)" % dropped)
            if not self.x.pending_events():
                time.sleep(0.01)
                continue
            message = self.x.next_event()
            if message.type == X.SelectionRequest:
                # Wine reads the file list as soon as the drag enters.
                answer = X.NONE
                if message.target == uri_list:
                    message.requestor.change_property(message.property, uri_list, 8, data)
                    answer = message.property
                message.requestor.send_event(event.SelectionNotify(
                    time=message.time, requestor=message.requestor, selection=message.selection,
                    target=message.target, property=answer), event_mask=0)
                self.x.flush()
            elif message.type == X.ClientMessage and message.client_type == atom("XdndStatus") and not dropped:
                self.assertTrue(message.data[1][1] & 1, "the window refuses the dropped files")
                send("XdndDrop", 0, X.CurrentTime)
                dropped = True
            elif message.type == X.ClientMessage and message.client_type == atom("XdndFinished"):
                break
        source.destroy()
        self.x.sync()

    # Pictures.
    def make_pictures(self):
        """A folder as a camera's card leaves it, with a subfolder, a picture
        without EXIF and a file that is no picture."""
        factory = pictures.PictureFactory()
        self.addCleanup(factory.close)
        self.top = os.path.join(self.work, "holiday pictures")
        self.sub = os.path.join(self.top, "day two")
        self.dated = {os.path.join(self.top, "beach.jpg"): "2005:07:15 12:30:45",
                      os.path.join(self.top, "HARBOUR.JPG"): "2006:01:20 08:15:00",
                      os.path.join(self.sub, "castle.jpeg"): "2007:03:04 05:06:07"}
        self.undated = os.path.join(self.top, "scan.jpg")
        for path, date in self.dated.items():
            pictures.write(path, factory.with_date(date), ORIGINAL_MTIME)
        pictures.write(self.undated, factory.no_exif, ORIGINAL_MTIME)
        pictures.write(os.path.join(self.top, "notes.txt"), b"not a picture\r\n", ORIGINAL_MTIME)

    def snapshot(self):
        """{path: (sha256, mtime in ns)} of every file in the dropped folder."""
        result = {}
        for folder, _, names in os.walk(self.top):
            for name in names:
                path = os.path.join(folder, name)
                with open(path, "rb") as f:
                    result[path] = (hashlib.sha256(f.read()).hexdigest(), os.stat(path).st_mtime_ns)
        return result

    def assertDates(self, expected, snapshot, when):
        for path, epoch in expected.items():
            self.assertEqual(epoch * 10**9, snapshot[path][1], "%s: the Modified date of %s is %s, expected %s" % (
                when, path, drive.local_text(snapshot[path][1] // 10**9), drive.local_text(epoch)))

    # The checks of the log and the journal.
    def assertLog(self, log, started, finished):
        for match in re.finditer(rb"^(\d{4})/(\d{2})/(\d{2}) (\d{2}):(\d{2}):(\d{2})  --  ", log, re.M):
            moment = datetime.datetime(*(int(x) for x in match.groups()), tzinfo=drive.ZONE).timestamp()
            self.assertTrue(started - 2 <= moment <= finished + 2,
                            "a stamp outside the run: " + match.group(0).decode())
        # The walk's order is the file system's; the lines must follow it depth first.
        found = [m.group(1) for m in re.finditer(rb'File name "(.*)"\r\n', log)]
        by_log_path = {drive.log_path(p): p for p in list(self.dated) + [self.undated]}
        self.assertEqual(sorted(by_log_path), sorted(found), "the log names other pictures than the dropped ones")
        walk = drive.folder_line(drive.win_path(self.top).encode())
        for number, name in enumerate(found, 1):
            path = by_log_path[name]
            # The subfolder holds one picture: its line comes right after the folder's.
            if os.path.dirname(path) == self.sub:
                walk += drive.folder_line(drive.win_path(self.sub).encode())
            outcome = drive.changed(self.dated[path].encode()) if path in self.dated else drive.NO_EXIF
            walk += drive.file_line(number, outcome, path)
        expected = (b"<stamp>  --  Chronoshift %s program started\r\n" % self.version().encode()
                    + drive.drop_start(True, False) + walk + drive.drop_end(4, 3))
        self.assertEqual(expected.split(b"\r\n"), drive.mask_stamps(log).split(b"\r\n"))
        return [by_log_path[name] for name in found if by_log_path[name] in self.dated]

    def assertJournal(self, journal, changed_in_order):
        lines = journal.split(b"\r\n")
        self.assertEqual(b"", lines.pop(), "the journal's last line has no line end")
        self.assertEqual(3 * len(changed_in_order), len(lines), "not three lines for each changed picture")
        for i, path in enumerate(changed_in_order):
            record = lines[3 * i:3 * i + 3]
            self.assertEqual(drive.win_path(path).encode(), record[0])
            self.assertRegex(record[1], rb"^Created: \d{4}:\d{1,2}:\d{1,2} \d{1,2}:\d{1,2}:\d{1,2}$")
            self.assertEqual(b"Modified: " + drive.journal_time(ORIGINAL_MTIME).encode(), record[2])

    def test_drop_view_log_undo_about_and_exit(self):
        program = self.unpack_program()
        self.make_pictures()
        before = self.snapshot()
        self.forget_earlier_runs()
        started = time.time()
        out = open(os.path.join(self.work, "wine-output.txt"), "wb")
        self.addCleanup(out.close)
        # tools/wine-run.sh makes the prefix once (without window management
        # under Xvfb) and keeps a server up; it picks the 64-bit loader when
        # the build is a 64-bit one.
        self.app = subprocess.Popen([os.path.join(ROOT, "tools", "wine-run.sh"), program], stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=subprocess.STDOUT,
                                    env=dict(self.wine_env, CHRONOSHIFT_WINEPREFIX=self.prefix))
        # A fresh prefix takes a while: the wait allows for its making.
        wid = wait_for("the main window", lambda: next((w for w, n in self.windows().items()
                                                        if n == "Chronoshift"), None), 120, self.app)
        self.main = self.x.create_resource_object("window", wid)
        self.client = Shot(self.main).client_area()
        logs = self.temp_files()
        self.assertEqual(1, len(logs), "one temporary file, the log, after the start: %s" % logs)
        log_file = logs[0]

        # The drop, on the middle of the window.
        self.drop(self.main, [self.top], self.point((0, 0) + TEMPLATE))
        wait_for("the drop's totals in the log", lambda: b"\t\tTotal changed" in read(log_file), 30, self.app)
        finished = time.time()
        after = self.snapshot()
        self.assertEqual(sorted(before), sorted(after), "files appeared or vanished")
        for path in before:
            self.assertEqual(before[path][0], after[path][0], "the bytes of %s changed" % path)
        self.assertDates({p: drive.local_epoch(d) for p, d in self.dated.items()}, after, "after the drop")
        self.assertDates({self.undated: ORIGINAL_MTIME, os.path.join(self.top, "notes.txt"): ORIGINAL_MTIME},
                         after, "after the drop")
        changed_in_order = self.assertLog(read(log_file), started, finished)
        journals = [p for p in self.temp_files() if p != log_file]
        self.assertEqual(1, len(journals), "one journal besides the log after the drop: %s" % journals)
        self.assertJournal(read(journals[0]), changed_in_order)

        # "View log": the blue letters in the status line.
        (x0, y0), (x1, y1) = self.inside(STATUS, (0, 0)), self.inside(STATUS, (1, 1))

        def blue():
            shot = Shot(self.main)
            return [(x, y) for y in range(y0, y1) for x in range(x0, x1)
                    if shot.pixel(x, y)[2] > 200 and max(shot.pixel(x, y)[:2]) < 80]

        link = wait_for("the blue link in the status line", blue, 10, self.app)
        xs, ys = [p[0] for p in link], [p[1] for p in link]
        origin = self.main.translate_coords(self.root, 0, 0)
        self.click((min(xs) + max(xs)) // 2 - origin.x, (min(ys) + max(ys)) // 2 - origin.y)
        notepad = wait_for("Notepad started on the log", self.notepad, 20, self.app)
        self.assertEqual(["notepad.exe", self.windows_path(log_file)], notepad[1],
                         "Notepad's command line (the path with its blanks in one argument)")
        os.kill(notepad[0], signal.SIGTERM)
        wait_for("Notepad's end", lambda: not os.path.exists("/proc/%d" % notepad[0]), 10)

        # Undo, answered Yes.
        self.click(*self.point(UNDO))
        box = self.wait_for_window("the question of Undo", "Chronoshift")
        self.give_focus(box)
        self.press("y")
        wait_for("the question's end", lambda: box.id not in self.windows(), 10, self.app)
        wait_for("the journal's deletion", lambda: journals[0] not in self.temp_files(), 10, self.app)
        restored = self.snapshot()
        self.assertDates({p: ORIGINAL_MTIME for p in before}, restored, "after Undo")
        self.assertEqual(before, restored, "Undo did not put everything back as it was")

        # The about box, from the system menu by the keyboard: its last item.
        self.give_focus(self.main)
        self.press("Alt_L", "space")
        menu = wait_for("the system menu", lambda: next((w for w, n in self.windows().items() if w != self.main.id),
                                                        None), 10, self.app)
        self.press("Up")
        self.press("Return")
        about = self.wait_for_window("the about box", "About Chronoshift")
        self.assertNotIn(menu, self.windows(), "the system menu stayed open")
        self.give_focus(about)
        self.press("Escape")
        wait_for("the about box's end", lambda: about.id not in self.windows(), 10, self.app)

        # An option changed, then Exit.
        self.click(*self.point(KEEP_ON_TOP))
        self.click(*self.point(EXIT))
        wait_for("the program's end after Exit", lambda: self.app.poll() is not None, 20)
        self.assertEqual(0, self.app.returncode, "the program's exit status")
        self.assertEqual([], self.temp_files(), "temporary files outlived the program")
        self.stop_wine()
        with open(os.path.join(self.prefix, "user.reg"), encoding="utf-8", errors="surrogateescape") as f:
            values = key_values(f.read(), KEY)
        self.assertEqual({"window on top": "hex:01,00,00,00", "process subfolders": "hex:01,00,00,00",
                          "date to change": '"m"'}, values, "the options the program wrote at its end")

    def notepad(self):
        """(pid, arguments) of a Notepad of this prefix, or None."""
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    args = f.read().decode("utf-8", "replace").split("\0")
                if not args or not args[0].lower().endswith("notepad.exe"):
                    continue
                with open("/proc/%s/environ" % entry, "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if b"WINEPREFIX=" + self.prefix.encode() in environ:
                while args and not args[-1]:
                    args.pop()
                return int(entry), args
        return None


if __name__ == "__main__":
    sys.exit(unittest.main())
