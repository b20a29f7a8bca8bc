#pragma once
// The Windows Update page: searches the updates the agent offers, shows one
// update's details, and downloads and installs the checked ones. The work
// runs on three workers (search, download walk, install queue); they post
// what they find to this page, which alone touches its controls, its list and
// the application's update records.
#include "tools/ToolPage.h"
#include "tools/UpdateSearch.h"
#include "controls/lists/XListCtrl.h"
#include "controls/skin/BusyProgressCtrl.h"
#include "controls/skin/CaptionBar.h"
#include "controls/skin/HyperlinkCtrl.h"
#include "framework/ImageList.h"
#include "framework/RichEditCtrl.h"

class CPatchUpdatePage : public CToolPage
{
public:
    CPatchUpdatePage();
    virtual ~CPatchUpdatePage();

    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL) override;

    afx_msg void OnScan();
    afx_msg void OnInstall();
    afx_msg void OnAbort();
    // The one switch of Scan, Install and the rows' check boxes.
    void EnableUpdateControls(BOOL bEnable);

    // Stops the search and the run, waits for every worker within the limit,
    // lets go of them.
    void StopWorkers();
    // A search or a run is going on.
    BOOL IsBusy() const { return m_hSearchThread != NULL || m_pRun != NULL; }
    CXListCtrl& GetList() { return m_list; }

    // Posted by the workers.
    void OnSearchStatus(LPCWSTR pszKey);
    void OnSearchDone(UpdateSearchResult& result);
    void OnRowState(int nRow, UpdateRowState nState, int nResultCode);
    void OnNotice(UpdateNotice nNotice, HRESULT hr);
    void OnRunThreadEnded(const UpdateRunPtr& pRun);

    // Longest wait of the page's end for its workers (ms). A worker whose
    // job ignores the abort ends later on its own.
    static DWORD s_dwStopLimitMs;

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnDestroy();
    afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);

    void ShowSearching(BOOL bSearching);
    void ShowDescription(const CString& strDescription);
    void SetButtonPictures(CButtonST& button, UINT nIn, UINT nOut, COLORREF crKey);
    static void CloseThread(HANDLE& hThread, DWORD dwWaitMs);

    CButtonST m_btnAbort;
    CBusyProgressCtrl m_busy;
    CWnd m_stcStatus;
    CCaptionBar m_frameDetails;
    CHyperlinkCtrl m_linkMoreInfo;
    CWnd m_stcSize;
    CWnd m_stcDate;
    CWnd m_stcArticle;
    CRichEditCtrl m_editDescription;
    CXListCtrl m_list;
    CButtonST m_btnHidden;
    CButtonST m_btnInstall;
    CButtonST m_btnScan;
    CImageList m_images;

    HANDLE m_hSearchThread;
    HANDLE m_hSearchStop;   // manual reset, one per search: the page's end
    HANDLE m_hDownloadThread;
    HANDLE m_hInstallThread;
    UpdateRunPtr m_pRun;
    int m_nRunThreads;

    DECLARE_MESSAGE_MAP()
};
