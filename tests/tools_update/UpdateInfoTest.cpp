#include "tools/UpdateCallbacks.h"
#include "tools/UpdateInfo.h"
#include "tests/tools_update/FakeAgent.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::wstring Str(const CString& str)
{
    return std::wstring((LPCWSTR)str);
}

UpdateInfo Read(const std::wstring& strSeverity, ULONG64 nMaxSize, BOOL bEmptyLists = FALSE)
{
    UpdateInfo info;
    IUpdate* pUpdate = fakeagent::MakeDetailedUpdate(strSeverity, nMaxSize, bEmptyLists);
    EXPECT_EQ(S_OK, ReadUpdateInfo(pUpdate, info));
    EXPECT_EQ(0u, pUpdate->Release()) << "the record keeps no reference";
    return info;
}

TEST(UpdateInfoTest, EveryFieldComesFromTheUpdate)
{
    UpdateInfo info = Read(L"Critical", 1536);
    EXPECT_EQ(L"Detailed", Str(info.m_strTitle));
    EXPECT_EQ(L"What Detailed mends.", Str(info.m_strDescription));
    EXPECT_EQ(L"http://support.example/", Str(info.m_strSupportUrl));
    EXPECT_EQ(L"Low", Str(info.m_strDownloadPriority));
    EXPECT_EQ(L"1536", Str(info.m_strMaxSize));
    EXPECT_EQ(L"Critical", Str(info.m_strSeverity));
    // Month first, no leading zeros.
    EXPECT_EQ(L"6-14-2008", Str(info.m_strDate));
    EXPECT_EQ(L"http://more.example/kb", Str(info.m_strMoreInfoUrl));
    EXPECT_EQ(L"Driver", Str(info.m_strType));
    EXPECT_EQ(L"950000", Str(info.m_strArticle));
    EXPECT_EQ(L"Notes", Str(info.m_strReleaseNotes));

    UpdateInfo copy = info;
    copy.m_nItem = 4;
    UpdateInfo assigned;
    assigned = copy;
    EXPECT_EQ(L"Notes", Str(assigned.m_strReleaseNotes));
    EXPECT_EQ(4, assigned.m_nItem);

    UpdateInfo empty = Read(L"", 0, TRUE);
    EXPECT_EQ(L"", Str(empty.m_strArticle));
    EXPECT_EQ(L"", Str(empty.m_strMoreInfoUrl));
    EXPECT_EQ(E_POINTER, ReadUpdateInfo(NULL, empty));
}

TEST(UpdateInfoTest, SeverityTextsAndUnknownOnesKept)
{
    EXPECT_STREQ(L"SEVERITY_1", UpdateSeverityKey(L"Critical"));
    EXPECT_STREQ(L"SEVERITY_2", UpdateSeverityKey(L"Important"));
    EXPECT_STREQ(L"SEVERITY_3", UpdateSeverityKey(L"Moderate"));
    EXPECT_STREQ(L"SEVERITY_4", UpdateSeverityKey(L"Low"));
    // Empty reads as moderate; anything else is shown as the agent wrote it.
    EXPECT_STREQ(L"SEVERITY_3", UpdateSeverityKey(L""));
    EXPECT_EQ(nullptr, UpdateSeverityKey(L"Unspecified"));
    EXPECT_EQ(nullptr, UpdateSeverityKey(L"critical"));
}

TEST(UpdateInfoTest, SizesKeepAllSixtyFourBits)
{
    EXPECT_EQ(L"1.50 KB", Str(FormatUpdateSize(L"1536")));
    ULONG64 nFiveGb = 5ull * 1024 * 1024 * 1024;
    UpdateInfo info = Read(L"Low", nFiveGb);
    EXPECT_EQ(L"5368709120", Str(info.m_strMaxSize));
    EXPECT_EQ(L"5242880.00 KB", Str(FormatUpdateSize(info.m_strMaxSize)));
}

TEST(UpdateInfoTest, ResultTexts)
{
    EXPECT_STREQ(L"DOWNLOAD_RESULT_3", DownloadResultKey(2));
    EXPECT_STREQ(L"DOWNLOAD_RESULT_3", DownloadResultKey(3));
    EXPECT_STREQ(L"DOWNLOAD_RESULT_6", DownloadResultKey(5));
    EXPECT_STREQ(L"INSTALL_RESULT_5", InstallResultKey(4));
    EXPECT_STREQ(L"INSTALL_RESULT_5", InstallResultKey(17));
    EXPECT_TRUE(IsUpdateResultSuccess(3));
    EXPECT_FALSE(IsUpdateResultSuccess(5));
}

TEST(UpdateCallbackTest, InterfacesReferencesAndCompletionSignal)
{
    long nBefore = GetLiveUpdateCallbackCount();
    CDownloadCompletedCallback* pCompleted = new CDownloadCompletedCallback;
    ASSERT_NE((HANDLE)NULL, pCompleted->GetCompletedEvent());
    IUnknown* pUnknown = NULL;
    ASSERT_EQ(S_OK, pCompleted->QueryInterface(__uuidof(IUnknown), (void**)&pUnknown));
    IDownloadCompletedCallback* pCallback = NULL;
    ASSERT_EQ(S_OK, pUnknown->QueryInterface(__uuidof(IDownloadCompletedCallback), (void**)&pCallback));
    void* pOther = &pOther;
    EXPECT_EQ(E_NOINTERFACE, pUnknown->QueryInterface(__uuidof(IInstallationCompletedCallback), &pOther));
    EXPECT_EQ(nullptr, pOther);
    EXPECT_EQ(E_NOINTERFACE, pUnknown->QueryInterface(__uuidof(IDispatch), &pOther));

    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(pCompleted->GetCompletedEvent(), 0));
    EXPECT_EQ(S_OK, pCallback->Invoke(NULL, NULL));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(pCompleted->GetCompletedEvent(), 0));

    EXPECT_EQ(2u, pCallback->Release());
    EXPECT_EQ(1u, pUnknown->Release());
    EXPECT_EQ(nBefore + 1, GetLiveUpdateCallbackCount());
    EXPECT_EQ(0u, pCompleted->Release());
    EXPECT_EQ(nBefore, GetLiveUpdateCallbackCount());

    CInstallationProgressChangedCallback* pProgress = new CInstallationProgressChangedCallback;
    EXPECT_EQ(S_OK, pProgress->Invoke(NULL, NULL));
    EXPECT_EQ(0u, pProgress->Release());
    EXPECT_EQ(nBefore, GetLiveUpdateCallbackCount());
}

} // namespace
