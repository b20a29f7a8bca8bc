#pragma once
// The ignore list page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CIgnoreListPage : public CStandInPage
{
public:
    CIgnoreListPage() : CStandInPage(235) {}
};
