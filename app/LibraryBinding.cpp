#include "app/LibraryBinding.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "framework/WorkerCall.h"

PFN_FunInitPrivacy g_pfnFunInitPrivacy = NULL;
PFN_FunShowWindow g_pfnFunShowWindow = NULL;
PFN_FunIsThread g_pfnFunIsThread = NULL;
PFN_FunStopThread g_pfnFunStopThread = NULL;
PFN_FunExitPrivacy g_pfnFunExitPrivacy = NULL;
PFN_FunPrivacySwitchLanguage g_pfnFunPrivacySwitchLanguage = NULL;
PFN_FunInitOptimizer g_pfnFunInitOptimizer = NULL;
PFN_FunShowOptimizer g_pfnFunShowOptimizer = NULL;
PFN_FunOptimizerSwitchLanguage g_pfnFunOptimizerSwitchLanguage = NULL;
PFN_FunExitOptimizer g_pfnFunExitOptimizer = NULL;

namespace {

template <typename T>
BOOL Resolve(HMODULE hModule, const char* pszName, T& pfn)
{
    pfn = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
    return pfn != NULL;
}

HMODULE LoadFromFolder(LPCWSTR lpszFolder, LPCWSTR lpszName)
{
    CString strPath(lpszFolder);
    if (!strPath.IsEmpty() && strPath.Right(1) != L"\\")
        strPath += L"\\";
    strPath += lpszName;
    return ::LoadLibraryW(strPath);
}

} // namespace

void ClearPrivacyExports()
{
    g_pfnFunInitPrivacy = NULL;
    g_pfnFunShowWindow = NULL;
    g_pfnFunIsThread = NULL;
    g_pfnFunStopThread = NULL;
    g_pfnFunExitPrivacy = NULL;
    g_pfnFunPrivacySwitchLanguage = NULL;
}

void ClearOptimizerExports()
{
    g_pfnFunInitOptimizer = NULL;
    g_pfnFunShowOptimizer = NULL;
    g_pfnFunOptimizerSwitchLanguage = NULL;
    g_pfnFunExitOptimizer = NULL;
}

HMODULE LoadPrivacyExports(LPCWSTR lpszFolder)
{
    HMODULE hModule = LoadFromFolder(lpszFolder, L"Sweepkit.dll");
    if (hModule == NULL)
        return NULL;
    BOOL bAll = Resolve(hModule, "FunInitPrivacy", g_pfnFunInitPrivacy);
    bAll = Resolve(hModule, "FunShowWindow", g_pfnFunShowWindow) && bAll;
    bAll = Resolve(hModule, "FunIsThread", g_pfnFunIsThread) && bAll;
    bAll = Resolve(hModule, "FunStopThread", g_pfnFunStopThread) && bAll;
    bAll = Resolve(hModule, "FunExitPrivacy", g_pfnFunExitPrivacy) && bAll;
    bAll = Resolve(hModule, "FunPrivacySwitchLanguage", g_pfnFunPrivacySwitchLanguage) && bAll;
    if (!bAll)
    {
        ClearPrivacyExports();
        ::FreeLibrary(hModule);
        return NULL;
    }
    return hModule;
}

HMODULE LoadOptimizerExports(LPCWSTR lpszFolder)
{
    HMODULE hModule = LoadFromFolder(lpszFolder, L"Tunekit.dll");
    if (hModule == NULL)
        return NULL;
    BOOL bAll = Resolve(hModule, "FunInitOptimizer", g_pfnFunInitOptimizer);
    bAll = Resolve(hModule, "FunShowOptimizer", g_pfnFunShowOptimizer) && bAll;
    bAll = Resolve(hModule, "FunOptimizerSwitchLanguage", g_pfnFunOptimizerSwitchLanguage) && bAll;
    if (!bAll)
    {
        ClearOptimizerExports();
        ::FreeLibrary(hModule);
        return NULL;
    }
    // Not needed to run, only to unload cleanly.
    Resolve(hModule, "FunExitOptimizer", g_pfnFunExitOptimizer);
    return hModule;
}

// ---- The main window's side --------------------------------------------------------

