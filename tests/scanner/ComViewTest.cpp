// CLSID and Interface live in two registry views on 64-bit Windows: the COM
// scan reads both, each row carries the view it was read in, and backup,
// repair and restore act in that view only. AppID and TypeLib are shared.
#include "tests/scanner/RepairRoadSupport.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "app/TamselApp.h"
#include "repair/AutoBackup.h"
#include "repair/AutoBackupRestore.h"
#include "repair/Repair.h"
#include "scanner/KeyReader.h"
#include "services/ZipReader.h"
#include <shlwapi.h>

using namespace scantest;

namespace {

BOOL RunsUnderWow64()
{
    BOOL bWow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &bWow64) && bWow64;
}

std::vector<const CRegProblem*> RecordsOf(const CArray<CRegProblem>& list, const std::wstring& strKey)
{
    std::vector<const CRegProblem*> found;
    for (INT_PTR i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strKey.CompareNoCase(strKey.c_str()) == 0)
            found.push_back(&list[i]);
    }
    return found;
}


// The text of a registry-editor entry of an archive ("" when missing).
std::wstring EntryText(const CString& strArchive, const CString& strEntry, const std::wstring& strFolder)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return std::wstring();
    int nIndex = -1;
    ZipArchiveEntry entry = {};
    std::wstring strTarget = strFolder + L"entry.reg";
    bool bOk = FindZipArchiveItem(hZip, strEntry, FALSE, &nIndex, &entry) == ZipOk &&
               ExtractZipArchiveItem(hZip, nIndex, strTarget.c_str(), 0, ZipKindFile) == ZipOk;
    CloseZipReader(hZip);
    if (!bOk)
        return std::wstring();
    std::string bytes = testsupport::ReadFileBytes(strTarget);
    ::DeleteFileW(strTarget.c_str());
    if (bytes.size() < 2)
        return std::wstring();
    return std::wstring((const wchar_t*)(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

bool Holds(const std::wstring& strText, const std::wstring& strPart)
{
    return strText.find(strPart) != std::wstring::npos;
}

// The reg-file spelling of a path: backslashes doubled.
std::wstring Escaped(const std::wstring& str)
{
    std::wstring strOut;
    for (wchar_t ch : str)
    {
        strOut += ch;
        if (ch == L'\\')
            strOut += ch;
    }
    return strOut;
}

} // namespace

// Faults planted in one view with a sound look-alike of the same name in the
// other view: each fault is found once, with its view; the backup keeps it in
// its view's file, the repair removes it in that view only, and the restore
// brings it back there. The look-alikes are never touched.
TEST(ComViews, FaultsOfEachViewAreFoundBackedUpRepairedAndRestoredInTheirView)
{
    const REGSAM kOther = CKeyReader::OtherView();
    ASSERT_NE(kOther, 0u) << "needs 64-bit Windows";
    ASSERT_EQ(kOther, (REGSAM)(sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY));
    testsupport::ScratchFolder folder;
    const std::wstring strHere = folder.File(L"here.dll"), strGone = folder.File(L"gone.dll");
    ASSERT_TRUE(testsupport::WriteFileBytes(strHere, "MZ"));

    ViewKeys own(HKEY_CLASSES_ROOT, 0), other(HKEY_CLASSES_ROOT, kOther);
    const std::wstring strAppId = NewGuid(), strLibrary = NewGuid();
    ASSERT_TRUE(own.Create(L"AppID\\" + strAppId));
    ASSERT_TRUE(own.SetString(L"TypeLib\\" + strLibrary + L"\\1.0\\0\\win32", L"", strHere));
    // Shared keys: the other view sees them too.
    ASSERT_TRUE(other.Exists(L"AppID\\" + strAppId)) << "this prefix keeps AppID apart per view";
    ASSERT_TRUE(other.Exists(L"TypeLib\\" + strLibrary)) << "this prefix keeps TypeLib apart per view";

    // S: server missing in the other view; O: server missing in the own
    // view; T: empty TypeLib key (a whole key) in the other view; A: AppID
    // naming no AppID key in the other view; I: proxy/stub naming no class
    // in the other view. Each has a sound twin of the same name in the
    // view it is not missing in.
    const std::wstring strS = L"CLSID\\" + NewGuid(), strO = L"CLSID\\" + NewGuid(), strT = L"CLSID\\" + NewGuid(),
                       strA = L"CLSID\\" + NewGuid(), strI = L"Interface\\" + NewGuid();
    const std::wstring strNoClass = NewGuid(), strNoAppId = NewGuid();
    ASSERT_TRUE(other.SetString(strS + L"\\InprocServer32", L"", strGone));
    ASSERT_TRUE(other.SetString(strS + L"\\InprocServer32", L"ThreadingModel", L"Both"));
    ASSERT_TRUE(own.SetString(strS + L"\\InprocServer32", L"", strHere));
    ASSERT_TRUE(own.SetString(strO + L"\\InprocServer32", L"", strGone));
    ASSERT_TRUE(other.SetString(strO + L"\\InprocServer32", L"", strHere));
    ASSERT_TRUE(other.Create(strT + L"\\TypeLib"));
    ASSERT_TRUE(other.SetString(strT, L"", L"other T"));
    ASSERT_TRUE(own.SetString(strT + L"\\TypeLib", L"", strLibrary));
    ASSERT_TRUE(other.SetString(strA, L"AppID", strNoAppId));
    ASSERT_TRUE(own.SetString(strA, L"AppID", strAppId));
    ASSERT_TRUE(other.SetString(strI + L"\\ProxyStubClsid32", L"", strNoClass));
    ASSERT_TRUE(own.SetString(strI + L"\\ProxyStubClsid32", L"", strS.substr(6)));
    // A proxy/stub class registered in the other view only is still a class.
    const std::wstring strOtherOnly = L"CLSID\\" + NewGuid(), strJ = L"Interface\\" + NewGuid();
    ASSERT_TRUE(other.SetString(strOtherOnly + L"\\InprocServer32", L"", strHere));
    ASSERT_TRUE(own.SetString(strJ + L"\\ProxyStubClsid32", L"", strOtherOnly.substr(6)));
    // The two views are really apart for CLSID and Interface.
    ASSERT_EQ(other.Read(strS + L"\\InprocServer32", L""), strGone);
    ASSERT_EQ(own.Read(strS + L"\\InprocServer32", L""), strHere);
    ASSERT_EQ(other.Read(strI + L"\\ProxyStubClsid32", L""), strNoClass);

    HeadlessScan run;
    run.scan.m_bWow64 = RunsUnderWow64();
    run.scan.m_pathTest.SetWow64(run.scan.m_bWow64);
    run.Only({1});
    run.Run();
    EXPECT_TRUE(run.scan.m_bCompleted);
    const CArray<CRegProblem>& list = run.scan.ProblemList(1);
    struct Expected
    {
        std::wstring strKey;
        REGSAM samView;
        BOOL bValue;
    };
    const std::vector<Expected> expected = {
        {strS + L"\\InprocServer32", kOther, TRUE}, {strO + L"\\InprocServer32", 0, TRUE},
        {strT + L"\\TypeLib", kOther, FALSE},       {strA, kOther, TRUE},
        {strI + L"\\ProxyStubClsid32", kOther, FALSE},
    };
    for (const Expected& want : expected)
    {
        std::vector<const CRegProblem*> found = RecordsOf(list, want.strKey);
        ASSERT_EQ(found.size(), 1u) << testing::PrintToString(want.strKey);
        EXPECT_EQ(found[0]->m_samView, want.samView) << testing::PrintToString(want.strKey);
        EXPECT_EQ(found[0]->m_bValue, want.bValue) << testing::PrintToString(want.strKey);
        EXPECT_EQ(run.RowsWith(want.strKey).size(), 1u) << testing::PrintToString(want.strKey);
    }
    EXPECT_EQ(run.RowsWith(strOtherOnly.substr(6)).size(), 0u);
    EXPECT_EQ(run.RowsWith(strJ.substr(10)).size(), 0u);
    EXPECT_EQ(run.RowsWith(strLibrary).size(), 0u);

    testsupport::ScratchFolder program;
    scantest::AppLists app(program.Path());
    CArray<CRegProblem>& repair = RepairListOf(app.m_pApp, 1);
    for (const Expected& want : expected)
        repair.Add(*RecordsOf(list, want.strKey)[0]);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(app.m_pApp, backup)) << backup.m_strError.Str();
    const CString strOwnEntry = AutoBackupRegEntryName(backup.m_strStamp, 0);
    const CString strOtherEntry = AutoBackupRegEntryName(backup.m_strStamp, kOther);
    ASSERT_EQ(backup.m_arrEntries.GetSize(), 2);
    EXPECT_EQ(backup.m_arrEntries[0], strOwnEntry);
    EXPECT_EQ(backup.m_arrEntries[1], strOtherEntry);
    EXPECT_EQ(strOtherEntry.Right(7), kOther == KEY_WOW64_64KEY ? L"_64.reg" : L"_32.reg");
    const CString strPlainS = (L"HKEY_CLASSES_ROOT\\" + strS + L"\\InprocServer32").c_str();
    EXPECT_TRUE(backup.IsKeyCovered(strPlainS, kOther));
    EXPECT_FALSE(backup.IsKeyCovered(strPlainS, 0));
    // Each view's file holds that view's keys with that view's data.
    std::wstring strOwnText = EntryText(backup.m_strArchive, strOwnEntry, folder.Path());
    std::wstring strOtherText = EntryText(backup.m_strArchive, strOtherEntry, folder.Path());
    EXPECT_TRUE(Holds(strOtherText, L"[HKEY_CLASSES_ROOT\\" + strS + L"\\InprocServer32]"));
    EXPECT_TRUE(Holds(strOtherText, Escaped(strGone)));
    EXPECT_FALSE(Holds(strOtherText, Escaped(strHere)));
    EXPECT_TRUE(Holds(strOtherText, L"[HKEY_CLASSES_ROOT\\" + strI + L"\\ProxyStubClsid32]"));
    EXPECT_FALSE(Holds(strOtherText, strO));
    EXPECT_TRUE(Holds(strOwnText, L"[HKEY_CLASSES_ROOT\\" + strO + L"\\InprocServer32]"));
    EXPECT_TRUE(Holds(strOwnText, Escaped(strGone)));
    EXPECT_FALSE(Holds(strOwnText, strS));
    EXPECT_FALSE(Holds(strOwnText, strI));

    scantest::CLinesLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(app.m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[0], (int)expected.size());
    for (const std::wstring& strLine : log.m_arrLines)
        EXPECT_EQ(strLine.rfind(L"Fixed Success: ", 0), 0u) << testing::PrintToString(strLine);
    // The fault is gone in its view; the twin in the other view is whole.
    EXPECT_EQ(other.Read(strS + L"\\InprocServer32", L""), L"<no value>");
    EXPECT_EQ(other.Read(strS + L"\\InprocServer32", L"ThreadingModel"), L"Both");
    EXPECT_EQ(own.Read(strS + L"\\InprocServer32", L""), strHere);
    EXPECT_EQ(own.Read(strO + L"\\InprocServer32", L""), L"<no value>");
    EXPECT_EQ(other.Read(strO + L"\\InprocServer32", L""), strHere);
    EXPECT_FALSE(other.Exists(strT + L"\\TypeLib"));
    EXPECT_EQ(other.Read(strT, L""), L"other T");
    EXPECT_EQ(own.Read(strT + L"\\TypeLib", L""), strLibrary);
    EXPECT_EQ(other.Read(strA, L"AppID"), L"<no value>");
    EXPECT_EQ(own.Read(strA, L"AppID"), strAppId);
    EXPECT_FALSE(other.Exists(strI + L"\\ProxyStubClsid32"));
    EXPECT_EQ(own.Read(strI + L"\\ProxyStubClsid32", L""), strS.substr(6));

    CAutoBackupRestore restore;
    EXPECT_TRUE(restore.Restore(backup.m_strArchive, program.Path().c_str())) << restore.m_failure.m_strItem.Str();
    EXPECT_EQ(restore.m_nRegFilesImported, 2);
    EXPECT_EQ(other.Read(strS + L"\\InprocServer32", L""), strGone);
    EXPECT_EQ(own.Read(strS + L"\\InprocServer32", L""), strHere);
    EXPECT_EQ(own.Read(strO + L"\\InprocServer32", L""), strGone);
    EXPECT_EQ(other.Read(strO + L"\\InprocServer32", L""), strHere);
    EXPECT_TRUE(other.Exists(strT + L"\\TypeLib"));
    EXPECT_EQ(own.Read(strT + L"\\TypeLib", L""), strLibrary);
    EXPECT_EQ(other.Read(strA, L"AppID"), strNoAppId);
    EXPECT_EQ(own.Read(strA, L"AppID"), strAppId);
    EXPECT_EQ(other.Read(strI + L"\\ProxyStubClsid32", L""), strNoClass);
    EXPECT_EQ(own.Read(strI + L"\\ProxyStubClsid32", L""), strS.substr(6));
}

