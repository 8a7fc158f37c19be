// Message maps in the MFC manner: each class has a static table from window
// message, command or reflected notification to one of its member functions,
// chained to the table of its base class.
//
// Handlers are named WITHOUT "&Class::", as in MFC 4.2:
//     BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
//         ON_WM_PAINT()
//         ON_BN_CLICKED(IDC_UNDO, OnUndo)
//         ON_MESSAGE(WM_APP_COMMAND_SHOW_LOG, OnShowLog)
//     END_MESSAGE_MAP()
// A base-class handler is written qualified: ON_COMMAND(ID_HELP, CWinApp::OnHelp).
// Each entry calls its handler through a small captureless function, so the
// compiler checks every handler's signature (no casts between member types).
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;
class CPoint;

// Calls one handler; returns the message result.
typedef LRESULT (*AFX_PMSGFN)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

enum AfxEntryKind : UINT
{
    AfxEntryEnd = 0,
    AfxEntryMessage = 1, // a window message to the window itself
    AfxEntryCommand = 2, // WM_COMMAND with this id and code, at the parent
    AfxEntryReflect = 3, // WM_COMMAND notification reflected to the child control
};

struct AFX_MSGMAP_ENTRY
{
    UINT nKind;
    UINT nMessage; // AfxEntryMessage
    UINT nCode;    // AfxEntryCommand, AfxEntryReflect: notification code (0 = BN_CLICKED or a menu command)
    UINT nID;      // AfxEntryCommand: control or command id
    AFX_PMSGFN pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                        \
    {                                                                                                        \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                          \
    {                                                                                                        \
        using ThisClass [[maybe_unused]] = theClass;                                                         \
        using TheBaseClass = baseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {                                                                                                        \
        AfxEntryEnd, 0, 0, 0, nullptr                                                                        \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};            \
    return &messageMap;                                                                                      \
    }

#define AFX_THIS(p) static_cast<ThisClass*>(p)

// Window messages. Handler signatures as in MFC. A handler without a result
// answers 0; w and l are the message's parameters.
#define AFX_VOID_MESSAGE(message, call)                                                                      \
    {AfxEntryMessage, message, 0, 0,                                                                         \
     []([[maybe_unused]] CCmdTarget* p, [[maybe_unused]] WPARAM w, [[maybe_unused]] LPARAM l) -> LRESULT     \
     {                                                                                                       \
         call;                                                                                               \
         return 0;                                                                                           \
     }},
#define AFX_RESULT_MESSAGE(message, result)                                                                  \
    {AfxEntryMessage, message, 0, 0,                                                                         \
     []([[maybe_unused]] CCmdTarget* p, [[maybe_unused]] WPARAM w, [[maybe_unused]] LPARAM l) -> LRESULT     \
     { return result; }},

#define ON_WM_PAINT() AFX_VOID_MESSAGE(WM_PAINT, AFX_THIS(p)->OnPaint())
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() AFX_VOID_MESSAGE(WM_SYSCOMMAND, AFX_THIS(p)->OnSysCommand(static_cast<UINT>(w), l))
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                                \
    AFX_RESULT_MESSAGE(WM_QUERYDRAGICON, reinterpret_cast<LRESULT>(AFX_THIS(p)->OnQueryDragIcon()))
// void OnDropFiles(HDROP hDropInfo)
#define ON_WM_DROPFILES() AFX_VOID_MESSAGE(WM_DROPFILES, AFX_THIS(p)->OnDropFiles(reinterpret_cast<HDROP>(w)))
// void OnDestroy()
#define ON_WM_DESTROY() AFX_VOID_MESSAGE(WM_DESTROY, AFX_THIS(p)->OnDestroy())
// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message); pWnd is a
// temporary object when the window is not one of ours.
#define ON_WM_SETCURSOR()                                                                                    \
    AFX_RESULT_MESSAGE(WM_SETCURSOR, AFX_THIS(p)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(w)),   \
                                                              LOWORD(l), HIWORD(l)))
// void OnClose()
#define ON_WM_CLOSE() AFX_VOID_MESSAGE(WM_CLOSE, AFX_THIS(p)->OnClose())
// void OnMouseMove(UINT nFlags, CPoint point)
#define ON_WM_MOUSEMOVE()                                                                                    \
    AFX_VOID_MESSAGE(WM_MOUSEMOVE, AFX_THIS(p)->OnMouseMove(static_cast<UINT>(w), CPoint(l)))
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                                                       \
    {AfxEntryMessage, static_cast<UINT>(message), 0, 0,                                                      \
     [](CCmdTarget* p, WPARAM w, LPARAM l) -> LRESULT { return AFX_THIS(p)->memberFxn(w, l); }},

// Commands and notifications from child controls: void OnXxx()
#define ON_CONTROL(code, id, memberFxn)                                                                      \
    {AfxEntryCommand, 0, static_cast<UINT>(code), static_cast<UINT>(id),                                     \
     [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT                                                            \
     {                                                                                                       \
         AFX_THIS(p)->memberFxn();                                                                           \
         return 0;                                                                                           \
     }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// A notification that the control itself handles, reflected from its parent
// before the parent's own map is searched: void OnXxx()
#define ON_CONTROL_REFLECT(code, memberFxn)                                                                  \
    {AfxEntryReflect, 0, static_cast<UINT>(code), 0,                                                         \
     [](CCmdTarget* p, WPARAM, LPARAM) -> LRESULT                                                            \
     {                                                                                                       \
         AFX_THIS(p)->memberFxn();                                                                           \
         return 0;                                                                                           \
     }},
