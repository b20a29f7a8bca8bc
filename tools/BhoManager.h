#pragma once
// The browser helper object manager. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CBhoManager : public CStandInPage
{
public:
    CBhoManager() : CStandInPage(253) {}
};
