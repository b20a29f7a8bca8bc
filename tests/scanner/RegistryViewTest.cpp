// Uninstall and App Paths entries live in two registry views on 64-bit
// Windows: the scan reads both, and the backup, the repair and the restore of
// a row act in the view the row was found in.
#include "tests/scanner/RepairRoadSupport.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "app/TamselApp.h"
#include "repair/AutoBackup.h"
#include "repair/AutoBackupRestore.h"
#include "repair/Repair.h"
#include "scanner/KeyReader.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"
#include "services/RegistryLink.h"
#include "services/ZipWriter.h"
#include <shlwapi.h>

using namespace scantest;

namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring kAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// The view this test process does not see by default: the 32-bit one in the
// x86_64 suite, the 64-bit one in the i686 suite on 64-bit Windows.
const REGSAM kOther = CKeyReader::OtherView();

std::wstring Tag(const wchar_t* pszName)
{
    return std::wstring(pszName) + L"_" + NewGuid().substr(1, 8);
}

const CRegProblem* FindRecord(const CArray<CRegProblem>& list, const std::wstring& strKey, REGSAM samView)
{
    for (INT_PTR i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strKey.CompareNoCase(strKey.c_str()) == 0 && list[i].m_samView == samView)
            return &list[i];
    }
    return NULL;
}

INT_PTR CountRecords(const CArray<CRegProblem>& list, const std::wstring& strKey)
{
    INT_PTR nCount = 0;
    for (INT_PTR i = 0; i < list.GetSize(); i++)
        nCount += list[i].m_strKey.CompareNoCase(strKey.c_str()) == 0 ? 1 : 0;
    return nCount;
}


} // namespace

// The test prefix keeps the two views apart for Uninstall, as Windows does.
TEST(RegistryViews, UninstallFaultsAndLookAlikesOfBothViews)
{
    ASSERT_NE(kOther, (REGSAM)0) << "this system has one registry view only";
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"un.exe"), "MZ"));
    const std::wstring strPresent = L"\"" + folder.File(L"un.exe") + L"\" /u";
    const std::wstring strGone = L"\"" + folder.File(L"gone.exe") + L"\" /u";

    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    const std::wstring strOwnFault = kUninstall + Tag(L"own_fault"), strOwnGood = kUninstall + Tag(L"own_good");
    const std::wstring strOtherFault = kUninstall + Tag(L"other_fault"),
                       strOtherGood = kUninstall + Tag(L"other_good"),
                       strOtherIcon = kUninstall + Tag(L"other_icon");
    ASSERT_TRUE(own.SetString(strOwnFault, L"UninstallString", strGone));
    ASSERT_TRUE(own.SetString(strOwnGood, L"UninstallString", strPresent));
    ASSERT_TRUE(other.SetString(strOtherFault, L"DisplayName", L"no command"));
    ASSERT_TRUE(other.SetString(strOtherGood, L"UninstallString", strPresent));
    ASSERT_TRUE(other.SetString(strOtherIcon, L"UninstallString", strPresent));
    ASSERT_TRUE(other.SetString(strOtherIcon, L"DisplayIcon", folder.File(L"gone.ico")));
    // The two views are really apart here.
    ASSERT_FALSE(own.Exists(strOtherFault));
    ASSERT_FALSE(other.Exists(strOwnFault));

    HeadlessScan run;
    run.Only({2});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(2);
    EXPECT_EQ(CountRecords(list, strOwnFault), 1);
    EXPECT_EQ(CountRecords(list, strOwnGood), 0);
    EXPECT_EQ(CountRecords(list, strOtherFault), 1);
    EXPECT_EQ(CountRecords(list, strOtherGood), 0);
    EXPECT_EQ(CountRecords(list, strOtherIcon), 1);
    EXPECT_NE(FindRecord(list, strOwnFault, 0), nullptr);
    const CRegProblem* pNoCommand = FindRecord(list, strOtherFault, kOther);
    ASSERT_NE(pNoCommand, nullptr);
    EXPECT_FALSE(pNoCommand->m_bValue);
    const CRegProblem* pIcon = FindRecord(list, strOtherIcon, kOther);
    ASSERT_NE(pIcon, nullptr);
    EXPECT_TRUE(pIcon->m_bValue);
    EXPECT_STREQ(pIcon->m_strValueName, L"DisplayIcon");
    EXPECT_EQ(run.RowsWith(strOtherFault.substr(kUninstall.size())).size(), 1u);
}

