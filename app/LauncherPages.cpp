#include "app/LauncherPages.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "services/SystemProgram.h"

namespace {
CTamselApp* App()
{
    return static_cast<CTamselApp*>(AfxGetApp());
}
} // namespace

// ---- CLauncherPage ----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CLauncherPage, CTaskPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CLauncherPage::CLauncherPage(UINT nIDTemplate, const LauncherButton* pButtons, int nButtons)
    : CTaskPage(nIDTemplate, NULL), m_nIDTemplate(nIDTemplate), m_pButtons(pButtons), m_nButtons(nButtons)
{
    for (int i = 0; i < LAUNCHER_MAX_BUTTONS; i++)
        m_hNormalBitmaps[i] = NULL;
}

CLauncherPage::~CLauncherPage()
{
    for (int i = 0; i < LAUNCHER_MAX_BUTTONS; i++)
    {
        if (m_btnTask[i].m_hWnd != NULL)
            m_btnTask[i].DestroyWindow();
        if (m_hNormalBitmaps[i] != NULL)
            ::DeleteObject(m_hNormalBitmaps[i]);
    }
}

void CLauncherPage::DoDataExchange(CDataExchange* pDX)
{
    CTaskPage::DoDataExchange(pDX);
    for (int i = 0; i < m_nButtons; i++)
        DDX_Control(pDX, m_pButtons[i].nControlID, m_btnTask[i]);
}

