#include "tests/services_zip/ZipTestSupport.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace ziptest;
using testsupport::ScratchFolder;

namespace {

const std::string g_utExtraHead("UT\x0D\x00\x07", 5);

FILETIME FileTimeOf(WORD wYear, WORD wMonth, WORD wDay, WORD wHour, WORD wMinute, WORD wSecond)
{
    SYSTEMTIME st = testsupport::SystemTimeOf(wYear, wMonth, wDay, wHour, wMinute, wSecond);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

bool SetModifyTime(const std::wstring& strPath, const FILETIME& ft)
{
    HANDLE h = CreateFileW(strPath.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BOOL bOk = SetFileTime(h, &ft, &ft, &ft);
    CloseHandle(h);
    return bOk != FALSE;
}

} // namespace

TEST(ZipWriter, LayoutOfDeflatedAndStoredItems)
{
    std::string text = TextOfSize(5000, 1);
    RawArchive a = ParseRaw(BuildArchive({ { L"Folder\\Sub\\file.reg", text }, { L"backup.ZIP", "PK-ish" }, { L"x.tgz", "abc" } }));
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 3u);

    const RawEntry& reg = a.entries[0];
    EXPECT_EQ(reg.name, "Folder/Sub/file.reg");
    EXPECT_EQ(reg.wMethod, 8);
    EXPECT_EQ(reg.wCentralFlags, 0x0002);
    EXPECT_EQ(reg.wLocalFlags, 0x0002);
    EXPECT_EQ(reg.wMadeBy, 0x0B17);
    EXPECT_EQ(reg.dwUncompressed, 5000u);
    EXPECT_LT(reg.dwCompressed, 5000u);
    EXPECT_EQ(reg.dwLocalCrc, reg.dwCrc);
    EXPECT_EQ(reg.dwLocalCompressed, reg.dwCompressed);
    EXPECT_EQ(reg.dwExternal, 0x80000000u);
    EXPECT_EQ(reg.dwLocalOffset, 0u);
    ASSERT_EQ(reg.localExtra.size(), 17u);
    EXPECT_EQ(reg.localExtra.substr(0, 5), g_utExtraHead);
    ASSERT_EQ(reg.centralExtra.size(), 9u);
    EXPECT_EQ(reg.centralExtra.substr(0, 5), std::string("UT\x05\x00\x07", 5));
    EXPECT_EQ(reg.centralExtra.substr(5, 4), reg.localExtra.substr(5, 4));

    for (int i = 1; i <= 2; ++i)
    {
        const RawEntry& stored = a.entries[i];
        EXPECT_EQ(stored.wMethod, 0) << stored.name;
        EXPECT_EQ(stored.wCentralFlags, 0x0000) << stored.name;
        EXPECT_EQ(stored.dwCompressed, stored.dwUncompressed) << stored.name;
    }
    EXPECT_EQ(a.entries[1].dwLocalOffset, 30u + 19 + 17 + reg.dwCompressed);
}

TEST(ZipWriter, FolderEntryAndEmptyArchive)
{
    RawArchive a = ParseRaw(BuildArchive({ { L"Data", "", true }, { L"Other/", "", true } }));
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].name, "Data/");
    EXPECT_EQ(a.entries[1].name, "Other/");
    EXPECT_EQ(a.entries[0].wMethod, 0);
    EXPECT_EQ(a.entries[0].dwCrc, 0u);
    EXPECT_EQ(a.entries[0].dwCompressed, 0u);
    EXPECT_EQ(a.entries[0].dwUncompressed, 0u);
    EXPECT_EQ(a.entries[0].dwExternal, 0x41C00010u);

    std::string empty = BuildArchive({});
    EXPECT_EQ(empty, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

TEST(ZipWriter, PipeOutputCarriesDataDescriptors)
{
    HANDLE hRead = NULL, hWrite = NULL;
    ASSERT_TRUE(CreatePipe(&hRead, &hWrite, NULL, 1 << 20));
    ZipHandle hZip = CreateZipArchive(hWrite, 0, ZipKindHandle);
    ASSERT_NE(hZip, nullptr);
    CloseHandle(hWrite);
    std::string text = TextOfSize(3000, 2);
    EXPECT_EQ(AddToZipArchive(hZip, L"a.reg", text.data(), (DWORD)text.size(), ZipKindMemory), ZipOk);
    EXPECT_EQ(AddToZipArchive(hZip, L"b.zip", "stored", 6, ZipKindMemory), ZipOk);
    // A stored item of unknown size cannot go to a pipe: its first header needs the size.
    HANDLE hSourceRead = NULL, hSourceWrite = NULL;
    ASSERT_TRUE(CreatePipe(&hSourceRead, &hSourceWrite, NULL, 4096));
    CloseHandle(hSourceWrite);
    EXPECT_EQ(AddToZipArchive(hZip, L"c.zip", hSourceRead, 0, ZipKindHandle), ZipBugNoChange);
    EXPECT_EQ(OpenZipArchive(hSourceRead, 0, ZipKindHandle), nullptr);
    CloseHandle(hSourceRead);
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);
    std::string bytes;
    char buf[4096];
    DWORD dwRead = 0;
    while (ReadFile(hRead, buf, sizeof(buf), &dwRead, NULL) && dwRead)
        bytes.append(buf, dwRead);
    CloseHandle(hRead);

    RawArchive a = ParseRaw(bytes);
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 2u);
    for (const RawEntry& e : a.entries)
    {
        EXPECT_EQ(e.wLocalFlags, 0x0008) << e.name;
        EXPECT_EQ(e.wCentralFlags, 0x0008) << e.name;
        size_t nDescriptor = e.dwLocalOffset + 30 + e.name.size() + 17 + e.dwCompressed;
        ASSERT_LE(nDescriptor + 16, bytes.size());
        EXPECT_EQ(bytes.substr(nDescriptor, 4), std::string("PK\x07\x08", 4));
        EXPECT_EQ(zipformat::GetDword((const BYTE*)bytes.data() + nDescriptor + 4), e.dwCrc);
    }
    // A pipe as the source: size unknown until its end.
    ASSERT_TRUE(CreatePipe(&hRead, &hWrite, NULL, 1 << 20));
    WriteFile(hWrite, text.data(), (DWORD)text.size(), &dwRead, NULL);
    CloseHandle(hWrite);
    ZipHandle hMemory = CreateZipArchive(NULL, 1024, ZipKindMemory);
    ASSERT_NE(hMemory, nullptr);
    EXPECT_EQ(AddToZipArchive(hMemory, L"piped.txt", hRead, 0, ZipKindHandle), ZipOk);
    CloseHandle(hRead);
    void* pBlock = NULL;
    DWORD dwLength = 0;
    ASSERT_EQ(GetZipArchiveMemory(hMemory, &pBlock, &dwLength), ZipOk);
    RawArchive piped = ParseRaw(std::string((const char*)pBlock, dwLength));
    CloseZipWriter(hMemory);
    ASSERT_EQ(piped.entries.size(), 1u);
    EXPECT_EQ(piped.entries[0].dwUncompressed, 3000u);
    EXPECT_EQ(piped.entries[0].dwLocalUncompressed, 3000u);
    EXPECT_EQ(piped.entries[0].dwExternal, 0x80000000u);

    // The same archive read back through the central directory.
    ZipHandle hReader = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
    ASSERT_NE(hReader, nullptr);
    std::string back(3000, '\0');
    EXPECT_EQ(ExtractZipArchiveItem(hReader, 0, &back[0], 3000, ZipKindMemory), ZipMore);
    EXPECT_EQ(back, text);
    CloseZipReader(hReader);
}

