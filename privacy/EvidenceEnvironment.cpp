#include "privacy/EvidenceEnvironment.h"
#include <shlobj.h>
#include <urlhist.h>

namespace {

// The URL history object and its second storage interface, by their ids.
const CLSID kClsidUrlHistory = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kIidUrlHistoryStg2 = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

CEvidenceEnvironment s_machine;
CEvidenceEnvironment* s_pCurrent = &s_machine;

void TrimTrailingBackslashes(CString& strFolder)
{
    // "C:\" keeps its backslash only through the caller; the cases add their own.
    while (strFolder.GetLength() > 0 && strFolder[strFolder.GetLength() - 1] == L'\\')
        strFolder = strFolder.Left(strFolder.GetLength() - 1);
}

} // namespace

BOOL CEvidenceEnvironment::GetShellFolder(int nCsidl, CString& strFolder)
{
    strFolder.Empty();
    wchar_t szPath[MAX_PATH + 1] = {};
    // The buffer may hold anything after a failure: only S_OK counts.
    HRESULT hr = ::SHGetFolderPathW(NULL, nCsidl, NULL, SHGFP_TYPE_CURRENT, szPath);
    if (hr != S_OK)
        return FALSE;
    szPath[MAX_PATH] = L'\0';
    strFolder = szPath;
    TrimTrailingBackslashes(strFolder);
    return !strFolder.IsEmpty();
}

BOOL CEvidenceEnvironment::GetTempFolder(CString& strFolder)
{
    strFolder.Empty();
    const DWORD nSize = 1024;
    std::vector<wchar_t> buffer(nSize + 1, L'\0');
    DWORD nLength = ::GetEnvironmentVariableW(L"TEMP", buffer.data(), nSize);
    if (nLength == 0 || nLength >= nSize)
        return FALSE;
    strFolder = CString(buffer.data(), (int)nLength);
    TrimTrailingBackslashes(strFolder);
    return !strFolder.IsEmpty();
}

BOOL CEvidenceEnvironment::GetWindowsFolder(CString& strFolder)
{
    strFolder.Empty();
    wchar_t szPath[MAX_PATH + 1] = {};
    UINT nLength = ::GetWindowsDirectoryW(szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return FALSE;
    strFolder = CString(szPath, (int)nLength);
    TrimTrailingBackslashes(strFolder);
    return !strFolder.IsEmpty();
}

void CEvidenceEnvironment::GetFixedDriveRoots(CStringArray& arrRoots)
{
    arrRoots.RemoveAll();
    const DWORD nSize = 1024;
    std::vector<wchar_t> buffer(nSize + 2, L'\0');
    DWORD nLength = ::GetLogicalDriveStringsW(nSize, buffer.data());
    if (nLength == 0 || nLength > nSize)
        return;
    for (const wchar_t* pszRoot = buffer.data(); *pszRoot != L'\0'; pszRoot += wcslen(pszRoot) + 1)
    {
        if (::GetDriveTypeW(pszRoot) == DRIVE_FIXED)
            arrRoots.Add(pszRoot);
    }
}

HRESULT CEvidenceEnvironment::ClearUrlHistory()
{
    // COM is ended here only when this call started it.
    HRESULT hrInit = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (FAILED(hrInit) && hrInit != RPC_E_CHANGED_MODE)
        return hrInit;
    IUrlHistoryStg2* pHistory = NULL;
    HRESULT hr = ::CoCreateInstance(kClsidUrlHistory, NULL, CLSCTX_INPROC_SERVER, kIidUrlHistoryStg2, (void**)&pHistory);
    if (SUCCEEDED(hr) && pHistory != NULL)
    {
        hr = pHistory->ClearHistory();
        pHistory->Release();
    }
    else if (SUCCEEDED(hr))
        hr = E_NOINTERFACE;
    if (SUCCEEDED(hrInit))
        ::CoUninitialize();
    return hr;
}

CEvidenceEnvironment& EvidenceEnvironment()
{
    return *s_pCurrent;
}

void SetEvidenceEnvironment(CEvidenceEnvironment* pEnvironment)
{
    s_pCurrent = pEnvironment != NULL ? pEnvironment : &s_machine;
}
