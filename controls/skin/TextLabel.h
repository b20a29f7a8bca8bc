#pragma once
// Static text painted transparently over the page's skin in a font of its own.
#include "framework/Afx.h"
#include "framework/Controls.h"

// Style flags of CTextLabel::SetFont / SetStyle.
#define TLS_BOLD 0x01
#define TLS_ITALIC 0x02
#define TLS_UNDERLINE 0x04
#define TLS_STRIKEOUT 0x08
#define TLS_ANTIALIAS 0x10
#define TLS_CENTER 0x20
#define TLS_LEFT 0x40
#define TLS_RIGHT 0x80

class CTextLabel : public CStatic
{
public:
    CTextLabel();

    void SetFont(const CString& strFaceName, int nHeight, COLORREF clrText, DWORD dwStyle);
    void SetStyle(DWORD dwStyle);

    BOOL IsBold() const { return m_bBold; }
    BOOL IsItalic() const { return m_bItalic; }
    BOOL IsUnderline() const { return m_bUnderline; }
    BOOL IsStrikeOut() const { return m_bStrikeOut; }
    // DT_LEFT, DT_CENTER or DT_RIGHT.
    UINT GetAlignment() const;
    int GetTextHeight() const { return m_nHeight; }
    COLORREF GetTextColor() const { return m_clrText; }
    const CString& GetFaceName() const { return m_strFaceName; }

protected:
    virtual void PreSubclassWindow();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

    BYTE m_bBold;
    BYTE m_bItalic;
    BYTE m_bUnderline;
    BYTE m_bStrikeOut;
    BYTE m_bAntialias;
    BYTE m_bCenter;
    BYTE m_bLeft;
    BYTE m_bRight;
    CString m_strFaceName;
    COLORREF m_clrText;
    int m_nHeight;

    DECLARE_MESSAGE_MAP()
};
