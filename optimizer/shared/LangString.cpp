#include "optimizer/shared/LangString.h"
#include "optimizer/shared/IniFile.h"

#include <algorithm>

CString ReadLangString(LPCWSTR lpszLanguageFile, LPCWSTR lpszSection, LPCWSTR lpszKey)
{
    CString strText;
    if (lpszLanguageFile == NULL || *lpszLanguageFile == 0)
        return strText;
    // 999 characters at most, as the main program reads: no label, button or
    // message of the views shows more than a user could read, and a language
    // file with longer texts must not make every view slow to build and draw.
    const DWORD kBufferSize = 1000;
    LPWSTR pszBuffer = strText.GetBuffer((int)kBufferSize);
    DWORD nLength = ::GetPrivateProfileStringW(lpszSection, lpszKey, L"", pszBuffer, kBufferSize, lpszLanguageFile);
    strText.ReleaseBuffer((int)std::min<DWORD>(nLength, kBufferSize - 1));
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
