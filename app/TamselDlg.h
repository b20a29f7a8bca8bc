#pragma once
// The program's one top-level window: the skinned frame, the navigation bars,
// the page table with every page of the program, and the library views.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/GuiFolder.h"
#include "controls/skin/GuiOutLook.h"
#include "controls/skin/HostStatic.h"
#include "controls/skin/HyperlinkCtrl.h"
#include "controls/lists/IconComboBox.h"
#include "app/TaskPage.h"
#include "app/LauncherPages.h"
#include "app/GeneralSettingsPage.h"
#include "app/VersionCheck.h"
#include "libapi/LibraryExports.h"
#include "scanner/HomePage.h"
#include "scanner/ScanPage.h"
#include "repair/ReportPage.h"
#include "repair/ScanResultPage.h"
#include "repair/AutoBackupPage.h"
#include "repair/FullBackupPage.h"
#include "repair/IgnoreListPage.h"
#include "repair/SchedulePage.h"
#include "repair/BackupHubPage.h"
#include "repair/FavoritesBackupPage.h"
#include "tools/BhoManager.h"
#include "tools/StartupManager.h"
#include "tools/UninstallRemovePage.h"
#include "tools/IeToolsPage.h"
#include "tools/IeRestorePage.h"
#include "tools/IeProblemsPage.h"
#include "tools/PatchUpdatePage.h"
#include "resources/main_window/MainWindowIds.h"

class CTamselApp;

// One row of the page table.
struct PageInfo
{
    CDialog* pPage;     // NULL for the two rows without a page
    UINT nIDTemplate;
    CString strName;
};

// A skin piece and its size.
struct SkinBitmap
{
    CBitmap bitmap;
    CSize size;
};

// Page indexes that other parts of the program use by number.
enum
{
    PAGE_HOME = 0,
    PAGE_SETTINGS = 1,
    PAGE_REPORT = 2,
    PAGE_HELP = 4,
    PAGE_SCAN = 5,
    PAGE_SCAN_RESULT = 6,
    PAGE_BHO = 7,
    PAGE_STARTUP = 8,
    PAGE_UNINSTALL = 9,
    PAGE_COMPUTER = 11,
    PAGE_SECURITY = 12,
    PAGE_REGISTRY = 13,
    PAGE_SYSTEM = 14,
    PAGE_AUTO_BACKUP = 15,
    PAGE_FULL_BACKUP = 16,
    PAGE_GENERAL = 17,
    PAGE_IGNORE = 18,
    PAGE_SCHEDULE = 19,
    PAGE_IE_TOOLS = 20,
    PAGE_IE_RESTORE = 21,
    PAGE_IE_HELP = 22,
    PAGE_BACKUP = 23,
    PAGE_OPTIMIZE = 24,
    PAGE_FAVORITES = 25,
    PAGE_HOME_LAUNCHER = 26,
    PAGE_PATCH_UPDATE = 27,
    PAGE_COUNT = 28
};

// Drives the creation of the pages after start-up; outside 1 to 9, which a
// released mouse button kills.
const UINT_PTR PAGE_CREATION_TIMER = 100;
// The background page creation gives way after this long, so that the window
// answers within 50 ms; a page that takes longer answers sent messages
// while it is made.
const DWORD PAGE_SLICE_MS = 15;

// Folders of the folder bar, in their order.
enum
{
    FOLDER_SCAN_CLEAN = 0,
    FOLDER_OPTIMIZE = 1,
    FOLDER_BACKUP = 2,
    FOLDER_IE_TOOLS = 3,
    FOLDER_WINDOWS = 4,
    FOLDER_OPTIONS = 5,
    FOLDER_HELP = 6
};

// Posted by the background version check with its result in wParam.

class CTamselDlg : public CDialog
{
public:
    explicit CTamselDlg(CWnd* pParent = NULL);
    virtual ~CTamselDlg();

    // ---- Page table ----------------------------------------------------------
    BOOL AddPage(CDialog* pPage, UINT nIDTemplate, LPCTSTR pszName);
    BOOL ShowPage(int nIndex, CWnd* pParent = NULL);
    BOOL SelectPage(int nIndex);
    void HideAllPages();
    BOOL ShowPageByName(CDialog* pPage);
    // Creates every page window still missing. Start-up creates only the home
    // page before the window shows; the rest follow while the window idles,
    // or all at once here when something needs them sooner.
    void CreateRemainingPages();
    BOOL ArePagesPending() const { return m_nNextPageToCreate >= 0; }
    int GetCurrentPage() const { return m_nCurPage; }
    int GetPageCount() const { return (int)m_arrPages.GetSize(); }
    PageInfo* GetPageInfo(int nIndex) const;
    // The name of the window property that marks the running copy.
    static CString GetInstancePropertyName();

