#include "EntityTable.h"

// "&amp;" must stay first: the names are replaced row after row.
MarkupEntity g_entityTable[] = {
    {"&amp;", 0, '\x26'},    {"&bull;", 0, '\x95'},   {"&cent;", 0, '\xA2'},   {"&copy;", 0, '\xA9'},
    {"&deg;", 0, '\xB0'},    {"&euro;", 0, '\x80'},   {"&frac12;", 0, '\xBD'}, {"&frac14;", 0, '\xBC'},
    {"&gt;", 0, '\x3E'},     {"&iquest;", 0, '\xBF'}, {"&lt;", 0, '\x3C'},     {"&micro;", 0, '\xB5'},
    {"&middot;", 0, '\xB7'}, {"&nbsp;", 0, '\x20'},   {"&para;", 0, '\xB6'},   {"&plusmn;", 0, '\xB1'},
    {"&pound;", 0, '\xA3'},  {"&quot;", 0, '\x22'},   {"&reg;", 0, '\xAE'},    {"&sect;", 0, '\xA7'},
    {"&sup1;", 0, '\xB9'},   {"&sup2;", 0, '\xB2'},   {"&times;", 0, '\xD7'},  {"&trade;", 0, '\x99'},
    {nullptr, 0, 0},
};

void AssignEntityCodes()
{
    for (int row = 0; g_entityTable[row].name != nullptr; ++row)
        g_entityTable[row].code = static_cast<char>(row + 2);
}
