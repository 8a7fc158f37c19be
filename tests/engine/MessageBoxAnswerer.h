// Answers the message boxes of the test's thread, in order, and keeps what
// each one showed: its caption and its text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class MessageBoxAnswerer
{
public:
    // hWndIgnore: a dialog of the test that is activated too and must be left alone.
    MessageBoxAnswerer(HWND hWndIgnore, std::vector<int> answers);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    struct Box
    {
        std::string caption;
        std::string text;
        bool hasYes;
        bool hasNo;
    };
    const std::vector<Box>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK CbtHook(int nCode, WPARAM wParam, LPARAM lParam);
    void Answer(HWND hWnd);

    HHOOK m_hHook;
    HWND m_hWndIgnore;
    std::vector<int> m_answers;
    std::vector<HWND> m_answered;
    std::vector<Box> m_boxes;
    static MessageBoxAnswerer* s_pCurrent;
};
