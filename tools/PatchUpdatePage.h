#pragma once
// The Windows Update page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CPatchUpdatePage : public CStandInPage
{
public:
    CPatchUpdatePage() : CStandInPage(425) {}
};
