#include "services/SortedStringArray.h"

#include <gtest/gtest.h>

namespace {

std::wstring Join(const CStringArray& arr)
{
    std::wstring text;
    for (const CString& str : arr)
        text += str.Str() + L"|";
    return text;
}

} // namespace

TEST(CSortedStringArray, EmptyAndSingleStayAsTheyAre)
{
    CSortedStringArray arr;
    arr.Sort();
    EXPECT_EQ(0, arr.GetSize());
    arr.Add(L"only");
    arr.Sort();
    EXPECT_EQ(L"only|", Join(arr));
}

TEST(CSortedStringArray, DropsCaseDuplicatesKeepingTheFirstSpelling)
{
    CSortedStringArray arr;
    for (LPCWSTR psz : { L"b", L"A", L"a", L"B" })
        arr.Add(psz);
    arr.Sort();
    EXPECT_EQ(L"A|b|", Join(arr));

    CSortedStringArray keys;
    for (LPCWSTR psz : { L"HKEY_CURRENT_USER\\Software\\Zeta", L"HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt",
                         L"hkey_current_user\\software\\zeta", L"HKEY_CURRENT_USER\\Software\\Alpha",
                         L"HKEY_LOCAL_MACHINE\\Software\\Classes\\.TXT", L"HKEY_CURRENT_USER\\Software\\Zeta" })
        keys.Add(psz);
    keys.Sort();
    EXPECT_EQ(L"HKEY_CURRENT_USER\\Software\\Alpha|HKEY_CURRENT_USER\\Software\\Zeta|"
              L"HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt|",
              Join(keys));
}

TEST(CSortedStringArray, ReverseOrderAndManyEntries)
{
    CSortedStringArray arr;
    for (int i = 999; i >= 0; --i)
    {
        CString str;
        str.Format(L"key%04d", i);
        arr.Add(str);
        arr.Add(str); // every key twice
    }
    arr.Sort();
    ASSERT_EQ(1000, arr.GetSize());
    for (int i = 0; i < 1000; ++i)
    {
        CString str;
        str.Format(L"key%04d", i);
        EXPECT_STREQ(arr[i], str);
    }
}
