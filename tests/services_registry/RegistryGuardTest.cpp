// What no delete may reach: a link's target, a root, a hive's own key; and
// what the registry can tell of a volatile key.
#include "services/RegFile.h"
#include "services/RegTreeDelete.h"
#include "services/RegistryVolatile.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using namespace regtest;
using testsupport::ScratchFolder;
using testsupport::ScratchRegKey;

namespace {

const REGSAM kViews[] = {(REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY};

// The current user's hive name under HKEY_USERS, from the NT path of HKCU\Software.
std::wstring UserHive()
{
    std::wstring strPath = NtPathOf(HKEY_CURRENT_USER, L"Software");
    const std::wstring strTop = L"\\REGISTRY\\USER\\";
    if (strPath.size() <= strTop.size() || _wcsnicmp(strPath.c_str(), strTop.c_str(), strTop.size()) != 0)
        return std::wstring();
    std::wstring strRest = strPath.substr(strTop.size());
    return strRest.substr(0, strRest.find(L'\\'));
}

DWORD SubKeyCount(HKEY hRoot, const std::wstring& strPath)
{
    HKEY hKey = NULL;
    DWORD dwCount = 0xFFFFFFFF;
    if (::RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
    {
        ::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, &dwCount, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
        ::RegCloseKey(hKey);
    }
    return dwCount;
}

// A precious tree "Precious" (a value and a child with a value) in a scratch
// key, and the links a test plants to it, removed as links at the end.
class LinkedTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HKEY hTarget = CreateKey(m_key.Key(), L"Precious\\Child");
        ASSERT_NE(hTarget, (HKEY)NULL);
        SetDword(hTarget, L"n", 7);
        ::RegCloseKey(hTarget);
        hTarget = CreateKey(m_key.Key(), L"Precious");
        SetText(hTarget, L"v", L"keep me");
        ::RegCloseKey(hTarget);
        m_strTarget = NtPathOf(HKEY_CURRENT_USER, m_key.Path() + L"\\Precious");
        ASSERT_FALSE(m_strTarget.empty());
        m_before = Snapshot(HKEY_CURRENT_USER, m_key.Path() + L"\\Precious");
        ASSERT_EQ(2u, m_before.size());
    }
    void TearDown() override
    {
        for (const std::wstring& strLink : m_links)
            DeleteLinkKey(HKEY_CURRENT_USER, strLink);
    }
    std::wstring Path(const std::wstring& strSub) const { return m_key.Path() + L"\\" + strSub; }
    bool Link(const std::wstring& strSub, const std::wstring& strTarget)
    {
        m_links.push_back(Path(strSub));
        return CreateLinkKey(HKEY_CURRENT_USER, Path(strSub), strTarget);
    }
    std::wstring TargetChanges() const
    {
        return Difference(m_before, Snapshot(HKEY_CURRENT_USER, Path(L"Precious")));
    }

    ScratchRegKey m_key;
    std::wstring m_strTarget;
    TreeSnapshot m_before;
    std::vector<std::wstring> m_links;
};

} // namespace

// A fault key that holds a link: the link goes as a link, the plain child
// beside it goes as a key, and the tree the link points to stays whole.
TEST_F(LinkedTreeTest, ALinkInsideATreeGoesAsItself)
{
    HKEY hFault = CreateKey(m_key.Key(), L"Fault\\Plain");
    SetText(hFault, L"p", L"plain");
    ::RegCloseKey(hFault);
    ASSERT_TRUE(Link(L"Fault\\Data", m_strTarget));
    CRegTreeDeleteResult result;
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegTree(HKEY_CURRENT_USER, Path(L"Fault").c_str(), 0, &result));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path(L"Fault")));
    EXPECT_EQ(3, result.nKeysDeleted);
    EXPECT_EQ(1, result.nValuesDeleted);
    EXPECT_EQ(L"", TargetChanges());
}

// A link named as the key to delete goes as itself too, in either view.
TEST_F(LinkedTreeTest, ALinkNamedForDeletionGoesAsItself)
{
    for (REGSAM samView : {(REGSAM)0, (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY})
    {
        SCOPED_TRACE(samView);
        ASSERT_TRUE(Link(L"Alias", m_strTarget));
        EXPECT_EQ(ERROR_SUCCESS, DeleteRegTree(HKEY_CURRENT_USER, Path(L"Alias").c_str(), samView, NULL));
        EXPECT_FALSE(IsLinkKey(HKEY_CURRENT_USER, Path(L"Alias")));
        EXPECT_EQ(L"", TargetChanges());
    }
    // A link to a hive stands for the hive and stays.
    std::wstring strHive = UserHive();
    ASSERT_FALSE(strHive.empty());
    ASSERT_TRUE(Link(L"HiveAlias", L"\\REGISTRY\\USER\\" + strHive));
    EXPECT_TRUE(IsProtectedRegKey(HKEY_CURRENT_USER, Path(L"HiveAlias").c_str(), 0));
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteRegTree(HKEY_CURRENT_USER, Path(L"HiveAlias").c_str(), 0, NULL));
    EXPECT_TRUE(IsLinkKey(HKEY_CURRENT_USER, Path(L"HiveAlias")));
}

