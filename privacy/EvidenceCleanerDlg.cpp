#include "privacy/EvidenceCleanerDlg.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"
#include "optimizer/shared/LangString.h"
#include "optimizer/shared/ListColumnText.h"
#include "privacy/CleanProgressDlg.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/PrivacyState.h"
#include "privacy/RecentItems.h"
#include "privacy/RestartWindows.h"

namespace {
// Widths of the command buttons and of each choice button (their pictures').
const int kCommandWidth = 104;
const int kChoiceWidth = 131;
std::atomic<CEvidenceCleanerDlg::PFN_ITEM_HOOK> s_pfnItemHook{NULL};

struct CButtonLook
{
    UINT nID;
    UINT nBitmaps[4];
    LPCWSTR pszKey;
};
const CButtonLook kButtons[6] = {
    {CEvidenceCleanerDlg::IDC_SCAN, {207, 210, 209, 180}, L"IDC_BTN_SCAN"},
    {CEvidenceCleanerDlg::IDC_DELETE, {214, 213, 212, 211}, L"IDC_BTN_4"},
    {CEvidenceCleanerDlg::IDC_CLEAN, {215, 218, 217, 216}, L"IDC_BTN_5"},
    {CEvidenceCleanerDlg::IDC_CHECK_ALL, {327, 326, 325, 325}, L"IDC_BTN_1"},
    {CEvidenceCleanerDlg::IDC_UNCHECK_ALL, {324, 332, 331, 331}, L"IDC_BTN_2"},
    {CEvidenceCleanerDlg::IDC_DEFAULT, {330, 329, 328, 328}, L"IDC_BTN_3"},
};
const struct
{
    LPCWSTR pszKey;
    int nWidth;
} kColumns[3] = {{L"IDC_LIST_SCAN_COLUMN_1", 150}, {L"IDC_LIST_SCAN_COLUMN_2", 100}, {L"IDC_LIST_SCAN_COLUMN_3", 325}};

// Reports of the clean's worker, handed on to the progress dialog.
class CProgressReport : public CEvidenceCleanReport
{
public:
    explicit CProgressReport(CCleanProgressDlg& progress) : m_progress(progress) {}
    void AddDeleted(int nCount) override { m_progress.AddDeleted(nCount); }
    void AddUndeleted() override { m_progress.AddUndeleted(); }
    void AddScheduled() override { m_progress.AddScheduled(); }
    BOOL IsStopRequested() override { return m_progress.IsStopRequested(); }

private:
    CCleanProgressDlg& m_progress;
};
} // namespace

// What the scan worker shares with the page: the items to list, the stop
// event and the rows found, queued for the page's thread.
struct CEvidenceScanJob : public CEvidenceListSink
{
    struct CFoundRow
    {
        CEvidenceItem* pItem;
        EvidenceRow row;
    };
    HWND hPage = NULL;
    // Reached only through calls posted to hPage, which never run once it is gone.
    CEvidenceCleanerDlg* pPage = NULL;
    HANDLE hStop = NULL;
    std::vector<CEvidenceItem*> items;
    CAfxLock lock;
    std::vector<CFoundRow> rows;
    std::atomic<bool> bRowsPosted{false};

    void OnItemStart(CEvidenceItem* pItem) override { PostItem(pItem, TRUE); }
    void OnItemEnd(CEvidenceItem* pItem, int) override { PostItem(pItem, FALSE); }
    void PostItem(CEvidenceItem* pItem, BOOL bStarted)
    {
        CEvidenceCleanerDlg* pDlg = pPage;
        AfxPostCall(hPage, [pDlg, pItem, bStarted] { pDlg->OnScanItem(pItem, bStarted); });
    }
    void OnRow(CEvidenceItem* pItem, const EvidenceRow& row) override
    {
        {
            CAfxLockGuard guard(lock);
            rows.push_back(CFoundRow{pItem, row});
        }
        // One wake-up however many rows come before the page drains them.
        CEvidenceCleanerDlg* pDlg = pPage;
        if (!bRowsPosted.exchange(true) && !AfxPostCall(hPage, [pDlg] { pDlg->DrainRows(); }))
            bRowsPosted = false;
    }
    BOOL IsStopRequested() override { return ::WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0; }
    // The rows queued so far, taken out of the queue.
    std::vector<CFoundRow> TakeRows()
    {
        std::vector<CFoundRow> taken;
        CAfxLockGuard guard(lock);
        bRowsPosted = false;
        taken.swap(rows);
        return taken;
    }
};

