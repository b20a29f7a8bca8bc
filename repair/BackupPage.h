#pragma once
// The white page that the backup and scheduling pages share: black text on
// white, translation each time it is shown, and Enter and Escape that close
// nothing.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

class CTamselApp;
class CButtonST;

class CBackupPage : public CDialog
{
public:
    explicit CBackupPage(UINT nIDTemplate);
    virtual ~CBackupPage();

    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // Runs each time the page is shown, before it is translated again.
    virtual void OnPageShown() {}

    void Translate();
    CString LangText(LPCWSTR pszKey) const;
    // A language text with "%s" replaced by the argument (the text is never
    // used as a format, so a translation cannot break the call).
    CString LangText(LPCWSTR pszKey, const CString& strArgument) const;
    // The skinned look of a bitmap button: hot and normal bitmaps, one key colour.
    static void SkinButton(CButtonST& button, UINT nHotBitmap, UINT nNormalBitmap, COLORREF crKey);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CTamselApp* m_pApp;
    UINT m_nIDTemplate;
    CBrush m_brWhite;

    DECLARE_MESSAGE_MAP()
};
