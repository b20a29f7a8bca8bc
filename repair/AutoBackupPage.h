#pragma once
// The automatic backup page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CAutoBackupPage : public CStandInPage
{
public:
    CAutoBackupPage() : CStandInPage(127) {}
};
