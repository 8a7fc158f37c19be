// The program at the display scale of its Wine prefix: the manifest's DPI
// awareness, icon and cursor images for the usual scales, and the main
// dialog's texts and link at the screen's DPI. Runs at 96 DPI with the other
// tests and on its own in a Wine prefix at 144 DPI (CHRONOSHIFT_WINE_DPI
// names the DPI there).
#include "tests/app/RegistryFixture.h"
#include "tests/support/Dib.h"
#include "tests/support/ManifestSetting.h"
#include "tests/support/Pump.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestMainDlg.h"

#include "framework/Dpi.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace
{
const COLORREF kBlue = RGB(0x00, 0x00, 0xFF);

std::string Text(HWND hWnd)
{
    char sz[512] = {};
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = {};
    ::GetClassNameA(hWnd, sz, sizeof(sz));
    return sz;
}

// The extent of a text as DrawText lays it out in the window's font, within
// `width` when it may wrap.
SIZE TextExtent(HWND hWnd, const std::string& text, UINT format, int width)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)));
    RECT rc = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

int AverageCharWidth(HWND hWnd)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    return tm.tmAveCharWidth;
}

// Blue, or text anti-aliased from blue toward the background.
bool IsBluish(COLORREF c)
{
    return GetBValue(c) > GetRValue(c) + 60 && GetBValue(c) > GetGValue(c) + 60;
}

class DpiMainDialog : public regtest::CleanKeyTest
{
protected:
    void SetUp() override
    {
        regtest::CleanKeyTest::SetUp();
        // The log command is counted: no Notepad starts.
        m_dlg.m_bCatchShowLog = true;
        ASSERT_TRUE(m_dlg.Open());
        PumpMessages();
    }

    void TearDown() override
    {
        m_dlg.DestroyWindow();
        regtest::CleanKeyTest::TearDown();
    }

    // A markup label of the same font and width as `label` but four times as
    // tall, showing the same markup: everything the label should show.
    void ExpectShowsAllItsText(CMarkupStatic& label, const char* name)
    {
        RECT rc = {};
        ::GetClientRect(label.m_hWnd, &rc);
        RECT dialog = {};
        ::GetClientRect(m_dlg.m_hWnd, &dialog);
        // Below the dialog's client area: visible, so it paints, but out of sight.
        HWND hTall =
            ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, dialog.bottom, rc.right,
                              4 * rc.bottom, m_dlg.m_hWnd, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, hTall);
        ::SendMessageA(hTall, WM_SETFONT, ::SendMessageA(label.m_hWnd, WM_GETFONT, 0, 0), FALSE);
        CMarkupStatic tall;
        tall.SubclassWindow(hTall);
        tall.SetBackgroundColor("BtnFace");
        tall.RedrawImmediately = 0;
        tall.SetMarkupText(label.GetMarkup());

        Dib shown(label.m_hWnd, RGB(0xFF, 0x00, 0xFF));
        Dib whole(hTall, RGB(0xFF, 0x00, 0xFF));
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        RECT ink = whole.Bounds([face](COLORREF c) { return c != face; });
        EXPECT_LT(ink.left, ink.right) << name << " draws some text";
        EXPECT_LE(ink.bottom, rc.bottom) << name << ": text below the label's bottom edge";
        EXPECT_LE(ink.right, rc.right - 2) << name << ": text cut at the label's right edge";
        int differences = 0;
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                differences += shown.At(x, y) != whole.At(x, y);
        EXPECT_EQ(0, differences) << name << " shows less than its whole text";
        tall.DestroyWindow();
    }

    // The status line's link: its rectangles cover all of its drawn text,
    // and clicks on it reach the show-log command.
    void ExpectLinkCoveredAndClickable()
    {
        CMarkupStatic& status = m_dlg.m_lblStatus;
        Dib shown(status.m_hWnd, RGB(0xFF, 0x00, 0xFF));
        RECT link = shown.Bounds(IsBluish);
        ASSERT_LT(link.left, link.right) << "the link is drawn in blue";

        int uncovered = 0;
        for (int y = link.top; y < link.bottom; ++y)
            for (int x = link.left; x < link.right; ++x)
            {
                if (!IsBluish(shown.At(x, y)))
                    continue;
                POINT pt = {x, y};
                bool covered = false;
                for (int i = 0; i < status.GetLinkCount(); ++i)
                {
                    RECT rc = status.GetLinkRect(i);
                    covered = covered || PtInRect(&rc, pt);
                }
                uncovered += !covered;
            }
        EXPECT_EQ(0, uncovered) << "pixels of the drawn link outside its rectangles";

        // Clicks in the middle of " (View log)" and a quarter in from each end.
        const int width = link.right - link.left;
        const int y = (link.top + link.bottom) / 2;
        for (int x : {link.left + width / 2, link.left + width / 4, link.right - width / 4})
        {
            const int before = m_dlg.m_nShowLogCalls;
            POINT pt = {x, y};
            ::ClientToScreen(status.m_hWnd, &pt);
            ::SetCursorPos(pt.x, pt.y);
            ::SendMessageA(status.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            ::SendMessageA(status.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
            PumpMessages();
            EXPECT_EQ(before + 1, m_dlg.m_nShowLogCalls) << "click at " << x << ", " << y;
        }
    }

    CTestMainDlg m_dlg;
};
} // namespace