// App Paths is one key that both views show (Wine links it, as Windows 7
// shares it): its entries are read once, not once per view.
TEST(RegistryViews, SharedAppPathsKeyIsReadOnce)
{
    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    const std::wstring strFault = kAppPaths + Tag(L"fault") + L".exe", strGood = kAppPaths + Tag(L"good") + L".exe";
    ASSERT_TRUE(own.SetString(strFault, L"", L"C:\\tamsel\\gone.exe"));
    wchar_t szSystem[MAX_PATH];
    GetSystemDirectoryW(szSystem, MAX_PATH);
    ASSERT_TRUE(own.SetString(strGood, L"", std::wstring(szSystem) + L"\\notepad.exe"));
    ASSERT_TRUE(other.Exists(strFault)) << "this prefix keeps App Paths apart per view";

    HeadlessScan run;
    run.Only({3});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(3);
    EXPECT_EQ(CountRecords(list, strFault), 1);
    EXPECT_EQ(CountRecords(list, strGood), 0);
    EXPECT_NE(FindRecord(list, strFault, 0), nullptr);
}

// Where the views keep App Paths apart, each view's faults are found and
// carry their view.
TEST(RegistryViews, SeparateAppPathsFaultsAndLookAlikesOfBothViews)
{
    {
        SeparateViewKey separate(L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                                 L"\\Registry\\Machine\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                                 false);
        ASSERT_TRUE(separate.WasLink()) << "this prefix does not link the 32-bit App Paths";
        ASSERT_TRUE(separate.IsSeparate());
        // A folder both kinds of program see alike (System32 is not: the
        // 32-bit view's entries are judged in SysWOW64).
        testsupport::ScratchFolder folder;
        ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"app.exe"), "MZ"));
        const std::wstring strPresent = folder.File(L"app.exe");
        ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
        const std::wstring strOwnFault = kAppPaths + Tag(L"own_fault") + L".exe",
                           strOwnGood = kAppPaths + Tag(L"own_good") + L".exe",
                           strOtherFault = kAppPaths + Tag(L"other_fault") + L".exe",
                           strOtherGood = kAppPaths + Tag(L"other_good") + L".exe";
        ASSERT_TRUE(own.SetString(strOwnFault, L"", L"C:\\tamsel\\gone.exe"));
        ASSERT_TRUE(own.SetString(strOwnGood, L"", strPresent));
        ASSERT_TRUE(other.Create(strOtherFault));
        ASSERT_TRUE(other.SetString(strOtherGood, L"", strPresent));
        ASSERT_FALSE(own.Exists(strOtherFault));

        HeadlessScan run;
        run.Only({3});
        run.Run();
        const CArray<CRegProblem>& list = run.scan.ProblemList(3);
        EXPECT_EQ(CountRecords(list, strOwnFault), 1);
        EXPECT_EQ(CountRecords(list, strOwnGood), 0);
        EXPECT_EQ(CountRecords(list, strOtherFault), 1);
        EXPECT_EQ(CountRecords(list, strOtherGood), 0);
        EXPECT_NE(FindRecord(list, strOwnFault, 0), nullptr);
        EXPECT_NE(FindRecord(list, strOtherFault, kOther), nullptr);
    }
    // The link is back: the 32-bit view shows the shared key again.
    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    const std::wstring strProbe = kAppPaths + Tag(L"probe");
    ASSERT_TRUE(own.Create(strProbe));
    EXPECT_TRUE(other.Exists(strProbe));
}

