#include "privacy/CleanProgressDlg.h"
#include "controls/skin/MemDC.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"
#include "optimizer/shared/LangString.h"
#include "privacy/PrivacyState.h"

namespace {
const int kCells = 10;
const int kCellWidth = 24;
const int kCellHeight = 11;

CString LangText(LPCWSTR lpszKey)
{
    return ReadLangString(PrivacyLanguageFile(), L"String", lpszKey);
}
} // namespace

BEGIN_MESSAGE_MAP(CCleanProgressDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_EXIT, OnExit)
    ON_BN_CLICKED(IDC_SECOND, OnSecond)
END_MESSAGE_MAP()

CCleanProgressDlg::CCleanProgressDlg(int nExpectedTotal, CleanWork work, CWnd* pParentWnd)
    : CDialog(IDD, pParentWnd), m_btnSecond(CNButtonEx::STYLE_PRIVACY), m_btnExit(CNButtonEx::STYLE_PRIVACY),
      m_pWorker(NULL), m_work(std::move(work)), m_nExpectedTotal(nExpectedTotal),
      m_nStepSize(nExpectedTotal / kCells > 1 ? nExpectedTotal / kCells : 1), m_nStep(0), m_nDeleted(0),
      m_nUndeleted(0), m_nScheduled(0), m_bWorkRunning(false), m_bRefreshPending(false), m_bStop(false), m_bWorkDone(FALSE), m_bRegionSet(FALSE)
{
}

CCleanProgressDlg::~CCleanProgressDlg()
{
    if (m_pWorker != NULL)
        RequestStop();
    WaitForWorker();
}

BOOL CCleanProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(NULL, 0, 0, 429, 302, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();

    m_gifAnim.SubclassDlgItem(1033, this);
    m_gifAnim.SetBkColor(RGB(255, 255, 255));
    // Short enough to leave the row of cells below it in view.
    m_gifAnim.MoveWindow(157, 14, 256, 130);
    if (m_gifAnim.Load(MAKEINTRESOURCEW(245), L"GIF"))
        m_gifAnim.Draw();

    const CString strExit = LangText(L"IDC_BTN_EXIT");
    m_btnExit.Create(strExit, WS_CHILD, CNButtonEx::DRAW_BITMAPS, CRect(347, 255, 411, 275), this, IDC_EXIT);
    m_btnExit.SetBitmaps(239, 241, 240, 240, 64, 20, CNButtonEx::DRAW_BITMAPS);
    m_btnSecond.Create(strExit, WS_CHILD, CNButtonEx::DRAW_BITMAPS, CRect(276, 255, 340, 275), this, IDC_SECOND);
    m_btnSecond.SetBitmaps(242, 244, 243, 240, 64, 20, CNButtonEx::DRAW_BITMAPS);

    m_segTotal.SubclassDlgItem(1030, this);
    m_segDeleted.SubclassDlgItem(1031, this);
    m_segUndeleted.SubclassDlgItem(1032, this);
    m_segTotal.ShowWindow(SW_HIDE);
    m_segTotal.SetColor(0x000034, 0x1B9B46);
    CString strTotal;
    strTotal.Format(L"%d", m_nExpectedTotal);
    m_segTotal.SetText(strTotal);
    m_segTotal.SetTransparent(TRUE);
    m_segTotal.ModifySegmentStyle(0, 14);
    CSegmentDisplay* const counters[2] = {&m_segDeleted, &m_segUndeleted};
    for (int i = 0; i < 2; i++)
    {
        counters[i]->SetColor(0x000034, 0x61473B);
        counters[i]->SetText(L"0");
        counters[i]->SetTransparent(TRUE);
        counters[i]->ModifySegmentStyle(0, 14);
        counters[i]->MoveWindow(153, 176 + 37 * i, 89, 24);
    }

    m_stcAlert.SubclassDlgItem(1046, this);
    // Room for the plain alert and the next-start line together.
    m_stcAlert.MoveWindow(32, 242, 275, 54);
    m_stcAlert.ShowWindow(SW_HIDE);
    m_stcAlert.SetWindowText(LangText(L"IDC_STC_ALARM"));
    m_stcDeleted.SubclassDlgItem(4010, this);
    m_stcUndeleted.SubclassDlgItem(4011, this);
    m_stcDeleted.SetWindowText(LangText(L"IDC_STC_DES_DELETED"));
    m_stcUndeleted.SetWindowText(LangText(L"IDC_STC_DES_UNDELETED"));
    m_stcDeleted.MoveWindow(32, 181, 118, 16);
    m_stcUndeleted.MoveWindow(32, 218, 118, 16);

    // The worker starts suspended and keeps its object, so the handle stays
    // valid until this dialog has waited for it.
    m_bWorkRunning = true;
    m_pWorker = AfxBeginThread(&CCleanProgressDlg::CleanWorkThreadProc, this, THREAD_PRIORITY_NORMAL, 0,
                               CREATE_SUSPENDED);
    if (m_pWorker == NULL)
    {
        m_bWorkRunning = false;
        AfxPostCall(m_hWnd, [this] { OnWorkDone(); });
        return TRUE;
    }
    m_pWorker->m_bAutoDelete = FALSE;
    m_pWorker->ResumeThread();
    return TRUE;
}

