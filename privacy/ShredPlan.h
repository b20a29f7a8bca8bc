#pragma once
// The shred itself, without windows: the pattern buffers, the passes of each
// method, one pass over one file in 64 KiB chunks, and a run over a list.
#include "privacy/ShredIo.h"
#include <functional>
#include <string>
#include <vector>

enum ShredPattern
{
    SHRED_RANDOM,
    SHRED_ZEROS,  // 0x00
    SHRED_ONES    // 0x01
};

const DWORD SHRED_CHUNK = 65536;
// A pass flushes after this many chunks (8 MiB): the flush at its end, which
// no stop interrupts, then has at most that much left to write.
const DWORD SHRED_FLUSH_CHUNKS = 128;

// 1: random; 3: zeros, ones, random; 7: random, then twice zeros, ones, random.
// Any other count gives no passes.
std::vector<ShredPattern> ShredPassSequence(int nPasses);
// Chunks one pass writes for a file of that size.
ULONGLONG ShredChunkCount(ULONGLONG ullSize);

// The three 64 KiB pattern buffers, freed with the object.
class CShredPatterns
{
public:
    CShredPatterns();
    ~CShredPatterns();
    CShredPatterns(const CShredPatterns&) = delete;
    CShredPatterns& operator=(const CShredPatterns&) = delete;

    // The random buffer always; zeros and ones for 3 or 7 passes. FALSE when
    // an allocation failed (nothing is then shredded).
    BOOL Alloc(int nPasses);
    // The runtime's generator seeded with nSeed, the low byte of each value.
    void FillRandom(unsigned nSeed);
    // NULL when that buffer was not allocated.
    const BYTE* Get(ShredPattern pattern) const;

private:
    void Free();
    BYTE* m_pBuffers[3];
};

// One listed file.
struct ShredItem
{
    std::wstring strFolder;  // ends in a backslash
    std::wstring strName;
    std::wstring Path() const { return strFolder + strName; }
};

enum ShredPassResult
{
    SHRED_PASS_DONE,
    SHRED_PASS_FAILED,   // open, size, write, short write or flush failed
    SHRED_PASS_STOPPED,
    SHRED_PASS_LINK      // a link, not written: the link itself is deleted
};

enum ShredRunResult
{
    SHRED_RUN_DONE,
    SHRED_RUN_STOPPED,
    SHRED_RUN_FAILED     // a pass or a delete failed: the rows left show which
};

class CShredRun
{
public:
    // Per-mille of the whole work, reported only when it changes.
    typedef std::function<void(int nPerMille)> ProgressFn;
    // The file of items[nIndex] is shredded and gone: its row goes.
    typedef std::function<void(size_t nIndex)> FileGoneFn;

    CShredRun(CShredIo& io, const CShredPatterns& patterns, HANDLE hStop);
    void SetProgress(ProgressFn fn) { m_fnProgress = std::move(fn); }
    void SetFileGone(FileGoneFn fn) { m_fnFileGone = std::move(fn); }

    // Shreds the items in order with nPasses (1, 3 or 7) each. The stop is
    // seen before each file, pass and chunk (what it leaves: see the loop).
    ShredRunResult Run(const std::vector<ShredItem>& items, int nPasses);
    // One pass over one file; STOPPED before anything is written when the
    // stop is already set.
    ShredPassResult WritePass(LPCWSTR lpszPath, ShredPattern pattern);

    ULONGLONG GetBytesToWrite() const { return m_ullToWrite; }
    ULONGLONG GetBytesWritten() const { return m_ullWritten; }
    // Index of the item a failed or stopped run ended at.
    size_t GetFailedIndex() const { return m_nFailed; }
    // That item went through its passes and only its delete failed: its data
    // is overwritten, the file is still there.
    BOOL IsFailedOverwritten() const { return m_bFailedOverwritten; }
    // Why the delete failed.
    DWORD GetFailedError() const { return m_dwFailedError; }

private:
    BOOL StopRequested() const;
    void Report();

    CShredIo& m_io;
    const CShredPatterns& m_patterns;
    HANDLE m_hStop;
    ProgressFn m_fnProgress;
    FileGoneFn m_fnFileGone;
    ULONGLONG m_ullToWrite;  // sizes of all files times the passes
    ULONGLONG m_ullWritten;
    int m_nLastPerMille;
    size_t m_nFailed;
    BOOL m_bFailedOverwritten;
    DWORD m_dwFailedError;
};

// Opens the file as a pass would and reads its size (0 for a link); the handle
// is closed before returning. A read-only file counts as writable: the shred
// takes its flag off. FALSE when it cannot be opened for writing, with the
// system's reason in *pdwError.
BOOL ProbeShredFile(CShredIo& io, LPCWSTR lpszPath, ULONGLONG* pullSize, DWORD* pdwError = NULL);
