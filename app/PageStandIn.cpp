#include "app/PageStandIn.h"
#include "app/TamselApp.h"
#include "resources/main_window/MainWindowIds.h"

BEGIN_MESSAGE_MAP(CStandInPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStandInPage::CStandInPage(UINT nIDTemplate) : CDialog(nIDTemplate, NULL), m_nIDTemplate(nIDTemplate)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CStandInPage::~CStandInPage()
{
}

BOOL CStandInPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_fontTitle.CreateFontIndirect(&lf);
    CWnd* pTitle = GetDlgItem(IDC_STANDIN_TITLE);
    if (pTitle != NULL)
        pTitle->SetFont(&m_fontTitle);
    Translate();
    return TRUE;
}

void CStandInPage::Translate()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (pApp == NULL || pApp->m_strLangFile.IsEmpty())
        return;
    pApp->TranslateDialog(this, m_nIDTemplate);
    CString strKey;
    strKey.Format(L"IDD_%d_Title", m_nIDTemplate);
    CString strTitle = pApp->GetLangString(strKey);
    if (!strTitle.IsEmpty() && GetDlgItem(IDC_STANDIN_TITLE) != NULL)
        SetDlgItemText(IDC_STANDIN_TITLE, strTitle);
}

void CStandInPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow)
    {
        Translate();
        Invalidate(FALSE);
    }
}

HBRUSH CStandInPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_MSGBOX)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_DLG)
    {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 255, 255));
    }
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == IDC_STANDIN_TITLE)
        pDC->SetTextColor(RGB(28, 68, 125));
    return m_brWhite;
}
