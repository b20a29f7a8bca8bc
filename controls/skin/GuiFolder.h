#pragma once
// The folder bar of the main window's navigation: a stack of named folders,
// one open. Headers of the folders up to the open one stack at the top, the
// others at the bottom; the open folder's child window fills the space.
#include "framework/Afx.h"
#include "framework/Collections.h"
#include "framework/ImageList.h"
#include "framework/ToolTipCtrl.h"

struct FolderRecord
{
    CWnd* pChild;  // not owned
    CString strName;
    int nImage;
    CRect rcHeader;
    BOOL bAtTop;
};

// Header states of CGuiFolder::DrawFolder.
#define GUIFOLDER_HOT 0
#define GUIFOLDER_PRESSED 1
#define GUIFOLDER_NORMAL 2

class CGuiFolder : public CWnd
{
public:
    // Header layout: the image's left edge, and the gap on either side of the caption.
    enum
    {
        CAPTION_IMAGE_LEFT = 6,
        CAPTION_GAP = 4
    };
    CGuiFolder();
    virtual ~CGuiFolder();

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual void DrawFolder(FolderRecord* pFolder, int nState);
    virtual void SetStyle(DWORD dwStyle);

    void SetImageList(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    void AddFolder(CWnd* pWnd, LPCTSTR lpszName, int nImage);
    void SelectFolder(int nIndex);
    void SetFolderText(int nIndex, const CString& strName);
    void DeleteFolder(int nIndex, BOOL bRepaint);
    void RemoveAllFolders();
    void SetPlainText(BOOL bPlainText) { m_bPlainText = bPlainText; }

    int GetFolderCount() const { return m_nCount; }
    int GetOpenFolder() const { return m_nOpen; }
    int GetHotFolder() const { return m_nHot; }
    FolderRecord* GetFolder(int nIndex) const;
    CToolTipCtrl& GetToolTip() { return m_toolTip; }
    void RecalLayout();

    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    void MoveFolders();
    int HitTestHeader(CPoint point) const;
    void EnsureToolTip();
    void DrawFolderIndex(int nIndex, int nState);

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();

    CImageList m_imageList;
    DWORD m_dwStyle;
    CPtrArray m_arrFolders;
    CToolTipCtrl m_toolTip;
    int m_nCount;
    int m_nOpen;
    int m_nHot;
    int m_nBottomEdge;
    int m_nTopEdge;
    int m_nPreviousOpen;
    BOOL m_bPlainText;
    static int s_nLastHot;

    DECLARE_MESSAGE_MAP()
};
