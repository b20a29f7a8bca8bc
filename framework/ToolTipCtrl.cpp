#include "framework/ToolTipCtrl.h"
#include "framework/CommonControls.h"

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    if (!AfxInitCommonControls(ICC_BAR_CLASSES))
        return FALSE;
    return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, NULL, WS_POPUP | dwStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          pParentWnd ? AfxGetSafeHwnd(pParentWnd) : NULL, NULL);
}

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool)
{
    ZeroMemory(&ti, sizeof(ti));
    // The size without lpReserved: older controls refuse the larger record.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    HWND hWnd = pWnd ? AfxGetSafeHwnd(pWnd) : NULL;
    if (nIDTool == 0)
    {
        // The window itself is the tool; its parent gets the notifications.
        HWND hParent = hWnd ? ::GetParent(hWnd) : NULL;
        ti.hwnd = hParent ? hParent : hWnd;
        ti.uFlags = TTF_IDISHWND;
        ti.uId = (UINT_PTR)hWnd;
    }
    else
    {
        ti.hwnd = hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (pWnd == NULL || AfxGetSafeHwnd(pWnd) == NULL)
        return FALSE;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (nIDTool != 0)
    {
        if (lpRectTool)
            ti.rect = *lpRectTool;
        else
            ::GetClientRect(AfxGetSafeHwnd(pWnd), &ti.rect);
    }
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = (LPWSTR)lpszText;
    return (BOOL)::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, (LPARAM)&ti);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    // The control loads the text from ti.hinst when given a resource id.
    return AddTool(pWnd, MAKEINTRESOURCEW(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ::SendMessageW(m_hWnd, TTM_DELTOOLW, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.hinst = AfxGetResourceHandle();
    ti.lpszText = (LPWSTR)lpszText;
    ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, (LPARAM)&ti);
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    UpdateTipText(MAKEINTRESOURCEW(nIDText), pWnd, nIDTool);
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    if (lpRect == NULL)
        return;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    ::SendMessageW(m_hWnd, TTM_NEWTOOLRECTW, 0, (LPARAM)&ti);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    str.Empty();
    TOOLINFO ti;
    if (!GetToolInfo(&ti, pWnd, nIDTool))
        return;
    // The control copies without a size; 80 characters is the documented limit
    // of older versions, newer ones take up to the maximum of its buffer.
    const int nBuffer = 1024;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = str.GetBuffer(nBuffer);
    ti.lpszText[0] = L'\0';
    ::SendMessageW(m_hWnd, TTM_GETTEXTW, (WPARAM)nBuffer, (LPARAM)&ti);
    str.ReleaseBuffer(-1);
}

BOOL CToolTipCtrl::GetToolInfo(LPTOOLINFO lpToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
    if (lpToolInfo == NULL)
        return FALSE;
    FillInToolInfo(*lpToolInfo, pWnd, nIDTool);
    lpToolInfo->lpszText = NULL;  // no text wanted: the control would copy without a size
    return (BOOL)::SendMessageW(m_hWnd, TTM_GETTOOLINFOW, 0, (LPARAM)lpToolInfo);
}

void CToolTipCtrl::SetToolInfo(LPTOOLINFO lpToolInfo)
{
    if (lpToolInfo)
        ::SendMessageW(m_hWnd, TTM_SETTOOLINFOW, 0, (LPARAM)lpToolInfo);
}