    // ---- Online version check --------------------------------------------------
    // Starts a check on a worker unless one runs; with bReportAll every outcome
    // is reported (Check Update), else only a newer version (first paint).
    BOOL StartVersionCheck(BOOL bReportAll);

    // ---- Language ------------------------------------------------------------
    void LoadLanguageTexts();
    void FillLanguageList();
    afx_msg void OnSelChangeLanguage();

    // ---- Libraries -----------------------------------------------------------
    // With a view, only that one is made now; the others follow in a later slice.
    void LoadPrivacyLibrary(int nFirstView = PRIVACY_VIEW_NONE);
    void MakePrivacyViews(int nView);
    // bMakeViews FALSE: load and resolve only; the views follow in a later slice.
    void LoadOptimizerLibrary(BOOL bMakeViews = TRUE);
    void MakeOptimizerViews();
    void UnloadPrivacyLibrary();
    void UnloadOptimizerLibrary();
    BOOL ConfirmAbortLibraryTask();
    void OnPrivacyView(int nView);
    void OnOptimizerView(int nView);

    // ---- Closing ---------------------------------------------------------------
    // Ends the program unless a running scan is kept; TRUE when it ended.
    BOOL CloseMainWindow();
    afx_msg void OnClose();

    // ---- Navigation commands ---------------------------------------------------
    afx_msg void OnRegistryCleaner();
    afx_msg void OnEvidenceCleaner();
    afx_msg void OnJunkCleaner();
    afx_msg void OnFileShredder();
    afx_msg void OnPatchUpdate();
    afx_msg void OnComputer();
    afx_msg void OnSecurity();
    afx_msg void OnSystem();
    afx_msg void OnAutoBackup();
    afx_msg void OnFullBackup();
    afx_msg void OnBackupFavorites();
    afx_msg void OnBhoManager();
    afx_msg void OnInternetOptions();
    afx_msg void OnIeRecover();
    afx_msg void OnIeProblems();
    afx_msg void OnIeFavorites();
    afx_msg void OnGeneralSettings();
    afx_msg void OnScheduler();
    afx_msg void OnIgnoreList();
    afx_msg void OnResultReports();
    afx_msg void OnSettings();
    afx_msg void OnStartupManager();
    afx_msg void OnUninstallManager();
    afx_msg void OnSystemOptimizer();
    afx_msg void OnServiceOptimizer();
    afx_msg void OnMemoryOptimizer();
    afx_msg void OnFolderScanClean();
    afx_msg void OnFolderBackup();
    afx_msg void OnFolderIeTools();
    afx_msg void OnFolderWindows();
    afx_msg void OnFolderOptions();
    afx_msg void OnFolderHelp();
    afx_msg void OnFolderOptimize();
    afx_msg void OnHelpButton();
    afx_msg void OnUpdateButton();
    afx_msg void OnEasySteps();

    // ---- Skin --------------------------------------------------------------------
    void SetSkinBitmap(SkinBitmap& slot, UINT nIDResource);
    BOOL SetSkinBitmap(SkinBitmap& slot, LPCTSTR lpszFile);
    void SetSkinRegion(CDC* pDC, int nWidth, int nHeight);

    CTamselApp* m_pApp;
    // Waited for when the window object goes.
    CVersionCheckWorker m_versionCheck;
    // Whether the running check's answer is still to come, and whether it is
    // to be told in full (Check Update) or only when newer (first paint).
    BOOL m_bCheckAnswerPending;
    BOOL m_bReportAllChecks;
    int m_bFirstPaint;
    int m_bLibraryView;
    CBrush m_brBackground;

    // Pages, constructed with no parent.
    CHomePage m_pageHome;
    CSettingsPage m_pageSettings;
    CReportPage m_pageReport;
    CHelpPage m_pageHelp;
    CScanPage m_pageScan;
    CScanResultPage m_pageScanResult;
    CBhoManager m_pageBho;
    CStartupManager m_pageStartup;
    CUninstallRemovePage m_pageUninstall;
    CComputerToolsPage m_pageComputer;
    CSecurityPage m_pageSecurity;
    CRegistryPage m_pageRegistry;
    CSystemPage m_pageSystem;
    CAutoBackupPage m_pageAutoBackup;
    CFullBackupPage m_pageFullBackup;
    CGeneralSettingsPage m_pageGeneral;
    CIgnoreListPage m_pageIgnore;
    CSchedulePage m_pageSchedule;
    CIeToolsPage m_pageIeTools;
    CIeRestorePage m_pageIeRestore;
    CIeProblemsPage m_pageIeProblems;
    CBackupHubPage m_pageBackupHub;
    COptimizePage m_pageOptimize;
    CFavoritesBackupPage m_pageFavorites;
    CHomeLauncherPage m_pageHomeLauncher;
    CPatchUpdatePage m_pagePatchUpdate;

