#include "services/ScheduledTask.h"
#include "framework/WinThread.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <mstask.h>
#include <string>

namespace {

const LPCWSTR kJobName = L"TamselTest Scheduled Job";

// The ctest step before this program starts the scheduler service of the
// prefix; run alone in a freshly booted prefix the service may be unreachable.
HRESULT ProbeScheduler()
{
    CoInitialize(nullptr);
    ITaskScheduler* pScheduler = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                  (void**)&pScheduler);
    if (pScheduler)
        pScheduler->Release();
    CoUninitialize();
    return hr;
}

class ScheduledTaskTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_hrScheduler = ProbeScheduler(); }
    static HRESULT s_hrScheduler;
    void SetUp() override
    {
        if (FAILED(s_hrScheduler))
            TAMSEL_PEER_MISSING("the Task Scheduler service of this Wine prefix cannot be reached: 0x" << std::hex << s_hrScheduler);
        CoInitialize(nullptr);
        CScheduledTask::Delete(kJobName);
    }
    void TearDown() override
    {
        if (FAILED(s_hrScheduler))
            return;
        CScheduledTask::Delete(kJobName);
        CoUninitialize();
    }
};

HRESULT ScheduledTaskTest::s_hrScheduler = E_FAIL;

std::wstring JobFile()
{
    WCHAR szWindows[MAX_PATH] = {};
    GetWindowsDirectoryW(szWindows, MAX_PATH);
    return std::wstring(szWindows) + L"\\Tasks\\" + kJobName + L".job";
}

SYSTEMTIME Date(WORD wYear, WORD wMonth, WORD wDay, WORD wHour, WORD wMinute)
{
    SYSTEMTIME time = testsupport::SystemTimeOf(wYear, wMonth, wDay, wHour, wMinute, 42);
    time.wMilliseconds = 500;
    return time;
}

void Describe(CScheduledTask& task, const SYSTEMTIME& start, int nFrequency)
{
    task.SetProgram(L"C:\\Program Files\\Tamsel\\Tamsel.exe");
    task.SetWorkingDirectory(L"C:\\Program Files\\Tamsel\\");
    task.SetComment(L"Run Tamsel at Scheduled Time.");
    task.SetFrequency(nFrequency);
    task.SetStartDateTime(start);
}

// What the Task Scheduler holds for the job: its program and its one trigger.
struct StoredJob
{
    HRESULT hr = E_FAIL;
    std::wstring strProgram;
    std::wstring strComment;
    WORD wTriggers = 0;
    TASK_TRIGGER trigger = {};
};

StoredJob ReadJob()
{
    StoredJob job;
    ITaskScheduler* pScheduler = nullptr;
    job.hr = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler, (void**)&pScheduler);
    if (FAILED(job.hr))
        return job;
    ITask* pTask = nullptr;
    job.hr = pScheduler->Activate(kJobName, IID_ITask, (IUnknown**)&pTask);
    pScheduler->Release();
    if (FAILED(job.hr))
        return job;
    LPWSTR psz = nullptr;
    if (SUCCEEDED(pTask->GetApplicationName(&psz)))
    {
        job.strProgram = psz;
        CoTaskMemFree(psz);
    }
    if (SUCCEEDED(pTask->GetComment(&psz)))
    {
        job.strComment = psz;
        CoTaskMemFree(psz);
    }
    pTask->GetTriggerCount(&job.wTriggers);
    ITaskTrigger* pTrigger = nullptr;
    if (job.wTriggers > 0 && SUCCEEDED(pTask->GetTrigger(0, &pTrigger)))
    {
        job.trigger.cbTriggerSize = sizeof(TASK_TRIGGER);
        job.hr = pTrigger->GetTrigger(&job.trigger);
        pTrigger->Release();
    }
    pTask->Release();
    return job;
}

class CNoAccountTask : public CScheduledTask
{
protected:
    HRESULT GetAccountName(CString&) const override { return HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY); }
};

} // namespace

