#include "tools/UninstallRemovePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "scanner/KeyReader.h"
#include "tools/ToolEntries.h"
#include "tools/ToolCommands.h"

namespace {
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
}

BEGIN_MESSAGE_MAP(CUninstallRemovePage, CToolPage)
    ON_WM_SHOWWINDOW()
    ON_WM_PAINT()
    ON_BN_CLICKED(1001, OnRemove)
    ON_BN_CLICKED(1002, OnCancelButton)
    ON_BN_CLICKED(1003, OnRefresh)
    ON_BN_CLICKED(1108, OnShowUpdates)
END_MESSAGE_MAP()

CUninstallRemovePage::CUninstallRemovePage() : CToolPage(271), m_bFirstPaint(FALSE), m_bShowUpdates(FALSE)
{
}

CUninstallRemovePage::~CUninstallRemovePage()
{
}

void CUninstallRemovePage::DoDataExchange(CDataExchange* pDX)
{
    CToolPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1004, m_btnHelp);
    DDX_Control(pDX, 1003, m_btnRefresh);
    DDX_Control(pDX, 1002, m_btnCancel);
    DDX_Control(pDX, 1001, m_btnRemove);
    DDX_Control(pDX, 1108, m_chkUpdates);
    DDX_Control(pDX, 1013, m_list);
}

BOOL CUninstallRemovePage::OnInitDialog()
{
    CToolPage::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (m_list.GetHeaderCtrl() != NULL)
        m_list.GetHeaderCtrl()->ModifyStyle(0, HDS_BUTTONS | HDS_HOTTRACK);
    m_list.EnableToolTips(TRUE);
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    m_imageList.SetBkColor(RGB(255, 255, 255));
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    m_list.InsertColumn(0, L"Program Name", LVCFMT_LEFT, 291);
    m_list.InsertColumn(1, L"Install Date", LVCFMT_CENTER, 90);
    m_list.InsertColumn(2, L"Publisher", LVCFMT_LEFT, 180);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    SetButtonBitmaps(m_btnRemove, 312, 311);
    SetButtonBitmaps(m_btnRefresh, 5718, 5719);
    SetButtonBitmaps(m_btnHelp, 8048, 8047);
    m_btnHelp.ShowWindow(SW_HIDE);
    m_chkUpdates.DrawBorder(FALSE, TRUE);
    m_chkUpdates.SetCheck(m_bShowUpdates ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_bFirstPaint = TRUE;
    return TRUE;
}

void CUninstallRemovePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    Translate();
    SetColumnText(m_list, 0, Lang(L"LIST_REMOVE_1"));
    SetColumnText(m_list, 1, Lang(L"LIST_REMOVE_2"));
    SetColumnText(m_list, 2, Lang(L"LIST_REMOVE_3"));
    Invalidate(FALSE);
}

void CUninstallRemovePage::OnPaint()
{
    CPaintDC dc(this);
    if (m_bFirstPaint)
    {
        m_bFirstPaint = FALSE;
        FillList();
    }
}

void CUninstallRemovePage::AddRow(const CString& strSubKey, const CString& strName, const CKeyReader& reg, HICON hDefault)
{
    CRegProblem record;
    record.m_bValue = 0;
    record.m_nKind = 1;
    record.m_strKey.Format(L"%s\\%s", kUninstallKey, (LPCWSTR)strSubKey);
    record.m_strKeyPath.Format(L"%s\\%s\\%s", L"HKEY_LOCAL_MACHINE", kUninstallKey, (LPCWSTR)strSubKey);
    record.m_samView = reg.GetView();
    m_pApp->m_arrUninstallItems.Add(record);

    // "UninstallString" only when there is no "DisplayIcon" at all.
    CString strIconFile = m_pApp->ParseIconLocation(reg.ReadString(L"DisplayIcon", L"ERR"));
    if (strIconFile.CompareNoCase(L"ERR") == 0)
        strIconFile = m_pApp->ParseIconLocation(reg.ReadString(L"UninstallString", L"ERR"));
    HICON hIcon = strIconFile.CompareNoCase(L"ERR") == 0 ? NULL : ExtractFirstIcon(strIconFile);
    int nImage = hIcon != NULL ? m_imageList.Add(hIcon) : -1;
    if (nImage < 0 && hDefault != NULL)
        nImage = m_imageList.Add(hDefault);
    if (hIcon != NULL)
        DestroyIcon(hIcon);

    int nRow = m_list.InsertItem(m_list.GetItemCount(), strName);
    if (nRow < 0)
        return;
    m_list.SetItemImage(nRow, 0, nImage);
    CString strDate = reg.ReadString(L"InstallDate", L"ERR");
    CString strPublisher = reg.ReadString(L"Publisher", L"ERR");
    if (strDate == L"ERR")
        strDate.Empty();
    if (strPublisher == L"ERR")
        strPublisher.Empty();
    m_list.SetItemText(nRow, 1, strDate);
    m_list.SetItemToolTipText(nRow, 1, strDate);
    m_list.SetItemText(nRow, 2, strPublisher);
    m_list.SetItemToolTipText(nRow, 2, strPublisher);
}

void CUninstallRemovePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    BOOL bLocked = m_list.LockWindowUpdate();
    m_list.SetRedraw(FALSE);
    m_list.DeleteAllItems();
    m_pApp->m_arrUninstallItems.RemoveAll();
    m_imageList.DeleteImageList();
    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    m_imageList.SetBkColor(RGB(255, 255, 255));
    m_list.SetImageList(&m_imageList, LVSIL_SMALL);
    HICON hDefault = LoadUninstallDefaultIcon();

    // As the system's own list: the programs of the own view, then those of
    // the other view where that keeps an Uninstall key of its own.
    ReadToolKeyViews(HKEY_LOCAL_MACHINE, kUninstallKey, [&](const CKeyReader& programs) {
        CStringArray arrNames;
        programs.GetSubKeyNames(arrNames);
        for (const CString& strSubKey : arrNames)
        {
            if (!m_bShowUpdates && (strSubKey.Left(2) == L"KB" || strSubKey.Left(24) == L"Microsoft Security Patch"))
                continue;
            CKeyReader entry;
            if (entry.OpenChild(programs, strSubKey) != ERROR_SUCCESS)
                continue;
            if (entry.ReadDword(L"NoRemove", (DWORD)-1) == 1)
                continue;
            CStringArray arrValues;
            entry.GetValueNames(arrValues);
            for (const CString& strValue : arrValues)
            {
                if (strValue.CompareNoCase(L"DisplayName") != 0)
                    continue;
                CString strName = entry.ReadString(strValue, L"ERR");
                if (strName != L"ERR")
                    AddRow(strSubKey, strName, entry, hDefault);
            }
        }
    });
    if (hDefault != NULL)
        DestroyIcon(hDefault);
    m_list.SetRedraw(TRUE);
    if (bLocked)
        m_list.UnlockWindowUpdate();
    m_list.Invalidate(TRUE);
}

void CUninstallRemovePage::OnRemove()
{
    int nRow = m_list.GetCurSel();
    if (nRow < 0 || m_pApp == NULL || nRow >= m_pApp->m_arrUninstallItems.GetSize())
        return;
    CString strText;
    strText.Format(L"%s\n%s", (LPCWSTR)Lang(L"M_UNINSTALL_CONFIRM"), (LPCWSTR)m_list.GetItemText(nRow, 0));
    if (Message(strText, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    // The command is read where the row was found.
    const CRegProblem& record = m_pApp->m_arrUninstallItems[nRow];
    REGSAM samView = 0;
    CKeyReader reg;
    if (!GetRecordView(record, &samView) || reg.Open(HKEY_LOCAL_MACHINE, record.m_strKey, samView) != ERROR_SUCCESS)
        return;
    CString strCommand = reg.ReadString(L"UninstallString", L"ERR");
    if (strCommand == L"ERR")
        return;
    DWORD dwError = 0;
    if (!StartCommandLine(strCommand, &dwError) && dwError == ERROR_FILENAME_EXCED_RANGE)
        Message(Lang(L"M_COMMAND_TOO_LONG"), MB_OK | MB_ICONEXCLAMATION);
}

void CUninstallRemovePage::OnCancelButton()
{
    GoToPage(PAGE_OPTIMIZE, FOLDER_OPTIMIZE);
}

void CUninstallRemovePage::OnRefresh()
{
    FillList();
}

void CUninstallRemovePage::OnShowUpdates()
{
    m_bShowUpdates = m_bShowUpdates ? FALSE : TRUE;
    FillList();
}
