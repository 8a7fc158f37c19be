#include "engine/Decimal.h"

char* PutDecimal(char* p, unsigned value, int nWidth, char cPad)
{
    char digits[10];
    int nDigits = 0;
    do
    {
        digits[nDigits++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = nDigits; i < nWidth; ++i)
        *p++ = cPad;
    while (nDigits > 0)
        *p++ = digits[--nDigits];
    return p;
}
