// A stopped shred: seen before each file, pass and chunk and inside the
// sizing of the list; the file it meets keeps what no pass reached, the files
// after it are untouched, and a pass of a large file is flushed as it goes.
#include "privacy/FileShredderDlg.h"
#include "privacy/JunkBrowse.h"
#include "privacy/PrivacyState.h"
#include "privacy/ShredPlan.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <map>

using junktest::Exists;
using junktest::Plant;

namespace {

// A file system of sizes that records, per path, what a run did to it, and
// sets the stop event at a chosen write, flush or open.
class CStopIo : public CShredIo
{
public:
    struct File
    {
        ULONGLONG ullSize = 0;
        bool bLink = false;
        int nWrites = 0;
        int nAttributeChanges = 0;
        bool bDeleted = false;  // kept, so what was done to it can still be read
    };
    std::map<std::wstring, File> files;
    std::vector<std::wstring> deleted;
    int nWrites = 0;
    int nFlushes = 0;
    int nOpens = 0;
    int nOpen = 0;
    HANDLE hStop = NULL;
    int nStopAtWrite = -1;  // after this write (0-based) the stop is set
    int nStopAtFlush = -1;
    int nStopAtOpen = -1;
    int nFailFlushAt = -1;

    void Add(const std::wstring& strPath, ULONGLONG ullSize, bool bLink = false)
    {
        files[strPath].ullSize = ullSize;
        files[strPath].bLink = bLink;
    }
    const File& Of(const std::wstring& strPath) { return files[strPath]; }

    // Takes every chunk whole.
    class CFile : public CShredFile
    {
    public:
        CFile(CStopIo& io, File& file) : m_io(io), m_file(file) { m_io.nOpen++; }
        ~CFile() override { m_io.nOpen--; }
        BOOL GetSize(ULONGLONG* p) override
        {
            *p = m_file.ullSize;
            return TRUE;
        }
        BOOL Write(const BYTE*, DWORD n, DWORD* pnWritten) override
        {
            m_file.nWrites++;
            if (m_io.nWrites++ == m_io.nStopAtWrite)
                ::SetEvent(m_io.hStop);
            *pnWritten = n;
            return TRUE;
        }
        BOOL Flush() override
        {
            int nIndex = m_io.nFlushes++;
            if (nIndex == m_io.nStopAtFlush)
                ::SetEvent(m_io.hStop);
            return nIndex != m_io.nFailFlushAt;
        }
        BOOL IsLink() override { return m_file.bLink; }

    private:
        CStopIo& m_io;
        File& m_file;
    };

    std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) override
    {
        auto it = files.find(lpszPath);
        if (it == files.end() || it->second.bDeleted)
        {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        if (nOpens++ == nStopAtOpen)
            ::SetEvent(hStop);
        return std::unique_ptr<CShredFile>(new CFile(*this, it->second));
    }
    BOOL Delete(LPCWSTR lpszPath) override
    {
        auto it = files.find(lpszPath);
        if (it == files.end() || it->second.bDeleted)
            return FALSE;
        it->second.bDeleted = true;
        deleted.push_back(lpszPath);
        return TRUE;
    }
    DWORD GetAttributes(LPCWSTR) override { return FILE_ATTRIBUTE_READONLY; }
    BOOL SetAttributes(LPCWSTR lpszPath, DWORD) override
    {
        files[lpszPath].nAttributeChanges++;
        return TRUE;
    }
};

const std::wstring kA = L"C:\\f\\a.bin", kB = L"C:\\f\\b.bin", kEmpty = L"C:\\f\\empty.bin", kLink = L"C:\\f\\link.doc";

std::vector<ShredItem> ItemsOf(const std::vector<std::wstring>& paths)
{
    std::vector<ShredItem> items;
    for (const std::wstring& strPath : paths)
        items.push_back(ShredItem{L"C:\\f\\", strPath.substr(5)});
    return items;
}

struct CStopRun
{
    ShredRunResult result = SHRED_RUN_FAILED;
    size_t nEndedAt = (size_t)-1;
    std::vector<size_t> gone;
};

CStopRun RunWith(CStopIo& io, const std::vector<std::wstring>& paths, int nPasses)
{
    CShredPatterns patterns;
    EXPECT_TRUE(patterns.Alloc(nPasses));
    CShredRun run(io, patterns, io.hStop);
    CStopRun r;
    run.SetFileGone([&](size_t n) { r.gone.push_back(n); });
    r.result = run.Run(ItemsOf(paths), nPasses);
    r.nEndedAt = run.GetFailedIndex();
    EXPECT_EQ(io.nOpen, 0) << "every file opened was closed";
    return r;
}

class ShredStop : public ::testing::Test
{
protected:
    void SetUp() override { m_io.hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL); }
    void TearDown() override { ::CloseHandle(m_io.hStop); }
    CStopIo m_io;
};

} // namespace

