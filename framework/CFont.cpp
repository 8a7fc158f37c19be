#include "CFont.h"

CFont::~CFont()
{
    if (m_bOwned && m_hObject)
        ::DeleteObject(m_hObject);
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont)
{
    if (m_bOwned && m_hObject)
        ::DeleteObject(m_hObject);
    m_hObject = ::CreateFontIndirectA(lpLogFont);
    m_bOwned = m_hObject != nullptr;
    return m_hObject != nullptr;
}

int CFont::GetLogFont(LOGFONTA* pLogFont) const
{
    return ::GetObjectA(m_hObject, sizeof(LOGFONTA), pLogFont);
}

HFONT CFont::Detach()
{
    HFONT hFont = m_hObject;
    m_hObject = nullptr;
    m_bOwned = false;
    return hFont;
}
