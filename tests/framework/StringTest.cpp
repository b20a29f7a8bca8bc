#include "framework/Afx.h"

#include <gtest/gtest.h>

TEST(CString, MidLeftRightClampAtTheEdges)
{
    CString s(L"Registry");
    EXPECT_STREQ(s.Mid(3), L"istry");
    EXPECT_STREQ(s.Mid(20), L"");
    EXPECT_STREQ(s.Mid(-2, 3), L"Reg");
    EXPECT_STREQ(s.Mid(6, 100), L"ry");
    EXPECT_STREQ(s.Left(100), L"Registry");
    EXPECT_STREQ(s.Left(-1), L"");
    EXPECT_STREQ(s.Right(3), L"try");
    EXPECT_STREQ(s.Right(30), L"Registry");
    EXPECT_EQ(s.GetAt(99), L'\0');
}

TEST(CString, FindFromAnIndexAndReverse)
{
    CString s(L"a\\b\\c.dll");
    EXPECT_EQ(s.Find(L'\\'), 1);
    EXPECT_EQ(s.Find(L'\\', 2), 3);
    EXPECT_EQ(s.Find(L'\\', 4), -1);
    EXPECT_EQ(s.Find(L'\\', 100), -1);
    EXPECT_EQ(s.Find(L"c.d"), 4);
    EXPECT_EQ(s.Find(L""), 0);
    EXPECT_EQ(s.ReverseFind(L'\\'), 3);
    EXPECT_EQ(s.FindOneOf(L".c"), 4);
    EXPECT_EQ(s.FindOneOf(L"xyz"), -1);
}

TEST(CString, FormatTakesWideStringsAndNumbers)
{
    CString s;
    CString name(L"Fonts");
    s.Format(L"%s=%d (%08X) %c %S", (LPCWSTR)name, -42, 0xBEEFu, L'x', "narrow");
    EXPECT_STREQ(s, L"Fonts=-42 (0000BEEF) x narrow");
    CString big;
    big.Format(L"%s%s", (LPCWSTR)CString(L'a', 3000), (LPCWSTR)CString(L'b', 3000));
    EXPECT_EQ(big.GetLength(), 6000);
    EXPECT_EQ(big[5999], L'b');
}

TEST(CString, FormatPassesCStringArgumentsAsText)
{
    CString name(L"Fonts");
    CString s;
    // No cast: the argument goes through as its text, not as an object.
    s.Format(L"[%s] %d [%s]", name, 3, CString(L"x"));
    EXPECT_STREQ(s, L"[Fonts] 3 [x]");
    s.AppendFormat(L" %s/%s", name, L"y");
    EXPECT_STREQ(s, L"[Fonts] 3 [x] Fonts/y");
    wchar_t szArray[] = L"arr";
    s.Format(L"%s", szArray);
    EXPECT_STREQ(s, L"arr");
}

TEST(CString, FormatOfALongTextIsWhole)
{
    // Past the old doubling limit, which came back empty.
    const int nWidth = (64 << 20) + 3;
    CString s;
    s.Format(L"%*d|", nWidth, 5);
    ASSERT_EQ(s.GetLength(), nWidth + 1);
    EXPECT_EQ(s[nWidth - 1], L'5');
    EXPECT_EQ(s[0], L' ');
    // A bad format leaves the string empty, not the old text.
    s.Format(L"");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, ReplaceRemoveInsertDelete)
{
    CString s(L"a--b--c");
    EXPECT_EQ(s.Replace(L"--", L""), 2);
    EXPECT_STREQ(s, L"abc");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(s.Replace(L"b", L"bbb"), 1);
    EXPECT_STREQ(s, L"abbbc");
    EXPECT_EQ(s.Remove(L'b'), 3);
    EXPECT_EQ(s.Insert(1, L"XY"), 4);
    EXPECT_STREQ(s, L"aXYc");
    EXPECT_EQ(s.Insert(99, L'!'), 5);
    EXPECT_STREQ(s, L"aXYc!");
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s.Delete(10, 2), 3);
    EXPECT_STREQ(s, L"ac!");
}

