// A top-down 32-bit image to draw into and read back, and the screen's DPI.
#pragma once

#include <windows.h>

// A top-down 32-bit image with its own memory device context.
class Dib
{
public:
    Dib(int width, int height, COLORREF fill);
    // The window's client area as WM_PRINTCLIENT draws it over `fill`.
    Dib(HWND hWnd, COLORREF fill);
    ~Dib();
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    HDC GetDC() const { return m_hdc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;
    void Fill(COLORREF color);
    // Pixels of the given colour inside the rectangle.
    int Count(COLORREF color, const RECT& rc) const;
    int Count(COLORREF color) const;
    // Number of pixels that differ from the other image of the same size.
    int Differences(const Dib& other) const;
    // Rows filled from edge to edge with the colour, and the first of them
    // (-1 when there is none).
    int FullRows(COLORREF color, int& first) const;
    // Smallest rectangle holding every pixel that is not the background.
    RECT InkBounds(COLORREF background) const;
    // Smallest rectangle around the pixels for which `ink` holds.
    template <typename Ink> RECT Bounds(Ink ink) const
    {
        RECT rc = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (ink(At(x, y)))
                {
                    rc.left = x < rc.left ? x : rc.left;
                    rc.top = y < rc.top ? y : rc.top;
                    rc.right = x + 1 > rc.right ? x + 1 : rc.right;
                    rc.bottom = y + 1 > rc.bottom ? y + 1 : rc.bottom;
                }
        return rc;
    }

private:
    int m_width;
    int m_height;
    HDC m_hdc;
    HBITMAP m_hbm;
    HGDIOBJ m_hbmOld;
    DWORD* m_bits;
};

// Pixels per logical inch of the screen.
int ScreenDpi();
// The DPI the Wine prefix of the run was made with (CHRONOSHIFT_WINE_DPI),
// 96 where it names none.
int WinePrefixDpi();
