#pragma once
// The full registry backup page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CFullBackupPage : public CStandInPage
{
public:
    CFullBackupPage() : CStandInPage(255) {}
};
