#include "privacy/PrivacyState.h"
#include <atomic>
#include <cwchar>

namespace {
// Never destroys the host's window, not even when the library unloads.
class CHostWnd : public CWnd
{
public:
    ~CHostWnd() override { m_hWnd = NULL; }
};

CHostWnd s_wndHost;
HWND s_hParent = NULL;
WCHAR s_szLanguageFile[PRIVACY_LANGUAGE_PATH_SIZE] = L"";
CEvidenceCleanerDlg* s_pEvidence = NULL;
CJunkCleanerDlg* s_pJunk = NULL;
CFileShredderDlg* s_pShredder = NULL;
int s_nCurrentPage = -1;
HHOOK s_hHook = NULL;
std::atomic<int> s_nBusy(0);
CEvidenceItem* s_pCatalogue = NULL;
} // namespace

HWND PrivacyParentWindow()
{
    return s_hParent;
}

void PrivacySetParentWindow(HWND hParent)
{
    s_hParent = hParent;
}

CWnd* PrivacyHostWnd(HWND hParent)
{
    if (hParent == NULL || !::IsWindow(hParent))
        return NULL;
    if (CWnd* pPermanent = CWnd::FromHandlePermanent(hParent))
        return pPermanent;
    if (s_wndHost.m_hWnd != NULL)
        s_wndHost.Detach();
    return s_wndHost.Attach(hParent) ? &s_wndHost : NULL;
}

BOOL CreatePrivacyView(CDialog& view, UINT nIDTemplate, HWND hParent, int x, int y)
{
    CWnd* pParent = PrivacyHostWnd(hParent);
    if (pParent == NULL || !view.Create(nIDTemplate, pParent))
        return FALSE;
    view.SetDlgCtrlID(nIDTemplate);
    view.SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    view.ShowWindow(SW_HIDE);
    return TRUE;
}

void PrivacyReleaseHostWnd()
{
    if (s_wndHost.m_hWnd != NULL)
        s_wndHost.Detach();
}

LPCWSTR PrivacyLanguageFile()
{
    return s_szLanguageFile;
}

BOOL PrivacySetLanguageFile(LPCWSTR lpszPath)
{
    if (lpszPath == NULL)
        return FALSE;
    // A cut path would name another file: keep the one we have.
    size_t nLength = ::wcsnlen(lpszPath, PRIVACY_LANGUAGE_PATH_SIZE);
    if (nLength >= PRIVACY_LANGUAGE_PATH_SIZE)
        return FALSE;
    if (::wcscmp(lpszPath, s_szLanguageFile) == 0)
        return FALSE;
    ::wmemcpy(s_szLanguageFile, lpszPath, nLength + 1);
    return TRUE;
}

CEvidenceCleanerDlg* PrivacyEvidencePage()
{
    return s_pEvidence;
}

CJunkCleanerDlg* PrivacyJunkPage()
{
    return s_pJunk;
}

CFileShredderDlg* PrivacyShredderPage()
{
    return s_pShredder;
}

void PrivacySetPages(CEvidenceCleanerDlg* pEvidence, CJunkCleanerDlg* pJunk, CFileShredderDlg* pShredder)
{
    s_pEvidence = pEvidence;
    s_pJunk = pJunk;
    s_pShredder = pShredder;
}

int PrivacyCurrentPage()
{
    return s_nCurrentPage;
}

void PrivacySetCurrentPage(int nPage)
{
    s_nCurrentPage = nPage;
}

HHOOK PrivacyHook()
{
    return s_hHook;
}

void PrivacySetHook(HHOOK hHook)
{
    s_hHook = hHook;
}

void PrivacySetBusy(int nBusy)
{
    s_nBusy.store(nBusy != 0 ? 1 : 0);
}

int PrivacyIsBusy()
{
    return s_nBusy.load();
}

CEvidenceItem* PrivacyCatalogue()
{
    return s_pCatalogue;
}

void PrivacySetCatalogue(CEvidenceItem* pFirstRoot)
{
    s_pCatalogue = pFirstRoot;
}
