#include "tools/ToolContainer.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "tools/ToolPage.h"

namespace {
const int kTabRemove = 1001;
const int kTabRestore = 1002;
const int kHelp = 1004;
const int kPlaceholder = 130;
const UINT kRemoveSelected = 337, kRemoveUnselected = 336;
const UINT kRestoreSelected = 335, kRestoreUnselected = 338;
}

BEGIN_MESSAGE_MAP(CToolContainer, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_SHOWWINDOW()
    ON_WM_SIZE()
    ON_BN_CLICKED(1001, OnTabRemove)
    ON_BN_CLICKED(1002, OnTabRestore)
END_MESSAGE_MAP()

CToolContainer::CToolContainer(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_nIDTemplate(nIDTemplate), m_nCurPage(-1)
{
}

CToolContainer::~CToolContainer()
{
    for (PageInfo* pInfo : m_arrPages)
        delete pInfo;
    m_arrPages.RemoveAll();
}

BOOL CToolContainer::AddPage(CDialog* pPage, UINT nIDTemplate, LPCTSTR pszName)
{
    if (GetSafeHwnd() != NULL)
        return FALSE;
    PageInfo* pInfo = new PageInfo;
    pInfo->pPage = pPage;
    pInfo->nIDTemplate = nIDTemplate;
    pInfo->strName = pszName;
    m_arrPages.Add(pInfo);
    return TRUE;
}

void CToolContainer::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kHelp, m_btnHelp);
    DDX_Control(pDX, kTabRestore, m_btnRestore);
    DDX_Control(pDX, kTabRemove, m_btnRemove);
    DDX_Control(pDX, kPlaceholder, m_wndPlaceholder);
}

void CToolContainer::Translate()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (pApp != NULL && !pApp->m_strLangFile.IsEmpty())
        pApp->TranslateDialog(this, m_nIDTemplate);
}

void CToolContainer::TakePageRect()
{
    m_wndPlaceholder.GetWindowRect(&m_rcPage);
    ScreenToClient(&m_rcPage);
    m_rcPage.top += 1;
}

BOOL CToolContainer::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    Translate();
    TakePageRect();
    // The pages are children of the container from the start, so the page
    // area's coordinates are theirs.
    for (PageInfo* pInfo : m_arrPages)
    {
        if (pInfo->pPage == NULL)
            continue;
        if (pInfo->pPage->GetSafeHwnd() == NULL)
            pInfo->pPage->Create(pInfo->nIDTemplate, this);
        if (pInfo->pPage->GetSafeHwnd() != NULL)
        {
            pInfo->pPage->MoveWindow(&m_rcPage, TRUE);
            pInfo->pPage->ShowWindow(SW_HIDE);
        }
    }
    m_btnRemove.SetBitmaps(kRemoveSelected, TOOL_KEY_COLOR, 0, 0);
    m_btnRestore.SetBitmaps(kRestoreSelected, TOOL_KEY_COLOR, 0, 0);
    m_btnHelp.SetBitmaps(8048, TOOL_KEY_COLOR, 8047, TOOL_KEY_COLOR);
    for (CButtonST* pButton : { &m_btnRemove, &m_btnRestore, &m_btnHelp })
    {
        pButton->SetAlign(CButtonST::ST_ALIGN_OVERLAP, FALSE);
        pButton->DrawTransparent(FALSE);
        pButton->DrawBorder(FALSE, TRUE);
    }
    SetTabColors(m_btnRemove, TRUE);
    SetTabColors(m_btnRestore, TRUE);
    // Nothing ever shows the help button.
    m_btnHelp.ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CToolContainer::ShowPage(int nIndex, CWnd* pParent)
{
    if (pParent == NULL)
        pParent = this;
    if (nIndex == m_nCurPage)
        return TRUE;
    if (m_nCurPage >= 0 && m_nCurPage < GetPageCount())
    {
        PageInfo* pCurrent = m_arrPages[m_nCurPage];
        if (pCurrent == NULL)
            return FALSE;
        if (pCurrent->pPage != NULL && pCurrent->pPage->GetSafeHwnd() != NULL)
            pCurrent->pPage->ShowWindow(SW_HIDE);
    }
    if (nIndex < 0 || nIndex >= GetPageCount() || m_arrPages[nIndex] == NULL || m_arrPages[nIndex]->pPage == NULL)
        return FALSE;
    PageInfo* pInfo = m_arrPages[nIndex];
    if (pInfo->pPage->GetSafeHwnd() == NULL)
        pInfo->pPage->Create(pInfo->nIDTemplate, this);
    if (pInfo->pPage->GetSafeHwnd() != NULL)
    {
        if (pInfo->pPage->GetParent() != pParent)
            pInfo->pPage->SetParent(pParent);
        pInfo->pPage->MoveWindow(&m_rcPage, TRUE);
        pInfo->pPage->ShowWindow(SW_SHOW);
        pInfo->pPage->SetFocus();
    }
    m_nCurPage = nIndex;
    return TRUE;
}

void CToolContainer::SetTabColors(CButtonST& button, BOOL bSelected)
{
    // Dark text on the light, selected tab; white on the dark green one.
    COLORREF crText = bSelected ? RGB(28, 68, 125) : RGB(255, 255, 255);
    for (BYTE nColor : { CButtonST::BTNST_COLOR_FG_IN, CButtonST::BTNST_COLOR_FG_OUT, CButtonST::BTNST_COLOR_FG_FOCUS })
        button.SetColor(nColor, crText, FALSE);
}

void CToolContainer::ResetTabs()
{
    m_btnRemove.SetBitmaps(kRemoveUnselected, TOOL_KEY_COLOR, 0, 0);
    m_btnRestore.SetBitmaps(kRestoreUnselected, TOOL_KEY_COLOR, 0, 0);
    SetTabColors(m_btnRemove, FALSE);
    SetTabColors(m_btnRestore, FALSE);
    m_btnRemove.Invalidate(TRUE);
    m_btnRestore.Invalidate(TRUE);
}

void CToolContainer::OnTabRemove()
{
    ShowPage(0);
    ResetTabs();
    m_btnRemove.SetBitmaps(kRemoveSelected, TOOL_KEY_COLOR, 0, 0);
    SetTabColors(m_btnRemove, TRUE);
    m_btnRemove.Invalidate(TRUE);
}

void CToolContainer::OnTabRestore()
{
    ShowPage(1);
    ResetTabs();
    m_btnRestore.SetBitmaps(kRestoreSelected, TOOL_KEY_COLOR, 0, 0);
    SetTabColors(m_btnRestore, TRUE);
    m_btnRestore.Invalidate(TRUE);
}

void CToolContainer::OnCancel()
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain != this && pMain->GetSafeHwnd() != NULL)
        pMain->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void CToolContainer::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    OnTabRemove();
    Translate();
    // A hide and a show make the current page rebuild its list.
    if (m_nCurPage >= 0 && m_nCurPage < GetPageCount())
    {
        CDialog* pPage = m_arrPages[m_nCurPage]->pPage;
        if (pPage != NULL && pPage->GetSafeHwnd() != NULL)
        {
            pPage->ShowWindow(SW_HIDE);
            pPage->ShowWindow(SW_SHOW);
        }
    }
    Invalidate(FALSE);
}

void CToolContainer::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_wndPlaceholder.GetSafeHwnd() != NULL)
        TakePageRect();
}

HBRUSH CToolContainer::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    return hBrush != NULL ? hBrush : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
