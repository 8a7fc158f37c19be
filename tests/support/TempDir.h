// A fresh folder under the temporary folder for one test, removed with all its
// contents (read-only and hidden entries too) when the object goes.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CString.h"

class TempDir
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    bool IsValid() const { return !m_strPath.IsEmpty(); }
    const CString& Path() const { return m_strPath; }
    CString File(const char* pszName) const { return m_strPath + "\\" + pszName; }
    std::string operator/(const std::string& name) const { return std::string(m_strPath) + "\\" + name; }

    // Creates (or replaces) a file with exactly these bytes; returns its path.
    CString Write(const char* pszName, const std::string& bytes) const;
    CString MakeDir(const char* pszName) const;

    // The file's bytes as they are on disk.
    static std::string Read(const char* pszPath);

private:
    CString m_strPath;
};

// Whether a file or folder of that name is there.
bool Exists(const char* path);
bool Exists(const std::string& path);

// Deletes a file, or a folder with everything in it; links to folders are
// removed without following them.
bool RemoveTree(const std::string& path);

// Points TMP and TEMP (and so the program's temporary files) at a folder for
// the lifetime of the object.
class TempFolderRedirect
{
public:
    explicit TempFolderRedirect(const char* pszFolder);
    ~TempFolderRedirect();
    TempFolderRedirect(const TempFolderRedirect&) = delete;
    TempFolderRedirect& operator=(const TempFolderRedirect&) = delete;

private:
    std::string m_oldTmp, m_oldTemp;
    bool m_hadTmp, m_hadTemp;
};
