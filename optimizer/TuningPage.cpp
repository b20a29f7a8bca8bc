#include "optimizer/TuningPage.h"
#include "optimizer/OptimizerText.h"
#include <algorithm>

BEGIN_MESSAGE_MAP(CTuningPage, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CTuningPage::CTuningPage(UINT nIDTemplate) : CDialog(nIDTemplate), m_nIDTemplate(nIDTemplate), m_nStep(STEP_CHOOSE)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

void CTuningPage::SetStep(int nStep)
{
    if (nStep < STEP_CHOOSE || nStep > STEP_APPLY)
        return;
    if (nStep != STEP_APPLY)
    {
        m_nStep = nStep;
        ShowStep(nStep);
        return;
    }
    CRegistry reg;
    ApplyWizard(reg);
    if (reg.GetFailureCount() > 0)
        ShowFailureNotice(this);
    else
        ShowLibraryMessage(this, L"MESSAGEBOX_5", L"MESSAGEBOX_NOTICE", MB_OK | MB_ICONINFORMATION);
}

void CTuningPage::ShowControls(const UINT* pIDs, int nCount, BOOL bShow)
{
    for (int i = 0; i < nCount; i++)
    {
        HWND hCtrl = ::GetDlgItem(m_hWnd, (int)pIDs[i]);
        if (hCtrl != NULL)
            ::ShowWindow(hCtrl, bShow ? SW_SHOW : SW_HIDE);
    }
}

void CTuningPage::SetUpRadios(CSkinRadioButton* pRadios, const UINT* pIDs, int nCount, int nChecked)
{
    CSkinRadioButton* group[CSkinRadioButton::MAX_SIBLINGS + 1];
    for (int i = 0; i < nCount && i <= CSkinRadioButton::MAX_SIBLINGS; i++)
    {
        pRadios[i].SubclassDlgItem(pIDs[i], this);
        pRadios[i].SetBitmap(5001);
        pRadios[i].SetChecked(i == nChecked);
        group[i] = &pRadios[i];
    }
    CSkinRadioButton::LinkGroup(group, nCount);
}

int CTuningPage::CheckedRadio(const CSkinRadioButton* pRadios, int nCount)
{
    for (int i = 0; i < nCount; i++)
    {
        if (pRadios[i].IsChecked())
            return i;
    }
    return -1;
}

void CTuningPage::SetText(UINT nID, const CString& strText)
{
    SetDlgItemText((int)nID, strText);
}

void CTuningPage::SetUpReviewList(CListCtrl& list, UINT nID)
{
    list.SubclassDlgItem(nID, this);
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

namespace {
// What a report list leaves on both sides of a cell's text.
const int kCellMargins = 12;
} // namespace

void CTuningPage::FitReviewColumns(CListCtrl& list)
{
    CHeaderCtrl* pHeader = list.GetHeaderCtrl();
    const int nColumns = pHeader != NULL ? pHeader->GetItemCount() : 0;
    if (nColumns < 1)
        return;
    CRect rc;
    list.GetClientRect(&rc);
    int nRest = rc.Width();
    for (int i = 1; i < nColumns; i++)
        nRest -= list.GetColumnWidth(i);
    // A row longer than that widens the column: the list then scrolls
    // sideways rather than cutting the text.
    int nWidest = 0;
    for (int nRow = 0; nRow < list.GetItemCount(); nRow++)
        nWidest = std::max(nWidest, (int)list.GetStringWidth(list.GetItemText(nRow, 0)));
    const int nCheckBox = ::GetSystemMetrics(SM_CXSMICON) + 4;
    list.SetColumnWidth(0, std::max(nRest, nWidest + kCellMargins + nCheckBox));
}

void CTuningPage::AddReviewRow(CListCtrl& list, const CString& strText, int nCode)
{
    int nItem = list.InsertItem(LVIF_TEXT | LVIF_PARAM, list.GetItemCount(), strText, 0, 0, 0, (LPARAM)nCode);
    if (nItem >= 0)
        list.SetCheck(nItem, TRUE);
}

BOOL CTuningPage::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    return TRUE;
}

void CTuningPage::OnPaint()
{
    CPaintDC dc(this);
}

LRESULT CTuningPage::OnPrintClient(WPARAM wParam, LPARAM)
{
    CRect rc;
    GetClientRect(&rc);
    ::FillRect((HDC)wParam, &rc, m_brWhite);
    return 0;
}

HBRUSH CTuningPage::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->SetTextColor(RGB(0, 0, 0));
    return m_brWhite;
}
