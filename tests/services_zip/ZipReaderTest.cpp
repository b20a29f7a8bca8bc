#include "tests/services_zip/ZipTestSupport.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace ziptest;
using testsupport::ScratchFolder;

namespace {

// Runs with the current folder set to a scratch folder, restored afterwards.
class CurrentFolder
{
public:
    explicit CurrentFolder(const std::wstring& strPath)
    {
        GetCurrentDirectoryW(MAX_PATH, m_szOld);
        SetCurrentDirectoryW(strPath.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(m_szOld); }
private:
    wchar_t m_szOld[MAX_PATH];
};

bool Exists(const std::wstring& strPath)
{
    return GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ULONGLONG Ticks(const FILETIME& ft)
{
    return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

} // namespace

TEST(ZipReader, RoundTripKeepsOrderContentsAndTimes)
{
    ScratchFolder folder;
    std::vector<std::string> contents = { TextOfSize(70000, 4), RandomOfSize(40000, 5), "", "tiny" };
    std::vector<std::wstring> names = { L"z-first.reg", L"Sub\\b.bin", L"empty.txt", L"a-last.txt" };
    SYSTEMTIME st = { 2021, 3, 0, 14, 15, 9, 26, 0 };
    FILETIME ftModify;
    SystemTimeToFileTime(&st, &ftModify);
    std::wstring strZip = folder.File(L"round.zip");
    ZipHandle hZip = CreateZipArchive(strZip.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    for (size_t i = 0; i < names.size(); ++i)
    {
        std::wstring strSource = folder.File(L"src" + std::to_wstring(i));
        ASSERT_TRUE(WriteBytes(strSource, contents[i]));
        HANDLE h = CreateFileW(strSource.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
        SetFileTime(h, NULL, NULL, &ftModify);
        CloseHandle(h);
        EXPECT_EQ(AddToZipArchive(hZip, names[i].c_str(), strSource.c_str(), 0, ZipKindFile), ZipOk);
    }
    EXPECT_EQ(CloseZipWriter(hZip), ZipOk);

    hZip = OpenZipArchive(strZip.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    ZipArchiveEntry e;
    ASSERT_EQ(GetZipArchiveItem(hZip, -1, &e), ZipOk);
    ASSERT_EQ(e.m_nIndex, 4);
    EXPECT_STREQ(e.m_szName, L"");
    for (int i = 0; i < 4; ++i)
    {
        ASSERT_EQ(GetZipArchiveItem(hZip, i, &e), ZipOk);
        std::wstring expected = names[i];
        std::replace(expected.begin(), expected.end(), L'\\', L'/');
        EXPECT_EQ(e.m_szName, expected);
        EXPECT_EQ(e.m_dwUncompressedSize, contents[i].size());
        EXPECT_EQ(Ticks(e.m_ftModifyTime), Ticks(ftModify)) << i;
        EXPECT_EQ(e.m_dwAttributes & FILE_ATTRIBUTE_READONLY, 0u);
        std::wstring strOut = folder.File(L"out" + std::to_wstring(i));
        ASSERT_EQ(ExtractZipArchiveItem(hZip, i, strOut.c_str(), 0, ZipKindFile), ZipOk);
        EXPECT_EQ(ReadBytes(strOut), contents[i]) << i;
        WIN32_FILE_ATTRIBUTE_DATA data;
        ASSERT_TRUE(GetFileAttributesExW(strOut.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(Ticks(data.ftLastWriteTime), Ticks(ftModify));
    }
    // Asking for the count keeps the cached entry; asking twice returns it again.
    ASSERT_EQ(GetZipArchiveItem(hZip, 3, &e), ZipOk);
    ASSERT_EQ(GetZipArchiveItem(hZip, -1, &e), ZipOk);
    ASSERT_EQ(GetZipArchiveItem(hZip, 3, &e), ZipOk);
    EXPECT_STREQ(e.m_szName, L"a-last.txt");
    EXPECT_EQ(GetZipArchiveItem(hZip, 4, &e), ZipErrArgs);
    EXPECT_EQ(GetZipArchiveItem(hZip, -2, &e), ZipErrArgs);
    int nIndex = 0;
    EXPECT_EQ(FindZipArchiveItem(hZip, L"SUB/B.BIN", TRUE, &nIndex, &e), ZipOk);
    EXPECT_EQ(nIndex, 1);
    EXPECT_EQ(FindZipArchiveItem(hZip, L"SUB/B.BIN", FALSE, &nIndex, &e), ZipErrNotFound);
    EXPECT_EQ(nIndex, -1);
    EXPECT_EQ(e.m_nIndex, -1);
    EXPECT_EQ(CloseZipReader(hZip), ZipOk);
}

TEST(ZipReader, FoldersOfRelativeAndFullTargets)
{
    ScratchFolder folder;
    CurrentFolder current(folder.Path());
    std::string bytes = BuildArchive({ { L"Sub/file.reg", "reg data" }, { L"Made/Deep", "", true } });
    ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    SetCurrentDirectoryW(L"C:\\");   // the base folder is taken at open

    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, L"Sub\\file.reg", 0, ZipKindFile), ZipOk);
    EXPECT_EQ(ReadBytes(folder.File(L"Sub\\file.reg")), "reg data");
    // A full path creates no folder, so its folder must exist.
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, folder.File(L"Full\\file.reg").c_str(), 0, ZipKindFile), ZipErrNoFile);
    EXPECT_FALSE(Exists(folder.File(L"Full")));
    // A target that climbs creates no folders either.
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, L"X\\..\\Y\\file.reg", 0, ZipKindFile), ZipErrNoFile);
    EXPECT_FALSE(Exists(folder.File(L"X")));
    // A folder item is made below the base folder by its own name.
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 1, L"ignored", 0, ZipKindFile), ZipOk);
    EXPECT_TRUE(Exists(folder.File(L"Made\\Deep")));
    CloseZipReader(hZip);
}

