// The markup label: construction, the owner's interface and the paint handlers.
#include "markup/MarkupStatic.h"
#include "markup/MarkupColor.h"
#include "markup/EntityTable.h"

#include "framework/Dpi.h"

#include <new>

namespace
{
COLORREF Exchange(COLORREF& slot, COLORREF value)
{
    const COLORREF previous = slot;
    slot = value;
    return previous;
}
} // namespace

BEGIN_MESSAGE_MAP(CMarkupStatic, CStatic)
ON_WM_PAINT()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgndMessage)
ON_MESSAGE(WM_SETTEXT, OnSetTextMessage)
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_MESSAGE(WM_KEYDOWN, OnKeyDownMessage)
ON_MESSAGE(WM_SETFOCUS, OnFocusMessage)
ON_MESSAGE(WM_KILLFOCUS, OnFocusMessage)
END_MESSAGE_MAP()

CMarkupStatic::CMarkupStatic()
    : KeepTextInternally(0), RedrawImmediately(0), m_nCacheWidth(0), m_nCacheHeight(0), m_crBackground(0),
      m_crText(0), m_bDirty(0), m_nUnderline(0), m_nBold(0), m_nItalic(0), m_nCenter(0), m_nStrike(0),
      m_nSubscript(0), m_nSuperscript(0), m_nPendingRules(0), m_bLineBreakRun(0), m_bInLink(0), m_bHover(0),
      m_nRuleThickness(0), m_hSavedCursor(nullptr), m_nLineTop(0), m_pAppCommands(nullptr), m_nAppCommands(0),
      m_bRepaintPending(0)
{
    m_bDirty = 1;
    RedrawImmediately = 1;
    LoadHandCursor(AfxGetSystemDpi());
    AssignEntityCodes();
    ResetAll();
}

CMarkupStatic::~CMarkupStatic()
{
    ResetAll();
    m_handCursor.Close();
    FreeCache();
}

void CMarkupStatic::SetDpi(int nDpi)
{
    if (nDpi <= 0 || nDpi == m_nDpi)
        return;
    m_nDpi = nDpi;
    LoadHandCursor(nDpi);
    // The image, its sizes and the link rectangles are made anew at the next paint.
    m_bDirty = 1;
    if (m_hWnd != nullptr)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

COLORREF CMarkupStatic::SetBackgroundColor(const char* name)
{
    return SetBackgroundColor(CMarkupColor(name).GetColorRef());
}

COLORREF CMarkupStatic::SetBackgroundColor(COLORREF color)
{
    return Exchange(m_crBackground, color);
}

COLORREF CMarkupStatic::SetForegroundColor(const char* name)
{
    return SetForegroundColor(CMarkupColor(name).GetColorRef());
}

COLORREF CMarkupStatic::SetForegroundColor(COLORREF color)
{
    return Exchange(m_crText, color);
}

void CMarkupStatic::SetMarkupText(const char* text)
{
    ResetMarkupState();
    if (text == nullptr)
        text = "";
    if (KeepTextInternally)
        m_strMarkup = text;
    else if (m_hWnd != nullptr)
        ::SetWindowTextA(m_hWnd, text);
    UpdateTabStop(text);

    if (m_hWnd == nullptr)
        return;
    if (RedrawImmediately)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    else if (!m_bRepaintPending)
    {
        // The repaint already asked for shows the newest text: asking again
        // before it came (a drop sets a text per file) only costs a system call.
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        m_bRepaintPending = 1;
    }
}

void CMarkupStatic::SetAppCommands(const AppCommand* table, int count)
{
    delete[] m_pAppCommands;
    m_pAppCommands = nullptr;
    m_nAppCommands = 0;
    if (table == nullptr || count <= 0)
        return;
    m_pAppCommands = new (std::nothrow) AppCommand[count];
    if (m_pAppCommands == nullptr)
        return;
    for (int i = 0; i < count; ++i)
        m_pAppCommands[i] = table[i];
    m_nAppCommands = count;
}

RECT CMarkupStatic::GetLinkRect(int index) const
{
    RECT rc = {0, 0, 0, 0};
    if (index >= 0 && index < GetLinkCount())
        rc = m_linkRects[index];
    return rc;
}

CString CMarkupStatic::GetLinkTarget(int index) const
{
    if (index >= 0 && index < static_cast<int>(m_linkTargets.size()))
        return m_linkTargets[index];
    return CString();
}

void CMarkupStatic::ResetMarkupState()
{
    m_bDirty = 1;
    m_nUnderline = 0;
    m_nBold = 0;
    m_nItalic = 0;
    m_nCenter = 0;
    m_nStrike = 0;
    m_nSubscript = 0;
    m_nSuperscript = 0;
    m_nPendingRules = 0;
    m_nRuleThickness = 2;
    m_bHover = 0;
    m_hSavedCursor = nullptr; // forgotten, not put back
    m_bInLink = 0;
    m_bLineBreakRun = 0;
}

void CMarkupStatic::ResetAll()
{
    ResetMarkupState();
    m_crBackground = GetSysColor(COLOR_WINDOW);
    m_crText = GetSysColor(COLOR_WINDOWTEXT);
    ClearLinks();
    SetAppCommands(nullptr, 0);
}

void CMarkupStatic::ClearLinks()
{
    m_linkRects.clear();
    m_linkTargets.clear();
}

void CMarkupStatic::FreeCache()
{
    // The bitmap comes out of the context before either goes.
    m_cacheSelection.Restore();
    m_dcCache.Close();
    m_bmCache.Close();
    m_nCacheWidth = 0;
    m_nCacheHeight = 0;
}

CString CMarkupStatic::GetMarkup() const
{
    if (KeepTextInternally)
        return m_strMarkup;
    CString text;
    if (m_hWnd == nullptr)
        return text;
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0)
        return text;
    char* buffer = text.GetBuffer(length + 1);
    int copied = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return text;
}

void CMarkupStatic::OnPaint()
{
    m_bRepaintPending = 0;
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    RenderTo(hdc);
    DrawFocusCue(hdc);
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CMarkupStatic::OnPrintClient(WPARAM wParam, LPARAM)
{
    RenderTo(reinterpret_cast<HDC>(wParam));
    DrawFocusCue(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CMarkupStatic::OnEraseBkgndMessage(WPARAM, LPARAM)
{
    // The whole client area is painted from the image: nothing to erase.
    return 0;
}

LRESULT CMarkupStatic::OnSetTextMessage(WPARAM wParam, LPARAM lParam)
{
    // Only store the text: the static control would draw it at once as plain
    // text over the label's image.
    return ::DefWindowProcA(m_hWnd, WM_SETTEXT, wParam, lParam);
}
