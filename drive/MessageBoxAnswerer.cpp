#include "MessageBoxAnswerer.h"

#include <algorithm>
#include <cstring>

CMessageBoxAnswerer* CMessageBoxAnswerer::s_pActive = nullptr;

namespace
{
// The message text of a box: the static with the longest text (the icon's
// static has none).
BOOL CALLBACK CollectText(HWND hChild, LPARAM lParam)
{
    char szClass[32] = {};
    GetClassNameA(hChild, szClass, sizeof(szClass));
    if (lstrcmpiA(szClass, "Static") != 0)
        return TRUE;
    char szText[1024] = {};
    GetWindowTextA(hChild, szText, sizeof(szText));
    auto* pText = reinterpret_cast<std::string*>(lParam);
    if (strlen(szText) > pText->size())
        *pText = szText;
    return TRUE;
}
} // namespace

CMessageBoxAnswerer::CMessageBoxAnswerer(HWND hWndIgnore, int nAnswer)
    : m_hWndIgnore(hWndIgnore), m_nAnswer(nAnswer), m_idTimer(0)
{
    s_pActive = this;
    // A thread timer: it fires in whatever message loop runs, the box's included.
    m_idTimer = SetTimer(nullptr, 0, 50, &CMessageBoxAnswerer::OnTimer);
}

CMessageBoxAnswerer::~CMessageBoxAnswerer()
{
    if (m_idTimer != 0)
        KillTimer(nullptr, m_idTimer);
    s_pActive = nullptr;
}

void CALLBACK CMessageBoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_pActive != nullptr)
        EnumThreadWindows(GetCurrentThreadId(), &CMessageBoxAnswerer::OnThreadWindow,
                          reinterpret_cast<LPARAM>(s_pActive));
}

BOOL CALLBACK CMessageBoxAnswerer::OnThreadWindow(HWND hWnd, LPARAM lParam)
{
    auto* pThis = reinterpret_cast<CMessageBoxAnswerer*>(lParam);
    char szClass[32] = {};
    GetClassNameA(hWnd, szClass, sizeof(szClass));
    if (hWnd != pThis->m_hWndIgnore && strcmp(szClass, "#32770") == 0 && IsWindowVisible(hWnd))
        pThis->Answer(hWnd);
    return TRUE;
}

void CMessageBoxAnswerer::Answer(HWND hBox)
{
    if (std::find(m_answered.begin(), m_answered.end(), hBox) != m_answered.end())
        return;
    int nButton = m_nAnswer;
    if (GetDlgItem(hBox, nButton) == nullptr)
        nButton = IDOK;
    HWND hButton = GetDlgItem(hBox, nButton);
    if (hButton == nullptr)
        return;

    std::string text;
    EnumChildWindows(hBox, &CollectText, reinterpret_cast<LPARAM>(&text));
    char szCaption[256] = {};
    GetWindowTextA(hBox, szCaption, sizeof(szCaption));
    m_texts.push_back(std::string(szCaption) + ": " + text);
    m_answered.push_back(hBox);
    PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
}
