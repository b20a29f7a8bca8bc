#pragma once
// The Internet Explorer tools page: task buttons to the favorites backup, the
// browser helper object manager, the Internet Options, the repairs page and
// the problems page.
#include "app/LauncherPages.h"

class CIeToolsPage : public CLauncherPage
{
public:
    CIeToolsPage();

    afx_msg void OnInternetOptions();
    // Starts the Internet Options through the system folder's rundll32.exe
    // (the 64-bit one on 64-bit Windows, as the system starts them); with
    // phProcess the caller gets the process handle and closes it.
    static BOOL StartInternetOptions(HANDLE* phProcess);

protected:
    afx_msg void OnBhoManager();
    afx_msg void OnIeRecover();
    afx_msg void OnIeProblems();
    afx_msg void OnIeFavorites();

    DECLARE_MESSAGE_MAP()
};
