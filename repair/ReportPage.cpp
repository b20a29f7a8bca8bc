#include "repair/ReportPage.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "framework/Time.h"
#include "repair/BackupStamp.h"
#include "repair/ScanLog.h"

namespace {
UINT s_msgCloseAfterRepair = ::RegisterWindowMessageW(L"Tamsel.Report.CloseAfterRepair");
const UINT IDC_REPORT_TITLE = 1148;
const UINT IDC_REPORT_FRAME = 1026;
}

const UINT CReportPage::s_nValueIDs[15] = {
    1080, 1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089, 1090, 1091, 1104, 1105, 1106 };

BEGIN_MESSAGE_MAP(CReportPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_REGISTERED_MESSAGE(s_msgCloseAfterRepair, OnCloseAfterRepair)
END_MESSAGE_MAP()

CReportPage::CReportPage()
    : CDialog(IDD, NULL), m_pApp(static_cast<CTamselApp*>(AfxGetApp())), m_bAfterRepair(0)
{
}

CReportPage::~CReportPage()
{
}

BOOL CReportPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    for (int i = 0; i < 15; i++)
        m_wndValues[i].SubclassDlgItem(s_nValueIDs[i], this);
    m_wndFrame.SubclassDlgItem(IDC_REPORT_FRAME, this);
    m_wndHeaderRight.SubclassDlgItem(1033, this);
    m_wndHeaderCount.SubclassDlgItem(1031, this);
    m_wndLastScan.SubclassDlgItem(1030, this);

    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_fontTitle.CreateFontIndirect(&lf);
    if (GetDlgItem(IDC_REPORT_TITLE) != NULL)
        GetDlgItem(IDC_REPORT_TITLE)->SetFont(&m_fontTitle);

    m_pApp->TranslateDialog(this, IDD);
    for (int i = 0; i < 15; i++)
        m_wndValues[i].SetWindowText(L"0/0");
    m_bAfterRepair = 0;
    return TRUE;
}

void CReportPage::OnCancel()
{
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void CReportPage::Refresh()
{
    CScanLog log(m_pApp->m_strSettingsFile);
    log.Read(CString());
    m_pApp->m_strLastScanTime = log.m_strLastScanTime;
    m_wndLastScan.SetWindowText(m_pApp->m_strLastScanTime.IsEmpty() ? m_pApp->GetLangString(L"IDD_166_NO_SCAN")
                                                                     : FormatBackupDate(m_pApp->m_strLastScanTime));
    for (int i = 0; i < 15; i++)
    {
        m_pApp->m_nErrors[i] = log.m_nErrors[i];
        m_pApp->m_nCleaned[i] = log.m_nCleaned[i];
    }
    CString strValue;
    for (int i = 0; i < 15; i++)
    {
        strValue.Format(L"%d/%d", m_pApp->m_nErrors[i], m_pApp->m_nCleaned[i]);
        m_wndValues[i].SetWindowText(strValue);
    }
}

void CReportPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        m_bAfterRepair = 0;
        return;
    }
    m_pApp->TranslateDialog(this, IDD);
    Invalidate(FALSE);
    Refresh();
    // Posted: the close runs after the repair dialog has ended and its
    // worker is gone.
    if (m_pApp->m_bCloseAfterScan != 0 && m_bAfterRepair != 0)
        PostMessage(s_msgCloseAfterRepair, 0, 0);
}

LRESULT CReportPage::OnCloseAfterRepair(WPARAM, LPARAM)
{
    if (m_bAfterRepair == 0 || m_pApp->m_bCloseAfterScan == 0)
        return 0;
    m_bAfterRepair = 0;
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->OnClose();
    return 0;
}

HBRUSH CReportPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == (int)IDC_REPORT_TITLE)
        pDC->SetTextColor(RGB(28, 68, 125));
    return m_brWhite;
}
