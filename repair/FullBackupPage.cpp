#include "repair/FullBackupPage.h"
#include "repair/BackupList.h"
#include "repair/FullBackupDlg.h"
#include "app/TamselApp.h"

#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CFullBackupPage, CBackupPage)
    ON_BN_CLICKED(1001, OnFullBackup)
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnRemove)
END_MESSAGE_MAP()

CFullBackupPage::CFullBackupPage() : CBackupPage(255)
{
}

CFullBackupPage::~CFullBackupPage()
{
}

void CFullBackupPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1004, m_btnHelp);
    DDX_Control(pDX, 1003, m_btnRemove);
    DDX_Control(pDX, 1002, m_btnRestore);
    DDX_Control(pDX, 1001, m_btnBackup);
}

BOOL CFullBackupPage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    const COLORREF crGreen = RGB(0, 255, 0);
    SkinButton(m_btnBackup, 321, 320, crGreen);
    SkinButton(m_btnRestore, 316, 315, crGreen);
    SkinButton(m_btnRemove, 312, 311, crGreen);
    SkinButton(m_btnHelp, 8048, 8047, crGreen);
    SetupBackupList(m_list);
    // The two header pictures above the list are its column header; the
    // list's own would stand under them like a row of an empty list.
    m_list.ModifyStyle(0, LVS_NOCOLUMNHEADER);
    return TRUE;
}

CString CFullBackupPage::GetBackupFolder() const
{
    return m_pApp->m_strAppDir + L"FullBackup\\";
}

void CFullBackupPage::FillList()
{
    FillBackupList(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}

void CFullBackupPage::OnPageShown()
{
    FillList();
}

CFullBackupJob* CFullBackupPage::CreateJob()
{
    return new CFullBackupJob;
}

BOOL CFullBackupPage::RunFullBackupDlg(int nMode, CString& strMessage)
{
    CFullBackupDlg dlg(AfxGetMainWnd());
    dlg.m_pJob.reset(CreateJob());
    dlg.m_bFirstPaint = 1;
    dlg.m_nMode = nMode;
    dlg.DoModal();
    CFullBackupJob& job = *dlg.m_pJob;
    if (dlg.m_bSucceeded)
    {
        if (nMode == 0 && job.m_bUnreadableKeys)
            strMessage = LangText(L"M_FULLBACKUP_UNREADABLE");
        return TRUE;
    }
    CString strDetail = job.m_failure.GetDetail(m_pApp);
    if (nMode == 0)
        strMessage = LangText(L"M_FULLBACKUP_FAILED", strDetail);
    else if (job.m_bPartial)
        strMessage = LangText(L"M_FULLBACKUP_IMPORT_PARTIAL", strDetail);
    else
        strMessage = LangText(L"M_FULLBACKUP_REFUSED", strDetail);
    return FALSE;
}

void CFullBackupPage::OnFullBackup()
{
    if (AfxMessageBox(LangText(L"M_FULLBACKUP"), MB_YESNO) != IDYES)
        return;
    CString strMessage;
    BOOL bOk = RunFullBackupDlg(0, strMessage);
    FillList();
    if (!strMessage.IsEmpty())
        AfxMessageBox(strMessage, MB_OK | (bOk ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

void CFullBackupPage::OnRestore()
{
    int nIndex = SelectedBackupIndex(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
    if (nIndex < 0)
        return;
    m_pApp->m_strFullBackupFile = m_pApp->m_arrBackupFiles[nIndex];
    if (AfxMessageBox(LangText(L"M_RESTORE_RESTORE"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!::PathFileExistsW(m_pApp->m_strFullBackupFile))
    {
        AfxMessageBox(m_pApp->m_strFullBackupFile + L" not Found.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CString strMessage;
    if (RunFullBackupDlg(1, strMessage))
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else
        AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
}

void CFullBackupPage::OnRemove()
{
    RemoveSelectedBackup(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}
