#pragma once
// Delete All of the junk cleaner: the junk delete thread over a copy of the
// rows, under the cleaning progress dialog. Replaceable, so tests can run it
// without the modal dialog.
#include "framework/Afx.h"
#include "privacy/JunkWalk.h"
#include <atomic>
#include <vector>

struct JunkDeleteResult
{
    int nDeleted = 0;
    int nUndeleted = 0;
    std::vector<bool> deleted;  // per row
    // A stop ended the loop: the rows from nDeleted + nUndeleted on were not tried.
    bool bStopped = false;
};

// Deletes every row (the delete thread's loop), reporting each file. The stop
// is asked before each row: once it answers TRUE, the rest are left as they are.
typedef void (*JUNK_DELETE_REPORT_FN)(void* pContext, BOOL bDeleted);
typedef BOOL (*JUNK_DELETE_STOP_FN)(void* pContext);
void DeleteJunkRows(const std::vector<JunkFileRow>& rows, JunkDeleteResult& result,
                    JUNK_DELETE_REPORT_FN pfnReport = NULL, void* pContext = NULL,
                    JUNK_DELETE_STOP_FN pfnStopped = NULL);

class CCleanProgressDlg;
// The same loop as the progress dialog's work: each file reported to it,
// ended when the dialog asks it to stop.
void DeleteJunkRowsWithProgress(CCleanProgressDlg& progress, const std::vector<JunkFileRow>& rows,
                                JunkDeleteResult& result);

// Runs the delete on its own thread under the progress dialog, modally.
typedef JunkDeleteResult (*JUNK_DELETE_ALL_FN)(CWnd* pParent, const std::vector<JunkFileRow>& rows);
JunkDeleteResult RunJunkDeleteAll(CWnd* pParent, const std::vector<JunkFileRow>& rows);
// Returns the function replaced; NULL puts the progress dialog back.
JUNK_DELETE_ALL_FN SetJunkDeleteAllFunction(JUNK_DELETE_ALL_FN pfn);
// The delete under the cleaning progress dialog (the default).
JunkDeleteResult RunJunkDeleteAllWithProgress(CWnd* pParent, const std::vector<JunkFileRow>& rows);
// The delete on its own thread, waited for while pumping, no dialog.
JunkDeleteResult RunJunkDeleteAllPlain(CWnd* pParent, const std::vector<JunkFileRow>& rows);