TEST(ZipWriter, HandleOutputStartsAtTheFilePosition)
{
    ScratchFolder folder;
    CString strZip(folder.File(L"prefixed.zip").c_str());
    HANDLE hFile = CreateFileW(strZip, GENERIC_WRITE | GENERIC_READ, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    DWORD dwDone = 0;
    WriteFile(hFile, "prefix", 6, &dwDone, NULL);
    ZipHandle hZip = CreateZipArchive(hFile, 0, ZipKindHandle);
    ASSERT_NE(hZip, nullptr);
    CloseHandle(hFile);         // the writer keeps its own duplicate
    std::string text = TextOfSize(10000, 9);
    CString strName(L"dir\\item.reg");
    EXPECT_EQ(AddToZipArchive(hZip, strName, text.data(), (DWORD)text.size(), ZipKindMemory), ZipOk);
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);

    std::string bytes = ReadBytes((LPCWSTR)strZip);
    ASSERT_EQ(bytes.substr(0, 6), "prefix");
    RawArchive a = ParseRaw(bytes);
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].dwLocalOffset, 6u);
    EXPECT_EQ(a.entries[0].wCentralFlags, 0x0002);
    hZip = OpenZipArchive(strZip, 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    std::string back(10000, '\0');
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, &back[0], 10000, ZipKindMemory), ZipMore);
    EXPECT_EQ(back, text);
    CloseZipReader(hZip);
}

