#include "markup/MarkupColor.h"

#include <mbstring.h>
#include <stdlib.h>
#include <string.h>

namespace
{
// atoi's reading without its undefined overflow: strtol clamps instead.
int ReadDecimal(const char* text)
{
    return static_cast<int>(strtol(text, nullptr, 10));
}

BYTE ReadHexPair(const char* pair)
{
    char buffer[3] = {pair[0], pair[1], 0};
    return static_cast<BYTE>(strtoul(buffer, nullptr, 16));
}

DWORD MakeColor(int red, int green, int blue)
{
    // Only the low 8 bits of each component count: 256 wraps to 0.
    return static_cast<DWORD>(RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue)));
}
} // namespace

void CMarkupColor::SetFromString(const char* text)
{
    if (text == nullptr)
        return;
    m_color = 0;

    const char* comma = strchr(text, ',');
    if (comma != nullptr)
    {
        int red = ReadDecimal(text);
        int green = ReadDecimal(comma + 1);
        int blue = 0;
        const char* second = strchr(comma + 1, ',');
        if (second != nullptr)
            blue = ReadDecimal(second + 1);
        m_color = MakeColor(red, green, blue);
        return;
    }

    const char* hash = strchr(text, '#');
    if (hash != nullptr)
    {
        // Exactly "#RRGGBB": a number sign anywhere else would make the pairs
        // run off the end of the text, so such texts stay black.
        if (strlen(text) != 7 || hash != text)
            return;
        m_color = MakeColor(ReadHexPair(hash + 1), ReadHexPair(hash + 3), ReadHexPair(hash + 5));
        return;
    }

    const unsigned char* name = reinterpret_cast<const unsigned char*>(text);
    for (const MarkupColorEntry& entry : g_colorTable)
    {
        if (_mbsicmp(name, reinterpret_cast<const unsigned char*>(entry.name)) == 0)
        {
            m_color = entry.color;
            return;
        }
    }
}

COLORREF CMarkupColor::GetColorRef() const
{
    if (m_color & kSystemColorFlag)
        return GetSysColor(static_cast<int>(m_color & ~kSystemColorFlag));
    return m_color;
}
