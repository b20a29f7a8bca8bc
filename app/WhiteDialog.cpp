#include "app/WhiteDialog.h"

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
    if (nCtlColor == CTLCOLOR_MSGBOX)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_DLG)
    {
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 255, 255));
    }
    return m_brWhite;
}
