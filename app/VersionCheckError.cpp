#include "app/VersionCheckError.h"
#include "tools/UpdateErrorText.h"

CString CVersionCheckError::Describe() const
{
    CString strText;
    if (dwHttpStatus != 0)
    {
        strText.Format(L"HTTP status %lu", dwHttpStatus);
        return strText;
    }
    if (dwError == 0)
        return strText;
    CString strCode;
    strCode.Format(L"Error Code: %lu", dwError);
    CString strSystem = SystemErrorText((HRESULT)dwError);
    return strSystem.IsEmpty() ? strCode : strSystem + L" (" + strCode + L")";
}

CString FormatInternetFailed(const CString& strText, const CVersionCheckError& error)
{
    CString strReason = error.Describe();
    CString strMessage = strText;
    if (strMessage.Find(L"%s") >= 0)
    {
        // Nothing known: no empty line where the reason would stand.
        if (strReason.IsEmpty())
            strMessage.Replace(L"%s\n", L"");
        strMessage.Replace(L"%s", strReason);
        return strMessage;
    }
    // A language file made before the reason was shown.
    if (strReason.IsEmpty())
        return strMessage;
    int nBreak = strMessage.Find(L'\n');
    if (nBreak < 0)
        return strMessage + L"\n" + strReason;
    return strMessage.Left(nBreak + 1) + strReason + strMessage.Mid(nBreak);
}
