// The two dialog templates as the program shows them: every control with its
// id, class, text, style and place (dialog units mapped to pixels), in tab
// order; the dialogs' own caption, styles, size and font.
#include "app/AboutDlg.h"
#include "resources/Version.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include <string>
#include <vector>

namespace
{
struct ExpectedControl
{
    int id;
    const char* className;
    const char* text; // nullptr: not checked here
    DWORD styleBits;  // must all be set
    DWORD typeMask;   // with typeValue: a field of the style that must equal it
    DWORD typeValue;
    DWORD styleNotBits; // must all be clear
    RECT dlu;           // left, top, width, height in dialog units
    bool sizeFromContent;
};

const char kIntroText[] =
    "Drop JPG files on this window to change their <b>last modified date</b> with the date "
    "stored in <b>EXIF</b> tag <b>DateTimeOriginal</b>";

const std::vector<ExpectedControl>& MainControls()
{
    static const std::vector<ExpectedControl> controls = {
        {IDOK,
         "Button",
         "Exit",
         WS_TABSTOP | WS_VISIBLE,
         BS_TYPEMASK,
         BS_DEFPUSHBUTTON,
         WS_DISABLED,
         {219, 85, 52, 14},
         false},
        {IDC_KEEP_ON_TOP,
         "Button",
         "Keep Window on Top",
         WS_TABSTOP,
         BS_TYPEMASK,
         BS_AUTOCHECKBOX,
         WS_DISABLED,
         {7, 49, 85, 12},
         false},
        {IDC_STATIC,
         "Static",
         "Date to Change:",
         SS_CENTERIMAGE,
         SS_TYPEMASK,
         SS_LEFT,
         WS_TABSTOP,
         {130, 62, 53, 12},
         false},
        {IDC_DATE_TO_CHANGE,
         "ComboBox",
         "",
         WS_TABSTOP,
         0x3,
         CBS_DROPDOWNLIST,
         CBS_SORT,
         {188, 62, 83, 166},
         false},
        {IDC_INTRO, "Static", kIntroText, 0, SS_TYPEMASK, SS_LEFT, 0, {46, 7, 225, 23}, false},
        {IDC_STATIC, "Static", nullptr, 0, SS_TYPEMASK, SS_LEFT, 0, {7, 87, 142, 10}, false},
        {IDC_STATUS,
         "Static",
         "Dropped  XXX files, changed date for  XXX files",
         0,
         SS_TYPEMASK,
         SS_CENTER,
         0,
         {46, 35, 225, 11},
         false},
        {IDC_STATIC, "Static", "", 0, SS_TYPEMASK, SS_ETCHEDHORZ, 0, {7, 79, 264, 1}, false},
        {IDC_STATIC, "Static", nullptr, 0, SS_TYPEMASK, SS_ICON, 0, {7, 7, 21, 20}, true},
        {IDC_PROCESS_SUBFOLDERS,
         "Button",
         "Process Subfolders",
         WS_TABSTOP,
         BS_TYPEMASK,
         BS_AUTOCHECKBOX,
         WS_DISABLED,
         {7, 62, 85, 12},
         false},
        {IDC_UNDO,
         "Button",
         "Undo",
         WS_TABSTOP | WS_DISABLED,
         BS_TYPEMASK,
         BS_PUSHBUTTON,
         0,
         {162, 85, 52, 14},
         false},
    };
    return controls;
}

const std::vector<ExpectedControl>& AboutControls()
{
    static const std::vector<ExpectedControl> controls = {
        {IDC_STATIC, "Static", nullptr, 0, SS_TYPEMASK, SS_ICON, 0, {7, 7, 20, 20}, true},
        {IDC_STATIC,
         "Static",
         "Chronoshift Version " CHRONOSHIFT_VERSION,
         SS_NOPREFIX,
         SS_TYPEMASK,
         SS_LEFT,
         0,
         {40, 10, 119, 8},
         false},
        {IDC_STATIC, "Static", nullptr, 0, SS_TYPEMASK, SS_LEFT, 0, {40, 24, 155, 53}, false},
        {IDOK,
         "Button",
         "OK",
         WS_TABSTOP,
         BS_TYPEMASK,
         BS_DEFPUSHBUTTON,
         WS_DISABLED,
         {200, 7, 50, 14},
         false},
    };
    return controls;
}

std::string Text(HWND hWnd)
{
    int nLen = ::GetWindowTextLengthA(hWnd);
    std::string s(static_cast<size_t>(nLen) + 1, '\0');
    ::GetWindowTextA(hWnd, &s[0], nLen + 1);
    s.resize(static_cast<size_t>(nLen));
    return s;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = {};
    ::GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

// The control's rectangle in the dialog's client coordinates.
RECT PlaceOf(HWND hDlg, HWND hCtl)
{
    RECT rc;
    ::GetWindowRect(hCtl, &rc);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// As the dialog manager places a control: position and size are mapped each
// on its own, so the far edge is the mapped position plus the mapped size.
RECT Pixels(HWND hDlg, const RECT& dlu)
{
    RECT rc = dlu;
    ::MapDialogRect(hDlg, &rc);
    return {rc.left, rc.top, rc.left + rc.right, rc.top + rc.bottom};
}

struct TemplateItem
{
    bool found;
    DWORD style;
    short x, y, cx, cy;
};

// Skips a name-or-ordinal field of a dialog template.
const WORD* SkipNameOrOrdinal(const WORD* p)
{
    if (*p == 0xFFFF)
        return p + 2;
    while (*p++)
    {
    }
    return p;
}

// One item of an extended dialog template, straight from the resource.
TemplateItem FindTemplateItem(UINT nTemplate, int id)
{
    TemplateItem item = {false, 0, 0, 0, 0, 0};
    HRSRC hRes = ::FindResourceA(nullptr, MAKEINTRESOURCEA(nTemplate), MAKEINTRESOURCEA(5));
    if (!hRes)
        return item;
    const BYTE* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, hRes)));
    const WORD* p = reinterpret_cast<const WORD*>(base);
    if (p[0] != 1 || p[1] != 0xFFFF)
        return item;
    DWORD style = *reinterpret_cast<const DWORD*>(base + 12);
    WORD nItems = p[8];
    p = reinterpret_cast<const WORD*>(base + 26);
    p = SkipNameOrOrdinal(p); // menu
    p = SkipNameOrOrdinal(p); // class
    p = SkipNameOrOrdinal(p); // title
    if (style & DS_SETFONT)
    {
        p += 3; // point size, weight, italic and charset
        p = SkipNameOrOrdinal(p);
    }
    for (WORD i = 0; i < nItems; ++i)
    {
        const BYTE* b = reinterpret_cast<const BYTE*>(p);
        b += (4 - (reinterpret_cast<UINT_PTR>(b) - reinterpret_cast<UINT_PTR>(base)) % 4) % 4;
        const short* coords = reinterpret_cast<const short*>(b + 12);
        DWORD itemId = *reinterpret_cast<const DWORD*>(b + 20);
        if (static_cast<int>(itemId) == id)
        {
            item = {true, *reinterpret_cast<const DWORD*>(b + 8), coords[0], coords[1], coords[2], coords[3]};
            return item;
        }
        p = reinterpret_cast<const WORD*>(b + 24);
        p = SkipNameOrOrdinal(p); // class
        p = SkipNameOrOrdinal(p); // text
        WORD nExtra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + nExtra);
    }
    return item;
}

