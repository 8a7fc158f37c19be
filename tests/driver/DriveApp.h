// The driver's application object: reads the command line, runs the driven
// main dialog once, and ends with the run's result as exit code.
#pragma once

#include "framework/Framework.h"

class CDriveApp : public CWinApp
{
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    int m_nExitCode = 1;
};
