#pragma once
// Helpers free of the test framework, so the benchmarks use them as well:
// whole files, waiting on a condition and running a host shell command.
#include <windows.h>
#include <functional>
#include <string>

namespace testsupport {

// Writes bytes to a file, replacing it.
bool WriteFileBytes(const std::wstring& strPath, const std::string& bytes);
// Reads a whole file; empty on failure.
std::string ReadFileBytes(const std::wstring& strPath);

// Pumps this thread's messages until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD dwTimeoutMs = 10000);

// Starts a Windows program of the prefix and waits for it; its exit code, -1
// when it did not start, -2 when it did not end in time (it is then ended).
int RunWindowsProgram(const std::wstring& strCommand, DWORD dwTimeoutMs = 120000);

// The path drive Z: gives a host path ("/tmp/a" -> "Z:\\tmp\\a").
std::wstring DrivePathOf(const std::string& strUnixPath);

// Runs a command line in the host's /bin/sh (Wine starts Unix programs but does
// not pass their exit code back, so the command reports it through a file).
// Returns the exit code, or -1 when it could not start or timed out.
int RunHostCommand(const std::string& strCommand, DWORD dwTimeoutMs = 120000);

} // namespace testsupport
