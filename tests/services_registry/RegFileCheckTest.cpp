// What the check of a registry-editor file passes is exactly what the import
// writes: key lines are read alike by both, values come back byte for byte,
// and a refused line is shown as its writer wrote it.
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

// Lets through the scratch key and keys below it, with values.
RegKeyRule ScratchRule(const ScratchRegKey& scratch)
{
    std::wstring strTop = L"HKEY_CURRENT_USER\\" + scratch.Path();
    return [strTop](const CString& strKeyPath) {
        CString strBase = strTop.c_str();
        return strKeyPath.Left(strBase.GetLength()).CompareNoCase(strBase) == 0 ? (int)RegKeyWithValues
                                                                                 : (int)RegKeyRefused;
    };
}

DWORD ValueCount(HKEY hKey)
{
    DWORD dwValues = 0;
    ::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL);
    return dwValues;
}

// A string-typed value exactly as given: the registry adds a character to a
// text whose next one in memory is zero, so a non-zero pair follows the data.
bool SetExactRaw(HKEY hKey, const std::wstring& strName, DWORD dwType, Bytes data)
{
    DWORD dwSize = (DWORD)data.size();
    data.push_back(0xEE);
    data.push_back(0xEE);
    return ::RegSetValueExW(hKey, strName.c_str(), 0, dwType, data.data(), dwSize) == ERROR_SUCCESS;
}

} // namespace

// A zero or another control character inside a key line: the registry would
// stop at the zero and write above the named key, so check and import refuse
// the line alike. The same line with a plain character passes both.
TEST(RegFileCheck, ControlCharacterInAKeyLineIsRefusedByCheckAndImport)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"in.reg");
    RegKeyRule rule = ScratchRule(scratch);
    for (wchar_t chBad : {L'\0', L'\t', L'\x1b'})
    {
        std::wstring strText = kHeader + L"[HKEY_CURRENT_USER\\" + scratch.Path() + L"\\Sub" + std::wstring(1, chBad) +
                               L"More]\r\n\"Planted\"=\"calc.exe\"\r\n";
        ASSERT_TRUE(WriteRegText(strFile, strText));
        CRegFile check;
        int nLine = 0;
        EXPECT_NE((DWORD)ERROR_SUCCESS, check.CheckFile(strFile.c_str(), rule, nLine)) << (int)chBad;
        EXPECT_EQ(3, nLine) << (int)chBad;
        CRegFile import;
        EXPECT_NE((DWORD)ERROR_SUCCESS, import.ImportFile(strFile.c_str())) << (int)chBad;
        EXPECT_EQ(0u, ValueCount(scratch.Key())) << (int)chBad;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Sub")) << (int)chBad;
    }
    std::wstring strGood = kHeader + L"[HKEY_CURRENT_USER\\" + scratch.Path() + L"\\Sub More]\r\n\"Kept\"=\"x\"\r\n";
    ASSERT_TRUE(WriteRegText(strFile, strGood));
    CRegFile check;
    int nLine = 0;
    EXPECT_EQ((DWORD)ERROR_SUCCESS, check.CheckFile(strFile.c_str(), rule, nLine));
    CRegFile import;
    EXPECT_EQ((DWORD)ERROR_SUCCESS, import.ImportFile(strFile.c_str()));
    RawValue value;
    EXPECT_TRUE(GetRaw(HKEY_CURRENT_USER, scratch.Path() + L"\\Sub More", L"Kept", value));
}

