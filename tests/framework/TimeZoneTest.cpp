// Local time through a zone with daylight saving. The test program runs with the
// Europe/Berlin zone (set for it in tests/CMakeLists.txt; Wine takes the zone from TZ).
#include <gtest/gtest.h>

#include "framework/CTime.h"

namespace
{
__int64 UtcSeconds(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st = {static_cast<WORD>(year),
                     static_cast<WORD>(month),
                     0,
                     static_cast<WORD>(day),
                     static_cast<WORD>(hour),
                     static_cast<WORD>(minute),
                     static_cast<WORD>(second),
                     0};
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return CTime(ft).GetTime();
}

// Local wall time minus UTC, in seconds, as CTime reports it.
__int64 LocalOffset(__int64 t, int* pIsDst = nullptr)
{
    struct tm fields;
    if (!CTime(t).GetLocalTm(&fields))
    {
        ADD_FAILURE() << "no local time for " << t;
        return 0;
    }
    if (pIsDst)
        *pIsDst = fields.tm_isdst;
    return UtcSeconds(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                      fields.tm_sec) -
           t;
}

int LocalHour(__int64 t)
{
    struct tm fields;
    return CTime(t).GetLocalTm(&fields) ? fields.tm_hour : -1;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The UTC second at which a "n-th weekday of the month" rule of a year's zone data
// fires, given the offset in force before it.
__int64 TransitionUtc(int year, const SYSTEMTIME& rule, __int64 offsetBefore)
{
    SYSTEMTIME first = {static_cast<WORD>(year), rule.wMonth, 0, 1, 0, 0, 0, 0};
    FILETIME ft;
    SystemTimeToFileTime(&first, &ft);
    FileTimeToSystemTime(&ft, &first);
    int day = 1 + (rule.wDayOfWeek - first.wDayOfWeek + 7) % 7 + (rule.wDay - 1) * 7;
    while (day > DaysInMonth(year, rule.wMonth))
        day -= 7;
    return UtcSeconds(year, rule.wMonth, day, rule.wHour, rule.wMinute, rule.wSecond) - offsetBefore;
}

class BerlinTimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TIME_ZONE_INFORMATION tzi;
        ASSERT_TRUE(GetTimeZoneInformationForYear(2021, nullptr, &tzi));
        ASSERT_TRUE(tzi.Bias == -60 && tzi.DaylightBias == -60 && tzi.DaylightDate.wMonth == 3 &&
                    tzi.StandardDate.wMonth == 10)
            << "these tests need the Europe/Berlin time zone (under Wine: TZ=Europe/Berlin; ctest sets it)";
    }
};
} // namespace

TEST_F(BerlinTimeTest, SpringForward)
{
    const __int64 lastWinter = UtcSeconds(2021, 3, 28, 0, 59, 59);
    CTime beforeJump(2021, 3, 28, 1, 59, 59);
    EXPECT_EQ(lastWinter, beforeJump.GetTime());
    int isDst = -1;
    EXPECT_EQ(3600, LocalOffset(lastWinter, &isDst));
    EXPECT_EQ(0, isDst);
    EXPECT_EQ(7200, LocalOffset(lastWinter + 1, &isDst));
    EXPECT_EQ(1, isDst);
    EXPECT_EQ(3, LocalHour(lastWinter + 1));
    EXPECT_EQ(lastWinter + 1, CTime(2021, 3, 28, 3, 0, 0).GetTime());

    // A UTC hour apart across the change: the clock moves on by two hours.
    const __int64 halfPastMidnight = UtcSeconds(2021, 3, 28, 0, 30, 0);
    EXPECT_EQ(1, LocalHour(halfPastMidnight));
    EXPECT_EQ(3, LocalHour(halfPastMidnight + 3600));

    // 02:30 does not exist that night: read with the daylight offset, it is the
    // instant the clock shows as 01:30 (as MSVC's mktime with tm_isdst = -1).
    CTime inGap(2021, 3, 28, 2, 30, 0);
    EXPECT_EQ(halfPastMidnight, inGap.GetTime());
    EXPECT_EQ(CTime(2021, 3, 28, 1, 30, 0), inGap);
}

TEST_F(BerlinTimeTest, FallBack)
{
    // The clock shows 02:30 twice, one UTC hour apart.
    const __int64 firstPass = UtcSeconds(2021, 10, 31, 0, 30, 0);
    int isDst = -1;
    EXPECT_EQ(2, LocalHour(firstPass));
    EXPECT_EQ(7200, LocalOffset(firstPass, &isDst));
    EXPECT_EQ(1, isDst);
    EXPECT_EQ(2, LocalHour(firstPass + 3600));
    EXPECT_EQ(3600, LocalOffset(firstPass + 3600, &isDst));
    EXPECT_EQ(0, isDst);

    // The wall time means its second, standard-time occurrence.
    EXPECT_EQ(firstPass + 3600, CTime(2021, 10, 31, 2, 30, 0).GetTime());
    // An explicit flag picks either.
    EXPECT_EQ(firstPass, CTime(2021, 10, 31, 2, 30, 0, 1).GetTime());
    EXPECT_EQ(firstPass + 3600, CTime(2021, 10, 31, 2, 30, 0, 0).GetTime());

    EXPECT_EQ(UtcSeconds(2021, 10, 30, 23, 59, 59), CTime(2021, 10, 31, 1, 59, 59).GetTime());
    EXPECT_EQ(3601, CTime(2021, 10, 31, 2, 0, 0).GetTime() - CTime(2021, 10, 31, 1, 59, 59).GetTime());
    EXPECT_EQ(3600, CTime(2021, 10, 31, 3, 0, 0).GetTime() - CTime(2021, 10, 31, 2, 0, 0).GetTime());
}

