#include "framework/Afx.h"

#include "services/ZipReader.h"

#include <zlib.h>
#include <new>
#include <stdlib.h>
#include <string.h>

using namespace zipformat;

namespace {

ZipResult g_zrReaderLast = ZipOk;

ZipResult SetLast(ZipResult zr)
{
    g_zrReaderLast = zr;
    return zr;
}

const DWORD MaxCommentLength = 0xFFFF;

// One central directory entry, as stored.
struct ZipCentralEntry
{
    WORD m_wFlags;
    WORD m_wMethod;
    WORD m_wDosTime;
    WORD m_wDosDate;
    DWORD m_dwCrc;
    DWORD m_dwCompressedSize;
    DWORD m_dwUncompressedSize;
    WORD m_nNameLength;
    DWORD m_dwExternal;
    DWORD m_dwLocalOffset;
    const BYTE* m_pName;
};

// The item open for extraction.
struct ZipItemStream
{
    bool m_bOpen = false;
    int m_nIndex = -1;
    WORD m_wMethod = 0;
    ULONGLONG m_ullPos = 0;          // next compressed byte in the input
    DWORD m_dwCompressedLeft = 0;
    DWORD m_dwSize = 0;
    DWORD m_dwProduced = 0;
    DWORD m_dwCrc = 0;
    DWORD m_dwExpectedCrc = 0;
    bool m_bInflating = false;
    bool m_bStreamEnd = false;
    bool m_bChecked = false;
    ZipResult m_zrError = ZipOk;
    z_stream m_zs = {};
    BYTE m_inBuffer[WorkBufferSize];
};

struct ZipReaderState
{
    HANDLE m_hInput = INVALID_HANDLE_VALUE;
    const BYTE* m_pMemory = NULL;
    ULONGLONG m_ullSize = 0;         // input length (file size or block length)
    ULONGLONG m_ullStart = 0;        // where the archive starts in the input
    LONGLONG m_llFront = 0;          // bytes in front of the archive
    ULONGLONG m_ullCentralStart = 0;
    DWORD m_dwCentralSize = 0;
    WORD m_nItems = 0;
    WORD m_nCommentLength = 0;
    BYTE* m_pCentral = NULL;
    DWORD* m_pEntryOffsets = NULL;

    ZipItemStream m_item;

    int m_nCachedIndex = -1;
    ZipArchiveEntry m_cached = {};
    ZipCentralEntry m_cachedCentral = {};
    ULONGLONG m_ullCachedDataStart = 0;

    CString m_strBase;
    BYTE m_extractBuffer[WorkBufferSize];
    const std::atomic<bool>* m_pbStop = NULL;