TEST(DpiScreen, HasTheDpiOfItsWinePrefix)
{
    // The 144-DPI run would prove nothing on a 96-DPI screen.
    EXPECT_EQ(WinePrefixDpi(), ScreenDpi());
}

TEST(DpiManifest, DeclaresPerMonitorAwarenessWithTheSystemAwareFallback)
{
    // What Windows reads from the program's manifest to choose its scaling:
    // per monitor (v2, else v1) from Windows 10 on, which knows dpiAwareness;
    // system-aware on the versions before, which read dpiAware alone.
    std::wstring value;
    ASSERT_TRUE(support::ManifestSetting(support::kWindowsSettings2005, L"dpiAware", value))
        << "no dpiAware setting, error " << GetLastError();
    EXPECT_EQ(L"true", value);
    ASSERT_TRUE(support::ManifestSetting(support::kWindowsSettings2016, L"dpiAwareness", value));
    EXPECT_EQ(L"PerMonitorV2, PerMonitor", value);
}

namespace
{
#pragma pack(push, 2)
// An entry of an icon group resource (RT_GROUP_ICON).
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colors;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
// An entry of a cursor group resource (RT_GROUP_CURSOR).
struct GroupCursorEntry
{
    WORD width;
    WORD height; // both masks
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

const BYTE* ResourceBytes(const char* name, const char* type, DWORD* size = nullptr)
{
    HRSRC hRes = ::FindResourceA(nullptr, name, type);
    if (hRes == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = ::SizeofResource(nullptr, hRes);
    return static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, hRes)));
}

// The image that Windows picks from a group for a size, and its own size.
const BITMAPINFOHEADER* ImageForSize(const char* group, bool icon, int size, const BYTE** resource = nullptr)
{
    const BYTE* dir = ResourceBytes(group, icon ? MAKEINTRESOURCEA(14) : MAKEINTRESOURCEA(12));
    if (dir == nullptr)
        return nullptr;
    int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir), icon, size, size,
                                         icon ? LR_DEFAULTCOLOR : LR_MONOCHROME);
    const BYTE* bits = ResourceBytes(MAKEINTRESOURCEA(id), icon ? MAKEINTRESOURCEA(3) : MAKEINTRESOURCEA(1));
    if (bits == nullptr)
        return nullptr;
    if (resource != nullptr)
        *resource = bits;
    // A cursor image starts with its hot spot.
    return reinterpret_cast<const BITMAPINFOHEADER*>(icon ? bits : bits + 4);
}
} // namespace

TEST(DpiResources, IconHasAnImageForEveryUsualScale)
{
    const BYTE* dir = ResourceBytes(MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_NE(nullptr, dir);
    WORD count = reinterpret_cast<const WORD*>(dir)[2];
    const GroupIconEntry* entries = reinterpret_cast<const GroupIconEntry*>(dir + 6);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i)
        sizes.insert(entries[i].width);
    // Small and big icons at 100, 125, 150 and 200 %.
    for (int size : {16, 32, 20, 40, 24, 48, 64})
        EXPECT_EQ(1u, sizes.count(size)) << "no icon image of " << size << " pixels";

    // The sizes this screen asks for are images of their own, not stretched.
    for (int metric : {SM_CXICON, SM_CXSMICON})
    {
        int size = GetSystemMetrics(metric);
        const BITMAPINFOHEADER* image = ImageForSize(MAKEINTRESOURCEA(IDR_MAINFRAME), true, size);
        ASSERT_NE(nullptr, image) << size;
        EXPECT_EQ(size, image->biWidth);
    }
}

