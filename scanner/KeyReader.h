#pragma once
// A registry key read through one open handle: children are opened relative
// to it and enumerations run on it, so a walk opens each key once instead of
// once per operation. Everything is read with KEY_READ; failures come back as
// Win32 results.
#include "framework/Afx.h"

// Deepest level a recursive registry walk descends to.
#define KEY_WALK_MAX_DEPTH 512

class CKeyReader
{
public:
    CKeyReader();
    ~CKeyReader();
    CKeyReader(const CKeyReader&) = delete;
    CKeyReader& operator=(const CKeyReader&) = delete;

    // Opens hRoot\strPath; samView adds KEY_WOW64_64KEY or KEY_WOW64_32KEY.
    LONG Open(HKEY hRoot, const CString& strPath, REGSAM samView = 0);
    // Opens hRoot\strPath in the other registry view (see OtherView). Fails
    // (ERROR_FILE_NOT_FOUND) on 32-bit Windows, and when that view shows the
    // very key own holds open, as for keys the two views share; a key whose
    // identity cannot be told counts as shared.
    LONG OpenOtherView(HKEY hRoot, const CString& strPath, const CKeyReader& own);
    // Opens the child strName of an open parent.
    LONG OpenChild(const CKeyReader& parent, const CString& strName);
    void Close();

    BOOL IsOpen() const { return m_hKey != NULL; }
    HKEY GetHandle() const { return m_hKey; }
    HKEY GetRoot() const { return m_hRoot; }
    // The view flag the key was opened with (0: the process's own view).
    REGSAM GetView() const { return m_samView; }
    // The path below the root ("" for the root itself).
    const CString& GetPath() const { return m_strPath; }

    // Appends the subkey or value names (the default value as ""). ERROR_SUCCESS
    // when the enumeration reached its end; otherwise the error that cut it
    // short (what was read so far stays appended): ERROR_CANCELLED when the
    // scan running on this thread was stopped (see ScanStop.h).
    LONG GetSubKeyNames(CStringArray& arrNames) const;
    // The same for a key known to hold nCount subkeys: the walk ends at that
    // count, sparing the call that reports the end.
    LONG GetSubKeyNames(CStringArray& arrNames, DWORD nCount) const;
    LONG GetValueNames(CStringArray& arrNames) const;
    LONG GetCounts(DWORD* pnSubKeys, DWORD* pnValues) const;

    BOOL HasValue(const CString& strName) const;
    // The stored spelling of a value name, or strName itself when not listed.
    CString GetValueNameAsStored(const CString& strName) const;
    // A text value as stored (references not expanded). The default value's
    // bytes are text whatever its type; a named value must be REG_SZ or
    // REG_EXPAND_SZ. strDefault when the value is missing or unreadable.
    CString ReadString(const CString& strName, const CString& strDefault) const;
    // The same in one query, with the value's type (REG_NONE when it could
    // not be read): for tests that accept only some types.
    CString ReadString(const CString& strName, const CString& strDefault, DWORD& dwType) const;
    // The value's type; FALSE when the value cannot be queried.
    BOOL GetValueType(const CString& strName, DWORD& dwType) const;
    // A value of at most 4 bytes as a number, whatever its type; nDefault
    // when it is missing or longer.
    DWORD ReadDword(const CString& strName, DWORD nDefault) const;

    // The registry view this process does not see by default: the 32-bit
    // one for a 64-bit process, the 64-bit one for a 32-bit process on 64-bit
    // Windows; 0 on 32-bit Windows, which has one view only.
    static REGSAM OtherView();

    // The key's full name as the kernel knows it ("\REGISTRY\MACHINE\...");
    // empty when it cannot be read.
    CString GetObjectName() const;

    // TRUE when hRoot\strPath opens with the access a repair needs.
    static BOOL CanOpenWith(HKEY hRoot, const CString& strPath, REGSAM samAccess, REGSAM samView = 0);

private:
    HKEY m_hKey;
    HKEY m_hRoot;
    REGSAM m_samView;
    CString m_strPath;
};
