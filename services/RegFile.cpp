#include "services/RegFile.h"
#include "services/RegHive.h"
#include "services/RegKeyTarget.h"
#include "services/RegistryLink.h"
#include "services/RegTreeDelete.h"

#include <algorithm>

namespace {

// Characters buffered before they go to the file.
const int kBufferUnits = 65536;
// Names longer than this do not exist in the registry (16383 for values).
const size_t kMaxNameChars = 32768;
// Value data beyond this size is not read into memory.
const DWORD kMaxDataBytes = 64u * 1024 * 1024;
// Retries of one enumeration index whose buffers turned out too small.
const int kMaxGrowRetries = 8;
// A byte is not written at or past this column; the line is continued.
const int kWrapColumn = 76;

const wchar_t kHexDigits[] = L"0123456789abcdef";

bool HasLineBreak(const wchar_t* pText, size_t nLength)
{
    for (size_t i = 0; i < nLength; ++i)
    {
        if (pText[i] == L'\n' || pText[i] == L'\r')
            return true;
    }
    return false;
}

// A REG_SZ is written as quoted text only when that text reads back as the
// same string: even size, no line break, nothing but nulls after the first.
bool IsPlainText(const BYTE* pData, DWORD dwSize, size_t& nLength)
{
    if (dwSize % sizeof(wchar_t) != 0)
        return false;
    const wchar_t* pText = reinterpret_cast<const wchar_t*>(pData);
    size_t nUnits = dwSize / sizeof(wchar_t);
    nLength = 0;
    while (nLength < nUnits && pText[nLength] != 0)
        ++nLength;
    for (size_t i = nLength; i < nUnits; ++i)
    {
        if (pText[i] != 0)
            return false;
    }
    return !HasLineBreak(pText, nLength);
}

// Whether "ROOT\rest" names a registry link itself.
bool IsLinkKeyPath(const CString& strPath, REGSAM samView)
{
    int nSlash = strPath.Find(L'\\');
    const RegHive* pHive = nSlash > 0 ? FindRegHive(strPath.Left(nSlash), REG_HIVE_FILE, TRUE) : NULL;
    CRegKeyHandle link;
    return pHive != NULL &&
           RegOpenKeyExW(pHive->hRoot, strPath.Mid(nSlash + 1), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samView,
                         link.Receive()) == ERROR_SUCCESS &&
           GetRegistryLinkTarget(link);
}

} // namespace

CRegFile::CRegFile()
    : m_hFile(INVALID_HANDLE_VALUE)
    , m_nCount(0)
    , m_nColumn(0)
    , m_nAvailable(0)
    , m_dwExportError(0)
    , m_dwCallError(0)
    , m_samExportView(0)
    , m_bFullExport(false)
    , m_nLinksLeftOut(0)
    , m_hReadFile(INVALID_HANDLE_VALUE)
    , m_pSource(NULL)
    , m_nSourcePos(0)
    , m_nChunkLimit(0)
    , m_nCarry(0)
    , m_bUnicode(true)
    , m_bEndOfFile(false)
    , m_nVersion(0)
    , m_nCodePage(CP_ACP)
    , m_dwImportResult(0)
    , m_samImportView(0)
    , m_pCheckRule(NULL)
    , m_pCheckValues(NULL)
    , m_nCheckKey(RegKeyRefused)
    , m_nLine(1)
    , m_nStatementLine(1)
    , m_nFailedLine(0)
{
}

CRegFile::~CRegFile()
{
    // The output handle belongs to the caller; the import closes its own.
}

void CRegFile::PutUnit(wchar_t ch)
{
    // Made on the first write, not with the object: a large block costs a
    // millisecond under Wine, and checking a small backup needs none of it.
    if (m_chars.size() < (size_t)kBufferUnits)
        m_chars.resize(kBufferUnits);
    m_chars[m_nCount++] = ch;
    if (m_nCount >= kBufferUnits)
        Flush();
}

void CRegFile::PutChar(wchar_t ch)
{
    if (ch == L'\n')
    {
        PutUnit(L'\r');
        PutUnit(L'\n');
        m_nColumn = 0;
        return;
    }
    PutUnit(ch);
    ++m_nColumn;
}

void CRegFile::PutText(const wchar_t* pText, size_t nLength)
{
    for (size_t i = 0; i < nLength; ++i)
        PutChar(pText[i]);
}

void CRegFile::PutString(LPCWSTR pszText)
{
    if (pszText)
        PutText(pszText, wcslen(pszText));
}

void CRegFile::PutQuoted(const wchar_t* pText, size_t nLength)
{
    PutChar(L'"');
    for (size_t i = 0; i < nLength; ++i)
    {
        if (pText[i] == L'"' || pText[i] == L'\\')
            PutChar(L'\\');
        PutChar(pText[i]);
    }
    PutChar(L'"');
}

