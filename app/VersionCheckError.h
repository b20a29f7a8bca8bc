#pragma once
// Why an online version check found no answer: the system's error of the
// step that failed, or the HTTP status the site answered with instead of
// the version file.
#include "framework/Afx.h"

struct CVersionCheckError
{
    DWORD dwError = 0;       // Win32 or Internet error; 0 when none is known
    DWORD dwHttpStatus = 0;  // the site's error status, 0 when it sent none

    // "<the system's text> (Error Code: 12029)", "HTTP status 404", or empty
    // when nothing is known.
    CString Describe() const;
};

// The language text of a failed connection with its "%s" filled with the
// reason; a text without the placeholder gets the reason on its own line
// after its first line.
CString FormatInternetFailed(const CString& strText, const CVersionCheckError& error);
