#pragma once
// The updater's package: fetched over http(s) into a temporary file, kept
// only when the transfer and its content check out, then unpacked (a zip) or
// moved into place (a single file) in the program folder, each replaced
// file backed up beside itself first. A stop ends the job between blocks
// and items and leaves the program folder as it was.
#include "framework/Afx.h"
#include <wininet.h>
#include <atomic>

struct CUpdaterSettings
{
    CString strAppDir;      // program folder, with its trailing backslash
    CString strRunningExe;  // file name of the running executable
    CString strAgent;       // WinInet user agent
    DWORD dwConnectTimeout = 15000;
    DWORD dwReceiveTimeout = 30000;
};

class CUpdatePackage
{
public:
    // What the worker ends with.
    enum Outcome
    {
        OUTCOME_NO_PACKAGE = -1,  // no package named: the dialog closes
        OUTCOME_FAILED = 0,       // nothing was replaced
        OUTCOME_DONE = 1          // the package is in place
    };

    explicit CUpdatePackage(const CUpdaterSettings& settings);
    virtual ~CUpdatePackage();

    // The whole job of the worker thread.
    Outcome Run();

    // An open session (for Download) with the time-outs set; NULL on failure.
    HINTERNET OpenSession() const;
    // Fetches the URL into a new temporary file of the program folder:
    // status 200 and, when the server gives one, exactly Content-Length bytes.
    // A stop ends it at once; the temporary file is gone then.
    BOOL Download(HINTERNET hSession, const CString& strUrl, CString& strTempFile);

    static BOOL IsAllowedUrl(const CString& strUrl);
    // The last part of the URL's path, without query or fragment.
    static CString FileNameFromUrl(const CString& strUrl);
    // One plain name: no separator, "..", drive or device name.
    static BOOL IsPlainFileName(const CString& strName);
    // The program's own files, which no package may overwrite.
    BOOL IsProtectedName(const CString& strRelative) const;

    // Every item of the archive extracts with a good CRC; FALSE as soon as
    // hStop (when given) is set.
    static BOOL VerifyZip(const CString& strFile, HANDLE hStop = NULL);
    // A file with a version resource not older than strMinVersion.
    static BOOL VerifyVersion(const CString& strFile, const CString& strMinVersion);
    // Unpacks into the program folder; returns the files written. A stop
    // between items puts back every file written so far: 0 then.
    int UnpackZip(const CString& strFile);

    // target + ".bak" takes the current file; FALSE only when it exists and
    // could not be moved.
    static BOOL BackupFile(const CString& strTarget);
    static BOOL RestoreFile(const CString& strTarget);

    // The stop event is set (m_hStop).
    virtual BOOL IsStopped() const;

    CUpdaterSettings m_settings;
    // A manual-reset event that ends the job; NULL for none.
    HANDLE m_hStop;
    DWORD m_dwBytes;   // of the last download
    int m_nWritten;    // files the last unpack wrote
    int m_nSkipped;    // items it refused

private:
    CUpdatePackage(const CUpdatePackage&) = delete;
    CUpdatePackage& operator=(const CUpdatePackage&) = delete;
};
