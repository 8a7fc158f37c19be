// Shows the main dialog's two markup labels as the program does (same font,
// positions and colours) and saves what they paint as a PNG:
//     label_picture.exe <output.png>
#include "MarkupStatic.h"
#include "PngWriter.h"
#include "resource.h"

#include <stdio.h>
#include <string.h>
#include <vector>

namespace
{
const char kIntro[] = "Drop JPG files on this window to change their <b>last modified date</b> with the date "
                      "stored in <b>EXIF</b> tag <b>DateTimeOriginal</b>";
const char kStatus[] =
    "<font color=\"DarkRed\">Dropped <b>12</b> jpg files, changed date for <b>9</b> files</font>"
    "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";

const WORD kIntroId = IDC_INTRO;
const WORD kStatusId = IDC_STATUS;
const WORD kIconId = 1010;

// Appends a WORD-aligned UTF-16 copy of an ASCII text.
void PutText(std::vector<WORD>& t, const char* text)
{
    do
        t.push_back(static_cast<WORD>(static_cast<unsigned char>(*text)));
    while (*text++ != 0);
}

void AlignDword(std::vector<WORD>& t)
{
    if (t.size() % 2 != 0)
        t.push_back(0);
}

void PutItem(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id,
             const char* text)
{
    AlignDword(t);
    t.push_back(LOWORD(style));
    t.push_back(HIWORD(style));
    t.push_back(0); // extended style
    t.push_back(0);
    t.insert(t.end(),
             {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx), static_cast<WORD>(cy), id});
    t.insert(t.end(), {0xFFFF, 0x0082}); // STATIC
    PutText(t, text);
    t.push_back(0); // no creation data
}

// The part of the main dialog with the labels: the same units, font and places.
std::vector<WORD> DialogTemplate()
{
    std::vector<WORD> t;
    DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.push_back(LOWORD(style));
    t.push_back(HIWORD(style));
    t.insert(t.end(), {0, 0, 3, 0, 0, 278, 50}); // ex style, 3 items, x, y, cx, cy
    t.insert(t.end(), {0, 0});                   // no menu, default class
    PutText(t, "Chronoshift");
    t.push_back(8);
    PutText(t, "MS Sans Serif");
    PutItem(t, WS_CHILD | WS_VISIBLE | SS_ICON, 7, 7, 21, 20, kIconId, "");
    PutItem(t, WS_CHILD | WS_VISIBLE | SS_LEFT, 46, 7, 225, 23, kIntroId, kIntro);
    PutItem(t, WS_CHILD | WS_VISIBLE | SS_CENTER, 46, 35, 225, 11, kStatusId, "Dropped  XXX files");
    return t;
}

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT rc;
    HWND child = GetDlgItem(dialog, id);
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
} // namespace

int main(int argc, char** argv)
{
    const char* output = argc > 1 ? argv[1] : "labels.png";
    std::vector<WORD> dlg = DialogTemplate();
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dlg.data()), nullptr, DialogProc, 0);
    if (dialog == nullptr)
    {
        fprintf(stderr, "label_picture: the dialog could not be created\n");
        return 1;
    }
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128), IMAGE_ICON, 32, 32, 0));
    SendDlgItemMessageA(dialog, kIconId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    // Set up as the main dialog does.
    CMarkupStatic intro, status;
    intro.SubclassWindow(GetDlgItem(dialog, kIntroId));
    status.SubclassWindow(GetDlgItem(dialog, kStatusId));
    intro.SetBackgroundColor("BtnFace");
    status.SetBackgroundColor("BtnFace");
    status.SetMarkupText("");
    status.KeepTextInternally = 1;
    status.RedrawImmediately = 0;
    AppCommand command = {dialog, WM_APP_COMMAND_SHOW_LOG, 0, "WM_APP_COMMAND_SHOW_LOG"};
    status.SetAppCommands(&command, 1);
    ShowWindow(dialog, SW_SHOWNA);
    status.SetMarkupText(kStatus);
    UpdateWindow(dialog);

    RECT client;
    GetClientRect(dialog, &client);
    int width = client.right, height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    RECT iconRect = ChildRect(dialog, kIconId);
    DrawIconEx(dc, iconRect.left, iconRect.top, icon, 32, 32, 0, nullptr, DI_NORMAL);
    for (int id : {kIntroId, kStatusId})
    {
        RECT rc = ChildRect(dialog, id);
        POINT oldOrigin;
        SetViewportOrgEx(dc, rc.left, rc.top, &oldOrigin);
        SendDlgItemMessageA(dialog, id, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    }

    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            COLORREF c = GetPixel(dc, x, y);
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = GetRValue(c);
            p[1] = GetGValue(c);
            p[2] = GetBValue(c);
        }
    printf("intro label %ld x %ld, status label %ld x %ld pixels; %d link rectangles\n",
           ChildRect(dialog, kIntroId).right - ChildRect(dialog, kIntroId).left,
           ChildRect(dialog, kIntroId).bottom - ChildRect(dialog, kIntroId).top,
           ChildRect(dialog, kStatusId).right - ChildRect(dialog, kStatusId).left,
           ChildRect(dialog, kStatusId).bottom - ChildRect(dialog, kStatusId).top, status.GetLinkCount());

    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(dialog);
    DestroyIcon(icon);

    if (!WritePng(output, width, height, rgb))
    {
        fprintf(stderr, "label_picture: cannot write %s\n", output);
        return 1;
    }
    printf("wrote %s (%d x %d)\n", output, width, height);
    return 0;
}
