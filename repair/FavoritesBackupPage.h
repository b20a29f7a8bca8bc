#pragma once
// The favorites backup page: shows the copy of the favorites kept in
// Utilities\Favorites\ as a tree, replaces it (Backup), copies it back
// (Restore) and opens a backed-up favorite on double-click.
#include "repair/BackupPage.h"
#include "controls/skin/ButtonST.h"
#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"

class CFavoritesBackupPage : public CBackupPage
{
public:
    CFavoritesBackupPage();
    virtual ~CFavoritesBackupPage();

    void FillTree(const CString& strFolder, HTREEITEM hParent, int nDepth = 0);
    void RefillTree();
    void BackupFavorites();
    void RestoreFavorites();
    // The backup path of a tree item: the names of its parents and its own.
    CString GetItemPath(HTREEITEM hItem) const;

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
};
