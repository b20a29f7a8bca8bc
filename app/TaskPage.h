#pragma once
// The base of the pages made of large task buttons: a white page, a hidden
// divider drawn as a thin dark line, transparent text above it, and for a
// dialog built from an in-memory template a header of picture, title and
// subtitle that grow with their text.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

class CTaskPageLabel : public CStatic
{
public:
    CTaskPageLabel();
    virtual ~CTaskPageLabel();

    void SetTextColor(COLORREF cr);
    void SetBkColor(COLORREF cr);
    void SetFontScale(double dFactor);
    // Makes the label tall enough for its wrapped text; the height added.
    int GrowToFitText(CDC* pDC, CRect* pOldWindowRect);

    CFont* m_pFont;
    BOOL m_bCustomTextColor;
    BOOL m_bCustomBkColor;
    COLORREF m_crText;
    COLORREF m_crBk;

protected:
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()
};

class CTaskPagePicture : public CStatic
{
public:
    CTaskPagePicture();

    void SetShadow(BOOL bShadow);
    CSize GetImageSize();

    BOOL m_bShadow;
    BOOL m_bCustomBkColor;
    COLORREF m_crBk;
    COLORREF m_crTransparent;

protected:
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()
};

class CTaskPage : public CDialog
{
public:
    CTaskPage(UINT nIDTemplate, CWnd* pParent);
    // A message-box page composed in memory: caption, a header of icon, title
    // and subtitle, and the buttons of nButtonFlags (the TASKBTN_ flags).
    CTaskPage(CWnd* pParent, HINSTANCE hResources, LPCTSTR lpszCaption, LPCTSTR lpszTitle, LPCTSTR lpszSubtitle,
              UINT nButtonFlags, UINT nIconCode);
    virtual ~CTaskPage();

    enum
    {
        TASKBTN_OK = 1,
        TASKBTN_YES = 2,
        TASKBTN_NO = 4,
        TASKBTN_CANCEL = 8,
        TASKBTN_RETRY = 16,
        TASKBTN_CLOSE = 32,
        TASKBTN_ABORT = 64,
        TASKBTN_IGNORE = 128,
        TASKBTN_TRYAGAIN = 256,
        TASKBTN_CONTINUE = 512
    };

    LPVOID TemplateAlloc(DWORD nBytes);
    void TemplateAddWord(WORD w);
    void TemplateAddString(LPCTSTR lpszText);
    void TemplateAlign();
    void TemplateAddItem(WORD wClass, DWORD dwStyle, DWORD dwExStyle, short x, short y, short cx, short cy, WORD wID);
    // The composed template, NULL when building it failed.
    LPCDLGTEMPLATE GetTemplate() const { return (LPCDLGTEMPLATE)m_pTemplate; }

    void SetHeaderDivider(UINT nID);

    COLORREF m_crBackground;
    HBRUSH m_hbrBackground;
    UINT m_nDividerID;
    HGLOBAL m_hTemplate;
    LPVOID m_pTemplate;
    DWORD m_nTemplateUsed;
    DWORD m_nTemplateSize;
    UINT m_nIconID;
    CTaskPagePicture m_picHeader;
    CTaskPageLabel m_lblTitle;
    CTaskPageLabel m_lblSubtitle;

protected:
    CTaskPage();  // for a dialog built from an in-memory template
    void CommonConstruct();
    virtual BOOL OnInitDialog();
    // A composed box ends with the id of whichever of its buttons was pressed.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnSysColorChange();

private:
    void GrowForLabel(CTaskPageLabel& label, CDC* pDC);
    static BOOL CALLBACK ShiftChildProc(HWND hWnd, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
