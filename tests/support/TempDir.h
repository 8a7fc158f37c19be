// A fresh folder under the temporary folder for one test, removed with all its
// contents (read-only and hidden entries too) when the object goes.
#pragma once

#include <windows.h>

#include <string>

#include "CString.h"

class TempDir
{
public:
    TempDir()
    {
        char szTemp[MAX_PATH];
        DWORD dwLength = GetTempPathA(MAX_PATH, szTemp);
        CString strBase = (dwLength > 0 && dwLength < MAX_PATH) ? CString(szTemp) : CString(".\\");
        static unsigned s_nCounter = 0;
        for (int nAttempt = 0; nAttempt < 1000; ++nAttempt)
        {
            CString strPath;
            strPath.Format("%schronoshift-test-%lu-%u", static_cast<const char*>(strBase),
                           GetCurrentProcessId(), ++s_nCounter);
            if (CreateDirectoryA(strPath, nullptr))
            {
                m_strPath = strPath;
                break;
            }
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir()
    {
        if (!m_strPath.IsEmpty())
            RemoveTree(m_strPath);
    }

    bool IsValid() const { return !m_strPath.IsEmpty(); }
    const CString& Path() const { return m_strPath; }
    CString File(const char* pszName) const { return m_strPath + "\\" + pszName; }

    // Creates (or replaces) a file with exactly these bytes; returns its path.
    CString Write(const char* pszName, const std::string& bytes) const
    {
        CString strPath = File(pszName);
        HANDLE hFile =
            CreateFileA(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hFile != INVALID_HANDLE_VALUE)
        {
            DWORD dwWritten = 0;
            WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
            CloseHandle(hFile);
        }
        return strPath;
    }

    CString MakeDir(const char* pszName) const
    {
        CString strPath = File(pszName);
        CreateDirectoryA(strPath, nullptr);
        return strPath;
    }

    // The file's bytes as they are on disk.
    static std::string Read(const char* pszPath)
    {
        std::string bytes;
        HANDLE hFile =
            CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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

private:
    static void RemoveTree(const CString& strFolder)
    {
        WIN32_FIND_DATAA data;
        HANDLE hFind = FindFirstFileA(strFolder + "\\*", &data);
        if (hFind != INVALID_HANDLE_VALUE)
        {
            do
            {
                CString strName(data.cFileName);
                if (strName == "." || strName == "..")
                    continue;
                CString strPath = strFolder + "\\" + strName;
                SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(strPath);
                else
                    DeleteFileA(strPath);
            } while (FindNextFileA(hFind, &data));
            FindClose(hFind);
        }
        RemoveDirectoryA(strFolder);
    }

    CString m_strPath;
};