// A list of texts without its final empty text, and texts without their
// zero, come back from an export and an import as long as they were.
TEST(RegFileCheck, StringValuesWithoutTheirZeroComeBackByteForByte)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    HKEY hData = CreateKey(scratch.Key(), L"Data");
    ASSERT_NE((HKEY)NULL, hData);
    const Bytes malformed = {0x61, 0, 0, 0, 0x62, 0};
    const Bytes wellFormed = {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0};
    const Bytes noZero = {0x61, 0, 0x62, 0};
    ASSERT_TRUE(SetExactRaw(hData, L"Multi", REG_MULTI_SZ, malformed));
    ASSERT_TRUE(SetExactRaw(hData, L"MultiOk", REG_MULTI_SZ, wellFormed));
    ASSERT_TRUE(SetExactRaw(hData, L"Expand", REG_EXPAND_SZ, noZero));
    ::RegCloseKey(hData);
    std::wstring strKey = scratch.Path() + L"\\Data";
    RawValue stored;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, strKey, L"Multi", stored));
    ASSERT_EQ(malformed, stored.data) << "the value to test is planted as it is";

    std::wstring strFile = folder.File(L"out.reg");
    ASSERT_EQ(0u, ExportWithRegFile(strFile, L"HKEY_CURRENT_USER\\" + strKey));
    bool bBom = false;
    std::wstring strText = ReadRegText(strFile, bBom);
    EXPECT_NE(std::wstring::npos, strText.find(L"\"Multi\"=hex(7):61,00,00,00,62,00\r\n")) << "export";

    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(scratch.Key(), L"Data"));
    CRegFile import;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, import.ImportFile(strFile.c_str()));
    RawValue value;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, strKey, L"Multi", value));
    EXPECT_EQ(Hex(malformed), Hex(value.data));
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, strKey, L"MultiOk", value));
    EXPECT_EQ(Hex(wellFormed), Hex(value.data));
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, strKey, L"Expand", value));
    EXPECT_EQ(Hex(noZero), Hex(value.data));
}

// A refused line is shown as written: UTF-8 as UTF-8, UTF-16 as it is; a
// line past the end is empty and a long one is cut.
TEST(RegFileCheck, RefusedLinesReadAsTheirWriterWroteThem)
{
    ScratchFolder folder;
    std::wstring strName = L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\\x00dcn\x00efc\x00f6d\x00e9 \x65e5\x672c]";
    std::string utf8 = "REGEDIT4\r\n\r\n";
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, strName.c_str(), (int)strName.size(), NULL, 0, NULL, NULL);
    std::string name((size_t)nBytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, strName.c_str(), (int)strName.size(), &name[0], nBytes, NULL, NULL);
    std::wstring strUtf8 = folder.File(L"utf8.reg");
    ASSERT_TRUE(testsupport::WriteFileBytes(strUtf8, utf8 + name + "\r\n\"v\"=\"1\"\r\n"));
    EXPECT_STREQ(strName.c_str(), ReadRegFileLine(strUtf8.c_str(), 3));
    EXPECT_STREQ(L"\"v\"=\"1\"", ReadRegFileLine(strUtf8.c_str(), 4));
    EXPECT_STREQ(L"", ReadRegFileLine(strUtf8.c_str(), 9));

    std::wstring strUtf16 = folder.File(L"utf16.reg");
    std::wstring strLong(300, L'x');
    ASSERT_TRUE(WriteRegText(strUtf16, kHeader + strName + L"\r\n\"" + strLong + L"\"=\"1\"\r\n"));
    EXPECT_STREQ(L"Windows Registry Editor Version 5.00", ReadRegFileLine(strUtf16.c_str(), 1));
    EXPECT_STREQ(strName.c_str(), ReadRegFileLine(strUtf16.c_str(), 3));
    CString strCut = ReadRegFileLine(strUtf16.c_str(), 4);
    EXPECT_EQ(203, strCut.GetLength());
    EXPECT_EQ(0, strCut.Right(3).Compare(L"..."));
}

