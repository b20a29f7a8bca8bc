#pragma once
// Runs a host shell command from a program under Wine and reads back what it
// wrote (Wine does not pass a Unix program's exit code back).
#include "tests/support/HostPath.h"
#include <windows.h>
#include <string>

namespace benchshell {

// The host path of a Windows path; empty when Wine cannot tell.
inline std::string UnixPath(const std::wstring& strPath)
{
    return testsupport::UnixPathOf(strPath);
}
// Runs the command in /bin/sh; its standard output is returned in strOut.
// FALSE when it did not finish in time or exited with another code than 0.
bool Run(const std::string& strCommand, std::string& strOut, DWORD dwTimeoutMs = 600000);
// Seconds one command took, timed by the shell around it alone (no process
// start of ours included); a negative value when it failed.
double Time(const std::string& strCommand);

} // namespace benchshell
