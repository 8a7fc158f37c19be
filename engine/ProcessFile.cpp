// The date change of one file: EXIF DateTimeOriginal into the file's times.
#include "MainDlg.h"
#include "ExifDate.h"
#include "ExifReader.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

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

// Opens for binary reading without denying anything to others (delete included).
// Write access is asked for first, so that the times can later be set through
// the same handle instead of a second open; where it is refused (a read-only
// file, one held by someone who denies write sharing) the file is read alone,
// and setting its times goes by name and fails there as it always did.
FILE* OpenForReading(const char* path, bool& bWritable)
{
    const DWORD dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE handle = AfxCreateFile(path, GENERIC_READ | GENERIC_WRITE, dwShare, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    bWritable = handle != INVALID_HANDLE_VALUE;
    if (!bWritable)
        handle = AfxCreateFile(path, GENERIC_READ, dwShare, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd == -1)
    {
        ::CloseHandle(handle);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd);
    return stream;
}

// Keeps the picture open until its times are set.
class CStreamCloser
{
public:
    explicit CStreamCloser(FILE* stream) : m_stream(stream) {}
    CStreamCloser(const CStreamCloser&) = delete;
    CStreamCloser& operator=(const CStreamCloser&) = delete;
    ~CStreamCloser() { fclose(m_stream); }

private:
    FILE* m_stream;
};

bool SameMoment(const CTime& time, const ExifDateFields& exif)
{
    struct tm local;
    if (!time.GetLocalTm(&local))
        return false;
    return local.tm_year + 1900 == exif.year && local.tm_mon + 1 == exif.month && local.tm_mday == exif.day &&
           local.tm_hour == exif.hour && local.tm_min == exif.minute && local.tm_sec == exif.second;
}
} // namespace

void CMainDlg::ProcessFile(CString strPath, BOOL bChangeModified, BOOL bChangeCreated, int& nJpgFiles,
                           int& nChanged)
{
    // The log shows the path in lower case. The file itself, and so its
    // journal record, keeps the name as found: on a case-sensitive file
    // system the lower-case form would name another file, or none.
    CString strLower = strPath;
    strLower.MakeLower();
    if (IsJpegName(strLower))
    {
        ++nJpgFiles;
        WriteLog(true, "   File %6d ", nJpgFiles);
        CString strOutcome = ChangeFileDate(strPath, bChangeModified, bChangeCreated, nChanged);
        WriteLog(false, "%s", static_cast<const char*>(strOutcome));
        WriteLog(false, "\t File name \"%s\"\n", static_cast<const char*>(strLower));
    }
    ShowStatus(nJpgFiles, nChanged, false);
}

CString CMainDlg::ChangeFileDate(const CString& strPath, BOOL bChangeModified, BOOL bChangeCreated,
                                 int& nChanged)
{
    CString strOutcome;
    bool bWritable = false;
    FILE* stream = OpenForReading(strPath, bWritable);
    if (!stream)
        return "couldn't be opened\t\t\t\t\t\t";
    CStreamCloser closer(stream);
    CFile file(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
    file.SetFilePath(strPath);

    ExifInfo info = {};
    CExifReader reader(&info);
    reader.ReadSections(stream);
    if (!info.isExif)
        return "doesn't have EXIF tag\t\t\t\t\t\t";

    CString strDate(info.dateTimeOriginal,
                    static_cast<int>(strnlen(info.dateTimeOriginal, sizeof(info.dateTimeOriginal))));
    ExifDateFields exif;
    switch (ParseExifDate(strDate, exif))
    {
    case ExifDateCheck::EmptyOrUndefined:
        strOutcome.Format("- EXIF date tag is empty or undefined: \"%s\"\t",
                          static_cast<const char*>(strDate));
        if (strDate.IsEmpty())
            strOutcome += "\t\t";
        return strOutcome;
    case ExifDateCheck::Invalid:
        strOutcome.Format("- EXIF date tag is invalid: \"%s\"\t\t", static_cast<const char*>(strDate));
        return strOutcome;
    case ExifDateCheck::Valid:
        break;
    }
    CTime timeExif(exif.year, exif.month, exif.day, exif.hour, exif.minute, exif.second, -1);
    if (!timeExif.IsValid())
    {
        // Beyond what a file time can hold: as good as a wrong date.
        strOutcome.Format("- EXIF date tag is invalid: \"%s\"\t\t", static_cast<const char*>(strDate));
        return strOutcome;
    }

    CFileStatus status;
    // Times that cannot be broken down could not be journalled, so the file
    // could not be put back: treat them like unreadable ones.
    if (!file.GetStatus(status) || !status.m_ctime.IsValid() || !status.m_mtime.IsValid())
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
    if (status.m_attribute & 0x01)
        return "not changed. File is READONLY\t\t\t";
    try
    {
        if (bWritable)
            file.SetStatus(status);
        else
            CFile::SetStatus(strPath, status);
    }
    catch (CFileException* e)
    {
        // The code travels with the exception: unwinding may reset the last error.
        DWORD dwError = static_cast<DWORD>(e->m_lOsError);
        e->Delete();
        strOutcome.Format("not changed. Windows error code: %08x\t\t\t", static_cast<unsigned>(dwError));
        return strOutcome;
    }
    catch (CException* e)
    {
        DWORD dwError = ::GetLastError();
        e->Delete();
        strOutcome.Format("not changed. Windows error code: %08x\t\t\t", static_cast<unsigned>(dwError));
        return strOutcome;
    }
    ++nChanged;
    strOutcome.Format("CHANGED file date. EXIF date tag \"%s\"\t\t", static_cast<const char*>(strDate));
    return strOutcome;
}
