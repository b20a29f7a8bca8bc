#include "app/GeneralSettingsPage.h"
#include "app/RunAtStartup.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "app/UpdaterDlg.h"
#include "app/VersionCheck.h"
#include <atomic>

namespace {

const UINT IDD_GENERAL = 234;
const UINT IDC_CHECK_UPDATE = 1001;
const UINT IDC_AUTO_REPAIR = 1008;
const UINT IDC_RUN_AT_STARTUP = 1009;
const UINT IDC_AUTO_UPDATE = 1019;
const UINT IDC_LANGUAGE = 1029;
const UINT IDC_CLOSE_AFTER_REPAIR = 1108;
const UINT IDB_CHECK_UPDATE_IN = 1138;
const UINT IDB_CHECK_UPDATE_OUT = 1137;

const WCHAR s_szLanguagePage[] = L"http://www.tamsel.net/language.php";

// Cleared by the first Check Update of the run.
std::atomic<bool> s_bUpdaterStep(true);

} // namespace

BEGIN_MESSAGE_MAP(CGeneralSettingsPage, CWhiteDialog)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_AUTO_REPAIR, OnAutoRepair)
    ON_BN_CLICKED(IDC_CLOSE_AFTER_REPAIR, OnCloseAfterRepair)
    ON_BN_CLICKED(IDC_AUTO_UPDATE, OnAutoUpdate)
    ON_BN_CLICKED(IDC_RUN_AT_STARTUP, OnRunAtStartup)
    ON_BN_CLICKED(IDC_CHECK_UPDATE, OnCheckUpdateClicked)
    ON_CBN_SELCHANGE(IDC_LANGUAGE, OnSelChangeLanguage)
END_MESSAGE_MAP()

CGeneralSettingsPage::CGeneralSettingsPage(CWnd* pParent)
    : CWhiteDialog(IDD_GENERAL, pParent), m_pApp(static_cast<CTamselApp*>(AfxGetApp()))
{
}

CGeneralSettingsPage::~CGeneralSettingsPage()
{
}

void CGeneralSettingsPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LANGUAGE, m_comboLanguage);
    DDX_Control(pDX, IDC_AUTO_UPDATE, m_chkAutoUpdate);
    DDX_Control(pDX, IDC_RUN_AT_STARTUP, m_chkStartup);
    DDX_Control(pDX, IDC_AUTO_REPAIR, m_chkAutoRepair);
    DDX_Control(pDX, IDC_CLOSE_AFTER_REPAIR, m_chkCloseAfterRepair);
    DDX_Control(pDX, IDC_CHECK_UPDATE, m_btnCheckUpdate);
}

