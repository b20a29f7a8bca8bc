#include "framework/CommonControls.h"

#include <atomic>
#include <mutex>

static std::mutex s_lockInit;
static std::atomic<DWORD> s_dwIccDone(0);

BOOL AfxInitCommonControls(DWORD dwIccFlags)
{
    if ((s_dwIccDone.load() & dwIccFlags) == dwIccFlags)
        return TRUE;
    std::lock_guard<std::mutex> lock(s_lockInit);
    DWORD dwMissing = dwIccFlags & ~s_dwIccDone.load();
    if (dwMissing == 0)
        return TRUE;
    INITCOMMONCONTROLSEX icc = { sizeof(icc), dwMissing };
    if (!::InitCommonControlsEx(&icc))
        return FALSE;
    s_dwIccDone.fetch_or(dwMissing);
    return TRUE;
}

BOOL AfxInitRichEdit2()
{
    // Never freed: windows of the class may live until the process ends.
    static HMODULE s_hRichEdit = ::LoadLibraryW(L"riched20.dll");
    return s_hRichEdit != NULL;
}