// Entries of one name in both views, one a fault and one sound: the backup
// holds each fault in its own view, the repair removes it there only, and
// the restore brings it back there.
TEST(RegistryViews, RepairAndRestoreActInTheViewOfTheRow)
{
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"un.exe"), "MZ"));
    const std::wstring strPresent = L"\"" + folder.File(L"un.exe") + L"\" /u";
    const std::wstring strGone = L"\"" + folder.File(L"gone.exe") + L"\" /u";

    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    // A: fault in the other view only; B: fault in the own view only; C: a
    // missing icon (a value problem) in the other view only.
    const std::wstring strA = kUninstall + Tag(L"A"), strB = kUninstall + Tag(L"B"), strC = kUninstall + Tag(L"C");
    ASSERT_TRUE(other.SetString(strA, L"DisplayName", L"other A without a command"));
    ASSERT_TRUE(own.SetString(strA, L"UninstallString", strPresent));
    ASSERT_TRUE(own.SetString(strB, L"UninstallString", strGone));
    ASSERT_TRUE(other.SetString(strB, L"UninstallString", strPresent));
    ASSERT_TRUE(other.SetString(strC, L"UninstallString", strPresent));
    ASSERT_TRUE(other.SetString(strC, L"DisplayIcon", folder.File(L"gone.ico")));
    ASSERT_TRUE(own.SetString(strC, L"UninstallString", strPresent));
    ASSERT_TRUE(own.SetString(strC, L"DisplayIcon", folder.File(L"un.exe")));

    HeadlessScan run;
    run.Only({2});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(2);
    const CRegProblem* pA = FindRecord(list, strA, kOther);
    const CRegProblem* pB = FindRecord(list, strB, 0);
    const CRegProblem* pC = FindRecord(list, strC, kOther);
    ASSERT_TRUE(pA && pB && pC);
    EXPECT_EQ(CountRecords(list, strA) + CountRecords(list, strB) + CountRecords(list, strC), 3);

    testsupport::ScratchFolder program;
    scantest::AppLists app(program.Path());
    CArray<CRegProblem>& repair = RepairListOf(app.m_pApp, 2);
    repair.Add(*pA);
    repair.Add(*pB);
    repair.Add(*pC);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(app.m_pApp, backup)) << backup.m_strError.Str();
    // The other view's keys are held under their plain names in an entry of
    // their own, the way a 32-bit program keeps the 64-bit view's.
    CString strPlainA = (L"HKEY_LOCAL_MACHINE\\" + strA).c_str();
    EXPECT_TRUE(backup.IsKeyCovered(strPlainA, kOther));
    EXPECT_FALSE(backup.IsKeyCovered(strPlainA, 0));
    ASSERT_EQ(backup.m_arrEntries.GetSize(), 2);
    EXPECT_EQ(backup.m_arrEntries[0], AutoBackupRegEntryName(backup.m_strStamp, 0));
    EXPECT_EQ(backup.m_arrEntries[1], AutoBackupRegEntryName(backup.m_strStamp, kOther));

    scantest::CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[1], 3);
    EXPECT_FALSE(other.Exists(strA));
    EXPECT_EQ(own.Read(strA, L"UninstallString"), strPresent);
    EXPECT_FALSE(own.Exists(strB));
    EXPECT_EQ(other.Read(strB, L"UninstallString"), strPresent);
    EXPECT_EQ(other.Read(strC, L"DisplayIcon"), L"<no value>");
    EXPECT_EQ(other.Read(strC, L"UninstallString"), strPresent);
    EXPECT_EQ(own.Read(strC, L"DisplayIcon"), folder.File(L"un.exe"));

    // The restore puts each key back in the view it came from.
    own.Own(strB);
    other.Own(strA);
    CAutoBackupRestore restore;
    EXPECT_TRUE(restore.Restore(backup.m_strArchive, program.Path().c_str())) << restore.m_failure.m_strItem.Str();
    EXPECT_EQ(other.Read(strA, L"DisplayName"), L"other A without a command");
    EXPECT_EQ(own.Read(strA, L"DisplayName"), L"<no value>");
    EXPECT_EQ(own.Read(strB, L"UninstallString"), strGone);
    EXPECT_EQ(other.Read(strC, L"DisplayIcon"), folder.File(L"gone.ico"));
    EXPECT_EQ(own.Read(strC, L"DisplayIcon"), folder.File(L"un.exe"));
}

// A record whose view flag names no single view is neither backed up nor repaired.
TEST(RegistryViews, RecordOfNoSingleViewIsRefused)
{
    ViewKeys own(HKEY_LOCAL_MACHINE, 0);
    const std::wstring strKey = kUninstall + Tag(L"TamselViewTest");
    ASSERT_TRUE(own.SetString(strKey, L"v", L"x"));
    testsupport::ScratchFolder program;
    scantest::AppLists app(program.Path());
    CRegProblem problem;
    problem.m_bValue = 0;
    problem.m_strKey = strKey.c_str();
    problem.m_strKeyPath = (L"HKEY_LOCAL_MACHINE\\" + strKey).c_str();
    problem.m_nKind = 1;
    problem.m_samView = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    CString strCanonical;
    REGSAM samView = 0;
    EXPECT_EQ(RecordKeyLocation(problem, strCanonical, samView), (HKEY)NULL);
    RepairListOf(app.m_pApp, 2).Add(problem);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(app.m_pApp, backup)) << backup.m_strError.Str();
    EXPECT_TRUE(backup.m_strArchive.IsEmpty());
    scantest::CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[1], 0);
    EXPECT_EQ(own.Read(strKey, L"v"), L"x");
}