void ExpectControls(HWND hDlg, const std::vector<ExpectedControl>& rows)
{
    HWND hCtl = ::GetWindow(hDlg, GW_CHILD);
    for (size_t i = 0; i < rows.size(); ++i, hCtl = ::GetWindow(hCtl, GW_HWNDNEXT))
    {
        const ExpectedControl& row = rows[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(row.id) + ")");
        ASSERT_NE(nullptr, hCtl) << "missing";
        EXPECT_EQ(static_cast<WORD>(row.id), static_cast<WORD>(::GetDlgCtrlID(hCtl)));
        EXPECT_EQ(row.className, ClassOf(hCtl));
        if (row.text)
        {
            EXPECT_EQ(row.text, Text(hCtl));
        }
        DWORD style = static_cast<DWORD>(::GetWindowLongA(hCtl, GWL_STYLE));
        EXPECT_EQ(row.styleBits, style & row.styleBits);
        EXPECT_EQ(row.typeValue, style & row.typeMask);
        EXPECT_EQ(0u, style & row.styleNotBits);
        EXPECT_TRUE(style & WS_CHILD);

        RECT want = Pixels(hDlg, row.dlu);
        RECT got = PlaceOf(hDlg, hCtl);
        EXPECT_EQ(want.left, got.left);
        EXPECT_EQ(want.top, got.top);
        if (row.sizeFromContent)
        {
            // An icon static takes the size of its icon.
            EXPECT_NE(nullptr, reinterpret_cast<HICON>(::SendMessageA(hCtl, STM_GETICON, 0, 0)));
            EXPECT_EQ(::GetSystemMetrics(SM_CXICON), got.right - got.left);
        }
        else if (row.typeValue == CBS_DROPDOWNLIST && row.typeMask == 0x3)
        {
            // The template's height is the dropped-down list's.
            EXPECT_EQ(want.right, got.right);
            // The window has the closed box's height; the template's height
            // (the dropped-down box's) is read from the template itself.
            TemplateItem item = FindTemplateItem(IDD_MAIN, row.id);
            ASSERT_TRUE(item.found);
            EXPECT_EQ(row.dlu.bottom, item.cy);
            EXPECT_TRUE(item.style & WS_VSCROLL);
            // The combo box hands its vertical scroll bar to its list, which
            // shows it when the items do not fit.
            for (int n = 0; n < 40; ++n)
                ::SendMessageA(hCtl, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("item"));
            ::SendMessageA(hCtl, CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO info = {};
            info.cbSize = sizeof(info);
            ASSERT_TRUE(::GetComboBoxInfo(hCtl, &info));
            EXPECT_TRUE(::GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL);
            ::SendMessageA(hCtl, CB_SHOWDROPDOWN, FALSE, 0);
            ::SendMessageA(hCtl, CB_RESETCONTENT, 0, 0);
        }
        else if (row.typeValue == SS_ETCHEDHORZ)
        {
            // The system widens an etched line by its edge, up to two pixels.
            EXPECT_GE(got.right, want.right);
            EXPECT_LE(got.right, want.right + 2);
            EXPECT_GE(got.bottom, want.bottom);
            EXPECT_LE(got.bottom, want.bottom + 2);
        }
        else
        {
            EXPECT_EQ(want.right, got.right);
            EXPECT_EQ(want.bottom, got.bottom);
        }
    }
    EXPECT_EQ(nullptr, hCtl) << "more controls than the template's table";
}

void ExpectDialogFont(HWND hDlg)
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, hFont);
    LOGFONTA lf = {};
    ASSERT_TRUE(::GetObjectA(hFont, sizeof(lf), &lf));
    EXPECT_STREQ("MS Sans Serif", lf.lfFaceName);
    HDC hdc = ::GetDC(nullptr);
    int nHeight = -::MulDiv(8, ::GetDeviceCaps(hdc, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, hdc);
    EXPECT_EQ(nHeight, lf.lfHeight);
}

