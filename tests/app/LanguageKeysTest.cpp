#include "tests/app/AppTestSupport.h"

#include <regex>
#include <set>

namespace {
// Wide literals that name language keys of the built-in file.
const std::wregex kKeyLiteral(
    LR"re(L"((?:IDD|BTN)_[A-Za-z0-9_]*[A-Za-z0-9]|(?:M|LIST|IDO|IDS_STR|IDC|ID_ITEM|MESSAGEBOX)_[A-Za-z0-9_]*[A-Za-z0-9]|REGISTRY_ERROR_\d+|SEVERITY_\d+|DOWNLOAD_RESULT_\d+|INSTALL_RESULT_\d+)")re");

// Keys the pages ask for that the built-in file deliberately lacks.
const std::set<std::wstring> kAbsentOnPurpose = { L"M_UPDATE_CLICK" };

std::wstring ReadWide(const std::wstring& strPath)
{
    std::string bytes = testsupport::ReadFileBytes(strPath);
    return std::wstring(bytes.begin(), bytes.end());
}

void CollectKeys(const std::wstring& strFolder, std::set<std::wstring>& keys, int& nFiles)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        std::wstring strName = fd.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        std::wstring strPath = strFolder + L"\\" + strName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            CollectKeys(strPath, keys, nFiles);
            continue;
        }
        size_t nDot = strName.rfind(L'.');
        std::wstring strExt = nDot == std::wstring::npos ? L"" : strName.substr(nDot);
        if (strExt != L".cpp" && strExt != L".h")
            continue;
        ++nFiles;
        std::wstring strText = ReadWide(strPath);
        for (std::wsregex_iterator it(strText.begin(), strText.end(), kKeyLiteral), end; it != end; ++it)
            keys.insert((*it)[1].str());
    } while (::FindNextFileW(hFind, &fd));
    ::FindClose(hFind);
}
} // namespace

// Every key that the program's code names is in the built-in English file.
TEST_F(AppFolderTest, EveryKeyTheCodeAsksForIsInTheBuiltInFile)
{
    std::wstring strRoot = testsupport::HostPath(TAMSEL_SOURCE_ROOT);
    ASSERT_FALSE(strRoot.empty());
    std::set<std::wstring> keys;
    int nFiles = 0;
    for (const wchar_t* pszFolder : { L"app", L"scanner", L"repair", L"tools", L"optimizer", L"privacy", L"controls" })
        CollectKeys(strRoot + L"\\" + pszFolder, keys, nFiles);
    ASSERT_GT(nFiles, 0);
    EXPECT_TRUE(keys.count(L"IDD_131_1112"));  // the category names at least

    std::wstring strFile = Path(L"English.ini");
    ASSERT_TRUE(m_app.ExtractDefaultLanguage(424, strFile.c_str()));
    for (const std::wstring& strKey : keys)
    {
        if (kAbsentOnPurpose.count(strKey))
            continue;
        wchar_t szText[8] = {};
        ::GetPrivateProfileStringW(L"String", strKey.c_str(), L"\x1", szText, 8, strFile.c_str());
        EXPECT_STRNE(szText, L"\x1") << "missing in English.ini: " << Narrow(strKey);
    }
    ::WritePrivateProfileStringW(NULL, NULL, NULL, strFile.c_str());
}

// The layout: three comment lines, the language section, then the texts.
TEST_F(AppFolderTest, BuiltInFileLayout)
{
    std::wstring strFile = Path(L"English.ini");
    ASSERT_TRUE(m_app.ExtractDefaultLanguage(424, strFile.c_str()));
    std::string bytes = testsupport::ReadFileBytes(strFile);
    EXPECT_EQ(bytes.compare(0, 1, ";"), 0);
    size_t nThird = bytes.find("\r\n", bytes.find("\r\n", bytes.find("\r\n") + 2) + 2);
    EXPECT_EQ(bytes.compare(nThird + 2, 20, "[General Settings]\r\n"), 0);
    for (unsigned char ch : bytes)
        ASSERT_LT(ch, 0x80u) << "the file is plain ASCII";
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos) << "every line ends in CR LF";

    wchar_t szValue[64] = {};
    ::GetPrivateProfileStringW(L"General Settings", L"Language", L"", szValue, 64, strFile.c_str());
    EXPECT_STREQ(szValue, L"English");
    EXPECT_EQ((int)::GetPrivateProfileIntW(L"General Settings", L"Order", -1, strFile.c_str()), 0);

    m_app.m_strLangFile = strFile.c_str();
    EXPECT_STREQ(m_app.GetLangString(L"M_SCHEDULE_COMMENT"), L"Run Tamsel at Scheduled Time.");
    EXPECT_STREQ(m_app.GetLangString(L"REGISTRY_ERROR_33"), L"UninstallString reference is an invalid command");
    EXPECT_STREQ(m_app.GetLangString(L"IDD_131_1021"), L"Drivers");
    EXPECT_STREQ(m_app.GetLangString(L"M_REMOVEBACKUP"),
                 L"Are you sure to remove this backup file now?\nThis operation is not reversible!");
    ::WritePrivateProfileStringW(NULL, NULL, NULL, strFile.c_str());
}

// Every key of the built-in file stands there once: a second one would be
// dead text that a translator edits in vain.
TEST_F(AppFolderTest, BuiltInFileHasNoKeyTwice)
{
    std::wstring strFile = Path(L"English.ini");
    ASSERT_TRUE(m_app.ExtractDefaultLanguage(424, strFile.c_str()));
    std::string bytes = testsupport::ReadFileBytes(strFile);
    std::set<std::string> seen;
    std::string strSection;
    size_t nKeys = 0, nStart = 0;
    while (nStart < bytes.size())
    {
        size_t nEnd = bytes.find("\r\n", nStart);
        if (nEnd == std::string::npos)
            nEnd = bytes.size();
        std::string strLine = bytes.substr(nStart, nEnd - nStart);
        nStart = nEnd + 2;
        if (strLine.empty() || strLine[0] == ';')
            continue;
        if (strLine[0] == '[')
        {
            strSection = strLine;
            continue;
        }
        size_t nEqual = strLine.find('=');
        if (nEqual == std::string::npos)
            continue;
        std::string strKey = strLine.substr(0, nEqual);
        for (char& ch : strKey)
            ch = (char)toupper((unsigned char)ch);
        ++nKeys;
        EXPECT_TRUE(seen.insert(strSection + strKey).second) << "twice: " << strSection << " " << strKey;
    }
    EXPECT_GT(nKeys, 500u);
    ::WritePrivateProfileStringW(NULL, NULL, NULL, strFile.c_str());
}