TEST(DpiResources, HandCursorHasAnImageForEveryUsualScaleWithTheHotSpotOnTheFingerTip)
{
    const BYTE* dir = ResourceBytes(MAKEINTRESOURCEA(IDC_HAND_CURSOR), MAKEINTRESOURCEA(12));
    ASSERT_NE(nullptr, dir);
    WORD count = reinterpret_cast<const WORD*>(dir)[2];
    const GroupCursorEntry* entries = reinterpret_cast<const GroupCursorEntry*>(dir + 6);
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i)
        sizes.insert(entries[i].width);

    std::set<int> wanted = {32, 40, 48, 64, GetSystemMetrics(SM_CXCURSOR)};
    for (int size : wanted)
    {
        EXPECT_EQ(1u, sizes.count(size)) << "no hand cursor image of " << size << " pixels";
        const BYTE* bits = nullptr;
        const BITMAPINFOHEADER* image = ImageForSize(MAKEINTRESOURCEA(IDC_HAND_CURSOR), false, size, &bits);
        ASSERT_NE(nullptr, image) << size;
        if (image->biWidth != size)
            continue;
        ASSERT_EQ(1, image->biBitCount) << size;
        int hotX = reinterpret_cast<const WORD*>(bits)[0];
        int hotY = reinterpret_cast<const WORD*>(bits)[1];
        EXPECT_EQ(0, hotY) << size;

        // The AND mask follows the palette and the XOR mask, bottom row
        // first; a set bit is a transparent pixel.
        const int stride = (size + 31) / 32 * 4;
        const BYTE* andMask = reinterpret_cast<const BYTE*>(image) + image->biSize + 8 + stride * size;
        const BYTE* topRow = andMask + stride * (size - 1);
        auto opaque = [topRow](int x) { return (topRow[x / 8] & (0x80 >> (x % 8))) == 0; };
        EXPECT_TRUE(opaque(hotX)) << size << ": the hot spot is on the hand";
        EXPECT_FALSE(opaque(hotX - 1)) << size << ": the hot spot is the tip's left edge";
    }
}

