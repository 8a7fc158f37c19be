// Breaking one run into words and lines, and drawing each finished line.
#include "markup/MarkupStatic.h"
#include "markup/EntityTable.h"

#include <string.h>
#include <vector>

// Exported by gdi32 but missing from its header: the code page in which the
// ANSI text calls read 8-bit text for the font selected into the context.
extern "C" DWORD WINAPI GdiGetCodePage(HDC hdc);

namespace
{
// Moves past the escape at pos; an ASCII entity becomes its character, any
// other stays escaped. An escape cut off by the end of the text is dropped.
void AppendEntity(CString& text, const char*& pos)
{
    if (pos[1] == 0)
    {
        ++pos;
        return;
    }
    char ch = CMarkupStatic::EntityCharFromCode(static_cast<unsigned char>(pos[1]));
    if (static_cast<unsigned char>(ch) < 0x80)
    {
        text += ch;
    }
    else
    {
        text += pos[0];
        text += pos[1];
    }
    pos += 2;
}

bool HasEntityEscape(const CString& text)
{
    return memchr(static_cast<const char*>(text), kEntityEscape, static_cast<size_t>(text.GetLength())) !=
           nullptr;
}

// The text between the entities is read in the code page that the ANSI calls
// use, so that it looks as it would without an entity on its line.
std::vector<wchar_t> WideLine(HDC hdc, const CString& line)
{
    const UINT codePage = GdiGetCodePage(hdc);
    const char* text = line;
    const int length = line.GetLength();
    std::vector<wchar_t> wide;
    int i = 0;
    while (i < length)
    {
        if (text[i] == kEntityEscape && i + 1 < length)
        {
            wide.push_back(CMarkupStatic::EntityWideCharFromCode(static_cast<unsigned char>(text[i + 1])));
            i += 2;
            continue;
        }
        int end = i + 1;
        while (end < length && text[end] != kEntityEscape)
            ++end;
        int count = MultiByteToWideChar(codePage, 0, text + i, end - i, nullptr, 0);
        if (count > 0)
        {
            size_t at = wide.size();
            wide.resize(at + static_cast<size_t>(count));
            MultiByteToWideChar(codePage, 0, text + i, end - i, &wide[at], count);
        }
        else
        {
            // A code page the system cannot convert: one character per byte.
            for (int k = i; k < end; ++k)
                wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(text[k])));
        }
        i = end;
    }
    return wide;
}
} // namespace

char CMarkupStatic::EntityCharFromCode(int code)
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
    {
        if (g_entityTable[row].code == code)
            return g_entityTable[row].character;
    }
    return ' ';
}

wchar_t CMarkupStatic::EntityWideCharFromCode(int code)
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
    {
        if (g_entityTable[row].code == code)
            return g_entityTable[row].unicode;
    }
    return L' ';
}

CString CMarkupStatic::RunTextAsLaidOut(const CString& run)
{
    if (!HasEntityEscape(run))
        return run;
    CString text;
    const char* pos = run;
    while (*pos != 0)
    {
        if (*pos == kEntityEscape)
        {
            AppendEntity(text, pos);
            continue;
        }
        text += *pos;
        ++pos;
    }
    return text;
}

// Lines without an escaped entity keep the ANSI calls: their pixels stay as
// they always were.
BOOL CMarkupStatic::MeasureLine(HDC hdc, const CString& line, SIZE& size)
{
    if (!HasEntityEscape(line))
        return GetTextExtentPoint32A(hdc, line, line.GetLength(), &size);
    std::vector<wchar_t> wide = WideLine(hdc, line);
    return GetTextExtentPoint32W(hdc, wide.data(), static_cast<int>(wide.size()), &size);
}

BOOL CMarkupStatic::OutputLine(HDC hdc, int x, int y, const CString& line)
{
    if (!HasEntityEscape(line))
        return TextOutA(hdc, x, y, line, line.GetLength());
    std::vector<wchar_t> wide = WideLine(hdc, line);
    return TextOutW(hdc, x, y, wide.data(), static_cast<int>(wide.size()));
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
            // A decoded space (&nbsp;) does not end the word.
            AppendEntity(word, pos);
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
                MeasureLine(hdc, candidate, size);

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

            MeasureLine(hdc, line, size);
            result = rc.left + x + size.cx;
            if (m_nLineTop <= rc.bottom - size.cy)
            {
                OutputLine(hdc, rc.left + x, m_nLineTop, line);
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
