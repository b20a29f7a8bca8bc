#pragma once
// The favorites backup page: shows the copy of the favorites kept in
// Utilities\Favorites\ as a tree, replaces it (Backup), copies it back
// (Restore) and opens a backed-up favorite on double-click.
#include "repair/BackupPage.h"
#include "repair/FavoritesBackup.h"
#include "controls/skin/ButtonST.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include <atomic>
#include <memory>
#include <vector>

class CFavoritesBackupPage : public CBackupPage
{
public:
    CFavoritesBackupPage();
    virtual ~CFavoritesBackupPage();

    void BackupFavorites();
    void RestoreFavorites();
    // The backup path of a tree item: the names of its parents and its own.
    CString GetItemPath(HTREEITEM hItem) const;

    // A favorites folder can be huge: its copies and the walk of the backup
    // for the tree run on a worker, and the tree is filled in parts, while
    // the page shows that it is busy. TRUE until the tree is filled.
    BOOL IsBusy() const { return m_hWorker != NULL || m_pRows != nullptr; }
    // Asks a running worker to stop and waits for it, answering sent
    // messages meanwhile; a stopped backup leaves the earlier one as it was,
    // and its partial copy for the next start or backup to clear. Every step
    // of the worker polls the flag, so the wait is short.
    void StopWorker();

    CString m_strBackupDir;
    CTreeCtrl m_tree;
    CImageList m_images;
    CButtonST m_btnHelp;
    CButtonST m_btnBackup;
    CButtonST m_btnRestore;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    // Opens a favorite; the tests watch it here.
    virtual void OpenFavorite(const CString& strPath);

    afx_msg void OnDblClkTree(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    enum WorkKind
    {
        WorkList,          // the tree only
        WorkFirstBackup,   // at the first start: silent unless it falls short
        WorkBackup,
        WorkRestore,
    };
    typedef std::vector<CFavoritesBackup::TreeRow> TreeRows;
    BOOL StartWorker(WorkKind nKind, const CString& strFavorites);
    // Backup and Restore: after Yes to the question the copy runs; otherwise,
    // or when it cannot start, the tree is listed again.
    void AskAndCopy(WorkKind nKind, LPCWSTR pszQuestionKey);
    // strLinks, strTooLong: the links and the paths too long to reach that the
    // copy left out, each on a line of its own.
    void OnWorkDone(WorkKind nKind, int nResult, const CString& strError, const CString& strLinks,
                    const CString& strTooLong, std::shared_ptr<TreeRows> pRows);
    // Inserts the next part of the rows; posts itself again while rows are left.
    void InsertTreeRows();
    void ShowBusy(BOOL bBusy);

    HANDLE m_hWorker;
    std::atomic<bool> m_bStopWorker;
    // The rows still being inserted, and the items made for them so far.
    std::shared_ptr<TreeRows> m_pRows;
    size_t m_nNextRow;
    std::vector<HTREEITEM> m_items;
};
