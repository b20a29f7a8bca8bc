#include "scanner/CommandLine.h"
#include "scanner/KeyReader.h"
#include "scanner/ScanRoots.h"
#include "scanner/ScanStop.h"
#include "services/PathString.h"
#include <shlwapi.h>

namespace {

enum Found
{
    FOUND_NO,
    FOUND_YES,
    FOUND_UNKNOWN,  // the text cannot be tested (an unresolved reference)
};

BOOL IsFolder(const CString& strPath)
{
    CPathString path(strPath);
    DWORD dwAttributes = ::GetFileAttributesW(path);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL HasNoExtension(const CString& strPath)
{
    return ::PathFindExtensionW(strPath)[0] == 0;
}

// A name without any folder part.
BOOL IsBareName(const CString& strText)
{
    return strText.FindOneOf(L"\\/:") < 0;
}

// The position of the first "%" that does not open a defined reference
// (%1, %L, %*, an unknown variable), or -1.
int FindPlaceholder(const CString& strText)
{
    int nAt = 0;
    for (;;)
    {
        nAt = strText.Find(L'%', nAt);
        if (nAt < 0)
            return -1;
        int nClose = strText.Find(L'%', nAt + 1);
        CString strName = nClose > nAt + 1 ? strText.Mid(nAt + 1, nClose - nAt - 1) : CString();
        if (strName.IsEmpty() || strName.FindOneOf(L" \\\"") >= 0 || ::GetEnvironmentVariableW(strName, NULL, 0) == 0)
            return nAt;
        nAt = nClose + 1;
    }
}

// "\Windows\..." names a path on the drive the system runs from.
CString OnSystemDrive(const CString& strPath)
{
    if (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] != L'\\')
        return GetWindowsFolder().Left(2) + strPath;
    return strPath;
}

// The registry views an entry of the given path view is looked up in.
int ViewsOf(PathView view, REGSAM* pViews)
{
    if (view == PATH_VIEW_32)
    {
        pViews[0] = KEY_WOW64_32KEY;
        return 1;
    }
    if (view == PATH_VIEW_64)
    {
        pViews[0] = KEY_WOW64_64KEY;
        return 1;
    }
    pViews[0] = 0;
    pViews[1] = CKeyReader::OtherView();
    return pViews[1] != 0 ? 2 : 1;
}

// App Paths\strName of the user and of the machine (in the view): found
// when its program is there; unknown when the entry names no program text.
Found FindInAppPaths(const CString& strName, CPathTest& pathTest, PathView view)
{
    REGSAM views[2];
    int nViews = ViewsOf(view, views);
    Found found = FOUND_NO;
    const CString strKey = CString(SCAN_KEY_APP_PATHS) + L"\\" + strName;
    struct Place
    {
        HKEY hRoot;
        REGSAM samView;
    };
    Place places[3] = {{HKEY_CURRENT_USER, 0}};
    int nPlaces = 1;
    for (int i = 0; i < nViews; i++)
        places[nPlaces++] = {HKEY_LOCAL_MACHINE, views[i]};
    for (int i = 0; i < nPlaces; i++)
    {
        CKeyReader entry;
        if (entry.Open(places[i].hRoot, strKey, places[i].samView) != ERROR_SUCCESS)
            continue;
        CString strPath = entry.ReadString(L"", L"ERR");
        if (strPath == L"ERR")
        {
            found = FOUND_UNKNOWN;
            continue;
        }
        if (!strPath.IsEmpty() && !IsFolder(strPath) && pathTest.FileExists(strPath, view))
            return FOUND_YES;
    }
    return found;
}

// One candidate for the program (or a library, with strExtension ".dll"):
// as given, then with the extension the loader adds.
Found FindFile(const CString& strCandidate, CPathTest& pathTest, PathView view, LPCWSTR pszExtension,
               BOOL bAppPaths)
{
    if (strCandidate.IsEmpty())
        return FOUND_NO;
    if (FindPlaceholder(strCandidate) >= 0)
        return FOUND_UNKNOWN;
    // A reference may stand for a whole path ("%ComSpec%").
    const CString strExpanded = CPathString(strCandidate).GetString();
    if (IsBareName(strExpanded))
    {
        Found appPath = FOUND_NO;
        if (bAppPaths)
        {
            appPath = FindInAppPaths(strCandidate, pathTest, view);
            if (appPath == FOUND_NO && HasNoExtension(strCandidate))
                appPath = FindInAppPaths(strCandidate + pszExtension, pathTest, view);
            if (appPath == FOUND_YES)
                return FOUND_YES;
        }
        if (pathTest.FindInSearchPath(strExpanded, view) ||
            (HasNoExtension(strCandidate) && pathTest.FindInSearchPath(strCandidate + pszExtension, view)))
            return FOUND_YES;
        return appPath;
    }
    CString strPath = OnSystemDrive(strCandidate);
    if (!IsFolder(strPath) && pathTest.FileExists(strPath, view))
        return FOUND_YES;
    if (HasNoExtension(strPath) && pathTest.FileExists(strPath + pszExtension, view))
        return FOUND_YES;
    return FOUND_NO;
}

// Characters no file name holds: a prefix with one of them (past the first
// word) is a program and its arguments, never a program alone.
BOOL HoldsArgumentCharacters(const CString& strPrefix)
{
    return strPrefix.FindOneOf(L"\"<>|*?") >= 0 || strPrefix.Find(L':', 2) >= 0;
}

// The text up to its first " -", " /", ",", " \"" or placeholder.
CString CutArguments(const CString& strText)
{
    CString strCut = strText;
    static const LPCWSTR s_pszCuts[] = {L" -", L" /", L",", L" \""};
    for (LPCWSTR pszCut : s_pszCuts)
    {
        int nAt = strCut.Find(pszCut);
        if (nAt >= 0)
            strCut = strCut.Left(nAt);
    }
    int nAt = FindPlaceholder(strCut);
    if (nAt >= 0)
        strCut = strCut.Left(nAt);
    strCut.TrimRight();
    return strCut;
}

// The first part of strText (a program, or rundll32's library) as the
// loader reads it; strRest gets what follows. bCommaEnds: an unquoted part
// also ends at a comma (rundll32's "library,entry").
Found FindLeadingFile(const CString& strText, CPathTest& pathTest, PathView view, LPCWSTR pszExtension,
                      BOOL bAppPaths, BOOL bCommaEnds, CString& strFound, CString& strRest)
{
    strRest.Empty();
    if (strText[0] == L'"')
    {
        int nClose = strText.Find(L'"', 1);
        // An unclosed quote cannot be read.
        if (nClose < 0)
            return FOUND_UNKNOWN;
        strFound = strText.Mid(1, nClose - 1);
        strFound.Trim();
        strRest = strText.Mid(nClose + 1);
        if (strFound.IsEmpty())
            return FOUND_UNKNOWN;
        return FindFile(strFound, pathTest, view, pszExtension, bAppPaths);
    }
    CString strWhole = strText;
    if (bCommaEnds && strWhole.Find(L',') >= 0)
        strWhole = strWhole.Left(strWhole.Find(L','));
    BOOL bTested = FALSE;
    for (int nEnd = 1; nEnd <= strWhole.GetLength(); nEnd++)
    {
        if (nEnd < strWhole.GetLength() && strWhole[nEnd] != L' ')
            continue;
        // Each blank of a long text is a candidate with look-ups of its own;
        // after a stop the text is left untested.
        if (IsThreadScanStopped())
            return FOUND_UNKNOWN;
        CString strCandidate = strWhole.Left(nEnd);
        strCandidate.TrimRight();
        if (strCandidate.IsEmpty() || (bTested && HoldsArgumentCharacters(strCandidate)))
            continue;
        // A placeholder ends every longer prefix too.
        if (FindPlaceholder(strCandidate) >= 0)
        {
            if (!bTested)
                return FOUND_UNKNOWN;
            break;
        }
        Found found = FindFile(strCandidate, pathTest, view, pszExtension, bAppPaths);
        if (found == FOUND_UNKNOWN)
            return FOUND_UNKNOWN;
        bTested = TRUE;
        if (found == FOUND_YES)
        {
            strFound = strCandidate;
            strRest = strText.Mid(nEnd);
            return FOUND_YES;
        }
    }
    if (!bTested)
        return FOUND_UNKNOWN;
    strFound = CutArguments(strWhole);
    return FOUND_NO;
}

BOOL IsRundll32(const CString& strProgram)
{
    CString strName = ::PathFindFileNameW(CPathString(strProgram).GetString());
    return strName.CompareNoCase(L"rundll32") == 0 || strName.CompareNoCase(L"rundll32.exe") == 0;
}

}  // namespace

