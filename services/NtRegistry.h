#pragma once
// Registry access through a current root and key path. No key stays open
// between calls: each operation opens the current key with the access it
// needs, acts and closes it again. Failures come back as return values.
#include "framework/Afx.h"

class CNtRegistry
{
public:
    CNtRegistry();
    virtual ~CNtRegistry();

    // "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" or
    // "HKEY_USERS" (exact case); anything else gives HKEY_LOCAL_MACHINE.
    static HKEY RootFromName(const CString& strName);

    // Only the four roots above are accepted.
    BOOL SetRoot(HKEY hRoot);
    // Makes root\key the current key when it opens with full access (or could
    // be created). An empty key selects the root itself. The last argument is
    // kept for the callers' sake and has no effect.
    BOOL SetKey(HKEY hRoot, const CString& strKey, BOOL bCreate, BOOL bUnused = TRUE);
    // As SetKey without creation, but the key need only open for reading:
    // lists of keys a standard user may not change.
    BOOL SetKeyForReading(HKEY hRoot, const CString& strKey);
    // The current key path; for the root itself, the root's name.
    CString GetKey() const;
    HKEY GetRootKey() const { return m_hRootKey; }
    // Result of the last test open of SetKey and of the last ReadString.
    LONG GetLastError() const { return m_nLastError; }

    // Appends the subkey names; 1, -1 when the key does not open, 8 when no
    // name buffer can be had, or the error of the key query.
    int GetSubKeyList(CStringArray& arrNames);
    // -1 when the key does not open or cannot be queried.
    int GetSubKeyCount();
    // Appends the value names (the default value as ""); 1, or -1 when the
    // key does not open.
    int GetValueList(CStringArray& arrNames);
    int GetValueCount();
    BOOL ValueExists(const CString& strName);
    // The value's type and data size; (DWORD)-1 and size 0 when the key does
    // not open. A missing value reports REG_SZ and size 1.
    DWORD GetValueType(const CString& strName, DWORD& dwSize);

    // The key path argument of the three-argument forms is not used: every
    // operation acts on the current key.
    CString ReadString(const CString& strKey, const CString& strName, const CString& strDefault);
    CString ReadString(const CString& strName, const CString& strDefault);
    int ReadInt(const CString& strKey, const CString& strName, int nDefault);
    int ReadInt(const CString& strName, int nDefault);
    BOOL WriteString(const CString& strKey, const CString& strName, const CString& strValue);
    BOOL WriteString(const CString& strName, const CString& strValue);
    // Stores the 4 bytes of the number as REG_BINARY; ReadInt reads them back.
    BOOL WriteInt(const CString& strKey, const CString& strName, int nValue);
    BOOL WriteInt(const CString& strName, int nValue);
    BOOL DeleteValue(const CString& strName);

private:
    static CString RootName(HKEY hRoot);
    LONG OpenCurrent(REGSAM samDesired, HKEY* phKey) const;
    void FlushIfWanted(HKEY hKey) const;

    LONG m_nLastError;
    HKEY m_hRootKey;
    CString m_strKeyPath;
    BOOL m_bNoFlush;
};
