#pragma once
// A plain stand-in for the main window (template 102) until the real one
// takes its place in CTamselApp::RunMainWindow: it marks itself for a second
// start, chooses the language, translates itself and closes on request.
#include "framework/Afx.h"

class CMainWindowStandIn : public CDialog
{
public:
    CMainWindowStandIn();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnClose();
    afx_msg void OnCloseButton();
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
