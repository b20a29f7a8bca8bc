#pragma once
// The evidence catalogue as a tree with three-state check boxes, an icon per
// node and, at the right, the number of traces found per node with a small
// animation while an item is being scanned. It paints every visible row
// itself, keeps parents' boxes consistent with their children and collects
// the checked items into the scan list. Everything runs on the window's own
// thread; calls from another thread are handed over to it.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"

class CEvidenceItem;

class CMyTreeCtrl : public CTreeCtrl
{
public:
    enum { STATE_NONE = 0, STATE_UNCHECKED = 1, STATE_PARTLY = 2, STATE_CHECKED = 3 };
    enum { TIMER_ANIMATION = 1000, ANIMATION_MS = 500, ANIMATION_FRAMES = 8 };
    enum { BITMAP_SCANNING = 187, BITMAP_DONE = 188 };

    CMyTreeCtrl();
    ~CMyTreeCtrl() override;

    // Expand boxes and check boxes; a blank state image list keeps the
    // tree's own layout room for the box this control draws.
    BOOL SetBitmaps(UINT nExpandID, UINT nCheckID);
    // The catalogue's 37 images, 16 x 16, in image order.
    static BOOL LoadCatalogueImages(CImageList& images);
    void SetTextFont(CFont* pFont);

    // Inserts the node and its subtree under hParent (TVI_ROOT for a root).
    HTREEITEM InsertItemTree(CEvidenceItem* pNode, HTREEITEM hParent);

    int GetCheckState(HTREEITEM hItem) const;
    // Sets the state; descendants follow when bPropagate is set (for states 1
    // and up), ancestors always.
    void SetCheckState(HTREEITEM hItem, int nState, BOOL bPropagate);
    // Checks the first node with that id in the subtree (node, then its
    // children; from a root, the roots after it too); FALSE when none.
    BOOL CheckItemById(CEvidenceItem* pSubtree, int nStringID);
    // Every root of the chain and all below it.
    void CheckAll(CEvidenceItem* pFirstRoot);
    void UncheckAll(CEvidenceItem* pFirstRoot);

    // Clears the counts of the subtree, lays out their count column with the
    // extent of "67890", and appends every checked item to the scan list.
    void PrepareScan(CEvidenceItem* pSubtree, int nTextWidth, int nTextHeight);
    // Counts of every node back to empty (no number shown).
    void ClearCounts(CEvidenceItem* pFirstRoot);
    void ClearScanList();
    CEvidenceItem* GetScanList() const { return m_pScanFirst; }
    int GetScanListCount() const;
    // Drops the items after pItem (a stopped scan cleans only what it listed).
    void CutScanListAfter(CEvidenceItem* pItem);
    // Adds rows found for an item; its program and root count them too.
    void AddFound(CEvidenceItem* pItem, int nRows);

    void StartItemAnimation(CEvidenceItem* pNode);
    void StopItemAnimation();
    CEvidenceItem* GetAnimatedNode() const { return m_pAnimated; }
    int GetAnimationFrame() const { return m_nFrame; }
    // The thread that set the animation timer last (0 when none was set).
    DWORD GetTimerThreadId() const { return m_dwTimerThread; }

    // Node texts from the language file, cut to what a node holds.
    void SwitchLanguage(CEvidenceItem* pSubtree, LPCWSTR lpszLanguageFile);

    // Where the node's count and, for items, its status icon are drawn; FALSE
    // when its row is not visible.
    BOOL GetCountRect(CEvidenceItem* pNode, CRect& rcCount, CRect& rcIcon) const;
    // Where the check box of a visible item is drawn.
    BOOL GetCheckBoxRect(HTREEITEM hItem, CRect& rc) const;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    BOOL IsOwnThread() const;
    void SetStateImage(HTREEITEM hItem, int nState);
    void SetDescendants(HTREEITEM hItem, int nState);
    void UpdateAncestors(HTREEITEM hItem, int nState);
    void SetSubtreeState(CEvidenceItem* pNode, int nState);
    void ToggleCheck(HTREEITEM hItem);
    void PrepareNode(CEvidenceItem* pNode, int nTextWidth, int nTextHeight);
    void InvalidateNode(CEvidenceItem* pNode);
    void SetStatusUp(CEvidenceItem* pNode, int nStatus);
    int CountColumnRight() const;
    void PaintRow(CDC& dc, HTREEITEM hItem, int nContentRight, COLORREF& crText);
    void DrawFrame(CDC& dc, CBitmap& bmp, int nFrame, int nFrameWidth, int nFrameHeight, const CRect& rcBox,
                   DWORD dwRop);

    CFont* m_pFont;
    CBitmap m_bmpExpand;
    CBitmap m_bmpCheck;
    CBitmap m_bmpScanning;
    CBitmap m_bmpDone;
    CImageList m_stateImages;
    int m_nExpandWidth, m_nExpandHeight;
    int m_nCheckWidth, m_nCheckHeight;
    CEvidenceItem* m_pScanFirst;
    CEvidenceItem* m_pScanLast;
    CEvidenceItem* m_pAnimated;
    int m_nFrame;
    DWORD m_dwTimerThread;
    UINT m_nLastHitFlags;
    BOOL m_bLastClickOnBox;
};
