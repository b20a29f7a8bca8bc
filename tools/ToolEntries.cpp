#include "tools/ToolEntries.h"
#include "services/RegHive.h"
#include "services/ScopedHandle.h"
#include "services/RegFile.h"
#include "services/RegTreeDelete.h"

#include <functional>

#include <shlwapi.h>
#include <vector>

const ToolRunKey g_toolRunKeys[TOOL_RUN_KEY_COUNT] = {
    { HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run" },
    { HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce" },
    { HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices" },
    { HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce" },
    { HKEY_CURRENT_USER, L"HKEY_CURRENT_USER", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce" },
    { HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run" },
};

namespace {

// A value's data as its row shows it: a text type as its text, anything
// else as the registry editor writes it. bWhole is FALSE when the row would
// not show all the import writes (a text with a NUL inside it, an odd byte).
CString ShownData(DWORD dwType, const std::vector<BYTE>& data, BOOL& bWhole)
{
    bWhole = TRUE;
    if (dwType == REG_SZ || dwType == REG_EXPAND_SZ)
    {
        if (data.size() % 2 != 0)
            bWhole = FALSE;
        std::wstring text;
        for (size_t i = 0; i + 1 < data.size(); i += 2)
            text += (wchar_t)(data[i] | (data[i + 1] << 8));
        if (!text.empty() && text.back() == L'\0')
            text.pop_back();
        if (text.find(L'\0') != std::wstring::npos)
        {
            bWhole = FALSE;
            text.resize(text.find(L'\0'));
        }
        return CString(text.c_str());
    }
    bWhole = FALSE;
    CString strText;
    strText.Format(L"hex(%x):", dwType);
    for (size_t i = 0; i < data.size(); ++i)
        strText.AppendFormat(i == 0 ? L"%02x" : L",%02x", data[i]);
    return strText;
}

// Checks a backup with the import's own reader: key lines the rule allows,
// their values, and nothing that deletes. keys gets the key lines.
BOOL CheckCommon(const std::vector<BYTE>& bytes, const std::function<BOOL(const CString&)>& fnAllowKey,
                 std::vector<CString>& keys)
{
    keys.clear();
    RegKeyRule rule = [&](const CString& strKeyPath) {
        keys.push_back(strKeyPath);
        return fnAllowKey(strKeyPath) ? (int)RegKeyWithValues : (int)RegKeyRefused;
    };
    CRegFile regFile;
    int nLine = 0;
    return regFile.CheckBytes(bytes, rule, RegValueSink(), nLine) == ERROR_SUCCESS;
}

} // namespace

BOOL GetRecordRoot(const CRegProblem& record, HKEY* phRoot)
{
    for (int i = 0; i < REG_HIVE_COMMON; i++)
    {
        const RegHive& hive = RegHiveTable()[i];
        int nLength = lstrlenW(hive.pszName);
        if (record.m_strKeyPath.Left(nLength) == hive.pszName && record.m_strKeyPath.GetLength() > nLength
            && record.m_strKeyPath[nLength] == L'\\' && record.m_strKeyPath.Mid(nLength + 1) == record.m_strKey
            && !record.m_strKey.IsEmpty())
        {
            if (phRoot != NULL)
                *phRoot = hive.hRoot;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL IsRunKeyPath(const CString& strKeyPath)
{
    for (const ToolRunKey& key : g_toolRunKeys)
    {
        CString strFull;
        strFull.Format(L"%s\\%s", key.pszRootName, key.pszKey);
        if (strFull.CompareNoCase(strKeyPath) == 0)
            return TRUE;
    }
    return FALSE;
}

LONG DeleteStartupValue(const CRegProblem& record)
{
    HKEY hRoot = NULL;
    if (!GetRecordRoot(record, &hRoot) || !IsRunKeyPath(record.m_strKeyPath) || record.m_strValueName.IsEmpty())
        return ERROR_INVALID_PARAMETER;
    CRegKeyHandle key;
    LONG nResult = RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_SET_VALUE, key.Receive());
    if (nResult != ERROR_SUCCESS)
        return nResult;
    return RegDeleteValueW(key, record.m_strValueName);
}

CString BhoSubKeyOfRecord(const CRegProblem& record)
{
    HKEY hRoot = NULL;
    if (!GetRecordRoot(record, &hRoot) || hRoot != HKEY_LOCAL_MACHINE)
        return CString();
    CString strPrefix = CString(TOOL_BHO_KEY) + L"\\";
    if (record.m_strKey.Left(strPrefix.GetLength()).CompareNoCase(strPrefix) != 0)
        return CString();
    CString strName = record.m_strKey.Mid(strPrefix.GetLength());
    if (strName.IsEmpty() || strName.Find(L'\\') >= 0)
        return CString();
    return strName;
}

LONG DeleteBhoKey(const CRegProblem& record)
{
    CString strName = BhoSubKeyOfRecord(record);
    if (strName.IsEmpty())
        return ERROR_INVALID_PARAMETER;
    CString strKey = CString(TOOL_BHO_KEY) + L"\\" + strName;
    return DeleteRegTree(HKEY_LOCAL_MACHINE, strKey, 0, NULL);
}

void ReadStartupBackup(const std::vector<BYTE>& bytes, CStartupBackupEntry& entry)
{
    entry = CStartupBackupEntry();
    // Every key line is let through here, so that the row shows what a file
    // of another key holds; the rule is applied below.
    std::vector<CString> keys;
    RegKeyRule rule = [&keys](const CString& strKeyPath) {
        keys.push_back(strKeyPath);
        return (int)RegKeyWithValues;
    };
    int nValues = 0;
    BOOL bWhole = TRUE;
    RegValueSink sink = [&](const CString& strName, DWORD dwType, const std::vector<BYTE>& data) {
        ++nValues;
        entry.m_strName = strName;
        entry.m_strText = ShownData(dwType, data, bWhole);
    };
    CRegFile regFile;
    int nLine = 0;
    if (regFile.CheckBytes(bytes, rule, sink, nLine) != ERROR_SUCCESS)
        return;
    // One key line naming a Run key and at most one whole text under it; a
    // file of the header alone changes nothing and may go.
    entry.m_bShowsAll = keys.size() <= 1 && nValues <= 1 && bWhole && (keys.empty() || IsRunKeyPath(keys[0]))
                        && (nValues == 0 || !entry.m_strName.IsEmpty());
}

BOOL CheckStartupBackup(const std::vector<BYTE>& bytes)
{
    CStartupBackupEntry entry;
    ReadStartupBackup(bytes, entry);
    return entry.m_bShowsAll;
}

BOOL CheckStartupBackup(const std::vector<BYTE>& bytes, const CString& strShownName, const CString& strShownText)
{
    CStartupBackupEntry entry;
    ReadStartupBackup(bytes, entry);
    return entry.m_bShowsAll && entry.m_strName == strShownName && entry.m_strText == strShownText;
}

BOOL CheckBhoBackup(const std::vector<BYTE>& bytes, const CString& strClsid)
{
    if (strClsid.IsEmpty() || strClsid.Find(L'\\') >= 0)
        return FALSE;
    CString strBase = CString(L"HKEY_LOCAL_MACHINE\\") + TOOL_BHO_KEY + L"\\" + strClsid;
    auto allow = [&strBase](const CString& strKey) -> BOOL {
        if (strKey.CompareNoCase(strBase) == 0)
            return TRUE;
        return strKey.Left(strBase.GetLength() + 1).CompareNoCase(strBase + L"\\") == 0 &&
               strKey.Find(L"\\\\") < 0 && strKey[strKey.GetLength() - 1] != L'\\';
    };
    std::vector<CString> keys;
    return CheckCommon(bytes, allow, keys);
}

void ReadStartupBackupEntry(const std::vector<BYTE>& bytes, CString& strName, CString& strText)
{
    CStartupBackupEntry entry;
    ReadStartupBackup(bytes, entry);
    strName = entry.m_strName;
    strText = entry.m_strText;
}

CString ReadBackupKey(const std::vector<BYTE>& bytes)
{
    // The first key line as the import reads it.
    CString strFirst;
    bool bFound = false;
    RegKeyRule rule = [&](const CString& strKeyPath) {
        if (!bFound)
            strFirst = strKeyPath;
        bFound = true;
        return (int)RegKeyWithValues;
    };
    CRegFile regFile;
    int nLine = 0;
    regFile.CheckBytes(bytes, rule, RegValueSink(), nLine);
    return strFirst;
}
