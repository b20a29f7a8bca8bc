// Error codes of the update agent in words: the agent's own codes by the
// part that failed, everything else in the system's text.
#include "tools/UpdateErrorText.h"
#include <gtest/gtest.h>

TEST(UpdateErrorText, AgentCodesNameThePartThatFailed)
{
    EXPECT_STREQ(L"M_UPDATE_ERR_SERVER", UpdateAgentErrorKey((HRESULT)0x8024402C));
    EXPECT_STREQ(L"M_UPDATE_ERR_SERVER", UpdateAgentErrorKey((HRESULT)0x80244019));
    EXPECT_STREQ(L"M_UPDATE_ERR_DOWNLOAD", UpdateAgentErrorKey((HRESULT)0x80246007));
    EXPECT_STREQ(L"M_UPDATE_ERR_INSTALL", UpdateAgentErrorKey((HRESULT)0x80242014));
    EXPECT_STREQ(L"M_UPDATE_ERR_AGENT", UpdateAgentErrorKey((HRESULT)0x80240001));
    // Internet errors passed on as HRESULTs: the server was not reached.
    EXPECT_STREQ(L"M_UPDATE_ERR_SERVER", UpdateAgentErrorKey((HRESULT)0x80072EFD));
    EXPECT_STREQ(L"M_UPDATE_ERR_SERVER", UpdateAgentErrorKey((HRESULT)0x80072EE2));
}

TEST(UpdateErrorText, OtherCodesKeepTheSystemsText)
{
    // Look-alikes of the agent's range and of the Internet errors.
    EXPECT_EQ(NULL, UpdateAgentErrorKey((HRESULT)0x80250001));
    EXPECT_EQ(NULL, UpdateAgentErrorKey((HRESULT)0x00240001));
    EXPECT_EQ(NULL, UpdateAgentErrorKey(E_NOTIMPL));
    EXPECT_EQ(NULL, UpdateAgentErrorKey(E_ACCESSDENIED));
    EXPECT_EQ(NULL, UpdateAgentErrorKey((HRESULT)0x80072EE0));  // 12000 is no Internet error
    EXPECT_EQ(NULL, UpdateAgentErrorKey((HRESULT)0x80072F90));  // past the last

    CString strDenied = SystemErrorText(E_ACCESSDENIED);
    EXPECT_FALSE(strDenied.IsEmpty());
    EXPECT_EQ(-1, strDenied.Find(L'\n'));
    EXPECT_EQ(-1, strDenied.Find(L'\r'));
    EXPECT_TRUE(SystemErrorText((HRESULT)0x8024402C).IsEmpty() || UpdateAgentErrorKey((HRESULT)0x8024402C) != NULL);
}
