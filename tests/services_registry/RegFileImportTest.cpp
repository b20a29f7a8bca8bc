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

std::wstring KeyLine(const ScratchRegKey& scratch, const std::wstring& sub = L"")
{
    return L"[HKEY_CURRENT_USER\\" + scratch.Path() + (sub.empty() ? L"" : L"\\" + sub) + L"]\r\n";
}

DWORD ImportText(const ScratchFolder& folder, const std::wstring& text)
{
    std::wstring file = folder.File(L"in.reg");
    WriteRegText(file, text);
    CRegFile regFile;
    return regFile.ImportFile(file.c_str());
}

DWORD ImportBytes(const ScratchFolder& folder, const std::string& bytes)
{
    std::wstring file = folder.File(L"in.reg");
    testsupport::WriteFileBytes(file, bytes);
    CRegFile regFile;
    return regFile.ImportFile(file.c_str());
}

RawValue Get(const ScratchRegKey& scratch, const std::wstring& name, const std::wstring& sub = L"")
{
    RawValue value;
    value.dwType = 0xFFFF;
    GetRaw(HKEY_CURRENT_USER, sub.empty() ? scratch.Path() : scratch.Path() + L"\\" + sub, name, value);
    return value;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

} // namespace

TEST(RegFileImport, StoresEveryKindOfDataLine)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring text = kHeader + KeyLine(scratch, L"New")
        + L"@=\"default\"\r\n"
          L"\"quoted\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
          L"\"d1\"=dword:f\r\n"
          L"\"d8\"=dword:  7fffffff ; comment\r\n"
          L"\"bin\"=hex:1,02,A,ff\r\n"
          L"\"wrapped\"=hex(7):61,00,00,\\ ; continued\r\n"
          L"    00,00,00\r\n"
          L"\"typed\"=hex(4):01,02,03,04,05,06,07,08\r\n"
          L"\"empty\"=hex:\r\n"
          L"; a comment line\r\n"
          L"\t\"blank\" = \"spaced\"\r\n";
    EXPECT_EQ(ImportText(folder, text), 0u);
    EXPECT_EQ(Get(scratch, L"", L"New"), (RawValue{ REG_SZ, TextBytes(L"default") }));
    EXPECT_EQ(Get(scratch, L"quoted", L"New"), (RawValue{ REG_SZ, TextBytes(L"say \"hi\" C:\\dir") }));
    EXPECT_EQ(Get(scratch, L"d1", L"New"), (RawValue{ REG_DWORD, Bytes{ 15, 0, 0, 0 } }));
    EXPECT_EQ(Get(scratch, L"d8", L"New"), (RawValue{ REG_DWORD, Bytes{ 0xff, 0xff, 0xff, 0x7f } }));
    EXPECT_EQ(Get(scratch, L"bin", L"New"), (RawValue{ REG_BINARY, Bytes{ 1, 2, 10, 255 } }));
    EXPECT_EQ(Get(scratch, L"wrapped", L"New"), (RawValue{ REG_MULTI_SZ, Bytes{ 0x61, 0, 0, 0, 0, 0 } }));
    EXPECT_EQ(Get(scratch, L"typed", L"New"), (RawValue{ REG_DWORD, Bytes{ 1, 2, 3, 4, 5, 6, 7, 8 } }));
    EXPECT_EQ(Get(scratch, L"empty", L"New"), (RawValue{ REG_BINARY, Bytes() }));
    EXPECT_EQ(Get(scratch, L"blank", L"New"), (RawValue{ REG_SZ, TextBytes(L"spaced") }));
}

// Each malformed line is skipped and the rest applied; the result says so.
TEST(RegFileImport, MalformedLinesAreSkippedAndReported)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    const wchar_t* badLines[] = {
        L"\"nodigit\"=dword:",
        L"\"ninedigits\"=dword:123456789",
        L"\"escape\"=\"a\\nb\"",
        L"\"unclosed\"=\"abc",
        L"\"trailing\"=\"abc\" x",
        L"\"noequals\" \"abc\"",
        L"\"badtype\"=hex(zz):00",
        L"\"word\"=word:1",
        L"garbage line",
    };
    for (const wchar_t* pszLine : badLines)
    {
        std::wstring text = kHeader + KeyLine(scratch) + L"\"before\"=\"1\"\r\n" + pszLine + L"\r\n\"after\"=\"2\"\r\n";
        EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_INVALID_DATA) << pszLine;
        EXPECT_EQ(Get(scratch, L"after"), (RawValue{ REG_SZ, TextBytes(L"2") })) << pszLine;
        RegDeleteValueW(scratch.Key(), L"after");
    }
    // None of the bad lines stored anything.
    DWORD dwValues = 0;
    RegQueryInfoKeyW(scratch.Key(), NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL);
    EXPECT_EQ(dwValues, 1u);
}

