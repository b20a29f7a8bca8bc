#include "tools/StartupRestorePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tools/ToolBackupArchive.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

BEGIN_MESSAGE_MAP(CStartupRestorePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnButtonCancel)
END_MESSAGE_MAP()

CStartupRestorePage::CStartupRestorePage() : CToolDetailsPage(270)
{
}

CStartupRestorePage::~CStartupRestorePage()
{
}

void CStartupRestorePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1002, m_btnRestore);
    DDX_Control(pDX, 1003, m_btnCancel);
}

BOOL CStartupRestorePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(TRUE);
    InsertCheckColumn();
    m_list.InsertColumn(1, L"Program Name", LVCFMT_LEFT, 140);
    m_list.InsertColumn(2, L"Program Path", LVCFMT_LEFT, 393);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    SetButtonBitmaps(m_btnRestore, 316, 315);
    return TRUE;
}

void CStartupRestorePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        if (m_pApp != NULL)
            CToolBackupArchive(ToolBackupStartup, m_pApp->m_strAppDir, m_pApp->m_arrStartupBackups).DeleteWorkFolder();
        return;
    }
    FillList();
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_STARTUP_1"));
    SetColumnText(m_list, 2, Lang(L"LIST_STARTUP_2"));
    Invalidate(FALSE);
}

void CStartupRestorePage::LoadBackupArchive()
{
    CToolBackupArchive archive(ToolBackupStartup, m_pApp->m_strAppDir, m_pApp->m_arrStartupBackups);
    if (archive.Load() == CToolBackupArchive::LoadSetAside)
    {
        CStringArray arrNames;
        arrNames.Add(archive.GetSetAsidePath());
        ReportNames(L"M_TOOL_ARCHIVE_SET_ASIDE", arrNames);
    }
}

void CStartupRestorePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    LoadBackupArchive();
    BeginFill();
    m_list.DeleteAllItems();
    for (const CString& strPath : m_pApp->m_arrStartupBackups)
    {
        CString strName, strText;
        ReadStartupBackupEntry(strPath, strName, strText);
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_list.SetCheckbox(nRow, 0, 1);
        m_list.SetItemText(nRow, 1, strName);
        m_list.SetItemToolTipText(nRow, 1, strName);
        m_list.SetItemText(nRow, 2, strText);
        m_list.SetItemToolTipText(nRow, 2, strText);
    }
    EndFill();
}

CString CStartupRestorePage::DetailsFileOfRow(int nRow)
{
    return ProgramPathOfCommand(m_list.GetItemText(nRow, 2));
}

void CStartupRestorePage::OnRestore()
{
    if (m_pApp == NULL)
        return;
    // Row i stands for path i of the archive's list.
    CArray<int> arrRows, arrOutcome;
    GetCheckedRows(arrRows);
    CToolBackupArchive archive(ToolBackupStartup, m_pApp->m_strAppDir, m_pApp->m_arrStartupBackups);
    BOOL bSaved = archive.Restore(arrRows, CStringArray(), arrOutcome);
    CStringArray arrRefused, arrFailed;
    for (INT_PTR i = 0; i < arrRows.GetSize() && i < arrOutcome.GetSize(); ++i)
    {
        CString strName = m_list.GetItemText(arrRows[i], 1);
        if (arrOutcome[i] == RestoreRefused)
            arrRefused.Add(strName);
        else if (arrOutcome[i] == RestoreFailed)
            arrFailed.Add(strName);
    }
    ReportNames(L"M_TOOL_RESTORE_REFUSED", arrRefused);
    ReportNames(L"M_TOOL_RESTORE_FAILED", arrFailed);
    if (!bSaved)
        Message(Lang(L"M_TOOL_ARCHIVE_NOT_SAVED"), MB_OK | MB_ICONEXCLAMATION);
    FillList();
}

void CStartupRestorePage::OnButtonCancel()
{
    GoToPage(PAGE_OPTIMIZE, FOLDER_OPTIMIZE);
}
