#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "scanner/IgnoreMatcher.h"

using namespace scantest;

namespace {
std::wstring SystemFolder()
{
    wchar_t sz[MAX_PATH];
    ::GetSystemDirectoryW(sz, MAX_PATH);
    return sz;
}
}  // namespace

// Each rule of the class walk: a fault under a unique id is found, its
// look-alike is kept. One scan for all of them.
TEST(ComScanner, EachClassRuleFindsItsFaultAndKeepsItsLookAlike)
{
    ClassesKeys keys;
    testsupport::ScratchFolder folder;
    std::wstring strBlank = folder.Path() + L"local server";
    ASSERT_TRUE(::CreateDirectoryW(strBlank.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strBlank + L"\\srv.exe", "MZ"));
    std::wstring strAppId = NewGuid(), strLibrary = NewGuid();
    ASSERT_TRUE(keys.Create(L"AppID\\" + strAppId));
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strLibrary + L"\\1.0\\0\\win32"));
    ASSERT_TRUE(keys.SetString(L"TypeLib\\" + strLibrary + L"\\1.0\\0\\win32", L"", L"C:\\x.tlb"));
    ASSERT_TRUE(keys.SetString(L"TypeLib\\" + strLibrary + L"\\1.0\\FLAGS", L"", L"0"));
    ASSERT_TRUE(keys.SetString(L"TypeLib\\" + strLibrary + L"\\1.0\\HELPDIR", L"", L""));

    struct Plant
    {
        const wchar_t* pszName;
        const wchar_t* pszSubKey;
        const wchar_t* pszValue;
        std::wstring strData;
        DWORD dwType;
        size_t nRows;
        std::wstring strClass;
    };
    std::vector<Plant> plants = {
        {L"expanded server", L"InprocServer32", L"", L"%SystemRoot%\\system32\\ole32.dll", REG_EXPAND_SZ, 0},
        {L"expanded missing", L"InprocServer32", L"", L"%SystemRoot%\\system32\\tamsel_gone.dll", REG_EXPAND_SZ, 1},
        {L"REG_SZ reference", L"InprocServer32", L"", L"%SystemRoot%\\system32\\ole32.dll", REG_SZ, 0},
        {L"bare DLL name", L"InprocServer32", L"", L"ole32.dll", REG_SZ, 0},
        {L"bare missing", L"InprocServer32", L"", L"tamsel_gone.dll", REG_SZ, 1},
        {L"empty server", L"InprocServer32", L"", L"", REG_SZ, 1},
        {L"named values only", L"InprocServer32", L"ThreadingModel", L"Both", REG_SZ, 0},
        {L"quoted with switch", L"LocalServer32", L"", L"\"" + SystemFolder() + L"\\notepad.exe\" -startmanager", REG_SZ, 0},
        {L"quoted missing", L"LocalServer32", L"", L"\"C:\\tamsel gone\\x.exe\" -Embedding", REG_SZ, 1},
        {L"unquoted blanks", L"LocalServer32", L"", strBlank + L"\\srv.exe /Automation", REG_SZ, 0},
        {L"AppID other case", L"", L"AppID", LowerCase(strAppId), REG_SZ, 0},
        {L"AppID absent", L"", L"AppID", NewGuid(), REG_SZ, 1},
        {L"TypeLib other case", L"TypeLib", L"", LowerCase(strLibrary), REG_SZ, 0},
        {L"TypeLib absent", L"TypeLib", L"", NewGuid(), REG_SZ, 1},
        {L"TypeLib named only", L"TypeLib", L"Version", L"1.0", REG_SZ, 0},
    };
    for (Plant& plant : plants)
    {
        plant.strClass = NewGuid();
        std::wstring strKey = L"CLSID\\" + plant.strClass;
        if (*plant.pszSubKey)
            strKey += std::wstring(L"\\") + plant.pszSubKey;
        ASSERT_TRUE(keys.SetString(strKey, plant.pszValue, plant.strData, plant.dwType)) << plant.pszName;
    }
    std::wstring strEmptyTypeLibClass = NewGuid();
    ASSERT_TRUE(keys.Create(L"CLSID\\" + strEmptyTypeLibClass + L"\\TypeLib"));

    HeadlessScan run;
    run.Only({1});
    run.Run();
    for (const Plant& plant : plants)
        EXPECT_EQ(run.RowsWith(plant.strClass).size(), plant.nRows) << plant.pszName;
    ASSERT_EQ(run.RowsWith(strEmptyTypeLibClass).size(), 1u);
    EXPECT_EQ(run.RowsWith(strLibrary).size(), 0u);

    // The records: value problems name their value, key problems their key.
    const CArray<CRegProblem>& list = run.arrProblems[0];
    for (int i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strKey.Find(plants[11].strClass.c_str()) >= 0)
        {
            EXPECT_TRUE(list[i].m_bValue);
            EXPECT_STREQ(list[i].m_strValueName, L"AppID");
            EXPECT_STREQ(list[i].m_strData, plants[11].strData.c_str());
        }
        if (list[i].m_strKey.Find(plants[13].strClass.c_str()) >= 0)
        {
            EXPECT_FALSE(list[i].m_bValue);
            EXPECT_STREQ(list[i].m_strKey, (L"CLSID\\" + plants[13].strClass + L"\\TypeLib").c_str());
        }
    }
}

