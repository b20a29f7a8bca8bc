#pragma once
// Where a listed file lives: the split of a full path and the files of a folder.
#include "privacy/ShredPlan.h"
#include <string>
#include <vector>

// Splits at the last backslash: the folder keeps it. FALSE when the path has
// no backslash or ends in one.
BOOL SplitShredPath(const std::wstring& strPath, std::wstring& strFolder, std::wstring& strName);

// Every file below a folder, in walk order: no reparse point is entered or
// listed (links to files included) and the current directory stays as it is.
// Ends early, with what it found, when hStop is signalled.
std::vector<ShredItem> CollectShredFolderFiles(const std::wstring& strFolder, HANDLE hStop = NULL);

// The size column: the whole 64-bit size in decimal.
std::wstring FormatShredSize(ULONGLONG ullSize);
