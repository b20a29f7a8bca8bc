#include "framework/Afx.h"
#include "framework/Internet.h"

#include <gtest/gtest.h>

TEST(CInternetSession, UnreachableUrlGivesNullQuickly)
{
    CInternetSession session(L"TamselTest");
    ASSERT_NE(session.GetSafeHandle(), nullptr);
    DWORD dwStart = ::GetTickCount();
    CStdioFile* pFile = session.OpenURL(L"http://127.0.0.1:9/update.ini", 1,
                                        INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD);
    EXPECT_EQ(pFile, nullptr);
    delete pFile;
    EXPECT_LT(::GetTickCount() - dwStart, 20000u);
    EXPECT_EQ(session.OpenURL(L""), nullptr);
    session.Close();
    EXPECT_EQ(session.OpenURL(L"http://127.0.0.1:9/"), nullptr);
}

TEST(CInternetFile, NameComesFromTheUrlPath)
{
    CInternetFile file(NULL, L"http://example.invalid/download/Pack.zip?v=2#top", 1);
    EXPECT_STREQ(file.GetFileName(), L"Pack.zip");
    EXPECT_STREQ(file.GetFileURL(), L"http://example.invalid/download/Pack.zip?v=2#top");
    char ch;
    EXPECT_EQ(file.Read(&ch, 1), 0u);
    CString strLine;
    EXPECT_FALSE(file.ReadString(strLine));
}
