#include "framework/Afx.h"

#include "services/ZipWriter.h"
#include "services/ScopedHandle.h"

#include <zlib.h>
#include <new>
#include <stdlib.h>
#include <string.h>

using namespace zipformat;

namespace {

ZipResult g_zrWriterLast = ZipOk;

ZipResult SetLast(ZipResult zr)
{
    g_zrWriterLast = zr;
    return zr;
}

const WORD VersionMadeBy = 0x0B17;
const WORD VersionNeeded = 20;
const WORD LocalExtraSize = 17;
const WORD CentralExtraSize = 9;
const WORD FlagLevel8 = 0x0002;
const DWORD ExternalUnknown = 0x80000000;
const DWORD ExternalFolder = 0x41C00010;
const DWORD MaxItems = 0xFFFF;
const ULONGLONG MaxOffset = 0xFFFFFFFFULL;

struct ZipItemRecord
{
    WORD m_wFlags;
    WORD m_wMethod;
    WORD m_wDosTime;
    WORD m_wDosDate;
    DWORD m_dwCrc;
    DWORD m_dwCompressedSize;
    DWORD m_dwUncompressedSize;
    DWORD m_dwExternal;
    DWORD m_dwLocalOffset;
    DWORD m_dwModifyTime;
    DWORD m_dwAccessTime;
    DWORD m_dwCreateTime;
    WORD m_nNameLength;
    char m_szName[MaxItemName + 1];
};

struct ZipWriterState
{
    // Output.
    HANDLE m_hOutput = INVALID_HANDLE_VALUE;
    HANDLE m_hMapping = NULL;
    bool m_bSeekable = false;
    ULONGLONG m_ullStart = 0;
    ZipResult m_zrOutputError = ZipOk;
    bool m_bMemory = false;
    bool m_bOwnBlock = false;
    BYTE* m_pBlock = NULL;
    DWORD m_dwBlockPos = 0;
    DWORD m_dwBlockSize = 0;
    ULONGLONG m_ullWritten = 0;
    bool m_bEnded = false;
    ZipItemRecord* m_pItems = NULL;
    DWORD m_nItems = 0;
    DWORD m_nItemCapacity = 0;
    const std::atomic<bool>* m_pbStop = NULL;

    // The item being added.
    HANDLE m_hInput = INVALID_HANDLE_VALUE;
    bool m_bCloseInput = false;
    const BYTE* m_pInput = NULL;
    DWORD m_dwInputLength = 0;
    DWORD m_dwInputPos = 0;

    BYTE m_inBuffer[WorkBufferSize];
    BYTE m_outBuffer[WorkBufferSize];

    ZipWriterState() {}
    ~ZipWriterState();
    ZipWriterState(const ZipWriterState&) = delete;
    ZipWriterState& operator=(const ZipWriterState&) = delete;
};

ZipWriterState::~ZipWriterState()
{
    if (m_bCloseInput && m_hInput != INVALID_HANDLE_VALUE)
        CloseHandle(m_hInput);
    if (m_bOwnBlock && m_pBlock)
        UnmapViewOfFile(m_pBlock);
    if (m_hMapping)
        CloseHandle(m_hMapping);
    if (m_hOutput != INVALID_HANDLE_VALUE)
        CloseHandle(m_hOutput);
    free(m_pItems);
}

// Output ---------------------------------------------------------------------

void SetOutputError(ZipWriterState& s, ZipResult zr)
{
    if (s.m_zrOutputError == ZipOk)
        s.m_zrOutputError = zr;
}

// Once the caller's flag is set the output takes nothing more.
bool OutputStopped(ZipWriterState& s)
{
    if (s.m_pbStop != NULL && s.m_pbStop->load())
        SetOutputError(s, ZipErrStopped);
    return s.m_zrOutputError == ZipErrStopped;
}

bool GrowBlock(ZipWriterState& s, DWORD dwNeeded)
{
    if (!s.m_bOwnBlock)
    {
        SetOutputError(s, ZipErrMemSize);
        return false;
    }
    ULONGLONG ullNewSize = (ULONGLONG)s.m_dwBlockSize * 2;
    if (ullNewSize < dwNeeded)
        ullNewSize = dwNeeded;
    if (ullNewSize > MaxOffset)
        ullNewSize = MaxOffset;
    if (ullNewSize < dwNeeded)
    {
        SetOutputError(s, ZipErrWrite);
        return false;
    }
    HANDLE hMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, (DWORD)ullNewSize, NULL);
    BYTE* pBlock = hMapping ? (BYTE*)MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : NULL;
    if (!pBlock)
    {
        if (hMapping)
            CloseHandle(hMapping);
        SetOutputError(s, ZipErrWrite);
        return false;
    }
    memcpy(pBlock, s.m_pBlock, s.m_dwBlockSize);
    UnmapViewOfFile(s.m_pBlock);
    CloseHandle(s.m_hMapping);
    s.m_pBlock = pBlock;
    s.m_hMapping = hMapping;
    s.m_dwBlockSize = (DWORD)ullNewSize;
    return true;
}

