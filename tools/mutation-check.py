#!/usr/bin/env python3
"""Mutation check of the JPEG/EXIF reader (exif/), run by hand.

Applies the small faults of the table below one at a time to a copy of the
source tree (build/mutation/src), rebuilds test_exif there (clang-14, -O1,
without sanitizers unless --sanitize) and runs it. A mutant is killed when the
tests fail, crash or hang (killed by the timeout); one that does not compile is
"invalid" and counts as neither. A few mutants are known to change nothing
observable; the table says why, and their survival is not a failure. The working tree itself is never written: the
copy is brought back in line with it before the run and after every mutant,
also when the run is interrupted.

    tools/mutation-check.py              run every mutant
    tools/mutation-check.py 3 17         run mutants 3 and 17 only
    tools/mutation-check.py --list       show the table with line numbers
    tools/mutation-check.py --filter 'TagRules.*' 12
                                         which of these tests kill mutant 12
"""

import argparse
import filecmp
import os
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "mutation")
COPY = os.path.join(WORK, "src")
SKIPPED_TOP = {"build", ".git", "out"}

P = "exif/ExifParser.cpp"
R = "exif/ExifReader.cpp"
H = "exif/ExifReader.h"
I = "exif/ExifInfo.h"

# (file, exact original text - found exactly once in the file -, replacement),
# and for a mutant known to change nothing observable, why it survives.
MUTANTS = [
    # Limits and the record
    (H, "kMaxSections = 20;", "kMaxSections = 21;"),
    (H, "kMaxPadding = 6;", "kMaxPadding = 5;"),
    (I, "char model[40];", "char model[39];"),
    # Construction and held sections
    (R, "ownsInfo = this->info != nullptr;", "ownsInfo = true;",
     "differs only when calloc fails, and freeing the null record does nothing"),
    (R, "    errorText[sizeof(errorText) - 1] = '\\0';\n", "",
     "every message is far shorter than the buffer, so strncpy already fills its end with zeros"),
    (R, "    errorText[0] = '\\0';\n    Poison", "    errorText[0] = 'x';\n    Poison"),
    (R, "    sectionCount--;\n", ""),
    (R, "    }\n    section.data = nullptr;\n}", "    }\n}"),
    (R, "storeUsed += size + kStoreGap;", "storeUsed += kStoreGap;"),
    # ReadSections
    (R, "if (source.GetByte() != 0xFF)\n        return false;", "if (source.GetByte() != 0xFE)\n        return false;"),
    (R, "if (source.GetByte() != 0xD8)", "if (source.GetByte() != 0xD9)"),
    (R, "bool commentTaken = false;", "bool commentTaken = true;"),
    (R, "while (sectionCount < kMaxSections)", "while (sectionCount <= kMaxSections)"),
    (R, "if (marker != 0xFF)\n                break;", "if (marker != 0xFE)\n                break;"),
    (R, "if (padding >= kMaxPadding)", "if (padding > kMaxPadding)"),
    (R, "if (high == EOF || low == EOF)", "if (high == EOF && low == EOF)"),
    (R, "if (length < 2)", "if (length < 1)"),
    (R, "        section.size = length;\n", ""),
    (R, "data[0] = static_cast<unsigned char>(high);", "data[0] = static_cast<unsigned char>(low);"),
    (R, "data[1] = static_cast<unsigned char>(low);", "data[1] = static_cast<unsigned char>(high);"),
    (R, "static_cast<size_t>(length - 2);", "static_cast<size_t>(length - 3);"),
    (R, "contentLength) != contentLength)", "contentLength) < contentLength)",
     "a source never hands out more than it was asked for"),
    (R, "        sectionCount++;\n", ""),
    (R, "    case 0xC3:\n", "    case 0xC4:\n"),
    (R, "    case 0xCF:\n", "    case 0xCC:\n"),
    (R, "        return true;\n    default:\n        return false;", "        return true;\n    default:\n        return true;"),
    (R, "WriteMessage(\"No image in jpeg!\\n\");\n            return false;",
     "WriteMessage(\"No image in jpeg!\\n\");\n            return true;"),
    (R, "case kMarkerSos:\n            return true;", "case kMarkerSos:\n            return false;"),
    (R, "if (length >= 6 && std::memcmp", "if (length > 6 && std::memcmp"),
    (R, "ParseExifBlock(data + 2, length);", "ParseExifBlock(data + 2, length - 1);"),
    (R, "                commentTaken = true;\n", ""),
    (R, "case kMarkerApp0:\n            DropLastSection();\n", "case kMarkerApp0:\n"),
    # TakeFrameHeader
    (R, "size < 8)", "size < 9)"),
    (R, "info->height = data[3] * 256 + data[4];", "info->height = data[3] * 255 + data[4];"),
    (R, "info->width = data[5] * 256 + data[6];", "info->width = data[5] * 256 + data[5];"),
    (R, "info->isColor = data[7] == 3 ? 1 : 0;", "info->isColor = data[7] >= 3 ? 1 : 0;"),
    (R, "info->frameMarker = marker;", "info->frameMarker = marker & 0xF0;"),
    # TakeComment
    (R, "length < 1000 ? length : 1000;", "length < 1000 ? length : 1001;"),
    (R, "for (int j = 2; j < n; j++)", "for (int j = 3; j < n; j++)"),
    (R, "if (j + 1 < length && data[j + 1] == 0x0A)", "if (j + 1 < n && data[j + 1] == 0x0A)"),
    (R, "text[written++] = '?';\n        }", "text[written++] = '!';\n        }"),
    (R, "else if (c >= 0x20 ||", "else if (c > 0x20 ||"),
    (R, "c == 0x0A || c == 0x09)", "c == 0x0A || c == 0x0B)"),
    (R, "static_cast<size_t>(written) + 1);", "static_cast<size_t>(written));"),
    # Byte order and numbers
    (P, "{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8}", "{0, 1, 1, 1, 4, 8, 1, 1, 2, 4, 8, 4, 8}"),
    (P, "{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8}", "{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 4}"),
    (P, "{0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8}", "{0, 1, 1, 2, 4, 8, 1, 2, 2, 4, 8, 4, 8}"),
    (P, "        return INT32_MIN;", "        return 0;"),
    (P, "return static_cast<float>(1 / 2.54);", "return static_cast<float>(1 / 2.56);"),
    (P, "return static_cast<float>(1 / 25.4);", "return static_cast<float>(1 / 25.0);"),
    (P, "return static_cast<float>(1 / 25400.0);", "return static_cast<float>(1 / 2540.0);"),
    (P, "    default:\n        return 0.0f;", "    default:\n        return 1.0f;"),
    (P, "while (n < maxChars && src + n < end", "while (n <= maxChars && src + n < end"),
    (P, "src + n < end && src[n] != 0)", "src + n <= end && src[n] != 0)"),
    (P, "        n++;\n", ""),
    (P, "    dest[n] = '\\0';\n", ""),
    (P, "ReadU16(const unsigned char* p) const\n{\n    if (motorolaOrder)",
     "ReadU16(const unsigned char* p) const\n{\n    if (!motorolaOrder)"),
    (P, "return (static_cast<unsigned>(p[0]) << 8) | p[1];", "return (static_cast<unsigned>(p[0]) << 7) | p[1];"),
    (P, "return (static_cast<unsigned>(p[1]) << 8) | p[0];", "return (static_cast<unsigned>(p[1]) << 8) | p[1];"),
    (P, "(static_cast<unsigned>(p[2]) << 8) | p[3];", "(static_cast<unsigned>(p[2]) << 8) | p[2];"),
    (P, "return (static_cast<unsigned>(p[3]) << 24)", "return (static_cast<unsigned>(p[3]) << 23)"),
    (P, "    case 4:\n        return ReadU32(value);", "    case 4:\n        return ReadS32(value);"),
    (P, "    case 1:\n        return value[0];", "    case 1:\n        return value[1];"),
    (P, "return static_cast<signed char>(value[0]);", "return value[0];"),
    (P, "return static_cast<int16_t>(ReadU16(value));", "return ReadU16(value);"),
    (P, "    case 9:\n        return ReadS32(value);", "    case 9:\n        return ReadU32(value);"),
    (P, "    case 5:\n    case 10:\n", "    case 5:\n"),
    (P, "ReadS32(value + 4);", "ReadS32(value + 3);"),
    (P, "if (denominator == 0)\n            return 0;", "if (denominator == 0)\n            return 1;"),
    (P, "return static_cast<double>(numerator) / denominator;", "return numerator / denominator;"),
    (P, "motorolaOrder ? (first << 32) | second : (second << 32) | first",
     "motorolaOrder ? (second << 32) | first : (first << 32) | second"),
    # ParseExifBlock
    (P, "    info->flashUsed = 0;\n", ""),
    (P, "    info->comments[0] = '\\0';\n", ""),
    (P, "    maxImageDimension = 0;\n", ""),
    (P, "    walkedCount = 0;\n", ""),
    (P, "if (contentLength < 6 ||", "if (contentLength < 5 ||"),
    (P, "if (contentLength >= 8 && content[6] == 'I'", "if (contentLength >= 7 && content[6] == 'I'"),
    (P, "        motorolaOrder = 1;\n", "        motorolaOrder = 0;\n"),
    (P, "if (contentLength < 10 ||", "if (contentLength < 9 ||"),
    (P, "ReadU16(content + 8) != 42", "ReadU16(content + 8) != 43"),
    (P, "if (contentLength < 14)", "if (contentLength < 13)"),
    (P, "if (firstOffset < 8 || firstOffset > 16)", "if (firstOffset < 8 || firstOffset >= 16)"),
    (P, "    EnterDirectory(8);\n", ""),
    (P, "static_cast<unsigned>(length - 8))", "static_cast<unsigned>(length - 9))"),
    (P, "static_cast<float>(static_cast<double>(maxImageDimension) *",
     "static_cast<float>(static_cast<float>(maxImageDimension) *"),
    # EnterDirectory
    (P, "if (walkedDirectories[i] == offset)\n            return false;",
     "if (walkedDirectories[i] == offset)\n            return true;"),
    (P, "for (int i = 0; i < walkedCount; i++)", "for (int i = 0; i + 1 < walkedCount; i++)"),
    (P, "if (walkedCount >= kMaxDirectories)", "if (walkedCount > kMaxDirectories)"),
    # WalkDirectory
    (P, "if (dirOffset + 2 > blockLength)", "if (dirOffset + 2 >= blockLength)"),
    (P, "if (entriesEnd > blockLength)", "if (entriesEnd >= blockLength)"),
    (P, "    int thumbnailOffset = 0;\n", "    int thumbnailOffset = 1;\n"),
    (P, "for (unsigned i = 0; i < entryCount; i++)", "for (unsigned i = 0; i + 1 < entryCount; i++)"),
    (P, "if (format < 1 || format > 12)", "if (format < 2 || format > 12)"),
    (P, "        if (byteCount > 4)\n", "        if (byteCount >= 4)\n"),
    (P, "if (valueOffset + byteCount > blockLength)", "if (valueOffset + byteCount >= blockLength)"),
    (P, "value = base + valueOffset;", "value = base + valueOffset + 1;"),
    (P, "kFormatBytes[format] <= blockLength;", "kFormatBytes[format] < blockLength;"),
    (P, "(tag == kTagThumbnailOffset ? thumbnailOffset : thumbnailSize)",
     "(tag == kTagThumbnailOffset ? thumbnailSize : thumbnailOffset)"),
    (P, "if (linkOffset > blockLength)", "if (linkOffset >= blockLength)"),
    (P, "                WalkDirectory(base + linkOffset, base, blockLength);\n            else\n"
        "                SetErrorText(\"Illegal subdirectory link\");\n",
     "                WalkDirectory(base + linkOffset, base, blockLength);\n"),
    (P, "if (entriesEnd + 4 <= blockLength)", "if (entriesEnd + 4 < blockLength)"),
    (P, "ReadU32(start + entriesEnd - dirOffset);", "ReadU32(start + entriesEnd - dirOffset + 1);"),
    (P, "if (nextOffset > blockLength)", "if (nextOffset >= blockLength)"),
    (P, "            if (EnterDirectory(nextOffset))\n                WalkDirectory(base + nextOffset, base, blockLength);\n",
     "            if (EnterDirectory(nextOffset))\n                ;\n"),
    (P, "if (thumbnailOffset > 0 && thumbnailSize > 0 &&", "if (thumbnailOffset > 0 && thumbnailSize >= 0 &&"),
    (P, "static_cast<uint64_t>(thumbnailSize) <= blockLength)", "static_cast<uint64_t>(thumbnailSize) < blockLength)"),
    # TakeUserComment
    (P, "for (unsigned i = byteCount; i > 0 &&", "for (unsigned i = byteCount; i > 1 &&"),
    (P, "value[i - 1] = '\\0';", "value[i - 1] = ' ';"),
    (P, "if (room >= 5 && std::memcmp", "if (room > 5 && std::memcmp"),
    (P, "for (unsigned pos = 5; pos < 10 && pos < room; pos++)", "for (unsigned pos = 6; pos < 10 && pos < room; pos++)"),
    (P, "for (unsigned pos = 5; pos < 10 && pos < room; pos++)", "for (unsigned pos = 5; pos < 11 && pos < room; pos++)"),
    (P, "for (unsigned pos = 5; pos < 10 && pos < room; pos++)", "for (unsigned pos = 5; pos < 10; pos++)"),
    (P, "if (value[pos] != '\\0' && value[pos] != ' ')", "if (value[pos] != '\\0')"),
    (P, "CopyText(info->comments, 199, value + pos, end);", "CopyText(info->comments, 200, value + pos, end);"),
    (P, "            }\n        }\n        return;\n    }\n", "            }\n        }\n    }\n"),
    (P, "info->thumbnail = base + thumbnailOffset;", "info->thumbnail = base + thumbnailOffset + 1;"),
    (P, "    CopyText(info->comments, 199, value, end);", "    CopyText(info->comments, 200, value, end);"),
    # TakeEntry
    (P, "CopyText(info->make, 31, value, end);", "CopyText(info->make, 30, value, end);"),
    (P, "CopyText(info->model, 39, value, end);", "CopyText(info->model, 40, value, end);"),
    (P, "CopyText(info->exifVersion, 4, value, end);", "CopyText(info->exifVersion, 5, value, end);"),
    (P, "CopyText(info->dateTimeOriginal, 19, value, end);", "CopyText(info->dateTimeOriginal, 18, value, end);"),
    (P, "if (!hasNumber)\n        return;", "if (!hasNumber && format == 0)\n        return;"),
    (P, "if (orientation < 1 || orientation > 8)", "if (orientation < 1 || orientation > 9)"),
    (P, "            info->orientation = 0;\n", ""),
    (P, "        info->yResolution = static_cast<float>(number);\n", ""),
    (P, "            info->resolutionUnitInches = inches;", "            info->resolutionUnitInches = 1.0f;"),
    (P, "    case kTagExposureTime:\n        info->exposureTime = static_cast<float>(number);\n",
     "    case kTagExposureTime:\n"),
    (P, "    case kTagFNumber:\n        info->fNumber = static_cast<float>(number);\n", "    case kTagFNumber:\n"),
    (P, "        info->exposureProgram = WholeNumber(number);\n", ""),
    (P, "speed < 50 ?", "speed <= 50 ?"),
    (P, "static_cast<uint32_t>(speed) * 200u", "static_cast<uint32_t>(speed) * 100u"),
    (P, "static_cast<float>(1 / std::pow(2.0, number))", "static_cast<float>(1 / std::pow(2.0, number + 1))"),
    (P, "if (info->exposureTime == 0)", "if (info->exposureTime != 0)"),
    (P, "std::pow(2.0, number / 2)", "std::pow(2.0, number / 3)"),
    (P, "case kTagMaxAperture:", "case kTagMaxAperture - 0x100:"),
    (P, "        info->brightness = static_cast<float>(number);\n", ""),
    (P, "        info->lightSource = WholeNumber(number);\n", ""),
    (P, "(WholeNumber(number) & 7)", "(WholeNumber(number) & 3)"),
    (P, "(WholeNumber(number) & 7)", "(WholeNumber(number) & 15)"),
    (P, "if (dimension > maxImageDimension)", "if (dimension < maxImageDimension)"),
    (P, "if (dimension > maxImageDimension)", "if (dimension >= maxImageDimension)",
     "storing a dimension equal to the largest so far changes nothing"),
    (P, "        info->focalPlaneYRes = static_cast<float>(number);\n", ""),
    (P, "        if (inches != 0)\n            info->focalPlaneUnitInches = inches;",
     "        info->focalPlaneUnitInches = inches;"),
]


