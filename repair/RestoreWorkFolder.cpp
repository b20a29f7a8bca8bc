#include "repair/RestoreWorkFolder.h"
#include "services/DiskObject.h"

BOOL CRestoreWorkFolder::Create(const CString& strParent)
{
    Remove();
    if (strParent.IsEmpty())
        return FALSE;
    CString strBase = strParent;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    static LONG s_nCounter = 0;
    for (int nTry = 0; nTry < 100; nTry++)
    {
        CString strPath;
        strPath.Format(L"%s~Restore%lx-%lx-%lx\\", (LPCWSTR)strBase, (unsigned long)::GetCurrentProcessId(),
                       (unsigned long)::GetTickCount(), (unsigned long)::InterlockedIncrement(&s_nCounter));
        // Fails when anything of that name exists: only a folder made here is ours.
        if (::CreateDirectoryW(strPath, NULL))
        {
            m_strPath = strPath;
            return TRUE;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return FALSE;
    }
    return FALSE;
}

BOOL CRestoreWorkFolder::Remove()
{
    if (m_strPath.IsEmpty())
        return TRUE;
    CDiskObject disk;
    BOOL bGone = disk.RemoveDirectoryTree(m_strPath) || ::GetFileAttributesW(m_strPath) == INVALID_FILE_ATTRIBUTES;
    if (bGone)
        m_strPath.Empty();
    return bGone;
}
