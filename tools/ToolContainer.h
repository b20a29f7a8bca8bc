#pragma once
// The two-tab container of the startup and browser helper object managers:
// a header picture, the tabs "Remove" and "Restore", and a page area in which
// one of its two pages is visible. Each visit starts on the "Remove" page
// with a fresh list.
#include "framework/Afx.h"
#include "framework/Gdi.h"
#include "framework/Static.h"
#include "controls/skin/ButtonST.h"

class CToolContainer : public CDialog
{
public:
    // One page of the table: the page (not owned), its template and name.
    struct PageInfo
    {
        CDialog* pPage;
        UINT nIDTemplate;
        CString strName;
    };

    CToolContainer(UINT nIDTemplate, CWnd* pParent = NULL);
    virtual ~CToolContainer();

    // FALSE, and nothing added, once the container's window exists.
    BOOL AddPage(CDialog* pPage, UINT nIDTemplate, LPCTSTR pszName);
    BOOL ShowPage(int nIndex, CWnd* pParent = NULL);
    int GetCurPage() const { return m_nCurPage; }
    int GetPageCount() const { return (int)m_arrPages.GetSize(); }
    const CRect& GetPageRect() const { return m_rcPage; }
    UINT GetTemplateID() const { return m_nIDTemplate; }

    afx_msg void OnTabRemove();
    afx_msg void OnTabRestore();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void ResetTabs();
    static void SetTabColors(CButtonST& button, BOOL bSelected);
    void TakePageRect();
    void Translate();

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSize(UINT nType, int cx, int cy);

    UINT m_nIDTemplate;
    CArray<PageInfo*> m_arrPages;
    int m_nCurPage;
    CRect m_rcPage;
    CButtonST m_btnHelp;
    CButtonST m_btnRestore;
    CButtonST m_btnRemove;
    CStatic m_wndPlaceholder;
    CBrush m_brWhite;

    DECLARE_MESSAGE_MAP()
};
