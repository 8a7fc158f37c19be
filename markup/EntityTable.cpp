#include "markup/EntityTable.h"

// "&amp;" must stay first: the names are replaced row after row.
MarkupEntity g_entityTable[] = {
    {"&amp;", 0, '\x26', 0x0026},
    {"&bull;", 0, '\x95', 0x2022},
    {"&cent;", 0, '\xA2', 0x00A2},
    {"&copy;", 0, '\xA9', 0x00A9},
    {"&deg;", 0, '\xB0', 0x00B0},
    {"&euro;", 0, '\x80', 0x20AC},
    {"&frac12;", 0, '\xBD', 0x00BD},
    {"&frac14;", 0, '\xBC', 0x00BC},
    {"&gt;", 0, '\x3E', 0x003E},
    {"&iquest;", 0, '\xBF', 0x00BF},
    {"&lt;", 0, '\x3C', 0x003C},
    {"&micro;", 0, '\xB5', 0x00B5},
    {"&middot;", 0, '\xB7', 0x00B7},
    {"&nbsp;", 0, '\x20', 0x0020},
    {"&para;", 0, '\xB6', 0x00B6},
    {"&plusmn;", 0, '\xB1', 0x00B1},
    {"&pound;", 0, '\xA3', 0x00A3},
    {"&quot;", 0, '\x22', 0x0022},
    {"&reg;", 0, '\xAE', 0x00AE},
    {"&sect;", 0, '\xA7', 0x00A7},
    {"&sup1;", 0, '\xB9', 0x00B9},
    {"&sup2;", 0, '\xB2', 0x00B2},
    {"&times;", 0, '\xD7', 0x00D7},
    {"&trade;", 0, '\x99', 0x2122},
    {nullptr, 0, 0, 0},
};

void AssignEntityCodes()
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
        g_entityTable[row].code = static_cast<char>(row + 2);
}

void EscapeEntities(CString& text)
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
    {
        const char escape[3] = {kEntityEscape, g_entityTable[row].code, 0};
        text.Replace(g_entityTable[row].name, escape);
    }
}
