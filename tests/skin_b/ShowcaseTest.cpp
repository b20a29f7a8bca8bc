#include "controls/skin/BusyProgressCtrl.h"
#include "controls/skin/GifAnimCtrl.h"
#include "controls/skin/GuiFolder.h"
#include "controls/skin/GuiOutLook.h"
#include "controls/skin/HostStatic.h"
#include "controls/skin/HyperlinkCtrl.h"
#include "controls/skin/SegmentDisplay.h"
#include "controls/skin/TextLabel.h"
#include "controls/skin/XPColors.h"
#include "tests/skin_b/TestWindow.h"

#include <gtest/gtest.h>
#include <cstdlib>

// The controls together as the main window and the scan page use them. With
// TAMSEL_SHOWCASE_MS set the window stays up that long, for a screenshot.
TEST(Showcase, ControlsTogetherOnAPage)
{
    AfxSetResourceHandle(::GetModuleHandleW(NULL));
    CTestWindow window;
    ASSERT_TRUE(window.CreateTop(760, 520, RGB(255, 255, 255)));

    CHostStatic host;
    ASSERT_TRUE(host.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 520), &window, 1143));
    CGuiFolder folder;
    ASSERT_TRUE(folder.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 520), &host, 1143));
    folder.SetImageList(8018, 32, 16, RGB(255, 0, 255));
    const wchar_t* names[7] = { L"Scan && Clean", L"Optimize PC", L"Backup && Restore", L"IE Tools", L"Windows",
                                L"Options", L"Help" };
    const int images[7] = { 0, 6, 5, 1, 2, 3, 4 };
    CGuiOutLook bars[7];
    for (int i = 0; i < 7; ++i)
    {
        ASSERT_TRUE(bars[i].Create(WS_VISIBLE, CRect(0, 0, 0, 0), &folder, 5701 + i));
        folder.AddFolder(&bars[i], names[i], images[i]);
        bars[i].SetImageList(8023, 16, 6, RGB(255, 0, 255));
    }
    bars[0].AddItem(5601, L"Registry Cleaner", 0, L"");
    bars[0].AddItem(5602, L"Evidence Cleaner", 1, L"");
    bars[0].AddItem(5603, L"Junk Cleaner", 2, L"");
    bars[0].AddItem(5604, L"File Shredder", 3, L"");
    bars[0].AddItem(5605, L"Patch && Update", 22, L"");
    folder.SetStyle(XP_STYLE_GRADIENT);
    folder.SelectFolder(0);

    CTextLabel headline, subline;
    ASSERT_TRUE(headline.Create(L"Scanning the registry for problems", WS_CHILD | WS_VISIBLE,
                                CRect(220, 16, 740, 36), &window, 1033));
    headline.SetFont(L"Verdana", 16, RGB(20, 60, 120), TLS_BOLD | TLS_LEFT);
    ASSERT_TRUE(subline.Create(L"Tamsel checks 15 categories of entries.", WS_CHILD | WS_VISIBLE,
                               CRect(220, 40, 740, 56), &window, 1031));
    subline.SetFont(L"Verdana", 13, RGB(60, 60, 60), TLS_LEFT);

    CGifAnimCtrl rows[3];
    CTextLabel rowLabels[3];
    const UINT rowGifs[3] = { 276, 275, 154 };
    const wchar_t* rowTexts[3] = { L"ActiveX / COM: no problems", L"Application Paths: 3 problems",
                                   L"Shared Files: scanning..." };
    for (int i = 0; i < 3; ++i)
    {
        ASSERT_TRUE(rows[i].Create(L"", WS_CHILD | WS_VISIBLE, CRect(222, 80 + 34 * i, 246, 104 + 34 * i), &window,
                                   1200 + i));
        ASSERT_TRUE(rows[i].Load(MAKEINTRESOURCEW(rowGifs[i]), L"GIF"));
        rows[i].SetBkColor(RGB(255, 255, 255));
        rows[i].Draw();
        ASSERT_TRUE(rowLabels[i].Create(rowTexts[i], WS_CHILD | WS_VISIBLE, CRect(256, 84 + 34 * i, 520, 100 + 34 * i),
                                        &window, 1210 + i));
        rowLabels[i].SetFont(L"Verdana", 13, RGB(0, 0, 0), TLS_LEFT);
    }

    CTextLabel totalLabel;
    ASSERT_TRUE(totalLabel.Create(L"Problems found:", WS_CHILD | WS_VISIBLE, CRect(540, 84, 740, 100), &window, 1220));
    totalLabel.SetFont(L"Verdana", 13, RGB(0, 0, 0), TLS_LEFT);
    CSegmentDisplay total;
    ASSERT_TRUE(total.Create(L"0", WS_CHILD | WS_VISIBLE, CRect(540, 104, 730, 164), &window, 1075));
    total.SetBackColor(RGB(255, 255, 255));
    total.SetColor(RGB(255, 255, 255), RGB(36, 135, 219));
    total.SetText(L"0");
    total.SetTransparent(TRUE);
    total.ModifySegmentStyle(0, SDS_SMOOTH);
    total.ModifySegmentStyle(SDS_DIGITS14, 0);
    total.SetText(L"1247");

    CSegmentDisplay banner;
    ASSERT_TRUE(banner.Create(L"", WS_CHILD | WS_VISIBLE, CRect(540, 180, 730, 214), &window, 1076));
    banner.SetText(L"SCAN 12:05");

    CBusyProgressCtrl busy(20, 0);
    ASSERT_TRUE(busy.Create(WS_CHILD | WS_VISIBLE, CRect(222, 200, 520, 214), &window, 1027));
    busy.SetColBkg(RGB(255, 255, 255));
    busy.SetSpeed(120);
    busy.Start();

    CBusyProgressCtrl progress(10, 0);
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(222, 226, 520, 240), &window, 1028));
    progress.SetColBkg(RGB(255, 255, 255));
    progress.SetMode(BPC_MODE_PROGRESS);
    progress.SetRange(0, 100);
    progress.SetCurPos(55);

    CHyperlinkCtrl link;
    HWND hLink = ::CreateWindowExW(0, L"STATIC", L"http://www.example.com/support", WS_CHILD | WS_VISIBLE, 222, 260,
                                   298, 16, window.m_hWnd, (HMENU)1116, NULL, NULL);
    ASSERT_TRUE(link.SubclassWindow(hLink));
    link.SetLinkCursor(::LoadCursorW(NULL, IDC_HAND));

    window.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const char* pszHold = std::getenv("TAMSEL_SHOWCASE_MS");
    PumpFor(pszHold != NULL ? (DWORD)std::atoi(pszHold) : 300);

    EXPECT_TRUE(rows[2].IsPlaying());
    EXPECT_TRUE(busy.IsRunning());
    EXPECT_EQ(total.GetCells().size(), 4u);
    busy.End();
    for (CGifAnimCtrl& row : rows)
        row.Stop();
}
