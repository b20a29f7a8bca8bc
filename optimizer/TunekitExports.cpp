// The optimizer library's exports. Its views show their titles until the
// system, service and memory optimizers themselves arrive.
#include "libapi/LibraryExports.h"
#include "libapi/StandInView.h"
#include <string>

extern HINSTANCE g_hTunekitInstance;

namespace {
const standin::ViewInfo s_views[3] = {
    {OPTIMIZER_VIEW_SYSTEM, L"IDO_OPTIMIZE_3", L"System Optimizer"},
    {OPTIMIZER_VIEW_SERVICE, L"IDO_OPTIMIZE_4", L"Service Optimizer"},
    {OPTIMIZER_VIEW_MEMORY, L"IDO_OPTIMIZE_5", L"Memory Optimizer"},
};
HWND s_hViews[3] = {NULL, NULL, NULL};
int s_nCurrentView = OPTIMIZER_VIEW_NONE;
std::wstring s_strLanguageFile;
} // namespace

extern "C" {

int TAMSEL_LIBCALL FunOptimizerSwitchLanguage(LPCWSTR lpszLanguageFile)
{
    if (lpszLanguageFile == NULL || s_strLanguageFile == lpszLanguageFile)
        return 0;
    s_strLanguageFile = lpszLanguageFile;
    for (int i = 0; i < 3; i++)
        standin::RetitleView(s_hViews[i], s_strLanguageFile.c_str(), s_views[i].pszKey, s_views[i].pszDefault);
    return 1;
}

HHOOK TAMSEL_LIBCALL FunInitOptimizer(HWND hParent, int nSelector, int x, int y, LPCWSTR, LPCWSTR, LPCWSTR)
{
    for (int i = 0; i < 3; i++)
    {
        if ((nSelector == OPTIMIZER_VIEW_NONE || nSelector == OPTIMIZER_VIEW_SYSTEM + i) && s_hViews[i] == NULL)
            s_hViews[i] = standin::CreateView(g_hTunekitInstance, hParent, x, y, s_views[i].nID,
                                              s_strLanguageFile.c_str(), s_views[i].pszKey, s_views[i].pszDefault);
    }
    return NULL;
}

void TAMSEL_LIBCALL FunShowOptimizer(int nView, int)
{
    if (nView == s_nCurrentView)
        return;
    BOOL bShown = standin::ShowOnlyView(s_hViews, 3, nView - OPTIMIZER_VIEW_SYSTEM);
    s_nCurrentView = bShown ? nView : OPTIMIZER_VIEW_NONE;
}

void TAMSEL_LIBCALL FunExitOptimizer()
{
    standin::DestroyViews(s_hViews, 3);
    s_nCurrentView = OPTIMIZER_VIEW_NONE;
}

} // extern "C"
