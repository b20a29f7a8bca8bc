#include "services/ScheduledTask.h"
#include <mstask.h>
#include <vector>

namespace {

// Releases a COM interface on every path.
template <class T>
class CComHolder
{
public:
    CComHolder() : m_p(nullptr) {}
    ~CComHolder() { if (m_p) m_p->Release(); }
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    CComHolder(const CComHolder&) = delete;
    CComHolder& operator=(const CComHolder&) = delete;
private:
    T* m_p;
};

HRESULT CreateScheduler(CComHolder<ITaskScheduler>& scheduler)
{
    return CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                            (void**)&scheduler);
}

// The weekday of a date, whatever the caller left in wDayOfWeek.
WORD DayOfWeek(const SYSTEMTIME& date)
{
    SYSTEMTIME day = {};
    day.wYear = date.wYear;
    day.wMonth = date.wMonth;
    day.wDay = date.wDay;
    FILETIME fileTime;
    if (SystemTimeToFileTime(&day, &fileTime) && FileTimeToSystemTime(&fileTime, &day))
        return day.wDayOfWeek;
    return date.wDayOfWeek;
}

} // namespace

CScheduledTask::CScheduledTask()
{
    m_bNT = (GetVersion() & 0x80000000) == 0;
    Clear();
}

void CScheduledTask::Clear()
{
    ZeroMemory(&m_stStart, sizeof(m_stStart));
    ZeroMemory(&m_stEnd, sizeof(m_stEnd));
    m_nFrequency = FREQ_NONE;
    m_strProgram.Empty();
    m_strParameters.Empty();
    m_strWorkingDirectory.Empty();
    m_strComment.Empty();
}

// An invalid date becomes all zeros, which the task treats as "not set".
static SYSTEMTIME SystemTimeOrZero(const COleDateTime& time)
{
    SYSTEMTIME converted = {};
    if (time.GetStatus() != COleDateTime::valid || !time.GetAsSystemTime(converted))
        ZeroMemory(&converted, sizeof(converted));
    return converted;
}

void CScheduledTask::SetStartDateTime(const SYSTEMTIME& time)
{
    m_stStart = time;
    m_stStart.wSecond = 0;
    m_stStart.wMilliseconds = 0;
}

void CScheduledTask::SetStartDateTime(const COleDateTime& time)
{
    SetStartDateTime(SystemTimeOrZero(time));
}

BOOL CScheduledTask::GetStartDateTime(SYSTEMTIME& time) const
{
    if (m_stStart.wYear == 0)
        return FALSE;
    time = m_stStart;
    return TRUE;
}

void CScheduledTask::SetEndDate(const SYSTEMTIME& date)
{
    ZeroMemory(&m_stEnd, sizeof(m_stEnd));
    m_stEnd.wYear = date.wYear;
    m_stEnd.wMonth = date.wMonth;
    m_stEnd.wDay = date.wDay;
}

void CScheduledTask::SetEndDate(const COleDateTime& date)
{
    SetEndDate(SystemTimeOrZero(date));
}

BOOL CScheduledTask::GetEndDate(SYSTEMTIME& date) const
{
    if (m_stEnd.wYear == 0)
        return FALSE;
    date = m_stEnd;
    return TRUE;
}

HRESULT CScheduledTask::GetAccountName(CString& strName) const
{
    std::vector<WCHAR> buffer(260);
    for (int nTry = 0; nTry < 2; ++nTry)
    {
        DWORD dwSize = (DWORD)buffer.size();
        if (GetUserNameW(buffer.data(), &dwSize))
        {
            strName = buffer.data();
            return S_OK;
        }
        DWORD dwError = GetLastError();
        if (dwError != ERROR_INSUFFICIENT_BUFFER || dwSize <= buffer.size())
            return HRESULT_FROM_WIN32(dwError ? dwError : ERROR_NO_SUCH_USER);
        buffer.resize(dwSize);
    }
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}

