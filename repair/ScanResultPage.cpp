#include "repair/ScanResultPage.h"
#include "app/TamselApp.h"

BEGIN_MESSAGE_MAP(CScanResultPage, CStandInPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CScanResultPage::CScanResultPage() : CStandInPage(163), m_bLeaving(0), m_bShown(0)
{
}

int CScanResultPage::ConfirmLeave()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    return AfxMessageBox(pApp->GetLangString(L"M_WARNING_ABORT_RESULT"), MB_YESNO) == IDYES ? 1 : 0;
}

void CScanResultPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStandInPage::OnShowWindow(bShow, nStatus);
    m_bShown = bShow ? 1 : 0;
    if (bShow)
        m_bLeaving = 0;
}
