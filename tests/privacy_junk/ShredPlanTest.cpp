// The shred without windows: a recording file system counts chunks, fails
// writes and deletes, and checks that every file it opened was closed.
#include "privacy/ShredPath.h"
#include "privacy/ShredPlan.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include <map>

namespace {

struct FakeFile
{
    ULONGLONG ullSize = 0;
    bool bLocked = false;     // cannot be opened
    bool bUndeletable = false;
    bool bLink = false;       // a symbolic link: its target lies elsewhere
};

// A file system of sizes only: records every write, pass and delete.
class CRecordingIo : public CShredIo
{
public:
    std::map<std::wstring, FakeFile> files;
    std::vector<DWORD> writes;                 // chunk sizes in order
    std::vector<std::wstring> deleted;
    int nOpen = 0;                             // open now
    int nOpened = 0;
    int nFlushes = 0;
    int nFailWriteAt = -1;                     // index into writes: fails
    int nShortWriteAt = -1;                    // writes one byte less
    int nFailFlushAt = -1;
    HANDLE hStopAfterWrite = NULL;             // signalled at write index nStopAt
    int nStopAt = -1;

    void Add(const std::wstring& strPath, ULONGLONG ullSize) { files[strPath].ullSize = ullSize; }

    class CFile : public CShredFile
    {
    public:
        CFile(CRecordingIo& io, ULONGLONG ullSize, bool bLink) : m_io(io), m_ullSize(ullSize), m_bLink(bLink)
        {
            io.nOpen++;
            io.nOpened++;
        }
        BOOL IsLink() override { return m_bLink; }
        ~CFile() override { m_io.nOpen--; }
        BOOL GetSize(ULONGLONG* p) override { *p = m_ullSize; return TRUE; }
        BOOL Write(const BYTE*, DWORD n, DWORD* pnWritten) override
        {
            int nIndex = (int)m_io.writes.size();
            m_io.writes.push_back(n);
            if (nIndex == m_io.nStopAt && m_io.hStopAfterWrite != NULL)
                ::SetEvent(m_io.hStopAfterWrite);
            if (nIndex == m_io.nFailWriteAt)
                return FALSE;
            *pnWritten = nIndex == m_io.nShortWriteAt ? n - 1 : n;
            return TRUE;
        }
        BOOL Flush() override { return m_io.nFlushes++ != m_io.nFailFlushAt; }
    private:
        CRecordingIo& m_io;
        ULONGLONG m_ullSize;
        bool m_bLink;
    };

    std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) override
    {
        auto it = files.find(lpszPath);
        if (it == files.end() || it->second.bLocked)
        {
            ::SetLastError(it == files.end() ? ERROR_FILE_NOT_FOUND : ERROR_SHARING_VIOLATION);
            return nullptr;
        }
        return std::unique_ptr<CShredFile>(new CFile(*this, it->second.ullSize, it->second.bLink));
    }
    BOOL Delete(LPCWSTR lpszPath) override
    {
        auto it = files.find(lpszPath);
        if (it == files.end() || it->second.bUndeletable)
            return FALSE;
        files.erase(it);
        deleted.push_back(lpszPath);
        return TRUE;
    }
};

std::vector<ShredItem> Items(std::initializer_list<LPCWSTR> names)
{
    std::vector<ShredItem> items;
    for (LPCWSTR lpszName : names)
        items.push_back(ShredItem{L"C:\\f\\", lpszName});
    return items;
}

struct RunResult
{
    ShredRunResult result;
    std::vector<size_t> gone;
    std::vector<int> progress;
};

RunResult RunWith(CRecordingIo& io, const std::vector<ShredItem>& items, int nPasses, HANDLE hStop = NULL)
{
    CShredPatterns patterns;
    EXPECT_TRUE(patterns.Alloc(nPasses));
    patterns.FillRandom(7);
    CShredRun run(io, patterns, hStop);
    RunResult r;
    run.SetFileGone([&](size_t n) { r.gone.push_back(n); });
    run.SetProgress([&](int n) { r.progress.push_back(n); });
    r.result = run.Run(items, nPasses);
    EXPECT_EQ(io.nOpen, 0) << "every file opened was closed";
    return r;
}

} // namespace

