#pragma once
// The one copy of the Internet Explorer favorites kept in the program folder:
// a new copy replaces the old one only when it is complete, and nothing is
// copied from or to a favorites folder that cannot be found.
#include "framework/Afx.h"

class CFavoritesBackup
{
public:
    enum Result
    {
        ResultOk,
        ResultNoFavorites,   // the favorites folder is not known or not there
        ResultNoBackup,      // nothing to restore
        ResultCopyFailed,    // a file did not copy; a backup stays as it was
        ResultSwapFailed,    // the complete copy could not take the old one's place
    };

    // strBackupDir: the backup folder with its trailing backslash.
    explicit CFavoritesBackup(const CString& strBackupDir);

    // "Favorites" of the current user's Shell Folders, with a trailing
    // backslash; empty when the value is missing or names no folder.
    static CString GetFavoritesFolder();

    // Copies the favorites into a new folder beside the backup and swaps it in.
    Result Backup(const CString& strFavorites);
    // Copies the backup over the favorites (files of the same name are replaced).
    Result Restore(const CString& strFavorites);

    // The text of the last failure.
    CString m_strError;

private:
    CString m_strBackupDir;
};
