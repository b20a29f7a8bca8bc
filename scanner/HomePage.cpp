#include "scanner/HomePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

// Key order of the switches (Settings.ini and the problem lists).
const UINT CHomePage::s_nCategoryBoxes[HOME_CATEGORY_COUNT] = {
    1108, 1011, 1018, 1016, 1008, 1009, 1019, 1012, 1014, 1020, 1017, 1010, 1021, 1022, 1112};

BEGIN_MESSAGE_MAP(CHomePage, CStandInPage)
    ON_BN_CLICKED(1001, OnScanNow)
    ON_BN_CLICKED(1015, OnSelectAll)
    ON_CONTROL_RANGE(BN_CLICKED, 1008, 1112, OnCategory)
END_MESSAGE_MAP()

CHomePage::CHomePage() : CStandInPage(131)
{
}

void CHomePage::DoDataExchange(CDataExchange* pDX)
{
    CStandInPage::DoDataExchange(pDX);
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        DDX_Control(pDX, s_nCategoryBoxes[i], m_chkCategory[i]);
    DDX_Control(pDX, 1015, m_chkSelectAll);
}

BOOL CHomePage::OnInitDialog()
{
    CStandInPage::OnInitDialog();
    LOGFONTW lf = {};
    lf.lfHeight = -14;
    lf.lfWeight = FW_BOLD;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_fontHeading.CreateFontIndirect(&lf);
    GetDlgItem(1030)->SetFont(&m_fontHeading);
    GetDlgItem(1033)->SetFont(&m_fontHeading);
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_chkCategory[i].SetCheck(pApp->m_bScanCategory[i] ? BST_CHECKED : BST_UNCHECKED);
    UpdateSelectAll();
    return TRUE;
}

void CHomePage::StoreCategorySwitches()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        pApp->m_bScanCategory[i] = m_chkCategory[i].GetCheck() == BST_CHECKED;
}

void CHomePage::OnScanNow()
{
    StoreCategorySwitches();
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    BOOL bAny = FALSE;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        bAny = bAny || pApp->m_bScanCategory[i];
    if (!bAny)
    {
        AfxMessageBox(pApp->GetLangString(L"M_NOITEM"), MB_OK);
        return;
    }
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain == NULL)
        return;
    pMain->m_pageScan.StartScan();
    pMain->ShowPage(PAGE_SCAN);
}

void CHomePage::OnSelectAll()
{
    int nCheck = m_chkSelectAll.GetCheck() == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_chkCategory[i].SetCheck(nCheck);
}

void CHomePage::OnCategory(UINT nID)
{
    if (nID != 1015 && nID != 1001)
        UpdateSelectAll();
}

void CHomePage::UpdateSelectAll()
{
    BOOL bAll = TRUE;
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        bAll = bAll && m_chkCategory[i].GetCheck() == BST_CHECKED;
    m_chkSelectAll.SetCheck(bAll ? BST_CHECKED : BST_UNCHECKED);
}
