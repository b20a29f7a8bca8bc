#pragma once
// The junk cleaner's result tab: the scan thread, the result list and the
// delete commands. Rows reach the list in batches on this window's thread.
#include "framework/Afx.h"
#include "controls/skin/GifAnimCtrl.h"
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "privacy/JunkWalk.h"
#include <memory>
#include <vector>

class CJunkResultDlg : public CDialog
{
public:
    enum { IDD = 376, IDC_RESULT_LIST = 1052, IDC_ANIMATION = 1016, IDC_STOP = 30005, IDC_DELETE = 30006,
           IDC_DELETE_ALL = 30007 };
    CJunkResultDlg();
    ~CJunkResultDlg() override;

    // Starts a scan of the folder (empty: every drive of GetJunkScanDrives)
    // for the masks. The busy flag is set here, before the thread starts.
    BOOL StartScan(const CString& strFolder, const std::vector<CString>& masks);
    BOOL IsScanning() const { return m_hThread != NULL; }
    // FunStopThread: signals the running scan's stop event.
    void StopScan();
    // Stops the scan and waits for its thread (pumping), at most that long.
    void StopAndWait(DWORD dwTimeoutMs);
    void ClearResults();
    void SwitchLanguage();
    void RelayToolTipEvent(MSG* pMsg);
    // Called on this thread when a scan has ended (the page unblocks its tabs).
    void SetScanEndedCallback(std::function<void()> fn) { m_fnScanEnded = std::move(fn); }

    int GetRowCount() const { return (int)m_rows.size(); }
    const JunkFileRow& GetRow(int nIndex) const { return m_rows[nIndex]; }
    CMyListCtrl& GetList() { return m_list; }
    CNButtonEx& GetButton(int nID);
    // The commands, as the buttons run them.
    void DeleteSelected();
    void DeleteAll();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDestroy();
    afx_msg void OnStop();
    afx_msg void OnDelete();
    afx_msg void OnDeleteAll();
    DECLARE_MESSAGE_MAP()

private:
    struct CScanShared;
    struct CScanJob;
    static UINT __cdecl JunkScanThreadProc(LPVOID pParam);
    void DrainRows();
    void OnScanEnded(unsigned nRun);
    void AppendRows(std::vector<JunkFileRow>& rows);
    void SetButtonsForScan(BOOL bScanning);

    CMyListCtrl m_list;
    CGifAnimCtrl m_anim;
    CNButtonEx m_btnStop, m_btnDelete, m_btnDeleteAll;
    CBrush m_brWhite;
    std::vector<JunkFileRow> m_rows;  // row i of the list
    std::shared_ptr<CScanShared> m_shared;
    HANDLE m_hThread;
    unsigned m_nRun;
    std::function<void()> m_fnScanEnded;
};
