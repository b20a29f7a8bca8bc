#pragma once
// The host's path of a Windows path, free of the test framework so the
// benchmarks use it as well.
#include <windows.h>
#include <string>

namespace testsupport {

// Through Wine's loader; empty when Wine cannot tell (or on Windows).
std::string UnixPathOf(const std::wstring& strPath);

} // namespace testsupport
