#include "framework/Afx.h"

// Stand-in application object until the real one lands: one top-level
// window; closing it ends the program.
class CStandInApp : public CWinApp
{
public:
    CStandInApp() : CWinApp(L"Tamsel") {}

    BOOL InitInstance() override
    {
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadStandardCursor(IDC_ARROW),
                                                (HBRUSH)(COLOR_BTNFACE + 1), LoadStandardIcon(IDI_APPLICATION));
        if (lpszClass == NULL || !m_wndMain.CreateEx(0, lpszClass, L"Tamsel", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                                     CW_USEDEFAULT, 640, 480, NULL, NULL))
            return FALSE;
        m_pMainWnd = &m_wndMain;
        m_wndMain.ShowWindow(m_nCmdShow);
        m_wndMain.UpdateWindow();
        // Our own loop until the window is closed; FALSE then ends the program
        // through ExitInstance.
        MSG msg;
        while (::GetMessageW(&msg, NULL, 0, 0) > 0)
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        return FALSE;
    }

private:
    CWnd m_wndMain;
};

CStandInApp theApp;