// Writes at the current output position; bCount adds the bytes to the
// archive's length (a header rewritten in place does not).
bool WriteOut(ZipWriterState& s, const void* pData, DWORD dwSize, bool bCount)
{
    if (bCount && s.m_ullStart + s.m_ullWritten + dwSize > MaxOffset)
    {
        // Offsets are 32-bit: the archive cannot grow past 4 GB.
        SetOutputError(s, ZipErrWrite);
        return false;
    }
    if (s.m_bMemory)
    {
        // A block of its own grows once a write reaches its end.
        ULONGLONG ullEnd = (ULONGLONG)s.m_dwBlockPos + dwSize;
        bool bGrow = s.m_bOwnBlock ? ullEnd >= s.m_dwBlockSize : ullEnd > s.m_dwBlockSize;
        if (bGrow && !GrowBlock(s, (DWORD)ullEnd))
            return false;
        memcpy(s.m_pBlock + s.m_dwBlockPos, pData, dwSize);
        s.m_dwBlockPos += dwSize;
    }
    else
    {
        const BYTE* p = (const BYTE*)pData;
        DWORD dwLeft = dwSize;
        while (dwLeft)
        {
            DWORD dwDone = 0;
            if (!WriteFile(s.m_hOutput, p, dwLeft, &dwDone, NULL) || dwDone == 0)
            {
                SetOutputError(s, ZipErrWrite);
                return false;
            }
            p += dwDone;
            dwLeft -= dwDone;
        }
    }
    if (bCount)
        s.m_ullWritten += dwSize;
    return true;
}

// Moves to a position counted from the archive's start.
bool SeekOut(ZipWriterState& s, ULONGLONG ullPos)
{
    if (s.m_bMemory)
    {
        if (ullPos > s.m_dwBlockSize)
        {
            SetOutputError(s, ZipErrMemSize);
            return false;
        }
        s.m_dwBlockPos = (DWORD)ullPos;
        return true;
    }
    LARGE_INTEGER li;
    li.QuadPart = (LONGLONG)(s.m_ullStart + ullPos);
    if (!SetFilePointerEx(s.m_hOutput, li, NULL, FILE_BEGIN))
    {
        SetOutputError(s, ZipBugSeek);
        return false;
    }
    return true;
}

// Headers ----------------------------------------------------------------------

// The run of fields from "version needed" to the name length, the same in both headers.
BYTE* PutSharedFields(const ZipItemRecord& r, BYTE* q)
{
    q = PutWord(q, VersionNeeded);
    q = PutWord(q, r.m_wFlags);
    q = PutWord(q, r.m_wMethod);
    q = PutWord(q, r.m_wDosTime);
    q = PutWord(q, r.m_wDosDate);
    q = PutDword(q, r.m_dwCrc);
    q = PutDword(q, r.m_dwCompressedSize);
    q = PutDword(q, r.m_dwUncompressedSize);
    q = PutWord(q, r.m_nNameLength);
    return q;
}

