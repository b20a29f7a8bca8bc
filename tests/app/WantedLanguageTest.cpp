#include "tests/app/AppTestSupport.h"

namespace {
class WantedLanguageTest : public AppFolderTest
{
};
} // namespace

// What both language lists select: the file Settings.ini names, else the
// system language's file. Start-up records "English", no file name, when it
// fell back to the built-in language.
TEST_F(WantedLanguageTest, ChosenFileOrTheSystemLanguagesFile)
{
    CString strSystem = m_app.GetLanguageFileForCode(m_app.GetSystemLanguageCode());
    ASSERT_FALSE(strSystem.IsEmpty());
    EXPECT_STREQ(m_app.GetWantedLanguageFile(), strSystem);

    WriteText(Path(L"Settings.ini"), "[General Settings]\r\nLanguage=German.INI\r\n");
    EXPECT_STREQ(m_app.GetWantedLanguageFile(), L"German.INI");

    for (const char* pszStored : {"Language=English\r\n", "Language=in\r\n", "Language=\r\n", ""})
    {
        WriteText(Path(L"Settings.ini"), std::string("[General Settings]\r\n") + pszStored);
        EXPECT_STREQ(m_app.GetWantedLanguageFile(), strSystem) << pszStored;
    }
    // The key of another section is no choice.
    WriteText(Path(L"Settings.ini"), "[General Options]\r\nLanguage=German.ini\r\n");
    EXPECT_STREQ(m_app.GetWantedLanguageFile(), strSystem);
}
