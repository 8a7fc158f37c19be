#include "engine/ExifDate.h"

#include <gtest/gtest.h>

TEST(ReadDateNumber, BehavesLikeAtoiWithinItsCharacters)
{
    EXPECT_EQ(2008, ReadDateNumber("2008:05:17", 4));
    EXPECT_EQ(5, ReadDateNumber("05", 2));
    EXPECT_EQ(7, ReadDateNumber(" 7", 2));
    EXPECT_EQ(-7, ReadDateNumber("-7", 2));
    EXPECT_EQ(7, ReadDateNumber("+7", 2));
    EXPECT_EQ(0, ReadDateNumber("ab", 2));
    EXPECT_EQ(1, ReadDateNumber("1x", 2));
    EXPECT_EQ(20, ReadDateNumber("2008", 2)); // never reads past its characters
    EXPECT_EQ(0, ReadDateNumber("  ", 2));
}

TEST(ParseExifDate, TakesTheNumbersFromTheirPositions)
{
    ExifDateFields fields = {};
    ASSERT_EQ(ExifDateCheck::Valid, ParseExifDate("2008:05:17 14:03:09", fields));
    EXPECT_EQ(2008, fields.year);
    EXPECT_EQ(5, fields.month);
    EXPECT_EQ(17, fields.day);
    EXPECT_EQ(14, fields.hour);
    EXPECT_EQ(3, fields.minute);
    EXPECT_EQ(9, fields.second);
}

TEST(ParseExifDate, DoesNotLookAtTheSeparators)
{
    ExifDateFields fields = {};
    ASSERT_EQ(ExifDateCheck::Valid, ParseExifDate("2008-05-17T14-03-09", fields));
    EXPECT_EQ(17, fields.day);
    EXPECT_EQ(9, fields.second);
}

TEST(ParseExifDate, MonthThirteenIsNotRangeChecked)
{
    ExifDateFields fields = {};
    ASSERT_EQ(ExifDateCheck::Valid, ParseExifDate("2008:13:17 14:03:09", fields));
    EXPECT_EQ(13, fields.month);
}

TEST(ParseExifDate, EmptyOrUndefinedTexts)
{
    ExifDateFields fields = {};
    EXPECT_EQ(ExifDateCheck::EmptyOrUndefined, ParseExifDate("", fields));
    EXPECT_EQ(ExifDateCheck::EmptyOrUndefined, ParseExifDate("2008:05:17 14:03", fields));
    EXPECT_EQ(ExifDateCheck::EmptyOrUndefined, ParseExifDate("2008:05:17 14:03:090", fields));
    EXPECT_EQ(ExifDateCheck::EmptyOrUndefined, ParseExifDate("0000:00:00 00:00:00", fields));
    EXPECT_EQ(ExifDateCheck::EmptyOrUndefined, ParseExifDate("    :  :     :  :  ", fields));
}

TEST(ParseExifDate, YearsBefore1900AreInvalid)
{
    ExifDateFields fields = {};
    EXPECT_EQ(ExifDateCheck::Invalid, ParseExifDate("1899:12:31 23:59:59", fields));
    EXPECT_EQ(ExifDateCheck::Invalid, ParseExifDate("abcd:05:17 14:03:09", fields));
    EXPECT_EQ(ExifDateCheck::Invalid, ParseExifDate("-999:05:17 14:03:09", fields));
    EXPECT_EQ(ExifDateCheck::Invalid, ParseExifDate("0001:05:17 14:03:09", fields));
    EXPECT_EQ(ExifDateCheck::Valid, ParseExifDate("1900:01:01 00:00:00", fields));
}