TEST(ShredPlan, PassesOfEachMethodAndChunksOfASize)
{
    EXPECT_EQ(ShredPassSequence(1), (std::vector<ShredPattern>{SHRED_RANDOM}));
    EXPECT_EQ(ShredPassSequence(3), (std::vector<ShredPattern>{SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM}));
    EXPECT_EQ(ShredPassSequence(7), (std::vector<ShredPattern>{SHRED_RANDOM, SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM,
                                                               SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM}));
    EXPECT_TRUE(ShredPassSequence(2).empty());
    EXPECT_EQ(ShredChunkCount(0), 0u);
    EXPECT_EQ(ShredChunkCount(65536), 1u);
    EXPECT_EQ(ShredChunkCount(65537), 2u);
    EXPECT_EQ(ShredChunkCount(0x100001000ull), 65537u);

    CShredPatterns patterns;
    ASSERT_TRUE(patterns.Alloc(1));
    EXPECT_EQ(patterns.Get(SHRED_ZEROS), (const BYTE*)NULL);
    ASSERT_TRUE(patterns.Alloc(3));
    EXPECT_EQ(patterns.Get(SHRED_ZEROS)[65535], 0x00);
    EXPECT_EQ(patterns.Get(SHRED_ONES)[0], 0x01);
    patterns.FillRandom(1);
    std::set<BYTE> values(patterns.Get(SHRED_RANDOM), patterns.Get(SHRED_RANDOM) + SHRED_CHUNK);
    EXPECT_GT(values.size(), 250u);
}

TEST(ShredPlan, SafeWritesAHundredThousandBytesThreeTimesInTwoChunks)
{
    CRecordingIo io;
    io.Add(L"C:\\f\\a.bin", 100000);
    io.Add(L"C:\\f\\empty.bin", 0);
    RunResult r = RunWith(io, Items({L"a.bin", L"empty.bin"}), 3);
    EXPECT_EQ(r.result, SHRED_RUN_DONE);
    EXPECT_EQ(io.writes, (std::vector<DWORD>{65536, 34464, 65536, 34464, 65536, 34464}));
    EXPECT_EQ(io.nFlushes, 6) << "each pass flushed, the empty file's too";
    EXPECT_EQ(io.deleted, (std::vector<std::wstring>{L"C:\\f\\a.bin", L"C:\\f\\empty.bin"}));
    EXPECT_EQ(r.gone, (std::vector<size_t>{0, 1}));
    ASSERT_FALSE(r.progress.empty());
    EXPECT_EQ(r.progress.back(), 1000);
    for (size_t i = 1; i < r.progress.size(); i++)
        EXPECT_GT(r.progress[i], r.progress[i - 1]) << "reported only when it changes";
}

TEST(ShredPlan, AFailedWriteShortWriteFlushOrDeleteEndsTheRunAndKeepsTheRow)
{
    for (int nCase = 0; nCase < 4; nCase++)
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.bin", 70000);
        io.Add(L"C:\\f\\b.bin", 70000);
        if (nCase == 0)
            io.nFailWriteAt = 3;     // b, first chunk
        else if (nCase == 1)
            io.nShortWriteAt = 3;
        else if (nCase == 2)
            io.nFailFlushAt = 1;     // b's pass
        else
            io.files[L"C:\\f\\b.bin"].bUndeletable = true;
        RunResult r = RunWith(io, Items({L"a.bin", L"b.bin"}), 1);
        EXPECT_EQ(r.result, SHRED_RUN_FAILED) << nCase;
        EXPECT_EQ(r.gone, (std::vector<size_t>{0})) << nCase;
        EXPECT_EQ(io.deleted, (std::vector<std::wstring>{L"C:\\f\\a.bin"})) << nCase;
        EXPECT_TRUE(io.files.count(L"C:\\f\\b.bin")) << nCase;
    }
    // A file that cannot be opened fails its first pass.
    CRecordingIo io;
    io.Add(L"C:\\f\\a.bin", 10);
    io.files[L"C:\\f\\a.bin"].bLocked = true;
    RunResult r = RunWith(io, Items({L"a.bin"}), 7);
    EXPECT_EQ(r.result, SHRED_RUN_FAILED);
    EXPECT_TRUE(io.deleted.empty()) << "nothing was overwritten, nothing goes";
}

TEST(ShredPlan, SevenPassesDeleteOnlyAfterTheFirstPassIsWrittenAndFlushed)
{
    // The first pass fails: the file stays, the run ends.
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.bin", 100);
        io.nFailFlushAt = 0;
        RunResult r = RunWith(io, Items({L"a.bin"}), 7);
        EXPECT_EQ(r.result, SHRED_RUN_FAILED);
        EXPECT_TRUE(io.deleted.empty());
    }
    // Pass 4 fails: the repetition ends, the file goes and the next one follows.
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.bin", 100);
        io.Add(L"C:\\f\\b.bin", 100);
        io.nFailWriteAt = 3;
        RunResult r = RunWith(io, Items({L"a.bin", L"b.bin"}), 7);
        EXPECT_EQ(r.result, SHRED_RUN_DONE);
        EXPECT_EQ(io.writes.size(), 4u + 7u);
        EXPECT_EQ(r.gone, (std::vector<size_t>{0, 1}));
    }
}