void CTamselDlg::LoadPrivacyLibrary(int nFirstView)
{
    if (m_hPrivacyLib != NULL)
    {
        g_pfnFunPrivacySwitchLanguage(m_pApp->m_strLangFile);
        return;
    }
    m_hPrivacyLib = LoadPrivacyExports(m_pApp->m_strAppDir);
    if (m_hPrivacyLib == NULL)
    {
        AfxMessageBox(m_pApp->GetLangString(L"M_NODLL_Sweepkit"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The library needs its texts before it builds its windows.
    g_pfnFunPrivacySwitchLanguage(m_pApp->m_strLangFile);
    MakePrivacyViews(nFirstView);
    if (nFirstView != PRIVACY_VIEW_NONE)
        // The other views take as long again as the first: they are made
        // after it shows, and the window answers in between.
        AfxPostCall(m_hWnd, [this] { MakePrivacyViews(PRIVACY_VIEW_NONE); });
}

void CTamselDlg::MakePrivacyViews(int nView)
{
    // Makes only the views still missing.
    if (m_hPrivacyLib != NULL)
        g_pfnFunInitPrivacy(m_hWnd, nView, m_rcPage.left - 10, m_rcPage.top, L"", L"", L"");
}

void CTamselDlg::LoadOptimizerLibrary(BOOL bMakeViews)
{
    if (m_hOptimizerLib == NULL)
    {
        m_hOptimizerLib = LoadOptimizerExports(m_pApp->m_strAppDir);
        if (m_hOptimizerLib == NULL)
        {
            AfxMessageBox(m_pApp->GetLangString(L"M_NODLL_Tunekit"), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    else if (m_bOptimizerViewsMade)
    {
        g_pfnFunOptimizerSwitchLanguage(m_pApp->m_strLangFile);
        return;
    }
    if (bMakeViews)
        MakeOptimizerViews();
    else
        // Making the optimizer's views takes longer than showing a privacy
        // view: the window answers in between.
        AfxPostCall(m_hWnd, [this] { MakeOptimizerViews(); });
}

void CTamselDlg::MakeOptimizerViews()
{
    if (m_hOptimizerLib == NULL || m_bOptimizerViewsMade)
        return;
    m_bOptimizerViewsMade = TRUE;
    // The library needs its texts before it builds its windows.
    g_pfnFunOptimizerSwitchLanguage(m_pApp->m_strLangFile);
    g_pfnFunInitOptimizer(m_hWnd, OPTIMIZER_VIEW_NONE, m_rcPage.left - 10, m_rcPage.top, L"", L"", L"");
}

void CTamselDlg::UnloadPrivacyLibrary()
{
    if (m_hPrivacyLib == NULL)
        return;
    // Its views go first: no window procedure of an unloaded library may
    // stay reachable.
    g_pfnFunExitPrivacy();
    ::FreeLibrary(m_hPrivacyLib);
    m_hPrivacyLib = NULL;
    ClearPrivacyExports();
}

void CTamselDlg::UnloadOptimizerLibrary()
{
    if (m_hOptimizerLib == NULL)
        return;
    // Without its exit function the views would outlive their code: the
    // library then stays loaded.
    if (g_pfnFunExitOptimizer == NULL)
        return;
    g_pfnFunExitOptimizer();
    ::FreeLibrary(m_hOptimizerLib);
    m_hOptimizerLib = NULL;
    m_bOptimizerViewsMade = FALSE;
    ClearOptimizerExports();
}

BOOL CTamselDlg::ConfirmAbortLibraryTask()
{
    if (m_hPrivacyLib == NULL || g_pfnFunIsThread == NULL || g_pfnFunIsThread() != 1)
        return 0;
    if (AfxMessageBox(m_pApp->GetLangString(L"M_WARNING_ABORT_TASK"), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return 0;
    g_pfnFunStopThread();
    return 1;
}

void CTamselDlg::OnPrivacyView(int nView)
{
    LoadPrivacyLibrary(nView);
    // Its view may be one of those still to be made.
    MakePrivacyViews(nView);
    LoadOptimizerLibrary(FALSE);
    if (m_hPrivacyLib == NULL || m_hOptimizerLib == NULL)
        return;
    if (g_pfnFunIsThread() != 0)
    {
        if (ConfirmAbortLibraryTask() != 1)
            return;
    }
    else if (!ConfirmLeavePage())
        return;
    HideAllPages();
    // Only one view at a time in the page area.
    g_pfnFunShowOptimizer(OPTIMIZER_VIEW_NONE, 0);
    g_pfnFunShowWindow(nView, 1);
}

void CTamselDlg::OnOptimizerView(int nView)
{
    LoadPrivacyLibrary();
    LoadOptimizerLibrary();
    if (m_hPrivacyLib == NULL || m_hOptimizerLib == NULL)
        return;
    if (!ConfirmLeavePage())
        return;
    HideAllPages();
    g_pfnFunShowWindow(PRIVACY_VIEW_NONE, 0);
    g_pfnFunShowOptimizer(nView, 1);
}
