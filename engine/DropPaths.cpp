#include "engine/DropPaths.h"

std::vector<CString> ReadDropPaths(HDROP hDrop)
{
    std::vector<CString> paths;
    UINT nItems = AfxDragQueryFile(hDrop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(nItems);
    for (UINT i = 0; i < nItems; ++i)
    {
        // The real length first: a path longer than MAX_PATH is never cut short.
        UINT nLength = AfxDragQueryFile(hDrop, i, nullptr, 0);
        CString path;
        char* buffer = path.GetBuffer(static_cast<int>(nLength));
        if (!buffer)
            continue;
        UINT nCopied = AfxDragQueryFile(hDrop, i, buffer, nLength + 1);
        path.ReleaseBuffer(static_cast<int>(nCopied));
        if (!path.IsEmpty())
            paths.push_back(path);
    }
    return paths;
}
