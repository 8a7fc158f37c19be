// The main dialog at another display scale: Windows sends WM_DPICHANGED when
// the window moves to a monitor of another scale, or the user changes it.
// The dialog scales itself from the places it was made with, so that steps
// back and forth do not add up rounding.
#include "app/MainDlg.h"

#include "framework/Dpi.h"

#include <algorithm>
#include <utility>

namespace
{
// The dialog units of a font, as the dialog manager measures them: the
// average width of the letters and the height of a line.
SIZE BaseUnits(HFONT hFont)
{
    SIZE units = {0, 0};
    CMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc)
        return units;
    CSelectedObject selection(dc.Get(), hFont);
    TEXTMETRICA tm = {};
    SIZE letters = {};
    const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (::GetTextMetricsA(dc.Get(), &tm) && ::GetTextExtentPoint32A(dc.Get(), kLetters, 52, &letters))
        units = {(letters.cx / 26 + 1) / 2, tm.tmHeight};
    return units;
}

// A place in the dialog laid out for one font's units, for another's: as
// the template's dialog units map to each font.
RECT ScaleRect(const RECT& rc, SIZE to, SIZE from)
{
    return {::MulDiv(rc.left, to.cx, from.cx), ::MulDiv(rc.top, to.cy, from.cy),
            ::MulDiv(rc.right, to.cx, from.cx), ::MulDiv(rc.bottom, to.cy, from.cy)};
}

bool IsIconControl(HWND hWnd)
{
    char name[16] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return lstrcmpiA(name, "Static") == 0 && (::GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}
} // namespace

void CMainDlg::RememberLayout()
{
    m_nDpi = m_nLayoutDpi = AfxGetWindowDpi(m_hWnd);
    m_layout.clear();
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        ControlPlace place = {hChild, {}};
        // A list's window is as tall as its list when dropped down.
        if (!::SendMessageA(hChild, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&place.rc)))
            ::GetWindowRect(hChild, &place.rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place.rc), 2);
        m_layout.push_back(place);
    }
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    m_sizeLayoutClient = {rcClient.right, rcClient.bottom};
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont == nullptr || ::GetObjectA(hFont, sizeof(m_lfLayout), &m_lfLayout) == 0)
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_lfLayout), &m_lfLayout);
    // On a monitor of another scale than the system's, the icons and labels
    // start at the window's own.
    if (m_nDpi != AfxGetSystemDpi())
    {
        LoadIcons(m_nDpi);
        m_lblIntro.SetDpi(m_nDpi);
        m_lblStatus.SetDpi(m_nDpi);
    }
}

LRESULT CMainDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    return 0;
}

void CMainDlg::LoadIcons(int nDpi)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    CIconHandle big(static_cast<HICON>(::LoadImageA(hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                    AfxGetSystemMetricsForDpi(SM_CXICON, nDpi),
                                                    AfxGetSystemMetricsForDpi(SM_CYICON, nDpi), 0)));
    CIconHandle small(static_cast<HICON>(::LoadImageA(hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                      AfxGetSystemMetricsForDpi(SM_CXSMICON, nDpi),
                                                      AfxGetSystemMetricsForDpi(SM_CYSMICON, nDpi), 0)));
    if (!big || !small)
        return;
    SetIcon(big.Get(), TRUE);
    SetIcon(small.Get(), FALSE);
    for (const ControlPlace& place : m_layout)
        if (IsIconControl(place.hWnd))
            ::SendMessageA(place.hWnd, STM_SETICON, reinterpret_cast<WPARAM>(big.Get()), 0);
    m_hIcon = big.Get();
    // The icons shown before are given back only now that nothing shows them.
    m_iconBig = std::move(big);
    m_iconSmall = std::move(small);
}

void CMainDlg::ApplyDpi(int nDpi, const RECT* prcWindow)
{
    if (nDpi <= 0 || m_nLayoutDpi <= 0)
        return;
    // The dialog's own font stays the one it was made with, so its units are
    // those of the layout; measured here, not at every start.
    const SIZE layoutUnits = BaseUnits(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    if (layoutUnits.cx <= 0 || layoutUnits.cy <= 0)
        return;
    m_nDpi = nDpi;
    LoadIcons(nDpi);

    // The font of the dialog as it was made, or one made for this scale.
    HFONT hFont = nullptr;
    CGdiObject<HFONT> font;
    if (nDpi != m_nLayoutDpi)
    {
        LOGFONTA lf = m_lfLayout;
        lf.lfHeight = ::MulDiv(lf.lfHeight, nDpi, m_nLayoutDpi);
        lf.lfWidth = ::MulDiv(lf.lfWidth, nDpi, m_nLayoutDpi);
        font.Attach(::CreateFontIndirectA(&lf));
        hFont = font.Get();
    }
    if (hFont == nullptr)
        hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    for (const ControlPlace& place : m_layout)
        ::SendMessageA(place.hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    // The font set before is deleted only now that no control uses it.
    m_fontScaled = std::move(font);
    // Fonts do not grow in proportion to the scale: the places follow the
    // font's own units, so that every text keeps the room it was given.
    SIZE units = BaseUnits(hFont);
    if (units.cx <= 0 || units.cy <= 0)
        units = {::MulDiv(layoutUnits.cx, nDpi, m_nLayoutDpi), ::MulDiv(layoutUnits.cy, nDpi, m_nLayoutDpi)};

    // The suggested rectangle, grown where its client area would cut the controls off.
    RECT rcWindow = {};
    if (prcWindow != nullptr)
        rcWindow = *prcWindow;
    else
        ::GetWindowRect(m_hWnd, &rcWindow);
    RECT rcNeeded = ScaleRect({0, 0, m_sizeLayoutClient.cx, m_sizeLayoutClient.cy}, units, layoutUnits);
    RECT rcFrame = rcNeeded;
    ::AdjustWindowRectEx(&rcFrame, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    const int cx = std::max(rcWindow.right - rcWindow.left, rcFrame.right - rcFrame.left);
    const int cy = std::max(rcWindow.bottom - rcWindow.top, rcFrame.bottom - rcFrame.top);
    ::SetWindowPos(m_hWnd, nullptr, rcWindow.left, rcWindow.top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);

    for (const ControlPlace& place : m_layout)
    {
        const RECT rc = ScaleRect(place.rc, units, layoutUnits);
        ::SetWindowPos(place.hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_lblIntro.SetDpi(nDpi);
    m_lblStatus.SetDpi(nDpi);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
