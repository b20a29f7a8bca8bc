#include "services/TextFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

using testsupport::ScratchFolder;
using testsupport::WriteFileBytes;
using testsupport::ReadFileBytes;

namespace {

struct ReadResult
{
    std::vector<std::wstring> lines; // each TRUE line
    std::wstring tail;               // what came with the final FALSE
};

ReadResult ReadAll(const std::wstring& strFile)
{
    ReadResult result;
    CTextFile file(strFile.c_str(), L"rb");
    CString strLine;
    int nGuard = 0;
    while (file.ReadLine(strLine) && ++nGuard < 1000)
        result.lines.push_back(strLine.Str());
    result.tail = strLine.Str();
    file.Close();
    return result;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += (char)value;
    return bytes;
}

} // namespace

TEST(CTextFile, DetectsEachMarkAndPrefersUtf32OverUtf16)
{
    ScratchFolder folder;
    struct Case { std::string bytes; TextFileEncoding nEncoding; } cases[] = {
        { Bytes({ 0xFF, 0xFE, 0x00, 0x00, 'a', 0, 0, 0 }), TEXTFILE_UTF32LE },
        { Bytes({ 0x00, 0x00, 0xFE, 0xFF }), TEXTFILE_UTF32BE },
        { Bytes({ 0xEF, 0xBB, 0xBF, 'a' }), TEXTFILE_UTF8 },
        { Bytes({ 0xFF, 0xFE, 'a', 0 }), TEXTFILE_UTF16LE },
        { Bytes({ 0xFE, 0xFF, 0, 'a' }), TEXTFILE_UTF16BE },
        { "plain", TEXTFILE_OEM },
        { "", TEXTFILE_OEM },
        { Bytes({ 0xFF }), TEXTFILE_OEM },
    };
    for (const Case& test : cases)
    {
        std::wstring strFile = folder.File(L"mark.txt");
        ASSERT_TRUE(WriteFileBytes(strFile, test.bytes));
        CTextFile file(strFile.c_str(), L"rb");
        EXPECT_TRUE(file.IsOpen());
        EXPECT_EQ(test.nEncoding, file.GetEncoding()) << test.bytes.size() << " bytes";
    }
    EXPECT_EQ(TEXTFILE_OEM, CTextFile::DetectEncoding(folder.File(L"missing.txt").c_str()));
}

TEST(CTextFile, Utf16LeLinesKeepTheCarriageReturn)
{
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"le.txt");
    ASSERT_TRUE(WriteFileBytes(strFile, Bytes({ 0xFF, 0xFE, 'a', 0, '\r', 0, '\n', 0, 'b', 0, '\r', 0, '\n', 0 })));
    ReadResult result = ReadAll(strFile);
    ASSERT_EQ(2u, result.lines.size());
    EXPECT_EQ(L"a\r", result.lines[0]);
    EXPECT_EQ(L"b\r", result.lines[1]);
    EXPECT_EQ(L"", result.tail);
}

