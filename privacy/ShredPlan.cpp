#include "privacy/ShredPlan.h"
#include <stdlib.h>
#include <string.h>

std::vector<ShredPattern> ShredPassSequence(int nPasses)
{
    switch (nPasses)
    {
    case 1:
        return {SHRED_RANDOM};
    case 3:
        return {SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM};
    case 7:
        return {SHRED_RANDOM, SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM, SHRED_ZEROS, SHRED_ONES, SHRED_RANDOM};
    default:
        return {};
    }
}

ULONGLONG ShredChunkCount(ULONGLONG ullSize)
{
    return ullSize / SHRED_CHUNK + (ullSize % SHRED_CHUNK != 0 ? 1 : 0);
}

CShredPatterns::CShredPatterns()
{
    m_pBuffers[0] = m_pBuffers[1] = m_pBuffers[2] = NULL;
}

CShredPatterns::~CShredPatterns()
{
    Free();
}

void CShredPatterns::Free()
{
    for (BYTE*& pBuffer : m_pBuffers)
    {
        if (pBuffer != NULL)
            ::VirtualFree(pBuffer, 0, MEM_RELEASE);
        pBuffer = NULL;
    }
}

BOOL CShredPatterns::Alloc(int nPasses)
{
    Free();
    int nCount = (nPasses == 3 || nPasses == 7) ? 3 : 1;
    for (int i = 0; i < nCount; i++)
    {
        m_pBuffers[i] = (BYTE*)::VirtualAlloc(NULL, SHRED_CHUNK, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (m_pBuffers[i] == NULL)
        {
            Free();
            return FALSE;
        }
    }
    if (nCount == 3)
    {
        memset(m_pBuffers[SHRED_ZEROS], 0x00, SHRED_CHUNK);
        memset(m_pBuffers[SHRED_ONES], 0x01, SHRED_CHUNK);
    }
    return TRUE;
}

void CShredPatterns::FillRandom(unsigned nSeed)
{
    BYTE* pRandom = m_pBuffers[SHRED_RANDOM];
    if (pRandom == NULL)
        return;
    srand(nSeed);
    for (DWORD i = 0; i < SHRED_CHUNK; i++)
        pRandom[i] = (BYTE)(rand() & 0xFF);
}

const BYTE* CShredPatterns::Get(ShredPattern pattern) const
{
    return (pattern >= SHRED_RANDOM && pattern <= SHRED_ONES) ? m_pBuffers[pattern] : NULL;
}

CShredRun::CShredRun(CShredIo& io, const CShredPatterns& patterns, HANDLE hStop)
    : m_io(io), m_patterns(patterns), m_hStop(hStop), m_ullToWrite(0), m_ullWritten(0), m_nLastPerMille(-1),
      m_nFailed((size_t)-1), m_bFailedOverwritten(FALSE), m_dwFailedError(ERROR_SUCCESS)
{
}

BOOL CShredRun::StopRequested() const
{
    return m_hStop != NULL && ::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0;
}

void CShredRun::Report()
{
    int nPerMille = 0;
    if (m_ullToWrite > 0)
    {
        ULONGLONG ullDone = m_ullWritten < m_ullToWrite ? m_ullWritten : m_ullToWrite;
        nPerMille = (int)((double)ullDone * 1000.0 / (double)m_ullToWrite);
    }
    if (nPerMille != m_nLastPerMille)
    {
        m_nLastPerMille = nPerMille;
        if (m_fnProgress)
            m_fnProgress(nPerMille);
    }
}

ShredPassResult CShredRun::WritePass(LPCWSTR lpszPath, ShredPattern pattern)
{
    const BYTE* pData = m_patterns.Get(pattern);
    if (pData == NULL)
        return SHRED_PASS_FAILED;
    // Seen before the open too: an empty file or a link has no chunk to poll at.
    if (StopRequested())
        return SHRED_PASS_STOPPED;
    std::unique_ptr<CShredFile> file = m_io.Open(lpszPath);
    if (!file)
        return SHRED_PASS_FAILED;
    if (file->IsLink())
        return SHRED_PASS_LINK;
    ULONGLONG ullSize = 0;
    if (!file->GetSize(&ullSize))
        return SHRED_PASS_FAILED;
    DWORD nUnflushed = 0;
    for (ULONGLONG ullDone = 0; ullDone < ullSize;)
    {
        if (StopRequested())
            return SHRED_PASS_STOPPED;
        ULONGLONG ullLeft = ullSize - ullDone;
        DWORD nChunk = ullLeft < SHRED_CHUNK ? (DWORD)ullLeft : SHRED_CHUNK;
        DWORD nWritten = 0;
        if (!file->Write(pData, nChunk, &nWritten) || nWritten != nChunk)
            return SHRED_PASS_FAILED;
        ullDone += nChunk;
        m_ullWritten += nChunk;
        Report();
        if (++nUnflushed >= SHRED_FLUSH_CHUNKS && ullDone < ullSize)
        {
            nUnflushed = 0;
            if (!file->Flush())
                return SHRED_PASS_FAILED;
        }
        ::Sleep(0);
    }
    // Unflushed, the pass may never reach the disk before the delete.
    if (!file->Flush())
        return SHRED_PASS_FAILED;
    return SHRED_PASS_DONE;
}

ShredRunResult CShredRun::Run(const std::vector<ShredItem>& items, int nPasses)
{
    std::vector<ShredPattern> passes = ShredPassSequence(nPasses);
    m_ullWritten = 0;
    m_ullToWrite = 0;
    m_nLastPerMille = -1;
    m_nFailed = (size_t)-1;
    m_bFailedOverwritten = FALSE;
    m_dwFailedError = ERROR_SUCCESS;
    if (passes.empty())
        return SHRED_RUN_FAILED;
    // A list of thousands is opened once over to size the progress: not past a stop.
    for (const ShredItem& item : items)
    {
        if (StopRequested())
        {
            m_nFailed = 0;
            return SHRED_RUN_STOPPED;
        }
        ULONGLONG ullSize = 0;
        if (ProbeShredFile(m_io, item.Path().c_str(), &ullSize))
            m_ullToWrite += ullSize;
    }
    m_ullToWrite *= passes.size();
    Report();

    // What a stop leaves: the files before it are gone; the files after it
    // are untouched. The file it meets inside a pass stays where it is, with
    // its read-only flag and its row: the chunks written so far are
    // overwritten, the rest of it is as it was (deleting it would hide data
    // no pass reached), and a new shred starts it over. Under seven passes
    // a stop after the first whole pass only cuts the repetition short: the
    // file goes, as after its last pass.
    for (size_t nItem = 0; nItem < items.size(); nItem++)
    {
        if (StopRequested())
        {
            m_nFailed = nItem;
            return SHRED_RUN_STOPPED;
        }
        std::wstring strPath = items[nItem].Path();
        // The user chose the file: a read-only flag would keep it from going
        // after its passes. It is put back on a file that stays.
        DWORD dwAttributes = m_io.GetAttributes(strPath.c_str());
        BOOL bWasReadOnly = dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY) &&
                            !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            m_io.SetAttributes(strPath.c_str(), dwAttributes & ~FILE_ATTRIBUTE_READONLY);
        size_t nPass = 0;
        ShredPassResult result = SHRED_PASS_DONE;
        for (; nPass < passes.size(); nPass++)
        {
            result = WritePass(strPath.c_str(), passes[nPass]);
            if (result != SHRED_PASS_DONE)
                break;
        }
        // What the user chose is the link: it goes, what it points to stays.
        if (result == SHRED_PASS_LINK)
            result = SHRED_PASS_DONE;
        if (result != SHRED_PASS_DONE)
        {
            // Seven passes: once the first pass is written and flushed, a later
            // failure or stop only cuts the repetition short.
            bool bCutShort = passes.size() == 7 && nPass >= 1;
            if (!bCutShort)
            {
                m_nFailed = nItem;
                if (bWasReadOnly)
                    m_io.SetAttributes(strPath.c_str(), dwAttributes);
                return result == SHRED_PASS_STOPPED ? SHRED_RUN_STOPPED : SHRED_RUN_FAILED;
            }
        }
        if (!m_io.Delete(strPath.c_str()))
        {
            m_nFailed = nItem;
            m_bFailedOverwritten = TRUE;
            m_dwFailedError = ::GetLastError();
            if (m_dwFailedError == ERROR_SUCCESS)
                m_dwFailedError = ERROR_ACCESS_DENIED;
            if (bWasReadOnly)
                m_io.SetAttributes(strPath.c_str(), dwAttributes);
            return SHRED_RUN_FAILED;
        }
        if (m_fnFileGone)
            m_fnFileGone(nItem);
    }
    return SHRED_RUN_DONE;
}

BOOL ProbeShredFile(CShredIo& io, LPCWSTR lpszPath, ULONGLONG* pullSize, DWORD* pdwError)
{
    *pullSize = 0;
    if (pdwError != NULL)
        *pdwError = ERROR_SUCCESS;
    std::unique_ptr<CShredFile> file = io.Open(lpszPath);
    if (!file)
    {
        DWORD dwError = ::GetLastError();
        // Only its read-only flag keeps it from being written: the shred
        // takes the flag off, so the file is listed with its size.
        DWORD dwAttributes = dwError == ERROR_ACCESS_DENIED ? io.GetAttributes(lpszPath) : INVALID_FILE_ATTRIBUTES;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY) &&
            !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY) && ::GetFileAttributesExW(lpszPath, GetFileExInfoStandard, &data))
        {
            if (!(dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                *pullSize = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
            return TRUE;
        }
        if (pdwError != NULL)
            *pdwError = dwError;
        return FALSE;
    }
    if (file->IsLink())
        return TRUE;
    if (!file->GetSize(pullSize))
    {
        if (pdwError != NULL)
            *pdwError = ::GetLastError();
        return FALSE;
    }
    return TRUE;
}
