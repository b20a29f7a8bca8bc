#include "controls/skin/GuiOutLook.h"
#include "controls/skin/GradientPainter.h"
#include "controls/skin/XPColors.h"
#include "framework/Dc.h"
#include "framework/WinApp.h"
#include <new>

namespace {

const UINT_PTR kArrowTimer = 1;
const int kScrollStep = 50;
const COLORREF kBarBase = RGB(227, 237, 246);

}  // namespace

BEGIN_MESSAGE_MAP(CGuiOutLook, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CGuiOutLook::CGuiOutLook()
    : m_dwStyle(XP_STYLE_GRADIENT), m_sizeImage(20, 20), m_nCount(0), m_nScrollOffset(0), m_rcUpArrow(0, 0, 0, 0),
      m_rcDownArrow(0, 0, 0, 0), m_bUpShown(FALSE), m_bDownShown(FALSE)
{
}

CGuiOutLook::~CGuiOutLook()
{
    DeleteItems();
}

BOOL CGuiOutLook::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(NULL, L"", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CGuiOutLook::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    return 0;
}

void CGuiOutLook::SetImageList(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nBitmapID))
        return;
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    m_imageList.DeleteImageList();
    if (!m_imageList.Create(cx, cx, ILC_COLOR24 | ILC_MASK, 16, nGrow))
        return;
    m_imageList.Add(&bitmap, crMask);
    m_sizeImage = CSize(cx, info.bmHeight);
}

OutlookItem* CGuiOutLook::GetItem(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_arrItems.GetSize())
        return NULL;
    return (OutlookItem*)m_arrItems[nIndex];
}

void CGuiOutLook::AddItem(UINT nID, const CString& strText, int nImage, const CString& strTip)
{
    OutlookItem* pItem = new (std::nothrow) OutlookItem;
    if (pItem != NULL)
    {
        pItem->nFlag = 1;
        pItem->hIcon = m_imageList.GetSafeHandle() != NULL ? m_imageList.ExtractIcon(nImage) : NULL;
        pItem->button.Create(strText, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 0, 0), this, nID);
        pItem->button.SetCaption(strText);
        pItem->button.SetIcon(pItem->hIcon);
        pItem->button.SetToolTip(strTip);
        pItem->strText = strText;
    }
    m_arrItems.Add(pItem);
    ++m_nCount;
    RecalLayout();
}

void CGuiOutLook::SetItemText(UINT nID, const CString& strText)
{
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
    {
        OutlookItem* pItem = (OutlookItem*)m_arrItems[i];
        if (pItem == NULL || !::IsWindow(pItem->button.m_hWnd) || (UINT)pItem->button.GetDlgCtrlID() != nID)
            continue;
        pItem->strText = strText;
        pItem->button.SetCaption(strText);
        CString strTip(strText);
        strTip.Replace(L"&&", L"&&&");
        pItem->button.SetToolTip(strTip);
    }
}

void CGuiOutLook::SetStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle;
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
    {
        OutlookItem* pItem = (OutlookItem*)m_arrItems[i];
        if (pItem != NULL)
            pItem->button.SetStyle(dwStyle, TRUE);
    }
    if (!::IsWindow(m_hWnd))
        return;
    SendMessage(WM_NCPAINT);
    Invalidate();
    UpdateWindow();
}

CRect CGuiOutLook::GetUpArrowRect() const
{
    CRect rect;
    GetClientRect(&rect);
    return CRect(rect.right - 19, 3, rect.right - 3, 19);
}

CRect CGuiOutLook::GetDownArrowRect() const
{
    CRect rect;
    GetClientRect(&rect);
    return CRect(rect.right - 19, rect.bottom - 19, rect.right - 3, rect.bottom - 3);
}

void CGuiOutLook::RecalLayout()
{
    if (!::IsWindow(m_hWnd))
        return;
    CRect rect;
    GetClientRect(&rect);
    m_bUpShown = FALSE;
    m_bDownShown = FALSE;
    int y = m_nScrollOffset + 5;
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
    {
        OutlookItem* pItem = (OutlookItem*)m_arrItems[i];
        if (pItem != NULL && ::IsWindow(pItem->button.m_hWnd))
            pItem->button.MoveWindow(ITEM_MARGIN, y, rect.right - 2 * ITEM_MARGIN, 28, FALSE);
        y += 29;
    }
    m_rcUpArrow = GetUpArrowRect();
    m_rcDownArrow = GetDownArrowRect();
    if (y > rect.Height())
        m_bDownShown = TRUE;
    if (m_nScrollOffset < 0)
        m_bUpShown = TRUE;
    Invalidate();
    UpdateWindow();
}

