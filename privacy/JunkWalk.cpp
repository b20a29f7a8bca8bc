#include "privacy/JunkWalk.h"
#include "services/ScopedHandle.h"

CJunkWalker::CJunkWalker(const CJunkMatcher& matcher, HANDLE hStop, RowSink sink, size_t nBatch)
    : m_matcher(matcher), m_hStop(hStop), m_sink(std::move(sink)), m_nBatch(nBatch > 0 ? nBatch : 1),
      m_dwLastFlush(GetTickCount()), m_nSincePoll(0), m_nFound(0), m_bStopped(FALSE)
{
}

BOOL CJunkWalker::PollStop()
{
    if (!m_bStopped && m_hStop != NULL && ::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0)
        m_bStopped = TRUE;
    return m_bStopped;
}

void CJunkWalker::Flush()
{
    m_dwLastFlush = GetTickCount();
    if (m_batch.empty())
        return;
    if (m_sink)
        m_sink(m_batch);
    m_batch.clear();
}

std::wstring JunkApiPath(const std::wstring& strPath)
{
    if (strPath.size() < MAX_PATH - 12 || strPath.compare(0, 4, L"\\\\?\\") == 0)
        return strPath;
    if (strPath.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + strPath.substr(2);
    return L"\\\\?\\" + strPath;
}

BOOL CJunkWalker::Walk(const std::wstring& strRoot)
{
    std::wstring strStart = strRoot;
    if (strStart.empty())
        return TRUE;
    if (strStart.back() != L'\\')
        strStart += L'\\';
    // Pending folders, deepest last: each folder's files come before its subfolders'.
    std::vector<std::wstring> pending(1, strStart);
    std::vector<std::wstring> children;
    while (!pending.empty() && !PollStop())
    {
        std::wstring strFolder = std::move(pending.back());
        pending.pop_back();
        children.clear();
        WIN32_FIND_DATAW fd;
        CFindHandle hFind(::FindFirstFileW(JunkApiPath(strFolder + L"*").c_str(), &fd));
        if (!hFind.IsValid())
            continue;
        do
        {
            // A zero-wait poll is a server round trip under Wine: not for every entry.
            if (++m_nSincePoll >= 32)
            {
                m_nSincePoll = 0;
                if (PollStop())
                    break;
            }
            const wchar_t* pszName = fd.cFileName;
            if (pszName[0] == L'.' && (pszName[1] == 0 || (pszName[1] == L'.' && pszName[2] == 0)))
                continue;
            // Links and junctions are neither entered nor listed.
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            {
                children.push_back(strFolder + pszName + L'\\');
                continue;
            }
            if (m_matcher.Match(pszName) >= 0)
            {
                m_batch.push_back(JunkFileRow{pszName, strFolder});
                m_nFound++;
            }
            // Rows found wait at most a tenth of a second, also in a long stretch of misses.
            if (!m_batch.empty() && (m_batch.size() >= m_nBatch || GetTickCount() - m_dwLastFlush >= 100))
                Flush();
        } while (::FindNextFileW(hFind, &fd));
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    Flush();
    return !m_bStopped;
}

namespace {
JUNK_DRIVE_LIST_FN g_pfnDriveList = NULL;
}

std::vector<std::wstring> SystemFixedDrives()
{
    std::vector<std::wstring> drives;
    wchar_t szList[1024 + 1] = {0};
    DWORD nLength = ::GetLogicalDriveStringsW(1024, szList);
    if (nLength == 0 || nLength > 1024)
        return drives;
    for (const wchar_t* p = szList; *p != 0; p += wcslen(p) + 1)
    {
        if (::GetDriveTypeW(p) == DRIVE_FIXED)
            drives.push_back(p);
    }
    return drives;
}

std::vector<std::wstring> GetJunkScanDrives()
{
    return g_pfnDriveList != NULL ? g_pfnDriveList() : SystemFixedDrives();
}

JUNK_DRIVE_LIST_FN SetJunkDriveListFunction(JUNK_DRIVE_LIST_FN pfn)
{
    JUNK_DRIVE_LIST_FN pfnOld = g_pfnDriveList;
    g_pfnDriveList = pfn;
    return pfnOld;
}

BOOL NormalizeJunkScanFolder(LPCWSTR lpszText, CString& strFolder)
{
    strFolder.Empty();
    if (lpszText == NULL)
        return FALSE;
    std::wstring str(lpszText);
    bool bDrive = str.size() >= 3 && ((str[0] >= L'A' && str[0] <= L'Z') || (str[0] >= L'a' && str[0] <= L'z'))
                  && str[1] == L':' && str[2] == L'\\';
    bool bShare = str.size() >= 5 && str[0] == L'\\' && str[1] == L'\\' && str[2] != L'\\' && str[2] != L'?'
                  && str[2] != L'.' && str.find(L'\\', 2) != std::wstring::npos;
    if (!bDrive && !bShare)
        return FALSE;
    if (str.find_first_of(L"*?\"<>|") != std::wstring::npos)
        return FALSE;
    DWORD dwAttr = ::GetFileAttributesW(JunkApiPath(str).c_str());
    if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY))
        return FALSE;
    if (str.back() != L'\\')
        str += L'\\';
    strFolder = str.c_str();
    return TRUE;
}

BOOL DeleteJunkFile(const std::wstring& strFolder, const std::wstring& strName)
{
    if (strName.empty() || strFolder.empty() || strName.find_first_of(L"\\/") != std::wstring::npos)
        return FALSE;
    std::wstring strPath = JunkApiPath(strFolder + strName);
    DWORD dwAttr = ::GetFileAttributesW(strPath.c_str());
    if (dwAttr == INVALID_FILE_ATTRIBUTES || (dwAttr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return FALSE;
    BOOL bCleared = FALSE;
    if (dwAttr & FILE_ATTRIBUTE_READONLY)
    {
        DWORD dwWritable = dwAttr & ~FILE_ATTRIBUTE_READONLY;
        bCleared = ::SetFileAttributesW(strPath.c_str(), dwWritable != 0 ? dwWritable : FILE_ATTRIBUTE_NORMAL);
    }
    if (::DeleteFileW(strPath.c_str()))
        return TRUE;
    // Left as it was found.
    if (bCleared)
        ::SetFileAttributesW(strPath.c_str(), dwAttr);
    return FALSE;
}
