// The kit both libraries compile in: INI accessor, language lookup, drawing
// helpers and the skinned controls, driven with real mouse messages.
#include "optimizer/shared/DrawUtils.h"
#include "optimizer/shared/IniFile.h"
#include "optimizer/shared/LangString.h"
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/SkinGroupBox.h"
#include "optimizer/shared/NButtonEx.h"
#include "optimizer/shared/SkinRadioButton.h"
#include "optimizer/shared/SkinTab.h"
#include "tests/optimizer/OptimizerTestSupport.h"

using namespace optest;

TEST(CIniFile, MissingKeysReadAsMinusOneAndLongTextsWhole)
{
    testsupport::ScratchFolder folder;
    CIniFile::SetHostFolderForTests(folder.Path().c_str());
    CIniFile ini(L"Test.ini");
    EXPECT_EQ(ini.GetPath(), CString((folder.Path() + L"Test.ini").c_str()));
    EXPECT_EQ(ini.ReadInt(L"setting", L"nw"), -1) << "no file";
    ini.WriteInt(L"setting", L"nw", 5069);
    ini.WriteInt(L"setting", L"neg", -7);
    EXPECT_EQ(ini.ReadInt(L"setting", L"nw"), 5069);
    EXPECT_EQ(ini.ReadInt(L"setting", L"dc"), -1) << "a missing key is not 0";
    EXPECT_EQ(ini.ReadInt(L"setting", L"neg"), -7);
    std::wstring strLong(3000, L'x');
    ini.WriteString(L"String", L"LONG", strLong.c_str());
    CString strRead;
    EXPECT_TRUE(ini.ReadString(L"String", L"LONG", strRead));
    EXPECT_EQ(strRead.GetLength(), 3000);
    EXPECT_FALSE(ini.ReadString(L"String", L"NONE", strRead));
    // A new profile file is plain ANSI text.
    std::string bytes = testsupport::ReadFileBytes(ini.GetPath().GetString());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_NE((unsigned char)bytes[0], 0xFF);
    EXPECT_EQ(bytes.find("[setting]"), 0u);

    // Folders of any length: no fixed path buffer.
    std::wstring strDeep = folder.Path() + std::wstring(200, L'd') + L"\\" + std::wstring(200, L'e') + L"\\";
    CIniFile::SetHostFolderForTests(strDeep.c_str());
    EXPECT_EQ(CIniFile(L"Tunekit.ini").GetPath(), CString((strDeep + L"Tunekit.ini").c_str()));
    CIniFile::SetHostFolderForTests(NULL);
    // A path cut by a small buffer is asked for again, larger.
    CString strFull = CIniFile::ModuleFilePath(NULL);
    EXPECT_GT(strFull.GetLength(), 8);
    EXPECT_EQ(CIniFile::ModuleFilePath(NULL, 4), strFull);
    CString strHost = CIniFile::GetHostFolder();
    EXPECT_EQ(strHost.Right(1), CString(L"\\"));
    EXPECT_NE(strHost.Find(L"\\bin\\"), -1) << "beside the test executable";
}

// A language text of 100 KiB is read as its first 999 characters, as the
// main program reads it; a text of that length comes back whole.
TEST(ReadLangString, ALongTextIsCutWhereNoUserCouldReadMore)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.Path() + L"Long.ini";
    // Words of six letters; character 998 is no blank (a profile value loses trailing blanks).
    std::wstring strLong;
    for (int i = 0; i < 100 * 1024; i++)
        strLong += i % 7 == 6 ? L' ' : (wchar_t)(L'a' + i % 26);
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"LONG", strLong.c_str(), strFile.c_str()));
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"FULL", strLong.substr(0, 999).c_str(), strFile.c_str()));
    CString strRead = ReadLangString(strFile.c_str(), L"String", L"LONG");
    EXPECT_EQ(strRead.GetLength(), 999);
    EXPECT_EQ(std::wstring(strRead.GetString()), strLong.substr(0, 999));
    EXPECT_EQ(std::wstring(ReadLangString(strFile.c_str(), L"String", L"FULL").GetString()), strLong.substr(0, 999));
}

TEST(ReadLangString, MissingIsEmptyAndBackslashNStays)
{
    std::wstring strFile = EnglishLanguageFile();
    EXPECT_EQ(ReadLangString(strFile.c_str(), L"String", L"IDC_STC_NW_PPP"), CString(L"PPPoE"));
    EXPECT_TRUE(ReadLangString(strFile.c_str(), L"String", L"NO_SUCH_KEY").IsEmpty());
    EXPECT_TRUE(ReadLangString(L"C:\\no\\such\\file.ini", L"String", L"IDC_STC_NW_PPP").IsEmpty());
    EXPECT_TRUE(ReadLangString(L"", L"String", L"IDC_STC_NW_PPP").IsEmpty());
    CString strFinish = ReadLangString(strFile.c_str(), L"String", L"IDC_STC_DC_FINISH");
    EXPECT_NE(strFinish.Find(L"\\n"), -1);
    EXPECT_EQ(ExpandLineBreaks(strFinish).Find(L"\\n"), -1);
    EXPECT_NE(ExpandLineBreaks(strFinish).Find(L'\n'), -1);
    EXPECT_TRUE(IsSameText(CString(L"Modem"), L"Modem"));
    EXPECT_FALSE(IsSameText(CString(L"Modem"), L"modem"));
}

