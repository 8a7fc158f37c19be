// The keyboard's way to a label's link, as the system's link control has
// it: a tab stop while the markup holds a link, a focus rectangle around the
// link while the label has the focus, and Enter or Space to follow it.
#include "markup/MarkupStatic.h"

#include <string.h>

namespace
{
bool HoldsLink(const char* markup)
{
    const char tag[] = "<A HREF=";
    for (const char* p = strchr(markup, '<'); p != nullptr; p = strchr(p + 1, '<'))
        if (_strnicmp(p, tag, sizeof(tag) - 1) == 0 && strchr(p, '>') != nullptr)
            return true;
    return false;
}
} // namespace

void CMarkupStatic::UpdateTabStop(const char* markup)
{
    // The intro line, without a link, stays out of the tab order.
    m_bKeyboardLink = HoldsLink(markup) ? 1 : 0;
    if (m_hWnd == nullptr)
        return;
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    const LONG wanted = m_bKeyboardLink ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style)
        ::SetWindowLongA(m_hWnd, GWL_STYLE, wanted);
}

void CMarkupStatic::DrawFocusCue(HDC hdc)
{
    // Around the first link: its runs are recorded one after another.
    if (hdc == nullptr || ::GetFocus() != m_hWnd || GetLinkCount() == 0)
        return;
    RECT rc = m_linkRects[0];
    for (int i = 1; i < GetLinkCount() && m_linkTargets[i] == m_linkTargets[0]; ++i)
        ::UnionRect(&rc, &rc, &m_linkRects[i]);
    ::DrawFocusRect(hdc, &rc);
}

LRESULT CMarkupStatic::OnGetDlgCode(WPARAM, LPARAM lParam)
{
    LRESULT code = Default();
    if (!m_bKeyboardLink)
        return code;
    // Enter is the link's, not the default button's; and a link passes no
    // mnemonic on to the control after it, as a static label would.
    code &= ~static_cast<LRESULT>(DLGC_STATIC);
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

LRESULT CMarkupStatic::OnKeyDownMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_bKeyboardLink || (wParam != VK_RETURN && wParam != VK_SPACE))
        return Default();
    // A held key follows the link once.
    const bool bRepeat = (lParam & 0x40000000) != 0;
    if (!bRepeat && GetLinkCount() > 0)
    {
        // A copy: following the link may set a new text, which empties the lists.
        CString target = m_linkTargets[0];
        ActivateLink(target, SW_SHOW);
    }
    return 0;
}

LRESULT CMarkupStatic::OnFocusMessage(WPARAM, LPARAM)
{
    // The focus rectangle is drawn over the cached image, not into it.
    if (GetLinkCount() > 0)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return Default();
}
