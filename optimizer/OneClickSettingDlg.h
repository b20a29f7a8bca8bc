#pragma once
// The one-click settings: one option per tuning page, stored in Tunekit.ini
// and applied at once by Optimize.
#include "framework/Afx.h"

class CSystemOptimizerDlg;

class COneClickSettingDlg : public CDialog
{
public:
    enum { IDD = 5043 };
    explicit COneClickSettingDlg(CSystemOptimizerDlg* pWizard);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // A group of radios: its INI key, the page it applies to, its ids.
    struct CGroup
    {
        LPCWSTR pszKey;
        UINT nPageTemplate;
        UINT nFirst, nLast, nDefault;
    };
    // In the order of application: network, desktop, disk cache, file system.
    static const CGroup s_groups[4];
    // The id read for a group, or its default when the stored one is not its own.
    static UINT ShownOption(const CGroup& group, int nStored);

private:
    CSystemOptimizerDlg* m_pWizard;
};
