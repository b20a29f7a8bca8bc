#pragma once
// The scan result page. Shows its title and a plain list of the rows until the
// page itself is built; what the main window asks of it before leaving is here
// already.
#include "app/PageStandIn.h"
#include "scanner/ScanResultSink.h"

class CScanResultPage : public CStandInPage, public CScanResultSink
{
public:
    CScanResultPage();

    // Asks whether to leave the unfinished result; 1 on Yes.
    int ConfirmLeave();

    // The scan's rows, held until the page shows them.
    void ClearResults() override;
    void AddCategoryRows(const CString* pNames, int nCount) override;
    void AddProblemRows(const CScanResultRow* pRows, int nCount) override;
    void SetAfterScan(BOOL bAfterScan) override { m_bAfterScan = bAfterScan; }
    void SetLeaving(BOOL bLeaving) override { m_bLeaving = bLeaving; }

    int m_bLeaving;
    int m_bShown;
    int m_bAfterScan;
    CStringArray m_arrRows;

protected:
    virtual BOOL OnInitDialog();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    void FillList();
    void AppendRow(const CString& strRow);

    CListBox m_listRows;

    DECLARE_MESSAGE_MAP()
};
