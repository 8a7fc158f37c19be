// The colour table and the colour texts of the markup.
#include "markup/MarkupColor.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace
{
struct NamedColor
{
    const char* name;
    const char* web; // "#RRGGBB", as colour lists print them
};

// The 140 named colours in table order, with the values the program shows.
const NamedColor kNamedColors[] = {
    {"AliceBlue", "#F0F8FF"},
    {"AntiqueWhite", "#FAEBD7"},
    {"Aqua", "#00FFFF"},
    {"Aquamarine", "#7FFFD4"},
    {"Azure", "#F0FFFF"},
    {"Beige", "#F5F5DC"},
    {"Bisque", "#FFE4C4"},
    {"Black", "#000000"},
    {"BlanchedAlmond", "#FFFFCD"},
    {"Blue", "#0000FF"},
    {"BlueViolet", "#8A2BE2"},
    {"Brown", "#A52A2A"},
    {"Burlywood", "#DEB887"},
    {"CadetBlue", "#5F9EA0"},
    {"Chartreuse", "#7FFF00"},
    {"Chocolate", "#D2691E"},
    {"Coral", "#FF7F50"},
    {"CornflowerBlue", "#6495ED"},
    {"Cornsilk", "#FFF8DC"},
    {"Crimson", "#DC143C"},
    {"Cyan", "#00FFFF"},
    {"DarkBlue", "#00008B"},
    {"DarkCyan", "#008B8B"},
    {"DarkGoldenRod", "#B8860B"},
    {"DarkGray", "#A9A9A9"},
    {"DarkGreen", "#006400"},
    {"DarkKhaki", "#BDB76B"},
    {"DarkMagenta", "#8B008B"},
    {"DarkOliveGreen", "#556B2F"},
    {"DarkOrange", "#FF8C00"},
    {"DarkOrchid", "#9932CC"},
    {"DarkRed", "#8B0000"},
    {"DarkSalmon", "#E9967A"},
    {"DarkSeaGreen", "#8FBC8F"},
    {"DarkSlateBlue", "#483D8B"},
    {"DarkSlateGray", "#2F4F4F"},
    {"DarkTurquoise", "#00CED1"},
    {"DarkViolet", "#9400D3"},
    {"DeepPink", "#FF1493"},
    {"DeepSkyBlue", "#00BFFF"},
    {"DimGray", "#696969"},
    {"DodgerBlue", "#1E90FF"},
    {"FireBrick", "#B22222"},
    {"FloralWhite", "#FFFAF0"},
    {"ForestGreen", "#228B22"},
    {"Fuchsia", "#FF00FF"},
    {"Gainsboro", "#DCDCDC"},
    {"GhostWhite", "#F8F8FF"},
    {"Gold", "#FFD700"},
    {"GoldenRod", "#DAA520"},
    {"Gray", "#7F7F7F"},
    {"Green", "#008000"},
    {"GreenYellow", "#ADFF2F"},
    {"HoneyDew", "#F0FFF0"},
    {"HotPink", "#FF69B4"},
    {"IndianRed", "#CD5C5C"},
    {"Indigo", "#4B0082"},
    {"Ivory", "#FFFFF0"},
    {"Khaki", "#F0E68C"},
    {"Lavender", "#E6E6FA"},
    {"LavenderBlush", "#FFF0F5"},
    {"Lawngreen", "#7CFC00"},
    {"LemonChiffon", "#FFFACD"},
    {"LightBlue", "#ADD8E6"},
    {"LightCoral", "#F08080"},
    {"LightCyan", "#E0FFFF"},
    {"LightGoldenRodYellow", "#FAFAD2"},
    {"LightGreen", "#90EE90"},
    {"LightGrey", "#D3D3D3"},
    {"LightPink", "#FFB6C1"},
    {"LightSalmon", "#FFA07A"},
    {"LightSeaGreen", "#20B2AA"},
    {"LightSkyBlue", "#87CEFA"},
    {"LightSlateGray", "#778899"},
    {"LightSteelBlue", "#B0C4DE"},
    {"LightYellow", "#FFFFE0"},
    {"Lime", "#00FF00"},
    {"LimeGreen", "#32CD32"},
    {"Linen", "#FAF0E6"},
    {"Magenta", "#FF00FF"},
    {"Maroon", "#800000"},
    {"MediumAquamarine", "#66CDAA"},
    {"MediumBlue", "#0000CD"},
    {"MediumOrchid", "#BA55D3"},
    {"MediumPurple", "#9370DB"},
    {"MediumSeaGreen", "#3CB371"},
    {"MediumSlateBlue", "#7B68EE"},
    {"MediumSpringGreen", "#00FA9A"},
    {"MediumTurquoise", "#48D1CC"},
    {"MediumVioletRed", "#C71585"},
    {"MidnightBlue", "#191970"},
    {"MintCream", "#F5FFFA"},
    {"MistyRose", "#FFE4E1"},
    {"Moccasin", "#FFE4B5"},
    {"NavajoWhite", "#FFDEAD"},
    {"Navy", "#000080"},
    {"OldLace", "#FDF5E6"},
    {"Olive", "#808000"},
    {"OliveDrab", "#6B8E23"},
    {"Orange", "#FFA500"},
    {"OrangeRed", "#FF4500"},
    {"Orchid", "#DA70D6"},
    {"PaleGoldenRod", "#EEE8AA"},
    {"PaleGreen", "#98FB98"},
    {"PaleTurquoise", "#AFEEEE"},
    {"PaleVioletRed", "#DB7093"},
    {"PapayaWhip", "#FFEFD5"},
    {"PeachPuff", "#FFDAB9"},
    {"Peru", "#CD853F"},
    {"Pink", "#FFC0CB"},
    {"Plum", "#DDA0DD"},
    {"PowderBlue", "#B0E0E6"},
    {"Purple", "#800080"},
    {"Red", "#FF0000"},
    {"RosyBrown", "#BC8F8F"},
    {"RoyalBlue", "#4169E1"},
    {"SaddleBrown", "#8B4513"},
    {"Salmon", "#FA8072"},
    {"SandyBrown", "#F4A460"},
    {"SeaGreen", "#2E8B57"},
    {"SeaShell", "#FFF5EE"},
    {"Sienna", "#A0522D"},
    {"Silver", "#C0C0C0"},
    {"SkyBlue", "#87CEEB"},
    {"SlateBlue", "#6A5ACD"},
    {"SlateGray", "#708090"},
    {"Snow", "#FFFAFA"},
    {"SpringGreen", "#00FF7F"},
    {"SteelBlue", "#4682B4"},
    {"Tan", "#D2B48C"},
    {"Teal", "#008080"},
    {"Thistle", "#D8BFD8"},
    {"Tomato", "#FF6347"},
    {"Turquoise", "#40E0D0"},
    {"Violet", "#EE82EE"},
    {"Wheat", "#F5DEB3"},
    {"White", "#FFFFFF"},
    {"WhiteSmoke", "#F5F5F5"},
    {"Yellow", "#FFFF00"},
    {"YellowGreen", "#8BCD32"},
};

struct SystemColor
{
    const char* name;
    int index;
};

const SystemColor kSystemColors[] = {
    {"ActiveBorder", COLOR_ACTIVEBORDER},
    {"ActiveCaption", COLOR_ACTIVECAPTION},
    {"ActiveCaptionText", COLOR_CAPTIONTEXT},
    {"AppWorkspace", COLOR_APPWORKSPACE},
    {"Background", COLOR_BACKGROUND},
    {"BtnFace", COLOR_BTNFACE},
    {"BtnHighlight", COLOR_BTNHIGHLIGHT},
    {"BtnHilight", COLOR_BTNHIGHLIGHT},
    {"BtnShadow", COLOR_BTNSHADOW},
    {"BtnText", COLOR_BTNTEXT},
    {"CaptionText", COLOR_CAPTIONTEXT},
    {"Control", COLOR_BTNFACE},
    {"ControlDark", COLOR_BTNSHADOW},
    {"ControlDarkDark", COLOR_3DDKSHADOW},
    {"ControlLight", COLOR_BTNHIGHLIGHT},
    {"ControlLightLight", COLOR_BTNHIGHLIGHT},
    {"ControlText", COLOR_BTNTEXT},
    {"Desktop", COLOR_BACKGROUND},
    {"GradientActiveCaption", COLOR_GRADIENTACTIVECAPTION},
    {"GradientInactiveCaption", COLOR_GRADIENTINACTIVECAPTION},
    {"GrayText", COLOR_GRAYTEXT},
    {"Highlight", COLOR_HIGHLIGHT},
    {"HighlightText", COLOR_HIGHLIGHTTEXT},
    {"HotLight", COLOR_HOTLIGHT},
    {"HotTrack", COLOR_HOTLIGHT},
    {"InactiveBorder", COLOR_INACTIVEBORDER},
    {"InactiveCaption", COLOR_INACTIVECAPTION},
    {"InactiveCaptionText", COLOR_INACTIVECAPTIONTEXT},
    {"Info", COLOR_INFOBK},
    {"InfoBk", COLOR_INFOBK},
    {"InfoText", COLOR_INFOTEXT},
    {"Menu", COLOR_MENU},
    {"MenuBar", COLOR_MENUBAR},
    {"MenuHilight", COLOR_MENUHILIGHT},
    {"MenuText", COLOR_MENUTEXT},
    {"ScrollBar", COLOR_SCROLLBAR},
    {"Window", COLOR_WINDOW},
    {"WindowFrame", COLOR_WINDOWFRAME},
    {"WindowText", COLOR_WINDOWTEXT},
};

COLORREF FromWeb(const char* web)
{
    unsigned red = 0, green = 0, blue = 0;
    EXPECT_EQ(3, sscanf(web, "#%2x%2x%2x", &red, &green, &blue)) << web;
    return RGB(red, green, blue);
}

std::string Cased(const char* text, int (*convert)(int))
{
    std::string result(text);
    for (char& ch : result)
        ch = static_cast<char>(convert(static_cast<unsigned char>(ch)));
    return result;
}

COLORREF Convert(const char* text)
{
    return CMarkupColor(text).GetColorRef();
}
} // namespace

