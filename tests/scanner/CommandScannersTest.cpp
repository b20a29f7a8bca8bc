// Every category that judges a command line finds its program where Windows
// starts it from: working entries are kept, and FIX removes only the faults.
#include "tests/scanner/RepairRoadSupport.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "repair/AutoBackup.h"
#include "repair/Repair.h"
#include "scanner/KeyReader.h"

using namespace scantest;

namespace {

const std::wstring kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring Tag(const wchar_t* pszName)
{
    return std::wstring(pszName) + L"_" + NewGuid().substr(1, 8);
}

INT_PTR CountRecords(const CArray<CRegProblem>& list, const std::wstring& strKey, REGSAM samView)
{
    INT_PTR nCount = 0;
    for (INT_PTR i = 0; i < list.GetSize(); i++)
        nCount += list[i].m_strKey.CompareNoCase(strKey.c_str()) == 0 && list[i].m_samView == samView ? 1 : 0;
    return nCount;
}

// Backs up and repairs every record of the category whose key holds strTag.
int RepairTagged(const CArray<CRegProblem>& list, int nCategory, const std::wstring& strTag)
{
    testsupport::ScratchFolder program;
    AppLists app(program.Path());
    CArray<CRegProblem>& repair = RepairListOf(app.m_pApp, nCategory);
    for (INT_PTR i = 0; i < list.GetSize(); i++)
    {
        if (std::wstring((LPCWSTR)list[i].m_strKey).find(strTag) != std::wstring::npos)
            repair.Add(list[i]);
    }
    CAutoBackup backup;
    if (!WriteAutoBackup(app.m_pApp, backup))
        return -1;
    CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    return nCleaned[nCategory - 1];
}

}  // namespace

// A file type whose command names a program by the name App Paths registers
// opens that program; the same command whose App Paths entry names a gone
// program is a fault. FIX removes the fault only.
TEST(CommandScanners, FileTypeOpenedThroughAppPaths)
{
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"viewer.exe"), "MZ"));
    const std::wstring strViewer = Tag(L"tamselviewer"), strGoneViewer = Tag(L"tamselgoneviewer");
    ViewKeys machine(HKEY_LOCAL_MACHINE, 0);
    ASSERT_TRUE(machine.SetString(kAppPaths + strViewer + L".exe", L"", folder.File(L"viewer.exe")));
    ASSERT_TRUE(machine.SetString(kAppPaths + strGoneViewer + L".exe", L"", folder.File(L"gone.exe")));
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strWorks = L"TamselViewerFile_" + strTag, strBroken = L"TamselGoneViewerFile_" + strTag,
                       strNoExtension = L"TamselViewerBare_" + strTag;
    ClassesKeys keys;
    ASSERT_TRUE(keys.SetString(strWorks + L"\\shell\\open\\command", L"", strViewer + L".exe \"%1\""));
    ASSERT_TRUE(keys.SetString(strNoExtension + L"\\shell\\open\\command", L"", strViewer + L" \"%1\""));
    ASSERT_TRUE(keys.SetString(strBroken + L"\\shell\\open\\command", L"", strGoneViewer + L".exe \"%1\""));

    HeadlessScan run;
    run.Only({9});
    run.Run();
    EXPECT_EQ(run.RowsWith(strWorks + L"\\").size(), 0u);
    EXPECT_EQ(run.RowsWith(strNoExtension + L"\\").size(), 0u);
    EXPECT_EQ(run.RowsWith(strBroken + L"\\shell\\open\\command<").size(), 1u);

    EXPECT_GT(RepairTagged(run.scan.ProblemList(9), 9, strTag), 0);
    CKeyReader command;
    EXPECT_EQ(command.Open(HKEY_CLASSES_ROOT, (strWorks + L"\\shell\\open\\command").c_str()), ERROR_SUCCESS);
    EXPECT_STREQ(command.ReadString(L"", L"ERR"), (strViewer + L".exe \"%1\"").c_str());
    EXPECT_EQ(command.Open(HKEY_CLASSES_ROOT, (strNoExtension + L"\\shell\\open\\command").c_str()), ERROR_SUCCESS);
    EXPECT_NE(command.Open(HKEY_CLASSES_ROOT, (strBroken + L"\\shell\\open\\command").c_str()), ERROR_SUCCESS);
}

