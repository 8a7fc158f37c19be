#include "tests/support/TempDir.h"

#include "tests/support/Bytes.h"

namespace
{
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

TempDir::TempDir()
{
    char szTemp[MAX_PATH];
    DWORD dwLength = GetTempPathA(MAX_PATH, szTemp);
    CString strBase = (dwLength > 0 && dwLength < MAX_PATH) ? CString(szTemp) : CString(".\\");
    static unsigned s_nCounter = 0;
    for (int nAttempt = 0; nAttempt < 1000; ++nAttempt)
    {
        CString strPath;
        strPath.Format("%schronoshift-test-%lu-%u", static_cast<const char*>(strBase), GetCurrentProcessId(),
                       ++s_nCounter);
        if (CreateDirectoryA(strPath, nullptr))
        {
            m_strPath = strPath;
            break;
        }
    }
}

TempDir::~TempDir()
{
    if (!m_strPath.IsEmpty())
        RemoveTree(static_cast<const char*>(m_strPath));
}

CString TempDir::Write(const char* pszName, const std::string& bytes) const
{
    CString strPath = File(pszName);
    WriteBytes(static_cast<const char*>(strPath), bytes);
    return strPath;
}

CString TempDir::MakeDir(const char* pszName) const
{
    CString strPath = File(pszName);
    CreateDirectoryA(strPath, nullptr);
    return strPath;
}

std::string TempDir::Read(const char* pszPath)
{
    return ReadBytes(pszPath);
}

bool Exists(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool Exists(const std::string& path)
{
    return Exists(path.c_str());
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
    // A read-only folder refuses to go.
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

TempFolderRedirect::TempFolderRedirect(const char* pszFolder)
{
    m_hadTmp = GetVariable("TMP", m_oldTmp);
    m_hadTemp = GetVariable("TEMP", m_oldTemp);
    ::SetEnvironmentVariableA("TMP", pszFolder);
    ::SetEnvironmentVariableA("TEMP", pszFolder);
}

TempFolderRedirect::~TempFolderRedirect()
{
    ::SetEnvironmentVariableA("TMP", m_hadTmp ? m_oldTmp.c_str() : nullptr);
    ::SetEnvironmentVariableA("TEMP", m_hadTemp ? m_oldTemp.c_str() : nullptr);
}
