#pragma once
// The privacy library's application object: the host owns the message loop,
// so it starts nothing of its own.
#include "framework/Afx.h"

class CSweepkitApp : public CWinApp
{
public:
    CSweepkitApp() : CWinApp(L"Sweepkit") {}
    BOOL InitInstance() override { return TRUE; }
};
