// The mask table and its rules over long names: every row with a name it
// lists and a look-alike it must not.
#include "privacy/JunkMaskRules.h"
#include <gtest/gtest.h>

namespace {

struct MaskCase
{
    LPCWSTR lpszHit;
    LPCWSTR lpszMiss;
};

// Row by row: a hit, and a near miss of the same mask.
const MaskCase kCases[JUNK_MASK_COUNT] = {
    {L"Edit.SWP", L"edit.swp1"},
    {L"setup.$$$", L"setup.$$"},
    {L"doc.~tmp", L"doc~.tmp~x"},
    {L"a.___", L"a.____"},
    {L"x.^", L"x.^^"},
    {L"A.TMP", L"report.tmp1234"},
    {L"b.temp", L"b.temp1"},
    {L"c.---", L"c.--"},
    {L"~WRL0001.tmp", L"a~b.doc"},
    {L"old.do~", L"old.docx~"},
    {L"cache.db$", L"cache.db"},
    {L"mail.NCH", L"mail.nchx"},
    {L"app.pch", L"app.pchx"},
    {L"app.ncb", L"app.ncbb"},
    {L"app.ilk", L"app.il"},
    {L"app.exp", L"app.expo"},
    {L"app.ilc", L"app.ilc.txt"},
    {L"app.ild", L"ild"},
    {L"app.ils", L"app.ils2"},
    {L"app.ilf", L"app.il_f"},
    {L"app.tds", L"app.td"},
    {L"IEBAK.DAT", L"iebak2.dat"},
    {L"FFastUn.ffl", L"ffastunx.ffl"},
    {L"chklist.ms", L"chklists.ms"},
    {L"x.sik", L"x.sikk"},
    {L"help.GID", L"help.gidx"},
    {L"help.fts", L"help.ft"},
    {L"help.ftg", L"help.ftgg"},
    {L"build.err", L"build.errs"},
    {L"crash.dmp", L"crash.dmpx"},
    {L"file0001.chk", L"file0001.chkx"},
    {L"CHKLIST.CPS", L"chklist"},
    {L"file0042._dd", L"file123._dd"},
    {L"file_id.diz", L"file_id.diz.bak"},
    {L"setup.log", L"x.log2"},
    {L"a.prv", L"a.prvx"},
    {L"config.old", L"config.olden"},
    {L"disk.nu3", L"disk.nu"},
    {L"System.1st", L"system.1sta"},
    {L"suhdlog.dat", L"suhdlog.da"},
    {L"ModemDet.txt", L"modemdet.txt.bak"},
    {L"twain001.mtx", L"twain01.mtx"},
    {L"Thumbs.db", L"thumbs.db2"},
    {L"mscreate.dir", L"mscreate.dirs"},
    {L"readme.wri", L"readme.write"},
};

std::vector<CString> DefaultMasks()
{
    std::vector<CString> masks;
    for (int i = 0; i < JUNK_DEFAULT_MASK_COUNT; i++)
        masks.push_back(JunkMaskTable[i].lpszMask);
    return masks;
}

} // namespace

TEST(JunkMaskRules, EveryRowListsItsNameAndNotItsLookAlike)
{
    for (int i = 0; i < JUNK_MASK_COUNT; i++)
    {
        LPCWSTR lpszMask = JunkMaskTable[i].lpszMask;
        EXPECT_TRUE(JunkMaskMatches(lpszMask, kCases[i].lpszHit)) << "row " << i;
        EXPECT_FALSE(JunkMaskMatches(lpszMask, kCases[i].lpszMiss)) << "row " << i;
    }
    EXPECT_STREQ(JunkMaskTable[23].lpszMask, JunkMaskTable[31].lpszMask);
    EXPECT_STRNE(JunkMaskTable[23].lpszDescription, JunkMaskTable[31].lpszDescription);
}

TEST(JunkMaskRules, EdgeNamesOfTheRules)
{
    // Case: listed whatever its case.
    EXPECT_TRUE(JunkMaskMatches(L"*.tmp", L"A.TMP"));
    // file + four characters, not three.
    EXPECT_TRUE(JunkMaskMatches(L"file????._dd", L"file1234._dd"));
    EXPECT_FALSE(JunkMaskMatches(L"file????._dd", L"file123._dd"));
    EXPECT_FALSE(JunkMaskMatches(L"file????._dd", L"file12345._dd"));
    // A four-character extension ending in a tilde is not "*.??~".
    EXPECT_TRUE(JunkMaskMatches(L"*.??~", L"a.bc~"));
    EXPECT_FALSE(JunkMaskMatches(L"*.??~", L"a.bcd~"));
    EXPECT_FALSE(JunkMaskMatches(L"*.??~", L"a.c~"));
    // No dot: never, whatever the mask.
    for (int i = 0; i < JUNK_MASK_COUNT; i++)
    {
        EXPECT_FALSE(JunkMaskMatches(JunkMaskTable[i].lpszMask, L"tmp")) << i;
        EXPECT_FALSE(JunkMaskMatches(JunkMaskTable[i].lpszMask, L"~tmp~")) << i;
    }
    // Several dots: the extension is after the last one.
    EXPECT_TRUE(JunkMaskMatches(L"*.tmp", L"a.b.c.tmp"));
    EXPECT_FALSE(JunkMaskMatches(L"*.tmp", L"a.tmp.c"));
    EXPECT_TRUE(JunkMaskMatches(L"~*.*", L"~a.b.c"));
    EXPECT_FALSE(JunkMaskMatches(L"*.~*", L"a.~b.c"));
    EXPECT_FALSE(JunkMaskMatches(L"*.??~", L"a.b.~"));
    EXPECT_FALSE(JunkMaskMatches(L"chklist.*", L"chklist.a.b"));
    EXPECT_TRUE(JunkMaskMatches(L"twain???.mtx", L"twain.ab.mtx"));
    // Empty parts around the dot.
    EXPECT_TRUE(JunkMaskMatches(L"*.tmp", L".tmp"));
    EXPECT_TRUE(JunkMaskMatches(L"*.~*", L"a.~"));
    EXPECT_FALSE(JunkMaskMatches(L"~*.*", L".~"));
    EXPECT_FALSE(JunkMaskMatches(L"*.tmp", L"tmp."));
    // A mask outside the table's shapes lists nothing rather than guessing.
    EXPECT_FALSE(JunkMaskMatches(L"*", L"a.tmp"));
    EXPECT_FALSE(JunkMaskMatches(L"", L"a.tmp"));
}

TEST(JunkMaskRules, FirstChosenMaskWinsInRowOrder)
{
    CJunkMatcher matcher(DefaultMasks());
    EXPECT_EQ(matcher.GetMaskCount(), 12);
    EXPECT_EQ(matcher.Match(L"~x.tmp"), 5) << "*.tmp stands before ~*.*";
    EXPECT_EQ(matcher.Match(L"~x.doc"), 8);
    EXPECT_EQ(matcher.Match(L"x.~mp"), 2);
    EXPECT_EQ(matcher.Match(L"x.log"), -1) << "not a default mask";
    EXPECT_EQ(CJunkMatcher(std::vector<CString>()).Match(L"x.tmp"), -1);
}
