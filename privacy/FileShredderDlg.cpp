#include "privacy/FileShredderDlg.h"
#include "optimizer/shared/ListColumnText.h"
#include "optimizer/shared/WhitePaint.h"
#include "privacy/JunkBrowse.h"
#include "privacy/JunkText.h"
#include "privacy/PrivacyState.h"
#include "privacy/ShredPath.h"
#include <time.h>

// What the shred thread and this window share; the thread keeps its own reference.
struct CFileShredderDlg::CShredShared
{
    HANDLE hStop = NULL;
    HWND hWnd = NULL;
    ~CShredShared()
    {
        if (hStop != NULL)
            ::CloseHandle(hStop);
    }
};

struct CFileShredderDlg::CShredJob
{
    std::shared_ptr<CShredShared> shared;
    std::vector<ShredItem> items;  // the thread's own copy, taken at the start
    int nPasses = 1;
    unsigned nRun = 0;
    std::wstring strCollectFolder;  // set: collect this folder's files instead
};

namespace {

const UINT kRadioStrip = 384;

struct ButtonArt
{
    UINT nID;
    UINT nBitmaps[4];
    LPCWSTR lpszKey;
};

const ButtonArt kListButtons[4] = {
    {CFileShredderDlg::IDC_ADD_FILE, {284, 283, 282, 292}, L"IDC_BTN_SHRED_ADD_FILE"},
    {CFileShredderDlg::IDC_ADD_DIR, {281, 280, 279, 291}, L"IDC_BTN_SHRED_ADD_DIR"},
    {CFileShredderDlg::IDC_DEL_FILE, {278, 289, 288, 294}, L"IDC_BTN_SHRED_DEL_FILE"},
    {CFileShredderDlg::IDC_DEL_ALL, {287, 286, 290, 293}, L"IDC_BTN_SHRED_DEL_ALL"},
};

CFileShredderDlg* ShredderOf(HWND hWnd)
{
    return dynamic_cast<CFileShredderDlg*>(CWnd::FromHandlePermanent(hWnd));
}

} // namespace

BEGIN_MESSAGE_MAP(CFileShredderDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_ADD_FILE, OnAddFile)
    ON_BN_CLICKED(IDC_ADD_DIR, OnAddDir)
    ON_BN_CLICKED(IDC_DEL_FILE, OnDelFile)
    ON_BN_CLICKED(IDC_DEL_ALL, OnDelAll)
    ON_BN_CLICKED(IDC_SHRED, OnShred)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_QUICK, IDC_THOROUGH, OnMethod)
END_MESSAGE_MAP()

CFileShredderDlg::CFileShredderDlg()
    : CDialog(IDD), m_btnHelp(CNButtonEx::STYLE_PRIVACY), m_btnAddFile(CNButtonEx::STYLE_PRIVACY),
      m_btnAddDir(CNButtonEx::STYLE_PRIVACY), m_btnDelFile(CNButtonEx::STYLE_PRIVACY),
      m_btnDelAll(CNButtonEx::STYLE_PRIVACY), m_btnShred(CNButtonEx::STYLE_PRIVACY),
      m_list(CMyListCtrl::STYLE_PRIVACY), m_hThread(NULL), m_nRun(0)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CFileShredderDlg::~CFileShredderDlg()
{
    StopAndWait(PRIVACY_EXIT_WAIT_MS);
    if (m_hThread != NULL)
    {
        // Still in a write: it holds only its own state and its posted calls
        // die with the window.
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CFileShredderDlg::CreateView(HWND hParent, int x, int y)
{
    return CreatePrivacyViewWithTexts(*this, hParent, x, y);
}

BOOL CFileShredderDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_heading.SetUp(this, 225, m_btnHelp, IDC_HELP_BUTTON);

    CSkinRadioButton* group[3] = {&m_radQuick, &m_radSafe, &m_radThorough};
    const UINT radios[3] = {IDC_QUICK, IDC_SAFE, IDC_THOROUGH};
    const UINT labels[3] = {4001, 4002, 4003};
    for (int i = 0; i < 3; i++)
    {
        group[i]->SubclassDlgItem(radios[i], this);
        group[i]->SetBitmap(kRadioStrip);
        m_labels[i].SubclassDlgItem(labels[i], this);
        // The window clips its children: a transparent label shows what was there before.
        m_labels[i].SetBackColor(RGB(255, 255, 255));
    }
    CSkinRadioButton::LinkGroup(group, 3);
    ChooseMethod(IDC_QUICK);
    m_progress.SubclassDlgItem(IDC_PROGRESS, this);
    m_progress.SetRange32(0, 1000);

    CNButtonEx* buttons[4] = {&m_btnAddFile, &m_btnAddDir, &m_btnDelFile, &m_btnDelAll};
    for (int i = 0; i < 4; i++)
    {
        buttons[i]->SubclassDlgItem(kListButtons[i].nID, this);
        const UINT* b = kListButtons[i].nBitmaps;
        buttons[i]->SetBitmaps(b[0], b[1], b[2], b[3], 96, 28, 2);
    }
    m_btnShred.SubclassDlgItem(IDC_SHRED, this);
    m_btnShred.SetBitmaps(270, 272, 271, 272, 93, 57, 2);

    m_list.AddColumnRecord(PrivacyText(L"IDC_LIST_SHRED_COLUMN_1"), 120);
    m_list.AddColumnRecord(PrivacyText(L"IDC_LIST_SHRED_COLUMN_2"), 180);
    m_list.AddColumnRecord(PrivacyText(L"IDC_LIST_SHRED_COLUMN_3"), 160);
    m_list.SetCreateExStyle(WS_EX_CLIENTEDGE);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS,
                  CRect(10, 75, 200, 200), this, IDC_FILE_LIST);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    Layout();
    // The texts come with CreateView's SwitchLanguage.
    return TRUE;
}

