#include "EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

EvidenceRow Row(const std::wstring& strLocation, const std::wstring& strName, int nKind)
{
    EvidenceRow row;
    row.strLocation = strLocation.c_str();
    row.strName = strName.c_str();
    row.nKind = nKind;
    return row;
}

} // namespace

// A registry row goes when its value was deleted or is gone; a row under a
// root the engine does not know, or whose key cannot be written, stays.
TEST(RowDelete, RegistryRowGoesOnlyWhenItsValueIsGone)
{
    testsupport::ScratchRegKey scratch;
    const std::wstring strLocation = L"HKEY_CURRENT_USER\\" + scratch.Path();
    ::RegSetValueExW(scratch.Key(), L"v", 0, REG_SZ, (const BYTE*)L"1", 4);
    ::RegSetValueExW(scratch.Key(), L"w", 0, REG_SZ, (const BYTE*)L"1", 4);
    EXPECT_TRUE(DeleteEvidenceRow(Row(strLocation, L"v", EVIDENCE_ROW_REGISTRY)));
    EXPECT_NE(::RegQueryValueExW(scratch.Key(), L"v", NULL, NULL, NULL, NULL), ERROR_SUCCESS);
    EXPECT_TRUE(DeleteEvidenceRow(Row(strLocation, L"v", EVIDENCE_ROW_REGISTRY)));
    EXPECT_TRUE(DeleteEvidenceRow(Row(strLocation + L"\\Missing", L"v", EVIDENCE_ROW_REGISTRY)));
    for (const std::wstring& strBad : {L"HKEY_CURRENT_USERS\\" + scratch.Path(), L"HKCU\\" + scratch.Path(),
                                       L"hkey_current_user\\" + scratch.Path(), std::wstring(L"HKEY_CURRENT_USER")})
        EXPECT_FALSE(DeleteEvidenceRow(Row(strBad, L"w", EVIDENCE_ROW_REGISTRY))) << Narrow(strBad);
    EXPECT_EQ(::RegQueryValueExW(scratch.Key(), L"w", NULL, NULL, NULL, NULL), ERROR_SUCCESS);
    EXPECT_EQ(EvidenceRootFromName(L"HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(EvidenceRootFromName(L"HKEY_PERFORMANCE_DATA"), (HKEY)NULL);
}

// A file row deletes that file; a held one stays with its row.
TEST(RowDelete, FileRowDeletesItsFile)
{
    testsupport::ScratchFolder scratch;
    PlantFile(scratch.File(L"a.tmp"));
    PlantFile(scratch.File(L"held.tmp"));
    ::CreateDirectoryW(scratch.File(L"dir.tmp").c_str(), NULL);
    EXPECT_TRUE(DeleteEvidenceRow(Row(scratch.Path(), L"a.tmp", EVIDENCE_ROW_FILE)));
    EXPECT_FALSE(FileExists(scratch.File(L"a.tmp")));
    EXPECT_TRUE(DeleteEvidenceRow(Row(scratch.Path(), L"a.tmp", EVIDENCE_ROW_FILE)));
    HANDLE hHeld = ::CreateFileW(scratch.File(L"held.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteEvidenceRow(Row(scratch.Path(), L"held.tmp", EVIDENCE_ROW_FILE)));
    ::CloseHandle(hHeld);
    EXPECT_TRUE(FileExists(scratch.File(L"held.tmp")));
    EXPECT_FALSE(DeleteEvidenceRow(Row(scratch.Path(), L"dir.tmp", EVIDENCE_ROW_FILE)));
    EXPECT_FALSE(DeleteEvidenceRow(Row(L"relative\\", L"held.tmp", EVIDENCE_ROW_FILE)));
    EXPECT_FALSE(DeleteEvidenceRow(Row(scratch.Path(), L"..\\x", EVIDENCE_ROW_FILE)));
}
