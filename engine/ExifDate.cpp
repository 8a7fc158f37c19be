#include "engine/ExifDate.h"

#include <cstring>

int ReadDateNumber(const char* text, int count)
{
    int i = 0;
    while (i < count && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < count && (text[i] == '+' || text[i] == '-'))
    {
        negative = text[i] == '-';
        ++i;
    }
    int value = 0;
    for (; i < count && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

ExifDateCheck ParseExifDate(const char* text, ExifDateFields& fields)
{
    if (std::strlen(text) != 19 || std::strncmp(text, "    ", 4) == 0 || std::strncmp(text, "0000", 4) == 0)
        return ExifDateCheck::EmptyOrUndefined;
    fields.year = ReadDateNumber(text, 4);
    fields.month = ReadDateNumber(text + 5, 2);
    fields.day = ReadDateNumber(text + 8, 2);
    fields.hour = ReadDateNumber(text + 11, 2);
    fields.minute = ReadDateNumber(text + 14, 2);
    fields.second = ReadDateNumber(text + 17, 2);
    if (fields.year < 1900)
        return ExifDateCheck::Invalid;
    return ExifDateCheck::Valid;
}
