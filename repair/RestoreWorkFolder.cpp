#include "repair/RestoreWorkFolder.h"
#include "framework/Lock.h"
#include "services/DiskObject.h"
#include "services/ScopedHandle.h"

#include <vector>

namespace {

const wchar_t kNamePrefix[] = L"~Restore";

// The work folders that objects of this process hold.
CAfxLock s_liveLock;
std::vector<CString> s_arrLive;

bool IsLive(const CString& strPath)
{
    CAfxLockGuard guard(s_liveLock);
    for (const CString& strLive : s_arrLive)
    {
        if (strLive.CompareNoCase(strPath) == 0)
            return true;
    }
    return false;
}

// Reads one run of hex digits ended by chEnd; FALSE when there is none.
bool ReadHexField(LPCWSTR& psz, wchar_t chEnd, DWORD& dwValue)
{
    dwValue = 0;
    int nDigits = 0;
    for (; *psz != chEnd; ++psz, ++nDigits)
    {
        wchar_t ch = *psz;
        int nDigit = ch >= L'0' && ch <= L'9' ? ch - L'0' : ch >= L'a' && ch <= L'f' ? ch - L'a' + 10 : -1;
        if (nDigit < 0 || nDigits >= 8)
            return false;
        dwValue = dwValue * 16 + (DWORD)nDigit;
    }
    return nDigits > 0;
}

// The process of a name "~Restore<pid>-<tick>-<count>" that Create makes; 0
// for any other name, which is never touched.
DWORD ProcessOfName(LPCWSTR pszName)
{
    if (wcsncmp(pszName, kNamePrefix, ARRAYSIZE(kNamePrefix) - 1) != 0)
        return 0;
    LPCWSTR psz = pszName + ARRAYSIZE(kNamePrefix) - 1;
    DWORD dwProcess = 0, dwOther = 0;
    if (!ReadHexField(psz, L'-', dwProcess) || !ReadHexField(++psz, L'-', dwOther) || !ReadHexField(++psz, 0, dwOther))
        return 0;
    return dwProcess;
}

// A process that cannot be asked is taken as running: its folder stays.
bool IsProcessRunning(DWORD dwProcess)
{
    HANDLE hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, dwProcess);
    if (hProcess == NULL)
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    bool bRunning = ::WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT;
    ::CloseHandle(hProcess);
    return bRunning;
}

} // namespace

CRestoreWorkFolder::~CRestoreWorkFolder()
{
    // What will not go now is left over for the next Create.
    if (!Remove())
        Release();
}

BOOL CRestoreWorkFolder::ClearLeftovers(const CString& strParent, const std::atomic<bool>* pbStop)
{
    CStringArray arrFolders;
    WIN32_FIND_DATAW fd;
    {
        CFindHandle find(::FindFirstFileW(strParent + kNamePrefix + L"*", &fd));
        if (!find.IsValid())
            return TRUE;
        do
        {
            if (pbStop != nullptr && pbStop->load())
                return FALSE;
            // Only a real folder of such a name; a link is never walked.
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            {
                DWORD dwProcess = ProcessOfName(fd.cFileName);
                CString strPath = strParent + fd.cFileName + L"\\";
                bool bInUse = dwProcess == ::GetCurrentProcessId() ? IsLive(strPath) : IsProcessRunning(dwProcess);
                if (dwProcess != 0 && !bInUse)
                    arrFolders.Add(strPath);
            }
        } while (::FindNextFileW(find, &fd));
    }
    BOOL bAll = TRUE;
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        CDiskObject disk;
        disk.SetStopFlag(pbStop);
        if (!disk.RemoveDirectoryTree(arrFolders[i]))
        {
            bAll = FALSE;
            if (disk.IsStopped())
                break;
        }
    }
    return bAll;
}

BOOL CRestoreWorkFolder::Create(const CString& strParent)
{
    Remove();
    if (strParent.IsEmpty())
        return FALSE;
    CString strBase = strParent;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    // Cleared here, where it costs the user nothing: a restore that was
    // stopped left the rest of its folder behind rather than wait for it.
    ClearLeftovers(strBase, m_pbStop);
    if (m_pbStop != nullptr && m_pbStop->load())
        return FALSE;
    static LONG s_nCounter = 0;
    for (int nTry = 0; nTry < 100; nTry++)
    {
        CString strPath;
        strPath.Format(L"%s%s%lx-%lx-%lx\\", (LPCWSTR)strBase, kNamePrefix, (unsigned long)::GetCurrentProcessId(),
                       (unsigned long)::GetTickCount(), (unsigned long)::InterlockedIncrement(&s_nCounter));
        // Fails when anything of that name exists: only a folder made here is ours.
        if (::CreateDirectoryW(strPath, NULL))
        {
            m_strPath = strPath;
            CAfxLockGuard guard(s_liveLock);
            s_arrLive.push_back(strPath);
            return TRUE;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return FALSE;
    }
    return FALSE;
}

void CRestoreWorkFolder::Release()
{
    CAfxLockGuard guard(s_liveLock);
    for (size_t i = 0; i < s_arrLive.size(); i++)
    {
        if (s_arrLive[i] == m_strPath)
        {
            s_arrLive.erase(s_arrLive.begin() + (ptrdiff_t)i);
            break;
        }
    }
    m_strPath.Empty();
}

BOOL CRestoreWorkFolder::Remove()
{
    if (m_strPath.IsEmpty())
        return TRUE;
    CDiskObject disk;
    disk.SetStopFlag(m_pbStop);
    BOOL bGone = disk.RemoveDirectoryTree(m_strPath) || ::GetFileAttributesW(m_strPath) == INVALID_FILE_ATTRIBUTES;
    // After a stop the rest stays for the next Create to clear: no longer
    // held, it counts as left over.
    if (bGone || disk.IsStopped())
        Release();
    return bGone;
}