// Set before the run: nothing is opened, written, unflagged or deleted, not
// even an empty file or a link (which have no chunk to poll at).
TEST_F(ShredStop, SetBeforeTheRunLeavesEveryFileAlone)
{
    for (int nPasses : {1, 3, 7})
    {
        CStopIo io;
        io.hStop = m_io.hStop;
        io.Add(kEmpty, 0);
        io.Add(kLink, 5000, true);
        io.Add(kA, 100000);
        ::SetEvent(io.hStop);
        CStopRun r = RunWith(io, {kEmpty, kLink, kA}, nPasses);
        ::ResetEvent(io.hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED) << nPasses;
        EXPECT_EQ(r.nEndedAt, 0u) << nPasses;
        EXPECT_TRUE(io.deleted.empty()) << nPasses;
        EXPECT_TRUE(r.gone.empty()) << nPasses;
        EXPECT_EQ(io.nWrites, 0) << nPasses;
        EXPECT_EQ(io.nOpens, 0) << nPasses;
        EXPECT_EQ(io.Of(kEmpty).nAttributeChanges, 0) << nPasses;
    }
}

// A stop inside the first pass, between two chunks of a.bin, under each
// method: no further chunk, pass or file; a.bin stays (flag put back), and the
// empty file and the link after it are not deleted.
TEST_F(ShredStop, BetweenChunksOfTheFirstPassNoNextChunkPassOrFile)
{
    for (int nPasses : {1, 3, 7})
    {
        CStopIo io;
        io.hStop = m_io.hStop;
        io.Add(kA, 5 * SHRED_CHUNK);
        io.Add(kEmpty, 0);
        io.Add(kLink, 10, true);
        io.Add(kB, SHRED_CHUNK);
        io.nStopAtWrite = 2;
        CStopRun r = RunWith(io, {kA, kEmpty, kLink, kB}, nPasses);
        ::ResetEvent(io.hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED) << nPasses;
        EXPECT_EQ(r.nEndedAt, 0u) << nPasses;
        EXPECT_EQ(io.Of(kA).nWrites, 3) << nPasses << ": the chunk after the stop is not written";
        EXPECT_EQ(io.nFlushes, 0) << nPasses << ": a cut pass is not finished";
        EXPECT_TRUE(io.deleted.empty()) << nPasses;
        EXPECT_EQ(io.Of(kA).nAttributeChanges, 2) << nPasses << ": read-only taken off and put back";
        EXPECT_EQ(io.Of(kB).nWrites, 0) << nPasses;
        EXPECT_EQ(io.Of(kEmpty).nAttributeChanges, 0) << nPasses;
    }
}

