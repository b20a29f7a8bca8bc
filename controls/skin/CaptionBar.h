#pragma once
// A group box redrawn as a frame of thin grey lines with cut corners and a
// small caption set into its top (or left) edge.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CCaptionBar : public CButton
{
public:
    CCaptionBar();

    // Shows or hides every sibling that overlaps the bar, then the bar.
    void ShowWithContents(int nCmdShow);
    void SetCaption(const CString& strCaption);
    // 0 top left, 1 top right, 2 and 3 upright along the left edge.
    void SetAlignment(int nAlignment) { m_nAlignment = nAlignment; }

    const CString& GetCaption() const { return m_strCaption; }
    COLORREF GetBackColor() const { return m_crBack; }

protected:
    void PreSubclassWindow() override;

    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()

private:
    int m_nAlignment;
    COLORREF m_crBack;
    COLORREF m_crLine;
    CString m_strCaption;
};
