// Shared pieces of the markup label tests: a visible host window with one
// label, and the dialog font.
#pragma once

#include "markup/MarkupStatic.h"
#include "tests/support/Dib.h"

#include "resources/resource.h"

#include <vector>

// Exposes the layout steps to the tests.
class TestableLabel : public CMarkupStatic
{
public:
    using CMarkupStatic::LayoutRun;
    using CMarkupStatic::NextWord;
    using CMarkupStatic::RunTextAsLaidOut;
    int GetLineTop() const { return m_nLineTop; }
    void SetLineTop(int y) { m_nLineTop = y; }
};

// "MS Sans Serif" 8 point, the font of the program's dialogs. Another
// character set makes GDI read 8-bit text in that set's code page.
HFONT CreateDialogFont(int weight = FW_NORMAL, BOOL underline = FALSE, BYTE charset = DEFAULT_CHARSET);

// The pixel extent of a text in a font.
SIZE MeasureText(HFONT font, const char* text);
SIZE MeasureText(HFONT font, const wchar_t* text);

// Host window (a CWnd, so that notifications are reflected) with one label.
class LabelHost : public CWnd
{
public:
    LabelHost(int width, int height, DWORD labelStyle = SS_LEFT, DWORD labelExStyle = 0,
              HFONT font = nullptr);
    ~LabelHost() override;

    TestableLabel& Label() { return m_label; }
    HWND LabelWnd() const { return m_label.m_hWnd; }
    HFONT Font() const { return m_font; }

    // The label's image as WM_PRINTCLIENT delivers it into a DIB filled with `fill`.
    void Render(Dib& target);

    // WM_APP_COMMAND_SHOW_LOG messages received, with their parameters.
    struct Received
    {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Received> m_showLog;

protected:
    LRESULT OnShowLog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    TestableLabel m_label;
    HFONT m_font;
    bool m_ownFont;
};

const int kLabelId = 1000;
