#include "framework/CWnd.h"

#include "framework/CWinApp.h"

#include <map>
#include <memory>

namespace
{
// The property that links a window to its C++ object.
const char kObjectProp[] = "Chronoshift.CWnd";

// The message being handled, for Default(). One user-interface thread.
struct CurrentMessage
{
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage g_current = {nullptr, 0, 0, 0};
int g_nDispatchDepth = 0;

// Temporary wrappers for windows and menus that are not ours.
template <typename Handle, typename Object> class TempMap
{
public:
    Object* Get(Handle h)
    {
        std::unique_ptr<Object>& p = m_map[h];
        if (!p)
            p.reset(new Object(h));
        return p.get();
    }
    void Clear() { m_map.clear(); }

private:
    std::map<Handle, std::unique_ptr<Object>> m_map;
};

// A temporary CWnd must not destroy its window: it only borrows the handle.
class CTempWnd : public CWnd
{
public:
    explicit CTempWnd(HWND hWnd) { m_hWnd = hWnd; }
    ~CTempWnd() override { m_hWnd = nullptr; }
};

TempMap<HWND, CTempWnd> g_tempWnds;
TempMap<HMENU, CMenu> g_tempMenus;
} // namespace

const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::CWnd(HWND hWndConstant) : m_hWnd(hWndConstant), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    // A window that outlives its object would call into freed memory.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProp));
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    return g_tempWnds.Get(hWnd);
}

void CWnd::DeleteTempMap()
{
    g_tempWnds.Clear();
    g_tempMenus.Clear();
}

int CWnd::GetDispatchDepth()
{
    return g_nDispatchDepth;
}

BOOL CWnd::Attach(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    if (!::SetPropA(hWnd, kObjectProp, this))
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd && FromHandlePermanent(hWnd) == this)
        ::RemovePropA(hWnd, kObjectProp);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!pfnOld)
    {
        Detach();
        return FALSE;
    }
    if (pfnOld != &AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent || !pParent->m_hWnd)
        return FALSE;
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight,
                                  hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    if (!hWnd)
        return FALSE;
    if (!SubclassWindow(hWnd))
    {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    if (FromHandlePermanent(m_hWnd) != this)
    {
        // Not ours to track: just destroy it and forget the handle.
        BOOL bResult = ::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
        return bResult;
    }
    // WM_NCDESTROY detaches the object (AfxWndProc).
    BOOL bResult = ::DestroyWindow(m_hWnd);
    if (m_hWnd && !::IsWindow(m_hWnd))
        m_hWnd = nullptr;
    return bResult;
}

void CWnd::PreSubclassWindow() {}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_current.message, g_current.wParam, g_current.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), AfxEntryMessage, message, 0, 0);
    if (!e)
        return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    // Menus and accelerators carry no control; their code is not a notification.
    UINT nCode = hWndCtrl ? HIWORD(wParam) : 0;
    if (hWndCtrl)
    {
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        LRESULT lResult = 0;
        if (pChild && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &lResult))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    if (message != WM_COMMAND)
        return FALSE;
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), AfxEntryReflect, 0, HIWORD(wParam), 0);
    if (!e)
        return FALSE;
    e->pfn(this, wParam, 0);
    *pResult = 0;
    return TRUE;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    CurrentMessage saved = g_current;
    g_current = {hWnd, message, wParam, lParam};
    ++g_nDispatchDepth;
    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        // Last message of the window: give it back its own procedure and let go.
        pWnd->UnsubclassWindow();
    }
    --g_nDispatchDepth;
    g_current = saved;
    return lResult;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    HMENU hMenu = ::GetSystemMenu(m_hWnd, bRevert);
    return hMenu ? g_tempMenus.Get(hMenu) : nullptr;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}
