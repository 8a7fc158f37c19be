// A point: POINT from a mouse message's coordinates, as MFC's CPoint.
#pragma once

#include <windows.h>

class CPoint : public POINT
{
public:
    // Client coordinates packed in a mouse message's lParam (signed).
    explicit CPoint(LPARAM lParam)
    {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
};
