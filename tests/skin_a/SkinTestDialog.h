#pragma once
// A page-like dialog holding one of each control, for the tests and the look.
#include "framework/Afx.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/ButtonVE_Task.h"
#include "controls/skin/CaptionBar.h"
#include "tests/skin_a/TestIds.h"

#include <map>

class CSkinTestDialog : public CDialog
{
public:
    CSkinTestDialog() : CDialog(IDD_SKIN_TEST), m_brWhite(RGB(255, 255, 255)) {}

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // BN_CLICKED commands seen, by control id.
    std::map<int, int> m_mapClicks;

    CButtonST m_btnScan;
    CButtonST m_chkActiveX;
    CButtonST m_chkFonts;
    CButtonST m_btnAbort;
    CButtonST m_btnDisabled;
    CButtonVE_Task m_taskBackup;
    CButtonVE_Task m_taskFull;
    CCaptionBar m_captionBar;
    CBorderListCtrl m_list;
    CBorderListBox m_listBox;
    CBitmap m_bmpTask;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brWhite;
};

// Creates the dialog at the screen's top-left corner, shown; pumps until it
// has painted.
bool ShowSkinTestDialog(CSkinTestDialog& dlg);
// Pumps this thread's messages for a while, offering each to the framework's
// pre-translation as the dialog's loop does.
void PumpMessages(DWORD dwMilliseconds);
// The colour of a window pixel as the screen shows it.
COLORREF WindowPixel(HWND hWnd, int x, int y);
