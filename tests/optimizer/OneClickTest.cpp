// Tunekit.ini and the one-click settings dialog.
#include "optimizer/OneClickSettingDlg.h"
#include "optimizer/Registry.h"
#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/WizardFixture.h"
#include <cstdlib>

using namespace optest;
using testsupport::MessageBoxRecorder;

namespace {
std::vector<std::wstring> SectionNames(const std::wstring& strFile)
{
    std::vector<wchar_t> buffer(65536);
    DWORD n = ::GetPrivateProfileSectionNamesW(buffer.data(), (DWORD)buffer.size(), strFile.c_str());
    std::vector<std::wstring> names;
    for (const wchar_t* p = buffer.data(); p < buffer.data() + n && *p; p += wcslen(p) + 1)
        names.push_back(p);
    return names;
}

std::vector<std::wstring> SectionLines(const std::wstring& strFile, const std::wstring& strSection)
{
    std::vector<wchar_t> buffer(65536);
    DWORD n = ::GetPrivateProfileSectionW(strSection.c_str(), buffer.data(), (DWORD)buffer.size(), strFile.c_str());
    std::vector<std::wstring> lines;
    for (const wchar_t* p = buffer.data(); p < buffer.data() + n && *p; p += wcslen(p) + 1)
        lines.push_back(p);
    return lines;
}

bool PeersRequired()
{
    const char* psz = std::getenv("TAMSEL_REQUIRE_PEERS");
    return psz != NULL && std::string(psz) == "1";
}

class OneClickTest : public WizardTest
{
protected:
    std::unique_ptr<COneClickSettingDlg> Open()
    {
        std::unique_ptr<COneClickSettingDlg> pDlg(new COneClickSettingDlg(m_pDlg.get()));
        EXPECT_TRUE(pDlg->Create(COneClickSettingDlg::IDD, m_pDlg.get()));
        return pDlg;
    }
    std::wstring IniPath() { return m_folder.File(L"Tunekit.ini"); }
};
} // namespace

TEST_F(WizardTest, AFreshSettingsFileHoldsExactlyTheTables)
{
    std::wstring strFile = m_folder.File(L"Tunekit.ini");
    std::vector<std::wstring> sections = SectionNames(strFile);
    ASSERT_EQ(sections.size(), 80u);
    EXPECT_EQ(sections[0], L"setting");
    EXPECT_EQ(SectionLines(strFile, L"setting"),
              (std::vector<std::wstring>{L"nw=5069", L"dc=5071", L"dt=5077", L"fs=5078"}));
    size_t nKeys = 4;
    for (int n = 0; n <= 78; n++)
    {
        std::vector<std::wstring> lines = SectionLines(strFile, L"ITEM" + std::to_wstring(n));
        ASSERT_EQ(lines.size(), 7u) << n;
        nKeys += lines.size();
        const wchar_t* keys[] = {L"key=", L"campus=", L"home=", L"interner=", L"notebook=", L"offic=", L"default="};
        for (int i = 0; i < 7; i++)
            EXPECT_EQ(lines[i].compare(0, wcslen(keys[i]), keys[i]), 0) << n << " " << i;
    }
    EXPECT_EQ(nKeys, 4u + 79u * 7u);
    EXPECT_EQ(SectionLines(strFile, L"ITEM0")[0], L"key=Alerter");
    EXPECT_EQ(SectionLines(strFile, L"ITEM55"),
              (std::vector<std::wstring>{L"key=Spooler", L"campus=DISABLED", L"home=AUTO", L"interner=DISABLED",
                                         L"notebook=AUTO", L"offic=AUTO", L"default=AUTO"}));
    EXPECT_EQ(SectionLines(strFile, L"ITEM78")[0], L"key=xmlprov");
}

TEST(TunekitIni, AnExistingFileStaysByteIdenticalAndReadsInPython)
{
    // In a folder the host's Python can read too.
    std::string strUnix = "/tmp/tamsel-optimizer-" + std::to_string(testsupport::ProcessSalt()) + "/";
    testsupport::RunHostCommand("rm -rf '" + strUnix + "' && mkdir -p '" + strUnix + "'");
    std::wstring strWin = testsupport::HostPath(strUnix);
    ASSERT_FALSE(strWin.empty());
    if (strWin.back() != L'\\')
        strWin += L'\\';
    CIniFile::SetHostFolderForTests(strWin.c_str());

    const std::string strOwn = "[ITEM0]\r\nkey=Alerter\r\n; the user's own note\r\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(strWin + L"Tunekit.ini", strOwn));
    EXPECT_TRUE(SettingsFileExists());
    {
        HostWindow host;
        RedirectedHive hive;
        CSystemOptimizerDlg dlg;
        ASSERT_TRUE(dlg.Create(CSystemOptimizerDlg::IDD, &host));
        // Without "setting" the one-click dialog shows its defaults.
        COneClickSettingDlg oneClick(&dlg);
        ASSERT_TRUE(oneClick.Create(COneClickSettingDlg::IDD, &dlg));
        EXPECT_EQ(oneClick.GetCheckedRadioButton(5065, 5070), 5069);
        oneClick.DestroyWindow();
    }
    EXPECT_EQ(testsupport::ReadFileBytes(strWin + L"Tunekit.ini"), strOwn);

    ::DeleteFileW((strWin + L"Tunekit.ini").c_str());
    WriteDefaultSettings();
    bool bPython = testsupport::RunHostCommand("command -v python3") == 0;
    if (bPython)
    {
        const std::string strScript =
            "import configparser, sys\n"
            "c = configparser.ConfigParser()\n"
            "c.read(sys.argv[1] + 'Tunekit.ini', encoding='ascii')\n"
            "assert dict(c['setting']) == {'nw': '5069', 'dc': '5071', 'dt': '5077', 'fs': '5078'}, dict(c['setting'])\n"
            "assert len(c.sections()) == 80\n"
            "assert list(c['ITEM19'].items()) == [('key', 'helpsvc'), ('campus', 'DISABLED'), ('home', 'DISABLED'),"
            " ('interner', 'DISABLED'), ('notebook', 'DISABLED'), ('offic', 'DISABLED'), ('default', 'AUTO')]\n"
            "assert all(len(c['ITEM%d' % n]) == 7 for n in range(79))\n";
        ASSERT_TRUE(testsupport::WriteFileBytes(strWin + L"check.py", strScript));
        EXPECT_EQ(testsupport::RunHostCommand("PATH=/usr/local/bin:/usr/bin:/bin python3 '" + strUnix + "check.py' '" +
                                              strUnix + "'"),
                  0);
    }
    CIniFile::SetHostFolderForTests(NULL);
    testsupport::RunHostCommand("rm -rf '" + strUnix + "'");
    if (!bPython)
        TAMSEL_PEER_MISSING("python3 is missing on the host");
}

