// The stop flags of the zip writer and reader: an item ends at the next
// block, a stopped archive gets no directory, a stopped extraction leaves no
// file, and an unset flag changes nothing.
#include "tests/services_zip/ZipTestSupport.h"
#include "framework/WinThread.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace ziptest;
using testsupport::ScratchFolder;

namespace {

// Waits up to dwSeconds for bDone; only a hang takes that long.
bool WaitFor(const std::atomic<bool>& bDone, DWORD dwSeconds)
{
    for (DWORD i = 0; i < dwSeconds * 20 && !bDone; i++)
        ::Sleep(50);
    return bDone;
}

struct PipeSource
{
    HANDLE hRead = NULL;
    HANDLE hWrite = NULL;
    std::atomic<int> nBlocks{0};
    std::atomic<bool> bEnd{false};
};

// Feeds the pipe 16 KiB blocks until told to end or the reading end goes.
UINT __cdecl FeedThreadProc(LPVOID pParam)
{
    PipeSource& source = *static_cast<PipeSource*>(pParam);
    std::string block = RandomOfSize(16384, 7);
    while (!source.bEnd)
    {
        DWORD dwWritten = 0;
        if (!::WriteFile(source.hWrite, block.data(), (DWORD)block.size(), &dwWritten, NULL))
            break;
        source.nBlocks++;
    }
    return 0;
}

struct AddCall
{
    ZipHandle hZip = NULL;
    HANDLE hSource = NULL;
    ZipResult zr = ZipOk;
    std::atomic<bool> bDone{false};
};

UINT __cdecl AddThreadProc(LPVOID pParam)
{
    AddCall& call = *static_cast<AddCall*>(pParam);
    call.zr = AddToZipArchive(call.hZip, L"endless.bin", call.hSource, 0, ZipKindHandle);
    call.bDone = true;
    return 0;
}

} // namespace

// The source never ends while the item is added: only the flag ends it.
TEST(ZipStop, WriterEndsTheItemAtABlockAndWritesNoDirectory)
{
    ScratchFolder folder;
    std::wstring strArchive = folder.File(L"stopped.zip");
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    ASSERT_NE((ZipHandle)NULL, hZip);
    std::atomic<bool> bStop(false);
    ASSERT_EQ(ZipOk, SetZipWriterStopFlag(hZip, &bStop));
    std::string first = TextOfSize(50000, 3);
    ASSERT_EQ(ZipOk, AddToZipArchive(hZip, L"first.txt", first.data(), (DWORD)first.size(), ZipKindMemory));

    PipeSource source;
    ASSERT_TRUE(::CreatePipe(&source.hRead, &source.hWrite, NULL, 0));
    HANDLE hFeed = AfxBeginWorker(FeedThreadProc, &source);
    AddCall call;
    call.hZip = hZip;
    call.hSource = source.hRead;
    HANDLE hAdd = AfxBeginWorker(AddThreadProc, &call);
    ASSERT_NE((HANDLE)NULL, hFeed);
    ASSERT_NE((HANDLE)NULL, hAdd);
    for (int i = 0; i < 600 && source.nBlocks < 4; i++)
        ::Sleep(50);
    EXPECT_GE(source.nBlocks.load(), 4);
    bStop = true;
    bool bEnded = WaitFor(call.bDone, 30);
    EXPECT_TRUE(bEnded) << "the flag did not end the item";
    // Ends both threads: with the add gone the feed's write fails on the
    // closed reading end; an add still running reads on to the pipe's end.
    source.bEnd = true;
    if (bEnded)
        ::CloseHandle(source.hRead);
    ::WaitForSingleObject(hFeed, INFINITE);
    ::CloseHandle(source.hWrite);
    ::WaitForSingleObject(hAdd, INFINITE);
    if (!bEnded)
        ::CloseHandle(source.hRead);
    ::CloseHandle(hAdd);
    ::CloseHandle(hFeed);
    EXPECT_EQ(ZipErrStopped, call.zr);

    std::string more = "more";
    EXPECT_EQ(ZipErrStopped, AddToZipArchive(hZip, L"more.txt", more.data(), (DWORD)more.size(), ZipKindMemory));
    EXPECT_EQ(ZipErrStopped, CloseZipWriter(hZip));
    // No end record: the partial file reads as no archive at all.
    EXPECT_EQ((ZipHandle)NULL, OpenZipArchive(strArchive.c_str(), 0, ZipKindFile));
    WCHAR szText[64] = L"";
    FormatZipResult(ZipErrStopped, szText, 64);
    EXPECT_STREQ(L"Stopped on request", szText);
}

