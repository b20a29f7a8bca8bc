#pragma once
// The Internet Explorer tools page. Shows its title until the page itself is
// built; the main window opens the Internet Options through it.
#include "app/PageStandIn.h"

class CIeToolsPage : public CStandInPage
{
public:
    CIeToolsPage() : CStandInPage(366) {}

    void OnInternetOptions()
    {
        ::ShellExecuteW(NULL, L"open", L"rundll32.exe", L"shell32.dll,Control_RunDLL inetcpl.cpl", NULL, SW_SHOW);
    }
};
