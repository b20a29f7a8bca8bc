#include "controls/skin/MaskedEdit.h"
#include "controls/skin/XPColors.h"
#include <algorithm>
#include <cwctype>

BEGIN_MESSAGE_MAP(CMaskedEdit, CEdit)
    ON_WM_CREATE()
    ON_WM_NCPAINT()
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_PASTE, OnPaste)
    ON_MESSAGE(WM_CUT, OnCut)
    ON_MESSAGE(WM_CLEAR, OnClear)
END_MESSAGE_MAP()

CMaskedEdit::CMaskedEdit() : m_nPrompt(8), m_strValid(L"()-,.@#AaXx/:\\"), m_nEditMode(MODE_NONE)
{
}

void CMaskedEdit::SetMask(CString strMask, CString strTemplate, int nPrompt)
{
    m_strMask = strMask;
    m_strShown = strTemplate;
    m_strTemplate = strTemplate;
    m_nPrompt = nPrompt;
    if (m_hWnd == NULL)
        return;
    SetWindowText(m_strShown);
    LimitText(m_strMask.GetLength() + 1);
    int nFirst = IsInputPos(0) ? 0 : NextInputPos(0, FALSE);
    SetSel(nFirst, nFirst);
}

int CMaskedEdit::GetInputLength() const
{
    return std::min(m_strMask.GetLength(), m_strTemplate.GetLength());
}

BOOL CMaskedEdit::IsInputPos(int nPos) const
{
    if (nPos < 0 || nPos >= GetInputLength())
        return FALSE;
    WCHAR ch = m_strMask[nPos];
    return ch == L'#' || ch == L'0' || ch == L'A' || ch == L'a';
}

BOOL CMaskedEdit::IsValidChar(int nPos, WCHAR ch) const
{
    if (!IsInputPos(nPos) || ch == L' ' || ch == L'\b')
        return FALSE;
    WCHAR chMask = m_strMask[nPos];
    if (chMask == L'#' || chMask == L'0')
        return iswdigit(ch) != 0;
    return iswalpha(ch) != 0;
}

int CMaskedEdit::NextInputPos(int nPos, BOOL bBackwardsFirst) const
{
    if (bBackwardsFirst)
    {
        for (int i = std::min(nPos, GetInputLength()) - 1; i >= 0; i--)
        {
            if (IsInputPos(i))
                return i;
        }
    }
    for (int i = std::max(nPos + 1, 0); i < GetInputLength(); i++)
    {
        if (IsInputPos(i))
            return i;
    }
    return nPos;
}

void CMaskedEdit::ShowText(int nCaret)
{
    SetWindowText(m_strShown);
    nCaret = std::max(0, std::min(nCaret, m_strShown.GetLength()));
    SetSel(nCaret, nCaret);
}

// Removes the input positions of [nStart, nEnd): what was typed behind them
// moves forward, the freed positions at the end show their template again.
void CMaskedEdit::DeleteInput(int nStart, int nEnd)
{
    int nLength = GetInputLength();
    nStart = std::max(0, std::min(nStart, nLength));
    nEnd = std::max(nStart, std::min(nEnd, nLength));
    CString strKept;
    for (int i = nStart; i < nLength; i++)
    {
        if (IsInputPos(i) && i >= nEnd)
            strKept += m_strShown[i];
    }
    int nNext = 0;
    for (int i = nStart; i < nLength; i++)
    {
        if (!IsInputPos(i))
            continue;
        m_strShown.SetAt(i, nNext < strKept.GetLength() ? strKept[nNext] : m_strTemplate[i]);
        nNext++;
    }
    ShowText(IsInputPos(nStart) ? nStart : NextInputPos(nStart, FALSE));
}

void CMaskedEdit::TypeChar(WCHAR ch)
{
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    int nMode = m_nEditMode;
    m_nEditMode = MODE_NONE;
    if ((nMode == MODE_DELETE || nMode == MODE_BACK) && nEnd > nStart)
    {
        DeleteInput(nStart, nEnd);
        return;
    }
    int nLength = GetInputLength();
    if (nLength <= 0)
        return;
    int nPos = std::min(nStart, nLength - 1);
    if (IsValidChar(nPos, ch))
    {
        // Input fills from the left: an empty position before this one comes first.
        int nPrevious = NextInputPos(nPos, TRUE);
        if (nPrevious < nPos && m_strShown[nPrevious] == m_strTemplate[nPrevious])
        {
            SetSel(nPrevious, nPrevious);
            return;
        }
        m_strShown.SetAt(nPos, ch);
        int nNext = NextInputPos(nPos, FALSE);
        ShowText(nNext > nPos ? nNext : nPos + 1);
        return;
    }
    switch (nMode)
    {
    case MODE_DELETE:
        if (!IsInputPos(nPos))
        {
            ::Beep(500, 1);
            SetSel(NextInputPos(nPos, FALSE), NextInputPos(nPos, FALSE));
        }
        else
            DeleteInput(nPos, nPos + 1);
        break;
    case MODE_BACK:
    {
        // The input position before the caret empties and takes the caret.
        int nTarget = NextInputPos(nStart, TRUE);
        if (IsInputPos(nTarget) && nTarget < nStart)
        {
            m_strShown.SetAt(nTarget, m_strTemplate[nTarget]);
            ShowText(nTarget);
        }
        break;
    }
    default:
    {
        int nNext = NextInputPos(nPos, FALSE);
        if (!IsInputPos(nPos) && nNext != nPos && IsValidChar(nNext, ch))
        {
            m_strShown.SetAt(nNext, ch);
            int nAfter = NextInputPos(nNext, FALSE);
            ShowText(nAfter > nNext ? nAfter : nNext + 1);
        }
        else
            SetSel(nPos, nPos);
        break;
    }
    }
}

void CMaskedEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_strMask.IsEmpty())
    {
        Default();
        return;
    }
    // Control characters other than Backspace (Ctrl+C and friends) keep their meaning.
    if (nChar < 0x20 && nChar != L'\b')
    {
        if (nChar == 0x03 || nChar == 0x16 || nChar == 0x18)
            Default();
        return;
    }
    TypeChar((WCHAR)nChar);
}

void CMaskedEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_strMask.IsEmpty())
    {
        Default();
        return;
    }
    switch (nChar)
    {
    case VK_DELETE:
        m_nEditMode = MODE_DELETE;
        SendMessage(WM_CHAR, L' ', 0);
        return;
    case VK_BACK:
        m_nEditMode = MODE_BACK;
        Default();
        return;
    case VK_RIGHT:
    {
        // No stepping past a position that is still empty.
        int nStart = 0, nEnd = 0;
        GetSel(nStart, nEnd);
        int nNext = NextInputPos(nStart, FALSE);
        if (nNext > nStart && m_strShown[nNext] == m_strTemplate[nNext] && ::GetKeyState(VK_SHIFT) >= 0)
            return;
        Default();
        return;
    }
    default:
        Default();
        return;
    }
}

void CMaskedEdit::OnSetFocus(CWnd* pOldWnd)
{
    Default();
    if (!m_strMask.IsEmpty())
    {
        int nFirst = IsInputPos(0) ? 0 : NextInputPos(0, FALSE);
        SetSel(nFirst, nFirst);
    }
}

LRESULT CMaskedEdit::OnPaste(WPARAM wParam, LPARAM lParam)
{
    if (m_strMask.IsEmpty())
        return Default();
    CString strText;
    if (::OpenClipboard(m_hWnd))
    {
        HANDLE hData = ::GetClipboardData(CF_UNICODETEXT);
        LPCWSTR pszData = hData != NULL ? (LPCWSTR)::GlobalLock(hData) : NULL;
        if (pszData != NULL)
        {
            strText = pszData;
            ::GlobalUnlock(hData);
        }
        ::CloseClipboard();
    }
    // Each character as if typed: the mask decides.
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    if (nEnd > nStart)
        DeleteInput(nStart, nEnd);
    for (int i = 0; i < strText.GetLength(); i++)
        TypeChar(strText[i]);
    return 0;
}

LRESULT CMaskedEdit::OnCut(WPARAM wParam, LPARAM lParam)
{
    if (m_strMask.IsEmpty())
        return Default();
    SendMessage(WM_COPY);
    return OnClear(0, 0);
}

LRESULT CMaskedEdit::OnClear(WPARAM wParam, LPARAM lParam)
{
    if (m_strMask.IsEmpty())
        return Default();
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    if (nEnd > nStart)
        DeleteInput(nStart, nEnd);
    return 0;
}

int CMaskedEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (Default() == -1)
        return -1;
    CreateToolTip();
    return 0;
}

void CMaskedEdit::CreateToolTip()
{
    if (m_toolTip.GetSafeHwnd() != NULL)
        return;
    if (m_toolTip.Create(this, TTS_ALWAYSTIP))
    {
        m_toolTip.Activate(TRUE);
        m_toolTip.SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void CMaskedEdit::SetToolTip(LPCTSTR lpszToolTip)
{
    if (!::IsWindow(m_hWnd))
        return;
    CreateToolTip();
    if (m_toolTip.GetSafeHwnd() == NULL)
        return;
    CString strText(lpszToolTip != NULL ? lpszToolTip : L"");
    if (m_toolTip.GetToolCount() == 0)
        m_toolTip.AddTool(this, strText);
    else
        m_toolTip.UpdateTipText(strText, this);
    m_toolTip.Activate(lpszToolTip != NULL);
}

BOOL CMaskedEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE && m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.RelayEvent(pMsg);
    return CEdit::PreTranslateMessage(pMsg);
}

void CMaskedEdit::OnNcPaint()
{
    Default();
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == NULL)
        return;
    RECT rcWindow, rcClient;
    ::GetWindowRect(m_hWnd, &rcWindow);
    ::GetClientRect(m_hWnd, &rcClient);
    ::MapWindowPoints(m_hWnd, NULL, (LPPOINT)&rcClient, 2);
    ::OffsetRect(&rcClient, -rcWindow.left, -rcWindow.top);
    ::OffsetRect(&rcWindow, -rcWindow.left, -rcWindow.top);
    if (!::EqualRect(&rcWindow, &rcClient))
    {
        // The border area only: the client area stays the edit's own.
        ::ExcludeClipRect(hDC, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
        HBRUSH hFace = ::CreateSolidBrush(GetXPFaceColor(0));
        ::FillRect(hDC, &rcWindow, hFace);
        ::DeleteObject(hFace);
        CDC* pDC = CDC::FromHandle(hDC);
        COLORREF clrFace = ::GetSysColor(COLOR_BTNFACE);
        pDC->Draw3dRect(&rcWindow, clrFace, clrFace);
        RECT rcInner = rcWindow;
        ::InflateRect(&rcInner, -1, -1);
        pDC->Draw3dRect(&rcInner, GetXPHighlightColor(), GetXPHighlightColor());
    }
    ::ReleaseDC(m_hWnd, hDC);
}
