#include "services/DiskObject.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

using testsupport::ScratchFolder;
using testsupport::WriteFileBytes;
using testsupport::ReadFileBytes;

namespace {

bool Exists(const std::wstring& strPath)
{
    return GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// root\a.txt, root\one\b.txt, root\one\deep\c.txt, root\empty\, root\two\d.txt
void MakeTree(const std::wstring& strRoot)
{
    for (LPCWSTR pszFolder : { L"", L"one", L"one\\deep", L"empty", L"two" })
        CreateDirectoryW((strRoot + pszFolder).c_str(), nullptr);
    WriteFileBytes(strRoot + L"a.txt", "A");
    WriteFileBytes(strRoot + L"one\\b.txt", "B");
    WriteFileBytes(strRoot + L"one\\deep\\c.txt", "C");
    WriteFileBytes(strRoot + L"two\\d.txt", "D");
}

// Holds a file open without sharing, so it cannot be copied or deleted.
class CLockedFile
{
public:
    explicit CLockedFile(const std::wstring& strFile)
        : m_hFile(CreateFileW(strFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~CLockedFile() { if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile); }
    bool IsLocked() const { return m_hFile != INVALID_HANDLE_VALUE; }
private:
    HANDLE m_hFile;
};

} // namespace

TEST(CDiskObject, CompleteFolderPath)
{
    CDiskObject disk;
    CString strPath = L"C:/a/b";
    EXPECT_TRUE(disk.CompleteFolderPath(strPath));
    EXPECT_STREQ(L"C:\\a\\b\\", strPath);
    strPath = L"\\\\server\\share";
    EXPECT_TRUE(disk.CompleteFolderPath(strPath));
    EXPECT_STREQ(L"\\\\server\\share\\", strPath);

    WCHAR szCurrent[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, szCurrent);
    CString strCurrent = szCurrent;
    if (strCurrent.Right(1) != L"\\")
        strCurrent += L"\\";
    strPath = L"rel\\sub";
    EXPECT_TRUE(disk.CompleteFolderPath(strPath));
    EXPECT_STREQ(strCurrent + L"rel\\sub\\", strPath);
    strPath = L"\\top";
    EXPECT_TRUE(disk.CompleteFolderPath(strPath));
    EXPECT_STREQ(strCurrent.Left(2) + L"\\top\\", strPath);

    for (LPCWSTR pszBad : { L"C:\\a*b", L"C:\\a?", L"C:\\x\\y:z", L"" })
    {
        strPath = pszBad;
        EXPECT_FALSE(disk.CompleteFolderPath(strPath)) << pszBad;
        EXPECT_STREQ(L"CDiskObject internal error - check call parameters", disk.GetErrorMessage());
    }
    // The process's current folder is left alone.
    WCHAR szAfter[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, szAfter);
    EXPECT_STREQ(szCurrent, szAfter);
}

TEST(CDiskObject, RemoveDirectoryTree)
{
    ScratchFolder folder;
    CDiskObject disk;
    EXPECT_FALSE(disk.RemoveDirectoryTree(folder.File(L"missing").c_str()));
    EXPECT_FALSE(disk.GetErrorMessage().IsEmpty());
    EXPECT_FALSE(disk.RemoveDirectoryTree(L""));
    // Roots are refused before anything is listed.
    for (LPCWSTR pszRoot : { L"Q:\\", L"Q:", L"Q:/", L"\\\\nohost\\noshare" })
    {
        EXPECT_FALSE(disk.RemoveDirectoryTree(pszRoot)) << pszRoot;
        EXPECT_STREQ(L"CDiskObject internal error - check call parameters", disk.GetErrorMessage());
    }

    // Forward slashes, no trailing backslash.
    std::wstring strRoot = folder.File(L"tree\\");
    MakeTree(strRoot);
    std::wstring strSlashed = folder.File(L"tree");
    for (wchar_t& ch : strSlashed)
        if (ch == L'\\')
            ch = L'/';
    EXPECT_TRUE(disk.RemoveDirectoryTree(strSlashed.c_str())) << (LPCWSTR)disk.GetErrorMessage();
    EXPECT_FALSE(Exists(strRoot));
    EXPECT_TRUE(disk.GetErrorMessage().IsEmpty());
}

TEST(CDiskObject, RemoveStopsAtAFileThatCannotBeDeleted)
{
    ScratchFolder folder;
    std::wstring strRoot = folder.File(L"tree\\");
    MakeTree(strRoot);
    CDiskObject disk;
    {
        CLockedFile locked(strRoot + L"one\\b.txt");
        ASSERT_TRUE(locked.IsLocked());
        EXPECT_FALSE(disk.RemoveDirectoryTree(strRoot.c_str()));
        EXPECT_NE(-1, disk.GetErrorMessage().Find(L"b.txt"));
    }
    EXPECT_TRUE(Exists(strRoot + L"one\\b.txt"));
    EXPECT_TRUE(Exists(strRoot + L"a.txt"));
    EXPECT_TRUE(disk.RemoveDirectoryTree(strRoot.c_str()));
}

TEST(CDiskObject, CopyDirectoryTreeIntoADeepNewTarget)
{
    ScratchFolder folder;
    std::wstring strSource = folder.File(L"src\\");
    MakeTree(strSource);
    std::wstring strTarget = folder.File(L"x\\y\\z");

    CDiskObject disk;
    ASSERT_TRUE(disk.CopyDirectoryTree(strSource.c_str(), strTarget.c_str())) << (LPCWSTR)disk.GetErrorMessage();
    EXPECT_EQ("A", ReadFileBytes(strTarget + L"\\a.txt"));
    EXPECT_EQ("B", ReadFileBytes(strTarget + L"\\one\\b.txt"));
    EXPECT_EQ("C", ReadFileBytes(strTarget + L"\\one\\deep\\c.txt"));
    EXPECT_EQ("D", ReadFileBytes(strTarget + L"\\two\\d.txt"));
    EXPECT_TRUE(Exists(strTarget + L"\\empty")); // an empty folder is created too

    // Copying again overwrites.
    WriteFileBytes(strSource + L"a.txt", "A2");
    EXPECT_TRUE(disk.CopyDirectoryTree(strSource.c_str(), strTarget.c_str()));
    EXPECT_EQ("A2", ReadFileBytes(strTarget + L"\\a.txt"));

    EXPECT_FALSE(disk.CopyDirectoryTree(folder.File(L"nothing").c_str(), strTarget.c_str()));
}

TEST(CDiskObject, CopyReportsAFailureInAnEarlyFolderAndCopiesTheRest)
{
    ScratchFolder folder;
    std::wstring strSource = folder.File(L"src\\");
    MakeTree(strSource);
    WriteFileBytes(strSource + L"z.txt", "Z"); // after the locked file in the same folder
    std::wstring strTarget = folder.File(L"dst\\");

    CDiskObject disk;
    {
        CLockedFile locked(strSource + L"a.txt"); // in the first folder copied
        ASSERT_TRUE(locked.IsLocked());
        EXPECT_FALSE(disk.CopyDirectoryTree(strSource.c_str(), strTarget.c_str()));
    }
    CString strError = disk.GetErrorMessage();
    EXPECT_NE(-1, strError.Find(L"a.txt -> "));
    EXPECT_FALSE(Exists(strTarget + L"a.txt"));
    EXPECT_EQ("Z", ReadFileBytes(strTarget + L"z.txt"));
    EXPECT_EQ("C", ReadFileBytes(strTarget + L"one\\deep\\c.txt"));
    EXPECT_EQ("D", ReadFileBytes(strTarget + L"two\\d.txt")); // the last folder copied well
}

TEST(CDiskObject, ListingOrder)
{
    ScratchFolder folder;
    std::wstring strRoot = folder.File(L"tree\\");
    MakeTree(strRoot);
    for (LPCWSTR pszName : { L"alpha.txt", L"Beta.txt", L"_x.txt" })
        WriteFileBytes(strRoot + L"two\\" + pszName, "");

    CDiskObject disk;
    CStringArray arrFiles;
    ASSERT_TRUE(disk.ListFolderFiles((strRoot + L"two").c_str(), arrFiles, FALSE));
    ASSERT_EQ(4, arrFiles.GetSize());
    EXPECT_STREQ(L"Beta.txt", arrFiles[0]); // ordinal: upper case first
    EXPECT_STREQ(L"_x.txt", arrFiles[1]);
    EXPECT_STREQ(L"alpha.txt", arrFiles[2]);
    EXPECT_STREQ(L"d.txt", arrFiles[3]);

    CStringArray arrFolders;
    ASSERT_TRUE(disk.ListSubfolders(strRoot.c_str(), arrFolders, TRUE));
    ASSERT_EQ(4, arrFolders.GetSize());
    // Every folder comes before its own subfolders.
    INT_PTR nOne = -1, nDeep = -1;
    for (INT_PTR i = 0; i < arrFolders.GetSize(); ++i)
    {
        if (arrFolders[i] == CString((strRoot + L"one\\").c_str()))
            nOne = i;
        if (arrFolders[i] == CString((strRoot + L"one\\deep\\").c_str()))
            nDeep = i;
    }
    ASSERT_GE(nOne, 0);
    EXPECT_EQ(nOne + 1, nDeep);

    CStringArray arrRelative;
    ASSERT_TRUE(disk.ListSubfolders(strRoot.c_str(), arrRelative, FALSE));
    EXPECT_STREQ(L"one\\deep", arrRelative[nDeep]);

    CStringArray arrAll;
    ASSERT_TRUE(disk.EnumAllFiles(strRoot.c_str(), arrAll, L"*.txt"));
    EXPECT_EQ(7, arrAll.GetSize());

    CStringArray arrNone;
    EXPECT_TRUE(disk.ListFolderFiles(folder.File(L"missing").c_str(), arrNone, TRUE));
    EXPECT_EQ(0, arrNone.GetSize());
}

TEST(CDiskObject, MoveKeepsTheSourceWhenACopyFails)
{
    ScratchFolder folder;
    std::wstring strSource = folder.File(L"src\\");
    MakeTree(strSource);
    CDiskObject disk;
    {
        CLockedFile locked(strSource + L"one\\b.txt");
        ASSERT_TRUE(locked.IsLocked());
        EXPECT_FALSE(disk.MoveDirectoryTree(strSource.c_str(), folder.File(L"dst").c_str()));
    }
    EXPECT_TRUE(Exists(strSource + L"a.txt"));
    EXPECT_TRUE(Exists(strSource + L"one\\b.txt"));

    EXPECT_TRUE(disk.MoveDirectoryTree(strSource.c_str(), folder.File(L"dst").c_str()));
    EXPECT_FALSE(Exists(strSource));
    EXPECT_EQ("C", ReadFileBytes(folder.File(L"dst\\one\\deep\\c.txt")));

    // Renaming in place is a copy and a delete.
    EXPECT_TRUE(disk.RenameFile(folder.File(L"dst\\a.txt").c_str(), L"renamed.txt"));
    EXPECT_FALSE(Exists(folder.File(L"dst\\a.txt")));
    EXPECT_EQ("A", ReadFileBytes(folder.File(L"dst\\renamed.txt")));
}
