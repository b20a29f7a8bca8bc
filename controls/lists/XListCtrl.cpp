#include "controls/lists/XListCtrl.h"
#include "controls/lists/XCheckBox.h"

#include <algorithm>
#include <atomic>
#include <new>

const UINT WM_XLISTCTRL_CHECKBOX_CLICKED = ::RegisterWindowMessageW(L"WM_XLISTCTRL_CHECKBOX_CLICKED");

namespace {
std::atomic<long> g_nLiveRecords(0);

// Hands a cell's contents, its box included, to another record.
void MoveCell(CXListCellData& to, CXListCellData& from)
{
    to.m_nImage = from.m_nImage;
    to.m_strToolTip = from.m_strToolTip;
    to.m_crText = from.m_crText;
    to.m_crBackground = from.m_crBackground;
    to.m_pCheckbox = from.m_pCheckbox;
    from.m_pCheckbox = NULL;
}
}

CXListCellData::CXListCellData()
    : m_nImage(-1), m_crText(0), m_crBackground(0), m_pCheckbox(NULL), m_bHasCheckbox(FALSE)
{
    ++g_nLiveRecords;
}

CXListCellData::~CXListCellData()
{
    delete m_pCheckbox;
    --g_nLiveRecords;
}

long CXListCtrl::GetLiveRecordCount()
{
    return g_nLiveRecords;
}

BEGIN_MESSAGE_MAP(CXListCtrl, CListCtrl)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_KEYDOWN()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_MOUSEWHEEL()
    ON_WM_VSCROLL()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
    ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_REGISTERED_MESSAGE(WM_XHEADERCTRL_CHECKBOX_CLICKED, OnHeaderCheckboxClicked)
    ON_MESSAGE(WM_THEMECHANGED, OnThemeChanged)
END_MESSAGE_MAP()

CXListCtrl::CXListCtrl()
    : m_bHeaderSubclassed(FALSE), m_bDirty(FALSE), m_nTextMargin(5), m_nHotItem(-1), m_nHotSubItem(-1),
      m_nPressedItem(-1), m_nPressedSubItem(-1), m_bTrackingLeave(FALSE), m_bEllipsis(TRUE), m_bToolTips(FALSE),
      m_bUseTheme(TRUE), m_bRedraw(TRUE), m_nColumns(0), m_nToolId(-1)
{
    TakeColours();
}

CXListCtrl::~CXListCtrl()
{
    // Destroyed here, while this class still handles its messages, so that
    // the records go and the header member is not destroyed under the list.
    if (m_hWnd != NULL && CWnd::FromHandlePermanent(m_hWnd) == this &&
        ::GetWindowThreadProcessId(m_hWnd, NULL) == ::GetCurrentThreadId())
        DestroyWindow();
}

void CXListCtrl::TakeColours()
{
    m_crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    m_crHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_crBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_crWindow = ::GetSysColor(COLOR_WINDOW);
    m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
}

// ---- Attaching ------------------------------------------------------------------

void CXListCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    AttachHeader();
    AdoptRows();
}

void CXListCtrl::AdoptRows()
{
    // Rows made before we came: their item data moves into a row record as
    // the caller's own. Our procedure is not in place yet, so this talks to
    // the list view directly.
    int nCount = (int)::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < nCount; ++i)
    {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (!::SendMessageW(m_hWnd, LVM_GETITEMW, 0, (LPARAM)&item))
            continue;
        CXListRowData* pRow = NewRowData(m_nColumns);
        if (pRow == NULL)
            continue;
        pRow->m_dwItemData = (DWORD_PTR)item.lParam;
        item.lParam = (LPARAM)pRow;
        if (!::SendMessageW(m_hWnd, LVM_SETITEMW, 0, (LPARAM)&item))
            FreeRowData(pRow);
    }
}

int CXListCtrl::OnCreate(LPCREATESTRUCT)
{
    int nResult = (int)Default();
    if (nResult != -1)
        AttachHeader();
    return nResult;
}

void CXListCtrl::AttachHeader(int nNewColumn)
{
    if (m_bHeaderSubclassed || m_hWnd == NULL)
        return;
    HWND hHeader = (HWND)::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0);
    if (hHeader == NULL || !m_HeaderCtrl.SubclassWindow(hHeader))
        return;
    m_bHeaderSubclassed = TRUE;
    m_HeaderCtrl.SetOwnerList(this);
    // Columns that exist already get their records, but for one being
    // inserted right now, which the insertion counts itself.
    int nItems = m_HeaderCtrl.GetItemCount();
    if (nNewColumn >= nItems)
        nNewColumn = -1;
    m_nColumns = nNewColumn >= 0 ? nItems - 1 : nItems;
    m_arrBoxCount.assign(m_nColumns, 0);
    m_arrCheckedCount.assign(m_nColumns, 0);
    for (int nCol = 0; nCol < nItems; ++nCol)
        if (nCol != nNewColumn)
            m_HeaderCtrl.InsertColumnRecord(m_HeaderCtrl.GetColumnRecordCount(), m_HeaderCtrl.GetCheckState(nCol));
}

