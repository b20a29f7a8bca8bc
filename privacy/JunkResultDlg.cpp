#include "privacy/JunkResultDlg.h"
#include "optimizer/shared/ListColumnText.h"
#include "privacy/JunkDeleteAll.h"
#include "privacy/JunkText.h"
#include "privacy/PrivacyState.h"

// What the scan thread and this window share. The thread holds its own
// reference, so nothing it touches goes away under it, whatever the window does.
struct CJunkResultDlg::CScanShared
{
    CRITICAL_SECTION cs;
    std::vector<JunkFileRow> pending;
    bool bWakePosted = false;
    DWORD dwLastDrain = 0;
    HANDLE hStop = NULL;
    HWND hWnd = NULL;
    CJunkResultDlg* pDlg = NULL;
    CScanShared() { ::InitializeCriticalSection(&cs); }
    ~CScanShared()
    {
        if (hStop != NULL)
            ::CloseHandle(hStop);
        ::DeleteCriticalSection(&cs);
    }
};

struct CJunkResultDlg::CScanJob
{
    std::shared_ptr<CScanShared> shared;
    std::vector<std::wstring> roots;
    std::vector<CString> masks;
    unsigned nRun;
};

BEGIN_MESSAGE_MAP(CJunkResultDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_DELETE_ALL, OnDeleteAll)
END_MESSAGE_MAP()

CJunkResultDlg::CJunkResultDlg()
    : CDialog(IDD), m_list(CMyListCtrl::STYLE_PRIVACY), m_btnStop(CNButtonEx::STYLE_PRIVACY),
      m_btnDelete(CNButtonEx::STYLE_PRIVACY), m_btnDeleteAll(CNButtonEx::STYLE_PRIVACY), m_hThread(NULL), m_nRun(0)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CJunkResultDlg::~CJunkResultDlg()
{
    StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (m_hThread != NULL)
    {
        // Still walking (a hung network drive): it holds the shared state and
        // touches nothing of this object; its posted calls die with the window.
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CJunkResultDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.AddColumnRecord(PrivacyText(L"IDC_LIST_COLUMN_1"), 100);
    m_list.AddColumnRecord(PrivacyText(L"IDC_LIST_COLUMN_2"), 350);
    m_list.SetCreateExStyle(WS_EX_CLIENTEDGE);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS |
                      LVS_SINGLESEL,
                  CRect(5, 5, 200, 200), this, IDC_RESULT_LIST);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_anim.SubclassDlgItem(IDC_ANIMATION, this);
    m_anim.SetBkColor(RGB(255, 255, 255));
    m_anim.Load(MAKEINTRESOURCEW(206), L"GIF");
    m_btnStop.SubclassDlgItem(IDC_STOP, this);
    m_btnStop.SetBitmaps(273, 274, 274, 382, 104, 27, 2);
    m_btnDelete.SubclassDlgItem(IDC_DELETE, this);
    m_btnDelete.SetBitmaps(214, 213, 212, 211, 104, 27, 2);
    m_btnDeleteAll.SubclassDlgItem(IDC_DELETE_ALL, this);
    m_btnDeleteAll.SetBitmaps(215, 218, 217, 216, 104, 27, 2);
    m_btnStop.EnableButton(FALSE);
    CRect rc;
    GetClientRect(&rc);
    OnSize(SIZE_RESTORED, rc.Width(), rc.Height());
    SwitchLanguage();
    return TRUE;
}

CNButtonEx& CJunkResultDlg::GetButton(int nID)
{
    return nID == IDC_STOP ? m_btnStop : nID == IDC_DELETE ? m_btnDelete : m_btnDeleteAll;
}

void CJunkResultDlg::OnSize(UINT, int cx, int cy)
{
    if (m_list.GetSafeHwnd() == NULL)
        return;
    m_list.MoveWindow(5, 5, cx - 117, cy - 10);
    m_btnStop.MoveWindow(cx - 106, cy - 98, 104, 27);
    m_btnDelete.MoveWindow(cx - 106, cy - 65, 104, 27);
    m_btnDeleteAll.MoveWindow(cx - 106, cy - 32, 104, 27);
    m_anim.MoveWindow(cx - 108, cy - 211, 103, 106);
}

BOOL CJunkResultDlg::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillRect(&rc, &m_brWhite);
    return TRUE;
}

