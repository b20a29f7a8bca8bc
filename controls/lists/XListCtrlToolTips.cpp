// Per-cell tool tips of the check-box list, from its own tool tip control:
// one tool at a time, the cell under the cursor, text by callback.
#include "controls/lists/XListCtrl.h"

BOOL CXListCtrl::EnableToolTips(BOOL bEnable)
{
    BOOL bOld = m_bToolTips;
    m_bToolTips = bEnable;
    if (!bEnable && m_wndToolTip.GetSafeHwnd() != NULL)
    {
        if (m_nToolId != -1)
            m_wndToolTip.DelTool(this, (UINT_PTR)m_nToolId);
        m_nToolId = -1;
        m_wndToolTip.Pop();
    }
    return bOld;
}

INT_PTR CXListCtrl::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    int nItem;
    int nSubItem;
    if (!HitCell(point, nItem, nSubItem))
        return -1;
    INT_PTR nId = (INT_PTR)nItem * 1000 + nSubItem + 1;
    if (pTI != NULL)
    {
        CToolTipCtrl::FillInToolInfo(*pTI, const_cast<CXListCtrl*>(this), (UINT_PTR)nId);
        ::GetClientRect(m_hWnd, &pTI->rect);
        pTI->lpszText = LPSTR_TEXTCALLBACKW;
    }
    return nId;
}

void CXListCtrl::RelayToolTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_bToolTips || m_hWnd == NULL)
        return;
    if (m_wndToolTip.GetSafeHwnd() == NULL)
    {
        if (!m_wndToolTip.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX))
            return;
        m_wndToolTip.Activate(TRUE);
    }
    CPoint point((short)LOWORD(lParam), (short)HIWORD(lParam));
    if (message == WM_MOUSEMOVE)
    {
        TOOLINFO ti;
        INT_PTR nId = OnToolHitTest(point, &ti);
        if (nId != m_nToolId)
        {
            if (m_nToolId != -1)
                m_wndToolTip.DelTool(this, (UINT_PTR)m_nToolId);
            m_nToolId = -1;
            if (nId != -1 && ::SendMessageW(m_wndToolTip.m_hWnd, TTM_ADDTOOLW, 0, (LPARAM)&ti))
                m_nToolId = nId;
        }
    }
    MSG msg = {};
    msg.hwnd = m_hWnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = (DWORD)::GetMessageTime();
    msg.pt = point;
    ClientToScreen(&msg.pt);
    m_wndToolTip.RelayEvent(&msg);
}

BOOL CXListCtrl::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    // Only our own tip: the list view's tips go their own way.
    if (m_wndToolTip.GetSafeHwnd() == NULL || pNMHDR->hwndFrom != m_wndToolTip.m_hWnd || pNMHDR->idFrom == 0)
        return FALSE;
    INT_PTR nId = (INT_PTR)pNMHDR->idFrom - 1;
    int nItem = (int)(nId / 1000);
    int nSubItem = (int)(nId % 1000);
    // The text lives in the list until the next request: paths and command
    // lines are longer than the record's own 80 characters.
    m_strToolTipText = GetItemToolTipText(nItem, nSubItem);
    if (pNMHDR->code == TTN_NEEDTEXTW)
    {
        NMTTDISPINFOW* pInfo = (NMTTDISPINFOW*)pNMHDR;
        pInfo->szText[0] = 0;
        pInfo->hinst = NULL;
        pInfo->lpszText = (LPWSTR)(LPCWSTR)m_strToolTipText;
    }
    else
    {
        NMTTDISPINFOA* pInfo = (NMTTDISPINFOA*)pNMHDR;
        m_strToolTipTextA.clear();
        int nLength = m_strToolTipText.GetLength();
        if (nLength > 0)
        {
            // The whole text at once, so no double-byte character is split.
            int nBytes = ::WideCharToMultiByte(CP_ACP, 0, m_strToolTipText, nLength, NULL, 0, NULL, NULL);
            if (nBytes > 0)
            {
                m_strToolTipTextA.resize((size_t)nBytes);
                ::WideCharToMultiByte(CP_ACP, 0, m_strToolTipText, nLength, &m_strToolTipTextA[0], nBytes, NULL,
                                      NULL);
            }
        }
        pInfo->szText[0] = 0;
        pInfo->hinst = NULL;
        pInfo->lpszText = (LPSTR)m_strToolTipTextA.c_str();
    }
    *pResult = 0;
    return TRUE;
}
