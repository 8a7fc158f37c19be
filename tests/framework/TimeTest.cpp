#include <gtest/gtest.h>

#include "framework/CTime.h"

#include <climits>
#include <cstdlib>

namespace
{
// Deterministic pseudo-random numbers, so that failures can be reproduced.
class Sampler
{
public:
    explicit Sampler(unsigned __int64 seed) : m_state(seed) {}
    unsigned __int64 Next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return m_state >> 11;
    }
    int Between(int low, int high)
    {
        return low + static_cast<int>(Next() % static_cast<unsigned>(high - low + 1));
    }

private:
    unsigned __int64 m_state;
};

unsigned __int64 Ticks(const FILETIME& ft)
{
    return (static_cast<unsigned __int64>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME FromTicks(unsigned __int64 ticks)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

void ExpectLocal(const CTime& t, int year, int month, int day, int hour, int minute, int second)
{
    struct tm fields;
    ASSERT_NE(nullptr, t.GetLocalTm(&fields));
    EXPECT_EQ(year, fields.tm_year + 1900);
    EXPECT_EQ(month, fields.tm_mon + 1);
    EXPECT_EQ(day, fields.tm_mday);
    EXPECT_EQ(hour, fields.tm_hour);
    EXPECT_EQ(minute, fields.tm_min);
    EXPECT_EQ(second, fields.tm_sec);
}
} // namespace

TEST(CTimeTest, FileTimeRoundTripsAgainstWin32Calendar)
{
    // Windows' own conversion is the oracle for the UTC calendar fields.
    Sampler sampler(1);
    for (int i = 0; i < 3000; ++i)
    {
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(i < 1000 ? sampler.Between(1601, 1969) : sampler.Between(1601, 30827));
        st.wMonth = static_cast<WORD>(sampler.Between(1, 12));
        st.wDay = static_cast<WORD>(sampler.Between(1, DaysInMonth(st.wYear, st.wMonth)));
        st.wHour = static_cast<WORD>(sampler.Between(0, 23));
        st.wMinute = static_cast<WORD>(sampler.Between(0, 59));
        st.wSecond = static_cast<WORD>(sampler.Between(0, 59));
        FILETIME whole;
        ASSERT_TRUE(SystemTimeToFileTime(&st, &whole));
        const unsigned __int64 fraction = sampler.Next() % 10000000ULL;
        const FILETIME withFraction = FromTicks(Ticks(whole) + fraction);

        CTime t(withFraction);
        ASSERT_TRUE(t.IsValid()) << st.wYear;
        // The local fields, read back through Windows' calendar, lie the zone's
        // offset (whole minutes, well under a day) from the UTC moment.
        struct tm local;
        ASSERT_NE(nullptr, t.GetLocalTm(&local)) << st.wYear;
        SYSTEMTIME wall = {static_cast<WORD>(local.tm_year + 1900),
                           static_cast<WORD>(local.tm_mon + 1),
                           0,
                           static_cast<WORD>(local.tm_mday),
                           static_cast<WORD>(local.tm_hour),
                           static_cast<WORD>(local.tm_min),
                           static_cast<WORD>(local.tm_sec),
                           0};
        FILETIME wallTime;
        ASSERT_TRUE(SystemTimeToFileTime(&wall, &wallTime)) << st.wYear;
        const __int64 offset = static_cast<__int64>(Ticks(wallTime) / 10000000ULL) -
                               static_cast<__int64>(Ticks(whole) / 10000000ULL);
        EXPECT_EQ(0, offset % 60) << "fractions must round towards the earlier second";
        EXPECT_LE(offset, 14 * 3600) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        EXPECT_GE(offset, -14 * 3600) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        SYSTEMTIME wallCheck;
        ASSERT_TRUE(FileTimeToSystemTime(&wallTime, &wallCheck)); // for the day of the week
        EXPECT_EQ(wallCheck.wDayOfWeek, local.tm_wday);
        // The day of the year, as days since the first of January by Windows' calendar.
        SYSTEMTIME newYear = {wall.wYear, 1, 0, 1, 0, 0, 0, 0};
        FILETIME ftNewYear;
        ASSERT_TRUE(SystemTimeToFileTime(&newYear, &ftNewYear)) << wall.wYear;
        EXPECT_EQ(
            static_cast<int>(Ticks(wallTime) / 10000000ULL / 86400 - Ticks(ftNewYear) / 10000000ULL / 86400),
            local.tm_yday)
            << wall.wYear << "-" << wall.wMonth << "-" << wall.wDay;

        FILETIME back;
        ASSERT_TRUE(t.GetAsFileTime(back));
        EXPECT_EQ(Ticks(whole), Ticks(back)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        EXPECT_EQ(t, CTime(t.GetTime()));
    }
}

TEST(CTimeTest, EpochAndDayOfYear)
{
    SYSTEMTIME epoch = {1970, 1, 4, 1, 0, 0, 0, 0};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&epoch, &ft));
    EXPECT_EQ(0, CTime(ft).GetTime());
    // One second before the epoch, with a fraction: still the earlier second.
    EXPECT_EQ(-1, CTime(FromTicks(Ticks(ft) - 1)).GetTime());
    EXPECT_EQ(-1, CTime(FromTicks(Ticks(ft) - 10000000ULL)).GetTime());

    // Noon UTC: the same local day in every zone of less than twelve hours.
    SYSTEMTIME leapEnd = {2008, 12, 0, 31, 12, 0, 0, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&leapEnd, &ft));
    struct tm local;
    ASSERT_NE(nullptr, CTime(ft).GetLocalTm(&local));
    EXPECT_EQ(365, local.tm_yday);
}

