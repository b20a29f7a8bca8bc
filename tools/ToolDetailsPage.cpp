#include "tools/ToolDetailsPage.h"
#include "tools/ToolCommands.h"
#include "app/TamselApp.h"

namespace {
const int kLabelIds[4] = { 1030, 1031, 1033, 1035 };
}

BEGIN_MESSAGE_MAP(CToolDetailsPage, CToolPage)
    ON_NOTIFY(NM_CLICK, 1013, OnClickList)
END_MESSAGE_MAP()

CToolDetailsPage::CToolDetailsPage(UINT nIDTemplate) : CToolPage(nIDTemplate), m_bLocked(FALSE)
{
}

CToolDetailsPage::~CToolDetailsPage()
{
}

void CToolDetailsPage::DoDataExchange(CDataExchange* pDX)
{
    CToolPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1026, m_wndDetails);
    DDX_Control(pDX, 1013, m_list);
    for (int i = 0; i < 4; ++i)
        DDX_Control(pDX, kLabelIds[i], m_wndLabels[i]);
}

CString CToolDetailsPage::GetDetail(int nIndex) const
{
    CString strText;
    if (nIndex >= 0 && nIndex < 4 && m_wndLabels[nIndex].GetSafeHwnd() != NULL)
        m_wndLabels[nIndex].GetWindowText(strText);
    return strText;
}

void CToolDetailsPage::SetUpList(BOOL bHeaderStyles)
{
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.EnableToolTips(TRUE);
    EnableToolTips(TRUE);
    if (bHeaderStyles && m_list.GetHeaderCtrl() != NULL)
        m_list.GetHeaderCtrl()->ModifyStyle(0, HDS_BUTTONS | HDS_HOTTRACK);
}

void CToolDetailsPage::InsertCheckColumn()
{
    LVCOLUMN column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_IMAGE;
    column.fmt = LVCFMT_CENTER;
    column.cx = 25;
    column.pszText = const_cast<LPWSTR>(L"");
    column.iImage = 1;
    m_list.InsertColumn(0, &column);
}

void CToolDetailsPage::GetCheckedRows(CArray<int>& arrRows)
{
    arrRows.RemoveAll();
    for (int i = 0; i < m_list.GetItemCount(); ++i)
    {
        if (m_list.GetCheckbox(i, 0) == 2)
            arrRows.Add(i);
    }
}

void CToolDetailsPage::GetCheckedRecords(const CArray<CRegProblem>& arrItems, CArray<CRegProblem>& arrChecked)
{
    arrChecked.RemoveAll();
    CArray<int> arrRows;
    GetCheckedRows(arrRows);
    for (int nRow : arrRows)
    {
        if (nRow < arrItems.GetSize())
            arrChecked.Add(arrItems[nRow]);
    }
}

BOOL CToolDetailsPage::TellNothingChecked(INT_PTR nChecked)
{
    if (nChecked > 0)
        return FALSE;
    Message(Lang(L"M_TOOL_CHECK_ROWS"), MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

void CToolDetailsPage::BackupRecords(ToolBackupKind nKind, CStringArray& arrBackups,
                                     const CArray<CRegProblem>& arrRecords, CArray<int>& arrOutcome)
{
    CToolBackupArchive archive(nKind, m_pApp->m_strAppDir, arrBackups);
    archive.BackupRecords(arrRecords, arrOutcome);
    if (!archive.GetSetAsidePath().IsEmpty())
        ReportArchiveSetAside(archive.GetSetAsidePath(), archive.GetNameOutside());
}

void CToolDetailsPage::ReportArchiveSetAside(const CString& strPath, const CString& strNameOutside)
{
    CString strFormat = Lang(L"M_TOOL_ARCHIVE_NAMED_OUTSIDE");
    if (strNameOutside.IsEmpty() || strFormat.Find(L"%s") < 0)
    {
        ReportSetAside(strPath);
        return;
    }
    // Not damage: an entry whose name leads out of the work folder.
    CString strText;
    strText.Format(strFormat, (LPCWSTR)strNameOutside);
    Message(strText + L"\n" + strPath, MB_OK | MB_ICONEXCLAMATION);
}

void CToolDetailsPage::BeginFill()
{
    // Under Wine the lock alone does not stop the repaint per row.
    m_bLocked = m_list.LockWindowUpdate();
    m_list.SetRedraw(FALSE);
}

void CToolDetailsPage::EndFill()
{
    m_list.SetRedraw(TRUE);
    if (m_bLocked)
        m_list.UnlockWindowUpdate();
    m_bLocked = FALSE;
    m_list.Invalidate(TRUE);
    m_list.UpdateWindow();
}

void CToolDetailsPage::ShowDetails()
{
    int nRow = m_list.GetCurSel();
    if (nRow < 0)
        return;
    CString strTexts[4];
    ReadFileDetails(DetailsFileOfRow(nRow), strTexts);
    for (int i = 0; i < 4; ++i)
    {
        if (m_wndLabels[i].GetSafeHwnd() != NULL)
            m_wndLabels[i].SetWindowText(strTexts[i]);
    }
}

void CToolDetailsPage::OnClickList(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    ShowDetails();
    *pResult = 0;
}

BOOL CToolDetailsPage::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYUP && GetSafeHwnd() != NULL
        && (pMsg->hwnd == GetSafeHwnd() || ::IsChild(GetSafeHwnd(), pMsg->hwnd)))
    {
        switch (pMsg->wParam)
        {
        case VK_DOWN: case VK_UP: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
            ShowDetails();
            break;
        }
    }
    return CToolPage::PreTranslateMessage(pMsg);
}
