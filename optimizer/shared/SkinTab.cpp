#include "optimizer/shared/SkinTab.h"
#include "optimizer/shared/DrawUtils.h"

BEGIN_MESSAGE_MAP(CSkinTab, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CSkinTab::CSkinTab() : m_nCurSel(-1), m_nHover(-1), m_hOldBack(NULL), m_bBackTaken(FALSE), m_bTipEnabled(FALSE),
      m_bClicksBlocked(false)
{
}

CSkinTab::~CSkinTab()
{
    ResetBackground();
    if (m_tip.GetSafeHwnd() != NULL)
        m_tip.DestroyWindow();
}

void CSkinTab::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
}

void CSkinTab::SetTabCount(int nCount)
{
    m_tabs.clear();
    for (int i = 0; i < nCount; i++)
        m_tabs.push_back(std::unique_ptr<CTabInfo>(new CTabInfo));
    m_nHover = -1;
    if (m_nCurSel >= nCount)
        m_nCurSel = -1;
}

void CSkinTab::SetTabRect(int nIndex, int nLeft, int nTop, int nRight, int nBottom)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return;
    m_tabs[nIndex]->rect.SetRect(nLeft, nTop, nRight, nBottom);
}

BOOL CSkinTab::SetTabBitmaps(int nIndex, UINT nNormalID, UINT nHoverID, UINT nSelectedID)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return FALSE;
    CTabInfo& tab = *m_tabs[nIndex];
    const UINT ids[3] = {nNormalID, nHoverID, nSelectedID};
    BOOL bAll = TRUE;
    for (int i = 0; i < 3; i++)
    {
        tab.bitmaps[i].DeleteObject();
        bAll = tab.bitmaps[i].LoadBitmap(ids[i]) && bAll;
    }
    return bAll;
}

void CSkinTab::SetTabTooltip(int nIndex, LPCWSTR lpszText)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return;
    m_tabs[nIndex]->strTooltip = lpszText;
}

CString CSkinTab::GetTabTooltip(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return CString();
    return m_tabs[nIndex]->strTooltip;
}

void CSkinTab::SetCurSel(int nIndex)
{
    if (nIndex < -1 || nIndex >= GetTabCount())
        return;
    m_nCurSel = nIndex;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CSkinTab::SetTooltip(LPCWSTR lpszText, BOOL bEnable)
{
    m_bTipEnabled = bEnable;
    m_strTip = lpszText != NULL ? lpszText : L"";
    if (m_tip.GetSafeHwnd() == NULL)
    {
        if (!m_tip.Create(this, TTS_ALWAYSTIP))
            return;
        m_tip.AddTool(this, m_strTip);
    }
    else
        m_tip.UpdateTipText(m_strTip, this);
    m_tip.Activate(bEnable);
    m_tip.SetDelayTime(250);
}

void CSkinTab::RelayEvent(MSG* pMsg)
{
    if (!m_bTipEnabled || m_tip.GetSafeHwnd() == NULL || pMsg == NULL)
        return;
    // The relayed move comes before the strip sees it: name the tab first.
    if (pMsg->message == WM_MOUSEMOVE && pMsg->hwnd == m_hWnd)
    {
        int nTab = HitTest(CPoint(pMsg->lParam));
        if (nTab >= 0)
            m_tip.UpdateTipText(m_tabs[nTab]->strTooltip, this);
    }
    m_tip.RelayEvent(pMsg);
}

void CSkinTab::ResetBackground()
{
    if (m_dcBack.m_hDC != NULL)
    {
        ::SelectObject(m_dcBack, m_hOldBack);
        m_dcBack.DeleteDC();
    }
    m_bmpBack.DeleteObject();
    m_hOldBack = NULL;
    m_bBackTaken = FALSE;
}

BOOL CSkinTab::TakeBackground()
{
    if (m_bBackTaken)
        return TRUE;
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    if (!m_dcBack.CreateCompatibleDC(&dc))
        return FALSE;
    if (!m_bmpBack.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height()))
    {
        m_dcBack.DeleteDC();
        return FALSE;
    }
    m_hOldBack = ::SelectObject(m_dcBack, m_bmpBack);
    // The parent draws itself into our copy; the screen may show anything.
    PaintParentBackground(this, &m_dcBack, rc);
    m_bBackTaken = TRUE;
    return TRUE;
}

