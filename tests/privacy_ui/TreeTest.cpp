// The check-box tree over the real catalogue: propagation by mouse, the scan
// list, counts, the animation's timer thread and bounded texts.
#include "framework/ImageList.h"
#include "framework/WinThread.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/MyTreeCtrl.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"

using namespace privtest;

namespace {
class TreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pCatalogue = BuildEvidenceItemTree(EnglishLanguageFile().c_str());
        ASSERT_NE(m_pCatalogue, (CEvidenceItem*)NULL);
        ASSERT_TRUE(m_tree.CreateEx(WS_EX_CLIENTEDGE,
                                    WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                        TVS_CHECKBOXES | TVS_FULLROWSELECT,
                                    CRect(10, 10, 457, 560), &m_host, 10000));
        m_tree.SetBitmaps(184, 185);
        ASSERT_TRUE(CMyTreeCtrl::LoadCatalogueImages(m_images));
        m_tree.SetImageList(&m_images, TVSIL_NORMAL);
        for (CEvidenceItem* pRoot = m_pCatalogue; pRoot != NULL; pRoot = pRoot->m_pNext)
            m_tree.InsertItemTree(pRoot, TVI_ROOT);
    }
    void TearDown() override
    {
        m_tree.ClearScanList();
        if (m_tree.m_hWnd != NULL)
            m_tree.DestroyWindow();
        FreeEvidenceCatalogue(m_pCatalogue);
    }
    CEvidenceItem* Node(int nID) { return FindCatalogueItem(m_pCatalogue, nID); }
    int State(int nID) { return m_tree.GetCheckState(Node(nID)->m_hItem); }
    // A real click on the node's check box.
    void ClickBox(int nID)
    {
        m_tree.EnsureVisible(Node(nID)->m_hItem);
        CRect rc;
        ASSERT_TRUE(m_tree.GetCheckBoxRect(Node(nID)->m_hItem, rc));
        ClickAt(m_tree.m_hWnd, rc.CenterPoint());
    }
    HostWindow m_host;
    CImageList m_images;
    CMyTreeCtrl m_tree;
    CEvidenceItem* m_pCatalogue = NULL;
};

UINT __cdecl StartFromWorker(LPVOID pParam)
{
    std::pair<CMyTreeCtrl*, CEvidenceItem*>* pArgs = (std::pair<CMyTreeCtrl*, CEvidenceItem*>*)pParam;
    pArgs->first->StartItemAnimation(pArgs->second);
    return 0;
}
} // namespace

