#pragma once
// The column header of CTreeListCtrl: a band at the top of the tree list that
// has a height only while the tree list's header style is on; then it shows
// the headings and sizes columns by dragging their dividers.
#include "framework/Afx.h"

#define TREELIST_HEADER_CLASSNAME L"ZevidAVO.TreeListHeaderCtrl"
// Layout request from the tree list: lParam points to a RECT in the tree
// list's client coordinates; the header takes its band at the top.
#define WM_TREELIST_HEADER_LAYOUT (WM_USER + 3589)

// Header style bits (mirrored from the tree list's style).
#define TLHS_SHOWHEAD   0x1
#define TLHS_DRAGDROP   0x2
#define TLHS_FULLDRAG   0x4
#define TLHS_HOTTRACK   0x8

class CTreeListCtrl;

class CTreeListHeaderCtrl : public CWnd
{
public:
    CTreeListHeaderCtrl();
    virtual ~CTreeListHeaderCtrl();

    BOOL Create(DWORD dwStyle, const RECT& rect, CTreeListCtrl* pTreeList, UINT nID);
    void UpdateFont();
    int SetHeight(int nHeight);
    int GetHeight() const;
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD SetStyle(DWORD dwStyle);
    CFont* GetFont() { return &m_font; }
    // The column whose right divider lies near x (client), or -1.
    int DividerAt(int x) const;
    BOOL IsTracking() const { return m_nTrackColumn >= 0; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Paint(HDC hDC, const CRect& rcClient);

    COLORREF m_crColors[5];
    CFont m_font;
    int m_nHeight;
    DWORD m_dwStyle;
    BOOL m_bCreated;
    BOOL m_bOffScreen;
    HCURSOR m_hSizeCursor;
    HCURSOR m_hDragCursor;
    HCURSOR m_hArrowCursor;
    CImageList m_imlArrows;   // 8-pixel images
    CImageList m_imlImages;   // 16-pixel column images
    CImageList* m_pColumnImages;
    CTreeListCtrl* m_pTreeList;
    int m_nTrackColumn;
    int m_nTrackStartX;
};
