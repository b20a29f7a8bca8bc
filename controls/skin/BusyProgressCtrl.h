#pragma once
// A row of blocks showing activity of unknown length (busy mode, animated by
// a thread of its own) or progress in a range (progress mode). Every setting
// is also a private message, so a worker thread can drive it.
//
// The animation thread only keeps time: it posts a step to the window, and
// the window's thread alone moves the position and paints.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include <atomic>

// Private messages (WPARAM, LPARAM as the matching operation).
#define BPM_SETNUMSTEPS (WM_USER + 1)
#define BPM_SETCURPOS (WM_USER + 2)
#define BPM_SETBLOCKGAP (WM_USER + 3)
#define BPM_SETSPEED (WM_USER + 4)
#define BPM_SETRANGE (WM_USER + 5)
#define BPM_SETMODE (WM_USER + 6)
#define BPM_START (WM_USER + 7)
#define BPM_END (WM_USER + 8)
#define BPM_STEPIT (WM_USER + 9)
#define BPM_SETBUSYTYPE (WM_USER + 10)
#define BPM_SETGRANULARITY (WM_USER + 11)
#define BPM_SETNUMSUBSTEPS (WM_USER + 12)
#define BPM_SETCOLBKG (WM_USER + 13)
#define BPM_SETCOLBLOCKFACE (WM_USER + 14)
#define BPM_SETCOLBLOCKEDGE (WM_USER + 15)
#define BPM_SETCOLBLOCKFACEHI (WM_USER + 16)
#define BPM_SETCOLBLOCKEDGEHI (WM_USER + 17)
#define BPM_RECALC (WM_USER + 18)
#define BPM_RESET (WM_USER + 19)
#define BPM_USESYSCOLBKG (WM_USER + 20)
// Posted by the animation thread: one step of the running animation.
#define BPM_ANIMATIONSTEP (WM_USER + 21)

#define BPC_MODE_BUSY 1
#define BPC_MODE_PROGRESS 2

#define BPC_BUSY_PINGPONG 1
#define BPC_BUSY_LTR 2
#define BPC_BUSY_RTL 4

#define BPC_BUSYGRAN_BLOCK 1
#define BPC_BUSYGRAN_SUBBLOCK 2

class CBusyProgressCtrl : public CStatic
{
public:
    CBusyProgressCtrl(int nNumSteps = 10, int nCurPos = 0);
    virtual ~CBusyProgressCtrl();

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual void DrawBackground(CDC& dc, const CRect& rect);
    virtual void DrawBlock(CDC& dc, const CRect& rect);
    virtual void DrawLitBlock(CDC& dc, const CRect& rect);
    virtual void DrawPartialBlock(CDC& dc, const CRect& rect, int nLitWidth);

    void SetNumSteps(int nNumSteps);
    int GetNumSteps() const { return m_nNumSteps; }
    void SetCurPos(int nCurPos);
    int GetCurPos() const { return m_nCurPos; }
    void SetBlockGap(int nGap);
    void SetSpeed(int nMilliseconds) { m_nSpeed = nMilliseconds; }
    int GetSpeed() const { return m_nSpeed; }
    void SetRange(int nLower, int nUpper);
    void SetMode(int nMode);
    int GetMode() const { return m_nMode; }
    void Start();
    void End();
    void Step();
    void SetBusyType(int nType);
    void SetGranularity(int nGranularity);
    void SetNumSubSteps(int nNumSubSteps);
    void SetColBkg(COLORREF clr);
    void SetColBlockFace(COLORREF clr);
    void SetColBlockEdge(COLORREF clr);
    void SetColBlockFaceHi(COLORREF clr);
    void SetColBlockEdgeHi(COLORREF clr);
    void Recalc();
    void Reset();
    void UseSysColBkg(BOOL bUse = TRUE);

    // Whether the animation thread is running.
    BOOL IsRunning() const { return m_hThread != NULL; }
    // Steps the animation thread asked for and the window has not made yet.
    BOOL IsStepPending() const { return m_bStepPending.load(); }
    // Block i's rectangle in the drawing area.
    CRect GetBlockRect(int nBlock) const;

protected:
    virtual void PreSubclassWindow();

    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSysColorChange();
    afx_msg LRESULT OnMsgSetNumSteps(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetCurPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetBlockGap(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetSpeed(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetMode(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgStart(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgEnd(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetBusyType(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetGranularity(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetNumSubSteps(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetColBkg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetColBlockFace(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetColBlockEdge(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetColBlockFaceHi(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgSetColBlockEdgeHi(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgRecalc(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgReset(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgUseSysColBkg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMsgAnimationStep(WPARAM wParam, LPARAM lParam);

    static UINT __cdecl BusyAnimationThreadProc(LPVOID pParam);
    // Positions in busy mode: blocks or sub-steps.
    int GetBusyMax() const;
    void Repaint();
    void DropBuffer();

    int m_nNumSteps;
    int m_nDirection;
    int m_nCurPos;
    CRect m_rect;
    int m_nGap;
    double m_dBlockHeight;
    double m_dBlockWidth;
    HANDLE m_hThread;
    std::atomic<BYTE> m_bRunning;
    std::atomic<int> m_nSpeed;
    int m_nMode;
    int m_nLower;
    int m_nUpper;
    BYTE m_bUseSysColBkg;
    int m_nBusyType;
    int m_nGranularity;
    int m_nNumSubSteps;
    int m_nNumSubStepCount;
    COLORREF m_clrBkg;
    COLORREF m_clrBlockFace;
    COLORREF m_clrBlockEdge;
    COLORREF m_clrBlockFaceHi;
    COLORREF m_clrBlockEdgeHi;
    CDC m_dcMem;
    CBitmap m_bmpMem;
    HGDIOBJ m_hOldBitmap;
    // Shared with the animation thread: its window, its stop signal, and
    // whether a posted step still waits (one at a time, however slow the
    // window's thread is).
    HWND m_hAnimationWnd;
    HANDLE m_hStopEvent;
    std::atomic<bool> m_bStepPending;

    DECLARE_MESSAGE_MAP()
};
