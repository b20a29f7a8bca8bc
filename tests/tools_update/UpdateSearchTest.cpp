#include "tests/tools_update/UpdatePageFixture.h"
#include "framework/ShellOpen.h"

namespace {

std::wstring g_strOpened;

BOOL RecordOpen(HWND, LPCTSTR, LPCTSTR lpszFile, LPCTSTR, LPCTSTR, int)
{
    g_strOpened = lpszFile != NULL ? lpszFile : L"";
    return TRUE;
}

TEST_F(UpdatePageTest, SearchListsCheckedRowsAndASecondSearchReplacesThem)
{
    Scan();
    CXListCtrl& list = m_pPage->GetList();
    ASSERT_EQ(3, list.GetItemCount());
    ASSERT_EQ(3, (int)m_pApp->m_arrUpdateInfo.GetSize());
    EXPECT_EQ(L"U1", Cell(0, 1));
    EXPECT_EQ(L"U1", std::wstring((LPCWSTR)list.GetItemToolTipText(0, 1)));
    EXPECT_EQ(L"Critical", Cell(0, 2));
    EXPECT_EQ(L"Moderate", Cell(1, 2));      // no severity given
    EXPECT_EQ(L"Unspecified", Cell(2, 2));   // shown as the agent wrote it
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(2, list.GetCheckbox(i, 0)) << i;
    EXPECT_EQ(std::vector<std::wstring>{L"IsInstalled=0 and IsHidden=0 and Type='Software'"}, Logged(L"search:"));
    EXPECT_EQ(0u, m_pBoxes->Count()) << m_pBoxes->LastText();
    EXPECT_TRUE(Enabled(1001) && Enabled(1002) && Enabled(1003));
    EXPECT_FALSE(Visible(1151));
    EXPECT_TRUE(Visible(1026) && Visible(1165));

    IUnknown* pFirst = m_pApp->m_pComObject;
    ASSERT_TRUE(pFirst != NULL);
    pFirst->AddRef();
    list.SetCheckbox(0, 0, 1);
    fakeagent::Install(Updates(2));
    Scan();
    EXPECT_EQ(2, list.GetItemCount());
    EXPECT_EQ(2, (int)m_pApp->m_arrUpdateInfo.GetSize());
    EXPECT_EQ(2, list.GetCheckbox(0, 0)) << "a new search starts checked again";
    // The old collection is let go: only this test's reference is left.
    EXPECT_EQ(1u, fakeagent::RefCount(pFirst));
    pFirst->Release();
}

TEST_F(UpdatePageTest, RowsKeepTheirItemWhenAnEarlierOneCannotBeRead)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.arrUnreadable = {1};
    fakeagent::Install(scenario);
    Scan();
    ASSERT_EQ(2, m_pPage->GetList().GetItemCount());
    EXPECT_EQ(L"U3", Cell(1, 1));
    EXPECT_EQ(0, m_pApp->m_arrUpdateInfo[0].m_nItem);
    EXPECT_EQ(2, m_pApp->m_arrUpdateInfo[1].m_nItem);
    m_pPage->GetList().SetCheckbox(0, 0, 1);
    InstallAndWait();
    // The second row downloads item 2 (U3), not item 1.
    EXPECT_EQ(std::vector<std::wstring>{L"U3"}, Logged(L"download-begin:"));
    EXPECT_EQ(L"Install Success", Cell(1, 3));
    EXPECT_EQ(L"", Cell(0, 3));
}

TEST_F(UpdatePageTest, EachShowTakesTheTextsFromTheLanguageFileAgain)
{
    std::wstring strIni = m_folder.File(L"English.ini");
    WritePrivateProfileStringW(L"String", L"LIST_UPDATE_2", L"Schwere", strIni.c_str());
    WritePrivateProfileStringW(L"String", L"IDD_425_1030", L"Artikel:", strIni.c_str());
    m_pPage->ShowWindow(SW_HIDE);
    m_pPage->ShowWindow(SW_SHOW);
    wchar_t szText[64] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = szText;
    column.cchTextMax = 64;
    ASSERT_TRUE(m_pPage->GetList().GetColumn(2, &column));
    EXPECT_STREQ(L"Schwere", szText);
    CString strLabel;
    m_pPage->GetDlgItemText(1030, strLabel);
    EXPECT_EQ(L"Artikel:", std::wstring((LPCWSTR)strLabel));
    // Enter and Escape leave the page as it is.
    m_pPage->SendMessage(WM_COMMAND, IDOK, 0);
    m_pPage->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(::IsWindowVisible(m_pPage->m_hWnd));
}

