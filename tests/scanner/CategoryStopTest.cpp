#include "tests/scanner/ScanTestSupport.h"
#include <algorithm>

using namespace scantest;

// Every category polls the stop: stopped at its first item, it ends at once,
// unfinished. Each category is given something to show first.
TEST(CategoryStop, EachCategoryEndsSoonAfterAStop)
{
    ClassesKeys machine(HKEY_LOCAL_MACHINE), user(HKEY_CURRENT_USER);
    std::wstring strTag = NewGuid().substr(1, 8);
    ASSERT_TRUE(machine.SetString(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel" + strTag, L"x", L"1"));
    ASSERT_TRUE(machine.SetString(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tamsel" + strTag, L"", L"C:\\x"));
    ASSERT_TRUE(machine.SetString(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Tamsel" + strTag, L"x.ttf"));
    ASSERT_TRUE(machine.SetDword(L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", L"C:\\Tamsel" + strTag, 1));
    ASSERT_TRUE(machine.SetString(L"SOFTWARE\\Microsoft\\Windows\\Help", L"Tamsel" + strTag, L"C:\\"));
    ASSERT_TRUE(machine.SetString(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", L"Tamsel" + strTag, L"x"));
    ASSERT_TRUE(user.SetString(L"AppEvents\\Schemes\\Apps\\Tamsel" + strTag + L"\\E\\.Current", L"", L""));
    ASSERT_TRUE(user.Create(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\Tamsel" + strTag));
    ASSERT_TRUE(user.Create(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs\\Tamsel" + strTag));
    std::wstring strDesk;
    {
        wchar_t szTemp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, szTemp);
        strDesk = std::wstring(szTemp) + L"TamselStop" + strTag;
        ASSERT_TRUE(::CreateDirectoryW(strDesk.c_str(), NULL));
        // A file the walk finds (its target is not read before the stop).
        HANDLE hFile = ::CreateFileW((strDesk + L"\\x.lnk").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
        ::CloseHandle(hFile);
    }
    HKEY hFolders = NULL;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                              KEY_ALL_ACCESS, &hFolders),
              ERROR_SUCCESS);
    wchar_t szOld[1024] = {};
    DWORD nBytes = sizeof(szOld) - sizeof(wchar_t);
    ::RegQueryValueExW(hFolders, L"Recent", NULL, NULL, (BYTE*)szOld, &nBytes);
    ::RegSetValueExW(hFolders, L"Recent", 0, REG_SZ, (const BYTE*)strDesk.c_str(), (DWORD)((strDesk.size() + 1) * 2));

    for (int nCategory = 2; nCategory <= SCAN_CATEGORIES; nCategory++)
    {
        HeadlessScan run;
        run.Only({nCategory});
        DWORD dwTaken = run.StopAtItem(std::wstring());
        EXPECT_LT(dwTaken, 10000u) << "category " << nCategory;
        EXPECT_FALSE(run.scan.m_bCompleted) << "category " << nCategory;
        for (const CScanFeedItem& item : run.items)
            EXPECT_NE(item.nKind, FEED_CATEGORY_END) << "category " << nCategory;
    }
    ::RegSetValueExW(hFolders, L"Recent", 0, REG_SZ, (const BYTE*)szOld, (DWORD)((lstrlenW(szOld) + 1) * 2));
    ::RegCloseKey(hFolders);
    ::DeleteFileW((strDesk + L"\\x.lnk").c_str());
    ::RemoveDirectoryW(strDesk.c_str());
}

// Two full scans in one run give the same rows (the shared name lists are
// rebuilt, not appended to).
TEST(CategoryStop, TwoScansGiveTheSameRows)
{
    std::vector<std::wstring> first, second;
    for (std::vector<std::wstring>* pRows : {&first, &second})
    {
        HeadlessScan run;
        run.Only({2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15});
        run.Run();
        EXPECT_TRUE(run.scan.m_bCompleted);
        for (const CScanResultRow& row : run.sink.m_arrRows)
            pRows->push_back((LPCWSTR)row.strText);
    }
    EXPECT_EQ(first, second);
}