TEST(CTimeTest, LocalFieldsRoundTripFrom1601To3000)
{
    Sampler sampler(2);
    SYSTEMTIME first = {1601, 1, 1, 2, 0, 0, 0, 0}, last = {3000, 12, 0, 31, 0, 0, 0, 0};
    FILETIME ftFirst, ftLast;
    ASSERT_TRUE(SystemTimeToFileTime(&first, &ftFirst));
    ASSERT_TRUE(SystemTimeToFileTime(&last, &ftLast));
    const __int64 low = CTime(ftFirst).GetTime(), high = CTime(ftLast).GetTime();
    int nPre1970 = 0;
    for (int i = 0; i < 3000; ++i)
    {
        const __int64 t =
            low + static_cast<__int64>(sampler.Next() % static_cast<unsigned __int64>(high - low));
        nPre1970 += t < 0;
        CTime original(t);
        struct tm fields;
        ASSERT_NE(nullptr, original.GetLocalTm(&fields)) << t;
        CTime rebuilt(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
                      fields.tm_sec);
        ASSERT_TRUE(rebuilt.IsValid()) << t;
        struct tm again;
        ASSERT_NE(nullptr, rebuilt.GetLocalTm(&again));
        EXPECT_EQ(fields.tm_year, again.tm_year);
        EXPECT_EQ(fields.tm_mon, again.tm_mon);
        EXPECT_EQ(fields.tm_mday, again.tm_mday);
        EXPECT_EQ(fields.tm_hour, again.tm_hour);
        EXPECT_EQ(fields.tm_min, again.tm_min);
        EXPECT_EQ(fields.tm_sec, again.tm_sec);
        // Only a wall time of the repeated hour at the fall-back maps elsewhere: to its
        // second occurrence, exactly one hour later.
        if (rebuilt.GetTime() != t)
        {
            EXPECT_EQ(t + 3600, rebuilt.GetTime()) << t;
            EXPECT_EQ(1, fields.tm_isdst);
            EXPECT_EQ(0, again.tm_isdst);
        }
    }
    EXPECT_GT(nPre1970, 500); // the sample really covers the years before 1970
}

TEST(CTimeTest, TheLeapDayThatEndsA400YearCycle)
{
    struct tm fields;
    ASSERT_TRUE(CTime(2000, 2, 29, 12, 0, 0).GetLocalTm(&fields));
    EXPECT_EQ(1, fields.tm_mon);
    EXPECT_EQ(29, fields.tm_mday);
}

