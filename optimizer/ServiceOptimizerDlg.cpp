#include "optimizer/ServiceOptimizerDlg.h"
#include <algorithm>
#include "optimizer/shared/DrawUtils.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/IniFile.h"
#include "optimizer/shared/ListColumnText.h"
#include "optimizer/shared/WhitePaint.h"

namespace {
int s_nWindowsMajor = 6;

// Radio ids, label ids and label keys in the order campus, home, interner, notebook, offic, default.
const struct
{
    UINT nRadio;
    UINT nLabel;
    LPCWSTR pszKey;
    LPCWSTR pszProfile;
} kProfiles[CServiceOptimizerDlg::PROFILE_COUNT] = {
    {5057, 5089, L"IDC_STC_SV_CAMPUS", L"campus"},     {5058, 5091, L"IDC_STC_SV_HOME", L"home"},
    {5059, 5093, L"IDC_STC_SV_INTERNER", L"interner"}, {5062, 5090, L"IDC_STC_SV_NOTEBOOK", L"notebook"},
    {5061, 5092, L"IDC_STC_SV_OFFICE", L"offic"},      {5060, 5094, L"IDC_STC_SV_DEFAULT", L"default"},
};
const int kDefaultProfile = 5;

int ReadWindowsMajor()
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (::GetVersionExW((OSVERSIONINFOW*)&info))
        return (int)info.dwMajorVersion;
    OSVERSIONINFOW plain = {};
    plain.dwOSVersionInfoSize = sizeof(plain);
    if (::GetVersionExW(&plain))
        return (int)plain.dwMajorVersion;
    return 0;
}

LPCWSTR StartTypeText(DWORD dwStart)
{
    switch (dwStart)
    {
    case SERVICE_AUTO_START:
        return L"Auto";
    case SERVICE_DEMAND_START:
        return L"Manual";
    case SERVICE_DISABLED:
        return L"Disable";
    default:
        return L"";
    }
}

LPCWSTR StateText(DWORD dwState)
{
    if (dwState == SERVICE_STOPPED)
        return L"Stop";
    if (dwState == SERVICE_RUNNING)
        return L"Start";
    return L"";
}
} // namespace

int GetOptimizerWindowsMajor()
{
    return s_nWindowsMajor;
}

void FillServiceList(CListCtrl& list, const std::vector<CServiceRecord>& services, int nMajorVersion)
{
    list.SetRedraw(FALSE);
    list.DeleteAllItems();
    int nRow = 0;
    for (const CServiceRecord& record : services)
    {
        const int nItem = list.InsertItem(nRow++, record.szDisplayName);
        if (nItem < 0)
            continue;
        list.SetItemText(nItem, 1, nMajorVersion < 6 ? record.szDescription : record.szServiceName);
        list.SetItemText(nItem, 2, StartTypeText(record.dwStartType));
        // The state stays in its own column, also when the start type has no text.
        list.SetItemText(nItem, 3, StateText(record.dwCurrentState));
    }
    list.SetRedraw(TRUE);
    list.Invalidate();
}

