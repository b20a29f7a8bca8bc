#pragma once
// Registry-editor files (.reg): writes key trees and caller-composed lines in
// the version 5.00 form (UTF-16LE, CR LF), and applies such files - also
// "REGEDIT4" and bare "REGEDIT" ones - to the registry again.
#include "framework/Afx.h"
#include "services/ScopedHandle.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// Modes of CRegFile::OpenKeyByPath.
enum RegKeyPathMode
{
    RegKeyPathOpen = 0,    // open for reading (export)
    RegKeyPathCreate = 1,  // create or open (import of a key line)
    RegKeyPathDelete = 2,  // delete with all subkeys (import of "[-...]")
};

// What a checked file may do with the key of one key line.
enum RegKeyAllowance
{
    RegKeyRefused = 0,      // no line may name it
    RegKeyWithoutValues = 1, // it may be created, but no value set under it
    RegKeyWithValues = 2,   // it may be created and take values
};
// Gives the allowance of a key path as a key line names it ("ROOT\rest").
typedef std::function<int(const CString& strKeyPath)> RegKeyRule;
// The same for a key as it is really written: strKeyPath with the root's long
// name and no Wow6432Node step, samView the view only it is in (0: a key both
// views share, or the only view); see services/RegKeyTarget.h.
typedef std::function<int(const CString& strKeyPath, REGSAM samView)> RegKeyTargetRule;
// Told each value a checked file would set, as the import would set it.
typedef std::function<void(const CString& strName, DWORD dwType, const std::vector<BYTE>& data)> RegValueSink;

// The text of line nLine (from 1) of a registry-editor file, without its
// line end and cut to 200 characters; empty when there is no such line, or
// when pbStop is set before the line is reached (polled per block read).
CString ReadRegFileLine(LPCWSTR pszFileName, int nLine, const std::atomic<bool>* pbStop = NULL);

class CRegFile
{
public:
    // Export errors, kept per object (see GetExportError).
    enum
    {
        ExportWriteFailed = 124,     // a write failed or was short: the export stopped there
        ExportEnumFailed = 125,      // a value or subkey could not be enumerated
        ExportSubKeyNotOpened = 126, // a subtree could not be opened and is missing
        ExportNameNotWritable = 13,  // a name holds a line break; that entry is missing
        ExportLinkNotWritten = 50,   // the key named is a registry link: nothing was written
    };

    CRegFile();
    virtual ~CRegFile();
    CRegFile(const CRegFile&) = delete;
    CRegFile& operator=(const CRegFile&) = delete;

    // A stop flag polled by ExportKey per key and per value, by the checks
    // per line (and per continued line of a value), and by the imports only
    // at each key line: once set, the call ends there with ERROR_CANCELLED
    // and WasStopped() TRUE. NULL polls nothing.
    void SetStopFlag(const std::atomic<bool>* pbStop) { m_pbStop = pbStop; }
    // Whether the last export, import or check ended early on the stop flag.
    BOOL WasStopped() const { return m_bStopped; }

    // Writing. The caller creates the file, writes the byte-order mark FF FE
    // itself, stores the handle in m_hFile, sets m_nCount and m_nColumn to 0,
    // and closes the handle after the last Flush or ExportKey.
    void PutChar(wchar_t ch);                  // a line feed goes out as CR LF
    void PutString(LPCWSTR pszText);
    void PutQuotedString(LPCWSTR pszText);     // "...", with \" and \\ escaped
    BOOL Flush();
    // Writes "[path]", the key's values and all its subkeys, then flushes. The
    // path starts with the root name; an empty path writes HKEY_LOCAL_MACHINE
    // and HKEY_USERS whole, both views, as WholeRegistryView() of
    // services/RegKeyTarget.h shows them (ImportFile applies such a file in
    // that view). Returns 0 when everything was written, else the first error
    // of this export (1010/1011 when the key does not open,
    // ERROR_INVALID_HANDLE without a file, or one of the export errors above).
    DWORD ExportKey(const CString& strKeyPath);
    // The same for a key of the registry view samView (KEY_WOW64_32KEY or
    // KEY_WOW64_64KEY): the key and its subkeys are read in that view. An
    // empty path is read in the whole registry's view whatever samView says.
    DWORD ExportKey(const CString& strKeyPath, REGSAM samView);
    // Writes "[path]" and the one value of that key, type and bytes as they
    // are, then flushes. 0 when written; ERROR_FILE_NOT_FOUND when the value
    // is missing (nothing written), 1010/1011 when the key does not open,
    // ERROR_INVALID_HANDLE without a file, or an export error. samView
    // (KEY_WOW64_32KEY or KEY_WOW64_64KEY) reads the key in that registry
    // view; 0 in the process's own.
    DWORD ExportValue(const CString& strKeyPath, const CString& strName, REGSAM samView = 0);
    // The first export error since construction (a write error or a stop,
    // ERROR_CANCELLED, overrides the others); 0 when the file holds
    // everything it was asked to.
    DWORD GetExportError() const { return m_dwExportError; }
    // Registry links the last ExportKey of a key came upon and did not
    // write: a link is never followed, and a registry-editor file cannot
    // make one again. 0 for a full export, which writes every target under
    // its own name.
    int GetLinksLeftOut() const { return m_nLinksLeftOut; }

