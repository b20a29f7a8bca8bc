#include "privacy/JunkScanOptionDlg.h"
#include "optimizer/shared/ListColumnText.h"
#include "privacy/JunkBrowse.h"
#include "privacy/JunkMaskRules.h"
#include "privacy/JunkText.h"
#include "privacy/JunkWalk.h"
#include <algorithm>

namespace {

struct LabelKey
{
    UINT nID;
    LPCWSTR lpszKey;
};

const LabelKey kLabels[8] = {
    {1055, L"IDC_STC_JUNK_SCAN_CAT"}, {1047, L"IDC_STC_JUNK_SCAN_BROWSER"}, {1050, L"IDC_STC_SEL"},
    {4007, L"IDC_STC_JUNK_SACN_DISK"}, {4008, L"IDC_STC_JUNK_SACN_PATH"},  {4005, L"IDC_STATIC3"},
    {4006, L"IDC_STATIC4"},           {4004, L"IDC_STATIC5"},
};

const UINT kRadioStrip = 384;

} // namespace

BEGIN_MESSAGE_MAP(CJunkScanOptionDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_ALL_DISKS, OnAllDisks)
    ON_BN_CLICKED(IDC_CHOOSE_DIR, OnChooseDir)
    ON_BN_CLICKED(IDC_SEL_ALL, OnSelAll)
    ON_BN_CLICKED(IDC_SEL_NONE, OnSelNone)
    ON_BN_CLICKED(IDC_SEL_DEFAULT, OnSelDefault)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_SCAN_NOW, OnScanNow)
END_MESSAGE_MAP()

CJunkScanOptionDlg::CJunkScanOptionDlg() : CDialog(IDD), m_btnScan(CNButtonEx::STYLE_PRIVACY), m_bAllDisks(TRUE)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CJunkScanOptionDlg::~CJunkScanOptionDlg()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CJunkScanOptionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (int i = 0; i < 8; i++)
        m_labels[i].SubclassDlgItem(kLabels[i].nID, this);
    m_group.SubclassDlgItem(IDC_GROUP, this);
    m_group.SetCaptionBackColor(RGB(255, 255, 255));
    m_editFolder.SubclassDlgItem(IDC_FOLDER, this);
    m_btnBrowse.SubclassDlgItem(IDC_BROWSE, this);
    m_btnScan.SubclassDlgItem(IDC_SCAN_NOW, this);
    m_btnScan.SetBitmaps(387, 389, 388, 388, 195, 57, 2);

    CSkinRadioButton* place[2] = {&m_radAllDisks, &m_radChooseDir};
    CSkinRadioButton* choice[3] = {&m_radAll, &m_radNone, &m_radDefault};
    m_radAllDisks.SubclassDlgItem(IDC_ALL_DISKS, this);
    m_radChooseDir.SubclassDlgItem(IDC_CHOOSE_DIR, this);
    m_radAll.SubclassDlgItem(IDC_SEL_ALL, this);
    m_radNone.SubclassDlgItem(IDC_SEL_NONE, this);
    m_radDefault.SubclassDlgItem(IDC_SEL_DEFAULT, this);
    for (CSkinRadioButton* pRadio : {&m_radAllDisks, &m_radChooseDir, &m_radAll, &m_radNone, &m_radDefault})
        pRadio->SetBitmap(kRadioStrip);
    CSkinRadioButton::LinkGroup(place, 2);
    CSkinRadioButton::LinkGroup(choice, 3);
    m_radDefault.SetChecked(TRUE);

    m_list.SubclassDlgItem(IDC_MASK_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, PrivacyText(L"IDC_LIST_COLUMN_3"), LVCFMT_LEFT, 80);
    m_list.InsertColumn(1, PrivacyText(L"IDC_LIST_COLUMN_4"), LVCFMT_LEFT, 160);
    m_list.SetRedraw(FALSE);
    for (int i = 0; i < JUNK_MASK_COUNT; i++)
    {
        int nItem = m_list.InsertItem(i, JunkMaskTable[i].lpszMask);
        m_list.SetItemText(nItem, 1, JunkMaskTable[i].lpszDescription);
        m_list.SetCheck(nItem, TRUE);
    }
    // The masks and descriptions are fixed: each column as wide as its widest
    // row, the list scrolling sideways for the longer descriptions.
    for (int nColumn = 0; nColumn < 2; nColumn++)
    {
        int nWidest = 0;
        for (int i = 0; i < JUNK_MASK_COUNT; i++)
            nWidest = std::max(nWidest, (int)m_list.GetStringWidth(m_list.GetItemText(i, nColumn)));
        const int nCheckBox = nColumn == 0 ? ::GetSystemMetrics(SM_CXSMICON) + 4 : 0;
        m_list.SetColumnWidth(nColumn, std::max(m_list.GetColumnWidth(nColumn), nWidest + 12 + nCheckBox));
    }
    m_list.SetRedraw(TRUE);
    SelectMasks(IDC_SEL_DEFAULT);
    ResetChoice();

    CRect rc;
    GetClientRect(&rc);
    Layout(rc.Width(), rc.Height());
    SwitchLanguage();
    return TRUE;
}