BEGIN_MESSAGE_MAP(CEvidenceCleanerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_SCAN, OnScan)
    ON_BN_CLICKED(IDC_DELETE, OnDeleteRow)
    ON_BN_CLICKED(IDC_CLEAN, OnClean)
    ON_BN_CLICKED(IDC_CHECK_ALL, OnCheckAll)
    ON_BN_CLICKED(IDC_UNCHECK_ALL, OnUncheckAll)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CEvidenceCleanerDlg::CEvidenceCleanerDlg()
    : CDialog(IDD), m_pProgressDlg(NULL), m_list(CMyListCtrl::STYLE_PRIVACY),
      m_btnScan(CNButtonEx::STYLE_PRIVACY), m_btnDelete(CNButtonEx::STYLE_PRIVACY),
      m_btnClean(CNButtonEx::STYLE_PRIVACY), m_btnCheckAll(CNButtonEx::STYLE_PRIVACY),
      m_btnUncheckAll(CNButtonEx::STYLE_PRIVACY), m_btnDefault(CNButtonEx::STYLE_PRIVACY), m_nRowCount(0),
      m_nBatches(0), m_hStopEvent(NULL), m_pScanThread(NULL), m_nScanning(0)
{
    m_sizeCount.cx = m_sizeCount.cy = 0;
}

CEvidenceCleanerDlg::~CEvidenceCleanerDlg()
{
    EndScan(INFINITE);
}

CString CEvidenceCleanerDlg::Text(LPCWSTR lpszKey) const
{
    return ReadLangString(PrivacyLanguageFile(), L"String", lpszKey);
}

CNButtonEx& CEvidenceCleanerDlg::GetButton(UINT nID)
{
    CNButtonEx* const buttons[6] = {&m_btnScan, &m_btnDelete, &m_btnClean, &m_btnCheckAll, &m_btnUncheckAll,
                                    &m_btnDefault};
    for (int i = 0; i < 6; i++)
        if (kButtons[i].nID == nID)
            return *buttons[i];
    return m_btnScan;
}

BOOL CEvidenceCleanerDlg::CreateView(HWND hParent, int x, int y)
{
    return CreatePrivacyViewWithTexts(*this, hParent, x, y);
}

BOOL CEvidenceCleanerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The host's tests read the view's title.
    SetWindowText(Text(L"IDO_SCANCLEAN_2"));

    m_gifAnim.SubclassDlgItem(IDC_ANIMATION, this);
    m_gifAnim.SetBkColor(RGB(255, 255, 255));
    m_gifAnim.Load(MAKEINTRESOURCEW(206), L"GIF");

    LOGFONTW lf = {};
    CFont* pDialogFont = GetFont();
    if (pDialogFont != NULL && pDialogFont->GetLogFont(&lf))
        m_font.CreateFontIndirect(&lf);
    m_tree.CreateEx(WS_EX_CLIENTEDGE,
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                        TVS_CHECKBOXES | TVS_FULLROWSELECT,
                    CRect(10, 30, 457, 200), this, IDC_TREE);
    m_tree.SetBitmaps(184, 185);
    m_tree.SetTextFont(m_font.m_hObject != NULL ? &m_font : pDialogFont);
    CMyTreeCtrl::LoadCatalogueImages(m_images);
    m_tree.SetImageList(&m_images, TVSIL_NORMAL);
    for (CEvidenceItem* pRoot = PrivacyCatalogue(); pRoot != NULL; pRoot = pRoot->m_pNext)
        m_tree.InsertItemTree(pRoot, TVI_ROOT);

    for (const auto& column : kColumns)
        m_list.AddColumnRecord(Text(column.pszKey), column.nWidth);
    m_list.SetCreateExStyle(WS_EX_CLIENTEDGE);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS |
                      LVS_SINGLESEL,
                  CRect(10, 210, 400, 400), this, IDC_RESULTS);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);

    for (const CButtonLook& look : kButtons)
    {
        CNButtonEx& button = GetButton(look.nID);
        const BOOL bWide = look.nID < IDC_CHECK_ALL;
        button.Create(Text(look.pszKey), WS_CHILD | WS_VISIBLE, CNButtonEx::DRAW_BITMAPS,
                      CRect(0, 0, bWide ? kCommandWidth : kChoiceWidth, bWide ? 27 : 21), this, look.nID);
        button.SetBitmaps(look.nBitmaps[0], look.nBitmaps[1], look.nBitmaps[2], look.nBitmaps[3],
                          bWide ? kCommandWidth : kChoiceWidth,
                          bWide ? 27 : 21, CNButtonEx::DRAW_BITMAPS);
        button.SetTooltipText(Text(look.pszKey), TRUE);
    }

    BOOL bSaved = FALSE;
    ApplyChoice(GetStartChoice(PrivacyCatalogue(), &bSaved));
    LayOut();
    m_gifAnim.Stop();
    return TRUE;
}

