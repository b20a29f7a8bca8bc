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

BOOL ProgramExists(CPathTest& pathTest, const CString& strProgram, PathView view)
{
    if (IsFolder(strProgram))
        return FALSE;
    if (pathTest.FileExists(strProgram, view))
        return TRUE;
    return ::PathFindExtensionW(strProgram)[0] == 0 && pathTest.FileExists(strProgram + L".exe", view);
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

// Cuts before the first "%" that does not open a defined reference (%1, %L,
// an unknown variable); defined ones stay for the path test to judge.
void CutBeforePlaceholder(CString& strText)
{
    int nAt = 0;
    for (;;)
    {
        nAt = strText.Find(L'%', nAt);
        if (nAt < 0)
            return;
        int nClose = strText.Find(L'%', nAt + 1);
        CString strName = nClose > nAt + 1 ? strText.Mid(nAt + 1, nClose - nAt - 1) : CString();
        if (strName.IsEmpty() || strName.FindOneOf(L" \\\"") >= 0 || ::GetEnvironmentVariableW(strName, NULL, 0) == 0)
        {
            strText = strText.Left(nAt);
            strText.TrimRight();
            return;
        }
        nAt = nClose + 1;
    }
}

// strProgram is the text as stored; the record shows it expanded.
void SetProgram(CCommandProgram& result, CPathTest& pathTest, const CString& strProgram, PathView view)
{
    result.strProgram = CPathString(strProgram).GetString();
    // A placeholder (%1, %L) or an unknown variable cannot be tested.
    if (result.strProgram.IsEmpty() || result.strProgram[0] == L'%')
        return;
    result.bTestable = TRUE;
    result.bExists = ProgramExists(pathTest, strProgram, view);
}

}  // namespace

CCommandProgram FindCommandProgram(const CString& strCommand, CPathTest& pathTest, PathView view)
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
        SetProgram(result, pathTest, strText.Mid(1, nClose - 1), view);
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
        if (ProgramExists(pathTest, strCandidate, view))
        {
            result.strProgram = CPathString(strCandidate).GetString();
            result.bTestable = TRUE;
            result.bExists = TRUE;
            return result;
        }
    }
    CString strProgram = strText;
    static const LPCWSTR s_pszCuts[] = {L" -", L" /", L",", L" \""};
    for (LPCWSTR pszCut : s_pszCuts)
        CutBefore(strProgram, pszCut);
    CutBeforePlaceholder(strProgram);
    SetProgram(result, pathTest, strProgram, view);
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
