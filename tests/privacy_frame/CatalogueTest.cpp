// The evidence catalogue: its shape, texts and ownership.
#include "privacy/EvidenceCatalogue.h"
#include "privacy/EvidenceTrace.h"
#include "tests/privacy_frame/FrameTestSupport.h"
#include <algorithm>
#include <functional>
#include <vector>

using namespace frametest;

namespace {

struct Catalogue
{
    explicit Catalogue(LPCWSTR lpszLanguageFile) : pFirst(BuildEvidenceItemTree(lpszLanguageFile)) {}
    ~Catalogue() { FreeEvidenceCatalogue(pFirst); }
    CEvidenceItem* pFirst;
};

// Every node, depth first, node before its children.
std::vector<CEvidenceItem*> Walk(CEvidenceItem* pFirstRoot)
{
    std::vector<CEvidenceItem*> nodes;
    std::function<void(CEvidenceItem*)> visit = [&](CEvidenceItem* pNode) {
        for (; pNode != NULL; pNode = pNode->m_pNextSibling)
        {
            nodes.push_back(pNode);
            visit(pNode->m_pFirstChild);
        }
    };
    for (CEvidenceItem* pRoot = pFirstRoot; pRoot != NULL; pRoot = pRoot->m_pNext)
    {
        nodes.push_back(pRoot);
        visit(pRoot->m_pFirstChild);
    }
    return nodes;
}

// Records the order in which nodes are destroyed.
std::vector<int> s_destroyed;
class CTracedItem : public CEvidenceItem
{
public:
    explicit CTracedItem(int nID) { m_nStringID = nID; }
    // Its own subtree goes first, as the base would free it.
    ~CTracedItem() override
    {
        FreeChildren();
        s_destroyed.push_back(m_nStringID);
    }
};

} // namespace

TEST(EvidenceCatalogue, ThreeLevelsInCatalogueOrderWithTheirImagesAndTexts)
{
    Catalogue catalogue(EnglishLanguageFile().c_str());
    std::vector<CEvidenceItem*> nodes = Walk(catalogue.pFirst);
    ASSERT_EQ(nodes.size(), 175u);
    EXPECT_EQ((int)nodes.size(), EvidenceCatalogueRowCount());

    std::vector<int> roots;
    int nPerLevel[3] = {};
    for (CEvidenceItem* pRoot = catalogue.pFirst; pRoot != NULL; pRoot = pRoot->m_pNext)
        roots.push_back(pRoot->m_nStringID);
    EXPECT_EQ(roots, (std::vector<int>{102, 127, 171, 208, 244, 273, 323, 367}));

    // Ids rise through the catalogue, but for the media database item that
    // stands third in its group.
    std::vector<int> outOfOrder;
    for (size_t i = 0; i < nodes.size(); i++)
    {
        CEvidenceItem* pNode = nodes[i];
        ASSERT_GE(pNode->m_nLevel, 0);
        ASSERT_LE(pNode->m_nLevel, 2);
        nPerLevel[pNode->m_nLevel]++;
        if (i > 0 && pNode->m_nStringID < nodes[i - 1]->m_nStringID)
            outOfOrder.push_back(pNode->m_nStringID);
        // Each node below its parent's level, and owned by it.
        if (pNode->m_nLevel == 0)
            EXPECT_EQ(pNode->m_pParent, (CEvidenceItem*)NULL);
        else
        {
            ASSERT_NE(pNode->m_pParent, (CEvidenceItem*)NULL) << pNode->m_nStringID;
            EXPECT_EQ(pNode->m_pParent->m_nLevel, pNode->m_nLevel - 1) << pNode->m_nStringID;
        }
        // Items have no children, programs at least one.
        EXPECT_EQ(pNode->m_pFirstChild == NULL, pNode->m_nLevel == 2) << pNode->m_nStringID;
        // The built-in language file names every node.
        EXPECT_NE(pNode->m_szText[0], 0) << pNode->m_szLanguageKey;
        EXPECT_EQ(pNode->m_hRootKey, HKEY_CURRENT_USER);
        EXPECT_EQ(pNode->m_nTraceCount, 0);
        // Images: roots 0-7, programs 8-36 but not 29, items their program's.
        if (pNode->m_nLevel == 0)
            EXPECT_EQ(pNode->m_nImage, (int)(std::find(roots.begin(), roots.end(), pNode->m_nStringID) - roots.begin()));
        else if (pNode->m_nLevel == 1)
        {
            EXPECT_GE(pNode->m_nImage, 8);
            EXPECT_LE(pNode->m_nImage, 36);
            EXPECT_NE(pNode->m_nImage, 29);
        }
        else if (pNode->m_nStringID == 270 || pNode->m_nStringID == 271)
            EXPECT_EQ(pNode->m_nImage, 2) << pNode->m_nStringID;
        else
            EXPECT_EQ(pNode->m_nImage, pNode->m_pParent->m_nImage) << pNode->m_nStringID;
    }
    EXPECT_EQ(outOfOrder, std::vector<int>{248});
    EXPECT_EQ(nPerLevel[0], 8);
    EXPECT_EQ(nPerLevel[1], 28);
    EXPECT_EQ(nPerLevel[2], 139);
    EXPECT_EQ(EvidenceCatalogueItemCount(), 139);

    CEvidenceItem* pWmp = FindCatalogueItem(catalogue.pFirst, 245);
    ASSERT_NE(pWmp, (CEvidenceItem*)NULL);
    std::vector<int> wmp;
    for (CEvidenceItem* pItem = pWmp->m_pFirstChild; pItem != NULL; pItem = pItem->m_pNextSibling)
        wmp.push_back(pItem->m_nStringID);
    EXPECT_EQ(wmp, (std::vector<int>{246, 247, 369, 248}));
    EXPECT_STREQ(catalogue.pFirst->m_szText, L"Windows Cache and History");
    EXPECT_STREQ(catalogue.pFirst->m_szLanguageKey, L"IDS_STR_ROOT_WCH");
    EXPECT_STREQ(FindCatalogueItem(catalogue.pFirst, 204)->m_szText, L"MSN Messager and Window Living Messager");
    EXPECT_EQ(FindCatalogueItem(catalogue.pFirst, 134), (CEvidenceItem*)NULL);
}

