#pragma once
// The file access of the shredder behind one replaceable interface, so tests
// can count chunks, fail a write, cut one short or keep a file from going.
#include "framework/AfxDefs.h"
#include <memory>

// One file opened for overwriting; closed when the object goes.
class CShredFile
{
public:
    virtual ~CShredFile() {}
    virtual BOOL GetSize(ULONGLONG* pullSize) = 0;
    // Writes at the current position (sequentially from offset 0).
    virtual BOOL Write(const BYTE* pData, DWORD nBytes, DWORD* pnWritten) = 0;
    virtual BOOL Flush() = 0;
    // The entry opened is a link (a reparse point) rather than a file's data:
    // it is never written, only deleted.
    virtual BOOL IsLink() { return FALSE; }
};

class CShredIo
{
public:
    virtual ~CShredIo() {}
    // An existing file opened for writing, shared for writing only, a link
    // itself rather than its target; NULL on failure, with the reason in
    // GetLastError.
    virtual std::unique_ptr<CShredFile> Open(LPCWSTR lpszPath) = 0;
    virtual BOOL Delete(LPCWSTR lpszPath) = 0;
    // The entry's attributes (INVALID_FILE_ATTRIBUTES when it is not there)
    // and their change; the read-only flag of a chosen file is taken off.
    virtual DWORD GetAttributes(LPCWSTR lpszPath) { return ::GetFileAttributesW(lpszPath); }
    virtual BOOL SetAttributes(LPCWSTR lpszPath, DWORD dwAttributes)
    {
        return ::SetFileAttributesW(lpszPath, dwAttributes);
    }
};

// The real file system.
CShredIo& SystemShredIo();
