#include "scanner/KeyReader.h"
#include "scanner/ScanStop.h"
#include "services/Wow64.h"
#include <vector>

// A registry key name holds at most 255 characters.
static const DWORD KEY_NAME_CHARS = 256;
// Value names and data grow only on ERROR_MORE_DATA, this many times.
static const int GROW_ATTEMPTS = 4;
// A scan's stop is asked once per this many names of an enumeration (and
// before the first): a key of a million names must not hold a stop back.
static const DWORD STOP_POLL_NAMES = 64;

CKeyReader::CKeyReader() : m_hKey(NULL), m_hRoot(NULL), m_samView(0)
{
}

CKeyReader::~CKeyReader()
{
    Close();
}

void CKeyReader::Close()
{
    if (m_hKey != NULL)
        ::RegCloseKey(m_hKey);
    m_hKey = NULL;
}

LONG CKeyReader::Open(HKEY hRoot, const CString& strPath, REGSAM samView)
{
    Close();
    m_hRoot = hRoot;
    m_samView = samView;
    m_strPath = strPath;
    HKEY hKey = NULL;
    LONG nResult = ::RegOpenKeyExW(hRoot, strPath.IsEmpty() ? NULL : (LPCWSTR)strPath, 0, KEY_READ | samView, &hKey);
    if (nResult == ERROR_SUCCESS)
        m_hKey = hKey;
    return nResult;
}

LONG CKeyReader::OpenChild(const CKeyReader& parent, const CString& strName)
{
    Close();
    m_hRoot = parent.m_hRoot;
    m_samView = parent.m_samView;
    m_strPath = parent.m_strPath.IsEmpty() ? strName : parent.m_strPath + L"\\" + strName;
    if (parent.m_hKey == NULL)
        return ERROR_INVALID_HANDLE;
    HKEY hKey = NULL;
    LONG nResult = ::RegOpenKeyExW(parent.m_hKey, strName, 0, KEY_READ | m_samView, &hKey);
    if (nResult == ERROR_SUCCESS)
        m_hKey = hKey;
    return nResult;
}

LONG CKeyReader::GetCounts(DWORD* pnSubKeys, DWORD* pnValues) const
{
    DWORD nSubKeys = 0, nValues = 0;
    LONG nResult = m_hKey == NULL ? ERROR_INVALID_HANDLE
                                  : ::RegQueryInfoKeyW(m_hKey, NULL, NULL, NULL, &nSubKeys, NULL, NULL, &nValues,
                                                       NULL, NULL, NULL, NULL);
    if (pnSubKeys != NULL)
        *pnSubKeys = nResult == ERROR_SUCCESS ? nSubKeys : 0;
    if (pnValues != NULL)
        *pnValues = nResult == ERROR_SUCCESS ? nValues : 0;
    return nResult;
}

LONG CKeyReader::GetSubKeyNames(CStringArray& arrNames) const
{
    return GetSubKeyNames(arrNames, MAXDWORD);
}

