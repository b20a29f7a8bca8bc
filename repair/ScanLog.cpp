#include "repair/ScanLog.h"
#include "app/TamselApp.h"

static_assert(CScanLog::CATEGORY_COUNT == TAMSEL_CATEGORY_COUNT, "one count per category");

namespace {
const wchar_t kSection[] = L"ScanLog";

CString ErrorKey(int nIndex)
{
    CString strKey;
    strKey.Format(L"Error%d", nIndex + 1);
    return strKey;
}

CString CleanedKey(int nIndex)
{
    CString strKey;
    strKey.Format(L"Cleaned%d", nIndex + 1);
    return strKey;
}
} // namespace

CScanLog::CScanLog(const CString& strFile) : m_strFile(strFile)
{
    for (int i = 0; i < CATEGORY_COUNT; i++)
    {
        m_nErrors[i] = 0;
        m_nCleaned[i] = 0;
    }
}

void CScanLog::Read(const CString& strDefaultStamp)
{
    wchar_t szStamp[1024] = {};
    GetPrivateProfileStringW(kSection, L"LastScanTime", strDefaultStamp, szStamp, 1024, m_strFile);
    m_strLastScanTime = szStamp;
    for (int i = 0; i < CATEGORY_COUNT; i++)
        m_nErrors[i] = (int)GetPrivateProfileIntW(kSection, ErrorKey(i), 0, m_strFile);
    for (int i = 0; i < CATEGORY_COUNT; i++)
        m_nCleaned[i] = (int)GetPrivateProfileIntW(kSection, CleanedKey(i), 0, m_strFile);
}

BOOL CScanLog::Write() const
{
    // A settings file that did not read is left as it is.
    if (!PrepareIniFile(m_strFile))
        return FALSE;
    BOOL bOk = WritePrivateProfileStringW(kSection, L"LastScanTime", m_strLastScanTime, m_strFile);
    CString strValue;
    for (int i = 0; i < CATEGORY_COUNT; i++)
    {
        strValue.Format(L"%d", m_nErrors[i]);
        bOk = WritePrivateProfileStringW(kSection, ErrorKey(i), strValue, m_strFile) && bOk;
    }
    for (int i = 0; i < CATEGORY_COUNT; i++)
    {
        strValue.Format(L"%d", m_nCleaned[i]);
        bOk = WritePrivateProfileStringW(kSection, CleanedKey(i), strValue, m_strFile) && bOk;
    }
    return bOk;
}
