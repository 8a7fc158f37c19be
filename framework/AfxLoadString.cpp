#include "framework/AfxLoadString.h"

#include "framework/CWinApp.h"

BOOL AfxLoadString(UINT nID, CString& rString)
{
    // LoadStringA gives no length up front: grow until the text fits.
    for (int nSize = 256; nSize <= 65536; nSize *= 2)
    {
        char* p = rString.GetBuffer(nSize);
        if (!p)
            break;
        int nLen = ::LoadStringA(AfxGetResourceHandle(), nID, p, nSize);
        if (nLen <= 0)
            break;
        if (nLen < nSize - 1)
        {
            rString.ReleaseBuffer(nLen);
            return TRUE;
        }
    }
    rString.ReleaseBuffer(0);
    return FALSE;
}
