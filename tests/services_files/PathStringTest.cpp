#include "services/PathString.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

namespace {

CString WindowsFolder()
{
    WCHAR szFolder[MAX_PATH] = {};
    GetWindowsDirectoryW(szFolder, MAX_PATH);
    return CString(szFolder);
}

} // namespace

TEST(CPathString, StandardCleaningOnAssignment)
{
    CPathString path(L"  \"C:\\Program Files\\App\\app.exe\"  ");
    EXPECT_STREQ(L"C:\\Program Files\\App\\app.exe", path);

    path = L"\" C:\\Spaced\\in quotes.txt \"";
    EXPECT_STREQ(L"C:\\Spaced\\in quotes.txt", path);

    path = L"%SystemRoot%\\system32\\..\\notepad.exe";
    EXPECT_STREQ(WindowsFolder() + L"\\notepad.exe", path);

    path = L"\\\\?\\C:\\Temp\\x.txt";
    EXPECT_STREQ(L"C:\\Temp\\x.txt", path);
    path = L"\\\\?\\UNC\\server\\share\\f.txt";
    EXPECT_STREQ(L"\\\\server\\share\\f.txt", path);
    path = L"\\\\?\\unc\\server\\share";
    EXPECT_STREQ(L"\\\\server\\share", path);
    path = L"\\\\?\\Volume{x}\\a";
    EXPECT_STREQ(L"\\\\?\\Volume{x}\\a", path); // not a drive or UNC prefix

    // Arguments are not part of the standard cleaning.
    path = L"C:\\App\\app.exe /s";
    EXPECT_STREQ(L"C:\\App\\app.exe /s", path);

    // Plain CString assignment and conversion back.
    CString strText = L" C:\\a.txt ";
    path = strText;
    CString strBack(path);
    EXPECT_STREQ(L"C:\\a.txt", strBack);
}

TEST(CPathString, EdgeInputsStaySafe)
{
    CPathString empty(L"", 0x3FF);
    EXPECT_STREQ(L"", empty);
    EXPECT_STREQ(L"", CPathString(nullptr));

    // A lone quote is no enclosing pair.
    EXPECT_STREQ(L"\"", CPathString(L"\""));
    EXPECT_STREQ(L"", CPathString(L"\"\""));

    // Assigning the path's own text changes nothing.
    CPathString self(L"C:\\x\\y.txt");
    self = (LPCWSTR)self;
    EXPECT_STREQ(L"C:\\x\\y.txt", self);

    // Longer than the shell's canonicaliser takes: kept, not overrun.
    std::wstring strLong = L"C:\\" + std::wstring(400, L'a') + L"\\.\\b";
    CPathString longPath(strLong.c_str());
    EXPECT_EQ((int)strLong.size(), longPath.GetLength());

    // An expansion far longer than the text grows its buffer.
    std::wstring strValue = L"C:\\" + std::wstring(3000, L'v');
    ASSERT_TRUE(SetEnvironmentVariableW(L"TAMSEL_LONG_FOLDER", strValue.c_str()));
    CPathString expanded(L"%TAMSEL_LONG_FOLDER%\\f.txt");
    EXPECT_EQ(strValue + L"\\f.txt", std::wstring(expanded));
    SetEnvironmentVariableW(L"TAMSEL_LONG_FOLDER", nullptr);

    // An unknown variable stays as written.
    EXPECT_STREQ(L"%TAMSEL_NOT_SET%\\x", CPathString(L"%TAMSEL_NOT_SET%\\x"));
}

TEST(CPathString, ExplicitFlags)
{
    EXPECT_STREQ(L"C:\\App\\app.exe", CPathString(L"  C:\\App\\app.exe /s", 0x81));
    EXPECT_STREQ(L"C:\\Win\\shell32.dll", CPathString(L"C:\\Win\\shell32.dll,-21", 0x100));
    EXPECT_STREQ(L"C:\\a\\b\\c", CPathString(L"C:/a/b/c", 0x20));
    // Wine keeps the drive letter as it was.
    EXPECT_STREQ(L":\\windows\\notepad.exe", CPathString(L"C:\\WINDOWS\\NOTEPAD.EXE", 0x40).GetString().Mid(1));
    EXPECT_STREQ(L"C:\\Mixed\\Case", CPathString(L"C:\\Mixed\\Case", 0x40));
    // Trim without unquote leaves the quotes; canonicalise only on "\.".
    EXPECT_STREQ(L"\"C:\\x\"", CPathString(L"  \"C:\\x\"  ", 0x01));
    EXPECT_STREQ(L"C:\\a\\b", CPathString(L"C:\\a\\b", 0x08));
    EXPECT_STREQ(L"C:\\b", CPathString(L"C:\\a\\..\\b", 0x08));
}

TEST(CPathString, NameTitleAndDirectory)
{
    EXPECT_STREQ(L"", CPathString(L"C:\\Temp\\").GetFileName());
    EXPECT_STREQ(L"a.b.txt", CPathString(L"C:\\Temp\\a.b.txt").GetFileName());
    EXPECT_STREQ(L"a.b", CPathString(L"C:\\Temp\\a.b.txt").GetFileTitle());
    EXPECT_STREQ(L"noext", CPathString(L"C:\\Temp\\noext").GetFileTitle());
    EXPECT_STREQ(L"", CPathString(L"C:\\Temp\\").GetFileTitle());
    EXPECT_STREQ(L"file.txt", CPathString(L"file.txt").GetFileName());

    CPathString path(L"C:\\Temp\\a.txt");
    EXPECT_STREQ(L"C:\\Temp\\", path.GetDirectory(TRUE));
    EXPECT_STREQ(L"Temp\\", path.GetDirectory(FALSE));
    EXPECT_STREQ(L"C:\\Temp\\", CPathString(L"C:\\Temp\\").GetDirectory(TRUE));
    EXPECT_STREQ(L"rel\\dir\\", CPathString(L"rel\\dir\\x.txt").GetDirectory(FALSE));
    EXPECT_STREQ(L"C:\\", CPathString(L"C:\\boot.ini").GetDirectory(TRUE));
    EXPECT_STREQ(L"", CPathString(L"C:\\boot.ini").GetDirectory(FALSE));
    EXPECT_STREQ(L"\\\\srv\\share\\", CPathString(L"\\\\srv\\share\\f.txt").GetDirectory(TRUE));
    EXPECT_STREQ(L"", CPathString().GetDirectory(TRUE));
}

