#include "scanner/CommandLine.h"
#include "services/PathString.h"
#include <shlwapi.h>

namespace {

BOOL IsFolder(const CString& strPath)
{
    CPathString path(strPath);
    DWORD dwAttributes = ::GetFileAttributesW(path);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL ProgramExists(CPathTest& pathTest, const CString& strProgram)
{
    if (IsFolder(strProgram))
        return FALSE;
    if (pathTest.FileExists(strProgram))
        return TRUE;
    return ::PathFindExtensionW(strProgram)[0] == 0 && pathTest.FileExists(strProgram + L".exe");
}

void CutBefore(CString& strText, LPCWSTR pszMark)
{
    int nAt = strText.Find(pszMark);
    if (nAt >= 0)
    {
        strText = strText.Left(nAt);
        strText.TrimRight();
    }
}

void SetProgram(CCommandProgram& result, CPathTest& pathTest, const CString& strProgram)
{
    result.strProgram = strProgram;
    // A placeholder (%1, %L) or an unknown variable cannot be tested.
    if (strProgram.IsEmpty() || strProgram[0] == L'%')
        return;
    result.bTestable = TRUE;
    result.bExists = ProgramExists(pathTest, strProgram);
}

}  // namespace

CCommandProgram FindCommandProgram(const CString& strCommand, CPathTest& pathTest)
{
    CCommandProgram result;
    result.bTestable = FALSE;
    result.bExists = FALSE;
    CString strText = strCommand;
    strText.Trim();
    if (strText.IsEmpty())
        return result;
    if (strText[0] == L'"')
    {
        int nClose = strText.Find(L'"', 1);
        if (nClose < 0)
            return result;
        CPathString program(strText.Mid(1, nClose - 1));
        SetProgram(result, pathTest, program.GetString());
        return result;
    }
    for (int nEnd = 1; nEnd <= strText.GetLength(); nEnd++)
    {
        if (nEnd < strText.GetLength() && strText[nEnd] != L' ')
            continue;
        CString strCandidate = strText.Left(nEnd);
        strCandidate.TrimRight();
        // A prefix with an unresolved reference says nothing about the file.
        if (strCandidate.IsEmpty() || CPathString(strCandidate).GetString().Find(L'%') >= 0)
            continue;
        if (ProgramExists(pathTest, strCandidate))
        {
            result.strProgram = CPathString(strCandidate).GetString();
            result.bTestable = TRUE;
            result.bExists = TRUE;
            return result;
        }
    }
    CString strProgram = CPathString(strText).GetString();
    static const LPCWSTR s_pszCuts[] = {L" -", L" /", L",", L" \"", L"%"};
    if (!strProgram.IsEmpty() && strProgram[0] != L'%')
    {
        for (LPCWSTR pszCut : s_pszCuts)
            CutBefore(strProgram, pszCut);
    }
    SetProgram(result, pathTest, strProgram);
    return result;
}

CString GetWindowsFolder()
{
    wchar_t szFolder[MAX_PATH];
    UINT nLength = ::GetWindowsDirectoryW(szFolder, MAX_PATH);
    CString strFolder = nLength > 0 && nLength < MAX_PATH ? CString(szFolder) : CString(L"C:\\Windows");
    if (strFolder.Right(1) != L"\\")
        strFolder += L"\\";
    return strFolder;
}

CString ResolveSystemRoot(const CString& strPath)
{
    static const LPCWSTR s_pszPrefixes[] = {L"\\SystemRoot\\", L"SystemRoot\\"};
    for (LPCWSTR pszPrefix : s_pszPrefixes)
    {
        int nLength = lstrlenW(pszPrefix);
        if (strPath.GetLength() >= nLength && strPath.Left(nLength).CompareNoCase(pszPrefix) == 0)
            return GetWindowsFolder() + strPath.Mid(nLength);
    }
    return strPath;
}
