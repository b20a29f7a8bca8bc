#pragma once
// What the startup and browser helper object tools may touch: the records of
// their rows, the keys they read, the backup files they accept and the
// single registry entry each removal deletes.
#include "framework/Afx.h"
#include "scanner/KeyReader.h"
#include "scanner/RegProblem.h"

#include <functional>
#include <vector>

#define TOOL_RUN_KEY_COUNT 11
#define TOOL_BHO_KEY L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects"

struct ToolRunKey
{
    HKEY hRoot;
    LPCWSTR pszRootName;
    LPCWSTR pszKey;
};

// The sources of the startup list, in list order.
extern const ToolRunKey g_toolRunKeys[TOOL_RUN_KEY_COUNT];

// Hands fnRead hRoot\pszPath open in the process's own registry view, then in
// the other view where that keeps a key of its own: 64-bit Windows starts the
// Run keys of both views, and 32-bit and 64-bit programs register in their
// own. A key both views share is handed once. The reader's GetView() is the
// view flag the rows of that key carry (0 for the own view).
void ReadToolKeyViews(HKEY hRoot, LPCWSTR pszPath, const std::function<void(const CKeyReader& key)>& fnRead);

// A record of a registry row: its full key path begins with one of the four
// hive names and a backslash, and the rest equals its key path. Shortcut
// records (a file path in both fields) and records of an unknown hive fail.
BOOL GetRecordRoot(const CRegProblem& record, HKEY* phRoot);
// The view a record's key is read, deleted and backed up in: 0 (the
// process's own), KEY_WOW64_32KEY or KEY_WOW64_64KEY; FALSE for any other.
BOOL GetRecordView(const CRegProblem& record, REGSAM* psamView);

// TRUE for "HKEY_...\<one of the eleven Run keys>", ignoring case.
BOOL IsRunKeyPath(const CString& strKeyPath);

// Deletes the record's value in the record's view: only a registry record
// with a non-empty key and value name. ERROR_SUCCESS, or the error.
LONG DeleteStartupValue(const CRegProblem& record);
// Deletes the record's key with its subkeys in the record's view: only a
// direct, non-empty subkey of the Browser Helper Objects key under
// HKEY_LOCAL_MACHINE.
LONG DeleteBhoKey(const CRegProblem& record);
// The subkey name below the Browser Helper Objects key; empty when the
// record names anything else.
CString BhoSubKeyOfRecord(const CRegProblem& record);

// A startup backup as the import reads it (its own parse, changing nothing).
struct CStartupBackupEntry
{
    CString m_strName;          // the last value line: what the backup's row shows
    CString m_strText;
    BOOL m_bShowsAll = FALSE;   // TRUE when the import would write nothing the row hides
};
// samView is the view the backup is imported in (0: the process's own).
void ReadStartupBackup(const std::vector<BYTE>& bytes, CStartupBackupEntry& entry, REGSAM samView = 0);

// Checks a backup (the bytes of its file) before it is imported in samView.
// Each key line is judged as the key it writes there (services/RegKeyTarget.h):
// a line writing a key of another view than samView (the 32-bit view's keys
// are named through Wow6432Node) is refused unless both views share that key. A startup backup holds one key line writing a Run key and
// at most one value, a text without a NUL inside; with the shown texts, that
// value must be the one its row shows. A BHO backup holds key lines writing
// HKEY_LOCAL_MACHINE\...\Browser Helper Objects\<clsid> or keys below it.
// Neither may delete anything ("[-..." or "=-").
BOOL CheckStartupBackup(const std::vector<BYTE>& bytes, REGSAM samView = 0);
BOOL CheckStartupBackup(const std::vector<BYTE>& bytes, const CString& strShownName, const CString& strShownText,
                        REGSAM samView = 0);
BOOL CheckBhoBackup(const std::vector<BYTE>& bytes, const CString& strClsid, REGSAM samView = 0);

// The value name and text a startup backup's row shows (see ReadStartupBackup);
// none gives two empty texts. pstrKey gets its first key line as written.
void ReadStartupBackupEntry(const std::vector<BYTE>& bytes, CString& strName, CString& strText, CString* pstrKey = NULL);
// The first key line of a backup as the import reads it, without its
// brackets; empty when none.
CString ReadBackupKey(const std::vector<BYTE>& bytes);
