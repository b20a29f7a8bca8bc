#include "controls/lists/TreeListHeaderCtrl.h"
#include "controls/lists/TreeListCtrl.h"
#include "controls/lists/TreeListResources.h"

BEGIN_MESSAGE_MAP(CTreeListHeaderCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_CAPTURECHANGED()
    ON_MESSAGE(WM_TREELIST_HEADER_LAYOUT, OnLayout)
END_MESSAGE_MAP()

CTreeListHeaderCtrl::CTreeListHeaderCtrl()
    : m_nHeight(0), m_dwStyle(0), m_bCreated(FALSE), m_bOffScreen(TRUE), m_hSizeCursor(NULL), m_hDragCursor(NULL),
      m_hArrowCursor(NULL), m_pColumnImages(&m_imlImages), m_pTreeList(NULL), m_nTrackColumn(-1), m_nTrackStartX(0)
{
    m_crColors[0] = 0x808080;
    m_crColors[1] = ::GetSysColor(COLOR_BTNFACE);
    m_crColors[2] = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crColors[3] = ::GetSysColor(COLOR_BTNSHADOW);
    m_crColors[4] = ::GetSysColor(COLOR_BTNTEXT);
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(SYSTEM_FIXED_FONT), sizeof(lf), &lf);
    m_font.CreateFontIndirect(&lf);
    HINSTANCE hRes = AfxGetResourceHandle();
    m_hSizeCursor = (HCURSOR)::LoadImageW(hRes, MAKEINTRESOURCEW(IDC_TREELIST_HEADER_SIZE), IMAGE_CURSOR, 0, 0, 0);
    m_hDragCursor = (HCURSOR)::LoadImageW(hRes, MAKEINTRESOURCEW(IDC_TREELIST_HEADER_DRAG), IMAGE_CURSOR, 0, 0, 0);
    m_hArrowCursor = ::LoadCursorW(NULL, IDC_ARROW);

    // A failure shows as a failed Create.
    AfxRegisterNamedWndClass(TREELIST_HEADER_CLASSNAME, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                             ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
}

CTreeListHeaderCtrl::~CTreeListHeaderCtrl()
{
    if (m_hSizeCursor != NULL)
        ::DestroyCursor(m_hSizeCursor);
    if (m_hDragCursor != NULL)
        ::DestroyCursor(m_hDragCursor);
    m_imlArrows.DeleteImageList();
    m_imlImages.DeleteImageList();
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL CTreeListHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CTreeListCtrl* pTreeList, UINT nID)
{
    m_dwStyle = dwStyle;
    m_pTreeList = pTreeList;
    m_bCreated = TRUE;
    if (!CWnd::Create(TREELIST_HEADER_CLASSNAME, L"", dwStyle | 0x50000020, rect, pTreeList, nID))
        return FALSE;
    if (!m_imlArrows.Create(IDB_TREELIST_HEADERARROWS, 8, 4, RGB(255, 0, 255)) ||
        !m_imlImages.Create(IDB_TREELIST_HEADERIMAGES, 16, 4, RGB(255, 0, 255)))
    {
        // Without its pictures the header still works; the headings go without images.
        m_imlArrows.DeleteImageList();
        m_imlImages.DeleteImageList();
    }
    return TRUE;
}

void CTreeListHeaderCtrl::UpdateFont()
{
    if (m_hWnd == NULL || ::GetParent(m_hWnd) == NULL || m_pTreeList == NULL)
        return;
    CFont* pFont = m_pTreeList->GetFont();
    LOGFONTW lf = {};
    if (pFont == NULL || pFont->GetLogFont(&lf) == 0)
        return;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
}

int CTreeListHeaderCtrl::SetHeight(int nHeight)
{
    const int nOld = m_nHeight;
    if (nHeight == -1)
    {
        LOGFONTW lf = {};
        m_font.GetLogFont(&lf);
        const int h = lf.lfHeight;
        nHeight = h > 0 ? h + 6 : (h == 0 ? 20 : 6 - h);
    }
    m_nHeight = nHeight;
    return nOld;
}

int CTreeListHeaderCtrl::GetHeight() const
{
    return (m_dwStyle & TLHS_SHOWHEAD) ? m_nHeight : 0;
}

DWORD CTreeListHeaderCtrl::SetStyle(DWORD dwStyle)
{
    const DWORD dwOld = m_dwStyle;
    m_dwStyle = dwStyle;
    return dwOld;
}

LRESULT CTreeListHeaderCtrl::OnLayout(WPARAM, LPARAM lParam)
{
    RECT* pRect = (RECT*)lParam;
    if (pRect == NULL)
        return 0;
    const int h = GetHeight();
    if (pRect->bottom - pRect->top >= h)
        pRect->bottom = pRect->top + h;
    ::MoveWindow(m_hWnd, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
    return 1;
}

BOOL CTreeListHeaderCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTreeListHeaderCtrl::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC == NULL)
        return;
    CRect rcClient;
    ::GetClientRect(m_hWnd, &rcClient);
    if (!rcClient.IsRectEmpty())
    {
        HDC hMemDC = ::CreateCompatibleDC(hDC);
        HBITMAP hBitmap = hMemDC != NULL ? ::CreateCompatibleBitmap(hDC, rcClient.Width(), rcClient.Height()) : NULL;
        if (hBitmap != NULL)
        {
            HGDIOBJ hOld = ::SelectObject(hMemDC, hBitmap);
            Paint(hMemDC, rcClient);
            ::BitBlt(hDC, 0, 0, rcClient.Width(), rcClient.Height(), hMemDC, 0, 0, SRCCOPY);
            ::SelectObject(hMemDC, hOld);
            ::DeleteObject(hBitmap);
        }
        else
            Paint(hDC, rcClient);
        if (hMemDC != NULL)
            ::DeleteDC(hMemDC);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CTreeListHeaderCtrl::Paint(HDC hDC, const CRect& rcClient)
{
    const COLORREF crOld = ::SetBkColor(hDC, m_crColors[1]);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rcClient, NULL, 0, NULL);
    ::SetBkColor(hDC, crOld);
    if (m_pTreeList == NULL)
        return;
    const int nSaved = ::SaveDC(hDC);
    ::SelectObject(hDC, m_font.GetSafeHandle());
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, m_crColors[4]);
    HPEN hLight = ::CreatePen(PS_SOLID, 1, m_crColors[2]);
    HPEN hShadow = ::CreatePen(PS_SOLID, 1, m_crColors[3]);
    int x = -m_pTreeList->m_nHScroll;
    for (int nColumn : m_pTreeList->m_arrShown)
    {
        const CTreeListColumnInfo* pColumn = m_pTreeList->m_arrColumns[nColumn];
        if (pColumn->m_nWidth <= 0)
            continue;
        CRect rc(x, rcClient.top, x + pColumn->m_nWidth, rcClient.bottom);
        x += pColumn->m_nWidth;
        ::SelectObject(hDC, hLight);
        ::MoveToEx(hDC, rc.left, rc.bottom - 1, NULL);
        ::LineTo(hDC, rc.left, rc.top);
        ::LineTo(hDC, rc.right - 1, rc.top);
        ::SelectObject(hDC, hShadow);
        ::MoveToEx(hDC, rc.left, rc.bottom - 1, NULL);
        ::LineTo(hDC, rc.right - 1, rc.bottom - 1);
        ::LineTo(hDC, rc.right - 1, rc.top - 1);
        CRect rcText = rc;
        rcText.DeflateRect(4, 1);
        if (pColumn->m_nImage >= 0 && m_pColumnImages->GetSafeHandle() != NULL)
        {
            ::ImageList_Draw(m_pColumnImages->GetSafeHandle(), pColumn->m_nImage, hDC, rcText.left,
                             rc.top + (rc.Height() - 16) / 2, ILD_TRANSPARENT);
            rcText.left += 18;
        }
        UINT uFormat = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        const DWORD dwFormat = pColumn->m_dwFormat;
        if (dwFormat & 0x2)
            uFormat |= DT_RIGHT;
        else if (dwFormat & 0x1)
            uFormat |= DT_CENTER;
        if (dwFormat & 0x10)
            uFormat |= DT_TOP;
        else if (dwFormat & 0x20)
            uFormat |= DT_BOTTOM;
        else
            uFormat |= DT_VCENTER;
        ::DrawTextW(hDC, pColumn->m_strHeading, pColumn->m_strHeading.GetLength(), &rcText, uFormat);
    }
    ::RestoreDC(hDC, nSaved);
    ::DeleteObject(hLight);
    ::DeleteObject(hShadow);
}

