#pragma once
// Whether a file that a registry entry names is missing. "Missing" is said
// only when the file certainly is not there: texts with unresolved
// environment references, network paths, drives that are not ready and texts
// that are no file path at all count as present. Bare names are looked for
// along PATH, in System32 and in the Windows folder.
//
// Texts are judged as stored, before their references are expanded, since
// on 64-bit Windows %ProgramFiles%, %CommonProgramFiles% and System32 mean
// one folder to a 64-bit program and another to a 32-bit one. The view the
// entry was read from says which program the entry was written for.
#include "framework/Afx.h"

class CKeyReader;

enum PathView
{
    PATH_VIEW_ANY,  // a key both kinds of program share, or one that cannot be told: either folder
    PATH_VIEW_32,   // the 32-bit view: Program Files (x86), SysWOW64
    PATH_VIEW_64,   // the 64-bit view: Program Files, the real System32
};

class CPathTest
{
public:
    CPathTest();
    ~CPathTest();

    // Whether the process runs on 64-bit Windows as a 32-bit program; found
    // out at construction. On 64-bit Windows file-system redirection is off
    // on the calling thread from BeginThread to EndThread (each test turns it
    // off for its own duration too).
    void SetWow64(BOOL bWow64);
    BOOL IsWow64() const { return m_bWow64; }
    BOOL Is64BitWindows() const { return m_b64BitWindows; }
    void BeginThread();
    void EndThread();

    // FALSE only when the file is certainly missing. strText is the registry
    // text as stored (quotes allowed, references unexpanded). An empty text is
    // missing. "@{...}" package references are present; for "@file,-id"
    // indirect strings the file part is tested.
    BOOL FileExists(const CString& strText, PathView view = PATH_VIEW_ANY);
    // An icon location: a path, quoted or not, with or without ",index".
    BOOL IconFileExists(const CString& strText, PathView view = PATH_VIEW_ANY);
    // The path part of an icon location (quotes and index removed, blanks
    // trimmed, references left as they are).
    static CString IconFilePart(const CString& strText);
    // A bare name along PATH (each folder cleaned as a path), then in System32
    // and the Windows folder. An empty name is not found.
    BOOL FindInSearchPath(const CString& strFile, PathView view = PATH_VIEW_ANY);
    // The target of a shortcut as a 64-bit user's shell opens it. A 32-bit
    // shell-link object may hand back the x86 program folder for a target
    // under the 64-bit one, so that spelling is tried there too.
    BOOL ShortcutTargetExists(const CString& strTarget);

    // The view of the entries below an open key: its own view when the other
    // view holds a key of its own there, PATH_VIEW_ANY when both views show
    // the same key (or on 32-bit Windows).
    PathView ViewOfKey(const CKeyReader& key);

private:
    enum Presence { PRESENT, ABSENT, UNKNOWN };
    Presence ProbeFullPath(const CString& strPath, PathView view);
    Presence ProbeOne(const CString& strText, PathView view);
    // The spellings of a path that the view allows below System32.
    void SystemSpellings(const CString& strPath, PathView view, CStringArray& arrPaths);
    BOOL AnyExists(const CString& strPath, PathView view);
    BOOL IsDriveReady(wchar_t chDrive);

    BOOL m_bWow64;
    BOOL m_b64BitWindows;
    BOOL m_bRedirectionOff;
    PVOID m_pRedirectionState;
    CString m_strSystem;     // System32, no trailing backslash
    CString m_strWow;        // SysWOW64, or empty on 32-bit Windows
    CString m_strSysnative;  // Windows folder + "Sysnative"
    // Per drive letter: 0 not asked, 1 ready, 2 not ready.
    BYTE m_nDriveState[26];
};
