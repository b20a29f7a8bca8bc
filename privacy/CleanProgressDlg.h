#pragma once
// The modal window under which a clean runs. It starts the clean's work on a
// worker thread once its window exists, counts deleted and undeleted entries
// on segment displays, lights ten cells as the counts pass each tenth of the
// expected total, and shows Exit when the work is done. While the work runs,
// Escape and closing do nothing: the worker reports to this object, which
// lives on its caller's stack. A modal loop ended from outside (the program
// quitting, the owner going) asks the work to stop and waits for it.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "controls/skin/GifAnimCtrl.h"
#include "controls/skin/SegmentDisplay.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include <atomic>
#include <functional>

class CWinThread;

class CCleanProgressDlg : public CDialog
{
public:
    enum { IDD = 235, IDC_EXIT = 1028, IDC_SECOND = 1029 };
    // What the clean does, on the worker thread. It reports each entry
    // through AddDeleted / AddUndeleted and touches no window.
    typedef std::function<void(CCleanProgressDlg& progress)> CleanWork;

    CCleanProgressDlg(int nExpectedTotal, CleanWork work, CWnd* pParentWnd = NULL);
    ~CCleanProgressDlg() override;

    // Safe from the worker thread. nCount 0 counts one entry.
    void AddDeleted(int nCount);
    void AddUndeleted();
    // Undeleted now, set to go at the next start of Windows: the end says so.
    void AddScheduled();
    // Safe from any thread. The work polls IsStopRequested per entry and
    // leaves what it has not reached; the counts then tell what it did.
    void RequestStop() { m_bStop = true; }
    BOOL IsStopRequested() const { return m_bStop.load(); }

    int GetExpectedTotal() const { return m_nExpectedTotal; }
    int GetStepSize() const { return m_nStepSize; }
    int GetProgressStep() const { return m_nStep.load(); }
    int GetDeletedCount() const { return m_nDeleted.load(); }
    int GetUndeletedCount() const { return m_nUndeleted.load(); }
    int GetScheduledCount() const { return m_nScheduled.load(); }
    // TRUE from the start of the work until its end has been shown.
    BOOL IsWorkRunning() const { return m_bWorkRunning.load(); }
    BOOL IsWorkDone() const { return m_bWorkDone; }
    CNButtonEx& GetExitButton() { return m_btnExit; }
    CSegmentDisplay& GetDeletedDisplay() { return m_segDeleted; }
    CSegmentDisplay& GetUndeletedDisplay() { return m_segUndeleted; }
    CWnd& GetAlertText() { return m_stcAlert; }
    static CRect ProgressRect() { return CRect(90, 150, 330, 161); }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnExit();
    afx_msg void OnSecond();
    DECLARE_MESSAGE_MAP()

    // Posted by the worker; run on the window's thread.
    void OnProgressChanged();
    void OnWorkDone();

private:
    static UINT __cdecl CleanWorkThreadProc(LPVOID pParam);
    // Counts one report; raises the step as the counts pass each tenth.
    void CountReport();
    void RequestRefresh();
    void ShowCounts();
    void WaitForWorker();
    void PaintInto(CDC& dc, const CRect& rcClient);

    CStatic m_stcAlert;
    CGifAnimCtrl m_gifAnim;
    CSegmentDisplay m_segTotal;
    CSegmentDisplay m_segDeleted;
    CSegmentDisplay m_segUndeleted;
    CMyStaticCtrl m_stcDeleted;
    CMyStaticCtrl m_stcUndeleted;
    CNButtonEx m_btnSecond;
    CNButtonEx m_btnExit;
    CWinThread* m_pWorker;
    CleanWork m_work;
    int m_nExpectedTotal;
    int m_nStepSize;
    std::atomic<int> m_nStep;
    std::atomic<int> m_nDeleted;
    std::atomic<int> m_nUndeleted;
    std::atomic<int> m_nScheduled;
    std::atomic<bool> m_bWorkRunning;
    std::atomic<bool> m_bRefreshPending;
    std::atomic<bool> m_bStop;
    BOOL m_bWorkDone;
    BOOL m_bRegionSet;
};
