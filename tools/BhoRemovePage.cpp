#include "tools/BhoRemovePage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "scanner/KeyReader.h"
#include "tools/ToolBackupArchive.h"
#include "tools/ToolCommands.h"
#include "tools/ToolEntries.h"

BEGIN_MESSAGE_MAP(CBhoRemovePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1001, OnRemove)
    ON_BN_CLICKED(1003, OnCancelButton)
END_MESSAGE_MAP()

CBhoRemovePage::CBhoRemovePage() : CToolDetailsPage(267)
{
}

CBhoRemovePage::~CBhoRemovePage()
{
}

void CBhoRemovePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1003, m_btnCancel);
    DDX_Control(pDX, 1001, m_btnRemove);
}

BOOL CBhoRemovePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(FALSE);
    InsertCheckColumn();
    m_list.InsertColumn(1, L"BHO Path", LVCFMT_LEFT, 533);
    SetButtonBitmaps(m_btnRemove, 312, 311);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    return TRUE;
}

void CBhoRemovePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    FillList();
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_BHO_1"));
    Invalidate(FALSE);
}

CString CBhoRemovePage::DllOfClass(const CString& strClsid, REGSAM samView)
{
    CString strDll = L"ERR";
    if (strClsid.IsEmpty())
        return strDll;
    // The classes of the two views are apart: a helper object's class is the
    // one its own Internet Explorer creates.
    CKeyReader reg;
    if (reg.Open(HKEY_CLASSES_ROOT, L"CLSID\\" + strClsid, samView) != ERROR_SUCCESS)
        return strDll;
    CStringArray arrSubKeys;
    reg.GetSubKeyNames(arrSubKeys);
    for (const CString& strSub : arrSubKeys)
    {
        if (strSub.CompareNoCase(L"InprocServer32") != 0)
            continue;
        CKeyReader server;
        if (server.OpenChild(reg, strSub) == ERROR_SUCCESS)
        {
            CString strText = server.ReadString(L"", L"ERR");
            if (strText != L"ERR")
                strDll = strText;
        }
    }
    return strDll;
}

void CBhoRemovePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    BeginFill();
    m_list.DeleteAllItems();
    m_pApp->m_arrBhoItems.RemoveAll();
    m_pApp->m_arrBhoRemove.RemoveAll();
    ReadToolKeyViews(HKEY_LOCAL_MACHINE, TOOL_BHO_KEY, [&](const CKeyReader& objects) {
        CStringArray arrNames;
        objects.GetSubKeyNames(arrNames);
        for (const CString& strName : arrNames)
        {
            CString strDll = DllOfClass(strName, objects.GetView());
            if (strDll == L"ERR")
                continue;
            CRegProblem record;
            record.m_bValue = 0;
            record.m_nKind = 1;
            record.m_strKey.Format(L"%s\\%s", TOOL_BHO_KEY, (LPCWSTR)strName);
            record.m_strKeyPath.Format(L"%s\\%s\\%s", L"HKEY_LOCAL_MACHINE", TOOL_BHO_KEY, (LPCWSTR)strName);
            record.m_samView = objects.GetView();
            m_pApp->m_arrBhoItems.Add(record);
            int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
            if (nRow < 0)
                continue;
            m_list.SetCheckbox(nRow, 0, 1);
            m_list.SetItemText(nRow, 1, strDll);
            m_list.SetItemToolTipText(nRow, 1, strDll);
        }
    });
    EndFill();
}

CString CBhoRemovePage::DetailsFileOfRow(int nRow)
{
    return BhoDllFilePath(m_list.GetItemText(nRow, 1));
}

void CBhoRemovePage::OnRemove()
{
    if (m_pApp == NULL)
        return;
    GetCheckedRecords(m_pApp->m_arrBhoItems, m_pApp->m_arrBhoRemove);
    if (TellNothingChecked(m_pApp->m_arrBhoRemove.GetSize()))
        return;
    m_list.DeleteAllItems();
    BackupItems();
    DeleteItems();
    FillList();
}

void CBhoRemovePage::BackupItems()
{
    BackupRecords(ToolBackupBho, m_pApp->m_arrBhoBackups, m_pApp->m_arrBhoRemove, m_arrOutcome);
}

void CBhoRemovePage::DeleteItems()
{
    CStringArray arrKept;
    for (INT_PTR i = 0; i < m_pApp->m_arrBhoRemove.GetSize(); ++i)
    {
        const CRegProblem& record = m_pApp->m_arrBhoRemove[i];
        int nOutcome = i < m_arrOutcome.GetSize() ? m_arrOutcome[i] : (int)BackupFailed;
        if (nOutcome == BackupSaved)
            DeleteBhoKey(record);
        else if (nOutcome == BackupFailed)
            arrKept.Add(record.m_strKeyPath);
    }
    ReportNames(L"M_TOOL_BACKUP_FAILED", arrKept);
}

void CBhoRemovePage::OnCancelButton()
{
    GoToPage(PAGE_IE_TOOLS, FOLDER_IE_TOOLS);
}
