#pragma once
// One update the search found, as the texts the update page shows.
#include "framework/Afx.h"

struct IUpdate;

struct UpdateInfo
{
    CString m_strTitle;
    CString m_strDescription;
    CString m_strSupportUrl;
    CString m_strDownloadPriority;
    CString m_strMaxSize;       // bytes, in decimal, all 64 bits
    CString m_strSeverity;
    CString m_strDate;          // month-day-year
    CString m_strMoreInfoUrl;
    CString m_strType;
    CString m_strArticle;
    CString m_strReleaseNotes;
    // Where the update sits in the found collection: a row keeps it even when
    // an earlier item could not be read and got no row.
    int m_nItem = -1;
};

// Fills every field that the update answers; the severity stays the agent's
// own text (SeverityKey turns it into a language key). E_POINTER for none.
HRESULT ReadUpdateInfo(IUpdate* pUpdate, UpdateInfo& info);

// The language key of an agent severity, or NULL when the text is shown as it
// stands. An empty severity counts as moderate.
LPCWSTR UpdateSeverityKey(const CString& strSeverity);
// "1.50 KB" for "1536": the size in kilobytes, two decimals.
CString FormatUpdateSize(const CString& strBytes);
// The language key of an operation result code; a code the agent does not
// define reads as failed.
LPCWSTR DownloadResultKey(int nResultCode);
LPCWSTR InstallResultKey(int nResultCode);
// Succeeded, with or without errors.
inline BOOL IsUpdateResultSuccess(int nResultCode) { return nResultCode == 2 || nResultCode == 3; }
