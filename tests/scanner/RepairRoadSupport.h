#pragma once
// What the scan-to-repair tests share: the application object's lists and
// program folder set aside for one test, and a repair log kept in memory.
#include "app/TamselApp.h"
#include "repair/Repair.h"
#include <string>
#include <vector>

namespace scantest {

class CLinesLog : public CRepairLog
{
public:
    void AddLine(const CString& strLog, const CString&) override { m_arrLines.push_back(strLog.Str()); }
    using CRepairLog::AddLine;
    std::vector<std::wstring> m_arrLines;
};

// The application object's program folder and lists, put back afterwards.
class AppLists
{
public:
    explicit AppLists(const std::wstring& strFolder) : m_pApp(static_cast<CTamselApp*>(AfxGetApp()))
    {
        m_strAppDir = m_pApp->m_strAppDir;
        m_pApp->m_strAppDir = strFolder.c_str();
        Clear();
    }
    ~AppLists()
    {
        Clear();
        m_pApp->m_strAppDir = m_strAppDir;
    }
    void Clear()
    {
        for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        {
            m_pApp->m_arrProblems[i].RemoveAll();
            m_pApp->m_arrRepair[i].RemoveAll();
        }
    }
    CTamselApp* m_pApp;
    CString m_strAppDir;
};

} // namespace scantest
