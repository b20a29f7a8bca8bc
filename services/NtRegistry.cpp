#include "services/NtRegistry.h"

#include "services/RegHive.h"
#include "services/ScopedHandle.h"

#include <algorithm>
#include <vector>

namespace {

// Registry names are at most 255 (keys) and 16383 (values) characters; a
// buffer that still does not fit at this size means the entry is unreadable.
const DWORD kMaxNameChars = 32768;
// Larger string data than this is not read into memory.
const DWORD kMaxStringBytes = 64u * 1024 * 1024;

} // namespace

CNtRegistry::CNtRegistry()
    : m_nLastError(ERROR_SUCCESS)
    , m_hRootKey(HKEY_CURRENT_USER)
    , m_strKeyPath(L"HKEY_CURRENT_USER")  // no key chosen yet: reads fail
    , m_bNoFlush(TRUE)
{
}

CNtRegistry::~CNtRegistry()
{
}

HKEY CNtRegistry::RootFromName(const CString& strName)
{
    const RegHive* pHive = FindRegHive(strName, REG_HIVE_COMMON);
    return pHive != NULL ? pHive->hRoot : HKEY_LOCAL_MACHINE;
}

CString CNtRegistry::RootName(HKEY hRoot)
{
    const RegHive* pHive = FindRegHive(hRoot, REG_HIVE_COMMON);
    return pHive != NULL ? CString(pHive->pszName) : CString();
}

BOOL CNtRegistry::SetRoot(HKEY hRoot)
{
    if (RootName(hRoot).IsEmpty())
        return FALSE;
    m_hRootKey = hRoot;
    return TRUE;
}

BOOL CNtRegistry::SetKey(HKEY hRoot, const CString& strKey, BOOL bCreate, BOOL /*bUnused*/)
{
    if (!SetRoot(hRoot))
        return FALSE;
    if (strKey.IsEmpty())
    {
        m_strKeyPath.Empty();
        return TRUE;
    }

    CRegKeyHandle key;
    if (bCreate)
    {
        if (RegCreateKeyExW(m_hRootKey, strKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, key.Receive(), NULL) != ERROR_SUCCESS)
            return FALSE;
    }
    else
    {
        m_nLastError = RegOpenKeyExW(m_hRootKey, strKey, 0, KEY_ALL_ACCESS, key.Receive());
        if (m_nLastError != ERROR_SUCCESS)
            return FALSE;
    }
    m_strKeyPath = strKey;
    FlushIfWanted(key);
    return TRUE;
}

CString CNtRegistry::GetKey() const
{
    // The root itself has no path; its name is what identifies it.
    if (m_strKeyPath.IsEmpty())
        return RootName(m_hRootKey);
    return m_strKeyPath;
}

LONG CNtRegistry::OpenCurrent(REGSAM samDesired, HKEY* phKey) const
{
    // An empty path opens a new handle to the root itself.
    return RegOpenKeyExW(m_hRootKey, m_strKeyPath, 0, samDesired, phKey);
}

void CNtRegistry::FlushIfWanted(HKEY hKey) const
{
    if (!m_bNoFlush)
        RegFlushKey(hKey);
}

int CNtRegistry::GetSubKeyList(CStringArray& arrNames)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return -1;

    DWORD dwSubKeys = 0, dwMaxLen = 0;
    LONG nResult = RegQueryInfoKeyW(key, NULL, NULL, NULL, &dwSubKeys, &dwMaxLen, NULL, NULL, NULL, NULL, NULL, NULL);
    if (nResult != ERROR_SUCCESS && nResult != ERROR_MORE_DATA && nResult != ERROR_INSUFFICIENT_BUFFER)
        return nResult;

    std::vector<wchar_t> name;
    name.resize(dwMaxLen + 1);
    for (DWORD dwIndex = 0; dwIndex < dwSubKeys; )
    {
        DWORD dwLen = (DWORD)name.size();
        nResult = RegEnumKeyExW(key, dwIndex, name.data(), &dwLen, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_SUCCESS)
        {
            arrNames.Add(CString(name.data(), (int)dwLen));
            ++dwIndex;
        }
        else if (nResult == ERROR_MORE_DATA && name.size() < kMaxNameChars)
        {
            name.resize(std::min<size_t>(name.size() * 2 + 16, kMaxNameChars));
        }
        else if (nResult == ERROR_NO_MORE_ITEMS)
        {
            break;
        }
        else
        {
            // Unreadable at any size, or an error that would repeat for ever.
            ++dwIndex;
        }
    }
    return 1;
}

int CNtRegistry::GetSubKeyCount()
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return -1;
    DWORD dwSubKeys = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, &dwSubKeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return -1;
    return (int)dwSubKeys;
}

