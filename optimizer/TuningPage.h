#pragma once
// What the four tuning pages of the wizard share: three steps (choose an
// option, review, finish text), application through CRegistry, white look.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "optimizer/Registry.h"
#include "optimizer/shared/SkinRadioButton.h"

class CTuningPage : public CDialog
{
public:
    enum { STEP_CHOOSE = 0, STEP_REVIEW = 1, STEP_FINISH = 2, STEP_APPLY = 3 };
    explicit CTuningPage(UINT nIDTemplate);

    UINT GetTemplateID() const { return m_nIDTemplate; }
    int GetStep() const { return m_nStep; }
    // 0 to 2 show that step; 3 applies the wizard's choice and tells the result.
    void SetStep(int nStep);
    // The writes of the chosen option, limited to the rows left checked.
    virtual void ApplyWizard(CRegistry& reg) = 0;
    // All writes of one option id of the one-click settings; FALSE for an id
    // that is not one of this page's.
    virtual BOOL ApplyOption(UINT nOptionID, CRegistry& reg) = 0;
    virtual void RestoreDefault(CRegistry& reg) = 0;
    virtual void SwitchLanguage() = 0;

protected:
    virtual void ShowStep(int nStep) = 0;
    void ShowControls(const UINT* pIDs, int nCount, BOOL bShow);
    // Subclasses, links and gives the bitmap to a group of radios; checks one.
    void SetUpRadios(CSkinRadioButton* pRadios, const UINT* pIDs, int nCount, int nChecked);
    static int CheckedRadio(const CSkinRadioButton* pRadios, int nCount);
    void SetText(UINT nID, const CString& strText);
    // A check-box review list with full-row selection.
    void SetUpReviewList(CListCtrl& list, UINT nID);
    // The item column takes the list's width left by the others, so no column
    // runs past the list's edge; called once the rows are in.
    void FitReviewColumns(CListCtrl& list);
    void AddReviewRow(CListCtrl& list, const CString& strText, int nCode);

    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    UINT m_nIDTemplate;
    int m_nStep;
    CBrush m_brWhite;
};
