#include "repair/Repair.h"
#include "repair/AutoBackup.h"
#include "repair/ScanLog.h"
#include "services/NtRegistry.h"
#include "services/RegHive.h"
#include "services/RegKeyTarget.h"
#include "services/RegistryLink.h"
#include "services/RegTreeDelete.h"
#include "services/RegistryVolatile.h"
#include "services/ScopedHandle.h"

#include <shlwapi.h>

const int g_nRepairWalkOrder[TAMSEL_CATEGORY_COUNT] = { 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 8 };

CArray<CRegProblem>& FoundListOf(CTamselApp* pApp, int nCategory)
{
    return pApp->m_arrProblems[CTamselApp::KeySlotOfCategory(nCategory)];
}

CArray<CRegProblem>& RepairListOf(CTamselApp* pApp, int nCategory)
{
    return pApp->m_arrRepair[CTamselApp::KeySlotOfCategory(nCategory)];
}

HKEY TrustedRecordHive(const CRegProblem& problem, CString& strCanonical)
{
    strCanonical.Empty();
    CString strKey = problem.m_strKey;
    strKey.TrimRight(L'\\');
    // An empty key would stand for the whole hive.
    if (strKey.IsEmpty() || strKey[0] == L'\\')
        return NULL;
    int nSlash = problem.m_strKeyPath.Find(L'\\');
    if (nSlash <= 0)
        return NULL;
    CString strHive = problem.m_strKeyPath.Left(nSlash);
    if (const RegHive* pHive = FindRegHive(strHive, REG_HIVE_COMMON, TRUE))
    {
        const RegHive& hive = *pHive;
        CString strPath = problem.m_strKeyPath;
        strPath.TrimRight(L'\\');
        if (strPath.Mid(nSlash + 1).CompareNoCase(strKey) != 0)
            return NULL;
        strCanonical = CString(hive.pszName) + L"\\" + strKey;
        return hive.hRoot;
    }
    return NULL;
}

HKEY RecordKeyLocation(const CRegProblem& problem, CString& strCanonical, REGSAM& samView)
{
    samView = 0;
    HKEY hRoot = TrustedRecordHive(problem, strCanonical);
    if (hRoot == NULL)
        return NULL;
    // The plain name plus the flag places a key of either view from either
    // build; the backup keeps the view beside the name.
    if (problem.m_samView != 0 && problem.m_samView != KEY_WOW64_32KEY && problem.m_samView != KEY_WOW64_64KEY)
    {
        strCanonical.Empty();
        return NULL;
    }
    samView = problem.m_samView;
    // A value of a key that is a link to the other view's key (Fonts in the
    // 32-bit view under Wine) is kept and removed where that key is itself:
    // the export leaves a link out, and the values live behind it anyway.
    if (problem.m_bValue == 1)
    {
        CString strPath = strCanonical.Mid(strCanonical.Find(L'\\') + 1);
        REGSAM samKey = ViewOfLinkedKey(hRoot, strPath, samView);
        if (samKey != samView)
            samView = samKey == OwnRegistryView() ? 0 : samKey;
    }
    return hRoot;
}

