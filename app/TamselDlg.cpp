#include "app/TamselDlg.h"
#include "app/SentMessageAnswerer.h"
#include "app/TamselApp.h"
#include "app/LibraryBinding.h"
#include "framework/WorkerCall.h"
#include "framework/FileFind.h"

namespace {
CTamselDlg* s_pMainDlg = NULL;

// The executable's base name: the window property a second start looks for.
CString GetInstancePropertyName()
{
    LPCTSTR pszExeName = AfxGetApp() != NULL ? AfxGetApp()->m_pszExeName : NULL;
    if (pszExeName != NULL && pszExeName[0] != 0)
        return pszExeName;
    return AfxGetModuleBaseName();
}
} // namespace

CString CTamselDlg::GetInstancePropertyName()
{
    return ::GetInstancePropertyName();
}

CTamselDlg* GetTamselDlg()
{
    return s_pMainDlg;
}

BEGIN_MESSAGE_MAP(CTamselDlg, CDialog)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_QUERYDRAGICON()
    ON_WM_SYSCOMMAND()
    ON_WM_SETCURSOR()
    ON_WM_GETMINMAXINFO()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_CLOSE_BUTTON, OnCloseButton)
    ON_BN_CLICKED(IDC_MINIMIZE_BUTTON, OnMinimizeButton)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelpButton)
    ON_BN_CLICKED(IDC_UPDATE_BUTTON, OnUpdateButton)
    ON_BN_CLICKED(IDC_EASY_STEPS_BUTTON, OnEasySteps)
    ON_CBN_SELCHANGE(IDC_LANGUAGE_COMBO, OnSelChangeLanguage)
    ON_COMMAND(ID_NAV_REGISTRY_CLEANER, OnRegistryCleaner)
    ON_COMMAND(ID_NAV_EVIDENCE_CLEANER, OnEvidenceCleaner)
    ON_COMMAND(ID_NAV_JUNK_CLEANER, OnJunkCleaner)
    ON_COMMAND(ID_NAV_FILE_SHREDDER, OnFileShredder)
    ON_COMMAND(ID_NAV_PATCH_UPDATE, OnPatchUpdate)
    ON_COMMAND(ID_NAV_COMPUTER, OnComputer)
    ON_COMMAND(ID_NAV_SECURITY, OnSecurity)
    ON_COMMAND(ID_NAV_SYSTEM, OnSystem)
    ON_COMMAND(ID_NAV_AUTO_BACKUP, OnAutoBackup)
    ON_COMMAND(ID_NAV_FULL_BACKUP, OnFullBackup)
    ON_COMMAND(ID_NAV_BACKUP_FAVORITES, OnBackupFavorites)
    ON_COMMAND(ID_NAV_BHO_MANAGER, OnBhoManager)
    ON_COMMAND(ID_NAV_INTERNET_OPTIONS, OnInternetOptions)
    ON_COMMAND(ID_NAV_IE_RECOVER, OnIeRecover)
    ON_COMMAND(ID_NAV_IE_PROBLEMS, OnIeProblems)
    ON_COMMAND(ID_NAV_IE_FAVORITES, OnIeFavorites)
    ON_COMMAND(ID_NAV_GENERAL_SETTINGS, OnGeneralSettings)
    ON_COMMAND(ID_NAV_SCHEDULER, OnScheduler)
    ON_COMMAND(ID_NAV_IGNORE_LIST, OnIgnoreList)
    ON_COMMAND(ID_NAV_RESULT_REPORTS, OnResultReports)
    ON_COMMAND(ID_NAV_SETTINGS, OnSettings)
    ON_COMMAND(ID_NAV_STARTUP_MANAGER, OnStartupManager)
    ON_COMMAND(ID_NAV_UNINSTALL_MANAGER, OnUninstallManager)
    ON_COMMAND(ID_NAV_SYSTEM_OPTIMIZER, OnSystemOptimizer)
    ON_COMMAND(ID_NAV_SERVICE_OPTIMIZER, OnServiceOptimizer)
    ON_COMMAND(ID_NAV_MEMORY_OPTIMIZER, OnMemoryOptimizer)
    ON_COMMAND(IDC_BAR_SCAN_CLEAN, OnFolderScanClean)
    ON_COMMAND(IDC_BAR_BACKUP, OnFolderBackup)
    ON_COMMAND(IDC_BAR_IE_TOOLS, OnFolderIeTools)
    ON_COMMAND(IDC_BAR_WINDOWS, OnFolderWindows)
    ON_COMMAND(IDC_BAR_OPTIONS, OnFolderOptions)
    ON_COMMAND(IDC_BAR_HELP, OnFolderHelp)
    ON_COMMAND(IDC_BAR_OPTIMIZE, OnFolderOptimize)
