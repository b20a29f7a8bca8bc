#include "app/WhiteDialog.h"
#include "app/WhitePageColors.h"

BEGIN_MESSAGE_MAP(CWhiteDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CWhiteDialog::CWhiteDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
}

BOOL CWhiteDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    return TRUE;
}

HBRUSH CWhiteDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    return hBrush != NULL ? hBrush : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