// TypeLib is one key that both views show: its faults are read once, in the
// own view, and repaired there (which is both views).
TEST(ComViews, SharedTypeLibIsReadOnce)
{
    const REGSAM kOther = CKeyReader::OtherView();
    ASSERT_NE(kOther, 0u) << "needs 64-bit Windows";
    ViewKeys own(HKEY_CLASSES_ROOT, 0), other(HKEY_CLASSES_ROOT, kOther);
    const std::wstring strLibrary = L"TypeLib\\" + NewGuid();
    ASSERT_TRUE(own.Create(strLibrary + L"\\1.0\\FLAGS"));
    ASSERT_TRUE(own.SetString(strLibrary + L"\\1.0\\0\\win32", L"", L"C:\\x.tlb"));
    ASSERT_TRUE(other.Exists(strLibrary + L"\\1.0\\FLAGS")) << "this prefix keeps TypeLib apart per view";

    HeadlessScan run;
    run.scan.m_bWow64 = RunsUnderWow64();
    run.scan.m_pathTest.SetWow64(run.scan.m_bWow64);
    run.Only({1});
    run.Run();
    std::vector<const CRegProblem*> found = RecordsOf(run.scan.ProblemList(1), strLibrary + L"\\1.0\\FLAGS");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->m_samView, 0u);
    EXPECT_EQ(run.RowsWith(strLibrary.substr(8)).size(), 1u);
}

