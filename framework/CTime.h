// Whole-second calendar time: signed 64-bit seconds since 1970-01-01 00:00:00 UTC
// plus an explicit validity. Valid from 1601-01-01 00:00:00 to 30827-12-31 23:59:59 UTC,
// the span Windows file times and SYSTEMTIME can hold.
#pragma once

#include <windows.h>
#include <ctime>

class CTime
{
public:
    static const __int64 kMinTime; // 1601-01-01 00:00:00 UTC
    static const __int64 kMaxTime; // 30827-12-31 23:59:59 UTC

    // Invalid until given a time.
    CTime() = default;
    explicit CTime(__int64 time);
    // Local wall time of the system's time zone, using the zone's rules for that date.
    // Fields out of their range roll over as with C mktime (month 13 is January of the
    // next year, day 0 the last day of the month before, negative values count back).
    // nDST < 0: as MSVC's mktime with tm_isdst = -1: the fields are first read as
    // standard time; if the zone is in daylight time at that instant, they are read as
    // daylight time instead. So a wall time inside the spring-forward gap lands one
    // hour earlier on the clock (02:30 -> 01:30 standard time), and a wall time that
    // occurs twice in the fall-back hour means its second, standard-time occurrence.
    // nDST == 0 reads the fields as standard time, nDST > 0 as daylight time.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    // A UTC file time; fractions of a second are dropped (towards the earlier second).
    explicit CTime(const FILETIME& fileTime);

    bool IsValid() const { return m_bValid; }
    // Seconds since 1970-01-01 00:00:00 UTC; 0 when invalid.
    __int64 GetTime() const { return m_bValid ? m_time : 0; }

    // Local calendar fields as struct tm (tm_year counts from 1900, tm_mon from 0).
    // nullptr when the time is invalid or its local form cannot be represented.
    struct tm* GetLocalTm(struct tm* ptm) const;
    bool GetAsFileTime(FILETIME& fileTime) const;

    // An invalid time equals another invalid one.
    bool operator==(const CTime& other) const
    {
        return m_bValid == other.m_bValid && (!m_bValid || m_time == other.m_time);
    }
    bool operator!=(const CTime& other) const { return !(*this == other); }

private:
    __int64 m_time = 0;
    bool m_bValid = false;
};
