#pragma once
// The result reports page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CReportPage : public CStandInPage
{
public:
    CReportPage() : CStandInPage(166) {}
};
