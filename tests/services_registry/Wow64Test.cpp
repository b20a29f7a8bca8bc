#include "services/Wow64.h"

#include <gtest/gtest.h>

TEST(Wow64, AgreesWithWindowsAndKeepsItsAnswer)
{
    BOOL bOs = FALSE;
    ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &bOs));
    EXPECT_EQ(IsRunningOnWow64(), bOs);
    // The second answer comes from the cache.
    EXPECT_EQ(IsRunningOnWow64(), bOs);
#ifdef _WIN64
    EXPECT_FALSE(IsRunningOnWow64());
#endif
}
