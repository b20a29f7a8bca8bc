#pragma once
// A status bar whose panes get a thin flat frame instead of the sunken one.
#include "framework/Afx.h"

class CStatusBarXP : public CStatusBar
{
protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
