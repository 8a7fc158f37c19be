// Answers the message boxes of this thread as a user would: it finds each box
// from a timer that runs inside the box's own modal loop, notes its text and
// presses the chosen button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CMessageBoxAnswerer
{
public:
    // Boxes are answered with `nAnswer` (IDYES or IDNO) when they have that
    // button, otherwise with OK; `hWndIgnore` (the main dialog) is never touched.
    CMessageBoxAnswerer(HWND hWndIgnore, int nAnswer);
    ~CMessageBoxAnswerer();

    CMessageBoxAnswerer(const CMessageBoxAnswerer&) = delete;
    CMessageBoxAnswerer& operator=(const CMessageBoxAnswerer&) = delete;

    // The texts of the boxes answered so far, in order.
    const std::vector<std::string>& GetTexts() const { return m_texts; }

private:
    static void CALLBACK OnTimer(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
    static BOOL CALLBACK OnThreadWindow(HWND hWnd, LPARAM lParam);
    void Answer(HWND hBox);

    static CMessageBoxAnswerer* s_pActive;

    HWND m_hWndIgnore;
    int m_nAnswer;
    UINT_PTR m_idTimer;
    std::vector<HWND> m_answered;
    std::vector<std::string> m_texts;
};