void CXListCtrl::OnDestroy()
{
    ClearHot();
    ClearPressed();
    FreeAllRows();
    if (m_wndToolTip.GetSafeHwnd() != NULL)
        m_wndToolTip.DestroyWindow();
    m_nToolId = -1;
    m_nColumns = 0;
    m_arrBoxCount.clear();
    m_arrCheckedCount.clear();
    m_bHeaderSubclassed = FALSE;
    m_bTrackingLeave = FALSE;
    Default();
}

// ---- The list view's own messages, kept in step with the records -------------------

LRESULT CXListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case LVM_INSERTITEMW:
    {
        const LVITEMW* pItem = (const LVITEMW*)lParam;
        if (pItem == NULL)
            return -1;
        CXListRowData* pRow = NewRowData(m_nColumns);
        if (pRow == NULL)
            return -1;
        LVITEMW item = *pItem;
        pRow->m_dwItemData = (item.mask & LVIF_PARAM) ? (DWORD_PTR)item.lParam : 0;
        item.mask |= LVIF_PARAM;
        item.lParam = (LPARAM)pRow;
        int nItem = (int)DefWindowProc(LVM_INSERTITEMW, wParam, (LPARAM)&item);
        if (nItem < 0)
            FreeRowData(pRow);
        return nItem;
    }
    case LVM_GETITEMW:
    {
        LRESULT lResult = DefWindowProc(message, wParam, lParam);
        LVITEMW* pItem = (LVITEMW*)lParam;
        if (lResult && pItem != NULL && (pItem->mask & LVIF_PARAM) && pItem->iSubItem == 0)
        {
            CXListRowData* pRow = (CXListRowData*)pItem->lParam;
            pItem->lParam = pRow != NULL ? (LPARAM)pRow->m_dwItemData : 0;
        }
        return lResult;
    }
    case LVM_SETITEMW:
    {
        const LVITEMW* pItem = (const LVITEMW*)lParam;
        if (pItem == NULL || !(pItem->mask & LVIF_PARAM))
            break;
        CXListRowData* pRow = RowData(pItem->iItem);
        if (pRow == NULL)
            return FALSE;
        pRow->m_dwItemData = (DWORD_PTR)pItem->lParam;
        LVITEMW item = *pItem;
        item.mask &= ~LVIF_PARAM;
        return item.mask == 0 ? TRUE : DefWindowProc(message, wParam, (LPARAM)&item);
    }
    case LVM_DELETEITEM:
    {
        int nItem = (int)wParam;
        CXListRowData* pRow = RowData(nItem);
        ClearHot();
        ClearPressed();
        LRESULT lResult = DefWindowProc(message, wParam, lParam);
        if (lResult && pRow != NULL)
        {
            FreeRowData(pRow);
            for (int nCol = 0; nCol < m_nColumns; ++nCol)
                RollUpHeader(nCol);
        }
        return lResult;
    }
    case LVM_DELETEALLITEMS:
    {
        int nCount = GetItemCount();
        std::vector<CXListRowData*> arrRows;
        arrRows.reserve(nCount);
        for (int i = 0; i < nCount; ++i)
            arrRows.push_back(RowData(i));
        ClearHot();
        ClearPressed();
        LRESULT lResult = DefWindowProc(message, wParam, lParam);
        if (lResult)
        {
            for (CXListRowData* pRow : arrRows)
                FreeRowData(pRow);
            for (int nCol = 0; nCol < m_nColumns; ++nCol)
                RollUpHeader(nCol);
        }
        return lResult;
    }
    case LVM_INSERTCOLUMNW:
    {
        AttachHeader();
        LRESULT lResult = DefWindowProc(message, wParam, lParam);
        // Some list views make their header with the first column.
        AttachHeader((int)lResult);
        if ((int)lResult >= 0)
            AfterColumnInserted((int)lResult, (const LVCOLUMN*)lParam);
        return lResult;
    }
    case LVM_DELETECOLUMN:
    {
        ClearHot();
        ClearPressed();
        LRESULT lResult = DefWindowProc(message, wParam, lParam);
        if (lResult)
            AfterColumnDeleted((int)wParam);
        return lResult;
    }
    case WM_SETREDRAW:
        m_bRedraw = (BOOL)wParam;
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        RelayToolTip(message, wParam, lParam);
        break;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

// ---- Records -------------------------------------------------------------------