// Where the views keep TypeLib apart, each view's empty keys are found and
// carry their view; the library a class names is looked up in the class's
// own view.
TEST(ComViews, SeparateTypeLibFaultsOfBothViews)
{
    const REGSAM kOther = CKeyReader::OtherView();
    ASSERT_NE(kOther, 0u) << "needs 64-bit Windows";
    const REGSAM k32 = KEY_WOW64_32KEY, k64 = KEY_WOW64_64KEY;
    const std::wstring strLibrary = L"TypeLib\\" + NewGuid(), strClass = L"CLSID\\" + NewGuid();
    {
        // The prefix links the 32-bit view's TypeLib to the 64-bit one.
        SeparateViewKey separate(L"Software\\Classes\\Wow6432Node\\TypeLib",
                                 L"\\Registry\\Machine\\Software\\Classes\\TypeLib", true);
        ASSERT_TRUE(separate.WasLink()) << "this prefix does not link the 32-bit TypeLib";
        ASSERT_TRUE(separate.IsSeparate());
        ViewKeys view32(HKEY_CLASSES_ROOT, k32), view64(HKEY_CLASSES_ROOT, k64);
        // The library has an empty FLAGS key in the 32-bit view only, an
        // empty HELPDIR key in the 64-bit view only.
        ASSERT_TRUE(view32.Create(strLibrary + L"\\1.0\\FLAGS"));
        ASSERT_TRUE(view32.SetString(strLibrary + L"\\1.0\\HELPDIR", L"", L"C:\\"));
        ASSERT_TRUE(view64.SetString(strLibrary + L"\\1.0\\FLAGS", L"", L"0"));
        ASSERT_TRUE(view64.Create(strLibrary + L"\\1.0\\HELPDIR"));
        ASSERT_EQ(view32.Read(strLibrary + L"\\1.0\\FLAGS", L""), L"<no value>");
        // A class of one id in both views, each naming a library that only
        // its own view holds: each is looked up in its own view's TypeLib.
        const std::wstring strOtherLibrary = L"TypeLib\\" + NewGuid();
        ASSERT_TRUE(view64.Create(strOtherLibrary));
        ASSERT_TRUE(view32.SetString(strClass + L"\\TypeLib", L"", strLibrary.substr(8)));
        ASSERT_TRUE(view64.SetString(strClass + L"\\TypeLib", L"", strOtherLibrary.substr(8)));
        ASSERT_FALSE(view32.Exists(strOtherLibrary));

        HeadlessScan run;
        run.scan.m_bWow64 = RunsUnderWow64();
        run.scan.m_pathTest.SetWow64(run.scan.m_bWow64);
        run.Only({1});
        run.Run();
        const CArray<CRegProblem>& list = run.scan.ProblemList(1);
        const REGSAM sam32 = kOther == k32 ? kOther : 0, sam64 = kOther == k64 ? kOther : 0;
        std::vector<const CRegProblem*> flags = RecordsOf(list, strLibrary + L"\\1.0\\FLAGS");
        ASSERT_EQ(flags.size(), 1u);
        EXPECT_EQ(flags[0]->m_samView, sam32);
        std::vector<const CRegProblem*> helpDir = RecordsOf(list, strLibrary + L"\\1.0\\HELPDIR");
        ASSERT_EQ(helpDir.size(), 1u);
        EXPECT_EQ(helpDir[0]->m_samView, sam64);
        EXPECT_EQ(RecordsOf(list, strClass + L"\\TypeLib").size(), 0u);
    }
    // The link is back: the 32-bit view shows the shared key again.
    ViewKeys view32(HKEY_CLASSES_ROOT, k32), view64(HKEY_CLASSES_ROOT, k64);
    const std::wstring strProbe = L"TypeLib\\" + NewGuid();
    ASSERT_TRUE(view64.Create(strProbe));
    EXPECT_TRUE(view32.Exists(strProbe));
}
