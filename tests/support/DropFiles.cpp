#include "tests/support/DropFiles.h"

#include <shlobj.h>

#include <cstring>

HDROP BuildDropFiles(const std::vector<std::string>& paths)
{
    // Each path with its zero, then the list's closing zero; an empty list is
    // still two zeros, or a reader would run past its end.
    SIZE_T cbList = 1;
    for (const std::string& path : paths)
        cbList += path.size() + 1;
    if (paths.empty())
        cbList = 2;

    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + cbList);
    if (hGlobal == nullptr)
        return nullptr;
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hGlobal));
    if (pDrop == nullptr)
    {
        GlobalFree(hGlobal);
        return nullptr;
    }
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fNC = FALSE;
    pDrop->fWide = FALSE;
    char* pList = reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES);
    for (const std::string& path : paths)
    {
        memcpy(pList, path.c_str(), path.size() + 1);
        pList += path.size() + 1;
    }
    *pList = '\0';
    GlobalUnlock(hGlobal);
    return static_cast<HDROP>(hGlobal);
}
