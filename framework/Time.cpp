#include "framework/Time.h"
#include <cmath>
#include <cwchar>

namespace {

const wchar_t* const kDayNames[] = { L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                     L"Thursday", L"Friday", L"Saturday" };
const wchar_t* const kMonthNames[] = { L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                       L"August", L"September", L"October", L"November", L"December" };

// Digits by hand: the C library's formatter costs milliseconds on its first
// call, and the settings read at start-up stamps a time.
void AppendNumber(CString& str, int nValue, int nWidth, bool bNoPad)
{
    wchar_t szBuf[16];
    wchar_t* p = szBuf + 15;
    *p = 0;
    unsigned int uValue = nValue < 0 ? 0u - (unsigned int)nValue : (unsigned int)nValue;
    int nDigits = 0;
    do {
        *--p = (wchar_t)(L'0' + uValue % 10);
        uValue /= 10;
        ++nDigits;
    } while (uValue != 0);
    int nPad = bNoPad ? 1 : nWidth;
    if (nValue < 0)
        --nPad;  // the sign takes a place of the width, as with "%0*d"
    for (; nDigits < nPad && p > szBuf + 1; ++nDigits)
        *--p = L'0';
    if (nValue < 0)
        *--p = L'-';
    str += p;
}

void AppendName(CString& str, const wchar_t* pszName, bool bShort)
{
    if (!bShort) {
        str += pszName;
        return;
    }
    wchar_t szShort[4] = { pszName[0], pszName[1], pszName[2], 0 };
    str += szShort;
}

// Days since 1 March of year 0 style civil count, relative to 1970-01-01.
LONGLONG DaysFromCivil(LONGLONG y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const LONGLONG era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = (unsigned)(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (LONGLONG)doe - 719468;
}

void CivilFromDays(LONGLONG z, int& y, int& m, int& d)
{
    z += 719468;
    const LONGLONG era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = (unsigned)(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = (int)(doy - (153 * mp + 2) / 5 + 1);
    m = (int)(mp < 10 ? mp + 3 : mp - 9);
    y = (int)((LONGLONG)yoe + era * 400 + (m <= 2));
}

const LONGLONG kOleEpochDays = DaysFromCivil(1899, 12, 30);
const double kMinDate = -657434.0;  // 1 January 100
const double kMaxDate = 2958465.99999;  // 31 December 9999

bool IsLeapYear(int nYear)
{
    return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
}

int DaysInMonth(int nYear, int nMonth)
{
    static const int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return nMonth == 2 && IsLeapYear(nYear) ? 29 : kDays[nMonth - 1];
}

// OLE dates below zero keep the time of day as a positive fraction after a
// negative day number; "linear" days run straight through zero.
double OleToLinear(double dt)
{
    if (dt >= 0)
        return dt;
    double dDay = std::ceil(dt);
    return dDay + (dDay - dt);
}

double LinearToOle(double dLinear)
{
    if (dLinear >= 0)
        return dLinear;
    double dDay = std::floor(dLinear);
    double dFrac = dLinear - dDay;
    return dFrac == 0 ? dDay : dDay - dFrac;
}

}  // namespace

CString AfxFormatTime(const struct tm& t, LPCWSTR pszFormat)
{
    CString str;
    if (pszFormat == NULL)
        return str;
    for (const wchar_t* p = pszFormat; *p; ++p) {
        if (*p != L'%' || p[1] == 0) {
            str += *p;
            continue;
        }
        ++p;
        bool bNoPad = false;
        if (*p == L'#' && p[1]) {
            bNoPad = true;
            ++p;
        }
        int nHour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        switch (*p) {
        case L'a': AppendName(str, kDayNames[(t.tm_wday + 7) % 7], true); break;
        case L'A': AppendName(str, kDayNames[(t.tm_wday + 7) % 7], false); break;
        case L'b': AppendName(str, kMonthNames[(t.tm_mon + 12) % 12], true); break;
        case L'B': AppendName(str, kMonthNames[(t.tm_mon + 12) % 12], false); break;
        case L'c':
            str += AfxFormatTime(t, bNoPad ? L"%A, %B %#d, %Y %H:%M:%S" : L"%m/%d/%y %H:%M:%S");
            break;
        case L'd': AppendNumber(str, t.tm_mday, 2, bNoPad); break;
        case L'H': AppendNumber(str, t.tm_hour, 2, bNoPad); break;
        case L'I': AppendNumber(str, nHour12, 2, bNoPad); break;
        case L'j': AppendNumber(str, t.tm_yday + 1, 3, bNoPad); break;
        case L'm': AppendNumber(str, t.tm_mon + 1, 2, bNoPad); break;
        case L'M': AppendNumber(str, t.tm_min, 2, bNoPad); break;
        case L'p': str += t.tm_hour < 12 ? L"AM" : L"PM"; break;
        case L'S': AppendNumber(str, t.tm_sec, 2, bNoPad); break;
        case L'U': AppendNumber(str, (t.tm_yday + 7 - t.tm_wday) / 7, 2, bNoPad); break;
        case L'w': AppendNumber(str, t.tm_wday, 1, bNoPad); break;
        case L'W': AppendNumber(str, (t.tm_yday + 7 - (t.tm_wday + 6) % 7) / 7, 2, bNoPad); break;
        case L'x': str += AfxFormatTime(t, bNoPad ? L"%A, %B %#d, %Y" : L"%m/%d/%y"); break;
        case L'X': str += AfxFormatTime(t, L"%H:%M:%S"); break;
        case L'y': AppendNumber(str, (t.tm_year + 1900) % 100, 2, bNoPad); break;
        case L'Y': AppendNumber(str, t.tm_year + 1900, 4, bNoPad); break;
        case L'z':
        case L'Z': {
            TIME_ZONE_INFORMATION tzi;
            DWORD dwZone = ::GetTimeZoneInformation(&tzi);
            str += (dwZone == TIME_ZONE_ID_DAYLIGHT && t.tm_isdst > 0) ? tzi.DaylightName : tzi.StandardName;
            break;
        }
        case L'%': str += L'%'; break;
        default:
            // Unknown codes are kept as written.
            str += L'%';
            str += *p;
            break;
        }
    }
    return str;
}

// CTimeSpan

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
    : m_timeSpan(nSecs + 60 * ((__int64)nMins + 60 * ((__int64)nHours + 24 * (__int64)lDays)))
{
}

// CTime

CTime PASCAL CTime::GetCurrentTime()
{
    return CTime(_time64(NULL));
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
    struct tm t = {};
    t.tm_year = nYear - 1900;
    t.tm_mon = nMonth - 1;
    t.tm_mday = nDay;
    t.tm_hour = nHour;
    t.tm_min = nMin;
    t.tm_sec = nSec;
    t.tm_isdst = nDST;
    m_time = _mktime64(&t);
    if (m_time == -1)
        m_time = 0;
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : CTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)
{
}

CTime::CTime(const FILETIME& ft, int nDST)
{
    FILETIME ftLocal;
    SYSTEMTIME st;
    if (::FileTimeToLocalFileTime(&ft, &ftLocal) && ::FileTimeToSystemTime(&ftLocal, &st))
        *this = CTime(st, nDST);
    else
        m_time = 0;
}

BOOL CTime::GetLocalTm(struct tm* pTm) const
{
    return pTm && _localtime64_s(pTm, &m_time) == 0;
}

BOOL CTime::GetGmtTm(struct tm* pTm) const
{
    return pTm && _gmtime64_s(pTm, &m_time) == 0;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    struct tm t;
    if (!GetLocalTm(&t))
        return FALSE;
    st.wYear = (WORD)(t.tm_year + 1900);
    st.wMonth = (WORD)(t.tm_mon + 1);
    st.wDayOfWeek = (WORD)t.tm_wday;
    st.wDay = (WORD)t.tm_mday;
    st.wHour = (WORD)t.tm_hour;
    st.wMinute = (WORD)t.tm_min;
    st.wSecond = (WORD)t.tm_sec;
    st.wMilliseconds = 0;
    return TRUE;
}

int CTime::GetYear() const { struct tm t; return GetLocalTm(&t) ? t.tm_year + 1900 : 0; }
int CTime::GetMonth() const { struct tm t; return GetLocalTm(&t) ? t.tm_mon + 1 : 0; }
int CTime::GetDay() const { struct tm t; return GetLocalTm(&t) ? t.tm_mday : 0; }
int CTime::GetHour() const { struct tm t; return GetLocalTm(&t) ? t.tm_hour : 0; }
int CTime::GetMinute() const { struct tm t; return GetLocalTm(&t) ? t.tm_min : 0; }
int CTime::GetSecond() const { struct tm t; return GetLocalTm(&t) ? t.tm_sec : 0; }
int CTime::GetDayOfWeek() const { struct tm t; return GetLocalTm(&t) ? t.tm_wday + 1 : 0; }

CString CTime::Format(LPCWSTR pszFormat) const
{
    struct tm t;
    return GetLocalTm(&t) ? AfxFormatTime(t, pszFormat) : CString();
}

CString CTime::FormatGmt(LPCWSTR pszFormat) const
{
    struct tm t;
    return GetGmtTm(&t) ? AfxFormatTime(t, pszFormat) : CString();
}

// COleDateTimeSpan

void COleDateTimeSpan::SetDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
{
    m_span = lDays + ((double)nHours + ((double)nMins + (double)nSecs / 60) / 60) / 24;
    m_status = valid;
}

// Whole units of the span, rounded to the second first so that 0.5 hours
// is not 29 minutes 59.99 seconds.
static LONGLONG SpanSeconds(double dSpan)
{
    return (LONGLONG)std::llround(dSpan * 86400.0);
}

LONG COleDateTimeSpan::GetHours() const { return (LONG)(SpanSeconds(m_span) / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return (LONG)(SpanSeconds(m_span) / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return (LONG)(SpanSeconds(m_span) % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& span) const
{
    COleDateTimeSpan result(m_span + span.m_span);
    if (m_status != valid || span.m_status != valid)
        result.m_status = (m_status == null || span.m_status == null) ? null : invalid;
    return result;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& span) const
{
    COleDateTimeSpan result(m_span - span.m_span);
    if (m_status != valid || span.m_status != valid)
        result.m_status = (m_status == null || span.m_status == null) ? null : invalid;
    return result;
}

// COleDateTime

COleDateTime PASCAL COleDateTime::GetCurrentTime()
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    st.wMilliseconds = 0;
    return COleDateTime(st);
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

COleDateTime::COleDateTime(const SYSTEMTIME& st)
{
    SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

COleDateTime::COleDateTime(const FILETIME& ft)
{
    SYSTEMTIME st;
    if (::FileTimeToSystemTime(&ft, &st)) {
        SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    } else {
        m_dt = 0;
        m_status = invalid;
    }
}

COleDateTime::COleDateTime(__time64_t time)
{
    SYSTEMTIME st;
    if (CTime(time).GetAsSystemTime(st)) {
        SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    } else {
        m_dt = 0;
        m_status = invalid;
    }
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    if (nYear < 100 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 ||
        nDay > DaysInMonth(nYear, nMonth) || nHour < 0 || nHour > 23 || nMin < 0 || nMin > 59 ||
        nSec < 0 || nSec > 59) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    double dLinear = (double)(DaysFromCivil(nYear, nMonth, nDay) - kOleEpochDays) +
                     (nHour * 3600 + nMin * 60 + nSec) / 86400.0;
    m_dt = LinearToOle(dLinear);
    m_status = valid;
    return 0;
}

BOOL COleDateTime::GetFields(SYSTEMTIME& st) const
{
    if (m_status != valid || !(m_dt >= kMinDate && m_dt <= kMaxDate))
        return FALSE;
    double dLinear = OleToLinear(m_dt);
    LONGLONG nDays = (LONGLONG)std::floor(dLinear);
    LONGLONG nSeconds = std::llround((dLinear - (double)nDays) * 86400.0);
    if (nSeconds >= 86400) {
        ++nDays;
        nSeconds -= 86400;
    }
    int nYear, nMonth, nDay;
    CivilFromDays(nDays + kOleEpochDays, nYear, nMonth, nDay);
    st.wYear = (WORD)nYear;
    st.wMonth = (WORD)nMonth;
    st.wDay = (WORD)nDay;
    st.wDayOfWeek = (WORD)(((nDays + kOleEpochDays) % 7 + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    st.wHour = (WORD)(nSeconds / 3600);
    st.wMinute = (WORD)(nSeconds / 60 % 60);
    st.wSecond = (WORD)(nSeconds % 60);
    st.wMilliseconds = 0;
    return TRUE;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    return GetFields(st);
}

int COleDateTime::GetYear() const { SYSTEMTIME st; return GetFields(st) ? st.wYear : -1; }
int COleDateTime::GetMonth() const { SYSTEMTIME st; return GetFields(st) ? st.wMonth : -1; }
int COleDateTime::GetDay() const { SYSTEMTIME st; return GetFields(st) ? st.wDay : -1; }
int COleDateTime::GetHour() const { SYSTEMTIME st; return GetFields(st) ? st.wHour : -1; }
int COleDateTime::GetMinute() const { SYSTEMTIME st; return GetFields(st) ? st.wMinute : -1; }
int COleDateTime::GetSecond() const { SYSTEMTIME st; return GetFields(st) ? st.wSecond : -1; }
int COleDateTime::GetDayOfWeek() const { SYSTEMTIME st; return GetFields(st) ? st.wDayOfWeek + 1 : -1; }

int COleDateTime::GetDayOfYear() const
{
    SYSTEMTIME st;
    if (!GetFields(st))
        return -1;
    return (int)(DaysFromCivil(st.wYear, st.wMonth, st.wDay) - DaysFromCivil(st.wYear, 1, 1)) + 1;
}

CString COleDateTime::Format(LPCWSTR pszFormat) const
{
    if (m_status == null)
        return CString();
    SYSTEMTIME st;
    if (!GetFields(st))
        return CString(L"Invalid DateTime");
    struct tm t = {};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    t.tm_wday = st.wDayOfWeek;
    t.tm_yday = GetDayOfYear() - 1;
    t.tm_isdst = -1;
    return AfxFormatTime(t, pszFormat);
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid)
        return CString(L"Invalid DateTime");
    BSTR bstr = NULL;
    if (FAILED(::VarBstrFromDate(m_dt, lcid, dwFlags, &bstr)))
        return CString(L"Invalid DateTime");
    CString str(bstr);
    ::SysFreeString(bstr);
    return str;
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    COleDateTime result;
    if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
        result.m_status = (m_status == null || span.m_status == COleDateTimeSpan::null) ? null : invalid;
        return result;
    }
    result.m_dt = LinearToOle(OleToLinear(m_dt) + span.m_span);
    if (!(result.m_dt >= kMinDate && result.m_dt <= kMaxDate))
        result.m_status = invalid;
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const
{
    COleDateTimeSpan negative(-span.m_span);
    negative.m_status = span.m_status;
    return *this + negative;
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const
{
    COleDateTimeSpan span(OleToLinear(m_dt) - OleToLinear(date.m_dt));
    if (m_status != valid || date.m_status != valid)
        span.m_status = (m_status == null || date.m_status == null) ? COleDateTimeSpan::null
                                                                   : COleDateTimeSpan::invalid;
    return span;
}

bool COleDateTime::operator<(const COleDateTime& date) const
{
    return OleToLinear(m_dt) < OleToLinear(date.m_dt);
}
