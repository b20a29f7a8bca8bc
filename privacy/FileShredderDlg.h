#pragma once
// The file shredder: one of the library's three views, a modeless child of the host's
// window. The library's frame drives it through the operations below.
#include "framework/Afx.h"

class CFileShredderDlg : public CDialog
{
public:
    enum { IDD = 157 };
    CFileShredderDlg();
    ~CFileShredderDlg() override;

    // Creates the view from its template as a hidden child of hParent at
    // (x, y), with the template id as its control id.
    virtual BOOL CreateView(HWND hParent, int x, int y);
    // Shown again by the host.
    virtual void ResetView();
    // Re-reads the texts from PrivacyLanguageFile().
    virtual void SwitchLanguage();
    // The host's mouse messages, for the tooltips.
    virtual void RelayToolTipEvent(MSG* pMsg);
    // Asks the running worker to stop; does not wait.
    virtual void SignalStop();
    // Stops every worker of the view and waits (pumping) at most that long.
    virtual void StopAndWait(DWORD dwTimeoutMs);
    // Empties the file list; nothing while a shred runs.
    virtual void ClearFileList();
};
