// Window creation, the window procedure and the routing of messages through
// the maps, including reflection to the control that sent a notification.
#include "framework/Wnd.h"
#include "framework/WndClass.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

void AfxRunPostedCall(HWND hWnd, LPARAM lParam);

namespace {

// The message being handled on this thread; each level links to the one it
// interrupted. Plain pointers only in thread_local: MinGW runs destructors of
// thread_local objects after their storage is freed.
class CCurrentMessage;
thread_local CCurrentMessage* t_pCurrentMsg = NULL;
// The object whose window is being created on this thread.
thread_local CWnd* t_pWndInit = NULL;
thread_local bool* t_pbAttached = NULL;
thread_local HHOOK t_hHookCreate = NULL;
thread_local int t_nHookUsers = 0;
// Set when the reflected owner-draw call reached CWnd's default.
thread_local bool t_bDefaultOwnerDraw = false;

class CCurrentMessage
{
public:
    CCurrentMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) : m_msg(), m_pOuter(t_pCurrentMsg)
    {
        m_msg.hwnd = hWnd;
        m_msg.message = message;
        m_msg.wParam = wParam;
        m_msg.lParam = lParam;
        t_pCurrentMsg = this;
    }
    ~CCurrentMessage() { t_pCurrentMsg = m_pOuter; }
    MSG m_msg;

private:
    CCurrentMessage* m_pOuter;
};

bool IsCtlColorMessage(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

} // namespace

// Subclasses the first window created while t_pWndInit is set, before it
// receives any message of its own, and records that it did: after a failed
// create the object may already be gone (a window that deletes itself in
// PostNcDestroy), so the creator touches it only when it was never attached.
class CWndCreateHook
{
public:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
    {
        if (nCode == HCBT_CREATEWND && t_pWndInit != NULL)
        {
            CWnd* pWnd = t_pWndInit;
            bool* pbAttached = t_pbAttached;
            t_pWndInit = NULL;
            t_pbAttached = NULL;
            HWND hWnd = (HWND)wParam;
            // Nothing may unwind through user32: a throwing hook refuses the
            // window instead.
            try
            {
                if (pWnd->Attach(hWnd))
                {
                    pWnd->PreSubclassWindow();
                    WNDPROC pfnOld = (WNDPROC)SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)&CWnd::AfxWndProc);
                    if (pfnOld != &CWnd::AfxWndProc)
                        pWnd->m_pfnSuper = pfnOld;
                    if (pbAttached != NULL)
                        *pbAttached = true;
                }
            }
            catch (...)
            {
                OutputDebugStringW(L"Tamsel: exception while a window was created\n");
                if (pWnd->m_hWnd == hWnd)
                    pWnd->Detach();
                return 1;
            }
        }
        return CallNextHookEx(NULL, nCode, wParam, lParam);
    }

    CWndCreateHook(CWnd* pWnd, bool* pbAttached) { Install(pWnd, pbAttached); }
    ~CWndCreateHook() { Remove(); }

    static void Install(CWnd* pWnd, bool* pbAttached)
    {
        if (t_nHookUsers++ == 0)
            t_hHookCreate = SetWindowsHookExW(WH_CBT, &CbtProc, NULL, GetCurrentThreadId());
        t_pWndInit = pWnd;
        t_pbAttached = pbAttached;
        if (pbAttached != NULL)
            *pbAttached = false;
    }
    static void Remove()
    {
        t_pWndInit = NULL;
        t_pbAttached = NULL;
        if (--t_nHookUsers == 0 && t_hHookCreate != NULL)
        {
            UnhookWindowsHookEx(t_hHookCreate);
            t_hHookCreate = NULL;
        }
    }
    CWndCreateHook(const CWndCreateHook&) = delete;
    CWndCreateHook& operator=(const CWndCreateHook&) = delete;
};

// Lets CDialog create through the same hook.
void AfxHookWindowCreate(CWnd* pWnd, bool* pbAttached)
{
    CWndCreateHook::Install(pWnd, pbAttached);
}

void AfxUnhookWindowCreate()
{
    CWndCreateHook::Remove();
}

