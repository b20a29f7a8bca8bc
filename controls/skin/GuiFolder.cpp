#include "controls/skin/GuiFolder.h"
#include "controls/skin/GradientPainter.h"
#include "controls/skin/XPColors.h"
#include "framework/Dc.h"
#include "framework/WinApp.h"
#include <new>

namespace {

const UINT_PTR kHotTimer = 1;
const UINT_PTR kToolId = 1;
const int kTopHeaderHeight = 36;
const int kBottomHeaderHeight = 34;

CString ToolTipText(const CString& strName)
{
    CString strTip(strName);
    strTip.Replace(L"&&", L"&&&");
    return strTip;
}

}  // namespace

int CGuiFolder::s_nLastHot = -1;

BEGIN_MESSAGE_MAP(CGuiFolder, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CGuiFolder::CGuiFolder()
    : m_dwStyle(XP_STYLE_GRADIENT), m_nCount(0), m_nOpen(0), m_nHot(-1), m_nBottomEdge(0), m_nTopEdge(0),
      m_nPreviousOpen(0), m_bPlainText(FALSE)
{
}

CGuiFolder::~CGuiFolder()
{
    for (INT_PTR i = 0; i < m_arrFolders.GetSize(); ++i)
        delete (FolderRecord*)m_arrFolders[i];
    m_arrFolders.RemoveAll();
}

BOOL CGuiFolder::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(NULL, L"", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

FolderRecord* CGuiFolder::GetFolder(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_arrFolders.GetSize())
        return NULL;
    return (FolderRecord*)m_arrFolders[nIndex];
}

void CGuiFolder::SetImageList(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    m_imageList.DeleteImageList();
    if (!m_imageList.Create(cx, cx, ILC_COLOR24 | ILC_MASK, 16, nGrow))
        return;
    CBitmap bitmap;
    if (bitmap.LoadBitmap(nBitmapID))
        m_imageList.Add(&bitmap, crMask);
}

void CGuiFolder::AddFolder(CWnd* pWnd, LPCTSTR lpszName, int nImage)
{
    FolderRecord* pFolder = new (std::nothrow) FolderRecord;
    if (pFolder == NULL)
        return;
    pFolder->pChild = pWnd;
    pFolder->strName = lpszName;
    pFolder->nImage = nImage;
    pFolder->rcHeader = CRect(0, 0, 0, 0);
    pFolder->bAtTop = TRUE;
    for (INT_PTR i = 0; i < m_arrFolders.GetSize(); ++i)
    {
        FolderRecord* pOld = (FolderRecord*)m_arrFolders[i];
        if (pOld != NULL && pOld->pChild != NULL && ::IsWindow(pOld->pChild->m_hWnd))
            pOld->pChild->ShowWindow(SW_HIDE);
    }
    m_arrFolders.Add(pFolder);
    if (pWnd != NULL && ::IsWindow(pWnd->m_hWnd))
        pWnd->ShowWindow(SW_SHOW);
    m_nOpen = m_nCount;
    ++m_nCount;
    RecalLayout();
}

void CGuiFolder::SelectFolder(int nIndex)
{
    FolderRecord* pFolder = GetFolder(nIndex);
    if (pFolder == NULL)
        return;
    DrawFolder(pFolder, GUIFOLDER_NORMAL);
    m_nPreviousOpen = m_nOpen;
    m_nOpen = nIndex;
    MoveFolders();
}

void CGuiFolder::SetStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle;
    if (!::IsWindow(m_hWnd))
        return;
    SendMessage(WM_NCPAINT);
    Invalidate();
    UpdateWindow();
}

