#include "tests/skin_a/SkinTestDialog.h"

#include "controls/skin/VisualStyles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class TaskButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCursorPos(1000, 900);
        ASSERT_TRUE(ShowSkinTestDialog(m_dlg));
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    // Rows of the client area that hold any pixel darker than nLimit in the
    // column range [x0, x1).
    std::vector<int> DarkRows(CWnd& wnd, int x0, int x1, int nLimit = 128)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        std::vector<int> rows;
        HDC hDC = GetDC(wnd.m_hWnd);
        for (int y = 0; y < rc.Height(); y++)
            for (int x = x0; x < x1 && x < rc.Width(); x++)
            {
                COLORREF cr = GetPixel(hDC, x, y);
                if (GetRValue(cr) + GetGValue(cr) + GetBValue(cr) < 3 * nLimit)
                {
                    rows.push_back(y);
                    break;
                }
            }
        ReleaseDC(wnd.m_hWnd, hDC);
        return rows;
    }

    CSkinTestDialog m_dlg;
};

} // namespace

TEST_F(TaskButtonTest, CaptionSplitsIntoTitleAndDescriptionLines)
{
    CButtonVE_Task& task = m_dlg.m_taskBackup;
    CString strLine;
    CString strText = L"Auto Backup\nAuto backup and undo \nrepairs of detected items";
    ASSERT_TRUE(task.GetLine(NULL, strText, 0, 0, strLine));
    EXPECT_EQ(strLine, CString(L"Auto Backup"));
    ASSERT_TRUE(task.GetLine(NULL, strText, 1, 0, strLine));
    EXPECT_EQ(strLine, CString(L"Auto backup and undo "));
    ASSERT_TRUE(task.GetLine(NULL, strText, 2, 0, strLine));
    EXPECT_EQ(strLine, CString(L"repairs of detected items"));
    EXPECT_FALSE(task.GetLine(NULL, strText, 3, 0, strLine));
    ASSERT_TRUE(task.GetLine(NULL, CString(L"Save && &Restore"), 0, 0, strLine));
    EXPECT_EQ(strLine, CString(L"Save & Restore"));

    LOGFONTW lf = {};
    task.GetCaptionFont().GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, L"Verdana");
    EXPECT_EQ(task.GetLineFont(1), task.GetFont());
}

namespace {

// The wrapping the button did before it measured each line once: the last
// blank whose text before it fits, found by measuring every candidate.
std::vector<CString> WrapByMeasuringEachBlank(CDC& dc, CButtonVE_Task& task, const CString& strText, int nWidth)
{
    std::vector<CString> lines;
    int nStart = 0;
    for (;;)
    {
        int nEnd = strText.Find(L'\n', nStart);
        CString strPart = strText.Mid(nStart, (nEnd < 0 ? strText.GetLength() : nEnd) - nStart);
        CFont* pOld = dc.SelectObject(task.GetLineFont(lines.empty() ? 0 : 1));
        while (dc.GetTextExtent(strPart).cx > nWidth)
        {
            int nBreak = -1;
            for (int i = strPart.GetLength() - 1; i > 0; i--)
                if (strPart[i] == L' ' && dc.GetTextExtent(strPart.Left(i)).cx <= nWidth)
                {
                    nBreak = i;
                    break;
                }
            if (nBreak < 0)
                break;
            lines.push_back(strPart.Left(nBreak));
            strPart = strPart.Mid(nBreak + 1);
        }
        dc.SelectObject(pOld);
        lines.push_back(strPart);
        if (nEnd < 0)
            break;
        nStart = nEnd + 1;
    }
    return lines;
}

} // namespace

TEST_F(TaskButtonTest, WrapsDescriptionsAtBlanksAsBefore)
{
    // Never painted: it wraps to its client width less the margins.
    CButtonVE_Task task;
    ASSERT_TRUE(task.Create(L"", WS_CHILD | BS_OWNERDRAW | BS_MULTILINE, CRect(0, 0, 300, 60), &m_dlg, 4321));
    CClientDC dc(&task);
    const int nWidth = 300 - 2 * 8;
    const CString texts[] = {
        L"Auto Backup\nAuto backup and undo \nrepairs of detected items",
        L"A title long enough to need a second line in this button\nand a description that runs on and on "
        L"well past the room beside the picture, so that it wraps more than once",
        L"Title\nAnunbrokenwordwiderthanthebuttonstaysononelinewhateveritswidthbecausethereisnoblank at all",
        L"Title\ntrailing blank at a break point                                     \n\nempty line above",
        L"Title\n  leading blanks and  double  blanks between  words  that  wrap  somewhere  in  between  them",
    };
    for (const CString& strText : texts)
    {
        std::vector<CString> expected = WrapByMeasuringEachBlank(dc, task, strText, nWidth);
        CStringArray arrLines;
        task.SplitLines(&dc, strText, DT_WORDBREAK, arrLines);
        ASSERT_EQ((size_t)arrLines.GetSize(), expected.size()) << (LPCWSTR)strText;
        for (size_t i = 0; i < expected.size(); i++)
        {
            EXPECT_EQ(arrLines[(INT_PTR)i], expected[i]) << (LPCWSTR)strText << " line " << i;
            CString strLine;
            ASSERT_TRUE(task.GetLine(&dc, strText, (int)i, DT_WORDBREAK, strLine));
            EXPECT_EQ(strLine, expected[i]);
        }
    }
}

