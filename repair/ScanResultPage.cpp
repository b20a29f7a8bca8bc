#include "repair/ScanResultPage.h"
#include "app/TamselApp.h"

BEGIN_MESSAGE_MAP(CScanResultPage, CStandInPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CScanResultPage::CScanResultPage() : CStandInPage(163), m_bLeaving(0), m_bShown(0), m_bAfterScan(0)
{
}

BOOL CScanResultPage::OnInitDialog()
{
    CStandInPage::OnInitDialog();
    CRect rc;
    GetClientRect(&rc);
    rc.DeflateRect(8, 50, 8, 8);
    m_listRows.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, rc, this, 1113);
    m_listRows.SetFont(GetFont());
    FillList();
    return TRUE;
}

int CScanResultPage::ConfirmLeave()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    return AfxMessageBox(pApp->GetLangString(L"M_WARNING_ABORT_RESULT"), MB_YESNO) == IDYES ? 1 : 0;
}

void CScanResultPage::ClearResults()
{
    m_arrRows.RemoveAll();
    FillList();
}

void CScanResultPage::AddCategoryRows(const CString* pNames, int nCount)
{
    for (int i = 0; i < nCount; i++)
        AppendRow(pNames[i]);
}

// The row markup as one plain line: tags dropped, the three entities decoded.
static CString PlainRowText(const CString& strMarkup)
{
    CString strText;
    BOOL bInTag = FALSE;
    for (int i = 0; i < strMarkup.GetLength(); i++)
    {
        wchar_t ch = strMarkup[i];
        if (ch == L'<')
        {
            bInTag = TRUE;
            if (strMarkup.Mid(i, 4).CompareNoCase(L"<br>") == 0 && i > 0)
                strText += L"  ";
        }
        else if (ch == L'>')
            bInTag = FALSE;
        else if (!bInTag)
            strText += ch;
    }
    strText.Replace(L"&lt;", L"<");
    strText.Replace(L"&gt;", L">");
    strText.Replace(L"&amp;", L"&");
    return strText;
}

void CScanResultPage::AddProblemRows(const CScanResultRow* pRows, int nCount)
{
    if (m_listRows.m_hWnd != NULL)
        m_listRows.SetRedraw(FALSE);
    for (int i = 0; i < nCount; i++)
        AppendRow(L"    " + PlainRowText(pRows[i].strText));
    if (m_listRows.m_hWnd != NULL)
    {
        m_listRows.SetRedraw(TRUE);
        m_listRows.Invalidate();
    }
}

void CScanResultPage::AppendRow(const CString& strRow)
{
    m_arrRows.Add(strRow);
    if (m_listRows.m_hWnd != NULL)
        m_listRows.AddString(strRow);
}

void CScanResultPage::FillList()
{
    if (m_listRows.m_hWnd == NULL)
        return;
    m_listRows.SetRedraw(FALSE);
    m_listRows.ResetContent();
    for (int i = 0; i < m_arrRows.GetSize(); i++)
        m_listRows.AddString(m_arrRows[i]);
    m_listRows.SetRedraw(TRUE);
    m_listRows.Invalidate();
}

void CScanResultPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStandInPage::OnShowWindow(bShow, nStatus);
    m_bShown = bShow ? 1 : 0;
    if (bShow)
        m_bLeaving = 0;
}
