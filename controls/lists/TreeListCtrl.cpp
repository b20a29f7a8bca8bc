#include "controls/lists/TreeListCtrl.h"
#include "controls/lists/TreeListRoute.h"
#include "controls/lists/TreeListResources.h"

namespace {

// Private messages of the window: the feed's wake-up and a call sent from
// another thread.
const UINT WM_TREELIST_DRAIN = WM_USER + 3590;
const UINT WM_TREELIST_CALL = WM_USER + 3591;
const UINT WM_TREELIST_FRAME = WM_USER + 3592;
const UINT_PTR TIMER_DEFERRED_REDRAW = 4;
const UINT_PTR TIMER_FEED_LAYOUT = 5;
// While rows stream in, the scroll bars and the picture follow at this pace.
const DWORD FEED_LAYOUT_MS = 50;

const COLORREF s_crDefaults[20] = {
    0xFFFFE0, 0xFCFCFC, 0xFFFFFF, 0x97E1E3, 0xC0C080, 0xCCCCCC, 0xC0C0C0, 0xC8C8C8, 0xC08080, 0x97E1E3,
    0xD00000, 0x97E1E3, 0xE8E8E8, 0xF0F0F0, 0xFFFFFF, 0xE0E0E0, 0x000000, 0x00FF00, 0xD0D0D0, 0x808080,
};

TREELIST_TEXT_SOURCE s_pfnTextSource = NULL;

// Style dependencies: bits that mean nothing without another one.
DWORD NormalizeStyle(DWORD dwStyle)
{
    if (!(dwStyle & TLC_TREE))
        dwStyle &= ~(DWORD)(TLC_TREELINE | TLC_ROOTLINE | TLC_BUTTON);
    if (!(dwStyle & TLC_HEADER))
        dwStyle &= ~(DWORD)(TLC_HEADDRAGDROP | TLC_HEADFULLDRAG);
    if (!(dwStyle & TLC_HGRID))
        dwStyle &= ~(DWORD)(TLC_TGRID | TLC_HGRID_EXT | TLC_HGRID_FULL);
    if (!(dwStyle & TLC_VGRID))
        dwStyle &= ~(DWORD)TLC_VGRID_EXT;
    if ((dwStyle & TLC_HGRID) && (dwStyle & TLC_VGRID))
    {
        const DWORD dwExt = dwStyle & (TLC_HGRID_EXT | TLC_VGRID_EXT);
        if (dwExt != 0 && dwExt != (TLC_HGRID_EXT | TLC_VGRID_EXT))
            dwStyle &= ~(DWORD)(TLC_HGRID_EXT | TLC_VGRID_EXT);
    }
    return dwStyle;
}

// Where a scroll-bar request moves the position: a line, a page, the thumb or
// an end (nEnd). The codes of both bars share these values. FALSE for the
// codes that move nothing.
BOOL ScrollRequestTarget(HWND hWnd, int nBar, UINT nSBCode, UINT nThumb, int nCurrent, int nPage, int nEnd,
                         int& nTarget)
{
    nTarget = nCurrent;
    switch (nSBCode)
    {
    case SB_LINEUP: --nTarget; break;
    case SB_LINEDOWN: ++nTarget; break;
    case SB_PAGEUP: nTarget -= nPage; break;
    case SB_PAGEDOWN: nTarget += nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
    {
        SCROLLINFO si = { sizeof(SCROLLINFO), SIF_TRACKPOS };
        nTarget = ::GetScrollInfo(hWnd, nBar, &si) ? si.nTrackPos : (int)nThumb;
        break;
    }
    case SB_TOP: nTarget = 0; break;
    case SB_BOTTOM: nTarget = nEnd; break;
    default: return FALSE;
    }
    return TRUE;
}

} // namespace

