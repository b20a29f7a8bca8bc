#pragma once
// Brings the separate updater program up to date before the version check:
// compares the local Update.exe with the version file's [Updater] Version
// and, when the server's is newer, fetches and unpacks the package on a
// worker while a small modal dialog asks the user to wait.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "app/UpdaterPackage.h"
#include "app/WhiteDialog.h"
#include <memory>

// Shared by the dialog and its worker; the last owner frees it.
struct CUpdaterJob
{
    CUpdaterJob() : hStop(::CreateEventW(NULL, TRUE, FALSE, NULL)) {}
    ~CUpdaterJob()
    {
        if (hStop != NULL)
            ::CloseHandle(hStop);
    }
    CUpdaterJob(const CUpdaterJob&) = delete;
    CUpdaterJob& operator=(const CUpdaterJob&) = delete;

    CUpdaterSettings settings;
    std::atomic<HWND> hWndDialog{NULL};
    std::atomic<bool> bDone{false};
    std::atomic<int> nOutcome{CUpdatePackage::OUTCOME_FAILED};
    // Manual reset: the dialog goes away, the worker ends its job.
    HANDLE hStop;
};

class CUpdaterDlg : public CWhiteDialog
{
public:
    explicit CUpdaterDlg(CWnd* pParent = NULL);
    virtual ~CUpdaterDlg();

    // 0 a newer updater exists (update.ini now in the program folder);
    // 1 no connection; 2 no complete version file; 5 no local updater
    // version; 6 the local updater is current.
    DWORD CheckUpdater(LPCTSTR pszBaseUrl);
    // Starts the worker; FALSE (after telling the user) when it cannot start.
    BOOL StartUpdate();
    // What the worker ended with, once it has (CUpdatePackage::Outcome).
    BOOL IsWorkerDone() const { return m_pJob->bDone.load(); }
    int GetOutcome() const { return m_pJob->nOutcome.load(); }

    BOOL IsConnected();
    static CString GetFileVersionString(const CString& strFile);
    static int CompareVersions(const CString& strFirst, const CString& strSecond);
    static BOOL IsNumber(const CString& strText);
    static CString GetModulePath();
    static CString GetModuleFolder();
    static BOOL ReadBlock(HINTERNET hRequest, LPVOID pBuffer, DWORD dwSize);
    // Moves the executable to "OldExecutable.bak" and the new file into its
    // place; the first move is undone when the second fails.
    static BOOL ReplaceExecutable(const CString& strExe, const CString& strNewFile, BOOL bDelay);

    static UINT WorkerThreadProc(LPVOID pParam);

    CButton m_btnFinish;
    CStatic m_stcMessage;
    HINTERNET m_hInternet;
    // Where the updater lives, and the time-outs: the program's unless set.
    CUpdaterSettings m_settings;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnFinish();
    // Run on the dialog's thread once the worker has ended.
    void OnUpdaterDone();
    // Stops the worker and waits for it: every step it takes after the stop
    // is short (see CUpdatePackage).
    void WaitForWorker();

    std::shared_ptr<CUpdaterJob> m_pJob;
    HANDLE m_hThread;

    DECLARE_MESSAGE_MAP()
};
