#include "repair/BackupPage.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "controls/skin/ButtonST.h"

BEGIN_MESSAGE_MAP(CBackupPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CBackupPage::CBackupPage(UINT nIDTemplate)
    : CDialog(nIDTemplate, NULL), m_pApp(static_cast<CTamselApp*>(AfxGetApp())), m_nIDTemplate(nIDTemplate)
{
}

CBackupPage::~CBackupPage()
{
}

BOOL CBackupPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    Translate();
    return TRUE;
}

void CBackupPage::Translate()
{
    if (m_pApp != NULL)
        m_pApp->TranslateDialog(this, m_nIDTemplate);
}

CString CBackupPage::LangText(LPCWSTR pszKey) const
{
    return m_pApp != NULL ? m_pApp->GetLangString(pszKey) : CString();
}

CString CBackupPage::LangText(LPCWSTR pszKey, const CString& strArgument) const
{
    CString strText = LangText(pszKey);
    if (strText.Find(L"%s") < 0)
        return strText + strArgument;
    strText.Replace(L"%s", strArgument);
    return strText;
}

void CBackupPage::SkinButton(CButtonST& button, UINT nHotBitmap, UINT nNormalBitmap, COLORREF crKey)
{
    button.SetBitmaps(nHotBitmap, crKey, nNormalBitmap, crKey);
    button.DrawTransparent(FALSE);
    button.DrawBorder(FALSE, TRUE);
}

void CBackupPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow)
    {
        OnPageShown();
        Translate();
        Invalidate(FALSE);
    }
}

HBRUSH CBackupPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return m_brWhite;
}
