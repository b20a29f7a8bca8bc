#pragma once
// A strip of bitmap tabs over the parent's own background. A click selects a
// tab and posts SKINTAB_SELCHANGE (lParam: the tab) to the parent.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include <atomic>
#include <memory>
#include <vector>

const UINT SKINTAB_SELCHANGE = WM_USER + 100;

class CSkinTab : public CStatic
{
public:
    CSkinTab();
    ~CSkinTab() override;

    // Drops every tab and makes n empty ones.
    void SetTabCount(int nCount);
    int GetTabCount() const { return (int)m_tabs.size(); }
    // Out-of-range indexes are ignored by every setter.
    void SetTabRect(int nIndex, int nLeft, int nTop, int nRight, int nBottom);
    BOOL SetTabBitmaps(int nIndex, UINT nNormalID, UINT nHoverID, UINT nSelectedID);
    void SetTabTooltip(int nIndex, LPCWSTR lpszText);
    CString GetTabTooltip(int nIndex) const;
    // Selects without telling the parent.
    void SetCurSel(int nIndex);
    int GetCurSel() const { return m_nCurSel; }
    int GetHoverTab() const { return m_nHover; }
    void SetTooltip(LPCWSTR lpszText, BOOL bEnable);
    void RelayEvent(MSG* pMsg);
    CToolTipCtrl& GetToolTip() { return m_tip; }
    // Forgets the background taken, so the next paint takes it anew.
    void ResetBackground();
    // While set (by the owner, e.g. during a scan that must keep its tab in
    // front) a click selects nothing and tells the parent nothing.
    void SetClicksBlocked(BOOL bBlocked) { m_bClicksBlocked = bBlocked != FALSE; }
    BOOL AreClicksBlocked() const { return m_bClicksBlocked ? TRUE : FALSE; }

protected:
    void PreSubclassWindow() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    struct CTabInfo
    {
        CRect rect;
        CBitmap bitmaps[3];  // normal, hover, selected
        CString strTooltip;
    };
    int HitTest(CPoint point) const;
    BOOL TakeBackground();

    std::vector<std::unique_ptr<CTabInfo>> m_tabs;
    int m_nCurSel;
    int m_nHover;
    CDC m_dcBack;
    CBitmap m_bmpBack;
    HGDIOBJ m_hOldBack;
    BOOL m_bBackTaken;
    CToolTipCtrl m_tip;
    BOOL m_bTipEnabled;
    CString m_strTip;
    std::atomic<bool> m_bClicksBlocked;
};