BOOL CGeneralSettingsPage::OnInitDialog()
{
    CWhiteDialog::OnInitDialog();
    m_comboLanguage.SendMessage(CB_SETDROPPEDWIDTH, 220);
    FillLanguageList();
    m_pApp->TranslateDialog(this, IDD_GENERAL);
    CButtonST* pChecks[] = {&m_chkAutoUpdate, &m_chkStartup, &m_chkAutoRepair, &m_chkCloseAfterRepair};
    for (CButtonST* pCheck : pChecks)
        pCheck->DrawBorder(FALSE, TRUE);
    m_chkCloseAfterRepair.SetCheck(m_pApp->m_bCloseAfterScan ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_chkAutoRepair.SetCheck(m_pApp->m_bAutoRepair ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_btnCheckUpdate.SetBitmaps(IDB_CHECK_UPDATE_IN, RGB(0, 255, 0), IDB_CHECK_UPDATE_OUT, RGB(0, 255, 0));
    m_btnCheckUpdate.DrawTransparent(FALSE);
    m_btnCheckUpdate.DrawBorder(FALSE, TRUE);
    m_btnCheckUpdate.SetTooltipText(L"Click this button to check update now.", TRUE);
    return TRUE;
}

void CGeneralSettingsPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        m_pApp->m_bCloseAfterScan = m_chkCloseAfterRepair.GetCheck() == BST_CHECKED;
        m_pApp->m_bAutoRepair = m_chkAutoRepair.GetCheck() == BST_CHECKED;
        m_pApp->m_bAutoUpdate = m_chkAutoUpdate.GetCheck() == BST_CHECKED;
        return;
    }
    m_chkCloseAfterRepair.SetCheck(m_pApp->m_bCloseAfterScan ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_chkAutoRepair.SetCheck(m_pApp->m_bAutoRepair ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_chkAutoUpdate.SetCheck(m_pApp->m_bAutoUpdate ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_chkStartup.SetCheck(IsRunAtStartup() ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_pApp->TranslateDialog(this, IDD_GENERAL);
    // A language chosen in the main window's list since the last showing.
    if (m_comboLanguage.GetCount() > 0)
        ReplaceMoreItem(m_comboLanguage);
    Invalidate(FALSE);
}

void CGeneralSettingsPage::OnAutoRepair()
{
    m_pApp->m_bAutoRepair = m_chkAutoRepair.GetCheck() == BST_CHECKED;
}

void CGeneralSettingsPage::OnCloseAfterRepair()
{
    m_pApp->m_bCloseAfterScan = m_chkCloseAfterRepair.GetCheck() == BST_CHECKED;
}

void CGeneralSettingsPage::OnAutoUpdate()
{
    m_pApp->m_bAutoUpdate = m_chkAutoUpdate.GetCheck() == BST_CHECKED;
}

void CGeneralSettingsPage::OnRunAtStartup()
{
    ::SetRunAtStartup(m_chkStartup.GetCheck() == BST_CHECKED);
}

void CGeneralSettingsPage::FillLanguageList()
{
    m_comboLanguage.ResetContent();
    m_pApp->m_arrLangFiles.RemoveAll();
    CStringArray arrFiles, arrNames;
    m_pApp->ListLanguageFiles(arrFiles, arrNames);
    // The list and the file names stay index for index.
    for (INT_PTR i = 0; i < arrFiles.GetSize(); i++)
    {
        int nIndex = m_comboLanguage.AddString(arrNames[i]);
        if (nIndex < 0)
            continue;
        m_comboLanguage.SetItemIcon(nIndex, m_pApp->GetLanguageFlagIcon(arrFiles[i]));
        m_pApp->m_arrLangFiles.Add(arrFiles[i]);
    }
    CString strChoice = m_pApp->GetWantedLanguageFile();
    int nIndex = m_pApp->FindLanguageIndex(strChoice);
    m_comboLanguage.SetCurSel(nIndex);
    // Already the language in use: Settings.ini keeps what start-up recorded.
    CString strCurrent = m_pApp->m_strLangFile.Mid(m_pApp->m_strLangFile.ReverseFind(L'\\') + 1);
    if (strCurrent.IsEmpty() || strCurrent.CompareNoCase(strChoice) != 0)
        m_pApp->SelectLanguage(strChoice);
    m_comboLanguage.AddString(m_pApp->GetLangString(L"IDD_102_MORE"));
}

void CGeneralSettingsPage::ReplaceMoreItem(CComboBox& combo)
{
    int nSel = combo.GetCurSel();
    int nCount = combo.GetCount();
    if (nCount > 0)
        combo.DeleteString(nCount - 1);
    combo.AddString(m_pApp->GetLangString(L"IDD_102_MORE"));
    if (nSel >= 0)
        combo.SetCurSel(nSel);
}

void CGeneralSettingsPage::OnSelChangeLanguage()
{
    int nSel = m_comboLanguage.GetCurSel();
    // No selection: nothing to look up.
    if (nSel < 0)
        return;
    if (nSel == m_comboLanguage.GetCount() - 1)
    {
        AfxShellOpen(NULL, L"open", s_szLanguagePage, NULL, NULL, SW_SHOWNORMAL);
        return;
    }
    CString strFile = m_pApp->GetLanguageFileAt(nSel);
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL && pMain->m_comboLanguage.m_hWnd != NULL)
        pMain->m_comboLanguage.SetCurSel(nSel);
    m_pApp->SelectLanguage(strFile);
    if (pMain != NULL)
        pMain->LoadLanguageTexts();
    m_pApp->TranslateDialog(this, IDD_GENERAL);
    if (pMain != NULL && pMain->m_hWnd != NULL)
    {
        m_pApp->TranslateDialog(pMain, 102);
        PageInfo* pInfo = pMain->GetPageInfo(pMain->GetCurrentPage());
        if (!pMain->m_bLibraryView && pInfo != NULL && pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL)
        {
            pInfo->pPage->ShowWindow(SW_HIDE);
            pInfo->pPage->ShowWindow(SW_SHOW);
        }
    }
    Invalidate(FALSE);
    ReplaceMoreItem(m_comboLanguage);
    // The main window's list ends with the same text.
    if (pMain != NULL && pMain->m_comboLanguage.m_hWnd != NULL)
        ReplaceMoreItem(pMain->m_comboLanguage);
    if (pMain != NULL)
    {
        pMain->LoadPrivacyLibrary();
        pMain->LoadOptimizerLibrary();
    }
}

void CGeneralSettingsPage::ResetUpdaterStep()
{
    s_bUpdaterStep = true;
}

void CGeneralSettingsPage::OnCheckUpdateClicked()
{
    OnCheckUpdate();
}

void CGeneralSettingsPage::OnCheckUpdate()
{
    if (s_bUpdaterStep.exchange(false))
    {
        CUpdaterDlg dlg(NULL);
        if (dlg.CheckUpdater(GetUpdateSiteUrl(m_pApp->m_strSettingsFile)) == 0 && dlg.StartUpdate())
            dlg.DoModal();
    }
    // The check runs on the main window's worker; the answer comes back there.
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->StartVersionCheck(TRUE);
}
