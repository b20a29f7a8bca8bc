#pragma once
// The walk of a HKEY_CLASSES_ROOT key shared by the File Associations (9)
// and File Extensions (14) categories; the category decides where problems
// go and which empty ShellNew keys take their parent along.
#include "scanner/KeyReader.h"
#include "scanner/ScanContext.h"

// Empties and refills the name lists the two categories look references up
// in, once per scan.
void RebuildClassKeyLists(CScanContext& scan);

// Walks the open key and every key below it. FALSE when the scan was stopped.
BOOL WalkClassKeys(CScanContext& scan, int nCategory, const CKeyReader& key);

// Checks a verb's command key; FALSE when it recorded a problem.
BOOL CheckShellCommand(CScanContext& scan, int nCategory, const CKeyReader& command);

// TRUE when the name is a top-level HKEY_CLASSES_ROOT key (or the list of
// those names could not be read).
BOOL IsKnownClassName(const CString& strName);
