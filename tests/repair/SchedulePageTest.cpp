// The scheduling page against Wine's Task Scheduler: one job however often the
// default is set, no job without an account, and Manage without a job, or
// without the system's settings page, says why instead of doing nothing.
#include "tests/repair/BackupTestSupport.h"
#include "repair/SchedulePage.h"
#include "services/ScheduledTask.h"

using namespace backuptest;

namespace {

const wchar_t kJobName[] = L"TamselTest Schedule Page";

HRESULT ProbeScheduler()
{
    ::CoInitialize(NULL);
    ITaskScheduler* pScheduler = NULL;
    HRESULT hr = ::CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                    (void**)&pScheduler);
    if (SUCCEEDED(hr))
    {
        IEnumWorkItems* pEnum = NULL;
        hr = pScheduler->Enum(&pEnum);
        if (pEnum != NULL)
            pEnum->Release();
        pScheduler->Release();
    }
    ::CoUninitialize();
    return hr;
}

// The service is brought up before this suite runs (the scheduler fixture of
// the build); a prefix without it skips, saying why.
HRESULT SchedulerReady()
{
    static HRESULT s_hr = S_FALSE;
    if (s_hr == S_FALSE)
        s_hr = ProbeScheduler();
    return s_hr;
}

bool JobExists()
{
    ::CoInitialize(NULL);
    ITaskScheduler* pScheduler = NULL;
    bool bExists = false;
    if (SUCCEEDED(::CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                     (void**)&pScheduler)))
    {
        IUnknown* pTask = NULL;
        bExists = SUCCEEDED(pScheduler->Activate(kJobName, IID_ITask, &pTask));
        if (pTask != NULL)
            pTask->Release();
        pScheduler->Release();
    }
    ::CoUninitialize();
    return bExists;
}

class CNoAccountTask : public CScheduledTask
{
protected:
    HRESULT GetAccountName(CString&) const override { return HRESULT_FROM_WIN32(ERROR_NO_SUCH_USER); }
};

class CSchedulePageUnderTest : public CSchedulePage
{
public:
    bool m_bNoAccount = false;
protected:
    CScheduledTask* CreateScheduledTask() override
    {
        return m_bNoAccount ? new CNoAccountTask : CSchedulePage::CreateScheduledTask();
    }
};

class ScheduleTest : public BackupPageTest
{
protected:
    void SetUp() override
    {
        BackupPageTest::SetUp();
        HRESULT hr = SchedulerReady();
        if (FAILED(hr))
            TAMSEL_PEER_MISSING("the Task Scheduler service of this prefix cannot be reached: 0x" << std::hex << hr);
        m_strSavedName = m_app.m_strTaskName;
        m_app.m_strTaskName = kJobName;
        DeleteJob();
    }
    void TearDown() override
    {
        if (!m_strSavedName.IsEmpty())
        {
            DeleteJob();
            m_app.m_strTaskName = m_strSavedName;
        }
        BackupPageTest::TearDown();
    }
    static void DeleteJob()
    {
        ::CoInitialize(NULL);
        CScheduledTask::Delete(kJobName);
        ::CoUninitialize();
    }
    static std::vector<std::wstring> Lines(CListBox& list)
    {
        std::vector<std::wstring> lines;
        for (int i = 0; i < list.GetCount(); i++)
        {
            CString str;
            list.GetText(i, str);
            lines.push_back(str.GetString());
        }
        return lines;
    }
    CString m_strSavedName;
};

} // namespace

TEST_F(ScheduleTest, DefaultTwiceGivesOneJobAndOneLine)
{
    CSchedulePageUnderTest page;
    CreatePage(page);
    EXPECT_EQ(0, page.m_list.GetCount());
    // Manage without a job: no job made, the list as it was, and a word on
    // how to get one.
    Click(page, 1002);
    EXPECT_FALSE(JobExists());
    ASSERT_EQ(1u, m_boxes.Count());
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SCHEDULE_NO_TASK")), m_boxes.LastText());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"Default Schedule"));

    Click(page, 1001);
    EXPECT_EQ(L"Set Default Schedule Task Success!", m_boxes.LastText());
    EXPECT_TRUE(JobExists());
    Click(page, 1001);
    EXPECT_EQ(3u, m_boxes.Count());
    std::vector<std::wstring> lines = Lines(page.m_list);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L"every week")) << Narrow(lines[0]);

    // Wine offers no schedule page: Manage says where to change the job and
    // keeps the line.
    Click(page, 1002);
    ASSERT_EQ(4u, m_boxes.Count());
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SCHEDULE_NO_PAGE")), m_boxes.LastText());
    EXPECT_TRUE(JobExists());
    EXPECT_EQ(1, page.m_list.GetCount());

    // Shown again, the page reads the job back.
    page.m_list.ResetContent();
    page.SendMessage(WM_SHOWWINDOW, TRUE, 0);
    EXPECT_EQ(1, page.m_list.GetCount());
}

TEST_F(ScheduleTest, FailingAccountLeavesNoJobAndSaysWhy)
{
    CSchedulePageUnderTest page;
    page.m_bNoAccount = true;
    CreatePage(page);
    Click(page, 1001);
    EXPECT_FALSE(JobExists());
    ASSERT_EQ(1u, m_boxes.Count());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"0x80070525")) << Narrow(m_boxes.LastText());
    EXPECT_EQ(0, page.m_list.GetCount());
}

TEST(ScheduleTriggerText, EachKindReadsAsItsSchedule)
{
    TASK_TRIGGER trigger = {};
    trigger.cbTriggerSize = sizeof(trigger);
    trigger.wBeginYear = 2027;
    trigger.wBeginMonth = 1;
    trigger.wBeginDay = 6;
    trigger.wStartHour = 21;
    trigger.wStartMinute = 5;
    trigger.TriggerType = TASK_TIME_TRIGGER_WEEKLY;
    trigger.Type.Weekly.WeeksInterval = 1;
    trigger.Type.Weekly.rgfDaysOfTheWeek = TASK_WEDNESDAY;
    WCHAR szWednesday[32] = L"";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME3, szWednesday, 32);
    std::wstring text = CSchedulePage::FormatTrigger(trigger).GetString();
    EXPECT_NE(std::wstring::npos, text.find(std::wstring(L"every ") + szWednesday + L" of every week")) << Narrow(text);
    EXPECT_NE(std::wstring::npos, text.find(L"2027")) << Narrow(text);

    trigger.Type.Weekly.WeeksInterval = 2;
    trigger.Type.Weekly.rgfDaysOfTheWeek = TASK_SUNDAY | TASK_MONDAY;
    text = CSchedulePage::FormatTrigger(trigger).GetString();
    EXPECT_NE(std::wstring::npos, text.find(L"of every 2 weeks")) << Narrow(text);
    EXPECT_NE(std::wstring::npos, text.find(L", ")) << Narrow(text);

    trigger.TriggerType = TASK_TIME_TRIGGER_MONTHLYDATE;
    trigger.Type.MonthlyDate.rgfDays = (1 << 0) | (1 << 14);
    text = CSchedulePage::FormatTrigger(trigger).GetString();
    EXPECT_NE(std::wstring::npos, text.find(L"on day 1, 15 of every month")) << Narrow(text);

    trigger.TriggerType = TASK_TIME_TRIGGER_DAILY;
    trigger.Type.Daily.DaysInterval = 1;
    EXPECT_NE(std::wstring::npos, std::wstring(CSchedulePage::FormatTrigger(trigger).GetString()).find(L"every day,"));
}
