// The junk walk over planted trees, the folder choice and the single delete.
#include "privacy/JunkWalk.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include <algorithm>

using junktest::Exists;
using junktest::Plant;

namespace {

std::vector<CString> DefaultMasks()
{
    std::vector<CString> masks;
    for (int i = 0; i < JUNK_DEFAULT_MASK_COUNT; i++)
        masks.push_back(JunkMaskTable[i].lpszMask);
    return masks;
}

std::wstring CurrentDirectory()
{
    wchar_t sz[MAX_PATH * 2] = {0};
    ::GetCurrentDirectoryW(MAX_PATH * 2, sz);
    return sz;
}

std::vector<std::wstring> Paths(const std::vector<JunkFileRow>& rows)
{
    std::vector<std::wstring> paths;
    for (const JunkFileRow& row : rows)
        paths.push_back(row.strFolder + row.strName);
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace

TEST(JunkWalk, ListsTheTreesJunkButNoLinkNorLookAlike)
{
    testsupport::ScratchFolder scratch;
    std::wstring strTree = scratch.File(L"tree"), strOut = scratch.File(L"outside");
    ASSERT_TRUE(Plant(strTree + L"\\A.TMP"));
    ASSERT_TRUE(Plant(strTree + L"\\report.tmp1234"));
    ASSERT_TRUE(Plant(strTree + L"\\noext"));
    ASSERT_TRUE(Plant(strTree + L"\\sub\\keep.log"));
    ASSERT_TRUE(Plant(strTree + L"\\sub\\deep\\~WRL0001.doc"));
    ASSERT_TRUE(Plant(strTree + L"\\sub\\deep\\x.log2"));
    ASSERT_TRUE(Plant(strTree + L"\\dir.tmp\\inner.txt")) << "a folder named like junk is walked, not listed";
    ASSERT_TRUE(Plant(strOut + L"\\outside.tmp"));
    junktest::CHostLink link(strOut, strTree + L"\\sub\\link");
    ASSERT_TRUE(link.IsMade());
    DWORD dwLink = ::GetFileAttributesW((strTree + L"\\sub\\link").c_str());
    ASSERT_NE(dwLink, INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(dwLink & FILE_ATTRIBUTE_REPARSE_POINT) << "the planted link must show as a reparse point";
    ASSERT_TRUE(Exists(strTree + L"\\sub\\link\\outside.tmp"));

    std::wstring strCwd = CurrentDirectory();
    CJunkMatcher matcher(DefaultMasks());
    std::vector<JunkFileRow> rows;
    int nBatches = 0;
    CJunkWalker walker(matcher, NULL, [&](std::vector<JunkFileRow>& batch) {
        nBatches++;
        EXPECT_LE(batch.size(), 1u);
        rows.insert(rows.end(), batch.begin(), batch.end());
    }, 1);
    EXPECT_TRUE(walker.Walk(strTree));
    EXPECT_EQ(CurrentDirectory(), strCwd) << "the walk never changes the current directory";

    std::vector<std::wstring> expected = {strTree + L"\\A.TMP", strTree + L"\\sub\\deep\\~WRL0001.doc"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Paths(rows), expected);
    EXPECT_EQ(nBatches, 2);
    EXPECT_EQ(walker.GetFoundCount(), 2u);
    for (const JunkFileRow& row : rows)
        EXPECT_EQ(row.strFolder.back(), L'\\');

    // A root given without its backslash walks the same.
    rows.clear();
    CJunkWalker again(matcher, NULL, [&](std::vector<JunkFileRow>& batch) { rows.insert(rows.end(), batch.begin(), batch.end()); });
    again.Walk(strTree + L"\\");
    EXPECT_EQ(Paths(rows), expected);
}

TEST(JunkWalk, StopEndsTheWalkAndKeepsTheRowsFound)
{
    testsupport::ScratchFolder scratch;
    for (int nFolder = 0; nFolder < 20; nFolder++)
        for (int nFile = 0; nFile < 10; nFile++)
            ASSERT_TRUE(Plant(scratch.File(L"f" + std::to_wstring(nFolder) + L"\\" + std::to_wstring(nFile) + L".tmp")));
    HANDLE hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    CJunkMatcher matcher(DefaultMasks());
    std::vector<JunkFileRow> rows;
    CJunkWalker walker(matcher, hStop, [&](std::vector<JunkFileRow>& batch) {
        rows.insert(rows.end(), batch.begin(), batch.end());
        ::SetEvent(hStop);
    }, 5);
    EXPECT_FALSE(walker.Walk(scratch.Path()));
    EXPECT_TRUE(walker.IsStopped());
    EXPECT_GE(rows.size(), 5u);
    EXPECT_LT(rows.size(), 200u);
    EXPECT_EQ(rows.size(), walker.GetFoundCount()) << "every row found is handed over";
    ::CloseHandle(hStop);
}

TEST(JunkWalk, ChooseDirectoryTakesOnlyAnAbsoluteExistingFolder)
{
    testsupport::ScratchFolder scratch;
    ASSERT_TRUE(Plant(scratch.File(L"dir\\file.txt")));
    CString strFolder;
    std::wstring strDir = scratch.File(L"dir");
    EXPECT_TRUE(NormalizeJunkScanFolder(strDir.c_str(), strFolder));
    EXPECT_EQ(std::wstring(strFolder), strDir + L"\\") << "the backslash is added";
    EXPECT_TRUE(NormalizeJunkScanFolder((strDir + L"\\").c_str(), strFolder));
    EXPECT_EQ(std::wstring(strFolder), strDir + L"\\");
    for (LPCWSTR lpszBad : {L"", L"C:", L"C:foo", L"foo", L"..\\foo", L"\\windows", L"\\\\", L"C:\\no\\such\\folder"})
        EXPECT_FALSE(NormalizeJunkScanFolder(lpszBad, strFolder)) << std::wstring(lpszBad).size();
    EXPECT_FALSE(NormalizeJunkScanFolder(scratch.File(L"dir\\file.txt").c_str(), strFolder)) << "a file";
    EXPECT_FALSE(NormalizeJunkScanFolder((strDir + L"\\*").c_str(), strFolder));
    EXPECT_TRUE(strFolder.IsEmpty());
}

TEST(JunkWalk, DrivesComeFromAReplaceableList)
{
    auto fake = []() { return std::vector<std::wstring>{L"Q:\\", L"R:\\"}; };
    JUNK_DRIVE_LIST_FN pfnOld = SetJunkDriveListFunction(fake);
    EXPECT_EQ(GetJunkScanDrives(), (std::vector<std::wstring>{L"Q:\\", L"R:\\"}));
    EXPECT_EQ(SetJunkDriveListFunction(pfnOld), (JUNK_DRIVE_LIST_FN)fake);
    // The system's list holds fixed drives only (listed, never walked here).
    for (const std::wstring& strDrive : SystemFixedDrives())
        EXPECT_EQ(::GetDriveTypeW(strDrive.c_str()), (UINT)DRIVE_FIXED);
}

TEST(JunkDelete, DeletesTheNameAsFoundAndLeavesAFailedFileAsItWas)
{
    testsupport::ScratchFolder scratch;
    std::wstring strFolder = scratch.Path();
    // Two names that differ in case only (planted on the host): the row's own goes.
    std::string strUnix = junktest::UnixPathOf(strFolder);
    ASSERT_FALSE(strUnix.empty());
    ASSERT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && echo a > Case.TMP && echo b > case.tmp", 20000), 0);
    EXPECT_TRUE(DeleteJunkFile(strFolder, L"Case.TMP"));
    EXPECT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && test ! -e Case.TMP && test -e case.tmp", 20000), 0)
        << "the lower-cased display name is another file";

    // Read-only: cleared and deleted.
    std::wstring strRo = scratch.File(L"ro.tmp");
    ASSERT_TRUE(Plant(strRo));
    ASSERT_TRUE(::SetFileAttributesW(strRo.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(DeleteJunkFile(strFolder, L"ro.tmp"));
    EXPECT_FALSE(Exists(strRo));

    // Read-only and held open without delete sharing: the delete fails and
    // the attribute is put back.
    std::wstring strHeld = scratch.File(L"held.tmp");
    ASSERT_TRUE(Plant(strHeld));
    HANDLE hHold = ::CreateFileW(strHeld.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileAttributesW(strHeld.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(DeleteJunkFile(strFolder, L"held.tmp"));
    ::CloseHandle(hHold);
    EXPECT_TRUE(Exists(strHeld));
    EXPECT_TRUE(::GetFileAttributesW(strHeld.c_str()) & FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesW(strHeld.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Never a folder, a link or a name that leaves the folder.
    ASSERT_TRUE(Plant(scratch.File(L"sub.tmp\\inner.txt")));
    EXPECT_FALSE(DeleteJunkFile(strFolder, L"sub.tmp"));
    EXPECT_FALSE(DeleteJunkFile(strFolder, L"sub.tmp\\inner.txt"));
    EXPECT_TRUE(Exists(scratch.File(L"sub.tmp\\inner.txt")));
    EXPECT_FALSE(DeleteJunkFile(strFolder, L"missing.tmp"));
}
