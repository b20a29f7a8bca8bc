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
    // Where Restore writes the value: the same name and command may stand in
    // several Run keys.
    m_list.InsertColumn(3, L"Registry Key", LVCFMT_LEFT, 393);
}

void CStartupRestorePage::TranslateColumns()
{
    SetColumnText(m_list, 1, Lang(L"LIST_STARTUP_1"));
    SetColumnText(m_list, 2, Lang(L"LIST_STARTUP_2"));
    SetColumnText(m_list, 3, Lang(L"LIST_STARTUP_KEY"));
}

void CStartupRestorePage::SetRowTexts(int nRow, const CToolBackupRow& row)
{
    m_list.SetItemText(nRow, 1, row.m_strText1);
    m_list.SetItemToolTipText(nRow, 1, row.m_strText1);
    m_list.SetItemText(nRow, 2, row.m_strText2);
    m_list.SetItemToolTipText(nRow, 2, row.m_strText2);
    m_list.SetItemText(nRow, 3, row.m_strKey);
    m_list.SetItemToolTipText(nRow, 3, row.m_strKey);
}

CString CStartupRestorePage::NameOfRow(const CToolBackupRow& row)
{
    // The program name and its command, as the two columns show them.
    if (row.m_strText1.IsEmpty() && row.m_strText2.IsEmpty())
        return Lang(L"M_TOOL_ROW_EMPTY");
    return row.m_strText1 + L" (" + row.m_strText2 + L")";
}

CString CStartupRestorePage::DetailsFileOfRow(int nRow)
{
    return ProgramPathOfCommand(m_list.GetItemText(nRow, 2));
}
