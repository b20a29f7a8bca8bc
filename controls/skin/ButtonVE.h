#pragma once
// Owner-drawn push button that looks like a themed push button when visual
// styles are active, fades between its looks, and polls the mouse for its
// hover state. CButtonVE_Image and CButtonVE_Task build on it.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include "controls/skin/AlphaBlender.h"
#include "controls/skin/BitmapDC.h"

#include <uxtheme.h>

class CButtonVE : public CButton
{
public:
    CButtonVE();
    ~CButtonVE() override;

    void SetMargins(int cx, int cy) { m_sizeMargins = CSize(cx, cy); }
    // Gets a copy of every click command when it is not the parent.
    void SetNotifyWindow(HWND hWnd) { m_hNotifyWnd = hWnd; }
    void SetBackgroundColor(COLORREF crBackground);
    void Repaint();

    BOOL IsHot() const { return m_bHot; }
    int GetVisualState() const { return m_nVisualState; }
    BOOL GetChecked() const { return m_bChecked; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

    // Timer of the hover poll and the fades.
    enum { HOVER_TIMER_ID = 200, HOVER_TIMER_MS = 50 };

protected:
    virtual CSize CalcTextSize(CDC* pDC, const CString& strText, UINT nFlags);
    virtual void DrawCaptionText(CDC* pDC, HTHEME hTheme, UINT nUIState, const CString& strText, CRect rcText,
                                 UINT nFlags, BOOL bEnabled);
    virtual void DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect& rcClient, const CRect& rcContent,
                             CRect rcText, UINT nFlags, BOOL bEnabled);
    virtual void DrawThemedBackground(CDC* pDC, CDC* pWorkDC, HTHEME hTheme, int nState, const CRect& rect,
                                      CRect& rcContent);
    virtual void DrawTransition(CDC* pDC, CDC* pWorkDC, HTHEME hTheme, int nState, const CRect& rect,
                                const CRect& rcContent);
    virtual void DrawPlainBackground(CDC* pDC, CDC* pWorkDC, BOOL bDefault, UINT nFrameFlags, const CRect& rect,
                                     CRect& rcContent);
    virtual LRESULT OnUIStateChanged(WPARAM wParam, LPARAM lParam);
    // The "Button" theme data while the application is themed, else NULL
    // (the plain look); the caller closes it.
    virtual HTHEME OpenButtonTheme();

    // "&&" becomes "&", a single "&" goes.
    static CString StripMnemonics(const CString& strText);
    BOOL IsAnimationSupported();
    BOOL HotTest() const;
    void FillBackground(CDC* pWorkDC, const CRect& rect);
    void DropPreviousLook();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CAlphaBlender m_alphaBlender;
    int m_nAnimationSupport;
    BOOL m_bHoverTimer;
    BOOL m_bSelfOwned;
    BOOL m_bHot;
    CSize m_sizeMargins;
    HWND m_hNotifyWnd;
    int m_nVisualState;
    BOOL m_bChecked;
    CBitmap m_bmpPrevious;
    int m_nTransitionSteps;
    int m_nTransitionAlpha;
    BOOL m_bCustomBackground;
    COLORREF m_crBackground;
    HBRUSH m_hParentBrush;
};
