#pragma once
// Shared by the repair tests: the application object pointed at a scratch
// program folder, problem records, registry planting, peer tools and the
// program's own dialog templates.
#include "app/TamselApp.h"
#include "repair/Repair.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace repairtest {

// The test executable's application object.
CTamselApp* App();

// Empties the 30 lists and points the program folder at strFolder.
void ResetApp(const std::wstring& strFolder);

CRegProblem ValueProblem(const CString& strHive, const CString& strKey, const CString& strValue, const CString& strData = L"x");
CRegProblem KeyProblem(const CString& strHive, const CString& strKey);
CRegProblem ShortcutProblem(const CString& strPath);

// Names of a zip archive's entries; empty when it does not open.
std::vector<std::wstring> ArchiveNames(const CString& strArchive);

// Lines a repair gave, in order.
class RecordingLog : public CRepairLog
{
public:
    void AddLine(const CString& strLog, const CString& strStatus) override
    {
        m_log.push_back(strLog.Str());
        m_status.push_back(strStatus.Str());
    }
    using CRepairLog::AddLine;
    std::vector<std::wstring> m_log;
    std::vector<std::wstring> m_status;
};

// File names in a folder, sorted, without "." and "..".
std::vector<std::wstring> FolderFiles(const std::wstring& strFolder);

using testsupport::RunWindowsProgram;

// Whether a peer tool can be used. When not: a failure when
// TAMSEL_REQUIRE_PEERS=1 is set, else false so that the caller skips.
bool PeerAvailable(const char* pszUnixTool);
bool RequirePeers();

// A host path of a Windows path under the prefix (via Z: or the drive
// mapping); empty when it cannot be told.
std::string UnixPathOf(const std::wstring& strWindowsPath);

// Runs Python with a script and arguments; its exit code, output in strOut.
int RunPython(const std::string& strScript, const std::vector<std::wstring>& arrArgs, std::string& strOut);

// The dialog templates and art of Tamsel.exe, loaded as resources for the
// test executable. FALSE when Tamsel.exe is not beside the tests.
bool UseProgramResources();

// With TAMSEL_SCREENSHOT_DIR set (a host folder), saves the screen there
// as <name>.png; otherwise does nothing.
void SaveScreenshot(const char* pszName);

// Source folder of the language file.
std::wstring EnglishIniPath();

} // namespace repairtest

class CTamselDlg;

namespace repairtest {

// A main window of the program over a scratch program folder, built from
// Tamsel.exe's own templates.
class RepairWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    static void TakeScreenshot(const char* pszName) { SaveScreenshot(pszName); }
    // Pumps this thread's messages for a while.
    static void Pump(DWORD dwMs);

    testsupport::ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    CTamselDlg* m_pDlg = NULL;
};

} // namespace repairtest
