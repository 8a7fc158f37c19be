// The application: the one global object, registered by its constructor and
// started by WinMain; also the message pump that the program's modal loops
// and its own in-handler pumping share.
#pragma once

#include "framework/AfxRes.h"
#include "framework/AfxLoadString.h"
#include "framework/CWnd.h"

class CWinApp : public CCmdTarget
{
public:
    // pszAppName nullptr: the name is string AFX_IDS_APP_TITLE of the
    // resources, or else the program file's name without extension.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop; runs when InitInstance returned TRUE.
    virtual int Run();

    // Fetches one message (waiting for it) and dispatches it after
    // PreTranslateMessage; FALSE when it fetched WM_QUIT (in m_msgCur).
    virtual BOOL PumpMessage();
    // Offers the message to the windows from its target up to its top-level
    // window (CWnd::PreTranslateMessage), then to the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The standard help command: the program has no help file, so it does nothing.
    void OnHelp();

    const char* m_pszAppName;
    CWnd* m_pMainWnd;
    HINSTANCE m_hInstance;
    MSG m_msgCur;

    // One step of the pump without an application object (tests, or before
    // one exists); fills msg, FALSE on WM_QUIT.
    static BOOL PumpThreadMessage(MSG& msg);
    // PreTranslateMessage without an application object.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

private:
    CString m_strAppName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application's name: the caption of AfxMessageBox.
const char* AfxGetAppName();
// One pump step through the application when there is one.
BOOL AfxPumpMessage(MSG& msgLast);
// The counted wait cursor: 1 begin, -1 end.
void AfxDoWaitCursor(int nCode);