END_MESSAGE_MAP()

// ---- Construction ------------------------------------------------------------------

CTamselDlg::CTamselDlg(CWnd* pParent)
    : CDialog(IDD_MAIN_WINDOW, pParent), m_pApp(NULL), m_bCheckAnswerPending(FALSE), m_bReportAllChecks(FALSE), m_bFirstPaint(0), m_bLibraryView(0), m_hPrivacyLib(NULL),
      m_hOptimizerLib(NULL), m_nCurPage(-1), m_nNextPageToCreate(-1), m_nNextBarToFill(-1), m_bShownPagePending(FALSE), m_nCornerSize(3), m_nBorderWidth(4),
      m_bDragging(0)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDI_TAMSEL);
    m_arrPages.RemoveAll();
    AddPage(&m_pageHome, IDD_HOME_PAGE, L"Home");
    AddPage(&m_pageSettings, IDD_SETTINGS_PAGE, L"Settings");
    AddPage(&m_pageReport, IDD_REPORT_PAGE, L"FixResult");
    AddPage(NULL, 0, L"");
    AddPage(&m_pageHelp, IDD_HELP_PAGE, L"Help");
    AddPage(&m_pageScan, IDD_SCAN_PAGE, L"Scan");
    AddPage(&m_pageScanResult, IDD_SCAN_RESULT_PAGE, L"ScanResult");
    AddPage(&m_pageBho, IDD_BHO_MANAGER, L"BHO");
    AddPage(&m_pageStartup, IDD_STARTUP_MANAGER, L"Startup");
    AddPage(&m_pageUninstall, IDD_UNINSTALL_PAGE, L"AddRemove");
    AddPage(NULL, 0, L"");
    AddPage(&m_pageComputer, IDD_COMPUTER_TOOLS_PAGE, L"Computer");
    AddPage(&m_pageSecurity, IDD_SECURITY_PAGE, L"Security");
    AddPage(&m_pageRegistry, IDD_REGISTRY_PAGE, L"Registry");
    AddPage(&m_pageSystem, IDD_SYSTEM_PAGE, L"System");
    AddPage(&m_pageAutoBackup, IDD_AUTO_BACKUP_PAGE, L"Autobackup");
    AddPage(&m_pageFullBackup, IDD_FULL_BACKUP_PAGE, L"Fullbackup");
    AddPage(&m_pageGeneral, IDD_GENERAL_SETTINGS_PAGE, L"General");
    AddPage(&m_pageIgnore, IDD_IGNORE_LIST_PAGE, L"Ignore");
    AddPage(&m_pageSchedule, IDD_SCHEDULE_PAGE, L"Scheduling");
    AddPage(&m_pageIeTools, IDD_IE_TOOLS_PAGE, L"IE");
    AddPage(&m_pageIeRestore, IDD_IE_RESTORE_PAGE, L"IERestore");
    AddPage(&m_pageIeProblems, IDD_IE_PROBLEMS_PAGE, L"IEHelp");
    AddPage(&m_pageBackupHub, IDD_BACKUP_HUB_PAGE, L"Backup");
    AddPage(&m_pageOptimize, IDD_OPTIMIZE_PAGE, L"Optimize");
    AddPage(&m_pageFavorites, IDD_FAVORITES_BACKUP_PAGE, L"Favorites");
    AddPage(&m_pageHomeLauncher, IDD_HOME_LAUNCHER_PAGE, L"Home");
    AddPage(&m_pagePatchUpdate, IDD_PATCH_UPDATE_PAGE, L"Microsoft Update");
    m_pApp = static_cast<CTamselApp*>(AfxGetApp());
    s_pMainDlg = this;
}

CTamselDlg::~CTamselDlg()
{
    // Also when the window ended some other way than through closing.
    WaitForWorkers();
    for (INT_PTR i = 0; i < m_arrPages.GetSize(); i++)
        delete static_cast<PageInfo*>(m_arrPages[i]);
    m_arrPages.RemoveAll();
    if (s_pMainDlg == this)
        s_pMainDlg = NULL;
}

void CTamselDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LANGUAGE_COMBO, m_comboLanguage);
    DDX_Control(pDX, IDC_EASY_STEPS_BUTTON, m_btnEasySteps);
    DDX_Control(pDX, IDC_FOLDER_HOST, m_wndFolderHost);
    DDX_Control(pDX, IDC_WEB_SITE_LINK, m_linkWebSite);
    DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(pDX, IDC_UPDATE_BUTTON, m_btnUpdate);
    DDX_Control(pDX, IDC_PAGE_AREA, m_wndPageArea);
}

BOOL CTamselDlg::AddPage(CDialog* pPage, UINT nIDTemplate, LPCTSTR pszName)
{
    if (m_hWnd != NULL)
        return 0;
    PageInfo* pInfo = new PageInfo;
    pInfo->pPage = pPage;
    pInfo->nIDTemplate = nIDTemplate;
    pInfo->strName = pszName;
    m_arrPages.Add(pInfo);
    return 1;
}

PageInfo* CTamselDlg::GetPageInfo(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_arrPages.GetSize())
        return NULL;
    return static_cast<PageInfo*>(m_arrPages[nIndex]);
}

// ---- Initialisation -------------------------------------------------------------

BOOL CTamselDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The single-instance search of a second start looks for this property.
    ::SetPropW(m_hWnd, GetInstancePropertyName(), (HANDLE)1);

    m_comboLanguage.SetDroppedWidth(220);
    FillLanguageList();

    m_pApp->TranslateDialog(this, IDD_MAIN_WINDOW);
    SetWindowText(L"Tamsel");
    SetForegroundWindow();
    CenterWindow();

    m_brBackground.CreateSolidBrush(RGB(255, 255, 255));
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_linkWebSite.SetURL(L"http://www.tamsel.net/");
    m_linkWebSite.SetUnderline(FALSE);
    m_linkWebSite.SetLinkCursor(::LoadCursorW(NULL, IDC_HAND));

    SetSkinBitmap(m_bmpSkinTop, IDB_SKIN_TOP);
    SetSkinBitmap(m_bmpSkinLeft, IDB_SKIN_LEFT);
    SetSkinBitmap(m_bmpSkinCenter, IDB_SKIN_CENTER);
    SetSkinBitmap(m_bmpSkinRight, IDB_SKIN_RIGHT);
    SetSkinBitmap(m_bmpSkinBottom, IDB_SKIN_BOTTOM);

    CreateCaptionButtons();
    if (!CreateNavigation())
    {
        // A window without its navigation has no pages to offer: it ends.
        OutputDebugStringW(L"Tamsel: the navigation of the main window could not be built\n");
        EndDialog(IDABORT);
        return FALSE;
    }

    m_wndPageArea.GetWindowRect(&m_rcPage);
    ScreenToClient(&m_rcPage);

    // The window shows before its pages are made: the home page first, then
    // the navigation buttons and the other pages, in slices once the window
    // is on screen (see CreatePagesWhileIdle).
    m_nCurPage = PAGE_HOME;
    m_bShownPagePending = TRUE;
    m_nNextPageToCreate = 0;
    SetTimer(PAGE_CREATION_TIMER, 0);

    m_bFirstPaint = 1;
    m_bLibraryView = 0;
    CenterWindow();
    SetForegroundWindow();
    return TRUE;
}

void CTamselDlg::CreateCaptionButtons()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    int W = rcClient.Width();
    m_btnClose.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(W - 41, 5, W - 12, 28), this,
                      IDC_CLOSE_BUTTON);
    m_btnMinimize.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(W - 73, 5, W - 44, 28), this,
                         IDC_MINIMIZE_BUTTON);
    struct
    {
        CButtonST* pButton;
        UINT nIn, nOut;
        COLORREF crKey;
    } buttons[] = {
        {&m_btnClose, IDB_CLOSE_IN, IDB_CLOSE_OUT, RGB(255, 0, 255)},
        {&m_btnMinimize, IDB_MINIMIZE_IN, IDB_MINIMIZE_OUT, RGB(255, 0, 255)},
        {&m_btnHelp, IDB_HELP_IN, IDB_HELP_OUT, RGB(0, 255, 0)},
        {&m_btnUpdate, IDB_UPDATE_IN, IDB_UPDATE_OUT, RGB(0, 255, 0)},
        {&m_btnEasySteps, IDB_EASY_IN, IDB_EASY_OUT, RGB(0, 255, 0)},
    };
    for (auto& b : buttons)
    {
        b.pButton->SetBitmaps(b.nIn, b.crKey, b.nOut, b.crKey);
        b.pButton->DrawTransparent(TRUE);
        b.pButton->DrawBorder(FALSE, TRUE);
    }
}

