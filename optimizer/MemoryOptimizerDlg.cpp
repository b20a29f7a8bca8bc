#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/DebugPrivilegeScope.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/WhitePaint.h"
#include "framework/WorkerCall.h"
#include <atomic>
#include <climits>
#include <tlhelp32.h>

namespace {
const SIZE_T kBlockSize = 0x800000;
CMemoryHooks s_hooks = {NULL, NULL, NULL, 100, 2000, NULL};

void* AllocTouched(SIZE_T nBytes)
{
    void* p = ::VirtualAlloc(NULL, nBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (p != NULL)
        memset(p, 0, nBytes); // touch every page
    return p;
}

void FreeTouched(void* p)
{
    ::VirtualFree(p, 0, MEM_RELEASE);
}

BOOL ReadMemoryStatus(MEMORYSTATUSEX& status)
{
    PFN_GLOBAL_MEMORY_STATUS_EX pfnStatus = s_hooks.pfnStatus;
    if (pfnStatus == NULL)
    {
        HMODULE hKernel = ::GetModuleHandleW(L"Kernel32");
        if (hKernel != NULL)
            pfnStatus = (PFN_GLOBAL_MEMORY_STATUS_EX)(void*)::GetProcAddress(hKernel, "GlobalMemoryStatusEx");
    }
    if (pfnStatus == NULL)
        return FALSE;
    memset(&status, 0, sizeof(status));
    status.dwLength = sizeof(status);
    return pfnStatus(&status);
}

int Clamp(ULONGLONG ullValue)
{
    return ullValue > (ULONGLONG)INT_MAX ? INT_MAX : (int)ullValue;
}

// The physical total every figure counts from. One below the available memory is wrong
// (qemu-user cuts it to 32 bits for a 32-bit process, and dwMemoryLoad with it): the commit
// limit, which holds physical memory, stands in for it, or the available figure if smaller.
ULONGLONG PhysicalTotal(const MEMORYSTATUSEX& status)
{
    if (status.ullTotalPhys >= status.ullAvailPhys)
        return status.ullTotalPhys;
    return status.ullTotalPageFile >= status.ullAvailPhys ? status.ullTotalPageFile : status.ullAvailPhys;
}

// Percent in use, from the same total and available figure as the used amount.
int PhysicalLoad(const MEMORYSTATUSEX& status)
{
    const ULONGLONG ullTotal = PhysicalTotal(status);
    if (ullTotal == 0)
        return 0;
    return (int)((double)(ullTotal - status.ullAvailPhys) * 100.0 / (double)ullTotal + 0.5);
}

const struct
{
    UINT nID;
    LPCWSTR pszKey;
} kCaptions[4] = {{5104, L"IDC_STC_MEM_APM"}, {5100, L"IDC_STC_MEM_ASS"}, {5101, L"IDC_STC_MEM_AVM"},
                  {5115, L"IDC_STC_MEM_MDP"}};
const UINT kGroupIDs[4] = {5116, 5117, 5119, 5120};
const LPCWSTR kGroupKeys[4] = {L"IDC_NSTCMEM_MEM_CPU", L"IDC_NSTCMEM_MEM_MEM", L"IDC_NSTCMEM_MEM_CPUHIS",
                               L"IDC_NSTCMEM_MEM_MEMHIS"};
const LPCWSTR kGroupEnglish[4] = {L"CPU Usage", L"Memory Usage", L"CPU Usage History", L"Memory Usage History"};
const UINT kLabelIDs[12] = {5104, 5100, 5101, 5115, 5099, 5102, 5103, 5111, 5112, 5113, 5114, 0};
} // namespace

// What the worker shares with the window; it outlives a window that closes first.
struct CDeepDefragJob
{
    HWND hNotify = NULL;
    // Reached only through calls posted to hNotify, which never run once it is gone.
    CMemoryOptimizerDlg* pDialog = NULL;
    HANDLE hAbort = NULL;
    CMemoryHooks hooks = {};
    ~CDeepDefragJob()
    {
        if (hAbort != NULL)
            ::CloseHandle(hAbort);
    }
};

namespace {
void PostProgress(const CDeepDefragJob& job, int nLoad)
{
    CMemoryOptimizerDlg* pDialog = job.pDialog;
    AfxPostCall(job.hNotify, [pDialog, nLoad] { pDialog->OnDefragProgress(nLoad); });
}

UINT __cdecl MemoryOptimizeThreadProc(LPVOID pParam)
{
    std::shared_ptr<CDeepDefragJob> pJob(*(std::shared_ptr<CDeepDefragJob>*)pParam);
    delete (std::shared_ptr<CDeepDefragJob>*)pParam;
    void* (*pfnAlloc)(SIZE_T) = pJob->hooks.pfnAlloc != NULL ? pJob->hooks.pfnAlloc : &AllocTouched;
    void (*pfnFree)(void*) = pJob->hooks.pfnFree != NULL ? pJob->hooks.pfnFree : &FreeTouched;
    // The blocks chain through their own first bytes: holding them needs no other memory.
    void* pLast = NULL;
    ULONGLONG ullHeld = 0;
    while (::WaitForSingleObject(pJob->hAbort, pJob->hooks.nStepMs) == WAIT_TIMEOUT)
    {
        void* pBlock = pfnAlloc(kBlockSize);
        if (pBlock == NULL)
            break;
        *(void**)pBlock = pLast;
        pLast = pBlock;
        ullHeld += kBlockSize;
        MEMORYSTATUSEX status;
        if (!ReadMemoryStatus(status))
            break;
        PostProgress(*pJob, PhysicalLoad(status));
        if (status.ullAvailPhys < kBlockSize || ullHeld >= PhysicalTotal(status))
        {
            PostProgress(*pJob, 100);
            break;
        }
        // Leave commit for everybody else.
        if (status.ullAvailPageFile < status.ullTotalPageFile / 10)
            break;
    }
    ::WaitForSingleObject(pJob->hAbort, pJob->hooks.nHoldMs);
    while (pLast != NULL)
    {
        void* pNext = *(void**)pLast;
        pfnFree(pLast);
        pLast = pNext;
    }
    CMemoryOptimizerDlg* pDialog = pJob->pDialog;
    AfxPostCall(pJob->hNotify, [pDialog] { pDialog->OnDefragDone(); });
    return (UINT)-1;
}
} // namespace

void SetMemoryHooksForTests(const CMemoryHooks* pHooks)
{
    if (pHooks != NULL)
        s_hooks = *pHooks;
    else
        s_hooks = CMemoryHooks{NULL, NULL, NULL, 100, 2000, NULL};
}

CMemoryFigures ComputeMemoryFigures(const MEMORYSTATUSEX& status)
{
    CMemoryFigures figures;
    // Load, used and free share come from one total and one available figure, so the meter
    // never says "0 KB used" beside "100%".
    figures.nLoad = PhysicalLoad(status);
    figures.nUsedKB = Clamp((PhysicalTotal(status) - status.ullAvailPhys) / 1024);
    figures.strPhysical.Format(L"%I64uKB", status.ullAvailPhys / 1024);
    figures.nPhysicalPercent = 100 - figures.nLoad;
    const ULONGLONG ullSwapTotal = status.ullTotalPageFile / 1024 / 1024;
    const ULONGLONG ullSwapAvail = status.ullAvailPageFile / 1024 / 1024;
    figures.strSwap.Format(L"%I64uMB", ullSwapAvail);
    figures.nSwapPercent = ullSwapTotal == 0 ? 0 : Clamp(ullSwapAvail * 100 / ullSwapTotal);
    const ULONGLONG ullVirtualTotal = status.ullTotalVirtual / 1024 / 1024;
    const ULONGLONG ullVirtualAvail = status.ullAvailVirtual / 1024 / 1024;
    figures.strVirtual.Format(L"%I64uMB", ullVirtualAvail);
    figures.nVirtualPercent = ullVirtualTotal == 0 ? 0 : Clamp(ullVirtualAvail * 100 / ullVirtualTotal);
    return figures;
}

BEGIN_MESSAGE_MAP(CMemoryOptimizerDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(5105, OnDeepDefrag)
    ON_BN_CLICKED(5106, OnFastDefrag)
END_MESSAGE_MAP()

CMemoryOptimizerDlg::CMemoryOptimizerDlg() : CDialog(IDD), m_pWorker(NULL), m_nTrimmed(0), m_nSnapshot(0)
{
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CMemoryOptimizerDlg::~CMemoryOptimizerDlg()
{
    if (m_hWnd != NULL)
        DestroyWindow();
    StopDeepDefrag(10000);
}

BOOL CMemoryOptimizerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnDeep.SubclassDlgItem(5105, this);
    m_btnDeep.SetBitmaps(5055, 5054, 5054, 5053, 97, 31, 2);
    m_btnFast.SubclassDlgItem(5106, this);
    m_btnFast.SetBitmaps(5052, 5057, 5057, 5056, 97, 31, 2);
    m_btnHelp.SubclassDlgItem(5118, this);
    m_btnHelp.SetBitmaps(5058, 5059, 5059, 5059, 97, 31, 2);
    m_btnHelp.ShowWindow(SW_HIDE);
    for (int i = 0; i < 4; i++)
    {
        m_groups[i].SubclassDlgItem(kGroupIDs[i], this);
        m_groups[i].SetCaptionBackColor(RGB(255, 255, 255));
        m_groups[i].SetCaption(kGroupEnglish[i]);
    }
    m_cpuMeter.SubclassDlgItem(5095, this);
    m_cpuHistory.SubclassDlgItem(5096, this);
    m_memMeter.SubclassDlgItem(5097, this);
    m_memHistory.SubclassDlgItem(5098, this);
    for (int i = 0; i < 11; i++)
    {
        m_labels[i].SubclassDlgItem(kLabelIDs[i], this);
        // The window clips its children: a transparent label would show what
        // was under it before (black) and keep its old text under the new one.
        m_labels[i].SetBackColor(RGB(255, 255, 255));
    }
    for (UINT nBar = 5107; nBar <= 5110; nBar++)
        SendDlgItemMessage(nBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SetLabel(5114, L"0%");
    // The first figure shown is then a measured one.
    m_sampler.GetCpuUsage();
    SetTimer(TIMER_REFRESH, 1000, NULL);
    SwitchLanguage();
    return TRUE;
}

void CMemoryOptimizerDlg::SwitchLanguage()
{
    if (m_hWnd == NULL)
        return;
    for (const auto& caption : kCaptions)
        SetLabel(caption.nID, LangText(caption.pszKey));
    for (int i = 0; i < 4; i++)
        m_groups[i].SetCaption(LangText(kGroupKeys[i]));
    m_btnDeep.SetWindowText(LangText(L"IDC_BTN_MEM_DD"));
    m_btnFast.SetWindowText(LangText(L"IDC_BTN_MEM_FD"));
    m_btnHelp.SetWindowText(LangText(L"IDC_BTN_HELP"));
    Invalidate();
}

void CMemoryOptimizerDlg::RelayToolTipEvent(MSG* pMsg)
{
    if (pMsg == NULL || pMsg->hwnd == NULL)
        return;
    CNButtonEx* const buttons[] = {&m_btnHelp, &m_btnDeep, &m_btnFast};
    for (CNButtonEx* pButton : buttons)
    {
        if (pButton->GetSafeHwnd() == pMsg->hwnd)
            pButton->RelayEvent(pMsg);
    }
}

void CMemoryOptimizerDlg::SetLabel(UINT nID, const CString& strText)
{
    HWND hLabel = ::GetDlgItem(m_hWnd, (int)nID);
    if (hLabel == NULL)
        return;
    ::SetWindowTextW(hLabel, strText);
    // A transparent label: the white under it is painted again first.
    RECT rc;
    ::GetWindowRect(hLabel, &rc);
    ::MapWindowPoints(NULL, m_hWnd, (POINT*)&rc, 2);
    ::InvalidateRect(m_hWnd, &rc, TRUE);
}

void CMemoryOptimizerDlg::SetProgress(UINT nBar, UINT nLabel, int nPercent)
{
    SendDlgItemMessage(nBar, PBM_SETPOS, (WPARAM)nPercent, 0);
    CString strText;
    strText.Format(L"%d%%", nPercent);
    SetLabel(nLabel, strText);
}

int CMemoryOptimizerDlg::ProgressPos() const
{
    return (int)::SendDlgItemMessageW(m_hWnd, 5110, PBM_GETPOS, 0, 0);
}

void CMemoryOptimizerDlg::Refresh()
{
    const int nCpu = m_sampler.GetCpuUsage();
    m_cpuMeter.SetValue(nCpu);
    m_cpuHistory.AddValue(nCpu);
    MEMORYSTATUSEX status;
    if (!ReadMemoryStatus(status))
        return;
    const CMemoryFigures figures = ComputeMemoryFigures(status);
    m_memMeter.SetValue(figures.nLoad, figures.nUsedKB);
    m_memHistory.AddValue(figures.nLoad);
    SetLabel(5099, figures.strPhysical);
    SetProgress(5107, 5111, figures.nPhysicalPercent);
    SetLabel(5102, figures.strSwap);
    SetProgress(5108, 5112, figures.nSwapPercent);
    SetLabel(5103, figures.strVirtual);
    SetProgress(5109, 5113, figures.nVirtualPercent);
}

void CMemoryOptimizerDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_REFRESH)
        Refresh();
    else
        Default();
}

void CMemoryOptimizerDlg::OnDeepDefrag()
{
    if (m_pWorker != NULL)
        return;
    if (ShowLibraryMessage(this, L"MESSAGEBOX_6", L"MESSAGEBOX_WARNING", MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    std::shared_ptr<CDeepDefragJob> pJob = std::make_shared<CDeepDefragJob>();
    pJob->hNotify = m_hWnd;
    pJob->pDialog = this;
    pJob->hooks = s_hooks;
    // The stop event exists before the thread.
    pJob->hAbort = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    if (pJob->hAbort == NULL)
        return;
    m_btnDeep.EnableButton(FALSE);
    m_btnFast.EnableButton(FALSE);
    auto* pParam = new std::shared_ptr<CDeepDefragJob>(pJob);
    CWinThread* pThread = AfxBeginThread(&MemoryOptimizeThreadProc, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == NULL)
    {
        delete pParam;
        m_btnDeep.EnableButton(TRUE);
        m_btnFast.EnableButton(TRUE);
        return;
    }
    pThread->m_bAutoDelete = FALSE;
    m_pWorker = pThread;
    m_pJob = pJob;
    pThread->ResumeThread();
}

void CMemoryOptimizerDlg::OnDefragProgress(int nLoad)
{
    SetProgress(5110, 5114, nLoad);
}

void CMemoryOptimizerDlg::OnDefragDone()
{
    ReleaseWorker();
    SetProgress(5110, 5114, 0);
    m_btnDeep.EnableButton(TRUE);
    m_btnFast.EnableButton(TRUE);
}

void CMemoryOptimizerDlg::ReleaseWorker()
{
    if (m_pWorker == NULL)
        return;
    // It posted its last call: the end is near.
    if (AfxWaitForObjectPumping(m_pWorker->m_hThread, 10000) == WAIT_OBJECT_0)
        delete m_pWorker; // closes the handle
    m_pWorker = NULL;
    m_pJob.reset();
}

BOOL CMemoryOptimizerDlg::StopDeepDefrag(DWORD dwTimeoutMs)
{
    if (m_pWorker == NULL)
        return TRUE;
    ::SetEvent(m_pJob->hAbort);
    const BOOL bEnded = AfxWaitForObjectPumping(m_pWorker->m_hThread, dwTimeoutMs) == WAIT_OBJECT_0;
    // A worker that did not end keeps its thread object: it still runs on it.
    if (bEnded)
        delete m_pWorker;
    m_pWorker = NULL;
    m_pJob.reset();
    return bEnded;
}

void CMemoryOptimizerDlg::OnFastDefrag()
{
    CDebugPrivilegeScope privilege;
    PFN_CREATE_SNAPSHOT pfnSnapshot = s_hooks.pfnSnapshot != NULL ? s_hooks.pfnSnapshot : &::CreateToolhelp32Snapshot;
    HANDLE hSnapshot = pfnSnapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE || hSnapshot == NULL)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int nCount = 0;
    for (BOOL bMore = ::Process32FirstW(hSnapshot, &entry); bMore; bMore = ::Process32NextW(hSnapshot, &entry))
        ++nCount;
    m_nSnapshot = nCount;
    m_nTrimmed = 0;
    if (nCount == 0)
    {
        ::CloseHandle(hSnapshot);
        return;
    }
    SetProgress(5110, 5114, 0);
    int nDone = 0;
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = ::Process32FirstW(hSnapshot, &entry); bMore && nDone < nCount;
         bMore = ::Process32NextW(hSnapshot, &entry))
    {
        ++nDone;
        HANDLE hProcess = ::OpenProcess(PROCESS_SET_QUOTA | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        if (hProcess == NULL)
            continue;
        if (::SetProcessWorkingSetSize(hProcess, (SIZE_T)-1, (SIZE_T)-1))
            ++m_nTrimmed;
        ::CloseHandle(hProcess);
        SetProgress(5110, 5114, nDone * 100 / nCount);
    }
    ::CloseHandle(hSnapshot);
    // Full only when something was trimmed.
    SetProgress(5110, 5114, m_nTrimmed > 0 ? 100 : nDone * 100 / nCount);
}

void CMemoryOptimizerDlg::OnDestroy()
{
    KillTimer(TIMER_REFRESH);
    StopDeepDefrag(10000);
    CDialog::OnDestroy();
}

BOOL CMemoryOptimizerDlg::OnEraseBkgnd(CDC*)
{
    return TRUE; // the paint fills everything
}

void CMemoryOptimizerDlg::OnPaint()
{
    CWhitePaint paint(m_hWnd, (HBRUSH)m_brWhite.m_hObject);
}

HBRUSH CMemoryOptimizerDlg::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkColor(RGB(255, 255, 255));
    return m_brWhite;
}
