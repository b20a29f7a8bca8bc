#include "scanner/Scanners.h"
#include "scanner/FolderWalk.h"
#include "scanner/ProblemRecorder.h"
#include <objbase.h>
#include <shlobj.h>

namespace {
const int SHORTCUT_CATEGORY = 8;
const int LOAD_RETRIES = 3;
const DWORD LOAD_RETRY_WAIT_MS = 30;

// FALSE when the scan was stopped.
BOOL CollectShortcuts(CScanContext& scan, const CString& strFolder, int nDepth, CStringArray& arrFiles)
{
    if (scan.IsStopped())
        return FALSE;
    CString strFolderPath = strFolder;
    strFolderPath.TrimRight(L'\\');
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW(strFolderPath + L"\\*", &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return TRUE;
    BOOL bGoOn = TRUE;
    do
    {
        if (scan.IsStopped())
        {
            bGoOn = FALSE;
            break;
        }
        CString strName = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (strName == L"." || strName == L".." || nDepth >= FOLDER_WALK_MAX_DEPTH ||
                IsLinkedFolder(strFolderPath, strName, data.dwFileAttributes))
                continue;
            if (!CollectShortcuts(scan, strFolderPath + L"\\" + strName, nDepth + 1, arrFiles))
            {
                bGoOn = FALSE;
                break;
            }
            continue;
        }
        int nDot = strName.ReverseFind(L'.');
        if (nDot >= 0 && strName.Mid(nDot).CompareNoCase(L".lnk") == 0)
            arrFiles.Add(strFolderPath + L"\\" + strName);
    } while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
    return bGoOn;
}

// The raw target of a shortcut; empty when it cannot be read or has no path.
CString ReadShortcutTarget(const CString& strFile)
{
    CString strTarget;
    IShellLinkW* pLink = NULL;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink)))
        return strTarget;
    IPersistFile* pFile = NULL;
    if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, (void**)&pFile)))
    {
        // The desktop's own reader may hold a shortcut for a moment: a file
        // that is there but does not load is tried a few times.
        HRESULT hrLoad = pFile->Load(strFile, STGM_READ);
        WIN32_FILE_ATTRIBUTE_DATA data;
        for (int nAttempt = 0; FAILED(hrLoad) && nAttempt < LOAD_RETRIES &&
                               ::GetFileAttributesExW(strFile, GetFileExInfoStandard, &data) &&
                               (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
             nAttempt++)
        {
            ::Sleep(LOAD_RETRY_WAIT_MS);
            hrLoad = pFile->Load(strFile, STGM_READ);
        }
        if (SUCCEEDED(hrLoad))
        {
            wchar_t szTarget[MAX_PATH] = {};
            if (pLink->GetPath(szTarget, MAX_PATH, NULL, SLGP_RAWPATH) == S_OK)
                strTarget = szTarget;
        }
        pFile->Release();
    }
    pLink->Release();
    return strTarget;
}
}  // namespace

void ScanShortcuts(CScanContext& scan)
{
    if (!BeginCategory(scan, SHORTCUT_CATEGORY))
        return;
    // A folder that is not set is skipped; the others are still walked.
    CStringArray arrFolders, arrFiles;
    GetShortcutScanFolders(arrFolders);
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        if (!CollectShortcuts(scan, arrFolders[i], 0, arrFiles))
            return;
    }
    HRESULT hrCom = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    BOOL bStopped = FALSE;
    for (int i = 0; i < arrFiles.GetSize(); i++)
    {
        if (scan.IsStopped())
        {
            bStopped = TRUE;
            break;
        }
        scan.ShowCurrentItem(arrFiles[i]);
        CString strTarget = ReadShortcutTarget(arrFiles[i]);
        if (strTarget.IsEmpty())
            continue;
        if (!scan.m_pathTest.ShortcutTargetExists(strTarget))
            RecordProblem(scan, SHORTCUT_CATEGORY, NULL, arrFiles[i], FALSE, CString(), CString(), 27);
    }
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
    if (!bStopped)
        EndCategory(scan, SHORTCUT_CATEGORY);
}