BEGIN_MESSAGE_MAP(CTreeListCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_DESTROY()
    ON_WM_ENABLE()
    ON_WM_NCCALCSIZE()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONDBLCLK()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_GETDLGCODE()
    ON_MESSAGE(WM_TREELIST_DRAIN, OnDrainQueue)
    ON_MESSAGE(WM_TREELIST_CALL, OnRunCall)
    ON_MESSAGE(WM_TREELIST_FRAME, OnFrameChange)
END_MESSAGE_MAP()

CTreeListCtrl::CTreeListCtrl()
    : m_hBorderBrush(NULL), m_dwStyle(0), m_hButtonCursor(NULL), m_hCheckCursor(NULL), m_hBkBitmap(NULL),
      m_hBkDisabledBitmap(NULL), m_pItemImages(&m_imlItems), m_bRedraw(TRUE), m_bDeferring(FALSE),
      m_bSavedRedraw(TRUE), m_nChangeCount(0), m_nChangeSeen(0), m_bInLayout(FALSE), m_dwFlags(2),
      m_nFocusColumn(-1), m_nDefaultHeight(20), m_pRoot(NULL), m_pFocusItem(NULL), m_nLayoutWidth(0),
      m_nLayoutHeight(0), m_nTopRow(0), m_nHScroll(0), m_pTopCacheItem(NULL), m_nTopCacheRow(0), m_nPaintCount(0),
      m_nMeasureCount(0), m_bQuietDelete(false), m_bInvalidated(false), m_bVRange(false), m_hMeasureDC(NULL), m_bFeedLayoutPending(false), m_dwFeedLayoutTick(0), m_bWakePosted(false), m_nForeignChanges(0), m_dwOwnerThread(0)
{
    for (int i = 0; i < 20; ++i)
        m_crColors[i] = s_crDefaults[i];
    m_hBorderBrush = ::CreateSolidBrush(0xC9C5BE);
    LOGFONTW lf = {};
    lf.lfHeight = 13;
    lf.lfWeight = FW_NORMAL;
    ::lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_font.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(&lf);
    HINSTANCE hRes = AfxGetResourceHandle();
    m_hButtonCursor = (HCURSOR)::LoadImageW(hRes, MAKEINTRESOURCEW(IDC_TREELIST_BUTTON), IMAGE_CURSOR, 0, 0, 0);
    m_hCheckCursor = (HCURSOR)::LoadImageW(hRes, MAKEINTRESOURCEW(IDC_TREELIST_CHECK), IMAGE_CURSOR, 0, 0, 0);

    m_pRoot = new CTreeListItem;
    m_pRoot->m_arrTexts.resize(1);
    m_pRoot->m_dwState = TLIS_EXPANDED | TLIS_EXPANDEDONCE;

    // A failure shows as a failed Create.
    AfxRegisterNamedWndClass(TREELIST_CLASSNAME, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW),
                             (HBRUSH)(COLOR_WINDOW + 1));
}

CTreeListCtrl::~CTreeListCtrl()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
    ReleaseResources();
    DestroySubtree(m_pRoot, false);
}

void CTreeListCtrl::ReleaseResources()
{
    for (CTreeListColumnInfo* pColumn : m_arrColumns)
        delete pColumn;
    m_arrColumns.clear();
    m_arrShown.clear();
    if (m_hBorderBrush != NULL)
        ::DeleteObject(m_hBorderBrush);
    m_hBorderBrush = NULL;
    if (m_hButtonCursor != NULL)
        ::DestroyCursor(m_hButtonCursor);
    if (m_hCheckCursor != NULL)
        ::DestroyCursor(m_hCheckCursor);
    m_hButtonCursor = m_hCheckCursor = NULL;
    if (m_hBkBitmap != NULL)
        ::DeleteObject(m_hBkBitmap);
    if (m_hBkDisabledBitmap != NULL)
        ::DeleteObject(m_hBkDisabledBitmap);
    m_hBkBitmap = m_hBkDisabledBitmap = NULL;
    if (m_hMeasureDC != NULL)
        ::DeleteDC(m_hMeasureDC);
    m_hMeasureDC = NULL;
    m_fontCache.Clear();
}

void CTreeListCtrl::SetTextSource(TREELIST_TEXT_SOURCE pfnSource)
{
    s_pfnTextSource = pfnSource;
}

CString CTreeListCtrl::LangText(LPCWSTR pszKey, LPCWSTR pszEnglish)
{
    if (s_pfnTextSource != NULL)
    {
        CString strText = s_pfnTextSource(pszKey);
        if (!strText.IsEmpty())
            return strText;
    }
    return pszEnglish;
}

BOOL CTreeListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_dwFlags |= 0x8;  // companions are made after the window exists
    BOOL bOk = CWnd::Create(TREELIST_CLASSNAME, L"", dwStyle | WS_CHILD, rect, pParentWnd, nID);
    m_dwFlags &= ~(DWORD)0x8;
    if (!bOk)
        return FALSE;
    InitCompanions();
    return (m_dwFlags & 0x1) != 0;
}

void CTreeListCtrl::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    m_dwOwnerThread = ::GetWindowThreadProcessId(m_hWnd, NULL);
    if (!(m_dwFlags & 0x8))
        InitCompanions();
}

