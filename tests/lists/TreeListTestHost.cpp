#include "tests/lists/TreeListTestHost.h"
#include "tests/support/TestSupport.h"

BOOL CTreeListTestDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_tree.SubclassDlgItem(IDC_TREELIST_TEST, this);
    return TRUE;
}

BOOL CTreeListTestDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* pHeader = (const NMHDR*)lParam;
    if (pHeader != NULL && pHeader->hwndFrom == m_tree.m_hWnd)
    {
        const NMTREELIST* pNote = (const NMTREELIST*)lParam;
        m_notes.push_back({ pHeader->code, pNote->pItem, pNote->nValue, m_tree.GetSelectedItem() });
        auto it = m_answers.find(pHeader->code);
        *pResult = it != m_answers.end() ? it->second : 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

int CTreeListTestDialog::CountNotes(UINT nCode) const
{
    int n = 0;
    for (const TreeListNote& note : m_notes)
        n += note.nCode == nCode ? 1 : 0;
    return n;
}

bool ShowTreeListTestDialog(CTreeListTestDialog& dlg)
{
    if (!dlg.Create(IDD_TREELIST_TEST, NULL))
        return false;
    ::SetWindowPos(dlg.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(dlg.m_hWnd);
    dlg.UpdateWindow();
    PumpTreeList(50);
    return dlg.m_tree.m_hWnd != NULL;
}

void PumpTreeList(DWORD dwMilliseconds)
{
    const DWORD dwStart = ::GetTickCount();
    testsupport::WaitFor([&] { return ::GetTickCount() - dwStart >= dwMilliseconds; }, dwMilliseconds + 1000);
}

void SetUpResultStyle(CTreeListCtrl& tree, int nColumnWidth)
{
    tree.SetStyle(0xEC00C1);
    tree.InsertColumn(L"", 0x504144, nColumnWidth);
}

CString ProblemMarkup(int n)
{
    CString strText;
    strText.Format(L"<font color=#ff0000><b>Invalid class %d.</b></font><br><b>Key:</b> "
                   L"HKEY_CLASSES_ROOT\\CLSID\\{0000%04d-0000-0000-C000-000000000046}<br><b>Value:</b> "
                   L"{Default}=C:\\Program Files\\Missing\\lib%d.dll<br>",
                   n, n % 10000, n);
    return strText;
}

CTreeListItem* AddProblemRow(CTreeListCtrl& tree, CTreeListItem* pCategory, int n)
{
    CTreeListItem* pItem = tree.InsertItem(ProblemMarkup(n), pCategory, TLI_LAST, 1, 0);
    tree.SetItemData(pItem, n);
    tree.SetItemState(pItem, 0xD0, 0);
    tree.SetItemImage(pItem, 0, 0, 0, 0);
    tree.SetCheck(pItem, 1);
    return pItem;
}
