#include "services/RegTreeDelete.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace regtest;
using testsupport::ScratchRegKey;

namespace {

void Plant(const ScratchRegKey& scratch, const std::wstring& sub, int nValues)
{
    HKEY hKey = CreateKey(HKEY_CURRENT_USER, scratch.Path() + L"\\" + sub);
    ASSERT_NE(hKey, (HKEY)NULL);
    for (int i = 0; i < nValues; ++i)
        SetDword(hKey, L"v" + std::to_wstring(i), (DWORD)i);
    ::RegCloseKey(hKey);
}

bool Exists(const ScratchRegKey& scratch, const std::wstring& sub)
{
    return KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\" + sub);
}

} // namespace

// No root and no path that could be read as one: nothing is touched.
TEST(RegTreeDelete, RefusesEmptyRootAndMalformedPaths)
{
    ScratchRegKey scratch;
    Plant(scratch, L"Keep\\Child", 1);
    const std::wstring strKeep = scratch.Path() + L"\\Keep";
    const std::wstring refused[] = {L"", L"\\", L"\\" + strKeep, strKeep + L"\\", scratch.Path() + L"\\\\Keep"};
    for (const std::wstring& strPath : refused)
    {
        CRegTreeDeleteResult result;
        EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, strPath.c_str(), 0, &result), ERROR_INVALID_PARAMETER) << strPath;
        EXPECT_EQ(result.nKeysDeleted, 0) << strPath;
        EXPECT_STREQ(result.strLeft, strPath.c_str());
    }
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, NULL, 0, NULL), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DeleteRegTree(NULL, strKeep.c_str(), 0, NULL), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(Exists(scratch, L"Keep\\Child"));
}

// The whole tree goes, counted; a sibling whose name starts alike stays.
TEST(RegTreeDelete, DeletesATreeAndCountsIt)
{
    ScratchRegKey scratch;
    Plant(scratch, L"Tree", 2);
    Plant(scratch, L"Tree\\A\\Deep", 3);
    Plant(scratch, L"Tree\\B", 0);
    Plant(scratch, L"TreeSibling", 1);
    CRegTreeDeleteResult result;
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, (scratch.Path() + L"\\Tree").c_str(), 0, &result), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(scratch, L"Tree"));
    EXPECT_TRUE(Exists(scratch, L"TreeSibling"));
    EXPECT_EQ(result.nKeysDeleted, 4);
    EXPECT_EQ(result.nValuesDeleted, 5);
    EXPECT_TRUE(result.strLeft.IsEmpty());

    // Gone already: not found, nothing left.
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, (scratch.Path() + L"\\Tree").c_str(), 0, &result), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(result.nKeysDeleted, 0);
    EXPECT_TRUE(result.strLeft.IsEmpty());
}

// The first key that stays ends the delete: what came before is gone, the
// stubborn key and everything after it are left and named.
TEST(RegTreeDelete, AReadOnlySubkeyStopsItAndIsReported)
{
    ScratchRegKey scratch;
    Plant(scratch, L"Tree\\A", 2);
    Plant(scratch, L"Tree\\B\\Below", 1);
    Plant(scratch, L"Tree\\C", 1);
    const std::wstring strTree = scratch.Path() + L"\\Tree";
    ASSERT_TRUE(testsupport::SetKeyAccess(HKEY_CURRENT_USER, strTree + L"\\B", L"D:P(A;;KR;;;WD)"));
    CRegTreeDeleteResult result;
    EXPECT_EQ(DeleteRegTree(HKEY_CURRENT_USER, strTree.c_str(), 0, &result), ERROR_ACCESS_DENIED);
    EXPECT_STREQ(result.strLeft, (strTree + L"\\B").c_str());
    EXPECT_EQ(result.nKeysDeleted, 1);
    EXPECT_EQ(result.nValuesDeleted, 2);
    EXPECT_FALSE(Exists(scratch, L"Tree\\A"));
    EXPECT_TRUE(Exists(scratch, L"Tree\\B\\Below"));
    EXPECT_TRUE(Exists(scratch, L"Tree\\C"));
    EXPECT_TRUE(Exists(scratch, L"Tree"));
    // Writable again, so the scratch key can go.
    EXPECT_TRUE(testsupport::SetKeyAccess(HKEY_CURRENT_USER, strTree + L"\\B", L"D:P(A;;KA;;;WD)"));
}

// The view flag reaches every open and delete: the 32-bit copy goes, the
// 64-bit one of the same name stays.
TEST(RegTreeDelete, DeletesInTheGivenViewOnly)
{
    const wchar_t kPath[] = L"Software\\TamselTest\\TreeDeleteView";
    HKEY hKey = NULL;
    for (REGSAM samView : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
    {
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kPath) + L"\\Child").c_str(), 0, NULL, 0,
                                    KEY_ALL_ACCESS | samView, NULL, &hKey, NULL),
                  ERROR_SUCCESS);
        ::RegCloseKey(hKey);
    }
    EXPECT_EQ(DeleteRegTree(HKEY_LOCAL_MACHINE, kPath, KEY_WOW64_32KEY, NULL), ERROR_SUCCESS);
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, KEY_READ | KEY_WOW64_32KEY, &hKey), ERROR_SUCCESS);
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kPath) + L"\\Child").c_str(), 0,
                              KEY_READ | KEY_WOW64_64KEY, &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_EQ(DeleteRegTree(HKEY_LOCAL_MACHINE, kPath, KEY_WOW64_64KEY, NULL), ERROR_SUCCESS);
}
