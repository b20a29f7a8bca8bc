#include "tools/IeProblemsPage.h"

namespace {
struct IeHelpLink
{
    UINT nControlID;
    LPCWSTR pszTip;
    LPCWSTR pszPath;
};

const IeHelpLink s_links[IE_HELP_LINKS] = {
    {1030, L"Internet Explorer 7 does not Display Images",
     L"/pcsupport/html/Internet-Explorer/5731-Internet-Explorer-does-not-Display-Images.html"},
    {1031, L"Can not Open Internet Explorer Options",
     L"/pcsupport/html/Internet-Explorer/5740-Can-not-Open-Internet-Explorer-Options.html"},
    {1033, L"How to Reinstall or Repair Internet Explorer in Windows XP?",
     L"/pcsupport/html/Internet-Explorer/5747-How-to-Reinstall-or-Repair-Internet-Explorer-in-Windows-XP.html"},
    {1035, L"Enable Java in Internet Explorer",
     L"/pcsupport/html/Internet-Explorer/5759-Enable-Java-in-Internet-Explorer.html"},
    {1037, L"Enable Javascript in Internet Explorer",
     L"/pcsupport/html/Internet-Explorer/5767-Enable-Javascript-in-Internet-Explorer.html"},
    {1039, L"How to Uninstall Internet Explorer 7?",
     L"/pcsupport/html/Internet-Explorer/5773-How-to-Uninstall-Internet-Explorer-7.html"},
};
} // namespace

BEGIN_MESSAGE_MAP(CIeProblemsPage, CToolPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CIeProblemsPage::CIeProblemsPage() : CToolPage(414)
{
}

CIeProblemsPage::~CIeProblemsPage()
{
}

CString CIeProblemsPage::LinkUrl(int nIndex)
{
    if (nIndex < 0 || nIndex >= IE_HELP_LINKS)
        return CString();
    return CString(L"http://www.tamsel.net") + s_links[nIndex].pszPath;
}

void CIeProblemsPage::DoDataExchange(CDataExchange* pDX)
{
    CToolPage::DoDataExchange(pDX);
    for (int i = 0; i < IE_HELP_LINKS; ++i)
        DDX_Control(pDX, s_links[i].nControlID, m_links[i]);
}

BOOL CIeProblemsPage::OnInitDialog()
{
    CToolPage::OnInitDialog();
    HCURSOR hHand = ::LoadCursorW(NULL, IDC_HAND);
    for (int i = 0; i < IE_HELP_LINKS; ++i)
    {
        m_links[i].SetURL(LinkUrl(i));
        m_links[i].SetTipText(s_links[i].pszTip);
        m_links[i].SetUnderline(FALSE);
        m_links[i].SetLinkCursor(hHand);
    }
    return TRUE;
}

void CIeProblemsPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    Translate();
    Invalidate(FALSE);
}
