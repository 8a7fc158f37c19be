// A dialog from a template resource. DoModal runs our own modal loop (the
// dialog is created modeless and the owner disabled), so every message of
// the dialog passes the application's PumpMessage and PreTranslateMessage,
// as do the ones pumped by the program while a handler runs.
#pragma once

#include "framework/CDataExchange.h"
#include "framework/CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modal: returns the EndDialog result, or -1 when the dialog could not be
    // created or the quit message ended the loop (it is posted again).
    virtual INT_PTR DoModal();
    // Modeless, for callers that run their own loop; TRUE when created.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, UINT nCode) override;

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateFromTemplate(HWND hWndParent);
    void RunModalLoop();

    int m_nModalResult;
    BOOL m_bInModalLoop;
    BOOL m_bContinueModal;

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
