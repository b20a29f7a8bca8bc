#include "app/AppMessageBox.h"

UINT AppMessageBoxIcon(UINT nType)
{
    switch (nType & MB_ICONMASK)
    {
    case MB_ICONHAND:
        return 32513;
    case MB_ICONQUESTION:
        return 32514;
    case MB_ICONEXCLAMATION:
        return 32515;
    case MB_ICONASTERISK:
        return 32516;
    default:
        return 0;
    }
}

UINT AppMessageBoxButtons(UINT nType)
{
    switch (nType & MB_TYPEMASK)
    {
    case MB_OK:
        return CTaskPage::TASKBTN_OK;
    case MB_OKCANCEL:
        return CTaskPage::TASKBTN_OK | CTaskPage::TASKBTN_CANCEL;
    // These two show and return their own buttons.
    case MB_ABORTRETRYIGNORE:
        return CTaskPage::TASKBTN_ABORT | CTaskPage::TASKBTN_RETRY | CTaskPage::TASKBTN_IGNORE;
    case MB_CANCELTRYCONTINUE:
        return CTaskPage::TASKBTN_CANCEL | CTaskPage::TASKBTN_TRYAGAIN | CTaskPage::TASKBTN_CONTINUE;
    case MB_YESNOCANCEL:
        return CTaskPage::TASKBTN_YES | CTaskPage::TASKBTN_NO | CTaskPage::TASKBTN_CANCEL;
    case MB_YESNO:
        return CTaskPage::TASKBTN_YES | CTaskPage::TASKBTN_NO;
    case MB_RETRYCANCEL:
        return CTaskPage::TASKBTN_CANCEL | CTaskPage::TASKBTN_RETRY;
    default:
        return 0;
    }
}

void AppMessageBoxSplitText(const CString& strText, CString& strTitle, CString& strSubtitle)
{
    int nPos = -1;
    for (int i = 0; i < strText.GetLength(); i++)
    {
        WCHAR ch = strText[i];
        if (ch == L'.' || ch == L'!' || ch == L'?' || ch == L'\n')
        {
            nPos = i;
            break;
        }
    }
    if (nPos <= 0)
    {
        strTitle = strText;
        strSubtitle.Empty();
        return;
    }
    int nStart = nPos + 1;
    while (nStart < strText.GetLength() && wcschr(L" \t.!?\n", strText[nStart]) != NULL)
        nStart++;
    strSubtitle = strText.Mid(nStart);
    strTitle = strText.Left(nPos + 1);
    if (strText[nPos] == L'.')
        strTitle += L"..";
}

int AppMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    CString strTitle, strSubtitle;
    AppMessageBoxSplitText(lpszText != NULL ? lpszText : L"", strTitle, strSubtitle);
    // Owned by the main window, so the box is modal to the program.
    CTaskPage page(AfxGetMainWnd(), AfxGetResourceHandle(), lpszCaption, strTitle, strSubtitle,
                   AppMessageBoxButtons(nType), AppMessageBoxIcon(nType));
    if (page.GetTemplate() == NULL)
        return IDCANCEL;
    return (int)page.DoModal();
}