namespace {

// An archive as the program wrote it before the views had entries of their
// own: one registry file, the 32-bit view named through Wow6432Node.
bool WriteOldArchive(const std::wstring& strArchive, const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)strText.c_str(), strText.size() * sizeof(wchar_t));
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = AddToZipArchive(hZip, L"AutoBackup20090101120000.reg", bytes.data(), (DWORD)bytes.size(),
                               ZipKindMemory) == ZipOk;
    return CloseZipWriter(hZip) == ZipOk && bOk;
}

} // namespace

TEST(RegistryViews, OldArchiveRestoresByTheNamesItHolds)
{
    // A is named in the 32-bit view whichever kind of process restores it.
    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    ViewKeys view32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), view64(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
    const std::wstring strA = kUninstall + Tag(L"OldA"), strB = kUninstall + Tag(L"OldB");
    view32.Own(strA);
    own.Own(strB);
    const std::wstring strText = L"Windows Registry Editor Version 5.00\r\n\r\n"
                                 L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + strA.substr(9) + L"]\r\n"
                                 L"\"DisplayName\"=\"old A\"\r\n\r\n"
                                 L"[HKEY_LOCAL_MACHINE\\" + strB + L"]\r\n"
                                 L"\"DisplayName\"=\"old B\"\r\n\r\n";
    testsupport::ScratchFolder program;
    std::wstring strArchive = program.File(L"AutoBackup20090101120000.zip");
    ASSERT_TRUE(WriteOldArchive(strArchive, strText));
    CAutoBackupRestore restore;
    EXPECT_TRUE(restore.Restore(strArchive.c_str(), program.Path().c_str())) << restore.m_failure.m_strItem.Str();
    EXPECT_EQ(restore.m_nRegFilesImported, 1);
    EXPECT_EQ(view32.Read(strA, L"DisplayName"), L"old A");
    EXPECT_EQ(view64.Read(strA, L"DisplayName"), L"<no key>");
    EXPECT_EQ(own.Read(strB, L"DisplayName"), L"old B");
    EXPECT_EQ(other.Read(strB, L"DisplayName"), L"<no key>");
}

// A registry file imported in a view creates and deletes keys of that view only.
TEST(RegistryViews, ImportInAViewActsInThatViewOnly)
{
    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, kOther);
    const std::wstring strKeep = kUninstall + Tag(L"Keep"), strGone = kUninstall + Tag(L"Gone");
    ASSERT_TRUE(own.SetString(strGone, L"v", L"own"));
    ASSERT_TRUE(other.SetString(strGone + L"\\Sub", L"v", L"other"));
    other.Own(strKeep);
    testsupport::ScratchFolder folder;
    const std::wstring strText = L"Windows Registry Editor Version 5.00\r\n\r\n"
                                 L"[-HKEY_LOCAL_MACHINE\\" + strGone + L"]\r\n\r\n"
                                 L"[HKEY_LOCAL_MACHINE\\" + strKeep + L"]\r\n"
                                 L"\"v\"=\"made\"\r\n\r\n";
    std::string bytes = "\xFF\xFE";
    bytes.append((const char*)strText.c_str(), strText.size() * sizeof(wchar_t));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"view.reg"), bytes));
    CRegFile regFile;
    EXPECT_EQ(regFile.ImportFile(folder.File(L"view.reg").c_str(), kOther), (DWORD)ERROR_SUCCESS);
    EXPECT_FALSE(other.Exists(strGone));
    EXPECT_EQ(own.Read(strGone, L"v"), L"own");
    EXPECT_EQ(other.Read(strKeep, L"v"), L"made");
    EXPECT_FALSE(own.Exists(strKeep));
}

namespace {

const CRegProblem* FindValueRecord(const CArray<CRegProblem>& list, const std::wstring& strKey,
                                   const wchar_t* pszValue)
{
    for (INT_PTR i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strKey.CompareNoCase(strKey.c_str()) == 0 && list[i].m_strValueName == pszValue)
            return &list[i];
    }
    return NULL;
}

