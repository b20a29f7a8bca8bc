#include "privacy/JunkText.h"
#include "optimizer/shared/LangString.h"
#include "privacy/PrivacyState.h"

CString PrivacyText(LPCWSTR lpszKey)
{
    return ReadLangString(PrivacyLanguageFile(), L"String", lpszKey);
}

int PrivacyMessage(CWnd* pWnd, LPCWSTR lpszTextKey, LPCWSTR lpszCaptionKey, UINT nType)
{
    HWND hOwner = pWnd != NULL ? pWnd->GetSafeHwnd() : NULL;
    if (hOwner != NULL)
        hOwner = ::GetAncestor(hOwner, GA_ROOT);
    CString strText = ExpandLineBreaks(PrivacyText(lpszTextKey));
    CString strCaption = PrivacyText(lpszCaptionKey);
    return AfxShowMessageBox(hOwner, strText, strCaption, nType);
}
