// Entry of the screenshot tools: they draw windows and save the screen as PNG
// files for a person to look at. They use the test fixtures, but they are no
// tests and ctest does not run them.
#include "tests/support/shots/ShotsMain.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>

namespace {
std::string s_strShotFolder;
}

const std::string& ShotFolder()
{
    return s_strShotFolder;
}

int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2 || argv[1][0] == L'-')
    {
        std::fprintf(stderr, "usage: %ls <Linux folder for the PNG files>\n", argv[0]);
        return 2;
    }
    char szFolder[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, szFolder, MAX_PATH, NULL, NULL);
    s_strShotFolder = szFolder;
    return RUN_ALL_TESTS();
}
