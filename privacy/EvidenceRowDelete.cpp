// The page's Delete of one selected result row.
#include "privacy/EvidenceEngine.h"
#include "privacy/FolderGuard.h"
#include "services/RegHive.h"
#include "services/ScopedHandle.h"

namespace {

BOOL IsGone(DWORD dwError)
{
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

BOOL DeleteFileRow(const EvidenceRow& row)
{
    if (!IsAbsoluteTraceFolder(row.strLocation) || !IsPlainFileName(row.strName))
        return FALSE;
    CString strPath = row.strLocation + row.strName;
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES)
        return IsGone(::GetLastError());
    // A row names a file; a folder or link of that name is not the row's.
    if (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return FALSE;
    if (::DeleteFileW(strPath))
        return TRUE;
    return IsGone(::GetLastError());
}

BOOL DeleteRegistryRow(const EvidenceRow& row)
{
    int nSlash = row.strLocation.Find(L'\\');
    if (nSlash <= 0)
        return FALSE;
    HKEY hRoot = EvidenceRootFromName(row.strLocation.Left(nSlash));
    CString strPath = row.strLocation.Mid(nSlash + 1);
    if (hRoot == NULL || strPath.IsEmpty())
        return FALSE;
    CRegKeyHandle key;
    LONG nResult = ::RegOpenKeyExW(hRoot, strPath, 0, KEY_SET_VALUE, key.Receive());
    if (nResult != ERROR_SUCCESS)
        return nResult == ERROR_FILE_NOT_FOUND;
    nResult = ::RegDeleteValueW(key, row.strName);
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
}

} // namespace

HKEY EvidenceRootFromName(const CString& strRootName)
{
    const RegHive* pHive = FindRegHive(strRootName, REG_HIVE_WITH_CONFIG);
    return pHive != NULL ? pHive->hRoot : NULL;
}

BOOL DeleteEvidenceRow(const EvidenceRow& row)
{
    return row.nKind == EVIDENCE_ROW_REGISTRY ? DeleteRegistryRow(row) : DeleteFileRow(row);
}