    HMODULE m_hPrivacyLib;
    HMODULE m_hOptimizerLib;
    BOOL m_bOptimizerViewsMade = FALSE;
    CPtrArray m_arrPages;
    int m_nCurPage;
    CRect m_rcPage;

    CGuiFolder m_wndFolder;
    CGuiOutLook m_barScanClean;
    CGuiOutLook m_barBackup;
    CGuiOutLook m_barIeTools;
    CGuiOutLook m_barWindows;
    CGuiOutLook m_barOptions;
    CGuiOutLook m_barHelp;
    CGuiOutLook m_barOptimize;

    HICON m_hIcon;
    SkinBitmap m_bmpSkinTop;
    SkinBitmap m_bmpSkinBottom;
    SkinBitmap m_bmpSkinLeft;
    SkinBitmap m_bmpSkinCenter;
    SkinBitmap m_bmpSkinRight;
    CPoint m_ptDragStart;
    // The size the window region was cut for; (0, 0) until cut.
    CSize m_sizeSkinRegion;
    // Next row the background page creation looks at; -1 when none is pending.
    int m_nNextPageToCreate;
    // Next navigation bar still without its buttons; -1 when all have them.
    int m_nNextBarToFill;
    // The page on show is still to be made (the first step after showing).
    BOOL m_bShownPagePending;
    // Pages being made now: a navigation other threads ask for meanwhile
    // (their messages are answered while a page is made) waits until the
    // page is whole.
    int m_nPagesInCreation = 0;
    // How long the version check waits for the site (tests hold a site longer).
    static DWORD s_dwVersionCheckTimeoutMs;
    int m_nCornerSize;
    int m_nBorderWidth;
    BYTE m_bDragging;

    CButtonST m_btnClose;
    CButtonST m_btnMinimize;
    CIconComboBox m_comboLanguage;
    CButtonST m_btnEasySteps;
    CHostStatic m_wndFolderHost;
    CHyperlinkCtrl m_linkWebSite;
    CButtonST m_btnHelp;
    CButtonST m_btnUpdate;
    CStatic m_wndPageArea;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnOK();
    virtual void OnCancel();
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg void OnCloseButton();
    afx_msg void OnMinimizeButton();

    // The folder bar and its item bars; FALSE when one cannot be made, and
    // the window then ends (virtual so that a test can make it fail).
    virtual BOOL CreateNavigation();

private:
    // Creates the page window of a row when missing and puts it in the page
    // area, hidden unless it is the page on show; FALSE when it has none.
    BOOL CreatePageWindow(int nIndex);
    // Makes the page window of a row (counted in m_nPagesInCreation); TRUE
    // when it exists afterwards.
    BOOL MakePage(PageInfo* pInfo);
    // One timer tick of the background creation: bars, then pages, for one
    // slice of PAGE_SLICE_MS at most (one page or bar at least).
    void CreatePagesWhileIdle();
    // Fills the next empty bar or makes the next missing page; FALSE when
    // none is left.
    BOOL CreateNextPageOrBar();
    BOOL IsPageMade(int nIndex);
    void FillNavigationBar(int nBar);
    void FillRemainingBars();
    void AddLanguageFiles();
    void CreateCaptionButtons();
    // The stop questions of a running scan or an unfinished result; TRUE to go on.
    BOOL ConfirmLeavePage();
    void HideLibraryViews();
    // The outcome of a version check, on this thread.
    void OnVersionChecked(int nResult, const CVersionCheckError& failure);
    // Ends the scan (as left or stopped) and waits for every worker of the
    // window, dispatching sent messages meanwhile.
    void WaitForWorkers();
    void DrawSkinBitmap(CDC* pDC, SkinBitmap& slot, int x, int y);
    void TileSkinBitmap(CDC* pDC, SkinBitmap& slot, const CRect& rc);
    void StartUpdater();

    DECLARE_MESSAGE_MAP()
};

// The main window while it exists, for pages that switch pages themselves.
CTamselDlg* GetTamselDlg();
