#pragma once
// Rich edit 2.0 controls ("RichEdit20W"). Dialog templates that hold one need
// AfxInitRichEdit2 before the dialog is created; Create calls it itself.
#include "framework/Wnd.h"
#include <richedit.h>

class CRichEditCtrl : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Character positions; (0, -1) selects everything.
    void SetSel(long nStartChar, long nEndChar)
    {
        CHARRANGE cr = { nStartChar, nEndChar };
        SetSel(cr);
    }
    void SetSel(CHARRANGE& cr) { ::SendMessageW(m_hWnd, EM_EXSETSEL, 0, (LPARAM)&cr); }
    void GetSel(long& nStartChar, long& nEndChar) const
    {
        CHARRANGE cr = {};
        GetSel(cr);
        nStartChar = cr.cpMin;
        nEndChar = cr.cpMax;
    }
    void GetSel(CHARRANGE& cr) const { ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    {
        ::SendMessageW(m_hWnd, EM_REPLACESEL, (WPARAM)bCanUndo, (LPARAM)(lpszNewText ? lpszNewText : L""));
    }
    void HideSelection(BOOL bHide, BOOL bPerm)
    {
        ::SendMessageW(m_hWnd, EM_HIDESELECTION, (WPARAM)bHide, (LPARAM)bPerm);
        // The permanent form is the ECO_NOHIDESEL option.
        if (bPerm)
            ::SendMessageW(m_hWnd, EM_SETOPTIONS, bHide ? ECOOP_AND : ECOOP_OR, bHide ? ~ECO_NOHIDESEL : ECO_NOHIDESEL);
    }
    // Returns the colour before.
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr)
    {
        return (COLORREF)::SendMessageW(m_hWnd, EM_SETBKGNDCOLOR, (WPARAM)bSysColor, (LPARAM)cr);
    }

    // The set forms fill in cbSize themselves.
    BOOL SetDefaultCharFormat(CHARFORMAT2W& cf);
    BOOL SetSelectionCharFormat(CHARFORMAT2W& cf);
    BOOL SetWordCharFormat(CHARFORMAT2W& cf);
    // Returns the mask of the attributes that are the same over the selection.
    DWORD GetSelectionCharFormat(CHARFORMAT2W& cf) const;
    DWORD GetDefaultCharFormat(CHARFORMAT2W& cf) const;
    BOOL SetParaFormat(PARAFORMAT2& pf);
    DWORD GetParaFormat(PARAFORMAT2& pf) const;

    // Returns the mask before.
    DWORD SetEventMask(DWORD dwEventMask) { return (DWORD)::SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, (LPARAM)dwEventMask); }
    DWORD GetEventMask() const { return (DWORD)::SendMessageW(m_hWnd, EM_GETEVENTMASK, 0, 0); }
    // 0 restores the default limit.
    void LimitText(long nChars = 0) { ::SendMessageW(m_hWnd, EM_EXLIMITTEXT, 0, (LPARAM)nChars); }
    long GetLimitText() const { return (long)::SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0); }
    // Characters, counting a paragraph end as the control stores it.
    long GetTextLength() const { return (long)::SendMessageW(m_hWnd, WM_GETTEXTLENGTH, 0, 0); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)::SendMessageW(m_hWnd, EM_SETREADONLY, (WPARAM)bReadOnly, 0); }
    int GetLineCount() const { return (int)::SendMessageW(m_hWnd, EM_GETLINECOUNT, 0, 0); }
    int GetFirstVisibleLine() const { return (int)::SendMessageW(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0); }
    void LineScroll(int nLines, int nChars = 0) { ::SendMessageW(m_hWnd, EM_LINESCROLL, (WPARAM)nChars, (LPARAM)nLines); }
    long LineIndex(int nLine = -1) const { return (long)::SendMessageW(m_hWnd, EM_LINEINDEX, (WPARAM)nLine, 0); }
    // The text between two positions, empty when they are out of order.
    CString GetTextRange(long nFirst, long nLast) const;
    CString GetSelText() const;

    // nFormat is SF_TEXT or SF_RTF (with SFF_SELECTION for the selection).
    long StreamIn(int nFormat, EDITSTREAM& es) { return (long)::SendMessageW(m_hWnd, EM_STREAMIN, (WPARAM)nFormat, (LPARAM)&es); }
    long StreamOut(int nFormat, EDITSTREAM& es) { return (long)::SendMessageW(m_hWnd, EM_STREAMOUT, (WPARAM)nFormat, (LPARAM)&es); }

    BOOL CanUndo() const { return (BOOL)::SendMessageW(m_hWnd, EM_CANUNDO, 0, 0); }
    BOOL Undo() { return (BOOL)::SendMessageW(m_hWnd, EM_UNDO, 0, 0); }
    void EmptyUndoBuffer() { ::SendMessageW(m_hWnd, EM_EMPTYUNDOBUFFER, 0, 0); }
    void Clear() { ::SendMessageW(m_hWnd, WM_CLEAR, 0, 0); }
    void Copy() { ::SendMessageW(m_hWnd, WM_COPY, 0, 0); }
    void Cut() { ::SendMessageW(m_hWnd, WM_CUT, 0, 0); }
    void Paste() { ::SendMessageW(m_hWnd, WM_PASTE, 0, 0); }
};
