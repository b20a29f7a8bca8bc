#include "services/FileVersionInfo.h"
#include <string>
#include <vector>

namespace {

const LPCWSTR kStandardNames[CFileVersionInfo::VI_STANDARD_COUNT] = {
    L"Comments", L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
    L"LegalCopyright", L"LegalTrademarks", L"OriginalFilename", L"PrivateBuild",
    L"ProductName", L"ProductVersion", L"SpecialBuild", L"OLESelfRegister",
};

struct CodePageName
{
    WORD wCodePage;
    LPCWSTR pszName;
};

const CodePageName kCodePageNames[] = {
    { 0, L"7-bit ASCII" },
    { 932, L"Japan (Shift ?JIS X-0208)" },
    { 949, L"Korea (Shift ?KSC 5601)" },
    { 950, L"Taiwan (Big5)" },
    { 1200, L"Unicode" },
    { 1250, L"Latin-2 (Eastern European)" },
    { 1251, L"Cyrillic" },
    { 1252, L"Multilingual" },
    { 1253, L"Greek" },
    { 1254, L"Turkish" },
    { 1255, L"Hebrew" },
    { 1256, L"Arabic" },
};

} // namespace

CFileVersionInfo::CFileVersionInfo()
    : m_pVersionData(nullptr)
{
    Reset();
}

CFileVersionInfo::~CFileVersionInfo()
{
    Reset();
}

void CFileVersionInfo::Reset()
{
    m_nCurrentTranslation = 0;
    m_nTranslationCount = 0;
    m_bValid = FALSE;
    m_pTranslations = nullptr;
    ZeroMemory(&m_FixedInfo, sizeof(m_FixedInfo));
    delete[] m_pVersionData;
    m_pVersionData = nullptr;
}

BOOL CFileVersionInfo::Create(LPCWSTR pszFileName)
{
    Reset();
    if (!pszFileName)
        return FALSE;
    DWORD dwHandle = 0;
    DWORD dwSize = GetFileVersionInfoSizeW(pszFileName, &dwHandle);
    if (dwSize == 0)
        return FALSE;
    m_pVersionData = new BYTE[dwSize];
    if (!GetFileVersionInfoW(pszFileName, 0, dwSize, m_pVersionData))
    {
        Reset();
        return FALSE;
    }

    void* pFixed = nullptr;
    UINT nLength = 0;
    if (VerQueryValueW(m_pVersionData, L"\\", &pFixed, &nLength) && pFixed && nLength >= sizeof(m_FixedInfo))
    {
        memcpy(&m_FixedInfo, pFixed, sizeof(m_FixedInfo));
        m_bValid = m_FixedInfo.dwSignature == 0xFEEF04BD;
    }

    if (m_bValid)
    {
        void* pTable = nullptr;
        if (VerQueryValueW(m_pVersionData, L"\\VarFileInfo\\Translation", &pTable, &nLength) && pTable)
        {
            m_pTranslations = (const DWORD*)pTable;
            m_nTranslationCount = nLength / sizeof(DWORD);
        }
    }

    if (!m_pTranslations || m_nTranslationCount == 0)
    {
        Reset();
        return FALSE;
    }
    return TRUE;
}

BOOL CFileVersionInfo::Create(HMODULE hModule)
{
    Reset();
    if (!hModule)
        return FALSE;
    WCHAR szPath[MAX_PATH];
    DWORD dwLength = GetModuleFileNameW(hModule, szPath, MAX_PATH);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return FALSE; // a cut path would name another file
    return Create(szPath);
}

BOOL CFileVersionInfo::GetStringValue(LPCWSTR pszName, LPWSTR pszBuffer, int nSize) const
{
    if (pszBuffer && nSize < 1)
        return FALSE;
    if (pszBuffer)
        ZeroMemory(pszBuffer, (size_t)nSize * sizeof(WCHAR));
    if (!m_bValid || !pszName || m_nCurrentTranslation >= m_nTranslationCount)
        return FALSE;

    DWORD dwEntry = m_pTranslations[m_nCurrentTranslation];
    CString strQuery;
    strQuery.Format(L"\\StringFileInfo\\%04X%04X\\%s", LOWORD(dwEntry), HIWORD(dwEntry), pszName);
    void* pValue = nullptr;
    UINT nLength = 0;
    if (!VerQueryValueW(m_pVersionData, strQuery, &pValue, &nLength) || !pValue)
        return FALSE;
    if (!pszBuffer)
        return TRUE;
    return lstrcpynW(pszBuffer, (LPCWSTR)pValue, nSize) != nullptr;
}

