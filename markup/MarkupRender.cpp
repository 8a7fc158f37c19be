// The paint pipeline: the cached off-screen image, the markup scan and the
// drawing of one run.
#include "markup/MarkupStatic.h"
#include "markup/MarkupColor.h"
#include "markup/EntityTable.h"

#include "framework/Dpi.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace
{
// Case-insensitive test of a tag at the start of [p, end); never reads past end.
bool StartsWith(const char* p, const char* end, const char* tag)
{
    size_t length = strlen(tag);
    return static_cast<size_t>(end - p) >= length && _strnicmp(p, tag, length) == 0;
}

const char* FindChar(const char* p, const char* end, char ch)
{
    const void* found = memchr(p, ch, static_cast<size_t>(end - p));
    return static_cast<const char*>(found);
}

// atoi over a bounded stretch of text.
long ReadInteger(const char* p, const char* end)
{
    CString value(p, static_cast<int>(end - p));
    return strtol(value, nullptr, 10);
}

LONG OffsetHeight(LONG height, long long delta)
{
    long long result = static_cast<long long>(height) + delta;
    if (result > INT_MAX)
        return INT_MAX;
    if (result < INT_MIN + 1)
        return INT_MIN + 1;
    return static_cast<LONG>(result);
}

// One step away from zero (<BIG>) or toward it (<SMALL>); zero counts as negative.
LONG GrowHeight(LONG height, int step)
{
    return OffsetHeight(height, height > 0 ? step : -step);
}

LONG ShrinkHeight(LONG height, int step)
{
    return OffsetHeight(height, height > 0 ? -step : step);
}

// Sizes in the markup are pixels of a 96-DPI screen; they grow with the
// display scale, as the dialog's font does (rounded as MulDiv rounds).
long long ScaleToDpi(long long pixels, int dpi)
{
    long long scaled = pixels * dpi;
    return (scaled >= 0 ? scaled + 48 : scaled - 48) / 96;
}

// Counters of the paired style tags never go below zero.
void CountDown(int& counter)
{
    if (counter > 0)
        --counter;
}

const char kCodeFace[] = "Courier New";
} // namespace

void CMarkupStatic::RenderTo(HDC hdc)
{
    if (hdc == nullptr)
        return;

    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rcClient);
    int width = rcClient.right - rcClient.left;
    int height = rcClient.bottom - rcClient.top;

    if (!m_bDirty)
    {
        // The image keeps the size it was built with.
        if (m_dcCache)
            BitBlt(hdc, 0, 0, width < m_nCacheWidth ? width : m_nCacheWidth,
                   height < m_nCacheHeight ? height : m_nCacheHeight, m_dcCache.Get(), 0, 0, SRCCOPY);
        return;
    }

    FreeCache();
    ClearLinks();
    if (width <= 0 || height <= 0)
        return;
    m_dcCache.Attach(CreateCompatibleDC(hdc));
    m_bmCache.Attach(CreateCompatibleBitmap(hdc, width, height));
    if (!m_dcCache || !m_bmCache)
    {
        // Left dirty: the next paint tries again.
        FreeCache();
        return;
    }
    m_cacheSelection.Select(m_dcCache.Get(), m_bmCache.Get());
    m_nCacheWidth = width;
    m_nCacheHeight = height;
    // What lies beneath shows through a transparent label.
    BitBlt(m_dcCache.Get(), 0, 0, width, height, hdc, 0, 0, SRCCOPY);
    m_bDirty = 0;

    CString markup = GetMarkup();
    EscapeEntities(markup);

    RenderState rs{};
    rs.hdc = m_dcCache.Get();
    rs.crText = rs.crBaseText = m_crText;
    rs.crBack = rs.crBaseBack = m_crBackground;
    rs.bTransparent = (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT) != 0;
    rs.nDpi = m_nDpi > 0 ? m_nDpi : AfxGetWindowDpi(m_hWnd);

    if (!rs.bTransparent)
    {
        CGdiObject<HBRUSH> brush(CreateSolidBrush(m_crBackground));
        if (brush)
            FillRect(rs.hdc, &rcClient, brush.Get());
    }

    if (markup.IsEmpty() || !::IsWindowVisible(m_hWnd))
        return;

    rs.rcLayout = rcClient;
    m_nLineTop = rs.rcLayout.top;
    rs.x = 0;

    HFONT hBaseFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    if (hBaseFont == nullptr)
        hBaseFont = static_cast<HFONT>(GetCurrentObject(hdc, OBJ_FONT));
    LOGFONTA lf;
    memset(&lf, 0, sizeof(lf));
    if (hBaseFont == nullptr || GetObjectA(hBaseFont, sizeof(lf), &lf) == 0)
        GetObjectA(GetStockObject(SYSTEM_FONT), sizeof(lf), &lf);
    lf.lfWeight = m_nBold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = m_nItalic ? 1 : 0;
    lf.lfUnderline = m_nUnderline ? 1 : 0;
    lf.lfStrikeOut = m_nStrike ? 1 : 0;
    rs.lfBase = lf;
    rs.lfWork = lf;
    rs.runFont.Attach(CreateFontIndirectA(&lf));
    rs.fontSelection.Select(rs.hdc, rs.runFont.Get());
    TEXTMETRICA tm;
    if (GetTextMetricsA(rs.hdc, &tm))
        rs.nLastDescent = tm.tmDescent;
    rs.bSizeApplied = 0;

    const char* text = markup;
    RunMarkupScan(rs, text, text + markup.GetLength());

    BitBlt(hdc, 0, 0, width, height, rs.hdc, 0, 0, SRCCOPY);
}

