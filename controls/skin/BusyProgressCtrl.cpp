#include "controls/skin/BusyProgressCtrl.h"
#include "framework/WorkerCall.h"
#include <process.h>

BEGIN_MESSAGE_MAP(CBusyProgressCtrl, CStatic)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(BPM_SETNUMSTEPS, OnMsgSetNumSteps)
    ON_MESSAGE(BPM_SETCURPOS, OnMsgSetCurPos)
    ON_MESSAGE(BPM_SETBLOCKGAP, OnMsgSetBlockGap)
    ON_MESSAGE(BPM_SETSPEED, OnMsgSetSpeed)
    ON_MESSAGE(BPM_SETRANGE, OnMsgSetRange)
    ON_MESSAGE(BPM_SETMODE, OnMsgSetMode)
    ON_MESSAGE(BPM_START, OnMsgStart)
    ON_MESSAGE(BPM_END, OnMsgEnd)
    ON_MESSAGE(BPM_STEPIT, OnMsgStep)
    ON_MESSAGE(BPM_SETBUSYTYPE, OnMsgSetBusyType)
    ON_MESSAGE(BPM_SETGRANULARITY, OnMsgSetGranularity)
    ON_MESSAGE(BPM_SETNUMSUBSTEPS, OnMsgSetNumSubSteps)
    ON_MESSAGE(BPM_SETCOLBKG, OnMsgSetColBkg)
    ON_MESSAGE(BPM_SETCOLBLOCKFACE, OnMsgSetColBlockFace)
    ON_MESSAGE(BPM_SETCOLBLOCKEDGE, OnMsgSetColBlockEdge)
    ON_MESSAGE(BPM_SETCOLBLOCKFACEHI, OnMsgSetColBlockFaceHi)
    ON_MESSAGE(BPM_SETCOLBLOCKEDGEHI, OnMsgSetColBlockEdgeHi)
    ON_MESSAGE(BPM_RECALC, OnMsgRecalc)
    ON_MESSAGE(BPM_RESET, OnMsgReset)
    ON_MESSAGE(BPM_USESYSCOLBKG, OnMsgUseSysColBkg)
    ON_MESSAGE(BPM_ANIMATIONSTEP, OnMsgAnimationStep)
END_MESSAGE_MAP()

CBusyProgressCtrl::CBusyProgressCtrl(int nNumSteps, int nCurPos)
    : m_nNumSteps(nNumSteps), m_nDirection(1), m_nCurPos(nCurPos), m_rect(0, 0, 0, 0), m_nGap(1),
      m_dBlockHeight(0.0), m_dBlockWidth(0.0), m_hThread(NULL), m_bRunning(0), m_nSpeed(100),
      m_nMode(BPC_MODE_BUSY), m_nLower(0), m_nUpper(100), m_bUseSysColBkg(1), m_nBusyType(BPC_BUSY_PINGPONG),
      m_nGranularity(BPC_BUSYGRAN_BLOCK), m_nNumSubSteps(5), m_nNumSubStepCount(nNumSteps * 5),
      m_clrBkg(::GetSysColor(COLOR_BTNFACE)), m_clrBlockFace(RGB(160, 190, 220)), m_clrBlockEdge(RGB(50, 90, 135)),
      m_clrBlockFaceHi(RGB(190, 220, 255)), m_clrBlockEdgeHi(RGB(50, 90, 135)), m_hOldBitmap(NULL),
      m_hAnimationWnd(NULL), m_hStopEvent(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_bStepPending(false)
{
}

CBusyProgressCtrl::~CBusyProgressCtrl()
{
    // The thread uses this object: it must be gone before the object is.
    End();
    DropBuffer();
    if (m_hStopEvent != NULL)
        ::CloseHandle(m_hStopEvent);
}

BOOL CBusyProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(L"STATIC", L"BusyProgressCtrl", dwStyle, rect, pParentWnd, nID))
        return FALSE;
    Recalc();
    return TRUE;
}

void CBusyProgressCtrl::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    Recalc();
}

void CBusyProgressCtrl::DropBuffer()
{
    if (m_dcMem.GetSafeHdc() != NULL && m_hOldBitmap != NULL)
        m_dcMem.SelectObject(m_hOldBitmap);
    m_hOldBitmap = NULL;
    m_bmpMem.DeleteObject();
    m_dcMem.DeleteDC();
}

