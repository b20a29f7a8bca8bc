#include "privacy/EvidenceCaseFolders.h"
#include "privacy/EvidenceEnvironment.h"
#include "privacy/EvidenceProfiles.h"
#include "privacy/FolderGuard.h"
#include "privacy/RegTraceRead.h"
#include <shlobj.h>

BOOL GetCaseAppData(CString& strFolder)
{
    CString strShell;
    if (!GetCaseShellFolder(CSIDL_APPDATA, strShell))
        return FALSE;
    strFolder = strShell.Left(strShell.GetLength() - 1);
    return TRUE;
}

BOOL GetCaseProfile(CString& strFolder)
{
    return GetCaseShellFolder(CSIDL_PROFILE, strFolder);
}

BOOL GetCaseShellFolder(int nCsidl, CString& strFolder)
{
    strFolder.Empty();
    CString strShell;
    if (!EvidenceEnvironment().GetShellFolder(nCsidl, strShell))
        return FALSE;
    return MakeCaseFolder(strShell, strFolder);
}

BOOL GetCaseMozillaFolder(LPCWSTR pszProduct, CString& strFolder)
{
    strFolder.Empty();
    CString strAppData, strProfileDir;
    if (!GetCaseAppData(strAppData) || !GetMozillaProfileDir(strAppData + pszProduct, strProfileDir))
        return FALSE;
    strFolder = strAppData + pszProduct + L"Profiles\\" + strProfileDir;
    return TRUE;
}

BOOL GetCaseRegistryFolder(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strFolder)
{
    strFolder.Empty();
    CString strText;
    if (!ReadRegString(hRoot, pszPath, pszValueName, strText))
        return FALSE;
    return MakeCaseFolder(strText, strFolder);
}

BOOL MakeCaseFolder(const CString& strText, CString& strFolder)
{
    // strText may be strFolder itself.
    CString strTrimmed = strText;
    strFolder.Empty();
    strTrimmed.TrimRight(L'\\');
    if (strTrimmed.IsEmpty())
        return FALSE;
    strTrimmed += L"\\";
    // "C:" or "C:\" would make every case below it a walk of the whole drive.
    if (!IsAbsoluteTraceFolder(strTrimmed) || IsRootTraceFolder(strTrimmed))
        return FALSE;
    strFolder = strTrimmed;
    return TRUE;
}