TEST(ZipStop, ReaderEndsAtABlockAndLeavesNoFile)
{
    ScratchFolder folder;
    std::string data = RandomOfSize(200000, 11);
    std::string archive = BuildArchive({{L"data.bin", data}});
    ASSERT_FALSE(archive.empty());
    ZipHandle hZip = OpenZipArchive(archive.data(), (DWORD)archive.size(), ZipKindMemory);
    ASSERT_NE((ZipHandle)NULL, hZip);
    std::atomic<bool> bStop(false);
    ASSERT_EQ(ZipOk, SetZipReaderStopFlag(hZip, &bStop));

    // Into memory block by block: the stop ends the item between two calls.
    std::string buffer(16384, '\0');
    EXPECT_EQ(ZipMore, ExtractZipArchiveItem(hZip, 0, &buffer[0], (DWORD)buffer.size(), ZipKindMemory));
    EXPECT_EQ(data.substr(0, buffer.size()), buffer);
    bStop = true;
    EXPECT_EQ(ZipErrStopped, ExtractZipArchiveItem(hZip, 0, &buffer[0], (DWORD)buffer.size(), ZipKindMemory));

    // Into a file: stopped, the file it began is gone again.
    std::wstring strTarget = folder.File(L"data.bin");
    EXPECT_EQ(ZipErrStopped, ExtractZipArchiveItem(hZip, 0, strTarget.c_str(), 0, ZipKindFile));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(strTarget.c_str()));

    // The flag cleared, the same handle extracts the whole item.
    bStop = false;
    EXPECT_EQ(ZipOk, ExtractZipArchiveItem(hZip, 0, strTarget.c_str(), 0, ZipKindFile));
    EXPECT_EQ(data, ReadBytes(strTarget));
    EXPECT_EQ(ZipOk, CloseZipReader(hZip));
}

TEST(ZipStop, UnsetFlagChangesNothing)
{
    ScratchFolder folder;
    std::wstring strArchive = folder.File(L"whole.zip");
    std::string one = TextOfSize(70000, 5), two = RandomOfSize(40000, 6);
    std::atomic<bool> bStop(false);
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    ASSERT_NE((ZipHandle)NULL, hZip);
    ASSERT_EQ(ZipOk, SetZipWriterStopFlag(hZip, &bStop));
    EXPECT_EQ(ZipOk, AddToZipArchive(hZip, L"one.txt", one.data(), (DWORD)one.size(), ZipKindMemory));
    EXPECT_EQ(ZipOk, AddToZipArchive(hZip, L"two.bin", two.data(), (DWORD)two.size(), ZipKindMemory));
    ASSERT_EQ(ZipOk, CloseZipWriter(hZip));

    hZip = OpenZipArchive(strArchive.c_str(), 0, ZipKindFile);
    ASSERT_NE((ZipHandle)NULL, hZip);
    ASSERT_EQ(ZipOk, SetZipReaderStopFlag(hZip, &bStop));
    ZipArchiveEntry entry = {};
    ASSERT_EQ(ZipOk, GetZipArchiveItem(hZip, -1, &entry));
    EXPECT_EQ(2, entry.m_nIndex);
    std::wstring strTwo = folder.File(L"two.bin");
    EXPECT_EQ(ZipOk, ExtractZipArchiveItem(hZip, 1, strTwo.c_str(), 0, ZipKindFile));
    EXPECT_EQ(two, ReadBytes(strTwo));
    EXPECT_EQ(ZipOk, CloseZipReader(hZip));
    // Handles of the other kind are refused.
    EXPECT_EQ(ZipErrArgs, SetZipReaderStopFlag(NULL, &bStop));
}
