#include "privacy/JunkDeleteAll.h"
#include "privacy/CleanProgressDlg.h"

namespace {

JUNK_DELETE_ALL_FN g_pfnDeleteAll = NULL;

struct CDeleteJob
{
    const std::vector<JunkFileRow>* pRows;
    JunkDeleteResult* pResult;
};

UINT __cdecl JunkDeleteThreadProc(LPVOID pParam)
{
    CDeleteJob* pJob = static_cast<CDeleteJob*>(pParam);
    DeleteJunkRows(*pJob->pRows, *pJob->pResult);
    return 0;
}

} // namespace

void DeleteJunkRows(const std::vector<JunkFileRow>& rows, JunkDeleteResult& result, JUNK_DELETE_REPORT_FN pfnReport,
                    void* pContext, JUNK_DELETE_STOP_FN pfnStopped)
{
    result.deleted.assign(rows.size(), false);
    result.bStopped = false;
    for (size_t i = 0; i < rows.size(); i++)
    {
        if (pfnStopped != NULL && pfnStopped(pContext))
        {
            result.bStopped = true;
            break;
        }
        BOOL bDeleted = DeleteJunkFile(rows[i].strFolder, rows[i].strName);
        result.deleted[i] = bDeleted != FALSE;
        if (bDeleted)
            result.nDeleted++;
        else
            result.nUndeleted++;
        if (pfnReport != NULL)
            pfnReport(pContext, bDeleted);
    }
}

JunkDeleteResult RunJunkDeleteAllPlain(CWnd*, const std::vector<JunkFileRow>& rows)
{
    JunkDeleteResult result;
    CDeleteJob job = {&rows, &result};
    HANDLE hThread = AfxBeginWorker(JunkDeleteThreadProc, &job);
    if (hThread == NULL)
    {
        // No thread: nothing deleted, everything counted as left.
        result.deleted.assign(rows.size(), false);
        result.nUndeleted = (int)rows.size();
        return result;
    }
    // The job lives on this stack: wait for the thread whatever it takes.
    AfxWaitForObjectPumping(hThread, INFINITE);
    ::CloseHandle(hThread);
    return result;
}

namespace {
void ReportToProgress(void* pContext, BOOL bDeleted)
{
    CCleanProgressDlg* pProgress = static_cast<CCleanProgressDlg*>(pContext);
    if (bDeleted)
        pProgress->AddDeleted(0);
    else
        pProgress->AddUndeleted();
}

BOOL ProgressStopped(void* pContext)
{
    return static_cast<CCleanProgressDlg*>(pContext)->IsStopRequested();
}
} // namespace

void DeleteJunkRowsWithProgress(CCleanProgressDlg& progress, const std::vector<JunkFileRow>& rows,
                                JunkDeleteResult& result)
{
    DeleteJunkRows(rows, result, ReportToProgress, &progress, ProgressStopped);
}

JunkDeleteResult RunJunkDeleteAllWithProgress(CWnd* pParent, const std::vector<JunkFileRow>& rows)
{
    JunkDeleteResult result;
    // The dialog runs the work on its own thread and waits for it before it
    // goes; closed from outside, it stops the work at the next row.
    CCleanProgressDlg dlg((int)rows.size(), [&rows, &result](CCleanProgressDlg& progress) {
        DeleteJunkRowsWithProgress(progress, rows, result);
    }, pParent);
    dlg.DoModal();
    return result;
}

JunkDeleteResult RunJunkDeleteAll(CWnd* pParent, const std::vector<JunkFileRow>& rows)
{
    return g_pfnDeleteAll != NULL ? g_pfnDeleteAll(pParent, rows) : RunJunkDeleteAllWithProgress(pParent, rows);
}

JUNK_DELETE_ALL_FN SetJunkDeleteAllFunction(JUNK_DELETE_ALL_FN pfn)
{
    JUNK_DELETE_ALL_FN pfnOld = g_pfnDeleteAll;
    g_pfnDeleteAll = pfn;
    return pfnOld;
}
