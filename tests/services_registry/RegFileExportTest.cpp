#include "services/RegFile.h"
#include "services/RegKeyTarget.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using namespace regtest;
using testsupport::ScratchFolder;
using testsupport::ScratchRegKey;

namespace {

const std::wstring kHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";

std::wstring FullPath(const ScratchRegKey& scratch)
{
    return L"HKEY_CURRENT_USER\\" + scratch.Path();
}

// Values of every kind, created in name order so that the registry's order
// and the alphabetical one agree.
void FillFormatKey(HKEY hKey)
{
    SetText(hKey, L"", L"default");
    Bytes bin40;
    for (int i = 0; i < 40; ++i)
        bin40.push_back((BYTE)i);
    SetRaw(hKey, L"bin40", REG_BINARY, bin40);
    SetDword(hKey, L"dword31", 31);
    SetRaw(hKey, L"dword8", REG_DWORD, Bytes{ 1, 2, 3, 4, 5, 6, 7, 8 });
    SetText(hKey, L"empty", L"");
    SetText(hKey, L"expand", L"%TEMP%", REG_EXPAND_SZ);
    SetRaw(hKey, L"multi", REG_MULTI_SZ, Bytes{ 'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0 });
    SetRaw(hKey, L"none", REG_NONE, Bytes());
    SetText(hKey, L"quote\"name\\", L"say \"hi\" C:\\dir");
    HKEY hSub = CreateKey(hKey, L"Sub");
    SetText(hSub, L"x", L"y");
    RegCloseKey(CreateKey(hSub, L"Deep"));
    RegCloseKey(hSub);
}

std::wstring FormatKeyText(const std::wstring& path)
{
    return L"[" + path + L"]\r\n"
           L"@=\"default\"\r\n"
           L"\"bin40\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
           L"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27\r\n"
           L"\"dword31\"=dword:0000001f\r\n"
           L"\"dword8\"=hex(4):01,02,03,04,05,06,07,08\r\n"
           L"\"empty\"=\"\"\r\n"
           L"\"expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
           L"\"multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
           L"\"none\"=hex(0):\r\n"
           L"\"quote\\\"name\\\\\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
           L"\r\n"
           L"[" + path + L"\\Sub]\r\n"
           L"\"x\"=\"y\"\r\n"
           L"\r\n"
           L"[" + path + L"\\Sub\\Deep]\r\n"
           L"\r\n";
}

} // namespace

TEST(RegFileExport, WritesEveryTypeInTheFileFormat)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    FillFormatKey(scratch.Key());
    // The root, given in lower case, is written upper-cased.
    std::wstring lowerRoot = L"hkey_current_user\\" + scratch.Path();
    ASSERT_EQ(ExportWithRegFile(folder.File(L"out.reg"), lowerRoot), 0u);
    bool bBom = false;
    std::wstring text = ReadRegText(folder.File(L"out.reg"), bBom);
    EXPECT_TRUE(bBom);
    EXPECT_EQ(text, kHeader + FormatKeyText(FullPath(scratch)));
}

// Caller-composed lines, as the startup manager writes its backups.
TEST(RegFileExport, ComposedLines)
{
    ScratchFolder folder;
    std::wstring file = folder.File(L"composed.reg");
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CRegFile regFile;
    BeginRegFile(regFile, h);
    regFile.PutString(L"[HKEY_CURRENT_USER\\Software\\Run]\n");
    regFile.PutQuotedString(L"Tool \"x\"");
    regFile.PutChar(L'=');
    regFile.PutQuotedString(L"C:\\Program Files\\tool.exe");
    regFile.PutString(L"\n\n");
    EXPECT_TRUE(regFile.Flush());
    CloseHandle(h);
    EXPECT_EQ(regFile.GetExportError(), 0u);
    bool bBom = false;
    EXPECT_EQ(ReadRegText(file, bBom), std::wstring(kHeader) + L"[HKEY_CURRENT_USER\\Software\\Run]\r\n"
                                       L"\"Tool \\\"x\\\"\"=\"C:\\\\Program Files\\\\tool.exe\"\r\n\r\n");
}

// Values beyond 16 KB, long names and deep paths are all written, and the
// file restores them exactly.
TEST(RegFileExport, LargeValuesLongNamesAndDeepPathsRoundTrip)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    Bytes big(40000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = (BYTE)(i * 7);
    SetRaw(scratch.Key(), L"a big", REG_BINARY, big);
    SetText(scratch.Key(), L"b long text", std::wstring(20000, L'q'));
    SetText(scratch.Key(), std::wstring(2000, L'c'), L"long name");
    SetText(scratch.Key(), L"d after", L"still here");
    std::wstring deep;
    for (int i = 0; i < 20; ++i)
        deep += (deep.empty() ? L"" : L"\\") + std::wstring(L"level_with_a_rather_long_name_") + std::to_wstring(i);
    HKEY hDeep = CreateKey(scratch.Key(), deep);
    ASSERT_NE(hDeep, (HKEY)NULL);
    SetText(hDeep, L"bottom", L"reached");
    RegCloseKey(hDeep);
    ASSERT_GT(FullPath(scratch).size() + deep.size(), 550u);

    TreeSnapshot before = Snapshot(HKEY_CURRENT_USER, scratch.Path());
    std::wstring file = folder.File(L"big.reg");
    ASSERT_EQ(ExportWithRegFile(file, FullPath(scratch)), 0u);
    SHDeleteKeyW(HKEY_CURRENT_USER, scratch.Path().c_str());
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path()));

    CRegFile importer;
    EXPECT_EQ(importer.ImportFile(file.c_str()), 0u);
    EXPECT_EQ(Difference(before, Snapshot(HKEY_CURRENT_USER, scratch.Path())), L"");
}

