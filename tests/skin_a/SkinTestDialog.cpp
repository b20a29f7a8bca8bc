#include "tests/skin_a/SkinTestDialog.h"

#include "framework/MessageLoop.h"

BEGIN_MESSAGE_MAP(CSkinTestDialog, CDialog)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CSkinTestDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    const COLORREF crKey = RGB(255, 0, 255);

    m_btnScan.SubclassDlgItem(IDC_TEST_BUTTON, this);
    m_btnScan.SetBitmaps(IDB_TEST_SCAN_HOT, crKey, IDB_TEST_SCAN, crKey);
    m_btnScan.DrawTransparent(FALSE);
    m_btnScan.DrawBorder(FALSE, TRUE);

    for (CButtonST* pCheck : { &m_chkActiveX, &m_chkFonts })
    {
        pCheck->SubclassDlgItem(pCheck == &m_chkActiveX ? IDC_TEST_CHECK : IDC_TEST_CHECK2, this);
        pCheck->SetBitmaps(IDB_TEST_CATEGORY, crKey, IDB_TEST_CATEGORY, crKey);
        pCheck->DrawTransparent(FALSE);
        pCheck->DrawBorder(FALSE, TRUE);
    }
    m_btnAbort.SubclassDlgItem(IDC_TEST_PLAIN, this);
    m_btnAbort.SetFlat(FALSE, FALSE);
    m_btnDisabled.SubclassDlgItem(IDC_TEST_DISABLED, this);
    m_btnDisabled.SetBitmaps(IDB_TEST_CATEGORY, crKey, 0, 0);
    m_btnDisabled.DrawTransparent(FALSE);

    m_bmpTask.LoadBitmap(IDB_TEST_TASK);
    for (CButtonVE_Task* pTask : { &m_taskBackup, &m_taskFull })
    {
        pTask->SubclassDlgItem(pTask == &m_taskBackup ? IDC_TEST_TASK : IDC_TEST_TASK2, this);
        pTask->SetBitmap((HBITMAP)m_bmpTask.m_hObject);
        pTask->SetImage((HBITMAP)m_bmpTask.m_hObject);
        pTask->SetImageShadow(FALSE);
    }

    m_captionBar.SubclassDlgItem(IDC_TEST_CAPTION, this);

    m_list.SubclassDlgItem(IDC_TEST_LIST, this);
    m_list.InsertColumn(0, L"Problem", LVCFMT_LEFT, 150);
    m_list.InsertColumn(1, L"Key", LVCFMT_LEFT, 200);
    m_list.InsertItem(0, L"Invalid file extension");
    m_list.InsertItem(1, L"Missing shared file");
    m_listBox.SubclassDlgItem(IDC_TEST_LISTBOX, this);
    m_listBox.AddString(L"Every Monday at 21:00");
    m_listBox.AddString(L"Every Friday at 09:30");
    return TRUE;
}

BOOL CSkinTestDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED)
        m_mapClicks[LOWORD(wParam)]++;
    return CDialog::OnCommand(wParam, lParam);
}

HBRUSH CSkinTestDialog::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    return (HBRUSH)m_brWhite.m_hObject;
}

void PumpMessages(DWORD dwMilliseconds)
{
    DWORD dwEnd = GetTickCount() + dwMilliseconds;
    do
    {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (!AfxWalkPreTranslateTree(NULL, &msg))
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        Sleep(5);
    } while ((int)(dwEnd - GetTickCount()) > 0);
}

bool ShowSkinTestDialog(CSkinTestDialog& dlg)
{
    if (!dlg.Create(IDD_SKIN_TEST, NULL))
        return false;
    dlg.SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    dlg.SetForegroundWindow();
    dlg.UpdateWindow();
    PumpMessages(200);
    return true;
}

COLORREF WindowPixel(HWND hWnd, int x, int y)
{
    HDC hDC = GetDC(hWnd);
    COLORREF cr = GetPixel(hDC, x, y);
    ReleaseDC(hWnd, hDC);
    return cr;
}