BOOL CLauncherPage::OnInitDialog()
{
    CTaskPage::OnInitDialog();
    App()->TranslateDialog(this, m_nIDTemplate);
    SetHeaderDivider(IDC_PAGE_DIVIDER);
    for (int i = 0; i < m_nButtons; i++)
    {
        HINSTANCE hInstance = AfxGetInstanceHandle();
        LPCWSTR lpszName = MAKEINTRESOURCEW(m_pButtons[i].nBitmapID);
        m_hNormalBitmaps[i] = (HBITMAP)::LoadImageW(hInstance, lpszName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        HBITMAP hHot = (HBITMAP)::LoadImageW(hInstance, lpszName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        m_btnTask[i].ModifyStyle(0, BS_BITMAP);
        m_btnTask[i].SetBitmap(m_hNormalBitmaps[i]);
        HBITMAP hPrevious = m_btnTask[i].SetImage(hHot);
        if (hPrevious != NULL)
            ::DeleteObject(hPrevious);
        m_btnTask[i].SetImageShadow(FALSE);
    }
    return TRUE;
}

void CLauncherPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CTaskPage::OnShowWindow(bShow, nStatus);
    if (bShow)
    {
        App()->TranslateDialog(this, m_nIDTemplate);
        Invalidate(FALSE);
    }
}

void CLauncherPage::OpenWithShell(LPCTSTR lpszFile, int nShowCmd)
{
    ::ShellExecuteW(NULL, L"open", lpszFile, NULL, NULL, nShowCmd);
}

void CLauncherPage::OpenSystemTool(LPCWSTR lpszName, LPCWSTR lpszArguments)
{
    CString strName = lpszName;
    BOOL bProgram = strName.GetLength() > 4 && strName.Right(4).CompareNoCase(L".exe") == 0;
    if (bProgram && !SystemProgramOf(strName).IsEmpty() && StartSystemProgram(lpszName, lpszArguments))
        return;
    ::ShellExecuteW(NULL, L"open", lpszName, lpszArguments, NULL, SW_SHOW);
}

// ---- Options ------------------------------------------------------------------------

static const LauncherButton s_settingsButtons[] = {
    {1001, 396}, {1002, 398}, {1003, 358}, {1004, 385}, {1005, 397}};

BEGIN_MESSAGE_MAP(CSettingsPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnGeneralSettings)
    ON_BN_CLICKED(1002, OnScheduler)
    ON_BN_CLICKED(1003, OnIgnoreList)
    ON_BN_CLICKED(1004, OnResultReports)
    ON_BN_CLICKED(1005, OnCheckUpdate)
END_MESSAGE_MAP()

CSettingsPage::CSettingsPage() : CLauncherPage(IDD_SETTINGS_PAGE, s_settingsButtons, 5) {}
void CSettingsPage::OnGeneralSettings() { GetTamselDlg()->ShowPage(PAGE_GENERAL); }
void CSettingsPage::OnScheduler() { GetTamselDlg()->ShowPage(PAGE_SCHEDULE); }
void CSettingsPage::OnIgnoreList() { GetTamselDlg()->ShowPage(PAGE_IGNORE); }
void CSettingsPage::OnResultReports() { GetTamselDlg()->ShowPage(PAGE_REPORT); }
void CSettingsPage::OnCheckUpdate() { GetTamselDlg()->m_pageGeneral.OnCheckUpdate(); }

// ---- Help -----------------------------------------------------------------------------

static const LauncherButton s_helpButtons[] = {{1001, 386}, {1002, 387}, {1003, 388}, {1005, 397}};

BEGIN_MESSAGE_MAP(CHelpPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnEmail)
    ON_BN_CLICKED(1002, OnHandbook)
    ON_BN_CLICKED(1003, OnLiveChat)
    ON_BN_CLICKED(1005, OnCheckUpdate)
END_MESSAGE_MAP()

CHelpPage::CHelpPage() : CLauncherPage(IDD_HELP_PAGE, s_helpButtons, 4) {}
CString CHelpPage::GetSupportUrl() { return L"http://www.tamsel.net/support.php"; }
void CHelpPage::OnEmail() { OpenWithShell(GetSupportUrl(), SW_SHOWNORMAL); }
void CHelpPage::OnHandbook()
{
    // Without the file the shell would do nothing visible: say why.
    CString strHandbook = App()->m_strAppDir + L"manual.chm";
    if (::GetFileAttributesW(strHandbook) == INVALID_FILE_ATTRIBUTES)
        AfxMessageBox(App()->GetLangString(L"M_NO_HANDBOOK"), MB_OK | MB_ICONINFORMATION);
    else
        OpenWithShell(strHandbook, SW_SHOWMAXIMIZED);
}
void CHelpPage::OnLiveChat() { OpenWithShell(GetSupportUrl(), SW_SHOWNORMAL); }
void CHelpPage::OnCheckUpdate() { GetTamselDlg()->m_pageGeneral.OnCheckUpdate(); }

// ---- Windows management tools ---------------------------------------------------

static const LauncherButton s_computerButtons[] = {{1001, 372}, {1002, 371}, {1003, 373},
                                                   {1004, 374}, {1005, 376}, {1006, 375}};

BEGIN_MESSAGE_MAP(CComputerToolsPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnComputerManagement)
    ON_BN_CLICKED(1002, OnDefragmenter)
    ON_BN_CLICKED(1003, OnWindowsUpdate)
    ON_BN_CLICKED(1004, OnSystemProperties)
    ON_BN_CLICKED(1005, OnDiskCleanup)
    ON_BN_CLICKED(1006, OnControlPanel)
END_MESSAGE_MAP()

CComputerToolsPage::CComputerToolsPage() : CLauncherPage(IDD_COMPUTER_TOOLS_PAGE, s_computerButtons, 6) {}

DWORD CComputerToolsPage::GetWindowsMajorVersion()
{
    OSVERSIONINFOEXW osvi = {};
    osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (!::GetVersionExW((OSVERSIONINFOW*)&osvi))
    {
        osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!::GetVersionExW((OSVERSIONINFOW*)&osvi))
            return 0;
    }
    return osvi.dwMajorVersion;
}

LPCTSTR CComputerToolsPage::GetDefragmenter(DWORD dwMajorVersion)
{
    return dwMajorVersion < 6 ? L"dfrg.msc" : L"dfrgui.exe";
}

LPCTSTR CComputerToolsPage::GetWindowsUpdateTool(DWORD dwMajorVersion)
{
    return dwMajorVersion < 6 ? L"wupdmgr.exe" : L"wuapp.exe";
}

void CComputerToolsPage::OnComputerManagement() { OpenSystemTool(L"compmgmt.msc"); }
void CComputerToolsPage::OnDefragmenter() { OpenSystemTool(GetDefragmenter(GetWindowsMajorVersion())); }
void CComputerToolsPage::OnWindowsUpdate() { OpenSystemTool(GetWindowsUpdateTool(GetWindowsMajorVersion())); }
void CComputerToolsPage::OnSystemProperties() { OpenSystemTool(L"rundll32.exe", L"shell32.dll,Control_RunDLL sysdm.cpl"); }
void CComputerToolsPage::OnDiskCleanup() { OpenSystemTool(L"cleanmgr.exe"); }
void CComputerToolsPage::OnControlPanel() { OpenSystemTool(L"control.exe"); }

