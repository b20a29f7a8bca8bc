#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace scantest;

namespace {
std::wstring SystemFolder()
{
    wchar_t sz[MAX_PATH];
    ::GetSystemDirectoryW(sz, MAX_PATH);
    return sz;
}

// A unique name that a row's text can be searched for.
std::wstring Tag(const wchar_t* pszName)
{
    return std::wstring(pszName) + L"_" + NewGuid().substr(1, 8);
}

struct ValuePlant
{
    const wchar_t* pszName;
    std::wstring strData;
    DWORD dwType;
    size_t nRows;
    std::wstring strTag;
};

// Plants each value under its own tagged name in one key, scans the category
// and checks each tag's rows.
void CheckValues(HKEY hRoot, const std::wstring& strKey, int nCategory, std::vector<ValuePlant>& plants)
{
    ClassesKeys keys(hRoot);
    for (ValuePlant& plant : plants)
    {
        plant.strTag = Tag(plant.pszName);
        ASSERT_TRUE(keys.SetString(strKey, plant.strTag, plant.strData, plant.dwType)) << plant.pszName;
    }
    HeadlessScan run;
    run.Only({nCategory});
    run.Run();
    for (const ValuePlant& plant : plants)
        EXPECT_EQ(run.RowsWith(plant.strTag).size(), plant.nRows) << testing::PrintToString(std::wstring(plant.pszName));
}
}  // namespace

TEST(UninstallScanner, EachRuleFindsItsFaultAndKeepsItsLookAlike)
{
    testsupport::ScratchFolder folder;
    std::wstring strTools = folder.Path() + L"My -Tools";
    ASSERT_TRUE(::CreateDirectoryW(strTools.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strTools + L"\\un.exe", "MZ"));
    struct Entry
    {
        const wchar_t* pszName;
        std::vector<std::pair<std::wstring, std::wstring>> strings;
        std::vector<std::pair<std::wstring, DWORD>> numbers;
        size_t nRows;
        std::wstring strKey;
    };
    std::wstring strPresent = L"\"" + strTools + L"\\un.exe\" -uninstall /quiet";
    std::vector<Entry> entries = {
        {L"quoted with a dash inside", {{L"UninstallString", strPresent}}, {}, 0},
        {L"quoted missing", {{L"UninstallString", L"\"" + strTools + L"\\gone.exe\" -u"}}, {}, 1},
        {L"unquoted blanks", {{L"UninstallString", strTools + L"\\un.exe /S"}}, {}, 0},
        {L"unquoted missing", {{L"UninstallString", L"C:\\tamsel gone\\un.exe /S"}}, {}, 1},
        {L"msiexec", {{L"UninstallString", L"MsiExec.exe /X{00000000-0000-0000-0000-000000000000}"}}, {}, 0},
        // A host program is judged by what it runs.
        {L"rundll32 library gone", {{L"UninstallString", L"rundll32.exe C:\\tamsel\\gone.dll,Remove"}}, {}, 1},
        {L"rundll32 library there", {{L"UninstallString", L"rundll32.exe shell32.dll,Control_RunDLL appwiz.cpl"}}, {}, 0},
        {L"regsvr32", {{L"UninstallString", L"regsvr32.exe /u /s C:\\tamsel\\gone.dll"}}, {}, 0},
        {L"empty command", {{L"UninstallString", L""}}, {}, 1},
        {L"no command", {{L"DisplayName", L"x"}}, {}, 1},
        {L"NoRemove", {}, {{L"NoRemove", 1}}, 0},
        {L"NoRemove zero", {}, {{L"NoRemove", 0}}, 1},
        {L"system component", {}, {{L"SystemComponent", 1}}, 0},
        {L"installer product", {}, {{L"WindowsInstaller", 1}}, 0},
        {L"update of a parent", {{L"ParentKeyName", L"OperatingSystem"}}, {}, 0},
        {L"install source present", {{L"UninstallString", strPresent}, {L"InstallSource", folder.Path()}}, {}, 0},
        {L"install source missing", {{L"UninstallString", strPresent}, {L"InstallSource", L"C:\\tamsel\\gone\\"}}, {}, 1},
        {L"icon with index", {{L"UninstallString", strPresent}, {L"DisplayIcon", L"\"" + strTools + L"\\un.exe\",0"}}, {}, 0},
        {L"icon missing", {{L"UninstallString", strPresent}, {L"DisplayIcon", L"C:\\tamsel\\gone.ico"}}, {}, 1},
        {L"icon empty", {{L"UninstallString", strPresent}, {L"DisplayIcon", L""}}, {}, 1},
    };
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    for (Entry& entry : entries)
    {
        entry.strKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + Tag(L"entry");
        ASSERT_TRUE(keys.Create(entry.strKey));
        for (const auto& value : entry.strings)
            ASSERT_TRUE(keys.SetString(entry.strKey, value.first, value.second));
        for (const auto& value : entry.numbers)
            ASSERT_TRUE(keys.SetDword(entry.strKey, value.first, value.second));
    }
    HeadlessScan run;
    run.Only({2});
    run.Run();
    for (const Entry& entry : entries)
        EXPECT_EQ(run.RowsWith(entry.strKey + L"<").size(), entry.nRows) << testing::PrintToString(std::wstring(entry.pszName));
    // A missing program is a problem of the whole entry, a missing icon of its value.
    const CArray<CRegProblem>& list = run.scan.ProblemList(2);
    for (int i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strKey == entries[1].strKey.c_str())
        {
            EXPECT_FALSE(list[i].m_bValue);
            EXPECT_STREQ(list[i].m_strValueName, L"UninstallString");
        }
        if (list[i].m_strKey == entries[18].strKey.c_str())
        {
            EXPECT_TRUE(list[i].m_bValue);
        }
    }
}

