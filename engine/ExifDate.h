// The DateTimeOriginal text of a picture: "YYYY:MM:DD hh:mm:ss", read from
// fixed character positions; the separators are not examined.
#pragma once

enum class ExifDateCheck
{
    Valid,
    EmptyOrUndefined, // not 19 characters, or the year is blanks or "0000"
    Invalid           // a year before 1900
};

struct ExifDateFields
{
    int year, month, day, hour, minute, second;
};

// Reads a number like atoi does, from at most count characters of text.
int ReadDateNumber(const char* text, int count);

ExifDateCheck ParseExifDate(const char* text, ExifDateFields& fields);
