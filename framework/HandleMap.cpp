// The window handle map: permanent objects for the whole process (looked up
// from any thread, used only on the window's own), temporary wrappers per
// thread.
#include "framework/Wnd.h"
#include "framework/Lock.h"
#include "framework/TempObjectMap.h"
#include <unordered_map>

void AfxDropPostedCalls(HWND hWnd);

namespace {

// Never destroyed: global window objects (members of the application
// object) still look themselves up while statics are torn down.
CAfxLock& PermanentLock()
{
    static CAfxLock* s_pLock = new CAfxLock;
    return *s_pLock;
}

std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*>* s_pMap = new std::unordered_map<HWND, CWnd*>;
    return *s_pMap;
}

// Emptied when the thread's message loop is idle and freed when an
// AfxBeginThread thread ends.
typedef CTempObjectMap<CWnd, &CWnd::m_hWnd> CTempWndMap;
thread_local CTempWndMap* t_pTempMap = NULL;

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
    return CTempWndMap::Of(t_pTempMap).Lookup(hWnd);
}

void CWnd::DeleteTempMap()
{
    if (t_pTempMap != NULL)
        t_pTempMap->Purge();
}

void AfxFreeTempWndMap()
{
    delete t_pTempMap;
    t_pTempMap = NULL;
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
    bool bOwner = false;
    if (hWnd != NULL)
    {
        CAfxLockGuard guard(PermanentLock());
        auto it = PermanentMap().find(hWnd);
        if (it != PermanentMap().end() && it->second == this)
        {
            PermanentMap().erase(it);
            bOwner = true;
        }
        m_hWnd = NULL;
    }
    // Calls posted to the window and not run yet go with it.
    if (bOwner)
        AfxDropPostedCalls(hWnd);
    return hWnd;
}

CWnd* AfxWndFromHandle(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}
