#!/usr/bin/env python3
"""Mutation check of the JPEG/EXIF reader (exif/) and of the engine (engine/
with the framework's file-time path), run by hand.

Applies the small faults of a table below one at a time to a copy of the
source tree, rebuilds what the covering tests need there and runs them. A
mutant is killed when the tests fail, crash or hang (killed by the timeout);
one that does not compile is "invalid" and counts as neither. A few mutants
are known to change nothing observable; the table says why, and their survival
is not a failure. The working tree itself is never written: the copy is
brought back in line with it before the run and after every mutant, also when
the run is interrupted.

The reader (the default part): copy build/mutation/src, test_exif built
natively (clang-14, -O1, without sanitizers unless --sanitize).

The engine (--part engine): copy build/mutation/src-engine, built with the
mingw-w64 toolchain that tools/windows-preset.sh names (bin-engine, or
bin-engine64 for "windows64"); the test programs run under Wine through the
copy's tools/wine-run.sh, so the build folder has its own prefix and server.
A mutant of engine/ runs against test_engine, one of framework/ against
test_framework and test_engine; only when they all pass do the end-to-end
suites (tests/e2e, through chronoshift-drive) run.

    tools/mutation-check.py              run every mutant of the reader
    tools/mutation-check.py 3 17         run mutants 3 and 17 only
    tools/mutation-check.py --list       show the table with line numbers
    tools/mutation-check.py --filter 'TagRules.*' 12
                                         which of these tests kill mutant 12
    tools/mutation-check.py --part engine [--list] [numbers]
                                         the same for the engine
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

PF = "engine/ProcessFile.cpp"
DB = "engine/DropBatch.cpp"
DT = "engine/DateTarget.cpp"
DC = "engine/Decimal.cpp"
DP = "engine/DropPaths.cpp"
ED = "engine/ExifDate.cpp"
PS = "engine/PictureSource.h"
PL = "engine/ProcessingLog.cpp"
SL = "engine/StatusLine.cpp"
TF = "engine/TempFile.cpp"
UJ = "engine/UndoJournal.cpp"
VF = "engine/VisitedFolders.cpp"
BS = "engine/BusyState.cpp"
HF = "framework/CHeldFile.cpp"
CF = "framework/CFile.cpp"
FS = "framework/FileTimeStore.cpp"
LP = "framework/LongPath.cpp"
CT = "framework/CTime.cpp"
# The folder identities the walk reads, moved below the engine.
FI = "framework/FolderIdentity.cpp"
FH = "framework/FolderHandle.cpp"

# The engine and the framework's file-time path: the same form as above.
ENGINE_MUTANTS = [
    # ProcessFile: the name test, the comparison, the journal before the write
    (PF, "return text.GetLength() >= length &&", "return text.GetLength() > length &&"),
    (PF, "(strLowerPath.GetLength() > 4 && EndsWith(strLowerPath, \".jpeg\"))",
     "(strLowerPath.GetLength() > 5 && EndsWith(strLowerPath, \".jpeg\"))"),
    (PF, "EndsWith(strLowerPath, \".jpeg\"))", "EndsWith(strLowerPath, \".jpe\"))"),
    (PF, "local.tm_mon + 1 == exif.month", "local.tm_mon == exif.month"),
    (PF, "local.tm_min == exif.minute && local.tm_sec == exif.second;", "local.tm_min == exif.minute;"),
    (PF, "        ++nJpgFiles;\n", ""),
    (PF, "    ShowProgress(nJpgFiles);\n", ""),
    (PF, "if (nDate == 0)\n            strOutcome += \"\\t\\t\";", "if (nDate == 1)\n            strOutcome += \"\\t\\t\";"),
    (PF, "!status.m_ctime.IsValid() || !status.m_mtime.IsValid()", "!status.m_mtime.IsValid()"),
    (PF, "CTime timeCreated = status.m_ctime;", "CTime timeCreated = status.m_mtime;"),
    (PF, "if (bChangeModified && !SameMoment(status.m_mtime, exif))",
     "if (bChangeModified && !SameMoment(status.m_ctime, exif))"),
    (PF, "        status.m_mtime = timeExif;\n", "        status.m_ctime = timeExif;\n"),
    (PF, "if (bChangeCreated && !SameMoment(status.m_ctime, exif))",
     "if (bChangeCreated && !SameMoment(status.m_mtime, exif))"),
    (PF, "if (!WriteUndoRecord(strPath, timeCreated, timeModified))\n        return \"not changed. Undo information could not be written\\t\\t\\t\";",
     "WriteUndoRecord(strPath, timeCreated, timeModified);"),
    (PF, "status.m_attribute & FILE_ATTRIBUTE_READONLY", "status.m_attribute & FILE_ATTRIBUTE_HIDDEN"),
    (PF, "    ++nChanged;\n", "    nChanged = 1;\n"),
    # The drop batch and the folder walk
    (DB, "return {false, true, 0, 0};", "return {true, true, 0, 0};"),
    (DB, "batch.bChangeModified ? \"yes\" : \"no\", batch.bChangeCreated ? \"yes\" : \"no\"",
     "batch.bChangeModified ? \"yes\" : \"no\", batch.bChangeModified ? \"yes\" : \"no\""),
    (DB, "    m_bUndoWriteFailed = false;\n", ""),
    (DB, "if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)",
     "if (attributes.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE)"),
    (DB, "\"\\t\\tTotal changed %d\\n\", batch.nChanged);", "\"\\t\\tTotal changed %d\\n\", batch.nJpgFiles);"),
    (DB, "ShowStatus(batch.nJpgFiles, batch.nChanged, !m_strLogPath.IsEmpty());",
     "ShowStatus(batch.nJpgFiles, batch.nChanged, true);"),
    (DB, "if (batch.nChanged == 0 || m_strUndoPath.IsEmpty())", "if (batch.nChanged < 0 || m_strUndoPath.IsEmpty())"),
    (DB, "static_cast<const char*>(strFolder));\n        return;\n", "static_cast<const char*>(strFolder));\n"),
    (DB, "strPattern[strPattern.GetLength() - 1] != '\\\\')", "strPattern[strPattern.GetLength() - 1] != '/')",
     "a doubled backslash before the asterisk is one for the system, and the finder's root ends at the last one, "
     "so the same entries come with the same paths; only a folder path ending in '/' would differ, and neither "
     "a drop nor the walk makes one"),
    (DB, "else if (m_bProcessSubfolders && !finder.IsDots())", "else if (!finder.IsDots())"),
    (DB, "? FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT", "? FILE_ATTRIBUTE_DIRECTORY"),
    (DB, "    m_visitedFolders.Leave();\n", ""),
    (BS, "EnableControl(nID, nID != IDC_UNDO || bUndoAvailable);", "EnableControl(nID, nID != IDC_UNDO && bUndoAvailable);"),
    (DB, "if (!m_bBusy && !m_bUndoRunning)\n        RunPendingDrops();", "if (!m_bBusy)\n        RunPendingDrops();"),
    # The list's index, the numbers of the lines, the dropped paths, the EXIF date
    (DT, "    case kModifiedAndCreated:\n        return kModifiedAndCreated;",
     "    case kModifiedAndCreated:\n        return kDateCreated;"),
    (DC, "for (int i = nDigits; i < nWidth; ++i)", "for (int i = nDigits; i <= nWidth; ++i)"),
    (DP, "buffer, nLength + 1);", "buffer, nLength);"),
    (ED, "fields.day = ReadDateNumber(text + 8, 2);", "fields.day = ReadDateNumber(text + 9, 2);"),
    (ED, "if (fields.year < 1900)", "if (fields.year <= 1900)"),
    (ED, "std::strncmp(text, \"    \", 4) == 0 || ", ""),
    (ED, "return negative ? -value : value;", "return negative ? value : value;"),
    # Reading a picture through its handle
    (PS, "            m_bEnd = nRead == 0;\n", ""),
    (PS, "        m_nPos = 0;\n", ""),
    # The log and the temporary files
    (PL, "    if (!strPath.IsEmpty())\n    {\n        AfxDeleteFile(strPath);\n", "    if (!strPath.IsEmpty())\n    {\n"),
    (PL, "CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone", "CFile::modeCreate | CFile::modeWrite"),
    (PL, "p = PutDecimal(p, stamp.wMonth, 2);", "p = PutDecimal(p, stamp.wMonth, 1);"),
    (PL, "    if (bStamped)\n", "    if (!bStamped)\n"),
    (PL, "PutDecimal(szNumber + 8, nFile, 6, ' ');", "PutDecimal(szNumber + 8, nFile, 5, ' ');"),
    (PL, "m_fileLog.Open(m_strLogPath, CFile::modeNoTruncate | CFile::modeWrite",
     "m_fileLog.Open(m_strLogPath, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite"),
    (PL, "    m_fileLog.SeekToEnd();\n", ""),
    (PL, "        AfxDeleteFile(m_strLogPath);\n", ""),
    (PL, "    command += '\"';\n", ""),
    (TF, "%02u%02u%02u%03u%d.txt", "%02u%02u%02u%02u%d.txt"),
    (TF, "if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&", "if (error != ERROR_ALREADY_EXISTS &&"),
    (TF, "CREATE_NEW, FILE_ATTRIBUTE_NORMAL", "CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL"),
    # The status line and the pump
    (SL, "dwNow - m_dwLastPumpTick <= 250)", "dwNow - m_dwLastPumpTick < 250)"),
    (SL, "if (dwNow >= m_dwLastPumpTick && dwNow", "if (dwNow"),
    (SL, "    m_dwLastPumpTick = dwNow;\n", ""),
    (SL, "            ::PostQuitMessage(0);\n", ""),
    (SL, "nJpgFiles, nChanged);\n    text +=", "nChanged, nJpgFiles);\n    text +="),
    (SL, "    DisableControlsWhileBusy();\n    MSG msg;", "    MSG msg;"),
    # The journal and the undo
    (UJ, "if (lastSkipped == '-')", "if (lastSkipped == '+')"),
    (UJ, "fields.tm_hour != hour || ", ""),
    (UJ, "    time = candidate;\n", "    time = CTime(year, month, day, hour, minute, second, 0);\n"),
    (UJ, "p = PutJournalTime(p + 11, modified);", "p = PutJournalTime(p + 11, created);"),
    (UJ, "p = PutDecimal(p, static_cast<unsigned>(fields.tm_mon + 1));",
     "p = PutDecimal(p, static_cast<unsigned>(fields.tm_mon));"),
    (UJ, "    if (m_bUndoWriteFailed)\n        return false;\n", ""),
    (UJ, "if (!m_fileUndo.WriteString(record) || !m_fileUndo.Flush())", "if (!m_fileUndo.WriteString(record))"),
    (UJ, "        AfxDeleteFile(m_strUndoPath);\n        m_strUndoPath.Empty();\n    }\n    // The button",
     "        m_strUndoPath.Empty();\n    }\n    // The button"),
    (UJ, "::EnableWindow(hUndo, FALSE);", "::EnableWindow(hUndo, TRUE);"),
    (UJ, "if (!bPath || !bCreated || !bModified)", "if (!bPath && !bCreated && !bModified)"),
    (UJ, "        ++nRecords;\n", ""),
    (UJ, "status.m_ctime = timeCreated;", "status.m_ctime = timeModified;"),
    (UJ, "            ++nRestored;\n", ""),
    (UJ, "if (nRecords > 0)", "if (nRecords >= 0)"),
    # The folders a drop has walked
    (VF, "        if (!inserted.second)\n            return false;", "        if (!inserted.second)\n            return true;"),
    (VF, "bPlain = dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);",
     "bPlain = dwAttributes != INVALID_FILE_ATTRIBUTES;"),
    (VF, "(identity.indexHigh == 0 && identity.indexLow == 0)", "(identity.indexHigh == 0 || identity.indexLow == 0)"),
    (VF, "if (owner.nAnchor != nAnchor)", "if (owner.nAnchor == nAnchor)"),
    (VF, "strNew == strOld)\n            return false;", "strNew != strOld)\n            return false;"),
    (VF, "    m_untrustedVolumes.insert(identity.serial);\n", ""),
    (VF, "if (!m_stack.empty())\n        m_stack.pop_back();", "if (m_stack.size() > 1)\n        m_stack.pop_back();"),
    (FI, "identity.indexLow = index.LowPart;", "identity.indexLow = static_cast<unsigned long>(index.HighPart);"),
    (FI, "OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,\n                         nullptr);",
     "OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,\n                         nullptr);"),
    (VF, "if (m_paths.count(key))\n        return false;", "if (m_paths.count(key))\n        return true;"),
    # The held file
    (HF, "HANDLE hFile = open(GENERIC_READ | GENERIC_WRITE);", "HANDLE hFile = open(GENERIC_READ);"),
    (HF, "return AfxCreateFile(pszFileName, dwAccess, kFileShareAll,",
     "return AfxCreateFile(pszFileName, dwAccess, FILE_SHARE_READ | FILE_SHARE_DELETE,"),
    (HF, "pFolder->OpenEntry(pszFileName, dwAccess, kFileShareAll)",
     "pFolder->OpenEntry(pszFileName, dwAccess, FILE_SHARE_READ | FILE_SHARE_DELETE)"),
    (HF, "    if (hFile == INVALID_HANDLE_VALUE)\n        // Plain", "    if (!pFolder)\n        // Plain"),
    (HF, "m_bWritable = bWritable;", "m_bWritable = true;"),
    (HF, "    m_handle.Attach(hFile);\n", ""),
    (HF, "m_bAttributesRead = m_file.GetTimesAndAttributes(rStatus, m_dwAttributes) != FALSE;",
     "m_bAttributesRead = m_file.GetTimesAndAttributes(rStatus, m_dwAttributes) == FALSE;"),
    # The held folder of the walk
    (FH, " || std::strpbrk(pszName, \"\\\\/\") != nullptr", ""),
    (FH, "        if (!AfxIsPathSeparator(*pszName))\n            return INVALID_HANDLE_VALUE;\n", ""),
    (FH, "&hFile, dwAccess | SYNCHRONIZE | FILE_READ_ATTRIBUTES,", "&hFile, (dwAccess & GENERIC_READ) | SYNCHRONIZE | FILE_READ_ATTRIBUTES,"),
    (FH, "&attributes, &io, nullptr, 0, dwShareMode,", "&attributes, &io, nullptr, 0, dwShareMode & ~FILE_SHARE_WRITE,"),
    (PF, "if (!file.Open(strPath, pFolder))", "if (!file.Open(strPath, pFolder ? nullptr : nullptr))"),
    (DB, "if (++nFiles == kFilesBeforeHolding)", "if (++nFiles == -kFilesBeforeHolding)",
     "the held folder only spares the system work: without it every file is opened by its path, with the "
     "same outcomes"),
    # File status
    (CF, "rStatus.m_ctime = CTime(created);", "rStatus.m_ctime = CTime(written);"),
    (CF, "rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes);", "rStatus.m_attribute = 0;"),
    (CF, "bAttributesDiffer && (dwCurrent & FILE_ATTRIBUTE_READONLY) &&", "bAttributesDiffer && (dwCurrent & FILE_ATTRIBUTE_HIDDEN) &&"),
    (CF, "const DWORD dwWanted = (dwCurrent & ~0xFFu) | status.m_attribute;", "const DWORD dwWanted = status.m_attribute;",
     "the attributes are written only when the record's differ from the file's, which no caller of the program "
     "makes them do, and Wine keeps no attribute above the low byte that a write could drop (temporary, offline, "
     "not indexed and the like do not stick)"),
    (CF, "bAccessed ? &accessed : nullptr", "nullptr"),
    (CF, "if (bAttributesDiffer && !bAttributesFirst && !setAttributes(dwWanted))",
     "if (bAttributesDiffer && bAttributesFirst && !setAttributes(dwWanted))"),
    (CF, "    if (dwLength >= MAX_PATH)\n        szFull[0] = '\\0';\n", ""),
    (CF, "change.FileAttributes = dwAttributes ? dwAttributes : FILE_ATTRIBUTE_NORMAL;", "change.FileAttributes = dwAttributes;"),
    (CF, "data.ftLastWriteTime = AsFileTime(basic.LastWriteTime);", "data.ftLastWriteTime = AsFileTime(basic.ChangeTime);"),
    (CF, "ft.dwHighDateTime = static_cast<DWORD>(value.HighPart);", "ft.dwHighDateTime = value.LowPart;"),
    (CF, "    if (dwError == ERROR_SUCCESS)\n        dwError = ERROR_GEN_FAILURE;\n", ""),
    # The file-time store
    (FS, "        SetLastError(ERROR_ACCESS_DENIED);\n        return FALSE;\n    }\n    CKernelHandle file(OpenByName",
     "    }\n    CKernelHandle file(OpenByName"),
    (FS, "        SetLastError(ERROR_ACCESS_DENIED);\n        return FALSE;\n    }\n    if (!SetFileTime",
     "    }\n    if (!SetFileTime"),
    (FS, "*created = data.ftCreationTime;", "*created = data.ftLastWriteTime;"),
    (FS, "*accessed = data.ftLastAccessTime;", "*accessed = data.ftLastWriteTime;"),
    (FS, "if (!SetFileTime(hFile, created, accessed, written))", "if (!SetFileTime(hFile, created, written, accessed))"),
    # Long paths
    (LP, "if (bQualified && std::strlen(pszPath) < MAX_PATH)", "if (bQualified && std::strlen(pszPath) <= MAX_PATH)"),
    (LP, "if (wide.size() > MAX_PATH)", "if (wide.size() > MAX_PATH + 1)"),
    (LP, "return dwFullSize > MAX_PATH;", "return dwFullSize > 2 * MAX_PATH;"),
    (LP, "const bool bUnc = full[0] == L'\\\\' && full[1] == L'\\\\';", "const bool bUnc = false;"),
    (LP, "(pszPath[2] == L'?' || pszPath[2] == L'.')", "pszPath[2] == L'?'"),
    (LP, "full.resize(static_cast<size_t>(dwLength) + 1);", "full.resize(static_cast<size_t>(dwLength));"),
    (LP, "if (!pszBuffer || text.size() >= nBufferLength)", "if (!pszBuffer || text.size() > nBufferLength)"),
    (LP, "*ppFilePart = pszLast && pszLast[1] ? pszLast + 1 : nullptr;", "*ppFilePart = pszLast;"),
    (LP, "    data.dwFileAttributes = wide.dwFileAttributes;\n", "    data.dwFileAttributes = 0;\n"),
    (LP, "text.size() < cch ? text.size() : cch - 1;", "text.size() <= cch ? text.size() : cch - 1;"),
    (LP, "text.resize(static_cast<size_t>(nBytes) - 1);", "text.resize(static_cast<size_t>(nBytes));"),
    # Calendar and time zone
    (CT, "((a < 0) != (b < 0))) ? q - 1 : q;", "((a < 0) != (b < 0))) ? q + 1 : q;"),
    (CT, "    y -= m <= 2 ? 1 : 0;\n", "    y -= m < 2 ? 1 : 0;\n"),
    (CT, "yoe * 365 + yoe / 4 - yoe / 100 + doy;", "yoe * 365 + yoe / 4 + doy;"),
    (CT, "(doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;", "(doe - doe / 1460 + doe / 36524) / 365;"),
    (CT, "c.month = mp < 10 ? mp + 3 : mp - 9;", "c.month = mp <= 10 ? mp + 3 : mp - 9;"),
    (CT, "yoe + (c.month <= 2 ? 1 : 0);", "yoe + (c.month < 2 ? 1 : 0);"),
    (CT, "const int m = static_cast<int>(months - y * 12) + 1;", "const int m = static_cast<int>(months - y * 12);"),
    (CT, "DaysFromCivil(y, m, 1) + (day - 1);", "DaysFromCivil(y, m, 1) + day;"),
    (CT, "return t >= CTime::kMinTime && t <= CTime::kMaxTime;", "return t >= CTime::kMinTime && t < CTime::kMaxTime;"),
    (CT, "    if (slot.year != year)\n", "    if (slot.year == 0)\n",
     "only years 128 apart share a slot, and Wine gives the tests' zone (Europe/Berlin) the same rules "
     "for every year: no conversion here differs"),
    (CT, "if (answer.bKnown && answer.t == t)", "if (answer.bKnown)"),
    (CT, "? local - (probe - standard) : standard;", "? local - StandardOffset(tzi) : standard;"),
    (CT, "return -static_cast<__int64>(tzi.Bias + tzi.DaylightBias) * 60;",
     "return -static_cast<__int64>(tzi.Bias - tzi.DaylightBias) * 60;"),
    (CT, "static_cast<__int64>(ticks / kTicksPerSecond) - kFileTimeEpochOffset",
     "static_cast<__int64>((ticks + kTicksPerSecond / 2) / kTicksPerSecond) - kFileTimeEpochOffset"),
    (CT, "fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);", "fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 31);"),
    (CT, "ptm->tm_mon = c.month - 1;", "ptm->tm_mon = c.month;"),
]


def read(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def sync_copy(copy):
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
            target = os.path.join(copy, rel_file)
            if not os.path.exists(target) or not filecmp.cmp(source, target, shallow=False):
                os.makedirs(os.path.dirname(target), exist_ok=True)
                shutil.copyfile(source, target)
                shutil.copymode(source, target)
    for folder, _, files in os.walk(copy):
        for name in files:
            rel_file = os.path.relpath(os.path.join(folder, name), copy)
            if rel_file not in wanted:
                os.remove(os.path.join(folder, name))


def run_quietly(command, timeout, cwd=None, env=None):
    """'passed', 'failed' or 'timeout'. A hung run is ended with everything it
    started (its own process group): Wine's processes and the driver's."""
    try:
        process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    except OSError:
        return "failed"
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
        return "timeout"
    except BaseException:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
        raise
    return "passed" if code == 0 else "failed"


def build(bindir, targets):
    result = subprocess.run(["cmake", "--build", bindir, "--target"] + list(targets) + ["-j2"],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode == 0, result.stdout


class ReaderPart:
    """test_exif, built natively."""

    name = "reader"
    mutants = MUTANTS

    def __init__(self, args):
        self.args = args
        self.copy = os.path.join(WORK, "src")
        self.bindir = os.path.join(WORK, "bin-sanitize" if args.sanitize else "bin")
        self.timeout = args.timeout

    def configure(self):
        if os.path.exists(os.path.join(self.bindir, "CMakeCache.txt")):
            return True
        command = [
            "cmake", "-S", self.copy, "-B", self.bindir, "-G", "Ninja",
            "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG",
            "-DCMAKE_C_COMPILER=clang-14", "-DCMAKE_CXX_COMPILER=clang++-14",
            "-DCHRONOSHIFT_SANITIZE=" + ("ON" if self.args.sanitize else "OFF"),
        ]
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if result.returncode != 0:
            sys.stdout.write(result.stdout)
        return result.returncode == 0

    def command(self):
        command = [os.path.join(self.bindir, "tests", "test_exif")]
        if self.args.filter:
            command.append("--gtest_filter=" + self.args.filter)
        return command

    def baseline(self):
        ok, output = build(self.bindir, ["test_exif"])
        if not ok:
            sys.stdout.write(output)
            print("the unmutated reader does not build")
            return False
        started = time.monotonic()
        if run_quietly(self.command(), 600, cwd=self.bindir) != "passed":
            print("test_exif fails on the unmutated reader; fix that first")
            return False
        self.timeout = self.timeout or max(30.0, 20 * (time.monotonic() - started))
        return True

    def run(self, path):
        ok, _ = build(self.bindir, ["test_exif"])
        if not ok:
            return "invalid"
        outcome = run_quietly(self.command(), self.timeout, cwd=self.bindir)
        return {"passed": "passed", "failed": "killed", "timeout": "killed (hung)"}[outcome]


class EnginePart:
    """The Windows unit suites under Wine, then the end-to-end suites."""

    name = "engine"
    mutants = ENGINE_MUTANTS
    driver = "chronoshift-drive"

    def __init__(self, args):
        self.args = args
        self.copy = os.path.join(WORK, "src-engine")
        self.preset = None
        self.bindir = None
        self.timeouts = {}

    def configure(self):
        # The copy's script: its probe goes to the copy's build folder.
        preset = subprocess.run(["bash", os.path.join(self.copy, "tools", "windows-preset.sh")],
                                stdout=subprocess.PIPE, text=True).stdout.strip()
        if preset not in ("windows", "windows64"):
            print("tools/windows-preset.sh names no Windows build: %r" % preset)
            return False
        self.preset = preset
        self.bindir = os.path.join(WORK, "bin-engine" if preset == "windows" else "bin-engine64")
        if os.path.exists(os.path.join(self.bindir, "CMakeCache.txt")):
            return True
        toolchain = "i686-w64-mingw32.cmake" if preset == "windows" else "x86_64-w64-mingw32.cmake"
        command = [
            "cmake", "-S", self.copy, "-B", self.bindir, "-G", "Ninja",
            "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(self.copy, "cmake", toolchain),
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
        ]
        result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if result.returncode != 0:
            sys.stdout.write(result.stdout)
        return result.returncode == 0

    @staticmethod
    def unit_suites(path):
        # The engine's tests drive the framework too: its faults may show only there.
        return ["test_engine"] if path.startswith("engine/") else ["test_framework", "test_engine"]

    def e2e_modules(self):
        folder = os.path.join(self.copy, "tests", "e2e")
        return sorted(name[:-3] for name in os.listdir(folder) if name.startswith("test_") and name.endswith(".py"))

    def unit_command(self, suite):
        command = [os.path.join(self.copy, "tools", "wine-run.sh"),
                   os.path.join(self.bindir, "tests", suite + ".exe"), "--gtest_fail_fast"]
        if self.args.filter:
            command.append("--gtest_filter=" + self.args.filter)
        env = dict(os.environ)
        # Their daylight-saving cases need a zone with DST, as their ctests set.
        env["TZ"] = "Europe/Berlin"
        return command, env

    def e2e_command(self, module):
        env = dict(os.environ,
                   CHRONOSHIFT_DRIVE=os.path.join(self.bindir, "tests", "driver", self.driver + ".exe"),
                   CHRONOSHIFT_WINE_RUN=os.path.join(self.copy, "tools", "wine-run.sh"),
                   PYTHONDONTWRITEBYTECODE="1")
        return ["python3", "-m", "unittest", "-f", module], env

    def run_unit(self, suite, timeout):
        command, env = self.unit_command(suite)
        return run_quietly(command, timeout, cwd=self.bindir, env=env)

    def run_e2e(self, module, timeout):
        command, env = self.e2e_command(module)
        return run_quietly(command, timeout, cwd=os.path.join(self.copy, "tests", "e2e"), env=env)

    def timed(self, key, runner, name):
        started = time.monotonic()
        outcome = runner(name, 1800)
        took = time.monotonic() - started
        print("baseline: %-16s %-7s %6.1f s" % (name, outcome, took), flush=True)
        # A loaded machine runs a suite a few times slower; a hang goes far beyond.
        self.timeouts[key] = self.args.timeout or max(60.0, 5 * took)
        return outcome == "passed"

    def baseline(self):
        ok, output = build(self.bindir, ["test_framework", "test_engine", self.driver])
        if not ok:
            sys.stdout.write(output)
            print("the unmutated engine does not build")
            return False
        # The first run of a build folder makes its Wine prefix: not part of a suite's time.
        self.run_unit("test_framework", 600)
        for suite in ("test_framework", "test_engine"):
            if not self.timed(suite, self.run_unit, suite):
                print("%s fails on the unmutated tree; fix that first" % suite)
                return False
        if self.args.filter:
            return True
        for module in self.e2e_modules():
            if not self.timed(module, self.run_e2e, module):
                print("tests/e2e/%s.py fails on the unmutated tree; fix that first" % module)
                return False
        return True

    def run(self, path):
        suites = self.unit_suites(path)
        ok, _ = build(self.bindir, suites)
        if not ok:
            return "invalid"
        for suite in suites:
            outcome = self.run_unit(suite, self.timeouts[suite])
            if outcome != "passed":
                return "killed" if outcome == "failed" else "killed (hung)"
        # With a filter the question is which unit tests kill the mutant.
        if self.args.filter:
            return "passed"
        ok, _ = build(self.bindir, [self.driver])
        if not ok:
            return "invalid"
        for module in self.e2e_modules():
            outcome = self.run_e2e(module, self.timeouts[module])
            if outcome != "passed":
                return "killed (e2e)" if outcome == "failed" else "killed (e2e, hung)"
        return "passed"


PARTS = {"reader": ReaderPart, "engine": EnginePart}


def locate(mutants, originals, index):
    """The line of the mutant's fragment, or an error text when it is not found exactly once."""
    path, original = mutants[index][:2]
    text = originals[path]
    count = text.count(original)
    if count != 1:
        return None, "found %d times" % count
    return text[: text.index(original)].count("\n") + 1, None