// A description of 100 KiB (a language file may hold one) wraps into lines
// that each fit and together give back every word, in order.
TEST_F(TaskButtonTest, WrapsAVeryLongDescriptionIntoLinesThatFit)
{
    // Never painted: it wraps to its client width less the margins.
    CButtonVE_Task task;
    ASSERT_TRUE(task.Create(L"", WS_CHILD | BS_OWNERDRAW | BS_MULTILINE, CRect(0, 0, 300, 60), &m_dlg, 4321));
    CClientDC dc(&task);
    const int nWidth = 300 - 2 * 8;
    CString strDescription;
    const wchar_t* words[] = {L"repairs", L"of", L"detected", L"items", L"and", L"backups"};
    for (int i = 0; strDescription.GetLength() < 100 * 1024; i++)
    {
        strDescription += words[i % 6];
        strDescription += L' ';
    }
    strDescription.TrimRight();
    CStringArray arrLines;
    task.SplitLines(&dc, L"Title\n" + strDescription, DT_WORDBREAK, arrLines);
    ASSERT_GT(arrLines.GetSize(), 100);
    EXPECT_EQ(arrLines[0], CString(L"Title"));
    CString strJoined;
    CFont* pOld = dc.SelectObject(task.GetLineFont(1));
    for (INT_PTR i = 1; i < arrLines.GetSize(); i++)
    {
        EXPECT_LE(dc.GetTextExtent(arrLines[i]).cx, nWidth) << i;
        // Each line is as long as fits: the next word would not.
        if (i + 1 < arrLines.GetSize())
        {
            CString strNext = arrLines[i + 1];
            int nBlank = strNext.Find(L' ');
            CString strLonger = arrLines[i] + L" " + (nBlank < 0 ? strNext : strNext.Left(nBlank));
            EXPECT_GT(dc.GetTextExtent(strLonger).cx, nWidth) << i;
        }
        strJoined += (i > 1 ? L" " : L"") + arrLines[i];
    }
    dc.SelectObject(pOld);
    EXPECT_EQ(strJoined, strDescription);
}

TEST_F(TaskButtonTest, DrawsImageTitleAndDescriptionAsAVerticallyCentredBlock)
{
    CButtonVE_Task& task = m_dlg.m_taskBackup;
    CRect rc;
    task.GetClientRect(&rc);
    // Text starts after the 48-pixel image, its margin and gap.
    int nTextLeft = 8 + 48 + 8;
    std::vector<int> rows = DarkRows(task, nTextLeft, rc.Width() - 8);
    ASSERT_FALSE(rows.empty());
    // Three lines: the block is about three line heights tall and centred.
    int nTop = rows.front(), nBottom = rows.back();
    EXPECT_GT(nBottom - nTop, 30);
    EXPECT_LE(abs((nTop - 0) - (rc.Height() - 1 - nBottom)), 6);
    // Nothing is drawn left of the image's margin, and the key colour never shows.
    EXPECT_TRUE(DarkRows(task, 0, 7).empty());
    HDC hDC = GetDC(task.m_hWnd);
    bool bKey = false, bImage = false;
    for (int y = 0; y < rc.Height(); y++)
        for (int x = 0; x < nTextLeft; x++)
        {
            COLORREF cr = GetPixel(hDC, x, y);
            bKey = bKey || cr == RGB(255, 0, 255);
            bImage = bImage || (GetBValue(cr) > 150 && GetRValue(cr) < 100);
        }
    ReleaseDC(task.m_hWnd, hDC);
    EXPECT_FALSE(bKey);
    EXPECT_TRUE(bImage);
}

TEST_F(TaskButtonTest, MouseMessagesFireTheClick)
{
    CButtonVE_Task& task = m_dlg.m_taskBackup;
    CRect rc;
    task.GetClientRect(&rc);
    LPARAM lPoint = MAKELPARAM(rc.Width() / 2, rc.Height() / 2);
    task.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    EXPECT_TRUE(task.GetState() & BST_PUSHED);
    task.SendMessage(WM_LBUTTONUP, 0, lPoint);
    PumpMessages(20);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_TASK], 1);
    // Released outside: no click.
    task.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    task.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rc.Width() + 50, 5));
    PumpMessages(20);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_TASK], 1);
}

