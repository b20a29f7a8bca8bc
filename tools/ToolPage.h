#pragma once
// What every page of the maintenance tools shares: white background and
// black text, translation on demand, Enter ignored and Escape handed to the
// main window, the page buttons' bitmaps, and the way back to a launcher page.
#include "framework/Afx.h"
#include "framework/Gdi.h"
#include "framework/Dc.h"
#include "controls/skin/ButtonST.h"

class CTamselApp;
class CXListCtrl;

// Pure green: the transparent colour of the tools' bitmaps.
#define TOOL_KEY_COLOR RGB(0, 255, 0)

class CToolPage : public CDialog
{
public:
    explicit CToolPage(UINT nIDTemplate);
    virtual ~CToolPage();
    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void Translate();
    void SetButtonBitmaps(CButtonST& button, UINT nIn, UINT nOut);
    // Shows a main-window page and opens a folder of its navigation bar.
    void GoToPage(int nPage, int nFolder);
    // A column heading's text.
    static void SetColumnText(CXListCtrl& list, int nColumn, const CString& strText);
    CString Lang(LPCWSTR pszKey);
    // A message box with a language text; the program's title as caption.
    int Message(const CString& strText, UINT nType);
    // A warning with a language text and the names it is about, one a line;
    // nothing when the list is empty.
    void ReportNames(LPCWSTR pszKey, const CStringArray& arrNames);
    // A tool archive that could not be read was renamed to strPath.
    void ReportSetAside(const CString& strPath);

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    UINT m_nIDTemplate;
    CTamselApp* m_pApp;
    CBrush m_brWhite;

    DECLARE_MESSAGE_MAP()
};