def read(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def sync_copy():
    """Brings the copy in line with the working tree, writing only files that differ."""
    wanted = set()
    for folder, dirs, files in os.walk(ROOT):
        rel = os.path.relpath(folder, ROOT)
        if rel == ".":
            dirs[:] = [d for d in dirs if d not in SKIPPED_TOP]
        dirs.sort()
        for name in files:
            rel_file = os.path.normpath(os.path.join(rel, name))
            wanted.add(rel_file)
            source = os.path.join(ROOT, rel_file)
            target = os.path.join(COPY, rel_file)
            if not os.path.exists(target) or not filecmp.cmp(source, target, shallow=False):
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(source, target)
                shutil.copymode(source, target)
    for folder, _, files in os.walk(COPY):
        for name in files:
            rel_file = os.path.relpath(os.path.join(folder, name), COPY)
            if rel_file not in wanted:
                os.remove(os.path.join(folder, name))


def locate(originals, index):
    """The line of the mutant's fragment, or an error text when it is not found exactly once."""
    path, original = MUTANTS[index][:2]
    text = originals[path]
    count = text.count(original)
    if count != 1:
        return None, "found %d times" % count
    return text[: text.index(original)].count("\n") + 1, None


def describe(index, line):
    path, original, replacement = MUTANTS[index][:3]
    squeeze = lambda s: " ".join(s.split()) or "(nothing)"
    return "#%d %s:%d  %s  ->  %s" % (index + 1, path, line, squeeze(original), squeeze(replacement))


def configure(bindir, sanitize):
    if os.path.exists(os.path.join(bindir, "CMakeCache.txt")):
        return True
    command = [
        "cmake", "-S", COPY, "-B", bindir, "-G", "Ninja",
        "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG",
        "-DCMAKE_C_COMPILER=clang-14", "-DCMAKE_CXX_COMPILER=clang++-14",
        "-DCHRONOSHIFT_SANITIZE=" + ("ON" if sanitize else "OFF"),
    ]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.stdout.write(result.stdout)
    return result.returncode == 0


def build(bindir):
    result = subprocess.run(["cmake", "--build", bindir, "--target", "test_exif", "-j2"],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


def run_tests(bindir, timeout, only):
    """'passed', 'failed' or 'timeout'."""
    command = [os.path.join(bindir, "tests", "test_exif")]
    if only:
        command.append("--gtest_filter=" + only)
    try:
        result = subprocess.run(command, cwd=bindir,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)
    except subprocess.TimeoutExpired:
        return "timeout"
    return "passed" if result.returncode == 0 else "failed"


def interrupted(signum, frame):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description="Mutation check of the JPEG/EXIF reader.")
    parser.add_argument("numbers", nargs="*", type=int, help="run only these mutants (1-based)")
    parser.add_argument("--list", action="store_true", help="show the mutants and exit")
    parser.add_argument("--sanitize", action="store_true", help="build with ASan/UBSan (slower)")
    parser.add_argument("--filter", default="", help="run only these tests (a gtest filter), to see which kill a mutant")
    parser.add_argument("--timeout", type=float, default=0, help="seconds per test run (default: from the baseline)")
    args = parser.parse_args()

    originals = {path: read(os.path.join(ROOT, path)) for path in sorted({m[0] for m in MUTANTS})}
    lines = {}
    stale = []
    for index in range(len(MUTANTS)):
        line, error = locate(originals, index)
        if error:
            stale.append("#%d %s: %r %s" % (index + 1, MUTANTS[index][0], MUTANTS[index][1], error))
        lines[index] = line or 0
    if stale:
        print("the mutant table no longer matches the sources:")
        for entry in stale:
            print("  " + entry)
        return 2
    if args.list:
        for index in range(len(MUTANTS)):
            print(describe(index, lines[index]))
        return 0

    chosen = [n - 1 for n in args.numbers] if args.numbers else list(range(len(MUTANTS)))
    if any(n < 0 or n >= len(MUTANTS) for n in chosen):
        print("mutants are numbered 1 to %d" % len(MUTANTS))
        return 2

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)
    try:
        return check(args, chosen, originals, lines)
    except KeyboardInterrupt:
        print("\ninterrupted; the copy is restored")
        return 130
    finally:
        sync_copy()


