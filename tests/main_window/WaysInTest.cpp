#include "tests/main_window/MainWindowFixture.h"

// Every page has a visible control that leads to it: the start launcher
// through the button beside Update, the problems page through its task
// button on the IE tools page.
TEST_F(MainWindowTest, EasyStepsAndIeProblemsHaveVisibleButtons)
{
    CreateMainWindow();
    EXPECT_TRUE(m_pDlg->m_btnEasySteps.GetStyle() & WS_VISIBLE);
    m_pDlg->m_btnEasySteps.SendMessage(BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_HOME_LAUNCHER);

    m_pDlg->ShowPage(PAGE_IE_TOOLS);
    CWnd* pProblems = m_pDlg->m_pageIeTools.GetDlgItem(1004);
    ASSERT_NE(pProblems, nullptr);
    EXPECT_TRUE(pProblems->GetStyle() & WS_VISIBLE);
    pProblems->SendMessage(BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_IE_HELP);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_IE_HELP);
}