void CMarkupStatic::RunMarkupScan(RenderState& rs, const char* p, const char* end)
{
    struct CounterTag
    {
        const char* tag;
        int CMarkupStatic::*counter;
        bool opens;
    };
    static const CounterTag counterTags[] = {
        {"<B>", &CMarkupStatic::m_nBold, true},          {"</B>", &CMarkupStatic::m_nBold, false},
        {"<I>", &CMarkupStatic::m_nItalic, true},        {"</I>", &CMarkupStatic::m_nItalic, false},
        {"<U>", &CMarkupStatic::m_nUnderline, true},     {"</U>", &CMarkupStatic::m_nUnderline, false},
        {"<CENTER>", &CMarkupStatic::m_nCenter, true},   {"</CENTER>", &CMarkupStatic::m_nCenter, false},
        {"<STRIKE>", &CMarkupStatic::m_nStrike, true},   {"</STRIKE>", &CMarkupStatic::m_nStrike, false},
        {"<SUB>", &CMarkupStatic::m_nSubscript, true},   {"</SUB>", &CMarkupStatic::m_nSubscript, false},
        {"<SUP>", &CMarkupStatic::m_nSuperscript, true}, {"</SUP>", &CMarkupStatic::m_nSuperscript, false},
    };

    while (p < end)
    {
        bool handled = false;
        for (const CounterTag& entry : counterTags)
        {
            if (StartsWith(p, end, entry.tag))
            {
                if (entry.opens)
                    ++(this->*entry.counter);
                else
                    CountDown(this->*entry.counter);
                p += strlen(entry.tag);
                handled = true;
                break;
            }
        }
        if (handled)
            continue;

        if (StartsWith(p, end, "<BIG>") || StartsWith(p, end, "</SMALL>"))
        {
            rs.lfWork.lfHeight = GrowHeight(rs.lfWork.lfHeight, static_cast<int>(ScaleToDpi(1, rs.nDpi)));
            p += (p[1] == '/') ? 8 : 5;
            continue;
        }
        if (StartsWith(p, end, "</BIG>") || StartsWith(p, end, "<SMALL>"))
        {
            rs.lfWork.lfHeight = ShrinkHeight(rs.lfWork.lfHeight, static_cast<int>(ScaleToDpi(1, rs.nDpi)));
            p += (p[1] == '/') ? 6 : 7;
            continue;
        }
        if (StartsWith(p, end, "</FONT>"))
        {
            rs.crText = rs.crBaseText;
            rs.crBack = rs.crBaseBack;
            rs.lfWork = rs.lfBase;
            if (rs.bSizeApplied)
                m_nLineTop += rs.nLastDescent;
            rs.bSizeApplied = 0;
            p += 7;
            continue;
        }
        if (StartsWith(p, end, "<CODE>"))
        {
            memset(rs.lfWork.lfFaceName, 0, sizeof(rs.lfWork.lfFaceName));
            memcpy(rs.lfWork.lfFaceName, kCodeFace, sizeof(kCodeFace));
            p += 6;
            continue;
        }
        if (StartsWith(p, end, "</CODE>"))
        {
            rs.lfWork = rs.lfBase;
            p += 7;
            continue;
        }

        // The tags with attributes need their ">"; without it they are text.
        const char* close = FindChar(p, end, '>');
        if (close != nullptr && StartsWith(p, end, "<FONT"))
        {
            ReadFontAttributes(rs, p + 5, close);
            p = close + 1;
            continue;
        }
        if (close != nullptr && StartsWith(p, end, "<A HREF="))
        {
            // The target sits between the quotes: from position 9 to the one
            // before the closing quote; a ">" too early leaves it empty.
            const char* first = p + 9;
            const char* last = close - 2;
            CString target;
            if (last >= first)
                target = CString(first, static_cast<int>(last - first + 1));
            m_strLinkTarget = target;
            m_bInLink = 1;
            p = close + 1;
            continue;
        }
        if (StartsWith(p, end, "</A>"))
        {
            m_bInLink = 0;
            p += 4;
            continue;
        }
        if (close != nullptr && StartsWith(p, end, "<HR"))
        {
            ReadRuleAttributes(p + 3, close);
            p = close + 1;
            ++m_nPendingRules;
            m_bLineBreakRun = 1;
            DrawRun(rs, "\r\n", 2);
            continue;
        }

        // Text branch.
        const char* lt = FindChar(p, end, '<');
        if (lt == nullptr)
        {
            DrawRun(rs, p, static_cast<int>(end - p));
            p = end;
        }
        else if (StartsWith(p, end, "<BR>"))
        {
            m_bLineBreakRun = 1;
            DrawRun(rs, "\r\n", 2);
            p += 4;
        }
        else if (lt > p)
        {
            DrawRun(rs, p, static_cast<int>(lt - p));
            p = lt;
        }
        else
        {
            // An unknown tag is text: its "<" alone, the rest with what follows.
            DrawRun(rs, p, 1);
            ++p;
        }
    }
}