// The hover poll finds the mouse by itself; the hot look is a frame that the
// normal look does not have: the themed button's border when a theme is
// active, else a light blue rounded frame.
void CheckHoverLook(CSkinTestDialog& dlg, bool bExpectThemed)
{
    CButtonVE_Task& task = dlg.m_taskFull;
    CRect rcWindow, rc;
    task.GetWindowRect(&rcWindow);
    task.GetClientRect(&rc);
    task.Invalidate();
    PumpMessages(100);
    COLORREF crBack = WindowPixel(task.m_hWnd, rc.Width() / 2, rc.Height() - 3);
    EXPECT_FALSE(task.IsHot());
    EXPECT_EQ(WindowPixel(task.m_hWnd, rc.Width() / 2, 0), crBack);
    SetCursorPos(rcWindow.left + 20, rcWindow.top + 20);
    EXPECT_TRUE(testsupport::WaitFor([&] { return task.IsHot() != FALSE; }, 10000));
    PumpMessages(100);
    COLORREF crTop = WindowPixel(task.m_hWnd, rc.Width() / 2, 0);
    COLORREF crRight = WindowPixel(task.m_hWnd, rc.Width() - 1, rc.Height() / 2);
    if (bExpectThemed)
    {
        EXPECT_NE(crTop, crBack);
        EXPECT_NE(crRight, crBack);
    }
    else
    {
        EXPECT_EQ(crTop, CButtonVE_Task::HOT_FRAME_COLOR);
        EXPECT_EQ(crRight, CButtonVE_Task::HOT_FRAME_COLOR);
    }
    SetCursorPos(1000, 900);
    EXPECT_TRUE(testsupport::WaitFor([&] { return task.IsHot() == FALSE; }, 10000));
    // The themed look fades out over 20 steps of 50 ms.
    EXPECT_TRUE(testsupport::WaitFor([&] { return WindowPixel(task.m_hWnd, rc.Width() / 2, 0) == crBack; }, 10000));
}

TEST_F(TaskButtonTest, HoverShowsTheHotLookOfTheCurrentTheme)
{
    CheckHoverLook(m_dlg, g_VisualStyles.IsAppThemed() && g_VisualStyles.IsThemeActive());
}

namespace {
// The same button on a system without visual styles.
class CClassicTaskButton : public CButtonVE_Task
{
protected:
    HTHEME OpenButtonTheme() override { return NULL; }
};
} // namespace

TEST_F(TaskButtonTest, HoverShowsTheClassicHotFrameWithoutTheme)
{
    CClassicTaskButton classic;
    HWND hTask = m_dlg.m_taskFull.UnsubclassWindow();
    ASSERT_TRUE(classic.SubclassWindow(hTask));
    classic.SetBitmap((HBITMAP)m_dlg.m_bmpTask.m_hObject);
    classic.SetImageShadow(FALSE);
    CRect rcWindow, rc;
    classic.GetWindowRect(&rcWindow);
    classic.GetClientRect(&rc);
    classic.Invalidate();
    PumpMessages(100);
    COLORREF crBack = WindowPixel(hTask, rc.Width() / 2, rc.Height() - 3);
    EXPECT_EQ(WindowPixel(hTask, rc.Width() / 2, 0), crBack);
    SetCursorPos(rcWindow.left + 20, rcWindow.top + 20);
    EXPECT_TRUE(testsupport::WaitFor([&] { return classic.IsHot() != FALSE; }, 10000));
    PumpMessages(100);
    EXPECT_EQ(WindowPixel(hTask, rc.Width() / 2, 0), CButtonVE_Task::HOT_FRAME_COLOR);
    EXPECT_EQ(WindowPixel(hTask, rc.Width() - 1, rc.Height() / 2), CButtonVE_Task::HOT_FRAME_COLOR);
    // Pressed: the frame stays, the content does not move the image.
    classic.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    classic.UpdateWindow();
    EXPECT_EQ(WindowPixel(hTask, rc.Width() / 2, 0), CButtonVE_Task::HOT_FRAME_COLOR);
    classic.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    PumpMessages(20);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_TASK2], 1);
    SetCursorPos(1000, 900);
    EXPECT_TRUE(testsupport::WaitFor([&] { return WindowPixel(hTask, rc.Width() / 2, 0) == crBack; }, 10000));
    classic.UnsubclassWindow();
    m_dlg.m_taskFull.SubclassWindow(hTask);
}
