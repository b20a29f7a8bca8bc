#pragma once
// The backup and restore hub page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CBackupHubPage : public CStandInPage
{
public:
    CBackupHubPage() : CStandInPage(416) {}
};
