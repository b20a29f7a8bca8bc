#pragma once
// Backup archives are named by the local time they were started at, as a
// 14-digit stamp "YYYYMMDDhhmmss"; the pages show it as a date text.
#include "framework/Afx.h"

// "%Y%m%d%H%M%S" of the given time.
CString FormatBackupStamp(const SYSTEMTIME& st);

// The stamp of the current local time.
CString CurrentBackupStamp();

// A stamp for which the file named by pszPathFormat (one %s, the stamp) does
// not exist yet: waits for the next second while it does, so a new backup
// never replaces one made in the same second. Gives up after 3 seconds and
// returns an empty text.
CString UniqueBackupStamp(LPCWSTR pszPathFormat);

// "September 08, 2008 (14:31:22)": month name, day, year, hour, minute and
// second cut from a stamp at fixed positions, the parts as stored. A month
// outside 1 to 12 gives an empty name; parts past the end of a short text
// are empty.
CString FormatBackupDate(const CString& strStamp);
