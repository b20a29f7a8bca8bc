#include "framework/ScrollBar.h"
#include <memory>
#include <unordered_map>

namespace {

// Scroll messages from controls that have no CScrollBar object (trackbars,
// plain scroll bars) get a per-thread wrapper, purged with the other
// temporaries.
struct CTempScrollBars
{
    std::unordered_map<HWND, CScrollBar*> m_map;
    ~CTempScrollBars() { Purge(); }
    void Purge()
    {
        std::unordered_map<HWND, CScrollBar*> map;
        map.swap(m_map);
        for (auto& entry : map)
        {
            entry.second->m_hWnd = NULL;
            delete entry.second;
        }
    }
};

// A plain pointer: see the temporary window map.
thread_local CTempScrollBars* t_pTempScrollBars = NULL;

CTempScrollBars& TempScrollBars()
{
    if (t_pTempScrollBars == NULL)
        t_pTempScrollBars = new CTempScrollBars;
    return *t_pTempScrollBars;
}

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
    CTempScrollBars& temp = TempScrollBars();
    auto it = temp.m_map.find(hWnd);
    if (it != temp.m_map.end())
        return it->second;
    CScrollBar* pBar = new CScrollBar;
    pBar->m_hWnd = hWnd;
    temp.m_map.emplace(hWnd, pBar);
    return pBar;
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