BOOL CFileVersionInfo::GetStringValue(int nIndex, LPWSTR pszBuffer, int nSize) const
{
    LPCWSTR pszName = GetStandardValueName(nIndex);
    if (!pszName)
    {
        if (pszBuffer && nSize > 0)
            pszBuffer[0] = 0;
        return FALSE;
    }
    return GetStringValue(pszName, pszBuffer, nSize);
}

LPCWSTR CFileVersionInfo::GetStandardValueName(int nIndex)
{
    return nIndex >= 0 && nIndex < VI_STANDARD_COUNT ? kStandardNames[nIndex] : nullptr;
}

BOOL CFileVersionInfo::SetCurrentTranslation(int nIndex)
{
    if (nIndex < 0 || (UINT)nIndex >= m_nTranslationCount)
        return FALSE;
    m_nCurrentTranslation = (UINT)nIndex;
    return TRUE;
}

BOOL CFileVersionInfo::FindTranslation(WORD wLanguage, WORD wCodePage)
{
    for (UINT i = 0; i < m_nTranslationCount; ++i)
    {
        if (LOWORD(m_pTranslations[i]) == wLanguage && HIWORD(m_pTranslations[i]) == wCodePage)
        {
            m_nCurrentTranslation = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CFileVersionInfo::GetTranslation(int nIndex, WORD& wLanguage, WORD& wCodePage) const
{
    if (nIndex < 0 || (UINT)nIndex >= m_nTranslationCount)
        return FALSE;
    wLanguage = LOWORD(m_pTranslations[nIndex]);
    wCodePage = HIWORD(m_pTranslations[nIndex]);
    return TRUE;
}

BOOL CFileVersionInfo::GetLanguageName(WORD wLanguage, LPWSTR pszBuffer, int nSize)
{
    if (!pszBuffer || nSize < 1)
        return FALSE;
    return VerLanguageNameW(wLanguage, pszBuffer, (DWORD)nSize) != 0;
}

BOOL CFileVersionInfo::GetCodePageName(WORD wCodePage, LPWSTR pszBuffer, int nSize)
{
    if (!pszBuffer || nSize < 1)
        return FALSE;
    for (const CodePageName& entry : kCodePageNames)
    {
        if (entry.wCodePage == wCodePage)
        {
            lstrcpynW(pszBuffer, entry.pszName, nSize);
            return TRUE;
        }
    }
    lstrcpynW(pszBuffer, L"Unknown", nSize);
    return FALSE;
}

HRESULT CFileVersionInfo::GetDllVersion(HMODULE hModule, DLLVERSIONINFO* pVersion)
{
    if (!pVersion || pVersion->cbSize != sizeof(DLLVERSIONINFO))
        return S_FALSE;
    if (!Create(hModule))
        return S_FALSE;
    if (m_FixedInfo.dwFileType != VFT_DLL && m_FixedInfo.dwFileType != VFT_STATIC_LIB)
        return S_FALSE;
    switch (m_FixedInfo.dwFileOS)
    {
    case VOS__WINDOWS32:
    case VOS_NT_WINDOWS32:
        pVersion->dwPlatformID = DLLVER_PLATFORM_WINDOWS;
        break;
    case VOS_NT:
        pVersion->dwPlatformID = DLLVER_PLATFORM_NT;
        break;
    default:
        return S_FALSE;
    }
    pVersion->dwMajorVersion = HIWORD(m_FixedInfo.dwFileVersionMS);
    pVersion->dwMinorVersion = LOWORD(m_FixedInfo.dwFileVersionMS);
    pVersion->dwBuildNumber = HIWORD(m_FixedInfo.dwFileVersionLS);
    return S_OK;
}