void CEvidenceCleanerDlg::ApplyChoice(const std::vector<int>& ids)
{
    CEvidenceItem* pCatalogue = PrivacyCatalogue();
    m_tree.UncheckAll(pCatalogue);
    for (int nID : ids)
        m_tree.CheckItemById(pCatalogue, nID);
}

void CEvidenceCleanerDlg::LayOut()
{
    if (m_tree.m_hWnd == NULL)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int H = (int)(rc.bottom - rc.top) / 2;
    const int W = (int)(rc.right - rc.left);
    // The command buttons stand 10 from the right edge, the tree and its
    // three choice buttons left of them: all inside the host's page area.
    const int nColumn = W - 10 - kCommandWidth;
    m_tree.MoveWindow(10, 30, 3 * kChoiceWidth, std::max((int)(H - 30), 0));
    m_list.MoveWindow(10, H + 4, std::max((int)(W - 20), 0), std::max((int)(rc.bottom - 10 - (H + 4)), 0));
    m_btnScan.MoveWindow(nColumn, rc.top + 10, kCommandWidth, 27);
    m_btnDelete.MoveWindow(nColumn, rc.top + 43, kCommandWidth, 27);
    m_btnClean.MoveWindow(nColumn, rc.top + 76, kCommandWidth, 27);
    m_btnCheckAll.MoveWindow(10, 10, kChoiceWidth, 21);
    m_btnUncheckAll.MoveWindow(10 + kChoiceWidth, 10, kChoiceWidth, 21);
    m_btnDefault.MoveWindow(10 + 2 * kChoiceWidth, 10, kChoiceWidth, 21);
    const int Y = (H - (rc.top + 103) - 75) / 2 + rc.top + 103;
    m_gifAnim.MoveWindow(nColumn, Y + 5, 103, 75);
    FitItemColumn();
}

void CEvidenceCleanerDlg::FitItemColumn()
{
    // The item column takes what the first two leave, so no column runs past the list.
    CRect rcList;
    m_list.GetClientRect(&rcList);
    int nRest = rcList.Width() - kColumns[0].nWidth - kColumns[1].nWidth;
    if ((m_list.GetStyle() & WS_VSCROLL) == 0)
        nRest -= ::GetSystemMetrics(SM_CXVSCROLL);
    if (nRest > 40)
        m_list.SetColumnWidth(2, nRest);
}

void CEvidenceCleanerDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    LayOut();
}

void CEvidenceCleanerDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, RGB(255, 255, 255));
}

BOOL CEvidenceCleanerDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CEvidenceCleanerDlg::OnOK()
{
}

void CEvidenceCleanerDlg::OnCancel()
{
}

void CEvidenceCleanerDlg::OnDestroy()
{
    EndScan(INFINITE);
    m_gifAnim.Stop();
    CDialog::OnDestroy();
}

// ---- scan -----------------------------------------------------------------------

