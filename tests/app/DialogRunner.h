// Runs the real main dialog modally inside the test process and drives it
// from a thread timer: the dialog's own modal loop (and any nested one, such
// as the about box's) dispatches the ticks, and each tick runs the next step.
#pragma once

#include "MainDlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace dlgtest
{
const int kKeepOnTopBox = IDC_KEEP_ON_TOP;
const int kProcessSubfoldersBox = IDC_PROCESS_SUBFOLDERS;
const int kDateList = IDC_DATE_TO_CHANGE;
const int kStatusLabel = IDC_STATUS;

// One request to move the dialog in the z-order (WM_WINDOWPOSCHANGING).
struct ZOrderRequest
{
    HWND insertAfter;
    UINT flags;
    bool visible;
};

// The main dialog with its protected state opened up for the tests.
class TestMainDlg : public CMainDlg
{
public:
    // The dialog as it stands when initialisation ends, before it is shown.
    struct InitState
    {
        bool captured = false;
        bool visible = false;
        bool topmost = false;
        bool keepOnTopChecked = false;
        bool subfoldersChecked = false;
        int subfoldersOption = -1;
        int dateSelection = -2;
        int dateItems = -1;
        std::string dateItemTexts[3];
        std::string statusText = "(unread)";
        int statusLinks = -1;
        std::string logPath;
        // Every z-order request made during initialisation, in order.
        std::vector<ZOrderRequest> zOrderRequests;
    };

    InitState init;
    // Every z-order request of the run, in order.
    std::vector<ZOrderRequest> zOrderRequests;

    using CMainDlg::SetBusy;
    bool IsBusy() const { return m_bBusy; }
    int SubfoldersOption() const { return m_bProcessSubfolders; }
    CMarkupStatic& StatusLabel() { return m_lblStatus; }

protected:
    BOOL OnInitDialog() override;
};

// One step of a script; returns false to be called again on the next tick
// (for waiting on something, such as the about box to open).
using Step = std::function<bool(TestMainDlg&)>;

// Runs the dialog through the steps; the last step is expected to end it.
// A watchdog ends a dialog that is still open after the time limit, and the
// test then fails. Returns the DoModal result.
INT_PTR RunDialog(TestMainDlg& dlg, const std::vector<Step>& steps, DWORD timeLimitMs = 15000);

// Steps and probes shared by the dialog tests.
bool IsTopmost(HWND hwnd);
// In the topmost band as far as this platform allows: initialisation asked
// for it once, while hidden, and for nothing else, and the window is really
// there where the platform honours it.
::testing::AssertionResult TopmostAtStart(const TestMainDlg::InitState& init);
// The request moves the window into the band (HWND_TOPMOST or HWND_NOTOPMOST)
// and keeps its place and size, redrawing the frame.
bool AskedForBand(const ZOrderRequest& request, HWND band);
// The requests in order, as "topmost hidden, notopmost shown": each band
// request, and any other request by its insert-after window and flags. The
// platform's own placing of a window it shows is left out.
std::string DescribeZOrder(const std::vector<ZOrderRequest>& requests);
// Whether this platform puts a window that owns a popup (the dialog owns its
// tooltip) into the topmost band. Wine 8 does not: it places the window after
// its topmost popup instead, which leaves WS_EX_TOPMOST clear.
bool PlatformRaisesOwnersOfPopups();
bool IsChecked(HWND hDlg, int id);
// Posts a key press as the keyboard would deliver it to the focused control.
void PressKey(HWND hDlg, UINT vk);
void PressAltF4(HWND hDlg);
// A mouse click on a button, delivered as the button's own click.
void Click(HWND hDlg, int id);
// The first visible top-level window of this thread with the given caption,
// other than the main dialog.
HWND FindThreadWindow(const char* caption, HWND except);
std::string WindowText(HWND hwnd);
} // namespace dlgtest
