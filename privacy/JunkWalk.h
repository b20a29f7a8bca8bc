#pragma once
// The junk walk, the folder and drive choice and the delete of one junk file:
// no windows, so tests drive them with paths.
#include "privacy/JunkMaskRules.h"
#include <functional>
#include <string>
#include <vector>

// One listed file: the name as found (the delete uses it; the list shows it
// lower-cased) and its folder, ending in a backslash.
struct JunkFileRow
{
    std::wstring strName;
    std::wstring strFolder;
};

// Walks folders and hands what matches to the sink in batches. Folders are
// told by the find data's attributes; the current directory is never
// changed and no reparse point (junction, symbolic link) is entered or listed.
class CJunkWalker
{
public:
    typedef std::function<void(std::vector<JunkFileRow>& rows)> RowSink;
    // hStop: a manual-reset event polled during the walk (may be NULL).
    CJunkWalker(const CJunkMatcher& matcher, HANDLE hStop, RowSink sink, size_t nBatch = 256);

    // Walks one folder tree (absolute, with or without a trailing backslash).
    // FALSE when the stop event ended it. Flushes the batch before returning.
    BOOL Walk(const std::wstring& strFolder);
    BOOL IsStopped() const { return m_bStopped; }
    size_t GetFoundCount() const { return m_nFound; }

private:
    BOOL PollStop();
    void Flush();

    const CJunkMatcher& m_matcher;
    HANDLE m_hStop;
    RowSink m_sink;
    size_t m_nBatch;
    std::vector<JunkFileRow> m_batch;
    DWORD m_dwLastFlush;
    unsigned m_nSincePoll;
    size_t m_nFound;
    BOOL m_bStopped;
};

// The roots of "Scan all Disk": the fixed drives ("C:\"), in the order of the
// logical drive list. Replaceable, so tests never walk a host drive.
typedef std::vector<std::wstring> (*JUNK_DRIVE_LIST_FN)();
std::vector<std::wstring> GetJunkScanDrives();
// Returns the function replaced; NULL puts the system's list back.
JUNK_DRIVE_LIST_FN SetJunkDriveListFunction(JUNK_DRIVE_LIST_FN pfn);
std::vector<std::wstring> SystemFixedDrives();

// A typed "Choose Directory" text: an absolute ("C:\x" or "\\server\share")
// existing folder. On success the folder with a trailing backslash.
BOOL NormalizeJunkScanFolder(LPCWSTR lpszText, CString& strFolder);

// Deletes folder + name: a read-only attribute is cleared first and put back
// when the delete fails. TRUE when the file is gone by this delete.
BOOL DeleteJunkFile(const std::wstring& strFolder, const std::wstring& strName);

// A path the file functions accept beyond MAX_PATH ("\\?\" prefix when long).
std::wstring JunkApiPath(const std::wstring& strPath);