TEST(ZipReader, DataInFrontReadOnlyBitAndMemoryChunks)
{
    std::string data = "0123456789abcdefghijklmno";
    std::string bytes = std::string(100, 'x') + BuildArchive({ { L"a.txt", data } });
    // Most other tools leave out the owner-write bit: such an item is read-only.
    RawArchive raw = ParseRaw(bytes.substr(100));
    ASSERT_TRUE(raw.bOk);
    std::string noWrite = bytes;
    noWrite[100 + raw.dwCentralOffset + 38] = 0x20;
    noWrite[100 + raw.dwCentralOffset + 40] = 0;
    noWrite[100 + raw.dwCentralOffset + 41] = 0;

    ZipHandle hZip = OpenZipArchive(noWrite.data(), (DWORD)noWrite.size(), ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    ZipArchiveEntry e;
    ASSERT_EQ(GetZipArchiveItem(hZip, 0, &e), ZipOk);
    EXPECT_EQ(e.m_dwAttributes, (DWORD)(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    char buf[10];
    std::string got;
    std::vector<ZipResult> results;
    for (int i = 0; i < 5; ++i)
    {
        memset(buf, 0, sizeof(buf));
        ZipResult zr = ExtractZipArchiveItem(hZip, 0, buf, sizeof(buf), ZipKindMemory);
        results.push_back(zr);
        if (zr == ZipMore)
            got.append(buf, got.size() + 10 <= data.size() ? 10 : data.size() - got.size());
        if (zr != ZipMore)
            break;
    }
    EXPECT_EQ(results, (std::vector<ZipResult>{ ZipMore, ZipMore, ZipMore, ZipOk }));
    EXPECT_EQ(got, data);
    CloseZipReader(hZip);

    // The same through a file handle positioned at the archive's start.
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder.File(L"front.bin"), std::string(37, 'y') + bytes));
    HANDLE hFile = CreateFileW(folder.File(L"front.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    LARGE_INTEGER li;
    li.QuadPart = 37;
    SetFilePointerEx(hFile, li, NULL, FILE_BEGIN);
    hZip = OpenZipArchive(hFile, 0, ZipKindHandle);
    CloseHandle(hFile);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, folder.File(L"a.txt").c_str(), 0, ZipKindFile), ZipOk);
    EXPECT_EQ(ReadBytes(folder.File(L"a.txt")), data);
    CloseZipReader(hZip);
}

TEST(ZipReader, CrcMismatchIsAnErrorAndLeavesNoFile)
{
    ScratchFolder folder;
    std::string text = TextOfSize(20000, 6);
    for (const wchar_t* pszName : { L"deflated.reg", L"stored.zip" })
    {
        std::string bytes = BuildArchive({ { pszName, text } });
        RawArchive raw = ParseRaw(bytes);
        ASSERT_TRUE(raw.bOk);
        // Damage the stored CRC in both headers alike, so only the data disagrees.
        bytes[raw.entries[0].dwCrcFieldPos] ^= 0x55;
        bytes[14] ^= 0x55;
        ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
        ASSERT_NE(hZip, nullptr);
        std::wstring strOut = folder.File(pszName);
        EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, strOut.c_str(), 0, ZipKindFile), ZipErrCorrupt) << pszName;
        EXPECT_FALSE(Exists(strOut)) << pszName;
        std::string buf(30000, '\0');
        EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, &buf[0], (DWORD)buf.size(), ZipKindMemory), ZipMore);
        EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, &buf[0], (DWORD)buf.size(), ZipKindMemory), ZipErrCorrupt);
        CloseZipReader(hZip);
    }
}