TEST(ColorTable, HoldsTheNamedColoursInOrderWithTheirValues)
{
    ASSERT_EQ(140u, sizeof(kNamedColors) / sizeof(kNamedColors[0]));
    for (int i = 0; i < 140; ++i)
    {
        SCOPED_TRACE(kNamedColors[i].name);
        EXPECT_STREQ(kNamedColors[i].name, g_colorTable[i].name);
        EXPECT_EQ(FromWeb(kNamedColors[i].web), g_colorTable[i].color);
        // Every name resolves in any case, to an RGB value.
        EXPECT_EQ(FromWeb(kNamedColors[i].web), Convert(kNamedColors[i].name));
        EXPECT_EQ(FromWeb(kNamedColors[i].web), Convert(Cased(kNamedColors[i].name, tolower).c_str()));
        EXPECT_EQ(FromWeb(kNamedColors[i].web), Convert(Cased(kNamedColors[i].name, toupper).c_str()));
    }
}

TEST(ColorTable, HoldsTheSystemColourNamesInOrder)
{
    ASSERT_EQ(39u, sizeof(kSystemColors) / sizeof(kSystemColors[0]));
    for (int i = 0; i < 39; ++i)
    {
        SCOPED_TRACE(kSystemColors[i].name);
        EXPECT_STREQ(kSystemColors[i].name, g_colorTable[140 + i].name);
        EXPECT_EQ(0x80000000u | kSystemColors[i].index, g_colorTable[140 + i].color);
        CMarkupColor color(Cased(kSystemColors[i].name, tolower).c_str());
        EXPECT_EQ(0x80000000u | kSystemColors[i].index, color.GetEncoded());
        EXPECT_EQ(GetSysColor(kSystemColors[i].index), color.GetColorRef());
    }
}