// Text that the quoted form cannot carry goes out as hex(1) and comes back
// byte for byte.
TEST(RegFileExport, StringsWithLineBreaksOrInnerNullsUseHex)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    SetText(scratch.Key(), L"cr", L"a\rb");
    SetText(scratch.Key(), L"lf", L"a\nb");
    SetRaw(scratch.Key(), L"nul", REG_SZ, Bytes{ 'a', 0, 0, 0, 'b', 0, 0, 0 });
    SetRaw(scratch.Key(), L"odd", REG_SZ, Bytes{ 'a', 0, 'b' });
    SetRaw(scratch.Key(), L"open", REG_SZ, TextBytes(L"ab", false));
    TreeSnapshot before = Snapshot(HKEY_CURRENT_USER, scratch.Path());

    std::wstring file = folder.File(L"lf.reg");
    ASSERT_EQ(ExportWithRegFile(file, FullPath(scratch)), 0u);
    bool bBom = false;
    std::wstring text = ReadRegText(file, bBom);
    EXPECT_NE(text.find(L"\"cr\"=hex(1):61,00,0d,00,62,00,00,00\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"\"lf\"=hex(1):61,00,0a,00,62,00,00,00\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"\"nul\"=hex(1):61,00,00,00,62,00,00,00\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"\"odd\"=hex(1):61,00,62\r\n"), std::wstring::npos) << text;
    // Text without its null reads back as the same text.
    EXPECT_NE(text.find(L"\"open\"=\"ab\"\r\n"), std::wstring::npos) << text;

    SHDeleteKeyW(HKEY_CURRENT_USER, scratch.Path().c_str());
    CRegFile importer;
    EXPECT_EQ(importer.ImportFile(file.c_str()), 0u);
    TreeSnapshot after = Snapshot(HKEY_CURRENT_USER, scratch.Path());
    before[L""][L"open"].data = TextBytes(L"ab");
    EXPECT_EQ(Difference(before, after), L"");
}

// A name with a line break cannot be one line of the file: left out, and
// the export says so instead of writing a line that reads back as another.
TEST(RegFileExport, NamesWithLineBreaksAreLeftOutAndReported)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    SetText(scratch.Key(), L"a", L"1");
    SetText(scratch.Key(), L"b\n[-HKEY_CURRENT_USER\\Software]", L"2");
    SetText(scratch.Key(), L"c", L"3");
    std::wstring file = folder.File(L"names.reg");
    EXPECT_EQ(ExportWithRegFile(file, FullPath(scratch)), (DWORD)CRegFile::ExportNameNotWritable);
    bool bBom = false;
    std::wstring text = ReadRegText(file, bBom);
    EXPECT_EQ(text.find(L"[-"), std::wstring::npos);
    EXPECT_NE(text.find(L"\"a\"=\"1\"\r\n\"c\"=\"3\"\r\n"), std::wstring::npos) << text;
}