void CJunkScanOptionDlg::OnSize(UINT, int cx, int cy)
{
    if (m_btnScan.GetSafeHwnd() != NULL)
        Layout(cx, cy);
}

void CJunkScanOptionDlg::Layout(int cx, int cy)
{
    // The masks fill the left; the choices stand in a column above Scan Now.
    const int x0 = cx - 220;
    m_labels[0].MoveWindow(4, 4, x0 - 12, 16);
    m_list.MoveWindow(4, 22, x0 - 12, cy - 28);
    m_labels[2].MoveWindow(x0, 4, 195, 16);
    const int yRadio = 26;
    m_radAll.MoveWindow(x0, yRadio, 16, 16);
    m_labels[5].MoveWindow(x0 + 18, yRadio, 44, 16);
    m_radNone.MoveWindow(x0 + 64, yRadio, 16, 16);
    m_labels[6].MoveWindow(x0 + 82, yRadio, 44, 16);
    m_radDefault.MoveWindow(x0 + 128, yRadio, 16, 16);
    m_labels[7].MoveWindow(x0 + 146, yRadio, 60, 16);
    m_group.MoveWindow(x0 - 4, 52, 204, 128);
    m_labels[1].MoveWindow(x0 + 4, 70, 190, 16);
    m_radAllDisks.MoveWindow(x0 + 4, 92, 16, 16);
    m_labels[3].MoveWindow(x0 + 24, 92, 170, 16);
    m_radChooseDir.MoveWindow(x0 + 4, 114, 16, 16);
    m_labels[4].MoveWindow(x0 + 24, 114, 170, 16);
    m_editFolder.MoveWindow(x0 + 4, 140, 118, 22);
    // Wide enough for its caption inside the button's frame and padding.
    m_btnBrowse.MoveWindow(x0 + 126, 140, 68, 22);
    m_btnScan.MoveWindow(cx - 220, cy - 70, 195, 57);
}

BOOL CJunkScanOptionDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillRect(&rc, &m_brWhite);
    return TRUE;
}

HBRUSH CJunkScanOptionDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (nCtlColor == CTLCOLOR_EDIT)
        return (HBRUSH)::GetSysColorBrush(COLOR_WINDOW);
    (void)pWnd;
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_brWhite;
}

void CJunkScanOptionDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    for (int i = 0; i < 8; i++)
        m_labels[i].SetWindowText(PrivacyText(kLabels[i].lpszKey));
    const LPCWSTR keys[2] = {L"IDC_LIST_COLUMN_3", L"IDC_LIST_COLUMN_4"};
    for (int i = 0; i < 2; i++)
        SetColumnText(m_list, i, PrivacyText(keys[i]));
    m_btnBrowse.SetWindowText(PrivacyText(L"IDC_BTN_JUNK_SACN_BROWSER"));
    m_btnScan.SetWindowText(PrivacyText(L"IDC_BTN_JUNK_SACN"));
    Invalidate();
}

void CJunkScanOptionDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (m_btnScan.GetSafeHwnd() != NULL && m_btnScan.GetSafeHwnd() == pMsg->hwnd)
        m_btnScan.RelayEvent(pMsg);
}

void CJunkScanOptionDlg::ChooseAllDisks(BOOL bAllDisks)
{
    m_bAllDisks = bAllDisks;
    m_radAllDisks.SetChecked(bAllDisks);
    m_radChooseDir.SetChecked(!bAllDisks);
    m_editFolder.EnableWindow(!bAllDisks);
    m_btnBrowse.EnableWindow(!bAllDisks);
}

void CJunkScanOptionDlg::ResetChoice()
{
    m_editFolder.SetWindowText(L"");
    ChooseAllDisks(TRUE);
}

void CJunkScanOptionDlg::SelectMasks(int nID)
{
    m_radAll.SetChecked(nID == IDC_SEL_ALL);
    m_radNone.SetChecked(nID == IDC_SEL_NONE);
    m_radDefault.SetChecked(nID == IDC_SEL_DEFAULT);
    for (int i = 0; i < m_list.GetItemCount(); i++)
        m_list.SetCheck(i, nID == IDC_SEL_ALL || (nID == IDC_SEL_DEFAULT && i < JUNK_DEFAULT_MASK_COUNT));
}

void CJunkScanOptionDlg::SetFolderText(LPCWSTR lpszText)
{
    m_editFolder.SetWindowText(lpszText);
}

std::vector<CString> CJunkScanOptionDlg::CheckedMasks() const
{
    std::vector<CString> masks;
    CListCtrl& list = const_cast<CListCtrl&>(m_list);
    for (int i = 0; i < list.GetItemCount() && i < JUNK_MASK_COUNT; i++)
    {
        if (list.GetCheck(i))
            masks.push_back(JunkMaskTable[i].lpszMask);
    }
    return masks;
}

void CJunkScanOptionDlg::Browse()
{
    CString strFolder;
    if (PrivacyBrowseForFolder(m_hWnd, PrivacyText(L"IDC_PATH"), strFolder))
        m_editFolder.SetWindowText(strFolder);
}

void CJunkScanOptionDlg::ScanNow()
{
    std::vector<CString> masks = CheckedMasks();
    if (masks.empty())
    {
        PrivacyMessage(this, L"MESSAGEBOX_2", L"MESSAGEBOX_NOTICE", MB_OK);
        return;
    }
    CString strFolder;
    if (!m_bAllDisks)
    {
        CString strText;
        m_editFolder.GetWindowText(strText);
        // Only an absolute, existing folder: "C:foo" or a relative text would
        // be read against whatever the current directory is.
        if (!NormalizeJunkScanFolder(strText, strFolder))
        {
            PrivacyMessage(this, L"MESSAGEBOX_3", L"MESSAGEBOX_NOTICE", MB_OK);
            return;
        }
    }
    if (m_fnStart)
        m_fnStart(strFolder, masks);
}

void CJunkScanOptionDlg::OnAllDisks()
{
    ChooseAllDisks(TRUE);
}

void CJunkScanOptionDlg::OnChooseDir()
{
    ChooseAllDisks(FALSE);
}

void CJunkScanOptionDlg::OnSelAll()
{
    SelectMasks(IDC_SEL_ALL);
}

void CJunkScanOptionDlg::OnSelNone()
{
    SelectMasks(IDC_SEL_NONE);
}

void CJunkScanOptionDlg::OnSelDefault()
{
    SelectMasks(IDC_SEL_DEFAULT);
}

void CJunkScanOptionDlg::OnBrowse()
{
    Browse();
}

void CJunkScanOptionDlg::OnScanNow()
{
    ScanNow();
}
