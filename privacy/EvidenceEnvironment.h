#pragma once
// Where the cases find the machine's folders: shell folders, TEMP, the
// Windows folder and the fixed drives. Replaceable, so tests never let a case
// reach the real profile or the host's root drive.
#include "framework/Afx.h"

class CEvidenceEnvironment
{
public:
    virtual ~CEvidenceEnvironment() {}
    // The shell folder without a trailing backslash; FALSE when the shell
    // answers anything but S_OK or an empty path.
    virtual BOOL GetShellFolder(int nCsidl, CString& strFolder);
    // %TEMP%, at most 1024 characters; FALSE when unset, empty or longer.
    virtual BOOL GetTempFolder(CString& strFolder);
    // GetWindowsDirectory, no trailing backslash.
    virtual BOOL GetWindowsFolder(CString& strFolder);
    // Roots ("C:\") of the fixed drives in the logical drive list's order.
    virtual void GetFixedDriveRoots(CStringArray& arrRoots);
    // Clears the URL history (the browser's history store); an HRESULT.
    virtual HRESULT ClearUrlHistory();
};

// The environment the cases and the clean use now.
CEvidenceEnvironment& EvidenceEnvironment();
// Tests put their own; NULL goes back to the machine's.
void SetEvidenceEnvironment(CEvidenceEnvironment* pEnvironment);
