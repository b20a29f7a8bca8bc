#include "tests/privacy_frame/FrameTestSupport.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

namespace frametest {

std::wstring EnglishLanguageFile()
{
    return testsupport::HostPath(std::string(TAMSEL_SOURCE_ROOT) + "/resources/English.ini");
}

std::wstring ExeFolder()
{
    wchar_t szPath[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH * 4);
    std::wstring str(szPath);
    return str.substr(0, str.rfind(L'\\') + 1);
}

HostWindow::HostWindow()
{
    CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW)), L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
             0, 0, 700, 600, NULL, NULL);
}

HostWindow::~HostWindow()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

void Pump(DWORD dwMs)
{
    DWORD dwEnd = ::GetTickCount() + dwMs;
    do
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while ((int)(dwEnd - ::GetTickCount()) > 0);
}

FakeWorker::~FakeWorker()
{
    Signal();
    Wait(10000);
    if (m_hThread != NULL)
        ::CloseHandle(m_hThread);
    if (m_hStop != NULL)
        ::CloseHandle(m_hStop);
}

BOOL FakeWorker::Start()
{
    m_hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    PrivacySetBusy(1);
    m_hThread = AfxBeginWorker(&FakeWorker::ThreadProc, this);
    if (m_hThread == NULL)
        PrivacySetBusy(0);
    return m_hThread != NULL;
}

void FakeWorker::Signal()
{
    if (m_hStop != NULL)
        ::SetEvent(m_hStop);
}

BOOL FakeWorker::Wait(DWORD dwTimeoutMs)
{
    return m_hThread == NULL || AfxWaitForObjectPumping(m_hThread, dwTimeoutMs) == WAIT_OBJECT_0;
}

UINT __cdecl FakeWorker::ThreadProc(LPVOID pParam)
{
    FakeWorker* pWorker = (FakeWorker*)pParam;
    ::WaitForSingleObject(pWorker->m_hStop, 30000);
    pWorker->m_bEnded = true;
    PrivacySetBusy(0);
    return 0;
}

} // namespace frametest
