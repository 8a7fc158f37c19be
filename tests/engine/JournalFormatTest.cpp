#include "engine/UndoJournal.h"
#include "tests/support/LocalTime.h"

#include <gtest/gtest.h>

#include <string>

TEST(ParseNextInt, ReadsTheSixNumbersOfADateLine)
{
    const char* line = "Created: 2008:5:17 14:3:9";
    const char* pos = line;
    int numbers[6];
    for (int& number : numbers)
        number = ParseNextInt(pos);
    EXPECT_EQ(2008, numbers[0]);
    EXPECT_EQ(5, numbers[1]);
    EXPECT_EQ(17, numbers[2]);
    EXPECT_EQ(14, numbers[3]);
    EXPECT_EQ(3, numbers[4]);
    EXPECT_EQ(9, numbers[5]);
    EXPECT_EQ('\0', *pos);
}

TEST(ParseNextInt, LeavesThePositionJustAfterTheDigits)
{
    const char* line = "ab12cd";
    const char* pos = line;
    EXPECT_EQ(12, ParseNextInt(pos));
    EXPECT_EQ(line + 4, pos);
}

TEST(ParseNextInt, YieldsZeroAtTheEndAndStaysThere)
{
    const char* line = "x 7";
    const char* pos = line;
    EXPECT_EQ(7, ParseNextInt(pos));
    EXPECT_EQ(0, ParseNextInt(pos));
    EXPECT_EQ(0, ParseNextInt(pos));
    EXPECT_EQ(line + 3, pos);

    const char* empty = "";
    pos = empty;
    EXPECT_EQ(0, ParseNextInt(pos));
    EXPECT_EQ(empty, pos);

    const char* words = "no digits here";
    pos = words;
    EXPECT_EQ(0, ParseNextInt(pos));
    EXPECT_EQ('\0', *pos);
}

TEST(ParseNextInt, OnlyAHyphenRightBeforeTheDigitsNegates)
{
    const char* pos = "a-5 - 6 -x7 +8";
    EXPECT_EQ(-5, ParseNextInt(pos));
    EXPECT_EQ(6, ParseNextInt(pos)); // a blank sits between the hyphen and the digits
    EXPECT_EQ(7, ParseNextInt(pos));
    EXPECT_EQ(8, ParseNextInt(pos));
}

TEST(ParseNextInt, AnyLabelWordIsSkipped)
{
    const char* pos = "Whatever: 2009:1:2 8:30:0";
    EXPECT_EQ(2009, ParseNextInt(pos));
    EXPECT_EQ(1, ParseNextInt(pos));
    EXPECT_EQ(2, ParseNextInt(pos));
    EXPECT_EQ(8, ParseNextInt(pos));
    EXPECT_EQ(30, ParseNextInt(pos));
    EXPECT_EQ(0, ParseNextInt(pos));
}

TEST(ParseNextInt, TooManyDigitsWrapWithoutUndefinedBehaviour)
{
    const char* pos = "99999999999";
    int value = ParseNextInt(pos);
    // 99999999999 mod 2^32 = 1215752191, which fits an int.
    EXPECT_EQ(1215752191, value);
    EXPECT_EQ('\0', *pos);
}

TEST(ParseJournalTime, AcceptsWhatTheJournalWrites)
{
    CTime time;
    ASSERT_TRUE(ParseJournalTime("Created: 2008:5:17 14:3:9", time));
    EXPECT_EQ("2008-5-17 14:3:9", LocalFields(time));
    ASSERT_TRUE(ParseJournalTime("Modified: 2009:1:2 8:30:0", time));
    EXPECT_EQ("2009-1-2 8:30:0", LocalFields(time));
    ASSERT_TRUE(ParseJournalTime("Modified: 1601:12:31 23:59:59", time));
    EXPECT_EQ("1601-12-31 23:59:59", LocalFields(time));
}