TEST(MakeEllipsisText, FitsExactlyOrCutsToTheLongestHead)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CString strText = L"Configure memory performance";
    int nWidth = dc.GetTextExtent(strText).cx;
    EXPECT_EQ(MakeEllipsisText(&dc, strText, nWidth + 12, 12), strText) << "exact fit is not cut";
    CString strCut = MakeEllipsisText(&dc, strText, nWidth + 11, 12);
    ASSERT_EQ(strCut.Right(3), CString(L"..."));
    EXPECT_EQ(strText.Find(strCut.Left(strCut.GetLength() - 3)), 0);
    EXPECT_LE(dc.GetTextExtent(strCut).cx + 12, nWidth + 11);
    // The next longer head would not fit.
    CString strLonger = strText.Left(strCut.GetLength() - 2) + L"...";
    EXPECT_GT(dc.GetTextExtent(strLonger).cx + 12, nWidth + 11);
    EXPECT_EQ(MakeEllipsisText(&dc, strText, 3, 12), CString(L"C...")) << "at least one character";
    EXPECT_EQ(MakeEllipsisText(&dc, CString(), 0, 12), CString());
    // Each call returns its own string.
    CString strFirst = MakeEllipsisText(&dc, strText, 40, 12);
    CString strSecond = MakeEllipsisText(&dc, CString(L"Another long text here"), 60, 12);
    EXPECT_NE(strFirst, strSecond);
    EXPECT_EQ(strFirst.Left(1), CString(L"C"));
}

TEST(DrawTransparentBitmap, LeavesOutTheKeyColourAndStretches)
{
    CDC dcScreen;
    ASSERT_TRUE(dcScreen.CreateCompatibleDC(NULL));
    CClientDC dcRef(NULL);
    CDC dcSrc, dcDst;
    CBitmap bmpSrc, bmpDst;
    ASSERT_TRUE(dcSrc.CreateCompatibleDC(&dcRef) && dcDst.CreateCompatibleDC(&dcRef));
    ASSERT_TRUE(bmpSrc.CreateCompatibleBitmap(&dcRef, 4, 4) && bmpDst.CreateCompatibleBitmap(&dcRef, 8, 8));
    HGDIOBJ hOldSrc = ::SelectObject(dcSrc, bmpSrc);
    HGDIOBJ hOldDst = ::SelectObject(dcDst, bmpDst);
    dcSrc.FillSolidRect(0, 0, 4, 4, SKIN_KEY_COLOR);
    dcSrc.FillSolidRect(0, 0, 2, 4, RGB(0, 0, 255));
    dcDst.FillSolidRect(0, 0, 8, 8, RGB(0, 255, 0));
    DrawTransparentBitmap(&dcDst, 0, 0, 8, 8, &dcSrc, 0, 0, 4, 4, SKIN_KEY_COLOR);
    EXPECT_EQ(dcDst.GetPixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(dcDst.GetPixel(3, 6), RGB(0, 0, 255)) << "stretched to twice the width";
    EXPECT_EQ(dcDst.GetPixel(5, 1), RGB(0, 255, 0)) << "magenta is left out";
    EXPECT_EQ(dcDst.GetPixel(7, 7), RGB(0, 255, 0));
    ::SelectObject(dcSrc, hOldSrc);
    ::SelectObject(dcDst, hOldDst);
}

namespace {
COLORREF ScreenPixel(HWND hWnd, int x, int y)
{
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    Pump(50);
    HDC hDC = ::GetDC(hWnd);
    COLORREF cr = ::GetPixel(hDC, x, y);
    ::ReleaseDC(hWnd, hDC);
    return cr;
}

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override { Pump(20); }
    HostWindow m_host;
};
} // namespace