CXListRowData* CXListCtrl::NewRowData(int nCells) const
{
    CXListRowData* pRow = new (std::nothrow) CXListRowData;
    if (pRow == NULL)
        return NULL;
    pRow->m_pCells = NULL;
    pRow->m_nCells = 0;
    pRow->m_dwItemData = 0;
    if (nCells > 0)
    {
        pRow->m_pCells = new (std::nothrow) CXListCellData[nCells];
        if (pRow->m_pCells == NULL)
        {
            delete pRow;
            return NULL;
        }
        pRow->m_nCells = nCells;
        for (int i = 0; i < nCells; ++i)
        {
            pRow->m_pCells[i].m_crText = m_crWindowText;
            pRow->m_pCells[i].m_crBackground = m_crWindow;
        }
    }
    return pRow;
}

void CXListCtrl::FreeRowData(CXListRowData* pRow)
{
    if (pRow == NULL)
        return;
    for (int i = 0; i < pRow->m_nCells; ++i)
    {
        CXCheckBox* pBox = pRow->m_pCells[i].m_pCheckbox;
        if (pBox != NULL)
            CountBox(i, pBox->GetCheck(), 0);
    }
    delete[] pRow->m_pCells;
    delete pRow;
}

void CXListCtrl::FreeAllRows()
{
    // The list view lets go of every row at once, then the records go: a
    // row-by-row reset costs two notifications a row, seconds for 20,000.
    int nCount = (int)DefWindowProc(LVM_GETITEMCOUNT, 0, 0);
    std::vector<CXListRowData*> arrRows;
    arrRows.reserve(nCount);
    for (int i = 0; i < nCount; ++i)
        arrRows.push_back(RowData(i));
    if (nCount > 0 && !DefWindowProc(LVM_DELETEALLITEMS, 0, 0))
    {
        // The list view kept its rows: they must not point at freed records.
        for (int i = 0; i < nCount; ++i)
        {
            LVITEMW item = {};
            item.mask = LVIF_PARAM;
            item.iItem = i;
            DefWindowProc(LVM_SETITEMW, 0, (LPARAM)&item);
        }
    }
    for (CXListRowData* pRow : arrRows)
    {
        if (pRow != NULL)
            FreeRowData(pRow);
    }
    std::fill(m_arrBoxCount.begin(), m_arrBoxCount.end(), 0);
    std::fill(m_arrCheckedCount.begin(), m_arrCheckedCount.end(), 0);
}

CXListRowData* CXListCtrl::RowData(int nItem) const
{
    if (m_hWnd == NULL || nItem < 0)
        return NULL;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!const_cast<CXListCtrl*>(this)->DefWindowProc(LVM_GETITEMW, 0, (LPARAM)&item))
        return NULL;
    return (CXListRowData*)item.lParam;
}

BOOL CXListCtrl::IsValidCell(int nItem, int nSubItem) const
{
    return m_hWnd != NULL && nItem >= 0 && nSubItem >= 0 && nSubItem < m_nColumns && nItem < GetItemCount();
}

CXListCellData* CXListCtrl::Cell(int nItem, int nSubItem) const
{
    if (nSubItem < 0)
        return NULL;
    CXListRowData* pRow = RowData(nItem);
    if (pRow == NULL || nSubItem >= pRow->m_nCells)
        return NULL;
    return &pRow->m_pCells[nSubItem];
}

CXListCellData* CXListCtrl::CellForWrite(int nItem, int nSubItem)
{
    if (!IsValidCell(nItem, nSubItem))
        return NULL;
    CXListRowData* pRow = RowData(nItem);
    if (pRow == NULL)
    {
        // A row whose records could not be had at insert time.
        pRow = NewRowData(m_nColumns);
        if (pRow == NULL)
            return NULL;
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = nItem;
        item.lParam = (LPARAM)pRow;
        if (!DefWindowProc(LVM_SETITEMW, 0, (LPARAM)&item))
        {
            FreeRowData(pRow);
            return NULL;
        }
    }
    if (nSubItem >= pRow->m_nCells)
    {
        CXListRowData* pWide = NewRowData(m_nColumns);
        if (pWide == NULL)
            return NULL;
        for (int i = 0; i < pRow->m_nCells; ++i)
        {
            MoveCell(pWide->m_pCells[i], pRow->m_pCells[i]);
            pWide->m_pCells[i].m_bHasCheckbox = pRow->m_pCells[i].m_bHasCheckbox;
        }
        delete[] pRow->m_pCells;
        pRow->m_pCells = pWide->m_pCells;
        pRow->m_nCells = pWide->m_nCells;
        pWide->m_pCells = NULL;
        pWide->m_nCells = 0;
        delete pWide;
    }
    return &pRow->m_pCells[nSubItem];
}

void CXListCtrl::CountBox(int nSubItem, int nOldState, int nNewState)
{
    if (nSubItem < 0 || (size_t)nSubItem >= m_arrBoxCount.size())
        return;
    m_arrBoxCount[nSubItem] += (nNewState != 0 ? 1 : 0) - (nOldState != 0 ? 1 : 0);
    m_arrCheckedCount[nSubItem] += (nNewState == 2 ? 1 : 0) - (nOldState == 2 ? 1 : 0);
}

