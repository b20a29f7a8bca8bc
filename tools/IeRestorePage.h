#pragma once
// The Internet Explorer repairs page. Shows its title until the page itself is built.
#include "app/PageStandIn.h"

class CIeRestorePage : public CStandInPage
{
public:
    CIeRestorePage() : CStandInPage(413) {}
};
