// A list as the tool pages show it, left on screen for a look or a
// screenshot: run by hand with --gtest_also_run_disabled_tests
// --gtest_filter=*Showcase* (TAMSEL_SHOWCASE_SECONDS, default 6, at most 60).
#include "XListTestHost.h"

#include <stdlib.h>

TEST_F(XListTest, DISABLED_Showcase)
{
    m_wndHost.MoveWindow(0, 0, 620, 260);
    m_list.MoveWindow(10, 10, 600, 240);
    AddColumns(1);
    m_list.SetColumnWidth(0, 25);
    LVCOLUMN column = {};
    column.mask = LVCF_FMT;
    column.fmt = LVCFMT_CENTER;
    m_list.SetColumn(0, &column);
    m_list.SetColumnWidth(2, 400);

    HIMAGELIST hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 1);
    ImageList_AddIcon(hImages, ::LoadIconW(NULL, IDI_APPLICATION));
    ImageList_AddIcon(hImages, ::LoadIconW(NULL, IDI_INFORMATION));
    ImageList_AddIcon(hImages, ::LoadIconW(NULL, IDI_WARNING));
    ::SendMessageW(m_list.m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)hImages);

    const wchar_t* kRows[][2] = {
        { L"Messenger", L"\"C:\\Program Files\\Messenger\\msgr.exe\" /background" },
        { L"Update agent", L"C:\\Program Files\\Vendor\\Update\\agent.exe -schedule" },
        { L"Sound tray", L"C:\\Windows\\system32\\sndtray.exe" },
        { L"Quick launcher with a rather long name", L"C:\\Program Files\\Quick Launcher\\launcher.exe --minimized --no-splash --profile=\"default user\"" },
        { L"Printer monitor", L"rundll32.exe C:\\Windows\\system32\\prnmon.dll,Start" },
        { L"Backup helper", L"C:\\Tools\\backup\\helper.exe" },
    };
    m_list.SetRedraw(FALSE);
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_EQ(m_list.InsertItem(i, L""), i);
        if (i != 4)
            m_list.SetCheckbox(i, 0, i % 2 == 0 ? 2 : 1);
        m_list.SetItemText(i, 1, kRows[i][0]);
        m_list.SetItemImage(i, 1, i % 3);
        m_list.SetItemText(i, 2, kRows[i][1]);
        m_list.SetItemToolTipText(i, 2, kRows[i][1]);
    }
    m_list.SetCheckboxEnabled(3, 0, FALSE);
    m_list.SetItemTextColors(5, 2, L"Installing...", RGB(0, 0, 255), RGB(255, 255, 255));
    m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_list.SetRedraw(TRUE);
    m_list.EnableToolTips(TRUE);

    m_wndHost.ShowWindow(SW_SHOW);
    m_wndHost.UpdateWindow();
    const char* pszSeconds = getenv("TAMSEL_SHOWCASE_SECONDS");
    DWORD dwSeconds = pszSeconds ? (DWORD)atoi(pszSeconds) : 6;
    dwSeconds = dwSeconds > 60 ? 60 : dwSeconds;
    DWORD dwEnd = ::GetTickCount() + dwSeconds * 1000;
    while ((LONG)(dwEnd - ::GetTickCount()) > 0)
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    }
    m_wndHost.ShowWindow(SW_HIDE);
    ::SendMessageW(m_list.m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(hImages);
}