void CXListCtrl::RollUpHeader(int nSubItem)
{
    if (!m_bHeaderSubclassed || nSubItem < 0 || (size_t)nSubItem >= m_arrBoxCount.size())
        return;
    int nState = m_HeaderCtrl.GetCheckState(nSubItem);
    if (nState == 0)
        return;
    // Checked when every box of the column is; rows without a box do not count.
    int nWanted = m_arrBoxCount[nSubItem] > 0 && m_arrCheckedCount[nSubItem] == m_arrBoxCount[nSubItem] ? 2 : 1;
    if (nWanted != nState)
        m_HeaderCtrl.SetCheckState(nSubItem, nWanted);
}

// ---- Columns ---------------------------------------------------------------------

int CXListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn)
{
    if (pColumn == NULL || m_hWnd == NULL)
        return -1;
    return CListCtrl::InsertColumn(nCol, pColumn);
}

int CXListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    if (m_hWnd == NULL)
        return -1;
    return CListCtrl::InsertColumn(nCol, lpszColumnHeading, nFormat, nWidth, nSubItem);
}

void CXListCtrl::AfterColumnInserted(int nCol, const LVCOLUMN* pColumn)
{
    if (nCol > m_nColumns)
        nCol = m_nColumns;
    int nState = 0;
    if (pColumn != NULL && (pColumn->mask & LVCF_IMAGE) && (pColumn->iImage == 1 || pColumn->iImage == 2))
        nState = pColumn->iImage;
    ++m_nColumns;
    m_arrBoxCount.insert(m_arrBoxCount.begin() + nCol, 0);
    m_arrCheckedCount.insert(m_arrCheckedCount.begin() + nCol, 0);
    if (m_bHeaderSubclassed)
    {
        m_HeaderCtrl.InsertColumnRecord(nCol, nState);
        if (nState != 0)
            m_HeaderCtrl.SetCheckState(nCol, nState);
    }

    // Every row gets a default record at the new index.
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
    {
        CXListRowData* pRow = RowData(i);
        if (pRow == NULL)
            continue;
        CXListRowData* pWide = NewRowData(pRow->m_nCells + 1);
        if (pWide == NULL)
            continue;  // this row keeps its short array; reads past it find no record
        for (int nFrom = 0, nTo = 0; nFrom < pRow->m_nCells; ++nFrom, ++nTo)
        {
            if (nTo == nCol)
                ++nTo;
            MoveCell(pWide->m_pCells[nTo], pRow->m_pCells[nFrom]);
        }
        // The row's "has a box" mark stays in column 0's record.
        pWide->m_pCells[0].m_bHasCheckbox = pRow->m_nCells > 0 && pRow->m_pCells[0].m_bHasCheckbox;
        delete[] pRow->m_pCells;
        pRow->m_pCells = pWide->m_pCells;
        pRow->m_nCells = pWide->m_nCells;
        pWide->m_pCells = NULL;
        pWide->m_nCells = 0;
        delete pWide;
    }
}

void CXListCtrl::AfterColumnDeleted(int nCol)
{
    if (nCol < 0 || nCol >= m_nColumns)
        return;
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
    {
        CXListRowData* pRow = RowData(i);
        if (pRow == NULL || nCol >= pRow->m_nCells)
            continue;
        BOOL bHasCheckbox = pRow->m_pCells[0].m_bHasCheckbox;
        CXListCellData& gone = pRow->m_pCells[nCol];
        delete gone.m_pCheckbox;
        gone.m_pCheckbox = NULL;
        for (int j = nCol; j + 1 < pRow->m_nCells; ++j)
            MoveCell(pRow->m_pCells[j], pRow->m_pCells[j + 1]);
        // The last record stays allocated but is no longer counted.
        CXListCellData& last = pRow->m_pCells[pRow->m_nCells - 1];
        last.m_nImage = -1;
        last.m_strToolTip.Empty();
        --pRow->m_nCells;
        if (pRow->m_nCells > 0)
            pRow->m_pCells[0].m_bHasCheckbox = bHasCheckbox;
    }
    --m_nColumns;
    m_arrBoxCount.erase(m_arrBoxCount.begin() + nCol);
    m_arrCheckedCount.erase(m_arrCheckedCount.begin() + nCol);
    if (m_bHeaderSubclassed)
        m_HeaderCtrl.DeleteColumnRecord(nCol);
}

int CXListCtrl::GetHeaderCheckbox(int nCol) const
{
    if (!m_bHeaderSubclassed || nCol < 0 || nCol >= m_nColumns)
        return 0;
    return m_HeaderCtrl.GetCheckState(nCol);
}
