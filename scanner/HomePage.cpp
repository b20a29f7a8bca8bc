#include "scanner/HomePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "app/WhitePageColors.h"

// Key order of the switches (Settings.ini and the problem lists).
const UINT CHomePage::s_nCategoryBoxes[HOME_CATEGORY_COUNT] = {
    1108, 1011, 1018, 1016, 1008, 1009, 1019, 1012, 1014, 1020, 1017, 1010, 1021, 1022, 1112};
const UINT CHomePage::s_nCategoryBitmaps[HOME_CATEGORY_COUNT] = {
    286, 294, 289, 293, 284, 285, 290, 291, 283, 292, 295, 296, 287, 288, 8028};

namespace {
const UINT IDC_HOME_SCAN_NOW = 1001;
const UINT IDC_HOME_SELECT_ALL = 1015;
const UINT IDB_HOME_SKIN = 8013;
const UINT IDB_SELECT_ALL = 343;
const UINT IDB_SCAN_NOW_OUT = 206;
const UINT IDB_SCAN_NOW_IN = 207;
// Key slots of System Services and Empty Registry Keys.
const int SLOT_SERVICES = 3;
const int SLOT_EMPTY_KEYS = 14;
}  // namespace

BEGIN_MESSAGE_MAP(CHomePage, CSkinDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_HOME_SCAN_NOW, OnScanNow)
    ON_BN_CLICKED(IDC_HOME_SELECT_ALL, OnSelectAll)
    ON_CONTROL_RANGE(BN_CLICKED, 1008, 1112, OnCategory)
END_MESSAGE_MAP()

CHomePage::CHomePage() : CSkinDialog(131, NULL), m_pApp(static_cast<CTamselApp*>(AfxGetApp()))
{
}

void CHomePage::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        DDX_Control(pDX, s_nCategoryBoxes[i], m_chkCategory[i]);
    DDX_Control(pDX, IDC_HOME_SELECT_ALL, m_chkSelectAll);
    DDX_Control(pDX, IDC_HOME_SCAN_NOW, m_btnScanNow);
    DDX_Control(pDX, 1030, m_lblTitle);
    DDX_Control(pDX, 1031, m_lblText);
    DDX_Control(pDX, 1033, m_lblSelect);
}

BOOL CHomePage::IsBlockedOnWow64(int nKeySlot) const
{
    return m_pApp != NULL && m_pApp->m_bWow64 && (nKeySlot == SLOT_SERVICES || nKeySlot == SLOT_EMPTY_KEYS);
}

BOOL CHomePage::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_pApp = static_cast<CTamselApp*>(AfxGetApp());
    SetBitmap(IDB_HOME_SKIN, (COLORREF)-1);
    m_btnScanNow.SetBitmaps(IDB_SCAN_NOW_IN, RGB(0, 255, 0), IDB_SCAN_NOW_OUT, RGB(0, 255, 0));
    m_btnScanNow.SetAlign(CButtonST::ST_ALIGN_OVERLAP, FALSE);
    m_btnScanNow.SetColor(CButtonST::BTNST_COLOR_FG_IN, RGB(255, 255, 255), FALSE);
    m_btnScanNow.SetColor(CButtonST::BTNST_COLOR_FG_OUT, RGB(255, 255, 255), FALSE);
    m_btnScanNow.DrawTransparent(FALSE);
    m_btnScanNow.DrawBorder(FALSE, FALSE);
    m_btnScanNow.SizeToContent();
    m_lblTitle.SetFont(L"Verdana", 14, RGB(0, 0, 0), TLS_BOLD | TLS_CENTER);
    m_lblText.SetFont(L"Verdana", 13, RGB(0, 0, 0), TLS_CENTER);
    m_lblSelect.SetFont(L"Verdana", 14, RGB(0, 0, 0), TLS_BOLD | TLS_CENTER);
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
    {
        m_chkCategory[i].SetBitmaps(s_nCategoryBitmaps[i], RGB(255, 255, 255));
        m_chkCategory[i].DrawTransparent(FALSE);
        m_chkCategory[i].DrawBorder(FALSE, FALSE);
    }
    m_chkSelectAll.SetBitmaps(IDB_SELECT_ALL, RGB(255, 255, 255));
    m_chkSelectAll.DrawTransparent(FALSE);
    m_chkSelectAll.DrawBorder(FALSE, FALSE);
    Invalidate();
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
    {
        BOOL bBlocked = IsBlockedOnWow64(i);
        m_chkCategory[i].SetCheck(!bBlocked && m_pApp != NULL && m_pApp->m_bScanCategory[i] ? 1 : 0, FALSE);
        if (bBlocked)
            m_chkCategory[i].EnableWindow(FALSE);
    }
    UpdateSelectAll();
    return TRUE;
}

void CHomePage::SetButtonsBk(CDC* pMemDC)
{
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_chkCategory[i].SetBk(pMemDC);
    m_chkSelectAll.SetBk(pMemDC);
    m_btnScanNow.SetBk(pMemDC);
}

void CHomePage::StoreCategorySwitches()
{
    if (m_pApp == NULL || m_hWnd == NULL)
        return;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_pApp->m_bScanCategory[i] = m_chkCategory[i].GetCheck() == 1;
}

void CHomePage::OnScanNow()
{
    StoreCategorySwitches();
    BOOL bAny = FALSE;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        bAny = bAny || m_pApp->m_bScanCategory[i];
    if (!bAny)
    {
        AfxMessageBox(m_pApp->GetLangString(L"M_NOITEM"), MB_OK);
        return;
    }
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain == NULL)
        return;
    pMain->m_pageScan.m_bStartPending = 1;
    // A scan still ending keeps the page where it is.
    if (!pMain->m_pageScan.StartScan())
        return;
    pMain->ShowPage(PAGE_SCAN);
}

void CHomePage::OnSelectAll()
{
    int nCheck = m_chkSelectAll.GetCheck() == 1 ? 1 : 0;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_chkCategory[i].SetCheck(nCheck && !IsBlockedOnWow64(i) ? 1 : 0);
}

void CHomePage::OnCategory(UINT nID)
{
    if (nID != IDC_HOME_SELECT_ALL && nID != IDC_HOME_SCAN_NOW)
        UpdateSelectAll();
}

void CHomePage::UpdateSelectAll()
{
    BOOL bAll = TRUE;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        bAll = bAll && m_chkCategory[i].GetCheck() == 1;
    m_chkSelectAll.SetCheck(bAll ? 1 : 0);
}

void CHomePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CSkinDialog::OnShowWindow(bShow, nStatus);
    if (bShow && m_pApp != NULL)
    {
        m_pApp->TranslateDialog(this, 131);
        Invalidate();
    }
}

HBRUSH CHomePage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    return hBrush != NULL ? hBrush : CSkinDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
