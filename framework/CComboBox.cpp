#include "CComboBox.h"

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    int nLen = GetLBTextLen(nIndex);
    if (nLen == CB_ERR)
    {
        rString.Empty();
        return;
    }
    char* p = rString.GetBuffer(nLen);
    if (!p)
        return;
    int nGot =
        static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(p)));
    rString.ReleaseBuffer(nGot == CB_ERR ? 0 : nGot);
}
