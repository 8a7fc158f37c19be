#include "tests/support/MessageBoxAnswerer.h"

#include "framework/AfxMessageBox.h"

#include <algorithm>

MessageBoxAnswerer* MessageBoxAnswerer::s_pCurrent = nullptr;

MessageBoxAnswerer::MessageBoxAnswerer(HWND hWndIgnore, std::vector<int> answers)
    : m_hWndIgnore(hWndIgnore), m_answers(std::move(answers)), m_pfnOldMessageBox(g_pfnMessageBox)
{
    s_pCurrent = this;
    m_hHook = ::SetWindowsHookExA(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
    g_pfnMessageBox = RecordRequest;
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    g_pfnMessageBox = m_pfnOldMessageBox;
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    s_pCurrent = nullptr;
}

int WINAPI MessageBoxAnswerer::RecordRequest(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    // The real box still shows, so that what the user sees is checked too.
    s_pCurrent->m_requests.push_back({lpText ? lpText : "(none)", lpCaption ? lpCaption : "(none)", uType});
    return s_pCurrent->m_pfnOldMessageBox(hWnd, lpText, lpCaption, uType);
}

LRESULT CALLBACK MessageBoxAnswerer::CbtHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_ACTIVATE && s_pCurrent)
        s_pCurrent->Answer(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void MessageBoxAnswerer::Answer(HWND hWnd)
{
    char className[64] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    if (hWnd == m_hWndIgnore || std::string(className) != "#32770" ||
        std::find(m_answered.begin(), m_answered.end(), hWnd) != m_answered.end())
        return;
    m_answered.push_back(hWnd);

    Box box = {};
    char text[1024] = {};
    ::GetWindowTextA(hWnd, text, sizeof(text));
    box.caption = text;
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        ::GetClassNameA(hChild, className, sizeof(className));
        text[0] = '\0';
        ::GetWindowTextA(hChild, text, sizeof(text));
        int nID = ::GetDlgCtrlID(hChild);
        bool bStatic = _stricmp(className, "Static") == 0;
        if (nID == IDYES)
            box.hasYes = true;
        else if (nID == IDNO)
            box.hasNo = true;
        else if (nID == IDOK && !bStatic)
            box.hasOk = true;
        else if (bStatic && (::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        {
            // The box itself is not shown yet: the icon's own style tells.
            if (::GetWindowLongA(hChild, GWL_STYLE) & WS_VISIBLE)
                box.icon = reinterpret_cast<HICON>(::SendMessageA(hChild, STM_GETICON, 0, 0));
        }
        else if (bStatic && text[0] != '\0')
            box.text = text;
    }
    m_boxes.push_back(box);
    int nAnswer = IDCANCEL;
    if (!m_answers.empty())
    {
        nAnswer = m_answers.front();
        m_answers.erase(m_answers.begin());
    }
    ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(nAnswer, BN_CLICKED), 0);
}
