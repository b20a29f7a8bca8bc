#pragma once
// What the scanner's tests share: a sink that records what it is given, keys
// that remove themselves (under HKEY_CLASSES_ROOT, or in one registry view),
// and a scan run without any window.
#include "scanner/ScanContext.h"
#include "scanner/ScanResultSink.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace scantest {

// Records the sink's calls in order.
class CRecordingSink : public CScanResultSink
{
public:
    void ClearResults() override { m_arrCalls.push_back(L"clear"); m_arrRows.clear(); m_arrCategories.clear(); }
    void AddCategoryRows(const CString* pNames, int nCount) override;
    void AddProblemRows(const CScanResultRow* pRows, int nCount) override;
    void SetAfterScan(BOOL bAfterScan) override { m_bAfterScan = bAfterScan; }
    void SetLeaving(BOOL bLeaving) override { m_bLeaving = bLeaving; }

    std::vector<std::wstring> m_arrCalls;
    std::vector<std::wstring> m_arrCategories;
    std::vector<CScanResultRow> m_arrRows;
    int m_nBatches = 0;
    BOOL m_bAfterScan = -1;
    BOOL m_bLeaving = -1;
};

// Hands every queued item to the sink as the scan page does (rows in
// batches); returns the items for the test to look at.
std::vector<CScanFeedItem> Deliver(CScanFeed& feed, CScanResultSink& sink);

// A scan of chosen categories without windows: its own problem lists, the
// language file's descriptions, nothing ignored unless a test adds entries.
struct HeadlessScan
{
    HeadlessScan();
    // Only these categories (numbers) are switched on.
    void Only(std::initializer_list<int> categories);
    void Ignore(const CString& strEntry);
    // Runs on this thread and delivers everything to the sink.
    void Run();
    // Runs on a worker, holds it at the first item shown that starts with
    // strPrefix (any item when empty), stops the scan from this thread and
    // delivers. How long the worker took to end after the stop; INFINITE
    // when it showed no such item or did not end within 5 seconds.
    DWORD StopAtItem(const std::wstring& strPrefix);
    // Rows whose text holds the given text.
    std::vector<CScanResultRow> RowsWith(const std::wstring& strText) const;

    CScanContext scan;
    CArray<CRegProblem> arrProblems[SCAN_CATEGORIES];
    CArray<CRegProblem> arrRepair[SCAN_CATEGORIES];
    CStringArray arrIgnore;
    CRecordingSink sink;
    std::vector<CScanFeedItem> items;
};

// A new "{GUID}" text.
std::wstring NewGuid();
std::wstring LowerCase(const std::wstring& str);

// Keys created under a root (HKEY_CLASSES_ROOT unless told otherwise); all
// removed (with their subtrees) when the object goes, read-only ones made
// writable first. Values set in keys that were there before are removed too.
class ClassesKeys
{
public:
    explicit ClassesKeys(HKEY hRoot = HKEY_CLASSES_ROOT) : m_hRoot(hRoot) {}
    ~ClassesKeys();
    bool SetDword(const std::wstring& strPath, const std::wstring& strName, DWORD dwValue);
    // Creates the key (and its parents); FALSE on failure.
    bool Create(const std::wstring& strPath);
    bool SetString(const std::wstring& strPath, const std::wstring& strName, const std::wstring& strData,
                   DWORD dwType = REG_SZ);
    // Allows everyone to read the key only (and to change that again).
    bool MakeReadOnly(const std::wstring& strPath);

private:
    HKEY m_hRoot;
    std::vector<std::pair<std::wstring, std::wstring>> m_arrValues;
    std::vector<std::wstring> m_arrRoots;
    std::vector<std::wstring> m_arrReadOnly;
};

// Keys planted below a root in one registry view; removed in that view at
// the end, with the ancestors this object had to create.
class ViewKeys
{
public:
    ViewKeys(HKEY hRoot, REGSAM samView) : m_hRoot(hRoot), m_samView(samView) {}
    ~ViewKeys();
    ViewKeys(const ViewKeys&) = delete;
    ViewKeys& operator=(const ViewKeys&) = delete;

    // Creates the key and its missing ancestors.
    bool Create(const std::wstring& strPath);
    bool SetString(const std::wstring& strPath, const std::wstring& strName, const std::wstring& strData,
                   DWORD dwType = REG_SZ);
    bool Exists(const std::wstring& strPath) const;
    // The value's text; "<no key>" or "<no value>" when missing.
    std::wstring Read(const std::wstring& strPath, const std::wstring& strName) const;
    // Also planted by another hand (a restore): removed at the end.
    void Own(const std::wstring& strPath) { m_arrPlanted.push_back(strPath); }

private:
    void Remove(const std::wstring& strPath);

    HKEY m_hRoot;
    REGSAM m_samView;
    std::vector<std::wstring> m_arrPlanted;
};

// A key of the 32-bit view that the prefix links to the 64-bit view's key
// made a key of its own (empty when bCreate, else missing until planted), as
// on Windows versions that keep the views apart there; the link is put back
// afterwards. pszLinkPath is below HKEY_LOCAL_MACHINE in the 64-bit view,
// pszTarget the kernel's name of the key it links to.
class SeparateViewKey
{
public:
    SeparateViewKey(LPCWSTR pszLinkPath, LPCWSTR pszTarget, bool bCreate);
    ~SeparateViewKey();
    SeparateViewKey(const SeparateViewKey&) = delete;
    SeparateViewKey& operator=(const SeparateViewKey&) = delete;
    bool WasLink() const { return m_bWasLink; }
    bool IsSeparate() const { return m_bSeparate; }

private:
    std::wstring m_strLinkPath;
    std::wstring m_strTarget;
    bool m_bWasLink = false;
    bool m_bSeparate = false;
};

// File-system redirection off on the calling thread for the life of the
// object (a 32-bit process on 64-bit Windows; nothing elsewhere).
class RedirectionOff
{
public:
    RedirectionOff();
    ~RedirectionOff();
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

private:
    BOOL m_bOff = FALSE;
    PVOID m_pState = NULL;
};

// Files planted in the machine's own folders (the real program folders of
// both kinds, System32, SysWOW64), with file-system redirection off so that
// a 32-bit test reaches the folder it names; removed, with the folders made
// for them, at the end.
class PlantedFiles
{
public:
    PlantedFiles() = default;
    ~PlantedFiles();
    PlantedFiles(const PlantedFiles&) = delete;
    PlantedFiles& operator=(const PlantedFiles&) = delete;
    // The value of an environment variable ("ProgramW6432", "ProgramFiles(x86)"),
    // without a trailing backslash; empty when unset.
    static std::wstring Folder(const wchar_t* pszVariable);
    static std::wstring SystemFolder();
    static std::wstring Wow64Folder();
    // Writes a small file, making the missing folders on its way.
    bool Add(const std::wstring& strPath);

private:
    std::vector<std::wstring> m_arrFiles;
    std::vector<std::wstring> m_arrFolders;
};

} // namespace scantest