void ExpectClientSize(HWND hDlg, int cxDlu, int cyDlu)
{
    RECT want = {0, 0, cxDlu, cyDlu};
    ::MapDialogRect(hDlg, &want);
    RECT client;
    ::GetClientRect(hDlg, &client);
    EXPECT_EQ(want.right, client.right);
    EXPECT_EQ(want.bottom, client.bottom);
}
} // namespace

TEST(DialogTemplate, MainDialogHasEveryControlOfItsTableInTabOrder)
{
    CDialog dlg(IDD_MAIN);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    HWND hDlg = dlg.m_hWnd;

    EXPECT_EQ("Chronoshift", Text(hDlg));
    DWORD style = dlg.GetStyle();
    DWORD must = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(must, style & must);
    EXPECT_EQ(0u, style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD));
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_APPWINDOW) << "the dialog has a taskbar button";
    ExpectClientSize(hDlg, 278, 106);
    ExpectDialogFont(hDlg);

    ExpectControls(hDlg, MainControls());
    EXPECT_EQ(
        0, ::strncmp(Text(::GetWindow(::GetDlgItem(hDlg, IDC_STATUS), GW_HWNDPREV)).c_str(), "Copyright", 9))
        << "the copyright line comes before the status line";
    dlg.DestroyWindow();
}

