// The main window's own frame: its skin and outline, dragging, the caption
// buttons, the first-paint version check and closing the program.
#include "app/TamselDlg.h"
#include "app/SentMessageAnswerer.h"
#include "app/TamselApp.h"
#include "app/SplashWnd.h"
#include "app/VersionCheck.h"

namespace {
const UINT_PTR DRAG_TIMER = 5;
const UINT DRAG_PERIOD_MS = 20;
const COLORREF SKIN_KEY_COLOR = RGB(255, 0, 255);
// A check whose answer is in only has to return from its thread.
const DWORD VERSION_CHECK_END_WAIT_MS = 5000;

} // namespace

int CTamselDlg::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    GetSystemMenu(TRUE);
    ModifyStyle(0, WS_SYSMENU);
    CSplashWnd::ShowSplashScreen(this);
    return 0;
}

void CTamselDlg::OnDestroy()
{
    ::RemovePropW(m_hWnd, GetInstancePropertyName());
    KillTimer(DRAG_TIMER);
    KillTimer(PAGE_CREATION_TIMER);
    m_nNextPageToCreate = -1;
    m_nNextBarToFill = -1;
    CDialog::OnDestroy();
}

// ---- Skin ----------------------------------------------------------------------------

void CTamselDlg::SetSkinBitmap(SkinBitmap& slot, UINT nIDResource)
{
    m_sizeSkinRegion = CSize(0, 0);  // a new skin cuts a new outline
    slot.bitmap.DeleteObject();
    slot.bitmap.LoadBitmap(nIDResource);
    BITMAP bm = {};
    if (slot.bitmap.GetSafeHandle() != NULL && slot.bitmap.GetBitmap(&bm))
        slot.size = CSize(bm.bmWidth, bm.bmHeight);
    else
        slot.size = CSize(0, 0);
}

