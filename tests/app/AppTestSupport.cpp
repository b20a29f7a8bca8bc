#include "tests/app/AppTestSupport.h"

namespace {
CTamselApp s_app;
}

CTamselApp& TestApp()
{
    return s_app;
}

void AppFolderTest::SetUp()
{
    m_app.m_strAppDir = m_folder.Path().c_str();
    m_app.m_strSettingsFile = m_app.m_strAppDir + L"Settings.ini";
    m_app.m_bSettingsUnread = FALSE;
    m_app.m_strLangFile.Empty();
    m_app.m_arrIgnoreList.RemoveAll();
    m_app.m_arrLangFiles.RemoveAll();
}

void AppFolderTest::TearDown()
{
    // The profile functions cache files; let go before the folder goes.
    ::WritePrivateProfileStringW(NULL, NULL, NULL, m_app.m_strSettingsFile);
    m_app.m_strLangFile.Empty();
}

std::string AppFolderTest::Narrow(const std::wstring& str)
{
    std::string result;
    for (wchar_t ch : str)
        result += (char)ch;
    return result;
}

void WriteText(const std::wstring& strPath, const std::string& bytes)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(strPath, bytes));
}

bool SchedulerRunning()
{
    SC_HANDLE hManager = ::OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (hManager == NULL)
        return false;
    bool bRunning = false;
    SC_HANDLE hService = ::OpenServiceW(hManager, L"Schedule", SERVICE_QUERY_STATUS);
    if (hService != NULL)
    {
        SERVICE_STATUS status = {};
        bRunning = ::QueryServiceStatus(hService, &status) && status.dwCurrentState == SERVICE_RUNNING;
        ::CloseServiceHandle(hService);
    }
    ::CloseServiceHandle(hManager);
    return bRunning;
}