TEST(DialogTemplate, AboutBoxHasItsIconVersionCopyrightAndOK)
{
    CDialog dlg(IDD_ABOUTBOX);
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    HWND hDlg = dlg.m_hWnd;
    EXPECT_EQ("About Chronoshift", Text(hDlg));
    DWORD must = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(must, dlg.GetStyle() & must);
    ExpectClientSize(hDlg, 257, 84);
    ExpectDialogFont(hDlg);
    ExpectControls(hDlg, AboutControls());
    // The copyright block holds several lines.
    HWND hBlock = ::GetWindow(::GetDlgItem(hDlg, IDOK), GW_HWNDPREV);
    EXPECT_NE(std::string::npos, Text(hBlock).find('\n'));
    dlg.DestroyWindow();
}

TEST(DialogTemplate, ResourcesHoldTheMenuTextIconAndHandCursor)
{
    CString text;
    ASSERT_TRUE(AfxLoadString(IDS_ABOUTBOX, text));
    EXPECT_STREQ("&About Chronoshift...", text);

    HINSTANCE hInst = AfxGetResourceHandle();
    for (int size : {16, 32, 48})
    {
        HICON hIcon = static_cast<HICON>(
            ::LoadImageA(hInst, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(nullptr, hIcon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bm = {};
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
        EXPECT_EQ(size, bm.bmWidth) << "the icon has an image of its own at " << size << " pixels";
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(hIcon);
    }

    HCURSOR hHand = ::LoadCursorA(hInst, MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_NE(nullptr, hHand);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(hHand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(5u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    BITMAP bm = {};
    ::GetObjectA(info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(32, bm.bmWidth);
    EXPECT_EQ(64, bm.bmHeight) << "monochrome: the AND and XOR masks stacked";
    EXPECT_EQ(nullptr, info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST(DialogTemplate, ManifestAsksForCommonControlsSixAndUtf8)
{
    HRSRC hRes = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, hRes);
    const char* p = static_cast<const char*>(::LockResource(::LoadResource(nullptr, hRes)));
    std::string manifest(p, ::SizeofResource(nullptr, hRes));
    EXPECT_NE(std::string::npos,
              manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos,
              manifest.find("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/"
                            "WindowsSettings\">UTF-8</activeCodePage>"));
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
    // Visual styles: the common controls that the program imports are the
    // version 6 assembly's, not the system folder's version 5.
    HMODULE hComctl = nullptr;
    ASSERT_TRUE(::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     reinterpret_cast<const char*>(&::InitCommonControlsEx), &hComctl));
    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(hComctl, szPath, MAX_PATH);
    std::string path(szPath);
    for (char& c : path)
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(std::string::npos, path.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."))
        << szPath;
}

TEST(DialogTemplate, AboutBoxShowsTheVersionAndClosesWithOKOrEscape)
{
    static std::string s_version;
    static HWND s_hBox;
    static UINT s_key;
    struct Tick
    {
        static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
        {
            ::KillTimer(nullptr, id);
            s_hBox = ::GetActiveWindow();
            HWND hText = ::GetWindow(::GetWindow(s_hBox, GW_CHILD), GW_HWNDNEXT);
            s_version = Text(hText);
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, s_key, 0);
        }
    };
    for (UINT key : {static_cast<UINT>(VK_RETURN), static_cast<UINT>(VK_ESCAPE)})
    {
        s_version.clear();
        s_key = key;
        CAboutDlg dlg;
        ::SetTimer(nullptr, 0, 100, &Tick::Fire);
        EXPECT_EQ(key == VK_RETURN ? IDOK : IDCANCEL, dlg.DoModal());
        EXPECT_EQ("Chronoshift Version " CHRONOSHIFT_VERSION, s_version);
    }
}