TEST_F(ScheduledTaskTest, WeeklyJobRunsOnTheStartWeekday)
{
    CScheduledTask task;
    // 6 January 2027 is a Wednesday; the weekday field is left wrong on purpose.
    Describe(task, Date(2027, 1, 6, 21, 5), CScheduledTask::FREQ_WEEKLY);
    SYSTEMTIME stored;
    ASSERT_TRUE(task.GetStartDateTime(stored));
    EXPECT_EQ(0, stored.wSecond);
    EXPECT_EQ(0, stored.wMilliseconds);

    ASSERT_EQ(S_OK, task.Save(kJobName, FALSE));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(JobFile().c_str()));

    StoredJob job = ReadJob();
    ASSERT_EQ(S_OK, job.hr);
    EXPECT_EQ(L"C:\\Program Files\\Tamsel\\Tamsel.exe", job.strProgram);
    EXPECT_EQ(L"Run Tamsel at Scheduled Time.", job.strComment);
    ASSERT_EQ(1, job.wTriggers);
    EXPECT_EQ(TASK_TIME_TRIGGER_WEEKLY, job.trigger.TriggerType);
    EXPECT_EQ(1, job.trigger.Type.Weekly.WeeksInterval);
    EXPECT_EQ(0x8, job.trigger.Type.Weekly.rgfDaysOfTheWeek); // Wednesday
    EXPECT_EQ(21, job.trigger.wStartHour);
    EXPECT_EQ(5, job.trigger.wStartMinute);
    EXPECT_EQ(2027, job.trigger.wBeginYear);
    EXPECT_EQ(1, job.trigger.wBeginMonth);
    EXPECT_EQ(6, job.trigger.wBeginDay);
    EXPECT_EQ(0u, job.trigger.rgFlags & TASK_TRIGGER_FLAG_HAS_END_DATE);

    ASSERT_EQ(S_OK, CScheduledTask::Delete(kJobName));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(JobFile().c_str()));
}

// A delete that meets a read of the job file (the scheduler reads each job
// file that changes) is tried again instead of failing.
TEST_F(ScheduledTaskTest, DeleteWaitsOutABriefReadOfTheJobFile)
{
    CScheduledTask task;
    Describe(task, Date(2027, 1, 6, 21, 5), CScheduledTask::FREQ_WEEKLY);
    ASSERT_EQ(S_OK, task.Save(kJobName, FALSE));
    HANDLE hFile = ::CreateFileW(JobFile().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
    HANDLE hReader = AfxBeginWorker(
        [](LPVOID pParam) -> UINT {
            ::Sleep(300);
            ::CloseHandle((HANDLE)pParam);
            return 0;
        },
        hFile);
    ASSERT_NE((HANDLE)NULL, hReader);
    EXPECT_EQ(S_OK, CScheduledTask::Delete(kJobName));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, ::WaitForSingleObject(hReader, 10000));
    ::CloseHandle(hReader);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(JobFile().c_str()));
}

TEST_F(ScheduledTaskTest, ExistingJobIsReplacedOrRefused)
{
    CScheduledTask first;
    Describe(first, Date(2027, 3, 1, 8, 0), CScheduledTask::FREQ_DAILY);
    ASSERT_EQ(S_OK, first.Save(kJobName, FALSE));

    CScheduledTask second;
    Describe(second, Date(2027, 3, 2, 9, 30), CScheduledTask::FREQ_WEEKLY);
    second.SetProgram(L"C:\\Other\\other.exe");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), second.Save(kJobName, TRUE));
    EXPECT_EQ((HRESULT)0x80070050, second.Save(kJobName, TRUE));
    EXPECT_EQ(L"C:\\Program Files\\Tamsel\\Tamsel.exe", ReadJob().strProgram);

    ASSERT_EQ(S_OK, second.Save(kJobName, FALSE));
    StoredJob job = ReadJob();
    EXPECT_EQ(L"C:\\Other\\other.exe", job.strProgram);
    ASSERT_EQ(1, job.wTriggers);
    EXPECT_EQ(TASK_TIME_TRIGGER_WEEKLY, job.trigger.TriggerType);
    EXPECT_EQ(0x4, job.trigger.Type.Weekly.rgfDaysOfTheWeek); // 2 March 2027 is a Tuesday
}

