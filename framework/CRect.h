// A rectangle: RECT, empty at first, with its sizes, as MFC's CRect.
#pragma once

#include <windows.h>

class CRect : public RECT
{
public:
    CRect() { left = top = right = bottom = 0; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
