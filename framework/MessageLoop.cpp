#include "framework/MessageLoop.h"
#include "framework/Wnd.h"
#include "framework/Menu.h"
#include "framework/Gdi.h"
#include <atomic>

void AfxPurgeTemporaryImageLists();
void AfxFreeTempWndMap();
void AfxFreeTempMenuMap();
void AfxFreeTempImageListMap();

namespace {
thread_local int t_nLoopDepth = 0;
}

CMessageLoopScope::CMessageLoopScope()
{
    ++t_nLoopDepth;
}

CMessageLoopScope::~CMessageLoopScope()
{
    --t_nLoopDepth;
}

void AfxPurgeTemporaryObjects()
{
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    AfxPurgeTemporaryGdiObjects();
    AfxPurgeTemporaryImageLists();
}

namespace {

std::atomic<int> s_nTempMaps(0);

void FreeThreadTemporaries()
{
    AfxPurgeTemporaryObjects();
    AfxFreeTempWndMap();
    AfxFreeTempMenuMap();
    AfxFreeTempImageListMap();
}

void WINAPI FreeTemporariesAtThreadEnd(PVOID pData);

// A thread the framework did not start (a system callback, a library's own
// thread) has no end of its own where its temporaries could go: a fiber-local
// slot's callback runs when any thread ends, also in a program without
// DllMain. Bound at run time, since older systems lack it; there such a
// thread keeps its temporaries as before.
class CThreadEndHook
{
public:
    CThreadEndHook() : m_dwSlot(FLS_OUT_OF_INDEXES), m_bClosed(false)
    {
        HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
        if (hKernel == NULL)
            return;
        m_pfnAlloc = (FlsAllocProc)(void*)::GetProcAddress(hKernel, "FlsAlloc");
        m_pfnFree = (FlsFreeProc)(void*)::GetProcAddress(hKernel, "FlsFree");
        m_pfnGet = (FlsGetValueProc)(void*)::GetProcAddress(hKernel, "FlsGetValue");
        m_pfnSet = (FlsSetValueProc)(void*)::GetProcAddress(hKernel, "FlsSetValue");
        if (m_pfnAlloc != NULL && m_pfnFree != NULL && m_pfnGet != NULL && m_pfnSet != NULL)
            m_dwSlot = m_pfnAlloc(FreeTemporariesAtThreadEnd);
    }

    // A library that is unloaded must leave no callback behind.
    ~CThreadEndHook()
    {
        m_bClosed = true;
        if (m_dwSlot != FLS_OUT_OF_INDEXES)
            m_pfnFree(m_dwSlot);
        m_dwSlot = FLS_OUT_OF_INDEXES;
    }

    void Note()
    {
        if (m_dwSlot != FLS_OUT_OF_INDEXES && !m_bClosed && m_pfnGet(m_dwSlot) == NULL)
            m_pfnSet(m_dwSlot, (PVOID)1);
    }

    void Forget()
    {
        if (m_dwSlot != FLS_OUT_OF_INDEXES && !m_bClosed && m_pfnGet(m_dwSlot) != NULL)
            m_pfnSet(m_dwSlot, NULL);
    }

    bool IsClosed() const { return m_bClosed; }

private:
    typedef DWORD(WINAPI* FlsAllocProc)(PFLS_CALLBACK_FUNCTION);
    typedef BOOL(WINAPI* FlsFreeProc)(DWORD);
    typedef PVOID(WINAPI* FlsGetValueProc)(DWORD);
    typedef BOOL(WINAPI* FlsSetValueProc)(DWORD, PVOID);

    FlsAllocProc m_pfnAlloc = NULL;
    FlsFreeProc m_pfnFree = NULL;
    FlsGetValueProc m_pfnGet = NULL;
    FlsSetValueProc m_pfnSet = NULL;
    DWORD m_dwSlot;
    std::atomic<bool> m_bClosed;
};

CThreadEndHook& ThreadEndHook()
{
    static CThreadEndHook s_hook;
    return s_hook;
}

void WINAPI FreeTemporariesAtThreadEnd(PVOID pData)
{
    // Runs on the ending thread, before its thread-local storage goes.
    if (pData != NULL && !ThreadEndHook().IsClosed())
        FreeThreadTemporaries();
}

} // namespace

void AfxNoteThreadTemporaries()
{
    ThreadEndHook().Note();
}

void AfxTempMapCreated(int nDelta)
{
    s_nTempMaps += nDelta;
}

int AfxGetTempMapCount()
{
    return s_nTempMaps;
}

void AfxFreeThreadTemporaries()
{
    FreeThreadTemporaries();
    ThreadEndHook().Forget();
}

BOOL AfxInsideWindowProc();

void AfxIdlePurge()
{
    // A loop run from inside a handler (a modal dialog opened while a window
    // is created, say) is nested even when no loop runs outside it: the
    // handler may hold temporaries.
    if (t_nLoopDepth <= 1 && !AfxInsideWindowProc())
        AfxPurgeTemporaryObjects();
}

BOOL AfxWalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    // Up through parents only; a top-level window ends the walk, never its owner.
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL;
         hWnd = (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) ? ::GetParent(hWnd) : NULL)
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}
