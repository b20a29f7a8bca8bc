#include "scanner/Scanners.h"
#include "scanner/FolderWalk.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
// Shown as "Startup Items".
const int MENU_ORDER_CATEGORY = 12;
const wchar_t* const MENU_ORDER_KEY = SCAN_KEY_MENU_ORDER;

// Adds the names of the folder's direct subfolders; FALSE when the scan was stopped.
BOOL ListProgramFolders(CScanContext& scan, const CString& strFolder, CStringArray& arrNames)
{
    if (strFolder.IsEmpty())
        return TRUE;
    CString strPath = strFolder;
    strPath.TrimRight(L'\\');
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW(strPath + L"\\*", &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return TRUE;
    BOOL bGoOn = TRUE;
    do
    {
        if (scan.IsStopped())
        {
            bGoOn = FALSE;
            break;
        }
        CString strName = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strName != L"." && strName != L"..")
            arrNames.Add(strName);
    } while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
    return bGoOn;
}
}  // namespace

// Start-menu MenuOrder keys whose program folder is in neither Programs folder.
void ScanStartupItems(CScanContext& scan)
{
    if (!BeginCategory(scan, MENU_ORDER_CATEGORY))
        return;
    CString strCommon = ReadShellFolder(HKEY_LOCAL_MACHINE, L"Common Programs");
    CString strUser = ReadShellFolder(HKEY_CURRENT_USER, L"Programs");
    // Without any Programs folder nothing can be compared.
    if (!strCommon.IsEmpty() || !strUser.IsEmpty())
    {
        CStringArray arrFolders;
        if (!ListProgramFolders(scan, strCommon, arrFolders) || !ListProgramFolders(scan, strUser, arrFolders))
            return;
        CKeyReader order;
        if (order.Open(HKEY_CURRENT_USER, MENU_ORDER_KEY) == ERROR_SUCCESS)
        {
            CStringArray arrNames;
            order.GetSubKeyNames(arrNames);
            for (int i = 0; i < arrNames.GetSize(); i++)
            {
                if (scan.IsStopped())
                    return;
                CString strKey = CString(MENU_ORDER_KEY) + L"\\" + arrNames[i];
                scan.ShowCurrentItem(L"HKEY_CURRENT_USER\\" + strKey);
                // Folder names compare as the file system compares them.
                BOOL bFound = FALSE;
                for (int j = 0; j < arrFolders.GetSize() && !bFound; j++)
                    bFound = arrFolders[j].CompareNoCase(arrNames[i]) == 0;
                if (!bFound)
                    RecordProblem(scan, MENU_ORDER_CATEGORY, HKEY_CURRENT_USER, strKey, FALSE, CString(), CString(),
                                  22);
            }
        }
    }
    EndCategory(scan, MENU_ORDER_CATEGORY);
}