// A stop at the flush that ends a pass: the next pass is never begun. Under
// three passes the overwritten file stays; under seven, its first pass whole,
// it goes, and nothing after it is touched.
TEST_F(ShredStop, AtTheEndOfAPassTheNextPassIsNeverBegun)
{
    {
        CStopIo io;
        io.hStop = m_io.hStop;
        io.Add(kA, 2 * SHRED_CHUNK);
        io.Add(kEmpty, 0);
        io.nStopAtFlush = 0;
        CStopRun r = RunWith(io, {kA, kEmpty}, 3);
        ::ResetEvent(io.hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
        EXPECT_EQ(io.Of(kA).nWrites, 2) << "one pass only";
        EXPECT_TRUE(io.deleted.empty());
    }
    {
        CStopIo io;
        io.hStop = m_io.hStop;
        io.Add(kA, 2 * SHRED_CHUNK);
        io.Add(kEmpty, 0);
        io.Add(kLink, 10, true);
        io.Add(kB, SHRED_CHUNK);
        io.nStopAtFlush = 1;  // the end of a.bin's second pass
        CStopRun r = RunWith(io, {kA, kEmpty, kLink, kB}, 7);
        ::ResetEvent(io.hStop);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
        EXPECT_EQ(r.nEndedAt, 1u);
        EXPECT_EQ(io.Of(kA).nWrites, 4) << "two passes of two chunks";
        EXPECT_EQ(io.deleted, std::vector<std::wstring>{kA});
        EXPECT_EQ(r.gone, std::vector<size_t>{0});
        EXPECT_FALSE(io.Of(kEmpty).bDeleted) << "the file after the stop is not deleted";
        EXPECT_FALSE(io.Of(kLink).bDeleted);
        EXPECT_EQ(io.Of(kB).nWrites, 0);
    }
}

// Sizing a long list opens every file once; a stop there ends the run before
// anything is written.
TEST_F(ShredStop, WhileTheListIsSizedTheRestIsNotOpened)
{
    std::vector<std::wstring> paths;
    for (int i = 0; i < 1000; i++)
    {
        paths.push_back(L"C:\\f\\" + std::to_wstring(10000 + i) + L".bin");
        m_io.Add(paths.back(), 100);
    }
    m_io.nStopAtOpen = 9;
    CStopRun r = RunWith(m_io, paths, 1);
    EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
    EXPECT_EQ(m_io.nOpens, 10);
    EXPECT_EQ(m_io.nWrites, 0);
    EXPECT_TRUE(m_io.deleted.empty());
}

// A pass over a large file is flushed every 8 MiB, so the flush at its end
// has little left to do; a failing intermediate flush fails the pass, and a
// stop there writes no further chunk. Without a stop the file goes.
TEST_F(ShredStop, ALargeFileIsFlushedAsItsPassGoes)
{
    const ULONGLONG ullLarge = 2ull * SHRED_FLUSH_CHUNKS * SHRED_CHUNK + 1000;  // 16 MiB and a bit
    {
        CStopIo io;
        io.Add(kA, ullLarge);
        io.Add(kB, (ULONGLONG)SHRED_FLUSH_CHUNKS * SHRED_CHUNK);  // exactly 8 MiB
        CStopRun r = RunWith(io, {kA, kB}, 1);
        EXPECT_EQ(r.result, SHRED_RUN_DONE);
        EXPECT_EQ(io.nFlushes, 3 + 1) << "a: at 8 and 16 MiB and at its end; b: at its end only";
        EXPECT_EQ(io.deleted, (std::vector<std::wstring>{kA, kB}));
    }
    {
        CStopIo io;
        io.Add(kA, ullLarge);
        io.nFailFlushAt = 0;
        CStopRun r = RunWith(io, {kA}, 1);
        EXPECT_EQ(r.result, SHRED_RUN_FAILED);
        EXPECT_EQ(io.Of(kA).nWrites, (int)SHRED_FLUSH_CHUNKS);
        EXPECT_TRUE(io.deleted.empty());
    }
    {
        CStopIo io;
        io.hStop = m_io.hStop;
        io.Add(kA, ullLarge);
        io.nStopAtFlush = 0;
        CStopRun r = RunWith(io, {kA}, 1);
        EXPECT_EQ(r.result, SHRED_RUN_STOPPED);
        EXPECT_EQ(io.Of(kA).nWrites, (int)SHRED_FLUSH_CHUNKS);
        EXPECT_TRUE(io.deleted.empty());
    }
}

namespace {

// The real file system, with the stop set after a chosen number of writes.
class CStopAfterWritesIo : public CShredIo
{
public:
    CStopAfterWritesIo(HANDLE hStop, int nStopAfter) : m_hStop(hStop), m_nLeft(nStopAfter) {}
    class CFile : public CShredFile
    {
    public:
        CFile(CStopAfterWritesIo& io, std::unique_ptr<CShredFile> real) : m_io(io), m_real(std::move(real)) {}
        BOOL GetSize(ULONGLONG* p) override { return m_real->GetSize(p); }
        BOOL Write(const BYTE* pData, DWORD n, DWORD* pnWritten) override
        {
            BOOL bOk = m_real->Write(pData, n, pnWritten);
            if (--m_io.m_nLeft == 0)
                ::SetEvent(m_io.m_hStop);
            return bOk;
        }
        BOOL Flush() override { return m_real->Flush(); }
        BOOL IsLink() override { return m_real->IsLink(); }

    private:
        CStopAfterWritesIo& m_io;
        std::unique_ptr<CShredFile> m_real;
    };
    std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) override
    {
        std::unique_ptr<CShredFile> real = SystemShredIo().Open(lpszPath);
        if (!real)
            return nullptr;
        return std::unique_ptr<CShredFile>(new CFile(*this, std::move(real)));
    }
    BOOL Delete(LPCWSTR lpszPath) override { return SystemShredIo().Delete(lpszPath); }

private:
    HANDLE m_hStop;
    int m_nLeft;
};

std::string ReadAll(const std::wstring& strPath)
{
    return testsupport::ReadFileBytes(strPath);
}

} // namespace

