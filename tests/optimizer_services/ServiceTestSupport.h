#pragma once
// What the service tests share: the start types as the tests read them
// themselves, and a fixture that records every start type and restores it.
#include "optimizer/ServiceControl.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <map>
#include <string>

namespace svctest {

// The start type through the test's own QueryServiceConfigW; 0 when unreadable.
DWORD QueryStartType(LPCWSTR lpszName);
bool SetStartType(LPCWSTR lpszName, DWORD dwStart);
// The Start value under the service's registry key, read in this process; 0 when missing.
DWORD RegistryStartType(LPCWSTR lpszName);
// Wine's driver hosts (Winedevice<n>) are made by the manager at run time and
// have no registry key.
bool IsDriverHost(LPCWSTR lpszName);
// Waits (bounded) until the manager lists the prefix's services and every
// start type it gives equals the registry's; the differences when it does not.
bool WaitForServiceManager(std::string& strWhy);

// A picture of the window for a person to look at, into the (Linux) folder
// TAMSEL_SCREENSHOT_DIR names; nothing when it is not set.
void ShootIfAsked(HWND hWnd, const std::string& strName);

// A label's pixels as its own window shows them: white, dark and all read.
struct PixelCount
{
    int nWhite = 0;
    int nDark = 0;
    int nAll = 0;
};
PixelCount CountPixels(HWND hLabel);

// Records every service's start type and restores them, asserting the restore.
class ServiceStartTypes : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    static std::string Narrow(const std::wstring& str) { return std::string(str.begin(), str.end()); }
    void WriteRow(int n, LPCWSTR lpszKey, LPCWSTR lpszProfile, LPCWSTR lpszValue);

    testsupport::ScratchFolder m_folder;
    std::map<std::wstring, DWORD> m_before;
};

} // namespace svctest