TEST(RegFileImport, DeletesKeysAndValues)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    HKEY hTree = CreateKey(scratch.Key(), L"Tree\\A\\B");
    SetText(hTree, L"v", L"x");
    RegCloseKey(hTree);
    RegCloseKey(CreateKey(scratch.Key(), L"Tree\\C"));
    SetText(scratch.Key(), L"gone", L"x");
    SetText(scratch.Key(), L"", L"x");

    std::wstring text = kHeader + L"[-HKEY_CURRENT_USER\\" + scratch.Path() + L"\\Tree]\r\n\r\n"
        + KeyLine(scratch) + L"\"gone\"=-\r\n@=-\r\n\"never there\"=-\r\n"
        + L"[-HKEY_CURRENT_USER\\" + scratch.Path() + L"\\NeverThere]\r\n";
    EXPECT_EQ(ImportText(folder, text), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Tree"));
    EXPECT_EQ(Get(scratch, L"gone").dwType, 0xFFFFu);
    EXPECT_EQ(Get(scratch, L"").dwType, 0xFFFFu);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path()));
}

// A whole root is never deleted, however the line spells it. Tried only on
// a root that holds nothing, should the refusal ever fail.
TEST(RegFileImport, RefusesToDeleteABareRoot)
{
    ScratchFolder folder;
    for (const wchar_t* pszLine : { L"[-HKEY_DYN_DATA]", L"[-hkey_dyn_data\\]", L"[-HKEY_DYN_DATA\\\\]" })
    {
        std::wstring text = kHeader + pszLine + L"\r\n";
        EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_ACCESS_DENIED) << pszLine;
    }
    HKEY hKey = NULL;
    CString strPath = L"hkey_dyn_data\\";
    EXPECT_EQ(CRegFile::OpenKeyByPath(&hKey, strPath, RegKeyPathDelete), ERROR_ACCESS_DENIED);
    EXPECT_EQ(strPath, CString(L"HKEY_DYN_DATA\\"));
    EXPECT_EQ(hKey, (HKEY)NULL);
}

// A leading, doubled or trailing separator makes no key name: such a line is
// refused on both paths, never trimmed into a key above the one written.
TEST(RegFileImport, RefusesKeyLinesWithStraySeparators)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    RegCloseKey(CreateKey(scratch.Key(), L"Victim\\Child"));
    const std::wstring strPath = scratch.Path();
    for (const std::wstring& strLine : { L"[-HKEY_CURRENT_USER\\\\" + strPath + L"\\Victim]",
                                         L"[-HKEY_CURRENT_USER\\" + strPath + L"\\Victim\\]",
                                         L"[-HKEY_CURRENT_USER\\" + strPath + L"\\\\Victim]",
                                         L"[HKEY_CURRENT_USER\\\\" + strPath + L"\\Made]",
                                         L"[HKEY_CURRENT_USER\\" + strPath + L"\\\\Made]",
                                         L"[HKEY_CURRENT_USER\\" + strPath + L"\\Made\\]" })
    {
        std::wstring text = kHeader + strLine + L"\r\n\"v\"=\"x\"\r\n";
        EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_BADKEY) << strLine;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, strPath + L"\\Victim\\Child")) << strLine;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, strPath + L"\\Made")) << strLine;
    }
    HKEY hKey = NULL;
    CString strKey = L"HKEY_CURRENT_USER\\\\Software";
    EXPECT_EQ(CRegFile::OpenKeyByPath(&hKey, strKey, RegKeyPathDelete), ERROR_BADKEY);
    EXPECT_EQ(hKey, (HKEY)NULL);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software"));
}

TEST(RegFileImport, ValuesWithoutAUsableKeyAreSkipped)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    // No "]": the key line is ignored and its values are skipped.
    std::wstring text = kHeader + L"[HKEY_CURRENT_USER\\" + scratch.Path() + L"\\NoBracket\r\n\"v\"=\"x\"\r\n";
    EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_INVALID_DATA);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\NoBracket"));

    // Nothing is stored in the root of HKEY_LOCAL_MACHINE.
    text = std::wstring(kHeader) + L"[HKEY_LOCAL_MACHINE]\r\n\"TamselProbe\"=\"x\"\r\n";
    EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_CANTOPEN);
    RawValue value;
    EXPECT_FALSE(GetRaw(HKEY_LOCAL_MACHINE, L"", L"TamselProbe", value));

    text = std::wstring(kHeader) + L"[HKEY_NOWHERE\\x]\r\n\"v\"=\"x\"\r\n";
    EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_BADKEY);

    // Text after the last "]" is ignored.
    text = kHeader + L"[HKEY_CURRENT_USER\\" + scratch.Path() + L"\\Trail] trailing\r\n\"v\"=\"x\"\r\n";
    EXPECT_EQ(ImportText(folder, text), 0u);
    EXPECT_EQ(Get(scratch, L"v", L"Trail"), (RawValue{ REG_SZ, TextBytes(L"x") }));
}

