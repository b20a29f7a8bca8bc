#include "controls/skin/HyperlinkCtrl.h"
#include "framework/Dc.h"
#include <vector>

namespace {

const UINT_PTR kToolId = 1;

// The default value of a key under HKEY_CLASSES_ROOT, of any length.
BOOL ReadClassesRootDefault(const CString& strKey, CString& strValue)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, strKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return FALSE;
    std::vector<wchar_t> buffer(260);
    LONG lResult = ERROR_MORE_DATA;
    for (int nTry = 0; nTry < 8 && lResult == ERROR_MORE_DATA; ++nTry)
    {
        DWORD dwType = 0;
        DWORD cbData = (DWORD)(buffer.size() * sizeof(wchar_t));
        lResult = ::RegQueryValueExW(hKey, NULL, NULL, &dwType, (LPBYTE)buffer.data(), &cbData);
        if (lResult == ERROR_MORE_DATA)
            buffer.resize(cbData / sizeof(wchar_t) + 2);
        else if (lResult == ERROR_SUCCESS)
        {
            size_t nChars = cbData / sizeof(wchar_t);
            if (nChars >= buffer.size())
                nChars = buffer.size() - 1;
            buffer[nChars] = L'\0';  // values need not be terminated
        }
    }
    ::RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS)
        return FALSE;
    strValue = buffer.data();
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CHyperlinkCtrl, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CHyperlinkCtrl::CHyperlinkCtrl()
    : m_clrLink(RGB(0, 0, 238)), m_clrVisited(RGB(85, 26, 139)), m_bVisited(FALSE), m_bUnderline(TRUE),
      m_hLinkCursor(NULL)
{
}

CHyperlinkCtrl::~CHyperlinkCtrl()
{
}

void CHyperlinkCtrl::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    ModifyStyle(0, SS_NOTIFY);
    CString strText;
    GetWindowText(strText);
    if (m_strURL.IsEmpty())
        m_strURL = strText;
    if (strText.IsEmpty())
        SetWindowText(m_strURL);
    m_hLinkCursor = ::LoadCursorW(NULL, IDC_ARROW);
}

BOOL CHyperlinkCtrl::PreTranslateMessage(MSG* pMsg)
{
    // The tooltip is made when the pointer first comes by, not with the window.
    if (pMsg->message == WM_MOUSEMOVE && m_toolTip.GetSafeHwnd() == NULL && m_toolTip.Create(this))
    {
        CRect rect;
        GetClientRect(&rect);
        m_toolTip.AddTool(this, m_strTip.IsEmpty() ? m_strURL : m_strTip, &rect, kToolId);
    }
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CHyperlinkCtrl::SetURL(const CString& strURL)
{
    m_strURL = strURL;
    m_strTip.Empty();
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.UpdateTipText(strURL, this, kToolId);
}

void CHyperlinkCtrl::SetColors(COLORREF clrLink, COLORREF clrVisited)
{
    m_clrLink = clrLink;
    m_clrVisited = clrVisited;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CHyperlinkCtrl::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CHyperlinkCtrl::SetUnderline(BOOL bUnderline)
{
    m_bUnderline = bUnderline;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CHyperlinkCtrl::SetTipText(const CString& strTip)
{
    if (strTip.IsEmpty())
        return;
    m_strTip = strTip;
    if (m_toolTip.GetSafeHwnd() != NULL)
        m_toolTip.UpdateTipText(strTip, this, kToolId);
}

HBRUSH CHyperlinkCtrl::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_bVisited ? m_clrVisited : m_clrLink);
    pDC->SetBkColor(RGB(255, 255, 255));
    if (m_bUnderline)
    {
        if (m_fontUnderline.GetSafeHandle() == NULL)
        {
            LOGFONTW lf = {};
            CFont* pFont = GetFont();
            if (pFont == NULL || pFont->GetLogFont(&lf) == 0)
                ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
            lf.lfUnderline = TRUE;
            lf.lfHeight = 14;
            lf.lfWidth = 0;
            ::lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
            m_fontUnderline.CreateFontIndirect(&lf);
        }
        if (m_fontUnderline.GetSafeHandle() != NULL)
            pDC->SelectObject(&m_fontUnderline);
    }
    return (HBRUSH)::GetStockObject(HOLLOW_BRUSH);
}

void CHyperlinkCtrl::OnClicked()
{
    INT_PTR nResult = OpenURL(m_strURL, SW_SHOW);
    if (nResult > 32)
    {
        SetVisited(TRUE);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
}

BOOL CHyperlinkCtrl::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_hLinkCursor != NULL)
        ::SetCursor(m_hLinkCursor);
    return TRUE;
}

CString CHyperlinkCtrl::BuildBrowserCommand(const CString& strCommand, const CString& strURL)
{
    CString strResult(strCommand);
    int nPos = strResult.Find(L"\"%1\"");
    if (nPos < 0)
        nPos = strResult.Find(L"%1");
    if (nPos >= 0)
        strResult = strResult.Left(nPos);
    strResult += L" ";
    strResult += strURL;
    return strResult;
}

INT_PTR CHyperlinkCtrl::OpenURL(const CString& strURL, int nShowCmd)
{
    if (strURL.IsEmpty())
        return 0;
    INT_PTR nResult = (INT_PTR)::ShellExecuteW(NULL, L"open", strURL, NULL, NULL, nShowCmd);
    if (nResult > 32)
        return nResult;

    CString strClass, strCommand;
    if (!ReadClassesRootDefault(L".htm", strClass))
        return nResult;
    if (!ReadClassesRootDefault(strClass + L"\\shell\\open\\command", strCommand))
        return nResult;
    CString strLine = BuildBrowserCommand(strCommand, strURL);

    // WinExec takes the command line in the ANSI code page.
    int nBytes = ::WideCharToMultiByte(CP_ACP, 0, strLine, -1, NULL, 0, NULL, NULL);
    if (nBytes <= 0)
        return 0;
    std::vector<char> line(nBytes);
    ::WideCharToMultiByte(CP_ACP, 0, strLine, -1, line.data(), nBytes, NULL, NULL);
    return (INT_PTR)::WinExec(line.data(), (UINT)nShowCmd);
}
