#pragma once
// Thin control bars over the common toolbar and status bar: created as
// children along an edge of their parent, with their borders and panes.
// No docking and no frame windows: m_pDockSite stays NULL.
#include "framework/Wnd.h"

class CControlBar : public CWnd
{
public:
    CControlBar();
    void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom);
    BOOL IsDocked() const { return m_pDockSite != NULL; }

    CWnd* m_pDockSite;
    int m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder;
};

class CToolBar : public CControlBar
{
public:
    // A flat toolbar along the top (CBRS_TOP is the default alignment).
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CCS_TOP, UINT nID = 0xE800);
    // Ids in order; ID_SEPARATOR (0) gives a separator. The images are the
    // bitmap's 16 x 15 cells in the order of the non-separator ids.
    virtual BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    BOOL LoadBitmap(UINT nIDResource, int cxImage = 16, int cyImage = 15);
    int CommandToIndex(UINT nIDFind) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    int GetCount() const;
};

class CStatusBar : public CControlBar
{
public:
    CStatusBar();
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CCS_BOTTOM, UINT nID = 0xE801);
    // One pane per id; the first pane stretches, the others are 100 pixels.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText);
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    int GetCount() const;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    void LayoutPanes();
    int m_nCount;
    DECLARE_MESSAGE_MAP()
};