namespace {

void ValueLine(CRepairLog& log, const CRegProblem& problem, BOOL bSuccess)
{
    CString strTail = problem.m_strKeyPath + L" | " + problem.m_strValueName + L" : " + problem.m_strData;
    if (bSuccess)
        log.AddLine(L"Fixed Success: " + strTail);
    else
        log.AddLine(L"Fix Unsuccess: " + strTail, L"Fixed Unsuccess: " + strTail);
}

void KeyLine(CRepairLog& log, const CString& strKeyPath, BOOL bSuccess)
{
    if (bSuccess)
        log.AddLine(L"Fixed Success: " + strKeyPath);
    else
        log.AddLine(L"Fix Unsuccess: " + strKeyPath, L"Fixed Unsuccess: " + strKeyPath);
}

void FailLine(CRepairLog& log, const CRegProblem& problem)
{
    if (problem.m_bValue == 1)
        ValueLine(log, problem, FALSE);
    else
        KeyLine(log, problem.m_strKeyPath, FALSE);
}

// Why a key that is there must stay, as a language key ("" when it stays
// without a reason of its own); NULL when it may go.
LPCWSTR KeptKeyReason(HKEY hRoot, const CString& strPath, REGSAM samView)
{
    if (IsProtectedRegKey(hRoot, strPath, samView))
        return L"M_REPAIR_KEPT_PROTECTED";
    // Nothing can be made again below a volatile key; a key whose kind
    // cannot be told (one we may not add to) stays as well, as a key that
    // cannot be deleted does.
    RegKeyVolatility nVolatility = GetRegistryKeyVolatility(hRoot, strPath, samView);
    if (nVolatility == RegKeyVolatile)
        return L"M_REPAIR_KEPT_VOLATILE";
    return nVolatility == RegKeyLasting ? NULL : L"";
}

// The failure line of a key that stays, and the line that says why.
void KeptLines(CTamselApp* pApp, CRepairLog& log, const CRegProblem& problem, LPCWSTR pszReason)
{
    KeyLine(log, problem.m_strKeyPath, FALSE);
    if (pszReason[0] == L'\0')
        return;
    CString strReason = pApp->GetLangString(pszReason);
    strReason.Replace(L"%s", problem.m_strKeyPath);
    if (!strReason.IsEmpty())
        log.AddLine(strReason);
}

// Deletes a key record's key with its tree, or says why it stays.
BOOL RepairKey(CTamselApp* pApp, const CRegProblem& problem, HKEY hRoot, const CString& strPath, REGSAM samView,
               CRepairLog& log)
{
    CRegKeyHandle key;
    LPCWSTR pszReason = NULL;
    if (::RegOpenKeyExW(hRoot, strPath, 0, KEY_QUERY_VALUE | samView, key.Receive()) == ERROR_SUCCESS)
        pszReason = KeptKeyReason(hRoot, strPath, samView);
    key.Close();
    if (pszReason != NULL)
    {
        KeptLines(pApp, log, problem, pszReason);
        return FALSE;
    }
    const BOOL bDeleted = DeleteRegTree(hRoot, strPath, samView, NULL) == ERROR_SUCCESS;
    KeyLine(log, problem.m_strKeyPath, bDeleted);
    return bDeleted;
}

// A record of the other registry view: its key is opened, and deleted, in
// that view only.
BOOL RepairRecordInView(CTamselApp* pApp, const CRegProblem& problem, HKEY hRoot, const CString& strPath,
                        REGSAM samView, CRepairLog& log)
{
    if (problem.m_bValue == 1)
    {
        HKEY hKey = NULL;
        BOOL bDeleted = FALSE;
        if (::RegOpenKeyExW(hRoot, strPath, 0, KEY_SET_VALUE | samView, &hKey) == ERROR_SUCCESS)
        {
            bDeleted = ::RegDeleteValueW(hKey, problem.m_strValueName) == ERROR_SUCCESS;
            ::RegCloseKey(hKey);
        }
        ValueLine(log, problem, bDeleted);
        return bDeleted;
    }
    return RepairKey(pApp, problem, hRoot, strPath, samView, log);
}

// TRUE when the record's registry entry was removed by this call.
BOOL RepairRegistryRecord(CTamselApp* pApp, const CRegProblem& problem, const CAutoBackup& backup, CRepairLog& log)
{
    CString strCanonical;
    REGSAM samView = 0;
    HKEY hRoot = RecordKeyLocation(problem, strCanonical, samView);
    // A key that is a link itself is not in the backup either.
    if (hRoot != NULL && problem.m_bValue != 1 && backup.HoldsLinkLeftOut(strCanonical, samView))
    {
        KeptLines(pApp, log, problem, L"M_REPAIR_KEPT_LINK");
        return FALSE;
    }
    if (hRoot != NULL && samView != 0)
    {
        if (!backup.IsKeyCovered(strCanonical, samView))
        {
            FailLine(log, problem);
            return FALSE;
        }
        CString strPath = strCanonical.Mid(strCanonical.Find(L'\\') + 1);
        return RepairRecordInView(pApp, problem, hRoot, strPath, samView, log);
    }
    CNtRegistry reg;
    if (hRoot == NULL || !backup.IsKeyCovered(strCanonical, 0) || !reg.SetKey(hRoot, problem.m_strKey, FALSE, TRUE))
    {
        FailLine(log, problem);
        return FALSE;
    }
    if (problem.m_bValue == 1)
    {
        BOOL bDeleted = reg.DeleteValue(problem.m_strValueName);
        ValueLine(log, problem, bDeleted);
        return bDeleted;
    }
    CString strKey = problem.m_strKey;
    strKey.TrimRight(L'\\');
    return RepairKey(pApp, problem, hRoot, strKey, 0, log);
}

// TRUE when the file is gone or will go at the next start of Windows.
BOOL RepairShortcut(const CRegProblem& problem, BOOL bCovered, CRepairLog& log, BOOL& bMissing)
{
    const CString& strPath = problem.m_strKeyPath;
    DWORD dwAttributes = GetFileAttributesW(strPath);
    bMissing = dwAttributes == INVALID_FILE_ATTRIBUTES;
    if (bMissing)
        return FALSE;
    if (!bCovered || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        KeyLine(log, strPath, FALSE);
        return FALSE;
    }
    if (dwAttributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(strPath, dwAttributes & ~FILE_ATTRIBUTE_READONLY);
    // Logged as a removed key is: the path alone.
    BOOL bRemoved = DeleteFileW(strPath) || MoveFileExW(strPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    KeyLine(log, strPath, bRemoved);
    return bRemoved;
}

} // namespace

BOOL RepairSelectedProblems(CTamselApp* pApp, const CAutoBackup& backup, CRepairLog& log,
                            int nCleaned[TAMSEL_CATEGORY_COUNT], const std::atomic<bool>* pbStop)
{
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        nCleaned[i] = 0;
    for (int nCategory : g_nRepairWalkOrder)
    {
        CArray<CRegProblem>& list = RepairListOf(pApp, nCategory);
        INT_PTR nCount = list.GetSize();
        for (INT_PTR i = 0; i < nCount; i++)
        {
            // The stop is seen between two records only: the key tree, value
            // or file being deleted goes whole, never half, and the backup
            // holds it either way.
            if (pbStop != NULL && pbStop->load())
                return FALSE;
            BOOL bRemoved = FALSE;
            if (nCategory == SHORTCUT_CATEGORY)
            {
                BOOL bMissing = FALSE;
                bRemoved = RepairShortcut(list[i], backup.IsShortcutCovered(i), log, bMissing);
            }
            else
                bRemoved = RepairRegistryRecord(pApp, list[i], backup, log);
            if (bRemoved)
                nCleaned[nCategory - 1]++;
        }
    }
    return TRUE;
}

BOOL WriteScanStatistics(CTamselApp* pApp, const CString& strStamp, const int nErrors[TAMSEL_CATEGORY_COUNT],
                         const int nCleaned[TAMSEL_CATEGORY_COUNT])
{
    pApp->m_strLastScanTime = strStamp;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        pApp->m_nErrors[i] = nErrors[i];
        pApp->m_nCleaned[i] = nCleaned[i];
    }
    CScanLog log(pApp->m_strSettingsFile);
    log.m_strLastScanTime = strStamp;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        log.m_nErrors[i] = nErrors[i];
        log.m_nCleaned[i] = nCleaned[i];
    }
    return log.Write();
}
