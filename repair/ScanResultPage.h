#pragma once
// The scan result page. Shows its title until the page itself is built; what
// the main window asks of it before leaving is here already.
#include "app/PageStandIn.h"

class CScanResultPage : public CStandInPage
{
public:
    CScanResultPage();

    // Asks whether to leave the unfinished result; 1 on Yes.
    int ConfirmLeave();

    int m_bLeaving;
    int m_bShown;

protected:
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()
};