void CFileShredderDlg::Layout()
{
    CRect rc;
    GetClientRect(&rc);
    const int W = rc.Width(), H = rc.Height();
    m_list.MoveWindow(10, 75, W - 116, H - 175);
    CNButtonEx* buttons[4] = {&m_btnAddFile, &m_btnAddDir, &m_btnDelFile, &m_btnDelAll};
    for (int i = 0; i < 4; i++)
        buttons[i]->MoveWindow(W - 100, 86 + 40 * i, 96, 28);
    m_btnShred.MoveWindow(W - 100, H - 70, 93, 57);
    CSkinRadioButton* radios[3] = {&m_radQuick, &m_radSafe, &m_radThorough};
    for (int i = 0; i < 3; i++)
    {
        radios[i]->MoveWindow(10, H - 92 + 21 * i, 16, 16);
        m_labels[i].MoveWindow(30, H - 92 + 21 * i, W - 150, 16);
    }
    m_progress.MoveWindow(10, H - 26, W - 116, 14);
}

CNButtonEx& CFileShredderDlg::GetButton(int nID)
{
    switch (nID)
    {
    case IDC_ADD_FILE:
        return m_btnAddFile;
    case IDC_ADD_DIR:
        return m_btnAddDir;
    case IDC_DEL_FILE:
        return m_btnDelFile;
    case IDC_DEL_ALL:
        return m_btnDelAll;
    case IDC_SHRED:
        return m_btnShred;
    default:
        return m_btnHelp;
    }
}

void CFileShredderDlg::ResetView()
{
    ClearFileList();
}

void CFileShredderDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    // The host's tests read the view's title.
    SetWindowText(PrivacyText(L"IDO_SCANCLEAN_4"));
    const LPCWSTR labels[3] = {L"IDC_STC_QUICK", L"IDC_STC_SAFE", L"IDC_STC_THOROUGH"};
    for (int i = 0; i < 3; i++)
        m_labels[i].SetWindowText(PrivacyText(labels[i]));
    for (int i = 0; i < 3; i++)
    {
        CString strKey;
        strKey.Format(L"IDC_LIST_SHRED_COLUMN_%d", i + 1);
        SetColumnText(m_list, i, PrivacyText(strKey));
    }
    for (const ButtonArt& art : kListButtons)
        GetButton(art.nID).SetWindowText(PrivacyText(art.lpszKey));
    m_btnShred.SetWindowText(PrivacyText(L"IDC_BTN_SHRED_SHRED"));
    m_btnHelp.SetWindowText(PrivacyText(L"IDC_BTN_HELP"));
    Invalidate();
}

void CFileShredderDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->hwnd == NULL || m_hWnd == NULL)
        return;
    for (CNButtonEx* pButton : {&m_btnHelp, &m_btnAddFile, &m_btnAddDir, &m_btnDelFile, &m_btnDelAll, &m_btnShred})
    {
        if (pButton->GetSafeHwnd() == pMsg->hwnd)
            pButton->RelayEvent(pMsg);
    }
}

