#include "tools/ToolPage.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "controls/lists/XListCtrl.h"

BEGIN_MESSAGE_MAP(CToolPage, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CToolPage::CToolPage(UINT nIDTemplate)
    : CDialog(nIDTemplate, NULL), m_nIDTemplate(nIDTemplate), m_pApp(static_cast<CTamselApp*>(AfxGetApp()))
{
}

CToolPage::~CToolPage()
{
}

BOOL CToolPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_brWhite.GetSafeHandle() == NULL)
        m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    Translate();
    return TRUE;
}

void CToolPage::Translate()
{
    if (m_pApp != NULL && !m_pApp->m_strLangFile.IsEmpty())
        m_pApp->TranslateDialog(this, m_nIDTemplate);
}

CString CToolPage::Lang(LPCWSTR pszKey)
{
    return m_pApp != NULL ? m_pApp->GetLangString(pszKey) : CString();
}

int CToolPage::Message(const CString& strText, UINT nType)
{
    return AfxMessageBox(strText, nType);
}

void CToolPage::ReportNames(LPCWSTR pszKey, const CStringArray& arrNames)
{
    if (arrNames.GetSize() == 0)
        return;
    CString strText = Lang(pszKey);
    for (const CString& strName : arrNames)
        strText += L"\n" + strName;
    Message(strText, MB_OK | MB_ICONEXCLAMATION);
}

void CToolPage::ReportSetAside(const CString& strPath)
{
    CStringArray arrNames;
    arrNames.Add(strPath);
    ReportNames(L"M_TOOL_ARCHIVE_SET_ASIDE", arrNames);
}

void CToolPage::OnCancel()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain != this && pMain->GetSafeHwnd() != NULL)
        pMain->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void CToolPage::SetButtonBitmaps(CButtonST& button, UINT nIn, UINT nOut)
{
    if (button.GetSafeHwnd() == NULL)
        return;
    button.SetBitmaps(nIn, TOOL_KEY_COLOR, nOut, TOOL_KEY_COLOR);
    // The bitmaps carry no text: the translated one is drawn over them.
    button.SetAlign(CButtonST::ST_ALIGN_OVERLAP, FALSE);
    for (BYTE nColor : { CButtonST::BTNST_COLOR_FG_IN, CButtonST::BTNST_COLOR_FG_OUT, CButtonST::BTNST_COLOR_FG_FOCUS })
        button.SetColor(nColor, RGB(28, 68, 125), FALSE);
    button.DrawTransparent(FALSE);
    button.DrawBorder(FALSE, TRUE);
}

void CToolPage::GoToPage(int nPage, int nFolder)
{
    CTamselDlg* pMain = dynamic_cast<CTamselDlg*>(AfxGetMainWnd());
    if (pMain == NULL)
        return;
    pMain->ShowPage(nPage);
    pMain->m_wndFolder.SelectFolder(nFolder);
}

void CToolPage::SetColumnText(CXListCtrl& list, int nColumn, const CString& strText)
{
    if (list.GetSafeHwnd() == NULL || strText.IsEmpty())
        return;
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<LPWSTR>((LPCWSTR)strText);
    list.SetColumn(nColumn, &column);
}

HBRUSH CToolPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    return hBrush != NULL ? hBrush : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