TEST_F(UpdatePageTest, ADoubleClickOnScanRunsOneSearch)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.dwSearchMs = 300;
    fakeagent::Install(scenario);
    HWND hScan = m_pPage->GetDlgItem(1001)->m_hWnd;
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)hScan);
    // Scan and Install are off before the worker runs.
    EXPECT_FALSE(Enabled(1001));
    EXPECT_FALSE(Enabled(1002));
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)hScan);
    m_pPage->OnInstall();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(1, fakeagent::Created(L"Microsoft.Update.Session"));
    EXPECT_EQ(0, fakeagent::Created(L"Microsoft.Update.Downloader"));
    EXPECT_EQ(2, m_pPage->GetList().GetItemCount());
}

TEST_F(UpdatePageTest, AMissingSessionSaysNotRegisteredAndThePageIsIdleAgain)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.hrSession = CO_E_CLASSSTRING;
    fakeagent::Install(scenario);
    Scan();
    ASSERT_EQ(1u, m_pBoxes->Count());
    EXPECT_EQ(L"Microsoft.Update.Session not registered.", m_pBoxes->LastText());
    EXPECT_EQ(0, m_pPage->GetList().GetItemCount());
    EXPECT_TRUE(Enabled(1001) && Enabled(1002) && Enabled(1003));
    EXPECT_FALSE(Visible(1027));
    EXPECT_TRUE(Visible(1026));
    // Install with nothing found does nothing.
    m_pPage->OnInstall();
    EXPECT_FALSE(m_pPage->IsBusy());

    scenario.hrSession = E_ACCESSDENIED;
    fakeagent::Install(scenario);
    Scan();
    EXPECT_EQ(L"Microsoft.Update.Session not started.", m_pBoxes->LastText());
}

TEST_F(UpdatePageTest, AFailedSearchShowsItsErrorCode)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.hrSearch = (HRESULT)0x8024402C;
    fakeagent::Install(scenario);
    Scan();
    ASSERT_EQ(1u, m_pBoxes->Count());
    EXPECT_EQ(std::wstring(L"The search for updates failed.\nWindows Update could not reach its server. "
                           L"(Error Code: 8024402C)\n\n") +
                  (LPCWSTR)m_pApp->GetLangString(L"M_UPDATE_ERR_ADVICE"),
              m_pBoxes->LastText());
    EXPECT_EQ(0, m_pPage->GetList().GetItemCount());
    EXPECT_TRUE(Enabled(1001));
}

TEST_F(UpdatePageTest, ARowClickShowsItsDetailsAndALongLinkOpensWhole)
{
    Scan();
    ASSERT_EQ(3, (int)m_pApp->m_arrUpdateInfo.GetSize());
    UpdateInfo& info = m_pApp->m_arrUpdateInfo[1];
    info.m_strMaxSize = L"1536";
    info.m_strDate = L"6-14-2008";
    info.m_strArticle = L"950000";
    info.m_strMoreInfoUrl = L"http://more.example/kb";
    std::wstring strLong = L"http://example.org/" + std::wstring(300, L'a');
    info.m_strDescription = (L"See " + strLong + L" for more").c_str();
    CXListCtrl& list = m_pPage->GetList();
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list.m_hWnd;
    click.hdr.idFrom = 1013;
    click.hdr.code = NM_CLICK;
    click.iItem = 1;
    CRect rcRow;
    list.GetItemRect(1, &rcRow, LVIR_BOUNDS);
    click.ptAction = rcRow.CenterPoint();
    m_pPage->SendMessage(WM_NOTIFY, 1013, (LPARAM)&click);
    CString strText;
    m_pPage->GetDlgItemText(1039, strText);
    EXPECT_EQ(L"1.50 KB", std::wstring((LPCWSTR)strText));
    m_pPage->GetDlgItemText(1035, strText);
    EXPECT_EQ(L"6-14-2008", std::wstring((LPCWSTR)strText));
    m_pPage->GetDlgItemText(1031, strText);
    EXPECT_EQ(L"950000", std::wstring((LPCWSTR)strText));
    m_pPage->GetDlgItemText(1116, strText);
    EXPECT_EQ(L"Click Here", std::wstring((LPCWSTR)strText));
    m_pPage->GetDlgItemText(1165, strText);
    EXPECT_EQ(0, std::wstring((LPCWSTR)strText).find(L"Description: See http://example.org/aaa"));

    // The link as the description box reports it: 319 characters.
    long nStart = 13 + 4;
    ENLINK link = {};
    link.nmhdr.hwndFrom = m_pPage->GetDlgItem(1165)->m_hWnd;
    link.nmhdr.idFrom = 1165;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONUP;
    link.chrg.cpMin = nStart;
    link.chrg.cpMax = nStart + (long)strLong.size();
    g_strOpened.clear();
    AFX_SHELLOPEN_HANDLER pfnOld = AfxSetShellOpenHandler(&RecordOpen);
    m_pPage->SendMessage(WM_NOTIFY, 1165, (LPARAM)&link);
    AfxSetShellOpenHandler(pfnOld);
    EXPECT_EQ(strLong, g_strOpened);
}

} // namespace
