#pragma once
// Message maps. Each entry holds a small dispatcher that casts the target to
// the class that declared the map and calls the handler with its own
// signature, so a wrong handler signature is a compile error at the map.
#include "framework/AfxDefs.h"
#include "framework/Geometry.h"

class CCmdTarget;
class CWnd;
class CDC;
class CMenu;
class CScrollBar;

// One message on its way through the maps.
struct AFX_MSGCALL
{
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;         // control id of commands and notifications
    LRESULT lResult;  // what the window procedure returns
};

// TRUE when the handler took the message; the _EX forms return the handler's
// own answer so that routing can go on.
typedef BOOL (*AFX_MSGDISPATCH)(CCmdTarget* pTarget, AFX_MSGCALL& call);

enum AfxEntryKind
{
    AfxKind_End = 0,
    AfxKind_Msg,              // nMessage
    AfxKind_RegMsg,           // *pnRegMessage
    AfxKind_CtlColor,         // any WM_CTLCOLOR*
    AfxKind_Command,          // WM_COMMAND, nCode, nID..nLastID
    AfxKind_Notify,           // WM_NOTIFY, nCode, nID..nLastID
    AfxKind_ReflectCommand,   // WM_COMMAND sent back to the control, nCode
    AfxKind_ReflectNotify,    // WM_NOTIFY sent back to the control, nCode
    AfxKind_ReflectCtlColor   // WM_CTLCOLOR* sent back to the control
};

struct AFX_MSGMAP_ENTRY
{
    int nKind;
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    const UINT* pnRegMessage;
    AFX_MSGDISPATCH pfnDispatch;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Helpers the dispatchers use to hand out the framework's objects.
CWnd* AfxWndFromHandle(HWND hWnd);
CDC* AfxDcFromHandle(HDC hDC);
CMenu* AfxMenuFromHandle(HMENU hMenu);
CScrollBar* AfxScrollBarFromHandle(HWND hWnd);

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)static_cast<ThisClass*>(nullptr); \
        static const AFX_MSGMAP_ENTRY s_messageEntries[] = {

#define END_MESSAGE_MAP() \
            { AfxKind_End, 0, 0, 0, 0, nullptr, nullptr } \
        }; \
        static const AFX_MSGMAP s_messageMap = { &TheBaseClass::GetThisMessageMap, s_messageEntries }; \
        return &s_messageMap; \
    }

// Entry building blocks.
#define AFX_DISPATCH(body) \
    +[](CCmdTarget* pTarget, AFX_MSGCALL& call) -> BOOL { \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget); (void)pThis; (void)call; body }
#define AFX_MSG_ENTRY(msg, body) { AfxKind_Msg, (UINT)(msg), 0, 0, 0, nullptr, AFX_DISPATCH(body) },

// ---- Window messages --------------------------------------------------------
#define AFX_POINT_ARG CPoint((short)LOWORD(call.lParam), (short)HIWORD(call.lParam))
#define AFX_MOUSE_ENTRY(msg, fn) AFX_MSG_ENTRY(msg, pThis->fn((UINT)call.wParam, AFX_POINT_ARG); return TRUE;)

#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, pThis->OnPaint(); return TRUE;)
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, pThis->OnNcPaint(); return TRUE;)
#define ON_WM_ERASEBKGND() \
    AFX_MSG_ENTRY(WM_ERASEBKGND, call.lResult = pThis->OnEraseBkgnd(AfxDcFromHandle((HDC)call.wParam)); return TRUE;)
#define ON_WM_CTLCOLOR() \
    { AfxKind_CtlColor, 0, 0, 0, 0, nullptr, AFX_DISPATCH( \
        call.lResult = (LRESULT)pThis->OnCtlColor(AfxDcFromHandle((HDC)call.wParam), \
            AfxWndFromHandle((HWND)call.lParam), call.nMsg - WM_CTLCOLORMSGBOX); return TRUE;) },
#define ON_WM_SHOWWINDOW() \
    AFX_MSG_ENTRY(WM_SHOWWINDOW, pThis->OnShowWindow((BOOL)call.wParam, (UINT)call.lParam); return TRUE;)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, pThis->OnTimer((UINT_PTR)call.wParam); return TRUE;)
