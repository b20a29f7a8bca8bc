#include "services/DiskObject.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <atomic>
#include <climits>
#include <map>
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

// Every folder (as "<folder>") and file with its bytes below strRoot (which
// ends in '\\'), by relative path.
std::map<std::wstring, std::string> Snapshot(const std::wstring& strRoot, const std::wstring& strRelative = L"")
{
    std::map<std::wstring, std::string> entries;
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((strRoot + strRelative + L"*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return entries;
    do
    {
        std::wstring strName = data.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            entries[strRelative + strName] = "<folder>";
            auto below = Snapshot(strRoot, strRelative + strName + L"\\");
            entries.insert(below.begin(), below.end());
        }
        else
            entries[strRelative + strName] = ReadFileBytes(strRoot + strRelative + strName);
    } while (FindNextFileW(hFind, &data));
    FindClose(hFind);
    return entries;
}

// Whether every entry of part is in whole, a file with the same bytes.
bool IsPartOf(const std::map<std::wstring, std::string>& part, const std::map<std::wstring, std::string>& whole)
{
    for (const auto& entry : part)
    {
        auto it = whole.find(entry.first);
        if (it == whole.end() || it->second != entry.second)
            return false;
    }
    return true;
}

// Answers "stopped" from its nStopAt-th poll on (counting from 0) and counts
// the polls, as a flag set at that moment would.
class CStopAtPoll : public CDiskObject
{
public:
    explicit CStopAtPoll(int nStopAt) : m_nStopAt(nStopAt) {}
    BOOL IsStopped() const override { return m_nPolls++ >= m_nStopAt; }
    mutable int m_nPolls = 0;
private:
    int m_nStopAt;
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

// A flag set before a tree operation starts: nothing is removed, emptied,
// copied or listed. Cleared, or taken away, the same object does it all.
TEST(CDiskObject, AStopFlagSetBeforehandLeavesEverythingAsItIs)
{
    ScratchFolder folder;
    std::wstring strRoot = folder.File(L"tree\\");
    MakeTree(strRoot);
    const auto before = Snapshot(strRoot);
    std::wstring strTarget = folder.File(L"dst\\");
    std::atomic<bool> bStop(true);
    CDiskObject disk;
    disk.SetStopFlag(&bStop);
    EXPECT_TRUE(disk.IsStopped());

    EXPECT_FALSE(disk.RemoveDirectoryTree(strRoot.c_str()));
    EXPECT_STREQ(L"Stopped", disk.GetErrorMessage());
    EXPECT_FALSE(disk.EmptyDirectoryTree(strRoot.c_str()));
    EXPECT_STREQ(L"Stopped", disk.GetErrorMessage());
    EXPECT_FALSE(disk.CopyDirectoryTree(strRoot.c_str(), strTarget.c_str()));
    EXPECT_FALSE(disk.MoveDirectoryTree(strRoot.c_str(), strTarget.c_str()));
    EXPECT_FALSE(disk.CopyFolderFiles(strRoot.c_str(), strTarget.c_str()));
    CStringArray arrFiles;
    arrFiles.Add((strRoot + L"a.txt").c_str());
    EXPECT_FALSE(disk.CopyFiles(arrFiles, strTarget.c_str()));
    CStringArray arrListed;
    EXPECT_FALSE(disk.ListSubfolders(strRoot.c_str(), arrListed, TRUE));
    EXPECT_FALSE(disk.EnumAllFiles(strRoot.c_str(), arrListed));
    EXPECT_FALSE(disk.ListFolderFiles(strRoot.c_str(), arrListed, TRUE));
    EXPECT_STREQ(L"Stopped", disk.GetErrorMessage());
    EXPECT_EQ(0, arrListed.GetSize());
    EXPECT_EQ(before, Snapshot(strRoot));
    EXPECT_TRUE(Snapshot(strTarget).empty());

    bStop = false;
    EXPECT_FALSE(disk.IsStopped());
    ASSERT_TRUE(disk.CopyDirectoryTree(strRoot.c_str(), strTarget.c_str())) << (LPCWSTR)disk.GetErrorMessage();
    EXPECT_EQ(before, Snapshot(strTarget));
    EXPECT_TRUE(disk.RemoveDirectoryTree(strTarget.c_str()));
    EXPECT_FALSE(Exists(strTarget));
    bStop = true;
    disk.SetStopFlag(nullptr);
    EXPECT_FALSE(disk.IsStopped());
    EXPECT_TRUE(disk.EmptyDirectoryTree(strRoot.c_str()));
    EXPECT_TRUE(Exists(strRoot + L"one\\deep"));
    EXPECT_FALSE(Exists(strRoot + L"one\\deep\\c.txt"));
    EXPECT_TRUE(disk.RemoveDirectoryTree(strRoot.c_str()));
    EXPECT_FALSE(Exists(strRoot));
}

// A removal stopped at any of its polls ends with "Stopped": the folder
// itself stays, and so does the rest of the tree, each file whole. Past the
// last poll it removes everything.
TEST(CDiskObject, ARemovalStoppedAtAnyPollIsCutShort)
{
    ScratchFolder folder;
    std::wstring strRoot = folder.File(L"tree\\");
    MakeTree(strRoot);
    const auto before = Snapshot(strRoot);
    CStopAtPoll counter(INT_MAX);
    ASSERT_TRUE(counter.RemoveDirectoryTree(strRoot.c_str()));
    const int nPolls = counter.m_nPolls;
    ASSERT_GT(nPolls, (int)before.size());
    int nCutShort = 0;
    for (int nStopAt = 0; nStopAt < nPolls; nStopAt++)
    {
        testsupport::RemoveTree(strRoot);
        MakeTree(strRoot);
        CStopAtPoll disk(nStopAt);
        EXPECT_FALSE(disk.RemoveDirectoryTree(strRoot.c_str())) << nStopAt;
        EXPECT_STREQ(L"Stopped", disk.GetErrorMessage()) << nStopAt;
        auto after = Snapshot(strRoot);
        EXPECT_TRUE(Exists(strRoot)) << nStopAt;
        EXPECT_TRUE(IsPartOf(after, before)) << nStopAt;
        if (!after.empty() && after.size() < before.size())
            nCutShort++;
    }
    // Stops came while files and folders were going, not only before.
    EXPECT_GT(nCutShort, 0);
    testsupport::RemoveTree(strRoot);
    MakeTree(strRoot);
    CStopAtPoll disk(nPolls);
    EXPECT_TRUE(disk.RemoveDirectoryTree(strRoot.c_str()));
    EXPECT_FALSE(Exists(strRoot));
}

// A copy stopped at any of its polls: the source stays as it was, and what
// reached the target is a part of it, every file whole.
TEST(CDiskObject, ACopyStoppedAtAnyPollIsCutShort)
{
    ScratchFolder folder;
    std::wstring strSource = folder.File(L"src\\");
    MakeTree(strSource);
    const auto before = Snapshot(strSource);
    std::wstring strTarget = folder.File(L"dst\\");
    CStopAtPoll counter(INT_MAX);
    ASSERT_TRUE(counter.CopyDirectoryTree(strSource.c_str(), strTarget.c_str()));
    const int nPolls = counter.m_nPolls;
    int nCutShort = 0;
    for (int nStopAt = 0; nStopAt < nPolls; nStopAt++)
    {
        testsupport::RemoveTree(strTarget);
        CStopAtPoll disk(nStopAt);
        EXPECT_FALSE(disk.CopyDirectoryTree(strSource.c_str(), strTarget.c_str())) << nStopAt;
        EXPECT_STREQ(L"Stopped", disk.GetErrorMessage()) << nStopAt;
        auto copied = Snapshot(strTarget);
        EXPECT_TRUE(IsPartOf(copied, before)) << nStopAt;
        if (!copied.empty() && copied.size() < before.size())
            nCutShort++;
    }
    EXPECT_GT(nCutShort, 0);
    EXPECT_EQ(before, Snapshot(strSource));
    testsupport::RemoveTree(strTarget);
    CStopAtPoll disk(nPolls);
    EXPECT_TRUE(disk.CopyDirectoryTree(strSource.c_str(), strTarget.c_str()));
    EXPECT_EQ(before, Snapshot(strTarget));
}
