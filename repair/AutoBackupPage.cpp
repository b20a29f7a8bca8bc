#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "repair/FullBackupDlg.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

BEGIN_MESSAGE_MAP(CAutoBackupPage, CBackupListPage)
    ON_BN_CLICKED(1001, RestoreBackup)
    ON_BN_CLICKED(1002, RemoveBackup)
    ON_BN_CLICKED(1003, OnBackToHub)
END_MESSAGE_MAP()

CAutoBackupPage::CAutoBackupPage() : CBackupListPage(127, L"AutoBackup"), m_bStopRestore(false)
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

BOOL CAutoBackupPage::RunRestoreStep(const std::function<BOOL()>& fnWork, int nStatus, BOOL& bStopped)
{
    CFullBackupDlg dlg(AfxGetMainWnd());
    dlg.m_pbStop = &m_bStopRestore;
    dlg.m_fnWork = [&fnWork, nStatus](const std::function<void(int)>& fnStatus) {
        fnStatus(nStatus);
        return fnWork();
    };
    dlg.DoModal();
    bStopped = dlg.m_bStopped;
    return dlg.m_bSucceeded && !dlg.m_bStopped;
}

void CAutoBackupPage::RestoreBackup()
{
    CString strArchive;
    if (!GetSelectedArchive(strArchive))
        return;
    CString strFolder = GetBackupFolder();
    m_bStopRestore = false;
    CAutoBackupRestore restore;
    restore.SetStopFlag(&m_bStopRestore);
    BOOL bStopped = FALSE;
    // Read and checked first, on a worker: the question names what the
    // restore writes, and nothing is written before the user has seen it.
    if (!RunRestoreStep([&] { return restore.Prepare(strArchive, strFolder); }, CFullBackupJob::StatusCheck,
                        bStopped))
    {
        // Nothing was written: no "not restored completely" around it.
        if (!bStopped)
            AfxMessageBox(restore.m_failure.GetDetail(m_pApp), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AskRestore(restore.m_keys, (int)restore.m_keys.size(), restore.m_arrFiles))
    {
        restore.Discard();
        return;
    }
    if (RunRestoreStep([&] { return restore.Write(); }, CFullBackupJob::StatusImport, bStopped))
        AfxMessageBox(LangText(L"M_RESTOREOK"), MB_OK);
    else if (!bStopped)
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
