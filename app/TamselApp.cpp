#include "app/TamselApp.h"
#include "app/SplashWnd.h"
#include "app/TamselDlg.h"
#include "services/Wow64.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CTamselApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

const LPCTSTR CTamselApp::s_pszScanKeys[TAMSEL_CATEGORY_COUNT] = {
    L"ScanCOM", L"ScanSharedDLL", L"ScanFileAssoc", L"ScanServices", L"ScanAddRemove",
    L"ScanAppPath", L"ScanFonts", L"ScanHelpFiles", L"ScanStartup", L"ScanHistory",
    L"ScanShortcuts", L"ScanSound", L"ScanDrivers", L"ScanFileExt", L"ScanEmpty" };

const int CTamselApp::s_nKeySlotCategory[TAMSEL_CATEGORY_COUNT] = {
    1, 5, 9, 7, 2, 3, 4, 6, 12, 11, 8, 10, 13, 14, 15 };

const int CTamselApp::s_nCategoryDisplaySlot[TAMSEL_CATEGORY_COUNT] = {
    0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 6, 13, 14 };

const LPCTSTR CTamselApp::s_pszCategoryNameKeys[TAMSEL_CATEGORY_COUNT] = {
    L"IDD_131_1108", L"IDD_131_1008", L"IDD_131_1009", L"IDD_131_1019", L"IDD_131_1011",
    L"IDD_131_1012", L"IDD_131_1021", L"IDD_131_1016", L"IDD_131_1017", L"IDD_131_1018",
    L"IDD_131_1010", L"IDD_131_1020", L"IDD_131_1014", L"IDD_131_1022", L"IDD_131_1112" };

int CTamselApp::KeySlotOfCategory(int nCategory)
{
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
    {
        if (s_nKeySlotCategory[nSlot] == nCategory)
            return nSlot;
    }
    return -1;
}

int CTamselApp::DisplaySlotOfCategory(int nCategory)
{
    if (nCategory < 1 || nCategory > TAMSEL_CATEGORY_COUNT)
        return -1;
    return s_nCategoryDisplaySlot[nCategory - 1];
}

namespace {
// The first copy's semaphore stays open until the process ends.
HANDLE s_hInstanceSemaphore = NULL;

// The running copy's main window carries a property named after the executable.
HWND FindFirstInstanceWindow(LPCTSTR lpszPropName)
{
    HWND hWnd = ::GetWindow(::GetDesktopWindow(), GW_CHILD);
    while (hWnd != NULL && ::IsWindow(hWnd))
    {
        if (::GetPropW(hWnd, lpszPropName) != NULL)
            return hWnd;
        hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    }
    return NULL;
}
} // namespace

CTamselApp::CTamselApp()
    : m_bWow64(0), m_pComObject(NULL), m_bScheduleTask(0), m_hScheduleThread(NULL), m_nScheduleResult(-1), m_bCloseAfterScan(0), m_bAutoRepair(0),
      m_bAutoUpdate(0), m_bStartup(0), m_bSettingsUnread(FALSE), m_nNextProblem(0)
{
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        m_nErrors[i] = 0;
        m_nCleaned[i] = 0;
        m_bScanCategory[i] = 0;
    }
}

CTamselApp::~CTamselApp()
{
}

CString CTamselApp::GetExeBaseName() const
{
    if (m_pszExeName != NULL && m_pszExeName[0] != L'\0')
        return m_pszExeName;
    return AfxGetModuleBaseName();
}

void CTamselApp::GetAppDir()
{
    m_strAppDir = AfxGetModuleFolder();
}

BOOL CTamselApp::InitInstance()
{
    CString strExeName = GetExeBaseName();
    HANDLE hSemaphore = ::CreateSemaphoreW(NULL, 1, 1, strExeName);
    if (hSemaphore != NULL && ::GetLastError() == ERROR_ALREADY_EXISTS)
    {
        ::CloseHandle(hSemaphore);
        HWND hWndFirst = FindFirstInstanceWindow(strExeName);
        if (hWndFirst != NULL)
        {
            if (::IsIconic(hWndFirst))
                ::ShowWindow(hWndFirst, SW_RESTORE);
            ::SetForegroundWindow(hWndFirst);
            ::SetForegroundWindow(::GetLastActivePopup(hWndFirst));
        }
        return FALSE;
    }
    s_hInstanceSemaphore = hSemaphore;

    INITCOMMONCONTROLSEX icc = { sizeof(icc), 0xFF };
    ::InitCommonControlsEx(&icc);

    AfxEnableControlContainer();
    Enable3dControlsStatic();
    if (!AfxOleInit())
        return FALSE;

    // Only the splash switch of the command line matters.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    CSplashWnd::EnableSplashScreen(cmdInfo.m_bShowSplash);

    m_bWow64 = IsRunningOnWow64();

    GetAppDir();
    m_strSettingsFile = m_strAppDir + L"Settings.ini";
    LoadSettings();

    CString strUtilities = m_strAppDir + L"Utilities\\";
    if (!::PathFileExistsW(strUtilities))
        ::CreateDirectoryW(strUtilities, NULL);

    m_pComObject = NULL;
    m_strTaskName = L"Tamsel Schedule";
    StartScheduleRequest();

    RunMainWindow();
    return FALSE;
}

void CTamselApp::RunMainWindow()
{
    CTamselDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    if (dlg.GetSafeHwnd() != NULL)
        dlg.DestroyWindow();
    m_pMainWnd = NULL;
}

int CTamselApp::ExitInstance()
{
    // A second copy, or a start that ended before the settings were read, has
    // nothing of its own to write back.
    FinishScheduleRequest();
    if (!m_strSettingsFile.IsEmpty() && m_bSettingsUnread)
        ReportSettingsUnread();
    else if (!m_strSettingsFile.IsEmpty() && !SaveSettings())
        ReportSettingsNotSaved();
    if (m_pComObject != NULL)
    {
        m_pComObject->Release();
        m_pComObject = NULL;
    }
    return CWinApp::ExitInstance();
}

BOOL CTamselApp::PreTranslateMessage(MSG* pMsg)
{
    // The splash window takes the first key or click.
    if (CSplashWnd::PreTranslateAppMessage(pMsg))
        return TRUE;
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F1)
    {
        // Without a help file the key simply does nothing.
        CString strHelp = m_strAppDir + L"manual.chm";
        if (::GetFileAttributesW(strHelp) != INVALID_FILE_ATTRIBUTES)
            ::ShellExecuteW(NULL, L"open", strHelp, NULL, NULL, SW_SHOWMAXIMIZED);
        return TRUE;
    }
    return CWinApp::PreTranslateMessage(pMsg);
}