// A local server named in quotes without ".exe" is started as the program
// with ".exe"; without that program it is a fault. Both class views.
TEST(CommandScanners, LocalServerQuotedWithoutExtensionInBothViews)
{
    const REGSAM kOther = CKeyReader::OtherView();
    ASSERT_NE(kOther, 0u) << "needs 64-bit Windows";
    testsupport::ScratchFolder folder;
    const std::wstring strApp = folder.Path() + L"TamselApp";
    ASSERT_TRUE(::CreateDirectoryW(strApp.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strApp + L"\\server.exe", "MZ"));
    const std::wstring strWorks = L"\"" + strApp + L"\\server\" -Embedding",
                       strGone = L"\"" + strApp + L"\\gone\" -Embedding";
    ViewKeys own(HKEY_CLASSES_ROOT, 0), other(HKEY_CLASSES_ROOT, kOther);
    const std::wstring strGood = L"CLSID\\" + NewGuid(), strBad = L"CLSID\\" + NewGuid();
    for (ViewKeys* pKeys : {&own, &other})
    {
        ASSERT_TRUE(pKeys->SetString(strGood + L"\\LocalServer32", L"", strWorks));
        ASSERT_TRUE(pKeys->SetString(strBad + L"\\LocalServer32", L"", strGone));
    }
    HeadlessScan run;
    run.Only({1});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(1);
    for (REGSAM samView : {(REGSAM)0, kOther})
    {
        SCOPED_TRACE(samView == 0 ? "own view" : "other view");
        EXPECT_EQ(CountRecords(list, strGood + L"\\LocalServer32", samView), 0);
        EXPECT_EQ(CountRecords(list, strBad + L"\\LocalServer32", samView), 1);
    }

    EXPECT_EQ(RepairTagged(list, 1, strBad.substr(6)), 2);
    EXPECT_EQ(own.Read(strGood + L"\\LocalServer32", L""), strWorks);
    EXPECT_EQ(other.Read(strGood + L"\\LocalServer32", L""), strWorks);
    EXPECT_EQ(own.Read(strBad + L"\\LocalServer32", L""), L"<no value>");
    EXPECT_EQ(other.Read(strBad + L"\\LocalServer32", L""), L"<no value>");
}

// Uninstallers run through rundll32 are judged by their library, in the
// entry's view; App Paths values without ".exe" as the shell starts them.
TEST(CommandScanners, UninstallersAndAppPathsOfBothViews)
{
    SeparateViewKey separate(L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                             L"\\Registry\\Machine\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", false);
    ASSERT_TRUE(separate.WasLink()) << "this prefix does not link the 32-bit App Paths";
    ASSERT_TRUE(separate.IsSeparate());
    testsupport::ScratchFolder folder;
    // A rundll32 both kinds of program see, so that only the library decides.
    for (const wchar_t* pszFile : {L"rundll32.exe", L"remove.dll", L"viewer.exe"})
        ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(pszFile), "MZ"));
    const std::wstring strRundll = L"\"" + folder.File(L"rundll32.exe") + L"\" ";
    struct Case
    {
        const wchar_t* pszName;
        const std::wstring* pstrBase;
        std::wstring strText;
        bool bProblem;
    };
    const Case cases[] = {
        {L"LibraryThere", &kUninstall, strRundll + folder.File(L"remove.dll") + L",Remove", false},
        {L"LibraryQuoted", &kUninstall, strRundll + L"\"" + folder.File(L"remove.dll") + L"\",Remove /q", false},
        {L"LibraryGone", &kUninstall, strRundll + folder.File(L"gone.dll") + L",Remove", true},
        {L"LibraryNoExtension", &kUninstall, strRundll + folder.File(L"remove") + L",Remove", false},
        {L"QuotedNoExtension", &kUninstall, L"\"" + folder.File(L"viewer") + L"\" /uninstall", false},
        {L"QuotedNoExtensionGone", &kUninstall, L"\"" + folder.File(L"gone") + L"\" /uninstall", true},
        {L"AppPathNoExtension", &kAppPaths, L"\"" + folder.File(L"viewer") + L"\"", false},
        {L"AppPathNoExtensionGone", &kAppPaths, L"\"" + folder.File(L"gone") + L"\"", true},
    };
    for (REGSAM samView : {(REGSAM)KEY_WOW64_64KEY, (REGSAM)KEY_WOW64_32KEY})
    {
        SCOPED_TRACE(samView == KEY_WOW64_64KEY ? "64-bit view" : "32-bit view");
        ViewKeys keys(HKEY_LOCAL_MACHINE, samView);
        std::vector<std::wstring> arrKeys;
        for (const Case& c : cases)
        {
            const bool bUninstall = c.pstrBase == &kUninstall;
            arrKeys.push_back(*c.pstrBase + L"Tamsel" + c.pszName + L"_" + NewGuid().substr(1, 8) +
                              (bUninstall ? L"" : L".exe"));
            ASSERT_TRUE(keys.SetString(arrKeys.back(), bUninstall ? L"UninstallString" : L"", c.strText));
        }
        HeadlessScan run;
        run.Only({2, 3});
        run.Run();
        const REGSAM samRecorded = samView == CKeyReader::OtherView() ? samView : 0;
        for (size_t i = 0; i < arrKeys.size(); i++)
        {
            const int nCategory = cases[i].pstrBase == &kUninstall ? 2 : 3;
            EXPECT_EQ(CountRecords(run.scan.ProblemList(nCategory), arrKeys[i], samRecorded), cases[i].bProblem ? 1 : 0)
                << cases[i].pszName;
        }
    }
}

