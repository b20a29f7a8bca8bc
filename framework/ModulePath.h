#pragma once
// The full path of a loaded module (the program itself by default), never
// cut short: empty when it cannot be had whole.
#include "framework/String.h"

CString AfxGetModulePath(HMODULE hModule = NULL);
// Its folder, with the trailing backslash.
CString AfxGetModuleFolder(HMODULE hModule = NULL);
// Its file name without the folder and the extension.
CString AfxGetModuleBaseName(HMODULE hModule = NULL);
