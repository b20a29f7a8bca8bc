#pragma once
// A push button drawn from four bitmaps (normal, hover, pressed, disabled)
// with its caption over them and an optional tooltip.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CNButtonEx : public CButton
{
public:
    enum { DRAW_NOTHING = -1, DRAW_BITMAPS = 2 };
    CNButtonEx();
    ~CNButtonEx() override;

    BOOL SetBitmaps(UINT nNormalID, UINT nHoverID, UINT nPressedID, UINT nDisabledID, int nWidth, int nHeight,
                    int nMode);
    // The text is cut to 63 characters.
    void SetTooltipText(LPCWSTR lpszText, BOOL bEnable);
    void DeleteTooltip();
    void EnableButton(BOOL bEnable);
    BOOL IsButtonEnabled() const { return m_bEnabled; }
    BOOL IsHovering() const { return m_bHover; }
    void RelayEvent(MSG* pMsg);
    CToolTipCtrl& GetToolTip() { return m_tip; }
    LPCWSTR GetTooltipText() const { return m_szTip; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PreSubclassWindow() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bHover;
    BOOL m_bTracking;
    int m_nMode;
    CBitmap m_bitmaps[4];
    int m_nWidth;
    int m_nHeight;
    BOOL m_bEnabled;
    CToolTipCtrl m_tip;
    BOOL m_bTipEnabled;
    WCHAR m_szTip[64];
    CFont m_font;
};
