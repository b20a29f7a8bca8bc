#pragma once
// Where a restore may put a shortcut back: only where the shortcut scan can
// have found it, inside the folders it walks, and never through a folder
// link (the scan does not enter one, and a link leads out of those folders).
#include "framework/Afx.h"

enum ShortcutPlace
{
    ShortcutPlaceOk,
    ShortcutPlaceOutside,   // not below a walked folder, or deeper than the walk goes
    ShortcutPlaceLinked     // an existing folder on the way is a link
};

// strPath: a full path that IsRestorableShortcutPath accepted. arrFolders:
// the walked folders (GetShortcutScanFolders); the one that holds the path
// must exist. Folders missing below it may be made again.
ShortcutPlace CheckShortcutPlace(const CString& strPath, const CStringArray& arrFolders);
