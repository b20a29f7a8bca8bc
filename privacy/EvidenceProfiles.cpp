#include "privacy/EvidenceProfiles.h"
#include "privacy/EvidenceCaseFolders.h"
#include "privacy/FolderGuard.h"

namespace {

// An INI value; FALSE when missing, empty or cut by the buffer.
BOOL ReadIniText(const CString& strFile, LPCWSTR pszSection, LPCWSTR pszKey, CString& strValue)
{
    strValue.Empty();
    const DWORD nSize = MAX_PATH + 1;
    std::vector<wchar_t> buffer(nSize + 1, L'\0');
    DWORD nLength = ::GetPrivateProfileStringW(pszSection, pszKey, L"", buffer.data(), nSize, strFile);
    if (nLength == 0 || nLength >= nSize - 1)
        return FALSE;
    strValue = CString(buffer.data(), (int)nLength);
    return TRUE;
}

} // namespace

BOOL GetMozillaProfileDir(const CString& strProductFolder, CString& strProfileDir)
{
    strProfileDir.Empty();
    CString strValue;
    if (!ReadIniText(strProductFolder + L"profiles.ini", L"Profile0", L"Path", strValue))
        return FALSE;
    int nSlash = strValue.Find(L'/');
    if (nSlash < 0)
        return FALSE;
    CString strDir = strValue.Mid(nSlash + 1);
    // One plain folder name: anything else could lead out of the profiles.
    if (!IsPlainFileName(strDir))
        return FALSE;
    strProfileDir = strDir + L"\\";
    return TRUE;
}

BOOL GetPocoMailPath(int nKind, CString& strFolder)
{
    strFolder.Empty();
    LPCWSTR pszSection = nKind == 1 ? L"Mail" : L"Program";
    LPCWSTR pszKey = nKind == 1 ? L"AttachPath" : nKind == 2 ? L"AddressPath" : nKind == 3 ? L"MailPath" : NULL;
    CString strAppData;
    if (pszKey == NULL || !GetCaseAppData(strAppData))
        return FALSE;
    CString strPocoFolder = strAppData + L"\\PocoMail\\";
    CString strValue;
    if (!ReadIniText(strPocoFolder + L"poco.ini", pszSection, pszKey, strValue))
        return FALSE;
    if (strValue.GetLength() < 2 || strValue[1] != L':')
        strValue = strPocoFolder + strValue;
    return MakeCaseFolder(strValue, strFolder);
}