TEST_F(ControlsTest, TabStripClickPostsOnceAndSettersIgnoreBadIndexes)
{
    CSkinTab tab;
    ASSERT_TRUE(tab.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 36), &m_host, 1049));
    tab.SetTabCount(3);
    for (int i = 0; i < 3; i++)
    {
        tab.SetTabRect(i, 100 * i, 0, 100 * i + 100, 86);
        EXPECT_TRUE(tab.SetTabBitmaps(i, 5012, 5012, 5013));
    }
    // Overlapping rectangles: the earlier tab wins the hit.
    tab.SetTabRect(2, 150, 0, 300, 86);
    tab.SetTabRect(3, 0, 0, 1, 1);
    tab.SetTabRect(-1, 0, 0, 1, 1);
    EXPECT_FALSE(tab.SetTabBitmaps(5, 5012, 5012, 5013));
    tab.SetTabTooltip(9, L"x");
    tab.SetCurSel(7);
    EXPECT_EQ(tab.GetCurSel(), -1);
    tab.SetCurSel(0);
    EXPECT_EQ(tab.GetCurSel(), 0);
    Pump(50);
    EXPECT_TRUE(m_host.m_posted.empty()) << "selecting by code tells nobody";

    ClickAt(tab.m_hWnd, CPoint(160, 10));
    EXPECT_EQ(tab.GetCurSel(), 1);
    ClickAt(tab.m_hWnd, CPoint(160, 12));  // the selected tab: nothing
    Pump(50);
    ASSERT_EQ(m_host.m_posted.size(), 1u);
    EXPECT_EQ(m_host.m_posted[0].lParam, 1);
    ClickAt(tab.m_hWnd, CPoint(250, 10));
    Pump(50);
    ASSERT_EQ(m_host.m_posted.size(), 2u);
    EXPECT_EQ(m_host.m_posted[1].lParam, 2);
}

TEST_F(ControlsTest, TabStripTakesTheParentsOwnDrawingNotTheScreen)
{
    CSkinTab tab;
    ASSERT_TRUE(tab.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 36), &m_host, 1049));
    tab.SetTabCount(1);
    tab.SetTabRect(0, 0, 0, 100, 86);
    tab.SetTabBitmaps(0, 5012, 5012, 5013);
    // Right of the tab only the background shows; left of it the tab's own
    // magenta corner must not show either.
    EXPECT_EQ(ScreenPixel(tab.m_hWnd, 200, 10), PRINT_RED);
    EXPECT_EQ(ScreenPixel(tab.m_hWnd, 0, 0), PRINT_RED);
    EXPECT_NE(ScreenPixel(tab.m_hWnd, 50, 20), PRINT_RED);
}

TEST_F(ControlsTest, DisabledButtonShowsOnlyItsDisabledBitmap)
{
    CNButtonEx button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 60, 106, 88), &m_host, 5027));
    button.SetBitmaps(5024, 5023, 5023, 5038, 96, 28, 2);
    COLORREF crNormal = ScreenPixel(button.m_hWnd, 48, 20);
    button.EnableButton(FALSE);
    MoveMouseTo(button.m_hWnd, CPoint(48, 14));
    ::SendMessageW(button.m_hWnd, WM_MOUSEHOVER, 0, MAKELPARAM(48, 14));
    COLORREF crDisabled = ScreenPixel(button.m_hWnd, 48, 20);
    EXPECT_GT((int)GetBValue(crNormal), (int)GetRValue(crNormal) + 40) << "blue when enabled";
    EXPECT_LT(abs((int)GetRValue(crDisabled) - (int)GetBValue(crDisabled)), 20) << "grey, also under the pointer";

    // Tooltip text is bounded.
    std::wstring strLong(100, L't');
    button.SetTooltipText(strLong.c_str(), TRUE);
    EXPECT_EQ(wcslen(button.GetTooltipText()), 63u);
    CString strTip;
    button.GetToolTip().GetText(strTip, &button);
    EXPECT_EQ(strTip.GetLength(), 63);
}

TEST_F(ControlsTest, RadiosAreExclusiveAndReleaseOffTheButtonChecksNothing)
{
    CSkinRadioButton radios[3];
    for (int i = 0; i < 3; i++)
    {
        // A plain button, as a dialog template makes it.
        HWND hWnd = ::CreateWindowExW(0, L"BUTTON", L"Choice", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 10, 100 + 30 * i,
                                      190, 20, m_host.m_hWnd, (HMENU)(INT_PTR)(6000 + i), NULL, NULL);
        ASSERT_TRUE(radios[i].SubclassWindow(hWnd));
        radios[i].SetBitmap(5001);
    }
    CSkinRadioButton* group[] = {&radios[0], &radios[1], &radios[2]};
    CSkinRadioButton::LinkGroup(group, 3);
    radios[0].SetChecked(TRUE);

    // Hover first (the button knows it is under the pointer), then click.
    MoveMouseTo(radios[1].m_hWnd, CPoint(5, 10));
    testsupport::WaitFor([&] { return radios[1].IsHovering() != FALSE; }, 2000);
    ClickAt(radios[1].m_hWnd, CPoint(5, 10));
    EXPECT_TRUE(radios[1].IsChecked());
    EXPECT_FALSE(radios[0].IsChecked());
    EXPECT_FALSE(radios[2].IsChecked());

    // Press on the third, release outside it.
    MoveMouseTo(radios[2].m_hWnd, CPoint(5, 10));
    testsupport::WaitFor([&] { return radios[2].IsHovering() != FALSE; }, 2000);
    ::SendMessageW(radios[2].m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    ::SendMessageW(radios[2].m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 10));
    ::SendMessageW(radios[2].m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(400, 10));
    Pump(30);
    EXPECT_FALSE(radios[2].IsChecked());
    EXPECT_TRUE(radios[1].IsChecked());

    // Drawn over the parent's printed background, not the screen's.
    radios[0].SetWindowText(L"");
    EXPECT_EQ(ScreenPixel(radios[0].m_hWnd, 150, 3), PRINT_RED);
    EXPECT_NE(ScreenPixel(radios[0].m_hWnd, 8, 10), PRINT_RED) << "the glyph";

    // Ten siblings at most.
    CSkinRadioButton many[12];
    for (int i = 1; i <= 10; i++)
        EXPECT_TRUE(many[0].AddSibling(&many[i]));
    EXPECT_FALSE(many[0].AddSibling(&many[11]));
    EXPECT_EQ(many[0].GetSiblingCount(), 10);
}

