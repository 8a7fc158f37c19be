// A message box with the application's name as its caption, owned by the
// active window of the program.
#pragma once

#include <windows.h>

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