// On the disk: the file a stop meets has its first chunks overwritten and
// the rest as it was, keeps its read-only flag; the next file is whole.
TEST_F(ShredStop, OnTheDiskTheStoppedFileKeepsItsRestAndTheNextIsWhole)
{
    testsupport::ScratchFolder scratch;
    const std::string strA(5 * SHRED_CHUNK, 'A'), strB(2 * SHRED_CHUNK + 7, 'B');
    ASSERT_TRUE(Plant(scratch.File(L"a.doc"), strA));
    ASSERT_TRUE(Plant(scratch.File(L"b.doc"), strB));
    ASSERT_TRUE(::SetFileAttributesW(scratch.File(L"a.doc").c_str(), FILE_ATTRIBUTE_READONLY));
    CStopAfterWritesIo io(m_io.hStop, 2);
    CShredPatterns patterns;
    ASSERT_TRUE(patterns.Alloc(3));
    CShredRun run(io, patterns, m_io.hStop);
    std::vector<ShredItem> items = {ShredItem{scratch.Path(), L"a.doc"}, ShredItem{scratch.Path(), L"b.doc"}};
    EXPECT_EQ(run.Run(items, 3), SHRED_RUN_STOPPED);

    std::string strAfter = ReadAll(scratch.File(L"a.doc"));
    ASSERT_EQ(strAfter.size(), strA.size()) << "the stopped file stays at its size";
    EXPECT_TRUE(strAfter.substr(0, 2 * SHRED_CHUNK) == std::string(2 * SHRED_CHUNK, '\0'))
        << "the two chunks of the first pass (zeros) were written";
    EXPECT_TRUE(strAfter.substr(2 * SHRED_CHUNK) == strA.substr(2 * SHRED_CHUNK)) << "the rest is as it was";
    DWORD dwAttributes = ::GetFileAttributesW(scratch.File(L"a.doc").c_str());
    EXPECT_TRUE(dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(ReadAll(scratch.File(L"b.doc")) == strB) << "the file after the stop is whole";
    ::SetFileAttributesW(scratch.File(L"a.doc").c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {
std::vector<std::wstring> g_shredAnswer;
BOOL FakeOpenFiles(HWND, std::vector<std::wstring>& paths)
{
    paths = g_shredAnswer;
    return TRUE;
}
} // namespace

// The host's window closing destroys the view: it stops the shred and waits
// for its thread, so nothing of it runs once the window is gone.
TEST(ShredStopView, DestroyingTheViewEndsTheRunningShredFirst)
{
    PrivacySetLanguageFile(privtest::EnglishLanguageFile().c_str());
    testsupport::MessageBoxRecorder boxes;
    testsupport::ScratchFolder scratch;
    std::string strUnix = junktest::UnixPathOf(scratch.Path());
    ASSERT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && head -c 67108864 /dev/zero > big.bin && echo kept > small.txt", 60000), 0);
    privtest::HostWindow host;
    std::unique_ptr<CFileShredderDlg> pView(new CFileShredderDlg);
    ASSERT_TRUE(pView->CreateView(host.m_hWnd, 0, 0));
    pView->ShowWindow(SW_SHOW);
    SetPrivacyOpenFilesFunction(FakeOpenFiles);
    g_shredAnswer = {scratch.File(L"big.bin"), scratch.File(L"small.txt")};
    pView->AddFiles();
    SetPrivacyOpenFilesFunction(NULL);
    ASSERT_EQ(pView->GetRowCount(), 2);
    pView->ChooseMethod(CFileShredderDlg::IDC_THOROUGH);
    pView->OnShredButton();
    ASSERT_TRUE(pView->IsShredding());
    pView->DestroyWindow();
    EXPECT_FALSE(pView->IsShredding()) << "the thread was waited for";
    EXPECT_EQ(PrivacyIsBusy(), 0);
    EXPECT_TRUE(Exists(scratch.File(L"big.bin")));
    EXPECT_EQ(testsupport::ReadFileBytes(scratch.File(L"small.txt")), "kept\n") << "the file after the stop is whole";
    EXPECT_EQ(boxes.Count(), 0u);
    pView.reset();
}
