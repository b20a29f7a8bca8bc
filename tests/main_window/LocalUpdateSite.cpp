#include "tests/main_window/LocalUpdateSite.h"
#include "tests/support/TestSupport.h"
#include <wininet.h>

namespace {
std::string Narrow(const std::wstring& str)
{
    return std::string(str.begin(), str.end());
}
} // namespace

CLocalUpdateSite::CLocalUpdateSite() : m_server("kit-site")
{
    std::wstring strScript = TAMSEL_TEST_DATA L"/update_site.py";
    for (wchar_t& ch : strScript)
        ch = ch == L'\\' ? L'/' : ch;
    if (::CreateDirectoryW(m_server.Win("download").c_str(), NULL))
        m_server.Start(Narrow(strScript), m_server.Unix());
}

std::wstring CLocalUpdateSite::BaseUrl(const std::wstring& strPrefix) const
{
    return Url(strPrefix + L"download/");
}

std::wstring CLocalUpdateSite::Url(const std::wstring& strPath) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_server.Port()) + L"/" + strPath;
}

bool CLocalUpdateSite::Put(const std::string& strPath, const std::string& bytes)
{
    return testsupport::WriteFileBytes(m_server.Win(strPath), bytes);
}

void CLocalUpdateSite::Remove(const std::string& strPath)
{
    ::DeleteFileW(m_server.Win(strPath).c_str());
}

bool CLocalUpdateSite::WaitUntilListening(DWORD dwTimeoutMs)
{
    Put("ping.txt", "pong");
    std::wstring strUrl = Url(L"ping.txt");
    return testsupport::WaitFor([&] {
        bool bUp = false;
        HINTERNET hSession = ::InternetOpenW(L"probe", INTERNET_OPEN_TYPE_DIRECT, NULL, NULL, 0);
        if (hSession != NULL)
        {
            HINTERNET hRequest = ::InternetOpenUrlW(hSession, strUrl.c_str(), NULL, 0, INTERNET_FLAG_RELOAD, 0);
            if (hRequest != NULL)
            {
                DWORD dwStatus = 0, dwSize = sizeof(dwStatus);
                bUp = ::HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwSize,
                                       NULL) && dwStatus == 200;
                ::InternetCloseHandle(hRequest);
            }
            ::InternetCloseHandle(hSession);
        }
        if (!bUp)
            ::Sleep(200);
        return bUp;
    }, dwTimeoutMs);
}