TEST(CTextFile, LastLineWithoutFeedComesWithFalseAndEmptyLinesCount)
{
    ScratchFolder folder;
    // UTF-16LE: "x", empty, "\u00e9nd" with no line feed; a unit holding 0x1A
    // and one holding 0x0D 0x0A bytes must not disturb the reading.
    std::wstring strLe = folder.File(L"le.txt");
    ASSERT_TRUE(WriteFileBytes(strLe, Bytes({ 0xFF, 0xFE, 'x', 0, '\n', 0, '\n', 0, 0x1A, 0x01, 0x0D, 0x0A,
                                              0xE9, 0, 'n', 0, 'd', 0 })));
    ReadResult le = ReadAll(strLe);
    ASSERT_EQ(2u, le.lines.size());
    EXPECT_EQ(L"x", le.lines[0]);
    EXPECT_EQ(L"", le.lines[1]);
    EXPECT_EQ(std::wstring(L"\u011A\u0A0D\u00E9nd"), le.tail);

    // UTF-8 with mark: LF and CR LF endings, a two-byte character.
    std::wstring strUtf8 = folder.File(L"utf8.txt");
    ASSERT_TRUE(WriteFileBytes(strUtf8, "\xEF\xBB\xBF" "one\n\r\nt\xC3\xA9st\r\nlast"));
    ReadResult utf8 = ReadAll(strUtf8);
    ASSERT_EQ(3u, utf8.lines.size());
    EXPECT_EQ(L"one", utf8.lines[0]);
    EXPECT_EQ(L"\r", utf8.lines[1]);
    EXPECT_EQ(L"t\u00E9st\r", utf8.lines[2]);
    EXPECT_EQ(L"last", utf8.tail);

    // 8-bit text without mark, ending in a line feed.
    std::wstring strAnsi = folder.File(L"ansi.txt");
    ASSERT_TRUE(WriteFileBytes(strAnsi, "first\r\nsecond\n"));
    ReadResult ansi = ReadAll(strAnsi);
    ASSERT_EQ(2u, ansi.lines.size());
    EXPECT_EQ(L"first\r", ansi.lines[0]);
    EXPECT_EQ(L"second", ansi.lines[1]);
    EXPECT_EQ(L"", ansi.tail);
}

TEST(CTextFile, LongLinesAreReadWhole)
{
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"long.txt");
    std::string bytes = "\xFF\xFE";
    for (int i = 0; i < 70000; ++i)
        bytes += std::string("z\0", 2);
    bytes += std::string("\n\0", 2);
    ASSERT_TRUE(WriteFileBytes(strFile, bytes));
    ReadResult result = ReadAll(strFile);
    ASSERT_EQ(1u, result.lines.size());
    EXPECT_EQ(70000u, result.lines[0].size());
}

TEST(CTextFile, Utf16BeAndUtf32)
{
    ScratchFolder folder;
    std::wstring strBe = folder.File(L"be.txt");
    ASSERT_TRUE(WriteFileBytes(strBe, Bytes({ 0xFE, 0xFF, 0, 'a', 0x01, 0x1A, 0, '\n', 0, 'b' })));
    ReadResult be = ReadAll(strBe);
    ASSERT_EQ(1u, be.lines.size());
    EXPECT_EQ(L"a\u011A", be.lines[0]);
    EXPECT_EQ(L"b", be.tail);

    std::wstring strUtf32 = folder.File(L"utf32.txt");
    ASSERT_TRUE(WriteFileBytes(strUtf32, Bytes({ 0xFF, 0xFE, 0, 0, 'a', 0, 0, 0, '\n', 0, 0, 0 })));
    ReadResult utf32 = ReadAll(strUtf32);
    EXPECT_TRUE(utf32.lines.empty());
    EXPECT_EQ(L"", utf32.tail);
}

TEST(CTextFile, MissingFileIsClosedAndReadsNothing)
{
    ScratchFolder folder;
    CTextFile file(folder.File(L"none.txt").c_str(), L"rb");
    EXPECT_FALSE(file.IsOpen());
    CString strLine = L"stale";
    EXPECT_FALSE(file.ReadLine(strLine));
    EXPECT_STREQ(strLine, L"");
    EXPECT_FALSE(file.WriteLine(L"x"));
}

