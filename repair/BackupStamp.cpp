#include "repair/BackupStamp.h"

CString FormatBackupStamp(const SYSTEMTIME& st)
{
    CString str;
    str.Format(L"%04u%02u%02u%02u%02u%02u", (unsigned)st.wYear, (unsigned)st.wMonth, (unsigned)st.wDay,
               (unsigned)st.wHour, (unsigned)st.wMinute, (unsigned)st.wSecond);
    return str;
}

CString CurrentBackupStamp()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FormatBackupStamp(st);
}

CString UniqueBackupStamp(LPCWSTR pszPathFormat)
{
    for (int nTry = 0; nTry < 40; nTry++) {
        CString strStamp = CurrentBackupStamp();
        CString strPath;
        strPath.Format(pszPathFormat, (LPCWSTR)strStamp);
        if (GetFileAttributesW(strPath) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND)
            return strStamp;
        Sleep(100);
    }
    return CString();
}

static CString StampPart(const CString& strStamp, int nFirst, int nCount)
{
    if (nFirst >= strStamp.GetLength())
        return CString();
    return strStamp.Mid(nFirst, nCount);
}

CString FormatBackupDate(const CString& strStamp)
{
    static const wchar_t* const s_months[12] = {
        L"January", L"February", L"March", L"April", L"May", L"June",
        L"July", L"August", L"September", L"October", L"November", L"December"};
    CString strYear = StampPart(strStamp, 0, 4);
    CString strMonth = StampPart(strStamp, 4, 2);
    CString strDay = StampPart(strStamp, 6, 2);
    CString strHour = StampPart(strStamp, 8, 2);
    CString strMinute = StampPart(strStamp, 10, 2);
    // The second is the last two characters, as stored.
    CString strSecond = strStamp.GetLength() > 12 ? strStamp.Right(2) : CString();

    int nMonth = 0;
    BOOL bDigits = !strMonth.IsEmpty();
    for (int i = 0; i < strMonth.GetLength(); i++) {
        wchar_t ch = strMonth[i];
        if (ch < L'0' || ch > L'9') { bDigits = FALSE; break; }
        nMonth = nMonth * 10 + (ch - L'0');
    }
    CString strMonthName;
    if (bDigits && nMonth >= 1 && nMonth <= 12)
        strMonthName = s_months[nMonth - 1];

    CString str;
    str.Format(L"%s %s, %s (%s:%s:%s)", (LPCWSTR)strMonthName, (LPCWSTR)strDay, (LPCWSTR)strYear,
               (LPCWSTR)strHour, (LPCWSTR)strMinute, (LPCWSTR)strSecond);
    return str;
}
