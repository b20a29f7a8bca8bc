#include "tools/PatchUpdatePage.h"
#include "tools/UpdateErrorText.h"
#include "app/TamselApp.h"
#include "framework/CommonControls.h"
#include "framework/ShellOpen.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

namespace {

const UINT SEARCH_STACK_SIZE = 8388612;
const int IMAGE_SUCCESS = 8;
const int IMAGE_FAILURE = 9;
const int IMAGE_DOWNLOADING = 10;
const int IMAGE_INSTALLING = 11;

CPatchUpdatePage* PageOf(HWND hWnd)
{
    return dynamic_cast<CPatchUpdatePage*>(CWnd::FromHandlePermanent(hWnd));
}

CString ErrorCodeText(HRESULT hr)
{
    CString strText;
    strText.Format(L"Error Code: %X", (unsigned)hr);
    return strText;
}

// What failed in words, the code, and what the user can do about it.
CString ErrorAdviceText(CTamselApp* pApp, HRESULT hr)
{
    LPCWSTR pszKey = UpdateAgentErrorKey(hr);
    CString strWhat = pszKey != NULL ? pApp->GetLangString(pszKey) : SystemErrorText(hr);
    CString strText = strWhat.IsEmpty() ? ErrorCodeText(hr) : strWhat + L" (" + ErrorCodeText(hr) + L")";
    return strText + L"\n\n" + pApp->GetLangString(L"M_UPDATE_ERR_ADVICE");
}

} // namespace

// The workers' posts: each runs on the page's thread, or not at all.
void PostUpdateRowState(HWND hWndPage, int nRow, UpdateRowState nState, int nResultCode)
{
    AfxPostCall(hWndPage, [hWndPage, nRow, nState, nResultCode]() {
        if (CPatchUpdatePage* pPage = PageOf(hWndPage))
            pPage->OnRowState(nRow, nState, nResultCode);
    });
}

void PostUpdateNotice(HWND hWndPage, UpdateNotice nNotice, HRESULT hr)
{
    AfxPostCall(hWndPage, [hWndPage, nNotice, hr]() {
        if (CPatchUpdatePage* pPage = PageOf(hWndPage))
            pPage->OnNotice(nNotice, hr);
    });
}

void PostUpdateThreadEnded(HWND hWndPage, const UpdateRunPtr& pRun)
{
    AfxPostCall(hWndPage, [hWndPage, pRun]() {
        if (CPatchUpdatePage* pPage = PageOf(hWndPage))
            pPage->OnRunThreadEnded(pRun);
    });
}

void PostUpdateSearchStatus(HWND hWndPage, LPCWSTR pszKey)
{
    AfxPostCall(hWndPage, [hWndPage, pszKey]() {
        if (CPatchUpdatePage* pPage = PageOf(hWndPage))
            pPage->OnSearchStatus(pszKey);
    });
}

void PostUpdateSearchDone(HWND hWndPage, const std::shared_ptr<UpdateSearchResult>& pResult)
{
    AfxPostCall(hWndPage, [hWndPage, pResult]() {
        if (CPatchUpdatePage* pPage = PageOf(hWndPage))
            pPage->OnSearchDone(*pResult);
    });
}

DWORD CPatchUpdatePage::s_dwStopLimitMs = 1500;

BEGIN_MESSAGE_MAP(CPatchUpdatePage, CToolPage)
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
    ON_BN_CLICKED(1001, OnScan)
    ON_BN_CLICKED(1002, OnInstall)
    ON_BN_CLICKED(1003, OnAbort)
    ON_NOTIFY(NM_CLICK, 1013, OnListClick)
END_MESSAGE_MAP()

CPatchUpdatePage::CPatchUpdatePage()
    : CToolPage(425), m_busy(10, 0), m_hSearchThread(NULL), m_hSearchStop(NULL), m_hDownloadThread(NULL),
      m_hInstallThread(NULL), m_nRunThreads(0)
{
}

CPatchUpdatePage::~CPatchUpdatePage()
{
    StopWorkers();
    if (m_hSearchStop != NULL)
        ::CloseHandle(m_hSearchStop);
}

BOOL CPatchUpdatePage::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    // The template holds a rich edit control.
    AfxInitRichEdit2();
    return CToolPage::Create(nIDTemplate, pParentWnd);
}

