#pragma once
// The archives of one backup folder and the two-column list that shows them,
// newest first. The automatic and the full backup pages share one array of
// paths in the application object; each rebuilds it when shown and acts only
// on paths inside its own folder.
#include "framework/Afx.h"
#include "framework/Controls.h"

// Appends the full path of every file directly in the folder whose last
// extension is ".zip" in any case, in ascending name order.
void FindBackups(const CString& strFolder, CStringArray& arrFiles);

// Name column of a row: the file name without its last four characters.
CString BackupRowName(const CString& strPath);

// The columns "Name" and "Date and Time" and the list styles of both pages.
void SetupBackupList(CListCtrl& list);

// Empties array and list, then lists the folder: row i shows element n - 1 - i.
// An absent folder leaves both empty.
void FillBackupList(CListCtrl& list, CStringArray& arrFiles, const CString& strFolder);

// TRUE when the path names a file directly inside the folder (which ends in '\').
BOOL IsPathInFolder(const CString& strPath, const CString& strFolder);

// The array element of the selected row when it lies in the folder: its index,
// or -1 (no selection, a row without element, a path of another folder).
int SelectedBackupIndex(CListCtrl& list, const CStringArray& arrFiles, const CString& strFolder);

// Remove of both pages: asks, deletes the selected archive and drops its row
// and element. A file that will not go keeps both and is reported.
void RemoveSelectedBackup(CListCtrl& list, CStringArray& arrFiles, const CString& strFolder);
