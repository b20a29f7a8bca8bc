// Sweepkit.ini's "RecentItem" section and the choice the evidence page opens with.
#include "optimizer/shared/IniFile.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/RecentItems.h"
#include "tests/privacy_frame/FrameTestSupport.h"
#include <memory>
#include <vector>

using namespace frametest;

namespace {

class RecentItems : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CIniFile::SetHostFolderForTests(m_folder.Path().c_str());
        m_pCatalogue = BuildEvidenceItemTree(EnglishLanguageFile().c_str());
        ASSERT_NE(m_pCatalogue, (CEvidenceItem*)NULL);
    }
    void TearDown() override
    {
        FreeEvidenceCatalogue(m_pCatalogue);
        CIniFile::SetHostFolderForTests(NULL);
    }
    std::wstring Ini() const { return m_folder.File(L"Sweepkit.ini"); }
    void Write(LPCWSTR lpszKey, LPCWSTR lpszValue)
    {
        ASSERT_TRUE(::WritePrivateProfileStringW(L"RecentItem", lpszKey, lpszValue, Ini().c_str()));
    }
    std::wstring Read(LPCWSTR lpszKey)
    {
        wchar_t szValue[64] = L"";
        ::GetPrivateProfileStringW(L"RecentItem", lpszKey, L"<none>", szValue, 64, Ini().c_str());
        return szValue;
    }
    // Chains the catalogue's nodes of these ids as a scan list.
    CEvidenceItem* ScanList(const std::vector<int>& ids)
    {
        CEvidenceItem* pFirst = NULL;
        CEvidenceItem* pLast = NULL;
        for (int nID : ids)
        {
            CEvidenceItem* pItem = FindCatalogueItem(m_pCatalogue, nID);
            pItem->m_pNext = NULL;
            (pLast != NULL ? pLast->m_pNext : pFirst) = pItem;
            pLast = pItem;
        }
        return pFirst;
    }

    testsupport::ScratchFolder m_folder;
    CEvidenceItem* m_pCatalogue = NULL;
};

const std::vector<int> kDefaults = {104, 105, 106, 107, 108, 109, 113, 129, 130, 135, 139, 141};

} // namespace

TEST_F(RecentItems, WithoutTheFileThePageOpensWithTheTwelveDefaults)
{
    BOOL bSaved = TRUE;
    EXPECT_EQ(GetStartChoice(m_pCatalogue, &bSaved), kDefaults);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(::GetFileAttributesW(Ini().c_str()), INVALID_FILE_ATTRIBUTES) << "reading writes nothing";
    // Each default is an item of the catalogue, not a program or root.
    for (int nID : kDefaults)
        EXPECT_EQ(FindCatalogueItem(m_pCatalogue, nID)->m_nLevel, EVIDENCE_LEVEL_ITEM) << nID;

    // A count that is no count (negative) is the same as none.
    Write(L"RecentItems", L"-5");
    EXPECT_EQ(GetStartChoice(m_pCatalogue, &bSaved), kDefaults);
    EXPECT_FALSE(bSaved);
}

TEST_F(RecentItems, ZeroSavedItemsOpensWithNothingChecked)
{
    Write(L"RecentItems", L"0");
    Write(L"item0", L"104");
    BOOL bSaved = FALSE;
    EXPECT_TRUE(GetStartChoice(m_pCatalogue, &bSaved).empty());
    EXPECT_TRUE(bSaved);
}

TEST_F(RecentItems, AScanWritesItsListAndAShorterOneLeavesTheRestUnread)
{
    EXPECT_EQ(WriteRecentItems(ScanList({113, 129, 369, 248})), 4);
    EXPECT_EQ(Read(L"RecentItems"), L"4");
    EXPECT_EQ(Read(L"item0"), L"113");
    EXPECT_EQ(Read(L"item2"), L"369");
    EXPECT_EQ(Read(L"item3"), L"248");
    EXPECT_EQ(GetStartChoice(m_pCatalogue, NULL), (std::vector<int>{113, 129, 369, 248}));

    EXPECT_EQ(WriteRecentItems(ScanList({270})), 1);
    EXPECT_EQ(Read(L"item3"), L"248") << "an earlier scan's keys stay";
    std::vector<int> ids;
    EXPECT_TRUE(ReadRecentItems(ids));
    EXPECT_EQ(ids, std::vector<int>{270});

    // An empty scan list is remembered as such.
    EXPECT_EQ(WriteRecentItems(NULL), 0);
    EXPECT_EQ(Read(L"RecentItems"), L"0");
    EXPECT_TRUE(GetStartChoice(m_pCatalogue, NULL).empty());
}

TEST_F(RecentItems, IdsThatNameNoNodeCheckNothingAndTheCountIsCapped)
{
    Write(L"RecentItems", L"5");
    Write(L"item0", L"134");  // a gap in the catalogue
    Write(L"item1", L"130");
    Write(L"item2", L"9999");
    Write(L"item3", L"garbage");
    // item4 missing: reads as -1
    EXPECT_EQ(GetStartChoice(m_pCatalogue, NULL), std::vector<int>{130});

    // A huge count reads no more keys than the catalogue has items.
    Write(L"RecentItems", L"2000000000");
    std::vector<int> ids;
    EXPECT_TRUE(ReadRecentItems(ids));
    EXPECT_EQ((int)ids.size(), EvidenceCatalogueItemCount());
}

TEST_F(RecentItems, AScanListThatRunsInACircleIsWrittenOnce)
{
    CEvidenceItem* pFirst = ScanList({104, 105});
    pFirst->m_pNext->m_pNext = pFirst;
    EXPECT_EQ(WriteRecentItems(pFirst), EvidenceCatalogueItemCount());
    pFirst->m_pNext->m_pNext = NULL;
}
