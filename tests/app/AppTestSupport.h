#pragma once
// The test executable's own application object, pointed at a scratch program
// folder for each test.
#include "app/TamselApp.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

CTamselApp& TestApp();

// A fresh program folder with no Settings.ini, no Language folder, no lists.
class AppFolderTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring Path(const std::wstring& strName) const { return m_folder.File(strName); }
    static std::string Narrow(const std::wstring& str);

    testsupport::ScratchFolder m_folder;
    CTamselApp& m_app = TestApp();
};

// Whether the Task Scheduler service of the prefix runs.
bool SchedulerRunning();

// Writes a text file in the given bytes.
void WriteText(const std::wstring& strPath, const std::string& bytes);
