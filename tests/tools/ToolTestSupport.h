#pragma once
// Shared by the tool tests: registry planting, reading values back, running
// programs and host tools, and the peer-tool rule of the suite.
#include "framework/Afx.h"
#include "tests/support/HostScratch.h"
#include "tests/support/HostSupport.h"
#include <string>
#include <vector>

class CToolRestorePage;

namespace tooltest {

typedef std::vector<BYTE> Bytes;

// samView: 0 for the process's own registry view, KEY_WOW64_32KEY or KEY_WOW64_64KEY.
void SetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dwType, const Bytes& data,
              REGSAM samView = 0);
void SetText(HKEY hRoot, const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD dwType = REG_SZ,
             REGSAM samView = 0);
// FALSE when the value is missing.
bool GetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD& dwType, Bytes& data, REGSAM samView = 0);
// The text of a value, or "(none)" when it is missing.
std::wstring GetText(HKEY hRoot, const std::wstring& key, const std::wstring& name, REGSAM samView = 0);
bool KeyExists(HKEY hRoot, const std::wstring& key, REGSAM samView = 0);
void DeleteValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, REGSAM samView = 0);
Bytes TextBytes(const std::wstring& text);   // with the terminating null
// A text as the bytes of a UTF-16LE file with its byte-order mark.
std::string Utf16(const std::wstring& strText);
// Writes a zip archive of the named entries; false when a step fails.
bool WriteArchive(const std::wstring& strArchive, const std::vector<std::pair<std::wstring, std::string>>& entries);

using testsupport::RunWindowsProgram;

// A folder under /tmp that both sides see: Win() for us, Unix() for the host.
class HostScratch : public testsupport::HostScratch
{
public:
    HostScratch() : testsupport::HostScratch("tools") {}
};

// Serves this thread's messages until the restore page has all its rows
// (bounded; FALSE when it did not get there).
bool WaitListed(CToolRestorePage& page);

bool HostHas(const char* pszTool);
// The pixels of an icon drawn at 16 x 16 on white, to tell two icons apart.
std::vector<COLORREF> IconPixels(HICON hIcon);
// TRUE when CI asks every peer check to run (a missing tool fails there).
bool PeersRequired();

} // namespace tooltest

#define TOOL_PEER_MISSING(what)                                              \
    do {                                                                     \
        if (tooltest::PeersRequired())                                       \
            FAIL() << what << " missing and TAMSEL_REQUIRE_PEERS=1";         \
        GTEST_SKIP() << what << " missing: peer check skipped";              \
    } while (0)
