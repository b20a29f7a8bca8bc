#pragma once
// The online version check: fetches update.ini from the update site, compares
// the version it announces with our own file version and asks the user.
#include "framework/Afx.h"
#include <wininet.h>

// Result codes of CUpdateChecker::CheckForUpdate.
enum
{
    UPDATE_NEWER_ACCEPTED = 0,
    UPDATE_NO_CONNECTION = 1,
    UPDATE_DOWNLOAD_FAILED = 2,
    UPDATE_NO_OWN_VERSION = 5,
    UPDATE_NOT_NEWER = 6,
    UPDATE_NEWER_DECLINED = 7,
    // Internal: the network part found a newer version; the question is next.
    UPDATE_NEWER_FOUND = -1
};

// The update site's download folder: "UpdateSite" of [General Settings] in
// Settings.ini when that key is present, else the product's own site.
CString GetUpdateSiteUrl(const CString& strSettingsFile);

class CUpdateChecker
{
public:
    CUpdateChecker();
    virtual ~CUpdateChecker();

    int CheckForUpdate(const CString& strBaseUrl);
    // The network and compare steps, without the question: UPDATE_NEWER_FOUND
    // or a final code. Safe on a worker thread.
    int FetchAndCompare(const CString& strBaseUrl);
    // The question of a newer version: 0 (OK) or 7 (Cancel).
    static int AskToUpdate();

    BOOL IsConnected();
    HINTERNET OpenUrl(CString& strUrl);
    BOOL DownloadToFile(HINTERNET hRequest, const CString& strFile);
    BOOL ReadBlock(HINTERNET hRequest, LPVOID pBuffer, DWORD dwSize);
    static CString GetModulePath();
    static CString GetModuleFolder();
    static CString GetFileVersionString(const CString& strFile);
    static int CompareVersions(const CString& strFirst, const CString& strSecond);
    static BOOL IsNumber(const CString& strText);
    static BOOL ReplaceExecutable(const CString& strExe, const CString& strNewFile, BOOL bDelay);

    // Where the version is read from and update.ini is saved; the running
    // executable and its folder unless a caller sets others.
    CString m_strModulePath;
    CString m_strDownloadFolder;

private:
    HINTERNET m_hInternet;

    CUpdateChecker(const CUpdateChecker&) = delete;
    CUpdateChecker& operator=(const CUpdateChecker&) = delete;
};
