#include "framework/RichEditCtrl.h"
#include "framework/CommonControls.h"

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitRichEdit2())
        return FALSE;
    return CWnd::Create(RICHEDIT_CLASSW, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT2W& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT2W& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetWordCharFormat(CHARFORMAT2W& cf)
{
    cf.cbSize = sizeof(cf);
    return (BOOL)::SendMessageW(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION | SCF_WORD, (LPARAM)&cf);
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT2W& cf) const
{
    cf.cbSize = sizeof(cf);
    return (DWORD)::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&cf);
}

DWORD CRichEditCtrl::GetDefaultCharFormat(CHARFORMAT2W& cf) const
{
    cf.cbSize = sizeof(cf);
    return (DWORD)::SendMessageW(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
}

BOOL CRichEditCtrl::SetParaFormat(PARAFORMAT2& pf)
{
    pf.cbSize = sizeof(pf);
    return (BOOL)::SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, (LPARAM)&pf);
}

DWORD CRichEditCtrl::GetParaFormat(PARAFORMAT2& pf) const
{
    pf.cbSize = sizeof(pf);
    return (DWORD)::SendMessageW(m_hWnd, EM_GETPARAFORMAT, 0, (LPARAM)&pf);
}

CString CRichEditCtrl::GetTextRange(long nFirst, long nLast) const
{
    CString strText;
    if (nLast == -1)
        nLast = GetTextLength();
    if (nFirst < 0 || nLast <= nFirst)
        return strText;
    TEXTRANGEW range = {};
    range.chrg.cpMin = nFirst;
    range.chrg.cpMax = nLast;
    range.lpstrText = strText.GetBuffer((int)(nLast - nFirst + 1));
    long nCopied = (long)::SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    strText.ReleaseBuffer(nCopied > 0 ? (int)nCopied : 0);
    return strText;
}

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE cr = {};
    GetSel(cr);
    CString strText;
    if (cr.cpMax <= cr.cpMin)
        return strText;
    LPWSTR pszBuffer = strText.GetBuffer((int)(cr.cpMax - cr.cpMin + 1));
    long nCopied = (long)::SendMessageW(m_hWnd, EM_GETSELTEXT, 0, (LPARAM)pszBuffer);
    strText.ReleaseBuffer(nCopied > 0 ? (int)nCopied : 0);
    return strText;
}