// Roots, keys right below them and hives' mount points are refused in both
// views, however they are named; keys below them of the same look are not.
TEST(RegistryGuard, RootsAndHiveKeysAreNeverDeleted)
{
    std::wstring strHive = UserHive();
    ASSERT_FALSE(strHive.empty());
    struct Case { HKEY hRoot; std::wstring strPath; };
    const Case refused[] = {
        {HKEY_LOCAL_MACHINE, L"SOFTWARE"}, {HKEY_LOCAL_MACHINE, L"System"}, {HKEY_LOCAL_MACHINE, L"SAM"},
        {HKEY_LOCAL_MACHINE, L"SECURITY"}, {HKEY_LOCAL_MACHINE, L"HARDWARE"}, {HKEY_LOCAL_MACHINE, L"BCD00000000"},
        {HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node"}, {HKEY_USERS, L".DEFAULT"}, {HKEY_USERS, strHive},
        {HKEY_USERS, strHive + L"_Classes"}, {HKEY_USERS, strHive + L"\\Software\\Wow6432Node"},
        {HKEY_CURRENT_USER, L"Software"}, {HKEY_CURRENT_USER, L"Software\\Classes\\Wow6432Node"},
        {HKEY_CURRENT_CONFIG, L"Software"}};
    for (REGSAM samView : kViews)
    {
        for (const Case& item : refused)
        {
            SCOPED_TRACE(testing::Message() << samView << " " << CString(item.strPath.c_str()).ToUtf8());
            bool bThere = NtPathOf(item.hRoot, item.strPath, samView).size() > 0;
            // Asked first, so that a broken guard fails here and deletes nothing.
            ASSERT_TRUE(IsProtectedRegKey(item.hRoot, item.strPath.c_str(), samView));
            CRegTreeDeleteResult result;
            EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteRegTree(item.hRoot, item.strPath.c_str(), samView, &result));
            EXPECT_EQ(0, result.nKeysDeleted);
            EXPECT_EQ(bThere, NtPathOf(item.hRoot, item.strPath, samView).size() > 0);
        }
        // Named through HKEY_USERS, the user's own software key lies deeper:
        // only its NT path tells.
        EXPECT_FALSE(IsProtectedRegKey(HKEY_USERS, (strHive + L"\\Software").c_str(), samView));

        // The look-alikes: a class key right below HKEY_CLASSES_ROOT lies
        // deep in a hive, and a deep scratch key goes in the given view.
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CLASSES_ROOT, L".tamselguard\\Sub", 0, NULL, 0,
                                                   KEY_ALL_ACCESS | samView, NULL, &hKey, NULL));
        ::RegCloseKey(hKey);
        EXPECT_FALSE(IsProtectedRegKey(HKEY_CLASSES_ROOT, L".tamselguard", samView));
        EXPECT_EQ(ERROR_SUCCESS, DeleteRegTree(HKEY_CLASSES_ROOT, L".tamselguard", samView, NULL));
        EXPECT_TRUE(NtPathOf(HKEY_CLASSES_ROOT, L".tamselguard", samView).empty());
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TamselTest\\Guard\\Sub", 0, NULL, 0,
                                                   KEY_ALL_ACCESS | samView, NULL, &hKey, NULL));
        ::RegCloseKey(hKey);
        EXPECT_EQ(ERROR_SUCCESS, DeleteRegTree(HKEY_LOCAL_MACHINE, L"Software\\TamselTest\\Guard", samView, NULL));
        EXPECT_TRUE(NtPathOf(HKEY_LOCAL_MACHINE, L"Software\\TamselTest\\Guard", samView).empty());
    }
}

