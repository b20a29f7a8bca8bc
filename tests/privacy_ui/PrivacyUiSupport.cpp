#include "tests/privacy_ui/PrivacyUiSupport.h"
#include "privacy/RestartWindows.h"
#include <cstdlib>
#include <map>

namespace privtest {

namespace {
ExitWindowsRecorder* s_pRecorder = NULL;
std::map<UINT_PTR, ModalScript*> s_scripts;

BOOL WINAPI RecordExit(UINT uFlags, DWORD)
{
    if (s_pRecorder == NULL)
    {
        ADD_FAILURE() << "the session end was reached";
        return FALSE;
    }
    s_pRecorder->m_calls.push_back(uFlags);
    return TRUE;
}

// No test of this suite may end the session: the prefix would go with it.
class NoSessionEnd : public ::testing::Environment
{
public:
    void SetUp() override { SetExitWindowsFunction(&RecordExit); }
};
[[maybe_unused]] const ::testing::Environment* const s_pEnvironment = ::testing::AddGlobalTestEnvironment(new NoSessionEnd);
} // namespace

std::wstring EnglishLanguageFile()
{
    return testsupport::HostPath(std::string(TAMSEL_SOURCE_ROOT) + "/resources/English.ini");
}

HostWindow::HostWindow()
{
    CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)::GetStockObject(WHITE_BRUSH)),
             L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 820, 620, NULL, NULL);
}

HostWindow::~HostWindow()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

void Pump(DWORD dwMs)
{
    testsupport::WaitFor([] { return false; }, dwMs);
}

void ClickAt(HWND hWnd, POINT ptClient)
{
    POINT ptScreen = ptClient;
    ::ClientToScreen(hWnd, &ptScreen);
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
    // Queued first: a tree waits in its drag check for the button to come up.
    ::PostMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptClient.x, ptClient.y));
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
    Pump(30);
}

ModalScript::ModalScript(std::vector<std::function<bool()>> steps, UINT nIntervalMs) : m_steps(std::move(steps))
{
    m_nTimer = ::SetTimer(NULL, 0, nIntervalMs, &ModalScript::OnTimer);
    s_scripts[m_nTimer] = this;
}

ModalScript::~ModalScript()
{
    ::KillTimer(NULL, m_nTimer);
    s_scripts.erase(m_nTimer);
}

void CALLBACK ModalScript::OnTimer(HWND, UINT, UINT_PTR nID, DWORD)
{
    auto it = s_scripts.find(nID);
    if (it == s_scripts.end())
        return;
    ModalScript* pScript = it->second;
    if (pScript->Finished())
        return;
    // A step may pump (a message box); it must not run twice meanwhile.
    static bool s_bInStep = false;
    if (s_bInStep)
        return;
    s_bInStep = true;
    if (pScript->m_steps[pScript->m_nNext]())
        pScript->m_nNext++;
    s_bInStep = false;
}

ExitWindowsRecorder::ExitWindowsRecorder()
{
    s_pRecorder = this;
}

ExitWindowsRecorder::~ExitWindowsRecorder()
{
    s_pRecorder = NULL;
}

bool ScreenshotsWanted()
{
    const char* pszDir = std::getenv("TAMSEL_SCREENSHOT_DIR");
    return pszDir != NULL && *pszDir != 0;
}

void Shoot(HWND hWnd, const std::string& strName)
{
    if (!ScreenshotsWanted())
        return;
    Pump(300);
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    Pump(200);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    std::string strGeometry = std::to_string(rc.right - rc.left) + "x" + std::to_string(rc.bottom - rc.top) + "+" +
                              std::to_string(rc.left) + "+" + std::to_string(rc.top);
    testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " +
                                std::getenv("TAMSEL_SCREENSHOT_DIR") + "/" + strName + ".png");
}

COLORREF ScreenPixel(HWND hWnd, int x, int y)
{
    HDC hdc = ::GetDC(NULL);
    POINT pt = {x, y};
    ::ClientToScreen(hWnd, &pt);
    COLORREF cr = ::GetPixel(hdc, pt.x, pt.y);
    ::ReleaseDC(NULL, hdc);
    return cr;
}

} // namespace privtest
