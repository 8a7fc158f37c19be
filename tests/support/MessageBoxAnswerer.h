// Answers the message boxes of this thread as a user would, each as it comes
// to the front, and keeps what each one showed (its caption, text, buttons
// and icon) and what the program asked the platform for (text, caption and
// style of every box).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class MessageBoxAnswerer
{
public:
    // The boxes get the answers in turn, IDCANCEL once they run out.
    // hWndIgnore: the dialog behind them, which is activated too and must be
    // left alone.
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
        bool hasOk;
        // The icon on show, or none.
        HICON icon;
    };
    const std::vector<Box>& Boxes() const { return m_boxes; }

    // One request for a box, as it reached the platform.
    struct Request
    {
        std::string text;
        std::string caption;
        UINT style;
    };
    const std::vector<Request>& Requests() const { return m_requests; }

private:
    static LRESULT CALLBACK CbtHook(int nCode, WPARAM wParam, LPARAM lParam);
    static int WINAPI RecordRequest(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
    void Answer(HWND hWnd);

    HHOOK m_hHook;
    HWND m_hWndIgnore;
    std::vector<int> m_answers;
    std::vector<HWND> m_answered;
    std::vector<Box> m_boxes;
    std::vector<Request> m_requests;
    decltype(&::MessageBoxA) m_pfnOldMessageBox;
    static MessageBoxAnswerer* s_pCurrent;
};
