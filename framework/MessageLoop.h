#pragma once
// Pieces every message loop of the framework shares: nesting depth (only the
// outermost loop may delete temporaries, inner loops run under handlers that
// still hold them) and the walk of PreTranslateMessage up the window tree.
#include "framework/AfxDefs.h"

class CMessageLoopScope
{
public:
    CMessageLoopScope();
    ~CMessageLoopScope();
    CMessageLoopScope(const CMessageLoopScope&) = delete;
    CMessageLoopScope& operator=(const CMessageLoopScope&) = delete;
};

// Deletes this thread's temporary wrappers when called from the outermost loop.
void AfxIdlePurge();
// Deletes this thread's temporary wrappers now.
void AfxPurgeTemporaryObjects();
// Deletes this thread's temporaries and the maps holding them; a thread
// calls it as it ends.
void AfxFreeThreadTemporaries();
// Every temporary map of the process that is alive (for tests).
int AfxGetTempMapCount();
// Offers the message to each permanent window from its target up to hWndStop
// (included); TRUE when one took it.
BOOL AfxWalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