void CFileShredderDlg::ChooseMethod(int nID)
{
    m_radQuick.SetChecked(nID == IDC_QUICK);
    m_radSafe.SetChecked(nID == IDC_SAFE);
    m_radThorough.SetChecked(nID == IDC_THOROUGH);
}

int CFileShredderDlg::GetPassCount() const
{
    return m_radThorough.IsChecked() ? 7 : m_radSafe.IsChecked() ? 3 : 1;
}

BOOL CFileShredderDlg::AddShredFile(const std::wstring& strFullPath, DWORD* pdwError)
{
    if (pdwError != NULL)
        *pdwError = ERROR_SUCCESS;
    if (IsShredding())
        return FALSE;
    std::wstring strFolder, strName;
    // The folder is the path up to its last backslash: the first place the
    // name occurs can lie inside a folder's name and name another file.
    if (!SplitShredPath(strFullPath, strFolder, strName))
        return FALSE;
    for (const ShredItem& item : m_items)
    {
        if (_wcsicmp(item.strName.c_str(), strName.c_str()) == 0 && _wcsicmp(item.strFolder.c_str(), strFolder.c_str()) == 0)
            return FALSE;
    }
    ULONGLONG ullSize = 0;
    if (!ProbeShredFile(SystemShredIo(), strFullPath.c_str(), &ullSize, pdwError))
        return FALSE;
    AddRow(ShredItem{strFolder, strName}, ullSize);
    return TRUE;
}

void CFileShredderDlg::AddRow(const ShredItem& item, ULONGLONG ullSize)
{
    int nIndex = m_list.InsertItem(m_list.GetItemCount(), item.strName.c_str());
    if (nIndex < 0)
        return;
    m_list.SetItemText(nIndex, 1, item.strFolder.c_str());
    m_list.SetItemText(nIndex, 2, FormatShredSize(ullSize).c_str());
    m_items.push_back(item);
}

