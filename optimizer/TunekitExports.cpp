// The optimizer library's exports and the message hook that feeds its
// views' tooltips. Everything runs on the host's user-interface thread.
#include "optimizer/TunekitExports.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/OptimizerViews.h"
#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/ServiceOptimizerDlg.h"
#include "optimizer/SystemOptimizerDlg.h"

namespace {
// A permanent wrapper: the library's own modal loops purge temporary ones.
// It never destroys the host's window, not even when the library unloads.
class CHostWnd : public CWnd
{
public:
    ~CHostWnd() override { m_hWnd = NULL; }
};
CHostWnd s_wndHost;
// The host's window object: ours, or one this module already has for it.
CWnd* s_pHost = NULL;
HHOOK s_hHook = NULL;
CSystemOptimizerDlg* s_pSystem = NULL;
CServiceOptimizerDlg* s_pService = NULL;
CMemoryOptimizerDlg* s_pMemory = NULL;
int s_nShown = -1;

template <typename TView>
void CreateView(TView*& pView, UINT nTemplate, UINT nViewID, int x, int y)
{
    if (pView != NULL)
        return;
    TView* pNew = new TView;
    if (!pNew->Create(nTemplate, s_pHost))
    {
        delete pNew;
        return;
    }
    pNew->SetDlgCtrlID((int)nViewID);
    pNew->SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pView = pNew;
}

template <typename TView>
void DestroyView(TView*& pView)
{
    if (pView == NULL)
        return;
    if (pView->GetSafeHwnd() != NULL)
        pView->DestroyWindow();
    delete pView;
    pView = NULL;
}

LRESULT CALLBACK OptimizerGetMsgProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0 && wParam == PM_REMOVE && lParam != 0)
    {
        MSG* pMsg = (MSG*)lParam;
        if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONUP)
        {
            if (s_pSystem != NULL)
                s_pSystem->RelayToolTipEvent(pMsg);
            if (s_pService != NULL)
                s_pService->RelayToolTipEvent(pMsg);
            if (s_pMemory != NULL)
                s_pMemory->RelayToolTipEvent(pMsg);
        }
    }
    return ::CallNextHookEx(s_hHook, nCode, wParam, lParam);
}
} // namespace

CSystemOptimizerDlg* GetSystemOptimizerView()
{
    return s_pSystem;
}

CServiceOptimizerDlg* GetServiceOptimizerView()
{
    return s_pService;
}

CMemoryOptimizerDlg* GetMemoryOptimizerView()
{
    return s_pMemory;
}

HHOOK GetOptimizerHook()
{
    return s_hHook;
}

int GetShownOptimizerView()
{
    return s_nShown;
}

extern "C" {

int TAMSEL_LIBCALL FunOptimizerSwitchLanguage(LPCWSTR lpszLanguageFile)
{
    if (lpszLanguageFile == NULL || GetOptimizerLanguageFile() == lpszLanguageFile)
        return 0;
    SetOptimizerLanguageFile(lpszLanguageFile);
    if (s_pSystem != NULL)
        s_pSystem->SwitchLanguage();
    if (s_pService != NULL)
        s_pService->SwitchLanguage();
    if (s_pMemory != NULL)
        s_pMemory->SwitchLanguage();
    return 1;
}

HHOOK TAMSEL_LIBCALL FunInitOptimizer(HWND hParent, int nSelector, int x, int y, LPCWSTR, LPCWSTR, LPCWSTR)
{
    if (!::IsWindow(hParent))
        return s_hHook;
    if (s_pHost == NULL || s_pHost->m_hWnd != hParent)
    {
        if (s_wndHost.m_hWnd != NULL)
            s_wndHost.Detach();
        s_pHost = CWnd::FromHandlePermanent(hParent);
        if (s_pHost == NULL && s_wndHost.Attach(hParent))
            s_pHost = &s_wndHost;
        if (s_pHost == NULL)
            return s_hHook;
    }
    // A second call creates only the views still missing.
    if (nSelector == OPTIMIZER_VIEW_NONE || nSelector == OPTIMIZER_VIEW_SYSTEM)
        CreateView(s_pSystem, CSystemOptimizerDlg::IDD, OPTIMIZER_VIEW_SYSTEM, x, y);
    if (nSelector == OPTIMIZER_VIEW_NONE || nSelector == OPTIMIZER_VIEW_SERVICE)
        CreateView(s_pService, CServiceOptimizerDlg::IDD, OPTIMIZER_VIEW_SERVICE, x, y);
    if (nSelector == OPTIMIZER_VIEW_NONE || nSelector == OPTIMIZER_VIEW_MEMORY)
        CreateView(s_pMemory, CMemoryOptimizerDlg::IDD, OPTIMIZER_VIEW_MEMORY, x, y);
    if (s_hHook == NULL)
        s_hHook = ::SetWindowsHookExW(WH_GETMESSAGE, &OptimizerGetMsgProc, NULL, ::GetCurrentThreadId());
    return s_hHook;
}

void TAMSEL_LIBCALL FunShowOptimizer(int nView, int)
{
    if (nView == s_nShown)
        return;
    CDialog* const views[3] = {s_pSystem, s_pService, s_pMemory};
    for (CDialog* pView : views)
    {
        if (pView != NULL && pView->GetSafeHwnd() != NULL)
            pView->ShowWindow(SW_HIDE);
    }
    if (nView >= OPTIMIZER_VIEW_SYSTEM && nView <= OPTIMIZER_VIEW_MEMORY)
    {
        CDialog* pView = views[nView - OPTIMIZER_VIEW_SYSTEM];
        if (pView != NULL && pView->GetSafeHwnd() != NULL)
            pView->ShowWindow(SW_SHOW);
        s_nShown = nView;
    }
    else
        s_nShown = -1;  // nothing shown, so any view shows again
}

void TAMSEL_LIBCALL FunExitOptimizer()
{
    if (s_hHook != NULL)
    {
        ::UnhookWindowsHookEx(s_hHook);
        s_hHook = NULL;
    }
    DestroyView(s_pSystem);
    DestroyView(s_pService);
    DestroyView(s_pMemory);
    s_nShown = -1;
    if (s_wndHost.m_hWnd != NULL)
        s_wndHost.Detach();
    s_pHost = NULL;
}

} // extern "C"
