#include "MessageBoxAnswerer.h"

#include <algorithm>

MessageBoxAnswerer* MessageBoxAnswerer::s_pCurrent = nullptr;

MessageBoxAnswerer::MessageBoxAnswerer(HWND hWndIgnore, std::vector<int> answers)
    : m_hWndIgnore(hWndIgnore), m_answers(std::move(answers))
{
    s_pCurrent = this;
    m_hHook = ::SetWindowsHookExA(WH_CBT, CbtHook, nullptr, ::GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    s_pCurrent = nullptr;
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
        if (nID == IDYES)
            box.hasYes = true;
        else if (nID == IDNO)
            box.hasNo = true;
        else if (_stricmp(className, "Static") == 0 && text[0] != '\0')
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
