#include "repair/FavoritesBackupPage.h"
#include "repair/FavoritesBackup.h"
#include "app/TamselApp.h"
#include "services/FindHandle.h"

#include <shellapi.h>
#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CFavoritesBackupPage, CBackupPage)
    ON_BN_CLICKED(1001, RestoreFavorites)
    ON_BN_CLICKED(1002, BackupFavorites)
    ON_NOTIFY(NM_DBLCLK, 1147, OnDblClkTree)
END_MESSAGE_MAP()

CFavoritesBackupPage::CFavoritesBackupPage() : CBackupPage(5714)
{
}

CFavoritesBackupPage::~CFavoritesBackupPage()
{
}

void CFavoritesBackupPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1147, m_tree);
    DDX_Control(pDX, 1004, m_btnHelp);
    DDX_Control(pDX, 1002, m_btnBackup);
    DDX_Control(pDX, 1001, m_btnRestore);
}

BOOL CFavoritesBackupPage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    // The button pictures are shared with the other backup pages: one key colour.
    const COLORREF crGreen = RGB(0, 255, 0), crMagenta = RGB(255, 0, 255);
    SkinButton(m_btnRestore, 316, 315, crGreen);
    SkinButton(m_btnBackup, 321, 320, crGreen);
    SkinButton(m_btnHelp, 8048, 8047, crGreen);
    m_strBackupDir = m_pApp->m_strAppDir + L"Utilities\\Favorites\\";

    m_tree.DeleteAllItems();
    if (m_images.Create(8031, 16, 1, crMagenta))
        m_tree.SetImageList(&m_images, TVSIL_NORMAL);
    // The first start makes the first backup, without a question.
    if (!::PathIsDirectoryW(m_strBackupDir))
    {
        CFavoritesBackup backup(m_strBackupDir);
        backup.Backup(CFavoritesBackup::GetFavoritesFolder());
    }
    if (::PathIsDirectoryW(m_strBackupDir))
        FillTree(m_strBackupDir, TVI_ROOT);
    return TRUE;
}

void CFavoritesBackupPage::FillTree(const CString& strFolder, HTREEITEM hParent, int nDepth)
{
    if (nDepth > 64)
        return;
    CString strBase = strFolder;
    if (strBase.IsEmpty())
        return;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    WIN32_FIND_DATAW fd;
    CFindHandle hFind(::FindFirstFileW(strBase + L"*.*", &fd));
    if (!hFind.IsValid())
        return;
    do
    {
        CString strName = fd.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            HTREEITEM hItem = m_tree.InsertItem(strName, 0, 0, hParent, TVI_LAST);
            // A link could lead back up the tree: it is shown, not entered.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                FillTree(strBase + strName, hItem, nDepth + 1);
            continue;
        }
        int nDot = strName.ReverseFind(L'.');
        CString strExt = nDot >= 0 ? strName.Mid(nDot) : CString();
        strExt.MakeLower();
        if (strExt != L".ini")
            m_tree.InsertItem(strName, 1, 1, hParent, TVI_LAST);
    } while (::FindNextFileW(hFind, &fd));
}

void CFavoritesBackupPage::RefillTree()
{
    m_tree.DeleteAllItems();
    if (::PathIsDirectoryW(m_strBackupDir))
        FillTree(m_strBackupDir, TVI_ROOT);
}

void CFavoritesBackupPage::BackupFavorites()
{
    CString strFavorites = CFavoritesBackup::GetFavoritesFolder();
    if (strFavorites.IsEmpty())
    {
        AfxMessageBox(LangText(L"M_FAVORITES_NOFOLDER"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(LangText(L"M_FAVORITES_CLEAR"), MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
    {
        CFavoritesBackup backup(m_strBackupDir);
        if (backup.Backup(strFavorites) == CFavoritesBackup::ResultOk)
            AfxMessageBox(LangText(L"M_FAVORITES_BACKUP") + m_strBackupDir, MB_OK | MB_ICONINFORMATION);
        else
            AfxMessageBox(LangText(L"M_FAVORITES_BACKUP_FAILED", backup.m_strError), MB_OK | MB_ICONEXCLAMATION);
    }
    RefillTree();
}

void CFavoritesBackupPage::RestoreFavorites()
{
    CString strFavorites = CFavoritesBackup::GetFavoritesFolder();
    if (strFavorites.IsEmpty())
    {
        AfxMessageBox(LangText(L"M_FAVORITES_NOFOLDER"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(LangText(L"M_FAVORITES_COVER"), MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
    {
        CFavoritesBackup backup(m_strBackupDir);
        CFavoritesBackup::Result result = backup.Restore(strFavorites);
        if (result == CFavoritesBackup::ResultOk)
            AfxMessageBox(LangText(L"M_FAVORITES_OK") + m_strBackupDir, MB_OK | MB_ICONINFORMATION);
        else if (result == CFavoritesBackup::ResultNoBackup)
            AfxMessageBox(LangText(L"M_FAVORITES_NOBACKUP"), MB_OK | MB_ICONEXCLAMATION);
        else
            AfxMessageBox(LangText(L"M_FAVORITES_RESTORE_FAILED", backup.m_strError), MB_OK | MB_ICONEXCLAMATION);
    }
    RefillTree();
}

CString CFavoritesBackupPage::GetItemPath(HTREEITEM hItem) const
{
    CString strPath;
    for (HTREEITEM h = hItem; h != NULL; h = m_tree.GetParentItem(h))
        strPath = strPath.IsEmpty() ? m_tree.GetItemText(h) : m_tree.GetItemText(h) + L"\\" + strPath;
    return m_strBackupDir + strPath;
}

void CFavoritesBackupPage::OpenFavorite(const CString& strPath)
{
    ::ShellExecuteW(NULL, L"Open", strPath, NULL, NULL, SW_SHOWMAXIMIZED);
}

void CFavoritesBackupPage::OnDblClkTree(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    HTREEITEM hItem = m_tree.GetSelectedItem();
    if (hItem == NULL)
        return;
    CString strPath = GetItemPath(hItem);
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    OpenFavorite(strPath);
}
