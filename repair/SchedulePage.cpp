#include "repair/SchedulePage.h"
#include "app/TamselApp.h"
#include "services/PathString.h"
#include "services/ScheduledTask.h"

#include <memory>
#include <prsht.h>

namespace {

// COM for the length of one operation; uninitialised only when initialised here.
class CComScope
{
public:
    CComScope() : m_hr(::CoInitialize(NULL)) {}
    ~CComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    // Already initialised in another mode still lets COM be used.
    BOOL IsUsable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }
private:
    HRESULT m_hr;
};

template <class T> class CComPtrOf
{
public:
    ~CComPtrOf() { Release(); }
    void Release()
    {
        if (m_p != NULL)
            m_p->Release();
        m_p = NULL;
    }
    T* operator->() const { return m_p; }
    T** Receive() { Release(); return &m_p; }
    T* m_p = NULL;
};

// The job of that name, when the Task Scheduler has one.
HRESULT ActivateJob(LPCWSTR pszName, CComPtrOf<ITask>& task)
{
    CComPtrOf<ITaskScheduler> scheduler;
    HRESULT hr = ::CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                    (void**)scheduler.Receive());
    if (FAILED(hr))
        return hr;
    return scheduler->Activate(pszName, IID_ITask, (IUnknown**)task.Receive());
}

CString TimeText(const TASK_TRIGGER& trigger)
{
    SYSTEMTIME st = {};
    st.wYear = trigger.wBeginYear ? trigger.wBeginYear : 2000;
    st.wMonth = trigger.wBeginMonth ? trigger.wBeginMonth : 1;
    st.wDay = trigger.wBeginDay ? trigger.wBeginDay : 1;
    st.wHour = trigger.wStartHour;
    st.wMinute = trigger.wStartMinute;
    WCHAR szText[64] = L"";
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, NULL, szText, 64);
    return szText;
}

CString DateText(const TASK_TRIGGER& trigger)
{
    SYSTEMTIME st = {};
    st.wYear = trigger.wBeginYear;
    st.wMonth = trigger.wBeginMonth;
    st.wDay = trigger.wBeginDay;
    WCHAR szText[64] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, NULL, szText, 64);
    return szText;
}

CString Every(int nInterval, LPCWSTR pszOne, LPCWSTR pszMany)
{
    if (nInterval <= 1)
        return CString(L"every ") + pszOne;
    CString str;
    str.Format(L"every %d %s", nInterval, pszMany);
    return str;
}

} // namespace

BEGIN_MESSAGE_MAP(CSchedulePage, CBackupPage)
    ON_BN_CLICKED(1001, OnDefaultButton)
    ON_BN_CLICKED(1002, OnManageSchedule)
END_MESSAGE_MAP()

CSchedulePage::CSchedulePage() : CBackupPage(236)
{
}

CSchedulePage::~CSchedulePage()
{
}

void CSchedulePage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1002, m_btnManage);
    DDX_Control(pDX, 1001, m_btnDefault);
}

BOOL CSchedulePage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    const COLORREF crMagenta = RGB(255, 0, 255);
    SkinButton(m_btnDefault, 318, 317, crMagenta);
    SkinButton(m_btnManage, 310, 319, crMagenta);
    return TRUE;
}

void CSchedulePage::OnPageShown()
{
    ShowTriggerText();
}

CScheduledTask* CSchedulePage::CreateScheduledTask()
{
    return new CScheduledTask;
}

void CSchedulePage::OnDefaultButton()
{
    m_list.ResetContent();
    OnDefaultSchedule();
    ShowTriggerText();
}

void CSchedulePage::OnDefaultSchedule()
{
    std::unique_ptr<CScheduledTask> pTask(CreateScheduledTask());
    WCHAR szProgram[520] = L"";
    ::GetModuleFileNameW(NULL, szProgram, 520);
    pTask->SetProgram(szProgram);
    pTask->SetParameters(L"");
    pTask->SetWorkingDirectory(CPathString(szProgram).GetDirectory(TRUE));
    pTask->SetComment(LangText(L"M_SCHEDULE_COMMENT"));
    pTask->SetFrequency(CScheduledTask::FREQ_WEEKLY);
    SYSTEMTIME stNow;
    ::GetLocalTime(&stNow);
    pTask->SetStartDateTime(stNow);

    HRESULT hr = E_FAIL;
    {
        CComScope com;
        if (com.IsUsable())
            hr = pTask->Save(m_pApp->m_strTaskName, FALSE);
    }
    if (hr == S_OK)
    {
        AfxMessageBox(LangText(L"M_SCHEDULE_DEFAULT"), MB_OK);
        return;
    }
    CString strCode;
    strCode.Format(L"0x%08lX", (unsigned long)hr);
    AfxMessageBox(LangText(L"M_SCHEDULE_FAILED", strCode), MB_OK | MB_ICONEXCLAMATION);
}

