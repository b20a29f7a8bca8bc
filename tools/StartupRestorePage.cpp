#include "tools/StartupRestorePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

CStartupRestorePage::CStartupRestorePage() : CToolRestorePage(270, ToolBackupStartup, PAGE_OPTIMIZE, FOLDER_OPTIMIZE)
{
}

CStartupRestorePage::~CStartupRestorePage()
{
}

CStringArray& CStartupRestorePage::BackupPaths()
{
    return m_pApp->m_arrStartupBackups;
}

void CStartupRestorePage::InsertColumns()
{
    m_list.InsertColumn(1, L"Program Name", LVCFMT_LEFT, 140);
    m_list.InsertColumn(2, L"Program Path", LVCFMT_LEFT, 393);
}

void CStartupRestorePage::TranslateColumns()
{
    SetColumnText(m_list, 1, Lang(L"LIST_STARTUP_1"));
    SetColumnText(m_list, 2, Lang(L"LIST_STARTUP_2"));
}

void CStartupRestorePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    std::vector<CToolRestoreRow> rows;
    if (!ListArchive(rows))
        return;
    BeginFill();
    m_list.DeleteAllItems();
    for (const CToolRestoreRow& row : rows)
    {
        // Thousands of rows take seconds: the window answers between batches.
        if (m_list.GetItemCount() % FILL_BATCH_ROWS == FILL_BATCH_ROWS - 1 && !ServeMessagesWhileFilling())
            break;
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_list.SetCheckbox(nRow, 0, 1);
        m_list.SetItemText(nRow, 1, row.m_strText1);
        m_list.SetItemToolTipText(nRow, 1, row.m_strText1);
        m_list.SetItemText(nRow, 2, row.m_strText2);
        m_list.SetItemToolTipText(nRow, 2, row.m_strText2);
    }
    EndFill();
}

CString CStartupRestorePage::DetailsFileOfRow(int nRow)
{
    return ProgramPathOfCommand(m_list.GetItemText(nRow, 2));
}
