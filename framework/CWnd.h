// A window: the HWND plus our message dispatch through the class's message
// map. Windows are either created by us (CreateEx, dialogs) or subclassed
// (SubclassWindow, SubclassDlgItem, DDX_Control); either way the C++ object is
// found from the HWND through a window property and the window procedure is
// ours until WM_NCDESTROY, when the object lets go of the window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/CCmdTarget.h"
#include "framework/CMenu.h"

class CWnd : public CCmdTarget
{
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd;

    // The object that owns hWnd (created or subclassed by us), or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The owning object, or else a temporary one. Temporary objects stay valid
    // while the current message is handled and are deleted when the message
    // loop next goes idle (no handler running); never keep the pointer.
    static CWnd* FromHandle(HWND hWnd);
    // Deletes the temporary objects; the message pump calls it when idle.
    static void DeleteTempMap();

    // Creation and attachment.
    BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Window procedure of the object: the message map, then default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled now.
    LRESULT Default();
    // Default processing of any message: the window procedure we replaced.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Keyboard and mouse messages before dispatch; TRUE when consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Common wrappers.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // The system menu as a temporary object (see FromHandle), or nullptr.
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

    // For SetWindowPos: HWND_TOPMOST, HWND_NOTOPMOST.
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // How deep handlers of ours are nested right now (0: none is running).
    static int GetDispatchDepth();

protected:
    explicit CWnd(HWND hWndConstant);

    // Called before the window procedure is replaced by ours.
    virtual void PreSubclassWindow();

    // The map dispatch; TRUE with *pResult when a handler ran.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_COMMAND: reflected to the child first, then this object's commands.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification reflected from the parent; TRUE when handled here.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Base handlers: default processing.
    void OnPaint() { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnDestroy() { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnClose() { Default(); }

    WNDPROC m_pfnSuper;

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CWinApp;
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
