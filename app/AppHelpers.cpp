// Services of the application object that pages of every subsystem call:
// the ignore list, folder removal, paths from commands and shortcuts, and
// the weekly scheduled task.
#include "app/TamselApp.h"
#include <memory>
#include <atomic>
#include "services/DiskObject.h"
#include "repair/IgnoreListFile.h"
#include "services/PathString.h"
#include "services/ScheduledTask.h"
#include "services/TextFile.h"
#include "framework/WorkerCall.h"

#include <shlobj.h>
#include <shlwapi.h>

void CTamselApp::LoadIgnoreList()
{
    // What cannot be read cleanly is still shown; the writers refuse to
    // write such a file back.
    CIgnoreListFile::ReadFile(m_strAppDir + L"IgnoreList.dat", m_arrIgnoreList);
}

BOOL CTamselApp::DeleteDirectory(const CString& strFolder)
{
    // The one folder removal of the program: it never follows a linked folder
    // and never empties a drive or share root.
    if (strFolder.IsEmpty())
        return FALSE;
    CDiskObject disk;
    return disk.RemoveDirectoryTree(strFolder);
}

CString CTamselApp::ParseIconLocation(const CString& strText)
{
    CString strPath = strText;
    strPath.MakeLower();
    {
        wchar_t* pszBuffer = strPath.GetBuffer(strPath.GetLength() + MAX_PATH);
        ::PathUnquoteSpacesW(pszBuffer);
        ::PathParseIconLocationW(pszBuffer);
        strPath.ReleaseBuffer();
    }
    strPath.Trim();
    CPathString path;
    path = strPath;
    strPath = path.GetString();

    for (LPCTSTR lpszCut : { L" -", L" /", L"," })
    {
        int nCut = strPath.Find(lpszCut);
        if (nCut >= 0)
        {
            strPath = strPath.Left(nCut);
            strPath.TrimRight();
        }
    }
    return strPath;
}

HRESULT CTamselApp::GetShortcutTarget(LPCTSTR lpszShortcut, LPWSTR lpszTarget)
{
    lpszTarget[0] = L'\0';
    IShellLinkW* pLink = NULL;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink);
    if (FAILED(hr))
        return hr;
    IPersistFile* pFile = NULL;
    hr = pLink->QueryInterface(IID_IPersistFile, (void**)&pFile);
    if (SUCCEEDED(hr))
    {
        wchar_t szShortcut[MAX_PATH] = {};
        ::lstrcpynW(szShortcut, lpszShortcut, MAX_PATH);
        hr = pFile->Load(szShortcut, 0);
        if (SUCCEEDED(hr))
        {
            wchar_t szPath[MAX_PATH] = {};
            hr = pLink->GetPath(szPath, MAX_PATH, NULL, SLGP_RAWPATH);
            if (SUCCEEDED(hr) && szPath[0] != L'\0')
                ::lstrcpynW(lpszTarget, szPath, MAX_PATH);
        }
        pFile->Release();
    }
    pLink->Release();
    return hr;
}

void CTamselApp::UpdateScheduleTask()
{
    m_bScheduleTask = MakeScheduleRequest(m_strSettingsFile, m_strTaskName);
}

BOOL CTamselApp::MakeScheduleRequest(const CString& strSettingsFile, const CString& strTaskName)
{
    BOOL bPending = ::GetPrivateProfileIntW(L"General Options", L"Schedule Task", 1, strSettingsFile);
    if (bPending != 1)
        return bPending;

    CPathString program;
    program = AfxGetModulePath();

    SYSTEMTIME stStart;
    ::GetLocalTime(&stStart);
    stStart.wHour = 21;
    stStart.wMinute = 0;
    stStart.wSecond = 0;
    stStart.wMilliseconds = 0;

    CScheduledTask task;
    task.SetProgram(program);
    task.SetParameters(L"");
    task.SetWorkingDirectory(program.GetDirectory(TRUE));
    task.SetComment(L"Run Tamsel at Scheduled Time.");
    task.SetFrequency(CScheduledTask::FREQ_WEEKLY);
    task.SetStartDateTime(stStart);
    if (task.Save(strTaskName, FALSE) != S_OK)
        return bPending;  // the request stays for the next start
    if (PrepareIniFile(strSettingsFile))
        ::WritePrivateProfileStringW(L"General Options", L"Schedule Task", L"0", strSettingsFile);
    return 0;
}

namespace {

struct CScheduleJob
{
    CString strSettingsFile;
    CString strTaskName;
    std::atomic<int>* pResult;
};

UINT __cdecl ScheduleRequestThreadProc(LPVOID pParam)
{
    std::unique_ptr<CScheduleJob> pJob(static_cast<CScheduleJob*>(pParam));
    BOOL bCom = SUCCEEDED(::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));
    *pJob->pResult = CTamselApp::MakeScheduleRequest(pJob->strSettingsFile, pJob->strTaskName);
    if (bCom)
        ::CoUninitialize();
    return 0;
}

} // namespace

BOOL CTamselApp::StartScheduleRequest()
{
    m_bScheduleTask = ::GetPrivateProfileIntW(L"General Options", L"Schedule Task", 1, m_strSettingsFile);
    if (m_bScheduleTask != 1 || m_hScheduleThread != NULL)
        return FALSE;
    // An unready Task Scheduler answers only after seconds: the window must
    // not wait for it, so the request runs beside it.
    m_nScheduleResult = -1;
    CScheduleJob* pJob = new CScheduleJob{ m_strSettingsFile, m_strTaskName, &m_nScheduleResult };
    m_hScheduleThread = AfxBeginWorker(ScheduleRequestThreadProc, pJob);
    if (m_hScheduleThread == NULL)
    {
        delete pJob;
        return FALSE;
    }
    return TRUE;
}

void CTamselApp::FinishScheduleRequest(DWORD dwTimeoutMs)
{
    if (m_hScheduleThread == NULL)
        return;
    // Called on the window's thread: what other threads send it is answered.
    if (AfxWaitForObjectPumping(m_hScheduleThread, dwTimeoutMs) != WAIT_OBJECT_0)
        return;  // still asking: the request stays, and the thread ends with the process
    ::CloseHandle(m_hScheduleThread);
    m_hScheduleThread = NULL;
    if (m_nScheduleResult >= 0)
        m_bScheduleTask = m_nScheduleResult;
}
