#pragma once
// CTreeListCtrl: an owner-drawn tree with columns, check boxes that roll up
// and down, rich-text rows of measured height, and two links per row for the
// scan results. Window class "HTMLTreeList".
//
// Threads. The tree belongs to the thread that created its window and is only
// ever touched there:
//  - Every public member called from another thread is sent to the window's
//    thread and runs there (one SendMessage per call: about 0.3 ms under Wine,
//    so never call per row from a worker).
//  - Rows from a worker go through the feed: QueueRow/QueueDeleteAll append
//    to a locked queue and post one wake-up; the window's thread drains the
//    queue in batches and redraws once per batch. Rows name their parent by a
//    stable key (category number, say), never by an item pointer, because
//    the window's thread may delete items at any time.
//  - FlushQueue (any thread) returns when everything queued before it is in
//    the tree; from a worker it is one SendMessage, so the window's thread
//    must keep dispatching sent messages while it waits for that worker.
//  - Notices go to the parent as WM_NOTIFY with NMTREELIST; map them with the
//    TLN_* names (full 32-bit codes), e.g. ON_NOTIFY(TLN_OPENCLICK, 1113, fn).
//  - The painter's texts come from SetTextSource (the application passes its
//    language lookup once at start-up); English without one.
//
// Typical scan:
//     worker:  tree.QueueDeleteAll();
//              for each category n: tree.QueueRow(TreeListRow(n, 0, name));
//              for each problem:    row = TreeListRow(0, n, markup);
//                                   row.dwData = index; row.dwState = TLIS_CHECKBOX |
//                                   TLIS_OPENLINK | TLIS_IGNORELINK; row.nCheck = 1;
//                                   row.nImage = 0; tree.QueueRow(row);
//              tree.FlushQueue();
//     UI:      tree.FindItemByKey(n) gives the category item afterwards.
#include "framework/Afx.h"
#include "framework/Lock.h"
#include "controls/lists/TreeListItem.h"
#include "controls/lists/TreeListHeaderCtrl.h"
#include "controls/lists/HtmlMarkup.h"
#include <atomic>
#include <functional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#define TREELIST_CLASSNAME L"HTMLTreeList"

// Special item handles.
#define TLI_ROOT  ((CTreeListItem*)(ULONG_PTR)0xFFFF0001)
#define TLI_LAST  ((CTreeListItem*)(ULONG_PTR)0xFFFF0002)
#define TLI_FIRST ((CTreeListItem*)(ULONG_PTR)0xFFFF0003)
#define TLI_SORT  ((CTreeListItem*)(ULONG_PTR)0xFFFF0004)

// WM_NOTIFY codes, full 32-bit values (NMHDR::code).
#define TLN_ITEMCHECK      ((UINT)-427)
#define TLN_OPENCLICK      ((UINT)-429)
#define TLN_IGNORECLICK    ((UINT)-430)
#define TLN_SELCHANGING    ((UINT)-450)
#define TLN_SELCHANGED     ((UINT)-451)
#define TLN_ITEMEXPANDING  ((UINT)-454)
#define TLN_ITEMEXPANDED   ((UINT)-455)

// Hit-test flags.
#define TLHT_ONITEM        0x01
#define TLHT_ONBUTTON      0x02
#define TLHT_ONCHECKBOX    0x04
#define TLHT_ONIMAGE       0x08
#define TLHT_ONTEXT        0x10
#define TLHT_ONOPENLINK    0x40
#define TLHT_ONIGNORELINK  0x80

