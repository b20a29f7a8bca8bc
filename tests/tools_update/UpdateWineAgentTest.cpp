// The page against the agent Wine really has: a session and a searcher whose
// search is not implemented, no update collection and no downloader.
#include "tests/tools_update/UpdatePageFixture.h"
#include "tools/UpdateErrorText.h"
#include <tlhelp32.h>

namespace {

int ThreadCount()
{
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return -1;
    int nCount = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Thread32First(hSnapshot, &entry); bMore; bMore = Thread32Next(hSnapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++nCount;
    CloseHandle(hSnapshot);
    return nCount;
}

TEST_F(UpdatePageTest, ScanOnTheRealAgentTellsTheFailure)
{
    fakeagent::Uninstall();
    Scan();
    ASSERT_EQ(1u, m_pBoxes->Count());
    std::wstring strText = m_pBoxes->LastText();
    // Wine's searcher answers E_NOTIMPL: a failure with its code, never a
    // silent empty list.
    // The system's own text for the code, then what the user can do.
    EXPECT_EQ(0u, strText.find(L"The search for updates failed.\n")) << strText;
    EXPECT_NE(std::wstring::npos, strText.find(L"(Error Code: 80004001)")) << strText;
    EXPECT_NE(std::wstring::npos, strText.find((LPCWSTR)SystemErrorText(E_NOTIMPL))) << strText;
    EXPECT_FALSE(SystemErrorText(E_NOTIMPL).IsEmpty());
    EXPECT_NE(std::wstring::npos, strText.find((LPCWSTR)m_pApp->GetLangString(L"M_UPDATE_ERR_ADVICE"))) << strText;
    EXPECT_EQ(0, m_pPage->GetList().GetItemCount());
    EXPECT_TRUE(Enabled(1001) && Enabled(1002));
}

TEST_F(UpdatePageTest, InstallOnTheRealAgentSaysNotRegisteredAndLeavesNoThread)
{
    // Rows and a found collection from the doubles, then the real agent.
    Scan();
    ASSERT_EQ(3, m_pPage->GetList().GetItemCount());
    fakeagent::Uninstall();
    int nThreads = ThreadCount();
    DWORD dwHandles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &dwHandles);
    InstallAndWait();
    ASSERT_EQ(1u, m_pBoxes->Count());
    EXPECT_EQ(L"Microsoft.Update.Session not registered.", m_pBoxes->LastText());
    EXPECT_EQ(L"", Cell(0, 3));
    EXPECT_TRUE(Enabled(1002));
    EXPECT_TRUE(testsupport::WaitFor([&] { return ThreadCount() <= nThreads; }, 5000))
        << ThreadCount() << " threads, " << nThreads << " before";
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            DWORD dwNow = 0;
            GetProcessHandleCount(GetCurrentProcess(), &dwNow);
            return dwNow <= dwHandles;
        },
        5000));
}

} // namespace
