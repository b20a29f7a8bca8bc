#pragma once
// The value "Tamsel" under the current user's Run key, which starts the
// program with Windows: its existence is the setting, whatever it holds;
// written, it holds the quoted path of the running executable.
#include "framework/Afx.h"

// Reads only: a missing Run key is no reason to create an empty one.
BOOL IsRunAtStartup();
// Writes or removes the value; removing a missing value succeeds.
BOOL SetRunAtStartup(BOOL bRun);
