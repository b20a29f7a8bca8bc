#pragma once
// Where a key line of a registry-editor file really writes: a key named
// through the Wow6432Node mirror is the 32-bit view's key, and a key that
// both views share (Wine and Windows link some) is one key, whatever view
// the line was imported in.
#include "framework/Afx.h"

struct RegKeyTarget
{
    CString m_strPath;  // root long name and the path, mirror step removed
    // KEY_WOW64_32KEY or KEY_WOW64_64KEY for a key only that view has on
    // 64-bit Windows; 0 for a key both views share, or on 32-bit Windows.
    REGSAM m_samView = 0;
};

// Whether this system keeps two registry views.
BOOL HasTwoRegistryViews();
// The view this process reads when it names none (0 on 32-bit Windows).
REGSAM OwnRegistryView();
// The view in which the whole registry shows, the one a full backup is read
// and restored in: the 64-bit view on 64-bit Windows, where the 32-bit view's
// own keys are the Wow6432Node subkeys (0 on 32-bit Windows).
REGSAM WholeRegistryView();

// Removes the Wow6432Node mirror step from strRest, a path below the root of
// long name strRoot ("SOFTWARE\Wow6432Node\X" becomes "SOFTWARE\X"): what is
// left names the same key in the 32-bit view. FALSE, strRest unchanged, for a
// path through no mirror or the mirror key itself.
BOOL RemoveRegMirrorStep(const CString& strRoot, CString& strRest);

// The key strKeyPath ("ROOT\rest", as a key line names it) opens when
// imported in samView (0: the process's own view). Asks the registry which
// keys the views share, from the deepest part of the path that exists.
RegKeyTarget ResolveRegKeyTarget(const CString& strKeyPath, REGSAM samView);