BOOL CSkinTab::OnEraseBkgnd(CDC*)
{
    TakeBackground();
    return TRUE;
}

void CSkinTab::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (!TakeBackground())
        return;
    CDC dcMem;
    CBitmap bmpMem;
    if (!dcMem.CreateCompatibleDC(&dc) || !bmpMem.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height()))
        return;
    HGDIOBJ hOld = ::SelectObject(dcMem, bmpMem);
    dcMem.BitBlt(0, 0, rc.Width(), rc.Height(), &m_dcBack, 0, 0, SRCCOPY);
    // Last to first, so that earlier tabs lie on top; the selected one over all.
    for (int i = GetTabCount() - 1; i >= 0; i--)
    {
        CTabInfo& tab = *m_tabs[i];
        CBitmap& bmp = (i == m_nHover && tab.bitmaps[1].m_hObject != NULL) ? tab.bitmaps[1] : tab.bitmaps[0];
        if (bmp.m_hObject != NULL)
            DrawTransparentBitmap(&dcMem, tab.rect.left, tab.rect.top, bmp, SKIN_KEY_COLOR);
    }
    if (m_nCurSel >= 0 && m_nCurSel < GetTabCount() && m_tabs[m_nCurSel]->bitmaps[2].m_hObject != NULL)
    {
        CTabInfo& tab = *m_tabs[m_nCurSel];
        DrawTransparentBitmap(&dcMem, tab.rect.left, tab.rect.top, tab.bitmaps[2], SKIN_KEY_COLOR);
    }
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &dcMem, 0, 0, SRCCOPY);
    ::SelectObject(dcMem, hOld);
}

int CSkinTab::HitTest(CPoint point) const
{
    for (int i = 0; i < GetTabCount(); i++)
    {
        if (m_tabs[i]->rect.PtInRect(point))
            return i;
    }
    return -1;
}

void CSkinTab::OnMouseMove(UINT nFlags, CPoint point)
{
    int nTab = HitTest(point);
    if (nTab >= 0 && nTab != m_nHover)
    {
        m_nHover = nTab;
        Invalidate(FALSE);
        // The tip names the tab under the pointer as soon as it shows.
        if (m_tip.GetSafeHwnd() != NULL && m_bTipEnabled)
            m_tip.UpdateTipText(m_tabs[nTab]->strTooltip, this);
    }
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&tme);
    CStatic::OnMouseMove(nFlags, point);
}

void CSkinTab::OnMouseHover(UINT, CPoint point)
{
    if (m_tip.GetSafeHwnd() == NULL || !m_bTipEnabled)
        return;
    int nTab = HitTest(point);
    if (nTab >= 0)
        m_tip.UpdateTipText(m_tabs[nTab]->strTooltip, this);
}

void CSkinTab::OnMouseLeave()
{
    m_nHover = -1;
    Invalidate(FALSE);
}

void CSkinTab::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bClicksBlocked)
    {
        CStatic::OnLButtonDown(nFlags, point);
        return;
    }
    int nTab = HitTest(point);
    if (nTab >= 0 && nTab != m_nCurSel)
    {
        m_nCurSel = nTab;
        Invalidate(FALSE);
        CWnd* pParent = GetParent();
        if (pParent != NULL)
            pParent->PostMessage(SKINTAB_SELCHANGE, 0, (LPARAM)nTab);
    }
    CStatic::OnLButtonDown(nFlags, point);
}
