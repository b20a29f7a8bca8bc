#pragma once
// Whether a file that a registry entry names is missing. "Missing" is said
// only when the file certainly is not there: texts with unresolved
// environment references, network paths and drives that are not ready count
// as present. Bare names are looked for along PATH, in System32 and in the
// Windows folder.
#include "framework/Afx.h"

class CPathTest
{
public:
    CPathTest();
    ~CPathTest();

    // On 64-bit Windows: file-system redirection is off on the calling thread
    // from BeginThread to EndThread, and %ProgramFiles% / %CommonProgramFiles%
    // paths are tried under both expansions.
    void SetWow64(BOOL bWow64) { m_bWow64 = bWow64; }
    BOOL IsWow64() const { return m_bWow64; }
    void BeginThread();
    void EndThread();

    // FALSE only when the file is certainly missing. An empty text is missing.
    BOOL FileExists(const CString& strPath);
    // A bare name along PATH (each folder cleaned as a path), then in System32
    // and the Windows folder. An empty name is not found.
    BOOL FindInSearchPath(const CString& strFile);
    // The program of a command line, as CreateProcess reads it: a quoted
    // program is the quoted part; an unquoted one is the first blank-separated
    // prefix that exists as given or with ".exe" added.
    BOOL CommandProgramExists(const CString& strCommand);

private:
    enum Presence { PRESENT, ABSENT, UNKNOWN };
    Presence ProbeFullPath(const CString& strPath);
    Presence ProbeOne(const CString& strRaw);
    BOOL IsDriveReady(wchar_t chDrive);

    BOOL m_bWow64;
    BOOL m_bRedirectionOff;
    PVOID m_pRedirectionState;
    // Per drive letter: 0 not asked, 1 ready, 2 not ready.
    BYTE m_nDriveState[26];
};
