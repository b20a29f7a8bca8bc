// The privacy library's exports. Its views show their titles until the
// evidence cleaner, junk cleaner and shredder themselves arrive.
#include "libapi/LibraryExports.h"
#include "libapi/StandInView.h"
#include <string>

extern HINSTANCE g_hSweepkitInstance;

namespace {
const standin::ViewInfo s_views[3] = {
    {4000, L"IDO_SCANCLEAN_2", L"Evidence Cleaner"},
    {350, L"IDO_SCANCLEAN_3", L"Junk Cleaner"},
    {157, L"IDO_SCANCLEAN_4", L"File Shredder"},
};
HWND s_hViews[3] = {NULL, NULL, NULL};
int s_nCurrentView = 0;
std::wstring s_strLanguageFile;
} // namespace

extern "C" {

void TAMSEL_LIBCALL FunPrivacySwitchLanguage(LPCWSTR lpszLanguageFile)
{
    if (lpszLanguageFile == NULL || s_strLanguageFile == lpszLanguageFile)
        return;
    s_strLanguageFile = lpszLanguageFile;
    for (int i = 0; i < 3; i++)
        standin::RetitleView(s_hViews[i], s_strLanguageFile.c_str(), s_views[i].pszKey, s_views[i].pszDefault);
}

HHOOK TAMSEL_LIBCALL FunInitPrivacy(HWND hParent, int nSelector, int x, int y, LPCWSTR,
                                                          LPCWSTR, LPCWSTR)
{
    for (int i = 0; i < 3; i++)
    {
        if ((nSelector == 0 || nSelector == i + 1) && s_hViews[i] == NULL)
            s_hViews[i] = standin::CreateView(g_hSweepkitInstance, hParent, x, y, s_views[i].nID,
                                              s_strLanguageFile.c_str(), s_views[i].pszKey, s_views[i].pszDefault);
    }
    return NULL;
}

int TAMSEL_LIBCALL FunShowWindow(int nView, int)
{
    if (nView == s_nCurrentView)
        return 0;
    BOOL bShown = standin::ShowOnlyView(s_hViews, 3, nView - 1);
    s_nCurrentView = bShown ? nView : 0;
    return 0;
}

int TAMSEL_LIBCALL FunIsThread()
{
    return 0;  // no cleaning task yet
}

void TAMSEL_LIBCALL FunStopThread()
{
}

void TAMSEL_LIBCALL FunExitPrivacy()
{
    standin::DestroyViews(s_hViews, 3);
    s_nCurrentView = 0;
}

} // extern "C"
