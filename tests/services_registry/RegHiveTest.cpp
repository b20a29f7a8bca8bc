#include "services/RegHive.h"

#include <gtest/gtest.h>

TEST(RegHive, NamesAndHandlesRoundTrip)
{
    const RegHive* pHives = RegHiveTable();
    for (int i = 0; i < REG_HIVE_ALL; i++)
    {
        EXPECT_EQ(FindRegHive(pHives[i].pszName, REG_HIVE_ALL), &pHives[i]) << i;
        EXPECT_EQ(FindRegHive(pHives[i].hRoot, REG_HIVE_ALL), &pHives[i]) << i;
        EXPECT_EQ(wcsncmp(pHives[i].pszName, L"HKEY_", 5), 0) << i;
    }
    const RegHive* pMachine = FindRegHive(L"HKEY_LOCAL_MACHINE", REG_HIVE_COMMON);
    ASSERT_NE(pMachine, nullptr);
    EXPECT_EQ(pMachine->hRoot, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(pMachine->pszShortName, L"HKLM");
}

TEST(RegHive, CountAndCaseLimitTheMatch)
{
    // The common four leave the rarer hives out, by name and by handle.
    EXPECT_EQ(FindRegHive(L"HKEY_CURRENT_CONFIG", REG_HIVE_COMMON), nullptr);
    EXPECT_EQ(FindRegHive(HKEY_CURRENT_CONFIG, REG_HIVE_COMMON), nullptr);
    EXPECT_NE(FindRegHive(HKEY_CURRENT_CONFIG, REG_HIVE_WITH_CONFIG), nullptr);
    EXPECT_EQ(FindRegHive(L"HKEY_DYN_DATA", REG_HIVE_WITH_CONFIG), nullptr);
    EXPECT_NE(FindRegHive(L"HKEY_DYN_DATA", REG_HIVE_FILE), nullptr);
    EXPECT_EQ(FindRegHive(L"HKEY_PERFORMANCE_DATA", REG_HIVE_FILE), nullptr);

    EXPECT_EQ(FindRegHive(L"hkey_users", REG_HIVE_COMMON), nullptr);
    const RegHive* pUsers = FindRegHive(L"hkey_users", REG_HIVE_COMMON, TRUE);
    ASSERT_NE(pUsers, nullptr);
    EXPECT_EQ(pUsers->hRoot, HKEY_USERS);
    // A prefix or a short name is no long name.
    EXPECT_EQ(FindRegHive(L"HKEY_USER", REG_HIVE_ALL, TRUE), nullptr);
    EXPECT_EQ(FindRegHive(L"HKLM", REG_HIVE_ALL, TRUE), nullptr);
    EXPECT_EQ(FindRegHive((HKEY)NULL, REG_HIVE_ALL), nullptr);
}
