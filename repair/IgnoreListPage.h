#pragma once
// The ignore list page: the entries of IgnoreList.dat, one row each (the
// list asks the page for the texts of the rows it shows), and a Remove
// button that takes the selected entry off the list. The row goes at once;
// the file is rewritten on a worker, since a long list is tens of megabytes.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"

#include <memory>

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
    // Whether the file is still being rewritten after a Remove.
    BOOL IsSaving() const { return m_pSave != NULL; }

    CBrush m_brWhite;
    CTamselApp* m_pApp;
    CButtonST m_btnRemove;
    CBorderListCtrl m_list;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void FillList();
    afx_msg void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void ShowRemoveCaption();

    struct SaveJob;
    // Waits for a rewrite still running. When it failed, the list is read
    // again from the file (which it left as it was) and, with bTell, the
    // user is told. FALSE when it failed.
    BOOL FinishSave(BOOL bTell);
    void OnSaveDone(std::shared_ptr<SaveJob> pJob);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnDestroy();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CFont m_fontTitle;
    std::shared_ptr<SaveJob> m_pSave;
    HANDLE m_hSaver;

    DECLARE_MESSAGE_MAP()
};
