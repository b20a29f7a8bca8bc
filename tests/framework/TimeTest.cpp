#include "framework/Afx.h"
#include "framework/Time.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::SystemTimeOf;

namespace {

// A round trip through SYSTEMTIME keeps every field down to the second and
// works out the weekday.
void ExpectSameMoment(const SYSTEMTIME& back, const SYSTEMTIME& st, WORD wDayOfWeek)
{
    EXPECT_EQ(back.wYear, st.wYear);
    EXPECT_EQ(back.wMonth, st.wMonth);
    EXPECT_EQ(back.wDay, st.wDay);
    EXPECT_EQ(back.wHour, st.wHour);
    EXPECT_EQ(back.wMinute, st.wMinute);
    EXPECT_EQ(back.wSecond, st.wSecond);
    EXPECT_EQ(back.wDayOfWeek, wDayOfWeek);
}

} // namespace

TEST(CTime, FieldsAndFormatOfAKnownDate)
{
    // 9 March 2004 was a Tuesday, the 69th day of a leap year.
    CTime t(2004, 3, 9, 14, 5, 7);
    ASSERT_NE(t.GetTime(), 0);
    EXPECT_EQ(t.GetYear(), 2004);
    EXPECT_EQ(t.GetMonth(), 3);
    EXPECT_EQ(t.GetDay(), 9);
    EXPECT_EQ(t.GetHour(), 14);
    EXPECT_EQ(t.GetMinute(), 5);
    EXPECT_EQ(t.GetSecond(), 7);
    EXPECT_EQ(t.GetDayOfWeek(), 3);
    EXPECT_STREQ(t.Format(L"%Y%m%d%H%M%S"), L"20040309140507");
    EXPECT_STREQ(t.Format(L"%a %A %b %B %y %j"), L"Tue Tuesday Mar March 04 069");
    EXPECT_STREQ(t.Format(L"%I:%M %p"), L"02:05 PM");
    EXPECT_STREQ(t.Format(L"%c|%x|%X"), L"03/09/04 14:05:07|03/09/04|14:05:07");
    EXPECT_STREQ(t.Format(L"%#d.%#m. 100%% %q"), L"9.3. 100% %q");
    EXPECT_STREQ(CTime(2004, 3, 9, 0, 0, 0).Format(L"%I %p"), L"12 AM");
}

TEST(CTime, SystemTimeRoundTripAndArithmetic)
{
    SYSTEMTIME st = SystemTimeOf(2010, 12, 31, 23, 59, 58);
    CTime t(st);
    SYSTEMTIME back = {};
    ASSERT_TRUE(t.GetAsSystemTime(back));
    ExpectSameMoment(back, st, 5);  // Friday

    CTime later = t + CTimeSpan(0, 0, 0, 3);
    EXPECT_EQ(later.GetYear(), 2011);
    EXPECT_EQ(later.GetSecond(), 1);
    CTimeSpan span = later - t;
    EXPECT_EQ(span.GetTotalSeconds(), 3);
    EXPECT_TRUE(t < later);
    EXPECT_TRUE(t == CTime(st));

    CTimeSpan big(2, 3, 4, 5);
    EXPECT_EQ(big.GetDays(), 2);
    EXPECT_EQ(big.GetHours(), 3);
    EXPECT_EQ(big.GetMinutes(), 4);
    EXPECT_EQ(big.GetSeconds(), 5);
    EXPECT_EQ(big.GetTotalHours(), 51);
}

TEST(CTime, FileTimeIsUtcAndCurrentTimeIsLocal)
{
    SYSTEMTIME stLocal;
    ::GetLocalTime(&stLocal);
    CTime now = CTime::GetCurrentTime();
    EXPECT_EQ(now.GetYear(), stLocal.wYear);

    FILETIME ftUtc;
    ::GetSystemTimeAsFileTime(&ftUtc);
    CTime fromFile(ftUtc);
    LONGLONG nDiff = (fromFile - now).GetTotalSeconds();
    EXPECT_LE(nDiff < 0 ? -nDiff : nDiff, 2);
}

TEST(COleDateTime, KnownDatesAndWeekdays)
{
    COleDateTime epoch(1899, 12, 30, 0, 0, 0);
    EXPECT_EQ(epoch.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(epoch.m_dt, 0.0);

    COleDateTime d(2004, 3, 9, 18, 0, 0);
    EXPECT_DOUBLE_EQ(d.m_dt, 38055.75);
    EXPECT_EQ(d.GetDayOfWeek(), 3);
    EXPECT_EQ(d.GetDayOfYear(), 69);
    EXPECT_EQ(d.GetHour(), 18);
    EXPECT_STREQ(d.Format(L"%Y-%m-%d %H:%M:%S %A"), L"2004-03-09 18:00:00 Tuesday");

    // Before the epoch the time of day stays a positive fraction.
    COleDateTime early(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(early.m_dt, -1.25);
    EXPECT_EQ(early.GetDay(), 29);
    EXPECT_EQ(early.GetHour(), 6);

    COleDateTime leap(2000, 2, 29, 0, 0, 0);
    EXPECT_EQ(leap.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(leap.GetDayOfWeek(), 3);
}

TEST(COleDateTime, InvalidDatesAndRoundTrips)
{
    COleDateTime bad;
    EXPECT_EQ(bad.SetDateTime(2001, 2, 29, 0, 0, 0), 1);
    EXPECT_EQ(bad.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(bad.GetYear(), -1);
    EXPECT_STREQ(bad.Format(L"%Y"), L"Invalid DateTime");
    EXPECT_EQ(COleDateTime(2001, 13, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(2001, 1, 1, 24, 0, 0).GetStatus(), COleDateTime::invalid);

    SYSTEMTIME st = SystemTimeOf(1999, 7, 4, 13, 30, 59);
    COleDateTime dt(st);
    SYSTEMTIME back = {};
    ASSERT_TRUE(dt.GetAsSystemTime(back));
    ExpectSameMoment(back, st, 0);  // Sunday

    COleDateTime next = dt + COleDateTimeSpan(1, 12, 0, 0);
    EXPECT_EQ(next.GetDay(), 6);
    EXPECT_EQ(next.GetHour(), 1);
    COleDateTimeSpan span = next - dt;
    EXPECT_EQ(span.GetDays(), 1);
    EXPECT_EQ(span.GetHours(), 12);
    EXPECT_TRUE(dt < next);

    // Crossing zero keeps the arithmetic straight.
    COleDateTime early = COleDateTime(1899, 12, 30, 3, 0, 0) - COleDateTimeSpan(0, 6, 0, 0);
    EXPECT_EQ(early.GetDay(), 29);
    EXPECT_EQ(early.GetHour(), 21);
}
