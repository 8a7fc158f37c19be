// A device context, as MFC's CDC, and CPaintDC for WM_PAINT handlers.
#pragma once

#include <windows.h>

class CWnd;

class CDC
{
public:
    CDC() : m_hDC(nullptr) {}
    virtual ~CDC() = default;

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC;

    HDC GetSafeHdc() const { return m_hDC; }

    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
};

class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