DWORD BuildLocalHeader(const ZipItemRecord& r, BYTE* p)
{
    BYTE* q = p;
    q = PutDword(q, LocalHeaderSignature);
    q = PutSharedFields(r, q);
    q = PutWord(q, LocalExtraSize);
    memcpy(q, r.m_szName, r.m_nNameLength);
    q += r.m_nNameLength;
    q = PutWord(q, ExtraTimeTag);
    q = PutWord(q, 13);
    *q++ = 7;
    q = PutDword(q, r.m_dwModifyTime);
    q = PutDword(q, r.m_dwAccessTime);
    q = PutDword(q, r.m_dwCreateTime);
    return (DWORD)(q - p);
}

DWORD BuildCentralHeader(const ZipItemRecord& r, BYTE* p)
{
    BYTE* q = p;
    q = PutDword(q, CentralHeaderSignature);
    q = PutWord(q, VersionMadeBy);
    q = PutSharedFields(r, q);
    q = PutWord(q, CentralExtraSize);
    q = PutWord(q, 0);          // comment length
    q = PutWord(q, 0);          // disk number
    q = PutWord(q, 0);          // internal attributes
    q = PutDword(q, r.m_dwExternal);
    q = PutDword(q, r.m_dwLocalOffset);
    memcpy(q, r.m_szName, r.m_nNameLength);
    q += r.m_nNameLength;
    q = PutWord(q, ExtraTimeTag);
    q = PutWord(q, 5);
    *q++ = 7;
    q = PutDword(q, r.m_dwModifyTime);
    return (DWORD)(q - p);
}

// Writes the central directory and the end record once.
ZipResult EndArchive(ZipWriterState& s)
{
    if (s.m_bEnded)
        return ZipOk;
    if (s.m_zrOutputError == ZipErrStopped)
    {
        // No directory: a stopped archive must not read as a complete one.
        free(s.m_pItems);
        s.m_pItems = NULL;
        s.m_nItems = s.m_nItemCapacity = 0;
        s.m_bEnded = true;
        return ZipErrStopped;
    }
    ZipResult zr = ZipOk;
    ULONGLONG ullCentralStart = s.m_ullWritten;
    BYTE header[CentralHeaderSize + MaxItemName + CentralExtraSize];
    DWORD nWritten = 0;
    for (DWORD i = 0; i < s.m_nItems; ++i)
    {
        DWORD dwSize = BuildCentralHeader(s.m_pItems[i], header);
        if (zr == ZipOk && WriteOut(s, header, dwSize, true))
            ++nWritten;
        else
            zr = ZipErrWrite;
    }
    free(s.m_pItems);
    s.m_pItems = NULL;
    s.m_nItems = s.m_nItemCapacity = 0;

    BYTE end[EndRecordSize];
    BYTE* q = end;
    q = PutDword(q, EndRecordSignature);
    q = PutWord(q, 0);
    q = PutWord(q, 0);
    q = PutWord(q, (WORD)nWritten);
    q = PutWord(q, (WORD)nWritten);
    q = PutDword(q, (DWORD)(s.m_ullWritten - ullCentralStart));
    q = PutDword(q, (DWORD)(ullCentralStart + s.m_ullStart));
    q = PutWord(q, 0);
    if (zr == ZipOk && !WriteOut(s, end, EndRecordSize, true))
        zr = ZipErrWrite;
    s.m_bEnded = true;
    return zr;
}

// Sources ----------------------------------------------------------------------

// Bytes read into the buffer: 0 at the end, -1 on a read error.
int ReadInput(ZipWriterState& s, BYTE* pBuffer, DWORD dwMax)
{
    if (s.m_pInput)
    {
        DWORD dwLeft = s.m_dwInputLength - s.m_dwInputPos;
        DWORD dwCopy = dwLeft < dwMax ? dwLeft : dwMax;
        memcpy(pBuffer, s.m_pInput + s.m_dwInputPos, dwCopy);
        s.m_dwInputPos += dwCopy;
        return (int)dwCopy;
    }
    if (s.m_hInput == INVALID_HANDLE_VALUE)
        return 0;
    DWORD dwRead = 0;
    if (!ReadFile(s.m_hInput, pBuffer, dwMax, &dwRead, NULL))
        return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
    return (int)dwRead;
}