HRESULT CScheduledTask::FillTrigger(TASK_TRIGGER& trigger) const
{
    ZeroMemory(&trigger, sizeof(trigger));
    trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
    trigger.wBeginYear = m_stStart.wYear;
    trigger.wBeginMonth = m_stStart.wMonth;
    trigger.wBeginDay = m_stStart.wDay;
    trigger.wStartHour = m_stStart.wHour;
    trigger.wStartMinute = m_stStart.wMinute;
    if (m_stEnd.wYear != 0)
    {
        trigger.rgFlags |= TASK_TRIGGER_FLAG_HAS_END_DATE;
        trigger.wEndYear = m_stEnd.wYear;
        trigger.wEndMonth = m_stEnd.wMonth;
        trigger.wEndDay = m_stEnd.wDay;
    }
    switch (m_nFrequency)
    {
    case FREQ_ONCE:
        trigger.TriggerType = TASK_TIME_TRIGGER_ONCE;
        break;
    case FREQ_DAILY:
        trigger.TriggerType = TASK_TIME_TRIGGER_DAILY;
        trigger.Type.Daily.DaysInterval = 1;
        break;
    case FREQ_WEEKLY:
        trigger.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
        trigger.Type.Weekly.WeeksInterval = 1;
        trigger.Type.Weekly.rgfDaysOfTheWeek = (WORD)(1 << DayOfWeek(m_stStart));
        break;
    case FREQ_MONTHLY:
        if (m_stStart.wDay < 1 || m_stStart.wDay > 31)
            return E_INVALIDARG;
        trigger.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
        trigger.Type.MonthlyDate.rgfDays = 1UL << (m_stStart.wDay - 1);
        trigger.Type.MonthlyDate.rgfMonths = 0xFFF;
        break;
    default:
        trigger.TriggerType = TASK_TIME_TRIGGER_ONCE;
        break;
    }
    return S_OK;
}

HRESULT CScheduledTask::Save(LPCWSTR pszJobName, BOOL bFailIfExists)
{
    if (m_stStart.wYear == 0 || !pszJobName || !*pszJobName || m_strProgram.IsEmpty())
        return E_INVALIDARG;
    TASK_TRIGGER trigger;
    HRESULT hr = FillTrigger(trigger);
    if (FAILED(hr))
        return hr;

    // The account comes first: without it the save fails before an existing
    // job of the same name is deleted.
    CString strAccount;
    if (m_bNT)
    {
        hr = GetAccountName(strAccount);
        if (FAILED(hr))
            return hr;
    }

    CComHolder<ITaskScheduler> scheduler;
    hr = CreateScheduler(scheduler);
    if (FAILED(hr))
        return hr;

    {
        CComHolder<IUnknown> existing;
        if (SUCCEEDED(scheduler->Activate(pszJobName, IID_ITask, &existing)))
        {
            if (bFailIfExists)
                return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
            hr = scheduler->Delete(pszJobName);
            if (FAILED(hr))
                return hr;
        }
    }

    CComHolder<ITask> task;
    {
        CComHolder<IUnknown> item;
        hr = scheduler->NewWorkItem(pszJobName, CLSID_CTask, IID_ITask, &item);
        if (FAILED(hr))
            return hr;
        hr = item->QueryInterface(IID_ITask, (void**)&task);
        if (FAILED(hr))
            return hr;
    }

    hr = task->SetApplicationName(m_strProgram);
    if (SUCCEEDED(hr) && !m_strParameters.IsEmpty())
        hr = task->SetParameters(m_strParameters);
    if (SUCCEEDED(hr) && !m_strWorkingDirectory.IsEmpty())
        hr = task->SetWorkingDirectory(m_strWorkingDirectory);
    if (SUCCEEDED(hr) && !m_strComment.IsEmpty())
        hr = task->SetComment(m_strComment);
    if (SUCCEEDED(hr))
    {
        DWORD dwFlags = TASK_FLAG_RUN_ONLY_IF_LOGGED_ON | TASK_FLAG_KILL_IF_GOING_ON_BATTERIES |
                        TASK_FLAG_DONT_START_IF_ON_BATTERIES;
        if (m_bNT)
            dwFlags |= TASK_FLAG_INTERACTIVE;
        hr = task->SetFlags(dwFlags);
    }
    if (SUCCEEDED(hr) && m_bNT)
        hr = task->SetAccountInformation(strAccount, nullptr);
    if (FAILED(hr))
        return hr;

    {
        CComHolder<ITaskTrigger> taskTrigger;
        WORD wTrigger = 0;
        hr = task->CreateTrigger(&wTrigger, &taskTrigger);
        if (FAILED(hr))
            return hr;
        hr = taskTrigger->SetTrigger(&trigger);
        if (FAILED(hr))
            return hr;
    }

    CComHolder<IPersistFile> file;
    hr = task->QueryInterface(IID_IPersistFile, (void**)&file);
    if (FAILED(hr))
        return hr;
    return file->Save(nullptr, FALSE);
}

HRESULT CScheduledTask::Delete(LPCWSTR pszJobName)
{
    if (!pszJobName || !*pszJobName)
        return E_FAIL;
    CComHolder<ITaskScheduler> scheduler;
    HRESULT hr = CreateScheduler(scheduler);
    if (FAILED(hr))
        return hr;
    // The scheduler reads a job file whenever it changes; a delete that
    // meets that read is tried again a few times.
    for (int nTry = 0;; ++nTry)
    {
        hr = scheduler->Delete(pszJobName);
        if (hr != HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION) || nTry == 20)
            return hr;
        ::Sleep(50);
    }
}
