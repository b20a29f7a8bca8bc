// The shred over real files: hard links made before the shred show what it
// left on the disk.
#include "privacy/ShredPath.h"
#include "privacy/ShredPlan.h"
#include "privacy/ShredRejects.h"
#include "tests/privacy_junk/JunkTestSupport.h"

using junktest::Exists;
using junktest::Plant;

namespace {

std::string Pattern(size_t nSize, unsigned char c)
{
    return std::string(nSize, (char)c);
}

// What a file of nSize bytes holds after a pass of that buffer.
std::string Repeated(const BYTE* pBuffer, size_t nSize)
{
    std::string out;
    out.reserve(nSize);
    while (out.size() < nSize)
    {
        size_t n = std::min<size_t>(SHRED_CHUNK, nSize - out.size());
        out.append((const char*)pBuffer, n);
    }
    return out;
}

ShredRunResult Shred(const std::vector<ShredItem>& items, int nPasses, CShredPatterns& patterns, CShredIo& io = SystemShredIo())
{
    EXPECT_TRUE(patterns.Alloc(nPasses));
    patterns.FillRandom(12345);
    CShredRun run(io, patterns, NULL);
    return run.Run(items, nPasses);
}

// Writes through to the real file only near its start and its end, and counts
// the rest: a sparse file of 4 GiB stays cheap on the disk.
class CHeadTailIo : public CShredIo
{
public:
    ULONGLONG ullCounted = 0;
    ULONGLONG ullRealBytes = 0;
    class CFile : public CShredFile
    {
    public:
        CFile(CHeadTailIo& io, HANDLE h) : m_io(io), m_h(h) {}
        ~CFile() override { ::CloseHandle(m_h); }
        BOOL GetSize(ULONGLONG* p) override
        {
            LARGE_INTEGER li;
            if (!::GetFileSizeEx(m_h, &li))
                return FALSE;
            *p = m_ullSize = (ULONGLONG)li.QuadPart;
            return TRUE;
        }
        BOOL Write(const BYTE* pData, DWORD n, DWORD* pnWritten) override
        {
            *pnWritten = 0;
            bool bReal = m_ullPos < 2 * SHRED_CHUNK || m_ullPos + n + 2 * SHRED_CHUNK > m_ullSize;
            if (bReal)
            {
                LARGE_INTEGER li;
                li.QuadPart = (LONGLONG)m_ullPos;
                if (!::SetFilePointerEx(m_h, li, NULL, FILE_BEGIN) || !::WriteFile(m_h, pData, n, pnWritten, NULL))
                    return FALSE;
                m_io.ullRealBytes += *pnWritten;
            }
            else
                *pnWritten = n;
            m_ullPos += *pnWritten;
            m_io.ullCounted += *pnWritten;
            return TRUE;
        }
        BOOL Flush() override { return ::FlushFileBuffers(m_h); }
    private:
        CHeadTailIo& m_io;
        HANDLE m_h;
        ULONGLONG m_ullPos = 0;
        ULONGLONG m_ullSize = 0;
    };
    std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) override
    {
        HANDLE h = ::CreateFileW(lpszPath, GENERIC_WRITE, FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::unique_ptr<CShredFile>(new CFile(*this, h));
    }
    BOOL Delete(LPCWSTR lpszPath) override { return ::DeleteFileW(lpszPath); }
};

std::string ReadRange(const std::wstring& strPath, ULONGLONG ullOffset, DWORD nBytes)
{
    std::string out;
    HANDLE h = ::CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    LARGE_INTEGER li;
    li.QuadPart = (LONGLONG)ullOffset;
    out.resize(nBytes);
    DWORD nRead = 0;
    if (!::SetFilePointerEx(h, li, NULL, FILE_BEGIN) || !::ReadFile(h, &out[0], nBytes, &nRead, NULL))
        nRead = 0;
    out.resize(nRead);
    ::CloseHandle(h);
    return out;
}

} // namespace

TEST(ShredFiles, EachMethodLeavesItsLastPassOverTheWholeLength)
{
    testsupport::ScratchFolder scratch;
    const size_t nSize = 200000;
    for (int nPasses : {1, 3, 7})
    {
        std::wstring strFile = scratch.File(L"doc" + std::to_wstring(nPasses) + L".txt");
        std::wstring strLink = strFile + L".link";
        ASSERT_TRUE(Plant(strFile, Pattern(nSize, 'A')));
        ASSERT_TRUE(::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL));
        std::wstring strFolder, strName;
        ASSERT_TRUE(SplitShredPath(strFile, strFolder, strName));
        CShredPatterns patterns;
        EXPECT_EQ(Shred({ShredItem{strFolder, strName}}, nPasses, patterns), SHRED_RUN_DONE) << nPasses;
        EXPECT_FALSE(Exists(strFile)) << nPasses;
        std::string after = testsupport::ReadFileBytes(strLink);
        EXPECT_EQ(after.size(), nSize) << nPasses;
        EXPECT_TRUE(after == Repeated(patterns.Get(SHRED_RANDOM), nSize)) << "pass count " << nPasses;
    }
}

