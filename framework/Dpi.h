// The display scale of a window, on every Windows version: per monitor where
// the system knows it (Windows 10), else the system's one scale.
#pragma once

#include <windows.h>

// The DPI the window is shown at.
int AfxGetWindowDpi(HWND hWnd);
// The system's DPI, the one scale of older versions.
int AfxGetSystemDpi();
// A system metric at a DPI: the system's own value where it has one for
// each DPI, else the one-scale value scaled from the system's DPI.
int AfxGetSystemMetricsForDpi(int nIndex, int nDpi);