namespace {
struct NavItem
{
    UINT nCommand;
    LPCTSTR pszCaption;
    LPCTSTR pszKey;
    int nImage;
};

const NavItem s_itemsScanClean[] = {
    {ID_NAV_REGISTRY_CLEANER, L"Registry Cleaner", L"IDO_SCANCLEAN_1", 0},
    {ID_NAV_EVIDENCE_CLEANER, L"Evidence Cleaner", L"IDO_SCANCLEAN_2", 1},
    {ID_NAV_JUNK_CLEANER, L"Junk Cleaner", L"IDO_SCANCLEAN_3", 2},
    {ID_NAV_FILE_SHREDDER, L"File Shredder", L"IDO_SCANCLEAN_4", 3},
    {ID_NAV_PATCH_UPDATE, L"Patch && Update", L"IDO_SCANCLEAN_5", 22},
};
const NavItem s_itemsBackup[] = {
    {ID_NAV_AUTO_BACKUP, L"Auto Backup", L"IDO_BACKUP_1", 4},
    {ID_NAV_FULL_BACKUP, L"Full Backup", L"IDO_BACKUP_2", 5},
    {ID_NAV_BACKUP_FAVORITES, L"IE Favorites", L"IDO_BACKUP_3", 20},
};
const NavItem s_itemsIeTools[] = {
    {ID_NAV_BHO_MANAGER, L"BHO Manager", L"IDO_IETOOLS_1", 6},
    {ID_NAV_IE_RECOVER, L"IE Recover", L"IDO_IETOOLS_3", 7},
    {ID_NAV_IE_FAVORITES, L"IE Favorites", L"IDO_IETOOLS_5", 20},
};
const NavItem s_itemsWindows[] = {
    {ID_NAV_COMPUTER, L"Computer", L"IDO_WINDOWS_1", 9},
    {ID_NAV_SECURITY, L"Security", L"IDO_WINDOWS_2", 10},
    {ID_NAV_SYSTEM, L"System", L"IDO_WINDOWS_3", 11},
};
const NavItem s_itemsOptions[] = {
    {ID_NAV_GENERAL_SETTINGS, L"General Settings", L"IDO_OPTIONS_1", 12},
    {ID_NAV_SCHEDULER, L"Scheduler", L"IDO_OPTIONS_2", 13},
    {ID_NAV_IGNORE_LIST, L"Ignore List", L"IDO_OPTIONS_3", 14},
    {ID_NAV_RESULT_REPORTS, L"Result Reports", L"IDO_OPTIONS_4", 15},
};
const NavItem s_itemsOptimize[] = {
    {ID_NAV_STARTUP_MANAGER, L"Startup Manager", L"IDO_OPTIMIZE_1", 16},
    {ID_NAV_UNINSTALL_MANAGER, L"Uninstall Manager", L"IDO_OPTIMIZE_2", 17},
    {ID_NAV_SYSTEM_OPTIMIZER, L"System Optimizer", L"IDO_OPTIMIZE_3", 18},
    {ID_NAV_SERVICE_OPTIMIZER, L"Service Optimizer", L"IDO_OPTIMIZE_4", 19},
    {ID_NAV_MEMORY_OPTIMIZER, L"Memory Optimizer", L"IDO_OPTIMIZE_5", 21},
};

struct NavBar
{
    CGuiOutLook CTamselDlg::*pBar;
    const NavItem* pItems;
    int nItems;
};

// Folder order: caption key, default caption, folder image, its bar.
struct NavFolder
{
    LPCTSTR pszKey;
    LPCTSTR pszCaption;
    int nImage;
    CGuiOutLook CTamselDlg::*pBar;
};
const NavFolder s_folders[] = {
    {L"IDO_TAB_1", L"Scan && Clean", 0, &CTamselDlg::m_barScanClean},
    {L"IDO_TAB_3", L"Optimize PC", 6, &CTamselDlg::m_barOptimize},
    {L"IDO_TAB_2", L"Backup && Restore", 5, &CTamselDlg::m_barBackup},
    {L"IDO_TAB_4", L"IE Tools", 1, &CTamselDlg::m_barIeTools},
    {L"IDO_TAB_5", L"Windows", 2, &CTamselDlg::m_barWindows},
    {L"IDO_TAB_6", L"Options", 3, &CTamselDlg::m_barOptions},
    {L"IDO_TAB_7", L"Help", 4, &CTamselDlg::m_barHelp},
};

const NavBar s_bars[] = {
    {&CTamselDlg::m_barScanClean, s_itemsScanClean, 5},
    {&CTamselDlg::m_barBackup, s_itemsBackup, 3},
    {&CTamselDlg::m_barIeTools, s_itemsIeTools, 3},
    {&CTamselDlg::m_barWindows, s_itemsWindows, 3},
    {&CTamselDlg::m_barOptions, s_itemsOptions, 4},
    {&CTamselDlg::m_barHelp, NULL, 0},
    {&CTamselDlg::m_barOptimize, s_itemsOptimize, 5},
};
const int kNavBarCount = (int)(sizeof(s_bars) / sizeof(s_bars[0]));

} // namespace