HBRUSH CJunkResultDlg::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_brWhite;
}

void CJunkResultDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    const LPCWSTR keys[2] = {L"IDC_LIST_COLUMN_1", L"IDC_LIST_COLUMN_2"};
    for (int i = 0; i < 2; i++)
        SetColumnText(m_list, i, PrivacyText(keys[i]));
    m_btnStop.SetWindowText(PrivacyText(L"IDC_BTN_JUNK_RES_STOP"));
    m_btnDelete.SetWindowText(PrivacyText(L"IDC_BTN_JUNK_RES_DEL"));
    m_btnDeleteAll.SetWindowText(PrivacyText(L"IDC_BTN_JUNK_RES_DELALL"));
}

void CJunkResultDlg::RelayToolTipEvent(MSG* pMsg)
{
    CNButtonEx* buttons[3] = {&m_btnStop, &m_btnDelete, &m_btnDeleteAll};
    for (CNButtonEx* pButton : buttons)
    {
        if (pButton->GetSafeHwnd() != NULL && pButton->GetSafeHwnd() == pMsg->hwnd)
            pButton->RelayEvent(pMsg);
    }
}

void CJunkResultDlg::SetButtonsForScan(BOOL bScanning)
{
    m_btnStop.EnableButton(bScanning);
    m_btnDelete.EnableButton(!bScanning);
    m_btnDeleteAll.EnableButton(!bScanning);
}

void CJunkResultDlg::ClearResults()
{
    if (IsScanning())
        return;
    m_rows.clear();
    if (m_list.GetSafeHwnd() != NULL)
        m_list.DeleteAllItems();
}

BOOL CJunkResultDlg::StartScan(const CString& strFolder, const std::vector<CString>& masks)
{
    if (IsScanning() || m_hWnd == NULL)
        return FALSE;
    std::unique_ptr<CScanJob> job(new CScanJob);
    job->shared = std::make_shared<CScanShared>();
    job->shared->hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    job->shared->hWnd = m_hWnd;
    if (job->shared->hStop == NULL)
        return FALSE;
    if (strFolder.IsEmpty())
        job->roots = GetJunkScanDrives();
    else
        job->roots.push_back(strFolder.Str());
    job->masks = masks;
    job->nRun = ++m_nRun;

    m_rows.clear();
    m_list.DeleteAllItems();
    SetButtonsForScan(TRUE);
    m_anim.Draw();
    // Set here, before the thread exists: FunIsThread right after the click says 1.
    PrivacySetBusy(1);
    m_shared = job->shared;
    CScanJob* pJob = job.release();
    m_hThread = AfxBeginWorker(JunkScanThreadProc, pJob);
    if (m_hThread == NULL)
    {
        delete pJob;
        m_shared.reset();
        PrivacySetBusy(0);
        m_anim.Stop();
        SetButtonsForScan(FALSE);
        if (m_fnScanEnded)
            m_fnScanEnded();
        return FALSE;
    }
    return TRUE;
}

UINT __cdecl CJunkResultDlg::JunkScanThreadProc(LPVOID pParam)
{
    std::unique_ptr<CScanJob> job(static_cast<CScanJob*>(pParam));
    std::shared_ptr<CScanShared> shared = job->shared;
    CJunkMatcher matcher(job->masks);
    CScanShared* pShared = shared.get();
    auto sink = [pShared](std::vector<JunkFileRow>& rows) {
        bool bPost = false;
        ::EnterCriticalSection(&pShared->cs);
        pShared->pending.insert(pShared->pending.end(), std::make_move_iterator(rows.begin()),
                                std::make_move_iterator(rows.end()));
        // One wake-up at a time, and a pause after each drain: posted calls come
        // before input, and a steady stream of them would starve the Stop click.
        if (!pShared->bWakePosted && ::GetTickCount() - pShared->dwLastDrain >= 50)
            bPost = pShared->bWakePosted = true;
        ::LeaveCriticalSection(&pShared->cs);
        if (bPost)
        {
            HWND hWnd = pShared->hWnd;
            AfxPostCall(hWnd, [hWnd]() {
                if (CJunkResultDlg* pDlg = dynamic_cast<CJunkResultDlg*>(CWnd::FromHandlePermanent(hWnd)))
                    pDlg->DrainRows();
            });
        }
    };
    for (const std::wstring& strRoot : job->roots)
    {
        CJunkWalker walker(matcher, pShared->hStop, sink);
        if (!walker.Walk(strRoot))
            break;
    }
    HWND hWnd = pShared->hWnd;
    unsigned nRun = job->nRun;
    AfxPostCall(hWnd, [hWnd, nRun]() {
        if (CJunkResultDlg* pDlg = dynamic_cast<CJunkResultDlg*>(CWnd::FromHandlePermanent(hWnd)))
            pDlg->OnScanEnded(nRun);
    });
    job.reset();
    shared.reset();
    // Last: the host may ask FunIsThread at any moment.
    PrivacySetBusy(0);
    return 0;
}

