#pragma once
// What every category scanner does the same way: start and end its row,
// record a problem (ignore test, repair access, problem list, result row,
// counters) and build the row's markup.
#include "scanner/ScanContext.h"

// Scanning picture and count "0" on the category's row, counter reset; FALSE
// (and nothing shown) when the scan is stopped.
BOOL BeginCategory(CScanContext& scan, int nCategory);
// The row's finish picture (problems found or not); nothing after a stop.
void EndCategory(CScanContext& scan, int nCategory);

// One problem as a scanner found it. The data is what the ignore test and
// the record both use ("ERR", an unreadable value, is recorded as empty).
struct CFoundProblem
{
    HKEY hRoot;              // NULL for a file problem
    CString strKey;          // below the hive; a file problem's path
    BOOL bValue;             // 1: the value is the problem; 0: the whole key (or file)
    CString strValueName;
    CString strData;
    CString strDescription;
    int nKind;
    REGSAM samView;          // the registry view of the key when not the own one

    CFoundProblem() : hRoot(NULL), bValue(FALSE), nKind(1), samView(0) {}
};

// Records the problem in category nCategory unless the scan was stopped, the
// ignore list holds it or its key cannot be opened with the access its repair
// needs (then the scan remembers that some were left out). TRUE when recorded.
BOOL RecordProblem(CScanContext& scan, int nCategory, const CFoundProblem& found);

// The same with the fields given one by one; the description is
// REGISTRY_ERROR_<nDescription>.
BOOL RecordProblem(CScanContext& scan, int nCategory, HKEY hRoot, const CString& strKey, BOOL bValue,
                   const CString& strValueName, const CString& strData, int nDescription, int nKind = 1,
                   REGSAM samView = 0);

// '&', '<' and '>' as entities, so a registry text cannot open a tag.
CString EscapeRowText(const CString& strText);
// The row markup of a problem.
CString BuildRowText(const CRegProblem& problem);
