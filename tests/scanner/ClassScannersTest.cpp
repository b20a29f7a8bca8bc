#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace scantest;

namespace {
std::wstring Tag(const wchar_t* pszName)
{
    return std::wstring(pszName) + NewGuid().substr(1, 8);
}

// A class identifier that HKEY_CLASSES_ROOT\CLSID holds.
std::wstring KnownClsid(ClassesKeys& keys)
{
    std::wstring strClsid = NewGuid();
    keys.Create(L"CLSID\\" + strClsid);
    return strClsid;
}
}  // namespace

TEST(FileAssociations, ContextMenuHandlersByDefaultValueOrByName)
{
    ClassesKeys keys;
    std::wstring strKnown = KnownClsid(keys);
    const std::wstring strBase = L"*\\shellex\\ContextMenuHandlers\\";
    std::wstring strNoValues = Tag(L"NoValues"), strKnownDefault = Tag(L"KnownDefault"),
                 strUnknownDefault = Tag(L"UnknownDefault"), strPlain = Tag(L"Plain"), strEmpty = Tag(L"Empty"),
                 strNamedOnly = Tag(L"NamedOnly");
    ASSERT_TRUE(keys.Create(strBase + strNoValues));
    ASSERT_TRUE(keys.SetString(strBase + strKnownDefault, L"", LowerCase(strKnown)));
    ASSERT_TRUE(keys.SetString(strBase + strUnknownDefault, L"", NewGuid()));
    ASSERT_TRUE(keys.SetString(strBase + strPlain, L"", L"Some handler"));
    ASSERT_TRUE(keys.SetString(strBase + strEmpty, L"", L""));
    ASSERT_TRUE(keys.SetString(strBase + strNamedOnly, L"Flags", L"1"));
    // Keys named by their class: valid when that class is registered.
    std::wstring strUnknownName = NewGuid();
    ASSERT_TRUE(keys.Create(strBase + strKnown));
    ASSERT_TRUE(keys.SetString(strBase + strKnown, L"", L"Shell extension"));
    ASSERT_TRUE(keys.Create(strBase + strUnknownName));
    HeadlessScan run;
    run.Only({9});
    run.Run();
    EXPECT_EQ(run.RowsWith(strNoValues).size(), 1u);
    EXPECT_EQ(run.RowsWith(strKnownDefault).size(), 0u);
    EXPECT_EQ(run.RowsWith(strUnknownDefault).size(), 1u);
    EXPECT_EQ(run.RowsWith(strPlain).size(), 0u);
    EXPECT_EQ(run.RowsWith(strEmpty).size(), 1u);
    EXPECT_EQ(run.RowsWith(strNamedOnly).size(), 0u);
    EXPECT_EQ(run.RowsWith(strBase + strKnown).size(), 0u);
    EXPECT_EQ(run.RowsWith(strUnknownName).size(), 1u);
}