void CJunkResultDlg::DrainRows()
{
    if (!m_shared)
        return;
    std::vector<JunkFileRow> rows;
    ::EnterCriticalSection(&m_shared->cs);
    rows.swap(m_shared->pending);
    ::LeaveCriticalSection(&m_shared->cs);
    AppendRows(rows);
    ::EnterCriticalSection(&m_shared->cs);
    m_shared->bWakePosted = false;
    m_shared->dwLastDrain = ::GetTickCount();
    ::LeaveCriticalSection(&m_shared->cs);
}

void CJunkResultDlg::AppendRows(std::vector<JunkFileRow>& rows)
{
    if (rows.empty())
        return;
    // One repaint per batch: a visible list repaints after every insert otherwise.
    m_list.SetRedraw(FALSE);
    int nItem = m_list.GetItemCount();
    for (JunkFileRow& row : rows)
    {
        CString strShown(row.strName);
        strShown.MakeLower();
        int nIndex = m_list.InsertItem(nItem, strShown);
        if (nIndex < 0)
            continue;
        m_list.SetItemText(nIndex, 1, row.strFolder.c_str());
        m_rows.push_back(std::move(row));
        nItem = nIndex + 1;
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate(FALSE);
}

void CJunkResultDlg::OnScanEnded(unsigned nRun)
{
    if (nRun != m_nRun || m_hThread == NULL)
        return;
    DrainRows();
    // The thread has posted this as its last act: it ends at once.
    AfxWaitForObjectPumping(m_hThread, 5000);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
    m_shared.reset();
    m_anim.Stop();
    SetButtonsForScan(FALSE);
    if (m_fnScanEnded)
        m_fnScanEnded();
}

void CJunkResultDlg::StopScan()
{
    if (m_shared && m_shared->hStop != NULL)
        ::SetEvent(m_shared->hStop);
}

void CJunkResultDlg::StopAndWait(DWORD dwTimeoutMs)
{
    if (m_hThread == NULL)
        return;
    StopScan();
    if (AfxWaitForObjectPumping(m_hThread, dwTimeoutMs) == WAIT_OBJECT_0)
        OnScanEnded(m_nRun);
}

void CJunkResultDlg::OnDestroy()
{
    // The host's window is closing: the walk stops at its next folder or
    // 32nd entry, and ends before the window goes.
    StopAndWait(PRIVACY_EXIT_WAIT_MS);
    CDialog::OnDestroy();
}

void CJunkResultDlg::OnStop()
{
    StopScan();
}

void CJunkResultDlg::OnDelete()
{
    DeleteSelected();
}

void CJunkResultDlg::OnDeleteAll()
{
    DeleteAll();
}

void CJunkResultDlg::DeleteSelected()
{
    if (IsScanning())
        return;
    int nItem = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (nItem < 0 || nItem >= (int)m_rows.size())
        return;
    if (DeleteJunkFile(m_rows[nItem].strFolder, m_rows[nItem].strName))
    {
        m_list.DeleteItem(nItem);
        m_rows.erase(m_rows.begin() + nItem);
    }
    else
        PrivacyMessage(this, L"MESSAGEBOX_1", L"MESSAGEBOX_NOTICE", MB_OK);
}

void CJunkResultDlg::DeleteAll()
{
    if (IsScanning() || m_rows.empty())
        return;
    std::vector<JunkFileRow> rows = m_rows;
    RunJunkDeleteAll(this, rows);
    m_rows.clear();
    m_list.DeleteAllItems();
}
