#pragma once
// Shared helpers of the test executables: scratch registry keys and folders
// that clean up after themselves, and waiting on a condition without sleeping
// blindly.
#include "tests/support/HostSupport.h"

#include <windows.h>
#include <string>

namespace testsupport {

// TRUE when a missing peer (host tool, Wine program or service) must fail the
// test rather than skip it: CI sets TAMSEL_REQUIRE_PEERS=1.
bool PeersRequired();

// The name of the running test, "Suite.Name", for scratch locations.
std::wstring CurrentTestName();

// HKCU\Software\TamselTest\<test>: created empty, removed with its subtree.
class ScratchRegKey
{
public:
    ScratchRegKey();
    ~ScratchRegKey();
    HKEY Key() const { return m_hKey; }
    // Path below HKEY_CURRENT_USER, without a leading backslash.
    const std::wstring& Path() const { return m_strPath; }
    ScratchRegKey(const ScratchRegKey&) = delete;
    ScratchRegKey& operator=(const ScratchRegKey&) = delete;
private:
    HKEY m_hKey = NULL;
    std::wstring m_strPath;
};

// %TEMP%\TamselTest\<test>: created empty, removed with its contents.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    // Folder path with a trailing backslash.
    const std::wstring& Path() const { return m_strPath; }
    std::wstring File(const std::wstring& strName) const { return m_strPath + strName; }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
private:
    std::wstring m_strPath;
};

// Removes a folder tree; TRUE when nothing is left.
bool RemoveTree(const std::wstring& strPath);

// Sets the access list of HKEY_...\strPath from a descriptor string; Wine
// enforces it, so "D:P(A;;KR;;;WD)" makes the key read-only and
// "D:P(A;;KA;;;WD)" gives full access back.
bool SetKeyAccess(HKEY hRoot, const std::wstring& strPath, LPCWSTR pszDescriptor);

// A SYSTEMTIME of the given fields, the rest zero.
SYSTEMTIME SystemTimeOf(WORD wYear, WORD wMonth, WORD wDay, WORD wHour = 0, WORD wMinute = 0, WORD wSecond = 0);

// The first visible top-level window of a process, or NULL.
HWND FindProcessWindow(DWORD dwProcessId);

// A number fixed for this process and unlikely to repeat in another: suites run
// side by side in prefixes of their own, where process ids repeat, so host
// folders named after the process id alone would collide.
unsigned ProcessSalt();

// Windows path of a Linux path ("/usr/bin/zip" -> "Z:\usr\bin\zip"); empty when
// the path does not exist.
std::wstring HostPath(const std::string& strUnixPath);

} // namespace testsupport

// Skips the test because a peer is missing, or fails it when peers are
// required. Use in the test body (or SetUp) as a statement.
#define TAMSEL_PEER_MISSING(message)                                                        \
    do                                                                                      \
    {                                                                                       \
        if (testsupport::PeersRequired())                                                   \
            FAIL() << "peer missing (TAMSEL_REQUIRE_PEERS=1): " << message;                 \
        else                                                                                \
            GTEST_SKIP() << message;                                                        \
    } while (0)
