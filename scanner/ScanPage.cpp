#include "scanner/ScanPage.h"
#include "scanner/ScanThread.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "framework/WorkerCall.h"
#include "app/WhitePageColors.h"

namespace {
const UINT_PTR TIMER_CURRENT_ITEM = 1;
// The current-item label changes at most ten times a second.
const UINT CURRENT_ITEM_PERIOD_MS = 100;
// The next share of the feed: a timer, since it comes after the input.
const UINT_PTR TIMER_DRAIN = 2;
const UINT DRAIN_PERIOD_MS = 10;
const UINT IDC_SCAN_ABORT = 1001;
const UINT IDC_SCAN_CURRENT_ITEM = 1030;
const UINT IDC_SCAN_TOTAL = 1075;
const UINT IDC_SCAN_LARGE_ANIMATION = 1106;
const UINT IDC_SCAN_PROGRESS = 1114;
const UINT IDC_SCAN_CAPTION = 1026;
const UINT GIF_LARGE = 252;
const UINT GIF_PROGRESS = 334;
const UINT GIF_SCANNING = 154;
const UINT GIF_FOUND = 275;
const UINT GIF_CLEAN = 276;
}  // namespace

const UINT CScanPage::s_nCategoryAnimations[SCAN_CATEGORIES] = {
    1032, 1034, 1036, 1038, 1040, 1042, 1044, 1045, 1046, 1047, 1048, 1049, 1043, 1076, 1146};
const UINT CScanPage::s_nCategoryCounts[SCAN_CATEGORIES] = {
    1062, 1063, 1064, 1065, 1066, 1067, 1068, 1069, 1070, 1071, 1072, 1073, 1074, 1077, 1145};
const UINT CScanPage::s_nCategoryLabels[SCAN_CATEGORIES] = {
    1033, 1035, 1037, 1039, 1041, 1116, 1151, 1152, 1153, 1154, 1155, 1156, 1150, 1157, 1158};

BEGIN_MESSAGE_MAP(CScanPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SCAN_ABORT, OnAbortScan)
END_MESSAGE_MAP()

CScanPage::CScanPage()
    : m_pResultSink(NULL), m_bStartPending(0), m_bAbort(0), m_bScanning(0), m_bLeaving(0), m_bFinished(0),
      m_pScan(NULL), m_hScanThread(NULL), m_pApp(NULL), m_pMainDlg(NULL), m_nLastTotal(-1)
{
}

CScanPage::~CScanPage()
{
    // Nothing the worker uses goes before it has ended; it may be sending to
    // this thread meanwhile.
    if (IsScanThreadRunning())
    {
        m_pScan->Stop();
        WaitForScanEnd(INFINITE);
    }
    ReleaseThread();
    delete m_pScan;
}

void CScanPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < SCAN_CATEGORIES; i++)
    {
        DDX_Control(pDX, s_nCategoryAnimations[i], m_gifCategory[i]);
        DDX_Control(pDX, s_nCategoryCounts[i], m_wndCount[i]);
    }
    DDX_Control(pDX, IDC_SCAN_CURRENT_ITEM, m_wndCurrentItem);
    DDX_Control(pDX, IDC_SCAN_TOTAL, m_wndTotal);
    DDX_Control(pDX, IDC_SCAN_LARGE_ANIMATION, m_gifLarge);
    DDX_Control(pDX, IDC_SCAN_PROGRESS, m_gifProgress);
    DDX_Control(pDX, IDC_SCAN_ABORT, m_btnAbort);
    DDX_Control(pDX, IDC_SCAN_CAPTION, m_wndCaption);
}

BOOL CScanPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pApp = static_cast<CTamselApp*>(AfxGetApp());
    m_pMainDlg = GetTamselDlg();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    if (m_pApp != NULL)
        m_pApp->TranslateDialog(this, 150);
    m_bStartPending = 1;
    m_wndTotal.SetBackColor(RGB(255, 255, 255));
    m_wndTotal.SetColor(RGB(255, 255, 255), RGB(36, 135, 219));
    m_wndTotal.SetText(L"0");
    m_wndTotal.SetTransparent(TRUE);
    m_wndTotal.ModifySegmentStyle(SDS_DIGITS14, SDS_SMOOTH);
    m_btnAbort.SetBitmaps(211, RGB(0, 255, 255), 210, RGB(0, 255, 255));
    m_btnAbort.DrawTransparent(FALSE);
    m_btnAbort.DrawBorder(FALSE, FALSE);
    m_btnAbort.SetAlign(CButtonST::ST_ALIGN_OVERLAP, FALSE);
    m_btnAbort.SizeToContent();
    if (m_pApp != NULL)
        m_wndCaption.SetCaption(m_pApp->GetLangString(L"IDD_150_Title"));
    return TRUE;
}