TEST(CPathString, AddExtensionOnlyWhenMissing)
{
    CPathString tool(L"C:\\App\\tool");
    tool.AddExtension(L"exe");
    EXPECT_STREQ(L"C:\\App\\tool.exe", tool);
    CPathString com(L"C:\\App\\tool.com");
    com.AddExtension(L".exe");
    EXPECT_STREQ(L"C:\\App\\tool.com", com);
    CPathString cut(L"C:\\App\\x");
    cut.AddExtension(L".exe", 3);
    EXPECT_STREQ(L"C:\\App\\x.ex", cut);
    CPathString none(L"C:\\App\\y");
    none.AddExtension(nullptr);
    EXPECT_STREQ(L"C:\\App\\y", none);
    CPathString dotted(L"C:\\My.Dir\\run");
    dotted.AddExtension(L"exe");
    EXPECT_STREQ(L"C:\\My.Dir\\run.exe", dotted);
}

TEST(CPathString, ArgumentsRootsAndFileNames)
{
    CPathString command(L"C:\\App\\app.exe /s -x", 0);
    CString strArguments = command.SplitArguments();
    EXPECT_STREQ(L"C:\\App\\app.exe", command);
    EXPECT_STREQ(L"/s -x", strArguments);

    CString strRest;
    EXPECT_STREQ(L"C:\\", CPathString(L"C:\\a\\b").SplitRoot(strRest));
    EXPECT_STREQ(L"a\\b", strRest);
    EXPECT_STREQ(L"\\\\srv\\share", CPathString(L"\\\\srv\\share\\f").SplitRoot(strRest));
    EXPECT_STREQ(L"f", strRest);
    EXPECT_EQ(CPathString::ROOT_URL, CPathString(L"http://host/x", 0).GetRootType());
    EXPECT_EQ(CPathString::ROOT_SCHEME, CPathString(L"mailto:a@b", 0).GetRootType());
    EXPECT_EQ(CPathString::ROOT_NONE, CPathString(L"rel\\x").GetRootType());
    CPathString prefixed(L"\\\\?\\C:\\x", 0);
    EXPECT_EQ(CPathString::ROOT_DRIVE_BACKSLASH, prefixed.GetRootType());
    EXPECT_STREQ(L"\\\\?\\C:\\", prefixed.SplitRoot(strRest));

    CPathString name(L"a<b>:c?.txt", 0);
    EXPECT_FALSE(name.IsValidFileName());
    EXPECT_EQ(4, name.ReplaceInvalidFileNameChars(L'_'));
    EXPECT_STREQ(L"a_b__c_.txt", name);
    EXPECT_TRUE(name.IsValidFileName());
    EXPECT_FALSE(CPathString(L"ends.", 0).IsValidFileName());
    EXPECT_TRUE(CPathString(L"..", 0).IsValidFileName());
    EXPECT_FALSE(CPathString(L"", 0).IsValidFileName());
}

TEST(CPathString, EnvironmentFoldersAndRegistry)
{
    CString strSystem = WindowsFolder() + L"\\system32\\drivers";
    CPathString path(strSystem);
    EXPECT_TRUE(path.ReplaceKnownEnvironmentFolder());
    EXPECT_STREQ(L"%SystemRoot%\\system32\\drivers", path);
    CPathString other(L"Q:\\nowhere", 0);
    EXPECT_FALSE(other.ReplaceKnownEnvironmentFolder());

    testsupport::ScratchRegKey key;
    CPathString plain(L"Q:\\Data\\file.txt");
    EXPECT_TRUE(plain.WriteToRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Plain"));
    CPathString expand(strSystem);
    EXPECT_TRUE(expand.WriteToRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Expand", TRUE));
    DWORD dwType = 0;
    RegQueryValueExW(key.Key(), L"Expand", nullptr, &dwType, nullptr, nullptr);
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, dwType);

    CPathString read;
    EXPECT_TRUE(read.ReadFromRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Plain"));
    EXPECT_STREQ(L"Q:\\Data\\file.txt", read);
    EXPECT_TRUE(read.ReadFromRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Expand"));
    EXPECT_STREQ(L"%SystemRoot%\\system32\\drivers", read);

    // A long value grows the buffer; a number is no path; a missing value leaves the error set.
    std::wstring strLong = L"C:\\" + std::wstring(1000, L'l');
    RegSetValueExW(key.Key(), L"Long", 0, REG_SZ, (const BYTE*)strLong.c_str(), (DWORD)(strLong.size() + 1) * 2);
    EXPECT_TRUE(read.ReadFromRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Long"));
    EXPECT_EQ(strLong, std::wstring(read));
    DWORD dwNumber = 5;
    RegSetValueExW(key.Key(), L"Number", 0, REG_DWORD, (const BYTE*)&dwNumber, 4);
    EXPECT_FALSE(read.ReadFromRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Number"));
    EXPECT_STREQ(L"", read);
    EXPECT_FALSE(read.ReadFromRegistry(HKEY_CURRENT_USER, key.Path().c_str(), L"Missing"));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
}