void CBusyProgressCtrl::Repaint()
{
    if (::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CBusyProgressCtrl::Recalc()
{
    if (m_rect.IsRectEmpty() && ::IsWindow(m_hWnd))
        GetClientRect(&m_rect);
    int nSteps = m_nNumSteps > 0 ? m_nNumSteps : 1;
    m_dBlockWidth = (double)(m_rect.Width() - nSteps * m_nGap) / nSteps;
    m_dBlockHeight = (double)m_rect.Height();
}

CRect CBusyProgressCtrl::GetBlockRect(int nBlock) const
{
    double dLeft = nBlock * (m_dBlockWidth + m_nGap);
    return CRect((int)dLeft, 0, (int)(dLeft + m_dBlockWidth), (int)m_dBlockHeight);
}

int CBusyProgressCtrl::GetBusyMax() const
{
    return m_nGranularity == BPC_BUSYGRAN_SUBBLOCK ? m_nNumSubStepCount : m_nNumSteps;
}

void CBusyProgressCtrl::SetNumSteps(int nNumSteps)
{
    m_nNumSteps = nNumSteps;
    Recalc();
}

void CBusyProgressCtrl::SetCurPos(int nCurPos)
{
    m_nCurPos = nCurPos;
    Repaint();
}

void CBusyProgressCtrl::SetBlockGap(int nGap)
{
    m_nGap = nGap;
    Recalc();
}

void CBusyProgressCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
}

void CBusyProgressCtrl::SetMode(int nMode)
{
    End();
    if (m_nMode == BPC_MODE_BUSY || m_nMode == BPC_MODE_PROGRESS)
    {
        m_nMode = nMode;
        if (nMode == BPC_MODE_PROGRESS)
            m_nDirection = 1;
    }
}

void CBusyProgressCtrl::Start()
{
    if (m_nMode != BPC_MODE_BUSY)
        return;
    while (m_hThread != NULL || m_bRunning)
        End();
    if (m_hStopEvent == NULL)
        return;
    ::ResetEvent(m_hStopEvent);
    m_hAnimationWnd = m_hWnd;
    m_bStepPending = false;
    // Set before the thread runs, so that an End right after Start still stops it.
    m_bRunning = 1;
    m_hThread = AfxBeginWorker(BusyAnimationThreadProc, this);
    if (m_hThread == NULL)
        m_bRunning = 0;
}

void CBusyProgressCtrl::End()
{
    m_bRunning = 0;
    if (m_hThread == NULL)
        return;
    ::SetEvent(m_hStopEvent);
    // The thread only waits and posts: it ends at once when told.
    AfxWaitForObjectPumping(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
    // A step posted before the end is dropped when it arrives.
    m_bStepPending = false;
}

UINT __cdecl CBusyProgressCtrl::BusyAnimationThreadProc(LPVOID pParam)
{
    CBusyProgressCtrl* pCtrl = (CBusyProgressCtrl*)pParam;
    if (pCtrl == NULL)
        return (unsigned)-1;
    // Reads only the atomics, the stop event and the window handle, which
    // stay as they are until End has waited for this thread.
    while (pCtrl->m_bRunning)
    {
        if (!pCtrl->m_bStepPending.exchange(true) &&
            !::PostMessageW(pCtrl->m_hAnimationWnd, BPM_ANIMATIONSTEP, 0, 0))
            pCtrl->m_bStepPending = false;
        int nSpeed = pCtrl->m_nSpeed;
        if (::WaitForSingleObject(pCtrl->m_hStopEvent, nSpeed > 0 ? (DWORD)nSpeed : 0) != WAIT_TIMEOUT)
            break;
    }
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgAnimationStep(WPARAM, LPARAM)
{
    m_bStepPending = false;
    if (m_bRunning && m_hThread != NULL)
        Step();
    return 0;
}

void CBusyProgressCtrl::Step()
{
    if (m_nMode == BPC_MODE_BUSY)
    {
        int nMax = GetBusyMax();
        switch (m_nBusyType)
        {
        case BPC_BUSY_PINGPONG:
            if (m_nCurPos >= nMax - 1)
                m_nDirection = -1;
            else if (m_nCurPos < 1)
                m_nDirection = 1;
            break;
        case BPC_BUSY_LTR:
            if (m_nCurPos == nMax - 1)
                m_nCurPos = -1;  // adding the direction gives 0
            break;
        case BPC_BUSY_RTL:
            if (m_nCurPos == 0)
                m_nCurPos = nMax;
            break;
        }
    }
    m_nCurPos += m_nDirection;
    Repaint();
}

void CBusyProgressCtrl::SetBusyType(int nType)
{
    m_nBusyType = nType;
    if (m_nMode != BPC_MODE_BUSY)
        return;
    if (nType == BPC_BUSY_LTR)
        m_nDirection = 1;
    else if (nType == BPC_BUSY_RTL)
        m_nDirection = -1;
}

void CBusyProgressCtrl::SetGranularity(int nGranularity)
{
    if (m_nMode != BPC_MODE_BUSY)
        return;
    m_nGranularity = nGranularity;
    if (nGranularity == BPC_BUSYGRAN_SUBBLOCK)
        m_nNumSubStepCount = m_nNumSteps * m_nNumSubSteps;
    Reset();
}

void CBusyProgressCtrl::SetNumSubSteps(int nNumSubSteps)
{
    m_nNumSubSteps = nNumSubSteps;
    SetGranularity(m_nGranularity);
}

void CBusyProgressCtrl::SetColBkg(COLORREF clr)
{
    m_clrBkg = clr;
    Repaint();
}

void CBusyProgressCtrl::SetColBlockFace(COLORREF clr)
{
    m_clrBlockFace = clr;
    Repaint();
}

void CBusyProgressCtrl::SetColBlockEdge(COLORREF clr)
{
    m_clrBlockEdge = clr;
    Repaint();
}

void CBusyProgressCtrl::SetColBlockFaceHi(COLORREF clr)
{
    m_clrBlockFaceHi = clr;
    Repaint();
}

void CBusyProgressCtrl::SetColBlockEdgeHi(COLORREF clr)
{
    m_clrBlockEdgeHi = clr;
    Repaint();
}

void CBusyProgressCtrl::Reset()
{
    m_nDirection = 1;
    m_nCurPos = 0;
    if (m_nMode == BPC_MODE_BUSY && m_nBusyType == BPC_BUSY_RTL)
    {
        m_nCurPos = m_nGranularity == BPC_BUSYGRAN_SUBBLOCK ? m_nNumSteps * m_nNumSubSteps : m_nNumSteps;
        m_nDirection = -1;
    }
}

void CBusyProgressCtrl::UseSysColBkg(BOOL bUse)
{
    m_bUseSysColBkg = bUse ? 1 : 0;
    if (m_bUseSysColBkg)
        m_clrBkg = ::GetSysColor(COLOR_BTNFACE);
    Repaint();
}

// ---- Painting -----------------------------------------------------------------

void CBusyProgressCtrl::DrawBackground(CDC& dc, const CRect& rect)
{
    dc.FillSolidRect(&rect, m_clrBkg);
}

void CBusyProgressCtrl::DrawBlock(CDC& dc, const CRect& rect)
{
    dc.Rectangle(&rect);
}

void CBusyProgressCtrl::DrawLitBlock(CDC& dc, const CRect& rect)
{
    CPen pen(PS_SOLID, 0, m_clrBlockEdgeHi);
    CBrush brush(m_clrBlockFaceHi);
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    dc.Rectangle(&rect);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);
}

void CBusyProgressCtrl::DrawPartialBlock(CDC& dc, const CRect& rect, int nLitWidth)
{
    CRect rcLit(rect);
    rcLit.DeflateRect(1, 1);
    rcLit.right = rcLit.left + nLitWidth;
    if (rcLit.right > rect.right - 1)
        rcLit.right = rect.right - 1;
    dc.FillSolidRect(&rcLit, m_clrBlockFaceHi);
}

void CBusyProgressCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (m_rect.IsRectEmpty())
        GetClientRect(&m_rect);
    int cx = m_rect.Width(), cy = m_rect.Height();
    if (cx <= 0 || cy <= 0)
        return;
    if (m_dcMem.GetSafeHdc() == NULL)
    {
        if (!m_dcMem.CreateCompatibleDC(&dc))
            return;
        if (!m_bmpMem.CreateCompatibleBitmap(&dc, cx, cy))
        {
            m_dcMem.DeleteDC();
            return;
        }
        m_hOldBitmap = m_dcMem.SelectObject((HGDIOBJ)m_bmpMem.m_hObject);
    }
    CRect rcArea(0, 0, cx, cy);
    DrawBackground(m_dcMem, rcArea);

    CPen pen(PS_SOLID, 0, m_clrBlockEdge);
    CBrush brush(m_clrBlockFace);
    CPen* pOldPen = m_dcMem.SelectObject(&pen);
    CBrush* pOldBrush = m_dcMem.SelectObject(&brush);

    // Fully lit blocks 0..nLastLit; block nLastLit + 1 lit over nPartial pixels.
    int nLastLit = -1, nPartial = 0;
    BOOL bBandMode = m_nMode == BPC_MODE_PROGRESS || m_nGranularity == BPC_BUSYGRAN_SUBBLOCK;
    if (bBandMode)
    {
        double dFraction = 0.0;
        if (m_nMode == BPC_MODE_PROGRESS)
            dFraction = m_nUpper != m_nLower ? (double)m_nCurPos / (m_nUpper - m_nLower) : 0.0;
        else
            dFraction = m_nNumSubStepCount > 0 ? (double)m_nCurPos / m_nNumSubStepCount : 0.0;
        // Out of range lights all blocks or none.
        dFraction = dFraction < 0.0 ? 0.0 : dFraction > 1.0 ? 1.0 : dFraction;
        double dLit = m_nNumSteps * dFraction;
        nLastLit = (int)dLit - 1;
        nPartial = (int)((dLit - 1 - nLastLit) * m_dBlockWidth);
    }
    for (int i = 0; i < m_nNumSteps; ++i)
    {
        CRect rcBlock = GetBlockRect(i);
        if (!bBandMode)
        {
            if (i == m_nCurPos)
                DrawLitBlock(m_dcMem, rcBlock);
            else
                DrawBlock(m_dcMem, rcBlock);
        }
        else if (i <= nLastLit)
        {
            DrawLitBlock(m_dcMem, rcBlock);
        }
        else
        {
            DrawBlock(m_dcMem, rcBlock);
            if (i == nLastLit + 1 && nPartial != 0)
                DrawPartialBlock(m_dcMem, rcBlock, nPartial);
        }
    }
    m_dcMem.SelectObject(pOldBrush);
    m_dcMem.SelectObject(pOldPen);
    dc.BitBlt(m_rect.left, m_rect.top, cx, cy, &m_dcMem, 0, 0, SRCCOPY);
}

void CBusyProgressCtrl::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    GetClientRect(&m_rect);
    DropBuffer();
}

