#pragma once
// A combo box that shows its whole text in a tooltip when the text is cut
// off, and whose drop-down list does the same for its items.
#include "framework/Afx.h"
#include "framework/Controls.h"

// A tracking tooltip laid exactly over a clipped text.
class CClipTip
{
public:
    CClipTip();
    ~CClipTip();
    BOOL Create(HWND hOwner, COLORREF clrBack, COLORREF clrText, HFONT hFont);
    void Destroy();
    void Show(LPCTSTR lpszText, POINT ptScreen);
    void Hide();
    BOOL IsShown() const { return m_bShown; }
    HWND m_hWnd;
    TOOLINFOW m_toolInfo;

private:
    BOOL m_bShown;
    COLORREF m_clrBack;
    COLORREF m_clrText;
};

class CTipListBox : public CListBox
{
public:
    CTipListBox();
    int m_nItem;  // under the mouse, -1 none
    CClipTip m_tip;

protected:
    virtual void PreSubclassWindow();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};

class CTipWnd : public CComboBox
{
public:
    CTipWnd();
    CTipListBox m_listBox;
    CClipTip m_tip;

    // The text area: the client area less the drop-down button.
    void GetTextRect(LPRECT lpRect) const;
    BOOL IsTextClipped() const;

protected:
    virtual void PreSubclassWindow();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
