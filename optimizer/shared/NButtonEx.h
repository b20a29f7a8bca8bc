#pragma once
// A push button drawn from four bitmaps (normal, hover, pressed, disabled)
// with its caption over them and an optional tooltip. The privacy library's
// buttons (STYLE_PRIVACY) keep their tooltip active: another part of the
// program may deactivate the shared tooltip class, so they activate it again
// when they set the text and before each relayed mouse message.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CNButtonEx : public CButton
{
public:
    enum { DRAW_NOTHING = -1, DRAW_BITMAPS = 2 };
    enum LibraryStyle { STYLE_OPTIMIZER, STYLE_PRIVACY };
    explicit CNButtonEx(LibraryStyle eStyle = STYLE_OPTIMIZER);
    LibraryStyle GetLibraryStyle() const { return m_eStyle; }

    // Creates the button at run time; a mode with bit 0 or 1 set makes it
    // owner-drawn.
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, int nMode, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CButton::Create;
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
    LibraryStyle m_eStyle;
    BOOL m_bCreatingWithMode;
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
