#include "tools/UpdateErrorText.h"
#include <wininet.h>

CString SystemErrorText(HRESULT hr)
{
    // The Internet library's errors (12000-12199) have their texts in that
    // library, not in the system's table.
    DWORD dwCode = (DWORD)hr;
    HMODULE hInternet = NULL;
    if (dwCode >= INTERNET_ERROR_BASE && dwCode < INTERNET_ERROR_BASE + 200)
        hInternet = ::GetModuleHandleW(L"wininet.dll");
    LPWSTR pszMessage = NULL;
    DWORD dwLength = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                          (hInternet != NULL ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM),
                                      hInternet, dwCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPWSTR)&pszMessage,
                                      0, NULL);
    CString strText;
    if (dwLength != 0 && pszMessage != NULL)
        strText = pszMessage;
    if (pszMessage != NULL)
        ::LocalFree(pszMessage);
    strText.Replace(L"\r\n", L" ");
    strText.Replace(L"\n", L" ");
    strText.Trim();
    return strText;
}

LPCWSTR UpdateAgentErrorKey(HRESULT hr)
{
    const DWORD dwCode = (DWORD)hr;
    // The Internet errors the agent passes on (12001-12175 as HRESULTs)
    // have their texts in the Internet library, not the system's table.
    if ((dwCode & 0xFFFF0000) == 0x80070000 && (dwCode & 0xFFFF) > 12000 && (dwCode & 0xFFFF) <= 12175)
        return L"M_UPDATE_ERR_SERVER";
    if ((dwCode & 0xFFFF0000) != 0x80240000)
        return NULL;
    // The agent numbers its errors by the part that raised them.
    switch (dwCode & 0xF000)
    {
    case 0x4000:  // the protocol talker: the server was not reached
        return L"M_UPDATE_ERR_SERVER";
    case 0x6000:  // the download manager
        return L"M_UPDATE_ERR_DOWNLOAD";
    case 0x2000:  // the update handlers
        return L"M_UPDATE_ERR_INSTALL";
    }
    return L"M_UPDATE_ERR_AGENT";
}