// Program files of both kinds, each in its own folder only.
struct ProgramFiles
{
    std::wstring strTag = NewGuid().substr(1, 8);
    std::wstring strApp64 = L"TamselApp64_" + strTag, strApp32 = L"TamselApp32_" + strTag;
    std::wstring strShared64 = L"TamselShared64_" + strTag, strShared32 = L"TamselShared32_" + strTag;
    std::wstring strDll64 = L"tamsel64_" + strTag + L".dll", strDll32 = L"tamsel32_" + strTag + L".dll";
    PlantedFiles files;
    bool Plant()
    {
        const std::wstring strPf64 = PlantedFiles::Folder(L"ProgramW6432"),
                           strPf32 = PlantedFiles::Folder(L"ProgramFiles(x86)"),
                           strCf64 = PlantedFiles::Folder(L"CommonProgramW6432"),
                           strCf32 = PlantedFiles::Folder(L"CommonProgramFiles(x86)");
        return !strPf64.empty() && !strPf32.empty() && strPf64 != strPf32 &&
               files.Add(strPf64 + L"\\" + strApp64 + L"\\uninst.exe") &&
               files.Add(strPf64 + L"\\" + strApp64 + L"\\app64.exe") &&
               files.Add(strPf32 + L"\\" + strApp32 + L"\\uninst.exe") &&
               files.Add(strPf32 + L"\\" + strApp32 + L"\\app32.exe") &&
               files.Add(strCf64 + L"\\" + strShared64 + L"\\tool.ico") &&
               files.Add(strCf32 + L"\\" + strShared32 + L"\\tool.ico") &&
               files.Add(PlantedFiles::SystemFolder() + L"\\" + strDll64) &&
               files.Add(PlantedFiles::Wow64Folder() + L"\\" + strDll32);
    }
};

struct UninstallCase
{
    const wchar_t* pszName;
    const wchar_t* pszValue;
    std::wstring strText;   // REG_EXPAND_SZ
    bool bProblem;          // a record of this value (UninstallString: of the key)
};

}  // namespace

