#pragma once
// The library's module state as its own code and its tests see it; the host
// reaches it only through the exports.
#include "framework/Afx.h"

class CSystemOptimizerDlg;
class CServiceOptimizerDlg;
class CMemoryOptimizerDlg;

CSystemOptimizerDlg* GetSystemOptimizerView();
CServiceOptimizerDlg* GetServiceOptimizerView();
CMemoryOptimizerDlg* GetMemoryOptimizerView();
HHOOK GetOptimizerHook();
int GetShownOptimizerView();
