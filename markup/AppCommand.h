// One application command: a link "app:<name>" sends `message` to `hWnd`.
#pragma once

#include <windows.h>

struct AppCommand
{
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    const char* name; // not owned: the table keeps only the pointer
};
