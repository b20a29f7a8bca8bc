#include "privacy/ShredRejects.h"
#include "privacy/JunkText.h"

namespace {

// More lines than this would push the box past the screen.
const size_t kMaxListed = 15;

CString SystemReason(DWORD dwError)
{
    wchar_t* pszText = NULL;
    DWORD nLength = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     NULL, dwError, 0, (LPWSTR)&pszText, 0, NULL);
    CString strReason;
    if (nLength > 0 && pszText != NULL)
    {
        strReason = pszText;
        strReason.TrimRight(L" \r\n.");
    }
    if (pszText != NULL)
        ::LocalFree(pszText);
    if (strReason.IsEmpty())
        strReason.Format(L"%lu", dwError);
    return strReason;
}

CString Reason(DWORD dwError)
{
    switch (dwError)
    {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return PrivacyText(L"MESSAGEBOX_SHRED_IN_USE");
    case ERROR_ACCESS_DENIED:
        return PrivacyText(L"MESSAGEBOX_SHRED_NO_WRITE");
    default:
        return SystemReason(dwError);
    }
}

} // namespace

CString FormatShredRejects(const std::vector<ShredReject>& rejects)
{
    CString strText = PrivacyText(L"MESSAGEBOX_SHRED_NOT_ADDED");
    for (size_t i = 0; i < rejects.size() && i < kMaxListed; i++)
    {
        strText += L"\n";
        strText += rejects[i].strPath.c_str();
        strText += L": ";
        strText += Reason(rejects[i].dwError);
    }
    if (rejects.size() > kMaxListed)
    {
        // The translation is text, not a format: only its %d is replaced.
        CString strCount;
        strCount.Format(L"%d", (int)(rejects.size() - kMaxListed));
        CString strMore = PrivacyText(L"MESSAGEBOX_SHRED_MORE");
        strMore.Replace(L"%d", strCount);
        strText += L"\n";
        strText += strMore;
    }
    return strText;
}

CString FormatShredKept(const std::wstring& strPath, DWORD dwError)
{
    CString strReason = dwError == ERROR_SHARING_VIOLATION || dwError == ERROR_LOCK_VIOLATION
                            ? PrivacyText(L"MESSAGEBOX_SHRED_IN_USE")
                            : SystemReason(dwError);
    CString strText = PrivacyText(L"MESSAGEBOX_SHRED_KEPT");
    strText += L"\n";
    strText += strPath.c_str();
    strText += L": ";
    strText += strReason;
    return strText;
}
