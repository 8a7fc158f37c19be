// Runs the real main dialog modally inside the test process and drives it
// from a thread timer: the dialog's own modal loop (and any nested one, such
// as the about box's) dispatches the ticks, and each tick runs the next step.
#pragma once

#include "tests/support/TestMainDlg.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace dlgtest
{
// One step of a script; returns false to be called again on the next tick
// (for waiting on something, such as the about box to open).
using Step = std::function<bool(CTestMainDlg&)>;

// Runs the dialog through the steps; the last step is expected to end it.
// A watchdog ends a dialog that is still open after the time limit, and the
// test then fails. Returns the DoModal result.
INT_PTR RunDialog(CTestMainDlg& dlg, const std::vector<Step>& steps, DWORD timeLimitMs = 15000);

// Steps and probes shared by the dialog tests.
// In the topmost band as far as this platform allows: initialisation asked
// for it once, while hidden, and for nothing else, and the window is really
// there where the platform honours it.
::testing::AssertionResult TopmostAtStart(const CTestMainDlg::InitState& init);
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
// Posts a key press as the keyboard would deliver it to the focused control.
void PressKey(HWND hDlg, UINT vk);
void PressAltF4(HWND hDlg);
// A mouse click on a button, delivered as the button's own click.
void Click(HWND hDlg, int id);
// The first visible top-level window of this thread with the given caption,
// other than the main dialog.
HWND FindThreadWindow(const char* caption, HWND except);
} // namespace dlgtest
