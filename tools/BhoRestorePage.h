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

    virtual void FillList();
    // The path array entry a row stands for (rows skip unresolved backups).
    int GetRowEntry(int nRow) const;

protected:
    virtual CString DetailsFileOfRow(int nRow);
    virtual CStringArray& BackupPaths();
    virtual void InsertColumns();
    virtual void TranslateColumns();
    virtual void EntriesOfRows(const CArray<int>& arrRows, CArray<int>& arrEntries, CStringArray& arrClsids);

    CArray<int> m_arrRowEntry;      // row -> index in the path array
    CStringArray m_arrRowClsid;     // row -> the class identifier of its backup
};
