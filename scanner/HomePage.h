#pragma once
// The home page: the 15 scan-category switches and Scan Now.
#include "app/SkinDialog.h"
#include "framework/Gdi.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/TextLabel.h"

#define HOME_CATEGORY_COUNT 15

class CTamselApp;

class CHomePage : public CSkinDialog
{
public:
    CHomePage();

    // Control ids of the category boxes, in key order.
    static const UINT s_nCategoryBoxes[HOME_CATEGORY_COUNT];
    static const UINT s_nCategoryBitmaps[HOME_CATEGORY_COUNT];

    // Copies the 15 boxes into the application's scan-category switches.
    void StoreCategorySwitches();
    // Boxes a 64-bit Windows does not scan: disabled and unchecked.
    BOOL IsBlockedOnWow64(int nKeySlot) const;
    void UpdateSelectAll();
    void SetButtonsBk(CDC* pMemDC) override;

    CButtonST m_chkCategory[HOME_CATEGORY_COUNT];
    CButtonST m_chkSelectAll;
    CButtonST m_btnScanNow;
    CTextLabel m_lblTitle;
    CTextLabel m_lblText;
    CTextLabel m_lblSelect;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnScanNow();
    afx_msg void OnSelectAll();
    afx_msg void OnCategory(UINT nID);

    CTamselApp* m_pApp;
    CBrush m_brWhite;

    DECLARE_MESSAGE_MAP()
};