// Uninstall entries of 64-bit programs in the 64-bit view and of 32-bit ones
// in the 32-bit view, each written with %ProgramFiles%, %CommonProgramFiles%
// and System32 as its own kind of program means them: the files are there
// for the programs of the entry's view. Faults name files that are in neither
// folder, or only in the folder of the other kind.
TEST(RegistryViews, UninstallPathsMeanWhatTheyMeanInTheirView)
{
    ProgramFiles programs;
    ASSERT_TRUE(programs.Plant());
    struct View
    {
        REGSAM samView;
        std::wstring strApp, strOtherApp, strShared, strDll, strOtherDll;
    };
    const View views[] = {
        {KEY_WOW64_64KEY, programs.strApp64, programs.strApp32, programs.strShared64, programs.strDll64,
         programs.strDll32},
        {KEY_WOW64_32KEY, programs.strApp32, programs.strApp64, programs.strShared32, programs.strDll32,
         programs.strDll64},
    };
    for (const View& view : views)
    {
        SCOPED_TRACE(view.samView == KEY_WOW64_64KEY ? "64-bit view" : "32-bit view");
        const std::wstring strExe = view.strApp == programs.strApp64 ? L"app64.exe" : L"app32.exe";
        const UninstallCase cases[] = {
            {L"CommandValid", L"UninstallString", L"\"%ProgramFiles%\\" + view.strApp + L"\\uninst.exe\" /S", false},
            {L"CommandUnquoted", L"UninstallString", L"%ProgramFiles%\\" + view.strApp + L"\\uninst.exe /S", false},
            {L"CommandGone", L"UninstallString", L"\"%ProgramFiles%\\TamselGone_" + programs.strTag + L"\\uninst.exe\" /S",
             true},
            {L"CommandOtherKind", L"UninstallString", L"\"%ProgramFiles%\\" + view.strOtherApp + L"\\uninst.exe\" /S",
             true},
            {L"IconValid", L"DisplayIcon", L"%ProgramFiles%\\" + view.strApp + L"\\uninst.exe", false},
            {L"IconIndexValid", L"DisplayIcon", L"\"%ProgramFiles%\\" + view.strApp + L"\\" + strExe + L"\",0", false},
            {L"IconCommonValid", L"DisplayIcon", L"%CommonProgramFiles%\\" + view.strShared + L"\\tool.ico", false},
            {L"IconSystemValid", L"DisplayIcon", L"%SystemRoot%\\System32\\" + view.strDll, false},
            {L"IconGone", L"DisplayIcon", L"\"%ProgramFiles%\\TamselGone_" + programs.strTag + L"\\app.exe\",0", true},
            {L"IconCommonGone", L"DisplayIcon", L"%CommonProgramFiles%\\TamselGone_" + programs.strTag + L"\\tool.ico",
             true},
            {L"IconOtherKind", L"DisplayIcon", L"%ProgramFiles%\\" + view.strOtherApp + L"\\uninst.exe", true},
            {L"IconSystemOtherKind", L"DisplayIcon", L"%SystemRoot%\\System32\\" + view.strOtherDll, true},
            {L"SourceValid", L"InstallSource", L"%ProgramFiles%\\" + view.strApp + L"\\", false},
            {L"SourceGone", L"InstallSource", L"%ProgramFiles%\\TamselGone_" + programs.strTag + L"\\", true},
        };
        ViewKeys keys(HKEY_LOCAL_MACHINE, view.samView);
        std::vector<std::wstring> arrKeys;
        const std::wstring strCommand = L"\"%ProgramFiles%\\" + view.strApp + L"\\uninst.exe\"";
        for (const UninstallCase& c : cases)
        {
            std::wstring strKey = kUninstall + L"Tamsel" + c.pszName + L"_" + programs.strTag;
            arrKeys.push_back(strKey);
            ASSERT_TRUE(keys.SetString(strKey, c.pszValue, c.strText, REG_EXPAND_SZ));
            if (std::wstring(c.pszValue) != L"UninstallString")
            {
                ASSERT_TRUE(keys.SetString(strKey, L"UninstallString", strCommand, REG_EXPAND_SZ));
            }
        }
        HeadlessScan run;
        run.Only({2});
        run.Run();
        const CArray<CRegProblem>& list = run.scan.ProblemList(2);
        for (size_t i = 0; i < arrKeys.size(); i++)
        {
            SCOPED_TRACE(testing::PrintToString(cases[i].strText));
            const CRegProblem* pRecord = FindValueRecord(list, arrKeys[i], cases[i].pszValue);
            EXPECT_EQ(pRecord != NULL, cases[i].bProblem) << cases[i].pszName;
            EXPECT_EQ(CountRecords(list, arrKeys[i]), cases[i].bProblem ? 1 : 0) << cases[i].pszName;
            if (pRecord != NULL)
            {
                EXPECT_EQ(pRecord->m_samView == 0 ? CKeyReader::OtherView() != view.samView : pRecord->m_samView == view.samView,
                          true);
                EXPECT_EQ(!!pRecord->m_bValue, std::wstring(cases[i].pszValue) != L"UninstallString");
            }
        }
    }
}

// App Paths is shared by the two views here: a %ProgramFiles% path is sound
// when the program is in either program folder.
TEST(RegistryViews, SharedAppPathsFindProgramsOfBothKinds)
{
    ProgramFiles programs;
    ASSERT_TRUE(programs.Plant());
    struct Case
    {
        const wchar_t* pszName;
        std::wstring strText;
        bool bProblem;
    };
    const Case cases[] = {
        {L"Valid64", L"%ProgramFiles%\\" + programs.strApp64 + L"\\app64.exe", false},
        {L"Valid32", L"%ProgramFiles%\\" + programs.strApp32 + L"\\app32.exe", false},
        {L"Quoted64", L"\"%ProgramFiles%\\" + programs.strApp64 + L"\\app64.exe\"", false},
        {L"Gone", L"%ProgramFiles%\\TamselGone_" + programs.strTag + L"\\app.exe", true},
    };
    ViewKeys own(HKEY_LOCAL_MACHINE, 0), other(HKEY_LOCAL_MACHINE, CKeyReader::OtherView());
    std::vector<std::wstring> arrKeys;
    for (const Case& c : cases)
    {
        arrKeys.push_back(kAppPaths + L"Tamsel" + c.pszName + L"_" + programs.strTag + L".exe");
        ASSERT_TRUE(own.SetString(arrKeys.back(), L"", c.strText));
    }
    ASSERT_TRUE(other.Exists(arrKeys[0])) << "this prefix keeps App Paths apart per view";
    HeadlessScan run;
    run.Only({3});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(3);
    for (size_t i = 0; i < arrKeys.size(); i++)
        EXPECT_EQ(CountRecords(list, arrKeys[i]), cases[i].bProblem ? 1 : 0) << cases[i].pszName;
}

