#pragma once
// Single- and multi-line edit controls.
#include "framework/Wnd.h"

class CEdit : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(L"EDIT", NULL, dwStyle, rect, pParentWnd, nID);
    }

    // Start in the low word, end in the high word.
    DWORD GetSel() const { return (DWORD)::SendMessageW(m_hWnd, EM_GETSEL, 0, 0); }
    void GetSel(int& nStartChar, int& nEndChar) const
    {
        DWORD dwStart = 0, dwEnd = 0;
        ::SendMessageW(m_hWnd, EM_GETSEL, (WPARAM)&dwStart, (LPARAM)&dwEnd);
        nStartChar = (int)dwStart;
        nEndChar = (int)dwEnd;
    }
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE)
    {
        SetSel((int)(short)LOWORD(dwSelection), (int)(short)HIWORD(dwSelection), bNoScroll);
    }
    // (0, -1) selects everything, (-1, 0) removes the selection.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE)
    {
        ::SendMessageW(m_hWnd, EM_SETSEL, (WPARAM)nStartChar, (LPARAM)nEndChar);
        if (!bNoScroll)
            ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    {
        ::SendMessageW(m_hWnd, EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)(lpszNewText ? lpszNewText : L""));
    }

    void LimitText(int nChars = 0) { ::SendMessageW(m_hWnd, EM_LIMITTEXT, (WPARAM)nChars, 0); }
    void SetLimitText(UINT nMax) { ::SendMessageW(m_hWnd, EM_SETLIMITTEXT, (WPARAM)nMax, 0); }
    UINT GetLimitText() const { return (UINT)::SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0); }

    int GetLineCount() const { return (int)::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    // Copies line nIndex (no terminator from the control; one is added when
    // room is left); returns the characters copied, 0 for a line out of range.
    int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
    {
        if (lpszBuffer == NULL || nMaxLength <= 0)
            return 0;
        // The control reads the buffer size from the buffer's first word.
        *(WORD*)lpszBuffer = (WORD)(nMaxLength > 0xFFFF ? 0xFFFF : nMaxLength);
        int nCopied = (int)::SendMessageW(m_hWnd, EM_GETLINE, (WPARAM)nIndex, (LPARAM)lpszBuffer);
        if (nCopied < nMaxLength)
            lpszBuffer[nCopied] = L'\0';
        return nCopied;
    }
    int LineIndex(int nLine = -1) const { return (int)::SendMessageW(m_hWnd, EM_LINEINDEX, (WPARAM)nLine, 0); }
    int LineLength(int nCharIndex = -1) const
    {
        return (int)::SendMessageW(m_hWnd, EM_LINELENGTH, (WPARAM)nCharIndex, 0);
    }
    int LineFromChar(int nCharIndex = -1) const
    {
        return (int)::SendMessageW(m_hWnd, EM_LINEFROMCHAR, (WPARAM)nCharIndex, 0);
    }
    void LineScroll(int nLines, int nChars = 0) { ::SendMessageW(m_hWnd, EM_LINESCROLL, (WPARAM)nChars, (LPARAM)nLines); }
    int GetFirstVisibleLine() const { return (int)::SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0); }

    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)::SendMessageW(m_hWnd, EM_SETREADONLY, (WPARAM)bReadOnly, 0); }
    // 0 shows the characters as typed.
    void SetPasswordChar(TCHAR ch) { ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, (WPARAM)ch, 0); }
    TCHAR GetPasswordChar() const { return (TCHAR)::SendMessageW(m_hWnd, EM_GETPASSWORDCHAR, 0, 0); }
    void SetMargins(UINT nLeft, UINT nRight)
    {
        ::SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
    }
    DWORD GetMargins() const { return (DWORD)::SendMessageW(m_hWnd, EM_GETMARGINS, 0, 0); }
    BOOL GetModify() const { return (BOOL)::SendMessageW(m_hWnd, EM_GETMODIFY, 0, 0); }
    void SetModify(BOOL bModified = TRUE) { ::SendMessageW(m_hWnd, EM_SETMODIFY, (WPARAM)bModified, 0); }

    BOOL CanUndo() const { return (BOOL)::SendMessageW(m_hWnd, EM_CANUNDO, 0, 0); }
    BOOL Undo() { return (BOOL)::SendMessageW(m_hWnd, EM_UNDO, 0, 0); }
    void EmptyUndoBuffer() { ::SendMessageW(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0); }
    void Clear() { ::SendMessageW(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessageW(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageW(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageW(m_hWnd, WM_PASTE, 0, 0); }
};
