#pragma once
// Helpers of the junk cleaner and shredder tests: planting files and host
// links, Unix paths for peer tools.
#include "tests/support/HostLink.h"
#include "tests/support/HostPath.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace junktest {

using testsupport::UnixPathOf;
// Creates the folders on the way and the file with those bytes.
bool Plant(const std::wstring& strPath, const std::string& bytes = "x");
// Host links (ln -s): Wine shows a linked folder as a reparse point.
using testsupport::CHostLink;
using testsupport::HostLink;
bool Exists(const std::wstring& strPath);
// Lines of a host command's standard output (run through RunHostCommand).
bool HostLines(const std::string& strCommand, std::vector<std::string>& lines, DWORD dwTimeoutMs = 120000);
std::string Narrow(const std::wstring& str);
// True when the host tool is on the PATH.
bool HostHas(const char* pszTool);

} // namespace junktest
