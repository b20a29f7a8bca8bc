#include "tests/main_window/LocalUpdateSite.h"
#include "tests/support/TestSupport.h"
#include <wininet.h>

namespace {
std::string Narrow(const std::wstring& str)
{
    return std::string(str.begin(), str.end());
}
} // namespace

CLocalUpdateSite::CLocalUpdateSite()
{
    m_nPort = 21000 + (int)((::GetCurrentProcessId() * 13 + testsupport::ProcessSalt()) % 19000);
    m_strDir = "/tmp/tamsel-kit-site-" + std::to_string(m_nPort);
    std::wstring strScript = TAMSEL_TEST_DATA L"/update_site.py";
    for (wchar_t& ch : strScript)
        ch = ch == L'\\' ? L'/' : ch;
    if (testsupport::RunHostCommand("rm -rf " + m_strDir + " && mkdir -p " + m_strDir + "/download", 20000) != 0)
        return;
    std::string strCommand = "cd " + m_strDir + " && (/usr/bin/python3 " + Narrow(strScript) + " " + m_strDir + " " +
                             std::to_string(m_nPort) + " </dev/null >/dev/null 2>&1 & echo $! > server.pid)";
    m_bStarted = testsupport::RunHostCommand(strCommand, 20000) == 0;
}

CLocalUpdateSite::~CLocalUpdateSite()
{
    testsupport::RunHostCommand("kill $(cat " + m_strDir + "/server.pid); rm -rf " + m_strDir, 20000);
}

std::wstring CLocalUpdateSite::BaseUrl(const std::wstring& strPrefix) const
{
    return Url(strPrefix + L"download/");
}

std::wstring CLocalUpdateSite::Url(const std::wstring& strPath) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_nPort) + L"/" + strPath;
}

std::wstring CLocalUpdateSite::WindowsPath(const std::string& strPath) const
{
    std::string strFull = m_strDir + "/" + strPath;
    std::wstring strWide = L"Z:" + std::wstring(strFull.begin(), strFull.end());
    for (wchar_t& ch : strWide)
        ch = ch == L'/' ? L'\\' : ch;
    return strWide;
}

bool CLocalUpdateSite::Put(const std::string& strPath, const std::string& bytes)
{
    return testsupport::WriteFileBytes(WindowsPath(strPath), bytes);
}

void CLocalUpdateSite::Remove(const std::string& strPath)
{
    ::DeleteFileW(WindowsPath(strPath).c_str());
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
