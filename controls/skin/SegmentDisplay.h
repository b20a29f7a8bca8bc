#pragma once
// A static control that shows a short text as 7- or 14-segment characters,
// lit segments in one colour and unlit ones in another.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "controls/skin/SegmentCell.h"
#include <vector>

class CSegmentDisplay : public CStatic
{
public:
    CSegmentDisplay();
    virtual ~CSegmentDisplay();

    void SetText(LPCTSTR lpszText);
    void SetTextFormat(LPCTSTR lpszFormat, ...);
    void SetTextFormatID(UINT nFormatID, ...);
    const CString& GetText() const { return m_strText; }
    void SetColor(COLORREF clrOff, COLORREF clrOn);
    COLORREF SetBackColor(COLORREF clrBack);
    void SetTransparent(BOOL bTransparent = TRUE);
    BOOL ModifySegmentStyle(DWORD dwRemove, DWORD dwAdd);
    DWORD GetSegmentStyle() const { return m_dwStyle; }
    void SetImmediateRedraw(BOOL bImmediate = TRUE) { m_bImmediateRedraw = bImmediate; }

    // The cells of the current text, rebuilt when it or the style changed.
    const std::vector<SegmentCell>& GetCells();

protected:
    void Redraw();
    void BuildCells();
    BOOL CreateCell(wchar_t ch);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

    CString m_strText;
    BOOL m_bModified;
    std::vector<SegmentCell> m_cells;
    COLORREF m_clrOff;
    COLORREF m_clrOn;
    COLORREF m_clrBack;
    DWORD m_dwStyle;
    BOOL m_bImmediateRedraw;
    BOOL m_bTransparent;

    DECLARE_MESSAGE_MAP()
};
