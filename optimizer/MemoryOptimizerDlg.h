#pragma once
// The memory optimizer view: processor and memory load once a second, Deep
// Defrag (fill physical memory in a worker, then free it) and Fast Defrag
// (trim every process's working set).
#include "framework/Afx.h"
#include "optimizer/shared/CpuUsageGraph.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "optimizer/shared/SkinGroupBox.h"
#include "optimizer/shared/UsagePanels.h"
#include <memory>

class CWinThread;
struct CDeepDefragJob;

typedef BOOL(WINAPI* PFN_GLOBAL_MEMORY_STATUS_EX)(LPMEMORYSTATUSEX);
typedef HANDLE(WINAPI* PFN_CREATE_SNAPSHOT)(DWORD, DWORD);

// What Deep Defrag and the refresh use of the system; tests put in their own.
struct CMemoryHooks
{
    PFN_GLOBAL_MEMORY_STATUS_EX pfnStatus;  // NULL: looked up in Kernel32
    void* (*pfnAlloc)(SIZE_T nBytes);       // NULL: committed and touched memory
    void (*pfnFree)(void* pBlock);
    DWORD nStepMs;                          // between blocks (100)
    DWORD nHoldMs;                          // before freeing (2000)
    PFN_CREATE_SNAPSHOT pfnSnapshot;        // NULL: the tool-help snapshot
};
void SetMemoryHooksForTests(const CMemoryHooks* pHooks);

// The figures of one refresh.
struct CMemoryFigures
{
    int nLoad;
    int nUsedKB;
    CString strPhysical;  // "%dKB"
    int nPhysicalPercent;
    CString strSwap;      // "%dMB"
    int nSwapPercent;
    CString strVirtual;   // "%dMB"
    int nVirtualPercent;
};
CMemoryFigures ComputeMemoryFigures(const MEMORYSTATUSEX& status);

class CMemoryOptimizerDlg : public CDialog
{
public:
    enum { IDD = 5049, TIMER_REFRESH = 1000 };
    CMemoryOptimizerDlg();
    ~CMemoryOptimizerDlg() override;

    void SwitchLanguage();
    void RelayToolTipEvent(MSG* pMsg);
    void Refresh();
    BOOL IsDeepDefragRunning() const { return m_pWorker != NULL; }
    // Asks the worker to stop and waits for it, bounded; TRUE when it ended.
    BOOL StopDeepDefrag(DWORD dwTimeoutMs);
    CCpuUsageGraph& GetSampler() { return m_sampler; }
    CNButtonEx& GetDeepButton() { return m_btnDeep; }
    CNButtonEx& GetFastButton() { return m_btnFast; }
    CMemoryMeterStatic& GetMemoryMeter() { return m_memMeter; }
    CCpuHistoryStatic& GetCpuHistory() { return m_cpuHistory; }
    int ProgressPos() const;
    // Processes trimmed by the last Fast Defrag, and the snapshot's count.
    int TrimmedCount() const { return m_nTrimmed; }
    int SnapshotCount() const { return m_nSnapshot; }

    afx_msg void OnDeepDefrag();
    afx_msg void OnFastDefrag();

    // Posted by the Deep Defrag worker; run on the window's thread.
    void OnDefragProgress(int nLoad);
    void OnDefragDone();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    void SetLabel(UINT nID, const CString& strText);
    void SetProgress(UINT nBar, UINT nLabel, int nPercent);
    void ReleaseWorker();

    CSkinGroupBox m_groups[4];
    CCpuMeterStatic m_cpuMeter;
    CCpuHistoryStatic m_cpuHistory;
    CMemoryMeterStatic m_memMeter;
    CMemoryHistoryStatic m_memHistory;
    CMyStaticCtrl m_labels[12];
    CNButtonEx m_btnDeep;
    CNButtonEx m_btnFast;
    CNButtonEx m_btnHelp;
    CCpuUsageGraph m_sampler;
    CBrush m_brWhite;
    CWinThread* m_pWorker;
    std::shared_ptr<CDeepDefragJob> m_pJob;
    int m_nTrimmed;
    int m_nSnapshot;
};
