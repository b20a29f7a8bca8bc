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

BOOL CFullBackupPage::RunFullBackupDlg(int nMode, CString& strMessage, std::unique_ptr<CFullBackupJob>& pJob)
{
    CFullBackupDlg dlg(AfxGetMainWnd());
    dlg.m_pJob = pJob ? std::move(pJob) : std::unique_ptr<CFullBackupJob>(CreateJob());
    dlg.m_bFirstPaint = 1;
    dlg.m_nMode = nMode;
    dlg.DoModal();
    pJob = std::move(dlg.m_pJob);
    CFullBackupJob& job = *pJob;
    // Stopped on closing the program: nothing to tell.
    if (dlg.m_bStopped)
        return FALSE;
    if (dlg.m_bSucceeded)
    {
        if (nMode == 0 && job.m_bUnreadableKeys)
            strMessage = LangText(L"M_FULLBACKUP_UNREADABLE");
        return TRUE;
    }
    CString strDetail = job.m_failure.GetDetail(m_pApp);
    if (!job.m_strRefusedLine.IsEmpty())
        strDetail += L"\n" + job.m_strRefusedLine;
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
    std::unique_ptr<CFullBackupJob> pJob;
    BOOL bOk = RunFullBackupDlg(0, strMessage, pJob);
    FillList();
    if (!strMessage.IsEmpty())
        AfxMessageBox(strMessage, MB_OK | (bOk ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
}

void CFullBackupPage::OnRestore()
{
    // The progress dialog restores the archive named here.
    if (!GetSelectedArchive(m_pApp->m_strFullBackupFile))
        return;
    // Read and checked under the progress dialog first, so that the question
    // names what the import will write; nothing is written before Yes.
    CString strMessage;
    std::unique_ptr<CFullBackupJob> pJob;
    if (!RunFullBackupDlg(2, strMessage, pJob))
    {
        if (!strMessage.IsEmpty())
            AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AskRestore(pJob->m_keys, pJob->m_nKeys, CStringArray()))
    {
        pJob->Discard();
        return;
    }
    if (RunFullBackupDlg(1, strMessage, pJob))
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else if (!strMessage.IsEmpty())
        AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
}