TEST(CTimeTest, OutOfRangeFieldsRollOverLikeMktime)
{
    ExpectLocal(CTime(2008, 13, 1, 0, 0, 0), 2009, 1, 1, 0, 0, 0);
    ExpectLocal(CTime(2008, 0, 15, 12, 0, 0), 2007, 12, 15, 12, 0, 0);
    ExpectLocal(CTime(2008, -13, 1, 0, 0, 0), 2006, 11, 1, 0, 0, 0);
    ExpectLocal(CTime(2008, 3, 0, 10, 0, 0), 2008, 2, 29, 10, 0, 0); // day 0: last of the month before
    ExpectLocal(CTime(2007, 3, 0, 10, 0, 0), 2007, 2, 28, 10, 0, 0);
    ExpectLocal(CTime(2008, 5, 17, 24, 0, 0), 2008, 5, 18, 0, 0, 0);
    ExpectLocal(CTime(2008, 1, 1, 0, 0, -1), 2007, 12, 31, 23, 59, 59);
    ExpectLocal(CTime(2008, 1, 1, -1, -1, -1), 2007, 12, 31, 22, 58, 59);
    ExpectLocal(CTime(2008, 25, 32, 24, 60, 60), 2010, 2, 2, 1, 1, 0); // every field rolls at once
    ExpectLocal(CTime(2008, 1, 400, 0, 0, 0), 2009, 2, 3, 0, 0, 0);
    ExpectLocal(CTime(2008, 1, 1, 0, 0, 86400 * 3), 2008, 1, 4, 0, 0, 0);
    // Extreme ints are summed in 64 bits: no overflow, still the right calendar time.
    ExpectLocal(CTime(2000, 1, 1, 0, 0, INT_MAX), 2068, 1, 19, 3, 14, 7);
    ExpectLocal(CTime(2100, 1, 1, 0, 0, INT_MIN), 2031, 12, 13, 20, 45, 52);
    EXPECT_EQ(CTime(2008, 12, 31, 0, 0, 0).GetTime() + 86400, CTime(2008, 12, 32, 0, 0, 0).GetTime());
}

TEST(CTimeTest, UnrepresentableTimesAreInvalid)
{
    CTime none;
    EXPECT_FALSE(none.IsValid());
    struct tm fields;
    EXPECT_EQ(nullptr, none.GetLocalTm(&fields));
    FILETIME ft = {};
    EXPECT_FALSE(none.GetAsFileTime(ft));

    EXPECT_TRUE(CTime(CTime::kMinTime).IsValid());
    EXPECT_TRUE(CTime(CTime::kMaxTime).IsValid());
    EXPECT_FALSE(CTime(CTime::kMinTime - 1).IsValid());
    EXPECT_FALSE(CTime(CTime::kMaxTime + 1).IsValid());
    EXPECT_FALSE(CTime(LLONG_MAX).IsValid());
    EXPECT_FALSE(CTime(LLONG_MIN).IsValid());

    // FILETIME zero is 1601-01-01 00:00:00 UTC, the first valid second.
    EXPECT_EQ(CTime::kMinTime, CTime(FromTicks(0)).GetTime());
    // Beyond the SYSTEMTIME span (year 30828 and values Windows rejects).
    SYSTEMTIME lastDay = {30827, 12, 0, 31, 23, 59, 59, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&lastDay, &ft));
    EXPECT_EQ(CTime::kMaxTime, CTime(ft).GetTime());
    EXPECT_EQ(CTime::kMaxTime, CTime(FromTicks(Ticks(ft) + 9999999)).GetTime());
    EXPECT_FALSE(CTime(FromTicks(Ticks(ft) + 10000000)).IsValid());
    EXPECT_FALSE(CTime(FromTicks(0xFFFFFFFFFFFFFFFFULL)).IsValid());

    EXPECT_FALSE(CTime(1600, 12, 31, 0, 0, 0).IsValid());
    EXPECT_FALSE(CTime(30828, 1, 2, 0, 0, 0).IsValid());
    EXPECT_FALSE(CTime(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX).IsValid());
    EXPECT_FALSE(CTime(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN).IsValid());
    EXPECT_FALSE(CTime(0, 1, 1, 0, 0, 0).IsValid());
    EXPECT_TRUE(CTime(1601, 1, 2, 0, 0, 0).IsValid());
}

TEST(CTimeTest, EqualityAndTheLocalClock)
{
    CTime early(1000), late(2000), none;
    EXPECT_TRUE(early == CTime(1000));
    EXPECT_TRUE(early != late);
    EXPECT_TRUE(none == CTime());
    EXPECT_TRUE(none != CTime(0));

    SYSTEMTIME local;
    GetLocalTime(&local);
    CTime fromLocal(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_LE(std::abs(static_cast<long long>(fromLocal.GetTime() - CTime(now).GetTime())), 2LL);
}
