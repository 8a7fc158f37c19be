// The date change of one file: EXIF DateTimeOriginal into the file's times.
#include "app/MainDlg.h"
#include "framework/CHeldFile.h"
#include "engine/PictureSource.h"
#include "engine/ExifDate.h"
#include "engine/ProcessingLog.h"
#include "exif/ExifReader.h"

#include <cstring>

namespace
{
bool EndsWith(const CString& text, const char* suffix)
{
    int length = static_cast<int>(std::strlen(suffix));
    return text.GetLength() >= length &&
           std::strcmp(static_cast<const char*>(text) + text.GetLength() - length, suffix) == 0;
}

bool IsJpegName(const CString& strLowerPath)
{
    return (strLowerPath.GetLength() > 3 && EndsWith(strLowerPath, ".jpg")) ||
           (strLowerPath.GetLength() > 4 && EndsWith(strLowerPath, ".jpeg"));
}

bool SameMoment(const CTime& time, const ExifDateFields& exif)
{
    struct tm local;
    if (!time.GetLocalTm(&local))
        return false;
    return local.tm_year + 1900 == exif.year && local.tm_mon + 1 == exif.month && local.tm_mday == exif.day &&
           local.tm_hour == exif.hour && local.tm_min == exif.minute && local.tm_sec == exif.second;
}
} // namespace

void CMainDlg::ProcessFile(CString strPath, bool bChangeModified, bool bChangeCreated, int& nJpgFiles,
                           int& nChanged, const CFolderHandle* pFolder)
{
    // The log shows the path in lower case. The file itself, and so its
    // journal record, keeps the name as found: on a case-sensitive file
    // system the lower-case form would name another file, or none.
    CString strLower = strPath;
    strLower.MakeLower();
    if (IsJpegName(strLower))
    {
        ++nJpgFiles;
        // One line per picture, stamped with the moment its change began.
        SYSTEMTIME begun;
        GetStampTime(begun);
        CString strOutcome = ChangeFileDate(strPath, bChangeModified, bChangeCreated, nChanged, pFolder);
        WriteFileLine(begun, static_cast<unsigned>(nJpgFiles), strOutcome, strLower);
    }
    ShowProgress(nJpgFiles);
}

CString CMainDlg::ChangeFileDate(const CString& strPath, bool bChangeModified, bool bChangeCreated,
                                 int& nChanged, const CFolderHandle* pFolder)
{
    CString strOutcome;
    // Held open until the times are set, so that they are set through the
    // handle the picture was read with.
    CHeldFile file;
    if (!file.Open(strPath, pFolder))
        return "couldn't be opened\t\t\t\t\t\t";

    ExifInfo info = {};
    CExifReader reader(&info);
    CPictureSource source(file);
    reader.ReadSections(source);
    if (!info.isExif)
        return "doesn't have EXIF tag\t\t\t\t\t\t";

    // The tag's bytes need not end within it. Copied to the stack: a heap
    // string for every picture would cost more than reading the date.
    char szDate[sizeof(info.dateTimeOriginal) + 1];
    const size_t nDate = strnlen(info.dateTimeOriginal, sizeof(info.dateTimeOriginal));
    std::memcpy(szDate, info.dateTimeOriginal, nDate);
    szDate[nDate] = '\0';
    ExifDateFields exif;
    switch (ParseExifDate(szDate, exif))
    {
    case ExifDateCheck::EmptyOrUndefined:
        strOutcome.Format("- EXIF date tag is empty or undefined: \"%s\"\t", szDate);
        if (nDate == 0)
            strOutcome += "\t\t";
        return strOutcome;
    case ExifDateCheck::Invalid:
        strOutcome.Format("- EXIF date tag is invalid: \"%s\"\t\t", szDate);
        return strOutcome;
    case ExifDateCheck::Valid:
        break;
    }
    CTime timeExif(exif.year, exif.month, exif.day, exif.hour, exif.minute, exif.second, -1);
    if (!timeExif.IsValid())
    {
        // Beyond what a file time can hold: as good as a wrong date.
        strOutcome.Format("- EXIF date tag is invalid: \"%s\"\t\t", szDate);
        return strOutcome;
    }

    CFileStatus status;
    // Times that cannot be broken down could not be journalled, so the file
    // could not be put back: treat them like unreadable ones.
    if (!file.GetTimesAndAttributes(status) || !status.m_ctime.IsValid() || !status.m_mtime.IsValid())
        return "couldn't be queried for system date and time\t\t\t\t\t";

    CTime timeCreated = status.m_ctime;
    CTime timeModified = status.m_mtime;
    bool bDiffers = false;
    if (bChangeModified && !SameMoment(status.m_mtime, exif))
    {
        status.m_mtime = timeExif;
        bDiffers = true;
    }
    if (bChangeCreated && !SameMoment(status.m_ctime, exif))
    {
        status.m_ctime = timeExif;
        bDiffers = true;
    }
    if (!bDiffers)
        return "not changed. File date is the same as EXIF date\t\t\t";

    // A change the Undo button could not put back would be lost for good.
    if (!WriteUndoRecord(strPath, timeCreated, timeModified))
        return "not changed. Undo information could not be written\t\t\t";
    if (status.m_attribute & FILE_ATTRIBUTE_READONLY)
        return "not changed. File is READONLY\t\t\t";
    DWORD dwError = 0;
    if (!file.SetStatus(status, dwError))
    {
        strOutcome.Format("not changed. Windows error code: %08x\t\t\t", static_cast<unsigned>(dwError));
        return strOutcome;
    }
    ++nChanged;
    // The outcome of most pictures: put together by hand, not formatted.
    static const char kChanged[] = "CHANGED file date. EXIF date tag \"";
    const size_t nPrefix = sizeof(kChanged) - 1;
    char* pOutcome = strOutcome.GetBufferSetLength(static_cast<int>(nPrefix + nDate + 3));
    if (pOutcome)
    {
        std::memcpy(pOutcome, kChanged, nPrefix);
        std::memcpy(pOutcome + nPrefix, szDate, nDate);
        std::memcpy(pOutcome + nPrefix + nDate, "\"\t\t", 3);
    }
    return strOutcome;
}
