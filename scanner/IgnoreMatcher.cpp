#include "scanner/IgnoreMatcher.h"
#include "services/RegHive.h"

std::wstring CIgnoreMatcher::Fold(const CString& strText)
{
    std::wstring text((LPCWSTR)strText, (size_t)strText.GetLength());
    if (!text.empty())
        ::CharUpperBuffW(&text[0], (DWORD)text.size());
    return text;
}

void CIgnoreMatcher::Load(const CStringArray& arrEntries)
{
    m_entries.clear();
    for (int i = 0; i < arrEntries.GetSize(); i++)
    {
        const CString& strEntry = arrEntries[i];
        int nSemicolon = strEntry.Find(L';');
        if (nSemicolon < 0 || nSemicolon >= 3)
            continue;
        CString strRest = strEntry.Mid(nSemicolon + 1);
        strRest.TrimRight(L"\r\n");
        m_entries.insert(Fold(strRest));
    }
}

CString CIgnoreMatcher::ProblemText(HKEY hHive, const CString& strKey, const CString& strValue, const CString& strData)
{
    CString strText = hHive == NULL ? strKey : GetHiveName(hHive) + L"\\" + strKey;
    strText += L"|";
    strText += strValue.IsEmpty() ? CString(L"{Default}") : strValue;
    strText += L"|";
    if (strData != L"ERR")
        strText += strData;
    return strText;
}

BOOL CIgnoreMatcher::Matches(const CString& strProblemText) const
{
    return !m_entries.empty() && m_entries.count(Fold(strProblemText)) != 0;
}

CString GetHiveName(HKEY hKey)
{
    // Any other key is filed under the machine hive.
    const RegHive* pHive = FindRegHive(hKey, REG_HIVE_COMMON);
    return pHive != NULL ? pHive->pszName : L"HKEY_LOCAL_MACHINE";
}

BOOL IsIgnored(const CIgnoreMatcher& matcher, HKEY hHive, const CString& strKey, const CString& strValue,
               const CString& strData)
{
    return matcher.Matches(CIgnoreMatcher::ProblemText(hHive, strKey, strValue, strData));
}
