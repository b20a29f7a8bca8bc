#pragma once
// What the privacy frame's tests share: a host window, language files in a
// scratch folder and views whose frame operations are counted.
#include "framework/Afx.h"
#include "privacy/EvidenceCleanerDlg.h"
#include "privacy/FileShredderDlg.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/PrivacyState.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <atomic>
#include <string>

namespace frametest {

// The built-in English language file in the source tree (read only).
std::wstring EnglishLanguageFile();
// The folder of the test executable, with a trailing backslash.
std::wstring ExeFolder();

// A plain visible top-level window standing in for the host's main window.
class HostWindow : public CWnd
{
public:
    HostWindow();
    ~HostWindow() override;
};

// Pumps this thread's messages for a while.
void Pump(DWORD dwMs = 50);

// A worker like a view's: the busy flag is set before it starts, it runs
// until its stop event is signalled, then clears the flag last.
class FakeWorker
{
public:
    ~FakeWorker();
    BOOL Start();
    void Signal();
    // TRUE when the worker has ended within the time.
    BOOL Wait(DWORD dwTimeoutMs);
    BOOL IsRunning() const { return m_hThread != NULL && !m_bEnded; }
    std::atomic<bool> m_bEnded{false};

private:
    static UINT __cdecl ThreadProc(LPVOID pParam);
    HANDLE m_hStop = NULL;
    HANDLE m_hThread = NULL;
};

// What the frame did to one view.
struct ViewCalls
{
    int nResets = 0;
    int nSwitches = 0;
    int nRelays = 0;
    int nStops = 0;
    int nWaits = 0;
    int nClears = 0;
    bool bHookAtWait = false;
    // A worker that does not heed the stop within the wait.
    bool bDeaf = false;
    FakeWorker worker;
};

template <class TView>
class CountingView : public TView
{
public:
    explicit CountingView(ViewCalls* pCalls) : m_pCalls(pCalls) {}
    void ResetView() override { m_pCalls->nResets++; }
    void SwitchLanguage() override
    {
        m_pCalls->nSwitches++;
        TView::SwitchLanguage();
    }
    void RelayToolTipEvent(MSG*) override { m_pCalls->nRelays++; }
    void SignalStop() override
    {
        m_pCalls->nStops++;
        if (!m_pCalls->bDeaf)
            m_pCalls->worker.Signal();
    }
    void StopAndWait(DWORD dwTimeoutMs) override
    {
        m_pCalls->nWaits++;
        m_pCalls->bHookAtWait = PrivacyHook() != NULL;
        if (m_pCalls->bDeaf)
        {
            m_pCalls->worker.Wait(50);
            return;
        }
        m_pCalls->worker.Signal();
        m_pCalls->worker.Wait(dwTimeoutMs);
    }

protected:
    ViewCalls* m_pCalls;
};

class CountingShredder : public CountingView<CFileShredderDlg>
{
public:
    explicit CountingShredder(ViewCalls* pCalls) : CountingView<CFileShredderDlg>(pCalls) {}
    void ClearFileList() override { m_pCalls->nClears++; }
};

} // namespace frametest