void CEvidenceCleanerDlg::OnScan()
{
    if (IsScanning())
    {
        SignalStop();
        return;
    }
    // The last run's worker has reported its end; let its thread finish.
    ReleaseScanThread();
    // One stop event per run, made before the thread that polls it.
    m_hStopEvent = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    if (m_hStopEvent == NULL)
        return;
    // Both flags are up before the worker exists: the host may ask at once.
    m_nScanning = 1;
    PrivacySetBusy(1);
    OnScanStart();

    m_pJob = std::make_shared<CEvidenceScanJob>();
    m_pJob->hPage = m_hWnd;
    m_pJob->pPage = this;
    m_pJob->hStop = m_hStopEvent;
    for (CEvidenceItem* pItem = m_tree.GetScanList(); pItem != NULL; pItem = pItem->m_pNext)
        m_pJob->items.push_back(pItem);
    std::shared_ptr<CEvidenceScanJob>* pParam = new std::shared_ptr<CEvidenceScanJob>(m_pJob);
    m_pScanThread = AfxBeginThread(&CEvidenceCleanerDlg::EvidenceScanThread, pParam, THREAD_PRIORITY_NORMAL, 0,
                                   CREATE_SUSPENDED);
    if (m_pScanThread == NULL)
    {
        delete pParam;
        PrivacySetBusy(0);
        FinishScan(NULL);
        return;
    }
    // The page keeps the thread object, so its handle stays valid until waited for.
    m_pScanThread->m_bAutoDelete = FALSE;
    m_pScanThread->ResumeThread();
}

void CEvidenceCleanerDlg::OnScanStart()
{
    SetScanButton(TRUE);
    m_btnDelete.EnableButton(FALSE);
    m_btnClean.EnableButton(FALSE);
    m_list.DeleteAllItems();
    m_tree.ClearScanList();
    m_sizeCount.cx = m_sizeCount.cy = 0;
    {
        CClientDC dc(&m_tree);
        CFont* pFont = m_font.m_hObject != NULL ? &m_font : GetFont();
        HGDIOBJ hOld = pFont != NULL ? ::SelectObject(dc, pFont->m_hObject) : NULL;
        ::GetTextExtentPoint32W(dc, L"67890", 5, &m_sizeCount);
        if (hOld != NULL)
            ::SelectObject(dc, hOld);
    }
    for (CEvidenceItem* pRoot = PrivacyCatalogue(); pRoot != NULL; pRoot = pRoot->m_pNext)
        m_tree.PrepareScan(pRoot, m_sizeCount.cx, m_sizeCount.cy);
    WriteRecentItems(m_tree.GetScanList());
    m_nRowCount = 0;
    m_nBatches = 0;
    m_gifAnim.Draw();
}

UINT __cdecl CEvidenceCleanerDlg::EvidenceScanThread(LPVOID pParam)
{
    std::shared_ptr<CEvidenceScanJob> pJob(*(std::shared_ptr<CEvidenceScanJob>*)pParam);
    delete (std::shared_ptr<CEvidenceScanJob>*)pParam;
    CEvidenceItem* pLast = NULL;
    for (CEvidenceItem* pItem : pJob->items)
    {
        if (PFN_ITEM_HOOK pfnHook = s_pfnItemHook.load())
            pfnHook(pItem, pJob->hStop);
        if (pJob->IsStopRequested())
            break;
        CollectEvidenceTraces(pItem);
        ListEvidenceItem(pItem, *pJob);
        pLast = pItem;
        if (pJob->IsStopRequested())
            break;
    }
    CEvidenceCleanerDlg* pDlg = pJob->pPage;
    AfxPostCall(pJob->hPage, [pDlg, pLast] { pDlg->OnScanEnd(pLast); });
    // Cleared last: the host asks whether anything still runs.
    PrivacySetBusy(0);
    return 0;
}

void CEvidenceCleanerDlg::SetScanItemHookForTests(PFN_ITEM_HOOK pfnHook)
{
    s_pfnItemHook = pfnHook;
}

void CEvidenceCleanerDlg::DrainRows()
{
    if (m_pJob == NULL)
        return;
    std::vector<CEvidenceScanJob::CFoundRow> rows = m_pJob->TakeRows();
    if (rows.empty())
        return;
    m_nBatches++;
    // A visible list repaints per inserted row unless told not to.
    m_list.SetRedraw(FALSE);
    CEvidenceItem* pCounted = NULL;
    int nCounted = 0;
    for (const CEvidenceScanJob::CFoundRow& found : rows)
    {
        // Counts go to the tree once per run of rows of one item.
        if (found.pItem != pCounted)
        {
            if (pCounted != NULL)
                m_tree.AddFound(pCounted, nCounted);
            pCounted = found.pItem;
            nCounted = 0;
        }
        const int nRow = m_list.InsertItem(m_list.GetItemCount(), found.pItem->m_szText);
        if (nRow < 0)
            continue;
        m_list.SetItemText(nRow, 1, found.row.strName);
        m_list.SetItemText(nRow, 2, found.row.strLocation);
        m_list.SetItemData(nRow, (DWORD_PTR)found.row.nKind);
        nCounted++;
        m_nRowCount++;
    }
    if (pCounted != NULL)
        m_tree.AddFound(pCounted, nCounted);
    m_list.SetRedraw(TRUE);
    m_list.Invalidate(FALSE);
}