TEST(ColorTable, NamesAreUniqueWithoutRegardToCase)
{
    for (int i = 0; i < kColorTableSize; ++i)
        for (int j = i + 1; j < kColorTableSize; ++j)
            EXPECT_NE(0, _stricmp(g_colorTable[i].name, g_colorTable[j].name))
                << g_colorTable[i].name << " " << g_colorTable[j].name;
}

TEST(ColorTable, KeepsItsThreeValuesThatDifferFromTheWebKeywords)
{
    EXPECT_EQ(0x00CDFFFFu, Convert("BlanchedAlmond"));
    EXPECT_EQ(0x007F7F7Fu, Convert("Gray"));
    EXPECT_EQ(0x0032CD8Bu, Convert("YellowGreen"));
    // One spelling of each grey only.
    EXPECT_EQ(0u, Convert("grey"));
    EXPECT_EQ(0u, Convert("LightGray"));
    EXPECT_EQ(0x00D3D3D3u, Convert("LightGrey"));
    // ControlLight is the highlight colour, not the light 3-D colour.
    EXPECT_EQ(0x80000000u | COLOR_BTNHIGHLIGHT, CMarkupColor("ControlLight").GetEncoded());
}

TEST(ColorTable, SystemColoursResolveWhenAsked)
{
    CMarkupColor face("BtnFace");
    EXPECT_EQ(0x8000000Fu, face.GetEncoded());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), face.GetColorRef());
    CMarkupColor scrollBar("ScrollBar");
    EXPECT_EQ(0x80000000u, scrollBar.GetEncoded());
    EXPECT_EQ(GetSysColor(COLOR_SCROLLBAR), scrollBar.GetColorRef());
}

