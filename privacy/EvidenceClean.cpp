// Deleting: each trace walked again and what it covers removed, every entry
// reported to the running clean's progress.
#include "privacy/EvidenceEngine.h"
#include "privacy/EvidenceEnvironment.h"
#include "privacy/EvidenceFileRule.h"
#include "privacy/FolderGuard.h"
#include "services/ScopedHandle.h"

namespace {

const DWORD kMaxKeyName = 255;
// A key that keeps coming back at index 0 must not hold the clean for ever.
const int kMaxSubKeys = 1000000;

void ReportDeleted(CEvidenceCleanReport* pReport, int nCount)
{
    if (pReport != NULL)
        pReport->AddDeleted(nCount);
}

void ReportUndeleted(CEvidenceCleanReport* pReport)
{
    if (pReport != NULL)
        pReport->AddUndeleted();
}

void ReportScheduled(CEvidenceCleanReport* pReport)
{
    if (pReport != NULL)
        pReport->AddScheduled();
}

int CountValues(HKEY hKey)
{
    DWORD nValues = 0;
    if (::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &nValues, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
        return 0;
    return (int)nValues;
}

// Deletes every subkey of the open key, deepest first, always taking index 0
// anew. Adds the values that went with them; FALSE at the first subkey that
// stays (it and the key are left).
BOOL DeleteSubKeys(HKEY hKey, int& nValues)
{
    std::vector<wchar_t> name(kMaxKeyName + 1, L'\0');
    for (int nRound = 0; nRound < kMaxSubKeys; ++nRound)
    {
        DWORD nLength = (DWORD)name.size();
        LONG nResult = ::RegEnumKeyExW(hKey, 0, name.data(), &nLength, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_NO_MORE_ITEMS)
            return TRUE;
        if (nResult != ERROR_SUCCESS)
            return FALSE;
        CString strName(name.data(), (int)nLength);
        int nOwnValues = 0, nBelowValues = 0;
        {
            CRegKeyHandle child;
            if (::RegOpenKeyExW(hKey, strName, 0, KEY_READ | KEY_SET_VALUE | DELETE, child.Receive()) != ERROR_SUCCESS)
                return FALSE;
            nOwnValues = CountValues(child);
            BOOL bBelowGone = DeleteSubKeys(child, nBelowValues);
            // What went below counts even when this key stays.
            nValues += nBelowValues;
            if (!bBelowGone)
                return FALSE;
        }
        if (::RegDeleteKeyW(hKey, strName) != ERROR_SUCCESS)
            return FALSE;
        nValues += nOwnValues;
    }
    return FALSE;
}

// At least three parts: "Software\Vendor\Program"; less could be a vendor's
// or the whole software key.
BOOL IsDeepEnoughKey(const CString& strPath)
{
    if (strPath.IsEmpty() || strPath[0] == L'\\' || strPath[strPath.GetLength() - 1] == L'\\' ||
        strPath.Find(L"\\\\") >= 0)
        return FALSE;
    int nParts = 1;
    for (int i = 0; i < strPath.GetLength(); ++i)
        if (strPath[i] == L'\\')
            ++nParts;
    return nParts >= 3;
}

void DeleteWholeKey(const EvidenceTrace& trace, CEvidenceCleanReport* pReport)
{
    CString strPath = trace.szPath;
    if (!IsDeepEnoughKey(strPath))
        return;
    int nValues = 0;
    BOOL bSubKeysGone = FALSE;
    {
        CRegKeyHandle key;
        LONG nOpen = ::RegOpenKeyExW(trace.hRootKey, strPath, 0, KEY_READ | KEY_SET_VALUE | DELETE, key.Receive());
        if (nOpen != ERROR_SUCCESS)
        {
            // A key that is there but may not be changed is a failure; a gone one is not.
            if (nOpen != ERROR_FILE_NOT_FOUND)
                ReportUndeleted(pReport);
            return;
        }
        nValues = CountValues(key);
        int nSubKeyValues = 0;
        bSubKeysGone = DeleteSubKeys(key, nSubKeyValues);
        if (!bSubKeysGone)
        {
            // What did go is reported; the key itself stays.
            if (nSubKeyValues > 0)
                ReportDeleted(pReport, nSubKeyValues);
            ReportUndeleted(pReport);
            return;
        }
        nValues += nSubKeyValues;
    }
    if (::RegDeleteKeyW(trace.hRootKey, strPath) == ERROR_SUCCESS)
        ReportDeleted(pReport, nValues > 0 ? nValues : 1);
    else
        ReportUndeleted(pReport);
}

BOOL KeyHoldsValue(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszName)
{
    CRegKeyHandle key;
    return ::RegOpenKeyExW(hRoot, pszPath, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS &&
           ::RegQueryValueExW(key, pszName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
}

void DeleteValue(const EvidenceTrace& trace, CEvidenceCleanReport* pReport)
{
    CRegKeyHandle key;
    LONG nOpen = ::RegOpenKeyExW(trace.hRootKey, trace.szPath, 0, KEY_READ | KEY_SET_VALUE, key.Receive());
    if (nOpen != ERROR_SUCCESS)
    {
        if (nOpen != ERROR_FILE_NOT_FOUND && KeyHoldsValue(trace.hRootKey, trace.szPath, trace.szName))
            ReportUndeleted(pReport);
        return;
    }
    LONG nResult = ::RegDeleteValueW(key, trace.szName);
    if (nResult == ERROR_SUCCESS)
        ReportDeleted(pReport, 1);
    else if (nResult != ERROR_FILE_NOT_FOUND)
        ReportUndeleted(pReport);
}

void DeleteRegistryTrace(const EvidenceTrace& trace, CEvidenceCleanReport* pReport)
{
    // Only the predefined roots: any other names nothing to delete.
    if (EvidenceRootName(trace.hRootKey).IsEmpty())
        return;
    if (trace.IsWholeKey())
        DeleteWholeKey(trace, pReport);
    else
        DeleteValue(trace, pReport);
}

void DeleteOneFile(const CString& strPath, CEvidenceCleanReport* pReport)
{
    if (::DeleteFileW(strPath))
    {
        ReportDeleted(pReport, 1);
        return;
    }
    // Gone since the walk found it: nothing to delete, nothing failed.
    DWORD dwError = ::GetLastError();
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
        return;
    // Held open now: it goes at the next start of Windows, when that may be
    // asked (it takes the right to write the machine's settings).
    if (::MoveFileExW(strPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        ReportScheduled(pReport);
    else
        ReportUndeleted(pReport);
}

class CFolderCleaner
{
public:
    CFolderCleaner(const EvidenceTrace& trace, CEvidenceCleanReport* pReport) : m_trace(trace), m_pReport(pReport) {}

    void Run()
    {
        if (!IsFolderTraceUsable(m_trace))
            return;
        CString strFolder = m_trace.szPath;
        if (m_trace.nMode == EVIDENCE_MODE_NAME)
        {
            DeleteNamedFile(strFolder);
            return;
        }
        BOOL bEmptied = Walk(strFolder);
        if (!m_trace.bKeepFolder && ShouldRemove(bEmptied) && !IsKeptTraceFolder(strFolder))
            ::RemoveDirectoryW(strFolder);
    }

private:
    // An every-file trace covers its whole tree, empty folders too; other
    // rules only the folders they emptied.
    BOOL ShouldRemove(BOOL bEmptied) const
    {
        return m_trace.nMode == EVIDENCE_MODE_EVERY_FILE || bEmptied;
    }

    void DeleteNamedFile(const CString& strFolder)
    {
        WIN32_FIND_DATAW data = {};
        CFindHandle find(::FindFirstFileW(strFolder + m_trace.szName, &data));
        if (!find.IsValid())
            return;
        do
        {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsReparseEntry(data.dwFileAttributes) ||
                !EvidenceFileMatches(m_trace, data.cFileName))
                continue;
            if (m_trace.bNeverDelete)
                ReportUndeleted(m_pReport);
            else
                DeleteOneFile(strFolder + data.cFileName, m_pReport);
        } while (::FindNextFileW(find, &data));
    }

    // TRUE when something in the tree was deleted.
    BOOL Walk(const CString& strFolder)
    {
        BOOL bDeleted = FALSE;
        WIN32_FIND_DATAW data = {};
        CFindHandle find(::FindFirstFileW(strFolder + L"*.*", &data));
        if (!find.IsValid())
            return FALSE;
        do
        {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
                continue;
            if (IsReparseEntry(data.dwFileAttributes))
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            {
                CString strSub = strFolder + data.cFileName + L"\\";
                BOOL bSubDeleted = Walk(strSub);
                bDeleted = bDeleted || bSubDeleted;
                // Fails while anything is left in it, as it should.
                if (ShouldRemove(bSubDeleted))
                    ::RemoveDirectoryW(strSub);
            }
            else if (EvidenceFileMatches(m_trace, data.cFileName))
            {
                if (m_trace.bNeverDelete)
                    ReportUndeleted(m_pReport);
                else
                {
                    DeleteOneFile(strFolder + data.cFileName, m_pReport);
                    bDeleted = TRUE;
                }
            }
        } while (::FindNextFileW(find, &data));
        return bDeleted;
    }

    const EvidenceTrace& m_trace;
    CEvidenceCleanReport* m_pReport;
};

} // namespace

void CleanEvidenceTrace(const EvidenceTrace& trace, CEvidenceCleanReport* pReport)
{
    if (trace.IsRegistry())
    {
        DeleteRegistryTrace(trace, pReport);
        return;
    }
    if (trace.bClearUrlHistory && FAILED(EvidenceEnvironment().ClearUrlHistory()))
        ReportUndeleted(pReport);
    CFolderCleaner(trace, pReport).Run();
}
