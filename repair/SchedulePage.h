#pragma once
// The scheduling page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CSchedulePage : public CStandInPage
{
public:
    CSchedulePage() : CStandInPage(236) {}
};
