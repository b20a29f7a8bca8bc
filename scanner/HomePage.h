#pragma once
// The home page: the 15 scan-category switches and Scan Now. A plain form of
// the page until the scanner's own arrives.
#include "app/PageStandIn.h"
#include "framework/Controls.h"

#define HOME_CATEGORY_COUNT 15

class CHomePage : public CStandInPage
{
public:
    CHomePage();

    // Control ids of the category boxes, in key order.
    static const UINT s_nCategoryBoxes[HOME_CATEGORY_COUNT];

    // Copies the 15 boxes into the application's scan-category switches.
    void StoreCategorySwitches();

    CButton m_chkCategory[HOME_CATEGORY_COUNT];
    CButton m_chkSelectAll;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    void UpdateSelectAll();

    afx_msg void OnScanNow();
    afx_msg void OnSelectAll();
    afx_msg void OnCategory(UINT nID);

    CFont m_fontHeading;

    DECLARE_MESSAGE_MAP()
};
