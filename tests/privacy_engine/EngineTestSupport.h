#pragma once
// Helpers of the engine tests: a sink and a report that record, registry
// values planted and put back, files planted, and the host's view of a folder.
#include "privacy/EvidenceEngine.h"
#include <set>
#include <string>
#include <vector>

class CRecordingSink : public CEvidenceListSink
{
public:
    void OnRow(CEvidenceItem*, const EvidenceRow& row) override
    {
        m_rows.push_back(row);
        if (m_nStopAfter > 0 && (int)m_rows.size() >= m_nStopAfter)
            m_bStop = TRUE;
    }
    BOOL IsStopRequested() override { return m_bStop; }
    // "location|name" of every row, in order.
    std::vector<std::wstring> Lines() const;

    std::vector<EvidenceRow> m_rows;
    int m_nStopAfter = 0;
    BOOL m_bStop = FALSE;
};

class CCountingReport : public CEvidenceCleanReport
{
public:
    void AddDeleted(int nCount) override { m_nDeleted += nCount; ++m_nDeletedCalls; }
    void AddUndeleted() override { ++m_nUndeleted; }
    void AddScheduled() override
    {
        ++m_nScheduled;
        ++m_nUndeleted;
    }
    int m_nDeleted = 0;
    int m_nDeletedCalls = 0;
    int m_nUndeleted = 0;
    int m_nScheduled = 0;
};

// Values planted in the live registry, put back (or removed with the keys
// they needed) when it goes.
class CPlantedRegistry
{
public:
    CPlantedRegistry() {}
    ~CPlantedRegistry();
    void SetText(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, const std::wstring& strText,
                 DWORD dwType = REG_SZ);
    void SetBytes(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, DWORD dwType,
                  const void* pData, DWORD nBytes);
    // Removes the value for the test (put back afterwards).
    void Remove(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName);
    CPlantedRegistry(const CPlantedRegistry&) = delete;
    CPlantedRegistry& operator=(const CPlantedRegistry&) = delete;

private:
    struct Saved
    {
        HKEY hRoot;
        std::wstring strPath, strName;
        bool bExisted;
        DWORD dwType;
        std::vector<BYTE> data;
    };
    void Save(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName);
    std::vector<Saved> m_saved;
    // Keys that did not exist before, outermost first.
    std::vector<std::pair<HKEY, std::wstring>> m_created;
};

// Writes a small file, creating its folders.
void PlantFile(const std::wstring& strPath, const std::string& strBytes = "x");
bool FileExists(const std::wstring& strPath);
bool FolderExists(const std::wstring& strPath);
// The Linux path of a Windows path, no slash at its end; empty when there is none.
std::string UnixPathOf(const std::wstring& strPath);
// Runs a host command and returns its output lines (sorted); FALSE when the
// host shell did not run it.
// A fresh file name in %TEMP% for a host command's output.
std::wstring HostOutputFile();
bool HostLines(const std::string& strCommand, std::set<std::string>& lines);
std::string Narrow(const std::wstring& str);
// The value that delayed deletes write; cleared by ClearPendingRenames.
std::vector<std::wstring> PendingRenames();
void ClearPendingRenames();
