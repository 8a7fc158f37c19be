// A message box with the application's name as its caption, owned by the
// active window of the program.
#pragma once

#include <windows.h>

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The platform's box behind AfxMessageBox: MessageBoxA unless a test puts a recorder here.
using MessageBoxFunc = decltype(&::MessageBoxA);
extern MessageBoxFunc g_pfnMessageBox;
