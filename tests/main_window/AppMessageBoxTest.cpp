#include "tests/main_window/MainWindowFixture.h"
#include "app/AppMessageBox.h"
#include <vector>

namespace {

struct TemplateItem
{
    WORD wID;
    short x, y, cx, cy;
    DWORD dwStyle;
    WORD wClass;
    std::wstring strText;
    WORD wOrdinal;  // the text's ordinal, 0 when it is a string
};

struct ParsedTemplate
{
    DWORD dwStyle = 0;
    short cx = 0, cy = 0;
    std::wstring strCaption;
    std::wstring strFont;
    std::vector<TemplateItem> items;
    const TemplateItem* Item(WORD wID) const
    {
        for (const TemplateItem& item : items)
            if (item.wID == wID)
                return &item;
        return NULL;
    }
};

// Reads back what the page composed, as the dialog manager will.
ParsedTemplate Parse(LPCDLGTEMPLATE pTemplate)
{
    ParsedTemplate parsed;
    const BYTE* pBase = (const BYTE*)pTemplate;
    parsed.dwStyle = pTemplate->style;
    parsed.cx = pTemplate->cx;
    parsed.cy = pTemplate->cy;
    const WORD* p = (const WORD*)(pTemplate + 1);
    auto readString = [&p]() {
        std::wstring str;
        while (*p)
            str += (wchar_t)*p++;
        p++;
        return str;
    };
    p++;  // menu
    p++;  // class
    parsed.strCaption = readString();
    p++;  // point size
    parsed.strFont = readString();
    for (WORD i = 0; i < pTemplate->cdit; i++)
    {
        p = (const WORD*)(pBase + (((const BYTE*)p - pBase + 3) & ~3));
        const DLGITEMTEMPLATE* pItem = (const DLGITEMTEMPLATE*)p;
        TemplateItem item = {pItem->id, pItem->x, pItem->y, pItem->cx, pItem->cy, pItem->style, 0, L"", 0};
        p = (const WORD*)(pItem + 1);
        p++;  // 0xFFFF
        item.wClass = *p++;
        if (*p == 0xFFFF)
        {
            item.wOrdinal = p[1];
            p += 2;
        }
        else
            item.strText = readString();
        p++;  // no creation data
        parsed.items.push_back(item);
    }
    return parsed;
}

ParsedTemplate Compose(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    CString strTitle, strSubtitle;
    AppMessageBoxSplitText(lpszText, strTitle, strSubtitle);
    CTaskPage page(NULL, NULL, lpszCaption, strTitle, strSubtitle, AppMessageBoxButtons(nType), AppMessageBoxIcon(nType));
    return Parse(page.GetTemplate());
}

std::vector<WORD> ButtonIds(const ParsedTemplate& parsed)
{
    std::vector<WORD> ids;
    for (const TemplateItem& item : parsed.items)
        if (item.wClass == 0x0080)
            ids.push_back(item.wID);
    return ids;
}

} // namespace

TEST(AppMessageBox, TheFirstSentenceBecomesTheTitle)
{
    ParsedTemplate parsed = Compose(L"The scan is finished. Nothing needs repair.", L"Tamsel", MB_OK);
    ASSERT_NE(parsed.Item(253), nullptr);
    EXPECT_EQ(parsed.Item(253)->strText, L"The scan is finished...");
    EXPECT_EQ(parsed.Item(252)->strText, L"Nothing needs repair.");
    EXPECT_EQ(parsed.strCaption, L"Tamsel");
    EXPECT_EQ(parsed.strFont, L"MS Sans Serif");
    // A text that starts with its mark is not split; an empty subtitle is a blank.
    parsed = Compose(L"!Careful. Really", L"Tamsel", MB_OK);
    EXPECT_EQ(parsed.Item(253)->strText, L"!Careful. Really");
    EXPECT_EQ(parsed.Item(252)->strText, L" ");
    EXPECT_EQ(parsed.Item(254), nullptr);
    EXPECT_EQ(parsed.Item(253)->x, 8);
}

