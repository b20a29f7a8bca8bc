// Services of the application object that pages of every subsystem call:
// the ignore list, folder removal, paths from commands and shortcuts, and
// the weekly scheduled task.
#include "app/TamselApp.h"
#include "services/DiskObject.h"
#include "services/PathString.h"
#include "services/ScheduledTask.h"
#include "services/TextFile.h"

#include <shlobj.h>
#include <shlwapi.h>

void CTamselApp::LoadIgnoreList()
{
    m_arrIgnoreList.RemoveAll();
    CString strFile = m_strAppDir + L"IgnoreList.dat";
    if (!::PathFileExistsW(strFile))
        return;
    CTextFile file(strFile, L"rb");
    if (!file.IsOpen())
        return;
    CString strLine;
    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = file.ReadLine(strLine);
        // A line ended by CR LF would otherwise never match its entry.
        if (!strLine.IsEmpty() && strLine[strLine.GetLength() - 1] == L'\r')
            strLine = strLine.Left(strLine.GetLength() - 1);
        if (strLine.GetLength() != 0)
            m_arrIgnoreList.Add(strLine);
    }
    file.Close();
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
    m_bScheduleTask = ::GetPrivateProfileIntW(L"General Options", L"Schedule Task", 1, m_strSettingsFile);
    if (m_bScheduleTask != 1)
        return;

    wchar_t szExe[520] = {};
    ::GetModuleFileNameW(NULL, szExe, 520);
    CPathString program;
    program = szExe;

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
    if (task.Save(m_strTaskName, FALSE) == S_OK)
    {
        m_bScheduleTask = 0;
        ::WritePrivateProfileStringW(L"General Options", L"Schedule Task", L"0", m_strSettingsFile);
    }
}