TEST(CTextFile, WriteRoundTripKeepsTheFilesEncoding)
{
    ScratchFolder folder;
    // An existing UTF-16LE file rewritten with "wb" keeps its mark.
    std::wstring strLe = folder.File(L"le.txt");
    ASSERT_TRUE(WriteFileBytes(strLe, Bytes({ 0xFF, 0xFE })));
    {
        CTextFile file(strLe.c_str(), L"wb");
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.WriteLine(L"1;HKEY_CURRENT_USER\\Soft|{Default}|\u00E9\u4E2D"));
        EXPECT_TRUE(file.WriteLine(L""));
        EXPECT_TRUE(file.WriteLine("narrow"));
    }
    EXPECT_EQ(Bytes({ 0xFF, 0xFE }), ReadFileBytes(strLe).substr(0, 2));
    ReadResult le = ReadAll(strLe);
    ASSERT_EQ(3u, le.lines.size());
    EXPECT_EQ(L"1;HKEY_CURRENT_USER\\Soft|{Default}|\u00E9\u4E2D\r", le.lines[0]);
    EXPECT_EQ(L"\r", le.lines[1]);
    EXPECT_EQ(L"narrow\r", le.lines[2]);

    // UTF-8 and UTF-16BE likewise.
    std::wstring strUtf8 = folder.File(L"utf8.txt");
    ASSERT_TRUE(WriteFileBytes(strUtf8, "\xEF\xBB\xBF"));
    {
        CTextFile file(strUtf8.c_str(), L"wb");
        EXPECT_TRUE(file.WriteLine(L"\u4E2D"));
    }
    EXPECT_EQ("\xEF\xBB\xBF\xE4\xB8\xAD\r\n", ReadFileBytes(strUtf8));

    std::wstring strBe = folder.File(L"be.txt");
    ASSERT_TRUE(WriteFileBytes(strBe, Bytes({ 0xFE, 0xFF })));
    {
        CTextFile file(strBe.c_str(), L"wb");
        EXPECT_TRUE(file.WriteLine(L"A"));
    }
    EXPECT_EQ(Bytes({ 0xFE, 0xFF, 0, 'A', 0, '\r', 0, '\n' }), ReadFileBytes(strBe));

    // A new file has no mark and gets 8-bit text.
    std::wstring strNew = folder.File(L"new.txt");
    {
        CTextFile file(strNew.c_str(), L"wb");
        EXPECT_EQ(TEXTFILE_OEM, file.GetEncoding());
        EXPECT_TRUE(file.WriteLine(L"abc"));
    }
    EXPECT_EQ("abc\r\n", ReadFileBytes(strNew));

    // The 8-bit constructor opens the same file.
    CTextFile narrow(CString(strNew.c_str()).ToAnsi().c_str(), "rb");
    CString strLine;
    EXPECT_TRUE(narrow.ReadLine(strLine));
    EXPECT_STREQ(strLine, L"abc\r");
}

namespace {
std::string Utf16(const std::wstring& str, bool bBigEndian)
{
    std::string bytes;
    for (wchar_t ch : str)
    {
        char lo = (char)(ch & 0xFF), hi = (char)(ch >> 8);
        bytes += bBigEndian ? hi : lo;
        bytes += bBigEndian ? lo : hi;
    }
    return bytes;
}
} // namespace

// UTF-16 saved without a mark is told from 8-bit text by its zero bytes and
// read from its first byte; 8-bit text stays 8-bit text.
TEST(CTextFile, UnmarkedUtf16IsReadAsUtf16)
{
    ScratchFolder folder;
    std::wstring strLe = folder.File(L"le.txt"), strBe = folder.File(L"be.txt"), strOem = folder.File(L"oem.txt");
    ASSERT_TRUE(WriteFileBytes(strLe, Utf16(L"0;a|b|c\r\n14;\x4E2D\x6587|d|\r\n", false)));
    ASSERT_TRUE(WriteFileBytes(strBe, Utf16(L"1;x\n2;y", true)));
    ASSERT_TRUE(WriteFileBytes(strOem, "0;plain\r\n1;text\r\n"));
    EXPECT_EQ(TEXTFILE_UTF16LE, CTextFile::DetectEncoding(strLe.c_str()));
    EXPECT_EQ(TEXTFILE_UTF16BE, CTextFile::DetectEncoding(strBe.c_str()));
    EXPECT_EQ(TEXTFILE_OEM, CTextFile::DetectEncoding(strOem.c_str()));

    ReadResult le = ReadAll(strLe);
    std::vector<std::wstring> expected = { L"0;a|b|c\r", L"14;\x4E2D\x6587|d|\r" };
    EXPECT_EQ(le.lines, expected);
    EXPECT_EQ(le.tail, L"");
    ReadResult be = ReadAll(strBe);
    ASSERT_EQ(be.lines.size(), 1u);
    EXPECT_EQ(be.lines[0], L"1;x");
    EXPECT_EQ(be.tail, L"2;y");
    ReadResult oem = ReadAll(strOem);
    EXPECT_EQ(oem.lines.size(), 2u);

    // Mostly non-Latin text without a mark is beyond the guess: it stays 8-bit.
    EXPECT_EQ(TEXTFILE_OEM, CTextFile::GuessUnmarkedEncoding((const unsigned char*)"\x2D\x4E\x87\x65", 4));
    // A single character "0" saved as UTF-16.
    EXPECT_EQ(TEXTFILE_UTF16LE, CTextFile::GuessUnmarkedEncoding((const unsigned char*)"0\0", 2));
}

