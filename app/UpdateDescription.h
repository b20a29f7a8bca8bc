#pragma once
// update.ini, the update site's description of what it offers, as saved in
// the program folder: the program's newest version and the updater's newest
// version and package. The version check, the updater dialog and its worker
// all read it here, each value with its one default.
#include "framework/Afx.h"

// The file's name, on the update site and in the program folder.
extern const WCHAR UPDATE_DESCRIPTION_FILE[];

struct CUpdateDescription
{
    CString strProgramVersion;  // [Program] Version, "3.0.0.0" when missing
    CString strUpdaterVersion;  // [Updater] Version, "1.0.0.0" when missing
    CString strPackUrl;         // [Updater] Pack, empty when missing

    // A file that is missing or unreadable gives the defaults. Safe on any thread.
    static CUpdateDescription Read(const CString& strFile);
};