#define ON_WM_SIZE() \
    AFX_MSG_ENTRY(WM_SIZE, pThis->OnSize((UINT)call.wParam, (short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return TRUE;)
#define ON_WM_MOVE() \
    AFX_MSG_ENTRY(WM_MOVE, pThis->OnMove((short)LOWORD(call.lParam), (short)HIWORD(call.lParam)); return TRUE;)
#define ON_WM_CREATE() \
    AFX_MSG_ENTRY(WM_CREATE, call.lResult = (LRESULT)pThis->OnCreate((LPCREATESTRUCT)call.lParam); return TRUE;)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, pThis->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, pThis->OnNcDestroy(); return TRUE;)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL() \
    AFX_MSG_ENTRY(WM_MOUSEWHEEL, call.lResult = pThis->OnMouseWheel((UINT)LOWORD(call.wParam), \
        (short)HIWORD(call.wParam), AFX_POINT_ARG); return TRUE;)
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(WM_NCHITTEST, call.lResult = (LRESULT)pThis->OnNcHitTest(AFX_POINT_ARG); return TRUE;)
#define AFX_NCMOUSE_ENTRY(msg, fn) AFX_MSG_ENTRY(msg, pThis->fn((UINT)call.wParam, AFX_POINT_ARG); return TRUE;)
#define ON_WM_NCLBUTTONDOWN() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_NCMOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCMOUSEMOVE() AFX_NCMOUSE_ENTRY(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_SETCURSOR() \
    AFX_MSG_ENTRY(WM_SETCURSOR, call.lResult = pThis->OnSetCursor(AfxWndFromHandle((HWND)call.wParam), \
        (UINT)(short)LOWORD(call.lParam), (UINT)HIWORD(call.lParam)); return TRUE;)
#define ON_WM_SETFOCUS() AFX_MSG_ENTRY(WM_SETFOCUS, pThis->OnSetFocus(AfxWndFromHandle((HWND)call.wParam)); return TRUE;)
#define ON_WM_KILLFOCUS() AFX_MSG_ENTRY(WM_KILLFOCUS, pThis->OnKillFocus(AfxWndFromHandle((HWND)call.wParam)); return TRUE;)
#define ON_WM_ACTIVATE() \
    AFX_MSG_ENTRY(WM_ACTIVATE, pThis->OnActivate((UINT)LOWORD(call.wParam), AfxWndFromHandle((HWND)call.lParam), \
        (BOOL)HIWORD(call.wParam)); return TRUE;)
#define ON_WM_ACTIVATEAPP() \
    AFX_MSG_ENTRY(WM_ACTIVATEAPP, pThis->OnActivateApp((BOOL)call.wParam, (DWORD)call.lParam); return TRUE;)
#define ON_WM_NCACTIVATE() AFX_MSG_ENTRY(WM_NCACTIVATE, call.lResult = pThis->OnNcActivate((BOOL)call.wParam); return TRUE;)
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, pThis->OnEnable((BOOL)call.wParam); return TRUE;)
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, pThis->OnCancelMode(); return TRUE;)
#define ON_WM_CAPTURECHANGED() \
    AFX_MSG_ENTRY(WM_CAPTURECHANGED, pThis->OnCaptureChanged(AfxWndFromHandle((HWND)call.lParam)); return TRUE;)
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, call.lResult = (LRESULT)pThis->OnGetDlgCode(); return TRUE;)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, pThis->OnClose(); return TRUE;)
#define ON_WM_SYSCOMMAND() \
    AFX_MSG_ENTRY(WM_SYSCOMMAND, pThis->OnSysCommand((UINT)call.wParam, call.lParam); return TRUE;)
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, pThis->OnSysColorChange(); return TRUE;)
#define ON_WM_QUERYDRAGICON() AFX_MSG_ENTRY(WM_QUERYDRAGICON, call.lResult = (LRESULT)pThis->OnQueryDragIcon(); return TRUE;)
#define ON_WM_GETMINMAXINFO() \
    AFX_MSG_ENTRY(WM_GETMINMAXINFO, pThis->OnGetMinMaxInfo((MINMAXINFO*)call.lParam); return TRUE;)
#define ON_WM_HSCROLL() \
    AFX_MSG_ENTRY(WM_HSCROLL, pThis->OnHScroll((UINT)LOWORD(call.wParam), (UINT)(short)HIWORD(call.wParam), \
        AfxScrollBarFromHandle((HWND)call.lParam)); return TRUE;)