// HKEY_LOCAL_MACHINE pointed at a scratch key: a key of one name below it is
// refused by its name alone, a key one level deeper goes, in both views.
TEST(RegistryGuard, OneNameBelowARootIsRefusedEvenWhereItIsNoHive)
{
    ScratchRegKey scratch;
    for (REGSAM samView : kViews)
    {
        HKEY hKey = CreateKey(scratch.Key(), L"Vendor\\Product");
        ASSERT_NE(hKey, (HKEY)NULL);
        ::RegCloseKey(hKey);
        ASSERT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch.Key()));
        LONG nTop = DeleteRegTree(HKEY_LOCAL_MACHINE, L"Vendor", samView, NULL);
        LONG nProduct = DeleteRegTree(HKEY_LOCAL_MACHINE, L"Vendor\\Product", samView, NULL);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
        EXPECT_EQ(ERROR_ACCESS_DENIED, nTop) << samView;
        EXPECT_EQ(ERROR_SUCCESS, nProduct) << samView;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Vendor"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Vendor\\Product"));
    }
}

// A volatile key and every key below it say so; a lasting key says so and
// keeps no trace of the asking; a key that is not there cannot be told.
TEST(RegistryVolatility, VolatileAndLastingKeysAreToldApart)
{
    ScratchRegKey scratch;
    HKEY hVolatile = NULL, hChild = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(scratch.Key(), L"Volatile", 0, NULL, REG_OPTION_VOLATILE,
                                               KEY_ALL_ACCESS, NULL, &hVolatile, NULL));
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(hVolatile, L"Child", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                               NULL, &hChild, NULL));
    ::RegCloseKey(hChild);
    ::RegCloseKey(hVolatile);
    HKEY hLasting = CreateKey(scratch.Key(), L"Lasting\\Child");
    ::RegCloseKey(hLasting);
    for (REGSAM samView : {(REGSAM)0, (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY})
    {
        SCOPED_TRACE(samView);
        EXPECT_EQ(RegKeyVolatile, GetRegistryKeyVolatility(HKEY_CURRENT_USER, (scratch.Path() + L"\\Volatile").c_str(), samView));
        EXPECT_EQ(RegKeyVolatile,
                  GetRegistryKeyVolatility(HKEY_CURRENT_USER, (scratch.Path() + L"\\Volatile\\Child").c_str(), samView));
        EXPECT_EQ(RegKeyLasting,
                  GetRegistryKeyVolatility(HKEY_CURRENT_USER, (scratch.Path() + L"\\Lasting\\Child").c_str(), samView));
        EXPECT_EQ(0u, SubKeyCount(HKEY_CURRENT_USER, scratch.Path() + L"\\Lasting\\Child"));
        EXPECT_EQ(RegKeyVolatilityUnknown,
                  GetRegistryKeyVolatility(HKEY_CURRENT_USER, (scratch.Path() + L"\\Missing").c_str(), samView));
    }
}

// A restore line that cannot be written names its key and the registry's
// reason; the lasting look-alike beside it is written.
TEST(RegistryVolatility, AnImportNamesTheKeyItCannotMake)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    HKEY hVolatile = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(scratch.Key(), L"Volatile", 0, NULL, REG_OPTION_VOLATILE,
                                               KEY_ALL_ACCESS, NULL, &hVolatile, NULL));
    ::RegCloseKey(hVolatile);
    std::wstring strBase = L"HKEY_CURRENT_USER\\" + scratch.Path();
    std::wstring strFile = folder.File(L"volatile.reg");
    ASSERT_TRUE(WriteRegText(strFile, L"Windows Registry Editor Version 5.00\r\n\r\n[" + strBase +
                                          L"\\Lasting]\r\n\"a\"=\"1\"\r\n\r\n[" + strBase +
                                          L"\\Volatile\\Gone]\r\n\"b\"=\"2\"\r\n\r\n"));
    CRegFile regFile;
    EXPECT_EQ((DWORD)ERROR_CANTOPEN, regFile.ImportFile(strFile.c_str()));
    EXPECT_EQ(strBase + L"\\Volatile\\Gone", regFile.GetFailedKey().Str());
    EXPECT_EQ((DWORD)ERROR_CHILD_MUST_BE_VOLATILE, regFile.GetFailedReason());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Lasting"));

    std::wstring strGood = folder.File(L"lasting.reg");
    ASSERT_TRUE(WriteRegText(strGood, L"Windows Registry Editor Version 5.00\r\n\r\n[" + strBase +
                                          L"\\Lasting\\More]\r\n\"a\"=\"1\"\r\n\r\n"));
    EXPECT_EQ((DWORD)ERROR_SUCCESS, regFile.ImportFile(strGood.c_str()));
    EXPECT_TRUE(regFile.GetFailedKey().IsEmpty());
    EXPECT_EQ(0u, regFile.GetFailedReason());
}