BOOL CTamselDlg::SetSkinBitmap(SkinBitmap& slot, LPCTSTR lpszFile)
{
    m_sizeSkinRegion = CSize(0, 0);
    slot.bitmap.DeleteObject();
    HBITMAP hBitmap = (HBITMAP)::LoadImageW(NULL, lpszFile, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (hBitmap == NULL)
    {
        AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
        ::PostQuitMessage(0);
        slot.size = CSize(0, 0);
        return FALSE;
    }
    slot.bitmap.Attach(hBitmap);
    BITMAP bm = {};
    slot.bitmap.GetBitmap(&bm);
    slot.size = CSize(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

void CTamselDlg::DrawSkinBitmap(CDC* pDC, SkinBitmap& slot, int x, int y)
{
    if (slot.bitmap.GetSafeHandle() == NULL)
        return;
    CDC dcSkin;
    dcSkin.CreateCompatibleDC(pDC);
    CBitmap* pOld = dcSkin.SelectObject(&slot.bitmap);
    pDC->BitBlt(x, y, slot.size.cx, slot.size.cy, &dcSkin, 0, 0, SRCCOPY);
    dcSkin.SelectObject(pOld);
}

void CTamselDlg::TileSkinBitmap(CDC* pDC, SkinBitmap& slot, const CRect& rc)
{
    if (slot.bitmap.GetSafeHandle() == NULL || slot.size.cx <= 0 || slot.size.cy <= 0 || rc.IsRectEmpty())
        return;
    // One fill with the tile as a pattern: a copy per tile costs thousands
    // of copies for the small centre tile.
    CBrush brush;
    if (!brush.CreatePatternBrush(&slot.bitmap))
        return;
    CPoint ptOld = pDC->SetBrushOrg(rc.left % slot.size.cx, rc.top % slot.size.cy);
    pDC->FillRect(&rc, &brush);
    pDC->SetBrushOrg(ptOld.x, ptOld.y);
}

void CTamselDlg::SetSkinRegion(CDC* pDC, int nWidth, int nHeight)
{
    CRgn rgnWindow;
    rgnWindow.CreateRectRgn(0, 0, nWidth, nHeight);
    const int nCorner = 8;
    int nRows[2] = {0, nHeight - nCorner};
    int nCols[2] = {0, nWidth - nCorner};
    for (int nRow : nRows)
    {
        for (int nCol : nCols)
        {
            for (int y = nRow; y < nRow + nCorner; y++)
            {
                for (int x = nCol; x < nCol + nCorner; x++)
                {
                    if (pDC->GetPixel(x, y) != SKIN_KEY_COLOR)
                        continue;
                    CRgn rgnPixel;
                    rgnPixel.CreateRectRgn(x, y, x + 1, y + 1);
                    rgnWindow.CombineRgn(&rgnWindow, &rgnPixel, RGN_DIFF);
                }
            }
        }
    }
    // The window owns the region from here on. Set during painting, so no
    // redraw: that would only ask for the next paint.
    SetWindowRgn((HRGN)rgnWindow.Detach(), FALSE);
    m_sizeSkinRegion = CSize(nWidth, nHeight);
}

void CTamselDlg::OnPaint()
{
    if (m_bFirstPaint)
    {
        m_bFirstPaint = 0;
        if (m_pApp->m_bAutoUpdate)
            StartVersionCheck(FALSE);
    }
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (IsIconic())
    {
        SendMessage(WM_ICONERASEBKGND, (WPARAM)pDC->GetSafeHdc(), 0);
        int x = (rcClient.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (rcClient.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        pDC->DrawIcon(x, y, m_hIcon);
        EndPaint(&ps);
        return;
    }
    int W = rcClient.Width(), H = rcClient.Height();
    CRect rcButton;
    if (m_btnClose.m_hWnd != NULL)
        m_btnClose.SetWindowPos(NULL, W - 41, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    if (m_btnMinimize.m_hWnd != NULL)
        m_btnMinimize.SetWindowPos(NULL, W - 73, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    CDC dcMem;
    dcMem.CreateCompatibleDC(pDC);
    CBitmap bmpMem;
    bmpMem.CreateCompatibleBitmap(pDC, W, H);
    CBitmap* pOld = dcMem.SelectObject(&bmpMem);
    dcMem.Rectangle(0, 0, W, H);
    int nTop = m_bmpSkinTop.size.cy, nBottom = m_bmpSkinBottom.size.cy;
    DrawSkinBitmap(&dcMem, m_bmpSkinTop, 0, 0);
    TileSkinBitmap(&dcMem, m_bmpSkinLeft, CRect(0, nTop, m_bmpSkinLeft.size.cx, H - nBottom));
    TileSkinBitmap(&dcMem, m_bmpSkinCenter, CRect(m_bmpSkinLeft.size.cx, nTop, W - m_bmpSkinRight.size.cx, H - nBottom));
    TileSkinBitmap(&dcMem, m_bmpSkinRight, CRect(W - m_bmpSkinRight.size.cx, nTop, W, H - nBottom));
    DrawSkinBitmap(&dcMem, m_bmpSkinBottom, 0, H - nBottom);
    // The outline depends only on the skin and the size: cut once for each.
    if (m_sizeSkinRegion != CSize(W, H))
        SetSkinRegion(&dcMem, W, H);
    // The skinned buttons take their backgrounds from the composed skin, not
    // from whatever the screen held before the first paint.
    for (CButtonST* pButton : {&m_btnClose, &m_btnMinimize, &m_btnHelp, &m_btnUpdate, &m_btnEasySteps})
    {
        if (pButton->m_hWnd != NULL)
            pButton->SetBk(&dcMem);
    }
    // The page on show paints its own area: the skin under it would only
    // show through until the page's paint came.
    PageInfo* pShown = m_bLibraryView ? NULL : GetPageInfo(m_nCurPage);
    if (pShown != NULL && pShown->pPage != NULL && pShown->pPage->m_hWnd != NULL &&
        (pShown->pPage->GetStyle() & WS_VISIBLE) && pShown->pPage->GetParent() == this)
        pDC->ExcludeClipRect(&m_rcPage);
    pDC->BitBlt(0, 0, W, H, &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOld);
    EndPaint(&ps);
}

void CTamselDlg::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CDialog::OnWindowPosChanged(lpwndpos);
    // Shown for the first time: the frame is painted now, in one go, while
    // other threads' messages are still answered; the home page and the
    // navigation buttons follow in the first slices of the page creation.
    if ((lpwndpos->flags & SWP_SHOWWINDOW) && m_bFirstPaint)
    {
        CSentMessageAnswerer answerer;
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

BOOL CTamselDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

HBRUSH CTamselDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    switch (nCtlColor)
    {
    case CTLCOLOR_EDIT:
    case CTLCOLOR_LISTBOX:
    case CTLCOLOR_SCROLLBAR:
    case CTLCOLOR_STATIC:
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 255, 255));
        return m_brBackground;
    case CTLCOLOR_DLG:
        return m_brBackground;
    default:
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    }
}

HCURSOR CTamselDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CTamselDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    CDialog::OnSysCommand(nID, lParam);
}

BOOL CTamselDlg::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(::LoadCursorW(NULL, IDC_ARROW));
    return TRUE;
}

void CTamselDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 800;
    lpMMI->ptMinTrackSize.y = 600;
    CDialog::OnGetMinMaxInfo(lpMMI);
}

// ---- Dragging ----------------------------------------------------------------------

void CTamselDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_bDragging = 1;
    SetCapture();
    m_ptDragStart = point;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    int W = rcWindow.Width(), H = rcWindow.Height();
    int b = m_nBorderWidth, c = m_nCornerSize;
    CRect rcInner(b, b, W - b, H - b);
    CRect rcCorners[4] = {CRect(b, b, b + c, b + c), CRect(W - b - c, b, W - b, b + c),
                          CRect(b, H - b - c, b + c, H - b), CRect(W - b - c, H - b - c, W - b, H - b)};
    if (!rcInner.PtInRect(point))
    {
        CDialog::OnLButtonDown(nFlags, point);
        return;
    }
    for (const CRect& rc : rcCorners)
    {
        if (rc.PtInRect(point))
            return;
    }
    SetTimer(DRAG_TIMER, DRAG_PERIOD_MS);
}

void CTamselDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == PAGE_CREATION_TIMER)
    {
        CreatePagesWhileIdle();
        return;
    }
    if (nIDEvent != DRAG_TIMER)
    {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    MoveWindow(ptCursor.x - m_ptDragStart.x, ptCursor.y - m_ptDragStart.y, rcWindow.Width(), rcWindow.Height(), TRUE);
}

void CTamselDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_bDragging = 0;
    ReleaseCapture();
    for (UINT_PTR nID = 1; nID <= 9; nID++)
        KillTimer(nID);
    CDialog::OnLButtonUp(nFlags, point);
}

void CTamselDlg::OnMinimizeButton()
{
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    SendMessage(WM_SYSCOMMAND, IsZoomed() ? SC_RESTORE : SC_MINIMIZE, MAKELPARAM(ptCursor.x, ptCursor.y));
}

void CTamselDlg::OnCloseButton()
{
    OnClose();
}

// ---- Closing ---------------------------------------------------------------------------

BOOL CTamselDlg::CloseMainWindow()
{
    if (m_pageScan.m_bScanning == 1)
    {
        // Once stopped, the scan shows no page: the window is going.
        if (m_pageScan.StopScan(TRUE) != 1)
            return FALSE;
        m_pageHome.StoreCategorySwitches();
    }
    // Workers use the pages and this window: they end before anything goes.
    WaitForWorkers();
    for (int i = 0; i < GetPageCount(); i++)
    {
        PageInfo* pInfo = GetPageInfo(i);
        if (pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL)
            pInfo->pPage->EndDialog(IDCANCEL);
    }
    EndDialog(IDCANCEL);
    ::PostQuitMessage(0);
    return TRUE;
}