// Style bits (SetStyle).
#define TLC_TREE            0x00000001
#define TLC_BKGNDIMAGE      0x00000002
#define TLC_BKGNDCOLOR      0x00000004
#define TLC_DOUBLECOLOR     0x00000008
#define TLC_MULTIPLESELECT  0x00000010
#define TLC_SHOWSELACTIVE   0x00000040
#define TLC_SHOWSELFULLROWS 0x00000080
#define TLC_HEADER          0x00000100
#define TLC_HGRID           0x00000200
#define TLC_VGRID           0x00000400
#define TLC_TGRID           0x00000800
#define TLC_HGRID_EXT       0x00001000
#define TLC_VGRID_EXT       0x00002000
#define TLC_HGRID_FULL      0x00004000
#define TLC_TREELINE        0x00010000
#define TLC_ROOTLINE        0x00020000
#define TLC_BUTTON          0x00040000
#define TLC_CHECKBOX        0x00080000
#define TLC_IMAGE           0x00100000
#define TLC_HOTTRACK        0x00200000
#define TLC_OPENLINK        0x00400000
#define TLC_IGNORELINK      0x00800000
#define TLC_HEADDRAGDROP    0x10000000
#define TLC_HEADFULLDRAG    0x20000000
#define TLC_NOAUTOCHECK     0x40000000

// Column format bits.
#define TLF_TEXTALIGN_LEFT   0x00000100
#define TLF_TEXTALIGN_RIGHT  0x00000200
#define TLF_TEXTALIGN_CENTER 0x00000400
#define TLF_TEXTALIGN_TOP    0x00001000
#define TLF_TEXTALIGN_BOTTOM 0x00002000
#define TLF_TEXTALIGN_VCENTER 0x00004000
#define TLF_HIDDEN           0x10000000
#define TLF_DEFAULT          0x00104144

// The record sent with every notification.
struct NMTREELIST
{
    NMHDR hdr;
    CTreeListItem* pItem;
    int nValue;  // a column or the caller's value, by code
};

// One row for the feed (QueueRow).
struct TreeListRow
{
    TreeListRow() {}
    TreeListRow(UINT_PTR key, UINT_PTR parentKey, const CString& text)
        : nKey(key), nParentKey(parentKey), strText(text) {}

    UINT_PTR nKey = 0;        // names this row for later rows and FindItemByKey (0: unnamed)
    UINT_PTR nParentKey = 0;  // 0: top level; a key that names no row drops the row
    CString strText;          // column-0 text, rich-text markup
    DWORD_PTR dwData = 0;     // SetItemData
    DWORD dwState = 0;        // state bits to set (TLIS_CHECKBOX, TLIS_OPENLINK, ...)
    int nCheck = -1;          // -1 as inserted, else SetCheck(0/1)
    int nImage = -1;          // -1 none, else SetItemImage with this index in all four slots
};

// Texts the painter shows, by language key ("IDD_163_OPEN", "IDD_163_IGNORE",
// "IDD_163_SELECTED", "IDD_163_ITEMS"). Without a source the English texts are used.
typedef CString (*TREELIST_TEXT_SOURCE)(LPCWSTR pszKey);

class CTreeListCtrl : public CWnd
{
public:
    CTreeListCtrl();
    virtual ~CTreeListCtrl();

    // Creates the window (class "HTMLTreeList"); dialogs may instead subclass
    // a custom control of that class.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual void PreSubclassWindow();
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    static void SetTextSource(TREELIST_TEXT_SOURCE pfnSource);

    // ---- Style and columns --------------------------------------------------
    DWORD GetStyle();
    DWORD SetStyle(DWORD dwStyle);
    BOOL InsertColumn(LPCWSTR pszHeading, DWORD dwFormat = TLF_DEFAULT, int nWidth = 30, int nImage = -1,
                      int nMinWidth = 0, int nMaxWidth = 0);
    BOOL SetColumnWidth(int nColumn, int nWidth, int nMinWidth = 0, int nMaxWidth = 0);
    int GetColumnWidth(int nColumn);
    int GetColumnCount();
    CString GetColumnText(int nColumn);
    CString GetColumnSecondText(int nColumn);
    void SetColumnSecondText(int nColumn, LPCWSTR pszText);
    CTreeListHeaderCtrl* GetHeaderCtrl() { return &m_wndHeader; }
    CFont* GetFont() { return &m_font; }
    int SetItemHeight(int nHeight = -1);
    int GetItemHeight();

