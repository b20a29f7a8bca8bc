#pragma once
// Progress bars.
#include "framework/Wnd.h"

class CProgressCtrl : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper) { ::SendMessageW(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
    void SetRange32(int nLower, int nUpper) { ::SendMessageW(m_hWnd, PBM_SETRANGE32, (WPARAM)nLower, (LPARAM)nUpper); }
    void GetRange(int& nLower, int& nUpper) const
    {
        PBRANGE range = {};
        ::SendMessageW(m_hWnd, PBM_GETRANGE, FALSE, (LPARAM)&range);
        nLower = range.iLow;
        nUpper = range.iHigh;
    }
    // Each returns the position before.
    int SetPos(int nPos) { return (int)::SendMessageW(m_hWnd, PBM_SETPOS, (WPARAM)nPos, 0); }
    int GetPos() const { return (int)::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0); }
    int OffsetPos(int nPos) { return (int)::SendMessageW(m_hWnd, PBM_DELTAPOS, (WPARAM)nPos, 0); }
    int SetStep(int nStep) { return (int)::SendMessageW(m_hWnd, PBM_SETSTEP, (WPARAM)nStep, 0); }
    // Wraps to the lower bound past the upper one, as the control does.
    int StepIt() { return (int)::SendMessageW(m_hWnd, PBM_STEPIT, 0, 0); }
    // Both return the colour before; CLR_DEFAULT is the system colour.
    COLORREF SetBarColor(COLORREF clrBar) { return (COLORREF)::SendMessageW(m_hWnd, PBM_SETBARCOLOR, 0, (LPARAM)clrBar); }
    COLORREF SetBkColor(COLORREF clrNew) { return (COLORREF)::SendMessageW(m_hWnd, PBM_SETBKCOLOR, 0, (LPARAM)clrNew); }
};