BOOL CTamselDlg::CreateNavigation()
{
    CRect rcHost;
    m_wndFolderHost.GetClientRect(&rcHost);
    if (!m_wndFolder.Create(WS_CHILD | WS_VISIBLE, rcHost, &m_wndFolderHost, IDC_FOLDER_HOST))
        return FALSE;
    m_wndFolderHost.SetChild(&m_wndFolder);
    for (int i = 0; i < kNavBarCount; i++)
    {
        CGuiOutLook& bar = this->*(s_bars[i].pBar);
        if (!bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &m_wndFolder, IDC_BAR_SCAN_CLEAN + i))
            return FALSE;
    }
    m_wndFolder.SetImageList(IDB_FOLDER_IMAGES, 32, 16, RGB(255, 0, 255));
    for (const NavFolder& folder : s_folders)
        m_wndFolder.AddFolder(&(this->*(folder.pBar)), folder.pszCaption, folder.nImage);
    LoadLanguageTexts();
    m_wndFolder.SelectFolder(FOLDER_SCAN_CLEAN);
    m_wndFolder.SetStyle(0x8002);
    // The bars get their buttons once the window is drawn, right after the
    // home page (CreatePagesWhileIdle).
    for (const NavBar& navBar : s_bars)
        (this->*(navBar.pBar)).SetStyle(0x8002);
    m_nNextBarToFill = 0;
    return TRUE;
}

void CTamselDlg::FillNavigationBar(int nBar)
{
    const NavBar& navBar = s_bars[nBar];
    CGuiOutLook& bar = this->*(navBar.pBar);
    if (bar.m_hWnd == NULL || bar.GetItemCount() > 0)
        return;
    bar.SetImageList(IDB_ITEM_IMAGES, 16, 6, RGB(255, 0, 255));
    for (int i = 0; i < navBar.nItems; i++)
    {
        const NavItem& item = navBar.pItems[i];
        bar.AddItem(item.nCommand, item.pszCaption, item.nImage, L"");
        CString strText = m_pApp->GetLangStringRaw(item.pszKey);
        if (!strText.IsEmpty())
            bar.SetItemText(item.nCommand, strText);
    }
    if (&bar == &m_barIeTools)
    {
        // Asked for although no bar shows it.
        CString strText = m_pApp->GetLangStringRaw(L"IDO_IETOOLS_4");
        if (!strText.IsEmpty())
            bar.SetItemText(ID_NAV_IE_PROBLEMS, strText);
    }
    bar.SetStyle(0x8002);
}

void CTamselDlg::FillRemainingBars()
{
    if (m_nNextBarToFill < 0)
        return;
    for (int i = m_nNextBarToFill; i < kNavBarCount; i++)
        FillNavigationBar(i);
    m_nNextBarToFill = -1;
}

void CTamselDlg::LoadLanguageTexts()
{
    for (int i = 0; i < 7; i++)
    {
        CString strText = m_pApp->GetLangStringRaw(s_folders[i].pszKey);
        if (!strText.IsEmpty())
            m_wndFolder.SetFolderText(i, strText);
    }
    for (const NavBar& navBar : s_bars)
    {
        for (int i = 0; i < navBar.nItems; i++)
        {
            CString strText = m_pApp->GetLangStringRaw(navBar.pItems[i].pszKey);
            if (!strText.IsEmpty())
                (this->*(navBar.pBar)).SetItemText(navBar.pItems[i].nCommand, strText);
        }
    }
    // Asked for although no bar shows it.
    CString strText = m_pApp->GetLangStringRaw(L"IDO_IETOOLS_4");
    if (!strText.IsEmpty())
        m_barIeTools.SetItemText(ID_NAV_IE_PROBLEMS, strText);
    Invalidate(FALSE);
}