void CFileShredderDlg::AddFiles()
{
    std::vector<std::wstring> paths;
    if (IsShredding() || !PrivacyOpenFiles(m_hWnd, paths))
        return;
    std::vector<ShredReject> rejects;
    m_list.SetRedraw(FALSE);
    for (const std::wstring& strPath : paths)
    {
        DWORD dwError = ERROR_SUCCESS;
        if (!AddShredFile(strPath, &dwError) && dwError != ERROR_SUCCESS)
            rejects.push_back(ShredReject{strPath, dwError});
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();
    ReportRejects(rejects);
}

void CFileShredderDlg::ReportRejects(const std::vector<ShredReject>& rejects)
{
    if (rejects.empty())
        return;
    HWND hOwner = ::GetAncestor(m_hWnd, GA_ROOT);
    AfxShowMessageBox(hOwner, FormatShredRejects(rejects), PrivacyText(L"MESSAGEBOX_NOTICE"), MB_OK | MB_ICONWARNING);
}

void CFileShredderDlg::AddDirectory()
{
    CString strFolder;
    if (IsShredding() || !PrivacyBrowseForFolder(m_hWnd, PrivacyText(L"IDC_STC_JUNK_SACN_PATH"), strFolder))
        return;
    AddFolderFiles(strFolder.Str());
}

void CFileShredderDlg::AddFolderFiles(const std::wstring& strFolder)
{
    if (IsShredding() || strFolder.empty())
        return;
    RemoveAllRows();
    std::unique_ptr<CShredJob> job(new CShredJob);
    job->strCollectFolder = strFolder;
    StartWorker(std::move(job));
}

void CFileShredderDlg::OnCollected(unsigned nRun, const std::vector<ShredItem>& items, const std::vector<ULONGLONG>& sizes,
                                   const std::vector<ShredReject>& rejects)
{
    if (nRun != m_nRun)
        return;
    m_list.SetRedraw(FALSE);
    for (size_t i = 0; i < items.size() && i < sizes.size(); i++)
        AddRow(items[i], sizes[i]);
    m_list.SetRedraw(TRUE);
    m_list.Invalidate();
    ReportRejects(rejects);
}

void CFileShredderDlg::RemoveRow(int nIndex)
{
    if (nIndex < 0 || nIndex >= (int)m_items.size())
        return;
    m_list.DeleteItem(nIndex);
    m_items.erase(m_items.begin() + nIndex);
}

void CFileShredderDlg::RemoveSelectedRows()
{
    if (IsShredding())
        return;
    for (int i = (int)m_items.size() - 1; i >= 0; i--)
    {
        if (m_list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)
            RemoveRow(i);
    }
}

void CFileShredderDlg::RemoveAllRows()
{
    if (IsShredding())
        return;
    m_items.clear();
    if (m_list.GetSafeHwnd() != NULL)
        m_list.DeleteAllItems();
}

void CFileShredderDlg::ClearFileList()
{
    // The running shred's rows show what is left to do.
    RemoveAllRows();
}

void CFileShredderDlg::SetShredding(BOOL bShredding)
{
    if (bShredding)
        m_btnShred.SetBitmaps(275, 277, 276, 277, 93, 57, 2);
    else
        m_btnShred.SetBitmaps(270, 272, 271, 272, 93, 57, 2);
    m_btnShred.Invalidate();
    for (CSkinRadioButton* pRadio : {&m_radQuick, &m_radSafe, &m_radThorough})
        pRadio->EnableWindow(!bShredding);
    for (CNButtonEx* pButton : {&m_btnAddFile, &m_btnAddDir, &m_btnDelFile, &m_btnDelAll})
        pButton->EnableButton(!bShredding);
    m_progress.SetPos(0);
}

void CFileShredderDlg::OnShredButton()
{
    if (IsShredding())
    {
        SignalStop();
        return;
    }
    std::unique_ptr<CShredJob> job(new CShredJob);
    job->items = m_items;
    job->nPasses = GetPassCount();
    StartWorker(std::move(job));
}

BOOL CFileShredderDlg::StartWorker(std::unique_ptr<CShredJob> job)
{
    job->shared = std::make_shared<CShredShared>();
    job->shared->hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    job->shared->hWnd = m_hWnd;
    if (job->shared->hStop == NULL)
        return FALSE;
    job->nRun = ++m_nRun;
    SetShredding(TRUE);
    // Before the thread exists: FunIsThread right after the click says 1.
    PrivacySetBusy(1);
    m_shared = job->shared;
    CShredJob* pJob = job.release();
    m_hThread = AfxBeginWorker(ShredThreadProc, pJob);
    if (m_hThread == NULL)
    {
        delete pJob;
        m_shared.reset();
        PrivacySetBusy(0);
        SetShredding(FALSE);
        return FALSE;
    }
    return TRUE;
}

UINT __cdecl CFileShredderDlg::ShredThreadProc(LPVOID pParam)
{
    std::unique_ptr<CShredJob> job(static_cast<CShredJob*>(pParam));
    std::shared_ptr<CShredShared> shared = job->shared;
    const HWND hWnd = shared->hWnd;
    const unsigned nRun = job->nRun;
    ShredRunResult result = SHRED_RUN_FAILED;
    std::wstring strKept;
    DWORD dwKeptError = ERROR_SUCCESS;
    if (!job->strCollectFolder.empty())
    {
        // Add Directory: the walk and the opening of every file, off the window's thread.
        std::vector<ShredItem> found = CollectShredFolderFiles(job->strCollectFolder, shared->hStop);
        std::vector<ShredItem> items;
        std::vector<ULONGLONG> sizes;
        std::vector<ShredReject> rejects;
        for (const ShredItem& item : found)
        {
            if (::WaitForSingleObject(shared->hStop, 0) == WAIT_OBJECT_0)
                break;
            ULONGLONG ullSize = 0;
            DWORD dwError = ERROR_SUCCESS;
            if (ProbeShredFile(SystemShredIo(), item.Path().c_str(), &ullSize, &dwError))
            {
                items.push_back(item);
                sizes.push_back(ullSize);
            }
            else
                rejects.push_back(ShredReject{item.Path(), dwError});
        }
        AfxPostCall(hWnd, [hWnd, nRun, items, sizes, rejects]() {
            if (CFileShredderDlg* pDlg = ShredderOf(hWnd))
                pDlg->OnCollected(nRun, items, sizes, rejects);
        });
        result = SHRED_RUN_DONE;
    }
    else
    {
        CShredPatterns patterns;
        if (patterns.Alloc(job->nPasses))
        {
            patterns.FillRandom((unsigned)::GetTickCount() ^ (unsigned)time(NULL));
            CShredRun run(SystemShredIo(), patterns, shared->hStop);
            const std::vector<ShredItem>& items = job->items;
            // Posted only when the per-mille changes: at most a thousand calls.
            run.SetProgress([hWnd, nRun](int nPerMille) {
                AfxPostCall(hWnd, [hWnd, nRun, nPerMille]() {
                    if (CFileShredderDlg* pDlg = ShredderOf(hWnd))
                        pDlg->OnProgress(nRun, nPerMille);
                });
            });
            run.SetFileGone([hWnd, nRun, &items](size_t nIndex) {
                ShredItem item = items[nIndex];
                AfxPostCall(hWnd, [hWnd, nRun, item]() {
                    if (CFileShredderDlg* pDlg = ShredderOf(hWnd))
                        pDlg->OnFileGone(nRun, item);
                });
            });
            result = run.Run(items, job->nPasses);
            if (result == SHRED_RUN_FAILED && run.IsFailedOverwritten() && run.GetFailedIndex() < items.size())
            {
                strKept = items[run.GetFailedIndex()].Path();
                dwKeptError = run.GetFailedError();
            }
        }
    }
    const int nResult = (int)result;
    AfxPostCall(hWnd, [hWnd, nRun, nResult, strKept, dwKeptError]() {
        if (CFileShredderDlg* pDlg = ShredderOf(hWnd))
            pDlg->OnShredEnded(nRun, nResult, strKept, dwKeptError);
    });
    job.reset();
    shared.reset();
    // Last: the host may ask FunIsThread at any moment.
    PrivacySetBusy(0);
    return 0;
}

void CFileShredderDlg::OnProgress(unsigned nRun, int nPerMille)
{
    if (nRun == m_nRun && IsShredding())
        m_progress.SetPos(nPerMille);
}

void CFileShredderDlg::OnFileGone(unsigned nRun, const ShredItem& item)
{
    if (nRun != m_nRun)
        return;
    for (int i = 0; i < (int)m_items.size(); i++)
    {
        if (m_items[i].strFolder == item.strFolder && m_items[i].strName == item.strName)
        {
            RemoveRow(i);
            break;
        }
    }
}

void CFileShredderDlg::OnShredEnded(unsigned nRun, int nResult, const std::wstring& strKept, DWORD dwKeptError)
{
    if (nRun != m_nRun || m_hThread == NULL)
        return;
    // The thread has posted this as its last act: it ends at once.
    AfxWaitForObjectPumping(m_hThread, 5000);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
    m_shared.reset();
    SetShredding(FALSE);
    // A failed pass or delete is told; the rows left show which files. A file
    // whose data is gone but which stays is named, with the reason.
    if (nResult == SHRED_RUN_FAILED && !strKept.empty())
        AfxShowMessageBox(::GetAncestor(m_hWnd, GA_ROOT), FormatShredKept(strKept, dwKeptError),
                          PrivacyText(L"MESSAGEBOX_NOTICE"), MB_OK | MB_ICONWARNING);
    else if (nResult == SHRED_RUN_FAILED)
        PrivacyMessage(this, L"MESSAGEBOX_1", L"MESSAGEBOX_NOTICE", MB_OK);
}

void CFileShredderDlg::SignalStop()
{
    if (m_shared && m_shared->hStop != NULL)
        ::SetEvent(m_shared->hStop);
}

void CFileShredderDlg::StopAndWait(DWORD dwTimeoutMs)
{
    if (m_hThread == NULL)
        return;
    SignalStop();
    if (AfxWaitForObjectPumping(m_hThread, dwTimeoutMs) == WAIT_OBJECT_0)
        OnShredEnded(m_nRun, SHRED_RUN_STOPPED);
}

void CFileShredderDlg::OnDestroy()
{
    // The host's window is closing: the shred stops at its next chunk (see
    // CShredRun::Run for what it leaves) and ends before the window goes.
    CFileShredderDlg::StopAndWait(PRIVACY_EXIT_WAIT_MS);
    CDialog::OnDestroy();
}

void CFileShredderDlg::OnAddFile()
{
    AddFiles();
}

void CFileShredderDlg::OnAddDir()
{
    AddDirectory();
}

void CFileShredderDlg::OnDelFile()
{
    RemoveSelectedRows();
}

void CFileShredderDlg::OnDelAll()
{
    RemoveAllRows();
}

void CFileShredderDlg::OnShred()
{
    OnShredButton();
}

void CFileShredderDlg::OnMethod(UINT nID)
{
    if (!IsShredding())
        ChooseMethod((int)nID);
}

BOOL CFileShredderDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint fills everything
}

void CFileShredderDlg::OnPaint()
{
    CWhitePaint paint(m_hWnd, (HBRUSH)m_brWhite.m_hObject);
    m_heading.DrawTitle(paint.GetDC());
}

HBRUSH CFileShredderDlg::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_brWhite;
}
