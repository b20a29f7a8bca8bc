#include "tools/StartupRemovePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "services/NtRegistry.h"
#include "services/PathString.h"
#include "tools/ToolBackupArchive.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

#include <shlwapi.h>

BEGIN_MESSAGE_MAP(CStartupRemovePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1001, OnRun)
    ON_BN_CLICKED(1002, OnRemove)
    ON_BN_CLICKED(1003, OnButtonCancel)
END_MESSAGE_MAP()

CStartupRemovePage::CStartupRemovePage() : CToolDetailsPage(269)
{
}

CStartupRemovePage::~CStartupRemovePage()
{
}

void CStartupRemovePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnCancel);
    DDX_Control(pDX, 1002, m_btnRemove);
    DDX_Control(pDX, 1001, m_btnRun);
}

BOOL CStartupRemovePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(FALSE);
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 20, 1);
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    InsertCheckColumn();
    m_list.InsertColumn(1, L"Program Name", LVCFMT_LEFT, 140);
    m_list.InsertColumn(2, L"Program Path", LVCFMT_LEFT, 393);
    SetButtonBitmaps(m_btnRun, 339, 340);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    SetButtonBitmaps(m_btnRemove, 312, 311);
    return TRUE;
}

void CStartupRemovePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    FillList();
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_STARTUP_1"));
    SetColumnText(m_list, 2, Lang(L"LIST_STARTUP_2"));
    Invalidate(FALSE);
}

void CStartupRemovePage::AddRow(const CRegProblem& record, const CString& strName, const CString& strCommand, HICON hFallback)
{
    m_pApp->m_arrStartupItems.Add(record);
    int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
    if (nRow < 0)
        return;
    m_list.SetCheckbox(nRow, 0, 1);
    // The row gets the index Add returns, so a refused icon shifts nothing.
    HICON hIcon = ExtractFirstIcon(m_pApp->ParseIconLocation(strCommand));
    int nImage = hIcon != NULL ? m_imageList.Add(hIcon) : -1;
    if (nImage < 0 && hFallback != NULL)
        nImage = m_imageList.Add(hFallback);
    if (hIcon != NULL)
        DestroyIcon(hIcon);
    m_list.SetItemText(nRow, 1, strName);
    m_list.SetItemToolTipText(nRow, 1, strName);
    m_list.SetItemImage(nRow, 1, nImage);
    m_list.SetItemText(nRow, 2, strCommand);
    m_list.SetItemToolTipText(nRow, 2, strCommand);
}

void CStartupRemovePage::AddShortcuts(const CString& strFolder, CStringArray& arrFiles)
{
    if (strFolder.IsEmpty() || strFolder == L"ERR")
        return;
    CString strBase = strFolder;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(strBase + L"*.*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CString strName = fd.cFileName;
        int nDot = strName.ReverseFind(L'.');
        CString strExtension = nDot >= 0 ? strName.Mid(nDot) : CString();
        strExtension.MakeLower();
        if (strExtension == L".lnk")
            arrFiles.Add(strBase + strName);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
}

void CStartupRemovePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    BeginFill();
    m_list.DeleteAllItems();
    m_pApp->m_arrStartupItems.RemoveAll();
    m_pApp->m_arrStartupRemove.RemoveAll();
    m_imageList.DeleteImageList();
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    m_imageList.SetBkColor(RGB(255, 255, 255));
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    HICON hFallback = LoadProgramSmallIcon();

    // Windows starts the Run keys of both views: each source is listed in
    // the program's own view, then in the other one where that is apart.
    for (const ToolRunKey& source : g_toolRunKeys)
    {
        ReadToolKeyViews(source.hRoot, source.pszKey, [&](const CKeyReader& key) {
            CStringArray arrNames;
            key.GetValueNames(arrNames);
            for (const CString& strName : arrNames)
            {
                if (strName.IsEmpty())
                    continue;
                CString strText = key.ReadString(strName, L"ERR");
                if (strText == L"ERR")
                    continue;
                CRegProblem record;
                record.m_bValue = 1;
                record.m_nKind = 1;
                record.m_strKey = source.pszKey;
                record.m_strKeyPath.Format(L"%s\\%s", source.pszRootName, source.pszKey);
                record.m_strValueName = strName;
                record.m_strData = strText;
                record.m_samView = key.GetView();
                AddRow(record, strName, strText, hFallback);
            }
        });
    }

    CStringArray arrFiles;
    static const LPCWSTR kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    CNtRegistry reg;
    if (reg.SetKeyForReading(HKEY_LOCAL_MACHINE, kShellFolders))
        AddShortcuts(reg.ReadString(L"Common Startup", L"ERR"), arrFiles);
    if (reg.SetKeyForReading(HKEY_CURRENT_USER, kShellFolders))
        AddShortcuts(reg.ReadString(L"Startup", L"ERR"), arrFiles);
    for (const CString& strFile : arrFiles)
    {
        CRegProblem record;
        record.m_bValue = 1;
        record.m_nKind = 1;
        record.m_strKey = strFile;
        record.m_strKeyPath = strFile;
        wchar_t szTarget[MAX_PATH] = {};
        m_pApp->GetShortcutTarget(strFile, szTarget);
        AddRow(record, CPathString(strFile).GetFileTitle(), szTarget, hFallback);
    }
    if (hFallback != NULL)
        DestroyIcon(hFallback);
    EndFill();
}