TEST(AppMessageBox, AQuestionShowsItsIconAndButtonsInPlace)
{
    ParsedTemplate parsed = Compose(L"Remove the items? They go for good.", L"Tamsel", MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(parsed.cx, 242);
    EXPECT_EQ(parsed.dwStyle, 0x10C800C0u | WS_VISIBLE);
    ASSERT_NE(parsed.Item(254), nullptr);
    EXPECT_EQ(parsed.Item(254)->wOrdinal, 32514);
    EXPECT_TRUE(parsed.Item(254)->dwStyle & SS_ICON);
    EXPECT_EQ(parsed.Item(253)->x, 36);
    EXPECT_EQ(parsed.Item(253)->cx, 242 - 36 - 8);
    ASSERT_NE(parsed.Item(IDYES), nullptr);
    EXPECT_EQ(parsed.Item(IDYES)->strText, L"&Yes");
    EXPECT_EQ(parsed.Item(IDYES)->x, 124);
    EXPECT_EQ(parsed.Item(IDNO)->x, 180);
    EXPECT_EQ(parsed.Item(IDNO)->y, 92 - 21);
    EXPECT_EQ(parsed.Item(255)->y, 92 - 29);
    EXPECT_FALSE(parsed.Item(255)->dwStyle & WS_VISIBLE);
}

TEST(AppMessageBox, SixButtonsWidenTheBoxAndAMissingCaptionIsTheProgramsName)
{
    CTaskPage page(NULL, NULL, NULL, L"Title", L"", 63, 0);
    ParsedTemplate parsed = Parse(page.GetTemplate());
    EXPECT_EQ(parsed.cx, 342);
    EXPECT_EQ(ButtonIds(parsed), (std::vector<WORD>{IDOK, IDYES, IDNO, IDCANCEL, IDRETRY, IDCLOSE}));
    EXPECT_EQ(parsed.Item(IDOK)->x, 6);
    EXPECT_EQ(parsed.strCaption, L"main_window_tests");
    // No buttons asked for: OK.
    CTaskPage plain(NULL, NULL, L"x", L"Title", L"", 0, 0);
    EXPECT_EQ(ButtonIds(Parse(plain.GetTemplate())), (std::vector<WORD>{IDOK}));
}

TEST(AppMessageBox, AbortRetryIgnoreAndCancelTryContinueKeepTheirOwnButtons)
{
    EXPECT_EQ(ButtonIds(Compose(L"Failed.", L"x", MB_ABORTRETRYIGNORE)),
              (std::vector<WORD>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(ButtonIds(Compose(L"Failed.", L"x", MB_CANCELTRYCONTINUE)),
              (std::vector<WORD>{IDCANCEL, IDTRYAGAIN, IDCONTINUE}));
    EXPECT_EQ(ButtonIds(Compose(L"Failed.", L"x", MB_RETRYCANCEL)), (std::vector<WORD>{IDCANCEL, IDRETRY}));
    EXPECT_EQ(ButtonIds(Compose(L"Failed.", L"x", MB_YESNOCANCEL)), (std::vector<WORD>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(AppMessageBoxIcon(MB_ICONHAND), 32513u);
    EXPECT_EQ(AppMessageBoxIcon(MB_ICONEXCLAMATION), 32515u);
    EXPECT_EQ(AppMessageBoxIcon(MB_ICONASTERISK), 32516u);
    EXPECT_EQ(AppMessageBoxIcon(MB_USERICON), 0u);
}

namespace {
HWND s_hBoxOwner = NULL;
bool s_bBoxSeen = false;
void CALLBACK AnswerTryAgain(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hBox = ::FindWindowW(NULL, L"Kit question");
    if (hBox == NULL || !::IsWindowVisible(hBox))
        return;
    // Pressed again on every tick until the box is gone.
    if (!s_bBoxSeen)
    {
        s_bBoxSeen = true;
        s_hBoxOwner = ::GetWindow(hBox, GW_OWNER);
        testsupport::RunHostCommand(
            "command -v import >/dev/null && import -window root \"$(dirname \"$WINEPREFIX\")\"/kit-messagebox.png",
            20000);
    }
    ::SendMessageW(::GetDlgItem(hBox, IDTRYAGAIN), BM_CLICK, 0, 0);
}
} // namespace

TEST_F(MainWindowTest, AppMessageBoxIsModalToTheMainWindowAndReturnsItsButton)
{
    CreateMainWindow();
    CWnd* pOldMain = TestApp()->m_pMainWnd;
    TestApp()->m_pMainWnd = m_pDlg.get();
    s_bBoxSeen = false;
    UINT_PTR nTimer = ::SetTimer(NULL, 0, 200, &AnswerTryAgain);
    int nResult = AppMessageBox(L"The backup could not be written. Check the free space on the drive and try again.",
                                L"Kit question", MB_CANCELTRYCONTINUE | MB_ICONEXCLAMATION);
    ::KillTimer(NULL, nTimer);
    TestApp()->m_pMainWnd = pOldMain;
    EXPECT_TRUE(s_bBoxSeen);
    EXPECT_EQ(nResult, IDTRYAGAIN);
    EXPECT_EQ(s_hBoxOwner, m_pDlg->m_hWnd);
}