void CRegFile::PutQuotedString(LPCWSTR pszText)
{
    PutQuoted(pszText ? pszText : L"", pszText ? wcslen(pszText) : 0);
}

BOOL CRegFile::Flush()
{
    if (m_nCount <= 0)
        return TRUE;
    DWORD dwBytes = (DWORD)m_nCount * sizeof(wchar_t);
    DWORD dwWritten = 0;
    BOOL bOk = m_hFile != INVALID_HANDLE_VALUE && m_hFile != NULL
               && WriteFile(m_hFile, m_chars.data(), dwBytes, &dwWritten, NULL) && dwWritten == dwBytes;
    m_nCount = 0;
    if (!bOk)
        SetExportError(ExportWriteFailed);
    return bOk;
}

void CRegFile::SetExportError(DWORD dwError)
{
    // The first error is kept, but a failed write or a stop overrides: it
    // means the file is cut short.
    bool bCutShort = dwError == ExportWriteFailed || dwError == ERROR_CANCELLED;
    if (m_dwCallError == 0 || bCutShort)
        m_dwCallError = dwError;
    if (m_dwExportError == 0 || bCutShort)
        m_dwExportError = dwError;
}

bool CRegFile::StopRequested()
{
    if (!m_bStopped && IsStopRequested())
        m_bStopped = true;
    return m_bStopped;
}

void CRegFile::PutHexBytes(const BYTE* pData, DWORD dwSize)
{
    for (DWORD i = 0; i < dwSize; ++i)
    {
        if (i > 0)
        {
            if (m_nColumn >= kWrapColumn)
                PutText(L",\\\n  ", 5);
            else
                PutChar(L',');
        }
        PutChar(kHexDigits[pData[i] >> 4]);
        PutChar(kHexDigits[pData[i] & 15]);
    }
}

void CRegFile::PutValue(const wchar_t* pName, DWORD dwNameLength, DWORD dwType, const BYTE* pData, DWORD dwSize)
{
    // A name with a line break cannot be written as one line; written anyway,
    // its remainder would be read back as a line of its own.
    if (HasLineBreak(pName, dwNameLength))
    {
        SetExportError(ExportNameNotWritable);
        return;
    }
    if (dwNameLength == 0)
        PutChar(L'@');
    else
        PutQuoted(pName, dwNameLength);
    PutChar(L'=');

    size_t nTextLength = 0;
    if (dwType == REG_SZ && IsPlainText(pData, dwSize, nTextLength))
    {
        PutQuoted(reinterpret_cast<const wchar_t*>(pData), nTextLength);
    }
    else if (dwType == REG_DWORD && dwSize == 4)
    {
        DWORD dwValue = 0;
        memcpy(&dwValue, pData, 4);
        wchar_t szText[20];
        wsprintfW(szText, L"dword:%08x", dwValue);
        PutString(szText);
    }
    else
    {
        if (dwType == REG_BINARY)
        {
            PutString(L"hex:");
        }
        else
        {
            wchar_t szText[20];
            wsprintfW(szText, L"hex(%x):", dwType);
            PutString(szText);
        }
        PutHexBytes(pData, dwSize);
    }
    PutChar(L'\n');
}

DWORD CRegFile::ExportKey(const CString& strKeyPath)
{
    return ExportKey(strKeyPath, 0);
}

DWORD CRegFile::ExportKey(const CString& strKeyPath, REGSAM samView)
{
    m_dwCallError = 0;
    m_bStopped = false;
    m_bFullExport = strKeyPath.IsEmpty();
    // A 32-bit process's own view would leave the 64-bit one out.
    m_samExportView = m_bFullExport ? WholeRegistryView() : samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    m_nLinksLeftOut = 0;
    bool bHaveFile = m_hFile != INVALID_HANDLE_VALUE && m_hFile != NULL;

    if (strKeyPath.IsEmpty())
    {
        if (!bHaveFile)
        {
            SetExportError(ERROR_INVALID_HANDLE);
            return ERROR_INVALID_HANDLE;
        }
        std::wstring strPath = L"HKEY_LOCAL_MACHINE";
        ExportKeyTree(HKEY_LOCAL_MACHINE, strPath);
        if (!ExportStopped())
        {
            strPath = L"HKEY_USERS";
            ExportKeyTree(HKEY_USERS, strPath);
        }
        Flush();
        return m_dwCallError;
    }

    // A trailing backslash would double the separators of every subkey line.
    CString strPath = strKeyPath;
    strPath.TrimRight(L'\\');
    CRegKeyHandle key;
    LONG nResult = OpenKeyByPath(key.Receive(), strPath, RegKeyPathOpen, m_samExportView);
    if (nResult != ERROR_SUCCESS)
    {
        SetExportError(nResult);
        return nResult;
    }
    if (!bHaveFile)
    {
        SetExportError(ERROR_INVALID_HANDLE);
        return ERROR_INVALID_HANDLE;
    }
    // A key that is itself a link is not read through either.
    if (IsLinkKeyPath(strPath, m_samExportView))
    {
        ++m_nLinksLeftOut;
        SetExportError(ExportLinkNotWritten);
        return ExportLinkNotWritten;
    }
    std::wstring strTreePath = strPath.Str();
    ExportKeyTree(key, strTreePath);
    Flush();
    return m_dwCallError;
}

