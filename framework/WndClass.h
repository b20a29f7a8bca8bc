#pragma once
// Window classes the framework registers for its own windows.
#include "framework/AfxDefs.h"

class CWnd;

// The class of a plain CWnd created without a class name.
LPCTSTR AfxDefaultWndClass();

// Creation of a window whose object must receive its first messages
// (the dialog creates through Win32 dialog functions).
// *pbAttached (when given) tells afterwards whether the hook took the window.
void AfxHookWindowCreate(CWnd* pWnd, bool* pbAttached = NULL);
void AfxUnhookWindowCreate();
