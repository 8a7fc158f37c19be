// The program's own main window with nothing of the program behind it: the
// main dialog template from the program's resources, under the program's
// manifest, accepting drops, and closed from its own loop once it has been
// shown and painted, as the driver starts its script. What an empty drop
// spends beyond this is the program's own start-up; what this spends beyond
// the minimal dialog is the platform's price of the window's controls.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "resources/resource.h"

namespace
{
const UINT_PTR kCloseTimer = 1;

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg)
    {
    case WM_INITDIALOG:
        DragAcceptFiles(hDlg, TRUE);
        // A timer's message comes after the first paint, as the driver's does.
        SetTimer(hDlg, kCloseTimer, 10, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != kCloseTimer)
            return FALSE;
        KillTimer(hDlg, kCloseTimer);
        PostMessageW(hDlg, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;
    }
    return FALSE;
}
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    return static_cast<int>(DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc, 0));
}
