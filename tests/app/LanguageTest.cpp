#include "tests/app/AppTestSupport.h"

namespace {
std::string BuiltInLanguageBytes()
{
    HRSRC hResource = ::FindResourceW(NULL, MAKEINTRESOURCEW(424), L"OWNER_DATA");
    if (hResource == NULL)
        return std::string();
    const char* pData = (const char*)::LockResource(::LoadResource(NULL, hResource));
    return std::string(pData, ::SizeofResource(NULL, hResource));
}

std::wstring RecordedLanguage(const CString& strSettings)
{
    wchar_t szValue[MAX_PATH] = {};
    ::GetPrivateProfileStringW(L"General Settings", L"Language", L"<missing>", szValue, MAX_PATH, strSettings);
    return szValue;
}

class LanguageTest : public AppFolderTest
{
};
} // namespace

TEST(LanguageCodes, FileNamesForCodes)
{
    CTamselApp& app = TestApp();
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0C0A"), L"Spanish.ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0404"), L"Chinese(Traditional).ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0C04"), L"Chinese(Traditional).ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0804"), L"Chinese(Simplified).ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0414"), L"English.ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0814"), L"Norwegian.ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"0807"), L"German.ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L"040E"), L"Hungarian.ini");
    EXPECT_STREQ(app.GetLanguageFileForCode(L""), L"English.ini");

    CString strCode = app.GetSystemLanguageCode();
    EXPECT_EQ(strCode.GetLength(), 4);
    CString strUpper = strCode;
    strUpper.MakeUpper();
    EXPECT_STREQ(strCode, strUpper);

    EXPECT_EQ(app.GetLanguageFlagIcon(L"english.INI"), 434u);
    EXPECT_EQ(app.GetLanguageFlagIcon(L"Norwegian2.ini"), 442u);
    EXPECT_EQ(app.GetLanguageFlagIcon(L"Klingon.ini"), 0u);
}

// Unknown names fall back to English.ini, then to the first entry.
TEST(LanguageCodes, LanguageListLookups)
{
    CTamselApp& app = TestApp();
    app.m_arrLangFiles.RemoveAll();
    EXPECT_STREQ(app.GetLanguageFileAt(0), L"English.ini");
    for (LPCWSTR pszName : { L"Dutch.ini", L"English.ini", L"", L"German.ini" })
        app.m_arrLangFiles.Add(pszName);
    EXPECT_EQ(app.FindLanguageIndex(L"german.INI"), 3);
    EXPECT_EQ(app.FindLanguageIndex(L"French.ini"), 1);
    EXPECT_STREQ(app.GetLanguageFileAt(2), L"English.ini");
    EXPECT_STREQ(app.GetLanguageFileAt(4), L"English.ini");
    app.m_arrLangFiles.RemoveAt(1);
    EXPECT_EQ(app.FindLanguageIndex(L"French.ini"), 0);
    app.m_arrLangFiles.RemoveAll();
}

// No Language folder: the built-in file is written, used and recorded as English.
TEST_F(LanguageTest, EmptyFolderWritesTheBuiltInEnglishFile)
{
    m_app.SelectLanguage(L"");
    std::wstring strEnglish = Path(L"Language\\English.ini");
    EXPECT_STREQ(m_app.m_strLangFile, strEnglish.c_str());
    EXPECT_EQ(testsupport::ReadFileBytes(strEnglish), BuiltInLanguageBytes());
    EXPECT_EQ(RecordedLanguage(m_app.m_strSettingsFile), L"English");
    EXPECT_STREQ(m_app.GetLangString(L"M_NOITEM"), L"No item selected!");

    // The word English names no file; the fallback finds the one written.
    m_app.SelectLanguage(L"English");
    EXPECT_STREQ(m_app.m_strLangFile, strEnglish.c_str());
    EXPECT_EQ(RecordedLanguage(m_app.m_strSettingsFile), L"English");
}