void CTreeListCtrl::InitCompanions()
{
    if (m_dwFlags & 0x1)
        return;
    m_dwOwnerThread = ::GetWindowThreadProcessId(m_hWnd, NULL);
    if (!m_wndHeader.Create(0, CRect(0, 0, 0, 0), this, 0))
        return;
    HINSTANCE hRes = AfxGetResourceHandle();
    m_hBkBitmap = (HBITMAP)::LoadImageW(hRes, MAKEINTRESOURCEW(IDB_TREELIST_BACKGROUND), IMAGE_BITMAP, 0, 0, 0);
    m_hBkDisabledBitmap =
        (HBITMAP)::LoadImageW(hRes, MAKEINTRESOURCEW(IDB_TREELIST_BACKGROUND_OFF), IMAGE_BITMAP, 0, 0, 0);
    m_imlCheck.Create(IDB_TREELIST_CHECKBOXES, 16, 3, RGB(255, 0, 255));
    m_imlItems.Create(IDB_TREELIST_ITEMIMAGES, 16, 3, RGB(255, 255, 255));
    CWnd* pParent = GetParent();
    HFONT hParentFont = pParent != NULL ? (HFONT)::SendMessageW(pParent->m_hWnd, WM_GETFONT, 0, 0) : NULL;
    LOGFONTW lf = {};
    if (hParentFont != NULL && ::GetObjectW(hParentFont, sizeof(lf), &lf) != 0)
    {
        m_font.DeleteObject();
        m_font.CreateFontIndirect(&lf);
    }
    m_dwFlags |= 0x1;
    // A window being subclassed still runs its old procedure: its frame gets
    // our border inset once our own procedure is in place.
    ::PostMessageW(m_hWnd, WM_TREELIST_FRAME, 0, 0);
    SetItemHeight(-1);
    m_wndHeader.UpdateFont();
    m_wndHeader.SetHeight(-1);
    RecalcLayout();
}

// ---- Thread routing --------------------------------------------------------------

bool CTreeListCtrl::IsForeignThread() const
{
    return m_hWnd != NULL && m_dwOwnerThread != 0 && m_dwOwnerThread != ::GetCurrentThreadId();
}

void CTreeListCtrl::RunOnWindowThread(const std::function<void()>& fn)
{
    if (::IsWindow(m_hWnd))
        ::SendMessageW(m_hWnd, WM_TREELIST_CALL, 0, (LPARAM)&fn);
}

LRESULT CTreeListCtrl::OnFrameChange(WPARAM, LPARAM)
{
    ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    return 0;
}

LRESULT CTreeListCtrl::OnRunCall(WPARAM, LPARAM lParam)
{
    // Rows queued before the call come first, so the caller sees them.
    DrainQueue(true);
    const std::function<void()>* pfn = (const std::function<void()>*)lParam;
    if (pfn != NULL)
        (*pfn)();
    return 0;
}

void CTreeListCtrl::NoteChange()
{
    if (IsForeignThread())
        ++m_nForeignChanges;
}


// ---- Feed --------------------------------------------------------------------------

BOOL CTreeListCtrl::QueueRow(const TreeListRow& row)
{
    if (m_hWnd == NULL)
    {
        // No window yet: this is the owner's thread building the tree.
        QueuedOp op = { false, row };
        m_arrQueue.push_back(op);
        DrainQueue(true);
        return TRUE;
    }
    bool bPost = false;
    {
        CAfxLockGuard guard(m_lockQueue);
        QueuedOp op = { false, row };
        m_arrQueue.push_back(op);
        if (!m_bWakePosted)
            bPost = m_bWakePosted = true;
    }
    if (bPost && !::PostMessageW(m_hWnd, WM_TREELIST_DRAIN, 0, 0))
        return FALSE;
    return TRUE;
}

BOOL CTreeListCtrl::QueueDeleteAll()
{
    if (m_hWnd == NULL)
    {
        DeleteAllItems();
        return TRUE;
    }
    bool bPost = false;
    {
        CAfxLockGuard guard(m_lockQueue);
        QueuedOp op = { true, TreeListRow() };
        m_arrQueue.push_back(op);
        if (!m_bWakePosted)
            bPost = m_bWakePosted = true;
    }
    if (bPost && !::PostMessageW(m_hWnd, WM_TREELIST_DRAIN, 0, 0))
        return FALSE;
    return TRUE;
}

BOOL CTreeListCtrl::FlushQueue()
{
    if (m_hWnd == NULL)
        return TRUE;
    if (!::IsWindow(m_hWnd))
        return FALSE;
    if (IsForeignThread())
        ::SendMessageW(m_hWnd, WM_TREELIST_DRAIN, 1, 0);
    else
        DrainQueue(true);
    return TRUE;
}

LRESULT CTreeListCtrl::OnDrainQueue(WPARAM wParam, LPARAM)
{
    DrainQueue(wParam != 0);
    return 0;
}

void CTreeListCtrl::DrainQueue(bool bFinal)
{
    DrainBatch();
    if (!m_bFeedLayoutPending && !bFinal)
        return;
    // A flush shows everything now; a stream of batches lays out at a steady pace.
    const DWORD dwNow = ::GetTickCount();
    if (bFinal || dwNow - m_dwFeedLayoutTick >= FEED_LAYOUT_MS)
    {
        if (m_bFeedLayoutPending && m_hWnd != NULL)
            CWnd::KillTimer(TIMER_FEED_LAYOUT);
        m_bFeedLayoutPending = false;
        m_dwFeedLayoutTick = dwNow;
        ApplyRedraw(m_bRedraw);
    }
}

