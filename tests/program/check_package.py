"""The download as a Windows user unpacks it: the program as built, a
read-me and the licence, with Windows line ends."""
import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ["CHRONOSHIFT_BUILD"]


def program_version():
    """The version as the build made it from its one source, the generated Version.h."""
    with open(os.path.join(BUILD, "resources", "Version.h"), encoding="ascii") as header:
        return re.search(r'^#define CHRONOSHIFT_VERSION "(.*)"$', header.read(), re.M).group(1)


class PackageTest(unittest.TestCase):
    def test_zip_holds_program_readme_and_licence(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([os.path.join(ROOT, "tools", "make-package.sh"), out], check=True,
                           env=dict(os.environ, CHRONOSHIFT_PACKAGE_BUILD=BUILD), stdout=subprocess.DEVNULL)
            version = program_version()
            name = "chronoshift-%s-win32.zip" % version
            self.assertEqual([name], os.listdir(out))
            with zipfile.ZipFile(os.path.join(out, name)) as archive:
                self.assertEqual(["chronoshift.exe", "README.txt", "LICENSE.txt"], archive.namelist())
                with open(os.path.join(BUILD, "app", "chronoshift.exe"), "rb") as exe:
                    self.assertEqual(exe.read(), archive.read("chronoshift.exe"))
                readme = archive.read("README.txt").decode("ascii")
                licence = archive.read("LICENSE.txt").decode("ascii")
        for text in (readme, licence):
            self.assertNotIn("\n", text.replace("\r\n", ""), "every line ends in CR LF")
        self.assertTrue(readme.startswith("Chronoshift %s\r\n" % version))
        for words in ("picture data is never written", "HKEY_CURRENT_USER\\Software\\Freeware\\Chronoshift",
                      "Undo", "DateTimeOriginal", "LICENSE.txt"):
            self.assertIn(words, readme.replace("\r\n", " "))
        with open(os.path.join(ROOT, "LICENSE"), encoding="ascii") as f:
            self.assertEqual(f.read(), licence.replace("\r\n", "\n"))
        self.assertIn("use it, copy it and give it away", licence)


if __name__ == "__main__":
    sys.exit(unittest.main())