TEST(FileAssociations, ShellVerbsAndCommands)
{
    ClassesKeys keys;
    testsupport::ScratchFolder folder;
    std::wstring strTools = folder.Path() + L"My -Tools";
    ASSERT_TRUE(::CreateDirectoryW(strTools.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strTools + L"\\s.exe", "MZ"));
    std::wstring strNoVerbs = Tag(L"TamselNoVerbs"), strTwoBad = Tag(L"TamselTwoBad"), strOneGood = Tag(L"TamselOneGood"),
                 strMissing = Tag(L"TamselMissing"), strHandler = Tag(L"TamselHandler"), strPlaceholder = Tag(L"TamselPlaceholder"),
                 strDashInQuotes = Tag(L"TamselDash"), strEmptyCommand = Tag(L"TamselEmptyCommand");
    ASSERT_TRUE(keys.Create(strNoVerbs + L"\\shell"));
    ASSERT_TRUE(keys.Create(strTwoBad + L"\\Shell\\open"));
    ASSERT_TRUE(keys.Create(strTwoBad + L"\\Shell\\print"));
    ASSERT_TRUE(keys.Create(strOneGood + L"\\shell\\broken"));
    ASSERT_TRUE(keys.SetString(strOneGood + L"\\shell\\open\\command", L"", L"notepad.exe \"%1\""));
    ASSERT_TRUE(keys.SetString(strMissing + L"\\shell\\open\\command", L"", L"\"C:\\tamsel gone\\x.exe\" \"%1\""));
    // Verbs the shell runs through a handler, without a command.
    ASSERT_TRUE(keys.SetString(strHandler + L"\\shell\\open", L"ExplorerCommandHandler", NewGuid()));
    ASSERT_TRUE(keys.SetString(strHandler + L"\\shell\\play", L"DelegateExecute", NewGuid()));
    ASSERT_TRUE(keys.Create(strHandler + L"\\shell\\drop\\DropTarget"));
    ASSERT_TRUE(keys.SetString(strPlaceholder + L"\\shell\\open\\command", L"", L"\"%1\" %*"));
    ASSERT_TRUE(keys.SetString(strDashInQuotes + L"\\shell\\open\\command", L"", L"\"" + strTools + L"\\s.exe\" -o \"%1\""));
    ASSERT_TRUE(keys.Create(strEmptyCommand + L"\\shell\\open\\command"));
    HeadlessScan run;
    run.Only({9});
    run.Run();
    EXPECT_EQ(run.RowsWith(strNoVerbs + L"\\shell<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strTwoBad + L"\\Shell\\open<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strTwoBad + L"\\Shell\\print<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strTwoBad + L"\\Shell<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strOneGood + L"\\shell\\broken<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strOneGood).size(), 1u);
    // The command and its verb, which holds nothing else; the shell key too, its only verb being bad.
    EXPECT_EQ(run.RowsWith(strMissing + L"\\shell\\open\\command<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strMissing + L"\\shell\\open<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strHandler).size(), 0u);
    EXPECT_EQ(run.RowsWith(strPlaceholder).size(), 0u);
    EXPECT_EQ(run.RowsWith(strDashInQuotes).size(), 0u);
    EXPECT_EQ(run.RowsWith(strEmptyCommand + L"\\shell\\open\\command<").size(), 1u);
}

TEST(FileAssociations, ReferencesInClassKeys)
{
    ClassesKeys keys;
    ClassesKeys machine(HKEY_LOCAL_MACHINE);
    std::wstring strKnown = KnownClsid(keys);
    std::wstring strRegisteredApp = Tag(L"tamselapp") + L".exe", strRegisteredGone = Tag(L"tamselgoneapp") + L".exe";
    wchar_t szNotepad[MAX_PATH];
    ::GetWindowsDirectoryW(szNotepad, MAX_PATH);
    ASSERT_TRUE(machine.SetString(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + strRegisteredApp, L"",
                                  std::wstring(szNotepad) + L"\\notepad.exe"));
    ASSERT_TRUE(machine.SetString(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + strRegisteredGone, L"",
                                  L"C:\\tamsel\\gone.exe"));
    std::wstring strClass = Tag(L"TamselClass");
    struct Case
    {
        const wchar_t* pszName;
        std::wstring strKey;
        std::wstring strValue;
        std::wstring strData;
        DWORD dwType;
        size_t nRows;
    };
    std::vector<Case> cases = {
        {L"icon present", L"IconPresent\\DefaultIcon", L"", L"%SystemRoot%\\system32\\shell32.dll,3", REG_EXPAND_SZ, 0},
        {L"icon unknown variable", L"IconVariable\\DefaultIcon", L"", L"%TAMSEL_UNSET%\\x.ico", REG_SZ, 0},
        {L"icon missing", L"IconMissing\\DefaultIcon", L"", L"C:\\tamsel\\gone.ico,0", REG_SZ, 1},
        {L"clsid known", L"ClsidKnown\\CLSID", L"", LowerCase(strKnown), REG_SZ, 0},
        {L"clsid unknown", L"ClsidUnknown\\CLSID", L"", NewGuid(), REG_SZ, 1},
        {L"curver dot-less", L"CurVerDotless\\CurVer", L"", L"txtfile", REG_SZ, 0},
        {L"curver unknown", L"CurVerUnknown\\CurVer", L"", L"Tamsel.NoSuch.1", REG_SZ, 1},
        {L"curver empty", L"CurVerEmpty\\CurVer", L"", L"", REG_SZ, 1},
        {L"persistent expandable", L"Persistent\\PersistentHandler", L"", NewGuid(), REG_EXPAND_SZ, 0},
        {L"persistent unknown", L"PersistentUnknown\\PersistentHandler", L"", NewGuid(), REG_SZ, 1},
        {L"progids known", L"ProgidsKnown\\OpenWithProgids", L"txtfile", L"", REG_SZ, 0},
        {L"progids unknown", L"ProgidsUnknown\\OpenWithProgids", L"Tamsel.NoSuch", L"", REG_SZ, 1},
    };
    for (Case& c : cases)
    {
        ASSERT_TRUE(keys.SetString(strClass + L"\\" + c.strKey, c.strValue, c.strData, c.dwType));
    }
    ASSERT_TRUE(keys.Create(strClass + L"\\IconEmpty\\DefaultIcon"));
    const std::wstring strList = strClass + L"\\Lists\\OpenWithList\\";
    ASSERT_TRUE(keys.Create(strList + L"notepad.exe"));
    ASSERT_TRUE(keys.Create(strList + L"MSPUB.EXE"));
    ASSERT_TRUE(keys.Create(strList + strRegisteredApp));
    ASSERT_TRUE(keys.Create(strList + strRegisteredGone));
    ASSERT_TRUE(keys.Create(strList + L"tamsel_gone.exe"));
    ASSERT_TRUE(keys.Create(strList + L"tamsel_withsub.exe\\shell"));
    HeadlessScan run;
    run.Only({9});
    run.Run();
    for (const Case& c : cases)
        EXPECT_EQ(run.RowsWith(strClass + L"\\" + c.strKey).size(), c.nRows) << testing::PrintToString(std::wstring(c.pszName));
    EXPECT_EQ(run.RowsWith(strClass + L"\\IconEmpty\\DefaultIcon<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strList + L"tamsel_gone.exe<").size(), 1u);
    // A program is found by its name as the shell finds it; no name is spared.
    EXPECT_EQ(run.RowsWith(strList + L"MSPUB.EXE<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strList + strRegisteredGone + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strList).size(), 3u);
}

TEST(FileAssociations, EmptyShellNewAndItsParent)
{
    ClassesKeys keys;
    std::wstring strClass = Tag(L"TamselNew");
    ASSERT_TRUE(keys.Create(strClass + L"\\Only\\ShellNew"));
    ASSERT_TRUE(keys.Create(strClass + L"\\Beside\\ShellNew"));
    ASSERT_TRUE(keys.SetString(strClass + L"\\Beside", L"", L"x"));
    ASSERT_TRUE(keys.SetString(strClass + L"\\Filled\\ShellNew", L"NullFile", L""));
    HeadlessScan run;
    run.Only({9});
    run.Run();
    EXPECT_EQ(run.RowsWith(strClass + L"\\Only\\ShellNew<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strClass + L"\\Only<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strClass + L"\\Beside\\ShellNew<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strClass + L"\\Beside<").size(), 0u);
    EXPECT_EQ(run.RowsWith(strClass + L"\\Filled").size(), 0u);
}

TEST(FileExtensions, ExtensionKeys)
{
    ClassesKeys keys;
    std::wstring strKnown = Tag(L".tamselknown"), strDotless = Tag(L".tamseldotless"), strUnknown = Tag(L".tamselunknown"),
                 strUnknownBeside = Tag(L".tamselbeside"), strClsid = Tag(L".tamselclsid"), strEmpty = Tag(L".tamselempty"),
                 strNothing = Tag(L".tamselnothing"), strBinary = Tag(L".tamselbinary"), strShellNew = Tag(L".tamselnew");
    std::wstring strProgId = Tag(L"Tamsel.Doc") + L".1";
    ASSERT_TRUE(keys.Create(strProgId));
    ASSERT_TRUE(keys.SetString(strKnown, L"", strProgId));
    ASSERT_TRUE(keys.SetString(strDotless, L"", L"txtfile"));
    ASSERT_TRUE(keys.SetString(strUnknown, L"", L"Tamsel.NoSuch"));
    ASSERT_TRUE(keys.SetString(strUnknownBeside, L"", L"Tamsel.NoSuch"));
    ASSERT_TRUE(keys.SetString(strUnknownBeside, L"Content Type", L"text/plain"));
    ASSERT_TRUE(keys.SetString(strClsid, L"", L"CLSID\\" + NewGuid()));
    ASSERT_TRUE(keys.SetString(strEmpty, L"", L""));
    ASSERT_TRUE(keys.Create(strNothing));
    ASSERT_TRUE(keys.SetString(strBinary, L"", L"Tamsel.NoSuch", REG_BINARY));
    ASSERT_TRUE(keys.Create(strShellNew + L"\\ShellNew"));
    HeadlessScan run;
    run.Only({14});
    run.Run();
    EXPECT_EQ(run.RowsWith(strKnown).size(), 0u);
    EXPECT_EQ(run.RowsWith(strDotless).size(), 0u);
    // The default value, then the key that holds nothing else.
    EXPECT_EQ(run.RowsWith(strUnknown + L"<").size(), 2u);
    EXPECT_EQ(run.RowsWith(strUnknownBeside + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strClsid).size(), 0u);
    EXPECT_EQ(run.RowsWith(strEmpty + L"<").size(), 2u);
    EXPECT_EQ(run.RowsWith(strNothing + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBinary).size(), 0u);
    EXPECT_EQ(run.RowsWith(strShellNew + L"\\ShellNew<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strShellNew + L"<").size(), 1u);
}

TEST(FileExtensions, ExplorerFileExtsEntries)
{
    ClassesKeys user(HKEY_CURRENT_USER);
    const std::wstring strBase = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
    std::wstring strEmptyList = Tag(L".tamsellist"), strUnknownProgid = Tag(L".tamselprogid"),
                 strKnownProgid = Tag(L".tamselknown"), strThree = Tag(L".tamselthree"), strNothing = Tag(L".tamselnothing"),
                 strValues = Tag(L".tamselvalues"), strBoth = Tag(L".tamselboth");
    ASSERT_TRUE(user.Create(strBase + strEmptyList + L"\\OpenWithList"));
    ASSERT_TRUE(user.SetString(strBase + strUnknownProgid + L"\\OpenWithProgids", L"Tamsel.NoSuch", L""));
    ASSERT_TRUE(user.SetString(strBase + strKnownProgid + L"\\OpenWithProgids", L"txtfile", L""));
    ASSERT_TRUE(user.Create(strBase + strThree + L"\\OpenWithList"));
    ASSERT_TRUE(user.Create(strBase + strThree + L"\\OpenWithProgids"));
    ASSERT_TRUE(user.Create(strBase + strThree + L"\\UserChoice"));
    ASSERT_TRUE(user.Create(strBase + strNothing));
    ASSERT_TRUE(user.SetString(strBase + strValues, L"Progid", L"txtfile"));
    ASSERT_TRUE(user.Create(strBase + strBoth + L"\\OpenWithList"));
    ASSERT_TRUE(user.Create(strBase + strBoth + L"\\OpenWithProgids"));
    HeadlessScan run;
    run.Only({14});
    run.Run();
    EXPECT_EQ(run.RowsWith(strEmptyList + L"\\OpenWithList<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strEmptyList + L"<").size(), 1u);
    // One row for the value, one for the subkey holding nothing valid, one for the entry.
    EXPECT_EQ(run.RowsWith(strUnknownProgid + L"\\OpenWithProgids<").size(), 2u);
    EXPECT_EQ(run.RowsWith(strUnknownProgid + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strKnownProgid).size(), 0u);
    EXPECT_EQ(run.RowsWith(strThree).size(), 0u);
    EXPECT_EQ(run.RowsWith(strNothing + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strValues).size(), 0u);
    EXPECT_EQ(run.RowsWith(strBoth + L"\\OpenWithList<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBoth + L"\\OpenWithProgids<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBoth + L"<").size(), 1u);
}

// File types are shared by 32-bit and 64-bit programs: a command or icon under
// %ProgramFiles% or %CommonProgramFiles% is sound when its file is in either
// program folder, and texts that are no file path are never reported.
TEST(FileAssociations, ProgramFolderReferencesAndIndirectIcons)
{
    PlantedFiles files;
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strApp64 = L"TamselApp64_" + strTag, strApp32 = L"TamselApp32_" + strTag,
                       strShared = L"TamselShared64_" + strTag, strGone = L"TamselGone_" + strTag;
    ASSERT_TRUE(files.Add(PlantedFiles::Folder(L"ProgramW6432") + L"\\" + strApp64 + L"\\app64.exe"));
    ASSERT_TRUE(files.Add(PlantedFiles::Folder(L"ProgramFiles(x86)") + L"\\" + strApp32 + L"\\app32.exe"));
    ASSERT_TRUE(files.Add(PlantedFiles::Folder(L"CommonProgramW6432") + L"\\" + strShared + L"\\tool.ico"));
    struct Case
    {
        const wchar_t* pszName;
        const wchar_t* pszSubKey;  // "shell\open\command" or "DefaultIcon"
        std::wstring strText;      // REG_EXPAND_SZ
        bool bProblem;
    };
    const Case cases[] = {
        {L"Command64", L"shell\\open\\command", L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\" \"%1\"", false},
        {L"Command32", L"shell\\open\\command", L"\"%ProgramFiles%\\" + strApp32 + L"\\app32.exe\" \"%1\"", false},
        {L"CommandUnquoted", L"shell\\open\\command", L"%ProgramFiles%\\" + strApp64 + L"\\app64.exe %1", false},
        {L"CommandGone", L"shell\\open\\command", L"\"%ProgramFiles%\\" + strGone + L"\\app.exe\" \"%1\"", true},
        {L"CommandGoneUnquoted", L"shell\\open\\command", L"%ProgramFiles%\\" + strGone + L"\\app.exe /o %1", true},
        {L"Icon64", L"DefaultIcon", L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\",0", false},
        {L"IconCommon", L"DefaultIcon", L"%CommonProgramFiles%\\" + strShared + L"\\tool.ico", false},
        {L"IconGone", L"DefaultIcon", L"%ProgramFiles%\\" + strGone + L"\\app.exe,1", true},
        {L"IconCommonGone", L"DefaultIcon", L"%CommonProgramFiles%\\" + strGone + L"\\tool.ico", true},
        {L"IconPackage", L"DefaultIcon",
         L"@{Microsoft.WindowsCalculator_10.0.0.0_x64__8wekyb3d8bbwe?ms-resource://Microsoft.WindowsCalculator/Files/"
         L"Assets/CalculatorAppList.png}",
         false},
        {L"IconIndirect", L"DefaultIcon", L"@%SystemRoot%\\system32\\shell32.dll,-154", false},
        {L"IconIndirectGone", L"DefaultIcon", L"@%SystemRoot%\\system32\\" + strGone + L".dll,-154", true},
    };
    ClassesKeys keys;
    std::vector<std::wstring> arrClasses;
    for (const Case& c : cases)
    {
        arrClasses.push_back(std::wstring(L"TamselType") + c.pszName + L"_" + strTag);
        ASSERT_TRUE(keys.SetString(arrClasses.back() + L"\\" + c.pszSubKey, L"", c.strText, REG_EXPAND_SZ));
    }
    HeadlessScan run;
    run.Only({9});
    run.Run();
    for (size_t i = 0; i < arrClasses.size(); i++)
    {
        SCOPED_TRACE(testing::PrintToString(cases[i].strText));
        if (!cases[i].bProblem)
        {
            EXPECT_EQ(run.RowsWith(arrClasses[i] + L"\\").size(), 0u) << cases[i].pszName;
            continue;
        }
        // A bad command takes its verb and the shell key with it; a missing icon is its DefaultIcon key.
        const std::wstring strRow = std::wstring(cases[i].pszSubKey) == L"DefaultIcon"
                                        ? arrClasses[i] + L"\\DefaultIcon<"
                                        : arrClasses[i] + L"\\shell<";
        EXPECT_EQ(run.RowsWith(strRow).size(), 1u) << cases[i].pszName;
    }
}