void CloseInput(ZipWriterState& s)
{
    if (s.m_bCloseInput && s.m_hInput != INVALID_HANDLE_VALUE)
        CloseHandle(s.m_hInput);
    s.m_hInput = INVALID_HANDLE_VALUE;
    s.m_bCloseInput = false;
    s.m_pInput = NULL;
    s.m_dwInputLength = s.m_dwInputPos = 0;
}

bool ReadAt(HANDLE h, LONGLONG llPos, void* pBuffer, DWORD dwSize)
{
    LARGE_INTEGER li;
    li.QuadPart = llPos;
    DWORD dwRead = 0;
    return SetFilePointerEx(h, li, NULL, FILE_BEGIN) && ReadFile(h, pBuffer, dwSize, &dwRead, NULL) && dwRead == dwSize;
}

// An MZ file whose header offset leads to one of the known signatures.
bool IsExecutable(HANDLE h, ULONGLONG ullSize)
{
    if (ullSize <= 40)
        return false;
    BYTE head[64];
    if (ullSize < sizeof(head) || !ReadAt(h, 0, head, sizeof(head)))
        return false;
    if (head[0] != 0x4D || head[1] != 0x5A)
        return false;
    DWORD dwOffset = GetDword(head + 60);
    if ((ULONGLONG)dwOffset + 52 >= ullSize)
        return false;
    BYTE sig[4];
    if (!ReadAt(h, dwOffset, sig, sizeof(sig)))
        return false;
    DWORD dwSig = GetDword(sig);
    return dwSig == 0x5A4D || dwSig == 0x454E || dwSig == 0x454C || dwSig == 0x4550;
}

bool HasStoredSuffix(const char* pszName, int nLength)
{
    static const char* const s_suffixes[] = { ".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz" };
    int nDot = -1;
    for (int i = 0; i < nLength; ++i)
    {
        if (pszName[i] == '.')
            nDot = i;
    }
    if (nDot < 0)
        return false;
    for (const char* pszSuffix : s_suffixes)
    {
        int nSuffix = (int)strlen(pszSuffix);
        if (nSuffix == nLength - nDot && _strnicmp(pszName + nDot, pszSuffix, nSuffix) == 0)
            return true;
    }
    return false;
}

struct ItemTimes
{
    WORD m_wDosDate;
    WORD m_wDosTime;
    DWORD m_dwModify;
    DWORD m_dwAccess;
    DWORD m_dwCreate;
};

ItemTimes TimesNow()
{
    ItemTimes t;
    SYSTEMTIME stLocal;
    GetLocalTime(&stLocal);
    DosDateTimeFromFields(stLocal, t.m_wDosDate, t.m_wDosTime);
    FILETIME ftNow;
    GetSystemTimeAsFileTime(&ftNow);
    t.m_dwModify = t.m_dwAccess = t.m_dwCreate = UnixTimeFromFileTime(ftNow);
    return t;
}

ItemTimes TimesOfFile(const BY_HANDLE_FILE_INFORMATION& info)
{
    ItemTimes t;
    FILETIME ftLocal;
    SYSTEMTIME stLocal = {};
    if (FileTimeToLocalFileTime(&info.ftLastWriteTime, &ftLocal) && FileTimeToSystemTime(&ftLocal, &stLocal))
        DosDateTimeFromFields(stLocal, t.m_wDosDate, t.m_wDosTime);
    else
        DosDateTimeFromFields(SYSTEMTIME(), t.m_wDosDate, t.m_wDosTime);
    t.m_dwModify = UnixTimeFromFileTime(info.ftLastWriteTime);
    t.m_dwAccess = UnixTimeFromFileTime(info.ftLastAccessTime);
    t.m_dwCreate = UnixTimeFromFileTime(info.ftCreationTime);
    return t;
}

DWORD ExternalOfFile(const BY_HANDLE_FILE_INFORMATION& info, bool bExecutable)
{
    DWORD dwAttr = info.dwFileAttributes;
    DWORD dwLow = dwAttr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                            | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    DWORD dwHigh = (dwAttr & FILE_ATTRIBUTE_DIRECTORY) ? 0x4000 : 0x8000;
    dwHigh |= 0x0100;
    if (!(dwAttr & FILE_ATTRIBUTE_READONLY))
        dwHigh |= 0x0080;
    if (bExecutable)
        dwHigh |= 0x0040;
    return (dwHigh << 16) | dwLow;
}

