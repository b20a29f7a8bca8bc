#include "optimizer/shared/LangString.h"
#include "optimizer/shared/IniFile.h"

CString ReadLangString(LPCWSTR lpszLanguageFile, LPCWSTR lpszSection, LPCWSTR lpszKey)
{
    CString strText;
    if (lpszLanguageFile == NULL || *lpszLanguageFile == 0)
        return strText;
    CIniFile::AtPath(lpszLanguageFile).ReadString(lpszSection, lpszKey, strText);
    return strText;
}

BOOL IsSameText(const CString& str, LPCWSTR lpszText)
{
    return lpszText != NULL && str.Compare(lpszText) == 0;
}

CString ExpandLineBreaks(const CString& strText)
{
    CString strResult(strText);
    strResult.Replace(L"\\n", L"\n");
    return strResult;
}