TEST(ParseJournalTime, RejectsNumbersThatAreNoLocalTime)
{
    const char* bad[] = {
        "Created: 0:0:0 0:0:0",           // a line without numbers, or an empty one
        "",                               // nothing at all
        "Created: 2008:13:17 14:3:9",     // month 13 would roll into the next year
        "Created: 2008:0:17 14:3:9",      // month 0
        "Created: 2008:2:30 14:3:9",      // 30 February would become 1 March
        "Created: 2008:4:31 14:3:9",      // 31 April
        "Created: 2008:5:0 14:3:9",       // day 0
        "Created: 2008:5:17 24:0:0",      // hour 24
        "Created: 2008:5:17 14:60:9",     // minute 60
        "Created: 2008:5:17 14:3:60",     // second 60
        "Created: 2008:5:17 -1:3:9",      // a negative hour
        "Created: 1500:5:17 14:3:9",      // before file times begin
        "Created: 99999:5:17 14:3:9",     // after they end
        "Created: 99999999999:1:1 0:0:0", // a wrapped year
    };
    for (const char* line : bad)
    {
        CTime time(12345);
        EXPECT_FALSE(ParseJournalTime(line, time)) << line;
        EXPECT_EQ(12345, time.GetTime()) << "left unchanged: " << line;
    }
}

// In the zone the suite runs in (Europe/Berlin): a summer time is read as
// summer time, and the hour the clocks skip in spring is no local time.
TEST(ParseJournalTime, FollowsTheDaylightSavingTimeOfTheDate)
{
    CTime time(12345);
    ASSERT_TRUE(ParseJournalTime("Modified: 2008:7:15 12:30:0", time));
    EXPECT_EQ(1216117800, time.GetTime()) << "10:30 UTC; the suite runs with TZ=Europe/Berlin";
    ASSERT_TRUE(ParseJournalTime("Modified: 2008:1:15 12:30:0", time));
    EXPECT_EQ(1200396600, time.GetTime()) << "11:30 UTC";
    time = CTime(12345);
    EXPECT_FALSE(ParseJournalTime("Modified: 2008:3:30 2:30:0", time));
    EXPECT_EQ(12345, time.GetTime());
}

TEST(ParseJournalTime, AMissingLastNumberReadsAsZero)
{
    // Six calls in a row: the seconds of a cut line are 0, which is a valid time.
    CTime time;
    ASSERT_TRUE(ParseJournalTime("Modified: 2009:1:2 8:30", time));
    EXPECT_EQ("2009-1-2 8:30:0", LocalFields(time));
}

TEST(FormatJournalRecord, WritesThreeLinesWithoutLeadingZeros)
{
    CTime created(2008, 5, 17, 14, 3, 9);
    CTime modified(2009, 1, 2, 8, 30, 0);
    CString record;
    ASSERT_TRUE(FormatJournalRecord("c:\\photos\\img_0001.jpg", created, modified, record));
    EXPECT_STREQ("c:\\photos\\img_0001.jpg\nCreated: 2008:5:17 14:3:9\nModified: 2009:1:2 8:30:0\n",
                 static_cast<const char*>(record));
}

TEST(FormatJournalRecord, RoundTripsThroughParseJournalTime)
{
    CTime created(2016, 2, 29, 23, 59, 58);
    CTime modified(1999, 12, 31, 0, 0, 1);
    CString record;
    ASSERT_TRUE(FormatJournalRecord("x", created, modified, record));
    std::string text = static_cast<const char*>(record);
    size_t first = text.find('\n');
    size_t second = text.find('\n', first + 1);
    CTime readCreated, readModified;
    ASSERT_TRUE(ParseJournalTime(text.substr(first + 1, second - first - 1).c_str(), readCreated));
    ASSERT_TRUE(ParseJournalTime(text.substr(second + 1).c_str(), readModified));
    EXPECT_EQ(created, readCreated);
    EXPECT_EQ(modified, readModified);
}

TEST(FormatJournalRecord, RefusesATimeWithoutLocalFields)
{
    CString record("unchanged");
    EXPECT_FALSE(FormatJournalRecord("x", CTime(), CTime(2008, 5, 17, 14, 3, 9), record));
    EXPECT_FALSE(FormatJournalRecord("x", CTime(2008, 5, 17, 14, 3, 9), CTime(), record));
}
