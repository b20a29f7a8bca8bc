#pragma once
// The evidence cleaner: one of the library's three views, a modeless child of
// the host's window. The user checks catalogue items in the tree, Scan lists
// the traces that exist on a worker thread (rows reach the list in batches),
// Delete removes one row's trace, Clean deletes everything found under the
// cleaning progress dialog.
#include "framework/Afx.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/Lock.h"
#include "controls/skin/GifAnimCtrl.h"
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "privacy/EvidenceEngine.h"
#include "privacy/MyTreeCtrl.h"
#include <atomic>
#include <memory>
#include <vector>

class CCleanProgressDlg;
class CWinThread;
struct CEvidenceScanJob;

class CEvidenceCleanerDlg : public CDialog
{
public:
    enum { IDD = 4000 };
    enum
    {
        IDC_TREE = 10000,
        IDC_RESULTS = 10001,
        IDC_SCAN = 15001,
        IDC_DELETE = 15002,
        IDC_CLEAN = 15003,
        IDC_CHECK_ALL = 15100,
        IDC_UNCHECK_ALL = 15101,
        IDC_DEFAULT = 15102,
        IDC_ANIMATION = 1016,
    };
    CEvidenceCleanerDlg();
    ~CEvidenceCleanerDlg() override;

    // Creates the view from its template as a hidden child of hParent at
    // (x, y), with the template id as its control id.
    virtual BOOL CreateView(HWND hParent, int x, int y);
    // Shown again by the host: empties the results unless a scan runs.
    virtual void ResetView();
    // Re-reads the texts from PrivacyLanguageFile().
    virtual void SwitchLanguage();
    // The host's mouse messages, for the tooltips.
    virtual void RelayToolTipEvent(MSG* pMsg);
    // Asks the running scan, or the running clean, to stop; does not wait.
    virtual void SignalStop();
    // Stops the scan and waits for its worker (pumping sent messages).
    virtual void StopAndWait(DWORD dwTimeoutMs);
    void StopScan() { SignalStop(); }

    BOOL IsScanning() const { return m_nScanning.load() != 0; }
    int GetRowCount() const { return m_nRowCount; }
    CMyTreeCtrl& GetTree() { return m_tree; }
    CMyListCtrl& GetResultList() { return m_list; }
    CNButtonEx& GetButton(UINT nID);
    // The progress dialog of the clean that runs, or NULL.
    CCleanProgressDlg* GetProgressDialog() const { return m_pProgressDlg; }
    // Batches the list took rows in since the last scan started (for tests).
    int GetBatchCount() const { return m_nBatches; }
    // A run's stop event, for tests of its life.
    HANDLE GetStopEvent() const { return m_hStopEvent; }

    // Called by the scan worker before each item, with the run's stop event;
    // tests hold the worker there. NULL removes it.
    typedef void (*PFN_ITEM_HOOK)(CEvidenceItem* pItem, HANDLE hStop);
    static void SetScanItemHookForTests(PFN_ITEM_HOOK pfnHook);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    afx_msg void OnScan();
    afx_msg void OnDeleteRow();
    afx_msg void OnClean();
    afx_msg void OnCheckAll();
    afx_msg void OnUncheckAll();
    afx_msg void OnDefault();
    DECLARE_MESSAGE_MAP()

private:
    friend struct CEvidenceScanJob;
    static UINT __cdecl EvidenceScanThread(LPVOID pParam);
    void OnScanStart();
    // Posted by the scan worker; run on the window's thread.
    void DrainRows();
    void OnScanItem(CEvidenceItem* pItem, BOOL bStarted);
    void OnScanEnd(CEvidenceItem* pLastScanned);
    void FinishScan(CEvidenceItem* pLastScanned);
    void ReleaseScanThread();
    // Stops the scan and waits for its worker (the frame's call and the
    // window's end share it).
    void EndScan(DWORD dwTimeoutMs);
    void LayOut();
    void FitItemColumn();
    void ApplyChoice(const std::vector<int>& ids);
    void SetScanButton(BOOL bScanning);
    CString Text(LPCWSTR lpszKey) const;

    CCleanProgressDlg* m_pProgressDlg;
    CMyTreeCtrl m_tree;
    CMyListCtrl m_list;
    CNButtonEx m_btnScan, m_btnDelete, m_btnClean, m_btnCheckAll, m_btnUncheckAll, m_btnDefault;
    CGifAnimCtrl m_gifAnim;
    CImageList m_images;
    CFont m_font;
    SIZE m_sizeCount;
    int m_nRowCount;
    int m_nBatches;
    HANDLE m_hStopEvent;
    CWinThread* m_pScanThread;
    std::shared_ptr<CEvidenceScanJob> m_pJob;
    std::atomic<int> m_nScanning;
};
