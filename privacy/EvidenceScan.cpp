// Listing: what exists of a trace, as rows for the result list.
#include "privacy/EvidenceEngine.h"
#include "privacy/EvidenceFileRule.h"
#include "services/ScopedHandle.h"

namespace {

// Value names may have 16383 characters, key names 255.
const DWORD kMaxValueName = 16383;
const DWORD kMaxKeyName = 255;

class CTraceLister
{
public:
    CTraceLister(CEvidenceItem* pItem, const EvidenceTrace& trace, CEvidenceListSink& sink)
        : m_pItem(pItem), m_trace(trace), m_sink(sink)
    {
    }

    int ListRegistry()
    {
        CString strRootName = m_trace.szRootName;
        if (strRootName.IsEmpty())
            return 0;
        if (m_trace.IsWholeKey())
            ListKey(m_trace.szPath);
        else
            ListValue();
        return m_nFound;
    }

    int ListFolder()
    {
        if (!IsFolderTraceUsable(m_trace))
            return 0;
        if (m_trace.nMode == EVIDENCE_MODE_NAME)
            ListNamedFile();
        else
            Walk(m_trace.szPath);
        return m_nFound;
    }

private:
    BOOL Stopped()
    {
        if (!m_bStopped && m_sink.IsStopRequested())
            m_bStopped = TRUE;
        return m_bStopped;
    }

    void Row(const CString& strName, const CString& strLocation, int nKind)
    {
        EvidenceRow row;
        row.strName = strName;
        row.strLocation = strLocation;
        row.nKind = nKind;
        m_sink.OnRow(m_pItem, row);
        ++m_nFound;
    }

    void ListValue()
    {
        CRegKeyHandle key;
        if (::RegOpenKeyExW(m_trace.hRootKey, m_trace.szPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return;
        if (::RegQueryValueExW(key, m_trace.szName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS)
            Row(m_trace.szName, CString(m_trace.szRootName) + m_trace.szPath, EVIDENCE_ROW_REGISTRY);
    }

    // The subkeys' values first, deepest first, then the key's own.
    void ListKey(const CString& strPath)
    {
        CRegKeyHandle key;
        if (::RegOpenKeyExW(m_trace.hRootKey, strPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return;
        // One name buffer for the whole walk: each name is copied before going deeper.
        std::vector<wchar_t>& name = m_name;
        for (DWORD nIndex = 0; !Stopped(); ++nIndex)
        {
            DWORD nLength = kMaxKeyName + 1;
            LONG nResult = ::RegEnumKeyExW(key, nIndex, name.data(), &nLength, NULL, NULL, NULL, NULL);
            if (nResult == ERROR_MORE_DATA)
                continue;
            if (nResult != ERROR_SUCCESS)
                break;
            ListKey(strPath + L"\\" + CString(name.data(), (int)nLength));
        }
        CString strLocation = CString(m_trace.szRootName) + strPath;
        for (DWORD nIndex = 0; !Stopped(); ++nIndex)
        {
            DWORD nLength = (DWORD)name.size();
            LONG nResult = ::RegEnumValueW(key, nIndex, name.data(), &nLength, NULL, NULL, NULL, NULL);
            if (nResult == ERROR_MORE_DATA)
                continue;
            if (nResult != ERROR_SUCCESS)
                break;
            Row(CString(name.data(), (int)nLength), strLocation, EVIDENCE_ROW_REGISTRY);
        }
    }

    // A name trace looks at that one file in its folder and nothing below.
    void ListNamedFile()
    {
        WIN32_FIND_DATAW data = {};
        CFindHandle find(::FindFirstFileW(CString(m_trace.szPath) + m_trace.szName, &data));
        if (!find.IsValid())
            return;
        do
        {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsReparseEntry(data.dwFileAttributes) &&
                EvidenceFileMatches(m_trace, data.cFileName))
                Row(data.cFileName, m_trace.szPath, EVIDENCE_ROW_FILE);
        } while (!Stopped() && ::FindNextFileW(find, &data));
    }

    void Walk(const CString& strFolder)
    {
        // Seen before each folder is opened too: a stopped walk goes no deeper.
        if (Stopped())
            return;
        WIN32_FIND_DATAW data = {};
        CFindHandle find(::FindFirstFileW(strFolder + L"*.*", &data));
        if (!find.IsValid())
            return;
        do
        {
            if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
                continue;
            if (IsReparseEntry(data.dwFileAttributes))
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Walk(strFolder + data.cFileName + L"\\");
            else if (EvidenceFileMatches(m_trace, data.cFileName))
                Row(data.cFileName, strFolder, EVIDENCE_ROW_FILE);
        } while (!Stopped() && ::FindNextFileW(find, &data));
    }

    CEvidenceItem* m_pItem;
    const EvidenceTrace& m_trace;
    CEvidenceListSink& m_sink;
    int m_nFound = 0;
    BOOL m_bStopped = FALSE;
    std::vector<wchar_t> m_name = std::vector<wchar_t>(kMaxValueName + 1, L'\0');
};

} // namespace

int ListEvidenceTrace(CEvidenceItem* pItem, const EvidenceTrace& trace, CEvidenceListSink& sink)
{
    CTraceLister lister(pItem, trace, sink);
    return trace.IsRegistry() ? lister.ListRegistry() : lister.ListFolder();
}