#define ON_WM_VSCROLL() \
    AFX_MSG_ENTRY(WM_VSCROLL, pThis->OnVScroll((UINT)LOWORD(call.wParam), (UINT)(short)HIWORD(call.wParam), \
        AfxScrollBarFromHandle((HWND)call.lParam)); return TRUE;)
#define AFX_KEY_ENTRY(msg, fn) \
    AFX_MSG_ENTRY(msg, pThis->fn((UINT)call.wParam, (UINT)LOWORD(call.lParam), (UINT)HIWORD(call.lParam)); return TRUE;)
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_NCCALCSIZE() \
    AFX_MSG_ENTRY(WM_NCCALCSIZE, pThis->OnNcCalcSize((BOOL)call.wParam, (NCCALCSIZE_PARAMS*)call.lParam); return TRUE;)
#define ON_WM_DRAWITEM() \
    AFX_MSG_ENTRY(WM_DRAWITEM, pThis->OnDrawItem((int)call.wParam, (LPDRAWITEMSTRUCT)call.lParam); call.lResult = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM() \
    AFX_MSG_ENTRY(WM_MEASUREITEM, pThis->OnMeasureItem((int)call.wParam, (LPMEASUREITEMSTRUCT)call.lParam); call.lResult = TRUE; return TRUE;)
#define ON_WM_WINDOWPOSCHANGED() \
    AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED, pThis->OnWindowPosChanged((WINDOWPOS*)call.lParam); return TRUE;)
#define ON_WM_WINDOWPOSCHANGING() \
    AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING, pThis->OnWindowPosChanging((WINDOWPOS*)call.lParam); return TRUE;)
#define ON_WM_CONTEXTMENU() \
    AFX_MSG_ENTRY(WM_CONTEXTMENU, pThis->OnContextMenu(AfxWndFromHandle((HWND)call.wParam), AFX_POINT_ARG); return TRUE;)
#define ON_WM_DROPFILES() AFX_MSG_ENTRY(WM_DROPFILES, pThis->OnDropFiles((HDROP)call.wParam); return TRUE;)
#define ON_WM_HELPINFO() AFX_MSG_ENTRY(WM_HELPINFO, call.lResult = pThis->OnHelpInfo((HELPINFO*)call.lParam); return TRUE;)
#define ON_WM_MENUCHAR() \
    AFX_MSG_ENTRY(WM_MENUCHAR, call.lResult = pThis->OnMenuChar((UINT)LOWORD(call.wParam), (UINT)HIWORD(call.wParam), \
        AfxMenuFromHandle((HMENU)call.lParam)); return TRUE;)
#define ON_WM_INITMENUPOPUP() \
    AFX_MSG_ENTRY(WM_INITMENUPOPUP, pThis->OnInitMenuPopup(AfxMenuFromHandle((HMENU)call.wParam), \
        (UINT)LOWORD(call.lParam), (BOOL)HIWORD(call.lParam)); return TRUE;)
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, pThis->OnMouseLeave(); return TRUE;)
#define ON_WM_MOUSEHOVER() AFX_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)

// ---- Any message ------------------------------------------------------------
// LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(msg, fn) AFX_MSG_ENTRY(msg, call.lResult = pThis->fn(call.wParam, call.lParam); return TRUE;)
// nMessageVariable holds a RegisterWindowMessage result; read at dispatch time.
#define ON_REGISTERED_MESSAGE(nMessageVariable, fn) \
    { AfxKind_RegMsg, 0, 0, 0, 0, &(nMessageVariable), AFX_DISPATCH( \
        call.lResult = pThis->fn(call.wParam, call.lParam); return TRUE;) },

// ---- Commands and notifications from children ----------------------------
#define AFX_COMMAND_ENTRY(code, id, lastId, body) \
    { AfxKind_Command, WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(lastId), nullptr, AFX_DISPATCH(body) },