    ZipReaderState() {}
    ~ZipReaderState();
    ZipReaderState(const ZipReaderState&) = delete;
    ZipReaderState& operator=(const ZipReaderState&) = delete;
};

ZipReaderState::~ZipReaderState()
{
    if (m_item.m_bInflating)
        inflateEnd(&m_item.m_zs);
    if (m_hInput != INVALID_HANDLE_VALUE)
        CloseHandle(m_hInput);
    free(m_pCentral);
    free(m_pEntryOffsets);
}

// Owns a file that extraction creates: closes it, and removes it again
// unless the extraction went through.
class CTargetFile
{
public:
    CTargetFile() {}
    ~CTargetFile()
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        CloseHandle(m_hFile);
        if (!m_bKeep)
            DeleteFileW(m_strPath);
    }
    bool Create(const CString& strPath)
    {
        m_strPath = strPath;
        m_hFile = CreateFileW(strPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        return m_hFile != INVALID_HANDLE_VALUE;
    }
    HANDLE Get() const { return m_hFile; }
    void Keep() { m_bKeep = true; }
    CTargetFile(const CTargetFile&) = delete;
    CTargetFile& operator=(const CTargetFile&) = delete;
private:
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString m_strPath;
    bool m_bKeep = false;
};

// Input ------------------------------------------------------------------------

bool ReadAt(ZipReaderState& s, ULONGLONG ullPos, void* pBuffer, DWORD dwSize)
{
    if (ullPos > s.m_ullSize || dwSize > s.m_ullSize - ullPos)
        return false;
    if (s.m_pMemory)
    {
        memcpy(pBuffer, s.m_pMemory + ullPos, dwSize);
        return true;
    }
    LARGE_INTEGER li;
    li.QuadPart = (LONGLONG)ullPos;
    if (!SetFilePointerEx(s.m_hInput, li, NULL, FILE_BEGIN))
        return false;
    BYTE* p = (BYTE*)pBuffer;
    while (dwSize)
    {
        DWORD dwRead = 0;
        if (!ReadFile(s.m_hInput, p, dwSize, &dwRead, NULL) || dwRead == 0)
            return false;
        p += dwRead;
        dwSize -= dwRead;
    }
    return true;
}

// Finds and checks the end record, then reads and walks the whole central
// directory so that every length in it is known to lie inside the input.
ZipResult ParseArchive(ZipReaderState& s)
{
    if (s.m_ullStart > s.m_ullSize)
        return ZipErrCorrupt;
    ULONGLONG ullAvail = s.m_ullSize - s.m_ullStart;
    if (ullAvail < EndRecordSize)
        return ZipErrCorrupt;
    DWORD dwTail = (DWORD)(ullAvail < MaxCommentLength + EndRecordSize ? ullAvail : MaxCommentLength + EndRecordSize);
    BYTE* pTail = (BYTE*)malloc(dwTail);
    if (!pTail)
        return ZipErrNoAlloc;
    ULONGLONG ullTailPos = s.m_ullSize - dwTail;
    if (!ReadAt(s, ullTailPos, pTail, dwTail))
    {
        free(pTail);
        return ZipErrRead;
    }
    int nFound = -1;
    for (int i = (int)dwTail - EndRecordSize; i >= 0; --i)
    {
        if (GetDword(pTail + i) == EndRecordSignature)
        {
            nFound = i;
            break;
        }
    }
    if (nFound < 0)
    {
        free(pTail);
        return ZipErrCorrupt;
    }
    const BYTE* pEnd = pTail + nFound;
    WORD wDisk = GetWord(pEnd + 4), wCentralDisk = GetWord(pEnd + 6);
    WORD nOnDisk = GetWord(pEnd + 8), nTotal = GetWord(pEnd + 10);
    DWORD dwCentralSize = GetDword(pEnd + 12), dwCentralOffset = GetDword(pEnd + 16);
    s.m_nCommentLength = GetWord(pEnd + 20);
    ULONGLONG ullEndPos = ullTailPos + nFound;
    free(pTail);

    if (wDisk != 0 || wCentralDisk != 0 || nOnDisk != nTotal)
        return ZipErrCorrupt;
    ULONGLONG ullCentralEnd = (ULONGLONG)dwCentralOffset + dwCentralSize;
    if (ullEndPos < ullCentralEnd)
        return ZipErrCorrupt;
    s.m_llFront = (LONGLONG)(ullEndPos - ullCentralEnd);
    s.m_ullCentralStart = ullEndPos - dwCentralSize;
    s.m_dwCentralSize = dwCentralSize;
    s.m_nItems = nTotal;
    if ((ULONGLONG)nTotal * CentralHeaderSize > dwCentralSize)
        return ZipErrCorrupt;

    s.m_pCentral = (BYTE*)malloc(dwCentralSize ? dwCentralSize : 1);
    s.m_pEntryOffsets = (DWORD*)malloc((nTotal ? nTotal : 1) * sizeof(DWORD));
    if (!s.m_pCentral || !s.m_pEntryOffsets)
        return ZipErrNoAlloc;
    if (!ReadAt(s, s.m_ullCentralStart, s.m_pCentral, dwCentralSize))
        return ZipErrRead;
    DWORD dwPos = 0;
    for (DWORD i = 0; i < nTotal; ++i)
    {
        if (dwCentralSize - dwPos < (DWORD)CentralHeaderSize)
            return ZipErrCorrupt;
        const BYTE* p = s.m_pCentral + dwPos;
        if (GetDword(p) != CentralHeaderSignature)
            return ZipErrCorrupt;
        DWORD dwEntrySize = CentralHeaderSize + GetWord(p + 28) + GetWord(p + 30) + GetWord(p + 32);
        if (dwEntrySize > dwCentralSize - dwPos)
            return ZipErrCorrupt;
        s.m_pEntryOffsets[i] = dwPos;
        dwPos += dwEntrySize;
    }
    return ZipOk;
}

ZipCentralEntry CentralEntryAt(const ZipReaderState& s, int nIndex)
{
    const BYTE* p = s.m_pCentral + s.m_pEntryOffsets[nIndex];
    ZipCentralEntry ce;
    ce.m_wFlags = GetWord(p + 8);
    ce.m_wMethod = GetWord(p + 10);
    ce.m_wDosTime = GetWord(p + 12);
    ce.m_wDosDate = GetWord(p + 14);
    ce.m_dwCrc = GetDword(p + 16);
    ce.m_dwCompressedSize = GetDword(p + 20);
    ce.m_dwUncompressedSize = GetDword(p + 24);
    ce.m_nNameLength = GetWord(p + 28);
    ce.m_dwExternal = GetDword(p + 38);
    ce.m_dwLocalOffset = GetDword(p + 42);
    ce.m_pName = p + CentralHeaderSize;
    return ce;
}

// Entries ------------------------------------------------------------------------

// A level of dots and spaces with two dots or more: ".." itself, or what
// path normalisation could turn into it by dropping trailing dots and spaces.
bool IsParentLevel(LPCWSTR pszLevel, LPCWSTR pszEnd)
{
    int nDots = 0;
    for (LPCWSTR p = pszLevel; p < pszEnd; ++p)
    {
        if (*p == L'.')
            ++nDots;
        else if (*p != L' ')
            return false;
    }
    return nDots >= 2;
}

// A name that cannot lead out of the folder it is extracted into: no drive or
// stream colon, no leading separator, no ".." level.
bool IsSafeItemName(LPCWSTR pszName)
{
    if (!pszName[0] || pszName[0] == L'/' || pszName[0] == L'\\')
        return false;
    if (wcschr(pszName, L':'))
        return false;
    LPCWSTR pszLevel = pszName;
    for (;;)
    {
        LPCWSTR pszNext = pszLevel;
        while (*pszNext && *pszNext != L'/' && *pszNext != L'\\')
            ++pszNext;
        if (IsParentLevel(pszLevel, pszNext))
            return false;
        if (!*pszNext)
            return true;
        pszLevel = pszNext + 1;
    }
}

DWORD AttributesOf(DWORD dwExternal)
{
    DWORD dwAttr = FILE_ATTRIBUTE_NORMAL;
    if (dwExternal & 0x40000010)
        dwAttr |= FILE_ATTRIBUTE_DIRECTORY;
    if (dwExternal & 0x20)
        dwAttr |= FILE_ATTRIBUTE_ARCHIVE;
    if (dwExternal & 0x02)
        dwAttr |= FILE_ATTRIBUTE_HIDDEN;
    if (dwExternal & 0x04)
        dwAttr |= FILE_ATTRIBUTE_SYSTEM;
    if (!((dwExternal & 0x00800000) && !(dwExternal & 0x01)))
        dwAttr |= FILE_ATTRIBUTE_READONLY;
    return dwAttr;
}

// Replaces the DOS-derived times with those of a "UT" block, when present.
void ApplyExtraTimes(const BYTE* pExtra, DWORD dwLength, ZipArchiveEntry& e)
{
    DWORD dwPos = 0;
    while (dwLength - dwPos >= 4)
    {
        WORD wTag = GetWord(pExtra + dwPos);
        DWORD dwData = GetWord(pExtra + dwPos + 2);
        const BYTE* pData = pExtra + dwPos + 4;
        if (dwData > dwLength - dwPos - 4)
            return;
        if (wTag == ExtraTimeTag && dwData >= 1)
        {
            BYTE bFlags = pData[0];
            DWORD dwAt = 1;
            FILETIME* targets[3] = { &e.m_ftModifyTime, &e.m_ftAccessTime, &e.m_ftCreationTime };
            for (int i = 0; i < 3; ++i)
            {
                if (!(bFlags & (1 << i)))
                    continue;
                if (dwData - dwAt < 4)
                    return;
                *targets[i] = FileTimeFromUnix(GetDword(pData + dwAt));
                dwAt += 4;
            }
            return;
        }
        dwPos += 4 + dwData;
    }
}

void CloseItem(ZipReaderState& s)
{
    ZipItemStream& item = s.m_item;
    if (item.m_bInflating)
        inflateEnd(&item.m_zs);
    item.m_bInflating = false;
    item.m_bOpen = false;
    item.m_nIndex = -1;
}

// Reads an entry and checks its local header against it.
ZipResult LoadEntry(ZipReaderState& s, int nIndex)
{
    if (nIndex == s.m_nCachedIndex)
        return ZipOk;
    ZipCentralEntry ce = CentralEntryAt(s, nIndex);
    ZipArchiveEntry e = {};
    e.m_nIndex = nIndex;
    if (ce.m_nNameLength > MaxItemName)
        return ZipErrCorrupt;
    BOOL bUtf8 = (ce.m_wFlags & FlagUtf8Name) != 0;
    if (memchr(ce.m_pName, 0, ce.m_nNameLength)
        || !DecodeItemName((const char*)ce.m_pName, ce.m_nNameLength, bUtf8, e.m_szName, MaxItemName + 1)
        || !IsSafeItemName(e.m_szName))
        return ZipErrCorrupt;

    ULONGLONG ullLocal = (ULONGLONG)((LONGLONG)ce.m_dwLocalOffset + s.m_llFront);
    BYTE local[LocalHeaderSize];
    if (!ReadAt(s, ullLocal, local, LocalHeaderSize))
        return ZipErrCorrupt;
    WORD wLocalFlags = GetWord(local + 6);
    WORD wLocalMethod = GetWord(local + 8);
    WORD nLocalName = GetWord(local + 26);
    WORD nLocalExtra = GetWord(local + 28);
    if (GetDword(local) != LocalHeaderSignature || wLocalMethod != ce.m_wMethod
        || (ce.m_wMethod != MethodStored && ce.m_wMethod != MethodDeflated) || nLocalName != ce.m_nNameLength)
        return ZipErrCorrupt;
    if (!(wLocalFlags & FlagDataDescriptor)
        && (GetDword(local + 14) != ce.m_dwCrc || GetDword(local + 18) != ce.m_dwCompressedSize
            || GetDword(local + 22) != ce.m_dwUncompressedSize))
        return ZipErrCorrupt;
    if (ce.m_wMethod == MethodStored && ce.m_dwCompressedSize != ce.m_dwUncompressedSize)
        return ZipErrCorrupt;
    ULONGLONG ullExtra = ullLocal + LocalHeaderSize + nLocalName;
    BYTE* pExtra = (BYTE*)malloc(nLocalExtra ? nLocalExtra : 1);
    if (!pExtra)
        return ZipErrNoAlloc;
    if (!ReadAt(s, ullExtra, pExtra, nLocalExtra))
    {
        free(pExtra);
        return ZipErrRead;
    }
    // The data must lie between its header and the central directory.
    ULONGLONG ullData = ullExtra + nLocalExtra;
    if (ullData > s.m_ullCentralStart || ce.m_dwCompressedSize > s.m_ullCentralStart - ullData)
    {
        free(pExtra);
        return ZipErrCorrupt;
    }

    e.m_dwAttributes = AttributesOf(ce.m_dwExternal);
    e.m_ftModifyTime = FileTimeFromDos(ce.m_wDosDate, ce.m_wDosTime);
    e.m_ftAccessTime = e.m_ftCreationTime = e.m_ftModifyTime;
    ApplyExtraTimes(pExtra, nLocalExtra, e);
    free(pExtra);
    e.m_dwCompressedSize = ce.m_dwCompressedSize;
    e.m_dwUncompressedSize = ce.m_dwUncompressedSize;

    s.m_nCachedIndex = nIndex;
    s.m_cached = e;
    s.m_cachedCentral = ce;
    s.m_ullCachedDataStart = ullData;
    return ZipOk;
}

// Item data ------------------------------------------------------------------------

ZipResult OpenItem(ZipReaderState& s, int nIndex)
{
    CloseItem(s);
    ZipResult zr = LoadEntry(s, nIndex);
    if (zr != ZipOk)
        return zr;
    ZipItemStream& item = s.m_item;
    const ZipCentralEntry& ce = s.m_cachedCentral;
    item.m_nIndex = nIndex;
    item.m_wMethod = ce.m_wMethod;
    item.m_ullPos = s.m_ullCachedDataStart;
    item.m_dwCompressedLeft = ce.m_dwCompressedSize;
    item.m_dwSize = ce.m_dwUncompressedSize;
    item.m_dwProduced = 0;
    item.m_dwCrc = crc32(0L, Z_NULL, 0);
    item.m_dwExpectedCrc = ce.m_dwCrc;
    item.m_bStreamEnd = false;
    item.m_bChecked = false;
    item.m_zrError = ZipOk;
    if (item.m_wMethod == MethodDeflated)
    {
        item.m_zs = z_stream();
        if (inflateInit2(&item.m_zs, -MAX_WBITS) != Z_OK)
            return ZipBugFlate;
        item.m_bInflating = true;
    }
    item.m_bOpen = true;
    return ZipOk;
}

// Feeds the next block of compressed data to the inflater.
bool FillInput(ZipReaderState& s)
{
    ZipItemStream& item = s.m_item;
    DWORD dwChunk = item.m_dwCompressedLeft < WorkBufferSize ? item.m_dwCompressedLeft : WorkBufferSize;
    if (dwChunk == 0 || !ReadAt(s, item.m_ullPos, item.m_inBuffer, dwChunk))
        return false;
    item.m_ullPos += dwChunk;
    item.m_dwCompressedLeft -= dwChunk;
    item.m_zs.next_in = item.m_inBuffer;
    item.m_zs.avail_in = dwChunk;
    return true;
}

// After the announced size: the deflate stream must end right here.
bool StreamEndsHere(ZipReaderState& s)
{
    ZipItemStream& item = s.m_item;
    z_stream& zs = item.m_zs;
    BYTE probe;
    while (!item.m_bStreamEnd)
    {
        if (zs.avail_in == 0 && !FillInput(s))
            return false;
        zs.next_out = &probe;
        zs.avail_out = 1;
        int rc = inflate(&zs, Z_NO_FLUSH);
        if (zs.avail_out == 0)
            return false;
        if (rc == Z_STREAM_END)
            item.m_bStreamEnd = true;
        else if (rc != Z_OK)
            return false;
    }
    return true;
}

// Delivers up to dwMax bytes of the open item; 0 when it is exhausted or
// failed (m_zrError then says which). An item whose data is shorter or
// longer than announced, or whose CRC differs, fails with ZipErrCorrupt.
DWORD ReadItem(ZipReaderState& s, BYTE* pOut, DWORD dwMax)
{
    ZipItemStream& item = s.m_item;
    if (item.m_zrError == ZipOk && s.m_pbStop != NULL && s.m_pbStop->load())
        item.m_zrError = ZipErrStopped;
    if (item.m_zrError != ZipOk)
        return 0;
    DWORD dwWant = item.m_dwSize - item.m_dwProduced;
    if (dwWant > dwMax)
        dwWant = dwMax;
    DWORD dwGot = 0;
    if (item.m_wMethod == MethodStored)
    {
        if (dwWant && !ReadAt(s, item.m_ullPos, pOut, dwWant))
        {
            item.m_zrError = ZipErrRead;
            return 0;
        }
        item.m_ullPos += dwWant;
        dwGot = dwWant;
    }
    else
    {
        z_stream& zs = item.m_zs;
        zs.next_out = pOut;
        zs.avail_out = dwWant;
        while (zs.avail_out && item.m_zrError == ZipOk)
        {
            if (item.m_bStreamEnd)
                item.m_zrError = ZipErrCorrupt;   // the data ends before the item does
            else if (zs.avail_in == 0 && s.m_pbStop != NULL && s.m_pbStop->load())
                item.m_zrError = ZipErrStopped;   // polled per block read: a memory target may be large
            else if (zs.avail_in == 0 && !FillInput(s))
                item.m_zrError = item.m_dwCompressedLeft ? ZipErrRead : ZipErrCorrupt;
            else
            {
                int rc = inflate(&zs, Z_NO_FLUSH);
                if (rc == Z_STREAM_END)
                    item.m_bStreamEnd = true;
                else if (rc != Z_OK)
                    item.m_zrError = ZipBugFlate;
            }
        }
        if (item.m_zrError != ZipOk)
            return 0;
        dwGot = dwWant - zs.avail_out;
    }
    item.m_dwCrc = crc32(item.m_dwCrc, pOut, dwGot);
    item.m_dwProduced += dwGot;
    if (item.m_dwProduced == item.m_dwSize && !item.m_bChecked)
    {
        item.m_bChecked = true;
        if (item.m_wMethod == MethodDeflated && !StreamEndsHere(s))
            item.m_zrError = ZipErrCorrupt;
        else if (item.m_dwCrc != item.m_dwExpectedCrc)
            item.m_zrError = ZipErrCorrupt;
    }
    return dwGot;
}

// Folders ------------------------------------------------------------------------

// Creates every level of a relative folder path below the base folder.
bool CreateFolderLevels(const CString& strBase, const CString& strRelative)
{
    CString strPath = strBase;
    int nLength = strRelative.GetLength();
    for (int i = 0; i <= nLength; ++i)
    {
        wchar_t ch = i < nLength ? strRelative[i] : L'\\';
        if (ch == L'/' || ch == L'\\')
        {
            if (!strPath.IsEmpty() && strPath[strPath.GetLength() - 1] != L'\\')
            {
                if (!CreateDirectoryW(strPath, NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
                {
                    DWORD dwAttr = GetFileAttributesW(strPath);
                    if (dwAttr == INVALID_FILE_ATTRIBUTES || !(dwAttr & FILE_ATTRIBUTE_DIRECTORY))
                        return false;
                }
                strPath += L'\\';
            }
        }
        else
            strPath += ch;
    }
    return true;
}

bool IsRelativePath(const CString& strPath)
{
    return !strPath.IsEmpty() && strPath[0] != L'/' && strPath[0] != L'\\'
        && !(strPath.GetLength() > 1 && strPath[1] == L':');
}

// Extraction ---------------------------------------------------------------------

ZipResult ExtractToFileOrHandle(ZipReaderState& s, int nIndex, const void* pTarget, ZipStreamKind kind)
{
    CloseItem(s);
    ZipResult zr = LoadEntry(s, nIndex);
    if (zr != ZipOk)
        return zr;
    if (s.m_cached.m_dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        if (kind == ZipKindHandle)
            return ZipOk;
        return CreateFolderLevels(s.m_strBase, s.m_cached.m_szName) ? ZipOk : ZipErrNoFile;
    }

    HANDLE hTarget = (HANDLE)pTarget;
    CTargetFile target;
    if (kind == ZipKindFile)
    {
        CString strTarget = (LPCWSTR)pTarget;
        int nSlash = strTarget.ReverseFind(L'\\');
        int nSlash2 = strTarget.ReverseFind(L'/');
        if (nSlash2 > nSlash)
            nSlash = nSlash2;
        CString strFolder = nSlash > 0 ? strTarget.Left(nSlash) : CString();
        if (IsRelativePath(strFolder) && strFolder.Find(L"../") < 0 && strFolder.Find(L"..\\") < 0)
            CreateFolderLevels(s.m_strBase, strFolder);
        // A relative target lives below the same base as its folders.
        if (IsRelativePath(strTarget))
            strTarget = s.m_strBase + strTarget;
        if (!target.Create(strTarget))
            return ZipErrNoFile;
        hTarget = target.Get();
    }
    else if (hTarget == NULL || hTarget == INVALID_HANDLE_VALUE)
        return ZipErrArgs;

    zr = OpenItem(s, nIndex);
    while (zr == ZipOk)
    {
        DWORD dwGot = ReadItem(s, s.m_extractBuffer, WorkBufferSize);
        if (s.m_item.m_zrError != ZipOk)
            zr = s.m_item.m_zrError == ZipErrCorrupt || s.m_item.m_zrError == ZipErrStopped ? s.m_item.m_zrError
                                                                                           : ZipErrWrite;
        else if (dwGot == 0)
            break;
        else
        {
            DWORD dwDone = 0;
            if (!WriteFile(hTarget, s.m_extractBuffer, dwGot, &dwDone, NULL) || dwDone != dwGot)
                zr = ZipErrWrite;
        }
    }
    CloseItem(s);
    if (zr != ZipOk)
        return zr;      // a file created here is removed: a damaged item never looks restored
    if (GetFileType(hTarget) == FILE_TYPE_DISK)
        SetFileTime(hTarget, &s.m_cached.m_ftCreationTime, &s.m_cached.m_ftAccessTime, &s.m_cached.m_ftModifyTime);
    target.Keep();
    return ZipOk;
}

ZipResult ExtractToMemory(ZipReaderState& s, int nIndex, BYTE* pBuffer, DWORD dwLength)
{
    if (!pBuffer || dwLength == 0)
        return ZipErrArgs;
    if (!s.m_item.m_bOpen || s.m_item.m_nIndex != nIndex)
    {
        ZipResult zr = OpenItem(s, nIndex);
        if (zr != ZipOk)
        {
            CloseItem(s);
            return zr;
        }
    }
    DWORD dwFilled = 0;
    while (dwFilled < dwLength)
    {
        DWORD dwGot = ReadItem(s, pBuffer + dwFilled, dwLength - dwFilled);
        if (dwGot == 0)
            break;
        dwFilled += dwGot;
    }
    if (dwFilled)
        return ZipMore;
    ZipResult zr = s.m_item.m_zrError;
    if (zr != ZipOk && zr != ZipErrCorrupt && zr != ZipErrStopped)
        zr = ZipBugFlate;
    CloseItem(s);
    return zr;
}

ZipReaderState* ReaderOf(ZipHandle hZip, ZipResult& zr)
{
    return (ZipReaderState*)StateOfHandle(hZip, ZipHandleReader, zr);
}

bool NamesMatch(const BYTE* pStored, int nStored, const char* pName, int nName, BOOL bIgnoreCase)
{
    if (nStored != nName)
        return false;
    for (int i = 0; i < nName; ++i)
    {
        BYTE a = pStored[i], b = (BYTE)pName[i];
        if (bIgnoreCase)
        {
            if (a >= 'A' && a <= 'Z')
                a = (BYTE)(a + 32);
            if (b >= 'A' && b <= 'Z')
                b = (BYTE)(b + 32);
        }
        if (a != b)
            return false;
    }
    return true;
}

} // namespace

ZipHandle OpenZipArchive(const void* pSource, DWORD dwLength, ZipStreamKind kind)
{
    ZipReaderState* pState = NULL;
    ZipHandle hZip = NewZipHandle(pState);
    if (!hZip)
    {
        SetLast(ZipErrNoAlloc);
        return NULL;
    }
    ZipReaderState& s = *pState;
    ZipResult zr = ZipOk;
    if (kind == ZipKindFile)
    {
        s.m_hInput = pSource ? CreateFileW((LPCWSTR)pSource, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL)
                             : INVALID_HANDLE_VALUE;
        if (s.m_hInput == INVALID_HANDLE_VALUE)
            zr = pSource ? ZipErrNoFile : ZipErrArgs;
    }
    else if (kind == ZipKindHandle)
    {
        HANDLE hSource = (HANDLE)pSource;
        LARGE_INTEGER liZero = {}, liPos = {};
        if (!hSource || hSource == INVALID_HANDLE_VALUE)
            zr = ZipErrArgs;
        else if (GetFileType(hSource) != FILE_TYPE_DISK)
            zr = ZipBugSeek;
        else if (!DuplicateHandle(GetCurrentProcess(), hSource, GetCurrentProcess(), &s.m_hInput, 0, FALSE, DUPLICATE_SAME_ACCESS))
        {
            s.m_hInput = INVALID_HANDLE_VALUE;
            zr = ZipErrDuplicate;
        }
        else if (!SetFilePointerEx(s.m_hInput, liZero, &liPos, FILE_CURRENT))
            zr = ZipBugSeek;
        else
            s.m_ullStart = (ULONGLONG)liPos.QuadPart;
    }
    else if (kind == ZipKindMemory)
    {
        if (!pSource || dwLength == 0)
            zr = ZipErrArgs;
        s.m_pMemory = (const BYTE*)pSource;
        s.m_ullSize = dwLength;
    }
    else
        zr = ZipErrArgs;

    if (zr == ZipOk && s.m_hInput != INVALID_HANDLE_VALUE)
    {
        LARGE_INTEGER liSize = {};
        if (!GetFileSizeEx(s.m_hInput, &liSize))
            zr = ZipErrRead;
        s.m_ullSize = (ULONGLONG)liSize.QuadPart;
    }
    if (zr == ZipOk)
        zr = ParseArchive(s);
    if (zr != ZipOk)
    {
        delete pState;
        delete hZip;
        SetLast(zr);
        return NULL;
    }
    DWORD dwLen = GetCurrentDirectoryW(0, NULL);
    if (dwLen)
    {
        LPWSTR pszBase = s.m_strBase.GetBuffer((int)dwLen);
        DWORD dwGot = GetCurrentDirectoryW(dwLen, pszBase);
        s.m_strBase.ReleaseBuffer(dwGot < dwLen ? (int)dwGot : 0);
    }
    if (s.m_strBase.IsEmpty() || s.m_strBase[s.m_strBase.GetLength() - 1] != L'\\')
        s.m_strBase += L'\\';
    hZip->m_dwKind = ZipHandleReader;
    hZip->m_pState = pState;
    SetLast(ZipOk);
    return hZip;
}

ZipResult GetZipArchiveItem(ZipHandle hZip, int nIndex, ZipArchiveEntry* pEntry)
{
    ZipResult zr;
    ZipReaderState* pState = ReaderOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    ZipReaderState& s = *pState;
    if (!pEntry || nIndex < -1 || nIndex >= (int)s.m_nItems)
        return SetLast(ZipErrArgs);
    if (nIndex == -1)
    {
        *pEntry = ZipArchiveEntry();
        pEntry->m_nIndex = s.m_nItems;
        return SetLast(ZipOk);
    }
    CloseItem(s);
    zr = LoadEntry(s, nIndex);
    if (zr != ZipOk)
    {
        *pEntry = ZipArchiveEntry();
        pEntry->m_nIndex = nIndex;
        return SetLast(zr);
    }
    *pEntry = s.m_cached;
    return SetLast(ZipOk);
}

ZipResult ExtractZipArchiveItem(ZipHandle hZip, int nIndex, const void* pTarget, DWORD dwLength, ZipStreamKind kind)
{
    ZipResult zr;
    ZipReaderState* pState = ReaderOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    if (nIndex < 0 || nIndex >= (int)pState->m_nItems || !pTarget)
        return SetLast(ZipErrArgs);
    if (kind == ZipKindFile || kind == ZipKindHandle)
        return SetLast(ExtractToFileOrHandle(*pState, nIndex, pTarget, kind));
    if (kind == ZipKindMemory)
        return SetLast(ExtractToMemory(*pState, nIndex, (BYTE*)const_cast<void*>(pTarget), dwLength));
    return SetLast(ZipErrArgs);
}

ZipResult FindZipArchiveItem(ZipHandle hZip, LPCWSTR pszName, BOOL bIgnoreCase, int* pnIndex, ZipArchiveEntry* pEntry)
{
    ZipResult zr;
    ZipReaderState* pState = ReaderOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    if (!pszName || !pnIndex)
        return SetLast(ZipErrArgs);
    ZipReaderState& s = *pState;
    *pnIndex = -1;
    // The name as either encoding could have stored it.
    char szAnsi[MaxItemName + 1], szUtf8[MaxItemName + 1];
    int nAnsi = 0, nUtf8 = 0;
    size_t nChars = wcslen(pszName);
    if (nChars > 0 && nChars < 256)
    {
        nAnsi = WideCharToMultiByte(CP_ACP, 0, pszName, (int)nChars, szAnsi, MaxItemName, NULL, NULL);
        nUtf8 = WideCharToMultiByte(CP_UTF8, 0, pszName, (int)nChars, szUtf8, MaxItemName, NULL, NULL);
    }
    for (int i = 0; i < (int)s.m_nItems && (nAnsi > 0 || nUtf8 > 0); ++i)
    {
        ZipCentralEntry ce = CentralEntryAt(s, i);
        bool bUtf8 = (ce.m_wFlags & FlagUtf8Name) != 0;
        bool bMatch = bUtf8 ? nUtf8 > 0 && NamesMatch(ce.m_pName, ce.m_nNameLength, szUtf8, nUtf8, bIgnoreCase)
                            : nAnsi > 0 && NamesMatch(ce.m_pName, ce.m_nNameLength, szAnsi, nAnsi, bIgnoreCase);
        if (bMatch)
        {
            *pnIndex = i;
            if (pEntry)
                return GetZipArchiveItem(hZip, i, pEntry);
            return SetLast(ZipOk);
        }
    }
    if (pEntry)
    {
        *pEntry = ZipArchiveEntry();
        pEntry->m_nIndex = -1;
    }
    return SetLast(ZipErrNotFound);
}

ZipResult SetZipReaderStopFlag(ZipHandle hZip, const std::atomic<bool>* pbStop)
{
    ZipResult zr;
    ZipReaderState* pState = ReaderOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    pState->m_pbStop = pbStop;
    return SetLast(ZipOk);
}

ZipResult CloseZipReader(ZipHandle hZip)
{
    ZipResult zr;
    ZipReaderState* pState = ReaderOf(hZip, zr);
    if (!pState)
        return SetLast(zr);
    delete pState;
    delete hZip;
    return SetLast(ZipOk);
}

BOOL IsZipReaderHandle(ZipHandle hZip)
{
    return !hZip || hZip->m_dwKind == ZipHandleReader;
}

unsigned FormatZipReaderResult(ZipResult zr, LPWSTR pszBuffer, unsigned nSize)
{
    return FormatResult(zr == 1 ? g_zrReaderLast : zr, pszBuffer, nSize);
}
