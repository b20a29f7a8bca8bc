#pragma once
// A flat edit control that takes input only where its mask allows: '#' and
// '0' a digit, 'A' and 'a' a letter; every other mask character is a literal
// that input skips. The template is what an empty input shows.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CMaskedEdit : public CEdit
{
public:
    CMaskedEdit();

    void SetMask(CString strMask, CString strTemplate, int nPrompt);
    void SetToolTip(LPCTSTR lpszToolTip);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    const CString& GetShownText() const { return m_strShown; }
    // Positions of input: bounded by both the mask and the template.
    int GetInputLength() const;
    BOOL IsInputPos(int nPos) const;

    CToolTipCtrl m_toolTip;
    CString m_strMask;
    CString m_strShown;
    int m_nPrompt;
    CString m_strValid;
    CString m_strTemplate;
    int m_nEditMode;  // 0 none, 1 Delete, 2 Backspace, 3 Right

protected:
    enum { MODE_NONE = 0, MODE_DELETE = 1, MODE_BACK = 2, MODE_RIGHT = 3 };

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnNcPaint();
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCut(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClear(WPARAM wParam, LPARAM lParam);

    BOOL IsValidChar(int nPos, WCHAR ch) const;
    // The next input position after nPos (backwards first when asked);
    // nPos itself when there is none.
    int NextInputPos(int nPos, BOOL bBackwardsFirst) const;
    void DeleteInput(int nStart, int nEnd);
    void TypeChar(WCHAR ch);
    void ShowText(int nCaret);
    void CreateToolTip();

    DECLARE_MESSAGE_MAP()
};
