#pragma once
// One-time registration of the common-control and rich edit window classes
// that the control wrappers create.
#include "framework/AfxDefs.h"
#include <commctrl.h>

// Registers the classes of the given ICC_* flags once per process; flags
// already registered cost nothing. FALSE when registration failed.
BOOL AfxInitCommonControls(DWORD dwIccFlags);

// Loads riched20.dll once (kept for the process's life) so that the class
// "RichEdit20W" exists for Create and for dialog templates.
BOOL AfxInitRichEdit2();
