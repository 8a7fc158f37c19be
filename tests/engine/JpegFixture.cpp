#include "JpegFixture.h"
#include "Framework.h"

#include <cstdio>

namespace
{
void Put16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::string ScanAndEnd()
{
    // SOS header for one component, a few bytes of "image data", EOI.
    static const unsigned char tail[] = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F,
                                         0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0xD9};
    return std::string(reinterpret_cast<const char*>(tail), sizeof(tail));
}

bool GetVariable(const char* name, std::string& value)
{
    char buffer[32768];
    DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer))
        return false;
    value.assign(buffer, length);
    return true;
}
} // namespace

std::string MakeExifJpeg(const std::string& dateTimeOriginal)
{
    // TIFF structure after "Exif\0\0": header, IFD0 at 8 with the EXIF link
    // to 26, the EXIF IFD at 26 with DateTimeOriginal stored at 44.
    std::string tiff = "II";
    Put16(tiff, 42);
    Put32(tiff, 8);
    Put16(tiff, 1);
    Put16(tiff, 0x8769);
    Put16(tiff, 4);
    Put32(tiff, 1);
    Put32(tiff, 26);
    Put32(tiff, 0);
    Put16(tiff, 1);
    Put16(tiff, 0x9003);
    Put16(tiff, 2);
    Put32(tiff, 20);
    Put32(tiff, 44);
    Put32(tiff, 0);
    std::string value = dateTimeOriginal.substr(0, 20);
    value.resize(20, '\0');
    tiff += value;

    std::string block = std::string("Exif\0\0", 6) + tiff;
    unsigned length = static_cast<unsigned>(block.size() + 2);
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    jpeg += static_cast<char>(length >> 8);
    jpeg += static_cast<char>(length & 0xFF);
    jpeg += block;
    jpeg += ScanAndEnd();
    return jpeg;
}

std::string MakePlainJpeg()
{
    // SOI and a comment section, then the scan.
    std::string jpeg = "\xFF\xD8\xFF\xFE";
    jpeg += std::string("\x00\x07", 2) + "hello";
    jpeg += ScanAndEnd();
    return jpeg;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

FILETIME LocalFileTime(int year, int month, int day, int hour, int minute, int second)
{
    FILETIME time = {};
    CTime(year, month, day, hour, minute, second, -1).GetAsFileTime(time);
    return time;
}

bool SetLastWriteTime(const std::string& path, const FILETIME& time)
{
    HANDLE file = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
    return ok != FALSE;
}

bool GetLastWriteTime(const std::string& path, FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = data.ftLastWriteTime;
    return true;
}

std::string LocalText(const FILETIME& time)
{
    struct tm fields;
    if (!CTime(time).GetLocalTm(&fields))
        return "invalid";
    char text[32];
    std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d", fields.tm_year + 1900,
                  fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return text;
}

ScratchFolder::ScratchFolder()
{
    static int s_counter = 0;
    char base[MAX_PATH + 1];
    DWORD length = ::GetTempPathA(sizeof(base), base);
    std::string root(base, length);
    for (;;)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "engine-test-%lu-%d", ::GetCurrentProcessId(), ++s_counter);
        m_path = root + name;
        if (::CreateDirectoryA(m_path.c_str(), nullptr))
            break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_path);
}

bool RemoveTree(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return ::DeleteFileA(path.c_str()) || ::RemoveDirectoryA(path.c_str());
    }
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::string name = data.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

TempFolderRedirect::TempFolderRedirect(const std::string& folder)
{
    m_hadTmp = GetVariable("TMP", m_oldTmp);
    m_hadTemp = GetVariable("TEMP", m_oldTemp);
    ::SetEnvironmentVariableA("TMP", folder.c_str());
    ::SetEnvironmentVariableA("TEMP", folder.c_str());
}

TempFolderRedirect::~TempFolderRedirect()
{
    ::SetEnvironmentVariableA("TMP", m_hadTmp ? m_oldTmp.c_str() : nullptr);
    ::SetEnvironmentVariableA("TEMP", m_hadTemp ? m_oldTemp.c_str() : nullptr);
}