    // Applies a registry-editor file. Returns ERROR_SUCCESS only when every
    // line was applied; ERROR_CANCELLED when the stop flag ended it at a key
    // line (the keys before it written whole, none after it touched);
    // otherwise the first failure: the error of finding or
    // opening the file, ERROR_BAD_FORMAT for an unusable header (nothing is
    // changed), ERROR_INVALID_DATA for a malformed line (skipped, the rest
    // applied), ERROR_ACCESS_DENIED for a refused deletion of a whole root,
    // 1010/1011 for a key line whose key cannot be had (its values skipped),
    // 1011 also for values under a line that gives no key (a bare
    // HKEY_LOCAL_MACHINE or HKEY_USERS, or a deletion), or the registry's
    // error of a value that could not be set or deleted. samView
    // (KEY_WOW64_32KEY or KEY_WOW64_64KEY) applies every key line in that
    // registry view; 0 in the process's own.
    DWORD ImportFile(LPCWSTR pszFileName, REGSAM samView = 0);
    // The key of the line that failed first in the last import or check, as
    // the file names it; empty when that line named no key.
    const CString& GetFailedKey() const { return m_strFailedKey; }
    // The registry's reason for that first failure (for a key that could not
    // be made, the error behind ERROR_CANTOPEN); 0 when nothing failed.
    DWORD GetFailedReason() const { return m_dwFailedReason; }

    // Reads a file as ImportFile would apply it and changes nothing. Returns
    // ERROR_SUCCESS only when every line is one fnRule lets through: a key
    // line fnRule allows, value lines under a key that takes values, and no
    // deletion of a key ("[-...]") or a value ("=-"). Otherwise the first
    // refusal, whose line (counted from 1) goes to nLine: ERROR_ACCESS_DENIED
    // for a line the rule or a deletion refuses, ERROR_INVALID_DATA for a line
    // the import would skip, ERROR_BAD_FORMAT for an unusable header or the
    // old "REGEDIT" form, ERROR_CANCELLED (nLine 0) when the stop flag ended
    // the check, or the error of finding or opening the file.
    DWORD CheckFile(LPCWSTR pszFileName, const RegKeyRule& fnRule, int& nLine);
    // The same for a file ImportFile applies in samView: fnRule judges each key
    // line by the key it really writes there.
    DWORD CheckFileInView(LPCWSTR pszFileName, REGSAM samView, const RegKeyTargetRule& fnRule, int& nLine);
    // The same, telling fnValues every value line the rule lets through.
    DWORD CheckFile(LPCWSTR pszFileName, const RegKeyRule& fnRule, const RegValueSink& fnValues, int& nLine);

    // The same two for a file already read into memory (a zip entry): the
    // bytes are read exactly as a file of that content would be.
    DWORD ImportBytes(const std::vector<BYTE>& bytes, REGSAM samView = 0);
    DWORD CheckBytes(const std::vector<BYTE>& bytes, const RegKeyRule& fnRule, const RegValueSink& fnValues, int& nLine);

    // Splits "ROOT\rest", upper-cases the root part in the caller's text and
    // acts on the key per mode. 0 on success, 1010 for an unknown root, 1011
    // when the key cannot be opened or created; for a deletion, the error of
    // the deletion (a key that does not exist counts as deleted), and
    // ERROR_ACCESS_DENIED for a bare root, which is never deleted. Every
    // mode acts in the registry view samView; a write there names a key of
    // the 32-bit view by its own name, without a Wow6432Node step.
    static LONG OpenKeyByPath(HKEY* phKey, CString& strPath, RegKeyPathMode nMode, REGSAM samView = 0);