int CNtRegistry::GetValueList(CStringArray& arrNames)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return -1;

    DWORD dwMaxLen = 0;
    RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, &dwMaxLen, NULL, NULL, NULL);
    std::vector<wchar_t> name;
    name.resize(std::max<DWORD>(dwMaxLen + 1, 2048));
    for (DWORD dwIndex = 0; ; )
    {
        DWORD dwLen = (DWORD)name.size();
        LONG nResult = RegEnumValueW(key, dwIndex, name.data(), &dwLen, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_SUCCESS)
        {
            arrNames.Add(CString(name.data(), (int)dwLen));
            ++dwIndex;
        }
        else if (nResult == ERROR_MORE_DATA && name.size() < kMaxNameChars)
        {
            name.resize(std::min<size_t>(name.size() * 2, kMaxNameChars));
        }
        else
        {
            break;  // the end, or a value that cannot be read
        }
    }
    return 1;
}

int CNtRegistry::GetValueCount()
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return -1;
    DWORD dwValues = 0;
    if (RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return -1;
    return (int)dwValues;
}

BOOL CNtRegistry::ValueExists(const CString& strName)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    return RegQueryValueExW(key, strName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

DWORD CNtRegistry::GetValueType(const CString& strName, DWORD& dwSize)
{
    dwSize = 0;
    CRegKeyHandle key;
    if (OpenCurrent(KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return (DWORD)-1;
    DWORD dwType = REG_SZ;
    DWORD dwDataSize = 0;
    LONG nResult = RegQueryValueExW(key, strName, NULL, &dwType, NULL, &dwDataSize);
    // A missing value reports REG_SZ and size 1, whatever the system leaves
    // in the out arguments.
    if (nResult != ERROR_SUCCESS && nResult != ERROR_MORE_DATA)
    {
        dwSize = 1;
        return REG_SZ;
    }
    dwSize = dwDataSize;
    return dwType;
}

CString CNtRegistry::ReadString(const CString& /*strKey*/, const CString& strName, const CString& strDefault)
{
    DWORD dwSize = 0;
    DWORD dwType = GetValueType(strName, dwSize);
    // The default value is read as text whatever its type.
    if (!strName.IsEmpty() && dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        return strDefault;

    CRegKeyHandle key;
    m_nLastError = OpenCurrent(KEY_READ, key.Receive());
    if (m_nLastError != ERROR_SUCCESS)
        return strDefault;

    // Sized from the value itself; grown when it changed since it was sized.
    std::vector<BYTE> data;
    for (int nTry = 0; nTry < 4; ++nTry)
    {
        if (dwSize > kMaxStringBytes)
        {
            m_nLastError = ERROR_NOT_ENOUGH_MEMORY;
            return strDefault;
        }
        data.assign(dwSize + sizeof(wchar_t), 0);
        DWORD dwRead = dwSize;
        m_nLastError = RegQueryValueExW(key, strName, NULL, NULL, data.data(), &dwRead);
        if (m_nLastError == ERROR_SUCCESS)
        {
            // Always terminated, also for data of odd length or without a null.
            size_t nChars = dwRead / sizeof(wchar_t);
            const wchar_t* pText = reinterpret_cast<const wchar_t*>(data.data());
            size_t nLength = 0;
            while (nLength < nChars && pText[nLength] != 0)
                ++nLength;
            return CString(pText, (int)nLength);
        }
        if (m_nLastError != ERROR_MORE_DATA)
            return strDefault;
        dwSize = std::max(dwRead, dwSize + 2);
    }
    return strDefault;
}

CString CNtRegistry::ReadString(const CString& strName, const CString& strDefault)
{
    return ReadString(GetKey(), strName, strDefault);
}

int CNtRegistry::ReadInt(const CString& /*strKey*/, const CString& strName, int nDefault)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return nDefault;
    // Shorter data leaves the upper bytes zero.
    DWORD dwValue = 0;
    DWORD dwSize = sizeof(dwValue);
    if (RegQueryValueExW(key, strName, NULL, NULL, reinterpret_cast<BYTE*>(&dwValue), &dwSize) != ERROR_SUCCESS)
        return nDefault;
    return (int)dwValue;
}

int CNtRegistry::ReadInt(const CString& strName, int nDefault)
{
    return ReadInt(GetKey(), strName, nDefault);
}

BOOL CNtRegistry::WriteString(const CString& /*strKey*/, const CString& strName, const CString& strValue)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_WRITE, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    DWORD dwBytes = (DWORD)(strValue.GetLength() + 1) * sizeof(wchar_t);
    LONG nResult = RegSetValueExW(key, strName, 0, REG_SZ, reinterpret_cast<const BYTE*>((LPCWSTR)strValue), dwBytes);
    FlushIfWanted(key);
    return nResult == ERROR_SUCCESS;
}

BOOL CNtRegistry::WriteString(const CString& strName, const CString& strValue)
{
    return WriteString(GetKey(), strName, strValue);
}

BOOL CNtRegistry::WriteInt(const CString& /*strKey*/, const CString& strName, int nValue)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_WRITE, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    LONG nResult = RegSetValueExW(key, strName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&nValue), sizeof(nValue));
    FlushIfWanted(key);
    return nResult == ERROR_SUCCESS;
}

BOOL CNtRegistry::WriteInt(const CString& strName, int nValue)
{
    return WriteInt(GetKey(), strName, nValue);
}

BOOL CNtRegistry::DeleteValue(const CString& strName)
{
    CRegKeyHandle key;
    if (OpenCurrent(KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    return RegDeleteValueW(key, strName) == ERROR_SUCCESS;
}
