#pragma once
// The launcher pages: large task buttons that open a page, show a library
// view or start a Windows tool, and the start launcher with five image buttons.
#include "app/TaskPage.h"
#include "app/WhiteDialog.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/ButtonVE_Task.h"

#define LAUNCHER_MAX_BUTTONS 6

struct LauncherButton
{
    UINT nControlID;
    UINT nBitmapID;
};

class CLauncherPage : public CTaskPage
{
public:
    CLauncherPage(UINT nIDTemplate, const LauncherButton* pButtons, int nButtons);
    virtual ~CLauncherPage();

    CButtonVE_Task m_btnTask[LAUNCHER_MAX_BUTTONS];

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    // Starts a program or document with the shell's "open"; failures stay silent.
    static void OpenWithShell(LPCTSTR lpszFile, int nShowCmd = SW_SHOW);
    // Starts a Windows tool: a program (.exe) of the system folder as a user
    // of 64-bit Windows gets it (services/SystemProgram.h); a console (.msc)
    // or a program the folder lacks goes to the shell, which finds it through
    // App Paths. Failures stay silent.
    static void OpenSystemTool(LPCWSTR lpszName, LPCWSTR lpszArguments = NULL);

    UINT m_nIDTemplate;
    const LauncherButton* m_pButtons;
    int m_nButtons;
    HBITMAP m_hNormalBitmaps[LAUNCHER_MAX_BUTTONS];  // the buttons do not own them

    DECLARE_MESSAGE_MAP()
};

class CSettingsPage : public CLauncherPage
{
public:
    CSettingsPage();
protected:
    afx_msg void OnGeneralSettings();
    afx_msg void OnScheduler();
    afx_msg void OnIgnoreList();
    afx_msg void OnResultReports();
    afx_msg void OnCheckUpdate();
    DECLARE_MESSAGE_MAP()
};

class CHelpPage : public CLauncherPage
{
public:
    CHelpPage();
    static CString GetSupportUrl();
protected:
    afx_msg void OnEmail();
    afx_msg void OnHandbook();
    afx_msg void OnLiveChat();
    afx_msg void OnCheckUpdate();
    DECLARE_MESSAGE_MAP()
};

class CComputerToolsPage : public CLauncherPage
{
public:
    CComputerToolsPage();
    // The major version of the running Windows; 0 when it cannot be read.
    static DWORD GetWindowsMajorVersion();
    static LPCTSTR GetDefragmenter(DWORD dwMajorVersion);
    static LPCTSTR GetWindowsUpdateTool(DWORD dwMajorVersion);
protected:
    afx_msg void OnComputerManagement();
    afx_msg void OnDefragmenter();
    afx_msg void OnWindowsUpdate();
    afx_msg void OnSystemProperties();
    afx_msg void OnDiskCleanup();
    afx_msg void OnControlPanel();
    DECLARE_MESSAGE_MAP()
};

class CSecurityPage : public CLauncherPage
{
public:
    CSecurityPage();
protected:
    afx_msg void OnLocalSecurity();
    afx_msg void OnUsersAndGroups();
    afx_msg void OnGroupPolicy();
    afx_msg void OnSecurityCenter();
    DECLARE_MESSAGE_MAP()
};

class CRegistryPage : public CLauncherPage
{
public:
    CRegistryPage();
protected:
    afx_msg void OnScanRegistry();
    afx_msg void OnEvidenceCleaner();
    afx_msg void OnJunkCleaner();
    afx_msg void OnFileShredder();
    afx_msg void OnPatchUpdate();
    DECLARE_MESSAGE_MAP()
};

class CSystemPage : public CLauncherPage
{
public:
    CSystemPage();
protected:
    afx_msg void OnDeviceManager();
    afx_msg void OnEventViewer();
    afx_msg void OnDiskManagement();
    afx_msg void OnMsconfig();
    afx_msg void OnPerformanceMonitor();
    afx_msg void OnAddRemove();
    DECLARE_MESSAGE_MAP()
};

class COptimizePage : public CLauncherPage
{
public:
    COptimizePage();
protected:
    afx_msg void OnStartupManager();
    afx_msg void OnUninstallManager();
    afx_msg void OnSystemOptimizer();
    afx_msg void OnServiceOptimizer();
    afx_msg void OnMemoryOptimizer();
    DECLARE_MESSAGE_MAP()
};

// The start launcher: five wide image buttons.
class CHomeLauncherPage : public CWhiteDialog
{
public:
    CHomeLauncherPage();

    CButtonST m_btnLaunch[5];

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnScanRegistry();
    afx_msg void OnEvidenceCleaner();
    afx_msg void OnStartupManager();
    afx_msg void OnUninstallManager();
    afx_msg void OnSystemOptimizer();

    DECLARE_MESSAGE_MAP()
};
