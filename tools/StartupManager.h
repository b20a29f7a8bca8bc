#pragma once
// The startup manager. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CStartupManager : public CStandInPage
{
public:
    CStartupManager() : CStandInPage(254) {}
};