void CTreeListCtrl::DrainBatch()
{
    std::vector<QueuedOp> arrBatch;
    {
        CAfxLockGuard guard(m_lockQueue);
        arrBatch.swap(m_arrQueue);
        m_bWakePosted = false;
    }
    if (arrBatch.empty())
        return;
    HDC hDC = MeasureDC();
    for (QueuedOp& op : arrBatch)
    {
        if (op.bDeleteAll)
        {
            DeleteAllItems();
            continue;
        }
        const TreeListRow& row = op.row;
        CTreeListItem* pParent = m_pRoot;
        if (row.nParentKey != 0)
        {
            auto it = m_mapKeys.find(row.nParentKey);
            if (it == m_mapKeys.end())
                continue;  // the parent is gone; so is its row
            pParent = it->second;
        }
        CTreeListItem* pItem = InsertItemCore(row.strText, pParent, TLI_LAST, hDC);
        if (pItem == NULL)
            continue;
        if (row.nKey != 0)
            SetItemKey(pItem, row.nKey);
        pItem->m_dwData = row.dwData;
        if (row.dwState != 0)
            ChangeState(pItem, row.dwState, 0);
        if (row.nImage >= 0)
        {
            for (int i = 0; i < 4; ++i)
                pItem->m_nImages[i] = row.nImage;
            ChangeState(pItem, TLIS_IMAGES, 0);
        }
        if (row.nCheck >= 0)
            CheckCore(pItem, row.nCheck != 0);
    }
    if (!m_bFeedLayoutPending && m_hWnd != NULL)
    {
        m_bFeedLayoutPending = true;
        if (::GetTickCount() - m_dwFeedLayoutTick >= FEED_LAYOUT_MS)
            return;  // the caller lays out now
        CWnd::SetTimer(TIMER_FEED_LAYOUT, FEED_LAYOUT_MS);
    }
}

HDC CTreeListCtrl::MeasureDC()
{
    if (m_hMeasureDC == NULL)
        m_hMeasureDC = ::CreateCompatibleDC(NULL);
    if (m_hMeasureDC != NULL && m_font.GetSafeHandle() != NULL)
        ::SelectObject(m_hMeasureDC, m_font.GetSafeHandle());
    return m_hMeasureDC;
}

// ---- Style, columns, heights ------------------------------------------------------------

DWORD CTreeListCtrl::GetStyle()
{
    return m_dwStyle;
}

DWORD CTreeListCtrl::SetStyle(DWORD dwStyle)
{
    TL_ROUTE(SetStyle(dwStyle));
    const DWORD dwOld = m_dwStyle;
    m_dwStyle = NormalizeStyle(dwStyle);
    DWORD dwHeader = 0;
    if (m_dwStyle & TLC_HEADER)
        dwHeader |= TLHS_SHOWHEAD;
    if (m_dwStyle & TLC_HEADDRAGDROP)
        dwHeader |= TLHS_DRAGDROP;
    if (m_dwStyle & TLC_HEADFULLDRAG)
        dwHeader |= TLHS_FULLDRAG;
    if (m_dwStyle & TLC_HOTTRACK)
        dwHeader |= TLHS_HOTTRACK;
    m_wndHeader.SetStyle(dwHeader);
    ApplyRedraw(m_bRedraw);
    return dwOld;
}

BOOL CTreeListCtrl::InsertColumn(LPCWSTR pszHeading, DWORD dwFormat, int nWidth, int nImage, int nMinWidth,
                                 int nMaxWidth)
{
    TL_ROUTE(InsertColumn(pszHeading, dwFormat, nWidth, nImage, nMinWidth, nMaxWidth));
    CTreeListColumnInfo* pColumn = new CTreeListColumnInfo;
    pColumn->m_strHeading = pszHeading != NULL ? pszHeading : L"";
    pColumn->m_dwFormat = dwFormat;
    pColumn->m_nWidth = nWidth;
    pColumn->m_nImage = nImage;
    pColumn->m_nMinWidth = nMinWidth;
    pColumn->m_nMaxWidth = nMaxWidth;
    m_arrColumns.push_back(pColumn);
    if (!(dwFormat & TLF_HIDDEN))
        m_arrShown.push_back((int)m_arrColumns.size() - 1);
    ApplyRedraw(m_bRedraw);
    return TRUE;
}

