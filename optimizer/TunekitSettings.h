#pragma once
// Tunekit.ini: the one-click choices ("setting") and the service profile
// table ("ITEM0" to "ITEM78").
#include "framework/Afx.h"

#define TUNEKIT_INI L"Tunekit.ini"

// Writes the defaults; the wizard calls it only when the file is missing.
void WriteDefaultSettings();
BOOL SettingsFileExists();
