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

void CBhoRestorePage::SetRowTexts(int nRow, const CToolBackupRow& row)
{
    m_list.SetItemText(nRow, 1, row.m_strText1);
    m_list.SetItemToolTipText(nRow, 1, row.m_strText1);
}

CString CBhoRestorePage::NameOfRow(const CToolBackupRow& row)
{
    return row.m_strText1;
}

CString CBhoRestorePage::DetailsFileOfRow(int nRow)
{
    return BhoDllFilePath(m_list.GetItemText(nRow, 1));
}