namespace {
int ValueCount(HKEY hRoot, const std::wstring& strPath, REGSAM samView)
{
    CKeyReader key;
    DWORD nValues = 0;
    if (key.Open(hRoot, strPath.c_str(), samView) != ERROR_SUCCESS || key.GetCounts(NULL, &nValues) != ERROR_SUCCESS)
        return -1;
    return (int)nValues;
}
}  // namespace

// Wine links the 32-bit view's Fonts key to the 64-bit one. A missing font
// is found through that link by a 32-bit scan: its value is backed up,
// removed and restored where the key is, beside a font that is there and
// stays. A record made as the 32-bit product makes it (the 32-bit view) goes
// the same way in either build.
TEST(RegistryViews, MissingFontsBehindTheViewLinkAreRepairedAndRestored)
{
    const std::wstring strFonts = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const CString strFontsPath = (L"HKEY_LOCAL_MACHINE\\" + strFonts).c_str();
    ASSERT_TRUE(IsRegistryLink(HKEY_LOCAL_MACHINE, strFonts.c_str(), KEY_WOW64_32KEY))
        << "the test prefix links Fonts from the 32-bit view to the 64-bit one";
    wchar_t szWindows[MAX_PATH];
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strPresentFile = L"tamsel_here_" + strTag + L".ttf";
    PlantedFiles files;
    ASSERT_TRUE(files.Add(std::wstring(szWindows) + L"\\Fonts\\" + strPresentFile));
    const std::wstring strGone = L"Tamsel Gone " + strTag, strGone32 = L"Tamsel Gone32 " + strTag,
                       strHere = L"Tamsel Here " + strTag;
    const std::wstring strGoneFile = L"tamsel_gone_" + strTag + L".ttf", strGone32File = L"C:\\tamsel\\gone32.ttf";
    ClassesKeys keys(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(keys.SetString(strFonts, strGone, strGoneFile));
    ASSERT_TRUE(keys.SetString(strFonts, strGone32, strGone32File));
    ASSERT_TRUE(keys.SetString(strFonts, strHere, strPresentFile));
    ViewKeys view64(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY), view32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    ASSERT_EQ(view64.Read(strFonts, strGone), strGoneFile);

    HeadlessScan run;
    run.Only({4});
    run.Run();
    const CArray<CRegProblem>& list = run.scan.ProblemList(4);
    const CRegProblem* pGone = FindValueRecord(list, strFonts, strGone.c_str());
    ASSERT_TRUE(pGone != NULL);
    EXPECT_TRUE(FindValueRecord(list, strFonts, strHere.c_str()) == NULL);
    CRegProblem gone32 = *pGone;
    gone32.m_strValueName = strGone32.c_str();
    gone32.m_strData = strGone32File.c_str();
    gone32.m_samView = OwnRegistryView() == KEY_WOW64_32KEY ? 0 : KEY_WOW64_32KEY;
    // Both are placed where the key is no link: the 64-bit view.
    const REGSAM samKey = OwnRegistryView() == KEY_WOW64_64KEY ? 0 : KEY_WOW64_64KEY;
    for (const CRegProblem* pRecord : {pGone, (const CRegProblem*)&gone32})
    {
        CString strCanonical;
        REGSAM samView = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
        EXPECT_EQ(RecordKeyLocation(*pRecord, strCanonical, samView), HKEY_LOCAL_MACHINE);
        EXPECT_EQ(samView, samKey);
    }
    const int nValuesBefore = ValueCount(HKEY_LOCAL_MACHINE, strFonts, KEY_WOW64_64KEY);
    ASSERT_GT(nValuesBefore, 3);

    testsupport::ScratchFolder program;
    scantest::AppLists app(program.Path());
    CArray<CRegProblem>& repair = RepairListOf(app.m_pApp, 4);
    repair.Add(*pGone);
    repair.Add(gone32);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(app.m_pApp, backup)) << backup.m_strError.Str();
    EXPECT_TRUE(backup.IsKeyCovered(strFontsPath, samKey));
    EXPECT_FALSE(backup.HoldsLinkLeftOut(strFontsPath, samKey));
    scantest::CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[3], 2);
    EXPECT_EQ(view64.Read(strFonts, strGone), L"<no value>");
    EXPECT_EQ(view64.Read(strFonts, strGone32), L"<no value>");
    EXPECT_EQ(view64.Read(strFonts, strHere), strPresentFile);
    // The link stays a link, and nothing else of the key went.
    EXPECT_TRUE(IsRegistryLink(HKEY_LOCAL_MACHINE, strFonts.c_str(), KEY_WOW64_32KEY));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, strFonts, KEY_WOW64_64KEY), nValuesBefore - 2);

    CAutoBackupRestore restore;
    EXPECT_TRUE(restore.Restore(backup.m_strArchive, program.Path().c_str())) << restore.m_failure.m_strItem.Str();
    EXPECT_EQ(view64.Read(strFonts, strGone), strGoneFile);
    EXPECT_EQ(view32.Read(strFonts, strGone32), strGone32File);
    EXPECT_EQ(view64.Read(strFonts, strHere), strPresentFile);
    EXPECT_TRUE(IsRegistryLink(HKEY_LOCAL_MACHINE, strFonts.c_str(), KEY_WOW64_32KEY));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, strFonts, KEY_WOW64_64KEY), nValuesBefore);
}

