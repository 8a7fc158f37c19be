// A static control that draws its text as a small HTML-like markup (bold,
// colours, links, entities) from a cached off-screen image.
#pragma once

#include "framework/Framework.h"
#include "markup/AppCommand.h"
#include "framework/Handles.h"

#include <vector>

class CMarkupStatic : public CStatic
{
public:
    CMarkupStatic();
    ~CMarkupStatic() override;

    CMarkupStatic(const CMarkupStatic&) = delete;
    CMarkupStatic& operator=(const CMarkupStatic&) = delete;

    // Each setter stores the new colour and returns the previous one; the new
    // colour shows from the next SetMarkupText on.
    virtual COLORREF SetBackgroundColor(const char* name);
    virtual COLORREF SetBackgroundColor(COLORREF color);
    virtual COLORREF SetForegroundColor(const char* name);
    virtual COLORREF SetForegroundColor(COLORREF color);

    void SetMarkupText(const char* text);
    void SetAppCommands(const AppCommand* table, int count);

    // Paints the label into any device context (WM_PAINT, WM_PRINTCLIENT).
    void RenderTo(HDC hdc);

    // Follows a link target; non-zero on success.
    int ActivateLink(const char* target, int nShowCmd);
    // Sends the message registered for a command name; 1 when one was sent.
    int DispatchAppCommand(const char* name);
    static LONG ReadClassesRootDefault(HKEY hRoot, const char* subKey, CString& output);
    // The ".htm" open command with the target in place of its "%1"; false when
    // the result would not fit the 520-byte command buffer.
    static bool BuildOpenCommand(const char* classCommand, const char* target, CString& command);

    // The links of the image on screen, in drawing order (client coordinates).
    int GetLinkCount() const { return static_cast<int>(m_linkRects.size()); }
    RECT GetLinkRect(int index) const;
    CString GetLinkTarget(int index) const;

    static char EntityCharFromCode(int code);
    // The entity's character in Unicode; a space when no row has the code.
    static wchar_t EntityWideCharFromCode(int code);

    // The markup as last set, from wherever KeepTextInternally keeps it.
    CString GetMarkup() const;
    // The text as a person reads it, for screen readers: tags dropped,
    // entities as their characters, white space and breaks as one space;
    // UTF-16, without a terminating zero.
    std::vector<wchar_t> GetPlainText() const;

    // The display scale the label draws at, from now on: its owner tells it
    // when the window moves to a monitor of another scale. Until then, the
    // scale the system gives the window.
    void SetDpi(int nDpi);

    // Options written directly by the owner.
    int KeepTextInternally;
    int RedrawImmediately;

protected:
    void PreSubclassWindow() override;

    void ResetMarkupState();
    void ResetAll();

    // Lays out one run from pen position x and returns where the next run
    // continues; advances m_nLineTop and rc.top.
    int LayoutRun(HDC hdc, const char* run, RECT& rc, int x);
    // The next word of a run (with its trailing space); moves pos past it.
    // Entities beyond ASCII stay escaped in the word: their Windows-1252 byte
    // could not be told from a byte of the text's own multibyte characters.
    static CString NextWord(const char*& pos, int& bHardBreak);
    // Stored run text as the layout measures it: ASCII entities decoded.
    static CString RunTextAsLaidOut(const CString& run);
    // Measure and draw text that may hold escaped entities, so that every
    // entity shows the character it names whatever the font's code page.
    static BOOL MeasureLine(HDC hdc, const CString& line, SIZE& size);
    static BOOL OutputLine(HDC hdc, int x, int y, const CString& line);

    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgndMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTextMessage(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnClicked();
    // Screen readers and the keyboard (MarkupAccessible.cpp, MarkupKeyboard.cpp).
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDownMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnFocusMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // What one rebuild of the image carries from run to run.
    struct RenderState
    {
        HDC hdc;
        LOGFONTA lfBase;
        LOGFONTA lfWork;
        // Declared before its selection, which goes first and puts the
        // context's own font back before the run font is deleted.
        CGdiObject<HFONT> runFont;
        CSelectedObject fontSelection;
        COLORREF crText;
        COLORREF crBack;
        COLORREF crBaseText;
        COLORREF crBaseBack;
        int bSizeApplied;
        int nLastDescent;
        int bTransparent;
        RECT rcLayout;
        int x;
        int nDpi; // of the target: markup sizes are pixels at 96 DPI
    };

    void LoadHandCursor(int nDpi);
    void FreeCache();
    void ClearLinks();
    int LinkIndexAtCursor() const;
    void RunMarkupScan(RenderState& rs, const char* text, const char* end);
    void ReadFontAttributes(RenderState& rs, const char* attr, const char* end);
    void ReadRuleAttributes(const char* attr, const char* end);
    void DrawRun(RenderState& rs, const char* run, int len);
    void SelectRunFont(RenderState& rs);
    // WS_TABSTOP while the markup holds a link.
    void UpdateTabStop(const char* markup);
    void DrawFocusCue(HDC hdc);

    CMemoryDC m_dcCache;
    CGdiObject<HBITMAP> m_bmCache;
    CSelectedObject m_cacheSelection;
    int m_nCacheWidth;
    int m_nCacheHeight;

    COLORREF m_crBackground;
    COLORREF m_crText;
    int m_bDirty;

    int m_nUnderline;
    int m_nBold;
    int m_nItalic;
    int m_nCenter;
    int m_nStrike;
    int m_nSubscript;
    int m_nSuperscript;
    int m_nPendingRules;

    int m_bLineBreakRun;
    int m_bInLink;
    int m_bHover;
    int m_nRuleThickness;

    std::vector<RECT> m_linkRects;
    std::vector<CString> m_linkTargets;
    CString m_strLinkTarget; // target of the link being drawn

    CCursorHandle m_handCursor;
    int m_nDpi = 0; // 0: the window's own, as the system reports it
    HCURSOR m_hSavedCursor;

protected:
    // y of the line being filled; the run layout reads and advances it.
    int m_nLineTop;

private:
    AppCommand* m_pAppCommands;
    int m_nAppCommands;

    CString m_strMarkup;
    // Invalidated since the last WM_PAINT.
    int m_bRepaintPending;
    // The markup holds a link, which the keyboard can reach.
    int m_bKeyboardLink = 0;
};
