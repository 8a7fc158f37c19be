// The about box: the icon, the version line and the copyright notice.
#pragma once

#include "Framework.h"
#include "resource.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

    enum
    {
        IDD = IDD_ABOUTBOX
    };
};
