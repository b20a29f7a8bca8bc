#pragma once
// The repair of the chosen problems and the scan statistics it leaves in
// Settings.ini. Only what the automatic backup holds is ever removed.
#include "app/TamselApp.h"
#include <atomic>

class CAutoBackup;

// Backup and repair walk the registry categories first, the shortcut
// category (8) last.
extern const int g_nRepairWalkOrder[TAMSEL_CATEGORY_COUNT];
const int SHORTCUT_CATEGORY = 8;

// The found and repair lists of a category number 1 to 15.
CArray<CRegProblem>& FoundListOf(CTamselApp* pApp, int nCategory);
CArray<CRegProblem>& RepairListOf(CTamselApp* pApp, int nCategory);

// The hive of a registry record when the record can be trusted: the text
// before the first backslash of m_strKeyPath is one of the four full hive
// names (any case), m_strKey is not empty, and hive + "\" + m_strKey is
// m_strKeyPath (any case). strCanonical gets that path with the hive's
// upper-case name. NULL otherwise.
HKEY TrustedRecordHive(const CRegProblem& problem, CString& strCanonical);

// Where the backup and the repair find a trusted record's key: the hive,
// the path (hive name first, as TrustedRecordHive gives it) and the view flag
// to open that path with: 0 for the own view, else the record's
// KEY_WOW64_32KEY or KEY_WOW64_64KEY; for a value of a key that is a link to
// the other view's key, the view where that key is (ViewOfLinkedKey of
// services/RegistryLink.h). NULL for a record whose view flag is anything
// else.
HKEY RecordKeyLocation(const CRegProblem& problem, CString& strCanonical, REGSAM& samView);

// Where the repair's lines go: a log line and a status line, written from
// the worker. Implementations must be safe to call from any thread.
class CRepairLog
{
public:
    virtual ~CRepairLog() {}
    virtual void AddLine(const CString& strLog, const CString& strStatus) = 0;
    void AddLine(const CString& strLine) { AddLine(strLine, strLine); }
};

// Deletes what the repair lists name and what the backup covers; per
// category (index category - 1), nCleaned gets the records this run removed.
// *pbStop is asked before each record: once set, the record under way is
// finished and no later one is touched. FALSE when it ended on the stop.
BOOL RepairSelectedProblems(CTamselApp* pApp, const CAutoBackup& backup, CRepairLog& log,
                            int nCleaned[TAMSEL_CATEGORY_COUNT], const std::atomic<bool>* pbStop = NULL);

// After a repair ran: takes the stamp and the counts into the application
// object and writes section "ScanLog" of Settings.ini. FALSE when a write failed.
BOOL WriteScanStatistics(CTamselApp* pApp, const CString& strStamp, const int nErrors[TAMSEL_CATEGORY_COUNT],
                         const int nCleaned[TAMSEL_CATEGORY_COUNT]);
