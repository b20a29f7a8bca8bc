#pragma once
// The favorites backup page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CFavoritesBackupPage : public CStandInPage
{
public:
    CFavoritesBackupPage() : CStandInPage(5714) {}
};
