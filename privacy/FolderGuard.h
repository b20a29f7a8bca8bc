#pragma once
// Which folder traces may be listed or deleted at all. A folder must be
// absolute and plain; a rule over every file (or an extension) is refused at
// a drive root and at the folders that hold the system or the user's own
// files, since there it would take far more than traces.
#include "privacy/EvidenceTrace.h"

// "X:\..." or "\\server\share\...", ending in '\', with no empty, "." or ".."
// part, no wildcard and no ':' past the drive.
BOOL IsAbsoluteTraceFolder(const CString& strFolder);
// "X:\" or "\\server\share\".
BOOL IsRootTraceFolder(const CString& strFolder);
// A bare file name: no separator, colon or wildcard, not "." or "..".
BOOL IsPlainFileName(const CString& strName);
// The Windows, system, Program Files, profile, Documents, Desktop, Music,
// Pictures, Videos or application-data folders, or a folder holding one.
BOOL IsProtectedTraceFolder(const CString& strFolder);

// TEMP, a shell folder programs expect, or a protected folder: a clean may
// empty it but never removes it.
BOOL IsKeptTraceFolder(const CString& strFolder);

// TRUE when the folder trace may be listed and deleted.
BOOL IsFolderTraceAllowed(const EvidenceTrace& trace);