// void fn()
#define ON_COMMAND(id, fn) AFX_COMMAND_ENTRY(0, id, id, pThis->fn(); return TRUE;)
// void fn(UINT nID)
#define ON_COMMAND_RANGE(id, lastId, fn) AFX_COMMAND_ENTRY(0, id, lastId, pThis->fn(call.nID); return TRUE;)
// BOOL fn(UINT nID): FALSE lets the command go on
#define ON_COMMAND_EX(id, fn) AFX_COMMAND_ENTRY(0, id, id, return pThis->fn(call.nID);)
#define ON_CONTROL(code, id, fn) AFX_COMMAND_ENTRY(code, id, id, pThis->fn(); return TRUE;)
#define ON_CONTROL_RANGE(code, id, lastId, fn) AFX_COMMAND_ENTRY(code, id, lastId, pThis->fn(call.nID); return TRUE;)

#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_BN_SETFOCUS(id, fn) ON_CONTROL(BN_SETFOCUS, id, fn)
#define ON_BN_KILLFOCUS(id, fn) ON_CONTROL(BN_KILLFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_SELENDOK(id, fn) ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_UPDATE(id, fn) ON_CONTROL(EN_UPDATE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)

#define AFX_NOTIFY_ENTRY(code, id, lastId, body) \
    { AfxKind_Notify, WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(lastId), nullptr, AFX_DISPATCH(body) },
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, fn) AFX_NOTIFY_ENTRY(code, id, id, pThis->fn((NMHDR*)call.lParam, &call.lResult); return TRUE;)
// void fn(UINT nID, NMHDR*, LRESULT*)
#define ON_NOTIFY_RANGE(code, id, lastId, fn) \
    AFX_NOTIFY_ENTRY(code, id, lastId, pThis->fn(call.nID, (NMHDR*)call.lParam, &call.lResult); return TRUE;)
// BOOL fn(UINT nID, NMHDR*, LRESULT*): FALSE lets the notification go on
#define ON_NOTIFY_EX(code, id, fn) \
    AFX_NOTIFY_ENTRY(code, id, id, return pThis->fn(call.nID, (NMHDR*)call.lParam, &call.lResult);)
#define ON_NOTIFY_EX_RANGE(code, id, lastId, fn) \
    AFX_NOTIFY_ENTRY(code, id, lastId, return pThis->fn(call.nID, (NMHDR*)call.lParam, &call.lResult);)

// ---- Reflected to the control that sent them ------------------------------
// void fn()
#define ON_CONTROL_REFLECT(code, fn) \
    { AfxKind_ReflectCommand, WM_COMMAND, (UINT)(code), 0, 0, nullptr, AFX_DISPATCH(pThis->fn(); return TRUE;) },
// BOOL fn(): FALSE lets the parent see it as well
#define ON_CONTROL_REFLECT_EX(code, fn) \
    { AfxKind_ReflectCommand, WM_COMMAND, (UINT)(code), 0, 0, nullptr, AFX_DISPATCH(return pThis->fn();) },
// void fn(NMHDR*, LRESULT*)
#define ON_NOTIFY_REFLECT(code, fn) \
    { AfxKind_ReflectNotify, WM_NOTIFY, (UINT)(code), 0, 0, nullptr, AFX_DISPATCH( \
        pThis->fn((NMHDR*)call.lParam, &call.lResult); return TRUE;) },
// BOOL fn(NMHDR*, LRESULT*): FALSE lets the parent see it as well
#define ON_NOTIFY_REFLECT_EX(code, fn) \
    { AfxKind_ReflectNotify, WM_NOTIFY, (UINT)(code), 0, 0, nullptr, AFX_DISPATCH( \
        return pThis->fn((NMHDR*)call.lParam, &call.lResult);) },
// HBRUSH CtlColor(CDC*, UINT nCtlColor): NULL lets the parent choose
#define ON_WM_CTLCOLOR_REFLECT() \
    { AfxKind_ReflectCtlColor, 0, 0, 0, 0, nullptr, AFX_DISPATCH( \
        HBRUSH hBrush = pThis->CtlColor(AfxDcFromHandle((HDC)call.wParam), call.nMsg - WM_CTLCOLORMSGBOX); \
        call.lResult = (LRESULT)hBrush; return hBrush != NULL;) },
#define ON_BN_CLICKED_REFLECT(fn) ON_CONTROL_REFLECT(BN_CLICKED, fn)

// The root of everything with a message map.
class CCmdTarget
{
public:
    CCmdTarget() {}
    virtual ~CCmdTarget() {}
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the first matching entry of this object's map chain. For commands
    // and notifications call.nID is the control id; nCode the notification.
    BOOL DispatchMapMessage(int nKind, AFX_MSGCALL& call, UINT nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