TEST(RegFileImport, HeadersDecideWhatIsRead)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring body = KeyLine(scratch, L"K") + L"\"v\"=\"x\"\r\n";
    EXPECT_EQ(ImportText(folder, std::wstring(L"Windows Registry Editor Version 4.00\r\n\r\n") + body), (DWORD)ERROR_BAD_FORMAT);
    EXPECT_EQ(ImportText(folder, L"Windows Registry Editor Version 5.0\r\n\r\n" + body), (DWORD)ERROR_BAD_FORMAT);
    EXPECT_EQ(ImportText(folder, L"REGEDIT5\r\n\r\n" + body), (DWORD)ERROR_BAD_FORMAT);
    EXPECT_EQ(ImportText(folder, L"Something else\r\n" + body), (DWORD)ERROR_BAD_FORMAT);
    EXPECT_EQ(ImportText(folder, L""), (DWORD)ERROR_BAD_FORMAT);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\K"));

    EXPECT_EQ(ImportText(folder, L"  Windows Registry Editor Version   5.00  \r\n" + body), 0u);
    EXPECT_EQ(Get(scratch, L"v", L"K"), (RawValue{ REG_SZ, TextBytes(L"x") }));
    EXPECT_EQ(ImportText(folder, L"REGEDIT4\r\n\r\n" + KeyLine(scratch, L"K4") + L"\"v\"=\"y\"\r\n"), 0u);
    EXPECT_EQ(Get(scratch, L"v", L"K4"), (RawValue{ REG_SZ, TextBytes(L"y") }));
}

// "REGEDIT4" files without byte-order mark are ANSI; their expandable and
// multi-string data are ANSI bytes too.
TEST(RegFileImport, Regedit4InTheAnsiCodePage)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::string bytes = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + Narrow(scratch.Path()) + "]\r\n"
                        "\"caf\xE9\"=\"na\xEFve\"\r\n"
                        "\"exp\"=hex(2):25,54,45,4d,50,25,00\r\n";
    EXPECT_EQ(ImportBytes(folder, bytes), 0u);

    wchar_t szCodePage[8] = {};
    GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, szCodePage, 8);
    UINT nCodePage = (UINT)_wtoi(szCodePage);
    wchar_t szName[8] = {}, szText[8] = {};
    MultiByteToWideChar(nCodePage, 0, "caf\xE9", -1, szName, 8);
    MultiByteToWideChar(nCodePage, 0, "na\xEFve", -1, szText, 8);
    EXPECT_EQ(Get(scratch, szName), (RawValue{ REG_SZ, TextBytes(szText) }));
    EXPECT_EQ(Get(scratch, L"exp"), (RawValue{ REG_EXPAND_SZ, TextBytes(L"%TEMP%") }));
}

// Value names are not limited to a fixed buffer; texts beyond 16 KB too.
TEST(RegFileImport, LongNamesAndTexts)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring longName(5000, L'n');
    std::wstring longText(30000, L't');
    std::wstring tooLong(16384, L'x');
    std::wstring text = kHeader + KeyLine(scratch) + L"\"" + longName + L"\"=\"" + longText + L"\"\r\n"
                        + L"\"" + tooLong + L"\"=\"x\"\r\n\"after\"=dword:1\r\n";
    EXPECT_EQ(ImportText(folder, text), (DWORD)ERROR_INVALID_DATA);
    EXPECT_EQ(Get(scratch, longName), (RawValue{ REG_SZ, TextBytes(longText) }));
    EXPECT_EQ(Get(scratch, L"after"), (RawValue{ REG_DWORD, Bytes{ 1, 0, 0, 0 } }));
}

// A double-byte character that straddles two read chunks is still one
// character.
TEST(RegFileImport, AnsiChunksNeverSplitADoubleByteCharacter)
{
    LCID lcidOld = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT));
    wchar_t szCodePage[8] = {};
    GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, szCodePage, 8);
    if (_wtoi(szCodePage) != 932 || !IsValidCodePage(932))
    {
        SetThreadLocale(lcidOld);
        GTEST_SKIP() << "the Japanese code page is not available";
    }

    ScratchRegKey scratch;
    ScratchFolder folder;
    // One line far longer than a chunk, with no line feed to cut at.
    std::string prefix = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + Narrow(scratch.Path()) + "]\r\n\"v\"=\"";
    if ((65536 - prefix.size()) % 2 == 0)
        prefix += "a";
    std::string bytes = prefix;
    for (int i = 0; i < 40000; ++i)
        bytes += "\x82\xA0";  // HIRAGANA LETTER A
    bytes += "\"\r\n";
    ASSERT_EQ((65536 - prefix.size()) % 2, 1u);

    DWORD dwResult = ImportBytes(folder, bytes);
    SetThreadLocale(lcidOld);
    EXPECT_EQ(dwResult, 0u);
    std::wstring expected = prefix.back() == 'a' ? L"a" : L"";
    expected += std::wstring(40000, L'\x3042');
    RawValue value = Get(scratch, L"v");
    EXPECT_EQ(value.dwType, (DWORD)REG_SZ);
    EXPECT_TRUE(value.data == TextBytes(expected)) << "the text came back changed";
}

