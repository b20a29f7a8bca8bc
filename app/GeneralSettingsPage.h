#pragma once
// The general settings page. Shows its title until the page itself is built;
// its Check Update action, which the launchers and the main window use, is
// here already.
#include "app/PageStandIn.h"

class CGeneralSettingsPage : public CStandInPage
{
public:
    CGeneralSettingsPage() : CStandInPage(234) {}

    void OnCheckUpdate();
};
