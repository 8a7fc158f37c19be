"""Small JPEG pictures for the end-to-end tests, made once with ImageMagick and
exiftool and then varied by rewriting the date text in place."""

import os
import shutil
import subprocess
import tempfile

# Written by exiftool into the template's DateTimeOriginal, then replaced by
# the wanted 19-character text in every copy.
PLACEHOLDER = b"1111:11:11 11:11:11"


class PictureFactory:
    def __init__(self, thumbnail=False):
        """With `thumbnail`, the dated pictures carry a 160x120 preview in
        their EXIF section, as a camera's do: a header of about 9 KiB before
        the picture data instead of a few hundred bytes."""
        self._dir = tempfile.mkdtemp(prefix="chronoshift-pictures-")
        base = os.path.join(self._dir, "base.jpg")
        subprocess.run(["convert", "-size", "8x8", "xc:#3366cc", "-quality", "80", base], check=True)
        dated = os.path.join(self._dir, "dated.jpg")
        undated = os.path.join(self._dir, "undated.jpg")
        shutil.copyfile(base, dated)
        shutil.copyfile(base, undated)
        extra = []
        if thumbnail:
            preview = os.path.join(self._dir, "preview.jpg")
            subprocess.run(["convert", "-seed", "1", "-size", "160x120", "xc:", "+noise", "Random",
                            "-quality", "60", preview], check=True)
            extra = ["-ThumbnailImage<=" + preview]
        subprocess.run(["exiftool", "-q", "-overwrite_original", "-Make=Chronoshift",
                        "-DateTimeOriginal=" + PLACEHOLDER.decode()] + extra + [dated], check=True)
        subprocess.run(["exiftool", "-q", "-overwrite_original", "-Make=Chronoshift", undated], check=True)
        with open(base, "rb") as f:
            self.no_exif = f.read()
        with open(dated, "rb") as f:
            self._dated = f.read()
        with open(undated, "rb") as f:
            self.exif_without_date = f.read()
        if self._dated.count(PLACEHOLDER) != 1:
            raise RuntimeError("the template picture must hold its date text exactly once")

    def close(self):
        shutil.rmtree(self._dir, ignore_errors=True)

    def with_date(self, text):
        """A picture whose DateTimeOriginal holds `text` (exactly 19 bytes)."""
        data = text.encode("ascii") if isinstance(text, str) else text
        if len(data) != len(PLACEHOLDER):
            raise ValueError("date texts are 19 characters")
        return self._dated.replace(PLACEHOLDER, data)

    def truncated_after_exif(self, text):
        """The EXIF section complete, everything after it cut off."""
        data = self.with_date(text)
        pos = 2
        while pos + 4 <= len(data):
            if data[pos] != 0xFF:
                break
            marker = data[pos + 1]
            length = (data[pos + 2] << 8) | data[pos + 3]
            end = pos + 2 + length
            if marker == 0xE1 and data[pos + 4:pos + 10] == b"Exif\0\0":
                return data[:end]
            pos = end
        raise RuntimeError("no EXIF section in the template")


def write(path, data, mtime=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    if mtime is not None:
        os.utime(path, (mtime, mtime))
