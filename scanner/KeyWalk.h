#pragma once
// The walks the category scanners share: over the entries (subkeys) of a key
// and over its values, with the stop test before each item and each item
// shown as the one under examination.
#include "scanner/KeyReader.h"
#include "scanner/ScanContext.h"
#include <functional>

// Checks one entry; FALSE when the scan was stopped inside it.
typedef std::function<BOOL(const CKeyReader& entry, const CString& strName)> EntryCheckProc;

// Opens each named child of the open key base (shown with its hive's name)
// and hands it to fnCheck; names that do not open are passed over. FALSE
// when the scan was stopped; TRUE also when base is not open.
BOOL WalkEntries(CScanContext& scan, const CKeyReader& base, const CStringArray& arrNames,
                 const EntryCheckProc& fnCheck);
// The same for every subkey of base.
BOOL WalkEntries(CScanContext& scan, const CKeyReader& base, const EntryCheckProc& fnCheck);

// The subkeys of hRoot\pszPath in the process's own registry view, then in
// the other view where that keeps a key of its own: 32-bit and 64-bit
// programs each register in their own view. fnCheck gets the view in which
// the entry's paths are meant. FALSE when the scan was stopped.
BOOL WalkEntriesOfBothViews(CScanContext& scan, HKEY hRoot, LPCWSTR pszPath,
                            const std::function<void(const CKeyReader& entry, PathView view)>& fnCheck);

// Each value of type dwType of the open key, its name shown; the default
// value is left out when bNamedOnly. FALSE when the scan was stopped.
BOOL WalkValuesOfType(CScanContext& scan, const CKeyReader& key, DWORD dwType, BOOL bNamedOnly,
                      const std::function<void(const CString& strName)>& fnCheck);
// Each named REG_SZ value of the open key whose text can be read.
BOOL WalkTextValues(CScanContext& scan, const CKeyReader& key,
                    const std::function<void(const CString& strName, const CString& strText)>& fnCheck);
