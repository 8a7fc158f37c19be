#include "framework/Dpi.h"

namespace
{
// Looked up by name: older versions of user32 have neither.
template <typename Function> Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}
} // namespace

int AfxGetSystemDpi()
{
    static const int s_nDpi = []
    {
        HDC hdc = ::GetDC(nullptr);
        int nDpi = hdc != nullptr ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 0;
        if (hdc != nullptr)
            ::ReleaseDC(nullptr, hdc);
        return nDpi > 0 ? nDpi : USER_DEFAULT_SCREEN_DPI;
    }();
    return s_nDpi;
}

int AfxGetWindowDpi(HWND hWnd)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT nDpi = getDpiForWindow != nullptr && hWnd != nullptr ? getDpiForWindow(hWnd) : 0;
    return nDpi > 0 ? static_cast<int>(nDpi) : AfxGetSystemDpi();
}

int AfxGetSystemMetricsForDpi(int nIndex, int nDpi)
{
    using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
    static const auto getSystemMetricsForDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi != nullptr && nDpi > 0)
        return getSystemMetricsForDpi(nIndex, static_cast<UINT>(nDpi));
    return ::MulDiv(::GetSystemMetrics(nIndex), nDpi > 0 ? nDpi : AfxGetSystemDpi(), AfxGetSystemDpi());
}