UINT __cdecl CCleanProgressDlg::CleanWorkThreadProc(LPVOID pParam)
{
    CCleanProgressDlg* pDlg = (CCleanProgressDlg*)pParam;
    if (pDlg->m_work)
        pDlg->m_work(*pDlg);
    // The call never runs once the window is gone.
    AfxPostCall(pDlg->m_hWnd, [pDlg] { pDlg->OnWorkDone(); });
    return 0;
}

void CCleanProgressDlg::AddDeleted(int nCount)
{
    m_nDeleted += nCount > 0 ? nCount : 1;
    CountReport();
}

void CCleanProgressDlg::AddUndeleted()
{
    m_nUndeleted += 1;
    CountReport();
}

void CCleanProgressDlg::AddScheduled()
{
    m_nScheduled += 1;
    AddUndeleted();
}

void CCleanProgressDlg::CountReport()
{
    const int nDone = m_nDeleted.load() + m_nUndeleted.load();
    int nStep = m_nStep.load();
    if (nStep < kCells && nDone > (nStep + 1) * m_nStepSize)
    {
        m_nStep = nStep + 1;
        RequestRefresh();
        // Lets a fast clean show its cells lighting one by one.
        ::Sleep(20);
    }
    if (nDone >= m_nExpectedTotal)
        m_nStep = kCells;
    RequestRefresh();
}

void CCleanProgressDlg::RequestRefresh()
{
    // One posted call however many reports arrive before it is served.
    if (m_hWnd != NULL && !m_bRefreshPending.exchange(true))
    {
        if (!AfxPostCall(m_hWnd, [this] { OnProgressChanged(); }))
            m_bRefreshPending = false;
    }
}

void CCleanProgressDlg::OnProgressChanged()
{
    m_bRefreshPending = false;
    ShowCounts();
}

void CCleanProgressDlg::ShowCounts()
{
    CString str;
    str.Format(L"%d", m_nDeleted.load());
    m_segDeleted.SetText(str);
    str.Format(L"%d", m_nUndeleted.load());
    m_segUndeleted.SetText(str);
    CRect rc = ProgressRect();
    InvalidateRect(&rc, FALSE);
}

void CCleanProgressDlg::OnWorkDone()
{
    if (m_bWorkDone)
        return;
    WaitForWorker();
    m_bWorkDone = TRUE;
    m_bWorkRunning = false;
    m_nStep = kCells;
    ShowCounts();
    m_gifAnim.Stop();
    m_btnExit.ShowWindow(SW_SHOW);
    if (m_nUndeleted.load() >= 1)
    {
        // Files in use are not lost causes: they go at the next start.
        const int nScheduled = m_nScheduled.load();
        CString strAlert;
        if (m_nUndeleted.load() > nScheduled)
            strAlert = LangText(L"IDC_STC_ALARM");
        if (nScheduled > 0)
        {
            // The translation is text, not a format: only its %d is replaced.
            CString strCount;
            strCount.Format(L"%d", nScheduled);
            CString strNextStart = LangText(L"IDC_STC_NEXT_START");
            strNextStart.Replace(L"%d", strCount);
            if (!strAlert.IsEmpty())
                strAlert += L"\n";
            strAlert += strNextStart;
        }
        m_stcAlert.SetWindowText(strAlert);
        m_stcAlert.ShowWindow(SW_SHOW);
    }
}

