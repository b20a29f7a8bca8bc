#include "app/UpdateDescription.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

CUpdateDescription ReadText(const testsupport::ScratchFolder& folder, const std::string& strText)
{
    testsupport::WriteFileBytes(folder.File(UPDATE_DESCRIPTION_FILE), strText);
    return CUpdateDescription::Read(folder.File(UPDATE_DESCRIPTION_FILE).c_str());
}

} // namespace

// Each value comes from its own section: the program's and the updater's
// versions share a key name.
TEST(CUpdateDescription, ReadsEachValueFromItsOwnSection)
{
    testsupport::ScratchFolder folder;
    CUpdateDescription description =
        ReadText(folder, "[Program]\r\nVersion=4.1.0.7\r\n[Updater]\r\nVersion=2.0.3\r\n"
                         "Pack = http://example.test/download/Updater.zip\r\n");
    EXPECT_STREQ(description.strProgramVersion, L"4.1.0.7");
    EXPECT_STREQ(description.strUpdaterVersion, L"2.0.3");
    EXPECT_STREQ(description.strPackUrl, L"http://example.test/download/Updater.zip");

    description = ReadText(folder, "[Updater]\r\nVersion=2.0.3\r\n");
    EXPECT_STREQ(description.strProgramVersion, L"3.0.0.0");
    EXPECT_STREQ(description.strUpdaterVersion, L"2.0.3");
    EXPECT_STREQ(description.strPackUrl, L"");

    description = ReadText(folder, "[Program]\r\nVersion=4.1\r\nPack=http://example.test/other.zip\r\n");
    EXPECT_STREQ(description.strProgramVersion, L"4.1");
    EXPECT_STREQ(description.strUpdaterVersion, L"1.0.0.0");
    EXPECT_STREQ(description.strPackUrl, L"");
}

// No file (a failed download deletes it) and an empty one read alike.
TEST(CUpdateDescription, MissingOrEmptyFileGivesTheDefaults)
{
    testsupport::ScratchFolder folder;
    for (bool bEmptyFile : {false, true})
    {
        CUpdateDescription description = bEmptyFile
            ? ReadText(folder, "")
            : CUpdateDescription::Read(folder.File(L"missing.ini").c_str());
        EXPECT_STREQ(description.strProgramVersion, L"3.0.0.0") << bEmptyFile;
        EXPECT_STREQ(description.strUpdaterVersion, L"1.0.0.0") << bEmptyFile;
        EXPECT_STREQ(description.strPackUrl, L"") << bEmptyFile;
    }
}

// A key present but empty is empty, not the default: an empty version then
// compares as malformed, which keeps an unfinished file from starting anything.
TEST(CUpdateDescription, AnEmptyValueIsNotTheDefault)
{
    testsupport::ScratchFolder folder;
    CUpdateDescription description = ReadText(folder, "[Program]\r\nVersion=\r\n[Updater]\r\nVersion=\r\n");
    EXPECT_STREQ(description.strProgramVersion, L"");
    EXPECT_STREQ(description.strUpdaterVersion, L"");
}
