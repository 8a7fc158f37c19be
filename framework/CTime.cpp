#include "framework/CTime.h"

namespace
{
const __int64 kSecondsPerDay = 86400;
// Seconds from 1601-01-01 (the FILETIME origin) to 1970-01-01.
const __int64 kFileTimeEpochOffset = 11644473600LL;
const __int64 kTicksPerSecond = 10000000LL;
const int kMinYear = 1601;
const int kMaxYear = 30827;

__int64 FloorDiv(__int64 a, __int64 b)
{
    // One division: in a 32-bit program each 64-bit one is a library call.
    const __int64 q = a / b;
    return (a - q * b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12).
__int64 DaysFromCivil(__int64 y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const __int64 era = FloorDiv(y, 400);
    const int yoe = static_cast<int>(y - era * 400);
    const __int64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const __int64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct CivilTime
{
    __int64 year;
    int month; // 1-12
    int day;
    int hour;
    int minute;
    int second;
    int dayOfWeek; // 0 = Sunday
    int dayOfYear; // 0-365
};

CivilTime CivilFromSeconds(__int64 t)
{
    // Only the days and the 400-year eras need 64 bits; the rest is bounded
    // and kept in 32-bit arithmetic. Every file's times pass through here.
    CivilTime c;
    const __int64 days = FloorDiv(t, kSecondsPerDay);
    const int secs = static_cast<int>(t - days * kSecondsPerDay);
    c.hour = secs / 3600;
    c.minute = secs / 60 % 60;
    c.second = secs % 60;
    const __int64 z = days + 719468;
    const __int64 era = FloorDiv(z, 146097);
    const int doe = static_cast<int>(z - era * 146097);
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100); // from 1 March
    const int mp = (5 * doy + 2) / 153;
    c.day = doy - (153 * mp + 2) / 5 + 1;
    c.month = mp < 10 ? mp + 3 : mp - 9;
    // An era is 400 years, so the year within it tells a leap year as well.
    const int yearOfEra = yoe + (c.month <= 2 ? 1 : 0);
    c.year = era * 400 + yearOfEra;
    const bool bLeap = yearOfEra % 4 == 0 && (yearOfEra % 100 != 0 || yearOfEra % 400 == 0);
    c.dayOfYear = mp < 10 ? doy + 59 + (bLeap ? 1 : 0) : doy - 306;
    c.dayOfWeek = static_cast<int>(days + 4 - FloorDiv(days + 4, 7) * 7); // 1970-01-01 was a Thursday
    return c;
}

// Seconds of calendar fields, rolling over out-of-range values; 64-bit throughout, so
// any int inputs are safe.
__int64 SecondsFromFields(__int64 year, __int64 month, __int64 day, __int64 hour, __int64 minute,
                          __int64 second)
{
    const __int64 months = year * 12 + (month - 1);
    const __int64 y = FloorDiv(months, 12);
    const int m = static_cast<int>(months - y * 12) + 1;
    const __int64 days = DaysFromCivil(y, m, 1) + (day - 1);
    return days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

bool InRange(__int64 t)
{
    return t >= CTime::kMinTime && t <= CTime::kMaxTime;
}

bool ToSystemTime(__int64 t, SYSTEMTIME& st)
{
    const CivilTime c = CivilFromSeconds(t);
    if (c.year < kMinYear || c.year > kMaxYear)
        return false;
    st.wYear = static_cast<WORD>(c.year);
    st.wMonth = static_cast<WORD>(c.month);
    st.wDayOfWeek = static_cast<WORD>(c.dayOfWeek);
    st.wDay = static_cast<WORD>(c.day);
    st.wHour = static_cast<WORD>(c.hour);
    st.wMinute = static_cast<WORD>(c.minute);
    st.wSecond = static_cast<WORD>(c.second);
    st.wMilliseconds = 0;
    return true;
}

__int64 FromSystemTime(const SYSTEMTIME& st)
{
    return SecondsFromFields(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

bool HasDaylightTime(const TIME_ZONE_INFORMATION& tzi)
{
    return tzi.StandardDate.wMonth != 0 && tzi.DaylightDate.wMonth != 0;
}

// Offsets (local minus UTC, in seconds) of a year's rules.
__int64 StandardOffset(const TIME_ZONE_INFORMATION& tzi)
{
    return -static_cast<__int64>(tzi.Bias + (HasDaylightTime(tzi) ? tzi.StandardBias : 0)) * 60;
}

__int64 DaylightOffset(const TIME_ZONE_INFORMATION& tzi)
{
    return -static_cast<__int64>(tzi.Bias + tzi.DaylightBias) * 60;
}

bool ZoneRulesForYear(__int64 year, TIME_ZONE_INFORMATION& tzi)
{
    if (year < kMinYear || year > kMaxYear)
        return false;
    // Asking the system reads its zone database every time (slow under Wine),
    // and a batch converts a few times per file; like the C library, which
    // reads the zone once per process, we keep the rules of the years seen.
    // One slot per year of a 128-year span: a batch mixing picture years with
    // the files' own years must not evict its rules on every file.
    struct CachedRules
    {
        __int64 year;
        TIME_ZONE_INFORMATION tzi;
    };
    const int kSlots = 128;
    static CachedRules cache[kSlots] = {};
    CachedRules& slot = cache[year % kSlots];
    if (slot.year != year)
    {
        // nullptr: the system's current zone, with its rules for that year.
        if (!GetTimeZoneInformationForYear(static_cast<USHORT>(year), nullptr, &slot.tzi))
        {
            slot.year = 0;
            return false;
        }
        slot.year = year;
    }
    tzi = slot.tzi;
    return true;
}

// UTC seconds -> local wall-clock seconds (counted like UTC seconds), from
// the system's conversion.
bool SystemUtcToLocal(__int64 t, __int64& local, bool& bDaylight)
{
    SYSTEMTIME utc;
    if (!InRange(t) || !ToSystemTime(t, utc))
        return false;
    TIME_ZONE_INFORMATION tzi;
    SYSTEMTIME loc;
    if (!ZoneRulesForYear(utc.wYear, tzi) || !SystemTimeToTzSpecificLocalTime(&tzi, &utc, &loc))
        return false;
    // Around New Year the local year can differ; its own rules then apply.
    TIME_ZONE_INFORMATION tziLocal;
    if (loc.wYear != utc.wYear && ZoneRulesForYear(loc.wYear, tziLocal))
    {
        SYSTEMTIME loc2;
        if (SystemTimeToTzSpecificLocalTime(&tziLocal, &utc, &loc2))
        {
            loc = loc2;
            tzi = tziLocal;
        }
    }
    local = FromSystemTime(loc);
    bDaylight =
        HasDaylightTime(tzi) && tzi.DaylightBias != tzi.StandardBias && local - t == DaylightOffset(tzi);
    return true;
}

// The same, remembering the last few answers: a drop converts each file's
// times twice, for the comparison and again for the journal, and the
// system's conversion costs more than the rest of the journal record.
bool UtcToLocal(__int64 t, __int64& local, bool& bDaylight)
{
    struct Answer
    {
        __int64 t;
        __int64 local;
        bool bDaylight;
        bool bKnown;
    };
    const int kAnswers = 4;
    static Answer recent[kAnswers] = {};
    static int nNext = 0;
    for (const Answer& answer : recent)
    {
        if (answer.bKnown && answer.t == t)
        {
            local = answer.local;
            bDaylight = answer.bDaylight;
            return true;
        }
    }
    if (!SystemUtcToLocal(t, local, bDaylight))
        return false;
    recent[nNext] = {t, local, bDaylight, true};
    nNext = (nNext + 1) % kAnswers;
    return true;
}

bool LocalToUtc(__int64 local, int nDST, __int64& t)
{
    TIME_ZONE_INFORMATION tzi;
    if (!ZoneRulesForYear(CivilFromSeconds(local).year, tzi))
        return false;
    const __int64 standard = local - StandardOffset(tzi);
    if (nDST == 0 || !HasDaylightTime(tzi))
        t = standard;
    else if (nDST > 0)
        t = local - DaylightOffset(tzi);
    else
    {
        // Whatever offset the zone has at the standard-time reading wins.
        __int64 probe;
        bool bDaylight;
        t = UtcToLocal(standard, probe, bDaylight) ? local - (probe - standard) : standard;
    }
    return InRange(t);
}

void FillTm(const CivilTime& c, bool bDaylight, struct tm* ptm)
{
    ptm->tm_year = static_cast<int>(c.year - 1900);
    ptm->tm_mon = c.month - 1;
    ptm->tm_mday = c.day;
    ptm->tm_hour = c.hour;
    ptm->tm_min = c.minute;
    ptm->tm_sec = c.second;
    ptm->tm_wday = c.dayOfWeek;
    ptm->tm_yday = c.dayOfYear;
    ptm->tm_isdst = bDaylight ? 1 : 0;
}
} // namespace

const __int64 CTime::kMinTime = -11644473600LL;
const __int64 CTime::kMaxTime = 910670515199LL;

CTime::CTime(__int64 time)
{
    if (InRange(time))
    {
        m_time = time;
        m_bValid = true;
    }
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    const __int64 local = SecondsFromFields(nYear, nMonth, nDay, nHour, nMin, nSec);
    __int64 t;
    if (LocalToUtc(local, nDST, t))
    {
        m_time = t;
        m_bValid = true;
    }
}

CTime::CTime(const FILETIME& fileTime)
{
    const unsigned __int64 ticks =
        (static_cast<unsigned __int64>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    // Ticks count up from 1601, so dividing truncates towards the earlier second.
    const __int64 t = static_cast<__int64>(ticks / kTicksPerSecond) - kFileTimeEpochOffset;
    if (InRange(t))
    {
        m_time = t;
        m_bValid = true;
    }
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    __int64 local;
    bool bDaylight;
    if (!ptm || !m_bValid || !UtcToLocal(m_time, local, bDaylight))
        return nullptr;
    FillTm(CivilFromSeconds(local), bDaylight, ptm);
    return ptm;
}

bool CTime::GetAsFileTime(FILETIME& fileTime) const
{
    if (!m_bValid)
        return false;
    const unsigned __int64 ticks =
        static_cast<unsigned __int64>(m_time + kFileTimeEpochOffset) * kTicksPerSecond;
    fileTime.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}