void CCleanProgressDlg::WaitForWorker()
{
    if (m_pWorker == NULL)
        return;
    AfxWaitForObjectPumping(m_pWorker->m_hThread, INFINITE);
    delete m_pWorker;
    m_pWorker = NULL;
}

void CCleanProgressDlg::OnExit()
{
    if (m_bWorkDone)
        EndDialog(IDOK);
}

void CCleanProgressDlg::OnSecond()
{
    if (m_bWorkDone)
        EndDialog(IDCANCEL);
}

void CCleanProgressDlg::OnOK()
{
    OnExit();
}

void CCleanProgressDlg::OnCancel()
{
    // Escape after the end is the Exit button; before it, nothing.
    OnExit();
}

void CCleanProgressDlg::OnClose()
{
    OnExit();
}

void CCleanProgressDlg::OnDestroy()
{
    // A modal loop ended from outside (the program quitting) still waits, for
    // a work that stops at its next entry.
    if (m_pWorker != NULL)
        RequestStop();
    WaitForWorker();
    m_gifAnim.Stop();
    CDialog::OnDestroy();
}

HBRUSH CCleanProgressDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd != NULL && pWnd->m_hWnd == m_stcAlert.m_hWnd)
    {
        // Drawn over the painted background.
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(192, 32, 32));
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

BOOL CCleanProgressDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CCleanProgressDlg::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CMemDC dcMem(&dc, &rcClient);
    PaintInto(dcMem, rcClient);
    if (!m_bRegionSet)
    {
        // The corners' key pixels are cut out of the window once.
        m_bRegionSet = TRUE;
        HRGN hRegion = ::CreateRectRgn(0, 0, rcClient.Width(), rcClient.Height());
        const int nSize = 10;
        const POINT corners[4] = {{0, 0},
                                  {rcClient.Width() - nSize, 0},
                                  {0, rcClient.Height() - nSize},
                                  {rcClient.Width() - nSize, rcClient.Height() - nSize}};
        for (const POINT& corner : corners)
            for (int y = corner.y; y < corner.y + nSize; y++)
                for (int x = corner.x; x < corner.x + nSize; x++)
                    if (dcMem.GetPixel(x, y) == RGB(255, 0, 255))
                    {
                        HRGN hPixel = ::CreateRectRgn(x, y, x + 1, y + 1);
                        ::CombineRgn(hRegion, hRegion, hPixel, RGN_DIFF);
                        ::DeleteObject(hPixel);
                    }
        if (SetWindowRgn(hRegion, FALSE) == 0)
            ::DeleteObject(hRegion);
    }
}

void CCleanProgressDlg::PaintInto(CDC& dc, const CRect& rcClient)
{
    dc.FillSolidRect(&rcClient, RGB(246, 249, 253));
    CDC dcBitmap;
    if (!dcBitmap.CreateCompatibleDC(&dc))
        return;
    CBitmap bmpBack, bmpCells;
    HGDIOBJ hOld = NULL;
    if (bmpBack.LoadBitmap(236))
    {
        hOld = ::SelectObject(dcBitmap, bmpBack);
        dc.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dcBitmap, 0, 0, SRCCOPY);
    }
    if (bmpCells.LoadBitmap(254))
    {
        HGDIOBJ hPrev = ::SelectObject(dcBitmap, bmpCells);
        if (hOld == NULL)
            hOld = hPrev;
        const CRect rc = ProgressRect();
        const int nStep = m_nStep.load();
        for (int i = 0; i < kCells; i++)
            dc.BitBlt(rc.left + kCellWidth * i, rc.top, kCellWidth, kCellHeight, &dcBitmap,
                      i < nStep ? 0 : kCellWidth, 0, SRCCOPY);
    }
    if (hOld != NULL)
        ::SelectObject(dcBitmap, hOld);
}