TEST_F(TreeTest, ClicksPropagateDownAndPartlyUp)
{
    EXPECT_EQ(State(104), CMyTreeCtrl::STATE_UNCHECKED) << "every node starts unchecked";
    // One item of Internet Explorer: its program and root are partly checked.
    ClickBox(129);
    EXPECT_EQ(State(129), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(128), CMyTreeCtrl::STATE_PARTLY);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_PARTLY);
    EXPECT_EQ(State(130), CMyTreeCtrl::STATE_UNCHECKED);
    // Unchecking the last checked item of a program unchecks it and its root.
    ClickBox(129);
    EXPECT_EQ(State(128), CMyTreeCtrl::STATE_UNCHECKED);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_UNCHECKED);

    // A program checked whole: all its items; its root stays partly.
    ClickBox(142);
    EXPECT_EQ(State(143), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(150), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_PARTLY);
    // A partly checked box becomes checked with everything below it.
    ClickBox(127);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(141), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(169), CMyTreeCtrl::STATE_CHECKED);
    // Unchecking one of several checked items: program and root partly.
    ClickBox(164);
    EXPECT_EQ(State(163), CMyTreeCtrl::STATE_PARTLY);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_PARTLY);
    EXPECT_EQ(State(102), CMyTreeCtrl::STATE_UNCHECKED) << "another root is untouched";

    // A click on the text selects and changes no box.
    HTREEITEM hItem = Node(165)->m_hItem;
    CRect rcText;
    ASSERT_TRUE(m_tree.GetItemRect(hItem, &rcText, TRUE));
    ClickAt(m_tree.m_hWnd, CPoint(rcText.left + 5, rcText.CenterPoint().y));
    EXPECT_EQ(m_tree.GetSelectedItem(), hItem);
    EXPECT_EQ(State(165), CMyTreeCtrl::STATE_CHECKED);
    // Space on the selected row toggles it as a click would.
    ::SendMessageW(m_tree.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(State(165), CMyTreeCtrl::STATE_UNCHECKED);

    m_tree.UncheckAll(m_pCatalogue);
    EXPECT_EQ(State(127), CMyTreeCtrl::STATE_UNCHECKED);
    EXPECT_EQ(State(165), CMyTreeCtrl::STATE_UNCHECKED);
    m_tree.CheckAll(m_pCatalogue);
    EXPECT_EQ(State(374), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(State(102), CMyTreeCtrl::STATE_CHECKED);
}

TEST_F(TreeTest, ScanListHoldsCheckedItemsInTreeOrderAndCountsAddUp)
{
    for (CEvidenceItem* pRoot = m_pCatalogue; pRoot != NULL; pRoot = pRoot->m_pNext)
        m_tree.PrepareScan(pRoot, 30, 13);
    EXPECT_EQ(m_tree.GetScanList(), (CEvidenceItem*)NULL) << "nothing checked";

    EXPECT_TRUE(m_tree.CheckItemById(m_pCatalogue, 369));
    EXPECT_TRUE(m_tree.CheckItemById(m_pCatalogue, 104));
    EXPECT_TRUE(m_tree.CheckItemById(m_pCatalogue, 245));  // a program: its four items
    EXPECT_FALSE(m_tree.CheckItemById(m_pCatalogue, 9999));
    for (CEvidenceItem* pRoot = m_pCatalogue; pRoot != NULL; pRoot = pRoot->m_pNext)
        m_tree.PrepareScan(pRoot, 30, 13);
    std::vector<int> ids;
    for (CEvidenceItem* p = m_tree.GetScanList(); p != NULL; p = p->m_pNext)
        ids.push_back(p->m_nStringID);
    EXPECT_EQ(ids, (std::vector<int>{104, 246, 247, 369, 248}));
    EXPECT_EQ(m_pCatalogue->m_pNext->m_nStringID, 127) << "the roots' chain is not the scan list";

    m_tree.AddFound(Node(246), 3);
    m_tree.AddFound(Node(369), 2);
    EXPECT_EQ(Node(246)->m_nFoundCount, 3);
    EXPECT_EQ(Node(245)->m_nFoundCount, 5);
    EXPECT_EQ(Node(244)->m_nFoundCount, 5);
    // Counts line up per level, one indent further left per level up.
    CRect rcItem, rcProgram, rcRoot, rcIcon, rcNone;
    m_tree.Expand(Node(244)->m_hItem, TVE_EXPAND);
    m_tree.Expand(Node(245)->m_hItem, TVE_EXPAND);
    ASSERT_TRUE(m_tree.GetCountRect(Node(246), rcItem, rcIcon));
    ASSERT_TRUE(m_tree.GetCountRect(Node(245), rcProgram, rcNone));
    ASSERT_TRUE(m_tree.GetCountRect(Node(244), rcRoot, rcNone));
    const int nIndent = (int)m_tree.GetIndent();
    EXPECT_EQ(rcItem.right - rcProgram.right, nIndent);
    EXPECT_EQ(rcProgram.right - rcRoot.right, nIndent);
    EXPECT_EQ(rcItem.Width(), 30);
    EXPECT_EQ(rcIcon.right - rcItem.right, 21);
    EXPECT_TRUE(rcNone.IsRectEmpty()) << "no status icon above items";

    m_tree.CutScanListAfter(Node(247));
    EXPECT_EQ(m_tree.GetScanListCount(), 3);
    m_tree.ClearCounts(m_pCatalogue);
    EXPECT_EQ(Node(244)->m_nFoundCount, 0);
    m_tree.ClearScanList();
    EXPECT_EQ(m_tree.GetScanListCount(), 0);
    EXPECT_EQ(Node(246)->m_pNext, (CEvidenceItem*)NULL);
}

TEST_F(TreeTest, AnimationStartedFromAWorkerRunsOnTheWindowsThread)
{
    m_tree.Expand(Node(102)->m_hItem, TVE_EXPAND);
    m_tree.Expand(Node(103)->m_hItem, TVE_EXPAND);
    std::pair<CMyTreeCtrl*, CEvidenceItem*> args(&m_tree, Node(104));
    HANDLE hThread = AfxBeginWorker(&StartFromWorker, &args);
    ASSERT_NE(hThread, (HANDLE)NULL);
    ::WaitForSingleObject(hThread, 10000);
    ::CloseHandle(hThread);
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_tree.GetAnimatedNode() == Node(104); }, 5000));
    EXPECT_EQ(m_tree.GetTimerThreadId(), ::GetCurrentThreadId());
    EXPECT_EQ(Node(104)->m_nStatus, 1);
    EXPECT_EQ(Node(102)->m_nStatus, 1) << "ancestors are scanning too";
    EXPECT_TRUE(testsupport::WaitFor([&] { return m_tree.GetAnimationFrame() >= 2; }, 5000)) << "frames advance";
    m_tree.StopItemAnimation();
    EXPECT_EQ(Node(104)->m_nStatus, 2);
    EXPECT_EQ(Node(103)->m_nStatus, 2);
    const int nFrame = m_tree.GetAnimationFrame();
    Pump(700);
    EXPECT_EQ(m_tree.GetAnimationFrame(), nFrame) << "the timer is gone";
}

TEST_F(TreeTest, LanguageSwitchCutsLongTextsAndNullNodesAreSkipped)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Long.ini");
    std::wstring strLong(400, L'x');
    ::WritePrivateProfileStringW(L"String", L"IDS_STR_ROOT_WCH", strLong.c_str(), strFile.c_str());
    m_tree.SwitchLanguage(m_pCatalogue, strFile.c_str());
    EXPECT_EQ(m_tree.GetItemText(Node(102)->m_hItem).GetLength(), EVIDENCE_TEXT_SIZE - 1);
    EXPECT_TRUE(m_tree.GetItemText(Node(103)->m_hItem).IsEmpty()) << "a missing key gives an empty text";
    m_tree.SwitchLanguage(m_pCatalogue, EnglishLanguageFile().c_str());
    EXPECT_EQ(m_tree.GetItemText(Node(103)->m_hItem), CString(L"Windows Entries"));

    EXPECT_EQ(m_tree.InsertItemTree(NULL, TVI_ROOT), (HTREEITEM)NULL);
    m_tree.PrepareScan(NULL, 10, 10);
    m_tree.StartItemAnimation(NULL);
    m_tree.AddFound(NULL, 1);
    m_tree.CutScanListAfter(NULL);
    EXPECT_EQ(m_tree.GetAnimatedNode(), (CEvidenceItem*)NULL);
}
