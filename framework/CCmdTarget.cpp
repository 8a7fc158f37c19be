#include "framework/CCmdTarget.h"

#include "framework/CWinApp.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{AfxEntryEnd, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* pMap, UINT nKind, UINT nMessage, UINT nCode,
                                              UINT nID)
{
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nKind != AfxEntryEnd; ++e)
        {
            if (e->nKind != nKind)
                continue;
            if (nKind == AfxEntryMessage && e->nMessage == nMessage)
                return e;
            if (nKind == AfxEntryCommand && e->nCode == nCode && e->nID == nID)
                return e;
            if (nKind == AfxEntryReflect && e->nCode == nCode)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), AfxEntryCommand, 0, nCode, nID);
    if (!e)
        return FALSE;
    e->pfn(this, MAKEWPARAM(nID, nCode), 0);
    return TRUE;
}

void CCmdTarget::BeginWaitCursor()
{
    AfxDoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    AfxDoWaitCursor(-1);
}
