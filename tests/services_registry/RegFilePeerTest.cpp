// Checks against Wine's own regedit: files we write import there, files it
// writes import here, and both write the same bytes for the same key.
#include "services/RegFile.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using namespace regtest;
using testsupport::ScratchFolder;
using testsupport::ScratchRegKey;

namespace {

std::wstring FullPath(const ScratchRegKey& scratch)
{
    return L"HKEY_CURRENT_USER\\" + scratch.Path();
}

// regedit.exe of the prefix; -1 when it cannot be started.
int Regedit(const std::wstring& arguments)
{
    return RunWindowsProgram(L"regedit.exe " + arguments);
}

#define SKIP_WITHOUT_REGEDIT(code)                                                  \
    if ((code) == -1)                                                               \
        TAMSEL_PEER_MISSING("Wine's regedit.exe could not be started")

// Values both programs write alike: every type in its ordinary form.
void FillCommonValues(HKEY hKey)
{
    SetText(hKey, L"", L"default text");
    Bytes bin40;
    for (int i = 0; i < 40; ++i)
        bin40.push_back((BYTE)(i * 9));
    SetRaw(hKey, L"binary", REG_BINARY, bin40);
    SetRaw(hKey, L"binary empty", REG_BINARY, Bytes());
    SetDword(hKey, L"dword", 0xdeadbeef);
    SetText(hKey, L"empty", L"");
    SetText(hKey, L"expand", L"%SystemRoot%\\system32", REG_EXPAND_SZ);
    SetRaw(hKey, L"multi", REG_MULTI_SZ, Bytes{ 'o', 0, 'n', 0, 'e', 0, 0, 0, 't', 0, 'w', 0, 'o', 0, 0, 0, 0, 0 });
    SetRaw(hKey, L"none", REG_NONE, Bytes{ 1, 2 });
    SetRaw(hKey, L"qword", REG_QWORD, Bytes{ 1, 2, 3, 4, 5, 6, 7, 8 });
    SetText(hKey, L"quote\"and\\back", L"C:\\Program Files\\\"x\"");
    SetText(hKey, L"unicode \x00e9\x4e2d", L"Gr\x00fc\x00df" L"e \x2713 \x65e5\x672c");
    Bytes big(20000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = (BYTE)(i % 251);
    SetRaw(hKey, L"zbig", REG_BINARY, big);
    HKEY hSub = CreateKey(hKey, L"Sub key");
    SetText(hSub, L"", L"sub default");
    SetDword(hSub, L"n", 1);
    RegCloseKey(CreateKey(hSub, L"Empty leaf"));
    RegCloseKey(hSub);
}

} // namespace

// A file written by CRegFile imports with regedit and gives the same tree.
TEST(RegFilePeer, OurExportImportsWithRegedit)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    FillCommonValues(scratch.Key());
    // Forms only our writer uses: text with line breaks or inner nulls as hex(1).
    SetText(scratch.Key(), L"lines", L"first\r\nsecond\nthird");
    SetRaw(scratch.Key(), L"inner null", REG_SZ, Bytes{ 'a', 0, 0, 0, 'b', 0, 0, 0 });
    TreeSnapshot before = Snapshot(HKEY_CURRENT_USER, scratch.Path());

    std::wstring file = folder.File(L"ours.reg");
    ASSERT_EQ(ExportWithRegFile(file, FullPath(scratch)), 0u);
    SHDeleteKeyW(HKEY_CURRENT_USER, scratch.Path().c_str());
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path()));

    int nExit = Regedit(L"/S \"" + file + L"\"");
    SKIP_WITHOUT_REGEDIT(nExit);
    EXPECT_EQ(nExit, 0);
    EXPECT_EQ(Difference(before, Snapshot(HKEY_CURRENT_USER, scratch.Path())), L"");
}

// A file written by regedit /E imports with CRegFile and gives the same tree.
TEST(RegFilePeer, RegeditExportImportsWithUs)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    FillCommonValues(scratch.Key());
    TreeSnapshot before = Snapshot(HKEY_CURRENT_USER, scratch.Path());

    std::wstring file = folder.File(L"wine.reg");
    int nExit = Regedit(L"/E \"" + file + L"\" \"" + FullPath(scratch) + L"\"");
    SKIP_WITHOUT_REGEDIT(nExit);
    ASSERT_EQ(nExit, 0);
    SHDeleteKeyW(HKEY_CURRENT_USER, scratch.Path().c_str());
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path()));

    CRegFile regFile;
    EXPECT_EQ(regFile.ImportFile(file.c_str()), 0u);
    EXPECT_EQ(Difference(before, Snapshot(HKEY_CURRENT_USER, scratch.Path())), L"");
}