    // Set by the caller before writing (see above).
    HANDLE m_hFile;
    int m_nCount;
    int m_nColumn;

protected:
    // One poll of the stop flag; virtual so that a test can stop a call at
    // a chosen poll.
    virtual BOOL IsStopRequested() const { return m_pbStop != NULL && m_pbStop->load(); }

private:
    // Export.
    void PutUnit(wchar_t ch);
    void PutText(const wchar_t* pText, size_t nLength);
    void PutQuoted(const wchar_t* pText, size_t nLength);
    void PutHexBytes(const BYTE* pData, DWORD dwSize);
    void PutValue(const wchar_t* pName, DWORD dwNameLength, DWORD dwType, const BYTE* pData, DWORD dwSize);
    void ExportKeyTree(HKEY hKey, std::wstring& strPath);
    // Opens a subkey for the export; a registry link is not opened (FALSE,
    // no error; a partial export counts it).
    bool OpenExportSubKey(HKEY hKey, LPCWSTR pszName, CRegKeyHandle& subKey);
    void SetExportError(DWORD dwError);
    // The export ends: a write failed, or the stop flag was seen.
    bool ExportStopped() const { return m_dwCallError == ExportWriteFailed || m_bStopped; }
    // Polls the stop flag; once seen, stays TRUE for the running call.
    bool StopRequested();

    // Import: reading.
    bool FillBuffer();
    int Peek();
    void SkipBlanks();
    void SkipLine();
    void SkipComment();
    // Import: parsing.
    bool ParseHeader();
    void ParseBody();
    void ParseOldFormat();
    void ParseKeyLine();
    void ParseValueLine(const std::wstring& strName);
    bool ParseQuoted(std::wstring& strText, size_t nMaxChars);
    bool ParseHexBytes(std::vector<BYTE>& data);
    bool ReadLine(std::wstring& strLine, size_t nMaxChars);
    void RejectLine();
    void NoteImportFailure(DWORD dwError, DWORD dwReason = ERROR_SUCCESS);
    // A check of a file (pBytes NULL) or of bytes in memory.
    DWORD CheckSource(LPCWSTR pszFileName, const std::vector<BYTE>* pBytes, const RegKeyRule& fnRule,
                      const RegValueSink& fnValues, int& nLine);
    void BeginRead();
    DWORD ReadFileBody(LPCWSTR pszFileName);
    DWORD ReadBytesBody(const std::vector<BYTE>& bytes);
    // The parse after the source is open; reads through ReadSource.
    DWORD ParseSource();
    bool ReadSource(BYTE* pTarget, DWORD dwWanted, DWORD& dwRead);
    bool HasCurrentKey() const;

    std::vector<wchar_t> m_chars;   // export: waiting to be written; import: text being parsed
    std::vector<BYTE> m_bytes;      // import: raw bytes not yet converted
    int m_nAvailable;               // import: characters available in m_chars

    // Export state.
    std::vector<wchar_t> m_valueName;
    std::vector<BYTE> m_valueData;
    DWORD m_dwExportError;
    DWORD m_dwCallError;
    REGSAM m_samExportView;         // the view flag of the running export
    bool m_bFullExport;             // the running export writes HKEY_LOCAL_MACHINE and HKEY_USERS whole
    int m_nLinksLeftOut;            // links a partial export did not write

    // Import state.
    HANDLE m_hReadFile;
    const std::vector<BYTE>* m_pSource;   // set instead of m_hReadFile for bytes in memory
    size_t m_nSourcePos;
    size_t m_nChunkLimit;           // the most one read takes
    size_t m_nCarry;                // bytes kept back for the next conversion
    bool m_bUnicode;
    bool m_bEndOfFile;
    int m_nVersion;                 // 0x500, 0x400 or 0x310
    UINT m_nCodePage;
    CRegKeyHandle m_currentKey;
    DWORD m_dwImportResult;
    REGSAM m_samImportView;         // the view flag of the running import
    // Check state: the rule of a running CheckFile (NULL while importing),
    // the allowance of its current key line, the line being read and the
    // line of the first refusal.
    const RegKeyRule* m_pCheckRule;
    const RegValueSink* m_pCheckValues;
    int m_nCheckKey;
    int m_nLine;
    int m_nStatementLine;
    int m_nFailedLine;
    CString m_strImportKey;         // the key of the current key line, as written
    CString m_strFailedKey;         // m_strImportKey when the first failure was noted
    DWORD m_dwFailedReason = ERROR_SUCCESS;

    const std::atomic<bool>* m_pbStop = NULL;
    bool m_bStopped = false;        // the running or last call ended on the stop flag
};
