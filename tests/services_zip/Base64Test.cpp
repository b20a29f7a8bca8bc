#include "services/Base64.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring Units(const std::string& bytes)
{
    std::wstring units;
    for (char c : bytes)
        units += (wchar_t)(unsigned char)c;
    return units;
}

std::wstring Encode(const std::wstring& units)
{
    wchar_t szOut[1100];
    wmemset(szOut, L'#', 1100);
    int n = Base64Encode(units.data(), szOut, (int)units.size());
    // Nothing at all is written for no data.
    EXPECT_EQ(szOut[n], units.empty() ? L'#' : 0);
    return std::wstring(szOut, n);
}

std::wstring Decode(const wchar_t* pszText)
{
    wchar_t out[1000];
    int n = Base64Decode(pszText, out);
    return std::wstring(out, n);
}

} // namespace

TEST(Base64, EncodesWithoutPadding)
{
    BuildBase64DecodeTable();
    EXPECT_EQ(Encode(Units("abc")), L"YWJj");
    EXPECT_EQ(Encode(Units("a")), L"YQ");
    EXPECT_EQ(Encode(Units("ab")), L"YWI");
    EXPECT_EQ(Encode(Units("")), L"");
    // Only the low byte of a unit counts.
    EXPECT_EQ(Encode(std::wstring(1, (wchar_t)0x1261)), L"YQ");
    EXPECT_EQ(Decode(L"YQ"), Units("a"));
    EXPECT_EQ(Decode(L"YWI"), Units("ab"));
    EXPECT_EQ(Decode(L"YWJj"), Units("abc"));
}

TEST(Base64, ShortTextPaddingAndStrayCharacters)
{
    EXPECT_EQ(Decode(L""), L"");
    EXPECT_EQ(Decode(L"Y"), L"");
    // A single character after whole groups is ignored.
    EXPECT_EQ(Decode(L"YWJjZ"), Units("abc"));
    // "=" counts as 0: padding turns into extra zero bytes.
    EXPECT_EQ(Decode(L"YQ=="), Units(std::string("a\0\0", 3)));
    EXPECT_EQ(Decode(L"Y*Jj"), Decode(L"YAJj"));
}

TEST(Base64, EveryByteValueRoundTrips)
{
    std::wstring all;
    for (int i = 0; i < 256; ++i)
        all += (wchar_t)((255 - i) | 0x4200);
    std::wstring text = Encode(all);
    EXPECT_EQ(text.size(), (256u * 4 + 2) / 3);
    std::wstring back = Decode(text.c_str());
    ASSERT_EQ(back.size(), 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(back[i], (wchar_t)(255 - i));
}