void CGuiFolder::SetFolderText(int nIndex, const CString& strName)
{
    FolderRecord* pFolder = GetFolder(nIndex);
    if (pFolder == NULL)
        return;
    pFolder->strName = strName;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CGuiFolder::DeleteFolder(int nIndex, BOOL bRepaint)
{
    FolderRecord* pFolder = GetFolder(nIndex);
    if (nIndex < 0 || nIndex >= m_arrFolders.GetSize())
        return;
    delete pFolder;
    m_arrFolders.RemoveAt(nIndex);
    --m_nCount;
    m_nOpen = nIndex == 0 ? m_nCount - 1 : nIndex - 1;
    if (bRepaint && m_nCount > 0)
    {
        RecalLayout();
        SelectFolder(m_nOpen);
    }
}

void CGuiFolder::RemoveAllFolders()
{
    for (INT_PTR i = 0; i < m_arrFolders.GetSize(); ++i)
        delete (FolderRecord*)m_arrFolders[i];
    m_arrFolders.RemoveAll();
    m_nCount = 0;
    m_nOpen = -1;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

// ---- Layout ----------------------------------------------------------------------------

void CGuiFolder::RecalLayout()
{
    if (!::IsWindow(m_hWnd) || m_arrFolders.GetSize() == 0)
        return;
    CRect rect;
    GetClientRect(&rect);
    m_nTopEdge = 0;
    m_nBottomEdge = rect.bottom;
    INT_PTR nFolders = m_arrFolders.GetSize();
    FolderRecord* pFirst = (FolderRecord*)m_arrFolders[0];
    if (pFirst != NULL)
        pFirst->rcHeader = CRect(rect.left, rect.top, rect.right, rect.top + kTopHeaderHeight);
    m_nTopEdge += kTopHeaderHeight - 1;
    for (INT_PTR i = 1; i < nFolders; ++i)
    {
        FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
        if (pFolder == NULL)
            continue;
        if (pFolder->bAtTop)
        {
            pFolder->rcHeader = CRect(rect.left, m_nTopEdge, rect.right, m_nTopEdge + kTopHeaderHeight);
            m_nTopEdge += kTopHeaderHeight;
            continue;
        }
        for (INT_PTR n = nFolders - 1; n >= i; --n)
        {
            FolderRecord* pBottom = (FolderRecord*)m_arrFolders[n];
            if (pBottom == NULL)
                continue;
            pBottom->rcHeader = CRect(rect.left, m_nBottomEdge - kBottomHeaderHeight, rect.right, m_nBottomEdge);
            m_nBottomEdge -= kBottomHeaderHeight;
        }
        break;
    }
    FolderRecord* pOpen = GetFolder(m_nOpen);
    if (pOpen != NULL && pOpen->pChild != NULL && ::IsWindow(pOpen->pChild->m_hWnd))
    {
        int y = m_nOpen == 0 ? m_nTopEdge + 1 : m_nTopEdge;
        pOpen->pChild->SetWindowPos(NULL, rect.left, y, rect.Width(), m_nBottomEdge - m_nTopEdge,
                                    SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
}

void CGuiFolder::MoveFolders()
{
    INT_PTR nFolders = m_arrFolders.GetSize();
    if (nFolders == 0)
        return;
    FolderRecord* pNew = GetFolder(m_nOpen);
    if (pNew == NULL)
        return;
    if (m_nOpen == nFolders - 1 && pNew->bAtTop)
    {
        m_nOpen = m_nPreviousOpen;
        return;
    }
    BOOL bMoved = FALSE;
    if (pNew->bAtTop)
    {
        FolderRecord* pNext = GetFolder(m_nOpen + 1);
        if (pNext != NULL && !pNext->bAtTop)
            return;  // already open
        for (INT_PTR i = m_nOpen + 1; i < nFolders; ++i)
        {
            FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
            if (pFolder != NULL)
                pFolder->bAtTop = FALSE;
        }
        bMoved = TRUE;
    }
    else
    {
        for (int i = 1; i <= m_nOpen; ++i)
        {
            FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
            if (pFolder != NULL)
                pFolder->bAtTop = TRUE;
        }
        bMoved = TRUE;
    }
    if (!bMoved)
    {
        m_nOpen = m_nPreviousOpen;
        return;
    }
    FolderRecord* pPrevious = GetFolder(m_nPreviousOpen);
    if (pPrevious != NULL && pPrevious != pNew && pPrevious->pChild != NULL && ::IsWindow(pPrevious->pChild->m_hWnd))
        pPrevious->pChild->ShowWindow(SW_HIDE);
    if (pNew->pChild != NULL && ::IsWindow(pNew->pChild->m_hWnd))
        pNew->pChild->ShowWindow(SW_SHOW);
    RecalLayout();
    if (::IsWindow(m_hWnd))
        Invalidate();
}

int CGuiFolder::HitTestHeader(CPoint point) const
{
    for (INT_PTR i = 0; i < m_arrFolders.GetSize(); ++i)
    {
        FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
        if (pFolder != NULL && pFolder->rcHeader.PtInRect(point))
            return (int)i;
    }
    return -1;
}

// ---- Painting -----------------------------------------------------------------------------

void CGuiFolder::DrawFolderIndex(int nIndex, int nState)
{
    FolderRecord* pFolder = GetFolder(nIndex);
    if (pFolder != NULL)
        DrawFolder(pFolder, nState);
}

void CGuiFolder::DrawFolder(FolderRecord* pFolder, int nState)
{
    if (pFolder == NULL || !::IsWindow(m_hWnd) || pFolder->rcHeader.IsRectEmpty())
        return;
    CClientDC dc(this);
    CRect rect(pFolder->rcHeader);
    rect.top += 1;
    rect.right -= 1;
    if (m_dwStyle == XP_STYLE_GRADIENT)
    {
        GradientPainter painter(CSize(rect.Width(), rect.Height() + 5));
        if (nState == GUIFOLDER_HOT)
            painter.VerticalGradient(&dc, 227, 237, 246, 197, 207, 216);
        else
            painter.VerticalGradient(&dc, 250, 250, 249, 197, 207, 216);
        painter.Blit(&dc, rect.left - 1, rect.top - 1, 0, 0, rect.Width(), rect.Height(), SRCCOPY);
        dc.Draw3dRect(&rect, nState == GUIFOLDER_HOT ? GetXPPressedColor() : ::GetSysColor(COLOR_BTNHIGHLIGHT),
                      ::GetSysColor(COLOR_BTNSHADOW));
    }
    else
    {
        CRect rcFill(rect);
        if (m_bPlainText)
            rcFill.right -= 30;
        dc.FillSolidRect(&rcFill, RGB(227, 237, 246));
        if (nState == GUIFOLDER_HOT)
        {
            dc.Draw3dRect(&rect, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
            CRect rcInner(rect);
            rcInner.DeflateRect(1, 1);
            dc.Draw3dRect(&rcInner, ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW));
        }
        else if (nState == GUIFOLDER_PRESSED)
        {
            dc.Draw3dRect(&rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
        }
        else
        {
            dc.Draw3dRect(&rect, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
        }
    }

    int nImageWidth = 0;
    if (m_imageList.GetSafeHandle() != NULL)
    {
        IMAGEINFO info = {};
        if (m_imageList.GetImageInfo(pFolder->nImage, &info))
            nImageWidth = info.rcImage.right - info.rcImage.left;
        m_imageList.Draw(&dc, pFolder->nImage, CPoint(rect.left + CAPTION_IMAGE_LEFT, rect.top), ILD_TRANSPARENT);
    }

    CFont font;
    font.CreateFont(14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Verdana");
    CFont* pOldFont = dc.SelectObject(&font);
    int nOldMode = dc.SetBkMode(TRANSPARENT);
    CRect rcText(rect);
    if (m_bPlainText)
    {
        dc.DrawText(pFolder->strName, &rcText, DT_SINGLELINE | DT_VCENTER);
    }
    else
    {
        rcText.left += CAPTION_IMAGE_LEFT + nImageWidth + CAPTION_GAP;
        rcText.right -= CAPTION_GAP;
        // A caption too long for one line takes two, centred in the header.
        CRect rcMeasure(rcText);
        dc.DrawText(pFolder->strName, &rcMeasure, DT_SINGLELINE | DT_CALCRECT);
        if (rcMeasure.Width() <= rcText.Width())
            dc.DrawText(pFolder->strName, &rcText, DT_SINGLELINE | DT_VCENTER);
        else
        {
            rcMeasure = rcText;
            dc.DrawText(pFolder->strName, &rcMeasure, DT_WORDBREAK | DT_CALCRECT);
            rcText.top += (rcText.Height() - rcMeasure.Height()) / 2;
            dc.DrawText(pFolder->strName, &rcText, DT_WORDBREAK);
        }
    }
    dc.SetBkMode(nOldMode);
    dc.SelectObject(pOldFont);
}

void CGuiFolder::OnPaint()
{
    CPaintDC dc(this);
    for (int i = 0; i < (int)m_arrFolders.GetSize(); ++i)
        DrawFolderIndex(i, GUIFOLDER_NORMAL);
}

BOOL CGuiFolder::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    if (m_arrFolders.GetSize() == 0)
    {
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
        return TRUE;
    }
    COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
    pDC->Draw3dRect(&rect, clrFace, clrFace);
    rect.DeflateRect(1, 1);
    pDC->Draw3dRect(&rect, clrFace, clrFace);
    return TRUE;
}

void CGuiFolder::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_arrFolders.GetSize() > 0)
        RecalLayout();
}

void CGuiFolder::OnDestroy()
{
    for (INT_PTR i = 0; i < m_arrFolders.GetSize(); ++i)
        delete (FolderRecord*)m_arrFolders[i];
    m_arrFolders.RemoveAll();
    m_nCount = 0;
    CWnd::OnDestroy();
}

// ---- Pointer and tooltip ---------------------------------------------------------------

void CGuiFolder::EnsureToolTip()
{
    if (m_toolTip.GetSafeHwnd() != NULL || !::IsWindow(m_hWnd))
        return;
    if (!m_toolTip.Create(this, 0))
        return;
    m_toolTip.Activate(FALSE);
    m_toolTip.SetMaxTipWidth(400);
}

BOOL CGuiFolder::PreTranslateMessage(MSG* pMsg)
{
    EnsureToolTip();
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.RelayEvent(pMsg);
    return CWnd::PreTranslateMessage(pMsg);
}

void CGuiFolder::OnMouseMove(UINT nFlags, CPoint point)
{
    int nIndex = HitTestHeader(point);
    if (nIndex < 0)
    {
        if (m_nHot >= 0)
            DrawFolderIndex(m_nHot, GUIFOLDER_NORMAL);
        m_nHot = -1;
        s_nLastHot = -1;
        CWnd::OnMouseMove(nFlags, point);
        return;
    }
    if (m_toolTip.GetSafeHwnd() != NULL)
    {
        m_toolTip.Activate(TRUE);
        CString strTip = ToolTipText(GetFolder(nIndex)->strName);
        if (m_toolTip.GetToolCount() == 0)
        {
            CRect rect;
            GetClientRect(&rect);
            m_toolTip.AddTool(this, strTip, &rect, kToolId);
        }
        else
        {
            m_toolTip.UpdateTipText(strTip, this, kToolId);
        }
    }
    SetTimer(kHotTimer, 100);
    if (nIndex != m_nHot)
    {
        if (m_nHot >= 0)
            DrawFolderIndex(m_nHot, GUIFOLDER_NORMAL);
        DrawFolderIndex(nIndex, GUIFOLDER_HOT);
        s_nLastHot = m_nHot;
        m_nHot = nIndex;
        SetTimer(kHotTimer, 100);
    }
    CWnd::OnMouseMove(nFlags, point);
}

void CGuiFolder::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHotTimer)
    {
        CWnd::OnTimer(nIDEvent);
        return;
    }
    DWORD dwPos = ::GetMessagePos();
    CPoint pt((short)LOWORD(dwPos), (short)HIWORD(dwPos));
    ScreenToClient(&pt);
    CRect rcArea;
    FolderRecord* pHot = GetFolder(m_nHot);
    if (pHot != NULL)
        rcArea = pHot->rcHeader;
    else
        GetClientRect(&rcArea);
    if (rcArea.PtInRect(pt))
        return;
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.Activate(FALSE);
    if (m_nHot >= 0)
        DrawFolderIndex(m_nHot, GUIFOLDER_NORMAL);
    m_nHot = -1;
    KillTimer(kHotTimer);
}

void CGuiFolder::OnLButtonDown(UINT nFlags, CPoint point)
{
    for (int i = 0; i < (int)m_arrFolders.GetSize(); ++i)
    {
        FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
        if (pFolder == NULL || !pFolder->rcHeader.PtInRect(point))
            continue;
        DrawFolder(pFolder, GUIFOLDER_PRESSED);
        int nID = pFolder->pChild != NULL && ::IsWindow(pFolder->pChild->m_hWnd) ? pFolder->pChild->GetDlgCtrlID() : 0;
        SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != NULL && ::IsWindow(pMain->m_hWnd))
            pMain->SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
        if (m_toolTip.GetSafeHwnd() != NULL)
            m_toolTip.Activate(FALSE);
    }
    CWnd::OnLButtonDown(nFlags, point);
}

void CGuiFolder::OnLButtonUp(UINT nFlags, CPoint point)
{
    for (int i = 0; i < (int)m_arrFolders.GetSize(); ++i)
    {
        FolderRecord* pFolder = (FolderRecord*)m_arrFolders[i];
        if (pFolder == NULL || !pFolder->rcHeader.PtInRect(point))
            continue;
        DrawFolder(pFolder, GUIFOLDER_NORMAL);
        m_nPreviousOpen = m_nOpen;
        m_nOpen = i;
        MoveFolders();
        break;  // the headers have moved: the point now meets another one
    }
    CWnd::OnLButtonUp(nFlags, point);
}