void CMarkupStatic::ReadFontAttributes(RenderState& rs, const char* a, const char* end)
{
    while (a < end)
    {
        if (*a == ' ')
        {
            ++a;
            continue;
        }

        enum
        {
            kColor,
            kBgColor,
            kFace,
            kSize,
            kOther
        } which = kOther;
        if (StartsWith(a, end, "COLOR"))
            which = kColor;
        else if (StartsWith(a, end, "BGCOLOR"))
            which = kBgColor;
        else if (StartsWith(a, end, "FACE"))
            which = kFace;
        else if (StartsWith(a, end, "SIZE"))
            which = kSize;

        if (which == kOther)
        {
            const char* space = FindChar(a, end, ' ');
            a = (space != nullptr) ? space : end;
            continue;
        }

        const char* open = FindChar(a, end, '"');
        if (open == nullptr)
            return; // unquoted value: the rest of the tag is not read
        const char* closeQuote = FindChar(open + 1, end, '"');
        if (closeQuote == nullptr)
        {
            a = open + 1;
            continue;
        }
        CString value(open + 1, static_cast<int>(closeQuote - open - 1));
        a = closeQuote + 1;

        switch (which)
        {
        case kColor:
            rs.crText = CMarkupColor(value).GetColorRef();
            break;
        case kBgColor:
            rs.crBack = CMarkupColor(value).GetColorRef();
            break;
        case kFace:
            memset(rs.lfWork.lfFaceName, 0, sizeof(rs.lfWork.lfFaceName));
            strncpy(rs.lfWork.lfFaceName, value, sizeof(rs.lfWork.lfFaceName) - 1);
            break;
        case kSize:
            rs.lfWork.lfHeight =
                OffsetHeight(rs.lfWork.lfHeight, -ScaleToDpi(strtol(value, nullptr, 10), rs.nDpi));
            rs.bSizeApplied = 1;
            break;
        default:
            break;
        }
    }
}

