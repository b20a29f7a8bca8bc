#include "privacy/JunkCleanerDlg.h"
#include "optimizer/shared/WhitePaint.h"
#include "privacy/JunkText.h"
#include "privacy/PrivacyState.h"

BEGIN_MESSAGE_MAP(CJunkCleanerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(SKINTAB_SELCHANGE, OnTabSelChange)
END_MESSAGE_MAP()

CJunkCleanerDlg::CJunkCleanerDlg() : CDialog(IDD), m_btnHelp(CNButtonEx::STYLE_PRIVACY)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CJunkCleanerDlg::~CJunkCleanerDlg()
{
    // The scan thread first; then the windows, before the members go.
    m_result.SetScanEndedCallback(nullptr);
    m_result.StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CJunkCleanerDlg::CreateView(HWND hParent, int x, int y)
{
    return CreatePrivacyViewWithTexts(*this, hParent, x, y);
}

BOOL CJunkCleanerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_heading.SetUp(this, 377, m_btnHelp, IDC_HELP_BUTTON);

    CRect rc;
    GetClientRect(&rc);
    m_tab.SubclassDlgItem(IDC_TAB_STRIP, this);
    m_tab.MoveWindow(rc.Width() - 226, 54, 216, 26);
    m_tab.SetTabCount(2);
    m_tab.SetTabRect(0, 0, 0, 108, 26);
    m_tab.SetTabBitmaps(0, 381, 381, 378);
    m_tab.SetTabRect(1, 108, 0, 216, 26);
    m_tab.SetTabBitmaps(1, 379, 379, 380);
    m_tab.SetTooltip(L"", TRUE);

    m_options.Create(CJunkScanOptionDlg::IDD, this);
    m_result.Create(CJunkResultDlg::IDD, this);
    const int nTop = rc.top + 81;
    for (CDialog* pTab : {(CDialog*)&m_options, (CDialog*)&m_result})
        pTab->SetWindowPos(NULL, 11, nTop, rc.Width() - 23, rc.bottom - 12 - nTop, SWP_NOZORDER | SWP_NOACTIVATE);
    m_options.SetStartHandler([this](const CString& strFolder, const std::vector<CString>& masks) {
        StartScan(strFolder, masks);
    });
    m_result.SetScanEndedCallback([this]() { m_tab.SetClicksBlocked(FALSE); });
    ShowTab(0);
    return TRUE;
}

void CJunkCleanerDlg::ShowTab(int nTab)
{
    m_tab.SetCurSel(nTab);
    m_options.ShowWindow(nTab == 0 ? SW_SHOW : SW_HIDE);
    m_result.ShowWindow(nTab == 1 ? SW_SHOW : SW_HIDE);
}

LRESULT CJunkCleanerDlg::OnTabSelChange(WPARAM, LPARAM lParam)
{
    ShowTab((int)lParam == 1 ? 1 : 0);
    return 0;
}

BOOL CJunkCleanerDlg::StartScan(const CString& strFolder, const std::vector<CString>& masks)
{
    ShowTab(1);
    // Set before the thread: the strip keeps the result tab in front while it runs.
    m_tab.SetClicksBlocked(TRUE);
    if (!m_result.StartScan(strFolder, masks))
    {
        m_tab.SetClicksBlocked(FALSE);
        return FALSE;
    }
    return TRUE;
}

void CJunkCleanerDlg::ResetView()
{
    if (m_hWnd == NULL || m_result.IsScanning())
        return;
    ShowTab(0);
    m_options.ResetChoice();
    m_result.ClearResults();
}

void CJunkCleanerDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    // The host's tests read the view's title.
    SetWindowText(PrivacyText(L"IDO_SCANCLEAN_3"));
    m_tab.SetTabTooltip(0, PrivacyText(L"IDC_TAB_JUNK_SCAN"));
    m_tab.SetTabTooltip(1, PrivacyText(L"IDC_TAB_JUNK_RES"));
    m_btnHelp.SetWindowText(PrivacyText(L"IDC_BTN_HELP"));
    m_options.SwitchLanguage();
    m_result.SwitchLanguage();
}

void CJunkCleanerDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->hwnd == NULL || m_hWnd == NULL)
        return;
    if (m_btnHelp.GetSafeHwnd() == pMsg->hwnd)
        m_btnHelp.RelayEvent(pMsg);
    if (m_tab.GetSafeHwnd() == pMsg->hwnd)
        m_tab.RelayEvent(pMsg);
    m_options.RelayToolTipEvent(pMsg);
    m_result.RelayToolTipEvent(pMsg);
}

void CJunkCleanerDlg::SignalStop()
{
    m_result.StopScan();
}

void CJunkCleanerDlg::StopAndWait(DWORD dwTimeoutMs)
{
    m_result.StopAndWait(dwTimeoutMs);
}

BOOL CJunkCleanerDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint fills everything
}

void CJunkCleanerDlg::OnPaint()
{
    CWhitePaint paint(m_hWnd, (HBRUSH)m_brWhite.m_hObject);
    HDC hDC = paint.GetDC();
    if (hDC == NULL)
        return;
    const RECT& rc = paint.GetClientRect();
    m_heading.DrawTitle(hDC);
    HPEN hPen = ::CreatePen(PS_SOLID, 1, RGB(0xED, 0xEB, 0xE6));
    HGDIOBJ hOldPen = ::SelectObject(hDC, hPen);
    HGDIOBJ hOldBrush = ::SelectObject(hDC, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(hDC, 10, 80, rc.right - 10, rc.bottom - 10);
    ::SelectObject(hDC, hOldBrush);
    ::SelectObject(hDC, hOldPen);
    ::DeleteObject(hPen);
}
