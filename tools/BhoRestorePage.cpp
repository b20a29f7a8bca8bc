#include "tools/BhoRestorePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tools/BhoRemovePage.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

CBhoRestorePage::CBhoRestorePage() : CToolRestorePage(268, ToolBackupBho, PAGE_IE_TOOLS, FOLDER_IE_TOOLS)
{
}

CBhoRestorePage::~CBhoRestorePage()
{
}

CStringArray& CBhoRestorePage::BackupPaths()
{
    return m_pApp->m_arrBhoBackups;
}

void CBhoRestorePage::InsertColumns()
{
    m_list.InsertColumn(1, L"BHO Path", LVCFMT_LEFT, 533);
}

void CBhoRestorePage::TranslateColumns()
{
    SetColumnText(m_list, 1, Lang(L"LIST_BHO_1"));
}

int CBhoRestorePage::GetRowEntry(int nRow) const
{
    return nRow >= 0 && nRow < m_arrRowEntry.GetSize() ? m_arrRowEntry[nRow] : -1;
}

void CBhoRestorePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    std::vector<CToolRestoreRow> rows;
    if (!ListArchive(rows))
        return;
    BeginFill();
    m_list.DeleteAllItems();
    m_arrRowEntry.RemoveAll();
    m_arrRowClsid.RemoveAll();
    for (const CToolRestoreRow& row : rows)
    {
        // Thousands of rows take seconds: the window answers between batches.
        if (m_list.GetItemCount() % FILL_BATCH_ROWS == FILL_BATCH_ROWS - 1 && !ServeMessagesWhileFilling())
            break;
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_arrRowEntry.Add(row.m_nEntry);
        m_arrRowClsid.Add(row.m_strClsid);
        m_list.SetCheckbox(nRow, 0, 1);
        m_list.SetItemText(nRow, 1, row.m_strText1);
        m_list.SetItemToolTipText(nRow, 1, row.m_strText1);
    }
    EndFill();
}

CString CBhoRestorePage::DetailsFileOfRow(int nRow)
{
    return BhoDllFilePath(m_list.GetItemText(nRow, 1));
}

void CBhoRestorePage::EntriesOfRows(const CArray<int>& arrRows, CArray<int>& arrEntries, CStringArray& arrClsids)
{
    for (int nRow : arrRows)
    {
        arrEntries.Add(GetRowEntry(nRow));
        arrClsids.Add(nRow < m_arrRowClsid.GetSize() ? m_arrRowClsid[nRow] : CString());
    }
}
