#pragma once
// The scheduling page: creates the default weekly Task Scheduler job that
// starts the program, opens the job's own schedule page, and lists the job's
// schedule.
#include "repair/BackupPage.h"
#include "controls/skin/ButtonST.h"
#include "framework/ListBox.h"

#include <mstask.h>

class CScheduledTask;

class CSchedulePage : public CBackupPage
{
public:
    CSchedulePage();
    virtual ~CSchedulePage();

    void OnDefaultSchedule();
    void OnManageSchedule();
    void ShowTriggerText();
    // The list line of one trigger (the system's own text is not offered
    // everywhere).
    static CString FormatTrigger(const TASK_TRIGGER& trigger);

    CListBox m_list;
    CButtonST m_btnManage;
    CButtonST m_btnDefault;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnPageShown();
    // The job writer (the tests give one whose account fails).
    virtual CScheduledTask* CreateScheduledTask();

    afx_msg void OnDefaultButton();

    DECLARE_MESSAGE_MAP()
};