// Compresses or copies the input to the output; updates the record's CRC and
// sizes from what was actually read and produced.
ZipResult WriteItemData(ZipWriterState& s, ZipItemRecord& r)
{
    ULONGLONG ullRead = 0, ullProduced = 0;
    DWORD dwCrc = crc32(0L, Z_NULL, 0);
    if (r.m_wMethod == MethodStored)
    {
        for (;;)
        {
            if (OutputStopped(s))
                return ZipErrStopped;
            int nRead = ReadInput(s, s.m_inBuffer, WorkBufferSize);
            if (nRead < 0)
                return ZipErrRead;
            if (nRead == 0)
                break;
            dwCrc = crc32(dwCrc, s.m_inBuffer, (uInt)nRead);
            ullRead += nRead;
            if (!WriteOut(s, s.m_inBuffer, (DWORD)nRead, true))
                return s.m_zrOutputError;
            ullProduced += nRead;
        }
    }
    else
    {
        z_stream zs = {};
        if (deflateInit2(&zs, 8, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return ZipErrWrite;
        ZipResult zr = ZipOk;
        bool bDone = false;
        while (!bDone && zr == ZipOk)
        {
            if (OutputStopped(s))
            {
                zr = ZipErrStopped;
                break;
            }
            int nRead = ReadInput(s, s.m_inBuffer, WorkBufferSize);
            if (nRead < 0)
            {
                zr = ZipErrRead;
                break;
            }
            dwCrc = crc32(dwCrc, s.m_inBuffer, (uInt)nRead);
            ullRead += nRead;
            int nFlush = nRead == 0 ? Z_FINISH : Z_NO_FLUSH;
            zs.next_in = s.m_inBuffer;
            zs.avail_in = (uInt)nRead;
            do
            {
                zs.next_out = s.m_outBuffer;
                zs.avail_out = WorkBufferSize;
                int rc = deflate(&zs, nFlush);
                if (rc == Z_STREAM_ERROR)
                {
                    zr = ZipErrWrite;
                    break;
                }
                DWORD dwOut = WorkBufferSize - zs.avail_out;
                if (dwOut && !WriteOut(s, s.m_outBuffer, dwOut, true))
                {
                    zr = s.m_zrOutputError;
                    break;
                }
                ullProduced += dwOut;
                if (rc == Z_STREAM_END)
                    bDone = true;
            } while (zs.avail_out == 0 && !bDone);
        }
        deflateEnd(&zs);
        if (zr != ZipOk)
            return zr;
    }
    if (ullRead > MaxOffset || ullProduced > MaxOffset)
    {
        SetOutputError(s, ZipErrWrite);
        return ZipErrWrite;
    }
    r.m_dwCrc = dwCrc;
    r.m_dwCompressedSize = (DWORD)ullProduced;
    r.m_dwUncompressedSize = (DWORD)ullRead;
    return ZipOk;
}

bool KeepRecord(ZipWriterState& s, const ZipItemRecord& r)
{
    if (s.m_nItems == s.m_nItemCapacity)
    {
        DWORD nNew = s.m_nItemCapacity ? s.m_nItemCapacity * 2 : 16;
        ZipItemRecord* pNew = (ZipItemRecord*)realloc(s.m_pItems, nNew * sizeof(ZipItemRecord));
        if (!pNew)
            return false;
        s.m_pItems = pNew;
        s.m_nItemCapacity = nNew;
    }
    s.m_pItems[s.m_nItems++] = r;
    return true;
}

// Opens the source and fills in attributes, size and times.
ZipResult OpenSource(ZipWriterState& s, const void* pSource, DWORD dwLength, ZipStreamKind kind,
                     LONGLONG& llSize, DWORD& dwExternal, ItemTimes& times)
{
    if (kind == ZipKindFolder)
    {
        llSize = 0;
        dwExternal = ExternalFolder;
        times = TimesNow();
        return ZipOk;
    }
    if (kind == ZipKindMemory)
    {
        if (!pSource || dwLength == 0)
            return ZipErrArgs;
        s.m_pInput = (const BYTE*)pSource;
        s.m_dwInputLength = dwLength;
        llSize = dwLength;
        dwExternal = ExternalUnknown;
        times = TimesNow();
        return ZipOk;
    }
    HANDLE hInput = INVALID_HANDLE_VALUE;
    if (kind == ZipKindFile)
    {
        if (!pSource)
            return ZipErrArgs;
        hInput = CreateFileW((LPCWSTR)pSource, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hInput == INVALID_HANDLE_VALUE)
            return ZipErrNoFile;
        s.m_bCloseInput = true;
    }
    else if (kind == ZipKindHandle)
    {
        hInput = (HANDLE)pSource;
        if (hInput == NULL || hInput == INVALID_HANDLE_VALUE)
            return ZipErrArgs;
    }
    else
        return ZipErrArgs;
    s.m_hInput = hInput;

    if (GetFileType(hInput) != FILE_TYPE_DISK)
    {
        llSize = dwLength ? (LONGLONG)dwLength : -1;
        dwExternal = ExternalUnknown;
        times = TimesNow();
        return ZipOk;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(hInput, &info))
        return ZipErrNoFile;
    ULONGLONG ullSize = ((ULONGLONG)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    if (ullSize >= MaxOffset)
        return ZipErrArgs;
    bool bExecutable = IsExecutable(hInput, ullSize);
    LARGE_INTEGER liZero = {};
    if (!SetFilePointerEx(hInput, liZero, NULL, FILE_BEGIN))
        return ZipErrNoFile;
    llSize = (LONGLONG)ullSize;
    dwExternal = ExternalOfFile(info, bExecutable);
    times = TimesOfFile(info);
    return ZipOk;
}

ZipResult AddItem(ZipWriterState& s, LPCWSTR pszName, const void* pSource, DWORD dwLength, ZipStreamKind kind)
{
    if (OutputStopped(s))
        return ZipErrStopped;
    if (s.m_zrOutputError != ZipOk)
        return ZipErrPrevious;
    if (s.m_bEnded)
        return ZipErrEnded;
    if (!pszName || s.m_nItems >= MaxItems)
        return ZipErrArgs;
    if (kind != ZipKindHandle && kind != ZipKindFile && kind != ZipKindMemory && kind != ZipKindFolder)
        return ZipErrArgs;

    // Separators are swapped before conversion: in double-byte code pages a
    // trail byte can equal '\'.
    CString strName(pszName);
    strName.Replace(L'\\', L'/');
    if (kind == ZipKindFolder && !strName.IsEmpty() && strName[strName.GetLength() - 1] != L'/')
        strName += L'/';
    ZipItemRecord r = {};
    int nNameLength = 0;
    BOOL bUtf8 = FALSE;
    if (!EncodeItemName(strName, r.m_szName, MaxItemName, nNameLength, bUtf8))
        return ZipErrArgs;
    r.m_nNameLength = (WORD)nNameLength;
    WORD wNameFlags = bUtf8 ? FlagUtf8Name : 0;

    r.m_wMethod = (kind == ZipKindFolder || HasStoredSuffix(r.m_szName, nNameLength)) ? MethodStored : MethodDeflated;

    LONGLONG llSize = -1;
    ItemTimes times = {};
    ZipResult zr = OpenSource(s, pSource, dwLength, kind, llSize, r.m_dwExternal, times);
    if (zr != ZipOk)
    {
        CloseInput(s);
        return zr;
    }

    // A stored item on output that cannot seek needs its size in the first header.
    if (!s.m_bSeekable && r.m_wMethod == MethodStored && llSize < 0)
    {
        CloseInput(s);
        return ZipBugNoChange;
    }
    ULONGLONG ullOffset = s.m_ullStart + s.m_ullWritten;
    if (ullOffset > MaxOffset)
    {
        CloseInput(s);
        SetOutputError(s, ZipErrWrite);
        return ZipErrWrite;
    }

    r.m_wFlags = FlagDataDescriptor | wNameFlags;
    r.m_wDosDate = times.m_wDosDate;
    r.m_wDosTime = times.m_wDosTime;
    r.m_dwModifyTime = times.m_dwModify;
    r.m_dwAccessTime = times.m_dwAccess;
    r.m_dwCreateTime = times.m_dwCreate;
    r.m_dwCrc = 0;
    r.m_dwCompressedSize = (r.m_wMethod == MethodStored && llSize >= 0) ? (DWORD)llSize : 0;
    r.m_dwUncompressedSize = llSize >= 0 ? (DWORD)llSize : 0xFFFFFFFF;
    r.m_dwLocalOffset = (DWORD)ullOffset;
    DWORD dwAnnouncedStored = r.m_dwCompressedSize;

    BYTE header[LocalHeaderSize + MaxItemName + LocalExtraSize];
    DWORD dwHeader = BuildLocalHeader(r, header);
    if (!WriteOut(s, header, dwHeader, true))
    {
        CloseInput(s);
        return s.m_zrOutputError;
    }

    zr = ZipOk;
    if (kind != ZipKindFolder)
        zr = WriteItemData(s, r);
    CloseInput(s);
    if (zr != ZipOk)
        return zr;

    if (s.m_bSeekable)
    {
        r.m_wFlags = (WORD)((r.m_wMethod == MethodDeflated ? FlagLevel8 : 0) | wNameFlags);
        BuildLocalHeader(r, header);
        if (!SeekOut(s, r.m_dwLocalOffset - s.m_ullStart))
            return s.m_zrOutputError;
        if (!WriteOut(s, header, LocalHeaderSize, false))
            return s.m_zrOutputError;
        if (!SeekOut(s, s.m_ullWritten))
            return s.m_zrOutputError;
    }
    else
    {
        if (r.m_wMethod == MethodStored && r.m_dwCompressedSize != dwAnnouncedStored)
            return ZipBugNoChange;
        BYTE descriptor[16];
        BYTE* q = descriptor;
        q = PutDword(q, DataDescriptorSignature);
        q = PutDword(q, r.m_dwCrc);
        q = PutDword(q, r.m_dwCompressedSize);
        q = PutDword(q, r.m_dwUncompressedSize);
        if (!WriteOut(s, descriptor, sizeof(descriptor), true))
            return s.m_zrOutputError;
    }
    if (s.m_zrOutputError != ZipOk)
        return s.m_zrOutputError;
    if (!KeepRecord(s, r))
        return ZipErrNoAlloc;
    return ZipOk;
}

ZipWriterState* WriterOf(ZipHandle hZip, ZipResult& zr)
{
    return (ZipWriterState*)StateOfHandle(hZip, ZipHandleWriter, zr);
}

} // namespace

ZipHandle CreateZipArchive(const void* pTarget, DWORD dwLength, ZipStreamKind kind)
{
    ZipWriterState* pState = NULL;
    ZipHandle hZip = NewZipHandle(pState);
    if (!hZip)
    {
        SetLast(ZipErrNoAlloc);
        return NULL;
    }
    ZipWriterState& s = *pState;
    ZipResult zr = ZipOk;
    if (kind == ZipKindFile)
    {
        s.m_hOutput = pTarget ? CreateFileW((LPCWSTR)pTarget, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL)
                              : INVALID_HANDLE_VALUE;
        if (s.m_hOutput == INVALID_HANDLE_VALUE)
            zr = pTarget ? ZipErrNoFile : ZipErrArgs;
        s.m_bSeekable = true;
    }
    else if (kind == ZipKindHandle)
    {
        HANDLE hDup = NULL;
        if (!pTarget || pTarget == INVALID_HANDLE_VALUE)
            zr = ZipErrArgs;
        else if (!DuplicateHandle(GetCurrentProcess(), (HANDLE)pTarget, GetCurrentProcess(), &hDup, 0, FALSE, DUPLICATE_SAME_ACCESS))
            zr = ZipErrDuplicate;
        else
        {
            s.m_hOutput = hDup;
            LARGE_INTEGER liZero = {}, liPos = {};
            if (GetFileType(hDup) == FILE_TYPE_DISK && SetFilePointerEx(hDup, liZero, &liPos, FILE_CURRENT))
            {
                s.m_bSeekable = true;
                s.m_ullStart = (ULONGLONG)liPos.QuadPart;
            }
        }
    }
    else if (kind == ZipKindMemory)
    {
        s.m_bMemory = true;
        s.m_bSeekable = true;
        if (dwLength == 0)
            zr = ZipErrMemSize;
        else if (pTarget)
        {
            s.m_pBlock = (BYTE*)pTarget;
            s.m_dwBlockSize = dwLength;
        }
        else
        {
            s.m_bOwnBlock = true;
            s.m_hMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, dwLength, NULL);
            s.m_pBlock = s.m_hMapping ? (BYTE*)MapViewOfFile(s.m_hMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : NULL;
            s.m_dwBlockSize = dwLength;
            if (!s.m_pBlock)
                zr = ZipErrNoAlloc;
        }
    }
    else
        zr = ZipErrArgs;

    if (zr != ZipOk)
    {
        delete pState;
        delete hZip;
        SetLast(zr);
        return NULL;
    }
    hZip->m_dwKind = ZipHandleWriter;
    hZip->m_pState = pState;
    SetLast(ZipOk);
    return hZip;
}

ZipResult AddToZipArchive(ZipHandle hZip, LPCWSTR pszName, const void* pSource, DWORD dwLength, ZipStreamKind kind)
{
    ZipResult zr;
    ZipWriterState* pState = WriterOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    return SetLast(AddItem(*pState, pszName, pSource, dwLength, kind));
}

BOOL AddFolderToZipArchive(ZipHandle hZip, LPCWSTR pszBase, LPCWSTR pszRelative)
{
    if (!pszBase || !pszRelative)
    {
        SetLast(ZipErrArgs);
        return FALSE;
    }
    if (AddToZipArchive(hZip, pszRelative, NULL, 0, ZipKindFolder) != ZipOk)
        return FALSE;
    CString strFolder(pszBase);
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] != L'\\')
        strFolder += L'\\';
    strFolder += pszRelative;
    strFolder += L'\\';

    WIN32_FIND_DATAW fd;
    CFindHandle find(FindFirstFileW(strFolder + L"*", &fd));
    if (!find.IsValid())
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_NO_MORE_FILES;
    BOOL bOk = TRUE;
    do
    {
        if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0)
            continue;
        CString strRelative(pszRelative);
        strRelative += L'\\';
        strRelative += fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            bOk = AddFolderToZipArchive(hZip, pszBase, strRelative);
        else
            bOk = AddToZipArchive(hZip, strRelative, (LPCWSTR)(strFolder + fd.cFileName), 0, ZipKindFile) == ZipOk;
    } while (bOk && FindNextFileW(find.Get(), &fd));
    if (bOk && GetLastError() != ERROR_NO_MORE_FILES)
        bOk = FALSE;
    return bOk;
}