// What cannot be read as text of the file's encoding is reported, so a
// caller can refuse to write back what it read.
TEST(CTextFile, UncleanReadsAreReported)
{
    ScratchFolder folder;
    struct Case
    {
        const char* pszName;
        std::string bytes;
        bool bClean;
    };
    const Case cases[] = {
        { "marked UTF-16", "\xFF\xFE" + Utf16(L"a\nb\n", false), true },
        { "unmarked UTF-16", Utf16(L"a\nb\n", false), true },
        { "8-bit", "a\r\nb", true },
        { "UTF-8", "\xEF\xBB\xBF" "a\xC3\xA9\n", true },
        { "empty", "", true },
        { "zero unit", "\xFF\xFE" + Utf16(L"a", false) + std::string(2, '\0') + Utf16(L"b\n", false), false },
        { "half unit at the end", "\xFF\xFE" + Utf16(L"a\nb", false) + "c", false },
        { "invalid UTF-8", "\xEF\xBB\xBF" "a\xC3\n", false },
        { "UTF-32", std::string("\xFF\xFE\0\0a\0\0\0", 8), false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        std::wstring strFile = folder.File(L"case.txt");
        ASSERT_TRUE(WriteFileBytes(strFile, c.bytes));
        CTextFile file(strFile.c_str(), L"rb");
        CString strLine;
        int nGuard = 0;
        while (file.ReadLine(strLine) && ++nGuard < 100)
        {
        }
        EXPECT_EQ(c.bClean, file.IsReadClean() != FALSE);
    }
}

// U+FFFF is a noncharacter, not an end of the file: the unit stays in its
// line, every line after it is read, and the read is not clean, so no caller
// writes the file back. The same file without it reads clean.
TEST(CTextFile, Utf16StopUnitKeepsTheRestButIsNotClean)
{
    ScratchFolder folder;
    struct Form
    {
        const char* pszName;
        std::string mark;
        bool bBigEndian;
        TextFileEncoding nEncoding;
    };
    const Form forms[] = {
        { "LE marked", "\xFF\xFE", false, TEXTFILE_UTF16LE },
        { "BE marked", "\xFE\xFF", true, TEXTFILE_UTF16BE },
        { "unmarked", "", false, TEXTFILE_UTF16LE },
    };
    for (const Form& form : forms)
    {
        SCOPED_TRACE(form.pszName);
        for (wchar_t chMiddle : { L'\xFFFF', L'x' })
        {
            std::wstring strText = L"0;first\r\n1;mid";
            strText += chMiddle;
            strText += L"dle\r\n2;after\r\n3;last";
            std::wstring strFile = folder.File(L"stop.txt");
            ASSERT_TRUE(WriteFileBytes(strFile, form.mark + Utf16(strText, form.bBigEndian)));
            CTextFile file(strFile.c_str(), L"rb");
            EXPECT_EQ(form.nEncoding, file.GetEncoding());
            std::vector<std::wstring> lines;
            CString strLine;
            int nGuard = 0;
            while (file.ReadLine(strLine) && ++nGuard < 100)
                lines.push_back(strLine.Str());
            std::vector<std::wstring> expected = { L"0;first\r", std::wstring(L"1;mid") + chMiddle + L"dle\r",
                                                   L"2;after\r" };
            EXPECT_EQ(expected, lines);
            EXPECT_EQ(std::wstring(L"3;last"), strLine.Str());
            EXPECT_EQ(chMiddle == L'x', file.IsReadClean() != FALSE);
        }
    }
}
