#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

BEGIN_MESSAGE_MAP(CAutoBackupPage, CBackupListPage)
    ON_BN_CLICKED(1001, RestoreBackup)
    ON_BN_CLICKED(1002, RemoveBackup)
    ON_BN_CLICKED(1003, OnBackToHub)
END_MESSAGE_MAP()

CAutoBackupPage::CAutoBackupPage() : CBackupListPage(127, L"AutoBackup")
{
}

CAutoBackupPage::~CAutoBackupPage()
{
}

void CAutoBackupPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupListPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnCancel);
    DDX_Control(pDX, 1002, m_btnRemove);
    DDX_Control(pDX, 1001, m_btnRestore);
}

BOOL CAutoBackupPage::OnInitDialog()
{
    CBackupListPage::OnInitDialog();
    SkinButton(m_btnCancel, 301, 300, s_crButtonKey);
    return TRUE;
}

void CAutoBackupPage::OnPageShown()
{
    CBackupListPage::OnPageShown();
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain->GetSafeHwnd() != NULL)
        pMain->Invalidate(TRUE);
}

void CAutoBackupPage::RestoreBackup()
{
    CString strArchive;
    if (!GetSelectedArchive(strArchive))
        return;
    // Read and checked first: the question names what the restore writes,
    // and nothing is written before the user has seen it.
    CAutoBackupRestore restore;
    if (!restore.Prepare(strArchive, GetBackupFolder()))
    {
        // Nothing was written: no "not restored completely" around it.
        AfxMessageBox(restore.m_failure.GetDetail(m_pApp), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AskRestore(restore.m_keys, (int)restore.m_keys.size(), restore.m_arrFiles))
    {
        restore.Discard();
        return;
    }
    if (restore.Write())
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else
        AfxMessageBox(restore.m_failure.GetMessage(m_pApp), MB_OK | MB_ICONEXCLAMATION);
}

void CAutoBackupPage::OnBackToHub()
{
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain == NULL)
        return;
    pMain->ShowPage(PAGE_BACKUP);
    if (pMain->m_wndFolder.GetSafeHwnd() != NULL)
        pMain->m_wndFolder.SelectFolder(FOLDER_BACKUP);
}
