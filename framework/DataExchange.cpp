#include "framework/DataExchange.h"
#include <cwchar>
#include <cerrno>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL),
      m_bEditLastControl(FALSE), m_bFail(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(AfxGetSafeHwnd(m_pDlgWnd), nIDC);
    m_hWndLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    m_bFail = TRUE;
    if (m_bSaveAndValidate && m_hWndLastControl != NULL)
    {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
}

// NULL when an earlier field has failed or the dialog has no such control.
static HWND ControlToExchange(CDataExchange* pDX, int nIDC, bool bEdit)
{
    if (pDX->m_bFail)
        return NULL;
    return bEdit ? pDX->PrepareEditCtrl(nIDC) : pDX->PrepareCtrl(nIDC);
}

// Borrows the control's handle only for the read; the temporary must not own it.
static void GetCtrlText(HWND hWndCtrl, CString& strText)
{
    CWnd wndCtrl(hWndCtrl);
    wndCtrl.GetWindowText(strText);
    wndCtrl.m_hWnd = NULL;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return;
    // A missing control is reported and fails the exchange, but every other
    // control is still bound: nothing later is skipped silently.
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl == NULL || !rControl.SubclassWindow(hWndCtrl))
    {
        CString strReport;
        strReport.Format(L"Tamsel: dialog control %d is missing or bound twice\n", nIDC);
        OutputDebugStringW(strReport);
        pDX->m_bFail = TRUE;
    }
}

static void DDX_Index(CDataExchange* pDX, int nIDC, UINT nGet, UINT nSet, int& index)
{
    HWND hWndCtrl = ControlToExchange(pDX, nIDC, false);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
        index = (int)::SendMessageW(hWndCtrl, nGet, 0, 0);
    else
        ::SendMessageW(hWndCtrl, nSet, (WPARAM)index, 0);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    DDX_Index(pDX, nIDC, BM_GETCHECK, BM_SETCHECK, value);
}

static bool IsRadioButton(HWND hWnd)
{
    if ((::SendMessageW(hWnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0)
        return true;
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, 16);
    DWORD dwType = (DWORD)::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(szClass, L"Button") == 0 && (dwType == BS_RADIOBUTTON || dwType == BS_AUTORADIOBUTTON);
}

// The group starts at nIDC and ends before the next WS_GROUP control.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = ControlToExchange(pDX, nIDC, false);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int nButton = 0;
    do
    {
        if (IsRadioButton(hWndCtrl))
        {
            if (pDX->m_bSaveAndValidate)
            {
                if (::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    value = nButton;
            }
            else
            {
                ::SendMessageW(hWndCtrl, BM_SETCHECK, nButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++nButton;
        }
        hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
    } while (hWndCtrl != NULL && !(::GetWindowLongW(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = ControlToExchange(pDX, nIDC, true);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        GetCtrlText(hWndCtrl, value);
    }
    else
    {
        ::SetWindowTextW(hWndCtrl, value);
    }
}

// Whole text as a number in [llMin, llMax]; leading/trailing blanks allowed.
static bool ParseNumber(const CString& strText, bool bSigned, long long llMin, long long llMax, long long& llValue)
{
    const wchar_t* psz = strText;
    while (*psz == L' ' || *psz == L'\t')
        ++psz;
    if (*psz == 0 || (!bSigned && *psz == L'-'))
        return false;
    wchar_t* pszEnd = NULL;
    errno = 0;
    llValue = wcstoll(psz, &pszEnd, 10);
    if (errno != 0 || pszEnd == psz)
        return false;
    while (*pszEnd == L' ' || *pszEnd == L'\t')
        ++pszEnd;
    return *pszEnd == 0 && llValue >= llMin && llValue <= llMax;
}

static void DDX_Number(CDataExchange* pDX, int nIDC, bool bSigned, long long llMin, long long llMax,
                       long long& llValue)
{
    HWND hWndCtrl = ControlToExchange(pDX, nIDC, true);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        CString strText;
        GetCtrlText(hWndCtrl, strText);
        if (!ParseNumber(strText, bSigned, llMin, llMax, llValue))
        {
            AfxMessageBox(bSigned ? L"Please enter an integer." : L"Please enter a positive integer.",
                          MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    }
    else
    {
        wchar_t szText[32];
        _snwprintf(szText, 32, L"%lld", llValue);
        szText[31] = 0;
        ::SetWindowTextW(hWndCtrl, szText);
    }
}

template <typename TValue>
static void DDX_NumberAs(CDataExchange* pDX, int nIDC, bool bSigned, long long llMin, long long llMax, TValue& value)
{
    long long llValue = value;
    DDX_Number(pDX, nIDC, bSigned, llMin, llMax, llValue);
    if (pDX->m_bSaveAndValidate && !pDX->m_bFail)
        value = (TValue)llValue;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    DDX_NumberAs(pDX, nIDC, true, INT_MIN, INT_MAX, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    DDX_NumberAs(pDX, nIDC, true, LONG_MIN, LONG_MAX, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    DDX_NumberAs(pDX, nIDC, false, 0, UINT_MAX, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    DDX_NumberAs(pDX, nIDC, false, 0, ULONG_MAX, value);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    DDX_Index(pDX, nIDC, CB_GETCURSEL, CB_SETCURSEL, index);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    DDX_Index(pDX, nIDC, LB_GETCURSEL, LB_SETCURSEL, index);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = ControlToExchange(pDX, nIDC, false);
    if (hWndCtrl == NULL)
        return;
    if (pDX->m_bSaveAndValidate)
    {
        GetCtrlText(hWndCtrl, value);
    }
    else if (::SendMessageW(hWndCtrl, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)(LPCWSTR)value) == CB_ERR)
    {
        ::SetWindowTextW(hWndCtrl, value);
    }
}