void CSchedulePage::ShowTriggerText()
{
    CComScope com;
    if (!com.IsUsable())
        return;
    CComPtrOf<ITask> task;
    if (FAILED(ActivateJob(m_pApp->m_strTaskName, task)))
        return;
    WORD wCount = 0;
    if (FAILED(task->GetTriggerCount(&wCount)))
        return;
    m_list.ResetContent();
    for (WORD i = 0; i < wCount; i++)
    {
        CComPtrOf<ITaskTrigger> trigger;
        TASK_TRIGGER data = {};
        data.cbTriggerSize = sizeof(data);
        if (SUCCEEDED(task->GetTrigger(i, trigger.Receive())) && SUCCEEDED(trigger->GetTrigger(&data)))
            m_list.AddString(FormatTrigger(data));
    }
}

void CSchedulePage::OnManageSchedule()
{
    {
        CComScope com;
        CComPtrOf<ITask> task;
        // No job: nothing to manage, and none is made here; say how to get one.
        if (!com.IsUsable() || FAILED(ActivateJob(m_pApp->m_strTaskName, task)))
        {
            AfxMessageBox(LangText(L"M_SCHEDULE_NO_TASK"), MB_OK | MB_ICONINFORMATION);
            return;
        }
        CComPtrOf<IProvideTaskPage> provider;
        HPROPSHEETPAGE hPage = NULL;
        if (SUCCEEDED(task->QueryInterface(IID_IProvideTaskPage, (void**)provider.Receive())))
        {
            task.Release();
            if (FAILED(provider->GetPage(TASKPAGE_SCHEDULE, TRUE, &hPage)))
                hPage = NULL;
            provider.Release();
        }
        if (hPage == NULL)
        {
            AfxMessageBox(LangText(L"M_SCHEDULE_NO_PAGE"), MB_OK | MB_ICONINFORMATION);
            return;
        }

        PROPSHEETHEADERW header = {};
        header.dwSize = PROPSHEETHEADERW_V1_SIZE;
        header.dwFlags = PSH_NOAPPLYNOW;
        CWnd* pMain = AfxGetMainWnd();
        header.hwndParent = pMain != NULL ? pMain->GetSafeHwnd() : m_hWnd;
        header.pszCaption = m_pApp->m_strTaskName;
        header.nPages = 1;
        header.nStartPage = 0;
        header.phpage = &hPage;
        ::PropertySheetW(&header);
    }
    ShowTriggerText();
}

CString CSchedulePage::FormatTrigger(const TASK_TRIGGER& trigger)
{
    CString strTime = TimeText(trigger), strDate = DateText(trigger), strText;
    switch (trigger.TriggerType)
    {
    case TASK_TIME_TRIGGER_ONCE:
        strText.Format(L"At %s on %s", (LPCWSTR)strTime, (LPCWSTR)strDate);
        return strText;
    case TASK_TIME_TRIGGER_DAILY:
        strText.Format(L"At %s %s, starting %s", (LPCWSTR)strTime,
                       (LPCWSTR)Every(trigger.Type.Daily.DaysInterval, L"day", L"days"), (LPCWSTR)strDate);
        return strText;
    case TASK_TIME_TRIGGER_WEEKLY:
    {
        // TASK_SUNDAY is bit 0; the locale numbers Monday 1 to Sunday 7.
        CString strDays;
        for (int nDay = 0; nDay < 7; nDay++)
        {
            if (!(trigger.Type.Weekly.rgfDaysOfTheWeek & (1 << nDay)))
                continue;
            WCHAR szName[32] = L"";
            ::GetLocaleInfoW(LOCALE_USER_DEFAULT, nDay == 0 ? LOCALE_SABBREVDAYNAME7 : LOCALE_SABBREVDAYNAME1 + nDay - 1,
                             szName, 32);
            if (!strDays.IsEmpty())
                strDays += L", ";
            strDays += szName;
        }
        strText.Format(L"At %s every %s of %s, starting %s", (LPCWSTR)strTime, (LPCWSTR)strDays,
                       (LPCWSTR)Every(trigger.Type.Weekly.WeeksInterval, L"week", L"weeks"), (LPCWSTR)strDate);
        return strText;
    }
    case TASK_TIME_TRIGGER_MONTHLYDATE:
    {
        CString strDays;
        for (int nDay = 0; nDay < 31; nDay++)
        {
            if (!(trigger.Type.MonthlyDate.rgfDays & (1UL << nDay)))
                continue;
            CString strDay;
            strDay.Format(L"%d", nDay + 1);
            strDays += strDays.IsEmpty() ? strDay : L", " + strDay;
        }
        strText.Format(L"At %s on day %s of every month, starting %s", (LPCWSTR)strTime, (LPCWSTR)strDays,
                       (LPCWSTR)strDate);
        return strText;
    }
    default:
        strText.Format(L"At %s, starting %s", (LPCWSTR)strTime, (LPCWSTR)strDate);
        return strText;
    }
}
