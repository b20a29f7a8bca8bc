// "Scan all Disk" end to end, in a private prefix whose only drive is C:
// (dosdevices/z: removed, so the Linux root is out of reach). The child run
// asserts the drive list before it walks, and only lists: no delete ever
// follows a drive walk.
#include "privacy/JunkCleanerDlg.h"
#include "privacy/JunkWalk.h"
#include "privacy/PrivacyState.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <stdlib.h>

using namespace privtest;

namespace {

const wchar_t kResultFile[] = L"C:\\junk_child_result.txt";
const char kChildFilter[] = "JunkAllDrives.DISABLED_Child";

bool IsChild()
{
    const char* psz = getenv("TAMSEL_JUNK_DRIVES_CHILD");
    return psz != NULL && strcmp(psz, "1") == 0;
}

} // namespace

// Runs only inside the private prefix (started by the test below), so it is
// disabled in every ordinary run.
TEST(JunkAllDrives, DISABLED_Child)
{
    ASSERT_TRUE(IsChild()) << "runs inside the private prefix only";
    std::string report;
    std::vector<std::wstring> drives = GetJunkScanDrives();
    for (const std::wstring& strDrive : drives)
        report += "DRIVE " + junktest::Narrow(strDrive) + "\n";
    // Nothing is walked unless the list is exactly C:\.
    ASSERT_EQ(drives, (std::vector<std::wstring>{L"C:\\"})) << report;
    HostWindow host;
    CJunkCleanerDlg view;
    ASSERT_TRUE(view.CreateView(host.m_hWnd, 0, 0));
    view.ShowWindow(SW_SHOW);
    ASSERT_TRUE(view.GetOptions().IsAllDisks());
    view.GetOptions().ScanNow();
    ASSERT_TRUE(testsupport::WaitFor([&] { return !view.GetResults().IsScanning(); }, 240000));
    CJunkResultDlg& results = view.GetResults();
    int nPlanted = 0;
    for (int i = 0; i < results.GetRowCount(); i++)
    {
        const JunkFileRow& row = results.GetRow(i);
        EXPECT_EQ(row.strFolder.compare(0, 3, L"C:\\"), 0);
        if (row.strFolder == L"C:\\planted\\" && row.strName == L"Junk.TMP")
            nPlanted++;
    }
    report += "ROWS " + std::to_string(results.GetRowCount()) + "\nPLANTED " + std::to_string(nPlanted) + "\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(kResultFile, report));
}

TEST(JunkAllDrives, ScanAllDiskInAPrivatePrefixWithCOnlyListsWithoutDeleting)
{
    const char* pszPrefix = getenv("WINEPREFIX");
    const char* pszDisplay = getenv("DISPLAY");
    ASSERT_TRUE(pszPrefix != NULL && *pszPrefix != 0);
    ASSERT_TRUE(pszDisplay != NULL && *pszDisplay != 0);
    wchar_t szExe[MAX_PATH * 2];
    ::GetModuleFileNameW(NULL, szExe, MAX_PATH * 2);
    std::string strExe = junktest::UnixPathOf(szExe);
    ASSERT_FALSE(strExe.empty());

    char szCopy[96];
    wsprintfA(szCopy, "/tmp/tamsel-junk-prefix-%08x", testsupport::ProcessSalt());
    const std::string strCopy = szCopy, strPrefix = pszPrefix;
    // Hard links for the bulk, real copies of the registry files the child writes.
    std::string strMake = "P='" + strPrefix + "'; C=" + strCopy + "; rm -rf $C && mkdir -p $C/home && "
                          "cp -al \"$P\" $C/prefix && rm -f $C/prefix/wineserver && "
                          "for f in $C/prefix/*.reg; do cp --remove-destination \"$P/$(basename $f)\" $f || exit 1; done && "
                          "rm -f $C/prefix/dosdevices/z: && mkdir -p $C/prefix/drive_c/planted && "
                          "echo junk > $C/prefix/drive_c/planted/Junk.TMP && cp '" + strExe +
                          "' $C/prefix/drive_c/junk_child.exe && rm -f $C/prefix/drive_c/junk_child_result.txt";
    ASSERT_EQ(testsupport::RunHostCommand(strMake, 120000), 0);
    ASSERT_EQ(testsupport::RunHostCommand("test ! -e " + strCopy + "/prefix/dosdevices/z:", 20000), 0);
    std::string strRun = "export WINEPREFIX=" + strCopy + "/prefix HOME=" + strCopy + "/home DISPLAY='" + pszDisplay +
                         "' TAMSEL_JUNK_DRIVES_CHILD=1 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree=;mshtml='; "
                         "W=$(command -v wine64 || echo /usr/lib/wine/wine64); "
                         "timeout 280 $W 'C:\\junk_child.exe' --gtest_also_run_disabled_tests --gtest_filter=" + std::string(kChildFilter) +
                         "; timeout 30 $(dirname $W)/wineserver -k; true";
    testsupport::RunHostCommand(strRun, 300000);
    std::string report = testsupport::ReadFileBytes(testsupport::HostPath(strCopy + "/prefix/drive_c/junk_child_result.txt"));
    testsupport::RunHostCommand("rm -rf " + strCopy, 120000);
    ASSERT_FALSE(report.empty()) << "the child wrote no result";
    EXPECT_EQ(report.find("DRIVE C:\\\nROWS "), 0u) << report;
    EXPECT_NE(report.find("PLANTED 1\n"), std::string::npos) << report;
}