TEST(EvidenceCatalogue, TextsAreCutAtTheFieldAndMissingKeysGiveEmptyTexts)
{
    testsupport::ScratchFolder folder;
    std::wstring strLanguage = folder.File(L"Long.ini");
    // Far beyond the field, as a language file of very long texts has them.
    std::wstring strLong(100 * 1024, L'x');
    strLong[258] = L'A';
    strLong[259] = L'B';
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"IDS_STR_ROOT_WCH", strLong.c_str(), strLanguage.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"IDS_STR_IBH_IE", L"IE", strLanguage.c_str()));
    {
        Catalogue catalogue(strLanguage.c_str());
        ASSERT_EQ(Walk(catalogue.pFirst).size(), 175u);
        EXPECT_EQ(std::wstring(catalogue.pFirst->m_szText), strLong.substr(0, 259));
        EXPECT_STREQ(FindCatalogueItem(catalogue.pFirst, 128)->m_szText, L"IE");
        EXPECT_STREQ(FindCatalogueItem(catalogue.pFirst, 129)->m_szText, L"");

        // A new language file gives every node its new text.
        RelabelEvidenceCatalogue(catalogue.pFirst, EnglishLanguageFile().c_str());
        EXPECT_STREQ(catalogue.pFirst->m_szText, L"Windows Cache and History");
        EXPECT_STREQ(FindCatalogueItem(catalogue.pFirst, 128)->m_szText, L"Internet Explorer");
    }
    // No language file yet: the whole catalogue, without texts.
    Catalogue bare(L"");
    std::vector<CEvidenceItem*> nodes = Walk(bare.pFirst);
    ASSERT_EQ(nodes.size(), 175u);
    for (CEvidenceItem* pNode : nodes)
        EXPECT_EQ(pNode->m_szText[0], 0);
}

TEST(EvidenceCatalogue, ChildrenAppendInOrderAndAreFreedDepthFirst)
{
    s_destroyed.clear();
    CTracedItem* pRoot = new CTracedItem(1);
    CTracedItem* pA = new CTracedItem(10);
    CTracedItem* pB = new CTracedItem(20);
    pRoot->AddChild(pA);
    pRoot->AddChild(NULL);  // nothing to add
    pRoot->AddChild(pB);
    pA->AddChild(new CTracedItem(11));
    pA->AddChild(new CTracedItem(12));
    pB->AddChild(new CTracedItem(21));
    EXPECT_EQ(pRoot->m_pFirstChild, pA);
    EXPECT_EQ(pA->m_pNextSibling, pB);
    EXPECT_EQ(pB->m_pParent, pRoot);
    EXPECT_EQ(pA->m_pFirstChild->m_pNextSibling->m_nStringID, 12);

    pRoot->FreeChildren();
    EXPECT_EQ(s_destroyed, (std::vector<int>{11, 12, 10, 21, 20}));
    EXPECT_EQ(pRoot->m_pFirstChild, (CEvidenceItem*)NULL);
    delete pRoot;
    EXPECT_EQ(s_destroyed.back(), 1);
}

TEST(EvidenceCatalogue, AnItemHoldsAtMostTwentySixTracesAndFreesThem)
{
    CEvidenceItem item;
    for (int i = 0; i < EVIDENCE_MAX_TRACES; i++)
        ASSERT_TRUE(item.AddTrace(new EvidenceTrace())) << i;
    EvidenceTrace* pExtra = new EvidenceTrace();
    EXPECT_FALSE(item.AddTrace(pExtra)) << "the caller keeps a trace not taken";
    delete pExtra;
    EXPECT_EQ(item.m_nTraceCount, EVIDENCE_MAX_TRACES);
    item.m_nTraceIndex = 5;
    item.ClearTraces();
    EXPECT_EQ(item.m_nTraceCount, 0);
    EXPECT_EQ(item.m_nTraceIndex, 0);
    for (EvidenceTrace* pTrace : item.m_pTraces)
        EXPECT_EQ(pTrace, (EvidenceTrace*)NULL);
    EXPECT_TRUE(item.AddTrace(new EvidenceTrace()));
}
