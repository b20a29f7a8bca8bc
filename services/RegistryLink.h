#pragma once
// Registry links: keys that stand for another key (HKLM\SYSTEM\CurrentControlSet
// for ControlSet001, a user's Software\Classes for <SID>_Classes). Opened
// with REG_OPTION_OPEN_LINK, a link shows itself rather than its target: one
// value "SymbolicLinkValue" of type REG_LINK holding the target's NT path
// ("\REGISTRY\MACHINE\..." or "\REGISTRY\USER\...").
#include "framework/Afx.h"

// TRUE when hKey, opened with REG_OPTION_OPEN_LINK, is a link; pstrTarget
// (optional) gets the target's NT path.
BOOL GetRegistryLinkTarget(HKEY hKey, CString* pstrTarget = NULL);

// TRUE when hParent\pszName is a link (one open of the name, as a link).
BOOL IsRegistryLink(HKEY hParent, LPCWSTR pszName, REGSAM samView = 0, CString* pstrTarget = NULL);

// The registry view in which hRoot\pszPath is a key of its own, for a key
// that in samView (0: the process's own view) is itself a link to the very
// key the other view shows, as Wine links Fonts from the 32-bit view to the
// 64-bit one. Values read through the link are that key's, and only there
// can a registry-editor file write them back. samView itself for any other
// key, and where the system keeps one view only.
REGSAM ViewOfLinkedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView);

// The NT path of an open key ("\REGISTRY\USER\S-1-5-...\Software"), the
// form in which links name their targets. FALSE when it cannot be asked.
BOOL GetRegistryKeyNtPath(HKEY hKey, CString& strPath);

// Whether the NT path strPath is strTop or lies below it (any case).
BOOL IsRegistryPathWithin(const CString& strPath, const CString& strTop);

// Deletes the key behind hKey itself (it must have no subkeys and be opened
// with DELETE): a link opened with REG_OPTION_OPEN_LINK goes as a link, its
// target untouched. ERROR_NOT_SUPPORTED where the system offers no such call.
LONG DeleteRegistryKeyHandle(HKEY hKey);
