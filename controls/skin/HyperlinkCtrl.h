#pragma once
// A static text that opens its URL when clicked: link colours, underlined
// font, link cursor and a tooltip with the URL.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"

class CHyperlinkCtrl : public CStatic
{
public:
    CHyperlinkCtrl();
    virtual ~CHyperlinkCtrl();

    void SetURL(const CString& strURL);
    const CString& GetURL() const { return m_strURL; }
    void SetColors(COLORREF clrLink, COLORREF clrVisited);
    void SetVisited(BOOL bVisited = TRUE);
    BOOL GetVisited() const { return m_bVisited; }
    BOOL GetUnderline() const { return m_bUnderline; }
    void SetUnderline(BOOL bUnderline = TRUE);
    void SetTipText(const CString& strTip);
    void SetLinkCursor(HCURSOR hCursor) { m_hLinkCursor = hCursor; }

    // Opens the URL: through the shell, else with the browser registered for
    // ".htm". A result above 32 is success.
    static INT_PTR OpenURL(const CString& strURL, int nShowCmd);
    // The registered browser command made to open strURL: the command is cut
    // at its "%1" placeholder (with an opening quotation mark) and a blank and
    // the URL are appended.
    static CString BuildBrowserCommand(const CString& strCommand, const CString& strURL);

    virtual BOOL PreTranslateMessage(MSG* pMsg);

protected:
    virtual void PreSubclassWindow();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnClicked();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    COLORREF m_clrLink;
    COLORREF m_clrVisited;
    BOOL m_bVisited;
    BOOL m_bUnderline;
    CString m_strURL;
    CFont m_fontUnderline;
    HCURSOR m_hLinkCursor;
    CToolTipCtrl m_toolTip;
    CString m_strTip;  // the tooltip's text once set; else the URL

    DECLARE_MESSAGE_MAP()
};
