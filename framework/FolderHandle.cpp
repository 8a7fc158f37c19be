#include "framework/FolderHandle.h"

#include <winternl.h>

#include "framework/FolderIdentity.h"
#include "framework/LongPath.h"

#include <cstring>

namespace
{
decltype(&NtCreateFile) NtCreateFileCall()
{
    static const auto create = AfxNtdllFunction<decltype(&NtCreateFile)>("NtCreateFile");
    return create;
}
} // namespace

bool CFolderHandle::Open(const char* pszFolder)
{
    m_folder.Close();
    m_strPath = pszFolder;
    if (!NtCreateFileCall())
        return false;
    // Traversal is all a name within the folder needs.
    m_folder.Attach(AfxOpenFolder(pszFolder, FILE_TRAVERSE | SYNCHRONIZE));
    return m_folder.IsValid();
}

HANDLE CFolderHandle::OpenEntry(const char* pszPath, DWORD dwAccess, DWORD dwShareMode) const
{
    const int nFolder = m_strPath.GetLength();
    if (!IsOpen() || nFolder == 0 || std::strncmp(pszPath, m_strPath, static_cast<size_t>(nFolder)) != 0)
        return INVALID_HANDLE_VALUE;
    // A drive root ends in its separator already.
    const char* pszName = pszPath + nFolder;
    if (!AfxIsPathSeparator(m_strPath[nFolder - 1]))
    {
        if (!AfxIsPathSeparator(*pszName))
            return INVALID_HANDLE_VALUE;
        ++pszName;
    }
    if (*pszName == '\0' || std::strpbrk(pszName, "\\/") != nullptr)
        return INVALID_HANDLE_VALUE;

    // A name has at most 255 characters; a longer text is no name of this folder.
    wchar_t szName[MAX_PATH];
    const int nChars = ::MultiByteToWideChar(CP_ACP, 0, pszName, -1, szName, MAX_PATH);
    if (nChars <= 1)
        return INVALID_HANDLE_VALUE;
    UNICODE_STRING name;
    name.Buffer = szName;
    name.Length = static_cast<USHORT>((nChars - 1) * sizeof(wchar_t));
    name.MaximumLength = static_cast<USHORT>(nChars * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, m_folder.Get(), nullptr);
    IO_STATUS_BLOCK io;
    HANDLE hFile = nullptr;
    // The rights and options that CreateFile adds for OPEN_EXISTING without
    // overlapped I/O or backup semantics.
    const NTSTATUS status = NtCreateFileCall()(
        &hFile, dwAccess | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes, &io, nullptr, 0, dwShareMode,
        FILE_OPEN, FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, nullptr, 0);
    return status >= 0 && hFile ? hFile : INVALID_HANDLE_VALUE;
}