void CEvidenceCleanerDlg::OnScanItem(CEvidenceItem* pItem, BOOL bStarted)
{
    // The rows of an item come before its end.
    DrainRows();
    if (bStarted)
        m_tree.StartItemAnimation(pItem);
    else if (m_tree.GetAnimatedNode() == pItem)
        m_tree.StopItemAnimation();
}

void CEvidenceCleanerDlg::OnScanEnd(CEvidenceItem* pLastScanned)
{
    DrainRows();
    FinishScan(pLastScanned);
    // The worker is past its last use of the event: wait for it, then close.
    ReleaseScanThread();
}

void CEvidenceCleanerDlg::FinishScan(CEvidenceItem* pLastScanned)
{
    // A stopped scan cleans only the items it got to.
    if (pLastScanned != NULL)
        m_tree.CutScanListAfter(pLastScanned);
    else
        m_tree.ClearScanList();
    m_tree.StopItemAnimation();
    SetScanButton(FALSE);
    m_btnDelete.EnableButton(TRUE);
    m_btnClean.EnableButton(TRUE);
    m_gifAnim.Stop();
    m_nScanning = 0;
}

void CEvidenceCleanerDlg::SetScanButton(BOOL bScanning)
{
    if (bScanning)
        m_btnScan.SetBitmaps(273, 274, 274, 274, 104, 27, CNButtonEx::DRAW_BITMAPS);
    else
        m_btnScan.SetBitmaps(207, 210, 209, 180, 104, 27, CNButtonEx::DRAW_BITMAPS);
    CString strText = Text(bScanning ? L"IDC_BTN_STOP" : L"IDC_BTN_SCAN");
    m_btnScan.SetWindowText(strText);
    m_btnScan.DeleteTooltip();
    m_btnScan.SetTooltipText(strText, TRUE);
    m_btnScan.Invalidate(FALSE);
}

void CEvidenceCleanerDlg::SignalStop()
{
    if (m_hStopEvent != NULL && IsScanning())
        ::SetEvent(m_hStopEvent);
    if (m_pProgressDlg != NULL)
        m_pProgressDlg->RequestStop();
}

void CEvidenceCleanerDlg::StopAndWait(DWORD dwTimeoutMs)
{
    EndScan(dwTimeoutMs);
}

void CEvidenceCleanerDlg::EndScan(DWORD dwTimeoutMs)
{
    if (m_hStopEvent != NULL && IsScanning())
        ::SetEvent(m_hStopEvent);
    // A worker that outlives the wait keeps everything it uses: the frame
    // then leaves the page, the catalogue and the library in place.
    if (m_pScanThread != NULL && AfxWaitForObjectPumping(m_pScanThread->m_hThread, dwTimeoutMs) != WAIT_OBJECT_0)
        return;
    ReleaseScanThread();
    if (m_nScanning.load() != 0)
    {
        // The view is going: the rows still queued are dropped.
        if (m_pJob != NULL)
            m_pJob->TakeRows();
        m_nScanning = 0;
        if (m_hWnd != NULL)
            m_gifAnim.Stop();
    }
}

void CEvidenceCleanerDlg::ReleaseScanThread()
{
    if (m_pScanThread != NULL)
    {
        AfxWaitForObjectPumping(m_pScanThread->m_hThread, INFINITE);
        delete m_pScanThread;
        m_pScanThread = NULL;
    }
    // Closed only after the thread that polled it has ended.
    if (m_hStopEvent != NULL)
    {
        ::CloseHandle(m_hStopEvent);
        m_hStopEvent = NULL;
    }
}

// ---- rows and clean -----------------------------------------------------------------

