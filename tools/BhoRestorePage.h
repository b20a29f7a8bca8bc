#pragma once
// Page "Restore" of the browser helper object manager: one row per backup in
// Utilities\BHO.dat whose class is still registered; the checked ones go back
// into the registry and leave the archive.
#include "tools/ToolRestorePage.h"

class CBhoRestorePage : public CToolRestorePage
{
public:
    CBhoRestorePage();
    virtual ~CBhoRestorePage();

protected:
    virtual CString DetailsFileOfRow(int nRow);
    virtual CStringArray& BackupPaths();
    virtual void InsertColumns();
    virtual void TranslateColumns();
    virtual void SetRowTexts(int nRow, const CToolBackupRow& row);
    virtual CString NameOfRow(const CToolBackupRow& row);
};