TEST(ShredFiles, AnEmptyFileIsDeletedAndALockedOneStays)
{
    testsupport::ScratchFolder scratch;
    ASSERT_TRUE(Plant(scratch.File(L"empty.dat"), ""));
    ASSERT_TRUE(Plant(scratch.File(L"held.dat"), Pattern(5000, 'H')));
    std::wstring strHeldLink = scratch.File(L"held.link");
    ASSERT_TRUE(::CreateHardLinkW(strHeldLink.c_str(), scratch.File(L"held.dat").c_str(), NULL));
    // Written and shared for reading and writing, not deleting: the passes
    // run, the delete fails and the run says so.
    HANDLE hHold = ::CreateFileW(scratch.File(L"held.dat").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    CShredPatterns patterns;
    std::vector<ShredItem> items = {ShredItem{scratch.Path(), L"empty.dat"}, ShredItem{scratch.Path(), L"held.dat"}};
    CShredRun run(SystemShredIo(), patterns, NULL);
    ASSERT_TRUE(patterns.Alloc(1));
    std::vector<size_t> gone;
    run.SetFileGone([&](size_t n) { gone.push_back(n); });
    EXPECT_EQ(run.Run(items, 1), SHRED_RUN_FAILED);
    ::CloseHandle(hHold);
    EXPECT_EQ(gone, (std::vector<size_t>{0}));
    EXPECT_EQ(run.GetFailedIndex(), 1u);
    EXPECT_FALSE(Exists(scratch.File(L"empty.dat")));
    EXPECT_TRUE(Exists(scratch.File(L"held.dat")));
    EXPECT_NE(testsupport::ReadFileBytes(strHeldLink), Pattern(5000, 'H')) << "its pass ran";
    // Every handle of the run is closed: now it goes.
    EXPECT_TRUE(::DeleteFileW(scratch.File(L"held.dat").c_str()));
}

// The user chose a read-only file: its flag is taken off and it goes.
TEST(ShredFiles, AReadOnlyFileIsOverwrittenAndGone)
{
    testsupport::ScratchFolder scratch;
    std::wstring strFile = scratch.File(L"kept.doc"), strLink = scratch.File(L"kept.link");
    ASSERT_TRUE(Plant(strFile, Pattern(70000, 'R')));
    ASSERT_TRUE(::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL));
    ASSERT_TRUE(::SetFileAttributesW(strFile.c_str(), FILE_ATTRIBUTE_READONLY));
    ULONGLONG ullSize = 0;
    DWORD dwError = ERROR_SUCCESS;
    EXPECT_TRUE(ProbeShredFile(SystemShredIo(), strFile.c_str(), &ullSize, &dwError)) << dwError;
    EXPECT_EQ(ullSize, 70000u);
    CShredPatterns patterns;
    EXPECT_EQ(Shred({ShredItem{scratch.Path(), L"kept.doc"}}, 3, patterns), SHRED_RUN_DONE);
    EXPECT_FALSE(Exists(strFile));
    EXPECT_TRUE(testsupport::ReadFileBytes(strLink) == Repeated(patterns.Get(SHRED_RANDOM), 70000));
    ::SetFileAttributesW(strLink.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A read-only file that cannot go after all (held open, no delete shared):
// overwritten, kept with its flag back, and the run says which and why.
TEST(ShredFiles, AFileThatStaysIsToldAsOverwrittenAndKeepsItsFlag)
{
    testsupport::ScratchFolder scratch;
    std::wstring strFile = scratch.File(L"held.doc"), strLink = scratch.File(L"held.link");
    ASSERT_TRUE(Plant(strFile, Pattern(5000, 'H')));
    ASSERT_TRUE(::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL));
    HANDLE hHold = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileAttributesW(strFile.c_str(), FILE_ATTRIBUTE_READONLY));
    CShredPatterns patterns;
    ASSERT_TRUE(patterns.Alloc(1));
    CShredRun run(SystemShredIo(), patterns, NULL);
    EXPECT_EQ(run.Run({ShredItem{scratch.Path(), L"held.doc"}}, 1), SHRED_RUN_FAILED);
    ::CloseHandle(hHold);
    EXPECT_TRUE(Exists(strFile));
    EXPECT_TRUE(run.IsFailedOverwritten());
    EXPECT_NE(run.GetFailedError(), (DWORD)ERROR_SUCCESS);
    EXPECT_NE(testsupport::ReadFileBytes(strLink), Pattern(5000, 'H')) << "its pass ran";
    EXPECT_NE(::GetFileAttributesW(strFile.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // The view words it (its test reads the text); the file and why are in it.
    CString strText = FormatShredKept(strFile, ERROR_FILE_NOT_FOUND);
    EXPECT_NE(std::wstring(strText).find(strFile + L": "), std::wstring::npos);
    EXPECT_GT(strText.GetLength(), (int)strFile.size() + 4);
    ::SetFileAttributesW(strFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Stopped before its first chunk: not written, not deleted, and still
// read-only as the user left it. A pass that cannot open is no overwrite.
TEST(ShredFiles, AReadOnlyFileNotShreddedStaysReadOnly)
{
    testsupport::ScratchFolder scratch;
    std::wstring strFile = scratch.File(L"ro.doc");
    ASSERT_TRUE(Plant(strFile, Pattern(3000, 'S')));
    ASSERT_TRUE(::SetFileAttributesW(strFile.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    HANDLE hStop = ::CreateEventW(NULL, TRUE, TRUE, NULL);
    CShredPatterns patterns;
    ASSERT_TRUE(patterns.Alloc(1));
    CShredRun run(SystemShredIo(), patterns, hStop);
    EXPECT_EQ(run.Run({ShredItem{scratch.Path(), L"ro.doc"}}, 1), SHRED_RUN_STOPPED);
    ::CloseHandle(hStop);
    EXPECT_FALSE(run.IsFailedOverwritten());
    EXPECT_EQ(testsupport::ReadFileBytes(strFile), Pattern(3000, 'S'));
    EXPECT_EQ(::GetFileAttributesW(strFile.c_str()), (DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ::SetFileAttributesW(strFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ShredFiles, TheSplitDecoySurvives)
{
    testsupport::ScratchFolder scratch;
    // The name "re" occurs first inside "report": a split there would name acc\re.
    std::wstring strDecoy = scratch.File(L"acc\\re"), strTarget = scratch.File(L"acc\\report\\re");
    ASSERT_TRUE(Plant(strDecoy, "decoy"));
    ASSERT_TRUE(Plant(strTarget, "target"));
    std::wstring strFolder, strName;
    ASSERT_TRUE(SplitShredPath(strTarget, strFolder, strName));
    CShredPatterns patterns;
    EXPECT_EQ(Shred({ShredItem{strFolder, strName}}, 1, patterns), SHRED_RUN_DONE);
    EXPECT_FALSE(Exists(strTarget));
    EXPECT_EQ(testsupport::ReadFileBytes(strDecoy), "decoy");
}

TEST(ShredFiles, AddDirectoryEntersNoLinkAndKeepsTheCurrentDirectory)
{
    testsupport::ScratchFolder scratch;
    std::wstring strTop = scratch.File(L"top"), strOut = scratch.File(L"out");
    ASSERT_TRUE(Plant(strTop + L"\\a.txt"));
    ASSERT_TRUE(Plant(strTop + L"\\sub\\b.txt"));
    ASSERT_TRUE(Plant(strOut + L"\\precious.txt"));
    junktest::CHostLink link(strOut, strTop + L"\\sub\\linked");
    ASSERT_TRUE(link.IsMade());
    wchar_t szBefore[MAX_PATH], szAfter[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, szBefore);
    std::vector<ShredItem> items = CollectShredFolderFiles(strTop);
    ::GetCurrentDirectoryW(MAX_PATH, szAfter);
    EXPECT_STREQ(szBefore, szAfter);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].Path(), strTop + L"\\a.txt");
    EXPECT_EQ(items[1].Path(), strTop + L"\\sub\\b.txt");
}

// Slow: 65,537 chunks per pass. The file is sparse and only its first and
// last chunks reach the disk; the rest are counted.
TEST(ShredFiles, SlowSparseFourGibibytesAndFourKibibytesOverwrittenToItsEnd)
{
    testsupport::ScratchFolder scratch;
    std::wstring strFile = scratch.File(L"big.vhd"), strLink = scratch.File(L"big.link");
    const ULONGLONG ullSize = 0x100001000ull;
    {
        HANDLE h = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER li;
        li.QuadPart = (LONGLONG)ullSize;
        BOOL bOk = ::SetFilePointerEx(h, li, NULL, FILE_BEGIN) && ::SetEndOfFile(h);
        ::CloseHandle(h);
        ASSERT_TRUE(bOk);
    }
    ASSERT_TRUE(::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL));
    std::wstring strSize;
    {
        ULONGLONG ullListed = 0;
        ASSERT_TRUE(ProbeShredFile(SystemShredIo(), strFile.c_str(), &ullListed));
        EXPECT_EQ(FormatShredSize(ullListed), L"4294971392");
    }
    CHeadTailIo io;
    CShredPatterns patterns;
    EXPECT_EQ(Shred({ShredItem{scratch.Path(), L"big.vhd"}}, 1, patterns, io), SHRED_RUN_DONE);
    EXPECT_EQ(io.ullCounted, ullSize);
    EXPECT_LT(io.ullRealBytes, 6ull * SHRED_CHUNK);
    EXPECT_FALSE(Exists(strFile));
    const BYTE* pRandom = patterns.Get(SHRED_RANDOM);
    EXPECT_TRUE(ReadRange(strLink, 0, 4096) == std::string((const char*)pRandom, 4096));
    EXPECT_TRUE(ReadRange(strLink, ullSize - 4096, 4096) == std::string((const char*)pRandom, 4096))
        << "the last 4 KiB, past the low 32 bits of the size";
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(::GetFileAttributesExW(strLink.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow, ullSize);
}