// A 32-bit view's key that links to some other key is no key of the 64-bit
// view: a value recorded there keeps its view, no backup reads it through the
// link, and the repair leaves the target and the 64-bit key of that name alone.
TEST(RegistryViews, ValueOfALinkToAnotherKeyIsLeftAlone)
{
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strName = L"SOFTWARE\\TamselLink_" + strTag, strTarget = L"SOFTWARE\\TamselTarget_" + strTag;
    const std::wstring strLink = L"SOFTWARE\\Wow6432Node\\TamselLink_" + strTag;
    ViewKeys view64(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY);
    ASSERT_TRUE(view64.SetString(strTarget, L"v", L"target"));
    ASSERT_TRUE(view64.SetString(strName, L"v", L"64"));
    HKEY hLink = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, strLink.c_str(), 0, NULL, REG_OPTION_CREATE_LINK,
                                KEY_ALL_ACCESS | KEY_CREATE_LINK | KEY_WOW64_64KEY, NULL, &hLink, NULL),
              ERROR_SUCCESS);
    const std::wstring strTargetNt = L"\\REGISTRY\\MACHINE\\" + strTarget;
    LONG nSet = ::RegSetValueExW(hLink, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)strTargetNt.c_str(),
                                 (DWORD)(strTargetNt.size() * sizeof(wchar_t)));
    ::RegCloseKey(hLink);
    struct LinkGone
    {
        std::wstring strPath;
        ~LinkGone()
        {
            HKEY hKey = NULL;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), REG_OPTION_OPEN_LINK,
                                DELETE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, &hKey) == ERROR_SUCCESS)
            {
                DeleteRegistryKeyHandle(hKey);
                ::RegCloseKey(hKey);
            }
        }
    } linkGone{strLink};
    ASSERT_EQ(nSet, ERROR_SUCCESS);
    ViewKeys view32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    ASSERT_EQ(view32.Read(strName, L"v"), L"target");

    CRegProblem problem;
    problem.m_bValue = 1;
    problem.m_strKey = strName.c_str();
    problem.m_strKeyPath = (L"HKEY_LOCAL_MACHINE\\" + strName).c_str();
    problem.m_strValueName = L"v";
    problem.m_strData = L"target";
    problem.m_nKind = 1;
    problem.m_samView = OwnRegistryView() == KEY_WOW64_32KEY ? 0 : KEY_WOW64_32KEY;
    CString strCanonical;
    REGSAM samView = 0;
    EXPECT_EQ(RecordKeyLocation(problem, strCanonical, samView), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(samView, problem.m_samView);

    testsupport::ScratchFolder program;
    scantest::AppLists app(program.Path());
    RepairListOf(app.m_pApp, 4).Add(problem);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(app.m_pApp, backup)) << backup.m_strError.Str();
    EXPECT_FALSE(backup.IsKeyCovered(problem.m_strKeyPath, samView));
    scantest::CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[3], 0);
    EXPECT_EQ(view64.Read(strTarget, L"v"), L"target");
    EXPECT_EQ(view64.Read(strName, L"v"), L"64");
    EXPECT_TRUE(IsRegistryLink(HKEY_LOCAL_MACHINE, strName.c_str(), KEY_WOW64_32KEY));
}