void CMarkupStatic::ReadRuleAttributes(const char* a, const char* end)
{
    // Only the tag itself is read: its ">" bounds the search.
    while (a < end)
    {
        if (*a == ' ')
        {
            ++a;
            continue;
        }
        if (!StartsWith(a, end, "SIZE"))
        {
            const char* space = FindChar(a, end, ' ');
            a = (space != nullptr) ? space : end;
            continue;
        }
        const char* equals = FindChar(a, end, '=');
        if (equals != nullptr)
        {
            // A negative thickness would pull the following lines upward.
            long value = ReadInteger(equals + 1, end);
            m_nRuleThickness = value < 0 ? 0 : (value > INT_MAX ? INT_MAX : static_cast<int>(value));
        }
        return;
    }
}

void CMarkupStatic::SelectRunFont(RenderState& rs)
{
    rs.lfWork.lfWeight = m_nBold ? FW_BOLD : FW_NORMAL;
    rs.lfWork.lfItalic = m_nItalic ? 1 : 0;
    rs.lfWork.lfUnderline = m_nUnderline ? 1 : 0;
    rs.lfWork.lfStrikeOut = m_nStrike ? 1 : 0;

    rs.fontSelection.Restore();
    rs.runFont.Attach(CreateFontIndirectA(&rs.lfWork));
    rs.fontSelection.Select(rs.hdc, rs.runFont.Get());
}

void CMarkupStatic::DrawRun(RenderState& rs, const char* runText, int length)
{
    HDC hdc = rs.hdc;
    CString run(runText, length);

    SelectRunFont(rs);
    SetTextColor(hdc, rs.crText);
    if (rs.bTransparent)
        SetBkMode(hdc, TRANSPARENT);
    else
        SetBkColor(hdc, rs.crBack);

    TEXTMETRICA tm;
    memset(&tm, 0, sizeof(tm));
    GetTextMetricsA(hdc, &tm);
    rs.nLastDescent = tm.tmDescent;
    int shift = 0;
    if (m_nSubscript)
        shift += tm.tmAscent / 2;
    if (m_nSuperscript)
        shift -= tm.tmAscent / 2;
    rs.rcLayout.top += shift;
    rs.rcLayout.bottom += shift;
    m_nLineTop += shift;

    // Centring and link rectangles measure the run as it is drawn.
    const CString laidOut = RunTextAsLaidOut(run);
    int savedLeft = rs.rcLayout.left;
    if (m_nCenter)
    {
        SIZE size = {0, 0};
        MeasureLine(hdc, laidOut, size);
        rs.rcLayout.left = (rs.rcLayout.right - rs.rcLayout.left - size.cx) / 2;
    }
    rs.x = LayoutRun(hdc, run, rs.rcLayout, rs.x);
    rs.rcLayout.left = savedLeft;

    if (run == "\r\n")
        rs.x = 0;

    rs.rcLayout.top -= shift;
    rs.rcLayout.bottom -= shift;
    m_nLineTop -= shift;

    if (m_bInLink)
    {
        SIZE size = {0, 0};
        MeasureLine(hdc, laidOut, size);
        RECT rc = {rs.x - size.cx, rs.rcLayout.top, rs.x, rs.rcLayout.top + size.cy};
        m_linkRects.push_back(rc);
        m_linkTargets.push_back(m_strLinkTarget);
    }

    if (m_nPendingRules)
    {
        long long scaled = ScaleToDpi(m_nRuleThickness, rs.nDpi);
        const int thickness = scaled > INT_MAX ? INT_MAX : static_cast<int>(scaled);
        CGdiObject<HPEN> pen(CreatePen(PS_SOLID, thickness, rs.crText));
        if (pen)
        {
            CSelectedObject selection(hdc, pen.Get());
            MoveToEx(hdc, rs.rcLayout.left, rs.rcLayout.top, nullptr);
            LineTo(hdc, rs.rcLayout.right, rs.rcLayout.top);
        }
        m_nLineTop += thickness;
        rs.rcLayout.top += thickness;
        rs.rcLayout.bottom += thickness;
        rs.x = 0;
        --m_nPendingRules;
    }

    m_bLineBreakRun = 0;
}