LONG CKeyReader::GetSubKeyNames(CStringArray& arrNames, DWORD nCount) const
{
    if (m_hKey == NULL)
        return ERROR_INVALID_HANDLE;
    wchar_t szName[KEY_NAME_CHARS];
    for (DWORD nIndex = 0;; nIndex++)
    {
        if (nIndex >= nCount)
            return ERROR_SUCCESS;
        if (nIndex % STOP_POLL_NAMES == 0 && IsThreadScanStopped())
            return ERROR_CANCELLED;
        DWORD nChars = KEY_NAME_CHARS;
        LONG nResult = ::RegEnumKeyExW(m_hKey, nIndex, szName, &nChars, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        // Any other answer ends the walk: some keys answer an error for ever.
        if (nResult != ERROR_SUCCESS)
            return nResult;
        arrNames.Add(CString(szName, (int)nChars));
    }
}

LONG CKeyReader::GetValueNames(CStringArray& arrNames) const
{
    if (m_hKey == NULL)
        return ERROR_INVALID_HANDLE;
    DWORD nLongest = 0;
    ::RegQueryInfoKeyW(m_hKey, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &nLongest, NULL, NULL, NULL);
    std::vector<wchar_t> name(nLongest + 1 < 256 ? 256 : nLongest + 1);
    int nGrown = 0;
    DWORD nPolledAt = MAXDWORD;
    for (DWORD nIndex = 0;;)
    {
        // A name read again with a larger buffer is not asked twice.
        if (nIndex % STOP_POLL_NAMES == 0 && nIndex != nPolledAt)
        {
            nPolledAt = nIndex;
            if (IsThreadScanStopped())
                return ERROR_CANCELLED;
        }
        DWORD nChars = (DWORD)name.size();
        LONG nResult = ::RegEnumValueW(m_hKey, nIndex, name.data(), &nChars, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (nResult == ERROR_MORE_DATA && nGrown < GROW_ATTEMPTS && name.size() < 32768)
        {
            name.resize(name.size() * 4 > 32768 ? 32768 : name.size() * 4);
            nGrown++;
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            return nResult;
        arrNames.Add(CString(name.data(), (int)nChars));
        nIndex++;
    }
}

BOOL CKeyReader::HasValue(const CString& strName) const
{
    if (m_hKey == NULL)
        return FALSE;
    return ::RegQueryValueExW(m_hKey, strName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

CString CKeyReader::GetValueNameAsStored(const CString& strName) const
{
    CStringArray arrNames;
    GetValueNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (arrNames[i].CompareNoCase(strName) == 0)
            return arrNames[i];
    }
    return strName;
}

CString CKeyReader::ReadString(const CString& strName, const CString& strDefault) const
{
    DWORD dwType = REG_NONE;
    return ReadString(strName, strDefault, dwType);
}

CString CKeyReader::ReadString(const CString& strName, const CString& strDefault, DWORD& dwTypeRead) const
{
    dwTypeRead = REG_NONE;
    if (m_hKey == NULL)
        return strDefault;
    std::vector<BYTE> data(512);
    for (int nAttempt = 0; nAttempt <= GROW_ATTEMPTS; nAttempt++)
    {
        DWORD dwType = 0;
        DWORD nBytes = (DWORD)data.size() - sizeof(wchar_t);
        LONG nResult = ::RegQueryValueExW(m_hKey, strName, NULL, &dwType, data.data(), &nBytes);
        if (nResult == ERROR_MORE_DATA && nBytes < 1024 * 1024)
        {
            data.assign(nBytes + 2 * sizeof(wchar_t), 0);
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            return strDefault;
        dwTypeRead = dwType;
        if (!strName.IsEmpty() && dwType != REG_SZ && dwType != REG_EXPAND_SZ)
            return strDefault;
        const wchar_t* pText = reinterpret_cast<const wchar_t*>(data.data());
        int nChars = (int)(nBytes / sizeof(wchar_t));
        int nLength = 0;
        while (nLength < nChars && pText[nLength] != 0)
            nLength++;
        return CString(pText, nLength);
    }
    return strDefault;
}

BOOL CKeyReader::GetValueType(const CString& strName, DWORD& dwType) const
{
    dwType = REG_NONE;
    if (m_hKey == NULL)
        return FALSE;
    return ::RegQueryValueExW(m_hKey, strName, NULL, &dwType, NULL, NULL) == ERROR_SUCCESS;
}

DWORD CKeyReader::ReadDword(const CString& strName, DWORD nDefault) const
{
    if (m_hKey == NULL)
        return nDefault;
    BYTE data[4] = {};
    DWORD nBytes = sizeof(data);
    if (::RegQueryValueExW(m_hKey, strName, NULL, NULL, data, &nBytes) != ERROR_SUCCESS)
        return nDefault;
    DWORD nValue = 0;
    memcpy(&nValue, data, nBytes);
    return nValue;
}

BOOL CKeyReader::CanOpenWith(HKEY hRoot, const CString& strPath, REGSAM samAccess, REGSAM samView)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, strPath, 0, samAccess | samView, &hKey) != ERROR_SUCCESS)
        return FALSE;
    ::RegCloseKey(hKey);
    return TRUE;
}

REGSAM CKeyReader::OtherView()
{
#ifdef _WIN64
    return KEY_WOW64_32KEY;
#else
    return IsRunningOnWow64() ? KEY_WOW64_64KEY : 0;
#endif
}

CString CKeyReader::GetObjectName() const
{
    if (m_hKey == NULL)
        return CString();
    // KEY_NAME_INFORMATION: a byte count, then the name (not terminated).
    typedef LONG(NTAPI * PFN_NT_QUERY_KEY)(HANDLE, int, PVOID, ULONG, PULONG);
    static PFN_NT_QUERY_KEY s_pfnQuery =
        (PFN_NT_QUERY_KEY)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey");
    const int KEY_NAME_INFORMATION_CLASS = 3;
    if (s_pfnQuery == NULL)
        return CString();
    std::vector<ULONG> buffer(260);
    for (int nAttempt = 0; nAttempt < GROW_ATTEMPTS; nAttempt++)
    {
        ULONG nBytes = (ULONG)(buffer.size() * sizeof(ULONG));
        ULONG nNeeded = 0;
        LONG nStatus = s_pfnQuery(m_hKey, KEY_NAME_INFORMATION_CLASS, buffer.data(), nBytes, &nNeeded);
        if (nStatus >= 0)
        {
            ULONG nNameBytes = buffer[0];
            if (nNameBytes > nBytes - sizeof(ULONG))
                return CString();
            return CString((const wchar_t*)(buffer.data() + 1), (int)(nNameBytes / sizeof(wchar_t)));
        }
        if (nNeeded <= nBytes)
            return CString();
        buffer.resize(nNeeded / sizeof(ULONG) + 2);
    }
    return CString();
}

LONG CKeyReader::OpenOtherView(HKEY hRoot, const CString& strPath, const CKeyReader& own)
{
    Close();
    REGSAM samOther = OtherView();
    if (samOther == 0)
        return ERROR_FILE_NOT_FOUND;
    LONG nResult = Open(hRoot, strPath, samOther);
    if (nResult != ERROR_SUCCESS || !own.IsOpen())
        return nResult;
    CString strOwn = own.GetObjectName();
    CString strOther = GetObjectName();
    if (strOwn.IsEmpty() || strOther.IsEmpty() || strOwn.CompareNoCase(strOther) == 0)
    {
        Close();
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}
