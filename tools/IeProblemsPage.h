#pragma once
// The Internet Explorer problems page: six links to help articles.
#include "tools/ToolPage.h"
#include "controls/skin/HyperlinkCtrl.h"

#define IE_HELP_LINKS 6

class CIeProblemsPage : public CToolPage
{
public:
    CIeProblemsPage();
    virtual ~CIeProblemsPage();

    CHyperlinkCtrl& GetLink(int nIndex) { return m_links[nIndex]; }
    static CString LinkUrl(int nIndex);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CHyperlinkCtrl m_links[IE_HELP_LINKS];

    DECLARE_MESSAGE_MAP()
};