TEST(ZipReader, NamesThatLeaveTheTargetFolderAreRefused)
{
    ScratchFolder folder;
    CreateDirectoryW(folder.File(L"work").c_str(), NULL);
    CurrentFolder current(folder.File(L"work"));
    const wchar_t* const unsafe[] = { L"../evil.reg", L"a/../../evil.reg", L"..\\evil.reg", L"C:/evil.reg",
                                      L"/evil.reg", L"\\evil.reg", L"file.reg:stream", L"up/..", L"Deep/../../x/", L"a/.. /evil.reg" };
    for (const wchar_t* pszName : unsafe)
    {
        bool bFolder = pszName[wcslen(pszName) - 1] == L'/';
        std::string bytes = BuildArchive({ { pszName, "payload", bFolder } });
        ASSERT_FALSE(bytes.empty()) << pszName;
        ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
        ASSERT_NE(hZip, nullptr);
        ZipArchiveEntry e;
        EXPECT_EQ(GetZipArchiveItem(hZip, 0, &e), ZipErrCorrupt) << pszName;
        EXPECT_STREQ(e.m_szName, L"");
        std::wstring strTarget = folder.File(L"work\\") + pszName;
        EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, strTarget.c_str(), 0, ZipKindFile), ZipErrCorrupt) << pszName;
        EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, L"rel.reg", 0, ZipKindFile), ZipErrCorrupt) << pszName;
        CloseZipReader(hZip);
    }
    EXPECT_FALSE(Exists(folder.File(L"evil.reg")));
    EXPECT_FALSE(Exists(folder.File(L"x")));
    EXPECT_FALSE(Exists(folder.File(L"work\\rel.reg")));

    // ".." inside a name, not as a level, is an ordinary name.
    std::string bytes = BuildArchive({ { L"a..b/c..", "fine" } });
    ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
    ZipArchiveEntry e;
    EXPECT_EQ(GetZipArchiveItem(hZip, 0, &e), ZipOk);
    CloseZipReader(hZip);
}

TEST(ZipReader, LengthsBeyondTheFileAreRejected)
{
    std::string good = BuildArchive({ { L"one.reg", TextOfSize(3000, 7) }, { L"two.txt", "two" } });
    RawArchive raw = ParseRaw(good);
    ASSERT_TRUE(raw.bOk);
    const size_t nCentral = raw.dwCentralOffset;
    const size_t nEnd = good.size() - 22;
    auto patched = [&](size_t nPos, WORD wValue, int nBytes) {
        std::string bytes = good;
        for (int i = 0; i < nBytes; ++i)
            bytes[nPos + i] = (char)(i == 0 ? wValue & 0xFF : i == 1 ? wValue >> 8 : 0xFF);
        return bytes;
    };
    // Damaged central directory: the archive does not open at all.
    const std::vector<std::string> unopenable = {
        patched(nCentral + 28, 0xFFF0, 2),        // name length past the directory
        patched(nCentral + 30, 0x8000, 2),        // extra length past the directory
        patched(nEnd + 12, 0xFFFF, 4),            // directory size past the file
        patched(nEnd + 16, 0xFFFF, 4),            // directory offset past the file
        patched(nEnd + 10, 500, 2).replace(nEnd + 8, 2, "\xF4\x01"),   // more items than the directory holds
        good.substr(0, good.size() - 30),         // cut off
        std::string("PK\x05\x06", 4),
        RandomOfSize(5000, 8),
    };
    for (size_t i = 0; i < unopenable.size(); ++i)
    {
        const std::string& bytes = unopenable[i];
        ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
        EXPECT_EQ(hZip, nullptr) << i;
        if (hZip)
            CloseZipReader(hZip);
    }
    // Damaged item fields: the archive opens, the item is refused.
    const RawEntry& first = raw.entries[0];
    const std::vector<std::string> unreadable = {
        patched(nCentral + 20, 0xFFFF, 4),        // compressed size past the file
        patched(nCentral + 42, 0xFFFF, 4),        // local header offset past the file
        patched(28, 0xFFFF, 2),                   // local extra length past the file
        patched(first.dwLocalOffset + 18, 0xFFFF, 4),   // local sizes disagree with the central ones
    };
    for (size_t i = 0; i < unreadable.size(); ++i)
    {
        const std::string& bytes = unreadable[i];
        ZipHandle hZip = OpenZipArchive(bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
        ASSERT_NE(hZip, nullptr) << i;
        ZipArchiveEntry e;
        EXPECT_NE(GetZipArchiveItem(hZip, 0, &e), ZipOk) << i;
        char buf[64];
        EXPECT_NE(ExtractZipArchiveItem(hZip, 0, buf, sizeof(buf), ZipKindMemory), ZipMore) << i;
        EXPECT_EQ(GetZipArchiveItem(hZip, 1, &e), ZipOk) << i;
        CloseZipReader(hZip);
    }
    // An uncompressed size larger than the deflated data gives is corrupt.
    std::string longer = good;
    for (size_t nPos : { nCentral + 24, (size_t)22 })
        longer[nPos] = (char)(longer[nPos] + 1);
    ZipHandle hZip = OpenZipArchive(longer.data(), (DWORD)longer.size(), ZipKindMemory);
    ASSERT_NE(hZip, nullptr);
    std::string buf(4000, '\0');
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, &buf[0], (DWORD)buf.size(), ZipKindMemory), ZipErrCorrupt);
    CloseZipReader(hZip);
}