void CPatchUpdatePage::DoDataExchange(CDataExchange* pDX)
{
    CToolPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnAbort);
    DDX_Control(pDX, 1027, m_busy);
    DDX_Control(pDX, 1151, m_stcStatus);
    DDX_Control(pDX, 1026, m_frameDetails);
    DDX_Control(pDX, 1116, m_linkMoreInfo);
    DDX_Control(pDX, 1039, m_stcSize);
    DDX_Control(pDX, 1035, m_stcDate);
    DDX_Control(pDX, 1031, m_stcArticle);
    DDX_Control(pDX, 1165, m_editDescription);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1004, m_btnHidden);
    DDX_Control(pDX, 1002, m_btnInstall);
    DDX_Control(pDX, 1001, m_btnScan);
}

BOOL CPatchUpdatePage::OnInitDialog()
{
    CToolPage::OnInitDialog();
    SetButtonPictures(m_btnAbort, 8056, 8055, RGB(0, 255, 0));
    SetButtonPictures(m_btnHidden, 8048, 8047, RGB(0, 255, 0));
    SetButtonPictures(m_btnInstall, 8053, 8052, RGB(255, 0, 255));
    SetButtonPictures(m_btnScan, 8051, 8050, RGB(255, 0, 255));

    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list.EnableToolTips(TRUE);
    m_list.SetEllipsis(TRUE);
    if (m_images.GetSafeHandle() == NULL && m_images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 25, 16))
    {
        CBitmap bitmap;
        if (bitmap.LoadBitmap(426))
            m_images.Add(&bitmap, RGB(255, 0, 255));
    }
    m_list.SetImageList(&m_images, LVSIL_SMALL);
    LVCOLUMN column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_CENTER;
    column.cx = 20;
    column.pszText = const_cast<LPWSTR>(L"");
    m_list.InsertColumn(0, &column);
    m_list.InsertColumn(1, L"Title", LVCFMT_LEFT, 310);
    m_list.InsertColumn(2, L"Severity", LVCFMT_LEFT, 80);
    m_list.InsertColumn(3, L"Progress", LVCFMT_LEFT, 150);

    m_editDescription.SendMessage(EM_AUTOURLDETECT, TRUE, 0);
    m_editDescription.SetEventMask(m_editDescription.GetEventMask() | ENM_LINK);

    m_stcStatus.SetWindowText(Lang(L"M_UPDATE_CLICK"));
    m_frameDetails.ShowWithContents(SW_HIDE);
    m_stcStatus.ShowWindow(SW_SHOW);
    m_busy.ShowWindow(SW_SHOW);

    m_busy.SetSpeed(250);
    m_busy.SetRange(-100, 100);
    m_busy.SetBlockGap(1);
    m_busy.SetNumSteps(20);
    m_busy.SetNumSubSteps(5);
    m_busy.SetGranularity(BPC_BUSYGRAN_BLOCK);
    m_busy.SetBusyType(BPC_BUSY_PINGPONG);
    return TRUE;
}

void CPatchUpdatePage::SetButtonPictures(CButtonST& button, UINT nIn, UINT nOut, COLORREF crKey)
{
    if (button.GetSafeHwnd() == NULL)
        return;
    button.SetBitmaps(nIn, crKey, nOut, crKey);
    // The pictures carry no text: the translated one is drawn over them.
    button.SetAlign(CButtonST::ST_ALIGN_OVERLAP, FALSE);
    for (BYTE nColor : {CButtonST::BTNST_COLOR_FG_IN, CButtonST::BTNST_COLOR_FG_OUT, CButtonST::BTNST_COLOR_FG_FOCUS})
        button.SetColor(nColor, RGB(28, 68, 125), FALSE);
    button.DrawTransparent(FALSE);
    button.DrawBorder(FALSE, TRUE);
}

void CPatchUpdatePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_UPDATE_1"));
    SetColumnText(m_list, 2, Lang(L"LIST_UPDATE_2"));
    SetColumnText(m_list, 3, Lang(L"LIST_UPDATE_3"));
    Invalidate();
}

void CPatchUpdatePage::OnDestroy()
{
    StopWorkers();
    CToolPage::OnDestroy();
}

void CPatchUpdatePage::EnableUpdateControls(BOOL bEnable)
{
    if (m_btnScan.GetSafeHwnd() != NULL)
        m_btnScan.EnableWindow(bEnable);
    if (m_btnInstall.GetSafeHwnd() != NULL)
    {
        m_btnInstall.EnableWindow(bEnable);
        m_btnInstall.Invalidate();
    }
    if (m_list.GetSafeHwnd() == NULL)
        return;
    int nRows = m_list.GetItemCount();
    for (int i = 0; i < nRows; ++i)
        m_list.SetCheckboxEnabled(i, 0, bEnable);
}