TEST_F(OneClickTest, FirstRunShowsTheDefaultsAndOptimizeStoresAndAppliesInOrder)
{
    ::DeleteFileW(IniPath().c_str());
    auto pDlg = Open();
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5065, 5070), 5069);
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5076, 5077), 5077);
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5071, 5075), 5071);
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5078, 5079), 5078);
    CString strTitle;
    pDlg->GetWindowText(strTitle);
    EXPECT_EQ(strTitle, CString(L"Settings for One-click Optimization"));
    CString strOk;
    pDlg->GetDlgItemText(IDOK, strOk);
    EXPECT_EQ(strOk, CString(L"Optimize"));

    std::vector<CString> trace;
    CRegistry::TraceAllInto(&trace);
    MessageBoxRecorder recorder;
    pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    CRegistry::TraceAllInto(NULL);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"One-click Optimization is completed.");
    CIniFile ini(L"Tunekit.ini");
    EXPECT_EQ(ini.ReadInt(L"setting", L"nw"), 5069);
    EXPECT_EQ(ini.ReadInt(L"setting", L"dt"), 5077);
    EXPECT_EQ(ini.ReadInt(L"setting", L"dc"), 5071);
    EXPECT_EQ(ini.ReadInt(L"setting", L"fs"), 5078);

    // Network, desktop, disk cache, file system: each page's first write.
    auto first = [&](const wchar_t* pszValue) {
        return std::find(trace.begin(), trace.end(), CString(pszValue)) - trace.begin();
    };
    ASSERT_LT(first(L"SecondLevelDataCache"), (long)trace.size());
    EXPECT_LT(first(L"SackOpts"), first(L"MinAnimate"));
    EXPECT_LT(first(L"MinAnimate"), first(L"AutoEndTasks"));
    EXPECT_LT(first(L"AutoEndTasks"), first(L"SecondLevelDataCache"));
    RegDump dump = m_hive->Dump();
    EXPECT_EQ(dump[L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters|TcpRecvSegmentSize"].data,
              DwordBytes(1452));
    EXPECT_FALSE(pDlg->IsWindowVisible());
    // The wizard stays where it was.
    EXPECT_EQ(m_pDlg->GetStep(), 0);
}

TEST_F(OneClickTest, QuitChangesNothing)
{
    std::string strBefore = testsupport::ReadFileBytes(IniPath());
    auto pDlg = Open();
    pDlg->CheckRadioButton(5065, 5070, 5065);
    pDlg->CheckRadioButton(5078, 5079, 5079);
    MessageBoxRecorder recorder;
    pDlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_EQ(testsupport::ReadFileBytes(IniPath()), strBefore);
    EXPECT_EQ(m_hive->Dump().size(), 2u);
}

TEST_F(OneClickTest, AStoredIdOfAnotherGroupShowsAndAppliesTheDefault)
{
    CIniFile ini(L"Tunekit.ini");
    ini.WriteInt(L"setting", L"nw", 5071);  // a disk cache id
    ini.WriteInt(L"setting", L"fs", 5079);
    auto pDlg = Open();
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5065, 5070), 5069);
    EXPECT_EQ(pDlg->GetCheckedRadioButton(5078, 5079), 5079);
    // The user picks Modem before Optimize.
    pDlg->CheckRadioButton(5065, 5070, 5065);
    MessageBoxRecorder recorder;
    pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ini.ReadInt(L"setting", L"nw"), 5065);
    EXPECT_EQ(ini.ReadInt(L"setting", L"fs"), 5079);
    RegDump dump = m_hive->Dump();
    EXPECT_EQ(dump[L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters|DefaultTTL"].data, DwordBytes(32));
    EXPECT_EQ(dump[L"HKCU\\Software\\Microsoft\\MediaPlayer\\Player\\Settings|EnableDVDUI"].data, StringBytes(L"yes"));
}
