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
