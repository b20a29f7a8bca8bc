// Peers: the junk walk against find over one planted tree, the shred against
// GNU shred on twin files, with filefrag to read the physical extents.
#include "privacy/JunkWalk.h"
#include "privacy/ShredPath.h"
#include "privacy/ShredPlan.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include <algorithm>
#include <sstream>

using junktest::HostHas;
using junktest::HostLines;
using junktest::Plant;
using junktest::UnixPathOf;

namespace {

std::vector<CString> MaskRows(int nCount)
{
    std::vector<CString> masks;
    for (int i = 0; i < nCount; i++)
        masks.push_back(JunkMaskTable[i].lpszMask);
    return masks;
}

// "./sub/name" as find prints it, for each row.
std::set<std::string> OurRelativePaths(const std::wstring& strRoot, const std::vector<CString>& masks)
{
    CJunkMatcher matcher(masks);
    std::set<std::string> paths;
    CJunkWalker walker(matcher, NULL, [&](std::vector<JunkFileRow>& rows) {
        for (const JunkFileRow& row : rows)
        {
            std::wstring strRel = L"." + (row.strFolder + row.strName).substr(strRoot.size());
            std::replace(strRel.begin(), strRel.end(), L'\\', L'/');
            paths.insert(junktest::Narrow(strRel));
        }
    });
    walker.Walk(strRoot + L"\\");
    return paths;
}

std::set<std::string> FindPaths(const std::string& strUnixRoot, const std::vector<CString>& masks)
{
    std::string strCommand = "cd '" + strUnixRoot + "' && find . -type f '('";
    for (size_t i = 0; i < masks.size(); i++)
        strCommand += std::string(i ? " -o" : "") + " -iname '" + junktest::Narrow(masks[i].Str()) + "'";
    strCommand += " ')'";  // no backslash: the Windows command line would double it
    std::vector<std::string> lines;
    EXPECT_TRUE(HostLines(strCommand, lines));
    return std::set<std::string>(lines.begin(), lines.end());
}

std::vector<std::string> Difference(const std::set<std::string>& a, const std::set<std::string>& b)
{
    std::vector<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

} // namespace

TEST(JunkPeer, TheWalkListsWhatFindListsSaveGlobsSpanningADot)
{
    if (!HostHas("find"))
        TAMSEL_PEER_MISSING("find is not installed");
    testsupport::ScratchFolder scratch;
    std::wstring strTree = scratch.File(L"T"), strOutside = scratch.File(L"outside");
    // One name per row of the table and its look-alikes, spread over folders.
    const wchar_t* kNames[] = {
        L"Edit.SWP", L"setup.$$$", L"doc.~tmp", L"a.___", L"x.^", L"A.TMP", L"b.temp", L"c.---", L"~WRL0001.tmp",
        L"old.do~", L"cache.db$", L"mail.NCH", L"app.pch", L"app.ncb", L"app.ilk", L"app.exp", L"app.ilc", L"app.ild",
        L"app.ils", L"app.ilf", L"app.tds", L"IEBAK.DAT", L"FFastUn.ffl", L"chklist.ms", L"x.sik", L"help.GID",
        L"help.fts", L"help.ftg", L"build.err", L"crash.dmp", L"file0001.chk", L"file0042._dd", L"file_id.diz",
        L"setup.log", L"a.prv", L"config.old", L"disk.nu3", L"System.1st", L"suhdlog.dat", L"ModemDet.txt",
        L"twain001.mtx", L"Thumbs.db", L"mscreate.dir", L"readme.wri", L".tmp", L"~.", L"a.b.c.tmp",
        L"twain.ab.mtx", L"report.tmp1234", L"x.log2", L"noext", L"file123._dd", L"a.bcd~", L"keep.txt",
        // Where a glob's wildcard spans a dot: find lists them, the rules do not.
        L"a.~b.c", L"a.b.~", L"chklist.a.b"};
    int n = 0;
    for (const wchar_t* pszName : kNames)
    {
        std::wstring strSub = (n % 3 == 0) ? L"" : (n % 3 == 1) ? L"\\d1" : L"\\d1\\d2";
        ASSERT_TRUE(Plant(strTree + strSub + L"\\" + pszName)) << junktest::Narrow(pszName);
        n++;
    }
    ASSERT_TRUE(Plant(strOutside + L"\\outside.tmp"));
    ASSERT_TRUE(Plant(strOutside + L"\\old.log"));
    junktest::CHostLink link(strOutside, strTree + L"\\d1\\link");
    ASSERT_TRUE(link.IsMade());
    std::string strUnixTree = UnixPathOf(strTree);
    ASSERT_FALSE(strUnixTree.empty());

    // The twelve default masks.
    {
        std::vector<CString> masks = MaskRows(JUNK_DEFAULT_MASK_COUNT);
        std::set<std::string> ours = OurRelativePaths(strTree, masks), found = FindPaths(strUnixTree, masks);
        EXPECT_TRUE(Difference(ours, found).empty()) << "listed by us alone: " << ::testing::PrintToString(Difference(ours, found));
        EXPECT_EQ(Difference(found, ours), (std::vector<std::string>{"./a.~b.c"}));
        EXPECT_GE(ours.size(), 12u);
        for (const std::string& strPath : ours)
            EXPECT_EQ(strPath.find("outside"), std::string::npos);
    }
    // All 45.
    {
        std::vector<CString> masks = MaskRows(JUNK_MASK_COUNT);
        std::set<std::string> ours = OurRelativePaths(strTree, masks), found = FindPaths(strUnixTree, masks);
        EXPECT_TRUE(Difference(ours, found).empty()) << ::testing::PrintToString(Difference(ours, found));
        EXPECT_EQ(Difference(found, ours), (std::vector<std::string>{"./a.~b.c", "./d1/d2/chklist.a.b"}));
        EXPECT_GE(ours.size(), 46u);
    }
    // "a.b.~" is "*.~*" to both; under "*.??~" alone only find takes it.
    {
        std::vector<CString> masks(1, CString(L"*.??~"));
        std::set<std::string> ours = OurRelativePaths(strTree, masks), found = FindPaths(strUnixTree, masks);
        EXPECT_EQ(ours, (std::set<std::string>{"./old.do~"}));
        EXPECT_EQ(Difference(found, ours), (std::vector<std::string>{"./d1/a.b.~"}));
    }
}

namespace {

// The physical extents of a file as filefrag -v prints them (logical and
// physical ranges and length, flags left out).
bool Extents(const std::wstring& strPath, std::vector<std::string>& extents)
{
    extents.clear();
    std::vector<std::string> lines;
    if (!HostLines("sync; filefrag -v '" + UnixPathOf(strPath) + "'", lines))
        return false;
    for (const std::string& strLine : lines)
    {
        std::istringstream in(strLine);
        std::string strIndex;
        in >> strIndex;
        if (strIndex.empty() || strIndex.back() != ':' || !isdigit((unsigned char)strIndex[0]))
            continue;
        std::string strRest, strField;
        for (int i = 0; i < 6 && in >> strField; i++)
            strRest += strField + " ";
        extents.push_back(strRest.substr(0, strRest.rfind(':') + 1));
    }
    return !extents.empty();
}

// Block contents that tell one file's generation from another: no 4 KiB
// block repeats, so an overwrite of any block shows.
std::string Original(size_t nSize, char cTag)
{
    std::string out;
    out.reserve(nSize);
    for (size_t nBlock = 0; out.size() < nSize; nBlock++)
    {
        char szLine[64];
        wsprintfA(szLine, "%c block %06u of the original document. ", cTag, (unsigned)nBlock);
        for (size_t i = 0; i < 4096 && out.size() < nSize; i++)
            out += szLine[i % strlen(szLine)];
    }
    return out;
}

struct TwinCheck
{
    size_t nSameBlocks = 0;
    size_t nPlainBlocks = 0;  // fewer than 64 distinct bytes: not random
};

TwinCheck CompareBlocks(const std::string& before, const std::string& after)
{
    TwinCheck check;
    for (size_t nOffset = 0; nOffset < after.size(); nOffset += 4096)
    {
        size_t n = std::min<size_t>(4096, after.size() - nOffset);
        if (after.compare(nOffset, n, before, nOffset, n) == 0)
            check.nSameBlocks++;
        std::set<char> values(after.begin() + nOffset, after.begin() + nOffset + n);
        if (values.size() < 64 && n >= 1024)
            check.nPlainBlocks++;
    }
    return check;
}

class ShredPeer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* pszTool : {"shred", "filefrag", "sync"})
            if (!HostHas(pszTool))
                TAMSEL_PEER_MISSING(std::string(pszTool) + " is not installed");
    }

    // Shreds "ours" with our method and "theirs" with GNU shred; checks both
    // links keep their size and extents and hold no block of the original.
    void RunTwins(int nPasses, const std::string& strShredArgs)
    {
        testsupport::ScratchFolder scratch;
        const size_t nSize = 1000 * 1000 + 1234;  // not a whole number of blocks
        std::string original = Original(nSize, 'D');
        std::wstring strOurs = scratch.File(L"ours.doc"), strTheirs = scratch.File(L"theirs.doc");
        ASSERT_TRUE(Plant(strOurs, original));
        ASSERT_TRUE(Plant(strTheirs, original));
        ASSERT_TRUE(::CreateHardLinkW(scratch.File(L"ours.link").c_str(), strOurs.c_str(), NULL));
        ASSERT_TRUE(::CreateHardLinkW(scratch.File(L"theirs.link").c_str(), strTheirs.c_str(), NULL));
        std::vector<std::string> oursBefore, theirsBefore, oursAfter, theirsAfter;
        ASSERT_TRUE(Extents(strOurs, oursBefore));
        ASSERT_TRUE(Extents(strTheirs, theirsBefore));

        CShredPatterns patterns;
        ASSERT_TRUE(patterns.Alloc(nPasses));
        patterns.FillRandom(GetTickCount());
        CShredRun run(SystemShredIo(), patterns, NULL);
        ASSERT_EQ(run.Run({ShredItem{scratch.Path(), L"ours.doc"}}, nPasses), SHRED_RUN_DONE);
        EXPECT_FALSE(junktest::Exists(strOurs));
        ASSERT_EQ(testsupport::RunHostCommand("shred " + strShredArgs + " '" + UnixPathOf(strTheirs) + "'", 120000), 0);

        ASSERT_TRUE(Extents(scratch.File(L"ours.link"), oursAfter));
        ASSERT_TRUE(Extents(scratch.File(L"theirs.link"), theirsAfter));
        EXPECT_EQ(oursAfter, oursBefore) << "overwritten in place";
        EXPECT_EQ(theirsAfter, theirsBefore);
        std::string ours = testsupport::ReadFileBytes(scratch.File(L"ours.link"));
        std::string theirs = testsupport::ReadFileBytes(scratch.File(L"theirs.link"));
        ASSERT_EQ(ours.size(), nSize);
        ASSERT_EQ(theirs.size(), nSize);
        TwinCheck oursCheck = CompareBlocks(original, ours), theirsCheck = CompareBlocks(original, theirs);
        EXPECT_EQ(oursCheck.nSameBlocks, 0u);
        EXPECT_EQ(theirsCheck.nSameBlocks, 0u);
        EXPECT_EQ(oursCheck.nPlainBlocks, 0u) << "the last pass is random";
        EXPECT_EQ(theirsCheck.nPlainBlocks, 0u);
    }
};

} // namespace

TEST_F(ShredPeer, QuickAsShredOnePass)
{
    RunTwins(1, "-n1 -x");
}

TEST_F(ShredPeer, SafeAndThoroughEndRandomAsShredThreePasses)
{
    RunTwins(3, "-n3 -x");
    RunTwins(7, "-n3 -x");
}