BOOL CTreeListCtrl::SetColumnWidth(int nColumn, int nWidth, int nMinWidth, int nMaxWidth)
{
    TL_ROUTE(SetColumnWidth(nColumn, nWidth, nMinWidth, nMaxWidth));
    if (nColumn < 0 || nColumn >= (int)m_arrColumns.size())
        return FALSE;
    CTreeListColumnInfo* pColumn = m_arrColumns[nColumn];
    if (nWidth >= -4 && nWidth <= -1)
    {
        // Widest text over the visible items.
        HDC hDC = MeasureDC();
        int nBest = nMinWidth;
        if (nWidth == -2 || nWidth == -4)
        {
            SIZE size = {};
            ::GetTextExtentPoint32W(hDC, pColumn->m_strHeading, pColumn->m_strHeading.GetLength(), &size);
            nBest = size.cx + 4;
        }
        for (CTreeListItem* pItem = GetFirstVisibleItem(); pItem != NULL; pItem = GetNextVisibleItem(pItem))
        {
            const CString* pText = pItem->GetText(nColumn);
            if (pText == NULL)
                continue;
            SIZE size = {};
            ::GetTextExtentPoint32W(hDC, *pText, pText->GetLength(), &size);
            int nTextWidth = size.cx + 6;
            if (nColumn == 0)
                nTextWidth += IndentOf(pItem) + 2;
            if (nTextWidth > nBest)
                nBest = nTextWidth;
        }
        pColumn->m_nWidth = nBest;
    }
    else
    {
        if (nMinWidth < 0)
            nMinWidth = 0;
        if (nMaxWidth < 0)
            nMaxWidth = 0;
        if (nWidth < nMinWidth)
            nWidth = nMinWidth;
        if (nMaxWidth > 0)
        {
            if (nMaxWidth < nMinWidth)
                nMaxWidth = nMinWidth;
            if (nWidth > nMaxWidth)
                nWidth = nMaxWidth;
        }
        pColumn->m_nWidth = nWidth;
        pColumn->m_nMinWidth = nMinWidth;
        pColumn->m_nMaxWidth = nMaxWidth;
    }
    ApplyRedraw(m_bRedraw);
    return TRUE;
}

int CTreeListCtrl::GetColumnWidth(int nColumn)
{
    TL_ROUTE(GetColumnWidth(nColumn));
    if (nColumn < 0 || nColumn >= (int)m_arrColumns.size())
        return 0;
    return m_arrColumns[nColumn]->m_nWidth;
}

int CTreeListCtrl::GetColumnCount()
{
    TL_ROUTE(GetColumnCount());
    return (int)m_arrColumns.size();
}

CString CTreeListCtrl::GetColumnText(int nColumn)
{
    TL_ROUTE(GetColumnText(nColumn));
    if (nColumn < 0 || nColumn >= (int)m_arrColumns.size())
        return CString();
    return m_arrColumns[nColumn]->m_strHeading;
}

CString CTreeListCtrl::GetColumnSecondText(int nColumn)
{
    TL_ROUTE(GetColumnSecondText(nColumn));
    if (nColumn < 0 || nColumn >= (int)m_arrColumns.size())
        return CString();
    return m_arrColumns[nColumn]->m_strSecondText;
}

void CTreeListCtrl::SetColumnSecondText(int nColumn, LPCWSTR pszText)
{
    TL_ROUTE(SetColumnSecondText(nColumn, pszText));
    if (nColumn >= 0 && nColumn < (int)m_arrColumns.size())
        m_arrColumns[nColumn]->m_strSecondText = pszText != NULL ? pszText : L"";
}

int CTreeListCtrl::SetItemHeight(int nHeight)
{
    TL_ROUTE(SetItemHeight(nHeight));
    const int nOld = m_nDefaultHeight;
    if (nHeight == -1)
    {
        LOGFONTW lf = {};
        m_font.GetLogFont(&lf);
        const int h = lf.lfHeight;
        nHeight = h > 0 ? h + 5 : (h == 0 ? 20 : 5 - h);
        if (nHeight & 1)
            ++nHeight;
    }
    m_nDefaultHeight = nHeight;
    ApplyRedraw(m_bRedraw);
    return nOld;
}

int CTreeListCtrl::GetItemHeight()
{
    TL_ROUTE(GetItemHeight());
    if (!m_arrSelected.empty())
        return m_arrSelected[0]->m_nHeight;
    if (m_pRoot->m_pChild != NULL)
        return m_pRoot->m_pChild->m_nHeight;
    return m_nDefaultHeight;
}

COLORREF CTreeListCtrl::GetColor(int nIndex)
{
    return nIndex >= 0 && nIndex < 20 ? m_crColors[nIndex] : 0;
}

void CTreeListCtrl::SetColor(int nIndex, COLORREF cr)
{
    TL_ROUTE(SetColor(nIndex, cr));
    if (nIndex >= 0 && nIndex < 20)
        m_crColors[nIndex] = cr;
    Redraw();
}

int CTreeListCtrl::ColumnsWidth()
{
    int nWidth = 0;
    for (int nColumn : m_arrShown)
        nWidth += m_arrColumns[nColumn]->m_nWidth;
    return nWidth;
}

// ---- Measuring ----------------------------------------------------------------------------

int CTreeListCtrl::AvailableTextWidth(int nWidth, int nLevel)
{
    nWidth -= 2 + 16 * (nLevel > 0 ? nLevel - 1 : 0);
    if (m_dwStyle & (TLC_TREELINE | TLC_BUTTON))
        nWidth -= 16;
    if (m_dwStyle & TLC_CHECKBOX)
        nWidth -= 16;
    if (m_dwStyle & TLC_IMAGE)
        nWidth -= 18;
    return nWidth;
}