TEST_F(BerlinTimeTest, WallTimesNextToTheChangesRoundTrip)
{
    const int cases[][6] = {{2021, 3, 28, 1, 59, 59},  {2021, 3, 28, 3, 0, 0},  {2021, 3, 28, 3, 0, 1},
                            {2021, 10, 31, 1, 59, 59}, {2021, 10, 31, 2, 0, 0}, {2021, 10, 31, 2, 59, 59},
                            {2021, 10, 31, 3, 0, 0},   {1960, 7, 1, 12, 0, 0},  {2500, 12, 24, 18, 0, 0}};
    for (const auto& c : cases)
    {
        CTime t(c[0], c[1], c[2], c[3], c[4], c[5]);
        struct tm fields;
        ASSERT_NE(nullptr, t.GetLocalTm(&fields));
        EXPECT_EQ(c[0], fields.tm_year + 1900);
        EXPECT_EQ(c[1], fields.tm_mon + 1);
        EXPECT_EQ(c[2], fields.tm_mday);
        EXPECT_EQ(c[3], fields.tm_hour) << c[0] << "-" << c[1] << "-" << c[2] << " " << c[3];
        EXPECT_EQ(c[4], fields.tm_min);
        EXPECT_EQ(c[5], fields.tm_sec);
    }
}

TEST_F(BerlinTimeTest, ConversionsAskedAgainGiveTheSameAnswers)
{
    // Both sides of both 2021 changes, and times far from them, asked in
    // turns that repeat some at once and others after several others.
    const __int64 spring = UtcSeconds(2021, 3, 28, 1, 0, 0);
    const __int64 autumn = UtcSeconds(2021, 10, 31, 1, 0, 0);
    const __int64 times[] = {spring - 1,
                             spring,
                             autumn - 1,
                             autumn,
                             UtcSeconds(1980, 1, 1, 0, 0, 0),
                             UtcSeconds(2008, 5, 17, 12, 3, 9),
                             spring - 3600,
                             autumn + 3600};
    const int nTimes = static_cast<int>(sizeof(times) / sizeof(times[0]));
    __int64 offsets[nTimes];
    int dst[nTimes];
    for (int i = 0; i < nTimes; ++i)
        offsets[i] = LocalOffset(times[i], &dst[i]);
    EXPECT_EQ(3600, offsets[0]);
    EXPECT_EQ(7200, offsets[1]);
    EXPECT_EQ(7200, offsets[2]);
    EXPECT_EQ(3600, offsets[3]);
    const int order[] = {1, 1, 0, 3, 2, 2, 7, 6, 5, 4, 0, 1, 3, 3, 2, 5, 0, 7, 1, 6, 4, 4};
    for (int i : order)
    {
        int isDst = -1;
        EXPECT_EQ(offsets[i], LocalOffset(times[i], &isDst)) << i;
        EXPECT_EQ(dst[i], isDst) << i;
    }
}

TEST_F(BerlinTimeTest, EachYearFollowsItsOwnRules)
{
    // The zone's data for each year decides; since 1996 that is the EU rule (last
    // Sunday of March and of October, 01:00 UTC), which serves as a second oracle.
    int nYearsWithDst = 0;
    for (int year = 1602; year <= 3000; year += (year < 1996 ? 17 : 7))
    {
        TIME_ZONE_INFORMATION tzi;
        ASSERT_TRUE(GetTimeZoneInformationForYear(static_cast<USHORT>(year), nullptr, &tzi));
        if (tzi.DaylightDate.wMonth == 0)
            continue;
        ++nYearsWithDst;
        const __int64 standard = -static_cast<__int64>(tzi.Bias + tzi.StandardBias) * 60;
        const __int64 daylight = -static_cast<__int64>(tzi.Bias + tzi.DaylightBias) * 60;
        const __int64 start = TransitionUtc(year, tzi.DaylightDate, standard);
        const __int64 end = TransitionUtc(year, tzi.StandardDate, daylight);
        int isDst = -1;
        EXPECT_EQ(standard, LocalOffset(start - 1, &isDst)) << year;
        EXPECT_EQ(0, isDst) << year;
        EXPECT_EQ(daylight, LocalOffset(start, &isDst)) << year;
        EXPECT_EQ(1, isDst) << year;
        EXPECT_EQ(daylight, LocalOffset(end - 1)) << year;
        EXPECT_EQ(standard, LocalOffset(end)) << year;
        if (year >= 1996)
        {
            const int march = static_cast<int>((start - UtcSeconds(year, 3, 25, 1, 0, 0)) / 86400);
            const int october = static_cast<int>((end - UtcSeconds(year, 10, 25, 1, 0, 0)) / 86400);
            EXPECT_TRUE(march >= 0 && march <= 6 && start % 86400 == 3600) << year;
            EXPECT_TRUE(october >= 0 && october <= 6 && end % 86400 == 3600) << year;
            SYSTEMTIME check;
            FILETIME ft;
            CTime(start).GetAsFileTime(ft);
            FileTimeToSystemTime(&ft, &check);
            EXPECT_EQ(0, check.wDayOfWeek) << year; // a Sunday
        }
    }
    EXPECT_GT(nYearsWithDst, 100);
}
