#pragma once
// The one copy of the Internet Explorer favorites kept in the program folder:
// a new copy replaces the old one only when it is complete, and nothing is
// copied from or to a favorites folder that cannot be found. Paths past
// MAX_PATH are copied; what no path can reach is left out and named.
#include "framework/Afx.h"
#include <atomic>
#include <vector>

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
        ResultStopped,       // stopped on request; a backup stays as it was
    };

    // strBackupDir: the backup folder with its trailing backslash.
    explicit CFavoritesBackup(const CString& strBackupDir);
    virtual ~CFavoritesBackup() {}

    // "Favorites" of the current user's Shell Folders, with a trailing
    // backslash; empty when the value is missing or names no folder.
    static CString GetFavoritesFolder();

    // Copies the favorites into a new folder beside the backup and swaps it in.
    // A stopped copy is left where it is for the next run to clear: removing
    // a deep tree costs about as long as copying it did.
    Result Backup(const CString& strFavorites);
    // What a stopped or cut-off run left beside the backup: the new copy
    // (Favorites.new), and Favorites.old when the backup is in its place.
    // Polls the stop flag; FALSE when stopped or when the new copy could not
    // be removed (m_strError tells why).
    BOOL RemoveLeftovers();
    // A swap cut off between its two renames leaves the earlier backup beside
    // the place of the backup: it is put back there.
    void RecoverInterruptedSwap();
    // Whether there is a backup: in its place, or left beside it by a swap
    // cut off and not yet put back.
    BOOL HasBackup() const;
    // Copies the backup over the favorites (files of the same name are
    // replaced, nothing is deleted); a stop leaves each favorite either as it
    // was or as the backup has it.
    Result Restore(const CString& strFavorites);

    // One row of the tree that shows a backup: its parent's index in the
    // list (-1 for the top), its name, folder or file.
    struct TreeRow
    {
        int nParent;
        CString strName;
        BOOL bFolder;
    };
    // The backup's folders and files in walk order, parents before their
    // children; .ini files are left out, linked folders are not entered.
    // FALSE when stopped.
    BOOL ListTree(std::vector<TreeRow>& rows) const;

    // Polled per folder and per file by the copies, the removals and the
    // listing: a job from another thread can be stopped at any point.
    void SetStopFlag(const std::atomic<bool>* pbStop) { m_pbStop = pbStop; }

    // The text of the last failure.
    CString m_strError;
    // Links met by the last Backup or Restore, left out: a linked folder or
    // file of the source, or a linked folder or file of the target that a
    // copy would have written through. Full paths.
    CStringArray m_arrLeftOut;
    // Folders and files left out by the last Backup or Restore because their
    // path, where they are or where the copy goes, is longer than the system
    // can open; a folder with everything in it. Full paths where they are.
    CStringArray m_arrTooLong;

protected:
    // Virtual so that a test can stop a copy at a chosen poll.
    virtual BOOL IsStopped() const { return m_pbStop != NULL && m_pbStop->load(); }

private:
    // Every file below the source to its place below the target, never
    // through a link (see m_arrLeftOut), past what is too long to reach (see
    // m_arrTooLong); stops early only when asked to.
    Result CopyTree(const CString& strSource, const CString& strTarget);
    // A failure on strPath (in the "\\?\" form) of the entry strEntry: a path
    // too long is left out, anything else fails the copy (the first is told).
    void NoteFailure(const CString& strPath, const CString& strEntry, DWORD dwError, Result& result);
    BOOL ListFolder(const CString& strFolder, int nParent, int nDepth, std::vector<TreeRow>& rows) const;

    CString m_strBackupDir;
    const std::atomic<bool>* m_pbStop = NULL;
};
