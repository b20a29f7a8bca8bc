#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/DesktopPage.h"
#include "optimizer/DiskCachePage.h"
#include "optimizer/FileSystemPage.h"
#include "optimizer/NetworkPage.h"
#include "optimizer/OneClickSettingDlg.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"
#include <algorithm>

BEGIN_MESSAGE_MAP(CSystemOptimizerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(SKINTAB_SELCHANGE, OnTabSelChange)
    ON_COMMAND(IDC_STEP1, OnStepCommand)
    ON_COMMAND(IDC_STEP2, OnStepCommand)
    ON_COMMAND(IDC_OPTIMIZE, OnStepCommand)
    ON_COMMAND(IDC_RESET, OnReset)
    ON_COMMAND(IDC_DEFAULT, OnDefault)
    ON_COMMAND(IDC_ONECLICK, OnOneClick)
    ON_COMMAND(IDC_HELP_BUTTON, OnHelpButton)
END_MESSAGE_MAP()

namespace {
// The host's page area is narrower than four 108-pixel tabs and the button
// column need, so the tabs are 100 pixels wide.
const int kTabWidth = 100;
const int kButtonColumn = 122;
// The page frame's left edge: the view stands 10 left of the host's page area.
const int kFrameLeft = 9;

struct CTabInfo
{
    LPCWSTR pszKey;
    UINT nNormal, nHover, nSelected;
};
const CTabInfo kTabs[CSystemOptimizerDlg::PAGE_COUNT] = {
    {L"IDC_STC_NW", 5012, 5012, 5013},
    {L"IDC_STC_DC", 5006, 5006, 5007},
    {L"IDC_STC_DT", 5008, 5008, 5009},
    {L"IDC_STC_FS", 5010, 5010, 5011},
};

typedef int(WINAPI* PFN_HtmlHelpW)(HWND, LPCWSTR, UINT, DWORD_PTR);
} // namespace

CSystemOptimizerDlg::CSystemOptimizerDlg() : CDialog(IDD), m_nCurPage(PAGE_NETWORK), m_nStep(0)
{
}

CSystemOptimizerDlg::~CSystemOptimizerDlg()
{
    // The pages are children: they go before this window's object does.
    if (m_hWnd != NULL)
        DestroyWindow();
}

void CSystemOptimizerDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_STEP1, m_btnStep1);
    DDX_Control(pDX, IDC_STEP2, m_btnStep2);
    DDX_Control(pDX, IDC_OPTIMIZE, m_btnOptimize);
    DDX_Control(pDX, IDC_RESET, m_btnReset);
    DDX_Control(pDX, IDC_DEFAULT, m_btnDefault);
    DDX_Control(pDX, IDC_ONECLICK, m_btnOneClick);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(pDX, IDC_TABS, m_tab);
}

CTuningPage* CSystemOptimizerDlg::GetPage(int nIndex) const
{
    switch (nIndex)
    {
    case PAGE_NETWORK:
        return m_pNetwork.get();
    case PAGE_DISK_CACHE:
        return m_pDiskCache.get();
    case PAGE_DESKTOP:
        return m_pDesktop.get();
    case PAGE_FILE_SYSTEM:
        return m_pFileSystem.get();
    }
    return NULL;
}

CNButtonEx* CSystemOptimizerDlg::GetButton(UINT nID)
{
    CNButtonEx* const buttons[] = {&m_btnStep1, &m_btnStep2, &m_btnOptimize, &m_btnReset,
                                   &m_btnDefault, &m_btnOneClick, &m_btnHelp};
    for (CNButtonEx* pButton : buttons)
    {
        if (pButton->GetSafeHwnd() != NULL && (UINT)pButton->GetDlgCtrlID() == nID)
            return pButton;
    }
    return NULL;
}

