#pragma once
// A job of the Task Scheduler (version 1.0 interfaces) that starts a program
// once, daily, weekly or monthly. The calling thread must have COM initialised.
#include "framework/Afx.h"
#include "framework/Time.h"

class CScheduledTask
{
public:
    enum Frequency
    {
        FREQ_NONE = 0,
        FREQ_ONCE = 1,
        FREQ_DAILY = 2,
        FREQ_WEEKLY = 3,
        FREQ_MONTHLY = 4,
    };

    CScheduledTask();
    virtual ~CScheduledTask() {}

    void Clear();

    // Seconds and milliseconds are dropped.
    void SetStartDateTime(const SYSTEMTIME& time);
    // An invalid value leaves the start unset.
    void SetStartDateTime(const COleDateTime& time);
    BOOL GetStartDateTime(SYSTEMTIME& time) const;
    // Only year, month and day are kept.
    void SetEndDate(const SYSTEMTIME& date);
    void SetEndDate(const COleDateTime& date);
    BOOL GetEndDate(SYSTEMTIME& date) const;
    void SetFrequency(int nFrequency) { m_nFrequency = nFrequency; }
    int GetFrequency() const { return m_nFrequency; }

    void SetProgram(LPCWSTR pszProgram) { m_strProgram = pszProgram; }
    CString GetProgram() const { return m_strProgram; }
    void SetParameters(LPCWSTR pszParameters) { m_strParameters = pszParameters; }
    CString GetParameters() const { return m_strParameters; }
    void SetWorkingDirectory(LPCWSTR pszFolder) { m_strWorkingDirectory = pszFolder; }
    CString GetWorkingDirectory() const { return m_strWorkingDirectory; }
    void SetComment(LPCWSTR pszComment) { m_strComment = pszComment; }
    CString GetComment() const { return m_strComment; }
    // Kept for the caller; the job does not use them.
    void SetUserText(LPCWSTR pszFirst, LPCWSTR pszSecond) { m_strUserText1 = pszFirst; m_strUserText2 = pszSecond; }
    void GetUserText(CString& strFirst, CString& strSecond) const { strFirst = m_strUserText1; strSecond = m_strUserText2; }

    // S_OK when the job was written. An existing job of that name is replaced,
    // or, with bFailIfExists, left alone and HRESULT_FROM_WIN32(ERROR_FILE_EXISTS)
    // returned.
    HRESULT Save(LPCWSTR pszJobName, BOOL bFailIfExists);
    static HRESULT Delete(LPCWSTR pszJobName);

protected:
    // The account the job runs under on NT systems.
    virtual HRESULT GetAccountName(CString& strName) const;

private:
    HRESULT FillTrigger(struct _TASK_TRIGGER& trigger) const;

    SYSTEMTIME m_stStart;
    SYSTEMTIME m_stEnd;
    int m_nFrequency;
    CString m_strProgram;
    CString m_strParameters;
    CString m_strWorkingDirectory;
    CString m_strUserText1;
    CString m_strUserText2;
    CString m_strComment;
    BOOL m_bNT;
};
