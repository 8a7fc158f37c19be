// Breaking one run into words and lines, and drawing each finished line.
#include "MarkupStatic.h"
#include "EntityTable.h"

char CMarkupStatic::EntityCharFromCode(int code)
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
    {
        if (g_entityTable[row].code == code)
            return g_entityTable[row].character;
    }
    return ' ';
}

CString CMarkupStatic::NextWord(const char*& pos, int& bHardBreak)
{
    CString word;
    bHardBreak = 0;
    while (*pos != 0)
    {
        char ch = *pos;
        if (ch == '\r')
        {
            // Only one carriage return is skipped; a second one is plain text.
            ++pos;
            ch = *pos;
            if (ch == 0)
                break;
        }
        if (ch == '\n')
        {
            word += ' ';
            ++pos;
            bHardBreak = 1;
            break;
        }
        if (ch == kEntityEscape)
        {
            // An escape cut off by the end of the run has no code to read.
            if (pos[1] == 0)
            {
                ++pos;
                break;
            }
            // A decoded space (&nbsp;) does not end the word.
            word += EntityCharFromCode(static_cast<unsigned char>(pos[1]));
            pos += 2;
            continue;
        }
        word += ch;
        ++pos;
        if (ch == ' ')
            break;
    }
    return word;
}

int CMarkupStatic::LayoutRun(HDC hdc, const char* run, RECT& rc, int x)
{
    if (rc.top >= rc.bottom - 1)
        return 0;

    SetTextJustification(hdc, 0, 0);
    CString line;
    int result = 0;
    SIZE size = {0, 0};
    const char* pos = run;

    for (;;)
    {
        // Spaces that start a line are dropped; after earlier text they count.
        while (*pos == ' ')
        {
            if (x != 0)
                line += ' ';
            ++pos;
        }

        for (;;)
        {
            const char* wordStart = pos;
            int bHardBreak = 0;
            CString word = NextWord(pos, bHardBreak);
            CString candidate = line + word;
            // Nothing to measure keeps the last line height: GDI may report 0 for it.
            if (candidate.IsEmpty())
                size.cx = 0;
            else
                GetTextExtentPoint32A(hdc, candidate, candidate.GetLength(), &size);

            bool bLineFull = false;
            if (size.cx < rc.right - x - 2)
            {
                line = candidate;
            }
            else if (!line.IsEmpty())
            {
                bLineFull = true;
            }
            else
            {
                // Too wide even alone: it gets a line of its own, cut off at the right.
                line = word;
                if (x > 0)
                {
                    m_nLineTop += size.cy;
                    x = 0;
                }
            }

            if (!bHardBreak && !bLineFull && *pos != 0)
                continue;
            if (line.IsEmpty())
                break;
            if (bLineFull)
                pos = wordStart;

            GetTextExtentPoint32A(hdc, line, line.GetLength(), &size);
            result = rc.left + x + size.cx;
            if (m_nLineTop <= rc.bottom - size.cy)
            {
                TextOutA(hdc, rc.left + x, m_nLineTop, line, line.GetLength());
                if (*pos != 0 || bHardBreak)
                    m_nLineTop += size.cy;
            }
            if (bHardBreak)
                result = 0;
            SetTextJustification(hdc, 0, 0);
            line.Empty();
            x = 0;
        }

        SetTextJustification(hdc, 0, 0);
        line.Empty();
        if (*pos == 0 || m_nLineTop >= rc.bottom)
            break;
    }

    rc.top = (m_nLineTop > rc.bottom - size.cy) ? rc.bottom : m_nLineTop;
    return result;
}
