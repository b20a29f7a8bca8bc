#include "optimizer/OptimizerText.h"
#include "optimizer/shared/LangString.h"

namespace {
CString s_strLanguageFile;

int ShowText(CWnd* pWnd, const CString& strText, const CString& strCaption, UINT nType)
{
    HWND hOwner = pWnd != NULL ? ::GetAncestor(pWnd->GetSafeHwnd(), GA_ROOT) : NULL;
    return AfxShowMessageBox(hOwner, ExpandLineBreaks(strText), strCaption, nType);
}
} // namespace

void SetOptimizerLanguageFile(LPCWSTR lpszPath)
{
    s_strLanguageFile = lpszPath;
}

const CString& GetOptimizerLanguageFile()
{
    return s_strLanguageFile;
}

CString LangText(LPCWSTR lpszKey)
{
    return ReadLangString(s_strLanguageFile, L"String", lpszKey);
}

int ShowLibraryMessage(CWnd* pWnd, LPCWSTR lpszTextKey, LPCWSTR lpszCaptionKey, UINT nType)
{
    return ShowText(pWnd, LangText(lpszTextKey), LangText(lpszCaptionKey), nType);
}

CString WarningCaption()
{
    CString strCaption = LangText(L"MESSAGEBOX_WARING");
    if (strCaption.IsEmpty())
        strCaption = LangText(L"MESSAGEBOX_WARNING");
    return strCaption;
}

int ShowFailureNotice(CWnd* pWnd)
{
    CString strText = LangText(L"MESSAGEBOX_15");
    if (strText.IsEmpty())
        strText = L"Some settings could not be changed. Run the program as an administrator.";
    return ShowText(pWnd, strText, LangText(L"MESSAGEBOX_NOTICE"), MB_OK | MB_ICONEXCLAMATION);
}