// ---- Windows security tools ---------------------------------------------------------

static const LauncherButton s_securityButtons[] = {{1001, 368}, {1002, 369}, {1003, 370}, {1004, 367}};

BEGIN_MESSAGE_MAP(CSecurityPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnLocalSecurity)
    ON_BN_CLICKED(1002, OnUsersAndGroups)
    ON_BN_CLICKED(1003, OnGroupPolicy)
    ON_BN_CLICKED(1004, OnSecurityCenter)
END_MESSAGE_MAP()

CSecurityPage::CSecurityPage() : CLauncherPage(IDD_SECURITY_PAGE, s_securityButtons, 4) {}
void CSecurityPage::OnLocalSecurity() { OpenSystemTool(L"secpol.msc"); }
void CSecurityPage::OnUsersAndGroups() { OpenSystemTool(L"lusrmgr.msc"); }
void CSecurityPage::OnGroupPolicy() { OpenSystemTool(L"gpedit.msc"); }
void CSecurityPage::OnSecurityCenter() { OpenSystemTool(L"rundll32.exe", L"shell32.dll,Control_RunDLL wscui.cpl"); }

// ---- Scan and clean -------------------------------------------------------------------

static const LauncherButton s_registryButtons[] = {{1001, 357}, {1002, 8025}, {1003, 8026}, {1004, 8027}, {1005, 8049}};

BEGIN_MESSAGE_MAP(CRegistryPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnScanRegistry)
    ON_BN_CLICKED(1002, OnEvidenceCleaner)
    ON_BN_CLICKED(1003, OnJunkCleaner)
    ON_BN_CLICKED(1004, OnFileShredder)
    ON_BN_CLICKED(1005, OnPatchUpdate)
END_MESSAGE_MAP()

CRegistryPage::CRegistryPage() : CLauncherPage(IDD_REGISTRY_PAGE, s_registryButtons, 5) {}
void CRegistryPage::OnScanRegistry() { GetTamselDlg()->ShowPage(PAGE_HOME); }
void CRegistryPage::OnEvidenceCleaner() { GetTamselDlg()->OnEvidenceCleaner(); }
void CRegistryPage::OnJunkCleaner() { GetTamselDlg()->OnJunkCleaner(); }
void CRegistryPage::OnFileShredder() { GetTamselDlg()->OnFileShredder(); }
void CRegistryPage::OnPatchUpdate() { GetTamselDlg()->ShowPage(PAGE_PATCH_UPDATE); }

// ---- Windows system tools -----------------------------------------------------------

static const LauncherButton s_systemButtons[] = {{1001, 389}, {1002, 390}, {1003, 391},
                                                 {1004, 393}, {1005, 392}, {1006, 394}};

BEGIN_MESSAGE_MAP(CSystemPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnDeviceManager)
    ON_BN_CLICKED(1002, OnEventViewer)
    ON_BN_CLICKED(1003, OnDiskManagement)
    ON_BN_CLICKED(1004, OnMsconfig)
    ON_BN_CLICKED(1005, OnPerformanceMonitor)
    ON_BN_CLICKED(1006, OnAddRemove)
END_MESSAGE_MAP()

CSystemPage::CSystemPage() : CLauncherPage(IDD_SYSTEM_PAGE, s_systemButtons, 6) {}
void CSystemPage::OnDeviceManager() { OpenSystemTool(L"devmgmt.msc"); }
void CSystemPage::OnEventViewer() { OpenSystemTool(L"eventvwr.msc"); }
void CSystemPage::OnDiskManagement() { OpenSystemTool(L"diskmgmt.msc"); }
void CSystemPage::OnMsconfig() { OpenSystemTool(L"msconfig.exe"); }
void CSystemPage::OnPerformanceMonitor() { OpenSystemTool(L"perfmon.msc"); }
void CSystemPage::OnAddRemove() { OpenSystemTool(L"rundll32.exe", L"shell32.dll,Control_RunDLL appwiz.cpl"); }

// ---- Optimizer launcher ---------------------------------------------------------------

static const LauncherButton s_optimizeButtons[] = {{1001, 5716}, {1002, 5717}, {1003, 419}, {1004, 420}, {1005, 8046}};

