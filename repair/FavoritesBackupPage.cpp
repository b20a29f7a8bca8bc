#include "repair/FavoritesBackupPage.h"
#include "app/TamselApp.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

#include <algorithm>
#include <shellapi.h>
#include <shlwapi.h>

namespace {

// Rows inserted per turn of the message loop: a few milliseconds.
const size_t kTreeRowsPerPart = 500;

typedef std::vector<CFavoritesBackup::TreeRow> TreeRowList;

struct CFavoritesWorkJob
{
    HWND hWnd;
    CString strBackupDir;
    CString strFavorites;
    BOOL bCopy;
    BOOL bRestore;
    const std::atomic<bool>* pbStop;
    std::function<void(int, const CString&, const CString&, const CString&, std::shared_ptr<TreeRowList>)> fnDone;
};

// A path thousands of characters long is shown by its start and its end.
CString ShortenedPath(const CString& strPath)
{
    const int nMaxShown = 260, nEndShown = 60;
    if (strPath.GetLength() <= nMaxShown)
        return strPath;
    return strPath.Left(nMaxShown - nEndShown - 3) + L"..." + strPath.Right(nEndShown);
}

// What a copy left out, one a line; a long list is cut with a count.
CString JoinLeftOut(const CStringArray& arrLeftOut)
{
    const INT_PTR nMaxListed = 10;
    CString strText;
    for (INT_PTR i = 0; i < arrLeftOut.GetSize() && i < nMaxListed; i++)
        strText += L"\n" + ShortenedPath(arrLeftOut[i]);
    if (arrLeftOut.GetSize() > nMaxListed)
    {
        CString strMore;
        strMore.Format(L"\n(+%d)", (int)(arrLeftOut.GetSize() - nMaxListed));
        strText += strMore;
    }
    return strText;
}

UINT __cdecl FavoritesWorkThreadProc(LPVOID pParam)
{
    std::unique_ptr<CFavoritesWorkJob> pJob(static_cast<CFavoritesWorkJob*>(pParam));
    CFavoritesBackup backup(pJob->strBackupDir);
    backup.SetStopFlag(pJob->pbStop);
    int nResult = CFavoritesBackup::ResultOk;
    if (pJob->bCopy)
        nResult = pJob->bRestore ? backup.Restore(pJob->strFavorites) : backup.Backup(pJob->strFavorites);
    else
        backup.RemoveLeftovers();  // of a copy stopped by the last close: here it costs the user nothing
    auto pRows = std::make_shared<TreeRowList>();
    if (nResult != CFavoritesBackup::ResultStopped && !backup.ListTree(*pRows))
        nResult = CFavoritesBackup::ResultStopped;
    auto fnDone = std::move(pJob->fnDone);
    CString strError = ShortenedPath(backup.m_strError);
    CString strLinks = JoinLeftOut(backup.m_arrLeftOut);
    CString strTooLong = JoinLeftOut(backup.m_arrTooLong);
    AfxPostCall(pJob->hWnd, [fnDone, nResult, strError, strLinks, strTooLong, pRows]() {
        fnDone(nResult, strError, strLinks, strTooLong, pRows);
    });
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CFavoritesBackupPage, CBackupPage)
    ON_BN_CLICKED(1001, RestoreFavorites)
    ON_BN_CLICKED(1002, BackupFavorites)
    ON_NOTIFY(NM_DBLCLK, 1147, OnDblClkTree)
END_MESSAGE_MAP()

CFavoritesBackupPage::CFavoritesBackupPage()
    : CBackupPage(5714), m_hWorker(NULL), m_bStopWorker(false), m_nNextRow(0)
{
}

CFavoritesBackupPage::~CFavoritesBackupPage()
{
    StopWorker();
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
    // The first start makes the first backup, without a question; a backup
    // whose replacement was cut off is not taken for none.
    CFavoritesBackup(m_strBackupDir).RecoverInterruptedSwap();
    CString strFavorites;
    if (!::PathIsDirectoryW(m_strBackupDir))
        strFavorites = CFavoritesBackup::GetFavoritesFolder();
    StartWorker(strFavorites.IsEmpty() ? WorkList : WorkFirstBackup, strFavorites);
    return TRUE;
}

BOOL CFavoritesBackupPage::StartWorker(WorkKind nKind, const CString& strFavorites)
{
    if (IsBusy())
        return FALSE;
    m_bStopWorker = false;
    CFavoritesWorkJob* pJob = new CFavoritesWorkJob{ m_hWnd, m_strBackupDir, strFavorites, nKind != WorkList,
                                                     nKind == WorkRestore, &m_bStopWorker, nullptr };
    pJob->fnDone = [this, nKind](int nResult, const CString& strError, const CString& strLinks,
                                 const CString& strTooLong, std::shared_ptr<TreeRowList> pRows) {
        OnWorkDone(nKind, nResult, strError, strLinks, strTooLong, pRows);
    };
    m_hWorker = AfxBeginWorker(FavoritesWorkThreadProc, pJob);
    if (m_hWorker == NULL)
    {
        delete pJob;
        return FALSE;
    }
    ShowBusy(TRUE);
    return TRUE;
}

void CFavoritesBackupPage::StopWorker()
{
    m_pRows.reset();
    m_items.clear();
    if (m_hWorker != NULL)
    {
        m_bStopWorker = true;
        AfxWaitForObjectPumping(m_hWorker, INFINITE);
        ::CloseHandle(m_hWorker);
        m_hWorker = NULL;
    }
    // Also called while the program closes: no walk of the backup here.
    if (m_hWnd != NULL)
        ShowBusy(FALSE);
}

void CFavoritesBackupPage::OnWorkDone(WorkKind nKind, int nResult, const CString& strError, const CString& strLinks,
                                      const CString& strTooLong, std::shared_ptr<TreeRows> pRows)
{
    // A worker stopped by StopWorker has been waited for already.
    if (m_hWorker == NULL)
        return;
    // The worker only returns after posting this call.
    AfxWaitForObjectPumping(m_hWorker, INFINITE);
    ::CloseHandle(m_hWorker);
    m_hWorker = NULL;
    // What was left out is told with the outcome, and why.
    CString strLeftOut;
    if (!strLinks.IsEmpty())
        strLeftOut += L"\n\n" + LangText(L"M_FAVORITES_LINKS_LEFT_OUT") + strLinks;
    if (!strTooLong.IsEmpty())
        strLeftOut += L"\n\n" + LangText(L"M_FAVORITES_TOO_LONG_LEFT_OUT") + strTooLong;
    UINT nOkIcon = strLeftOut.IsEmpty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    // The first backup is made without a word, unless favorites that no path
    // reaches are missing from it, or it could not be made: the user must not
    // count on a backup that is not there.
    BOOL bFirst = nKind == WorkFirstBackup;
    BOOL bTellBackup = nKind == WorkBackup ||
                       (bFirst && nResult == CFavoritesBackup::ResultOk && !strTooLong.IsEmpty()) ||
                       (bFirst && (nResult == CFavoritesBackup::ResultCopyFailed ||
                                   nResult == CFavoritesBackup::ResultSwapFailed));
    if (bTellBackup)
    {
        if (nResult == CFavoritesBackup::ResultOk)
            AfxMessageBox(LangText(L"M_FAVORITES_BACKUP") + m_strBackupDir + strLeftOut, MB_OK | nOkIcon);
        else if (nResult != CFavoritesBackup::ResultStopped)
        {
            // An earlier backup is said to be kept only where there is one.
            LPCWSTR pszKey = bFirst && !CFavoritesBackup(m_strBackupDir).HasBackup() ? L"M_FAVORITES_FIRST_BACKUP_FAILED"
                                                                                    : L"M_FAVORITES_BACKUP_FAILED";
            AfxMessageBox(LangText(pszKey, strError) + strLeftOut, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    else if (nKind == WorkRestore)
    {
        if (nResult == CFavoritesBackup::ResultOk)
            AfxMessageBox(LangText(L"M_FAVORITES_OK") + m_strBackupDir + strLeftOut, MB_OK | nOkIcon);
        else if (nResult == CFavoritesBackup::ResultNoBackup)
            AfxMessageBox(LangText(L"M_FAVORITES_NOBACKUP"), MB_OK | MB_ICONEXCLAMATION);
        else if (nResult != CFavoritesBackup::ResultStopped)
            AfxMessageBox(LangText(L"M_FAVORITES_RESTORE_FAILED", strError) + strLeftOut, MB_OK | MB_ICONEXCLAMATION);
    }
    // The page may have gone while a message box was up.
    if (m_hWnd == NULL || m_tree.m_hWnd == NULL)
        return;
    m_tree.DeleteAllItems();
    m_items.clear();
    if (nResult == CFavoritesBackup::ResultStopped)
    {
        ShowBusy(FALSE);
        return;
    }
    m_items.reserve(pRows->size());
    m_pRows = pRows;
    m_nNextRow = 0;
    InsertTreeRows();
}

void CFavoritesBackupPage::InsertTreeRows()
{
    if (m_pRows == nullptr || m_tree.m_hWnd == NULL)
        return;
    const TreeRows& rows = *m_pRows;
    size_t nEnd = std::min(rows.size(), m_nNextRow + kTreeRowsPerPart);
    m_tree.SetRedraw(FALSE);
    for (; m_nNextRow < nEnd; m_nNextRow++)
    {
        const CFavoritesBackup::TreeRow& row = rows[m_nNextRow];
        HTREEITEM hParent = row.nParent >= 0 && (size_t)row.nParent < m_items.size() ? m_items[row.nParent] : TVI_ROOT;
        int nImage = row.bFolder ? 0 : 1;
        m_items.push_back(m_tree.InsertItem(row.strName, nImage, nImage, hParent, TVI_LAST));
    }
    m_tree.SetRedraw(TRUE);
    // The rest in later turns, so that the window answers in between.
    if (m_nNextRow < rows.size() && AfxPostCall(m_hWnd, [this]() { InsertTreeRows(); }))
        return;
    m_pRows.reset();
    m_items.clear();
    ShowBusy(FALSE);
    m_tree.Invalidate();
}

void CFavoritesBackupPage::ShowBusy(BOOL bBusy)
{
    if (m_btnBackup.m_hWnd != NULL)
        m_btnBackup.EnableWindow(!bBusy);
    if (m_btnRestore.m_hWnd != NULL)
        m_btnRestore.EnableWindow(!bBusy);
    if (bBusy && m_tree.m_hWnd != NULL)
    {
        m_tree.DeleteAllItems();
        m_tree.InsertItem(LangText(L"M_FAVORITES_BUSY"), 0, 0, TVI_ROOT, TVI_LAST);
    }
}

void CFavoritesBackupPage::BackupFavorites()
{
    AskAndCopy(WorkBackup, L"M_FAVORITES_CLEAR");
}

void CFavoritesBackupPage::RestoreFavorites()
{
    AskAndCopy(WorkRestore, L"M_FAVORITES_COVER");
}

void CFavoritesBackupPage::AskAndCopy(WorkKind nKind, LPCWSTR pszQuestionKey)
{
    if (IsBusy())
        return;
    CString strFavorites = CFavoritesBackup::GetFavoritesFolder();
    if (strFavorites.IsEmpty())
    {
        AfxMessageBox(LangText(L"M_FAVORITES_NOFOLDER"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(LangText(pszQuestionKey), MB_YESNO | MB_ICONEXCLAMATION) == IDYES &&
        StartWorker(nKind, strFavorites))
        return;
    StartWorker(WorkList, CString());
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
    if (hItem == NULL || IsBusy())
        return;
    CString strPath = GetItemPath(hItem);
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    OpenFavorite(strPath);
}
