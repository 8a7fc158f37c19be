// The application object: runs the main dialog and ends with it.
#pragma once

#include "framework/Framework.h"

class CMainApp : public CWinApp
{
public:
    CMainApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
