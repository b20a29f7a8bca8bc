#pragma once
// The ignore list page: the entries of IgnoreList.dat, one row each, and a
// Remove button that takes the selected entry off the list.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"

class CTamselApp;

class CIgnoreListPage : public CDialog
{
public:
    enum { IDD = 235 };

    CIgnoreListPage();
    virtual ~CIgnoreListPage();

    // The display name of the category whose index (number - 1) starts the
    // text; an index outside 0 to 14 gives the name of category 1.
    CString GetCategoryName(const CString& strIndex) const;

    afx_msg void OnRemove();

    CBrush m_brWhite;
    CTamselApp* m_pApp;
    CButtonST m_btnRemove;
    CBorderListCtrl m_list;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void FillList();
    void ShowRemoveCaption();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CFont m_fontTitle;

    DECLARE_MESSAGE_MAP()
};