int CTreeListCtrl::MeasureRow(HDC hDC, const CString& strText, int nTextKind, int nWidth, int nLevel)
{
    if (hDC == NULL)
        return m_nDefaultHeight;
    // The painter's text rectangle: past the item image gap, inset and offset,
    // and a vertical scroll bar assumed, so a painted row never needs more lines.
    int nAvailable = AvailableTextWidth(nWidth, nLevel);
    nAvailable -= TextGap() + 5 + 5 + ::GetSystemMetrics(SM_CXVSCROLL);
    if (nAvailable < 0)
        nAvailable = 0;
    RECT rc = { 0, 0, nAvailable, 0 };
    switch (nTextKind)
    {
    case 1:
        return DrawHTML(hDC, strText, strText.GetLength(), &rc, DT_CALCRECT | DT_EXTERNALLEADING | DT_WORDBREAK,
                        &m_fontCache) + 10;
    case 2:
        return ::DrawTextW(hDC, strText, strText.GetLength(), &rc, DT_CALCRECT | DT_EXTERNALLEADING | DT_WORDBREAK) +
               10;
    case 3:
        return ::DrawTextW(hDC, strText, strText.GetLength(), &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER) + 10;
    default:
        return 0;
    }
}

int CTreeListCtrl::CalcItemHeight(CString strText, int nTextKind, int nWidth, CTreeListItem* pItem)
{
    TL_ROUTE(CalcItemHeight(strText, nTextKind, nWidth, pItem));
    return MeasureRow(MeasureDC(), strText, nTextKind, nWidth, pItem != NULL ? RealItem(pItem)->m_nLevel : 1);
}

int CTreeListCtrl::MeasureWidth()
{
    int nWidth = m_nLayoutWidth;
    if (!m_arrShown.empty() && m_arrShown[0] == 0 && m_arrColumns[0]->m_nWidth < nWidth)
        nWidth = m_arrColumns[0]->m_nWidth;
    return nWidth;
}

int CTreeListCtrl::TextGap()
{
    IMAGEINFO info = {};
    if (m_pItemImages != NULL && m_pItemImages->GetSafeHandle() != NULL && m_pItemImages->GetImageCount() > 0 &&
        m_pItemImages->GetImageInfo(0, &info))
    {
        const int nWidth = info.rcImage.right - info.rcImage.left;
        if (nWidth > 0)
            return nWidth + 10;
    }
    return 0;
}

// ---- Redraw, layout, scrolling -----------------------------------------------------------------

void CTreeListCtrl::Redraw()
{
    if (m_bRedraw && !m_bDeferring && m_hWnd != NULL && !m_bInvalidated)
    {
        m_bInvalidated = true;
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
}

void CTreeListCtrl::ApplyRedraw(BOOL bRedraw)
{
    m_bRedraw = bRedraw;
    if (bRedraw && !m_bDeferring && m_hWnd != NULL)
    {
        RecalcLayout();
        Redraw();
    }
}

void CTreeListCtrl::SetRedraw(BOOL bRedraw)
{
    TL_ROUTE(SetRedraw(bRedraw));
    // The window always gets the caller's flag; a deferred redraw only holds
    // back our own invalidation.
    if (m_hWnd != NULL)
        CWnd::SetRedraw(bRedraw);
    // Whatever was invalidated while drawing was off may never have been painted.
    m_bInvalidated = false;
    ApplyRedraw(bRedraw);
}

BOOL CTreeListCtrl::GetRedraw()
{
    return m_bRedraw;
}

BOOL CTreeListCtrl::IsDeferringRedraw()
{
    return m_bDeferring;
}

void CTreeListCtrl::BeginDeferredRedraw()
{
    if (m_hWnd == NULL || IsForeignThread())
        return;
    if (!m_bDeferring)
    {
        m_bDeferring = TRUE;
        m_nChangeCount = m_nChangeSeen = 0;
        CWnd::SetTimer(TIMER_DEFERRED_REDRAW, 40);
    }
    else
        ++m_nChangeCount;
}

void CTreeListCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_FEED_LAYOUT)
    {
        CWnd::KillTimer(TIMER_FEED_LAYOUT);
        if (m_bFeedLayoutPending)
        {
            m_bFeedLayoutPending = false;
            m_dwFeedLayoutTick = ::GetTickCount();
            ApplyRedraw(m_bRedraw);
        }
    }
    if (nIDEvent == TIMER_DEFERRED_REDRAW)
    {
        if (m_nChangeCount != m_nChangeSeen)
            m_nChangeSeen = m_nChangeCount;
        else
        {
            CWnd::KillTimer(TIMER_DEFERRED_REDRAW);
            m_bDeferring = FALSE;
            // Drawing comes back as the caller last set it.
            m_bInvalidated = false;
            ApplyRedraw(m_bRedraw);
        }
    }
    CWnd::OnTimer(nIDEvent);
}

