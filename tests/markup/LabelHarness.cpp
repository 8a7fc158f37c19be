#include "LabelHarness.h"

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

Dib::Dib(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_hdc(nullptr), m_hbm(nullptr), m_hbmOld(nullptr), m_bits(nullptr)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_hdc = CreateCompatibleDC(nullptr);
    m_hbm = CreateDIBSection(m_hdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_hbmOld = SelectObject(m_hdc, m_hbm);
    Fill(fill);
}

Dib::~Dib()
{
    SelectObject(m_hdc, m_hbmOld);
    DeleteObject(m_hbm);
    DeleteDC(m_hdc);
}

COLORREF Dib::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    GdiFlush();
    DWORD bgr = m_bits[y * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void Dib::Fill(COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT rc = {0, 0, m_width, m_height};
    FillRect(m_hdc, &rc, brush);
    DeleteObject(brush);
    GdiFlush();
}

int Dib::Count(COLORREF color, const RECT& rc) const
{
    int count = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (At(x, y) == color)
                ++count;
    return count;
}

int Dib::Count(COLORREF color) const
{
    RECT rc = {0, 0, m_width, m_height};
    return Count(color, rc);
}

int Dib::Differences(const Dib& other) const
{
    if (other.m_width != m_width || other.m_height != m_height)
        return m_width * m_height;
    int count = 0;
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (At(x, y) != other.At(x, y))
                ++count;
    return count;
}

RECT Dib::InkBounds(COLORREF background) const
{
    RECT rc = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (At(x, y) != background)
            {
                rc.left = x < rc.left ? x : rc.left;
                rc.top = y < rc.top ? y : rc.top;
                rc.right = x + 1 > rc.right ? x + 1 : rc.right;
                rc.bottom = y + 1 > rc.bottom ? y + 1 : rc.bottom;
            }
    return rc;
}

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
ON_MESSAGE(kShowLogMessage, OnShowLog)
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
    Pump();
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

void LabelHost::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT LabelHost::OnShowLog(WPARAM wParam, LPARAM lParam)
{
    m_showLog.push_back({wParam, lParam});
    return 0;
}
