#pragma once
// Reads zip archives of stored and deflated items: lists them and extracts
// them to files, open handles or memory. Every call leaves its result in the
// reader's process-wide last result.
#include "services/ZipFormat.h"

#include <atomic>

struct ZipArchiveEntry
{
    wchar_t m_szName[260];          // as stored, '/' kept
    int m_nIndex;                   // the item count when -1 was asked
    DWORD m_dwAttributes;           // Windows file attributes
    FILETIME m_ftAccessTime;
    FILETIME m_ftCreationTime;
    FILETIME m_ftModifyTime;
    DWORD m_dwCompressedSize;
    DWORD m_dwUncompressedSize;
};

// Source: a wide file name (ZipKindFile), an open disk-file handle positioned
// at the archive's start (ZipKindHandle, duplicated), or a memory block of
// dwLength bytes read in place (ZipKindMemory). NULL on failure.
ZipHandle OpenZipArchive(const void* pSource, DWORD dwLength, ZipStreamKind kind);

// Index -1 gives the item count in m_nIndex; 0..count-1 that item's entry.
// An item whose name could lead outside the target folder ("..", a drive or
// stream colon, a leading slash) is refused as corrupt.
ZipResult GetZipArchiveItem(ZipHandle hZip, int nIndex, ZipArchiveEntry* pEntry);

// Target: a wide file name (ZipKindFile; a relative one is taken below the
// folder that was current at open), an open handle (ZipKindHandle, left
// open), or a buffer of dwLength bytes (ZipKindMemory: ZipMore while data
// keeps coming, call again with the same index until it returns ZipOk).
// A CRC or size mismatch is ZipErrCorrupt, and a file created here is then
// removed again.
ZipResult ExtractZipArchiveItem(ZipHandle hZip, int nIndex, const void* pTarget, DWORD dwLength, ZipStreamKind kind);

// Finds an item by name, byte-exact or ignoring the case of ASCII letters.
ZipResult FindZipArchiveItem(ZipHandle hZip, LPCWSTR pszName, BOOL bIgnoreCase, int* pnIndex, ZipArchiveEntry* pEntry);

// A stop flag polled per block of item data by the extractions of this
// handle: once set, an extraction ends with ZipErrStopped, and a file it
// created is removed again. NULL polls nothing.
ZipResult SetZipReaderStopFlag(ZipHandle hZip, const std::atomic<bool>* pbStop);

ZipResult CloseZipReader(ZipHandle hZip);

// TRUE for a reader handle and for NULL.
BOOL IsZipReaderHandle(ZipHandle hZip);

// Text of a result code; 1 stands for the reader's last result.
unsigned FormatZipReaderResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize);