BOOL CSystemOptimizerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnStep1.SetBitmaps(5024, 5023, 5023, 5038, 96, 28, 2);
    m_btnStep2.SetBitmaps(5020, 5019, 5019, 5036, 96, 28, 2);
    m_btnOptimize.SetBitmaps(5032, 5033, 5033, 5037, 96, 28, 2);
    m_btnReset.SetBitmaps(5028, 5025, 5025, 5039, 96, 28, 2);
    m_btnDefault.SetBitmaps(5018, 5031, 5031, 5035, 96, 28, 2);
    m_btnOneClick.SetBitmaps(5044, 5045, 5045, 5045, 120, 62, 2);
    m_btnHelp.SetBitmaps(5022, 5021, 5021, 5021, 96, 28, 2);
    m_bmpHeader.LoadBitmap(5034);
    HWND hHidden = ::GetDlgItem(m_hWnd, IDC_HIDDEN_HELP);
    if (hHidden != NULL)
        ::ShowWindow(hHidden, SW_HIDE);

    if (!SettingsFileExists())
        WriteDefaultSettings();

    m_pDiskCache.reset(new CDiskCachePage);
    m_pDesktop.reset(new CDesktopPage);
    m_pFileSystem.reset(new CFileSystemPage);
    m_pNetwork.reset(new CNetworkPage);
    CTuningPage* const pages[] = {m_pDiskCache.get(), m_pDesktop.get(), m_pFileSystem.get(), m_pNetwork.get()};
    for (CTuningPage* pPage : pages)
        pPage->Create(pPage->GetTemplateID(), this);

    m_tab.SetTabCount(PAGE_COUNT);
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        m_tab.SetTabRect(i, kTabWidth * i, 0, kTabWidth * i + kTabWidth, 86);
        m_tab.SetTabBitmaps(i, kTabs[i].nNormal, kTabs[i].nHover, kTabs[i].nSelected);
    }
    m_tab.SetTooltip(L"", TRUE);
    LayOut();
    SwitchLanguage();

    m_tab.SetCurSel(0);
    m_nStep = 0;
    SwitchPage(m_tab.GetCurSel());
    return TRUE;
}

