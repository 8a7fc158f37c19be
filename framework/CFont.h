// A font handle, as MFC's CFont. Objects from CWnd::GetFont are temporary
// wrappers of the window's font and do not own it; Attach/Detach likewise.
#pragma once

#include <windows.h>

class CFont
{
public:
    CFont() : m_hObject(nullptr) {}
    explicit CFont(HFONT hFont) : m_hObject(hFont) {}
    // Deletes only a font made by CreateFontIndirect.
    ~CFont();

    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT m_hObject;

    operator HFONT() const { return m_hObject; }
    HFONT GetSafeHandle() const { return m_hObject; }

    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    int GetLogFont(LOGFONTA* pLogFont) const;
    void Attach(HFONT hFont) { m_hObject = hFont; }
    HFONT Detach();

private:
    bool m_bOwned = false;
};
