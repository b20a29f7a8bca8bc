#pragma once
// The privacy library's module-wide state, as its own code and its tests see
// it; the host reaches it only through the exports. Everything but the busy
// flag belongs to the host's user-interface thread.
#include "framework/Afx.h"

class CEvidenceCleanerDlg;
class CJunkCleanerDlg;
class CFileShredderDlg;
class CEvidenceItem;

// Room for the language path, terminator included.
#define PRIVACY_LANGUAGE_PATH_SIZE 1024
// How long leaving the library waits for each view's workers.
#define PRIVACY_EXIT_WAIT_MS 10000

// The host's window the views are children of.
HWND PrivacyParentWindow();
void PrivacySetParentWindow(HWND hParent);
// A permanent window object for the host's window, so the views' parent
// pointer outlives every temporary-object purge; NULL when hParent is no window.
CWnd* PrivacyHostWnd(HWND hParent);
void PrivacyReleaseHostWnd();
// Creates a view's dialog as a hidden child of the host's window at (x, y),
// its control id the template's; FALSE when either window is missing.
BOOL CreatePrivacyView(CDialog& view, UINT nIDTemplate, HWND hParent, int x, int y);
// The same from the view's own template, its texts then read in the current language.
template <class TView>
BOOL CreatePrivacyViewWithTexts(TView& view, HWND hParent, int x, int y)
{
    if (!CreatePrivacyView(view, TView::IDD, hParent, x, y))
        return FALSE;
    view.SwitchLanguage();
    return TRUE;
}

// The language file every text of the library is read from ("" until set).
LPCWSTR PrivacyLanguageFile();
// Copies the path; FALSE (nothing changed) when it is NULL, equal to the
// stored one or too long to keep whole.
BOOL PrivacySetLanguageFile(LPCWSTR lpszPath);

CEvidenceCleanerDlg* PrivacyEvidencePage();
CJunkCleanerDlg* PrivacyJunkPage();
CFileShredderDlg* PrivacyShredderPage();
void PrivacySetPages(CEvidenceCleanerDlg* pEvidence, CJunkCleanerDlg* pJunk, CFileShredderDlg* pShredder);

// -1 when no view is on show, else 1, 2 or 3.
int PrivacyCurrentPage();
void PrivacySetCurrentPage(int nPage);

HHOOK PrivacyHook();
void PrivacySetHook(HHOOK hHook);

// 1 while an evidence scan, a junk scan or a shred runs. The user-interface
// thread sets it before it starts the worker; the worker clears it last.
void PrivacySetBusy(int nBusy);
int PrivacyIsBusy();

// The first root of the evidence catalogue (the roots chain through m_pNext).
CEvidenceItem* PrivacyCatalogue();
void PrivacySetCatalogue(CEvidenceItem* pFirstRoot);
