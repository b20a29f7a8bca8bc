#pragma once
// The file shredder: one of the library's three views, a modeless child of the host's
// window. Files are listed, then overwritten pass by pass and deleted by the shred thread,
// which works on its own copy of the list.
#include "framework/Afx.h"
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "privacy/ViewHeading.h"
#include "optimizer/shared/SkinRadioButton.h"
#include "privacy/ShredPlan.h"
#include "privacy/ShredRejects.h"
#include <memory>
#include <vector>

class CFileShredderDlg : public CDialog
{
public:
    enum { IDD = 157, IDC_HELP_BUTTON = 4009, IDC_QUICK = 1012, IDC_SAFE = 1013, IDC_THOROUGH = 1014,
           IDC_PROGRESS = 1015, IDC_ADD_FILE = 15005, IDC_ADD_DIR = 15006, IDC_DEL_FILE = 15007,
           IDC_DEL_ALL = 15008, IDC_SHRED = 15009, IDC_FILE_LIST = 10001 };
    CFileShredderDlg();
    ~CFileShredderDlg() override;

    // Creates the view from its template as a hidden child of hParent at
    // (x, y), with the template id as its control id.
    virtual BOOL CreateView(HWND hParent, int x, int y);
    // Shown again by the host.
    virtual void ResetView();
    // Re-reads the texts from PrivacyLanguageFile().
    virtual void SwitchLanguage();
    // The host's mouse messages, for the tooltips.
    virtual void RelayToolTipEvent(MSG* pMsg);
    // Asks the running worker to stop; does not wait.
    virtual void SignalStop();
    // Stops every worker of the view and waits (pumping) at most that long.
    virtual void StopAndWait(DWORD dwTimeoutMs);
    // Empties the file list; nothing while a shred runs.
    virtual void ClearFileList();

    // The commands, as the buttons run them.
    // One file: FALSE when it is listed already or cannot be opened for writing
    // (then *pdwError holds the reason; it is 0 for a file listed already).
    BOOL AddShredFile(const std::wstring& strFullPath, DWORD* pdwError = NULL);
    void AddFiles();
    void AddDirectory();
    // The list replaced by every file below the folder, collected (and each
    // file opened as a pass would) on the worker; it can be stopped like a shred.
    void AddFolderFiles(const std::wstring& strFolder);
    void RemoveSelectedRows();
    void RemoveAllRows();
    // Starts the shred, or stops the running one.
    void OnShredButton();
    // 1, 3 or 7, by the method chosen.
    int GetPassCount() const;
    void ChooseMethod(int nID);
    // A shred or a folder's collection runs.
    BOOL IsShredding() const { return m_hThread != NULL; }

    int GetRowCount() const { return (int)m_items.size(); }
    const ShredItem& GetItem(int nIndex) const { return m_items[nIndex]; }
    CMyListCtrl& GetList() { return m_list; }
    CNButtonEx& GetButton(int nID);
    CProgressCtrl& GetProgress() { return m_progress; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDestroy();
    afx_msg void OnAddFile();
    afx_msg void OnAddDir();
    afx_msg void OnDelFile();
    afx_msg void OnDelAll();
    afx_msg void OnShred();
    afx_msg void OnMethod(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    struct CShredShared;
    struct CShredJob;
    static UINT __cdecl ShredThreadProc(LPVOID pParam);
    void Layout();
    void SetShredding(BOOL bShredding);
    void OnFileGone(unsigned nRun, const ShredItem& item);
    void OnProgress(unsigned nRun, int nPerMille);
    // strKept: a file that was overwritten but not deleted, dwKeptError why.
    void OnShredEnded(unsigned nRun, int nResult, const std::wstring& strKept = std::wstring(),
                      DWORD dwKeptError = ERROR_SUCCESS);
    void OnCollected(unsigned nRun, const std::vector<ShredItem>& items, const std::vector<ULONGLONG>& sizes,
                     const std::vector<ShredReject>& rejects);
    // Tells which files stayed out of the list and why.
    void ReportRejects(const std::vector<ShredReject>& rejects);
    BOOL StartWorker(std::unique_ptr<CShredJob> job);
    void AddRow(const ShredItem& item, ULONGLONG ullSize);
    void RemoveRow(int nIndex);

    CNButtonEx m_btnHelp;
    CSkinRadioButton m_radQuick, m_radSafe, m_radThorough;
    CMyStaticCtrl m_labels[3];
    CProgressCtrl m_progress;
    CNButtonEx m_btnAddFile, m_btnAddDir, m_btnDelFile, m_btnDelAll, m_btnShred;
    CMyListCtrl m_list;
    CBrush m_brWhite;
    CViewHeading m_heading;
    std::vector<ShredItem> m_items;  // row i of the list
    std::shared_ptr<CShredShared> m_shared;
    HANDLE m_hThread;
    unsigned m_nRun;
};
