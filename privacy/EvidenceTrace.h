#pragma once
// One place where an evidence item leaves traces: a registry key or value,
// or a folder with a file rule.
#include <windows.h>

// File rules of a folder trace.
#define TRACE_MODE_EVERY_FILE 10
#define TRACE_MODE_EXTENSION 11
#define TRACE_MODE_NAME 12

struct EvidenceTrace
{
    // A predefined key for a registry trace, NULL for a folder trace.
    HKEY hRootKey;
    // The root key's name with a trailing backslash; empty for a folder.
    WCHAR szRootName[64];
    // The key path below the root, or the folder ending in a backslash.
    WCHAR szPath[260];
    // The value name ("*.*" = the whole key), or the file rule's operand.
    WCHAR szName[260];
    int nMode;
};