BOOL BareProgramExists(const CString& strName, CPathTest& pathTest, PathView view)
{
    CString strTrimmed = strName;
    strTrimmed.Trim();
    return FindFile(strTrimmed, pathTest, view, L".exe", TRUE) != FOUND_NO;
}

CCommandProgram FindCommandProgram(const CString& strCommand, CPathTest& pathTest, PathView view)
{
    CCommandProgram result;
    result.bTestable = FALSE;
    result.bExists = FALSE;
    CString strText = strCommand;
    strText.Trim();
    if (strText.IsEmpty())
        return result;
    CString strProgram, strRest;
    Found program = FindLeadingFile(strText, pathTest, view, L".exe", TRUE, FALSE, strProgram, strRest);
    if (program == FOUND_UNKNOWN)
        return result;
    result.strProgram = CPathString(OnSystemDrive(strProgram)).GetString();
    result.bTestable = TRUE;
    result.bExists = program == FOUND_YES;
    if (!result.bExists || !IsRundll32(strProgram))
        return result;
    // rundll32 runs its library: the line works only when that is there.
    strRest.Trim();
    if (strRest.IsEmpty())
        return result;
    CString strLibrary, strEntry;
    Found library = FindLeadingFile(strRest, pathTest, view, L".dll", FALSE, TRUE, strLibrary, strEntry);
    if (library == FOUND_UNKNOWN)
    {
        result.bTestable = FALSE;
        return result;
    }
    result.strLibrary = CPathString(OnSystemDrive(strLibrary)).GetString();
    result.bExists = library == FOUND_YES;
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