    // ---- Items --------------------------------------------------------------
    CTreeListItem* InsertItem(LPCWSTR pszText, CTreeListItem* pParent = TLI_ROOT, CTreeListItem* pAfter = TLI_LAST,
                              int nUnused1 = 1, int nUnused2 = 0);
    BOOL DeleteItem(CTreeListItem* pItem = TLI_ROOT);
    BOOL DeleteAllItems();
    // nCode: 0 expand, 1 collapse, 2 toggle, 3 collapse and delete the children.
    BOOL Expand(CTreeListItem* pItem, int nCode, int nValue = 0);
    BOOL ExpandItem(CTreeListItem* pItem, int nCode);

    CTreeListItem* GetRootItem();
    CTreeListItem* GetChildItem(CTreeListItem* pItem);
    CTreeListItem* GetNextSiblingItem(CTreeListItem* pItem);
    CTreeListItem* GetPrevSiblingItem(CTreeListItem* pItem);
    CTreeListItem* GetParentItem(CTreeListItem* pItem);
    BOOL ItemHasChildren(CTreeListItem* pItem);
    CTreeListItem* GetFirstVisibleItem();
    CTreeListItem* GetNextVisibleItem(CTreeListItem* pItem);
    CTreeListItem* GetPrevVisibleItem(CTreeListItem* pItem);
    CTreeListItem* GetSelectedItem();
    CTreeListItem* GetNextSelectedItem(CTreeListItem* pItem);
    int GetSelectedCount();
    int GetCount();
    int GetVisibleCount();
    int GetChildCount(CTreeListItem* pItem);
    int GetCheckedChildCount(CTreeListItem* pItem);

    DWORD GetItemState(CTreeListItem* pItem);
    void SetItemState(CTreeListItem* pItem, DWORD dwAdd, DWORD dwRemove = 0);
    void SetItemImage(CTreeListItem* pItem, int nImage, int nSelected, int nExpanded, int nExpandedSelected);
    void GetItemImage(CTreeListItem* pItem, int* pImages);
    CString GetItemText(CTreeListItem* pItem, int nColumn = 0);
    // NULL when the item has no slot for the column.
    BOOL HasItemText(CTreeListItem* pItem, int nColumn);
    BOOL SetItemText(CTreeListItem* pItem, int nColumn, LPCWSTR pszText);
    DWORD_PTR GetItemData(CTreeListItem* pItem);
    void SetItemData(CTreeListItem* pItem, DWORD_PTR dwData);
    int GetItemRowHeight(CTreeListItem* pItem);
    int GetCheck(CTreeListItem* pItem);
    void SetCheck(CTreeListItem* pItem, BOOL bCheck = TRUE);
    BOOL ToggleCheck(CTreeListItem* pItem, BOOL bToggle = TRUE);

    // Stable keys: a row named by a key can be found after the worker that
    // named it has gone; a key names one row at a time.
    void SetItemKey(CTreeListItem* pItem, UINT_PTR nKey);
    CTreeListItem* FindItemByKey(UINT_PTR nKey);

    // ---- Feed (any thread) -----------------------------------------------------
    BOOL QueueRow(const TreeListRow& row);
    BOOL QueueDeleteAll();
    // Returns when the queue is drained; FALSE when the window is gone.
    BOOL FlushQueue();
    // Tree changes that ran off the window's thread; stays 0 (tests read it).
    LONG GetForeignChangeCount() const { return m_nForeignChanges.load(); }

    // ---- Rows, geometry, selection ---------------------------------------------
    CTreeListItem* GetItemByRow(int nRow);
    int GetItemRow(CTreeListItem* pItem);
    int GetTopRow();
    void SetTopRow(int nRow);
    int GetRowsPerPage();
    BOOL GetItemRect(CTreeListItem* pItem, LPRECT lpRect);
    BOOL GetCellRect(CTreeListItem* pItem, int nColumn, LPRECT lpRect, BOOL bTextOnly = FALSE);
    CRect GetKeptCellRect(CTreeListItem* pItem);
    BOOL EnsureVisible(CTreeListItem* pItem, int nColumn = 0);
    CTreeListItem* HitTest(CPoint pt, UINT* pFlags = NULL, int* pColumn = NULL, LPRECT lpRect = NULL);
    void SelectItem(CTreeListItem* pItem, int nColumn = 0, BOOL bExclusive = TRUE);
    void SetFocusItem(CTreeListItem* pItem, int nColumn);
    CTreeListItem* GetFocusItem();
    int GetFocusColumn();
    BOOL OnNavigationKey(MSG* pMsg);