// Both writers, one key: the same bytes.
TEST(RegFilePeer, ExportMatchesRegeditByteForByte)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    FillCommonValues(scratch.Key());
    std::wstring ours = folder.File(L"ours.reg"), wine = folder.File(L"wine.reg");
    ASSERT_EQ(ExportWithRegFile(ours, FullPath(scratch)), 0u);
    int nExit = Regedit(L"/E \"" + wine + L"\" \"" + FullPath(scratch) + L"\"");
    SKIP_WITHOUT_REGEDIT(nExit);
    ASSERT_EQ(nExit, 0);

    // Identical, BOM and all. Wine's registry enumerates values in
    // alphabetical order, so our enumeration order and regedit's sorted
    // order coincide here; on Windows the order of the values of a key may
    // differ (creation order), never the lines themselves.
    std::string ourBytes = testsupport::ReadFileBytes(ours);
    std::string wineBytes = testsupport::ReadFileBytes(wine);
    EXPECT_EQ(ourBytes.size(), wineBytes.size());
    size_t nFirst = 0;
    while (nFirst < ourBytes.size() && nFirst < wineBytes.size() && ourBytes[nFirst] == wineBytes[nFirst])
        ++nFirst;
    EXPECT_TRUE(ourBytes == wineBytes) << "the exports differ from byte " << nFirst;
}

// The values where the two writers part, each on purpose. Everything else
// (header, key lines, wrapping, escapes, every other type) is the same, as
// the test above shows.
TEST(RegFilePeer, KnownDifferencesFromRegedit)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    SetText(scratch.Key(), L"a lines", L"x\ny");
    SetRaw(scratch.Key(), L"b inner null", REG_SZ, Bytes{ 'a', 0, 0, 0, 'b', 0, 0, 0 });
    SetRaw(scratch.Key(), L"c odd", REG_SZ, Bytes{ 'a', 0, 'b' });
    SetRaw(scratch.Key(), L"d dword8", REG_DWORD, Bytes{ 1, 2, 3, 4, 5, 6, 7, 8 });
    std::wstring ours = folder.File(L"ours.reg"), wine = folder.File(L"wine.reg");
    ASSERT_EQ(ExportWithRegFile(ours, FullPath(scratch)), 0u);
    int nExit = Regedit(L"/E \"" + wine + L"\" \"" + FullPath(scratch) + L"\"");
    SKIP_WITHOUT_REGEDIT(nExit);
    ASSERT_EQ(nExit, 0);
    bool bBom = false;
    std::wstring ourText = ReadRegText(ours, bBom);
    std::wstring wineText = ReadRegText(wine, bBom);
    std::wstring keyLine = L"[" + FullPath(scratch) + L"]\r\n";
    std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n" + keyLine;

    // A line feed in text: regedit writes the escape "\n", which our reader
    // rejects as it rejects every escape but \" and \\; we write hex(1),
    // which both read back to the same bytes.
    // Text with an inner null: regedit writes the text up to the null and
    // loses the rest; we keep all bytes in hex(1).
    // Text of odd length: regedit drops it to ""; we keep the bytes.
    // REG_DWORD data of 8 bytes: regedit writes the first 4 as a dword and
    // loses the rest; we keep all 8 in hex(4).
    EXPECT_EQ(ourText, header + L"\"a lines\"=hex(1):78,00,0a,00,79,00,00,00\r\n"
                                L"\"b inner null\"=hex(1):61,00,00,00,62,00,00,00\r\n"
                                L"\"c odd\"=hex(1):61,00,62\r\n"
                                L"\"d dword8\"=hex(4):01,02,03,04,05,06,07,08\r\n\r\n");
    EXPECT_EQ(wineText, header + L"\"a lines\"=\"x\\ny\"\r\n"
                                 L"\"b inner null\"=\"a\"\r\n"
                                 L"\"c odd\"=\"\"\r\n"
                                 L"\"d dword8\"=dword:04030201\r\n\r\n");
}