BEGIN_MESSAGE_MAP(CServiceOptimizerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(5063, OnOptimize)
END_MESSAGE_MAP()

CServiceOptimizerDlg::CServiceOptimizerDlg() : CDialog(IDD), m_hHeader(NULL)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CServiceOptimizerDlg::~CServiceOptimizerDlg()
{
    // The controls are members: the window goes first.
    if (m_hWnd != NULL)
        DestroyWindow();
    if (m_hHeader != NULL)
        ::DeleteObject(m_hHeader);
}

LPCWSTR CServiceOptimizerDlg::ProfileKey(int nIndex)
{
    return nIndex >= 0 && nIndex < PROFILE_COUNT ? kProfiles[nIndex].pszProfile : L"default";
}

LPCWSTR CServiceOptimizerDlg::CheckedProfile() const
{
    for (int i = 0; i < PROFILE_COUNT; i++)
    {
        if (m_radios[i].IsChecked())
            return kProfiles[i].pszProfile;
    }
    return kProfiles[kDefaultProfile].pszProfile;
}

BOOL CServiceOptimizerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnOptimize.SubclassDlgItem(5063, this);
    m_btnOptimize.SetBitmaps(5040, 5041, 5041, 5041, 150, 62, 2);
    m_btnHelp.SubclassDlgItem(4009, this);
    m_btnHelp.SetBitmaps(5060, 5061, 5061, 5061, 172, 31, 2);
    m_btnHelp.ShowWindow(SW_HIDE);
    m_hHeader = (HBITMAP)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(5042), IMAGE_BITMAP, 0, 0, 0);

    CSkinRadioButton* group[PROFILE_COUNT];
    for (int i = 0; i < PROFILE_COUNT; i++)
    {
        m_radios[i].SubclassDlgItem(kProfiles[i].nRadio, this);
        m_radios[i].SetBitmap(5001);
        m_radios[i].SetChecked(i == kDefaultProfile);
        group[i] = &m_radios[i];
        m_labels[i].SubclassDlgItem(kProfiles[i].nLabel, this);
        // The window clips its children: a transparent label would show black.
        m_labels[i].SetBackColor(RGB(255, 255, 255));
    }
    CSkinRadioButton::LinkGroup(group, PROFILE_COUNT);

    s_nWindowsMajor = ReadWindowsMajor();
    SetUpColumns();
    CRect rc;
    GetClientRect(&rc);
    // From 10 in: the view stands 10 left of the host's page area.
    CRect rcList(rc.left + 10, rc.top + 60, rc.right - 5, rc.bottom - 95);
    m_list.SetCreateExStyle(WS_EX_CLIENTEDGE);
    m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS, rcList, this,
                  IDC_SERVICE_LIST);
    // Optimize sits at the bottom right, under the list.
    m_btnOptimize.SetWindowPos(NULL, rc.right - 5 - 150, rc.bottom - 5 - 62 - 12, 150, 62,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    Refill();
    SwitchLanguage();
    return TRUE;
}

