#pragma once
// The result report page: per category the "found/fixed" counts of the last
// repair and the time of the last scan, read through CScanLog each time the
// page is shown. Shown by a repair with CloseAfterScan set, it
// closes the program.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/CaptionBar.h"

class CTamselApp;

class CReportPage : public CDialog
{
public:
    enum { IDD = 166 };

    CReportPage();
    virtual ~CReportPage();

    // The value control of each category, index category - 1.
    static const UINT s_nValueIDs[15];

    CStatic m_wndValues[15];
    CCaptionBar m_wndFrame;
    CStatic m_wndHeaderRight;   // 1033
    CStatic m_wndHeaderCount;   // 1031
    CStatic m_wndLastScan;      // 1030
    CBrush m_brWhite;
    CTamselApp* m_pApp;
    int m_bAfterRepair;         // 1 while shown by the repair

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void Refresh();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg LRESULT OnCloseAfterRepair(WPARAM wParam, LPARAM lParam);

    CFont m_fontTitle;

    DECLARE_MESSAGE_MAP()
};
