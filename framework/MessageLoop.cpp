#include "framework/MessageLoop.h"
#include "framework/Wnd.h"
#include "framework/Menu.h"
#include "framework/Gdi.h"

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

void AfxFreeThreadTemporaries()
{
    AfxPurgeTemporaryObjects();
    AfxFreeTempWndMap();
    AfxFreeTempMenuMap();
    AfxFreeTempImageListMap();
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