    // ---- Redraw and measuring ------------------------------------------------------
    void SetRedraw(BOOL bRedraw = TRUE);
    BOOL GetRedraw();
    BOOL IsDeferringRedraw();
    void BeginDeferredRedraw();
    void RecalcLayout();
    int CalcItemHeight(CString strText, int nTextKind, int nWidth, CTreeListItem* pItem);
    // Background and rows into any DC in client coordinates, clipped to rcClip.
    void PaintTo(HDC hDC, const RECT& rcClip);
    COLORREF GetColor(int nIndex);
    void SetColor(int nIndex, COLORREF cr);
    int GetPaintCount() const { return m_nPaintCount; }
    // Times the rows were measured again for a new width.
    int GetMeasureCount() const { return m_nMeasureCount; }
    CRect GetItemsRect() const { return m_rcItems; }
    int GetHScroll();

protected:
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnDestroy();
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg LRESULT OnDrainQueue(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRunCall(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFrameChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    friend class CTreeListHeaderCtrl;

    // ---- Thread routing ----
    bool IsForeignThread() const;
    void RunOnWindowThread(const std::function<void()>& fn);
    template <class F> auto OnWindowThread(F fn) -> decltype(fn())
    {
        typedef decltype(fn()) R;
        if constexpr (std::is_void<R>::value)
        {
            RunOnWindowThread([&] { fn(); });
        }
        else
        {
            R result{};
            RunOnWindowThread([&] { result = fn(); });
            return result;
        }
    }
    void NoteChange();
    // Inserts what is queued; bFinal lays out at once (a flush or a sent call).
    void DrainQueue(bool bFinal);
    void DrainBatch();
    HDC MeasureDC();
    static CString LangText(LPCWSTR pszKey, LPCWSTR pszEnglish);

    // ---- Model ----
    CTreeListItem* RealItem(CTreeListItem* pItem);
    void ChangeState(CTreeListItem* pItem, DWORD dwAdd, DWORD dwRemove);
    void CheckCore(CTreeListItem* pItem, bool bCheck);
    void DeleteItemCore(CTreeListItem* pItem, bool bDeferRedraw);
    void SetExpanded(CTreeListItem* pItem, bool bExpand);
    bool IsShown(CTreeListItem* pItem);
    CTreeListItem* ItemAtRow(int nRow);
    void Redraw();
    int TextGap();
    int MeasureWidth();
    bool HasVerticalRange();
    void SetStateBits(CTreeListItem* pItem, DWORD dwNewState);
    void RollUp(CTreeListItem* pParent);
    void RollDown(CTreeListItem* pItem);
    void UnlinkItem(CTreeListItem* pItem);
    void DestroySubtree(CTreeListItem* pItem, bool bDeferRedraw);
    void AddVisibleRows(CTreeListItem* pFrom, int nDelta);
    CTreeListItem* LastVisibleItem();
    CTreeListItem* InsertItemCore(LPCWSTR pszText, CTreeListItem* pParent, CTreeListItem* pAfter, HDC hMeasureDC);
    int MeasureRow(HDC hDC, const CString& strText, int nTextKind, int nWidth, int nLevel);
    int AvailableTextWidth(int nWidth, int nLevel);
    void InvalidateTopCache() { m_pTopCacheItem = NULL; }
    void ApplyRedraw(BOOL bRedraw);
    LRESULT SendNotify(UINT nCode, CTreeListItem* pItem, int nValue);
    int ColumnsWidth();
    int IndentOf(CTreeListItem* pItem);
    void UpdateScrollBars();
    int MaxTopRow();
    void ScrollToRow(int nRow);
    void ReleaseResources();
    void InitCompanions();

    // ---- Painting ----
    void PaintBackground(HDC hDC, const CRect& rcClip);
    void PaintRows(HDC hDC, const CRect& rcClip, const CRect& rcItems);
    void PaintRow(HDC hDC, CTreeListItem* pItem, const CRect& rcRow, const CRect& rcClip);
    // Where the parts of a column-0 cell lie; painter and hit test share it.
    struct CellParts
    {
        bool bButtonSlot = false, bCheck = false, bImage = false, bOpen = false, bIgnore = false;
        int xButton = 0, xCheck = 0, xImage = 0, xText = 0;
        CRect rcKept, rcOpen, rcIgnore;
    };
    CellParts LayoutTreeCell(CTreeListItem* pItem, const CRect& rcCell);
    void PaintTreeCell(HDC hDC, CTreeListItem* pItem, const CRect& rcCell, const CRect& rcClip);
    void PaintCell(HDC hDC, CTreeListItem* pItem, int nColumn, const CRect& rcCell);
    COLORREF RowColor(int nRowOnPage);
    void DrawBorder();
    void PrepareTexts();

    // ---- Input ----
    void SetCursorForHit(CTreeListItem* pItem, UINT nFlags);
    void ShiftSelect(CTreeListItem* pItem, int nColumn);
    void OnFocusChange(CWnd* pOther, BOOL bGained);
    void HandleLButtonDown(UINT nFlags, CPoint point);

    // Colours, look and resources.
    COLORREF m_crColors[20];
    HBRUSH m_hBorderBrush;
    DWORD m_dwStyle;
    CFont m_font;
    CFont m_fontBold;       // link and count texts, made once
    HCURSOR m_hButtonCursor;
    HCURSOR m_hCheckCursor;
    HBITMAP m_hBkBitmap;
    HBITMAP m_hBkDisabledBitmap;
    CImageList m_imlCheck;
    CImageList m_imlItems;
    CImageList* m_pItemImages;
    CHTMLFontCache m_fontCache;
    CRect m_rcClient;
    CRect m_rcHeader;
    CRect m_rcItems;
    BOOL m_bRedraw;
    BOOL m_bDeferring;
    BOOL m_bSavedRedraw;    // the caller's redraw flag while deferring
    int m_nChangeCount;
    int m_nChangeSeen;
    BOOL m_bInLayout;
    CTreeListHeaderCtrl m_wndHeader;
    DWORD m_dwFlags;        // 0x1 set up, 0x2 off-screen painting, 0x4 has focus
    std::vector<CTreeListColumnInfo*> m_arrColumns;
    std::vector<int> m_arrShown;
    std::vector<CTreeListItem*> m_arrSelected;
    int m_nFocusColumn;
    int m_nDefaultHeight;
    CTreeListItem* m_pRoot;
    CTreeListItem* m_pFocusItem;
    int m_nLayoutWidth;
    int m_nLayoutHeight;
    int m_nTopRow;
    int m_nHScroll;
    // The item of m_nTopRow, valid until the tree changes.
    CTreeListItem* m_pTopCacheItem;
    int m_nTopCacheRow;
    std::unordered_map<UINT_PTR, CTreeListItem*> m_mapKeys;
    int m_nPaintCount;
    int m_nMeasureCount;
    bool m_bQuietDelete;   // the window is going: deletions send no notices
    bool m_bInvalidated;   // invalidated and not painted since: no second InvalidateRect
    bool m_bVRange;        // the vertical scroll bar has a range
    HDC m_hMeasureDC;      // screen-compatible DC for measuring rows
    // Painter texts, read once per paint.
    CString m_strOpen, m_strIgnore, m_strSelected, m_strItems;

    // Feed queue, shared with other threads.
    struct QueuedOp
    {
        bool bDeleteAll;
        TreeListRow row;
    };
    CAfxLock m_lockQueue;
    std::vector<QueuedOp> m_arrQueue;
    bool m_bFeedLayoutPending;   // rows drained, layout not yet done
    DWORD m_dwFeedLayoutTick;
    bool m_bWakePosted;
    std::atomic<LONG> m_nForeignChanges;
    DWORD m_dwOwnerThread;  // set when the window is made or subclassed
};