DWORD CTamselDlg::s_dwVersionCheckTimeoutMs = UPDATE_DEFAULT_TIMEOUT_MS;

void CTamselDlg::WaitForWorkers()
{
    if (m_pageScan.IsScanThreadRunning())
    {
        m_pageScan.m_bLeaving = 1;
        // Also a scan nobody was asked about (the window ended another way):
        // told to stop, the worker ends within a few polls.
        m_pageScan.StopWorker();
        // However long the worker takes to notice, sent messages are answered
        // meanwhile, so a worker blocked in one can finish.
        m_pageScan.WaitForScanEnd(INFINITE);
    }
    // Cut short: its answer is not wanted any more.
    m_versionCheck.Stop();
    m_pageFavorites.StopWorker();
    m_pagePatchUpdate.StopWorkers();
    if (m_pApp != NULL)
        m_pApp->FinishScheduleRequest();
}

void CTamselDlg::OnClose()
{
    CloseMainWindow();
    CDialog::OnClose();
}

void CTamselDlg::OnOK()
{
}

void CTamselDlg::OnCancel()
{
}

void CTamselDlg::WinHelp(DWORD_PTR, UINT)
{
}

// ---- Online version check ------------------------------------------------------------

BOOL CTamselDlg::StartVersionCheck(BOOL bReportAll)
{
    if (m_versionCheck.IsRunning())
    {
        if (m_bCheckAnswerPending)
        {
            // The check under way answers this request too, in full if asked.
            if (bReportAll)
                m_bReportAllChecks = TRUE;
            return TRUE;
        }
        // Its answer is in; the worker is only ending.
        m_versionCheck.Wait(VERSION_CHECK_END_WAIT_MS);
    }
    // The network may be slow: the window goes on while a worker asks, and
    // the answer comes back to this thread.
    m_bReportAllChecks = bReportAll;
    m_bCheckAnswerPending = TRUE;
    if (m_versionCheck.Start(m_hWnd, GetUpdateSiteUrl(m_pApp->m_strSettingsFile),
                             [this](int nResult, const CVersionCheckError& failure) {
                                 OnVersionChecked(nResult, failure);
                             },
                             s_dwVersionCheckTimeoutMs))
        return TRUE;
    m_bCheckAnswerPending = FALSE;
    return FALSE;
}

void CTamselDlg::OnVersionChecked(int nResult, const CVersionCheckError& failure)
{
    BOOL bReportAll = m_bReportAllChecks;
    m_bReportAllChecks = FALSE;
    m_bCheckAnswerPending = FALSE;
    if (nResult == UPDATE_NEWER_FOUND)
    {
        if (CUpdateChecker::AskToUpdate() == UPDATE_NEWER_ACCEPTED)
            StartUpdater();
    }
    else if (!bReportAll)
    {
        // The check on first paint speaks only of a newer version.
    }
    else if (nResult == UPDATE_NO_CONNECTION || nResult == UPDATE_DOWNLOAD_FAILED)
        AfxMessageBox(FormatInternetFailed(m_pApp->GetLangString(L"M_UPDATE_INTERNET_FAILED"), failure),
                      MB_ICONEXCLAMATION);
    else if (nResult == UPDATE_NOT_NEWER)
        AfxMessageBox(m_pApp->GetLangString(L"M_UPDATE_NOUPDATE"), MB_ICONINFORMATION);
}

void CTamselDlg::StartUpdater()
{
    CString strUpdater = m_pApp->m_strAppDir + L"Update.exe";
    if (::GetFileAttributesW(strUpdater) == INVALID_FILE_ATTRIBUTES)
    {
        AfxMessageBox(m_pApp->GetLangString(L"M_UPDATE_NO_COMPONENT"), MB_ICONEXCLAMATION);
        return;
    }
    if (CloseMainWindow())
        ::ShellExecuteW(NULL, L"open", strUpdater, NULL, NULL, SW_SHOW);
}
