#include "repair/IgnoreListPage.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "framework/HeaderCtrl.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"
#include "repair/IgnoreListFile.h"

namespace {
const UINT IDC_IGNORE_REMOVE = 1001;
const UINT IDC_IGNORE_LIST = 1013;
const UINT IDC_IGNORE_TITLE = 1148;
// The Remove pictures are shared with the backup pages, which key out green.
const COLORREF kKeyGreen = RGB(0, 255, 0);
}

// What a worker rewrites and what came of it; the page reads the result only
// after the worker has ended.
struct CIgnoreListPage::SaveJob
{
    CString strFile;
    std::wstring strText;
    CIgnoreListFile::SaveResult nResult = CIgnoreListFile::NotSaved;
    HWND hWnd = NULL;
};

namespace {

UINT SaveThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::function<void()>> pRun((std::function<void()>*)pParam);
    (*pRun)();
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CIgnoreListPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_IGNORE_REMOVE, OnRemove)
    ON_NOTIFY(LVN_GETDISPINFOW, IDC_IGNORE_LIST, OnGetDispInfo)
END_MESSAGE_MAP()

CIgnoreListPage::CIgnoreListPage()
    : CDialog(IDD, NULL), m_pApp(static_cast<CTamselApp*>(AfxGetApp())), m_hSaver(NULL)
{
}

CIgnoreListPage::~CIgnoreListPage()
{
    FinishSave(FALSE);
}

BOOL CIgnoreListPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    m_pApp->TranslateDialog(this, IDD);

    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_fontTitle.CreateFontIndirect(&lf);
    if (GetDlgItem(IDC_IGNORE_TITLE) != NULL)
        GetDlgItem(IDC_IGNORE_TITLE)->SetFont(&m_fontTitle);

    m_btnRemove.SubclassDlgItem(IDC_IGNORE_REMOVE, this);
    m_btnRemove.SetBitmaps(312, kKeyGreen, 311, kKeyGreen);
    m_btnRemove.DrawTransparent(FALSE);
    m_btnRemove.DrawBorder(FALSE, TRUE);
    ShowRemoveCaption();

    m_list.SubclassDlgItem(IDC_IGNORE_LIST, this);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    CHeaderCtrl* pHeader = m_list.GetHeaderCtrl();
    if (pHeader != NULL)
        pHeader->ModifyStyle(0, HDS_BUTTONS | HDS_HOTTRACK);
    m_list.DeleteAllItems();
    m_list.InsertColumn(0, L"Category", LVCFMT_LEFT, 120);
    m_list.InsertColumn(1, L"Registry Key", LVCFMT_LEFT, 440);
    return TRUE;
}

void CIgnoreListPage::OnCancel()
{
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

void CIgnoreListPage::ShowRemoveCaption()
{
    // The picture alone does not say what the button does: its text is shown
    // beside it (and is its tooltip too).
    CString strCaption = m_pApp->GetLangString(L"BTN_235_1001");
    if (!strCaption.IsEmpty() && m_btnRemove.GetSafeHwnd() != NULL)
        m_btnRemove.SetWindowText(strCaption);
}

CString CIgnoreListPage::GetCategoryName(const CString& strIndex) const
{
    int nIndex = 0;
    for (int i = 0; i < strIndex.GetLength() && strIndex[i] >= L'0' && strIndex[i] <= L'9' && nIndex < 1000; i++)
        nIndex = nIndex * 10 + (strIndex[i] - L'0');
    int nCategory = nIndex >= 0 && nIndex <= 14 ? nIndex + 1 : 1;
    return m_pApp->m_strCategoryNames[CTamselApp::DisplaySlotOfCategory(nCategory)];
}

void CIgnoreListPage::FillList()
{
    // The list holds no texts of its own: it asks for the rows it shows, so
    // a list of 100,000 entries shows at once.
    m_list.DeleteAllItems();
    m_list.SetItemCount((int)m_pApp->m_arrIgnoreList.GetSize());
    m_list.Invalidate();
}

void CIgnoreListPage::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    LVITEMW& item = ((NMLVDISPINFOW*)pNMHDR)->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == NULL || item.cchTextMax <= 0)
        return;
    item.pszText[0] = L'\0';
    // The list may ask for a row the array no longer has while the page is
    // hidden and the file was read again.
    if (item.iItem < 0 || item.iItem >= m_pApp->m_arrIgnoreList.GetSize())
        return;
    const CString& strEntry = m_pApp->m_arrIgnoreList[item.iItem];
    int nSemicolon = strEntry.Find(L';');
    // Only hand-edited lines lack the index in front.
    bool bIndexed = nSemicolon >= 0 && nSemicolon < 3;
    CString strText;
    if (item.iSubItem == 0 && bIndexed)
        strText = GetCategoryName(strEntry.Left(nSemicolon));
    else if (item.iSubItem == 1)
        strText = bIndexed ? strEntry.Mid(nSemicolon + 1) : strEntry;
    lstrcpynW(item.pszText, strText, item.cchTextMax);
}

void CIgnoreListPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow)
    {
        m_pApp->TranslateDialog(this, IDD);
        ShowRemoveCaption();
        Invalidate();
    }
    // The file is read again below: a rewrite still running ends first.
    FinishSave(TRUE);
    m_pApp->LoadIgnoreList();
    if (bShow)
        FillList();
}

void CIgnoreListPage::OnDestroy()
{
    // A rewrite under way is finished, not cut: it replaces the file whole,
    // and it is one write of a list the Remove already shortened.
    FinishSave(FALSE);
    CDialog::OnDestroy();
}

void CIgnoreListPage::OnRemove()
{
    int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (nRow < 0 || nRow >= m_pApp->m_arrIgnoreList.GetSize())
        return;
    // One rewrite at a time, in order; one that failed has shown the file's
    // list again, so the selection no longer stands.
    if (!FinishSave(TRUE))
        return;
    m_pApp->m_arrIgnoreList.RemoveAt(nRow);
    m_list.DeleteItem(nRow);
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->Invalidate();

    std::shared_ptr<SaveJob> pJob = std::make_shared<SaveJob>();
    pJob->strFile = CIgnoreListFile::FileOf(m_pApp);
    pJob->strText = CIgnoreListFile::FileText(m_pApp->m_arrIgnoreList);
    pJob->hWnd = m_hWnd;
    m_pSave = pJob;
    std::unique_ptr<std::function<void()>> pRun(new std::function<void()>([this, pJob]() {
        pJob->nResult = CIgnoreListFile::SaveText(pJob->strFile, pJob->strText);
        pJob->strText = std::wstring();
        AfxPostCall(pJob->hWnd, [this, pJob]() { OnSaveDone(pJob); });
    }));
    m_hSaver = AfxBeginWorker(SaveThreadProc, pRun.get());
    if (m_hSaver != NULL)
        pRun.release();
    else
    {
        // No thread: the rewrite runs here.
        pJob->nResult = CIgnoreListFile::SaveText(pJob->strFile, pJob->strText);
        FinishSave(TRUE);
    }
}

void CIgnoreListPage::OnSaveDone(std::shared_ptr<SaveJob> pJob)
{
    // Already waited for by a later Remove, a showing or the end.
    if (pJob != m_pSave)
        return;
    FinishSave(TRUE);
}

BOOL CIgnoreListPage::FinishSave(BOOL bTell)
{
    std::shared_ptr<SaveJob> pJob;
    pJob.swap(m_pSave);
    if (pJob == NULL)
        return TRUE;
    HANDLE hSaver = m_hSaver;
    m_hSaver = NULL;
    if (hSaver != NULL)
    {
        AfxWaitForObjectPumping(hSaver, INFINITE);
        ::CloseHandle(hSaver);
    }
    if (pJob->nResult == CIgnoreListFile::Saved)
        return TRUE;
    // The file is as it was: the list shows what it holds.
    m_pApp->LoadIgnoreList();
    if (m_hWnd != NULL && IsWindowVisible())
        FillList();
    if (bTell)
        AfxMessageBox(m_pApp->GetLangString(pJob->nResult == CIgnoreListFile::Unreadable ? L"M_IGNORE_UNREADABLE"
                                                                                         : L"M_IGNORE_NOT_SAVED"),
                      MB_ICONEXCLAMATION);
    return FALSE;
}

HBRUSH CIgnoreListPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == (int)IDC_IGNORE_TITLE)
        pDC->SetTextColor(RGB(28, 68, 125));
    return m_brWhite;
}