ZipResult SetZipWriterStopFlag(ZipHandle hZip, const std::atomic<bool>* pbStop)
{
    ZipResult zr;
    ZipWriterState* pState = WriterOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    pState->m_pbStop = pbStop;
    return SetLast(ZipOk);
}

ZipResult GetZipArchiveMemory(ZipHandle hZip, void** ppBlock, DWORD* pdwLength)
{
    ZipResult zr;
    ZipWriterState* pState = WriterOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    if (!ppBlock || !pdwLength)
        return SetLast(ZipErrArgs);
    if (!pState->m_bMemory)
        return SetLast(ZipErrNotMemory);
    zr = EndArchive(*pState);
    *ppBlock = pState->m_pBlock;
    *pdwLength = (DWORD)pState->m_ullWritten;
    return SetLast(zr);
}

ZipResult CloseZipWriter(ZipHandle hZip)
{
    ZipResult zr;
    ZipWriterState* pState = WriterOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    zr = EndArchive(*pState);
    delete pState;
    delete hZip;
    return SetLast(zr);
}

BOOL IsZipWriterHandle(ZipHandle hZip)
{
    return !hZip || hZip->m_dwKind == ZipHandleWriter;
}

unsigned FormatZipResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize)
{
    return FormatResult(zr == 1 ? g_zrWriterLast : zr, pszBuffer, nSize);
}
