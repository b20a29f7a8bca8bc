#pragma once
// Owner-drawn push button and check box of the pages: one or two bitmaps (or
// icons) with a transparent colour, drawn over the parent's skin, a hover
// look, a tooltip, and optionally a cursor, a popup menu, a URL and sounds.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include "controls/skin/MemDC.h"

// Status codes of the setters.
#define BTNST_OK 0
#define BTNST_INVALIDRESOURCE 1
#define BTNST_FAILEDMASK 2
#define BTNST_INVALIDINDEX 3
#define BTNST_INVALIDALIGN 4
#define BTNST_BADPARAM 5
#define BTNST_INVALIDPRESSEDSTYLE 6

// Image "out" arguments that derive the normal image from the hovered one.
#define BTNST_AUTO_GRAY ((UINT)-2)
#define BTNST_AUTO_DARKER ((UINT)-3)

class CButtonST : public CButton
{
public:
    // Colour slots.
    enum
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN,
        BTNST_COLOR_BK_OUT,
        BTNST_COLOR_FG_OUT,
        BTNST_COLOR_BK_FOCUS,
        BTNST_COLOR_FG_FOCUS,
        BTNST_MAX_COLORS
    };
    // Image placement.
    enum
    {
        ST_ALIGN_HORIZ = 0,
        ST_ALIGN_VERT,
        ST_ALIGN_HORIZ_RIGHT,
        ST_ALIGN_OVERLAP
    };
    // A check box caption without picture starts this far right: the 13-pixel box and a gap.
    enum
    {
        CHECKBOX_TEXT_OFFSET = 16
    };

    CButtonST();
    ~CButtonST() override;

    // Images. "In" is shown while hovered or pressed, "out" otherwise.
    DWORD SetBitmaps(UINT nBitmapIn, COLORREF crTransColorIn, UINT nBitmapOut = 0, COLORREF crTransColorOut = 0);
    DWORD SetBitmapHandles(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut = NULL,
                           COLORREF crTransColorOut = 0);
    DWORD SetIcons(UINT nIconIn, int cxIn, int cyIn, UINT nIconOut, int cxOut, int cyOut);
    DWORD SetIcons(UINT nIconIn, UINT nIconOut);
    DWORD SetIconHandles(HICON hIconIn, HICON hIconOut = NULL);

    // Check boxes.
    DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
    // -1 for a push button.
    int GetCheck() const;
    // The layout of what the button draws, for callers that place or check it.
    CSize GetBitmapSize() const { return CSize((int)m_csBitmaps[0].dwWidth, (int)m_csBitmaps[0].dwHeight); }
    int GetAlign() const { return m_byAlign; }
    CPoint GetImageOrigin() const { return CPoint(m_ptImageOrg); }

    // Look.
    DWORD DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawTransparent(BOOL bRepaint = FALSE);
    DWORD SetBk(CDC* pDC);
    DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
    DWORD SetAlign(BYTE byAlign, BOOL bRepaint = TRUE);
    DWORD SetPressedStyle(BYTE byStyle, BOOL bRepaint = TRUE);
    DWORD SetDefaultColors(BOOL bRepaint = TRUE);
    DWORD SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE byColorIndex, COLORREF* pcrColor);
    DWORD OffsetColor(BYTE byColorIndex, short shOffset, BOOL bRepaint = TRUE);
    DWORD DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
    DWORD SetAlwaysTrack(BOOL bAlwaysTrack = TRUE);
    BOOL GetDefault() const { return m_bIsDefault; }
    // Resizes the window to the first icon, else the first bitmap.
    DWORD SizeToContent();

    // Tooltip.
    void SetTooltipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
    void SetTooltipText(UINT nText, BOOL bActivate = TRUE);
    void ActivateTooltip(BOOL bActivate = TRUE);
    DWORD EnableBalloonTooltip();
    // Made on first use: a page full of buttons would otherwise open a
    // tooltip window per button before anyone points at one.
    CToolTipCtrl& GetToolTip();

    // Extras.
    DWORD SetBtnCursor(UINT nCursorId, BOOL bRepaint = TRUE);
    DWORD SetURL(LPCTSTR lpszURL);
    DWORD SetButtonMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint = TRUE);
    DWORD SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam = 0);
    // nSound: a resource id with a module, or a file name (hModule NULL).
    DWORD SetSound(LPCTSTR lpszSound, HMODULE hModule = NULL, BOOL bPlayOnClick = FALSE, BOOL bAsync = TRUE);

    BOOL IsMouseOnButton() const { return m_bMouseOnButton; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PreSubclassWindow() override;

    virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
    virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);
    virtual void DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);
    virtual void DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                               BOOL bIsDisabled);
    virtual void DrawTheText(CDC* pDC, LPCTSTR lpszText, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnCancelMode();
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg UINT OnGetDlgCode();
    afx_msg BOOL OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    struct IconRecord
    {
        HICON hIcon;
        DWORD dwWidth;
        DWORD dwHeight;
    };
    struct BitmapRecord
    {
        HBITMAP hBitmap;
        DWORD dwWidth;
        DWORD dwHeight;
        HBITMAP hMask;
        COLORREF crTransparent;
    };
    struct MenuCallback
    {
        HWND hWnd;
        UINT nMessage;
        WPARAM wParam;
        LPARAM lParam;
    };
    struct SoundRecord
    {
        WCHAR szSound[MAX_PATH];
        LPCWSTR lpszSound;
        HMODULE hModule;
        DWORD dwFlags;
    };

    void FreeResources(BOOL bCheckForNULL = TRUE);
    void CancelHover();
    void EnsureToolTip();
    void PaintBk(CDC* pDC);
    void ReleaseBackground();
    void PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, DWORD dwWidth, DWORD dwHeight,
                          CRect* rpImage);
    void DrawCheckBoxFace(CDC* pDC, const CRect& rcFace);
    static HBITMAP CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor);
    void Repaint(BOOL bRepaint);

