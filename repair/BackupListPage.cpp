#include "repair/BackupListPage.h"
#include "repair/BackupList.h"
#include "app/TamselApp.h"

#include <shlwapi.h>

CBackupListPage::CBackupListPage(UINT nIDTemplate, LPCWSTR pszFolderName)
    : CBackupPage(nIDTemplate), m_pszFolderName(pszFolderName)
{
}

void CBackupListPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1004, m_btnHelp);
}

BOOL CBackupListPage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    SkinButton(m_btnRestore, 316, 315, s_crButtonKey);
    SkinButton(m_btnRemove, 312, 311, s_crButtonKey);
    SkinButton(m_btnHelp, 8048, 8047, s_crButtonKey);
    SetupBackupList(m_list);
    // The two header pictures above the list are its column header; the
    // list's own would stand under them like a row of an empty list.
    m_list.ModifyStyle(0, LVS_NOCOLUMNHEADER);
    return TRUE;
}

CString CBackupListPage::GetBackupFolder() const
{
    return m_pApp->m_strAppDir + m_pszFolderName + L"\\";
}

void CBackupListPage::FillList()
{
    FillBackupList(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}

void CBackupListPage::OnPageShown()
{
    FillList();
}

BOOL CBackupListPage::ConfirmRestore(CString& strArchive)
{
    int nIndex = SelectedBackupIndex(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
    if (nIndex < 0)
    {
        AfxMessageBox(LangText(L"M_SELECT_BACKUP"), MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    strArchive = m_pApp->m_arrBackupFiles[nIndex];
    if (AfxMessageBox(LangText(L"M_RESTORE_RESTORE"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return FALSE;
    if (!::PathFileExistsW(strArchive))
    {
        AfxMessageBox(strArchive + L" not Found.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

void CBackupListPage::RemoveBackup()
{
    RemoveSelectedBackup(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}
