// The window handle map: permanent objects for the whole process (workers
// call window members directly), temporary wrappers per thread.
#include "framework/Wnd.h"
#include "framework/Lock.h"
#include <unordered_map>

namespace {

CAfxLock& PermanentLock()
{
    static CAfxLock s_lock;
    return s_lock;
}

std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*> s_map;
    return s_map;
}

// Deleted with the thread, or earlier when its message loop is idle.
struct CTempWndMap
{
    std::unordered_map<HWND, CWnd*> m_map;
    ~CTempWndMap() { Purge(); }
    void Purge()
    {
        std::unordered_map<HWND, CWnd*> map;
        map.swap(m_map);
        for (auto& entry : map)
        {
            entry.second->m_hWnd = NULL;
            delete entry.second;
        }
    }
};

CTempWndMap& TempMap()
{
    thread_local CTempWndMap s_map;
    return s_map;
}

} // namespace

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    CAfxLockGuard guard(PermanentLock());
    auto it = PermanentMap().find(hWnd);
    return it == PermanentMap().end() ? NULL : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    CTempWndMap& temp = TempMap();
    auto it = temp.m_map.find(hWnd);
    if (it != temp.m_map.end())
        return it->second;
    CWnd* pWnd = new CWnd(hWnd);
    temp.m_map.emplace(hWnd, pWnd);
    return pWnd;
}

void CWnd::DeleteTempMap()
{
    TempMap().Purge();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL)
        return FALSE;
    {
        CAfxLockGuard guard(PermanentLock());
        auto result = PermanentMap().emplace(hWndNew, this);
        if (!result.second)
            return FALSE;  // another object owns it already
        m_hWnd = hWndNew;
    }
    // A temporary for the same handle may still be held by a caller; it stays
    // until the idle purge, and FromHandle prefers this object from now on.
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd != NULL)
    {
        CAfxLockGuard guard(PermanentLock());
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
        m_hWnd = NULL;
    }
    return hWnd;
}

CWnd* AfxWndFromHandle(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}