void CServiceOptimizerDlg::LayOutProfiles()
{
    // The profiles in columns left of the Optimize button, each column as
    // wide as its longest label: no label runs into the next radio or the
    // button, in any language. Three columns of two rows when they fit,
    // else two columns of three rows.
    if (m_btnOptimize.m_hWnd == NULL || m_radios[0].m_hWnd == NULL || m_list.m_hWnd == NULL)
        return;
    CRect rcClient, rcRadio, rcButton, rcLabel, rcList;
    GetClientRect(&rcClient);
    m_radios[0].GetWindowRect(&rcRadio);
    m_labels[0].GetWindowRect(&rcLabel);
    m_btnOptimize.GetWindowRect(&rcButton);
    m_list.GetWindowRect(&rcList);
    ScreenToClient(&rcRadio);
    ScreenToClient(&rcButton);
    ScreenToClient(&rcList);
    const int nLeft = rcClient.left + 10, nRight = rcButton.left - 8, nGlyphGap = 4, nMinGap = 8;
    int nTexts[PROFILE_COUNT] = {};
    {
        CClientDC dc(this);
        CFont* pOld = dc.SelectObject(GetFont());
        for (int i = 0; i < PROFILE_COUNT; i++)
        {
            CString strText;
            m_labels[i].GetWindowText(strText);
            nTexts[i] = dc.GetTextExtent(strText).cx + 2;
        }
        dc.SelectObject(pOld);
    }
    int nColumns = 3, nWidths[3] = {}, nTotal = 0;
    for (; nColumns >= 2; nColumns--)
    {
        nTotal = 0;
        for (int c = 0; c < nColumns; c++)
        {
            nWidths[c] = 0;
            for (int i = c; i < PROFILE_COUNT; i += nColumns)
                nWidths[c] = std::max(nWidths[c], nTexts[i]);
            nTotal += rcRadio.Width() + nGlyphGap + nWidths[c];
        }
        if (nTotal + (nColumns - 1) * nMinGap <= nRight - nLeft)
            break;
    }
    if (nColumns < 2)
        nColumns = 2;
    const int nRows = (PROFILE_COUNT + nColumns - 1) / nColumns;
    const int nGap = std::min(24, std::max(nMinGap, (nRight - nLeft - nTotal) / (nColumns - 1)));
    // The rows share the room under the list.
    const int nTop = rcList.bottom + 6, nPitch = std::min<int>(22, (rcClient.bottom - 4 - nTop) / nRows);
    int x = nLeft;
    for (int c = 0; c < nColumns; c++)
    {
        for (int i = c, nRow = 0; i < PROFILE_COUNT; i += nColumns, nRow++)
        {
            const int y = nTop + nRow * nPitch + (nPitch - rcRadio.Height()) / 2;
            m_radios[i].SetWindowPos(NULL, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
            m_labels[i].SetWindowPos(NULL, x + rcRadio.Width() + nGlyphGap, y + (rcRadio.Height() - rcLabel.Height()) / 2,
                                     nWidths[c], rcLabel.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        x += rcRadio.Width() + nGlyphGap + nWidths[c] + nGap;
    }
    Invalidate();
}

void CServiceOptimizerDlg::SetUpColumns()
{
    const bool bOld = s_nWindowsMajor < 6;
    m_list.AddColumnRecord(LangText(L"IDC_LIST_SV_COLUMN_1"), 100);
    m_list.AddColumnRecord(LangText(bOld ? L"IDC_LIST_SV_COLUMN_2" : L"IDC_LIST_SV_COLUMN_5"), bOld ? 280 : 100);
    m_list.AddColumnRecord(LangText(L"IDC_LIST_SV_COLUMN_3"), 100);
    m_list.AddColumnRecord(LangText(L"IDC_LIST_SV_COLUMN_4"), 100);
}

void CServiceOptimizerDlg::Refill()
{
    EnumerateServices(m_services, -1, s_nWindowsMajor);
    if (m_list.GetSafeHwnd() != NULL)
        FillServiceList(m_list, m_services, s_nWindowsMajor);
}

void CServiceOptimizerDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    for (int i = 0; i < PROFILE_COUNT; i++)
        m_labels[i].SetWindowText(LangText(kProfiles[i].pszKey));
    LayOutProfiles();
    if (m_list.GetSafeHwnd() != NULL)
    {
        const bool bOld = s_nWindowsMajor < 6;
        const LPCWSTR keys[4] = {L"IDC_LIST_SV_COLUMN_1", bOld ? L"IDC_LIST_SV_COLUMN_2" : L"IDC_LIST_SV_COLUMN_5",
                                 L"IDC_LIST_SV_COLUMN_3", L"IDC_LIST_SV_COLUMN_4"};
        for (int i = 0; i < 4; i++)
            SetColumnText(m_list, i, LangText(keys[i]));
    }
    m_btnHelp.SetWindowText(LangText(L"IDC_BTN_HELP"));
    m_btnOptimize.SetWindowText(LangText(L"IDC_BTN_SV_OPTIMIZE"));
    Invalidate();
}

void CServiceOptimizerDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->hwnd == NULL)
        return;
    if (m_btnOptimize.GetSafeHwnd() == pMsg->hwnd)
        m_btnOptimize.RelayEvent(pMsg);
    if (m_btnHelp.GetSafeHwnd() == pMsg->hwnd)
        m_btnHelp.RelayEvent(pMsg);
}

void CServiceOptimizerDlg::ApplyProfile(LPCWSTR lpszProfile)
{
    CIniFile ini(L"Tunekit.ini");
    if (ApplyServiceProfile(ini, lpszProfile, m_services))
        ShowLibraryMessage(this, L"MESSAGEBOX_14", L"MESSAGEBOX_NOTICE", MB_OK);
    else
        ShowFailureNotice(this);
}

void CServiceOptimizerDlg::OnOptimize()
{
    ApplyProfile(CheckedProfile());
    Refill();
}

BOOL CServiceOptimizerDlg::OnEraseBkgnd(CDC*)
{
    return TRUE; // the paint fills everything
}

void CServiceOptimizerDlg::OnPaint()
{
    CWhitePaint paint(m_hWnd, (HBRUSH)m_brWhite.m_hObject);
    DrawBitmapAt(paint.GetDC(), m_hHeader, 0, 0, 235, 61);
}

HBRUSH CServiceOptimizerDlg::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_brWhite;
}
