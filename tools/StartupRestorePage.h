#pragma once
// Page "Restore" of the startup manager: one row per backup in
// Utilities\Startup.dat; the checked ones go back into the registry and
// leave the archive.
#include "tools/ToolRestorePage.h"

class CStartupRestorePage : public CToolRestorePage
{
public:
    CStartupRestorePage();
    virtual ~CStartupRestorePage();

protected:
    virtual CString DetailsFileOfRow(int nRow);
    virtual CStringArray& BackupPaths();
    virtual void InsertColumns();
    virtual void TranslateColumns();
    virtual void SetRowTexts(int nRow, const CToolBackupRow& row);
    virtual CString NameOfRow(const CToolBackupRow& row);
};