def describe(mutants, index, line):
    path, original, replacement = mutants[index][:3]
    squeeze = lambda s: " ".join(s.split()) or "(nothing)"
    return "#%d %s:%d  %s  ->  %s" % (index + 1, path, line, squeeze(original), squeeze(replacement))


def interrupted(signum, frame):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description="Mutation check of the JPEG/EXIF reader or of the engine.")
    parser.add_argument("numbers", nargs="*", type=int, help="run only these mutants (1-based)")
    parser.add_argument("--part", choices=sorted(PARTS), default="reader",
                        help="the reader (exif/, the default) or the engine (engine/, framework/ file times)")
    parser.add_argument("--list", action="store_true", help="show the mutants and exit")
    parser.add_argument("--sanitize", action="store_true", help="reader: build with ASan/UBSan (slower)")
    parser.add_argument("--filter", default="",
                        help="run only these tests (a gtest filter), to see which kill a mutant; "
                             "the engine then runs no end-to-end suite")
    parser.add_argument("--timeout", type=float, default=0, help="seconds per test run (default: from the baseline)")
    args = parser.parse_args()
    if args.sanitize and args.part != "reader":
        parser.error("--sanitize is for the reader")
    part = PARTS[args.part](args)
    mutants = part.mutants

    originals = {path: read(os.path.join(ROOT, path)) for path in sorted({m[0] for m in mutants})}
    lines = {}
    stale = []
    for index in range(len(mutants)):
        line, error = locate(mutants, originals, index)
        if error:
            stale.append("#%d %s: %r %s" % (index + 1, mutants[index][0], mutants[index][1], error))
        lines[index] = line or 0
    if stale:
        print("the mutant table no longer matches the sources:")
        for entry in stale:
            print("  " + entry)
        return 2
    if args.list:
        for index in range(len(mutants)):
            print(describe(mutants, index, lines[index]))
        return 0

    chosen = [n - 1 for n in args.numbers] if args.numbers else list(range(len(mutants)))
    if any(n < 0 or n >= len(mutants) for n in chosen):
        print("mutants are numbered 1 to %d" % len(mutants))
        return 2

    signal.signal(signal.SIGTERM, interrupted)
    signal.signal(signal.SIGHUP, interrupted)
    try:
        return check(part, chosen, originals, lines)
    except KeyboardInterrupt:
        print("\ninterrupted; the copy is restored")
        return 130
    finally:
        sync_copy(part.copy)


