#pragma once
// A flat owner-drawn push button of the navigation bars: icon, caption,
// tooltip and a hot look while the pointer is over it.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"

class CGuiToolButton : public CButton
{
public:
    // Caption layout: icon ICON_LEFT pixels in, the caption TEXT_GAP pixels right of it.
    enum
    {
        ICON_LEFT = 5,
        TEXT_GAP = 6,
        TEXT_RIGHT_MARGIN = 2
    };
    CGuiToolButton();
    virtual ~CGuiToolButton();

    virtual void SetStyle(DWORD dwStyle, BOOL bTransparent = TRUE);
    void SetCaption(const CString& strCaption);
    const CString& GetCaption() const { return m_strCaption; }
    // Where the caption starts, in client pixels.
    int GetTextLeft() const;
    void SetIcon(HICON hIcon);
    void SetToolTip(LPCTSTR lpszToolTip);
    CSize GetSizeButton();
    void SetShadow(BOOL bShadow) { m_bShadow = bShadow; }
    void SetCenterIcon(BOOL bCenter) { m_bCenterIcon = bCenter; }
    void SetTextColor(COLORREF clr) { m_clrText = clr; }
    void SetMenu(HMENU hMenu) { m_hMenu = hMenu; }
    void ShowMenu();

    BOOL IsHot() const { return m_bHot; }
    DWORD GetStyle() const { return m_dwStyle; }
    // The tooltip window is made on first use: a bar of items would otherwise
    // open a top-level window per item at start-up.
    CToolTipCtrl& GetToolTip();

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void PreSubclassWindow();
    void RecalSize();
    void RepaintInParent();
    void CreateToolTip();

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    DWORD m_dwStyle;
    BOOL m_bTransparent;
    CToolTipCtrl m_toolTip;
    CString m_strToolTip;
    BOOL m_bToolTipSet;
    BOOL m_bToolTipActive;
    HICON m_hIcon;
    CSize m_sizeIcon;
    CSize m_sizeText;
    CString m_strCaption;
    BOOL m_bHot;
    BOOL m_bResizePermitted;
    CSize m_sizeButton;
    BOOL m_bShadow;
    BOOL m_bCenterIcon;
    COLORREF m_clrText;
    BOOL m_bFrame;
    HMENU m_hMenu;

    DECLARE_MESSAGE_MAP()
};
