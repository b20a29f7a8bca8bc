#pragma once
// A folder that one restore creates for the files it unpacks, under a name no
// file or folder had before, and removes again. Nothing else is ever deleted
// through it, whatever the archive is called.
#include "framework/Afx.h"

class CRestoreWorkFolder
{
public:
    CRestoreWorkFolder() {}
    ~CRestoreWorkFolder() { Remove(); }
    CRestoreWorkFolder(const CRestoreWorkFolder&) = delete;
    CRestoreWorkFolder& operator=(const CRestoreWorkFolder&) = delete;

    // Creates the folder below strParent (which must exist); FALSE when no new
    // name could be made.
    BOOL Create(const CString& strParent);
    // The folder with a trailing backslash; empty before Create.
    const CString& GetPath() const { return m_strPath; }
    // Removes the folder this object created with its contents; TRUE when it
    // is gone or was never made.
    BOOL Remove();

private:
    CString m_strPath;
};
