#include "framework/Afx.h"
#include "framework/FileDialog.h"

#include <gtest/gtest.h>

TEST(CFileDialog, FilterBarsBecomeZeros)
{
    std::wstring strFilter = CFileDialog::ParseFilter(L"Registry files (*.reg)|*.reg|All files (*.*)|*.*||");
    EXPECT_EQ(strFilter, std::wstring(L"Registry files (*.reg)\0*.reg\0All files (*.*)\0*.*\0\0", 50));
    // Without the closing bars the end is still two zeros.
    EXPECT_EQ(CFileDialog::ParseFilter(L"Zip|*.zip"), std::wstring(L"Zip\0*.zip\0\0", 11));
    EXPECT_EQ(CFileDialog::ParseFilter(L""), std::wstring(L"\0", 1));

    CFileDialog dialog(TRUE, L"reg", L"backup.reg", OFN_HIDEREADONLY, L"Reg|*.reg||");
    ASSERT_NE(dialog.m_ofn.lpstrFilter, nullptr);
    EXPECT_STREQ(dialog.m_ofn.lpstrFilter, L"Reg");
    EXPECT_STREQ(dialog.m_ofn.lpstrFilter + 4, L"*.reg");
    EXPECT_STREQ(dialog.m_ofn.lpstrDefExt, L"reg");
    EXPECT_STREQ(dialog.m_ofn.lpstrFile, L"backup.reg");
}

TEST(CFileDialog, ResultsOfOneAndOfSeveralFiles)
{
    CFileDialog single(TRUE, NULL, NULL, 0, NULL);
    lstrcpyW(single.m_ofn.lpstrFile, L"C:\\Data\\report.final.txt");
    single.m_ofn.nFileOffset = 8;
    EXPECT_STREQ(single.GetPathName(), L"C:\\Data\\report.final.txt");
    EXPECT_STREQ(single.GetFileName(), L"report.final.txt");
    EXPECT_STREQ(single.GetFileExt(), L"txt");
    EXPECT_STREQ(single.GetFileTitle(), L"report.final");
    POSITION pos = single.GetStartPosition();
    EXPECT_STREQ(single.GetNextPathName(pos), L"C:\\Data\\report.final.txt");
    EXPECT_EQ(pos, nullptr);

    CFileDialog multi(TRUE, NULL, NULL, OFN_ALLOWMULTISELECT, NULL);
    EXPECT_EQ(multi.GetStartPosition(), nullptr);  // nothing chosen yet
    const wchar_t kChosen[] = L"C:\\\0a.txt\0b.txt\0";
    memcpy(multi.m_ofn.lpstrFile, kChosen, sizeof(kChosen));
    pos = multi.GetStartPosition();
    EXPECT_STREQ(multi.GetNextPathName(pos), L"C:\\a.txt");
    ASSERT_NE(pos, nullptr);
    EXPECT_STREQ(multi.GetNextPathName(pos), L"C:\\b.txt");
    EXPECT_EQ(pos, nullptr);

    // One file picked in a multi-select dialog comes back as a full path.
    const wchar_t kOne[] = L"C:\\Data\\x.zip\0";
    memcpy(multi.m_ofn.lpstrFile, kOne, sizeof(kOne));
    multi.m_ofn.lpstrFile[lstrlenW(kOne) + 1] = 0;
    pos = multi.GetStartPosition();
    EXPECT_STREQ(multi.GetNextPathName(pos), L"C:\\Data\\x.zip");
    EXPECT_EQ(pos, nullptr);
}