TEST_F(DpiMainDialog, IconsHaveTheBigIconSizeOfThisScreen)
{
    HWND hIconControl = nullptr;
    for (HWND hChild = ::GetWindow(m_dlg.m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        if ((::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassOf(hChild) == "Static")
            hIconControl = hChild;
    ASSERT_NE(nullptr, hIconControl);
    HICON icons[] = {reinterpret_cast<HICON>(m_dlg.SendMessage(WM_GETICON, ICON_BIG)),
                     reinterpret_cast<HICON>(::SendMessageA(hIconControl, STM_GETICON, 0, 0))};
    for (HICON hIcon : icons)
    {
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bm = {};
        ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(GetSystemMetrics(SM_CXICON), bm.bmWidth);
        EXPECT_EQ(GetSystemMetrics(SM_CYICON), bm.bmHeight);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
}

TEST_F(DpiMainDialog, EveryTextFitsItsControl)
{
    const int box = GetSystemMetrics(SM_CXMENUCHECK);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    int checked = 0;
    for (HWND hChild = ::GetWindow(m_dlg.m_hWnd, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        const int id = ::GetDlgCtrlID(hChild);
        const LONG style = ::GetWindowLongA(hChild, GWL_STYLE);
        const std::string cls = ClassOf(hChild);
        RECT rc = {};
        ::GetClientRect(hChild, &rc);
        if (id == IDC_INTRO || id == IDC_STATUS)
            continue; // the markup labels: below
        if (cls == "Static")
        {
            const LONG type = style & SS_TYPEMASK;
            if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT)
                continue; // the icon and the etched line
            UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
            format |= (style & SS_CENTERIMAGE) ? DT_SINGLELINE : DT_WORDBREAK;
            SIZE extent = TextExtent(hChild, Text(hChild), format, rc.right);
            EXPECT_LE(extent.cx, rc.right) << "\"" << Text(hChild) << "\"";
            EXPECT_LE(extent.cy, rc.bottom) << "\"" << Text(hChild) << "\"";
            ++checked;
        }
        else if (cls == "Button")
        {
            SIZE extent = TextExtent(hChild, Text(hChild), DT_SINGLELINE, 0);
            const LONG type = style & BS_TYPEMASK;
            // A check box's text stands beside its box, half a character away.
            int room = (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                           ? rc.right - box - AverageCharWidth(hChild) / 2
                           : rc.right - 4 * edge;
            EXPECT_LE(extent.cx, room) << "\"" << Text(hChild) << "\"";
            EXPECT_LE(extent.cy, rc.bottom) << "\"" << Text(hChild) << "\"";
            ++checked;
        }
        else if (cls == "ComboBox")
        {
            // Every item in the selection field, beside the drop-down arrow.
            int room = rc.right - GetSystemMetrics(SM_CXVSCROLL) - 2 * edge;
            int items = static_cast<int>(::SendMessageA(hChild, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(3, items);
            for (int i = 0; i < items; ++i)
            {
                char item[128] = {};
                ::SendMessageA(hChild, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                EXPECT_LE(TextExtent(hChild, item, DT_SINGLELINE | DT_NOPREFIX, 0).cx, room) << item;
            }
            ++checked;
        }
    }
    // Two statics, two push buttons, two check boxes and the list.
    EXPECT_EQ(7, checked);
}

TEST_F(DpiMainDialog, BothLabelsShowAllTheirText)
{
    ExpectShowsAllItsText(m_dlg.m_lblIntro, "the intro label");

    // The longest status line: a drop of thousands of pictures.
    m_dlg.ShowStatus(12345, 12345, true);
    PumpMessages();
    ExpectShowsAllItsText(m_dlg.m_lblStatus, "the status line");
}

TEST_F(DpiMainDialog, ClickOnTheDrawnViewLogReachesTheShowLogCommand)
{
    m_dlg.ShowStatus(15, 13, true);
    PumpMessages();
    ExpectLinkCoveredAndClickable();
}

TEST_F(DpiMainDialog, FollowsEveryChangeOfScaleWithoutClippingAnything)
{
    m_dlg.ShowStatus(12345, 12345, true);
    PumpMessages();
    const int startDpi = ScreenDpi();
    RECT intro = {}, status = {};
    ::GetClientRect(m_dlg.m_lblIntro.m_hWnd, &intro);
    ::GetClientRect(m_dlg.m_lblStatus.m_hWnd, &status);
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(m_dlg.m_lblIntro.SendMessage(WM_GETFONT)), sizeof(font), &font);
    const char* shots = getenv("CHRONOSHIFT_DPI_SHOTS");

    int dpi = startDpi;
    for (int next : {144, 192, 96})
    {
        SCOPED_TRACE(next);
        // As Windows suggests it: the window's rectangle scaled, its corner kept.
        RECT window = {};
        ::GetWindowRect(m_dlg.m_hWnd, &window);
        RECT suggested = {window.left, window.top,
                          window.left + MulDiv(window.right - window.left, next, dpi),
                          window.top + MulDiv(window.bottom - window.top, next, dpi)};
        m_dlg.SendMessage(WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
        PumpMessages();
        dpi = next;

        ::GetWindowRect(m_dlg.m_hWnd, &window);
        EXPECT_EQ(suggested.left, window.left);
        EXPECT_EQ(suggested.top, window.top);
        EXPECT_GE(window.right, suggested.right);
        EXPECT_GE(window.bottom, suggested.bottom);
        // The labels grow with the scale; the font's own units give them
        // their exact size, a few per cent off the proportion.
        RECT rc = {};
        ::GetClientRect(m_dlg.m_lblIntro.m_hWnd, &rc);
        EXPECT_NEAR(MulDiv(intro.right, dpi, startDpi), rc.right, intro.right * dpi / startDpi / 12);
        EXPECT_NEAR(MulDiv(intro.bottom, dpi, startDpi), rc.bottom, intro.bottom * dpi / startDpi / 12);
        ::GetClientRect(m_dlg.m_lblStatus.m_hWnd, &rc);
        EXPECT_NEAR(MulDiv(status.right, dpi, startDpi), rc.right, status.right * dpi / startDpi / 12);
        LOGFONTA now = {};
        ::GetObjectA(reinterpret_cast<HFONT>(m_dlg.m_lblStatus.SendMessage(WM_GETFONT)), sizeof(now), &now);
        EXPECT_EQ(MulDiv(font.lfHeight, dpi, startDpi), now.lfHeight);

        HICON hIcon = reinterpret_cast<HICON>(m_dlg.SendMessage(WM_GETICON, ICON_BIG));
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bm = {};
        ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(AfxGetSystemMetricsForDpi(SM_CXICON, dpi), bm.bmWidth);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);

        // Every control inside the client area.
        RECT client = {};
        ::GetClientRect(m_dlg.m_hWnd, &client);
        for (HWND hChild = ::GetWindow(m_dlg.m_hWnd, GW_CHILD); hChild != nullptr;
             hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        {
            RECT place = {};
            ::GetWindowRect(hChild, &place);
            ::MapWindowPoints(nullptr, m_dlg.m_hWnd, reinterpret_cast<POINT*>(&place), 2);
            EXPECT_LE(place.right, client.right) << ::GetDlgCtrlID(hChild);
            EXPECT_LE(place.bottom, client.bottom) << ::GetDlgCtrlID(hChild);
        }
        ExpectShowsAllItsText(m_dlg.m_lblIntro, "the intro label");
        ExpectShowsAllItsText(m_dlg.m_lblStatus, "the status line");
        ExpectLinkCoveredAndClickable();
        if (shots != nullptr)
            SaveWindowBitmap(m_dlg.m_hWnd,
                             (std::string(shots) + "\\dpi-" + std::to_string(dpi) + ".bmp").c_str());
    }
}