void CTreeListCtrl::RecalcLayout()
{
    if (m_bInLayout || m_hWnd == NULL)
        return;
    m_bInLayout = TRUE;
    for (int nPass = 0; nPass < 2; ++nPass)
    {
        UpdateScrollBars();
        CRect rcClient;
        ::GetClientRect(m_hWnd, &rcClient);
        m_rcClient = rcClient;
        CRect rcHeader = rcClient;
        if (m_wndHeader.m_hWnd != NULL)
            ::SendMessageW(m_wndHeader.m_hWnd, WM_TREELIST_HEADER_LAYOUT, 0, (LPARAM)&rcHeader);
        else
            rcHeader.bottom = rcHeader.top;
        m_rcHeader = rcHeader;
        m_rcItems = rcClient;
        if (rcHeader.Height() > 0)
            m_rcItems.top = rcHeader.bottom;
        m_nLayoutWidth = rcClient.Width();
        m_nLayoutHeight = rcClient.Height();
    }
    UpdateScrollBars();
    m_bInLayout = FALSE;
}

int CTreeListCtrl::MaxTopRow()
{
    const int nRows = m_pRoot->m_nVisibleRows - 1;
    const int nHeight = m_rcItems.Height();
    int nUsed = 0, nFit = 0;
    for (CTreeListItem* pItem = LastVisibleItem(); pItem != NULL; pItem = GetPrevVisibleItem(pItem))
    {
        nUsed += pItem->m_nHeight;
        if (nUsed > nHeight)
            break;
        ++nFit;
    }
    if (nFit == 0 && nRows > 0)
        nFit = 1;
    return nRows - nFit;
}

int CTreeListCtrl::GetRowsPerPage()
{
    TL_ROUTE(GetRowsPerPage());
    int nUsed = 0, nFit = 0;
    const int nHeight = m_rcItems.Height();
    for (CTreeListItem* pItem = ItemAtRow(m_nTopRow); pItem != NULL; pItem = GetNextVisibleItem(pItem))
    {
        nUsed += pItem->m_nHeight;
        if (nUsed > nHeight)
            break;
        ++nFit;
    }
    if (nFit == 0)
    {
        // Past the last row: what the default height gives, at least one row.
        const int nRow = m_arrSelected.empty() ? (m_pRoot->m_pChild ? m_pRoot->m_pChild->m_nHeight : 0)
                                               : m_arrSelected[0]->m_nHeight;
        nFit = nRow > 0 ? nHeight / nRow : 1;
        if (nFit < 1)
            nFit = 1;
    }
    return nFit;
}

void CTreeListCtrl::UpdateScrollBars()
{
    if (m_hWnd == NULL)
        return;
    const int nRows = m_pRoot->m_nVisibleRows - 1;
    const int nMaxTop = MaxTopRow();
    if (m_nTopRow > nMaxTop)
        m_nTopRow = nMaxTop > 0 ? nMaxTop : 0;
    if (m_nTopRow < 0)
        m_nTopRow = 0;
    SCROLLINFO si = { sizeof(SCROLLINFO) };
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.fMask &= ~(UINT)SIF_DISABLENOSCROLL;
    if (nMaxTop <= 0 && m_nTopRow == 0)
    {
        si.nMin = si.nMax = 0;
        si.nPage = 0;
        si.nPos = 0;
    }
    else
    {
        si.nMin = 0;
        si.nMax = nRows - 1;
        si.nPage = (UINT)(nRows - nMaxTop);
        si.nPos = m_nTopRow;
    }
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    m_bVRange = si.nMax > si.nMin;

    const int nTotal = ColumnsWidth();
    SCROLLINFO sh = { sizeof(SCROLLINFO) };
    sh.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (nTotal <= m_rcClient.Width() || m_rcClient.Width() <= 0)
    {
        m_nHScroll = 0;
        sh.nMin = sh.nMax = 0;
    }
    else
    {
        if (m_nHScroll > nTotal - m_rcClient.Width())
            m_nHScroll = nTotal - m_rcClient.Width();
        sh.nMin = 0;
        sh.nMax = nTotal - 1;
        sh.nPage = (UINT)m_rcClient.Width();
        sh.nPos = m_nHScroll;
    }
    ::SetScrollInfo(m_hWnd, SB_HORZ, &sh, TRUE);
}

bool CTreeListCtrl::HasVerticalRange()
{
    if (m_hWnd == NULL)
        return false;
    SCROLLINFO si = { sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE };
    if (!::GetScrollInfo(m_hWnd, SB_VERT, &si))
        return false;
    return si.nMax > si.nMin && (int)si.nPage <= si.nMax - si.nMin;
}

int CTreeListCtrl::GetTopRow()
{
    TL_ROUTE(GetTopRow());
    return m_nTopRow;
}

void CTreeListCtrl::SetTopRow(int nRow)
{
    TL_ROUTE(SetTopRow(nRow));
    ScrollToRow(nRow);
}