// Where a key line really writes: the Wow6432Node mirror is the 32-bit
// view's key; a key both views share is one key; the view of the file
// decides the rest.
TEST(RegFileCheck, KeyLinesResolveToTheKeyTheyReallyWrite)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    const std::wstring strOwnName = L"SOFTWARE\\TamselTargetTest";
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, strOwnName.c_str(), 0, NULL, 0,
                                               KEY_ALL_ACCESS | KEY_WOW64_32KEY, NULL, &hKey, NULL));
    ::RegCloseKey(hKey);

    RegKeyTarget mirror = ResolveRegKeyTarget(L"HKEY_LOCAL_MACHINE\\software\\wow6432node\\TamselTargetTest\\Sub", 0);
    EXPECT_STREQ(L"HKEY_LOCAL_MACHINE\\software\\TamselTargetTest\\Sub", mirror.m_strPath);
    EXPECT_EQ((REGSAM)KEY_WOW64_32KEY, mirror.m_samView);
    RegKeyTarget same = ResolveRegKeyTarget(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\TamselTargetTest\\Sub", KEY_WOW64_32KEY);
    EXPECT_STREQ(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\TamselTargetTest\\Sub", same.m_strPath);
    EXPECT_EQ((REGSAM)KEY_WOW64_32KEY, same.m_samView);
    RegKeyTarget own = ResolveRegKeyTarget(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\TamselTargetTest\\Sub", 0);
    EXPECT_EQ(OwnRegistryView(), own.m_samView);

    // SYSTEM and a user's software are the same key in both views.
    RegKeyTarget services =
        ResolveRegKeyTarget(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TamselNone", KEY_WOW64_32KEY);
    EXPECT_STREQ(L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TamselNone", services.m_strPath);
    EXPECT_EQ((REGSAM)0, services.m_samView);
    EXPECT_EQ((REGSAM)0, ResolveRegKeyTarget(L"HKEY_CURRENT_USER\\Software\\TamselNone", KEY_WOW64_32KEY).m_samView);
    // A root the file names wrongly stays as written.
    EXPECT_STREQ(L"HKEY_NOWHERE\\Wow6432Node\\X", ResolveRegKeyTarget(L"HKEY_NOWHERE\\Wow6432Node\\X", 0).m_strPath);

    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strOwnName.c_str(), KEY_WOW64_32KEY, 0);
}

// A file already in memory (a zip entry) is read exactly as the same bytes
// on disk: the same result, the same failed line, the same values, also
// where a value runs past one read chunk; and the import writes them.
TEST(RegFileCheck, BytesInMemoryReadAsTheirFile)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::string strKey = "HKEY_CURRENT_USER\\" + std::string(scratch.Path().begin(), scratch.Path().end());
    std::wstring strLong(70000, L'w');
    std::wstring utf16 = L"\xFEFF" + kHeader + L"[" + std::wstring(strKey.begin(), strKey.end()) + L"]\r\n\"long\"=\"" +
                         strLong + L"\"\r\n\"bad\"=hex:zz\r\n\"after\"=dword:2\r\n";
    std::string cases[] = {
        std::string((const char*)utf16.data(), utf16.size() * sizeof(wchar_t)),
        "REGEDIT4\r\n\r\n[" + strKey + "]\r\n\"caf\xE9\"=\"na\xEFve\"\r\n",
        "REGEDIT4\r\n\r\n[" + strKey + "]\r\n\"odd\"=\"x\"",
        std::string("\xFF"),
        std::string(),
    };
    typedef std::vector<std::pair<CString, Bytes>> Values;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        std::wstring file = folder.File(L"case" + std::to_wstring(i) + L".reg");
        testsupport::WriteFileBytes(file, cases[i]);
        Bytes bytes(cases[i].begin(), cases[i].end());
        Values fromFile, fromBytes;
        RegValueSink sinkFile = [&](const CString& strName, DWORD, const std::vector<BYTE>& data) {
            fromFile.push_back({strName, data});
        };
        RegValueSink sinkBytes = [&](const CString& strName, DWORD, const std::vector<BYTE>& data) {
            fromBytes.push_back({strName, data});
        };
        CRegFile first, second;
        int nFileLine = -1, nBytesLine = -1;
        DWORD dwFile = first.CheckFile(file.c_str(), ScratchRule(scratch), sinkFile, nFileLine);
        DWORD dwBytes = second.CheckBytes(bytes, ScratchRule(scratch), sinkBytes, nBytesLine);
        EXPECT_EQ(dwFile, dwBytes) << "case " << i;
        EXPECT_EQ(nFileLine, nBytesLine) << "case " << i;
        EXPECT_TRUE(fromFile == fromBytes) << "case " << i;
    }

    CRegFile regFile;
    Bytes first(cases[0].begin(), cases[0].end());
    EXPECT_EQ(regFile.ImportBytes(first), (DWORD)ERROR_INVALID_DATA);
    RawValue value;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, scratch.Path(), L"long", value));
    EXPECT_EQ(value, (RawValue{REG_SZ, TextBytes(strLong)}));
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, scratch.Path(), L"after", value));
    EXPECT_EQ(value, (RawValue{REG_DWORD, Bytes{2, 0, 0, 0}}));
}