// ---- Language --------------------------------------------------------------------

void CTamselDlg::AddLanguageFiles()
{
    m_comboLanguage.ResetContent();
    CStringArray arrNames;
    m_pApp->ListLanguageFiles(m_pApp->m_arrLangFiles, arrNames);
    for (INT_PTR i = 0; i < arrNames.GetSize(); i++)
    {
        int nIndex = m_comboLanguage.AddString(arrNames[i]);
        m_comboLanguage.SetItemIcon(nIndex, m_pApp->GetLanguageFlagIcon(m_pApp->m_arrLangFiles[i]));
    }
}

void CTamselDlg::FillLanguageList()
{
    AddLanguageFiles();
    CString strChosen = m_pApp->GetWantedLanguageFile();
    m_comboLanguage.SetCurSel(m_pApp->FindLanguageIndex(strChosen));
    m_pApp->SelectLanguage(strChosen);
    // The built-in English file may only now have been written: list it too.
    CString strSelected = m_pApp->m_strLangFile.Mid(m_pApp->m_strLangFile.ReverseFind(L'\\') + 1);
    BOOL bListed = FALSE;
    for (INT_PTR i = 0; i < m_pApp->m_arrLangFiles.GetSize(); i++)
        bListed = bListed || m_pApp->m_arrLangFiles[i].CompareNoCase(strSelected) == 0;
    if (!bListed)
    {
        AddLanguageFiles();
        m_comboLanguage.SetCurSel(m_pApp->FindLanguageIndex(strSelected));
    }
    m_comboLanguage.AddString(m_pApp->GetLangString(L"IDD_102_MORE"));
}

