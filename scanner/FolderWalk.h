#pragma once
// Walks of the user's shell folders, which under Wine can be links into the
// host's file system (the Desktop into $HOME, Z: to "/").
#include "framework/Afx.h"

// Deepest folder level below a start folder that a walk enters.
#define FOLDER_WALK_MAX_DEPTH 32

// A Shell Folders value of HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; empty
// when the key or the value is missing.
CString ReadShellFolder(HKEY hRoot, LPCWSTR pszName);
// The folders the shortcut scan walks, in its order, without a trailing
// backslash; a folder that is not set is left out. The Startup folders lie
// inside the Programs folders and are walked with them.
void GetShortcutScanFolders(CStringArray& arrFolders);
// TRUE when strFolder\strName is a reparse point or resolves elsewhere than
// below strFolder (a linked folder).
BOOL IsLinkedFolder(const CString& strFolder, const CString& strName, DWORD dwAttributes);
