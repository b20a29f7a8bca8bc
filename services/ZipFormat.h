#pragma once
// What the zip writer and reader share: the handle, the result codes, the
// stream kinds, and the small helpers of the archive layout (signatures,
// little-endian fields, DOS and Unix times, item name encoding).
#include <windows.h>
#include <new>

typedef DWORD ZipResult;

// What a source or target argument is.
typedef DWORD ZipStreamKind;
const ZipStreamKind ZipKindHandle = 1;   // an open Win32 file handle
const ZipStreamKind ZipKindFile = 2;     // a wide file name
const ZipStreamKind ZipKindMemory = 3;   // a memory block and a length
const ZipStreamKind ZipKindFolder = 4;   // no source: a folder entry (adding only)

const ZipResult ZipOk = 0x00000000;
const ZipResult ZipErrDuplicate = 0x00000100;
const ZipResult ZipErrNoFile = 0x00000200;
const ZipResult ZipErrNoAlloc = 0x00000300;
const ZipResult ZipErrWrite = 0x00000400;
const ZipResult ZipErrNotFound = 0x00000500;
const ZipResult ZipMore = 0x00000600;
const ZipResult ZipErrCorrupt = 0x00000700;
const ZipResult ZipErrRead = 0x00000800;
const ZipResult ZipErrStopped = 0x00000900;   // the caller's stop flag was set
const ZipResult ZipErrArgs = 0x00010000;
const ZipResult ZipErrNotMemory = 0x00020000;
const ZipResult ZipErrMemSize = 0x00030000;
const ZipResult ZipErrPrevious = 0x00040000;
const ZipResult ZipErrEnded = 0x00050000;
const ZipResult ZipErrSizeGuess = 0x00060000;
const ZipResult ZipErrPartUnzipped = 0x00070000;
const ZipResult ZipErrMixed = 0x00080000;
const ZipResult ZipBugNotInited = 0x01000000;
const ZipResult ZipBugSeek = 0x02000000;
const ZipResult ZipBugNoChange = 0x04000000;
const ZipResult ZipBugFlate = 0x05000000;

// Handed to callers as an opaque pointer; a NULL handle means failure.
const DWORD ZipHandleReader = 1;
const DWORD ZipHandleWriter = 2;
struct ZipHandleRecord
{
    DWORD m_dwKind;
    void* m_pState;
};
typedef ZipHandleRecord* ZipHandle;

namespace zipformat {

const DWORD LocalHeaderSignature = 0x04034B50;
const DWORD CentralHeaderSignature = 0x02014B50;
const DWORD EndRecordSignature = 0x06054B50;
const DWORD DataDescriptorSignature = 0x08074B50;
const int LocalHeaderSize = 30;
const int CentralHeaderSize = 46;
const int EndRecordSize = 22;
const WORD ExtraTimeTag = 0x5455;        // "UT"
const WORD FlagDataDescriptor = 0x0008;
const WORD FlagUtf8Name = 0x0800;
const WORD MethodStored = 0;
const WORD MethodDeflated = 8;
// Longest stored name either side handles, in bytes or characters.
const int MaxItemName = 259;
const DWORD WorkBufferSize = 16384;

inline WORD GetWord(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }
inline DWORD GetDword(const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); }
inline BYTE* PutWord(BYTE* p, WORD w) { p[0] = (BYTE)w; p[1] = (BYTE)(w >> 8); return p + 2; }
inline BYTE* PutDword(BYTE* p, DWORD dw) { p[0] = (BYTE)dw; p[1] = (BYTE)(dw >> 8); p[2] = (BYTE)(dw >> 16); p[3] = (BYTE)(dw >> 24); return p + 4; }

// The table text of a result code ("unknown zip result code" for others).
LPCWSTR ResultText(ZipResult zr);
// Copies the text into the buffer when both are given; returns its length.
unsigned FormatResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize);

// MS-DOS date and time of local wall-clock fields, clamped to 1980..2107.
void DosDateTimeFromFields(const SYSTEMTIME& st, WORD& wDate, WORD& wTime);
// FILETIME of a DOS date and time, no time-zone conversion; zero when invalid.
FILETIME FileTimeFromDos(WORD wDate, WORD wTime);
// Seconds since 1970 UTC of a UTC file time, the year clamped to 1970..2037
// keeping the time of day.
DWORD UnixTimeFromFileTime(const FILETIME& ftUtc);
// FILETIME (UTC) of seconds since 1970 UTC.
FILETIME FileTimeFromUnix(DWORD dwSeconds);

// Encodes an item name for the archive: the ANSI code page when every
// character fits there, else UTF-8 (bUtf8 set, stored with flag bit 11, so
// two names never collapse into the same "?" text). FALSE on failure.
BOOL EncodeItemName(LPCWSTR pszName, char* pszOut, int nOutSize, int& nOutLength, BOOL& bUtf8);
// Decodes a stored name; FALSE when it does not convert or does not fit.
BOOL DecodeItemName(const char* pName, int nLength, BOOL bUtf8, LPWSTR pszOut, int nOutSize);

// The state behind a handle of the given kind; NULL with zr set to
// ZipErrArgs (no handle) or ZipErrMixed (a handle of the other kind).
void* StateOfHandle(ZipHandle hZip, DWORD dwKind, ZipResult& zr);

// A handle record and the state it will carry, allocated together: both, or
// neither (NULL, pState NULL). The open sets the record's kind and state
// once it succeeds.
template <class TState>
ZipHandle NewZipHandle(TState*& pState)
{
    pState = new (std::nothrow) TState;
    ZipHandle hZip = new (std::nothrow) ZipHandleRecord;
    if (!pState || !hZip)
    {
        delete pState;
        delete hZip;
        pState = NULL;
        return NULL;
    }
    return hZip;
}

} // namespace zipformat
