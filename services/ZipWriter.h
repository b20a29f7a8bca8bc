#pragma once
// Writes zip archives: create, add items one by one, close. Items are
// deflated with zlib (raw deflate, level 8) or stored when the name says the
// data is already packed. Every call leaves its result in the writer's
// process-wide last result.
#include "services/ZipFormat.h"

#include <atomic>

// Target: a wide file name (ZipKindFile), an open handle (ZipKindHandle, the
// caller keeps its own), or memory (ZipKindMemory: NULL for a growing block of
// its own, else the caller's block of dwLength bytes). NULL on failure.
ZipHandle CreateZipArchive(const void* pTarget, DWORD dwLength, ZipStreamKind kind);

// Adds one item called pszName (backslashes become '/') from a wide file name,
// an open handle (dwLength = its size, 0 when unknown), a memory block of
// dwLength bytes, or nothing (ZipKindFolder: a folder entry).
ZipResult AddToZipArchive(ZipHandle hZip, LPCWSTR pszName, const void* pSource, DWORD dwLength, ZipStreamKind kind);

// Adds a folder entry for pszRelative, then every file and subfolder of
// pszBase\pszRelative under names starting with pszRelative.
BOOL AddFolderToZipArchive(ZipHandle hZip, LPCWSTR pszBase, LPCWSTR pszRelative);

// A stop flag polled per item and per block of item data: once set, the
// item being added ends with ZipErrStopped, later ones are refused, and
// closing writes no directory: what was written is no archive, for the
// caller to delete. NULL polls nothing.
ZipResult SetZipWriterStopFlag(ZipHandle hZip, const std::atomic<bool>* pbStop);

// Ends a memory archive and hands out its block and length; the block stays
// valid until the handle is closed.
ZipResult GetZipArchiveMemory(ZipHandle hZip, void** ppBlock, DWORD* pdwLength);

// Writes the central directory (unless already written), releases the output
// and frees the handle.
ZipResult CloseZipWriter(ZipHandle hZip);

// TRUE for a writer handle and for NULL: callers close any zip handle with
// CloseZipWriter when this holds, else with CloseZipReader.
BOOL IsZipWriterHandle(ZipHandle hZip);

// Text of a result code; 1 stands for the writer's last result.
unsigned FormatZipResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize);
