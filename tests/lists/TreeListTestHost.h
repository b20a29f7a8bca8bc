#pragma once
// A dialog holding one tree list (control 1113, the result page's id), which
// records every notification the tree sends and answers with set values.
#include "framework/Afx.h"
#include "controls/lists/TreeListCtrl.h"
#include "tests/lists/TreeListTestIds.h"

#include <map>
#include <vector>

struct TreeListNote
{
    UINT nCode;
    CTreeListItem* pItem;
    int nValue;
    CTreeListItem* pSelectedThen;  // the tree's selection when the note came
};

class CTreeListTestDialog : public CDialog
{
public:
    CTreeListTestDialog() : CDialog(IDD_TREELIST_TEST) {}
    BOOL OnInitDialog() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    int CountNotes(UINT nCode) const;

    CTreeListCtrl m_tree;
    std::vector<TreeListNote> m_notes;
    std::map<UINT, LRESULT> m_answers;  // by code; -1 vetoes
};

// Creates the dialog shown at the screen's top-left and pumps until painted.
bool ShowTreeListTestDialog(CTreeListTestDialog& dlg);
// Pumps this thread's messages for a while.
void PumpTreeList(DWORD dwMilliseconds);
// The result page's set-up: style 0xEC00C1 and one 578-pixel column.
void SetUpResultStyle(CTreeListCtrl& tree, int nColumnWidth = 578);
// A problem row as the scanner writes it.
CString ProblemMarkup(int n);
// AddProblem's calls on the window's thread.
CTreeListItem* AddProblemRow(CTreeListCtrl& tree, CTreeListItem* pCategory, int n);
