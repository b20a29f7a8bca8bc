#include "framework/Afx.h"

#include <gtest/gtest.h>
#include <atomic>

namespace {

void Parse(CCommandLineInfo& info, std::initializer_list<const wchar_t*> args)
{
    size_t nIndex = 0;
    for (const wchar_t* pszArg : args)
    {
        ++nIndex;
        BOOL bFlag = pszArg[0] == L'/' || pszArg[0] == L'-';
        info.ParseParam(bFlag ? pszArg + 1 : pszArg, bFlag, nIndex == args.size());
    }
}

} // namespace

// The standard switches, in any case and after either prefix.
TEST(CommandLine, StandardSwitches)
{
    CCommandLineInfo plain;
    EXPECT_TRUE(plain.m_bShowSplash);
    EXPECT_EQ(plain.m_nShellCommand, (int)CCommandLineInfo::FileNew);

    CCommandLineInfo embedding;
    Parse(embedding, { L"-EMBEDDING" });
    EXPECT_FALSE(embedding.m_bShowSplash);
    EXPECT_TRUE(embedding.m_bRunEmbedded);

    CCommandLineInfo automation;
    Parse(automation, { L"/automation" });
    EXPECT_FALSE(automation.m_bShowSplash);
    EXPECT_TRUE(automation.m_bRunAutomated);

    CCommandLineInfo nologo;
    Parse(nologo, { L"/nologo", L"C:\\data\\file.txt" });
    EXPECT_FALSE(nologo.m_bShowSplash);
    EXPECT_EQ(nologo.m_nShellCommand, (int)CCommandLineInfo::FileOpen);
    EXPECT_STREQ(nologo.m_strFileName, L"C:\\data\\file.txt");

    CCommandLineInfo printTo;
    Parse(printTo, { L"/pt", L"a.txt", L"Printer", L"Driver", L"Port" });
    EXPECT_EQ(printTo.m_nShellCommand, (int)CCommandLineInfo::FilePrintTo);
    EXPECT_STREQ(printTo.m_strPrinterName, L"Printer");
    EXPECT_STREQ(printTo.m_strPortName, L"Port");

    CCommandLineInfo unknown;
    Parse(unknown, { L"/whatever" });
    EXPECT_TRUE(unknown.m_bShowSplash);
    EXPECT_EQ(unknown.m_nShellCommand, (int)CCommandLineInfo::FileNew);
}

namespace {

std::atomic<int> s_nRuns(0);

UINT __cdecl CountingThreadProc(LPVOID pParam)
{
    ++s_nRuns;
    return (UINT)(UINT_PTR)pParam;
}

} // namespace

// A suspended thread runs only after ResumeThread; priority and exit code hold.
TEST(Threads, SuspendedStartPriorityAndExitCode)
{
    s_nRuns = 0;
    CWinThread* pThread = AfxBeginThread(&CountingThreadProc, (LPVOID)(UINT_PTR)17, THREAD_PRIORITY_BELOW_NORMAL,
                                         64 * 1024, CREATE_SUSPENDED);
    ASSERT_NE(pThread, (CWinThread*)NULL);
    pThread->m_bAutoDelete = FALSE;
    EXPECT_NE(pThread->m_nThreadID, 0u);
    EXPECT_EQ(pThread->GetThreadPriority(), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 50), (DWORD)WAIT_TIMEOUT);
    EXPECT_EQ(s_nRuns, 0);
    pThread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(pThread->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD dwExit = 0;
    ::GetExitCodeThread(pThread->m_hThread, &dwExit);
    EXPECT_EQ(dwExit, 17u);
    EXPECT_EQ(s_nRuns, 1);
    delete pThread;

    EXPECT_EQ(AfxBeginThread(NULL, NULL), (CWinThread*)NULL);
}

// One class per attribute set, registered once.
TEST(WindowClass, RegisteredOncePerAttributes)
{
    HCURSOR hArrow = ::LoadCursorW(NULL, IDC_ARROW);
    LPCTSTR lpszFirst = AfxRegisterWndClass(CS_DBLCLKS, hArrow);
    LPCTSTR lpszAgain = AfxRegisterWndClass(CS_DBLCLKS, hArrow);
    LPCTSTR lpszOther = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW, hArrow);
    ASSERT_NE(lpszFirst, (LPCTSTR)NULL);
    EXPECT_EQ(lpszFirst, lpszAgain);
    EXPECT_STRNE(lpszFirst, lpszOther);
    WNDCLASSW wc = {};
    EXPECT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), lpszOther, &wc));
    EXPECT_EQ(wc.style, (UINT)(CS_DBLCLKS | CS_HREDRAW));
}
