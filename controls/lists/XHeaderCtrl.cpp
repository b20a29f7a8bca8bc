#include "controls/lists/XHeaderCtrl.h"
#include "controls/lists/XCheckBox.h"
#include "controls/lists/ListThemeHolder.h"
#include "controls/lists/ListDrawing.h"

#include <algorithm>
#include <vssym32.h>

const UINT WM_XHEADERCTRL_CHECKBOX_CLICKED = ::RegisterWindowMessageW(L"WM_XHEADERCTRL_CHECKBOX_CLICKED");

namespace {

// One "Header" theme handle for every list header.
CListThemeHolder g_headerTheme(L"Header");

const UINT_PTR kHoverTimer = 1;
const int kThemedBottomCut = 3;

} // namespace

BEGIN_MESSAGE_MAP(CXHeaderCtrl, CHeaderCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_TIMER()
    ON_WM_MOUSELEAVE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_MESSAGE(HDM_SETIMAGELIST, OnSetImageList)
    ON_MESSAGE(WM_THEMECHANGED, OnThemeChanged)
END_MESSAGE_MAP()

CXHeaderCtrl::CXHeaderCtrl()
    : m_pOwnerList(NULL), m_nHotItem(-1), m_crText(::GetSysColor(COLOR_BTNTEXT)), m_bHoverTimer(FALSE),
      m_nMargin(5), m_cxImage(0), m_cyImage(0), m_bChecksEnabled(TRUE), m_nHotCheckbox(-1)
{
    TakeColours();
}

CXHeaderCtrl::~CXHeaderCtrl()
{
    FreeColumns();
    g_headerTheme.Close();
}

void CXHeaderCtrl::CloseTheme()
{
    g_headerTheme.Close();
}

void CXHeaderCtrl::TakeColours()
{
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crFace = ::GetSysColor(COLOR_BTNFACE);
    m_crButtonText = ::GetSysColor(COLOR_BTNTEXT);
}

void CXHeaderCtrl::FreeColumns()
{
    for (CXHeaderColumn* pColumn : m_arrColumns)
    {
        if (pColumn != NULL)
            delete pColumn->m_pCheckbox;
        delete pColumn;
    }
    m_arrColumns.clear();
    m_nHotCheckbox = -1;
}

// ---- Column records ---------------------------------------------------------

void CXHeaderCtrl::InsertColumnRecord(int nCol, int nState)
{
    if (nCol < 0)
        return;
    if ((size_t)nCol > m_arrColumns.size())
        nCol = (int)m_arrColumns.size();
    CXHeaderColumn* pColumn = new CXHeaderColumn;
    pColumn->m_pCheckbox = NULL;
    pColumn->m_bEnabled = TRUE;
    if (nState == CXCheckBox::STATE_UNCHECKED || nState == CXCheckBox::STATE_CHECKED)
    {
        pColumn->m_pCheckbox = new CXCheckBox(this);
        pColumn->m_pCheckbox->SetCheck(nState);
    }
    m_arrColumns.insert(m_arrColumns.begin() + nCol, pColumn);
    m_nHotCheckbox = -1;
}

void CXHeaderCtrl::DeleteColumnRecord(int nCol)
{
    if (nCol < 0 || (size_t)nCol >= m_arrColumns.size())
        return;
    CXHeaderColumn* pColumn = m_arrColumns[nCol];
    m_arrColumns.erase(m_arrColumns.begin() + nCol);
    delete pColumn->m_pCheckbox;
    delete pColumn;
    m_nHotCheckbox = -1;
}

CXCheckBox* CXHeaderCtrl::ColumnBox(int nCol) const
{
    if (nCol < 0 || (size_t)nCol >= m_arrColumns.size())
        return NULL;
    return m_arrColumns[nCol]->m_pCheckbox;
}

int CXHeaderCtrl::GetCheckState(int nCol) const
{
    if (m_hWnd == NULL || nCol < 0 || nCol >= GetItemCount())
        return 0;
    // The column's box holds the state; a later change of the column's
    // format (which drops the image flag) does not take the box away.
    if (CXCheckBox* pBox = ColumnBox(nCol))
        return pBox->GetCheck();
    HDITEM item = {};
    item.mask = HDI_IMAGE | HDI_FORMAT;
    if (!GetItem(nCol, &item) || !(item.fmt & HDF_IMAGE))
        return 0;
    return item.iImage == 1 || item.iImage == 2 ? item.iImage : 0;
}

BOOL CXHeaderCtrl::SetCheckState(int nCol, int nState)
{
    if (m_hWnd == NULL || nCol < 0 || nCol >= GetItemCount() || nState < 0 || nState > 2)
        return FALSE;
    HDITEM item = {};
    item.mask = HDI_FORMAT;
    if (!GetItem(nCol, &item))
        return FALSE;
    item.mask = HDI_IMAGE | HDI_FORMAT;
    item.iImage = nState;
    if (nState == 0)
        item.fmt &= ~HDF_IMAGE;
    else
        item.fmt |= HDF_IMAGE;
    if (!SetItem(nCol, &item))
        return FALSE;
    if ((size_t)nCol < m_arrColumns.size())
    {
        CXHeaderColumn* pColumn = m_arrColumns[nCol];
        if (nState == 0)
        {
            delete pColumn->m_pCheckbox;
            pColumn->m_pCheckbox = NULL;
        }
        else
        {
            if (pColumn->m_pCheckbox == NULL)
                pColumn->m_pCheckbox = new CXCheckBox(this);
            pColumn->m_pCheckbox->SetCheck(nState);
        }
    }
    RedrawItem(nCol);
    return TRUE;
}

void CXHeaderCtrl::EnableColumnCheck(int nCol, BOOL bEnable)
{
    if (nCol < 0 || (size_t)nCol >= m_arrColumns.size())
        return;
    m_arrColumns[nCol]->m_bEnabled = bEnable;
    if (m_arrColumns[nCol]->m_pCheckbox != NULL)
        m_arrColumns[nCol]->m_pCheckbox->SetEnabled(bEnable);
    RedrawItem(nCol);
}

// ---- Geometry ----------------------------------------------------------------

BOOL CXHeaderCtrl::IsThemed()
{
    g_headerTheme.Open(m_hWnd);
    return g_headerTheme.IsActive();
}

CRect CXHeaderCtrl::ContentRect(const RECT& rcItem)
{
    CRect rc(rcItem);
    if (IsThemed())
        rc.bottom -= kThemedBottomCut;
    return rc;
}

CRect CXHeaderCtrl::GetCheckboxRect(int nCol) const
{
    CRect rcItem;
    if (ColumnBox(nCol) == NULL || !GetItemRect(nCol, &rcItem))
        return CRect(0, 0, 0, 0);
    CRect rc = const_cast<CXHeaderCtrl*>(this)->ContentRect(rcItem);
    rc.left += m_nMargin;
    return CXCheckBox::BoxRect(rc);
}

int CXHeaderCtrl::ItemFromPoint(CPoint point) const
{
    HDHITTESTINFO info = {};
    info.pt = point;
    int nItem = (int)::SendMessageW(m_hWnd, HDM_HITTEST, 0, (LPARAM)&info);
    if (nItem < 0 || !(info.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)))
        return -1;
    return nItem;
}