void CTamselDlg::OnSelChangeLanguage()
{
    int nSel = m_comboLanguage.GetCurSel();
    if (nSel < 0)
        return;
    if (nSel == m_comboLanguage.GetCount() - 1)
    {
        ::ShellExecuteW(NULL, L"open", L"http://www.tamsel.net/languages.php", NULL, NULL, SW_SHOWNORMAL);
        return;
    }
    CString strFile = m_pApp->GetLanguageFileAt(nSel);
    CWnd* pGeneralCombo = m_pageGeneral.m_hWnd != NULL ? m_pageGeneral.GetDlgItem(IDC_LANGUAGE_COMBO) : NULL;
    if (pGeneralCombo != NULL)
        pGeneralCombo->SendMessage(CB_SETCURSEL, nSel);
    m_pApp->SelectLanguage(strFile);
    m_pApp->TranslateDialog(this, IDD_MAIN_WINDOW);
    PageInfo* pInfo = GetPageInfo(m_nCurPage);
    if (!m_bLibraryView && pInfo != NULL && pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL)
    {
        // Shown again to translate it; painted once, in the new language.
        BOOL bFreeze = IsWindowVisible();
        if (bFreeze)
            SetRedraw(FALSE);
        pInfo->pPage->ShowWindow(SW_HIDE);
        pInfo->pPage->ShowWindow(SW_SHOW);
        if (bFreeze)
        {
            SetRedraw(TRUE);
            RedrawWindow(&m_rcPage, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
    }
    Invalidate(FALSE);
    LoadLanguageTexts();
    m_comboLanguage.DeleteString(m_comboLanguage.GetCount() - 1);
    m_comboLanguage.AddString(m_pApp->GetLangString(L"IDD_102_MORE"));
    LoadPrivacyLibrary();
    LoadOptimizerLibrary();
}

// ---- Pages -------------------------------------------------------------------------

BOOL CTamselDlg::ShowPage(int nIndex, CWnd* pParent)
{
    if (pParent == NULL)
        pParent = this;
    // Asked for while a page is half made: done once it is whole.
    if (m_nPagesInCreation > 0)
        return AfxPostCall(m_hWnd, [this, nIndex, pParent] { ShowPage(nIndex, pParent); });
    if (!m_bLibraryView && nIndex == m_nCurPage && IsPageMade(nIndex))
        return 1;
    // A switch makes the page it shows and the result page that a scan
    // fills; the other pages go on being made one per slice. A switch may
    // bring any folder to the front: the bars are all filled.
    FillRemainingBars();
    CreatePageWindow(PAGE_SCAN_RESULT);
    // A refused index must not leave the window without a page.
    PageInfo* pNew = GetPageInfo(nIndex);
    if (pNew == NULL || pNew->pPage == NULL)
        return 0;
    PageInfo* pOld = NULL;
    if (m_nCurPage >= 0 && m_nCurPage < GetPageCount())
    {
        pOld = GetPageInfo(m_nCurPage);
        if (pOld == NULL)
            return 0;
    }
    // The old page goes and the new one comes under one redraw, painted at
    // once: the screen never shows parts of both, nor waits for a busy queue.
    BOOL bFreeze = IsWindowVisible();
    if (bFreeze)
        SetRedraw(FALSE);
    if (pOld != NULL && pOld->pPage != NULL && pOld->pPage->m_hWnd != NULL)
        pOld->pPage->ShowWindow(SW_HIDE);
    if (pNew->pPage->m_hWnd == NULL)
        MakePage(pNew);
    if (pNew->pPage->m_hWnd != NULL)
    {
        pNew->pPage->SetParent(pParent);
        pNew->pPage->MoveWindow(&m_rcPage, !bFreeze);
        pNew->pPage->ShowWindow(SW_SHOW);
    }
    m_nCurPage = nIndex;
    if (bFreeze)
    {
        SetRedraw(TRUE);
        const UINT nFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW;
        // A library view stands 10 pixels left of the page area, and turning
        // redraw off dropped what hiding it invalidated: its strip goes too.
        CRect rcRedraw = m_rcPage;
        if (m_bLibraryView)
            rcRedraw.left -= 10;
        RedrawWindow(&rcRedraw, NULL, nFlags);
        if (pParent != this && pNew->pPage->m_hWnd != NULL)
            pNew->pPage->RedrawWindow(NULL, NULL, nFlags);
    }
    if (pNew->pPage->m_hWnd != NULL)
        pNew->pPage->SetFocus();
    return 1;
}

BOOL CTamselDlg::ShowPageByName(CDialog* pPage)
{
    for (int i = 0; i < GetPageCount(); i++)
    {
        PageInfo* pInfo = GetPageInfo(i);
        if (pInfo->pPage != NULL && pInfo->pPage == pPage)
        {
            BOOL bShown = ShowPage(i);
            m_nCurPage = i;
            return bShown;
        }
    }
    return FALSE;
}

BOOL CTamselDlg::ConfirmLeavePage()
{
    if (m_pageScan.m_bScanning == 1)
    {
        if (m_pageScan.StopScan() != 1)
            return FALSE;
        m_pageScan.m_bLeaving = 1;
        return TRUE;
    }
    if (m_pageScanResult.m_bShown == 1)
    {
        if (m_pageScanResult.ConfirmLeave() != 1)
            return FALSE;
        m_pageScanResult.m_bLeaving = 1;
    }
    return TRUE;
}

void CTamselDlg::HideLibraryViews()
{
    if (g_pfnFunShowWindow != NULL)
        g_pfnFunShowWindow(PRIVACY_VIEW_NONE, 0);
    if (g_pfnFunShowOptimizer != NULL)
        g_pfnFunShowOptimizer(OPTIMIZER_VIEW_NONE, 0);
}

BOOL CTamselDlg::SelectPage(int nIndex)
{
    // A switch may bring a folder whose bar is still empty to the front.
    FillRemainingBars();
    if (m_bLibraryView == 1)
    {
        if (ConfirmAbortLibraryTask() != 1 && m_hPrivacyLib != NULL && g_pfnFunIsThread() != 0)
            return 0;  // the privacy task goes on, and so does its view
    }
    HideLibraryViews();
    BOOL bSwitch = ConfirmLeavePage();
    // While the library view flag is still up, ShowPage re-shows even the
    // current page.
    if (bSwitch)
        ShowPage(nIndex);
    m_bLibraryView = 0;
    return bSwitch;
}

BOOL CTamselDlg::CreatePageWindow(int nIndex)
{
    PageInfo* pInfo = GetPageInfo(nIndex);
    if (pInfo == NULL || pInfo->pPage == NULL)
        return FALSE;
    if (pInfo->pPage->m_hWnd != NULL)
        return TRUE;
    // A template that cannot be made is tried again by the next ShowPage.
    if (!MakePage(pInfo))
        return FALSE;
    pInfo->pPage->MoveWindow(&m_rcPage, TRUE);
    if (nIndex != m_nCurPage || m_bLibraryView)
        pInfo->pPage->ShowWindow(SW_HIDE);
    return TRUE;
}

BOOL CTamselDlg::MakePage(PageInfo* pInfo)
{
    ++m_nPagesInCreation;
    BOOL bMade = pInfo->pPage->Create(pInfo->nIDTemplate, this);
    --m_nPagesInCreation;
    return bMade && pInfo->pPage->m_hWnd != NULL;
}

BOOL CTamselDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A command another thread sends while a page is being made would make,
    // move and show pages around the half-made one: it runs afterwards.
    if (m_nPagesInCreation > 0 && ::InSendMessage())
    {
        HWND hWnd = m_hWnd;
        return AfxPostCall(hWnd, [hWnd, wParam, lParam] { ::SendMessageW(hWnd, WM_COMMAND, wParam, lParam); });
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CTamselDlg::CreateRemainingPages()
{
    FillRemainingBars();
    if (m_nNextPageToCreate < 0)
        return;
    KillTimer(PAGE_CREATION_TIMER);
    if (m_bShownPagePending)
        CreateNextPageOrBar();
    for (int i = m_nNextPageToCreate; i < GetPageCount(); i++)
        CreatePageWindow(i);
    m_nNextPageToCreate = -1;
}

BOOL CTamselDlg::IsPageMade(int nIndex)
{
    PageInfo* pInfo = GetPageInfo(nIndex);
    return pInfo != NULL && pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL;
}

BOOL CTamselDlg::CreateNextPageOrBar()
{
    // The page on show comes first, drawn whole at once.
    if (m_bShownPagePending)
    {
        m_bShownPagePending = FALSE;
        PageInfo* pShown = GetPageInfo(m_nCurPage);
        if (!m_bLibraryView && pShown != NULL && pShown->pPage != NULL && pShown->pPage->m_hWnd == NULL)
        {
            CSentMessageAnswerer answerer;
            if (CreatePageWindow(m_nCurPage))
            {
                pShown->pPage->ShowWindow(SW_SHOW);
                pShown->pPage->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            }
            return TRUE;
        }
    }
    // Then the result page: a scan started from the home page fills it.
    if (!IsPageMade(PAGE_SCAN_RESULT))
    {
        CSentMessageAnswerer answerer;
        if (CreatePageWindow(PAGE_SCAN_RESULT))
            return TRUE;
    }
    if (m_nNextBarToFill >= 0 && m_nNextBarToFill < kNavBarCount)
    {
        CSentMessageAnswerer answerer;
        FillNavigationBar(m_nNextBarToFill++);
        return TRUE;
    }
    m_nNextBarToFill = -1;
    while (m_nNextPageToCreate >= 0 && m_nNextPageToCreate < GetPageCount())
    {
        PageInfo* pInfo = GetPageInfo(m_nNextPageToCreate++);
        // Rows without a page, and pages already made, cost nothing.
        if (pInfo->pPage != NULL && pInfo->pPage->m_hWnd == NULL)
        {
            // Some pages take longer than a slice: messages sent meanwhile
            // are answered between the steps of making them.
            CSentMessageAnswerer answerer;
            CreatePageWindow(m_nNextPageToCreate - 1);
            return TRUE;
        }
    }
    m_nNextPageToCreate = -1;
    return FALSE;
}

void CTamselDlg::CreatePagesWhileIdle()
{
    // One slice per timer tick: a timer comes after paint and input, and a
    // message sent or posted meanwhile is answered before the next slice, so
    // the window answers while the pages are made. A slice ends early when
    // a click, a key or a sent message waits; the pointer merely moving does
    // not end it.
    DWORD nStart = ::GetTickCount();
    for (;;)
    {
        if (!CreateNextPageOrBar())
        {
            KillTimer(PAGE_CREATION_TIMER);
            return;
        }
        if (::GetTickCount() - nStart >= PAGE_SLICE_MS ||
            HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_SENDMESSAGE)) != 0)
            return;
    }
}

void CTamselDlg::HideAllPages()
{
    m_bLibraryView = 1;
    // Pages not made yet go on being made in slices, hidden while the view is up.
    for (int i = 0; i < GetPageCount(); i++)
    {
        PageInfo* pInfo = GetPageInfo(i);
        if (pInfo->pPage == NULL)
            continue;
        if (pInfo->pPage->m_hWnd != NULL)
        {
            pInfo->pPage->MoveWindow(&m_rcPage, TRUE);
            pInfo->pPage->ShowWindow(SW_HIDE);
            pInfo->pPage->SetFocus();
        }
    }
}