void CEvidenceCleanerDlg::OnDeleteRow()
{
    if (IsScanning())
        return;
    const int nRow = m_list.GetSelectedIndex();
    if (nRow < 0)
        return;
    EvidenceRow row;
    row.strName = m_list.GetItemText(nRow, 1);
    row.strLocation = m_list.GetItemText(nRow, 2);
    row.nKind = (int)m_list.GetItemData(nRow);
    // The row stays while what it shows is still there.
    if (!DeleteEvidenceRow(row))
        return;
    m_list.DeleteItem(nRow);
    m_nRowCount--;
}

void CEvidenceCleanerDlg::OnClean()
{
    if (IsScanning() || m_pProgressDlg != NULL || m_tree.GetScanList() == NULL || m_nRowCount < 1)
        return;
    std::vector<CEvidenceItem*> items;
    for (CEvidenceItem* pItem = m_tree.GetScanList(); pItem != NULL; pItem = pItem->m_pNext)
        if (pItem->m_nFoundCount > 0)
            items.push_back(pItem);
    CCleanProgressDlg dlg(m_nRowCount,
                          [items](CCleanProgressDlg& progress) {
                              CProgressReport report(progress);
                              for (CEvidenceItem* pItem : items)
                              {
                                  if (progress.IsStopRequested())
                                      break;
                                  CleanEvidenceItem(pItem, &report);
                              }
                          },
                          this);
    m_pProgressDlg = &dlg;
    dlg.DoModal();
    m_pProgressDlg = NULL;
    m_tree.ClearCounts(PrivacyCatalogue());
    m_tree.ClearScanList();
    m_list.DeleteAllItems();
    m_nRowCount = 0;
    // Files in use were left for the next start: restarting is the user's call.
    // A clean stopped from outside (the program quitting) asks nothing more.
    if (dlg.GetUndeletedCount() > 0 && !dlg.IsStopRequested())
        OfferRestartAfterClean(this, PrivacyLanguageFile());
}

void CEvidenceCleanerDlg::OnCheckAll()
{
    if (IsScanning())
        return;
    CString strText = ExpandLineBreaks(Text(L"MESSAGEBOX_4"));
    if (AfxShowMessageBox(m_hWnd, strText, Text(L"MESSAGEBOX_WARNING"), MB_YESNO | MB_ICONWARNING) == IDNO)
        return;
    m_tree.CheckAll(PrivacyCatalogue());
}

void CEvidenceCleanerDlg::OnUncheckAll()
{
    if (!IsScanning())
        m_tree.UncheckAll(PrivacyCatalogue());
}

void CEvidenceCleanerDlg::OnDefault()
{
    if (!IsScanning())
        ApplyChoice(GetDefaultChoice(PrivacyCatalogue()));
}

// ---- frame operations -----------------------------------------------------------------

void CEvidenceCleanerDlg::ResetView()
{
    // A scan that went on while an optimizer view was shown keeps its rows.
    if (IsScanning() || m_hWnd == NULL)
        return;
    m_list.DeleteAllItems();
    m_nRowCount = 0;
    m_tree.ClearScanList();
    m_tree.ClearCounts(PrivacyCatalogue());
}

void CEvidenceCleanerDlg::SwitchLanguage()
{
    if (GetSafeHwnd() == NULL)
        return;
    SetWindowText(Text(L"IDO_SCANCLEAN_2"));
    for (CEvidenceItem* pRoot = PrivacyCatalogue(); pRoot != NULL; pRoot = pRoot->m_pNext)
        m_tree.SwitchLanguage(pRoot, PrivacyLanguageFile());
    for (const CButtonLook& look : kButtons)
    {
        CString strText = Text(look.nID == IDC_SCAN && IsScanning() ? L"IDC_BTN_STOP" : look.pszKey);
        CNButtonEx& button = GetButton(look.nID);
        button.SetWindowText(strText);
        button.DeleteTooltip();
        button.SetTooltipText(strText, TRUE);
        button.Invalidate(FALSE);
    }
    for (int i = 0; i < 3; i++)
        SetColumnText(m_list, i, Text(kColumns[i].pszKey));
}

void CEvidenceCleanerDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || m_hWnd == NULL)
        return;
    CNButtonEx* const buttons[6] = {&m_btnScan, &m_btnDelete, &m_btnClean, &m_btnCheckAll, &m_btnUncheckAll,
                                    &m_btnDefault};
    for (CNButtonEx* pButton : buttons)
        if (pButton->m_hWnd != NULL && pMsg->hwnd == pButton->m_hWnd)
            pButton->RelayEvent(pMsg);
}
