// IgnoreList.dat: its bytes, entries with line breaks and bars that survive
// a reload, and rewrites that fail or are refused without harm.
#include "tests/repair/RepairTestSupport.h"
#include "repair/IgnoreListFile.h"
#include "scanner/IgnoreMatcher.h"

using namespace repairtest;

namespace {

std::string Utf16(const std::wstring& str)
{
    return std::string((const char*)str.c_str(), str.size() * sizeof(wchar_t));
}

class IgnoreListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp(m_folder.Path());
        m_pApp = App();
        m_strFile = m_folder.File(L"IgnoreList.dat");
    }

    testsupport::ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    std::wstring m_strFile;
};

} // namespace

TEST_F(IgnoreListTest, EntriesAreFormattedWithTheCategoryIndex)
{
    CRegProblem value = ValueProblem(L"HKEY_CURRENT_USER", L"Software\\A", L"", L"C:\\x.exe");
    EXPECT_EQ(CIgnoreListFile::FormatEntry(1, value), L"0;HKEY_CURRENT_USER\\Software\\A|{Default}|C:\\x.exe");
    CRegProblem key = KeyProblem(L"HKEY_LOCAL_MACHINE", L"Software\\Empty");
    key.m_strData.Empty();
    EXPECT_EQ(CIgnoreListFile::FormatEntry(15, key), L"14;HKEY_LOCAL_MACHINE\\Software\\Empty|{Default}|");
}

TEST_F(IgnoreListTest, LineBreaksAreStoredEncodedAndComeBackPlain)
{
    CRegProblem problem = ValueProblem(L"HKEY_CURRENT_USER", L"Software\\B", L"name|with bar", L"one\ntwo\rthree|four");
    CString strEntry = CIgnoreListFile::FormatEntry(12, problem);
    ASSERT_TRUE(CIgnoreListFile::AddEntry(m_pApp, strEntry));
    ASSERT_TRUE(CIgnoreListFile::AddEntry(m_pApp, L"3;HKEY_USERS\\.DEFAULT\\X|v|d"));

    std::wstring strExpected = L"\xFEFF"
                               L"11;HKEY_CURRENT_USER\\Software\\B|name|with bar|one\x240Atwo\x240Dthree|four\n"
                               L"3;HKEY_USERS\\.DEFAULT\\X|v|d\n";
    EXPECT_EQ(testsupport::ReadFileBytes(m_strFile), Utf16(strExpected));
    EXPECT_EQ(GetFileAttributesW((m_strFile + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 2);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[0], strEntry);
    // What the scanner's matcher compares: the text after the index.
    EXPECT_EQ(m_pApp->m_arrIgnoreList[0].Mid(3),
              L"HKEY_CURRENT_USER\\Software\\B|name|with bar|one\ntwo\rthree|four");

    // The scan's matcher still knows the problem.
    CIgnoreMatcher matcher;
    matcher.Load(m_pApp->m_arrIgnoreList);
    EXPECT_TRUE(IsIgnored(matcher, HKEY_CURRENT_USER, L"Software\\B", L"name|with bar", L"one\ntwo\rthree|four"));
    EXPECT_FALSE(IsIgnored(matcher, HKEY_CURRENT_USER, L"Software\\B", L"name|with bar", L"one two three|four"));

    if (PeerAvailable("python3"))
    {
        std::string strOut;
        int nExit = RunPython("import sys\n"
                              "text = open(sys.argv[1], 'rb').read().decode('utf-16')\n"
                              "for line in text.split('\\n'):\n"
                              "    print(line.encode('unicode_escape').decode('ascii'))\n",
                              { m_strFile }, strOut);
        EXPECT_EQ(nExit, 0) << strOut;
        EXPECT_EQ(strOut, "11;HKEY_CURRENT_USER\\\\Software\\\\B|name|with bar|one\\u240atwo\\u240dthree|four\n"
                          "3;HKEY_USERS\\\\.DEFAULT\\\\X|v|d\n\n");
    }
}

TEST_F(IgnoreListTest, OlderFilesWithEmptyLinesAndCrLfStillLoad)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strFile, Utf16(L"\xFEFF" L"0;HKEY_CLASSES_ROOT\\A|{Default}|\n\n"
                                                          L"5;HKEY_CURRENT_USER\\B|x|y\r\n")));
    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 2);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[1], L"5;HKEY_CURRENT_USER\\B|x|y");
    // A rewrite drops the empty line.
    ASSERT_TRUE(CIgnoreListFile::RemoveEntry(m_pApp, 1));
    EXPECT_EQ(testsupport::ReadFileBytes(m_strFile), Utf16(L"\xFEFF" L"0;HKEY_CLASSES_ROOT\\A|{Default}|\n"));
}

