#pragma once
// A stand-in machine for the cases: every folder they ask for lies in a
// scratch folder, so no test reaches the real profile, TEMP or drives.
#include "privacy/EvidenceEnvironment.h"
#include <map>
#include <string>
#include <vector>

class CTestEvidenceEnvironment : public CEvidenceEnvironment
{
public:
    CTestEvidenceEnvironment() { SetEvidenceEnvironment(this); }
    ~CTestEvidenceEnvironment() override { SetEvidenceEnvironment(NULL); }

    BOOL GetShellFolder(int nCsidl, CString& strFolder) override
    {
        auto it = m_shellFolders.find(nCsidl);
        strFolder = it != m_shellFolders.end() ? it->second.c_str() : L"";
        if (strFolder.GetLength() > 3)
            strFolder.TrimRight(L'\\');
        return !strFolder.IsEmpty();
    }
    BOOL GetTempFolder(CString& strFolder) override
    {
        strFolder = m_strTemp.c_str();
        strFolder.TrimRight(L'\\');
        return !strFolder.IsEmpty();
    }
    BOOL GetWindowsFolder(CString& strFolder) override
    {
        strFolder = m_strWindows.c_str();
        strFolder.TrimRight(L'\\');
        return !strFolder.IsEmpty();
    }
    void GetFixedDriveRoots(CStringArray& arrRoots) override
    {
        arrRoots.RemoveAll();
        for (const std::wstring& strRoot : m_drives)
            arrRoots.Add(strRoot.c_str());
    }
    HRESULT ClearUrlHistory() override
    {
        ++m_nHistoryClears;
        return m_hrClearHistory;
    }

    std::map<int, std::wstring> m_shellFolders;
    std::wstring m_strTemp;
    std::wstring m_strWindows;
    std::vector<std::wstring> m_drives;
    HRESULT m_hrClearHistory = S_OK;
    int m_nHistoryClears = 0;
};
