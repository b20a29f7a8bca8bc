#include "tests/app/AppTestSupport.h"
#include "tests/app/data/AppTestIds.h"
#include "controls/skin/ButtonST.h"

namespace {
void RegisterTreeListClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"HTMLTreeList";
    ::RegisterClassW(&wc);
}

CString TextOf(CWnd& dlg, int nID)
{
    wchar_t szText[256] = {};
    ::GetWindowTextW(::GetDlgItem(dlg.m_hWnd, nID), szText, 256);
    return szText;
}

class TranslateDialogTest : public AppFolderTest
{
protected:
    void SetUp() override
    {
        AppFolderTest::SetUp();
        RegisterTreeListClass();
        WriteText(Path(L"Test.ini"),
                  "[String]\r\n"
                  "IDD_7001_Title=Translated\\nTitle\r\n"
                  "IDD_7001_1001=line one\\nline two\r\n"
                  "IDD_7001_1002=edit text\r\n"
                  "IDD_7001_1003=combo text\r\n"
                  "IDD_7001_1004=list text\r\n"
                  "IDD_7001_1005=Translated check\r\n"
                  "IDD_7001_1006=bitmap caption\r\n"
                  "BTN_7001_1006=Tip\\nText\r\n"
                  "IDD_7001_1007=tree text\r\n"
                  "IDD_7001_1011=Translated bitmap check\r\n"
                  "BTN_7001_1011=no tooltip for check boxes\r\n"
                  "IDD_7001_1008=Translated group\r\n"
                  "IDD_7001_1009=\r\n"
                  "IDD_7001_1010=Twin\r\n"
                  "IDD_267_1030=must not appear\r\n"
                  "IDD_267_1001=Translated for 267\r\n"
                  "IDD_131_1021=Treiber\r\n");
        m_app.m_strLangFile = Path(L"Test.ini").c_str();
        ASSERT_TRUE(m_dlg.Create(IDD_TRANSLATE_TEST, NULL));
        ASSERT_TRUE(m_button.SubclassDlgItem(IDC_TEST_BITMAP_BUTTON, &m_dlg));
        ASSERT_TRUE(m_check.SubclassDlgItem(IDC_TEST_BITMAP_CHECK, &m_dlg));
    }
    void TearDown() override
    {
        m_button.UnsubclassWindow();
        m_check.UnsubclassWindow();
        m_dlg.DestroyWindow();
        AppFolderTest::TearDown();
    }

    CDialog m_dlg;
    CButtonST m_button;
    CButtonST m_check;
};
} // namespace

TEST_F(TranslateDialogTest, TextsComeFromTheTemplateAndControlIds)
{
    for (int i = 0; i < 15; ++i)
        m_app.m_strCategoryNames[i] = L"before";
    m_app.TranslateDialog(&m_dlg, IDD_TRANSLATE_TEST);

    wchar_t szTitle[128] = {};
    ::GetWindowTextW(m_dlg.m_hWnd, szTitle, 128);
    EXPECT_STREQ(szTitle, L"Translated\\nTitle");  // captions keep the two characters
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_STATIC), L"line one\nline two");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_CHECK), L"Translated check");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_GROUP), L"Translated group");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_KEPT), L"template kept");  // no key for 7001_1030

    // Lists, combo boxes, tree lists and edits keep their texts.
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_EDIT), L"");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_COMBO), L"");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_LIST), L"");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_TREELIST), L"template tree");
    // A bitmap push button keeps its caption: its key gives only the tooltip.
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_BITMAP_BUTTON), L"template bitmap");
    CString strTip;
    m_button.GetToolTip().GetText(strTip, &m_button, 1);
    EXPECT_STREQ(strTip, L"Tip\\nText");  // tooltips keep the two characters
    // A bitmap check box takes its text like any other child.
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_BITMAP_CHECK), L"Translated bitmap check");
    EXPECT_EQ(m_check.GetToolTip().GetSafeHwnd(), (HWND)NULL);
    // An empty text leaves the template's.
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_PLAIN_BUTTON), L"template push");

    // Both children with one id get the text.
    int nTwins = 0;
    for (HWND hChild = ::GetWindow(m_dlg.m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (::GetDlgCtrlID(hChild) == IDC_TEST_TWIN)
        {
            wchar_t szText[64] = {};
            ::GetWindowTextW(hChild, szText, 64);
            EXPECT_STREQ(szText, L"Twin");
            ++nTwins;
        }
    }
    EXPECT_EQ(nTwins, 2);

    // The category names are refreshed whatever the dialog; missing keys keep theirs.
    EXPECT_STREQ(m_app.m_strCategoryNames[6], L"Treiber");
    EXPECT_STREQ(m_app.m_strCategoryNames[0], L"before");
}

// The value labels of the tool pages keep what their pages put there.
TEST_F(TranslateDialogTest, KeptKeysAreLeftAlone)
{
    m_app.TranslateDialog(&m_dlg, 267);
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_KEPT), L"template kept");
    EXPECT_STREQ(TextOf(m_dlg, IDC_TEST_STATIC), L"Translated for 267");
    wchar_t szTitle[128] = {};
    ::GetWindowTextW(m_dlg.m_hWnd, szTitle, 128);
    EXPECT_STREQ(szTitle, L"Template Title");
}