void CXHeaderCtrl::RedrawItem(int nItem)
{
    CRect rc;
    if (m_hWnd != NULL && GetItemRect(nItem, &rc))
        InvalidateRect(&rc, FALSE);
}

// ---- Drawing -------------------------------------------------------------------

void CXHeaderCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMCUSTOMDRAW* pCD = (NMCUSTOMDRAW*)pNMHDR;
    *pResult = CDRF_DODEFAULT;
    if (pCD->dwDrawStage == CDDS_PREPAINT)
    {
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (pCD->dwDrawStage != CDDS_ITEMPREPAINT)
        return;
    *pResult = CDRF_SKIPDEFAULT;
    int nItem = (int)pCD->dwItemSpec;
    CRect rcItem;
    if (!GetItemRect(nItem, &rcItem))
        return;
    RECT rcClip;
    RECT rcMeet;
    if (::GetClipBox(pCD->hdc, &rcClip) != ERROR && !::IntersectRect(&rcMeet, &rcClip, &rcItem))
        return;
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_HEADER;
    dis.CtlID = (UINT)GetDlgCtrlID();
    dis.itemID = (UINT)nItem;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = m_hWnd;
    dis.hDC = pCD->hdc;
    dis.rcItem = rcItem;
    DrawItem(&dis);
}

void CXHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    HDC hDC = lpDIS->hDC;
    int nItem = (int)lpDIS->itemID;
    wchar_t szText[81] = {};
    HDITEM item = {};
    item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_BITMAP | HDI_IMAGE;
    item.pszText = szText;
    item.cchTextMax = 80;
    if (!GetItem(nItem, &item))
        return;

    CRect rc(lpDIS->rcItem);
    BOOL bThemed = IsThemed();
    if (bThemed)
    {
        int nState = nItem == m_nHotItem ? HIS_HOT : HIS_NORMAL;
        if (!g_headerTheme.DrawBackground(hDC, HP_HEADERITEM, nState, &rc))
            ListFillSolid(hDC, rc, m_crFace);
        rc.bottom -= kThemedBottomCut;
    }
    else
    {
        ListFillSolid(hDC, rc, m_crFace);
    }

    rc.left += m_nMargin;
    CXCheckBox* pBox = ColumnBox(nItem);
    if (pBox != NULL)
        rc.left += pBox->Draw(hDC, rc);

    if ((item.fmt & HDF_BITMAP) && item.hbm != NULL)
    {
        BITMAP bm = {};
        if (::GetObjectW(item.hbm, sizeof(bm), &bm) != 0)
        {
            HDC hMemDC = ::CreateCompatibleDC(hDC);
            if (hMemDC != NULL)
            {
                HGDIOBJ hOld = ::SelectObject(hMemDC, item.hbm);
                int cx = std::min((int)bm.bmWidth, std::max(0, rc.Width() - m_nMargin));
                int cy = std::min((int)bm.bmHeight, rc.Height());
                int x = rc.right - m_nMargin - cx;
                int y = rc.top + (rc.Height() - cy) / 2;
                ::BitBlt(hDC, x, y, cx, cy, hMemDC, 0, 0, SRCCOPY);
                ::SelectObject(hMemDC, hOld);
                ::DeleteDC(hMemDC);
                rc.right = x;
            }
        }
    }

    if (szText[0] != 0 && (item.fmt & HDF_STRING) && rc.Width() > m_nMargin)
    {
        UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
            nFormat |= DT_CENTER;
        else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
            nFormat |= DT_RIGHT;
        CRect rcText = rc;
        rcText.right -= m_nMargin;
        HFONT hFont = (HFONT)::SendMessageW(m_hWnd, WM_GETFONT, 0, 0);
        HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
        int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
        COLORREF crOld = ::SetTextColor(hDC, m_crText);
        ::DrawTextW(hDC, szText, -1, &rcText, nFormat);
        ::SetTextColor(hDC, crOld);
        ::SetBkMode(hDC, nOldMode);
        if (hOldFont != NULL)
            ::SelectObject(hDC, hOldFont);
    }
}

BOOL CXHeaderCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// ---- Mouse ---------------------------------------------------------------------

void CXHeaderCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bHoverTimer)
    {
        SetTimer(kHoverTimer, 100);
        m_bHoverTimer = TRUE;
    }
    if (IsThemed())
    {
        int nItem = ItemFromPoint(point);
        if (nItem != m_nHotItem)
        {
            m_nHotItem = nItem;
            RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
        int nHotBox = nItem >= 0 && ColumnBox(nItem) != NULL && GetCheckboxRect(nItem).PtInRect(point) ? nItem : -1;
        if (nHotBox != m_nHotCheckbox)
        {
            if (CXCheckBox* pOld = ColumnBox(m_nHotCheckbox))
            {
                pOld->SetHot(FALSE);
                RedrawItem(m_nHotCheckbox);
            }
            m_nHotCheckbox = nHotBox;
            if (CXCheckBox* pNew = ColumnBox(nHotBox))
            {
                pNew->SetHot(TRUE);
                RedrawItem(nHotBox);
            }
        }
    }
    Default();
    (void)nFlags;
}

void CXHeaderCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer)
    {
        Default();
        return;
    }
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!rcClient.PtInRect(point) || ItemFromPoint(point) < 0)
    {
        KillTimer(kHoverTimer);
        SendMessage(WM_MOUSELEAVE);
    }
}

void CXHeaderCtrl::OnMouseLeave()
{
    m_bHoverTimer = FALSE;
    if (CXCheckBox* pBox = ColumnBox(m_nHotCheckbox))
        pBox->SetHot(FALSE);
    m_nHotCheckbox = -1;
    m_nHotItem = -1;
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Default();
}

void CXHeaderCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    int nItem = ItemFromPoint(point);
    CXCheckBox* pBox = ColumnBox(nItem);
    ClearPressed();
    if (pBox != NULL && m_bChecksEnabled && m_arrColumns[nItem]->m_bEnabled && GetCheckboxRect(nItem).PtInRect(point))
    {
        pBox->SetPressed(TRUE);
        RedrawItem(nItem);
    }
    Default();
    (void)nFlags;
}

void CXHeaderCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    int nItem = ItemFromPoint(point);
    CXCheckBox* pBox = ColumnBox(nItem);
    if (pBox != NULL && pBox->GetPressed() && GetCheckboxRect(nItem).PtInRect(point))
    {
        pBox->SetPressed(FALSE);
        // The list flips the state (and its rows) once; a header on its own
        // flips itself.
        if (m_pOwnerList != NULL && ::IsWindow(m_pOwnerList->GetSafeHwnd()))
            m_pOwnerList->SendMessage(WM_XHEADERCTRL_CHECKBOX_CLICKED, (WPARAM)-1, (LPARAM)nItem);
        else
            SetCheckState(nItem, GetCheckState(nItem) == 1 ? 2 : 1);
        RedrawItem(nItem);
    }
    ClearPressed();
    Default();
    (void)nFlags;
}

void CXHeaderCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A quick second click on a box is a second click, not a divider double click.
    int nItem = ItemFromPoint(point);
    if (ColumnBox(nItem) != NULL && GetCheckboxRect(nItem).PtInRect(point))
    {
        SendMessage(WM_LBUTTONDOWN, (WPARAM)nFlags, MAKELPARAM(point.x, point.y));
        return;
    }
    Default();
}

void CXHeaderCtrl::ClearPressed()
{
    for (size_t i = 0; i < m_arrColumns.size(); ++i)
    {
        CXCheckBox* pBox = m_arrColumns[i]->m_pCheckbox;
        if (pBox != NULL && pBox->GetPressed())
        {
            pBox->SetPressed(FALSE);
            RedrawItem((int)i);
        }
    }
}

// ---- The rest ---------------------------------------------------------------------

void CXHeaderCtrl::OnSysColorChange()
{
    TakeColours();
    m_crText = m_crButtonText;
    Default();
}

void CXHeaderCtrl::OnDestroy()
{
    if (m_bHoverTimer)
        KillTimer(kHoverTimer);
    m_bHoverTimer = FALSE;
    m_nHotItem = -1;
    FreeColumns();
    Default();
}

LRESULT CXHeaderCtrl::OnSetImageList(WPARAM, LPARAM lParam)
{
    HIMAGELIST hImageList = (HIMAGELIST)lParam;
    int cx = 0;
    int cy = 0;
    if (hImageList != NULL && ImageList_GetImageCount(hImageList) > 0 && ImageList_GetIconSize(hImageList, &cx, &cy))
    {
        m_cxImage = cx;
        m_cyImage = cy;
    }
    return Default();
}

LRESULT CXHeaderCtrl::OnThemeChanged(WPARAM, LPARAM)
{
    CloseTheme();
    CXCheckBox::CloseTheme();
    LRESULT lResult = Default();
    Invalidate();
    return lResult;
}
