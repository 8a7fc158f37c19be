#include "tests/support/Screenshot.h"

#include <vector>

namespace
{
bool WriteBmp(const char* path, const BITMAPINFOHEADER& bih, const std::vector<BYTE>& bits)
{
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42; // "BM"
    bfh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    bfh.bfSize = static_cast<DWORD>(bfh.bfOffBits + bits.size());

    HANDLE hFile =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD cbWritten = 0;
    bool bOk = WriteFile(hFile, &bfh, sizeof(bfh), &cbWritten, nullptr) && cbWritten == sizeof(bfh) &&
               WriteFile(hFile, &bih, sizeof(bih), &cbWritten, nullptr) && cbWritten == sizeof(bih) &&
               WriteFile(hFile, bits.data(), static_cast<DWORD>(bits.size()), &cbWritten, nullptr) &&
               cbWritten == bits.size();
    CloseHandle(hFile);
    if (!bOk)
        DeleteFileA(path);
    return bOk;
}
} // namespace

bool SaveWindowBitmap(HWND hWnd, const char* path)
{
    // Children are drawn into the window's own surface; make sure every
    // pending paint has happened before the pixels are read back.
    RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The client area: without a window manager nobody draws the frame.
    RECT rc;
    if (!GetClientRect(hWnd, &rc))
        return false;
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return false;

    HDC hdcWindow = GetDC(hWnd);
    if (hdcWindow == nullptr)
        return false;
    HDC hdcMem = CreateCompatibleDC(hdcWindow);
    HBITMAP hbm = CreateCompatibleBitmap(hdcWindow, cx, cy);
    bool bOk = false;
    if (hdcMem != nullptr && hbm != nullptr)
    {
        HGDIOBJ hOld = SelectObject(hdcMem, hbm);
        bOk = BitBlt(hdcMem, 0, 0, cx, cy, hdcWindow, 0, 0, SRCCOPY) != FALSE;
        SelectObject(hdcMem, hOld);
    }

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = cx;
    bih.biHeight = cy; // bottom-up, as BMP files store rows
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const DWORD cbRow = (static_cast<DWORD>(cx) * 3 + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<size_t>(cbRow) * static_cast<size_t>(cy));
    bih.biSizeImage = static_cast<DWORD>(bits.size());
    if (bOk)
        bOk = GetDIBits(hdcMem, hbm, 0, static_cast<UINT>(cy), bits.data(),
                        reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS) == cy;

    if (hbm != nullptr)
        DeleteObject(hbm);
    if (hdcMem != nullptr)
        DeleteDC(hdcMem);
    ReleaseDC(hWnd, hdcWindow);
    return bOk && WriteBmp(path, bih, bits);
}
