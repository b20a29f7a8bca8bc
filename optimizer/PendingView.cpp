#include "optimizer/PendingView.h"
#include "optimizer/OptimizerText.h"

BEGIN_MESSAGE_MAP(CPendingView, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {
const int IDC_VIEW_TITLE = 1000;
}

CPendingView::CPendingView(UINT nIDTemplate, LPCWSTR lpszTitleKey)
    : CDialog(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pszTitleKey(lpszTitleKey)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CPendingView::~CPendingView()
{
    // The title static uses the font: the window goes first.
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CPendingView::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_fontTitle.CreateFont(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Verdana");
    HWND hTitle = ::GetDlgItem(m_hWnd, IDC_VIEW_TITLE);
    if (hTitle != NULL)
        ::SendMessageW(hTitle, WM_SETFONT, (WPARAM)m_fontTitle.m_hObject, FALSE);
    SwitchLanguage();
    return TRUE;
}

void CPendingView::SwitchLanguage()
{
    if (m_hWnd != NULL)
        SetDlgItemText(IDC_VIEW_TITLE, LangText(m_pszTitleKey));
}

HBRUSH CPendingView::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->SetTextColor(RGB(28, 68, 125));
    return m_brWhite;
}

BOOL CPendingView::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    return TRUE;
}
