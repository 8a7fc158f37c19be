// What DoDataExchange receives: the dialog and the direction of the exchange.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
    {
    }

    BOOL m_bSaveAndValidate; // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Binds the dialog's control nIDC to rControl by subclassing it, once; a
// missing control leaves rControl unattached.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