TEST(CString, TrimCaseAndCompare)
{
    CString s(L"  \tHello World\r\n");
    s.Trim();
    EXPECT_STREQ(s, L"Hello World");
    CString q(L"\"quoted\"");
    q.Trim(L'"');
    EXPECT_STREQ(q, L"quoted");
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
    EXPECT_LT(CString(L"abc").Compare(L"abd"), 0);
    EXPECT_STREQ(CString(L"MiXeD").MakeLower(), L"mixed");
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
    EXPECT_TRUE(CString(L"x") == L"x");
    EXPECT_STREQ(L"pre" + CString(L"-") + L"post" + L'!', L"pre-post!");
}

TEST(CString, BufferRoundTripAndConversions)
{
    CString s;
    LPWSTR p = s.GetBuffer(MAX_PATH);
    wcscpy(p, L"C:\\Windows");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 10);
    s.GetBuffer(4);
    s.ReleaseBuffer(2);
    EXPECT_STREQ(s, L"C:");
    EXPECT_STREQ(CString("ansi text"), L"ansi text");
    CString u = CString::FromUtf8("\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(u.GetLength(), 2);
    EXPECT_EQ(u.ToUtf8(), "\xC3\xA4\xE2\x82\xAC");
    CString none;
    EXPECT_FALSE(none.LoadString(65000));
    EXPECT_TRUE(none.IsEmpty());
}

TEST(CArray, InsertRemoveAndGrow)
{
    CArray<int, int> a;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a.Add(i), i);
    a.InsertAt(2, 99, 2);
    ASSERT_EQ(a.GetSize(), 7);
    EXPECT_EQ(a[2], 99);
    EXPECT_EQ(a[4], 2);
    a.RemoveAt(1, 3);
    EXPECT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[1], 2);
    a.RemoveAt(10);
    a.RemoveAt(3, 50);
    EXPECT_EQ(a.GetUpperBound(), 2);
    a.SetAtGrow(6, 7);
    EXPECT_EQ(a.GetSize(), 7);
    EXPECT_EQ(a[5], 0);

    CStringArray strings;
    strings.Add(L"one");
    strings.Add(CString(L"two"));
    strings.InsertAt(0, L"zero");
    EXPECT_STREQ(strings[0], L"zero");
    EXPECT_STREQ(strings.GetAt(2), L"two");
}

TEST(CMap, LookupAndIterate)
{
    CMap<CString, LPCWSTR, int, int> map;
    map.SetAt(L"b", 2);
    map[L"a"] = 1;
    map.SetAt(L"c", 3);
    int n = 0;
    EXPECT_TRUE(map.Lookup(L"b", n));
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(map.Lookup(L"z", n));
    EXPECT_TRUE(map.RemoveKey(L"c"));
    CString key;
    int sum = 0, count = 0;
    for (POSITION pos = map.GetStartPosition(); pos;)
    {
        map.GetNextAssoc(pos, key, n);
        sum += n;
        ++count;
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(sum, 3);
}

TEST(CRect, Geometry)
{
    CRect rc(10, 20, 110, 70);
    EXPECT_EQ(rc.Width(), 100);
    EXPECT_EQ(rc.Height(), 50);
    rc.DeflateRect(5, 5);
    EXPECT_EQ(rc, CRect(15, 25, 105, 65));
    EXPECT_TRUE(rc.PtInRect(CPoint(15, 25)));
    EXPECT_FALSE(rc.PtInRect(CPoint(105, 25)));
    CRect inter = rc & CRect(0, 0, 20, 30);
    EXPECT_EQ(inter, CRect(15, 25, 20, 30));
    EXPECT_EQ(CPoint(MAKELPARAM(-3, 7)).x, -3);
}
