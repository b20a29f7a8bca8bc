#include "tools/ToolRestorePage.h"
#include "app/TamselApp.h"

BEGIN_MESSAGE_MAP(CToolRestorePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnCancelButton)
END_MESSAGE_MAP()

CToolRestorePage::CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder)
    : CToolDetailsPage(nIDTemplate), m_nKind(nKind), m_nCancelPage(nCancelPage), m_nCancelFolder(nCancelFolder)
{
}

CToolRestorePage::~CToolRestorePage()
{
}

void CToolRestorePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1002, m_btnRestore);
    DDX_Control(pDX, 1003, m_btnCancel);
}

BOOL CToolRestorePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(TRUE);
    InsertCheckColumn();
    InsertColumns();
    SetButtonBitmaps(m_btnRestore, 316, 315);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    return TRUE;
}

void CToolRestorePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        if (m_pApp != NULL)
            CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, BackupPaths()).DeleteWorkFolder();
        return;
    }
    FillList();
    Translate();
    TranslateColumns();
    Invalidate(FALSE);
}

void CToolRestorePage::LoadBackupArchive()
{
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    if (archive.Load() == CToolBackupArchive::LoadSetAside)
    {
        CStringArray arrNames;
        arrNames.Add(archive.GetSetAsidePath());
        ReportNames(L"M_TOOL_ARCHIVE_SET_ASIDE", arrNames);
    }
}

void CToolRestorePage::EntriesOfRows(const CArray<int>& arrRows, CArray<int>& arrEntries, CStringArray& arrClsids)
{
    (void)arrClsids;
    for (int nRow : arrRows)
        arrEntries.Add(nRow);
}

void CToolRestorePage::OnRestore()
{
    if (m_pApp == NULL)
        return;
    CArray<int> arrRows, arrEntries, arrOutcome;
    CStringArray arrClsids;
    GetCheckedRows(arrRows);
    EntriesOfRows(arrRows, arrEntries, arrClsids);
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    BOOL bSaved = archive.Restore(arrEntries, arrClsids, arrOutcome);
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

void CToolRestorePage::OnCancelButton()
{
    GoToPage(m_nCancelPage, m_nCancelFolder);
}
