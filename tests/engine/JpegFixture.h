// Small JPEG files with an EXIF DateTimeOriginal, built byte by byte, and the
// file helpers the engine tests share.
#pragma once

#include <windows.h>

#include <string>

// SOI, an APP1 EXIF block (little-endian, IFD0 -> EXIF IFD -> 0x9003), SOS,
// a little scan data and EOI. The date is stored in a 20-byte value: longer
// texts are cut by the reader, an empty one reads as a missing date.
std::string MakeExifJpeg(const std::string& dateTimeOriginal);
// A JPEG stream without any APP1 section.
std::string MakePlainJpeg();

bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// FILETIME of a local calendar time, through the framework's CTime.
FILETIME LocalFileTime(int year, int month, int day, int hour, int minute, int second);
bool SetLastWriteTime(const std::string& path, const FILETIME& time);
bool GetLastWriteTime(const std::string& path, FILETIME& time);
// "YYYY-MM-DD hh:mm:ss" of a FILETIME in local time (or "invalid").
std::string LocalText(const FILETIME& time);

// A fresh folder under the system's temporary folder, removed with its content.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

bool RemoveTree(const std::string& path);

// Points TMP and TEMP (and so the program's temporary files) at a folder for
// the lifetime of the object.
class TempFolderRedirect
{
public:
    explicit TempFolderRedirect(const std::string& folder);
    ~TempFolderRedirect();
    TempFolderRedirect(const TempFolderRedirect&) = delete;
    TempFolderRedirect& operator=(const TempFolderRedirect&) = delete;

private:
    std::string m_oldTmp, m_oldTemp;
    bool m_hadTmp, m_hadTemp;
};
