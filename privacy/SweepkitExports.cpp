// The privacy library's exports and the message hook that feeds its views'
// tooltips. Everything here runs on the host's user-interface thread.
#include "privacy/SweepkitExports.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/EvidenceCleanerDlg.h"
#include "privacy/FileShredderDlg.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/PrivacyState.h"

namespace {

template <typename TView>
TView* CreatePage(TView* pView, HWND hParent, int x, int y)
{
    if (pView != NULL)
        return pView;
    TView* pNew = new TView;
    if (!pNew->CreateView(hParent, x, y))
    {
        if (pNew->GetSafeHwnd() != NULL)
            pNew->DestroyWindow();
        delete pNew;
        return NULL;
    }
    return pNew;
}

void DestroyPage(CDialog* pView)
{
    if (pView == NULL)
        return;
    if (pView->GetSafeHwnd() != NULL)
        pView->DestroyWindow();
    delete pView;
}

// The module stays loaded until the process ends, whatever FreeLibrary says.
void PinPrivacyModule()
{
    HMODULE hModule = NULL;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         (LPCWSTR)(void*)&PinPrivacyModule, &hModule);
}

LRESULT CALLBACK PrivacyGetMsgProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0 && wParam == PM_REMOVE && lParam != 0)
    {
        MSG* pMsg = (MSG*)lParam;
        if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONUP)
        {
            if (CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage())
                pEvidence->RelayToolTipEvent(pMsg);
            if (CJunkCleanerDlg* pJunk = PrivacyJunkPage())
                pJunk->RelayToolTipEvent(pMsg);
            if (CFileShredderDlg* pShredder = PrivacyShredderPage())
                pShredder->RelayToolTipEvent(pMsg);
        }
    }
    return ::CallNextHookEx(PrivacyHook(), nCode, wParam, lParam);
}

} // namespace

extern "C" {

void TAMSEL_LIBCALL FunPrivacySwitchLanguage(LPCWSTR lpszLanguageFile)
{
    if (!PrivacySetLanguageFile(lpszLanguageFile))
        return;
    RelabelEvidenceCatalogue(PrivacyCatalogue(), PrivacyLanguageFile());
    if (CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage())
        pEvidence->SwitchLanguage();
    if (CJunkCleanerDlg* pJunk = PrivacyJunkPage())
        pJunk->SwitchLanguage();
    if (CFileShredderDlg* pShredder = PrivacyShredderPage())
        pShredder->SwitchLanguage();
}

HHOOK TAMSEL_LIBCALL FunInitPrivacy(HWND hParent, int nSelector, int x, int y, LPCWSTR, LPCWSTR, LPCWSTR)
{
    if (!::IsWindow(hParent))
        return PrivacyHook();
    PrivacySetParentWindow(hParent);
    // The pages read the catalogue while they are created.
    if (PrivacyCatalogue() == NULL)
        PrivacySetCatalogue(BuildEvidenceItemTree(PrivacyLanguageFile()));
    // A second call creates only the views still missing.
    CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage();
    CJunkCleanerDlg* pJunk = PrivacyJunkPage();
    CFileShredderDlg* pShredder = PrivacyShredderPage();
    if (nSelector == PRIVACY_VIEW_NONE || nSelector == PRIVACY_VIEW_EVIDENCE)
        pEvidence = CreatePage(pEvidence, hParent, x, y);
    if (nSelector == PRIVACY_VIEW_NONE || nSelector == PRIVACY_VIEW_JUNK)
        pJunk = CreatePage(pJunk, hParent, x, y);
    if (nSelector == PRIVACY_VIEW_NONE || nSelector == PRIVACY_VIEW_SHREDDER)
        pShredder = CreatePage(pShredder, hParent, x, y);
    PrivacySetPages(pEvidence, pJunk, pShredder);
    if (PrivacyHook() == NULL)
        PrivacySetHook(::SetWindowsHookExW(WH_GETMESSAGE, &PrivacyGetMsgProc, NULL, ::GetCurrentThreadId()));
    return PrivacyHook();
}

int TAMSEL_LIBCALL FunShowWindow(int nView, int)
{
    if (nView == PrivacyCurrentPage())
        return 0;
    CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage();
    CJunkCleanerDlg* pJunk = PrivacyJunkPage();
    CFileShredderDlg* pShredder = PrivacyShredderPage();
    CDialog* const views[3] = {pEvidence, pJunk, pShredder};
    for (CDialog* pView : views)
    {
        if (pView != NULL && pView->GetSafeHwnd() != NULL)
            pView->ShowWindow(SW_HIDE);
    }
    CDialog* pShown = NULL;
    if (nView == PRIVACY_VIEW_EVIDENCE && pEvidence != NULL)
    {
        pEvidence->ResetView();
        pShown = pEvidence;
    }
    else if (nView == PRIVACY_VIEW_JUNK && pJunk != NULL)
    {
        pJunk->ResetView();
        pShown = pJunk;
    }
    else if (nView == PRIVACY_VIEW_SHREDDER && pShredder != NULL)
    {
        pShredder->ClearFileList();
        pShown = pShredder;
    }
    if (pShown != NULL && pShown->GetSafeHwnd() != NULL)
    {
        pShown->ShowWindow(SW_SHOW);
        PrivacySetCurrentPage(nView);
    }
    else
        PrivacySetCurrentPage(-1);  // nothing on show, so any view shows again
    return 0;
}

int TAMSEL_LIBCALL FunIsThread()
{
    return PrivacyIsBusy();
}

void TAMSEL_LIBCALL FunStopThread()
{
    // Every view's worker: the host may have moved on to an optimizer view
    // while a privacy task went on.
    if (CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage())
        pEvidence->SignalStop();
    if (CJunkCleanerDlg* pJunk = PrivacyJunkPage())
        pJunk->SignalStop();
    if (CFileShredderDlg* pShredder = PrivacyShredderPage())
        pShredder->SignalStop();
}

void TAMSEL_LIBCALL FunExitPrivacy()
{
    CEvidenceCleanerDlg* pEvidence = PrivacyEvidencePage();
    CJunkCleanerDlg* pJunk = PrivacyJunkPage();
    CFileShredderDlg* pShredder = PrivacyShredderPage();
    // The host frees the library next: no worker may still run its code or
    // use the pages and the catalogue. All are asked first, then each waited for.
    FunStopThread();
    if (pEvidence != NULL)
        pEvidence->StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (pJunk != NULL)
        pJunk->StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (pShredder != NULL)
        pShredder->StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (PrivacyHook() != NULL)
    {
        ::UnhookWindowsHookEx(PrivacyHook());
        PrivacySetHook(NULL);
    }
    PrivacySetPages(NULL, NULL, NULL);
    if (PrivacyIsBusy())
    {
        // A worker outlived the wait: it keeps its page, the catalogue and
        // the library's code, so nothing it uses is freed under it.
        PinPrivacyModule();
        CDialog* const views[3] = {pEvidence, pJunk, pShredder};
        for (CDialog* pView : views)
        {
            if (pView != NULL && pView->GetSafeHwnd() != NULL)
                pView->ShowWindow(SW_HIDE);
        }
    }
    else
    {
        DestroyPage(pEvidence);
        DestroyPage(pJunk);
        DestroyPage(pShredder);
        FreeEvidenceCatalogue(PrivacyCatalogue());
    }
    PrivacySetCatalogue(NULL);
    PrivacySetCurrentPage(-1);
    PrivacyReleaseHostWnd();
    PrivacySetParentWindow(NULL);
}

} // extern "C"
