#include "tests/markup/LabelHarness.h"

#include "tests/support/Pump.h"

#include <string.h>

namespace
{
const char kHostClass[] = "ChronoshiftMarkupTestHost";

void RegisterHostClass()
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof(wc));
    if (GetClassInfoA(GetModuleHandleA(nullptr), kHostClass, &wc))
        return;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
}
} // namespace

HFONT CreateDialogFont(int weight, BOOL underline, BYTE charset)
{
    HDC screen = ::GetDC(nullptr);
    int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, charset, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

SIZE MeasureText(HFONT font, const char* text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

SIZE MeasureText(HFONT font, const wchar_t* text)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size;
}

BEGIN_MESSAGE_MAP(LabelHost, CWnd)
ON_MESSAGE(WM_APP_COMMAND_SHOW_LOG, OnShowLog)
END_MESSAGE_MAP()

LabelHost::LabelHost(int width, int height, DWORD labelStyle, DWORD labelExStyle, HFONT font)
    : m_font(font), m_ownFont(font == nullptr)
{
    RegisterHostClass();
    // Shown without activation: Wine then destroys it without waiting for
    // the X server to confirm the focus change.
    CreateEx(WS_EX_TOOLWINDOW, kHostClass, "Markup label test", WS_POPUP, 40, 40, width + 40, height + 40,
             nullptr, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    HWND hLabel = ::CreateWindowExA(labelExStyle, "STATIC", "", WS_CHILD | WS_VISIBLE | labelStyle, 10, 10,
                                    width, height, m_hWnd, reinterpret_cast<HMENU>(kLabelId),
                                    GetModuleHandleA(nullptr), nullptr);
    if (m_ownFont)
        m_font = CreateDialogFont();
    ::SendMessageA(hLabel, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    m_label.SubclassWindow(hLabel);
    PumpMessages();
}

LabelHost::~LabelHost()
{
    DestroyWindow();
    if (m_ownFont)
        DeleteObject(m_font);
}

void LabelHost::Render(Dib& target)
{
    ::SendMessageA(m_label.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.GetDC()), PRF_CLIENT);
    GdiFlush();
}

LRESULT LabelHost::OnShowLog(WPARAM wParam, LPARAM lParam)
{
    m_showLog.push_back({wParam, lParam});
    return 0;
}
