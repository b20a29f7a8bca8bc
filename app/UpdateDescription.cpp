#include "app/UpdateDescription.h"

const WCHAR UPDATE_DESCRIPTION_FILE[] = L"update.ini";

namespace {

CString ReadValue(LPCWSTR pszSection, LPCWSTR pszKey, LPCWSTR pszDefault, int nChars, const CString& strFile)
{
    CString strValue;
    ::GetPrivateProfileStringW(pszSection, pszKey, pszDefault, strValue.GetBuffer(nChars), (DWORD)nChars, strFile);
    strValue.ReleaseBuffer();
    return strValue;
}

} // namespace

CUpdateDescription CUpdateDescription::Read(const CString& strFile)
{
    CUpdateDescription description;
    // The version check has always read its key into a smaller buffer.
    description.strProgramVersion = ReadValue(L"Program", L"Version", L"3.0.0.0", 1024, strFile);
    description.strUpdaterVersion = ReadValue(L"Updater", L"Version", L"1.0.0.0", 2048, strFile);
    description.strPackUrl = ReadValue(L"Updater", L"Pack", L"", 2048, strFile);
    return description;
}