TEST(ComScanner, EmptyTypeLibraryKeys)
{
    ClassesKeys keys;
    std::wstring strAlone = NewGuid(), strBeside = NewGuid(), strIgnored = NewGuid();
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strAlone + L"\\1.0\\0\\win32"));
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strAlone + L"\\1.0\\FLAGS"));
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strAlone + L"\\1.0\\HELPDIR"));
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strAlone + L"\\2.0\\FLAGS"));
    ASSERT_TRUE(keys.SetString(L"TypeLib\\" + strAlone + L"\\2.0\\HELPDIR", L"", L"C:\\"));
    // An empty win32 key beside a valid win64 one: only the win32 key.
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strBeside + L"\\1.0\\409\\win32"));
    ASSERT_TRUE(keys.SetString(L"TypeLib\\" + strBeside + L"\\1.0\\409\\win64", L"", L"C:\\x.tlb"));
    ASSERT_TRUE(keys.Create(L"TypeLib\\" + strIgnored + L"\\1.0\\0\\win32"));

    HeadlessScan run;
    run.Only({1});
    run.Ignore((L"0;HKEY_CLASSES_ROOT\\TypeLib\\" + strIgnored + L"\\1.0\\0\\win32|{Default}|\r\n").c_str());
    run.Run();
    EXPECT_EQ(run.RowsWith(strAlone + L"\\1.0\\0\\win32<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strAlone + L"\\1.0\\0<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strAlone + L"\\1.0\\FLAGS<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strAlone + L"\\1.0\\HELPDIR<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strAlone + L"\\2.0\\FLAGS<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strAlone + L"\\2.0\\HELPDIR").size(), 0u);
    EXPECT_EQ(run.RowsWith(strAlone).size(), 5u);
    EXPECT_EQ(run.RowsWith(strBeside + L"\\1.0\\409\\win32<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBeside).size(), 1u);
    // Ignoring the win32 key does not keep its locale key off the list.
    EXPECT_EQ(run.RowsWith(strIgnored + L"\\1.0\\0<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strIgnored).size(), 1u);
}

TEST(ComScanner, ProxyStubReferences)
{
    ClassesKeys keys;
    std::wstring strClass = NewGuid(), strKnown = NewGuid(), strUnknown = NewGuid(), strNoDefault = NewGuid();
    ASSERT_TRUE(keys.Create(L"CLSID\\" + strClass));
    ASSERT_TRUE(keys.SetString(L"Interface\\" + strKnown + L"\\ProxyStubClsid32", L"", LowerCase(strClass)));
    ASSERT_TRUE(keys.SetString(L"Interface\\" + strUnknown + L"\\ProxyStubClsid32", L"", NewGuid()));
    ASSERT_TRUE(keys.SetString(L"Interface\\" + strNoDefault + L"\\ProxyStubClsid32", L"Other", NewGuid()));
    HeadlessScan run;
    run.Only({1});
    run.Run();
    EXPECT_EQ(run.RowsWith(strKnown).size(), 0u);
    EXPECT_EQ(run.RowsWith(strUnknown).size(), 1u);
    EXPECT_EQ(run.RowsWith(strNoDefault).size(), 0u);
}

TEST(ComScanner, AReadOnlyProblemKeyIsNotRecordedButNoted)
{
    ClassesKeys keys;
    std::wstring strClass = NewGuid();
    std::wstring strServer = L"CLSID\\" + strClass + L"\\InprocServer32";
    ASSERT_TRUE(keys.SetString(strServer, L"", L"C:\\tamsel\\gone.dll"));
    ASSERT_TRUE(keys.MakeReadOnly(strServer));
    HeadlessScan run;
    run.Only({1});
    run.Run();
    EXPECT_EQ(run.RowsWith(strClass).size(), 0u);
    EXPECT_TRUE(run.scan.m_bUnwritableSkipped);
}

// Run by the fresh-prefix script in a prefix nothing else has written to,
// hence disabled in the ordinary run.
TEST(FreshPrefix, DISABLED_CategoryOneFindsNothing)
{
    wchar_t szFlag[8] = {};
    ASSERT_NE(::GetEnvironmentVariableW(L"TAMSEL_FRESH_PREFIX", szFlag, 8), 0u) << "runs in its own prefix";
    HeadlessScan run;
    run.Only({1});
    run.Run();
    for (const CScanResultRow& row : run.sink.m_arrRows)
        ADD_FAILURE() << testing::PrintToString(std::wstring((LPCWSTR)row.strText));
    EXPECT_TRUE(run.scan.m_bCompleted);
    EXPECT_FALSE(run.scan.m_bUnwritableSkipped);
}

// With HKEY_CLASSES_ROOT pointed at a scratch key that holds CLSID but no
// AppID and no TypeLib: the class walk runs, and only the tests that search
// the missing lists are skipped.
TEST(ComScanner, MissingReferenceKeysSkipOnlyTheirOwnTests)
{
    testsupport::ScratchRegKey scratch;
    std::wstring strBase = scratch.Path();
    auto set = [&](const std::wstring& strKey, const wchar_t* pszName, const std::wstring& strData) {
        HKEY hKey = NULL;
        ASSERT_EQ(::RegCreateKeyExW(scratch.Key(), strKey.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL),
                  ERROR_SUCCESS);
        if (pszName != NULL)
            ::RegSetValueExW(hKey, *pszName ? pszName : NULL, 0, REG_SZ, (const BYTE*)strData.c_str(),
                             (DWORD)((strData.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(hKey);
    };
    set(L"CLSID\\{00000001-0000-0000-0000-00000000AAAA}", L"AppID", L"{00000002-0000-0000-0000-00000000AAAA}");
    set(L"CLSID\\{00000001-0000-0000-0000-00000000AAAA}\\TypeLib", L"", L"{00000003-0000-0000-0000-00000000AAAA}");
    set(L"CLSID\\{00000001-0000-0000-0000-00000000BBBB}\\InprocServer32", L"", L"C:\\tamsel\\gone.dll");
    set(L"CLSID\\{00000001-0000-0000-0000-00000000CCCC}\\TypeLib", nullptr, L"");
    HKEY hScratch = NULL;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, strBase.c_str(), 0, KEY_ALL_ACCESS, &hScratch), ERROR_SUCCESS);
    if (::RegOverridePredefKey(HKEY_CLASSES_ROOT, hScratch) != ERROR_SUCCESS)
    {
        ::RegCloseKey(hScratch);
        GTEST_SKIP() << "HKEY_CLASSES_ROOT cannot be redirected here";
    }
    HeadlessScan run;
    run.Only({1});
    run.Run();
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, NULL);
    ::RegCloseKey(hScratch);
    EXPECT_EQ(run.RowsWith(L"AAAA").size(), 0u);
    EXPECT_EQ(run.RowsWith(L"BBBB").size(), 1u);
    EXPECT_EQ(run.RowsWith(L"CCCC").size(), 1u);
    EXPECT_TRUE(run.scan.m_bCompleted);
}
