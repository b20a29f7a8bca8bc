#include <gtest/gtest.h>
#include <windows.h>

// Test executables are wide-character programs like the product.
int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