BEGIN_MESSAGE_MAP(COptimizePage, CLauncherPage)
    ON_BN_CLICKED(1001, OnStartupManager)
    ON_BN_CLICKED(1002, OnUninstallManager)
    ON_BN_CLICKED(1003, OnSystemOptimizer)
    ON_BN_CLICKED(1004, OnServiceOptimizer)
    ON_BN_CLICKED(1005, OnMemoryOptimizer)
END_MESSAGE_MAP()

COptimizePage::COptimizePage() : CLauncherPage(IDD_OPTIMIZE_PAGE, s_optimizeButtons, 5) {}
void COptimizePage::OnStartupManager() { GetTamselDlg()->ShowPage(PAGE_STARTUP); }
void COptimizePage::OnUninstallManager() { GetTamselDlg()->ShowPage(PAGE_UNINSTALL); }
void COptimizePage::OnSystemOptimizer() { GetTamselDlg()->OnSystemOptimizer(); }
void COptimizePage::OnServiceOptimizer() { GetTamselDlg()->OnServiceOptimizer(); }
void COptimizePage::OnMemoryOptimizer() { GetTamselDlg()->OnMemoryOptimizer(); }

// ---- Start launcher -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CHomeLauncherPage, CWhiteDialog)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1001, OnScanRegistry)
    ON_BN_CLICKED(1002, OnEvidenceCleaner)
    ON_BN_CLICKED(1003, OnStartupManager)
    ON_BN_CLICKED(1004, OnUninstallManager)
    ON_BN_CLICKED(1005, OnSystemOptimizer)
END_MESSAGE_MAP()

CHomeLauncherPage::CHomeLauncherPage() : CWhiteDialog(IDD_HOME_LAUNCHER_PAGE, NULL)
{
}

void CHomeLauncherPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < 5; i++)
        DDX_Control(pDX, 1001 + i, m_btnLaunch[i]);
}

BOOL CHomeLauncherPage::OnInitDialog()
{
    CWhiteDialog::OnInitDialog();
    for (int i = 0; i < 5; i++)
    {
        // Hover and normal pictures in pairs from 8032 on.
        m_btnLaunch[i].SetBitmaps(8033 + 2 * i, RGB(255, 0, 255), 8032 + 2 * i, RGB(255, 0, 255));
        m_btnLaunch[i].DrawTransparent(FALSE);
        m_btnLaunch[i].DrawBorder(FALSE, TRUE);
    }
    // The page is white: give the buttons that background before any paint.
    CClientDC dcPage(this);
    CRect rcPage;
    GetClientRect(&rcPage);
    CDC dcWhite;
    CBitmap bmpWhite;
    if (dcWhite.CreateCompatibleDC(&dcPage) && bmpWhite.CreateCompatibleBitmap(&dcPage, rcPage.Width(), rcPage.Height()))
    {
        CBitmap* pOld = dcWhite.SelectObject(&bmpWhite);
        dcWhite.FillSolidRect(&rcPage, RGB(255, 255, 255));
        for (int i = 0; i < 5; i++)
            m_btnLaunch[i].SetBk(&dcWhite);
        dcWhite.SelectObject(pOld);
    }
    return TRUE;
}

void CHomeLauncherPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow)
    {
        App()->TranslateDialog(this, IDD_HOME_LAUNCHER_PAGE);
        Invalidate(TRUE);
    }
}

void CHomeLauncherPage::OnScanRegistry()
{
    GetTamselDlg()->m_wndFolder.SelectFolder(FOLDER_SCAN_CLEAN);
    GetTamselDlg()->OnRegistryCleaner();
}

void CHomeLauncherPage::OnEvidenceCleaner()
{
    GetTamselDlg()->m_wndFolder.SelectFolder(FOLDER_SCAN_CLEAN);
    GetTamselDlg()->OnEvidenceCleaner();
}

// The optimizer's buttons open the optimize folder, where their items are.
void CHomeLauncherPage::OnStartupManager()
{
    GetTamselDlg()->m_wndFolder.SelectFolder(FOLDER_OPTIMIZE);
    GetTamselDlg()->OnStartupManager();
}

void CHomeLauncherPage::OnUninstallManager()
{
    GetTamselDlg()->m_wndFolder.SelectFolder(FOLDER_OPTIMIZE);
    GetTamselDlg()->OnUninstallManager();
}

void CHomeLauncherPage::OnSystemOptimizer()
{
    GetTamselDlg()->m_wndFolder.SelectFolder(FOLDER_OPTIMIZE);
    GetTamselDlg()->OnSystemOptimizer();
}
