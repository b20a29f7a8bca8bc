#include "privacy/FolderGuard.h"
#include "EvidenceTestEnvironment.h"
#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

EvidenceTrace Folder(LPCWSTR pszFolder, LPCWSTR pszOperand, int nMode)
{
    EvidenceTrace trace;
    EXPECT_TRUE(FillEvidenceTrace(trace, NULL, pszFolder, pszOperand, nMode));
    return trace;
}

BOOL Allowed(LPCWSTR pszFolder, int nMode = EVIDENCE_MODE_EVERY_FILE, LPCWSTR pszOperand = L"*.*")
{
    return IsFolderTraceAllowed(Folder(pszFolder, pszOperand, nMode));
}

} // namespace

TEST(FolderGuard, OnlyPlainAbsoluteFolders)
{
    CTestEvidenceEnvironment environment;
    EXPECT_TRUE(Allowed(L"C:\\users\\me\\AppData\\Local\\Temp\\"));
    EXPECT_TRUE(Allowed(L"\\\\server\\share\\cache\\"));
    // Empty, relative, drive-relative, rooted without a drive, or not ending in '\'.
    for (LPCWSTR pszBad : {L"", L"\\", L"C:", L"C:cache\\", L"\\cache\\", L"cache\\", L"C:\\cache",
                           L"C:\\a\\..\\", L"C:\\a\\.\\", L"C:\\a\\\\b\\", L"C:\\*\\", L"C:\\a:b\\",
                           L"\\\\?\\C:\\cache\\", L"\\\\.\\C:\\cache\\", L"\\\\server\\\\"})
    {
        EXPECT_FALSE(Allowed(pszBad)) << CString(pszBad).ToUtf8();
        EXPECT_FALSE(Allowed(pszBad, EVIDENCE_MODE_NAME, L"setupapi.log")) << CString(pszBad).ToUtf8();
    }
}

TEST(FolderGuard, NoEveryFileRuleAtARootOrAProtectedFolder)
{
    CTestEvidenceEnvironment environment;
    environment.m_strWindows = L"C:\\windows";
    environment.m_shellFolders[CSIDL_PROFILE] = L"C:\\users\\me";
    environment.m_shellFolders[CSIDL_PERSONAL] = L"C:\\users\\me\\Documents";
    environment.m_shellFolders[CSIDL_MYPICTURES] = L"C:\\users\\me\\Pictures\\";
    environment.m_shellFolders[CSIDL_PROGRAM_FILES] = L"C:\\Program Files";
    environment.m_shellFolders[CSIDL_APPDATA] = L"C:\\users\\me\\AppData\\Roaming";
    for (LPCWSTR pszFolder : {L"C:\\", L"D:\\", L"\\\\server\\share\\", L"C:\\windows\\", L"C:\\WINDOWS\\",
                              L"C:\\users\\me\\", L"C:\\users\\", L"C:\\users\\me\\documents\\",
                              L"C:\\users\\me\\Pictures\\", L"C:\\Program Files\\", L"C:\\users\\me\\AppData\\Roaming\\"})
    {
        EXPECT_FALSE(Allowed(pszFolder)) << CString(pszFolder).ToUtf8();
        EXPECT_FALSE(Allowed(pszFolder, EVIDENCE_MODE_EXTENSION, L".txt")) << CString(pszFolder).ToUtf8();
    }
    // Look-alikes below them or beside them are traces like any other.
    for (LPCWSTR pszFolder : {L"C:\\windows\\temp\\", L"C:\\users\\me\\AppData\\Roaming\\Opera\\", L"C:\\users\\me2\\",
                              L"C:\\Program Files\\Vendor\\", L"C:\\windowsold\\"})
        EXPECT_TRUE(Allowed(pszFolder)) << CString(pszFolder).ToUtf8();
    // One named file at a root or in the Windows folder is fine.
    EXPECT_TRUE(Allowed(L"C:\\", EVIDENCE_MODE_NAME, L"pagefile.sys"));
    EXPECT_TRUE(Allowed(L"C:\\windows\\", EVIDENCE_MODE_NAME, L"setupapi.log"));
}

TEST(FolderGuard, RulesNeedProperOperands)
{
    CTestEvidenceEnvironment environment;
    EXPECT_FALSE(Allowed(L"C:\\cache\\", EVIDENCE_MODE_NAME, L"..\\boot.ini"));
    EXPECT_FALSE(Allowed(L"C:\\cache\\", EVIDENCE_MODE_NAME, L"*.torrent"));
    EXPECT_FALSE(Allowed(L"C:\\cache\\", EVIDENCE_MODE_NAME, L""));
    EXPECT_FALSE(Allowed(L"C:\\cache\\", EVIDENCE_MODE_EXTENSION, L"txt"));
    EXPECT_TRUE(Allowed(L"C:\\cache\\", EVIDENCE_MODE_EXTENSION, L".txt"));
    // Mode 0 and 1 cover nothing.
    EXPECT_FALSE(Allowed(L"C:\\cache\\", 0));
    EXPECT_FALSE(Allowed(L"C:\\cache\\", 1));
}

// The machine's own folders, as the shell gives them, are refused too.
TEST(FolderGuard, TheMachinesOwnFoldersAreProtected)
{
    wchar_t szWindows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(szWindows, MAX_PATH), 0u);
    EXPECT_FALSE(Allowed((CString(szWindows) + L"\\").GetString()));
    wchar_t szProfile[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(NULL, CSIDL_PROFILE, NULL, SHGFP_TYPE_CURRENT, szProfile), S_OK);
    EXPECT_FALSE(Allowed((CString(szProfile) + L"\\").GetString()));
    EXPECT_TRUE(Allowed((CString(szProfile) + L"\\AppData\\Local\\Temp\\").GetString()));
    // The same folders spelled otherwise: a trailing dot, a short name.
    EXPECT_FALSE(Allowed((CString(szWindows) + L".\\").GetString()));
    wchar_t szPrograms[MAX_PATH] = {}, szShort[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(NULL, CSIDL_PROGRAM_FILES, NULL, SHGFP_TYPE_CURRENT, szPrograms), S_OK);
    DWORD nShort = ::GetShortPathNameW(szPrograms, szShort, MAX_PATH);
    ASSERT_TRUE(nShort > 0 && nShort < MAX_PATH);
    EXPECT_STRNE(szShort, szPrograms);
    EXPECT_FALSE(Allowed((CString(szShort) + L"\\").GetString())) << CString(szShort).ToUtf8();
}
