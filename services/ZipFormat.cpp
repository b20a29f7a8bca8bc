#include "services/ZipFormat.h"

#include <string.h>

namespace zipformat {

namespace {

struct ResultTextRow
{
    ZipResult zr;
    LPCWSTR pszText;
};

const ResultTextRow g_resultTexts[] = {
    { ZipOk, L"Success" },
    { ZipErrDuplicate, L"Culdn't duplicate handle" },
    { ZipErrNoFile, L"Couldn't create/open file" },
    { ZipErrNoAlloc, L"Failed to allocate memory" },
    { ZipErrWrite, L"Error writing to file" },
    { ZipErrNotFound, L"File not found in the zipfile" },
    { ZipMore, L"Still more data to unzip" },
    { ZipErrCorrupt, L"Zipfile is corrupt or not a zipfile" },
    { ZipErrRead, L"Error reading file" },
    { ZipErrStopped, L"Stopped on request" },
    { ZipErrArgs, L"Caller: faulty arguments" },
    { ZipErrNotMemory, L"Caller: can only get memory of a memory zipfile" },
    { ZipErrMemSize, L"Caller: not enough space allocated for memory zipfile" },
    { ZipErrPrevious, L"Caller: there was a previous error" },
    { ZipErrEnded, L"Caller: additions to the zip have already been ended" },
    { ZipErrSizeGuess, L"Zip-bug: the anticipated size turned out wrong" },
    { ZipErrPartUnzipped, L"Caller: the file had already been partially unzipped" },
    { ZipErrMixed, L"Caller: mixing creation and opening of zip" },
    { ZipBugNotInited, L"Zip-bug: internal initialisation not completed" },
    { ZipBugSeek, L"Zip-bug: trying to seek the unseekable" },
    { ZipBugNoChange, L"Zip-bug: tried to change mind, but not allowed" },
    { ZipBugFlate, L"Zip-bug: an internal error during flation" },
};

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
LONGLONG DaysFromCivil(int nYear, unsigned nMonth, unsigned nDay)
{
    nYear -= nMonth <= 2;
    const int nEra = (nYear >= 0 ? nYear : nYear - 399) / 400;
    const unsigned nYearOfEra = (unsigned)(nYear - nEra * 400);
    const unsigned nDayOfYear = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const unsigned nDayOfEra = nYearOfEra * 365 + nYearOfEra / 4 - nYearOfEra / 100 + nDayOfYear;
    return (LONGLONG)nEra * 146097 + (LONGLONG)nDayOfEra - 719468;
}

} // namespace

LPCWSTR ResultText(ZipResult zr)
{
    for (const ResultTextRow& row : g_resultTexts)
    {
        if (row.zr == zr)
            return row.pszText;
    }
    return L"unknown zip result code";
}

unsigned FormatResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize)
{
    LPCWSTR pszText = ResultText(zr);
    unsigned nLength = (unsigned)wcslen(pszText);
    if (pszBuffer && nSize)
    {
        unsigned nCopy = nLength < nSize - 1 ? nLength : nSize - 1;
        memcpy(pszBuffer, pszText, nCopy * sizeof(wchar_t));
        pszBuffer[nCopy] = 0;
    }
    return nLength;
}

void DosDateTimeFromFields(const SYSTEMTIME& st, WORD& wDate, WORD& wTime)
{
    if (st.wYear < 1980)
    {
        wDate = (1 << 5) | 1;
        wTime = 0;
        return;
    }
    if (st.wYear > 2107)
    {
        wDate = (WORD)((127 << 9) | (12 << 5) | 31);
        wTime = (WORD)((23 << 11) | (59 << 5) | 29);
        return;
    }
    wDate = (WORD)(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    wTime = (WORD)((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
}

FILETIME FileTimeFromDos(WORD wDate, WORD wTime)
{
    FILETIME ft = {};
    if (!DosDateTimeToFileTime(wDate, wTime, &ft))
        ft = FILETIME();
    return ft;
}

DWORD UnixTimeFromFileTime(const FILETIME& ftUtc)
{
    SYSTEMTIME st = {};
    if (!FileTimeToSystemTime(&ftUtc, &st))
        return 0;
    int nYear = st.wYear;
    unsigned nMonth = st.wMonth, nDay = st.wDay;
    if (nYear < 1970)
    {
        nYear = 1970;
        nMonth = 1;
        nDay = 1;
    }
    else if (nYear >= 2038)
    {
        nYear = 2037;
        nMonth = 12;
        nDay = 31;
    }
    LONGLONG llSeconds = DaysFromCivil(nYear, nMonth, nDay) * 86400
        + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    return (DWORD)llSeconds;
}

FILETIME FileTimeFromUnix(DWORD dwSeconds)
{
    ULONGLONG ull = ((ULONGLONG)dwSeconds + 11644473600ULL) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = (DWORD)ull;
    ft.dwHighDateTime = (DWORD)(ull >> 32);
    return ft;
}

BOOL EncodeItemName(LPCWSTR pszName, char* pszOut, int nOutSize, int& nOutLength, BOOL& bUtf8)
{
    nOutLength = 0;
    bUtf8 = FALSE;
    int nChars = (int)wcslen(pszName);
    if (nChars == 0)
        return FALSE;
    bool bAscii = true;
    for (int i = 0; i < nChars; ++i)
        bAscii = bAscii && pszName[i] < 0x80;
    int nBytes = 0;
    if (!bAscii && GetACP() == CP_UTF8)
        bUtf8 = TRUE;
    else
    {
        BOOL bUsedDefault = FALSE;
        nBytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, pszName, nChars, pszOut, nOutSize, NULL, &bUsedDefault);
        if (nBytes > 0 && bUsedDefault)
            bUtf8 = TRUE;
        else if (nBytes <= 0 && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            bUtf8 = TRUE;
    }
    if (bUtf8)
        nBytes = WideCharToMultiByte(CP_UTF8, 0, pszName, nChars, pszOut, nOutSize, NULL, NULL);
    if (nBytes <= 0)
        return FALSE;
    nOutLength = nBytes;
    return TRUE;
}

BOOL DecodeItemName(const char* pName, int nLength, BOOL bUtf8, LPWSTR pszOut, int nOutSize)
{
    if (nOutSize <= 0)
        return FALSE;
    pszOut[0] = 0;
    if (nLength == 0)
        return TRUE;
    int nChars = MultiByteToWideChar(bUtf8 ? CP_UTF8 : CP_ACP, bUtf8 ? MB_ERR_INVALID_CHARS : 0,
                                     pName, nLength, pszOut, nOutSize - 1);
    if (nChars <= 0)
    {
        pszOut[0] = 0;
        return FALSE;
    }
    pszOut[nChars] = 0;
    return TRUE;
}

void* StateOfHandle(ZipHandle hZip, DWORD dwKind, ZipResult& zr)
{
    zr = ZipOk;
    if (!hZip)
        zr = ZipErrArgs;
    else if (hZip->m_dwKind != dwKind)
        zr = ZipErrMixed;
    return zr == ZipOk ? hZip->m_pState : NULL;
}

} // namespace zipformat
