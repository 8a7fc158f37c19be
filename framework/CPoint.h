// A point: POINT with constructors, as MFC's CPoint.
#pragma once

#include <windows.h>

class CPoint : public POINT
{
public:
    CPoint()
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY)
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT pt)
    {
        x = pt.x;
        y = pt.y;
    }
    // Client coordinates packed in a mouse message's lParam (signed).
    explicit CPoint(LPARAM lParam)
    {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }

    operator LPPOINT() { return this; }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
};