int CTreeListHeaderCtrl::DividerAt(int x) const
{
    if (m_pTreeList == NULL || GetHeight() == 0)
        return -1;
    // Shown columns in order (hidden ones are not among them), scrolled like the rows.
    int nRight = -m_pTreeList->m_nHScroll;
    int nFound = -1;
    for (int nColumn : m_pTreeList->m_arrShown)
    {
        nRight += m_pTreeList->m_arrColumns[nColumn]->m_nWidth;
        if (x >= nRight - 3 && x <= nRight + 3)
            nFound = nColumn;  // the last one wins where zero widths meet
        else if (x < nRight - 3)
            break;
    }
    return nFound;
}

void CTreeListHeaderCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonDown(nFlags, point);
    const int nColumn = DividerAt(point.x);
    if (nColumn < 0)
        return;
    CTreeListColumnInfo* pColumn = m_pTreeList->m_arrColumns[nColumn];
    pColumn->m_nTrackStartWidth = pColumn->m_nWidth;
    pColumn->m_nTrackStartX = point.x;
    m_nTrackColumn = nColumn;
    m_nTrackStartX = point.x;
    ::SetCapture(m_hWnd);
}

void CTreeListHeaderCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd::OnMouseMove(nFlags, point);
    if (m_nTrackColumn < 0 || m_pTreeList == NULL)
        return;
    CTreeListColumnInfo* pColumn = m_pTreeList->m_arrColumns[m_nTrackColumn];
    int nWidth = pColumn->m_nTrackStartWidth + (point.x - pColumn->m_nTrackStartX);
    if (nWidth < pColumn->m_nMinWidth)
        nWidth = pColumn->m_nMinWidth;
    if (pColumn->m_nMaxWidth > 0 && nWidth > pColumn->m_nMaxWidth)
        nWidth = pColumn->m_nMaxWidth;
    if (nWidth < 0)
        nWidth = 0;
    if (nWidth != pColumn->m_nWidth)
    {
        m_pTreeList->SetColumnWidth(m_nTrackColumn, nWidth, pColumn->m_nMinWidth, pColumn->m_nMaxWidth);
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    }
}

void CTreeListHeaderCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    CWnd::OnLButtonUp(nFlags, point);
    if (m_nTrackColumn >= 0)
    {
        m_nTrackColumn = -1;
        ::ReleaseCapture();
    }
}

void CTreeListHeaderCtrl::OnCaptureChanged(CWnd* pWnd)
{
    m_nTrackColumn = -1;
    CWnd::OnCaptureChanged(pWnd);
}

BOOL CTreeListHeaderCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    if (m_nTrackColumn >= 0 || DividerAt(pt.x) >= 0)
    {
        ::SetCursor(m_hSizeCursor != NULL ? m_hSizeCursor : ::LoadCursorW(NULL, IDC_SIZEWE));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}
