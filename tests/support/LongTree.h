// Folders deeper than MAX_PATH for the tests, named in Latin, Cyrillic, CJK and
// emoji, and the file helpers that reach into them. Built and removed with the
// wide calls on the "\\?\" form directly, so the tests never rely on the
// framework's own long-path handling that they check. Paths are UTF-8 (the
// program's code page) and absolute.
#pragma once

#include <windows.h>

#include <string>

namespace longtree
{
inline std::wstring Wide(const std::string& text)
{
    int nChars = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nChars), L'\0');
    if (nChars > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], nChars);
    return wide;
}

inline std::string Utf8(const std::wstring& wide)
{
    int nBytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string text(static_cast<size_t>(nBytes), '\0');
    if (nBytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], nBytes,
                            nullptr, nullptr);
    return text;
}

// The length Windows counts: UTF-16 units.
inline size_t Chars(const std::string& path)
{
    return Wide(path).size();
}

inline std::wstring Prefixed(const std::string& path)
{
    return L"\\\\?\\" + Wide(path);
}

inline bool MakeFolder(const std::string& path)
{
    return CreateDirectoryW(Prefixed(path).c_str(), nullptr) != FALSE;
}

inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE hFile = CreateFileW(Prefixed(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
    return bOk && dwWritten == bytes.size();
}

inline std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    HANDLE hFile = CreateFileW(Prefixed(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(hFile, buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0)
        bytes.append(buffer, dwRead);
    CloseHandle(hFile);
    return bytes;
}

inline DWORD Attributes(const std::string& path)
{
    return GetFileAttributesW(Prefixed(path).c_str());
}

inline bool SetAttributes(const std::string& path, DWORD dwAttributes)
{
    return SetFileAttributesW(Prefixed(path).c_str(), dwAttributes) != FALSE;
}

inline bool GetWritten(const std::string& path, FILETIME& written)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Prefixed(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    written = data.ftLastWriteTime;
    return true;
}

inline bool SetWritten(const std::string& path, const FILETIME& written)
{
    HANDLE hFile =
        CreateFileW(Prefixed(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    BOOL bOk = SetFileTime(hFile, nullptr, nullptr, &written);
    CloseHandle(hFile);
    return bOk != FALSE;
}

inline void RemoveTree(const std::string& path)
{
    const std::wstring prefixed = Prefixed(path);
    const DWORD dwAttributes = GetFileAttributesW(prefixed.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(prefixed.c_str(), dwAttributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        DeleteFileW(prefixed.c_str());
        return;
    }
    if (!(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    {
        WIN32_FIND_DATAW data;
        HANDLE hFind = FindFirstFileW((prefixed + L"\\*").c_str(), &data);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            do
            {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..")
                    RemoveTree(path + "\\" + Utf8(name));
            } while (FindNextFileW(hFind, &data));
            FindClose(hFind);
        }
    }
    RemoveDirectoryW(prefixed.c_str());
}

// A folder of the tree's own under `base`, removed with all it holds.
class LongTree
{
public:
    explicit LongTree(const std::string& base) : m_root(base + "\\deep")
    {
        RemoveTree(m_root);
        MakeFolder(m_root);
    }
    ~LongTree() { RemoveTree(m_root); }
    LongTree(const LongTree&) = delete;
    LongTree& operator=(const LongTree&) = delete;

    const std::string& Root() const { return m_root; }

    // Makes folders down from the root until the deepest one's path has
    // exactly nChars characters, and returns that path (empty when the root
    // is already too long). Every name holds all four scripts but the last,
    // which is padded with Latin letters; all are in lower case, so that the
    // log's lower-case form of a path is known. Each call takes a way of its
    // own below the root.
    std::string Folder(size_t nChars)
    {
        std::string path = m_root + "\\way " + std::to_string(++m_nWays);
        if (!MakeFolder(path))
            return std::string();
        for (int nLevel = 0;; ++nLevel)
        {
            const std::string name = Name(nLevel);
            if (Chars(path) + 1 + Chars(name) + 1 + 10 > nChars)
                break;
            path += "\\" + name;
            if (!MakeFolder(path))
                return std::string();
        }
        if (Chars(path) + 2 > nChars)
            return std::string();
        path += "\\" + std::string(nChars - Chars(path) - 1, 'f');
        return MakeFolder(path) ? path : std::string();
    }

private:
    static std::string Name(int nLevel)
    {
        // "élan", "фото", "写真" and a camera, shifted by one at each level.
        static const char* const kWords[] = {"\xC3\xA9lan", "\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE",
                                             "\xE5\x86\x99\xE7\x9C\x9F", "\xF0\x9F\x93\xB7"};
        std::string name;
        for (int i = 0; i < 12; ++i)
            name += std::string(i ? " " : "") + kWords[(nLevel + i) % 4];
        return name;
    }

    std::string m_root;
    int m_nWays = 0;
};
} // namespace longtree