void CRegFile::ExportKeyTree(HKEY hKey, std::wstring& strPath)
{
    // A stopped export writes no further key; what it wrote is no backup.
    if (StopRequested())
    {
        SetExportError(ERROR_CANCELLED);
        return;
    }
    PutChar(L'[');
    PutText(strPath.data(), strPath.size());
    PutText(L"]\n", 2);

    // With the counts known, the enumerations stop at them rather than ask
    // once more for the end: fewer round trips to the registry.
    DWORD dwSubKeys = 0, dwMaxSubKeyLength = 0, dwValues = 0, dwMaxNameLength = 0, dwMaxDataSize = 0;
    bool bCounted = RegQueryInfoKeyW(hKey, NULL, NULL, NULL, &dwSubKeys, &dwMaxSubKeyLength, NULL, &dwValues,
                                     &dwMaxNameLength, &dwMaxDataSize, NULL, NULL) == ERROR_SUCCESS;
    // The buffers only grow; one export reuses them for every key.
    if (m_valueName.size() < std::min<size_t>(dwMaxNameLength + 1, kMaxNameChars))
        m_valueName.resize(std::min<size_t>(dwMaxNameLength + 1, kMaxNameChars));
    if (m_valueName.size() < 256)
        m_valueName.resize(256);
    if (m_valueData.size() < std::min<DWORD>(dwMaxDataSize, kMaxDataBytes))
        m_valueData.resize(std::min<DWORD>(dwMaxDataSize, kMaxDataBytes));
    if (m_valueData.size() < 4096)
        m_valueData.resize(4096);

    LONG nResult = ERROR_NO_MORE_ITEMS;
    int nRetries = 0;
    for (DWORD dwIndex = 0; !bCounted || dwIndex < dwValues; )
    {
        // A key may hold many large values: the stop is seen between two.
        if (StopRequested())
        {
            SetExportError(ERROR_CANCELLED);
            return;
        }
        DWORD dwNameLength = (DWORD)m_valueName.size();
        DWORD dwSize = (DWORD)m_valueData.size();
        DWORD dwType = REG_NONE;
        nResult = RegEnumValueW(hKey, dwIndex, m_valueName.data(), &dwNameLength, NULL, &dwType, m_valueData.data(), &dwSize);
        if (nResult == ERROR_MORE_DATA)
        {
            // The value changed since the key was measured: grow and retry.
            if (++nRetries > kMaxGrowRetries)
            {
                SetExportError(ExportEnumFailed);
                ++dwIndex;
                nRetries = 0;
                continue;
            }
            m_valueName.resize(std::min(m_valueName.size() * 2, kMaxNameChars));
            if (dwSize > m_valueData.size() && dwSize <= kMaxDataBytes)
                m_valueData.resize(dwSize);
            else
                m_valueData.resize(std::min<size_t>(m_valueData.size() * 2, kMaxDataBytes));
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            break;
        nRetries = 0;
        PutValue(m_valueName.data(), dwNameLength, dwType, m_valueData.data(), std::min<DWORD>(dwSize, (DWORD)m_valueData.size()));
        if (ExportStopped())
            return;
        ++dwIndex;
    }
    PutChar(L'\n');
    if (nResult != ERROR_SUCCESS && nResult != ERROR_NO_MORE_ITEMS)
        SetExportError(ExportEnumFailed);

    std::vector<wchar_t> subKeyName(std::max<size_t>(dwMaxSubKeyLength + 1, 256));
    size_t nBaseLength = strPath.size();
    nResult = ERROR_NO_MORE_ITEMS;
    nRetries = 0;
    for (DWORD dwIndex = 0; !bCounted || dwIndex < dwSubKeys; )
    {
        DWORD dwNameLength = (DWORD)subKeyName.size();
        nResult = RegEnumKeyExW(hKey, dwIndex, subKeyName.data(), &dwNameLength, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_MORE_DATA)
        {
            if (++nRetries > kMaxGrowRetries || subKeyName.size() >= kMaxNameChars)
            {
                SetExportError(ExportEnumFailed);
                ++dwIndex;
                nRetries = 0;
                continue;
            }
            subKeyName.resize(std::min(subKeyName.size() * 2, kMaxNameChars));
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            break;
        nRetries = 0;
        ++dwIndex;
        if (HasLineBreak(subKeyName.data(), dwNameLength))
        {
            SetExportError(ExportNameNotWritable);
            continue;
        }
        CRegKeyHandle subKey;
        if (!OpenExportSubKey(hKey, subKeyName.data(), subKey))
            continue;
        strPath += L'\\';
        strPath.append(subKeyName.data(), dwNameLength);
        ExportKeyTree(subKey, strPath);
        strPath.resize(nBaseLength);
        if (ExportStopped())
            return;
    }
    if (nResult != ERROR_SUCCESS && nResult != ERROR_NO_MORE_ITEMS)
        SetExportError(ExportEnumFailed);
}

bool CRegFile::OpenExportSubKey(HKEY hKey, LPCWSTR pszName, CRegKeyHandle& subKey)
{
    const REGSAM samAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | m_samExportView;
    // Opened as a link, a link shows itself: CurrentControlSet would
    // otherwise be written a second time beside ControlSet001.
    if (RegOpenKeyExW(hKey, pszName, REG_OPTION_OPEN_LINK, samAccess, subKey.Receive()) != ERROR_SUCCESS)
    {
        SetExportError(ExportSubKeyNotOpened);
        return false;
    }
    if (!GetRegistryLinkTarget(subKey))
        return true;
    subKey.Close();
    // A link is never followed: its target is written under its own name
    // or not at all. A partial export counts the links it left out, so that
    // a caller can tell the file will not make them again.
    if (!m_bFullExport)
        ++m_nLinksLeftOut;
    return false;
}

LONG CRegFile::OpenKeyByPath(HKEY* phKey, CString& strPath, RegKeyPathMode nMode, REGSAM samView)
{
    *phKey = NULL;
    int nSlash = strPath.Find(L'\\');
    CString strRoot = nSlash < 0 ? strPath : strPath.Left(nSlash);
    CString strRest = nSlash < 0 ? CString() : strPath.Mid(nSlash + 1);
    strRoot.MakeUpper();
    strPath = nSlash < 0 ? strRoot : strRoot + L"\\" + strRest;

    // The root names a key path may start with.
    const RegHive* pHive = FindRegHive(strRoot, REG_HIVE_FILE);
    HKEY hRoot = pHive != NULL ? pHive->hRoot : NULL;
    if (hRoot == NULL)
        return ERROR_BADKEY;
    if (nMode != RegKeyPathOpen && !strRest.IsEmpty()
        && (strRest[0] == L'\\' || strRest[strRest.GetLength() - 1] == L'\\' || strRest.Find(L"\\\\") >= 0))
    {
        // A stray separator is no key name: the line is refused as written,
        // never trimmed into another key (a root above all).
        CString strKey = strRest;
        strKey.Trim(L'\\');
        return nMode == RegKeyPathDelete && strKey.IsEmpty() ? ERROR_ACCESS_DENIED : ERROR_BADKEY;
    }
    // A write in the 32-bit view goes to the key the line is judged as (see
    // ResolveRegKeyTarget): named through Wow6432Node, a 32-bit process under
    // Wine creates a new subtree one Wow6432Node too deep.
    if (nMode != RegKeyPathOpen && HasTwoRegistryViews())
    {
        REGSAM samWrite = samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
        if ((samWrite != 0 ? samWrite : OwnRegistryView()) == KEY_WOW64_32KEY &&
            RemoveRegMirrorStep(pHive->pszName, strRest))
            samView = (samView & ~(REGSAM)KEY_WOW64_64KEY) | KEY_WOW64_32KEY;
    }

    switch (nMode)
    {
    case RegKeyPathOpen:
        return RegOpenKeyExW(hRoot, strRest, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | samView, phKey) == ERROR_SUCCESS
                   ? ERROR_SUCCESS : ERROR_CANTOPEN;
    case RegKeyPathCreate:
    {
        // Nothing is stored in the root of these two.
        if (strRest.IsEmpty() && (hRoot == HKEY_LOCAL_MACHINE || hRoot == HKEY_USERS))
            return ERROR_SUCCESS;
        LONG nCreate = RegCreateKeyExW(hRoot, strRest, 0, NULL, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED | samView,
                                       NULL, phKey, NULL);
        if (nCreate == ERROR_SUCCESS)
            return ERROR_SUCCESS;
        // The caller may want the registry's reason (ERROR_CHILD_MUST_BE_VOLATILE...).
        ::SetLastError((DWORD)nCreate);
        return ERROR_CANTOPEN;
    }
    case RegKeyPathDelete:
    {
        // A whole root is never deleted.
        if (strRest.IsEmpty())
            return ERROR_ACCESS_DENIED;
        LONG nResult = DeleteRegTree(hRoot, strRest, samView, NULL);
        return nResult == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : nResult;
    }
    }
    return ERROR_CANTOPEN;
}

