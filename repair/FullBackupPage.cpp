#include "repair/FullBackupPage.h"
#include "repair/FullBackupDlg.h"
#include "app/TamselApp.h"

BEGIN_MESSAGE_MAP(CFullBackupPage, CBackupListPage)
    ON_BN_CLICKED(1001, OnFullBackup)
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, RemoveBackup)
END_MESSAGE_MAP()

CFullBackupPage::CFullBackupPage() : CBackupListPage(255, L"FullBackup")
{
}

CFullBackupPage::~CFullBackupPage()
{
}

void CFullBackupPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupListPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnRemove);
    DDX_Control(pDX, 1002, m_btnRestore);
    DDX_Control(pDX, 1001, m_btnBackup);
}

BOOL CFullBackupPage::OnInitDialog()
{
    CBackupListPage::OnInitDialog();
    SkinButton(m_btnBackup, 321, 320, s_crButtonKey);
    return TRUE;
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
    // The progress dialog restores the archive named here.
    if (!ConfirmRestore(m_pApp->m_strFullBackupFile))
        return;
    CString strMessage;
    if (RunFullBackupDlg(1, strMessage))
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else
        AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
}
