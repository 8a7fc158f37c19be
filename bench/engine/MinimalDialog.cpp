// The floor of a dialog program's start-up: a one-control modal dialog from
// a template in memory, shown and closed at once.
#include <windows.h>

#include <cstring>

namespace
{
INT_PTR CALLBACK DialogProc(HWND hDlg, UINT uMsg, WPARAM, LPARAM)
{
    switch (uMsg)
    {
    case WM_INITDIALOG:
        // Closed from the dialog's own loop, once it has been shown.
        PostMessageW(hDlg, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;
    }
    return FALSE;
}

// A DLGTEMPLATE with one static control, words aligned as the system wants.
struct Template
{
    WORD words[64];
    size_t n = 0;
    void Add(WORD w) { words[n++] = w; }
    void Align() { n = (n + 1) & ~static_cast<size_t>(1); }
    void Text(const wchar_t* text)
    {
        for (; *text; ++text)
            Add(*text);
        Add(0);
    }
};
} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    alignas(4) static Template t;
    DLGTEMPLATE dlg = {};
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT;
    dlg.cdit = 1;
    dlg.cx = 160;
    dlg.cy = 40;
    memcpy(t.words, &dlg, sizeof(dlg));
    t.n = sizeof(dlg) / sizeof(WORD);
    t.Add(0); // no menu
    t.Add(0); // the standard class
    t.Text(L"Minimal dialog");
    t.Add(8);
    t.Text(L"MS Sans Serif");
    t.Align();
    DLGITEMTEMPLATE item = {};
    item.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    item.x = 7;
    item.y = 7;
    item.cx = 140;
    item.cy = 10;
    item.id = 1000;
    memcpy(t.words + t.n, &item, sizeof(item));
    t.n += sizeof(item) / sizeof(WORD);
    t.Add(0xFFFF);
    t.Add(0x0082); // static
    t.Text(L"Hello");
    t.Add(0); // no creation data
    return static_cast<int>(
        DialogBoxIndirectParamW(hInstance, reinterpret_cast<DLGTEMPLATE*>(t.words), nullptr, DialogProc, 0));
}
