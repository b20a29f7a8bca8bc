#include "framework/Afx.h"
#include "framework/File.h"
#include "framework/FileFind.h"

#include <gtest/gtest.h>
#include <set>

#include "tests/support/TestSupport.h"

using testsupport::ScratchFolder;

TEST(CFile, WriteReadSeekRoundTrip)
{
    ScratchFolder folder;
    CString strPath = folder.File(L"data.bin").c_str();
    CFile file;
    CFileException error;
    ASSERT_TRUE(file.Open(strPath, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary, &error));
    EXPECT_EQ(error.m_cause, CFileException::none);
    EXPECT_STREQ(file.GetFileName(), L"data.bin");
    EXPECT_STREQ(file.GetFileTitle(), L"data");
    EXPECT_STREQ(file.GetFilePath(), strPath);

    EXPECT_TRUE(file.Write("0123456789", 10));
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.GetPosition(), 10u);
    file.SeekToBegin();
    char szBuf[32] = {};
    EXPECT_EQ(file.Read(szBuf, 4), 4u);
    EXPECT_STREQ(szBuf, "0123");
    EXPECT_EQ(file.Seek(-2, CFile::end), 8u);
    // A read past the end gives what is there, then nothing.
    EXPECT_EQ(file.Read(szBuf, sizeof(szBuf)), 2u);
    EXPECT_EQ(file.Read(szBuf, sizeof(szBuf)), 0u);
    EXPECT_EQ(file.Seek(-1, CFile::begin), CFile::kSeekFailed);

    EXPECT_TRUE(file.SetLength(5));
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(file.SeekToEnd(), 5u);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"data.bin")), "01234");

    // modeNoTruncate keeps the contents; plain modeCreate empties them.
    ASSERT_TRUE(file.Open(strPath, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 5u);
    file.Close();
    ASSERT_TRUE(file.Open(strPath, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(CFile, FailuresAreReturnValues)
{
    ScratchFolder folder;
    CString strMissing = folder.File(L"missing.txt").c_str();
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(strMissing, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(file.Open(L"", CFile::modeRead));
    char ch;
    EXPECT_EQ(file.Read(&ch, 1), 0u);
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(file.GetLength(), 0u);

    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(strMissing, status));
    EXPECT_FALSE(CFile::Remove(strMissing));
    EXPECT_FALSE(CFile::Rename(strMissing, folder.File(L"other.txt").c_str()));

    // A file held exclusively cannot be opened a second time.
    CString strHeld = folder.File(L"held.txt").c_str();
    CFile holder;
    ASSERT_TRUE(holder.Open(strHeld, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    CFile second;
    EXPECT_FALSE(second.Open(strHeld, CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    holder.Close();
    EXPECT_TRUE(second.Open(strHeld, CFile::modeRead | CFile::shareDenyNone));
}

TEST(CFile, StatusRenameRemove)
{
    ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"a.txt"), "hello"));
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(folder.File(L"a.txt").c_str(), status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_STREQ(status.m_szFullName, folder.File(L"a.txt").c_str());
    LONGLONG nAge = (CTime::GetCurrentTime() - status.m_mtime).GetTotalSeconds();
    EXPECT_LT(nAge < 0 ? -nAge : nAge, 120);

    EXPECT_TRUE(CFile::Rename(folder.File(L"a.txt").c_str(), folder.File(L"b.txt").c_str()));
    EXPECT_TRUE(CFile::Remove(folder.File(L"b.txt").c_str()));
    EXPECT_FALSE(CFile::GetStatus(folder.File(L"b.txt").c_str(), status));
}

TEST(CStdioFile, ReadAndWriteLines)
{
    ScratchFolder folder;
    CString strPath = folder.File(L"lines.txt").c_str();
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(strPath, CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        EXPECT_TRUE(file.WriteString(L"first\nsecond\n\nlast"));
    }
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"lines.txt")), "first\r\nsecond\r\n\r\nlast");

    CStdioFile file;
    ASSERT_TRUE(file.Open(strPath, CFile::modeRead));
    CString strLine;
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_STREQ(strLine, L"first");
    EXPECT_EQ(file.GetPosition(), 7u);  // read-ahead is not counted
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_STREQ(strLine, L"second");
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_STREQ(strLine, L"");
    ASSERT_TRUE(file.ReadString(strLine));
    EXPECT_STREQ(strLine, L"last");
    EXPECT_FALSE(file.ReadString(strLine));

    file.SeekToBegin();
    WCHAR szBuf[4];
    ASSERT_NE(file.ReadString(szBuf, 4), nullptr);
    EXPECT_STREQ(szBuf, L"fir");
    ASSERT_NE(file.ReadString(szBuf, 4), nullptr);
    EXPECT_STREQ(szBuf, L"st\n");
    char szRaw[3] = {};
    EXPECT_EQ(file.Read(szRaw, 2), 2u);  // mixes with the line buffer
    EXPECT_STREQ(szRaw, "se");
}

TEST(CFileFind, WalksAFolderWithDotsDirectoriesAndMasks)
{
    ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"one.txt"), "1"));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"two.log"), "22"));
    ASSERT_TRUE(::CreateDirectoryW(folder.File(L"sub").c_str(), NULL));
    ::SetFileAttributesW(folder.File(L"two.log").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);

    CFileFind finder;
    std::set<std::wstring> names;
    int nDots = 0;
    BOOL bMore = finder.FindFile((folder.Path() + L"*.*").c_str());
    ASSERT_TRUE(bMore);
    EXPECT_STREQ(finder.GetRoot(), folder.Path().c_str());
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots()) {
            ++nDots;
            continue;
        }
        names.insert((LPCWSTR)finder.GetFileName());
        EXPECT_STREQ(finder.GetFilePath(), (folder.Path() + (LPCWSTR)finder.GetFileName()).c_str());
        if (finder.GetFileName() == CString(L"sub")) {
            EXPECT_TRUE(finder.IsDirectory());
        } else {
            EXPECT_FALSE(finder.IsDirectory());
        }
        if (finder.GetFileName() == CString(L"two.log")) {
            EXPECT_TRUE(finder.IsHidden());
            EXPECT_TRUE(finder.IsReadOnly());
            EXPECT_TRUE(finder.MatchesMask(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
            EXPECT_EQ(finder.GetLength(), 2u);
            EXPECT_STREQ(finder.GetFileTitle(), L"two");
            CTime tWrite;
            FILETIME ft;
            EXPECT_TRUE(finder.GetLastWriteTime(tWrite));
            EXPECT_TRUE(finder.GetLastWriteTime(&ft));
            EXPECT_EQ(tWrite, CTime(ft));
        }
    }
    finder.Close();
    EXPECT_EQ(nDots, 2);
    EXPECT_EQ(names, (std::set<std::wstring>{ L"one.txt", L"two.log", L"sub" }));
    ::SetFileAttributesW(folder.File(L"two.log").c_str(), FILE_ATTRIBUTE_NORMAL);

    // A mask, a single match (FindNextFile is FALSE at once) and no match.
    bMore = finder.FindFile((folder.Path() + L"*.txt").c_str());
    ASSERT_TRUE(bMore);
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_STREQ(finder.GetFileName(), L"one.txt");
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_FALSE(finder.FindFile((folder.Path() + L"*.none").c_str()));
    EXPECT_STREQ(finder.GetFileName(), L"");
    EXPECT_FALSE(finder.FindFile((folder.Path() + L"nowhere\\*.*").c_str()));
}