BOOL CGuiOutLook::OnCommand(WPARAM wParam, LPARAM lParam)
{
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
    {
        OutlookItem* pItem = (OutlookItem*)m_arrItems[i];
        if (pItem == NULL || pItem->button.m_hWnd != (HWND)lParam)
            continue;
        WPARAM wCommand = MAKEWPARAM(pItem->button.GetDlgCtrlID(), 0);
        CWnd* pParent = GetParent();
        if (pParent != NULL)
            pParent->SendMessage(WM_COMMAND, wCommand, 0);
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != NULL && ::IsWindow(pMain->m_hWnd))
            pMain->SendMessage(WM_COMMAND, wCommand, 0);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CGuiOutLook::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CGuiOutLook::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    if (rect.IsRectEmpty())
        return;
    CDC dcMem;
    CBitmap bmp;
    if (!dcMem.CreateCompatibleDC(&dc) || !bmp.CreateCompatibleBitmap(&dc, rect.Width(), rect.Height()))
        return;
    CBitmap* pOldBitmap = dcMem.SelectObject(&bmp);
    if (m_dwStyle == XP_STYLE_GRADIENT)
    {
        GradientPainter painter(rect.Size());
        painter.PaintFace(&dcMem, m_dwStyle, kBarBase);
        painter.Blit(&dcMem, 0, 0, 0, 0, rect.Width(), rect.Height(), SRCCOPY);
    }
    else
    {
        dcMem.FillSolidRect(&rect, kBarBase);
    }
    if (m_bUpShown)
    {
        CRect rc = GetUpArrowRect();
        dcMem.DrawFrameControl(&rc, DFC_SCROLL, DFCS_SCROLLUP);
    }
    if (m_bDownShown)
    {
        CRect rc = GetDownArrowRect();
        dcMem.DrawFrameControl(&rc, DFC_SCROLL, DFCS_SCROLLDOWN);
    }
    dc.BitBlt(0, 0, rect.Width(), rect.Height(), &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOldBitmap);
}

void CGuiOutLook::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_nCount > 0)
        RecalLayout();
}

void CGuiOutLook::OnLButtonDown(UINT nFlags, CPoint point)
{
    CRect rcUp = GetUpArrowRect(), rcDown = GetDownArrowRect();
    if ((m_bUpShown && rcUp.PtInRect(point)) || (m_bDownShown && rcDown.PtInRect(point)))
    {
        BOOL bUp = m_bUpShown && rcUp.PtInRect(point);
        CClientDC dc(this);
        CRect rc = bUp ? rcUp : rcDown;
        dc.DrawFrameControl(&rc, DFC_SCROLL, (bUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN) | DFCS_PUSHED);
        SetTimer(kArrowTimer, 100);
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CGuiOutLook::OnLButtonUp(UINT nFlags, CPoint point)
{
    CRect rcUp = GetUpArrowRect(), rcDown = GetDownArrowRect();
    if (m_bUpShown && rcUp.PtInRect(point))
    {
        m_nScrollOffset += kScrollStep;
        RecalLayout();
    }
    else if (m_bDownShown && rcDown.PtInRect(point))
    {
        m_nScrollOffset -= kScrollStep;
        RecalLayout();
    }
    else
    {
        CClientDC dc(this);
        if (m_bUpShown)
            dc.DrawFrameControl(&rcUp, DFC_SCROLL, DFCS_SCROLLUP);
        if (m_bDownShown)
            dc.DrawFrameControl(&rcDown, DFC_SCROLL, DFCS_SCROLLDOWN);
    }
    CWnd::OnLButtonUp(nFlags, point);
}

void CGuiOutLook::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kArrowTimer)
    {
        DWORD dwPos = ::GetMessagePos();
        CPoint pt((short)LOWORD(dwPos), (short)HIWORD(dwPos));
        ScreenToClient(&pt);
        CRect rect;
        GetClientRect(&rect);
        if (!rect.PtInRect(pt))
            KillTimer(kArrowTimer);
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void CGuiOutLook::OnSysColorChange()
{
    CWnd::OnSysColorChange();
    Invalidate();
}

void CGuiOutLook::DeleteItems()
{
    for (INT_PTR i = 0; i < m_arrItems.GetSize(); ++i)
    {
        OutlookItem* pItem = (OutlookItem*)m_arrItems[i];
        if (pItem == NULL)
            continue;
        if (::IsWindow(pItem->button.m_hWnd))
            pItem->button.DestroyWindow();
        if (pItem->hIcon != NULL)
            ::DestroyIcon(pItem->hIcon);
        delete pItem;
    }
    m_arrItems.RemoveAll();
    m_nCount = 0;
}

void CGuiOutLook::OnDestroy()
{
    DeleteItems();
    CWnd::OnDestroy();
}
