// The about box: the icon, the version line and the copyright notice.
#pragma once

#include "framework/Framework.h"
#include "resources/resource.h"

class CAboutDlg : public CDialog
{
public:
    CAboutDlg();

    enum
    {
        IDD = IDD_ABOUTBOX
    };
};
