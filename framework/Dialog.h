#pragma once
// CDialog: a dialog from a template in AfxGetResourceHandle(), modeless
// (Create) or modal (DoModal, our own loop, safe to enter from any handler).
// EndDialog may be called from any thread.
#include "framework/Wnd.h"
#include "framework/DataExchange.h"
#include <atomic>

class CDialog : public CWnd
{
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual ~CDialog();

    LPCTSTR m_lpszTemplateName;
    LPCDLGTEMPLATE m_lpDialogTemplate;
    UINT m_nIDHelp;
    CWnd* m_pParentWnd;

    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);
    virtual INT_PTR DoModal();
    // DoModal then builds the dialog from this template; the caller keeps it alive.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);
    void EndDialog(int nResult);
    // Whether the modal loop of this dialog is running.
    BOOL IsInModalLoop() const { return m_bInModal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Commands the dialog does not handle go on to the application's map.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    DWORD GetDefID() const;
    void SetDefID(UINT nID);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void MapDialogRect(LPRECT lpRect) const;

    static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    void RunModalLoop();
    HWND CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, bool* pbAttached = NULL);
    LPCDLGTEMPLATE LoadTemplate(LPCTSTR lpszTemplateName) const;

    BOOL m_bModal;
    BOOL m_bInModal;
    std::atomic<bool> m_bEndModal;
    std::atomic<int> m_nModalResult;

    DECLARE_MESSAGE_MAP()
};
