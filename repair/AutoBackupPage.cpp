#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "repair/BackupList.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CAutoBackupPage, CBackupPage)
    ON_BN_CLICKED(1001, RestoreBackup)
    ON_BN_CLICKED(1002, RemoveBackup)
    ON_BN_CLICKED(1003, OnBackToHub)
END_MESSAGE_MAP()

CAutoBackupPage::CAutoBackupPage() : CBackupPage(127)
{
}

CAutoBackupPage::~CAutoBackupPage()
{
}

void CAutoBackupPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1004, m_btnHelp);
    DDX_Control(pDX, 1003, m_btnCancel);
    DDX_Control(pDX, 1002, m_btnRemove);
    DDX_Control(pDX, 1001, m_btnRestore);
    DDX_Control(pDX, 1013, m_list);
}

BOOL CAutoBackupPage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    const COLORREF crGreen = RGB(0, 255, 0);
    SkinButton(m_btnRestore, 316, 315, crGreen);
    SkinButton(m_btnRemove, 312, 311, crGreen);
    SkinButton(m_btnCancel, 301, 300, crGreen);
    SkinButton(m_btnHelp, 8048, 8047, crGreen);
    SetupBackupList(m_list);
    // Two header pictures stand in for the list's own column header.
    m_list.ModifyStyle(0, LVS_NOCOLUMNHEADER);
    return TRUE;
}

CString CAutoBackupPage::GetBackupFolder() const
{
    return m_pApp->m_strAppDir + L"AutoBackup\\";
}

void CAutoBackupPage::FillList()
{
    FillBackupList(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}

void CAutoBackupPage::OnPageShown()
{
    FillList();
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain->GetSafeHwnd() != NULL)
        pMain->Invalidate(TRUE);
}

void CAutoBackupPage::RestoreBackup()
{
    int nIndex = SelectedBackupIndex(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
    if (nIndex < 0)
        return;
    if (AfxMessageBox(LangText(L"M_RESTORE_RESTORE"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CString strArchive = m_pApp->m_arrBackupFiles[nIndex];
    if (!::PathFileExistsW(strArchive))
    {
        AfxMessageBox(strArchive + L" not Found.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CAutoBackupRestore restore;
    if (restore.Restore(strArchive, GetBackupFolder()))
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else if (restore.m_bRefused || lstrcmpW(restore.m_failure.m_pszKey, L"M_RESTORE_ERR_NOTHING") == 0)
        // Nothing was written: no "not restored completely" around it.
        AfxMessageBox(restore.m_failure.GetDetail(m_pApp), MB_OK | MB_ICONEXCLAMATION);
    else
        AfxMessageBox(restore.m_failure.GetMessage(m_pApp), MB_OK | MB_ICONEXCLAMATION);
}

void CAutoBackupPage::RemoveBackup()
{
    RemoveSelectedBackup(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
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
