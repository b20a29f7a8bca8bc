#include "tools/BhoRestorePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tools/BhoRemovePage.h"
#include "tools/ToolBackupArchive.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

BEGIN_MESSAGE_MAP(CBhoRestorePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnCancelButton)
END_MESSAGE_MAP()

CBhoRestorePage::CBhoRestorePage() : CToolDetailsPage(268)
{
}

CBhoRestorePage::~CBhoRestorePage()
{
}

void CBhoRestorePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnCancel);
    DDX_Control(pDX, 1002, m_btnRestore);
}

BOOL CBhoRestorePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(TRUE);
    InsertCheckColumn();
    m_list.InsertColumn(1, L"BHO Path", LVCFMT_LEFT, 533);
    SetButtonBitmaps(m_btnRestore, 316, 315);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    return TRUE;
}

void CBhoRestorePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        if (m_pApp != NULL)
            CToolBackupArchive(ToolBackupBho, m_pApp->m_strAppDir, m_pApp->m_arrBhoBackups).DeleteWorkFolder();
        return;
    }
    FillList();
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_BHO_1"));
    Invalidate(FALSE);
}

void CBhoRestorePage::LoadBackupArchive()
{
    CToolBackupArchive archive(ToolBackupBho, m_pApp->m_strAppDir, m_pApp->m_arrBhoBackups);
    if (archive.Load() == CToolBackupArchive::LoadSetAside)
    {
        CStringArray arrNames;
        arrNames.Add(archive.GetSetAsidePath());
        ReportNames(L"M_TOOL_ARCHIVE_SET_ASIDE", arrNames);
    }
}

int CBhoRestorePage::GetRowEntry(int nRow) const
{
    return nRow >= 0 && nRow < m_arrRowEntry.GetSize() ? m_arrRowEntry[nRow] : -1;
}

void CBhoRestorePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    LoadBackupArchive();
    BeginFill();
    m_list.DeleteAllItems();
    m_arrRowEntry.RemoveAll();
    m_arrRowClsid.RemoveAll();
    for (INT_PTR i = 0; i < m_pApp->m_arrBhoBackups.GetSize(); ++i)
    {
        CString strKey = ReadBackupKey(m_pApp->m_arrBhoBackups[i]);
        CString strClsid = strKey.Mid(strKey.ReverseFind(L'\\') + 1);
        CString strDll = CBhoRemovePage::DllOfClass(strClsid);
        if (strDll == L"ERR")
            continue;
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_arrRowEntry.Add((int)i);
        m_arrRowClsid.Add(strClsid);
        m_list.SetCheckbox(nRow, 0, 1);
        m_list.SetItemText(nRow, 1, strDll);
        m_list.SetItemToolTipText(nRow, 1, strDll);
    }
    EndFill();
}

CString CBhoRestorePage::DetailsFileOfRow(int nRow)
{
    return BhoDllFilePath(m_list.GetItemText(nRow, 1));
}

void CBhoRestorePage::OnRestore()
{
    if (m_pApp == NULL)
        return;
    CArray<int> arrRows, arrEntries, arrOutcome;
    CStringArray arrClsids;
    GetCheckedRows(arrRows);
    for (int nRow : arrRows)
    {
        arrEntries.Add(GetRowEntry(nRow));
        arrClsids.Add(nRow < m_arrRowClsid.GetSize() ? m_arrRowClsid[nRow] : CString());
    }
    CToolBackupArchive archive(ToolBackupBho, m_pApp->m_strAppDir, m_pApp->m_arrBhoBackups);
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

void CBhoRestorePage::OnCancelButton()
{
    GoToPage(PAGE_IE_TOOLS, FOLDER_IE_TOOLS);
}
