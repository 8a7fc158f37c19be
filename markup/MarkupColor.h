// Colour texts of the markup: "r,g,b", "#RRGGBB", a colour name or a system
// colour name. System colours stay symbolic until GetColorRef is called.
#pragma once

#include <windows.h>

// Bit 31 set: a system colour whose index (COLOR_*) is in bits 0 to 30.
const DWORD kSystemColorFlag = 0x80000000;

struct MarkupColorEntry
{
    DWORD color;
    const char* name;
};

const int kColorTableSize = 179;
extern const MarkupColorEntry g_colorTable[kColorTableSize];

class CMarkupColor
{
public:
    CMarkupColor() : m_color(0) {}
    explicit CMarkupColor(const char* text) : m_color(0) { SetFromString(text); }
    virtual ~CMarkupColor() {}

    void SetFromString(const char* text);
    COLORREF GetColorRef() const;
    DWORD GetEncoded() const { return m_color; }

private:
    DWORD m_color;
};