TEST(AppPathScanner, EachRuleFindsItsFaultAndKeepsItsLookAlike)
{
    const std::wstring strBase = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    std::wstring strQuoted = Tag(L"quoted"), strExpanded = Tag(L"expanded"), strMissing = Tag(L"missing"),
                 strEmpty = Tag(L"empty"), strNoValues = Tag(L"novalues"), strWithSub = Tag(L"withsub"),
                 strExpandType = Tag(L"expandtype"), strPathOnly = Tag(L"pathonly");
    ASSERT_TRUE(keys.SetString(strBase + strQuoted, L"", L"\"" + SystemFolder() + L"\\notepad.exe\""));
    ASSERT_TRUE(keys.SetString(strBase + strExpanded, L"", L"%SystemRoot%\\system32\\notepad.exe"));
    ASSERT_TRUE(keys.SetString(strBase + strMissing, L"", L"C:\\tamsel\\gone.exe"));
    ASSERT_TRUE(keys.SetString(strBase + strEmpty, L"", L""));
    ASSERT_TRUE(keys.Create(strBase + strNoValues));
    ASSERT_TRUE(keys.SetString(strBase + strWithSub, L"", L"C:\\tamsel\\gone.exe"));
    ASSERT_TRUE(keys.Create(strBase + strWithSub + L"\\SupportedProtocols"));
    ASSERT_TRUE(keys.SetString(strBase + strExpandType, L"", L"C:\\tamsel\\gone.exe", REG_EXPAND_SZ));
    ASSERT_TRUE(keys.SetString(strBase + strPathOnly, L"Path", L"C:\\tamsel\\gone"));
    HeadlessScan run;
    run.Only({3});
    run.Run();
    EXPECT_EQ(run.RowsWith(strQuoted).size(), 0u);
    EXPECT_EQ(run.RowsWith(strExpanded).size(), 0u);
    EXPECT_EQ(run.RowsWith(strMissing).size(), 1u);
    EXPECT_EQ(run.RowsWith(strEmpty).size(), 1u);
    EXPECT_EQ(run.RowsWith(strNoValues).size(), 1u);
    EXPECT_EQ(run.RowsWith(strWithSub).size(), 0u);
    EXPECT_EQ(run.RowsWith(strExpandType).size(), 0u);
    EXPECT_EQ(run.RowsWith(strPathOnly).size(), 0u);
}