// In a prefix of its own: a file type opened through an App Paths-only
// program and a COM server named in quotes without ".exe" are kept, a file
// type of a gone program is found, and FIX removes only that one. Run by
// the fresh-prefix script only, hence disabled in the ordinary run.
TEST(FreshPrefix, DISABLED_WorkingCommandsKeptAndTheFaultRepaired)
{
    wchar_t szFlag[8] = {};
    ASSERT_NE(::GetEnvironmentVariableW(L"TAMSEL_FRESH_PREFIX", szFlag, 8), 0u) << "runs in its own prefix";
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strApp = L"C:\\TamselApp_" + strTag;
    ASSERT_TRUE(::CreateDirectoryW(strApp.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strApp + L"\\viewer.exe", "MZ"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strApp + L"\\server.exe", "MZ"));
    const std::wstring strViewer = L"tamselviewer_" + strTag + L".exe";
    ViewKeys machine(HKEY_LOCAL_MACHINE, 0);
    ASSERT_TRUE(machine.SetString(kAppPaths + strViewer, L"", strApp + L"\\viewer.exe"));
    const std::wstring strViewFile = L"TamselViewFile_" + strTag, strGoneFile = L"TamselGoneFile_" + strTag,
                       strClass = L"CLSID\\" + NewGuid();
    const std::wstring strServer = L"\"" + strApp + L"\\server\" -Embedding";
    ClassesKeys keys;
    ASSERT_TRUE(keys.SetString(L".tamselview_" + strTag, L"", strViewFile));
    ASSERT_TRUE(keys.SetString(strViewFile + L"\\shell\\open\\command", L"", strViewer + L" \"%1\""));
    ASSERT_TRUE(keys.SetString(strGoneFile + L"\\shell\\open\\command", L"", L"\"" + strApp + L"\\gone.exe\" \"%1\""));
    ASSERT_TRUE(keys.SetString(strClass + L"\\LocalServer32", L"", strServer));

    HeadlessScan run;
    run.Only({1, 3, 9});
    run.Run();
    // Only the gone program's command, its verb and its shell key.
    EXPECT_EQ(run.RowsWith(strGoneFile + L"\\shell\\open\\command<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strTag).size(), run.RowsWith(strGoneFile + L"\\").size());
    EXPECT_GT(RepairTagged(run.scan.ProblemList(9), 9, strGoneFile), 0);

    CKeyReader key;
    EXPECT_NE(key.Open(HKEY_CLASSES_ROOT, (strGoneFile + L"\\shell\\open").c_str()), ERROR_SUCCESS);
    ASSERT_EQ(key.Open(HKEY_CLASSES_ROOT, (strViewFile + L"\\shell\\open\\command").c_str()), ERROR_SUCCESS);
    EXPECT_STREQ(key.ReadString(L"", L"ERR"), (strViewer + L" \"%1\"").c_str());
    ASSERT_EQ(key.Open(HKEY_CLASSES_ROOT, (strClass + L"\\LocalServer32").c_str()), ERROR_SUCCESS);
    EXPECT_STREQ(key.ReadString(L"", L"ERR"), strServer.c_str());
    EXPECT_EQ(machine.Read(kAppPaths + strViewer, L""), strApp + L"\\viewer.exe");
    testsupport::RemoveTree(strApp);
}