const CWnd wndTop(HWND_TOP);
const CWnd wndBottom(HWND_BOTTOM);
const CWnd wndTopMost(HWND_TOPMOST);
const CWnd wndNoTopMost(HWND_NOTOPMOST);

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL)
{
}

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd), m_pfnSuper(NULL)
{
}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
    {
        // Only the owning thread can destroy the window; elsewhere give the
        // window its own procedure back so it goes on working without us.
        DWORD dwThread = GetWindowThreadProcessId(m_hWnd, NULL);
        if (dwThread == GetCurrentThreadId())
            ::DestroyWindow(m_hWnd);
        if (m_hWnd != NULL)
            UnsubclassWindow();
    }
}

HWND CWnd::GetSafeHwnd() const
{
    // Read through a volatile pointer so the NULL test survives optimisation.
    const CWnd* volatile pThis = this;
    return pThis != NULL ? pThis->m_hWnd : NULL;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxDefaultWndClass();
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd != NULL)
        return FALSE;
    CREATESTRUCT cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = (LONG)dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs))
    {
        PostNcDestroy();
        return FALSE;
    }
    HWND hWnd;
    bool bAttached = false;
    {
        CWndCreateHook hook(this, &bAttached);
        hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, (DWORD)cs.style, cs.x, cs.y, cs.cx,
                                 cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    }
    // On failure an attached window was destroyed and released (its object
    // may have deleted itself); an unattached object was never touched.
    return hWnd != NULL;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, lpParam);
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bPermanent = FromHandlePermanent(hWnd) == this;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window that was never subclassed gets no WM_NCDESTROY through us.
    if (bResult && !bPermanent)
        m_hWnd = NULL;
    return bResult;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC pfnOld = (WNDPROC)SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)&CWnd::AfxWndProc);
    if (pfnOld == NULL)
    {
        Detach();
        return FALSE;
    }
    if (pfnOld != &CWnd::AfxWndProc)
        m_pfnSuper = pfnOld;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), (int)nID);
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd == NULL)
        return NULL;
    if (m_pfnSuper != NULL)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    return Detach();
}