TEST_F(ScheduledTaskTest, MonthlyOnThe31stAndEndDate)
{
    CScheduledTask task;
    Describe(task, Date(2027, 1, 31, 6, 0), CScheduledTask::FREQ_MONTHLY);
    task.SetEndDate(Date(2028, 12, 24, 0, 0));
    ASSERT_EQ(S_OK, task.Save(kJobName, FALSE));
    StoredJob job = ReadJob();
    ASSERT_EQ(1, job.wTriggers);
    EXPECT_EQ(TASK_TIME_TRIGGER_MONTHLYDATE, job.trigger.TriggerType);
    EXPECT_EQ(1UL << 30, job.trigger.Type.MonthlyDate.rgfDays);
    EXPECT_EQ(0xFFF, job.trigger.Type.MonthlyDate.rgfMonths);
    EXPECT_NE(0u, job.trigger.rgFlags & TASK_TRIGGER_FLAG_HAS_END_DATE);
    EXPECT_EQ(2028, job.trigger.wEndYear);
    EXPECT_EQ(24, job.trigger.wEndDay);
}

TEST_F(ScheduledTaskTest, InvalidInputTouchesNothing)
{
    CScheduledTask task;
    EXPECT_EQ(E_INVALIDARG, task.Save(kJobName, FALSE)); // no start, no program
    Describe(task, Date(2027, 1, 6, 21, 0), CScheduledTask::FREQ_WEEKLY);
    EXPECT_EQ(E_INVALIDARG, task.Save(L"", FALSE));
    EXPECT_EQ(E_INVALIDARG, task.Save(nullptr, FALSE));
    task.SetProgram(L"");
    EXPECT_EQ(E_INVALIDARG, task.Save(kJobName, FALSE));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(JobFile().c_str()));
    EXPECT_EQ(E_FAIL, CScheduledTask::Delete(L""));

    // A date-time value of the class library converts; an invalid one leaves the start unset.
    CScheduledTask fromDate;
    fromDate.SetStartDateTime(COleDateTime(2027, 1, 6, 21, 5, 30));
    SYSTEMTIME converted = {};
    ASSERT_TRUE(fromDate.GetStartDateTime(converted));
    EXPECT_EQ(2027, converted.wYear);
    EXPECT_EQ(21, converted.wHour);
    EXPECT_EQ(5, converted.wMinute);
    EXPECT_EQ(0, converted.wSecond);
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    fromDate.SetStartDateTime(invalid);
    EXPECT_FALSE(fromDate.GetStartDateTime(converted));

    CScheduledTask empty;
    SYSTEMTIME time = Date(1, 1, 1, 1, 1);
    EXPECT_FALSE(empty.GetStartDateTime(time));
    EXPECT_FALSE(empty.GetEndDate(time));
    EXPECT_EQ(1, time.wYear); // left unchanged
    EXPECT_EQ(0, empty.GetFrequency());
}

TEST_F(ScheduledTaskTest, MissingAccountNameFailsCleanly)
{
    CScheduledTask existing;
    Describe(existing, Date(2027, 1, 6, 21, 0), CScheduledTask::FREQ_WEEKLY);
    ASSERT_EQ(S_OK, existing.Save(kJobName, FALSE));

    CNoAccountTask task;
    Describe(task, Date(2027, 2, 1, 7, 0), CScheduledTask::FREQ_DAILY);
    task.SetProgram(L"C:\\Other\\other.exe");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), task.Save(kJobName, FALSE));
    // The earlier job stays as it was.
    StoredJob job = ReadJob();
    ASSERT_EQ(S_OK, job.hr);
    EXPECT_EQ(L"C:\\Program Files\\Tamsel\\Tamsel.exe", job.strProgram);
    EXPECT_EQ(TASK_TIME_TRIGGER_WEEKLY, job.trigger.TriggerType);
}