def check(args, chosen, originals, lines):
    bindir = os.path.join(WORK, "bin-sanitize" if args.sanitize else "bin")
    os.makedirs(WORK, exist_ok=True)
    sync_copy()
    if not configure(bindir, args.sanitize):
        print("configure failed")
        return 2
    ok, output = build(bindir)
    if not ok:
        sys.stdout.write(output)
        print("the unmutated reader does not build")
        return 2
    started = time.monotonic()
    if run_tests(bindir, 600, args.filter) != "passed":
        print("test_exif fails on the unmutated reader; fix that first")
        return 2
    timeout = args.timeout or max(30.0, 20 * (time.monotonic() - started))

    killed, survived, invalid = [], [], []
    for step, index in enumerate(chosen, 1):
        path, original, replacement = MUTANTS[index][:3]
        target = os.path.join(COPY, path)
        try:
            write(target, originals[path].replace(original, replacement, 1))
            ok, _ = build(bindir)
            outcome = run_tests(bindir, timeout, args.filter) if ok else "invalid"
        finally:
            write(target, originals[path])
        if outcome == "invalid":
            invalid.append(index)
            verdict = "invalid"
        elif outcome == "passed":
            survived.append(index)
            verdict = "SURVIVED"
        else:
            killed.append(index)
            verdict = "killed" if outcome == "failed" else "killed (hung)"
        print("[%d/%d] %-13s %s" % (step, len(chosen), verdict, describe(index, lines[index])), flush=True)

    print()
    print("survived:" if survived else "survived: none")
    unexplained = 0
    for index in survived:
        print("  " + describe(index, lines[index]))
        if len(MUTANTS[index]) > 3:
            print("      equivalent: " + MUTANTS[index][3])
        else:
            unexplained += 1
    if invalid:
        print("invalid (do not compile; mend the table):")
        for index in invalid:
            print("  " + describe(index, lines[index]))
    print("mutants: %d killed, %d survived of %d" % (len(killed), len(survived), len(chosen)))
    # Known equivalent mutants may survive; any other survivor wants a test.
    return 0 if not unexplained and not invalid else 1


if __name__ == "__main__":
    sys.exit(main())