void CWnd::PreSubclassWindow()
{
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::PostNcDestroy()
{
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

void CWnd::WinHelp(DWORD_PTR, UINT)
{
}

void CWnd::OnFinalRelease()
{
    // The window is gone: drop the object's hold on it, then let the class
    // clean up (a class may delete itself here).
    m_pfnSuper = NULL;
    Detach();
    // The main window gone ends its thread's message loop.
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->m_pMainWnd == this)
    {
        pThread->m_pMainWnd = NULL;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == NULL)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    if (message == AfxGetWorkerCallMessage() && message != 0)
    {
        AfxRunPostedCall(hWnd, lParam);
        return 0;
    }
    CCurrentMessage current(hWnd, message, wParam, lParam);
    LRESULT lResult = 0;
    // Nothing may unwind through user32.
    try
    {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    }
    catch (...)
    {
        OutputDebugStringW(L"Tamsel: exception in a window procedure\n");
        // A window whose creation handler failed is not left half built.
        lResult = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY && FromHandlePermanent(hWnd) == pWnd)
        pWnd->OnFinalRelease();
    return lResult;
}

const MSG* CWnd::GetCurrentMessage()
{
    static thread_local MSG s_msgNone = {};
    return t_pCurrentMsg == NULL ? &s_msgNone : &t_pCurrentMsg->m_msg;
}

LRESULT CWnd::Default()
{
    const MSG* pMsg = GetCurrentMessage();
    return DefWindowProc(pMsg->message, pMsg->wParam, pMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY)
    {
        const NMHDR* pNMHDR = (const NMHDR*)lParam;
        if (pNMHDR == NULL || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
        *pResult = lResult;
        return TRUE;
    }

    // Owner-draw and colour messages go to the control that asked first.
    HWND hWndChild = NULL;
    if (IsCtlColorMessage(message))
        hWndChild = (HWND)lParam;
    else if (message == WM_DRAWITEM && lParam != 0 && ((LPDRAWITEMSTRUCT)lParam)->CtlType != ODT_MENU)
        hWndChild = ((LPDRAWITEMSTRUCT)lParam)->hwndItem;
    else if (message == WM_MEASUREITEM && lParam != 0 && ((LPMEASUREITEMSTRUCT)lParam)->CtlType != ODT_MENU)
        hWndChild = ::GetDlgItem(m_hWnd, (int)((LPMEASUREITEMSTRUCT)lParam)->CtlID);
    else if (message == WM_COMPAREITEM && lParam != 0)
        hWndChild = ((LPCOMPAREITEMSTRUCT)lParam)->hwndItem;
    else if (message == WM_DELETEITEM && lParam != 0)
        hWndChild = ((LPDELETEITEMSTRUCT)lParam)->hwndItem;
    if (hWndChild != NULL && hWndChild != m_hWnd)
    {
        CWnd* pChild = FromHandlePermanent(hWndChild);
        if (pChild != NULL && pChild->OnChildNotify(message, wParam, lParam, &lResult))
        {
            *pResult = lResult;
            return TRUE;
        }
    }

    AFX_MSGCALL call = { message, wParam, lParam, 0, 0 };
    if (!DispatchMapMessage(AfxKind_Msg, call, 0))
        return FALSE;
    *pResult = call.lResult;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND hWndCtrl = (HWND)lParam;
    UINT nCode = HIWORD(wParam);
    if (hWndCtrl != NULL)
    {
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, NULL))
            return TRUE;
    }
    else if (nCode == 1)
    {
        nCode = 0;  // an accelerator is a command like a menu item
    }
    AFX_MSGCALL call = { WM_COMMAND, wParam, lParam, LOWORD(wParam), 0 };
    return DispatchMapMessage(AfxKind_Command, call, nCode);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
    if (pChild != NULL && pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    // The sender's control id, not idFrom: a tooltip's idFrom is its tool
    // (often a window handle), while the tooltip itself has id 0.
    UINT nID = pNMHDR->hwndFrom != NULL ? (UINT)::GetDlgCtrlID(pNMHDR->hwndFrom) : (UINT)pNMHDR->idFrom;
    AFX_MSGCALL call = { WM_NOTIFY, wParam, lParam, nID, 0 };
    if (!DispatchMapMessage(AfxKind_Notify, call, pNMHDR->code))
        return FALSE;
    if (pResult != NULL)
        *pResult = call.lResult;
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    AFX_MSGCALL call = { message, wParam, lParam, 0, 0 };
    BOOL bHandled = FALSE;
    if (message == WM_COMMAND)
    {
        call.nID = LOWORD(wParam);
        bHandled = DispatchMapMessage(AfxKind_ReflectCommand, call, HIWORD(wParam));
    }
    else if (message == WM_NOTIFY)
    {
        const NMHDR* pNMHDR = (const NMHDR*)lParam;
        call.nID = (UINT)pNMHDR->idFrom;
        bHandled = DispatchMapMessage(AfxKind_ReflectNotify, call, pNMHDR->code);
    }
    else if (IsCtlColorMessage(message))
    {
        bHandled = DispatchMapMessage(AfxKind_ReflectCtlColor, call, 0);
    }
    else if (message == WM_DRAWITEM || message == WM_MEASUREITEM)
    {
        bool bOuter = t_bDefaultOwnerDraw;
        t_bDefaultOwnerDraw = false;
        if (message == WM_DRAWITEM)
            DrawItem((LPDRAWITEMSTRUCT)lParam);
        else
            MeasureItem((LPMEASUREITEMSTRUCT)lParam);
        bHandled = !t_bDefaultOwnerDraw;
        t_bDefaultOwnerDraw = bOuter;
        call.lResult = TRUE;
    }
    if (bHandled && pResult != NULL)
        *pResult = call.lResult;
    return bHandled;
}

void CWnd::DrawItem(LPDRAWITEMSTRUCT)
{
    t_bDefaultOwnerDraw = true;
}

void CWnd::MeasureItem(LPMEASUREITEMSTRUCT)
{
    t_bDefaultOwnerDraw = true;
}