TEST_F(IgnoreListTest, FailedRewriteKeepsTheOldFileAndTheList)
{
    ASSERT_TRUE(CIgnoreListFile::AddEntry(m_pApp, L"1;HKEY_CURRENT_USER\\Old|a|b"));
    std::string before = testsupport::ReadFileBytes(m_strFile);

    // Held open without delete sharing, the file cannot be replaced.
    HANDLE hHold = CreateFileW(m_strFile.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CIgnoreListFile::AddEntry(m_pApp, L"2;HKEY_CURRENT_USER\\New|c|d"));
    EXPECT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 1);
    EXPECT_FALSE(CIgnoreListFile::RemoveEntry(m_pApp, 0));
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 1);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[0], L"1;HKEY_CURRENT_USER\\Old|a|b");
    CloseHandle(hHold);

    EXPECT_EQ(testsupport::ReadFileBytes(m_strFile), before);
    EXPECT_EQ(GetFileAttributesW((m_strFile + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(CIgnoreListFile::RemoveEntry(m_pApp, 5));
}

// A U+FFFF unit does not end the list: the entries after it still count,
// but the list is not read cleanly, so Remove and Add leave the file alone.
TEST_F(IgnoreListTest, ListWithAStopUnitKeepsItsRestAndIsNotWrittenBack)
{
    std::string bytes = Utf16(L"\xFEFF" L"0;HKEY_CURRENT_USER\\A|a|\n1;HKEY_CURRENT_USER\\B|b|\xFFFF|\n"
                              L"2;HKEY_CURRENT_USER\\C|c|\n");
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strFile, bytes));
    CStringArray entries;
    EXPECT_FALSE(CIgnoreListFile::ReadFile(m_strFile.c_str(), entries));
    EXPECT_FALSE(CIgnoreListFile::IsFileRewritable(m_strFile.c_str()));
    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 3);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[1], L"1;HKEY_CURRENT_USER\\B|b|\xFFFF|");
    EXPECT_EQ(m_pApp->m_arrIgnoreList[2], L"2;HKEY_CURRENT_USER\\C|c|");
    CIgnoreMatcher matcher;
    matcher.Load(m_pApp->m_arrIgnoreList);
    EXPECT_TRUE(IsIgnored(matcher, HKEY_CURRENT_USER, L"C", L"c", L""));

    BOOL bUnreadable = FALSE;
    EXPECT_FALSE(CIgnoreListFile::RemoveEntry(m_pApp, 0, &bUnreadable));
    EXPECT_TRUE(bUnreadable);
    bUnreadable = FALSE;
    EXPECT_FALSE(CIgnoreListFile::AddEntry(m_pApp, L"3;HKEY_CURRENT_USER\\D|d|", &bUnreadable));
    EXPECT_TRUE(bUnreadable);
    EXPECT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 3);
    EXPECT_EQ(testsupport::ReadFileBytes(m_strFile), bytes);
    EXPECT_EQ(CIgnoreListFile::SaveText(m_strFile.c_str(), L"\xFEFF"), CIgnoreListFile::Unreadable);
    EXPECT_EQ(testsupport::ReadFileBytes(m_strFile), bytes);
}