// The folder comes from the Shell Folders value "Fonts", which under Wine
// has no trailing backslash.
TEST(FontScanner, BareNamesInTheFontsFolderAndFullPaths)
{
    wchar_t szWindows[MAX_PATH];
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    std::wstring strFontFile = Tag(L"tamsel") + L".ttf";
    std::wstring strFontPath = std::wstring(szWindows) + L"\\Fonts\\" + strFontFile;
    ::CreateDirectoryW((std::wstring(szWindows) + L"\\Fonts").c_str(), NULL);
    ASSERT_TRUE(testsupport::WriteFileBytes(strFontPath, "font"));
    std::vector<ValuePlant> plants = {
        {L"bare present", strFontFile, REG_SZ, 0},
        {L"bare missing", L"tamsel_gone.fon", REG_SZ, 1},
        {L"full present", strFontPath, REG_SZ, 0},
        {L"full missing", L"C:\\tamsel\\gone.ttf", REG_SZ, 1},
        {L"expandable missing", L"C:\\tamsel\\gone.ttf", REG_EXPAND_SZ, 0},
        {L"empty", L"", REG_SZ, 0},
    };
    CheckValues(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 4, plants);
    ::DeleteFileW(strFontPath.c_str());
}

TEST(SharedDllScanner, CountsOfMissingFilesOnly)
{
    const std::wstring strKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    // The names are the file paths: tag them by a folder that does not exist.
    std::wstring strGone = L"C:\\" + Tag(L"tamsel") + L"\\gone.dll";
    std::wstring strGoneText = L"C:\\" + Tag(L"tamsel") + L"\\gone_text.dll";
    std::wstring strPresent = L"%SystemRoot%\\system32\\ole32.dll";
    ASSERT_TRUE(keys.SetDword(strKey, strGone, 2));
    ASSERT_TRUE(keys.SetString(strKey, strGoneText, L"1"));
    ASSERT_TRUE(keys.SetDword(strKey, strPresent, 1));
    HeadlessScan run;
    run.Only({5});
    run.Run();
    EXPECT_EQ(run.RowsWith(strGone).size(), 1u);
    EXPECT_EQ(run.RowsWith(strGoneText).size(), 0u);
    // A count of a present file named through %SystemRoot% stays.
    EXPECT_EQ(run.RowsWith(L"ole32.dll").size(), 0u);
    const CArray<CRegProblem>& list = run.scan.ProblemList(5);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_TRUE(list[0].m_bValue);
    EXPECT_TRUE(list[0].m_strData.IsEmpty());
}

TEST(HelpFileScanner, FolderAndNameMakeThePath)
{
    testsupport::ScratchFolder folder;
    std::wstring strPresent = Tag(L"present") + L".chm";
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(strPresent), "help"));
    std::wstring strFolder = folder.Path().substr(0, folder.Path().size() - 1);
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    std::wstring strMissing = Tag(L"missing") + L".hlp", strEmpty = Tag(L"empty") + L".hlp";
    ASSERT_TRUE(keys.SetString(L"SOFTWARE\\Microsoft\\Windows\\Html Help", strPresent, L"\"" + strFolder + L"\""));
    ASSERT_TRUE(keys.SetString(L"SOFTWARE\\Microsoft\\Windows\\Help", strMissing, strFolder));
    ASSERT_TRUE(keys.SetString(L"SOFTWARE\\Microsoft\\Windows\\Help", strEmpty, L""));
    HeadlessScan run;
    run.Only({6});
    run.Run();
    EXPECT_EQ(run.RowsWith(strPresent).size(), 0u);
    EXPECT_EQ(run.RowsWith(strMissing).size(), 1u);
    EXPECT_EQ(run.RowsWith(strEmpty).size(), 0u);
}