TEST(RegFileExport, FailuresAreReported)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    SetText(scratch.Key(), L"v", L"x");
    std::wstring file = folder.File(L"fail.reg");

    // A key that does not open, or an unknown root: nothing is written, not
    // even the header still waiting in the buffer.
    EXPECT_EQ(ExportWithRegFile(file, FullPath(scratch) + L"\\Missing"), (DWORD)ERROR_CANTOPEN);
    bool bBom = false;
    EXPECT_EQ(ReadRegText(file, bBom), L"");
    EXPECT_EQ(ExportWithRegFile(file, L"HKEY_NOWHERE\\Software"), (DWORD)ERROR_BADKEY);
    EXPECT_EQ(ReadRegText(file, bBom), L"");

    CRegFile noFile;
    EXPECT_EQ(noFile.ExportKey(FullPath(scratch).c_str()), (DWORD)ERROR_INVALID_HANDLE);

    // A handle that cannot be written to: the write error, kept for the file.
    testsupport::WriteFileBytes(file, "");
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CRegFile regFile;
    regFile.m_hFile = h;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    EXPECT_EQ(regFile.ExportKey(FullPath(scratch).c_str()), (DWORD)CRegFile::ExportWriteFailed);
    EXPECT_EQ(regFile.GetExportError(), (DWORD)CRegFile::ExportWriteFailed);
    CloseHandle(h);
}

// The full backup: HKEY_LOCAL_MACHINE, then HKEY_USERS, whole, as the whole
// registry's view shows them: on 64-bit Windows a key of the 32-bit view only
// is written under Wow6432Node, one of the 64-bit view only under its own
// name, in either build. Wine cannot enumerate the values of Perflib\009
// (error 6 for ever): the export goes on past it and reports the gap.
TEST(RegFileExport, EmptyPathWritesBothHives)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    const std::wstring strName = L"TamselWholeExport" + std::to_wstring(GetCurrentProcessId());
    struct ViewKey
    {
        REGSAM samView;
        std::wstring strPath;   // below HKEY_LOCAL_MACHINE, in that view
        std::wstring strLine;   // the key line the whole export writes for it
    };
    const ViewKey keys[] = {
        {KEY_WOW64_32KEY, L"Software\\" + strName + L"32", L"[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + strName + L"32]"},
        {KEY_WOW64_64KEY, L"Software\\" + strName + L"64", L"[HKEY_LOCAL_MACHINE\\Software\\" + strName + L"64]"},
    };
    for (const ViewKey& key : keys)
    {
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.strPath.c_str(), 0, NULL, 0,
                                                 KEY_ALL_ACCESS | key.samView, NULL, &hKey, NULL));
        SetText(hKey, L"view", key.samView == KEY_WOW64_32KEY ? L"32" : L"64");
        RegCloseKey(hKey);
    }
    ScratchFolder folder;
    std::wstring file = folder.File(L"full.reg");
    // Whatever view is asked for: a whole export that leaves one out is none.
    CRegFile regFile;
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BeginRegFile(regFile, h);
    DWORD dwResult = regFile.ExportKey(CString(), OwnRegistryView());
    CloseHandle(h);
    for (const ViewKey& key : keys)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.strPath.c_str(), key.samView, 0);

    bool bBom = false;
    std::wstring text = ReadRegText(file, bBom);
    EXPECT_EQ(text.find(kHeader + L"[HKEY_LOCAL_MACHINE]\r\n"), 0u);
    size_t nUsers = text.find(L"\r\n[HKEY_USERS]\r\n");
    ASSERT_NE(nUsers, std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"\r\n[HKEY_LOCAL_MACHINE\\", nUsers), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n[HKEY_USERS\\.Default]\r\n", nUsers), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n" + keys[0].strLine + L"\r\n\"view\"=\"32\"\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n" + keys[1].strLine + L"\r\n\"view\"=\"64\"\r\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"[HKEY_LOCAL_MACHINE\\Software\\" + strName + L"32]"), std::wstring::npos);
    EXPECT_EQ(text.find(L"[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + strName + L"64]"), std::wstring::npos);

    HKEY hPerflib = NULL;
    bool bPerflib = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", 0,
                                  KEY_READ | WholeRegistryView(), &hPerflib) == ERROR_SUCCESS;
    if (hPerflib != NULL)
        RegCloseKey(hPerflib);
    if (bPerflib)
    {
        EXPECT_NE(text.find(L"[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009]"), std::wstring::npos);
    }
    EXPECT_TRUE(dwResult == 0 || (bPerflib && dwResult == (DWORD)CRegFile::ExportEnumFailed)) << dwResult;
}
