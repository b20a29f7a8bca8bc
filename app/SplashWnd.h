#pragma once
// The splash picture shown centred for half a second at start-up, or until
// the first key or mouse button.
#include "framework/Afx.h"
#include "framework/Gdi.h"

class CSplashWnd : public CWnd
{
public:
    virtual ~CSplashWnd();

    static void EnableSplashScreen(BOOL bEnable = TRUE);
    static void ShowSplashScreen(CWnd* pParentWnd = NULL);
    static BOOL PreTranslateAppMessage(MSG* pMsg);
    static CSplashWnd* GetSplashWnd() { return c_pSplashWnd; }

    static BOOL c_bShowSplashWnd;
    static CSplashWnd* c_pSplashWnd;

protected:
    CSplashWnd() {}
    BOOL Create(CWnd* pParentWnd = NULL);
    void HideSplashScreen();
    virtual void PostNcDestroy();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    CBitmap m_bitmap;

    DECLARE_MESSAGE_MAP()
};
