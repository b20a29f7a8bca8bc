#pragma once
// What an error code of the Windows Update Agent means, in words a user can
// act on: the system's own text, or for the agent's codes, which the system
// has no text for, the language key of what went wrong.
#include "framework/Afx.h"

// The system's message for a code (an Internet error's from the Internet
// library), on one line; empty when it has none.
CString SystemErrorText(HRESULT hr);

// The language key for an agent code (0x8024xxxx) by the agent's part that
// failed, or for an Internet error it passed on; NULL for any other code.
LPCWSTR UpdateAgentErrorKey(HRESULT hr);