CString CStartupRemovePage::DetailsFileOfRow(int nRow)
{
    return ProgramPathOfCommand(m_list.GetItemText(nRow, 2));
}

void CStartupRemovePage::OnRun()
{
    int nRow = m_list.GetCurSel();
    if (nRow < 0)
        return;
    DWORD dwError = 0;
    if (!StartCommandLine(m_list.GetItemText(nRow, 2), &dwError) && dwError == ERROR_FILENAME_EXCED_RANGE)
        Message(Lang(L"M_COMMAND_TOO_LONG"), MB_OK | MB_ICONEXCLAMATION);
}

void CStartupRemovePage::OnRemove()
{
    if (m_pApp == NULL)
        return;
    BOOL bLocked = m_list.LockWindowUpdate();
    GetCheckedRecords(m_pApp->m_arrStartupItems, m_pApp->m_arrStartupRemove);
    if (bLocked)
        m_list.UnlockWindowUpdate();
    if (TellNothingChecked(m_pApp->m_arrStartupRemove.GetSize()))
        return;
    m_list.DeleteAllItems();
    BackupItems();
    DeleteItems();
    FillList();
}

void CStartupRemovePage::BackupItems()
{
    BackupRecords(ToolBackupStartup, m_pApp->m_arrStartupBackups, m_pApp->m_arrStartupRemove, m_arrOutcome);
}

void CStartupRemovePage::DeleteItems()
{
    CStringArray arrKept;
    for (INT_PTR i = 0; i < m_pApp->m_arrStartupRemove.GetSize(); ++i)
    {
        const CRegProblem& record = m_pApp->m_arrStartupRemove[i];
        int nOutcome = i < m_arrOutcome.GetSize() ? m_arrOutcome[i] : (int)BackupFailed;
        switch (nOutcome)
        {
        case BackupSaved:
            DeleteStartupValue(record);
            break;
        case BackupNotNeeded:
            if (Message(Lang(L"M_DEL_SHORTCUTS"), MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
                DeleteFileW(record.m_strKeyPath);
            break;
        case BackupFailed:
            arrKept.Add(record.m_strValueName.IsEmpty() ? record.m_strKeyPath : record.m_strValueName);
            break;
        default:   // gone already, or nothing this tool may delete
            break;
        }
    }
    ReportNames(L"M_TOOL_BACKUP_FAILED", arrKept);
}

void CStartupRemovePage::OnButtonCancel()
{
    GoToPage(PAGE_OPTIMIZE, FOLDER_OPTIMIZE);
}