void CSystemOptimizerDlg::LayOut()
{
    CRect rc;
    GetClientRect(&rc);
    CRect rcPage(0, 0, 0, 0);
    if (m_pDiskCache->GetSafeHwnd() != NULL)
        m_pDiskCache->GetClientRect(&rcPage);
    CTuningPage* const pages[] = {m_pDiskCache.get(), m_pDesktop.get(), m_pFileSystem.get(), m_pNetwork.get()};
    // Inside the frame, which starts where the host's page area does (10 in).
    const int nPageWidth = std::min((int)rcPage.Width(), (int)(rc.right - kButtonColumn - 1 - (rc.left + kFrameLeft + 1)));
    for (CTuningPage* pPage : pages)
    {
        if (pPage->GetSafeHwnd() != NULL)
            pPage->SetWindowPos(NULL, rc.left + kFrameLeft + 1, rc.top + 107, nPageWidth, rcPage.Height(),
                                SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_tab.SetWindowPos(NULL, rc.left + 10, 80, kTabWidth * PAGE_COUNT, 26, SWP_NOZORDER | SWP_NOACTIVATE);

    // The button column right of the page frame.
    int xButton = rc.right - kButtonColumn + (kButtonColumn - 96) / 2;
    m_btnOneClick.SetWindowPos(NULL, rc.right - kButtonColumn + 1, rc.top + 10, 120, 62, SWP_NOZORDER | SWP_NOACTIVATE);
    CNButtonEx* const column[] = {&m_btnStep1, &m_btnStep2, &m_btnOptimize, &m_btnReset, &m_btnDefault};
    for (int i = 0; i < (int)_countof(column); i++)
        column[i]->SetWindowPos(NULL, xButton, rc.top + 110 + 36 * i, 96, 28, SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnHelp.SetWindowPos(NULL, xButton, rc.bottom - 5 - 28, 96, 28, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSystemOptimizerDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    for (int i = 0; i < PAGE_COUNT; i++)
        m_tab.SetTabTooltip(i, LangText(kTabs[i].pszKey));
    m_btnStep1.SetWindowText(LangText(L"IDC_BTN_OPTIMIZE_STEP1"));
    m_btnStep2.SetWindowText(LangText(L"IDC_BTN_OPTIMIZE_STEP2"));
    m_btnOptimize.SetWindowText(LangText(L"IDC_BTN_OPTIMIZE"));
    m_btnReset.SetWindowText(LangText(L"IDC_BTN_OPTIMIZE_RESET"));
    m_btnDefault.SetWindowText(LangText(L"IDC_BTN_OPTIMIZE_DEFAULT"));
    m_btnOneClick.SetWindowText(LangText(L"IDC_BTN_ONECLICK_OPTIMIZE"));
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        CTuningPage* pPage = GetPage(i);
        if (pPage != NULL && pPage->GetSafeHwnd() != NULL)
            pPage->SwitchLanguage();
    }
    Invalidate();
}

void CSystemOptimizerDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->hwnd == NULL)
        return;
    CNButtonEx* const buttons[] = {&m_btnStep1, &m_btnStep2, &m_btnOptimize, &m_btnReset,
                                   &m_btnDefault, &m_btnOneClick, &m_btnHelp};
    for (CNButtonEx* pButton : buttons)
    {
        if (pButton->GetSafeHwnd() == pMsg->hwnd)
            pButton->RelayEvent(pMsg);
    }
    if (m_tab.GetSafeHwnd() == pMsg->hwnd)
        m_tab.RelayEvent(pMsg);
}

void CSystemOptimizerDlg::SetButtons(BOOL bStep1, BOOL bStep2, BOOL bOptimize, BOOL bDefault, BOOL bReset)
{
    m_btnStep1.EnableButton(bStep1);
    m_btnStep2.EnableButton(bStep2);
    m_btnOptimize.EnableButton(bOptimize);
    m_btnDefault.EnableButton(bDefault);
    m_btnReset.EnableButton(bReset);
}

void CSystemOptimizerDlg::SetStep(int nStep)
{
    CTuningPage* pPage = GetPage(m_nCurPage);
    if (pPage == NULL || pPage->GetSafeHwnd() == NULL)
        return;
    switch (nStep)
    {
    case 0:
        SetButtons(TRUE, FALSE, FALSE, TRUE, FALSE);
        pPage->SetStep(0);
        m_nStep = 0;
        break;
    case 1:
        if (m_nCurPage == PAGE_NETWORK)
        {
            // Nothing to review on the network page.
            SetButtons(FALSE, FALSE, TRUE, FALSE, TRUE);
            pPage->SetStep(2);
            m_nStep = 2;
            break;
        }
        SetButtons(FALSE, TRUE, FALSE, FALSE, TRUE);
        pPage->SetStep(1);
        m_nStep = 1;
        break;
    case 2:
        SetButtons(FALSE, FALSE, TRUE, FALSE, TRUE);
        pPage->SetStep(2);
        m_nStep = 2;
        break;
    case 3:
        pPage->SetStep(3);
        SetStep(0);
        break;
    }
}

BOOL CSystemOptimizerDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A command of a disabled button is stale (queued before the step changed).
    CNButtonEx* pButton = GetButton(LOWORD(wParam));
    if (pButton != NULL && !pButton->IsButtonEnabled())
        return TRUE;
    return CDialog::OnCommand(wParam, lParam);
}

void CSystemOptimizerDlg::OnStepCommand()
{
    SetStep(m_nStep + 1);
}

void CSystemOptimizerDlg::OnReset()
{
    SetStep(0);
}

LRESULT CSystemOptimizerDlg::OnTabSelChange(WPARAM, LPARAM lParam)
{
    SwitchPage((int)lParam);
    return 0;
}