void CBusyProgressCtrl::OnSysColorChange()
{
    CStatic::OnSysColorChange();
    if (m_bUseSysColBkg)
    {
        m_clrBkg = ::GetSysColor(COLOR_BTNFACE);
        Repaint();
    }
}

// ---- Messages -------------------------------------------------------------------

LRESULT CBusyProgressCtrl::OnMsgSetNumSteps(WPARAM wParam, LPARAM)
{
    SetNumSteps((int)wParam);
    Repaint();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetCurPos(WPARAM wParam, LPARAM)
{
    SetCurPos((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetBlockGap(WPARAM wParam, LPARAM)
{
    SetBlockGap((int)wParam);
    Repaint();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetSpeed(WPARAM wParam, LPARAM)
{
    SetSpeed((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetRange(WPARAM wParam, LPARAM lParam)
{
    SetRange((int)wParam, (int)lParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetMode(WPARAM wParam, LPARAM)
{
    SetMode((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgStart(WPARAM, LPARAM)
{
    Start();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgEnd(WPARAM, LPARAM)
{
    End();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgStep(WPARAM, LPARAM)
{
    Step();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetBusyType(WPARAM wParam, LPARAM)
{
    SetBusyType((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetGranularity(WPARAM wParam, LPARAM)
{
    SetGranularity((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetNumSubSteps(WPARAM wParam, LPARAM)
{
    SetNumSubSteps((int)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetColBkg(WPARAM wParam, LPARAM)
{
    SetColBkg((COLORREF)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetColBlockFace(WPARAM wParam, LPARAM)
{
    SetColBlockFace((COLORREF)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetColBlockEdge(WPARAM wParam, LPARAM)
{
    SetColBlockEdge((COLORREF)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetColBlockFaceHi(WPARAM wParam, LPARAM)
{
    SetColBlockFaceHi((COLORREF)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgSetColBlockEdgeHi(WPARAM wParam, LPARAM)
{
    SetColBlockEdgeHi((COLORREF)wParam);
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgRecalc(WPARAM, LPARAM)
{
    Recalc();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgReset(WPARAM, LPARAM)
{
    Reset();
    return 0;
}

LRESULT CBusyProgressCtrl::OnMsgUseSysColBkg(WPARAM wParam, LPARAM)
{
    UseSysColBkg((BOOL)wParam);
    return 0;
}