public:
    // Derived images: grey (luminance) or darker by a quarter; the transparent
    // colour (bitmaps) or black (icon colour planes) stays as it is.
    static HBITMAP CreateDerivedBitmap(HBITMAP hSource, COLORREF crTransColor, BOOL bGray, BOOL bKeepBlack = FALSE);
    static HICON CreateDerivedIcon(HICON hSource, BOOL bGray);

private:
    COLORREF m_crCheckBoxFrame;
    COLORREF m_crCheckMark;
    BOOL m_bShowDisabledBitmap;
    POINT m_ptImageOrg;
    POINT m_ptPressedOffset;
    BOOL m_bIsFlat;
    BOOL m_bMouseOnButton;
    BOOL m_bDrawTransparent;
    BOOL m_bIsPressed;
    BOOL m_bIsFocused;
    BOOL m_bIsDisabled;
    BOOL m_bIsDefault;
    BOOL m_bIsCheckBox;
    BYTE m_byAlign;
    BOOL m_bDrawBorder;
    BOOL m_bDrawFlatFocus;
    COLORREF m_crColors[BTNST_MAX_COLORS];
    HWND m_hParentWndMenu;
    BOOL m_bMenuDisplayed;
    HMENU m_hMenu;
    HCURSOR m_hCursor;
    CToolTipCtrl m_ToolTip;
    CDC m_dcBk;
    CBitmap m_bmpBk;
    HGDIOBJ m_hOldBk;
    BOOL m_bAlwaysTrack;
    int m_nCheck;
    UINT m_nTypeStyle;
    DWORD m_dwToolTipStyle;
    CString m_strToolTip;
    BOOL m_bToolTipWanted;
    BOOL m_bToolTipActive;
    WCHAR m_szURL[MAX_PATH];
    IconRecord m_csIcons[2];
    BitmapRecord m_csBitmaps[2];
    MenuCallback m_csCallbacks;
    SoundRecord m_csSounds[2];
};