// A chosen file is found without regard to case and recorded as asked.
TEST_F(LanguageTest, ChosenFileIsFoundCaseInsensitively)
{
    ::CreateDirectoryW(Path(L"Language").c_str(), NULL);
    ::CreateDirectoryW(Path(L"Language\\German.ini.d").c_str(), NULL);
    WriteText(Path(L"Language\\German.ini"), "[String]\r\nM_NOITEM=Nichts gewaehlt\r\n");
    m_app.SelectLanguage(L"german.ini");
    EXPECT_STREQ(m_app.m_strLangFile, Path(L"Language\\German.ini").c_str());
    EXPECT_EQ(RecordedLanguage(m_app.m_strSettingsFile), L"German.ini");
    EXPECT_STREQ(m_app.GetLangString(L"M_NOITEM"), L"Nichts gewaehlt");
    EXPECT_EQ(::GetFileAttributesW(Path(L"Language\\English.ini").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The fallback keeps an English.ini the user has edited.
TEST_F(LanguageTest, FallbackKeepsAnExistingEnglishFile)
{
    ::CreateDirectoryW(Path(L"Language").c_str(), NULL);
    const std::string edited = "[String]\r\nM_NOITEM=Pick something first\r\n";
    WriteText(Path(L"Language\\English.ini"), edited);
    m_app.SelectLanguage(L"French.ini");
    EXPECT_STREQ(m_app.m_strLangFile, Path(L"Language\\English.ini").c_str());
    EXPECT_EQ(testsupport::ReadFileBytes(Path(L"Language\\English.ini")), edited);
    EXPECT_EQ(RecordedLanguage(m_app.m_strSettingsFile), L"English");
    EXPECT_STREQ(m_app.GetLangString(L"M_NOITEM"), L"Pick something first");
}

// The system language decides when no file is asked for.
TEST_F(LanguageTest, SystemLanguageChoosesTheFile)
{
    CString strWanted = m_app.GetLanguageFileForCode(m_app.GetSystemLanguageCode());
    ::CreateDirectoryW(Path(L"Language").c_str(), NULL);
    WriteText(Path(L"Language\\") + (LPCWSTR)strWanted, "[String]\r\nM_NOITEM=system file\r\n");
    m_app.SelectLanguage(L"");
    EXPECT_STREQ(m_app.GetLangString(L"M_NOITEM"), L"system file");
    EXPECT_EQ(RecordedLanguage(m_app.m_strSettingsFile), (LPCWSTR)strWanted);
}

// The built-in file is CR LF throughout, as Notepad and the translators' tools expect.
TEST(BuiltInLanguage, EveryLineEndsInCrLf)
{
    std::string bytes = BuiltInLanguageBytes();
    ASSERT_FALSE(bytes.empty());
    int nLine = 1;
    for (size_t i = 0; i < bytes.size(); i++)
    {
        if (bytes[i] != '\n')
            continue;
        EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at the end of line " << nLine;
        nLine++;
    }
}

TEST_F(LanguageTest, ExtractReportsWhatHappened)
{
    std::wstring strTarget = Path(L"out.ini");
    WriteText(strTarget, "old text that is longer than nothing");
    EXPECT_TRUE(m_app.ExtractDefaultLanguage(424, strTarget.c_str()));
    EXPECT_EQ(testsupport::ReadFileBytes(strTarget), BuiltInLanguageBytes());
    EXPECT_FALSE(m_app.ExtractDefaultLanguage(425, Path(L"other.ini").c_str()));
    EXPECT_FALSE(m_app.ExtractDefaultLanguage(424, Path(L"no such folder\\English.ini").c_str()));
}

// Line breaks, missing keys, and the lookup in Settings.ini.
TEST_F(LanguageTest, LookupTurnsBackslashNIntoLineBreaks)
{
    WriteText(Path(L"Lang.ini"), "[String]\r\nTWO_LINES=first\\nsecond\r\nEMPTY=\r\n");
    EXPECT_STREQ(m_app.GetLangString(L"TWO_LINES"), L"");  // no language chosen yet
    m_app.m_strLangFile = Path(L"Lang.ini").c_str();
    EXPECT_STREQ(m_app.GetLangString(L"TWO_LINES"), L"first\nsecond");
    EXPECT_STREQ(m_app.GetLangString(L"EMPTY"), L"");
    EXPECT_STREQ(m_app.GetLangString(L"MISSING"), L"");

    WriteText(Path(L"Settings.ini"), "[String]\r\nKEY=a\\nb\r\n");
    EXPECT_STREQ(m_app.GetLangText(L"KEY"), L"a\nb");
    EXPECT_STREQ(m_app.GetLangText(L"MISSING"), L"Not found");
}

// What the main window shows of the language files comes from here, without
// any window: the listed files, the raw navigation texts, the chosen file.
TEST_F(LanguageTest, LanguageFilesAndRawTextsWithoutAWindow)
{
    ::CreateDirectoryW(Path(L"Language").c_str(), NULL);
    ::CreateDirectoryW(Path(L"Language\\Folder.ini").c_str(), NULL);
    WriteText(Path(L"Language\\Alpha.ini"), "[General Settings]\r\nLanguage=Alphabetic\r\n[String]\r\nNAV=one\\ntwo\r\n");
    WriteText(Path(L"Language\\Nameless.ini"), "[String]\r\nNAV=x\r\n");
    CStringArray arrFiles, arrNames;
    arrFiles.Add(L"stale");
    m_app.ListLanguageFiles(arrFiles, arrNames);
    ASSERT_EQ(arrFiles.GetSize(), 1);
    EXPECT_STREQ(arrFiles[0], L"Alpha.ini");
    EXPECT_STREQ(arrNames[0], L"Alphabetic");

    m_app.m_strLangFile = Path(L"Language\\Alpha.ini").c_str();
    EXPECT_STREQ(m_app.GetLangStringRaw(L"NAV"), L"one\\ntwo");
    EXPECT_STREQ(m_app.GetLangString(L"NAV"), L"one\ntwo");

    EXPECT_STREQ(m_app.GetChosenLanguageFile(), L"");
    WriteText(Path(L"Settings.ini"), "[General Settings]\r\nLanguage=Alpha.ini\r\n");
    EXPECT_STREQ(m_app.GetChosenLanguageFile(), L"Alpha.ini");
}
