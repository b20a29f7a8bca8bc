#pragma once
// The uninstall manager. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CUninstallRemovePage : public CStandInPage
{
public:
    CUninstallRemovePage() : CStandInPage(271) {}
};
