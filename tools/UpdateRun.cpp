#include "tools/UpdateRun.h"

std::atomic<DWORD> g_dwUpdateAbortWaitMs(1000);

CUpdateRun::CUpdateRun(HWND hWndPage, IUnknown* pFound, const std::vector<UpdateRowRef>& arrRows)
    : m_hWndPage(hWndPage), m_hStop(::CreateEventW(NULL, TRUE, FALSE, NULL)),
      m_hWalkEnd(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_arrRows(arrRows), m_pFound(pFound), m_nDownloaded(0),
      m_nWorkers(0)
{
    if (m_pFound != NULL)
        m_pFound->AddRef();
    for (int k = 0; k < UPDATE_RUN_LIMIT; ++k)
    {
        m_hDownloaded[k] = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        m_arrDownloaded[k].nRow = -1;
        m_arrDownloaded[k].pUpdate = NULL;
    }
}

CUpdateRun::~CUpdateRun()
{
    ReleaseAgentObjects();
    for (HANDLE hEvent : m_hDownloaded)
        if (hEvent != NULL)
            ::CloseHandle(hEvent);
    if (m_hWalkEnd != NULL)
        ::CloseHandle(m_hWalkEnd);
    if (m_hStop != NULL)
        ::CloseHandle(m_hStop);
}

BOOL CUpdateRun::IsReady() const
{
    if (m_hStop == NULL || m_hWalkEnd == NULL)
        return FALSE;
    for (HANDLE hEvent : m_hDownloaded)
        if (hEvent == NULL)
            return FALSE;
    return TRUE;
}

BOOL CUpdateRun::AddDownloaded(int nRow, IUpdate* pUpdate)
{
    int k = m_nDownloaded.load();
    if (k >= UPDATE_RUN_LIMIT)
    {
        if (pUpdate != NULL)
            pUpdate->Release();
        return FALSE;
    }
    m_arrDownloaded[k].nRow = nRow;
    m_arrDownloaded[k].pUpdate = pUpdate;
    m_nDownloaded.store(k + 1);
    // The event publishes the entry to the queue.
    ::SetEvent(m_hDownloaded[k]);
    return TRUE;
}

IUpdate* CUpdateRun::TakeDownloaded(int k, int& nRow)
{
    nRow = -1;
    if (k < 0 || k >= m_nDownloaded.load())
        return NULL;
    nRow = m_arrDownloaded[k].nRow;
    IUpdate* pUpdate = m_arrDownloaded[k].pUpdate;
    m_arrDownloaded[k].pUpdate = NULL;
    return pUpdate;
}

void CUpdateRun::LeaveWorker()
{
    if (--m_nWorkers == 0)
        ReleaseAgentObjects();
}

void CUpdateRun::ReleaseAgentObjects()
{
    int nCount = m_nDownloaded.load();
    for (int k = 0; k < nCount; ++k)
    {
        if (m_arrDownloaded[k].pUpdate != NULL)
            m_arrDownloaded[k].pUpdate->Release();
        m_arrDownloaded[k].pUpdate = NULL;
    }
    if (m_pFound != NULL)
        m_pFound->Release();
    m_pFound = NULL;
}