TEST(ZipWriter, FileTimesAttributesAndTheYear2038Clamp)
{
    ScratchFolder folder;
    std::wstring strFuture = folder.File(L"future.reg"), strRo = folder.File(L"ro.txt"), strExe = folder.File(L"tool.exe");
    ASSERT_TRUE(WriteBytes(strFuture, "future"));
    ASSERT_TRUE(SetModifyTime(strFuture, FileTimeOf(2040, 6, 1, 13, 14, 16)));
    ASSERT_TRUE(WriteBytes(strRo, "read only"));
    ASSERT_TRUE(SetFileAttributesW(strRo.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string exe(200, '\0');
    exe[0] = 'M';
    exe[1] = 'Z';
    exe[60] = 64;
    exe.replace(64, 4, std::string("PE\0\0", 4));
    ASSERT_TRUE(WriteBytes(strExe, exe));

    std::wstring strZip = folder.File(L"t.zip");
    ZipHandle hZip = CreateZipArchive(strZip.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(AddToZipArchive(hZip, L"future.reg", strFuture.c_str(), 0, ZipKindFile), ZipOk);
    EXPECT_EQ(AddToZipArchive(hZip, L"ro.txt", strRo.c_str(), 0, ZipKindFile), ZipOk);
    EXPECT_EQ(AddToZipArchive(hZip, L"tool.exe", strExe.c_str(), 0, ZipKindFile), ZipOk);
    EXPECT_EQ(AddToZipArchive(hZip, L"gone.txt", folder.File(L"missing").c_str(), 0, ZipKindFile), ZipErrNoFile);
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);
    SetFileAttributesW(strRo.c_str(), FILE_ATTRIBUTE_NORMAL);

    RawArchive a = ParseRaw(ReadBytes(strZip));
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 3u);
    // 31 December 2037 at the same time of day, in all three "UT" times.
    DWORD dwExpected = 2145830400u + 13 * 3600 + 14 * 60 + 16;
    const std::string& ut = a.entries[0].localExtra;
    EXPECT_EQ(zipformat::GetDword((const BYTE*)ut.data() + 5), dwExpected);
    // Access and creation times are the host file system's business; they are clamped all the same.
    for (int i = 1; i < 3; ++i)
        EXPECT_LE(zipformat::GetDword((const BYTE*)ut.data() + 5 + 4 * i), 2145916799u) << i;
    EXPECT_EQ(a.entries[0].wDosDate >> 9, 2040 - 1980);
    EXPECT_EQ(a.entries[0].dwExternal >> 16, 0x8180u);
    EXPECT_EQ(a.entries[1].dwExternal >> 16, 0x8100u);
    EXPECT_EQ(a.entries[1].dwExternal & FILE_ATTRIBUTE_READONLY, (DWORD)FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(a.entries[2].dwExternal >> 16, 0x81C0u);
}

TEST(ZipWriter, NamesOutsideTheAnsiCodePageAreStoredAsUtf8)
{
    // Both would be "?.lnk" in any single-byte code page.
    RawArchive a = ParseRaw(BuildArchive({ { L"\x0416.lnk", "one" }, { L"\x0429.lnk", "two" }, { L"plain.lnk", "three" } }));
    ASSERT_TRUE(a.bOk);
    ASSERT_EQ(a.entries.size(), 3u);
    EXPECT_EQ(a.entries[0].name, "\xD0\x96.lnk");
    EXPECT_EQ(a.entries[1].name, "\xD0\xA9.lnk");
    EXPECT_EQ(a.entries[0].wCentralFlags, 0x0802);
    EXPECT_EQ(a.entries[0].wLocalFlags, 0x0802);
    EXPECT_EQ(a.entries[2].name, "plain.lnk");
    EXPECT_EQ(a.entries[2].wCentralFlags, 0x0002);

    // A name that fits the ANSI code page stays in it, unflagged.
    char szAnsi[16];
    BOOL bUsedDefault = FALSE;
    int nAnsi = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"caf\x00E9.reg", -1, szAnsi, 16, NULL, &bUsedDefault);
    if (nAnsi > 0 && !bUsedDefault && GetACP() != CP_UTF8)
    {
        RawArchive b = ParseRaw(BuildArchive({ { L"caf\x00E9.reg", "x" } }));
        ASSERT_EQ(b.entries.size(), 1u);
        EXPECT_EQ(b.entries[0].name, szAnsi);
        EXPECT_EQ(b.entries[0].wCentralFlags & 0x0800, 0);
    }
    else
        printf("[   NOTE   ] code page %u has no e-acute; the ANSI name case is not run\n", GetACP());

    std::string bytes = BuildArchive({ { L"\x0416.lnk", "one" }, { L"\x0429.lnk", "two" } });
    ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    ZipArchiveEntry e;
    ASSERT_EQ(GetZipArchiveItem(hZip, 1, &e), ZipOk);
    EXPECT_STREQ(e.m_szName, L"\x0429.lnk");
    int nIndex = -1;
    EXPECT_EQ(FindZipArchiveItem(hZip, L"\x0416.LNK", TRUE, &nIndex, NULL), ZipOk);
    EXPECT_EQ(nIndex, 0);
    CloseZipReader(hZip);
}

TEST(ZipWriter, CallerErrorsAndEndedArchives)
{
    EXPECT_EQ(AddToZipArchive(NULL, L"a", "x", 1, ZipKindMemory), ZipErrArgs);
    EXPECT_EQ(CloseZipWriter(NULL), ZipErrArgs);
    EXPECT_TRUE(IsZipWriterHandle(NULL));
    EXPECT_EQ(CreateZipArchive(NULL, 0, ZipKindMemory), nullptr);
    wchar_t szText[64];
    unsigned nLength = FormatZipResult(1, szText, 64);
    EXPECT_EQ(nLength, wcslen(szText));
    EXPECT_STREQ(szText, L"Caller: not enough space allocated for memory zipfile");
    FormatZipResult(0x12345, szText, 8);
    EXPECT_STREQ(szText, L"unknown");

    std::string empty = BuildArchive({});
    ZipHandle hReader = OpenZipArchive(empty.data(), (DWORD)empty.size(), ZipKindMemory);
    ASSERT_NE(hReader, nullptr);
    EXPECT_FALSE(IsZipWriterHandle(hReader));
    EXPECT_EQ(AddToZipArchive(hReader, L"a", "x", 1, ZipKindMemory), ZipErrMixed);
    EXPECT_EQ(CloseZipWriter(hReader), ZipErrMixed);
    EXPECT_EQ(CloseZipReader(hReader), ZipOk);

    ZipHandle hZip = CreateZipArchive(NULL, 64, ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(AddToZipArchive(hZip, L"", "x", 1, ZipKindMemory), ZipErrArgs);
    EXPECT_EQ(AddToZipArchive(hZip, L"a", NULL, 1, ZipKindMemory), ZipErrArgs);
    EXPECT_EQ(AddToZipArchive(hZip, L"a", "x", 1, 9), ZipErrArgs);
    EXPECT_EQ(AddToZipArchive(hZip, std::wstring(300, L'n').c_str(), "x", 1, ZipKindMemory), ZipErrArgs);
    std::string big = RandomOfSize(100000, 3);
    EXPECT_EQ(AddToZipArchive(hZip, L"big.bin", big.data(), (DWORD)big.size(), ZipKindMemory), ZipOk);
    void* pBlock = NULL;
    DWORD dwLength = 0;
    EXPECT_EQ(GetZipArchiveMemory(hZip, &pBlock, &dwLength), ZipOk);
    EXPECT_GT(dwLength, 100000u);
    EXPECT_EQ(AddToZipArchive(hZip, L"late", "x", 1, ZipKindMemory), ZipErrEnded);
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);

    // A caller's block that is too small fails the add, and every later one.
    char block[200];
    hZip = CreateZipArchive(block, sizeof(block), ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(AddToZipArchive(hZip, L"big.bin", big.data(), 1000, ZipKindMemory), ZipErrMemSize);
    EXPECT_EQ(AddToZipArchive(hZip, L"small", "x", 1, ZipKindMemory), ZipErrPrevious);
    CloseZipWriter(hZip);
}

TEST(ZipWriter, AddFolderTakesTheWholeTree)
{
    ScratchFolder folder;
    CreateDirectoryW(folder.File(L"Tree").c_str(), NULL);
    CreateDirectoryW(folder.File(L"Tree\\Sub").c_str(), NULL);
    ASSERT_TRUE(WriteBytes(folder.File(L"Tree\\a.txt"), "alpha"));
    ASSERT_TRUE(WriteBytes(folder.File(L"Tree\\Sub\\b.txt"), "beta"));
    std::wstring strZip = folder.File(L"tree.zip");
    ZipHandle hZip = CreateZipArchive(strZip.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    EXPECT_TRUE(AddFolderToZipArchive(hZip, folder.Path().c_str(), L"Tree"));
    EXPECT_FALSE(AddFolderToZipArchive(hZip, folder.Path().c_str(), L"NoSuch"));
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);
    RawArchive a = ParseRaw(ReadBytes(strZip));
    ASSERT_TRUE(a.bOk);
    std::vector<std::string> names;
    for (const RawEntry& e : a.entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    // The failed folder's own entry was still added before its listing failed.
    EXPECT_EQ(names, (std::vector<std::string>{ "NoSuch/", "Tree/", "Tree/Sub/", "Tree/Sub/b.txt", "Tree/a.txt" }));
}
