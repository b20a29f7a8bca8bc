// Deleting: each trace walked again and what it covers removed, every entry
// reported to the running clean's progress.
#include "privacy/EvidenceEngine.h"
#include "privacy/EvidenceEnvironment.h"
#include "privacy/EvidenceFileRule.h"
#include "privacy/FolderGuard.h"
#include "services/RegTreeDelete.h"
#include "services/ScopedHandle.h"

namespace {

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

BOOL StopRequested(CEvidenceCleanReport* pReport)
{
    return pReport != NULL && pReport->IsStopRequested();
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
    }
    // One call for the key's tree: a stop is seen before it, not inside it.
    // These keys are lists of recent names, not trees of thousands.
    CRegTreeDeleteResult result;
    if (DeleteRegTree(trace.hRootKey, strPath, 0, &result) == ERROR_SUCCESS)
    {
        ReportDeleted(pReport, result.nValuesDeleted > 0 ? result.nValuesDeleted : 1);
        return;
    }
    // What went below a subkey that stayed is reported; the key itself stays.
    if (result.strLeft.CompareNoCase(strPath) != 0 && result.nValuesDeleted > 0)
        ReportDeleted(pReport, result.nValuesDeleted);
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
        if (!IsFolderTraceUsable(m_trace) || Stopped())
            return;
        CString strFolder = m_trace.szPath;
        if (m_trace.nMode == EVIDENCE_MODE_NAME)
        {
            DeleteNamedFile(strFolder);
            return;
        }
        BOOL bEmptied = Walk(strFolder);
        if (!Stopped() && !m_trace.bKeepFolder && ShouldRemove(bEmptied) && !IsKeptTraceFolder(strFolder))
            ::RemoveDirectoryW(strFolder);
    }

private:
    // A stop leaves the rest of the tree as it is, its folders too.
    BOOL Stopped()
    {
        if (!m_bStopped && StopRequested(m_pReport))
            m_bStopped = TRUE;
        return m_bStopped;
    }

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
        } while (!Stopped() && ::FindNextFileW(find, &data));
    }

    // TRUE when something in the tree was deleted.
    BOOL Walk(const CString& strFolder)
    {
        BOOL bDeleted = FALSE;
        WIN32_FIND_DATAW data = {};
        if (Stopped())
            return FALSE;
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
                if (ShouldRemove(bSubDeleted) && !Stopped())
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
        } while (!Stopped() && ::FindNextFileW(find, &data));
        return bDeleted;
    }

    const EvidenceTrace& m_trace;
    CEvidenceCleanReport* m_pReport;
    BOOL m_bStopped = FALSE;
};

} // namespace

void CleanEvidenceTrace(const EvidenceTrace& trace, CEvidenceCleanReport* pReport)
{
    if (StopRequested(pReport))
        return;
    if (trace.IsRegistry())
    {
        DeleteRegistryTrace(trace, pReport);
        return;
    }
    if (trace.bClearUrlHistory && FAILED(EvidenceEnvironment().ClearUrlHistory()))
        ReportUndeleted(pReport);
    CFolderCleaner(trace, pReport).Run();
}
