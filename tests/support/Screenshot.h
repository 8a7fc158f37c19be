// The window's client area as it is on screen, saved as a 24-bit BMP file.
#pragma once

#include <windows.h>

bool SaveWindowBitmap(HWND hWnd, const char* path);