TEST(ShredPlan, StopUnderQuickKeepsEveryRowAndInPassFourOfThoroughEndsAtTheNextFile)
{
    HANDLE hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.bin", 300000);
        io.Add(L"C:\\f\\b.bin", 300000);
        io.hStopAfterWrite = hStop;
        io.nStopAt = 1;
        RunResult r = RunWith(io, Items({L"a.bin", L"b.bin"}), 1, hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
        EXPECT_TRUE(r.gone.empty());
        EXPECT_TRUE(io.deleted.empty());
        EXPECT_EQ(io.writes.size(), 2u) << "stopped before the third chunk";
    }
    ::ResetEvent(hStop);
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.bin", 100000);
        io.Add(L"C:\\f\\b.bin", 100000);
        io.Add(L"C:\\f\\c.bin", 100000);
        io.hStopAfterWrite = hStop;
        io.nStopAt = 6;  // pass 4, first chunk
        RunResult r = RunWith(io, Items({L"a.bin", L"b.bin", L"c.bin"}), 7, hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
        EXPECT_EQ(r.gone, (std::vector<size_t>{0}));
        EXPECT_EQ(io.deleted, (std::vector<std::wstring>{L"C:\\f\\a.bin"}));
        EXPECT_EQ(io.writes.size(), 7u) << "b is never written";
    }
    ::CloseHandle(hStop);
}

// A link the user listed is deleted itself: nothing is written through it,
// whichever method, and the files around it are shredded as usual.
TEST(ShredPlan, ALinkIsDeletedNeverWrittenThrough)
{
    for (int nPasses : {1, 3, 7})
    {
        CRecordingIo io;
        io.Add(L"C:\\f\\a.doc", 100);
        io.Add(L"C:\\f\\link.doc", 5000);
        io.files[L"C:\\f\\link.doc"].bLink = true;
        io.Add(L"C:\\f\\b.doc", 70000);
        RunResult r = RunWith(io, Items({L"a.doc", L"link.doc", L"b.doc"}), nPasses);
        EXPECT_EQ(r.result, SHRED_RUN_DONE);
        EXPECT_EQ(r.gone, (std::vector<size_t>{0, 1, 2}));
        EXPECT_EQ(io.deleted, (std::vector<std::wstring>{L"C:\\f\\a.doc", L"C:\\f\\link.doc", L"C:\\f\\b.doc"}));
        // a.doc one chunk, b.doc two, per pass; none for the link.
        EXPECT_EQ(io.writes.size(), (size_t)(3 * nPasses)) << nPasses << " passes";
        EXPECT_EQ(r.progress.back(), 1000) << "the link counts no bytes";
    }
    // Listed, a link shows no size and a held file says why it is left out.
    CRecordingIo io;
    io.Add(L"C:\\f\\link.doc", 5000);
    io.files[L"C:\\f\\link.doc"].bLink = true;
    io.Add(L"C:\\f\\held.doc", 10);
    io.files[L"C:\\f\\held.doc"].bLocked = true;
    ULONGLONG ullSize = 1;
    DWORD dwError = 1;
    EXPECT_TRUE(ProbeShredFile(io, L"C:\\f\\link.doc", &ullSize, &dwError));
    EXPECT_EQ(ullSize, 0u);
    EXPECT_EQ(dwError, (DWORD)ERROR_SUCCESS);
    EXPECT_FALSE(ProbeShredFile(io, L"C:\\f\\held.doc", &ullSize, &dwError));
    EXPECT_EQ(dwError, (DWORD)ERROR_SHARING_VIOLATION);
    EXPECT_EQ(io.nOpen, 0);
}

TEST(ShredPlan, SizesAreSixtyFourBit)
{
    CRecordingIo io;
    const ULONGLONG ullSize = 0x100001000ull;  // 4 GiB + 4 KiB
    io.Add(L"C:\\f\\big.bin", ullSize);
    RunResult r = RunWith(io, Items({L"big.bin"}), 1);
    EXPECT_EQ(r.result, SHRED_RUN_DONE);
    ULONGLONG ullTotal = 0;
    for (DWORD n : io.writes)
        ullTotal += n;
    EXPECT_EQ(ullTotal, ullSize) << "the whole file, not its low 32 bits";
    EXPECT_EQ(io.writes.back(), 4096u);
    EXPECT_EQ(FormatShredSize(ullSize), L"4294971392");
    EXPECT_LE(r.progress.size(), 1001u) << "progress scaled, not one report per chunk";
    EXPECT_EQ(r.progress.back(), 1000);
}

TEST(ShredPath, TheFolderIsThePathUpToItsLastBackslash)
{
    std::wstring strFolder, strName;
    ASSERT_TRUE(SplitShredPath(L"C:\\acc\\report\\re", strFolder, strName));
    EXPECT_EQ(strFolder, L"C:\\acc\\report\\");
    EXPECT_EQ(strName, L"re");
    EXPECT_FALSE(SplitShredPath(L"nofolder", strFolder, strName));
    EXPECT_FALSE(SplitShredPath(L"C:\\dir\\", strFolder, strName));
}