def check(part, chosen, originals, lines):
    mutants = part.mutants
    os.makedirs(WORK, exist_ok=True)
    sync_copy(part.copy)
    if not part.configure():
        print("configure failed")
        return 2
    if not part.baseline():
        return 2

    killed, survived, invalid = [], [], []
    for step, index in enumerate(chosen, 1):
        path, original, replacement = mutants[index][:3]
        target = os.path.join(part.copy, path)
        try:
            write(target, originals[path].replace(original, replacement, 1))
            outcome = part.run(path)
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
            verdict = outcome
        print("[%d/%d] %-13s %s" % (step, len(chosen), verdict, describe(mutants, index, lines[index])), flush=True)

    print()
    print("survived:" if survived else "survived: none")
    unexplained = 0
    for index in survived:
        print("  " + describe(mutants, index, lines[index]))
        if len(mutants[index]) > 3:
            print("      equivalent: " + mutants[index][3])
        else:
            unexplained += 1
    if invalid:
        print("invalid (do not compile; mend the table):")
        for index in invalid:
            print("  " + describe(mutants, index, lines[index]))
    print("mutants: %d killed, %d survived of %d" % (len(killed), len(survived), len(chosen)))
    # Known equivalent mutants may survive; any other survivor wants a test.
    return 0 if not unexplained and not invalid else 1


if __name__ == "__main__":
    sys.exit(main())
