#pragma once
#include <atomic>
// The application object: start-up and exit, the settings, the language file
// and the scan data that every page reaches through AfxGetApp.
#include "framework/Afx.h"
#include "app/LanguageTexts.h"
#include "scanner/RegProblem.h"
#include "resources/AppResource.h"
#include "services/IniFileCheck.h"
#include "tools/UpdateInfo.h"

#define TAMSEL_CATEGORY_COUNT 15

class CTamselApp : public CWinApp
{
public:
    CTamselApp();
    virtual ~CTamselApp();

    BOOL InitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int ExitInstance() override;

    void GetAppDir();

    // Settings.ini
    void LoadSettings();
    // FALSE when any value could not be written, and without writing when
    // the file did not read (it is then left byte for byte as it was).
    BOOL SaveSettings();
    // Tells the user once, at exit, that the settings were not written.
    void ReportSettingsNotSaved();
    // Tells the user, at exit, that Settings.ini did not read and was left
    // as it was.
    void ReportSettingsUnread();

    // Language files
    CString GetLangString(const CString& strKey);
    // The text of a key as the file holds it ("\n" stays two characters).
    CString GetLangStringRaw(const CString& strKey);
    // The language files of the Language folder that name their language:
    // file names and language names, in the order found.
    void ListLanguageFiles(CStringArray& arrFiles, CStringArray& arrNames);
    // The language file Settings.ini asks for (may be empty or no file name).
    CString GetChosenLanguageFile();
    // The chosen file, or the system language's when the choice names no .ini file.
    CString GetWantedLanguageFile();
    CString GetLangText(const CString& strKey);
    void TranslateDialog(CWnd* pDialog, UINT nTemplateID);
    void SelectLanguage(const CString& strFileName);
    BOOL ExtractDefaultLanguage(UINT nResourceID, const CString& strTargetPath);
    CString GetSystemLanguageCode();
    CString GetLanguageFileForCode(const CString& strCode);
    UINT GetLanguageFlagIcon(const CString& strFileName);
    int FindLanguageIndex(const CString& strFileName);
    CString GetLanguageFileAt(int nIndex);

    // Helpers for the pages
    void LoadIgnoreList();
    BOOL DeleteDirectory(const CString& strFolder);
    CString ParseIconLocation(const CString& strText);
    HRESULT GetShortcutTarget(LPCTSTR lpszShortcut, LPWSTR lpszTarget);
    void UpdateScheduleTask();
    // The weekly task of a pending request in Settings.ini; the new value of
    // the request (0 once the task is made). Safe on any thread.
    static BOOL MakeScheduleRequest(const CString& strSettingsFile, const CString& strTaskName);
    // Makes a pending request on a worker (TRUE when one started), so a slow
    // Task Scheduler never holds the window back; FinishScheduleRequest waits
    // for it, bounded, and takes its outcome.
    BOOL StartScheduleRequest();
    void FinishScheduleRequest(DWORD dwTimeoutMs = SCHEDULE_REQUEST_WAIT_MS);
    // How long the close waits for a request still being made (an unready
    // Task Scheduler answers only after seconds). One still asking is left
    // to end with the process: the request stays for the next start.
    static const DWORD SCHEDULE_REQUEST_WAIT_MS = 1500;

    BOOL m_bWow64;
    CString m_strSpare1;  // free for the pages of other subsystems
    CString m_strSpare2;
    CString m_strLangFile;
    CStringArray m_arrLangFiles;
    // The Windows Update page's collection of the last search; released at exit.
    IUnknown* m_pComObject;
    CString m_strSettingsFile;
    CString m_strAppDir;
    CString m_strTaskName;
    BOOL m_bScheduleTask;
    HANDLE m_hScheduleThread;
    std::atomic<int> m_nScheduleResult;
    CStringArray m_arrShortcutFiles;
    CStringArray m_arrProgramFolders;
    CStringArray m_arrBackupFiles;
    BOOL m_bCloseAfterScan;
    BOOL m_bAutoRepair;
    BOOL m_bAutoUpdate;
    BOOL m_bStartup;
    // Settings.ini did not read: it is never written this run.
    BOOL m_bSettingsUnread;
    IniFileCheck m_settingsCheck;   // why, for the message
    CString m_strCategoryNames[TAMSEL_CATEGORY_COUNT];   // display order
    CArray<CRegProblem> m_arrProblems[TAMSEL_CATEGORY_COUNT];  // key order
    CArray<CRegProblem> m_arrRepair[TAMSEL_CATEGORY_COUNT];    // key order
    CArray<CRegProblem> m_arrBhoItems;
    CArray<CRegProblem> m_arrStartupItems;
    CArray<CRegProblem> m_arrUninstallItems;
    CArray<CRegProblem> m_arrBhoRemove;
    CArray<CRegProblem> m_arrStartupRemove;
    CArray<CRegProblem> m_arrUninstallRemove;
    // The Windows Update page's records, one per row, at the row's index.
    CArray<UpdateInfo> m_arrUpdateInfo;
    CStringArray m_arrBhoBackups;
    CStringArray m_arrStartupBackups;
    CStringArray m_arrUninstallBackups;
    CString m_strFullBackupFile;
    CStringArray m_arrIgnoreList;
    CString m_strLastScanTime;
    int m_nErrors[TAMSEL_CATEGORY_COUNT];      // index: category number - 1
    int m_nCleaned[TAMSEL_CATEGORY_COUNT];     // index: category number - 1
    int m_nNextProblem;
    BOOL m_bScanCategory[TAMSEL_CATEGORY_COUNT];  // key order

    // The three orders of the categories. Key order: Settings.ini switches,
    // problem and repair lists. Display order: the result tree and the names.
    static const LPCTSTR s_pszScanKeys[TAMSEL_CATEGORY_COUNT];       // by key slot
    static const int s_nKeySlotCategory[TAMSEL_CATEGORY_COUNT];      // key slot -> category number
    static const int s_nCategoryDisplaySlot[TAMSEL_CATEGORY_COUNT];  // category - 1 -> display slot
    static const LPCTSTR s_pszCategoryNameKeys[TAMSEL_CATEGORY_COUNT];  // by display slot
    static int KeySlotOfCategory(int nCategory);
    static int DisplaySlotOfCategory(int nCategory);

protected:
    // Texts of the current language file, read once per file version.
    CLanguageTexts m_langTexts;

    // The wanted executable base name (single instance and window property).
    CString GetExeBaseName() const;
    // Runs the main window modally.
    virtual void RunMainWindow();

    DECLARE_MESSAGE_MAP()
};
