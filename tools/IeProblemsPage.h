#pragma once
// The Internet Explorer problem links page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CIeProblemsPage : public CStandInPage
{
public:
    CIeProblemsPage() : CStandInPage(414) {}
};