void CScanPage::OnCancel()
{
}

CScanResultSink* CScanPage::GetResultSink()
{
    if (m_pResultSink == NULL && GetTamselDlg() != NULL)
        m_pResultSink = &GetTamselDlg()->m_pageScanResult;
    return m_pResultSink;
}

BOOL CScanPage::IsScanThreadRunning() const
{
    return m_hScanThread != NULL && ::WaitForSingleObject(m_hScanThread, 0) == WAIT_TIMEOUT;
}

void CScanPage::ReleaseThread()
{
    if (m_hScanThread != NULL)
        ::CloseHandle(m_hScanThread);
    m_hScanThread = NULL;
}

BOOL CScanPage::StartScan()
{
    if (!m_bStartPending || IsScanThreadRunning())
        return FALSE;
    // An ended worker whose last report was not taken yet: take it first.
    if (m_hScanThread != NULL)
        FinishScan();
    m_bStartPending = 0;
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (m_hWnd == NULL && GetTamselDlg() != NULL)
        Create(150, GetTamselDlg());
    m_pApp = pApp;

    delete m_pScan;
    m_pScan = new CScanContext;
    CScanContext& scan = *m_pScan;
    scan.m_pProblems = pApp->m_arrProblems;
    scan.m_pRepair = pApp->m_arrRepair;
    for (int i = 0; i < SCAN_CATEGORIES; i++)
    {
        scan.m_bScanCategory[i] = pApp->m_bScanCategory[i];
        scan.m_strCategoryNames[i] = pApp->m_strCategoryNames[i];
    }
    for (int i = 1; i < SCAN_DESCRIPTIONS; i++)
    {
        CString strKey;
        strKey.Format(L"REGISTRY_ERROR_%d", i);
        scan.m_strDescriptions[i] = pApp->GetLangString(strKey);
    }
    // The ignore list is read here, once, and the worker gets its own copy.
    pApp->LoadIgnoreList();
    scan.m_ignoreList.Load(pApp->m_arrIgnoreList);
    scan.m_bWow64 = pApp->m_bWow64;
    scan.m_pathTest.SetWow64(pApp->m_bWow64);
    // The page outlives its window, and a call left when the window goes is dropped.
    scan.m_feed.SetNotifyWindow(m_hWnd, [this]() { DrainFeed(); });

    m_bAbort = 0;
    m_bLeaving = 0;
    m_bFinished = 0;
    pApp->m_nNextProblem = 1;
    m_nLastTotal = -1;
    SetTotalText(0);
    if (GetResultSink() != NULL)
        GetResultSink()->SetAfterScan(FALSE);
    if (m_hWnd != NULL)
    {
        PlayAnimation(m_gifLarge, GIF_LARGE);
        PlayAnimation(m_gifProgress, GIF_PROGRESS);
        m_wndCurrentItem.SetWindowText(L"");
        SetTimer(TIMER_CURRENT_ITEM, CURRENT_ITEM_PERIOD_MS, NULL);
    }

    m_hScanThread = AfxBeginWorker(ScanThreadProc, m_pScan, 8 * 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
    if (m_hScanThread == NULL)
    {
        UnloadAnimations();
        return FALSE;
    }
    m_bScanning = 1;
    return TRUE;
}

int CScanPage::StopScan(BOOL bClosing)
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (AfxMessageBox(pApp->GetLangString(L"M_WARNING_SCANNING"), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return 0;
    if (bClosing)
        m_bLeaving = 1;
    StopWorker();
    // The next page shows once the worker is gone.
    if (WaitForScanEnd(SCAN_STOP_WAIT_MS))
        FinishScan();
    if (!m_bLeaving)
    {
        CTamselDlg* pMain = GetTamselDlg();
        if (pApp->m_nNextProblem > 1)
        {
            if (GetResultSink() != NULL)
                GetResultSink()->SetLeaving(FALSE);
            if (pMain != NULL)
                pMain->ShowPage(PAGE_SCAN_RESULT);
        }
        else if (pMain != NULL)
            pMain->ShowPage(PAGE_HOME);
    }
    return 1;
}

void CScanPage::StopWorker()
{
    m_bAbort = 1;
    if (m_pScan != NULL)
        m_pScan->Stop();
}

BOOL CScanPage::WaitForScanEnd(DWORD dwTimeoutMs)
{
    if (m_hScanThread == NULL)
        return TRUE;
    // Windows of this thread keep answering what other threads send them.
    return AfxWaitForObjectPumping(m_hScanThread, dwTimeoutMs) == WAIT_OBJECT_0;
}

void CScanPage::SetCountText(int nCategory, int nNumber)
{
    if (m_hWnd == NULL)
        return;
    CString strText;
    if (nNumber >= 0)
        strText.Format(L"%d", nNumber);
    m_wndCount[nCategory - 1].SetWindowText(strText);
}

void CScanPage::SetTotalText(int nTotal)
{
    if (m_hWnd == NULL || nTotal == m_nLastTotal)
        return;
    m_nLastTotal = nTotal;
    CString strText;
    strText.Format(L"%d", nTotal);
    m_wndTotal.SetText(strText);
}

void CScanPage::PlayAnimation(CGifAnimCtrl& gif, UINT nResource)
{
    if (gif.m_hWnd == NULL)
        return;
    gif.UnLoad();
    if (gif.Load(MAKEINTRESOURCEW(nResource), L"GIF"))
        gif.Draw();
}

void CScanPage::DrainFeed()
{
    if (m_pScan == NULL)
        return;
    m_arrFeed.clear();
    // Without a window there is no timer to come back with: all at once.
    BOOL bLeft = FALSE;
    if (m_hWnd != NULL)
        bLeft = m_pScan->m_feed.Take(m_arrFeed, SCAN_DRAIN_ITEMS);
    else
        m_pScan->m_feed.TakeAll(m_arrFeed);
    if (bLeft)
        SetTimer(TIMER_DRAIN, DRAIN_PERIOD_MS, NULL);
    else if (m_hWnd != NULL)
        KillTimer(TIMER_DRAIN);
    CScanResultSink* pSink = GetResultSink();
    std::vector<CScanResultRow> arrRows;
    int nCount[SCAN_CATEGORIES];
    for (int& n : nCount)
        n = -1;
    int nTotal = -1;
    BOOL bEnded = FALSE;
    auto flushRows = [&]() {
        if (!arrRows.empty() && pSink != NULL)
            pSink->AddProblemRows(arrRows.data(), (int)arrRows.size());
        arrRows.clear();
    };
    for (const CScanFeedItem& item : m_arrFeed)
    {
        switch (item.nKind)
        {
        case FEED_PROBLEM_ROW:
            arrRows.push_back(item.row);
            nCount[item.nCategory - 1] = item.nNumber;
            nTotal = item.nTotal;
            break;
        case FEED_CLEAR_RESULTS:
            flushRows();
            if (pSink != NULL)
                pSink->ClearResults();
            for (int n = 1; n <= SCAN_CATEGORIES; n++)
            {
                nCount[n - 1] = -1;
                SetCountText(n, -1);
            }
            break;
        case FEED_CATEGORY_ROWS:
            flushRows();
            if (pSink != NULL)
                pSink->AddCategoryRows(item.arrNames.GetData(), (int)item.arrNames.GetSize());
            break;
        case FEED_CATEGORY_START:
            if (m_hWnd != NULL)
                PlayAnimation(m_gifCategory[item.nCategory - 1], GIF_SCANNING);
            nCount[item.nCategory - 1] = -1;
            SetCountText(item.nCategory, 0);
            break;
        case FEED_CATEGORY_END:
            if (m_hWnd != NULL)
                PlayAnimation(m_gifCategory[item.nCategory - 1], item.nNumber ? GIF_FOUND : GIF_CLEAN);
            break;
        case FEED_SCAN_END:
            bEnded = TRUE;
            break;
        }
    }
    flushRows();
    for (int n = 1; n <= SCAN_CATEGORIES; n++)
    {
        if (nCount[n - 1] >= 0)
            SetCountText(n, nCount[n - 1]);
    }
    if (nTotal >= 0)
        SetTotalText(nTotal);
    m_arrFeed.clear();
    if (bEnded && m_hScanThread != NULL)
    {
        // The worker's last act was to queue the end: it is returning now.
        WaitForScanEnd(SCAN_STOP_WAIT_MS);
        FinishScan();
        ShowScanOutcome();
    }
}

void CScanPage::UnloadAnimations()
{
    if (m_hWnd == NULL)
        return;
    for (int i = 0; i < SCAN_CATEGORIES - 1; i++)
        m_gifCategory[i].UnLoad();
    m_gifCategory[SCAN_CATEGORIES - 1].UnLoad();
    m_gifProgress.UnLoad();
    m_gifLarge.UnLoad();
}

void CScanPage::FinishScan()
{
    if (m_hScanThread == NULL || IsScanThreadRunning())
        return;
    ReleaseThread();
    if (m_hWnd != NULL)
        KillTimer(TIMER_CURRENT_ITEM);
    // Whatever the worker queued before it ended (its end item is no news now).
    DrainFeed();
    UnloadAnimations();
    m_bScanning = 0;
    m_bFinished = m_pScan != NULL && m_pScan->m_bCompleted ? 1 : 0;
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (m_pScan != NULL && pApp != NULL)
        pApp->m_nNextProblem = m_pScan->m_nNextProblem;
}

// A completed scan ends on the result page, or says once that it found
// nothing; a stopped one has already switched pages and says nothing.
void CScanPage::ShowScanOutcome()
{
    if (m_pScan == NULL || !m_bFinished || m_bAbort || m_bLeaving)
        return;
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    CTamselDlg* pMain = GetTamselDlg();
    CScanResultSink* pSink = GetResultSink();
    if (m_pScan->m_bUnwritableSkipped)
        AfxMessageBox(pApp->GetLangString(L"M_SCAN_UNWRITABLE"), MB_OK | MB_ICONINFORMATION);
    if (pSink != NULL)
    {
        pSink->SetLeaving(FALSE);
        pSink->SetAfterScan(TRUE);
    }
    if (pMain != NULL)
        pMain->ShowPage(PAGE_SCAN_RESULT);
    if (m_pScan->m_nNextProblem > 1)
        return;
    if (!pApp->m_bCloseAfterScan && !pApp->m_bAutoRepair)
    {
        AfxMessageBox(pApp->GetLangString(L"M_NO_PROBLEM"), MB_OK | MB_ICONINFORMATION);
        if (pMain != NULL)
            pMain->ShowPage(PAGE_HOME);
    }
}

void CScanPage::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_DRAIN)
    {
        KillTimer(TIMER_DRAIN);
        DrainFeed();
        return;
    }
    if (nIDEvent != TIMER_CURRENT_ITEM)
    {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    CString strItem;
    if (m_pScan != NULL && m_pScan->m_feed.TakeCurrentItem(strItem))
        m_wndCurrentItem.SetWindowText(strItem);
}

void CScanPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (m_nLastTotal < 0)
        SetTotalText(0);
    CTamselDlg* pMain = GetTamselDlg();
    CWnd* pCombo = pMain != NULL ? pMain->GetDlgItem(1029) : NULL;
    if (bShow)
    {
        if (m_pApp != NULL)
            m_pApp->TranslateDialog(this, 150);
        Invalidate();
    }
    if (pCombo != NULL)
    {
        pCombo->EnableWindow(!bShow);
        pCombo->Invalidate();
    }
}

HBRUSH CScanPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    return hBrush != NULL ? hBrush : CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CScanPage::OnDestroy()
{
    // The page goes only after its worker.
    if (IsScanThreadRunning())
    {
        if (m_pScan != NULL)
            m_pScan->Stop();
        WaitForScanEnd(INFINITE);
    }
    if (m_pScan != NULL)
        m_pScan->m_feed.SetNotifyWindow(NULL, nullptr);
    UnloadAnimations();
    CDialog::OnDestroy();
}

void CScanPage::OnAbortScan()
{
    if (m_bScanning)
        StopScan();
}
