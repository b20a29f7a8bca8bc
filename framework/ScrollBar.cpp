#include "framework/ScrollBar.h"
#include "framework/TempObjectMap.h"

namespace {

// Scroll messages from controls that have no CScrollBar object (trackbars,
// plain scroll bars) get a per-thread wrapper, purged with the other
// temporaries.
typedef CTempObjectMap<CScrollBar, &CWnd::m_hWnd> CTempScrollBars;
// A plain pointer: see the temporary window map.
thread_local CTempScrollBars* t_pTempScrollBars = NULL;

} // namespace

void AfxPurgeTemporaryScrollBars()
{
    if (t_pTempScrollBars != NULL)
        t_pTempScrollBars->Purge();
}

void AfxFreeTempScrollBarMap()
{
    delete t_pTempScrollBars;
    t_pTempScrollBars = NULL;
}

CScrollBar* AfxScrollBarFromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CScrollBar* pBar = dynamic_cast<CScrollBar*>(CWnd::FromHandlePermanent(hWnd)))
        return pBar;
    return CTempScrollBars::Of(t_pTempScrollBars).Lookup(hWnd);
}

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"SCROLLBAR", NULL, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollPos() const
{
    return ::GetScrollPos(m_hWnd, SB_CTL);
}

int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw)
{
    return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw);
}

void CScrollBar::GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const
{
    ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}

void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw)
{
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}

BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    return CWnd::SetScrollInfo(SB_CTL, lpScrollInfo, bRedraw);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    return CWnd::GetScrollInfo(SB_CTL, lpScrollInfo, nMask);
}

void CScrollBar::ShowScrollBar(BOOL bShow)
{
    ::ShowScrollBar(m_hWnd, SB_CTL, bShow);
}

BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags)
{
    return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags);
}
