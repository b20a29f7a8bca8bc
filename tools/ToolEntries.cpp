#include "tools/ToolEntries.h"
#include "services/TextFile.h"
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

// Reads a .reg file as logical lines: trimmed, continuation lines joined,
// blank lines and comments left out. FALSE when the file does not open.
BOOL ReadRegLines(LPCWSTR pszFile, std::vector<CString>& lines)
{
    lines.clear();
    CTextFile file(pszFile, L"rb");
    if (!file.IsOpen())
        return FALSE;
    CString strLine, strLogical;
    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = file.ReadLine(strLine);
        if (!bMore && strLine.IsEmpty())
            break;
        strLine.Trim();
        if (!strLogical.IsEmpty())
            strLogical += strLine;
        else
            strLogical = strLine;
        if (!strLogical.IsEmpty() && strLogical[strLogical.GetLength() - 1] == L'\\' && strLogical[0] != L'[')
        {
            strLogical = strLogical.Left(strLogical.GetLength() - 1);
            continue;
        }
        if (!strLogical.IsEmpty() && strLogical[0] != L';')
            lines.push_back(strLogical);
        strLogical.Empty();
    }
    if (!strLogical.IsEmpty() && strLogical[0] != L';')
        lines.push_back(strLogical);
    return TRUE;
}

// Parses a quoted text starting at nPos (on the opening quote); \\ and \"
// stand for the character. Returns the position behind the closing quote,
// -1 when there is none.
int ParseQuoted(const CString& strLine, int nPos, CString& strText)
{
    strText.Empty();
    int nLength = strLine.GetLength();
    if (nPos >= nLength || strLine[nPos] != L'"')
        return -1;
    for (int i = nPos + 1; i < nLength; ++i)
    {
        wchar_t ch = strLine[i];
        if (ch == L'\\' && i + 1 < nLength && (strLine[i + 1] == L'\\' || strLine[i + 1] == L'"'))
        {
            strText += strLine[++i];
            continue;
        }
        if (ch == L'"')
            return i + 1;
        strText += ch;
    }
    return -1;
}

// A value line: its name and the text behind the "=". FALSE for a line that
// is no value line.
BOOL SplitValueLine(const CString& strLine, CString& strName, CString& strData)
{
    int nPos;
    if (!strLine.IsEmpty() && strLine[0] == L'@')
    {
        strName.Empty();
        nPos = 1;
    }
    else
    {
        nPos = ParseQuoted(strLine, 0, strName);
        if (nPos < 0)
            return FALSE;
    }
    while (nPos < strLine.GetLength() && (strLine[nPos] == L' ' || strLine[nPos] == L'\t'))
        ++nPos;
    if (nPos >= strLine.GetLength() || strLine[nPos] != L'=')
        return FALSE;
    strData = strLine.Mid(nPos + 1);
    strData.TrimLeft();
    return TRUE;
}

// Decodes "hex(n):aa,bb,..." or "hex:..." data as UTF-16LE text.
CString DecodeHexText(const CString& strData)
{
    int nColon = strData.Find(L':');
    CString strHex = strData.Mid(nColon + 1);
    std::vector<BYTE> bytes;
    int nDigits = 0;
    BYTE b = 0;
    for (int i = 0; i < strHex.GetLength(); ++i)
    {
        wchar_t ch = strHex[i];
        int n = (ch >= L'0' && ch <= L'9') ? ch - L'0'
              : (ch >= L'a' && ch <= L'f') ? ch - L'a' + 10
              : (ch >= L'A' && ch <= L'F') ? ch - L'A' + 10 : -1;
        if (n < 0)
        {
            if (nDigits > 0)
                bytes.push_back(b);
            nDigits = 0;
            b = 0;
            continue;
        }
        b = (BYTE)(b * 16 + n);
        ++nDigits;
    }
    if (nDigits > 0)
        bytes.push_back(b);
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += (wchar_t)(bytes[i] | (bytes[i + 1] << 8));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return CString(text);
}

// Checks a backup with the import's own reader: key lines the rule allows,
// their values, and nothing that deletes. keys gets the key lines.
BOOL CheckCommon(LPCWSTR pszFile, const std::function<BOOL(const CString&)>& fnAllowKey, std::vector<CString>& keys)
{
    keys.clear();
    RegKeyRule rule = [&](const CString& strKeyPath) {
        keys.push_back(strKeyPath);
        return fnAllowKey(strKeyPath) ? (int)RegKeyWithValues : (int)RegKeyRefused;
    };
    CRegFile regFile;
    int nLine = 0;
    return regFile.CheckFile(pszFile, rule, nLine) == ERROR_SUCCESS;
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

BOOL CheckStartupBackup(LPCWSTR pszFile)
{
    std::vector<CString> keys;
    if (!CheckCommon(pszFile, [](const CString& strKey) -> BOOL { return IsRunKeyPath(strKey); }, keys))
        return FALSE;
    // A file of the header alone changes nothing and may go.
    return keys.size() <= 1;
}

BOOL CheckBhoBackup(LPCWSTR pszFile, const CString& strClsid)
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
    return CheckCommon(pszFile, allow, keys);
}

void ReadStartupBackupEntry(LPCWSTR pszFile, CString& strName, CString& strText)
{
    strName.Empty();
    strText.Empty();
    std::vector<CString> lines;
    ReadRegLines(pszFile, lines);
    for (const CString& strLine : lines)
    {
        CString strValueName, strData;
        if (strLine[0] == L'[' || !SplitValueLine(strLine, strValueName, strData))
            continue;
        CString strValue;
        if (!strData.IsEmpty() && strData[0] == L'"')
        {
            if (ParseQuoted(strData, 0, strValue) < 0)
                strValue = strData.Mid(1);
        }
        else if (strData.Left(7).CompareNoCase(L"hex(2):") == 0 || strData.Left(7).CompareNoCase(L"hex(1):") == 0)
        {
            strValue = DecodeHexText(strData);
        }
        else
        {
            strValue = strData;
        }
        strName = strValueName;
        strText = strValue;
    }
}

CString ReadBackupKey(LPCWSTR pszFile)
{
    CTextFile file(pszFile, L"rb");
    if (!file.IsOpen())
        return CString();
    CString strLine;
    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = file.ReadLine(strLine);
        strLine.Trim();
        if (strLine.GetLength() >= 2 && strLine[0] == L'[' && strLine[strLine.GetLength() - 1] == L']')
            return strLine.Mid(1, strLine.GetLength() - 2);
    }
    return CString();
}
