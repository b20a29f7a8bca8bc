#pragma once
// A folder that one restore creates for the files it unpacks, under a name no
// file or folder had before, and removes again. Nothing else is ever deleted
// through it, whatever the archive is called, but the work folders of
// earlier restores that a stop or a crash left below the same parent.
#include "framework/Afx.h"

#include <atomic>

class CRestoreWorkFolder
{
public:
    CRestoreWorkFolder() {}
    ~CRestoreWorkFolder();
    CRestoreWorkFolder(const CRestoreWorkFolder&) = delete;
    CRestoreWorkFolder& operator=(const CRestoreWorkFolder&) = delete;

    // Polled per file and folder by Remove and by the clearing in Create:
    // once set, they leave the rest where it is, for the next Create below
    // the same parent to clear. NULL polls nothing.
    void SetStopFlag(const std::atomic<bool>* pbStop) { m_pbStop = pbStop; }

    // Clears what earlier restores left below strParent (which must exist),
    // then creates the folder there; FALSE when no new name could be made.
    BOOL Create(const CString& strParent);
    // The folder with a trailing backslash; empty before Create.
    const CString& GetPath() const { return m_strPath; }
    // Removes the folder this object created with its contents; TRUE when it
    // is gone or was never made.
    BOOL Remove();

    // Removes the work folders below strParent (ending in '\') that no
    // restore uses: those of this process that no object holds, and those
    // of a process that has ended. Others are left alone. FALSE when one
    // stayed (a failure, or the stop flag).
    static BOOL ClearLeftovers(const CString& strParent, const std::atomic<bool>* pbStop);

private:
    void Release();

    CString m_strPath;
    const std::atomic<bool>* m_pbStop = nullptr;
};