void CTreeListCtrl::ScrollToRow(int nRow)
{
    const int nMaxTop = MaxTopRow();
    if (nRow > nMaxTop)
        nRow = nMaxTop;
    if (nRow < 0)
        nRow = 0;
    if (nRow == m_nTopRow)
        return;
    m_nTopRow = nRow;
    if (m_hWnd != NULL)
        ::SetScrollPos(m_hWnd, SB_VERT, nRow, TRUE);
    Redraw();
}

void CTreeListCtrl::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    int nRow;
    if (!ScrollRequestTarget(m_hWnd, SB_VERT, nSBCode, nPos, m_nTopRow, GetRowsPerPage(), m_pRoot->m_nVisibleRows,
                             nRow))
        return;
    ScrollToRow(nRow);
    if (m_hWnd != NULL)
        ::UpdateWindow(m_hWnd);
}

void CTreeListCtrl::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    const int nTotal = ColumnsWidth();
    const int nPage = m_rcClient.Width();
    int x;
    if (!ScrollRequestTarget(m_hWnd, SB_HORZ, nSBCode, nPos, m_nHScroll, nPage, nTotal, x))
        return;
    if (x > nTotal - nPage)
        x = nTotal - nPage;
    if (x < 0)
        x = 0;
    if (x == m_nHScroll)
        return;
    m_nHScroll = x;
    ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
    if (m_wndHeader.m_hWnd != NULL)
        ::InvalidateRect(m_wndHeader.m_hWnd, NULL, FALSE);
    ::InvalidateRect(m_hWnd, NULL, FALSE);
    m_bInvalidated = true;
    ::UpdateWindow(m_hWnd);
}

int CTreeListCtrl::GetHScroll()
{
    return m_nHScroll;
}

BOOL CTreeListCtrl::OnMouseWheel(UINT, short zDelta, CPoint)
{
    PostMessage(WM_VSCROLL, zDelta > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    return TRUE;
}

void CTreeListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    const int nOldWidth = m_nLayoutWidth;
    RecalcLayout();
    if (m_nLayoutWidth != nOldWidth)
    {
        // Rows wrap differently at another width; a height change alone keeps them.
        HDC hDC = MeasureDC();
        const int nWidth = MeasureWidth();
        for (CTreeListItem* pTop = m_pRoot->m_pChild; pTop != NULL; pTop = pTop->m_pNext)
        {
            for (CTreeListItem* pItem = pTop->m_pChild; pItem != NULL; pItem = pItem->m_pNext)
                pItem->m_nHeight = MeasureRow(hDC, pItem->m_strMeasured, pItem->m_nTextKind, nWidth, pItem->m_nLevel);
        }
        ++m_nMeasureCount;
        RecalcLayout();
    }
    Redraw();
}

void CTreeListCtrl::OnDestroy()
{
    if (m_bDeferring)
    {
        CWnd::KillTimer(TIMER_DEFERRED_REDRAW);
        m_bDeferring = FALSE;
    }
    if (m_bFeedLayoutPending)
    {
        CWnd::KillTimer(TIMER_FEED_LAYOUT);
        m_bFeedLayoutPending = false;
    }
    m_arrShown.clear();
    // The parent may be going away too: items leave without notices.
    m_bQuietDelete = true;
    DeleteItemCore(m_pRoot, false);
    m_bQuietDelete = false;
    {
        CAfxLockGuard guard(m_lockQueue);
        m_arrQueue.clear();
    }
    CWnd::OnDestroy();
}

void CTreeListCtrl::OnEnable(BOOL bEnable)
{
    CWnd::OnEnable(bEnable);
    if (m_wndHeader.m_hWnd != NULL)
        ::EnableWindow(m_wndHeader.m_hWnd, bEnable);
    Redraw();
}

BOOL CTreeListCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTreeListCtrl::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    CWnd::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (!(GetExStyle() & WS_EX_CLIENTEDGE) && lpncsp != NULL)
        ::InflateRect(&lpncsp->rgrc[0], -1, -1);
}

void CTreeListCtrl::OnNcPaint()
{
    CWnd::OnNcPaint();
    DrawBorder();
}

void CTreeListCtrl::DrawBorder()
{
    if (m_hWnd == NULL || (GetExStyle() & WS_EX_CLIENTEDGE))
        return;
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == NULL)
        return;
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    ::FrameRect(hDC, &rc, m_hBorderBrush);
    ::ReleaseDC(m_hWnd, hDC);
}

LRESULT CTreeListCtrl::SendNotify(UINT nCode, CTreeListItem* pItem, int nValue)
{
    if (m_hWnd == NULL)
        return 0;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent == NULL)
        return 0;
    NMTREELIST nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = (UINT_PTR)::GetDlgCtrlID(m_hWnd);
    nm.hdr.code = nCode;
    nm.pItem = pItem;
    nm.nValue = nValue == -1 ? 0 : nValue;
    return ::SendMessageW(hParent, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}
