#include "framework/Afx.h"
#include "framework/Internet.h"

#include <gtest/gtest.h>
#include <string>

#include "tests/support/HostServer.h"
#include "tests/support/TestSupport.h"

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

namespace {

// A throw-away HTTP server on the host, serving one folder of /tmp.
class CHostHttpServer
{
public:
    CHostHttpServer() : m_server("http")
    {
        // Written through drive Z: so that no escaping of the shell is involved.
        if (testsupport::WriteFileBytes(m_server.Win("update.ini"), "first line\r\nsecond line\n"))
            m_server.StartScript(testsupport::CHostServer::s_pszFileServer);
    }
    bool IsStarted() const { return m_server.IsStarted(); }
    CString Url(LPCWSTR pszName) const
    {
        CString strUrl;
        strUrl.Format(L"http://127.0.0.1:%d/%s", m_server.Port(), pszName);
        return strUrl;
    }

private:
    testsupport::CHostServer m_server;
};

}  // namespace

TEST(CInternetSession, ReadsAFileOverHttpAndRefusesErrorPages)
{
    CHostHttpServer server;
    ASSERT_TRUE(server.IsStarted());
    CInternetSession session(L"AutoUpdateAgent");
    CStdioFile* pFile = NULL;
    // The server needs a moment before it listens.
    testsupport::WaitFor([&] {
        pFile = session.OpenURL(server.Url(L"update.ini"), 1, INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD);
        if (pFile == NULL)
            ::Sleep(200);
        return pFile != NULL;
    }, 15000);
    ASSERT_NE(pFile, nullptr);
    CHttpFile* pHttp = dynamic_cast<CHttpFile*>(pFile);
    ASSERT_NE(pHttp, nullptr);
    DWORD dwStatus = 0;
    EXPECT_TRUE(pHttp->QueryInfoStatusCode(dwStatus));
    EXPECT_EQ(dwStatus, 200u);
    EXPECT_STREQ(pFile->GetFileName(), L"update.ini");
    EXPECT_EQ(pFile->GetLength(), 24u);

    char szStart[6] = {};
    EXPECT_EQ(pFile->Read(szStart, 5), 5u);
    EXPECT_STREQ(szStart, "first");
    CString strLine;
    ASSERT_TRUE(pFile->ReadString(strLine));
    EXPECT_STREQ(strLine, L" line");
    ASSERT_TRUE(pFile->ReadString(strLine));
    EXPECT_STREQ(strLine, L"second line");
    EXPECT_EQ(pFile->GetPosition(), 24u);
    EXPECT_FALSE(pFile->ReadString(strLine));
    pFile->Close();
    delete pFile;

    EXPECT_EQ(session.OpenURL(server.Url(L"missing.ini")), nullptr);
}
