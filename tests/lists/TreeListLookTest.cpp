// The result tree as the result page shows it: 15 categories, problems under
// two of them. TAMSEL_TREELIST_HOLD_MS keeps it on screen for a screenshot.
#include <gtest/gtest.h>

#include "tests/lists/TreeListTestHost.h"

#include <stdlib.h>

namespace {

const wchar_t* const kCategories[15] = {
    L"ActiveX/OLE/COM", L"Add/Remove", L"Application Paths", L"Fonts", L"Shared Files",
    L"Help Files", L"Drivers", L"System Services", L"Invalid Shortcuts", L"File Associations",
    L"Sounds", L"History/MRU Lists", L"Startup Items", L"File Extensions", L"Empty Registry Keys",
};

} // namespace

TEST(TreeListLook, ResultTreeWithTwoOpenCategories)
{
    CTreeListTestDialog dlg;
    ASSERT_TRUE(ShowTreeListTestDialog(dlg));
    CTreeListCtrl& tree = dlg.m_tree;
    CRect rcClient;
    tree.GetClientRect(&rcClient);
    SetUpResultStyle(tree, rcClient.Width() - ::GetSystemMetrics(SM_CXVSCROLL));
    std::vector<CTreeListItem*> categories;
    for (const wchar_t* pszName : kCategories)
        categories.push_back(tree.InsertItem(pszName, TLI_ROOT, TLI_LAST, 1, 0));
    AddProblemRow(tree, categories[0], 1);
    CTreeListItem* pUnchecked = AddProblemRow(tree, categories[0], 2);
    AddProblemRow(tree, categories[0], 3);
    tree.SetCheck(pUnchecked, FALSE);
    CTreeListItem* pExt = tree.InsertItem(L"<font color=#ff0000><b>Invalid file extension.</b></font><br><b>Key:</b> "
                                          L"HKEY_CLASSES_ROOT\\.xyz&amp;1<br><b>Value:</b> Content Type=a &lt;b&gt;<br>",
                                          categories[13], TLI_LAST, 1, 0);
    tree.SetItemState(pExt, 0xD0, 0);
    tree.SetCheck(pExt, 1);
    AddProblemRow(tree, categories[13], 4);
    tree.Expand(categories[0], 0);
    tree.Expand(categories[13], 0);
    tree.SelectItem(tree.GetChildItem(categories[0]), 0, TRUE);
    tree.SetFocus();
    tree.SetRedraw(TRUE);
    tree.UpdateWindow();

    EXPECT_EQ(2, tree.GetCheck(categories[0]));
    EXPECT_EQ(2, tree.GetCheckedChildCount(categories[0]));
    EXPECT_EQ(15 + 5, tree.GetCount());
    EXPECT_EQ(15 + 5, tree.GetVisibleCount());

    const wchar_t* pszHold = _wgetenv(L"TAMSEL_TREELIST_HOLD_MS");
    if (pszHold != NULL)
        PumpTreeList((DWORD)_wtoi(pszHold));
    dlg.DestroyWindow();
}
