#include "repair/BackupList.h"
#include "repair/BackupStamp.h"
#include "app/TamselApp.h"
#include "services/ScopedHandle.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

void FindBackups(const CString& strFolder, CStringArray& arrFiles)
{
    CString strBase = strFolder;
    if (strBase.IsEmpty())
        return;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";

    std::vector<CString> found;
    WIN32_FIND_DATAW fd;
    CFindHandle hFind(::FindFirstFileW(strBase + L"*.*", &fd));
    if (!hFind.IsValid())
        return;
    do
    {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CString strName = fd.cFileName;
        int nDot = strName.ReverseFind(L'.');
        if (nDot < 0)
            continue;
        CString strExt = strName.Mid(nDot);
        strExt.MakeLower();
        if (strExt == L".zip")
            found.push_back(strName);
    } while (::FindNextFileW(hFind, &fd));

    // The file system's order differs between systems: stamps sort by name.
    std::sort(found.begin(), found.end(),
              [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    for (const CString& strName : found)
        arrFiles.Add(strBase + strName);
}

CString BackupRowName(const CString& strPath)
{
    CString strName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    return strName.Left(std::max(0, strName.GetLength() - 4));
}

void SetupBackupList(CListCtrl& list)
{
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    HWND hHeader = (HWND)::SendMessageW(list.m_hWnd, LVM_GETHEADER, 0, 0);
    if (hHeader != NULL)
        ::SetWindowLongPtrW(hHeader, GWL_STYLE, ::GetWindowLongPtrW(hHeader, GWL_STYLE) | HDS_BUTTONS | HDS_HOTTRACK);
    list.DeleteAllItems();
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 241);
    list.InsertColumn(1, L"Date and Time", LVCFMT_LEFT, 322);
}

void FillBackupList(CListCtrl& list, CStringArray& arrFiles, const CString& strFolder)
{
    arrFiles.RemoveAll();
    list.SetRedraw(FALSE);
    list.DeleteAllItems();
    if (::PathFileExistsW(strFolder))
        FindBackups(strFolder, arrFiles);
    int nCount = (int)arrFiles.GetSize();
    for (int i = 0; i < nCount; i++)
    {
        CString strName = BackupRowName(arrFiles[nCount - 1 - i]);
        int nRow = list.InsertItem(i, strName);
        list.SetItemText(nRow, 1, FormatBackupDate(strName.Right(14)));
    }
    list.SetRedraw(TRUE);
    list.Invalidate(TRUE);
}

BOOL IsPathInFolder(const CString& strPath, const CString& strFolder)
{
    if (strFolder.IsEmpty() || strPath.GetLength() <= strFolder.GetLength())
        return FALSE;
    if (strPath.Left(strFolder.GetLength()).CompareNoCase(strFolder) != 0)
        return FALSE;
    return strPath.Find(L'\\', strFolder.GetLength()) < 0;
}

int SelectedBackupIndex(CListCtrl& list, const CStringArray& arrFiles, const CString& strFolder)
{
    int nRow = list.GetNextItem(-1, LVNI_SELECTED);
    int nCount = (int)arrFiles.GetSize();
    if (nRow < 0 || nRow >= nCount || list.GetItemCount() != nCount)
        return -1;
    int nIndex = nCount - 1 - nRow;
    return IsPathInFolder(arrFiles[nIndex], strFolder) ? nIndex : -1;
}

void RemoveSelectedBackup(CListCtrl& list, CStringArray& arrFiles, const CString& strFolder)
{
    int nIndex = SelectedBackupIndex(list, arrFiles, strFolder);
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (nIndex < 0)
    {
        AfxMessageBox(pApp->GetLangString(L"M_SELECT_BACKUP"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (AfxMessageBox(pApp->GetLangString(L"M_REMOVEBACKUP"), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    CString strPath = arrFiles[nIndex];
    if (!::PathFileExistsW(strPath))
        return;
    if (!::DeleteFileW(strPath))
    {
        DWORD dwError = ::GetLastError();
        CString strText = pApp->GetLangString(L"M_REMOVEBACKUP_FAILED");
        CString strCode;
        strCode.Format(L"%lu", (unsigned long)dwError);
        strText.Replace(L"%s", strPath);
        strText.Replace(L"%d", strCode);
        AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    int nRow = (int)arrFiles.GetSize() - 1 - nIndex;
    arrFiles.RemoveAt(nIndex);
    list.DeleteItem(nRow);
}
