// A tooltip control owned by a window.
#pragma once

#include "framework/CWnd.h"

#include <commctrl.h>

class CToolTipCtrl : public CWnd
{
public:
    // A pop-up tooltip window owned by pParentWnd; dwStyle adds TTS_ styles.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    int SetMaxTipWidth(int iWidth)
    {
        return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, static_cast<LPARAM>(iWidth)));
    }
    // dwDuration: TTDT_INITIAL, TTDT_AUTOPOP, TTDT_RESHOW or TTDT_AUTOMATIC.
    void SetDelayTime(DWORD dwDuration, int iTime)
    {
        SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
    }
};
