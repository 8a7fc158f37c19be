#include "tests/support/Dib.h"

#include <stdlib.h>
#include <string.h>

namespace
{
int ClientWidth(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return rc.right;
}

int ClientHeight(HWND hWnd)
{
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    return rc.bottom;
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

Dib::Dib(HWND hWnd, COLORREF fill) : Dib(ClientWidth(hWnd), ClientHeight(hWnd), fill)
{
    ::SendMessageA(hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_hdc), PRF_CLIENT);
    GdiFlush();
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

int Dib::FullRows(COLORREF color, int& first) const
{
    int rows = 0;
    first = -1;
    for (int y = 0; y < m_height; ++y)
    {
        RECT row = {0, y, m_width, y + 1};
        if (Count(color, row) == m_width)
        {
            if (first < 0)
                first = y;
            ++rows;
        }
    }
    return rows;
}

RECT Dib::InkBounds(COLORREF background) const
{
    return Bounds([background](COLORREF color) { return color != background; });
}

int ScreenDpi()
{
    HDC screen = ::GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int WinePrefixDpi()
{
    const char* wanted = getenv("CHRONOSHIFT_WINE_DPI");
    return wanted != nullptr ? atoi(wanted) : 96;
}
