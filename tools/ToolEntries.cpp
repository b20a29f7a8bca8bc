#include "tools/ToolEntries.h"
#include "services/RegHive.h"
#include "services/RegKeyTarget.h"
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

// Whether a key a line writes, in the view samTarget (0: shared by both
// views, or the only one), belongs to a backup imported in samImport.
BOOL IsKeyOfView(REGSAM samTarget, REGSAM samImport)
{
    REGSAM samOwn = samImport & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    return samTarget == 0 || samTarget == (samOwn != 0 ? samOwn : OwnRegistryView());
}

// Checks a backup imported in samView with the import's own reader: key
// lines whose written key fnAllowKey allows, their values, and nothing that
// deletes.
BOOL CheckCommon(const std::vector<BYTE>& bytes, REGSAM samView, const std::function<BOOL(const RegKeyTarget&)>& fnAllowKey)
{
    RegKeyRule rule = [&](const CString& strKeyPath) {
        return fnAllowKey(ResolveRegKeyTarget(strKeyPath, samView)) ? (int)RegKeyWithValues : (int)RegKeyRefused;
    };
    CRegFile regFile;
    int nLine = 0;
    return regFile.CheckBytes(bytes, rule, RegValueSink(), nLine) == ERROR_SUCCESS;
}

// The texts of a startup backup's row and its key lines as written; FALSE
// when the file does not read. entry.m_bShowsAll tells whether the file sets
// at most one whole text value under at most one key line, the key aside.
BOOL ReadStartupLines(const std::vector<BYTE>& bytes, CStartupBackupEntry& entry, std::vector<CString>& keys)
{
    entry = CStartupBackupEntry();
    keys.clear();
    // Every key line is let through here, so that the row shows what a file
    // of another key holds; the caller judges the key.
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
        return FALSE;
    entry.m_bShowsAll = keys.size() <= 1 && nValues <= 1 && bWhole && (nValues == 0 || !entry.m_strName.IsEmpty());
    return TRUE;
}

} // namespace

void ReadToolKeyViews(HKEY hRoot, LPCWSTR pszPath, const std::function<void(const CKeyReader& key)>& fnRead)
{
    CKeyReader views[2];
    views[0].Open(hRoot, pszPath);
    views[1].OpenOtherView(hRoot, pszPath, views[0]);
    for (const CKeyReader& key : views)
    {
        if (key.IsOpen())
            fnRead(key);
    }
}

BOOL GetRecordView(const CRegProblem& record, REGSAM* psamView)
{
    if (record.m_samView != 0 && record.m_samView != KEY_WOW64_32KEY && record.m_samView != KEY_WOW64_64KEY)
        return FALSE;
    if (psamView != NULL)
        *psamView = record.m_samView;
    return TRUE;
}

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
    REGSAM samView = 0;
    if (!GetRecordRoot(record, &hRoot) || !GetRecordView(record, &samView) || !IsRunKeyPath(record.m_strKeyPath)
        || record.m_strValueName.IsEmpty())
        return ERROR_INVALID_PARAMETER;
    CRegKeyHandle key;
    LONG nResult = RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_SET_VALUE | samView, key.Receive());
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
    REGSAM samView = 0;
    if (strName.IsEmpty() || !GetRecordView(record, &samView))
        return ERROR_INVALID_PARAMETER;
    CString strKey = CString(TOOL_BHO_KEY) + L"\\" + strName;
    return DeleteRegTree(HKEY_LOCAL_MACHINE, strKey, samView, NULL);
}

void ReadStartupBackup(const std::vector<BYTE>& bytes, CStartupBackupEntry& entry, REGSAM samView)
{
    std::vector<CString> keys;
    if (!ReadStartupLines(bytes, entry, keys))
        return;
    // One key line writing a Run key of the backup's view; a file of the
    // header alone changes nothing and may go.
    if (keys.size() == 1)
    {
        RegKeyTarget target = ResolveRegKeyTarget(keys[0], samView);
        entry.m_bShowsAll = entry.m_bShowsAll && IsRunKeyPath(target.m_strPath) && IsKeyOfView(target.m_samView, samView);
    }
}

BOOL CheckStartupBackup(const std::vector<BYTE>& bytes, REGSAM samView)
{
    CStartupBackupEntry entry;
    ReadStartupBackup(bytes, entry, samView);
    return entry.m_bShowsAll;
}

BOOL CheckStartupBackup(const std::vector<BYTE>& bytes, const CString& strShownName, const CString& strShownText,
                        REGSAM samView)
{
    CStartupBackupEntry entry;
    ReadStartupBackup(bytes, entry, samView);
    return entry.m_bShowsAll && entry.m_strName == strShownName && entry.m_strText == strShownText;
}

BOOL CheckBhoBackup(const std::vector<BYTE>& bytes, const CString& strClsid, REGSAM samView)
{
    if (strClsid.IsEmpty() || strClsid.Find(L'\\') >= 0)
        return FALSE;
    CString strBase = CString(L"HKEY_LOCAL_MACHINE\\") + TOOL_BHO_KEY + L"\\" + strClsid;
    auto allow = [&strBase, samView](const RegKeyTarget& target) -> BOOL {
        const CString& strKey = target.m_strPath;
        if (!IsKeyOfView(target.m_samView, samView))
            return FALSE;
        if (strKey.CompareNoCase(strBase) == 0)
            return TRUE;
        return strKey.Left(strBase.GetLength() + 1).CompareNoCase(strBase + L"\\") == 0 &&
               strKey.Find(L"\\\\") < 0 && strKey[strKey.GetLength() - 1] != L'\\';
    };
    return CheckCommon(bytes, samView, allow);
}

void ReadStartupBackupEntry(const std::vector<BYTE>& bytes, CString& strName, CString& strText, CString* pstrKey)
{
    // The row's texts only: no key of a listed file is looked up.
    CStartupBackupEntry entry;
    std::vector<CString> keys;
    ReadStartupLines(bytes, entry, keys);
    strName = entry.m_strName;
    strText = entry.m_strText;
    if (pstrKey != NULL)
        *pstrKey = keys.empty() ? CString() : keys[0];
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