TEST(ServiceScanner, ImagePathsAsTheServiceManagerReadsThem)
{
    testsupport::ScratchFolder folder;
    std::wstring strTools = folder.Path() + L"My -Tools";
    ASSERT_TRUE(::CreateDirectoryW(strTools.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strTools + L"\\s.exe", "MZ"));
    // A driver of the real System32, where the service manager looks; a
    // 32-bit test would otherwise see SysWOW64.
    std::wstring strDriver;
    {
        RedirectionOff off;
        WIN32_FIND_DATAW data;
        HANDLE hFind = ::FindFirstFileW((SystemFolder() + L"\\drivers\\*.sys").c_str(), &data);
        ASSERT_NE(hFind, INVALID_HANDLE_VALUE);
        strDriver = data.cFileName;
        ::FindClose(hFind);
    }
    // A program only SysWOW64 holds is no program of System32 to the service
    // manager, whatever the bitness of the scan.
    PlantedFiles planted;
    const std::wstring strWow = PlantedFiles::Wow64Folder();
    const std::wstring strWowOnly = Tag(L"tamsel_wow") + L".exe";
    if (!strWow.empty())
        ASSERT_TRUE(planted.Add(strWow + L"\\" + strWowOnly));
    wchar_t szWindows[MAX_PATH];
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    const std::wstring strOnDrive = szWindows + 2;  // "\windows"
    struct Service
    {
        const wchar_t* pszName;
        std::wstring strImagePath;
        size_t nRows;
        std::wstring strKey;
    };
    std::vector<Service> services = {
        {L"SystemRoot driver", L"\\SystemRoot\\System32\\drivers\\" + strDriver, 0},
        {L"relative driver", L"System32\\DRIVERS\\" + strDriver, 0},
        {L"relative missing", L"System32\\drivers\\tamsel_gone.sys", 1},
        {L"object manager path", L"\\??\\C:\\tamsel\\gone.sys", 1},
        {L"quoted with a dash inside", L"\"" + strTools + L"\\s.exe\" -k netsvcs", 0},
        {L"quoted without extension", L"\"" + strTools + L"\\s\" /run", 0},
        {L"unquoted with switches", SystemFolder() + L"\\svchost.exe -k netsvcs", 0},
        {L"unquoted missing", L"C:\\tamsel\\gone.exe -k x", 1},
        {L"expanded", L"%SystemRoot%\\system32\\svchost.exe", 0},
        {L"bare name", L"svchost.exe", 0},
        // From the root of the system drive, as the service manager starts them.
        {L"drive-relative", strOnDrive + L"\\System32\\svchost.exe -k netsvcs", 0},
        {L"drive-relative quoted", L"\"" + strOnDrive + L"\\System32\\svchost\" -k netsvcs", 0},
        {L"drive-relative gone", strOnDrive + L"\\System32\\tamsel_gone.exe -k netsvcs", 1},
        // A rundll32 host by its library.
        {L"rundll32 host", L"rundll32.exe shell32.dll,Control_RunDLL", 0},
        {L"rundll32 library gone", L"rundll32.exe tamsel_gone.dll,Run", 1},
    };
    if (!strWow.empty())
    {
        services.push_back({L"System32 name of a SysWOW64 program", L"%SystemRoot%\\System32\\" + strWowOnly, 1});
        services.push_back({L"bare name of a SysWOW64 program", strWowOnly, 1});
        services.push_back({L"SysWOW64 program", strWow + L"\\" + strWowOnly + L" -k x", 0});
    }
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    for (Service& service : services)
    {
        service.strKey = L"SYSTEM\\CurrentControlSet\\Services\\" + Tag(L"tamsel");
        ASSERT_TRUE(keys.SetString(service.strKey, L"ImagePath", service.strImagePath, REG_EXPAND_SZ));
    }
    HeadlessScan run;
    run.Only({7});
    run.Run();
    for (const Service& service : services)
        EXPECT_EQ(run.RowsWith(service.strKey + L"<").size(), service.nRows)
            << testing::PrintToString(std::wstring(service.pszName));
}

TEST(DriverScanner, NamesInTheSystemFoldersAndFullPaths)
{
    std::vector<ValuePlant> plants = {
        {L"bare in System32", L"ole32.dll", REG_SZ, 0},
        {L"SystemRoot reference", L"%SystemRoot%\\system32\\ole32.dll", REG_SZ, 0},
        {L"SystemRoot prefix", L"\\SystemRoot\\System32\\ole32.dll", REG_SZ, 0},
        {L"leading backslash", L"\\ole32.dll", REG_SZ, 0},
        {L"bare missing", L"tamsel_gone.acm", REG_SZ, 1},
        {L"full missing", L"C:\\tamsel\\gone.drv", REG_SZ, 1},
        {L"empty", L"", REG_SZ, 1},
        {L"expandable missing", L"tamsel_gone.acm", REG_EXPAND_SZ, 0},
    };
    CheckValues(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", 13, plants);
}