struct TextCase
{
    const char* text;
    COLORREF expected;
};

TEST(ColorText, EveryFormAndOddCase)
{
    const TextCase cases[] = {
        // names, any case, nothing trimmed
        {"Red", 0x000000FF},
        {"red", 0x000000FF},
        {"RED", 0x000000FF},
        {"DarkRed", 0x0000008B},
        {"Blue", 0x00FF0000},
        {"Aqua", 0x00FFFF00},
        {"Cyan", 0x00FFFF00},
        {"Fuchsia", 0x00FF00FF},
        {"Magenta", 0x00FF00FF},
        {" Red", 0},
        {"Red ", 0},
        {"", 0},
        {"NoSuchColour", 0},
        // decimal triples: atoi reading, low 8 bits, no clamping
        {"255,128", 0x000080FF},
        {"255, 128, 64", 0x004080FF},
        {"1,2,3,4", 0x00030201},
        {"256,0,0", 0},
        {"300,0,0", 44},
        {"-1,0,0", 0x000000FF},
        {"rgb(10,20,30)", 0x001E1400},
        {"Red,Blue", 0},
        {",", 0},
        {"99999999999,1,2", 0x000201FF},
        // "#RRGGBB": exactly 7 bytes
        {"#FF8000", 0x000080FF},
        {"#ff8000", 0x000080FF},
        {"#FFF", 0},
        {"#FF80001", 0},
        {"#", 0},
        {"#GG0000", 0},
        {"#0G8000", 0x00008000},
        {"# F8000", 0x0000800F},
        {"#-10000", 0x000000FF},
        // the number sign elsewhere in a 7-byte text: never read past the end
        {"a#FF800", 0},
        {"abcdef#", 0},
        {"ab#FF80", 0},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(c.expected, Convert(c.text)) << '"' << c.text << '"';
}

TEST(ColorText, AbsentTextLeavesTheColourAlone)
{
    CMarkupColor absent(nullptr);
    EXPECT_EQ(0u, absent.GetColorRef());
    CMarkupColor color("Blue");
    color.SetFromString(nullptr);
    EXPECT_EQ(0x00FF0000u, color.GetColorRef());
    color.SetFromString("nonsense");
    EXPECT_EQ(0u, color.GetColorRef());
}

TEST(ColorText, EndOfTextIsNeverPassed)
{
    // Seven-byte texts whose number sign stands anywhere but first, each in
    // a buffer that ends exactly at the text's terminating zero.
    for (int pos = 1; pos < 7; ++pos)
    {
        char* text = new char[8];
        memset(text, 'A', 7);
        text[7] = 0;
        text[pos] = '#';
        EXPECT_EQ(0u, Convert(text)) << text;
        delete[] text;
    }
}
