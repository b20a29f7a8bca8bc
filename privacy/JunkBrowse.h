#pragma once
// The modal shell dialogs of the junk cleaner and the shredder, behind
// replaceable functions: tests answer them with paths.
#include "framework/Afx.h"
#include <string>
#include <vector>

// A file-system folder (no trailing backslash needed); FALSE when cancelled.
typedef BOOL (*PRIVACY_BROWSE_FOLDER_FN)(HWND hOwner, LPCWSTR lpszTitle, CString& strFolder);
// Full paths of the chosen files; FALSE when cancelled.
typedef BOOL (*PRIVACY_OPEN_FILES_FN)(HWND hOwner, std::vector<std::wstring>& paths);

BOOL PrivacyBrowseForFolder(HWND hOwner, LPCWSTR lpszTitle, CString& strFolder);
BOOL PrivacyOpenFiles(HWND hOwner, std::vector<std::wstring>& paths);
// Each returns the function replaced; NULL puts the shell's dialog back.
PRIVACY_BROWSE_FOLDER_FN SetPrivacyBrowseFolderFunction(PRIVACY_BROWSE_FOLDER_FN pfn);
PRIVACY_OPEN_FILES_FN SetPrivacyOpenFilesFunction(PRIVACY_OPEN_FILES_FN pfn);
