// Helpers of the processing log that stand on their own.
#pragma once

#include "framework/Framework.h"

// The command that shows the log: notepad.exe and the path in double quotes.
CString ShowLogCommandLine(const char* logPath);

// Starts the viewer of the log; CreateProcessA unless a test puts a stand-in here.
using StartProcessFunc = decltype(&::CreateProcessA);
extern StartProcessFunc g_pfnStartProcess;

// The local time now, for a line's stamp: exact to the second, the
// milliseconds left as they were when the second began.
void GetStampTime(SYSTEMTIME& now);