void CSystemOptimizerDlg::SwitchPage(int nIndex)
{
    if (nIndex < 0 || nIndex >= PAGE_COUNT)
        return;
    if (m_nStep > 0)
    {
        CString strText = LangText(L"MESSAGEBOX_13");
        if (AfxShowMessageBox(::GetAncestor(m_hWnd, GA_ROOT), strText, WarningCaption(), MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
        {
            m_tab.SetCurSel(m_nCurPage);
            return;
        }
    }
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        CTuningPage* pPage = GetPage(i);
        if (pPage != NULL && pPage->GetSafeHwnd() != NULL)
            pPage->ShowWindow(i == nIndex ? SW_SHOW : SW_HIDE);
    }
    m_nCurPage = nIndex;
    m_tab.SetCurSel(nIndex);
    SetStep(0);
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        CTuningPage* pPage = GetPage(i);
        if (pPage != NULL && pPage->GetSafeHwnd() != NULL)
            pPage->SetStep(0);
    }
}

void CSystemOptimizerDlg::OnDefault()
{
    if (AfxShowMessageBox(::GetAncestor(m_hWnd, GA_ROOT), LangText(L"MESSAGEBOX_8"), WarningCaption(),
                          MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    static const LPCWSTR kNotices[PAGE_COUNT] = {L"MESSAGEBOX_12", L"MESSAGEBOX_9", L"MESSAGEBOX_10",
                                                 L"MESSAGEBOX_11"};
    int nPage = m_tab.GetCurSel();
    CTuningPage* pPage = GetPage(nPage);
    if (pPage == NULL)
        return;
    CRegistry reg;
    pPage->RestoreDefault(reg);
    if (reg.GetFailureCount() > 0)
        ShowFailureNotice(this);
    else
        ShowLibraryMessage(this, kNotices[nPage], L"MESSAGEBOX_NOTICE", MB_OK | MB_ICONINFORMATION);
}

void CSystemOptimizerDlg::OnOneClick()
{
    COneClickSettingDlg dlg(this);
    dlg.DoModal();
}

CString CSystemOptimizerDlg::HelpTopicPath()
{
    return CIniFile::GetHostFolder() + L"manual.chm::/html/HowtousetheprogramSystemOptimizer.htm";
}

void CSystemOptimizerDlg::OnHelpButton()
{
    if (::GetFileAttributesW(CIniFile::GetHostFolder() + L"manual.chm") == INVALID_FILE_ATTRIBUTES)
    {
        ShowLibraryMessage(this, L"MESSAGEBOX_NO_HANDBOOK", L"MESSAGEBOX_NOTICE", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The help viewer stays loaded while its window may be open.
    static HMODULE s_hHelp = ::LoadLibraryW(L"hhctrl.ocx");
    if (s_hHelp == NULL)
        return;
    PFN_HtmlHelpW pfnHtmlHelp = (PFN_HtmlHelpW)(void*)::GetProcAddress(s_hHelp, "HtmlHelpW");
    if (pfnHtmlHelp != NULL)
        pfnHtmlHelp(m_hWnd, HelpTopicPath(), 0, 0);
}

BOOL CSystemOptimizerDlg::ApplyPageOption(UINT nOptionID, UINT nPageTemplateID, CRegistry& reg)
{
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        CTuningPage* pPage = GetPage(i);
        if (pPage != NULL && pPage->GetTemplateID() == nPageTemplateID)
            return pPage->ApplyOption(nOptionID, reg);
    }
    return FALSE;
}

void CSystemOptimizerDlg::DrawBackground(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    if (m_bmpHeader.m_hObject != NULL)
    {
        CDC dcBitmap;
        if (dcBitmap.CreateCompatibleDC(pDC))
        {
            HGDIOBJ hOld = ::SelectObject(dcBitmap, m_bmpHeader);
            pDC->BitBlt(rc.left, rc.top, 234, 61, &dcBitmap, 0, 0, SRCCOPY);
            ::SelectObject(dcBitmap, hOld);
        }
    }
    CRect rcFrame(rc.left + kFrameLeft, rc.top + 106, rc.right - kButtonColumn, rc.bottom - 5);
    CBrush brFrame(RGB(192, 192, 192));
    pDC->FrameRect(&rcFrame, &brFrame);
}

BOOL CSystemOptimizerDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSystemOptimizerDlg::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc);
}

LRESULT CSystemOptimizerDlg::OnPrintClient(WPARAM wParam, LPARAM)
{
    DrawBackground(CDC::FromHandle((HDC)wParam));
    return 0;
}