TEST(RegFileImport, OldRegeditFormatSetsClassDefaults)
{
    ScratchFolder folder;
    std::wstring text = L"REGEDIT\r\n"
                        L"HKEY_CLASSES_ROOT\\.tamseltest = tamselfile\r\n"
                        L"\\.classes\\.tamseltest\\sub =second\r\n";
    EXPECT_EQ(ImportText(folder, text), 0u);
    RawValue value;
    EXPECT_TRUE(GetRaw(HKEY_CLASSES_ROOT, L".tamseltest", L"", value));
    EXPECT_EQ(value, (RawValue{ REG_SZ, TextBytes(L"tamselfile") }));
    EXPECT_TRUE(GetRaw(HKEY_CLASSES_ROOT, L".tamseltest\\sub", L"", value));
    EXPECT_EQ(value, (RawValue{ REG_SZ, TextBytes(L"second") }));
    SHDeleteKeyW(HKEY_CLASSES_ROOT, L".tamseltest");
}

namespace {
// Debugger output reaches a vectored handler as an exception when no debugger
// is attached.
std::string g_strDebugOutput;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* pInfo)
{
    const EXCEPTION_RECORD* pRecord = pInfo->ExceptionRecord;
    if (pRecord->ExceptionCode == DBG_PRINTEXCEPTION_C && pRecord->NumberParameters >= 2)
        g_strDebugOutput += reinterpret_cast<const char*>(pRecord->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}
} // namespace

TEST(RegFileImport, MissingFileIsAFailure)
{
    ScratchFolder folder;
    g_strDebugOutput.clear();
    PVOID pHandler = AddVectoredExceptionHandler(1, CatchDebugOutput);
    CRegFile regFile;
    DWORD dwResult = regFile.ImportFile(folder.File(L"nothing.reg").c_str());
    RemoveVectoredExceptionHandler(pHandler);
    EXPECT_EQ(dwResult, (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(g_strDebugOutput, "REGEDIT:  CreateFile failed, GetLastError() = 2\n");
}

// A key line through the Wow6432Node mirror writes the 32-bit view's key in
// every view it is imported in, a new subtree as well (a 32-bit process under
// Wine once made it one Wow6432Node too deep); a deletion through the mirror
// removes that key. The 64-bit view keeps nothing of it.
TEST(RegFileImport, MirrorKeyLinesWriteThe32BitViewsKeyInEveryView)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    ScratchFolder folder;
    const std::wstring strName = L"TamselMirrorImport" + std::to_wstring(GetCurrentProcessId());
    const std::wstring strKey = L"SOFTWARE\\" + strName + L"\\New\\Deeper";
    auto opens = [](const std::wstring& strPath, REGSAM samView) {
        HKEY hKey = NULL;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, KEY_READ | samView, &hKey) != ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
        return true;
    };
    for (REGSAM samView : {(REGSAM)0, (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY})
    {
        std::wstring file = folder.File(L"mirror.reg");
        WriteRegText(file, kHeader + L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + strName +
                               L"\\New\\Deeper]\r\n\"v\"=\"1\"\r\n");
        CRegFile regFile;
        EXPECT_EQ(regFile.ImportFile(file.c_str(), samView), 0u) << samView;
        EXPECT_TRUE(opens(strKey, KEY_WOW64_32KEY)) << samView;
        EXPECT_FALSE(opens(strKey, KEY_WOW64_64KEY)) << samView;
        EXPECT_FALSE(opens(L"SOFTWARE\\Wow6432Node\\Wow6432Node\\" + strName, KEY_WOW64_64KEY)) << samView;

        WriteRegText(file, kHeader + L"[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\" + strName + L"]\r\n");
        EXPECT_EQ(regFile.ImportFile(file.c_str(), samView), 0u) << samView;
        EXPECT_FALSE(opens(L"SOFTWARE\\" + strName, KEY_WOW64_32KEY)) << samView;
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Wow6432Node\\Wow6432Node\\" + strName + L"\\New\\Deeper").c_str(),
                        KEY_WOW64_64KEY, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Wow6432Node\\Wow6432Node\\" + strName + L"\\New").c_str(),
                        KEY_WOW64_64KEY, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Wow6432Node\\Wow6432Node\\" + strName).c_str(), KEY_WOW64_64KEY, 0);
    }
}