void CPatchUpdatePage::ShowSearching(BOOL bSearching)
{
    if (bSearching)
    {
        m_frameDetails.ShowWithContents(SW_HIDE);
        m_stcStatus.ShowWindow(SW_SHOW);
        m_busy.ShowWindow(SW_SHOW);
        Invalidate();
        m_busy.Start();
    }
    else
    {
        m_busy.Reset();
        m_busy.End();
        m_busy.Invalidate();
        m_frameDetails.ShowWithContents(SW_SHOW);
        m_stcStatus.ShowWindow(SW_HIDE);
        m_busy.ShowWindow(SW_HIDE);
        Invalidate();
    }
}

void CPatchUpdatePage::OnScan()
{
    // One search or run at a time; a second click finds the buttons off.
    if (IsBusy() || GetSafeHwnd() == NULL)
        return;
    EnableUpdateControls(FALSE);
    m_btnAbort.EnableWindow(FALSE);
    m_editDescription.SetWindowText(L"");
    ShowSearching(TRUE);
    for (CWnd* pLabel : {&m_stcArticle, &m_stcDate, static_cast<CWnd*>(&m_linkMoreInfo), &m_stcSize})
        pLabel->SetWindowText(L"");
    m_list.DeleteAllItems();
    m_pApp->m_arrUpdateInfo.RemoveAll();

    // A fresh stop event each time: a search that outlived the page's wait
    // keeps the old one, set, for itself.
    if (m_hSearchStop != NULL)
        ::CloseHandle(m_hSearchStop);
    m_hSearchStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hWorkerStop = NULL;
    if (m_hSearchStop != NULL)
        ::DuplicateHandle(::GetCurrentProcess(), m_hSearchStop, ::GetCurrentProcess(), &hWorkerStop, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
    // The worker lets go of the last search's collection in its own apartment.
    UpdateSearchJob* pJob = new UpdateSearchJob{m_hWnd, m_pApp->m_pComObject, hWorkerStop};
    m_pApp->m_pComObject = NULL;
    m_hSearchThread = hWorkerStop == NULL ? NULL
                                          : AfxBeginWorker(SearchUpdatesThread, pJob, SEARCH_STACK_SIZE,
                                                           STACK_SIZE_PARAM_IS_A_RESERVATION);
    if (m_hSearchThread == NULL)
    {
        DWORD dwError = ::GetLastError();
        if (hWorkerStop != NULL)
            ::CloseHandle(hWorkerStop);
        ::SetLastError(dwError);
        m_pApp->m_pComObject = pJob->pOldFound;
        delete pJob;
        UpdateSearchResult result;
        result.bFailed = TRUE;
        result.hr = HRESULT_FROM_WIN32(::GetLastError());
        OnSearchDone(result);
    }
}

void CPatchUpdatePage::OnSearchStatus(LPCWSTR pszKey)
{
    m_stcStatus.SetWindowText(Lang(pszKey));
}

void CPatchUpdatePage::OnSearchDone(UpdateSearchResult& result)
{
    CloseThread(m_hSearchThread, s_dwStopLimitMs);
    m_list.SetRedraw(FALSE);
    m_list.DeleteAllItems();
    m_pApp->m_arrUpdateInfo.RemoveAll();
    if (result.pFound != NULL)
    {
        if (m_pApp->m_pComObject != NULL)
            m_pApp->m_pComObject->Release();
        m_pApp->m_pComObject = result.pFound;
        result.pFound = NULL;
    }
    for (UpdateInfo info : result.arrInfo)
    {
        LPCWSTR pszKey = UpdateSeverityKey(info.m_strSeverity);
        if (pszKey != NULL)
            info.m_strSeverity = Lang(pszKey);
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_pApp->m_arrUpdateInfo.Add(info);
        m_list.SetItemText(nRow, 1, info.m_strTitle);
        m_list.SetItemToolTipText(nRow, 1, info.m_strTitle);
        m_list.SetItemText(nRow, 2, info.m_strSeverity);
        m_list.SetItemToolTipText(nRow, 2, info.m_strSeverity);
        m_list.SetCheckbox(nRow, 0, 2);
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();

    ShowSearching(FALSE);
    EnableUpdateControls(TRUE);
    m_btnAbort.EnableWindow(TRUE);
    if (result.bFailed)
        OnNotice(result.nNotice, result.hr);
}

void CPatchUpdatePage::OnInstall()
{
    if (IsBusy() || m_pApp->m_pComObject == NULL || GetSafeHwnd() == NULL)
        return;
    // The rows are read here, on the page's thread, when Install is pressed.
    std::vector<UpdateRowRef> arrRows;
    int nRows = m_list.GetItemCount();
    for (int i = 0; i < nRows && i < (int)m_pApp->m_arrUpdateInfo.GetSize(); ++i)
        if (m_list.GetCheckbox(i, 0) == 2)
            arrRows.push_back(UpdateRowRef{i, m_pApp->m_arrUpdateInfo[i].m_nItem});

    UpdateRunPtr pRun(new CUpdateRun(m_hWnd, m_pApp->m_pComObject, arrRows));
    if (!pRun->IsReady())
    {
        OnNotice(UPDATE_NOTICE_BEGIN_FAILED, HRESULT_FROM_WIN32(::GetLastError()));
        return;
    }
    EnableUpdateControls(FALSE);
    m_pRun = pRun;
    m_nRunThreads = 0;
    // Both are counted in first, so neither worker can be the last one out
    // before the other has started.
    pRun->EnterWorker();
    pRun->EnterWorker();
    UpdateRunPtr* pDownloadParam = new UpdateRunPtr(pRun);
    m_hDownloadThread = AfxBeginWorker(DownloadUpdatesThread, pDownloadParam);
    if (m_hDownloadThread == NULL)
    {
        delete pDownloadParam;
        pRun->LeaveWorker();
        pRun->Stop();
    }
    else
    {
        ++m_nRunThreads;
    }
    UpdateRunPtr* pInstallParam = new UpdateRunPtr(pRun);
    m_hInstallThread = AfxBeginWorker(InstallQueueThread, pInstallParam);
    if (m_hInstallThread == NULL)
    {
        delete pInstallParam;
        pRun->LeaveWorker();
        // Nothing would install what the walk downloads.
        pRun->Stop();
    }
    else
    {
        ++m_nRunThreads;
    }
    if (m_nRunThreads == 0)
    {
        m_pRun.reset();
        EnableUpdateControls(TRUE);
    }
}

void CPatchUpdatePage::OnAbort()
{
    // The workers abort their own jobs; the controls come back when both end.
    if (m_pRun != NULL)
        m_pRun->Stop();
}

void CPatchUpdatePage::OnRunThreadEnded(const UpdateRunPtr& pRun)
{
    if (pRun != m_pRun || m_nRunThreads <= 0)
        return;
    if (--m_nRunThreads > 0)
        return;
    CloseThread(m_hDownloadThread, s_dwStopLimitMs);
    CloseThread(m_hInstallThread, s_dwStopLimitMs);
    m_pRun.reset();
    EnableUpdateControls(TRUE);
    Invalidate();
}

void CPatchUpdatePage::OnRowState(int nRow, UpdateRowState nState, int nResultCode)
{
    if (m_list.GetSafeHwnd() == NULL || nRow < 0 || nRow >= m_list.GetItemCount())
        return;
    CString strText;
    int nImage = IsUpdateResultSuccess(nResultCode) ? IMAGE_SUCCESS : IMAGE_FAILURE;
    COLORREF crText = RGB(0, 0, 0);
    switch (nState)
    {
    case UPDATE_ROW_DOWNLOADING:
        strText = Lang(L"M_UPDATE_DOWNLOAD");
        nImage = IMAGE_DOWNLOADING;
        break;
    case UPDATE_ROW_DOWNLOADED:
        strText = Lang(DownloadResultKey(nResultCode));
        break;
    case UPDATE_ROW_INSTALLING:
        strText = Lang(L"M_UPDATE_INSTALL");
        nImage = IMAGE_INSTALLING;
        crText = RGB(0, 0, 255);
        break;
    case UPDATE_ROW_INSTALLED:
        strText = Lang(InstallResultKey(nResultCode));
        break;
    }
    m_list.SetItemImage(nRow, 3, nImage);
    m_list.SetItemTextColors(nRow, 3, strText, crText, RGB(255, 255, 255));
    m_list.SetItemToolTipText(nRow, 3, strText);
}

void CPatchUpdatePage::OnNotice(UpdateNotice nNotice, HRESULT hr)
{
    switch (nNotice)
    {
    case UPDATE_NOTICE_CLASS_MISSING:
        Message(Lang(L"M_UPDATE_SESSION_FAILED_1"), MB_OK);
        break;
    case UPDATE_NOTICE_NOT_STARTED:
        Message(Lang(L"M_UPDATE_SESSION_FAILED_2"), MB_OK);
        break;
    case UPDATE_NOTICE_BEGIN_FAILED:
        if (hr == UPDATE_E_INSTALL_NOT_ALLOWED)
            Message(Lang(L"M_INSTALL_NOT_ALLOWED"), MB_OK | MB_ICONEXCLAMATION);
        else
            Message(ErrorAdviceText(m_pApp, hr), MB_OK | MB_ICONEXCLAMATION);
        break;
    case UPDATE_NOTICE_ABORT_REFUSED:
        Message(L"Request Abort Failed", MB_OK);
        break;
    case UPDATE_NOTICE_RUN_LIMIT:
        Message(Lang(L"M_UPDATE_RUN_LIMIT"), MB_OK | MB_ICONINFORMATION);
        break;
    case UPDATE_NOTICE_SEARCH_FAILED:
        // A failed search is no empty result: say so, with the agent's code.
        Message(Lang(L"M_UPDATE_SEARCH_FAILED") + L"\n" + ErrorAdviceText(m_pApp, hr), MB_OK | MB_ICONEXCLAMATION);
        break;
    }
}

void CPatchUpdatePage::OnListClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    int nRow = m_list.GetCurSel();
    if (nRow < 0 || nRow >= (int)m_pApp->m_arrUpdateInfo.GetSize())
        return;
    const UpdateInfo& info = m_pApp->m_arrUpdateInfo[nRow];
    m_stcArticle.SetWindowText(info.m_strArticle);
    m_stcDate.SetWindowText(info.m_strDate);
    m_stcSize.SetWindowText(FormatUpdateSize(info.m_strMaxSize));
    m_linkMoreInfo.SetWindowText(Lang(L"IDD_425_1116"));
    m_linkMoreInfo.SetURL(info.m_strMoreInfoUrl);
    m_linkMoreInfo.SetTipText(info.m_strMoreInfoUrl);
    m_linkMoreInfo.SetUnderline(TRUE);
    m_linkMoreInfo.SetColors(RGB(0, 0, 255), RGB(85, 26, 139));
    ShowDescription(info.m_strDescription);
}

void CPatchUpdatePage::ShowDescription(const CString& strDescription)
{
    m_editDescription.SetWindowText(L"");
    CHARFORMAT2W cf = {};
    cf.dwMask = CFM_BOLD | CFM_COLOR;
    cf.dwEffects = CFE_BOLD;
    cf.crTextColor = RGB(0, 0, 192);
    m_editDescription.SetSel(0, -1);
    m_editDescription.SetSelectionCharFormat(cf);
    m_editDescription.ReplaceSel(L"Description: ");
    long nEnd = m_editDescription.GetTextLength();
    m_editDescription.SetSel(nEnd, nEnd);
    cf.dwEffects = 0;
    cf.crTextColor = RGB(0, 0, 0);
    m_editDescription.SetSelectionCharFormat(cf);
    CString strText;
    strText.Format(L"%s\n", strDescription);
    m_editDescription.ReplaceSel(strText);
}

BOOL CPatchUpdatePage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR != NULL && pNMHDR->code == EN_LINK && pNMHDR->hwndFrom == m_editDescription.GetSafeHwnd())
    {
        ENLINK* pLink = reinterpret_cast<ENLINK*>(lParam);
        if (pLink->msg == WM_LBUTTONUP)
        {
            m_editDescription.SetSel(pLink->chrg);
            // The buffer is as long as the link, however long that is.
            CString strLink = m_editDescription.GetTextRange(pLink->chrg.cpMin, pLink->chrg.cpMax);
            if (!strLink.IsEmpty())
                AfxShellOpen(m_hWnd, L"open", strLink, NULL, NULL, SW_SHOWNORMAL);
        }
    }
    return CToolPage::OnNotify(wParam, lParam, pResult);
}

void CPatchUpdatePage::CloseThread(HANDLE& hThread, DWORD dwWaitMs)
{
    if (hThread == NULL)
        return;
    AfxWaitForObjectPumping(hThread, dwWaitMs);
    ::CloseHandle(hThread);
    hThread = NULL;
}

void CPatchUpdatePage::StopWorkers()
{
    if (m_hSearchStop != NULL)
        ::SetEvent(m_hSearchStop);
    if (m_pRun != NULL)
        m_pRun->Stop();
    // One limit for all three; a worker still running after it keeps what it
    // uses alive itself and only posts to a window that is gone.
    DWORD dwStart = ::GetTickCount();
    for (HANDLE* phThread : {&m_hSearchThread, &m_hDownloadThread, &m_hInstallThread})
    {
        DWORD dwElapsed = ::GetTickCount() - dwStart;
        CloseThread(*phThread, dwElapsed < s_dwStopLimitMs ? s_dwStopLimitMs - dwElapsed : 0);
    }
    m_pRun.reset();
    m_nRunThreads = 0;
}
