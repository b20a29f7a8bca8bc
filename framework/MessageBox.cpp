// Every message box of the program passes through one replaceable function.
#include "framework/Wnd.h"
#include "framework/WinApp.h"
#include <atomic>

namespace {

int SystemMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return ::MessageBoxW(hWndOwner, lpszText, lpszCaption, nType);
}

std::atomic<AFX_MESSAGEBOX_HANDLER> s_pfnHandler(&SystemMessageBox);

} // namespace

AFX_MESSAGEBOX_HANDLER AfxSetMessageBoxHandler(AFX_MESSAGEBOX_HANDLER pfnHandler)
{
    return s_pfnHandler.exchange(pfnHandler != NULL ? pfnHandler : &SystemMessageBox);
}

int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return s_pfnHandler.load()(hWndOwner, lpszText != NULL ? lpszText : L"", lpszCaption, nType);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    CWinApp* pApp = AfxGetApp();
    LPCTSTR lpszCaption = (pApp != NULL && pApp->m_pszAppName != NULL) ? pApp->m_pszAppName : L"";
    // Owned by the active window of this thread, else the main window.
    HWND hWndOwner = ::GetActiveWindow();
    if (hWndOwner == NULL)
        hWndOwner = AfxGetSafeHwnd(AfxGetMainWnd());
    if (hWndOwner != NULL)
        hWndOwner = ::GetAncestor(hWndOwner, GA_ROOT);
    return AfxShowMessageBox(hWndOwner, lpszText, lpszCaption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString strText;
    strText.LoadString(nIDPrompt);
    return AfxMessageBox(strText, nType, nIDHelp);
}