TEST_F(ControlsTest, ListSortsDescendingAscendingDescendingOnASnapshot)
{
    CMyListCtrl list;
    list.AddColumnRecord(L"Name", 100);
    list.AddColumnRecord(L"Description", 100);
    list.AddColumnRecord(L"A header longer than nineteen", 100);
    EXPECT_EQ(list.GetColumnRecordText(2), CString(L"A header longer tha"));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 200, 400, 400), &m_host, 7000));
    const wchar_t* rows[][3] = {{L"b", L"x", L"2"}, {L"a", L"y", L"3"}, {L"c", L"z", L"1"}, {L"d", L"w", L"2a"}};
    for (int i = 0; i < 4; i++)
    {
        list.InsertItem(i, rows[i][0]);
        list.SetItemText(i, 1, rows[i][1]);
        list.SetItemText(i, 2, rows[i][2]);
    }
    auto column = [&](int nColumn) {
        std::wstring str;
        for (int i = 0; i < list.GetItemCount(); i++)
            str += list.GetItemText(i, nColumn).GetString() + std::wstring(L",");
        return str;
    };
    auto clickHeader = [&](int nColumn) {
        NMLISTVIEW nm = {};
        nm.hdr.hwndFrom = list.m_hWnd;
        nm.hdr.idFrom = 7000;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = nColumn;
        m_host.SendMessage(WM_NOTIFY, 7000, (LPARAM)&nm);
    };
    clickHeader(0);
    EXPECT_EQ(column(0), L"a,b,c,d,") << "column 0 starts ascending";
    // Rows stay whole while they move.
    EXPECT_EQ(list.GetItemText(0, 1), CString(L"y"));
    clickHeader(2);
    EXPECT_EQ(column(2), L"3,2a,2,1,");
    clickHeader(2);
    EXPECT_EQ(column(2), L"1,2,2a,3,");
    clickHeader(2);
    EXPECT_EQ(column(2), L"3,2a,2,1,");
    EXPECT_EQ(column(1), L"y,w,x,z,");
}

TEST_F(ControlsTest, LabelShowsTheParentThroughAndGroupBoxDrawsItsOwnCaption)
{
    CMyStaticCtrl label;
    ASSERT_TRUE(label.Create(L"", WS_CHILD | WS_VISIBLE, CRect(300, 10, 400, 30), &m_host, 7100));
    EXPECT_EQ(label.GetBackColor(), CLR_NONE);
    EXPECT_EQ(ScreenPixel(label.m_hWnd, 50, 10), SCREEN_GREEN) << "transparent: the parent shows";
    label.SetBackColor(RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(label.m_hWnd, 50, 10), RGB(0, 0, 255));

    HWND hGroup = ::CreateWindowExW(0, L"BUTTON", L"Memory", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 300, 50, 200, 100,
                                    m_host.m_hWnd, (HMENU)7101, NULL, NULL);
    CSkinGroupBox group;
    ASSERT_TRUE(group.SubclassWindow(hGroup));
    EXPECT_EQ(group.GetCaption(), CString(L"Memory"));
    EXPECT_EQ(group.GetWindowTextLength(), 0) << "the platform draws no caption of its own";
    group.SetCaptionBackColor(RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(hGroup, 7, 1), RGB(255, 255, 255)) << "the caption area";
    group.SetCaption(L"Speicher");
    EXPECT_EQ(group.GetCaption(), CString(L"Speicher"));
    EXPECT_EQ(group.GetWindowTextLength(), 0);
    group.UnsubclassWindow();
    ::DestroyWindow(hGroup);
}
