#include "EngineTestSupport.h"
#include "EvidenceTestEnvironment.h"
#include "framework/WinThread.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <shlobj.h>

namespace {

EvidenceTrace FolderTrace(const std::wstring& strFolder, LPCWSTR pszOperand, int nMode, BOOL bKeepFolder = FALSE)
{
    EvidenceTrace trace;
    EXPECT_TRUE(FillEvidenceTrace(trace, NULL, strFolder.c_str(), pszOperand, nMode));
    trace.bKeepFolder = bKeepFolder;
    return trace;
}

// Rows as paths relative to the folder, '/' separated, as find prints them.
std::set<std::string> RelativeRows(const CRecordingSink& sink, const std::wstring& strFolder)
{
    std::set<std::string> rows;
    for (const EvidenceRow& row : sink.m_rows)
    {
        std::wstring strPath = std::wstring(row.strLocation.GetString()) + row.strName.GetString();
        EXPECT_EQ(strPath.compare(0, strFolder.size(), strFolder), 0) << Narrow(strPath);
        std::string strRelative = Narrow(strPath.substr(strFolder.size()));
        std::replace(strRelative.begin(), strRelative.end(), '\\', '/');
        rows.insert(strRelative);
        EXPECT_EQ(row.nKind, EVIDENCE_ROW_FILE);
    }
    return rows;
}

// The host's find over the folder, paths relative to it.
bool FindLines(const std::wstring& strFolder, const std::string& strArguments, std::set<std::string>& lines)
{
    std::string strUnix = UnixPathOf(strFolder);
    std::set<std::string> found;
    if (strUnix.empty() || !HostLines("cd '" + strUnix + "' && find . " + strArguments, found))
        return false;
    lines.clear();
    for (const std::string& strLine : found)
        lines.insert(strLine.compare(0, 2, "./") == 0 ? strLine.substr(2) : strLine);
    return true;
}

// A folder tree with a link leading out of it (planted from the host: Wine
// creates no links itself) and files of several names.
class LinkedTree
{
public:
    LinkedTree()
    {
        m_strRoot = m_scratch.Path() + L"trace\\";
        m_strOutside = m_scratch.Path() + L"outside\\";
        PlantFile(m_strRoot + L"a.txt");
        PlantFile(m_strRoot + L"upper.TXT");
        PlantFile(m_strRoot + L"setupapi.log");
        PlantFile(m_strRoot + L"setupapi.log.bak");
        PlantFile(m_strRoot + L"sub\\b.dat");
        PlantFile(m_strRoot + L"sub\\setupapi.log");
        PlantFile(m_strRoot + L"sub\\deeper\\c.txt");
        ::CreateDirectoryW((m_strRoot + L"empty").c_str(), NULL);
        PlantFile(m_strOutside + L"victim.txt");
        std::string strCommand = "ln -s '" + UnixPathOf(m_strOutside) + "' '" + UnixPathOf(m_strRoot) + "/link'";
        m_bLinked = testsupport::RunHostCommand(strCommand, 30000) == 0 &&
                    (::GetFileAttributesW((m_strRoot + L"link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) &&
                    FileExists(m_strRoot + L"link\\victim.txt");
    }
    ~LinkedTree()
    {
        // The link goes first, so nothing walks through it afterwards.
        ::RemoveDirectoryW((m_strRoot + L"link").c_str());
        testsupport::RunHostCommand("rm -f '" + UnixPathOf(m_scratch.Path()) + "/trace/link'", 30000);
    }
    testsupport::ScratchFolder m_scratch;
    std::wstring m_strRoot, m_strOutside;
    bool m_bLinked = false;
};

} // namespace

// Every-file and extension listings equal the host's find, which follows no
// link either; a name trace looks only at its own folder.
TEST(FolderTrace, ListingsMatchFind)
{
    CTestEvidenceEnvironment environment;
    LinkedTree tree;
    if (!tree.m_bLinked)
        TAMSEL_PEER_MISSING("no host shell to plant a link");

    CRecordingSink every;
    ListEvidenceTrace(NULL, FolderTrace(tree.m_strRoot, L"*.*", EVIDENCE_MODE_EVERY_FILE), every);
    std::set<std::string> expected;
    ASSERT_TRUE(FindLines(tree.m_strRoot, "-type f", expected));
    EXPECT_EQ(expected.size(), 7u);
    EXPECT_EQ(RelativeRows(every, tree.m_strRoot), expected);

    CRecordingSink extension;
    ListEvidenceTrace(NULL, FolderTrace(tree.m_strRoot, L".txt", EVIDENCE_MODE_EXTENSION), extension);
    ASSERT_TRUE(FindLines(tree.m_strRoot, "-type f -name '*.txt'", expected));
    EXPECT_EQ(expected, std::set<std::string>({"a.txt", "sub/deeper/c.txt"}));
    EXPECT_EQ(RelativeRows(extension, tree.m_strRoot), expected);

    CRecordingSink name;
    ListEvidenceTrace(NULL, FolderTrace(tree.m_strRoot, L"setupapi.log", EVIDENCE_MODE_NAME), name);
    ASSERT_TRUE(FindLines(tree.m_strRoot, "-maxdepth 1 -name setupapi.log", expected));
    EXPECT_EQ(expected, std::set<std::string>({"setupapi.log"}));
    EXPECT_EQ(RelativeRows(name, tree.m_strRoot), expected);
}

// The clean deletes what the listing shows, leaves the link and what it
// points at, schedules the locked file for the restart and counts it
// undeleted and scheduled (so the user is told it goes at the next start);
// emptied subfolders go, the folder holding the locked file stays.
TEST(FolderTrace, CleanSparesTheLinkAndCountsTheLockedFile)
{
    CTestEvidenceEnvironment environment;
    LinkedTree tree;
    if (!tree.m_bLinked)
        TAMSEL_PEER_MISSING("no host shell to plant a link");
    const std::wstring strLocked = tree.m_strRoot + L"sub\\b.dat";
    HANDLE hLocked = ::CreateFileW(strLocked.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hLocked, INVALID_HANDLE_VALUE);
    ClearPendingRenames();

    CCountingReport report;
    CleanEvidenceTrace(FolderTrace(tree.m_strRoot, L"*.*", EVIDENCE_MODE_EVERY_FILE), &report);
    std::vector<std::wstring> pending = PendingRenames();
    ::CloseHandle(hLocked);
    ClearPendingRenames();

    EXPECT_EQ(report.m_nDeleted, 6);
    EXPECT_EQ(report.m_nUndeleted, 1);
    EXPECT_EQ(report.m_nScheduled, 1);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_GE(pending[0].size(), 9u);
    EXPECT_EQ(pending[0].substr(pending[0].size() - 9), L"sub\\b.dat");
    EXPECT_TRUE(FileExists(tree.m_strOutside + L"victim.txt"));
    EXPECT_TRUE(FileExists(tree.m_strRoot + L"link\\victim.txt"));
    EXPECT_TRUE(FileExists(strLocked));
    EXPECT_FALSE(FileExists(tree.m_strRoot + L"a.txt"));
    EXPECT_FALSE(FolderExists(tree.m_strRoot + L"sub\\deeper"));
    EXPECT_FALSE(FolderExists(tree.m_strRoot + L"empty"));
    EXPECT_TRUE(FolderExists(tree.m_strRoot + L"sub"));
}

// An extension rule deletes only its files; folders it did not empty stay.
TEST(FolderTrace, ExtensionCleanTakesOnlyItsFiles)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    const std::wstring strRoot = scratch.Path() + L"ie\\";
    PlantFile(strRoot + L"setup.txt");
    PlantFile(strRoot + L"notes.TXT");
    PlantFile(strRoot + L"txt");
    PlantFile(strRoot + L"logs\\old.txt");
    ::CreateDirectoryW((strRoot + L"unrelated").c_str(), NULL);
    CCountingReport report;
    CleanEvidenceTrace(FolderTrace(strRoot, L".txt", EVIDENCE_MODE_EXTENSION), &report);
    EXPECT_EQ(report.m_nDeleted, 2);
    EXPECT_FALSE(FileExists(strRoot + L"setup.txt"));
    EXPECT_TRUE(FileExists(strRoot + L"notes.TXT"));
    EXPECT_TRUE(FileExists(strRoot + L"txt"));
    EXPECT_FALSE(FolderExists(strRoot + L"logs"));
    EXPECT_TRUE(FolderExists(strRoot + L"unrelated"));
}

// A name trace deletes that one file: not its namesakes below, not the
// folder, not its empty subfolders.
TEST(FolderTrace, NameCleanTouchesOneFile)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    const std::wstring strRoot = scratch.Path() + L"win\\";
    PlantFile(strRoot + L"setupapi.log");
    PlantFile(strRoot + L"DirectX.log.old");
    PlantFile(strRoot + L"inf\\setupapi.log");
    ::CreateDirectoryW((strRoot + L"empty").c_str(), NULL);
    CCountingReport report;
    CleanEvidenceTrace(FolderTrace(strRoot, L"setupapi.log", EVIDENCE_MODE_NAME), &report);
    CleanEvidenceTrace(FolderTrace(strRoot, L"DirectX.log", EVIDENCE_MODE_NAME), &report);
    EXPECT_EQ(report.m_nDeleted, 1);
    EXPECT_FALSE(FileExists(strRoot + L"setupapi.log"));
    EXPECT_TRUE(FileExists(strRoot + L"DirectX.log.old"));
    EXPECT_TRUE(FileExists(strRoot + L"inf\\setupapi.log"));
    EXPECT_TRUE(FolderExists(strRoot + L"empty"));
}

// A kept folder (TEMP, a shell folder) stays when emptied; another goes.
TEST(FolderTrace, KeptFolderStaysEmptiedOneGoes)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    for (BOOL bKeep : {TRUE, FALSE})
    {
        const std::wstring strRoot = scratch.Path() + (bKeep ? L"kept\\" : L"gone\\");
        PlantFile(strRoot + L"one.tmp");
        PlantFile(strRoot + L"sub\\two.tmp");
        CCountingReport report;
        CleanEvidenceTrace(FolderTrace(strRoot, L"*.*", EVIDENCE_MODE_EVERY_FILE, bKeep), &report);
        EXPECT_EQ(report.m_nDeleted, 2);
        EXPECT_FALSE(FolderExists(strRoot + L"sub"));
        EXPECT_EQ(FolderExists(strRoot), bKeep == TRUE);
    }
    // TEMP or a shell folder stays even when a trace does not say so.
    environment.m_strTemp = scratch.Path() + L"temp";
    environment.m_shellFolders[CSIDL_FAVORITES] = scratch.Path() + L"fav\\";
    for (LPCWSTR pszFolder : {L"temp\\", L"fav\\"})
    {
        const std::wstring strRoot = scratch.Path() + pszFolder;
        PlantFile(strRoot + L"one.tmp");
        CleanEvidenceTrace(FolderTrace(strRoot, L"*.*", EVIDENCE_MODE_EVERY_FILE), NULL);
        EXPECT_FALSE(FileExists(strRoot + L"one.tmp"));
        EXPECT_TRUE(FolderExists(strRoot)) << Narrow(strRoot);
    }
}

// The trace's own folder being a link: nothing is listed or deleted there.
TEST(FolderTrace, ALinkedTraceFolderIsNotEntered)
{
    CTestEvidenceEnvironment environment;
    LinkedTree tree;
    if (!tree.m_bLinked)
        TAMSEL_PEER_MISSING("no host shell to plant a link");
    EvidenceTrace trace = FolderTrace(tree.m_strRoot + L"link\\", L"*.*", EVIDENCE_MODE_EVERY_FILE);
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceTrace(NULL, trace, sink), 0);
    CCountingReport report;
    CleanEvidenceTrace(trace, &report);
    CleanEvidenceTrace(FolderTrace(tree.m_strRoot + L"link\\", L"victim.txt", EVIDENCE_MODE_NAME), &report);
    EXPECT_EQ(report.m_nDeleted + report.m_nUndeleted, 0);
    EXPECT_TRUE(FileExists(tree.m_strOutside + L"victim.txt"));
}

// A never-deleted trace (the paging file) is listed, then counted undeleted.
TEST(FolderTrace, NeverDeletedTraceCountsUndeleted)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    PlantFile(scratch.File(L"pagefile.sys"));
    EvidenceTrace trace = FolderTrace(scratch.Path(), L"pagefile.sys", EVIDENCE_MODE_NAME);
    trace.bNeverDelete = TRUE;
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceTrace(NULL, trace, sink), 1);
    CCountingReport report;
    CleanEvidenceTrace(trace, &report);
    EXPECT_EQ(report.m_nDeleted, 0);
    EXPECT_EQ(report.m_nUndeleted, 1);
    EXPECT_TRUE(FileExists(scratch.File(L"pagefile.sys")));
}

// Refused folders are neither listed nor cleaned, even when handed in directly.
TEST(FolderTrace, RefusedFoldersAreNotWalked)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    PlantFile(scratch.File(L"keep.txt"));
    environment.m_shellFolders[CSIDL_PERSONAL] = scratch.Path();
    CRecordingSink sink;
    CCountingReport report;
    for (int nMode : {(int)EVIDENCE_MODE_EVERY_FILE, 0, 1})
    {
        EvidenceTrace trace = FolderTrace(scratch.Path(), L"*.*", nMode);
        EXPECT_EQ(ListEvidenceTrace(NULL, trace, sink), 0);
        CleanEvidenceTrace(trace, &report);
    }
    EXPECT_EQ(report.m_nDeleted + report.m_nUndeleted, 0);
    EXPECT_TRUE(FileExists(scratch.File(L"keep.txt")));
}

// The URL history is cleared before the history folder; a failure of it is
// one undeleted entry and the folder is still cleaned.
TEST(FolderTrace, HistoryClearFailureCountsOnce)
{
    CTestEvidenceEnvironment environment;
    environment.m_hrClearHistory = E_NOTIMPL;
    testsupport::ScratchFolder scratch;
    PlantFile(scratch.File(L"History.IE5\\index.dat"));
    EvidenceTrace trace = FolderTrace(scratch.Path(), L"*.*", EVIDENCE_MODE_EVERY_FILE, TRUE);
    trace.bClearUrlHistory = TRUE;
    CCountingReport report;
    CleanEvidenceTrace(trace, &report);
    EXPECT_EQ(environment.m_nHistoryClears, 1);
    EXPECT_EQ(report.m_nUndeleted, 1);
    EXPECT_EQ(report.m_nDeleted, 1);
    environment.m_hrClearHistory = S_OK;
    CleanEvidenceTrace(trace, &report);
    EXPECT_EQ(report.m_nUndeleted, 1);
}

// The machine's URL history: Wine answers E_NOTIMPL, which must come back as
// a failure; COM stays as the thread had it.
TEST(FolderTrace, UrlHistoryClearKeepsTheThreadsCom)
{
    struct Run
    {
        static UINT __cdecl ThreadProc(LPVOID pParam)
        {
            HRESULT* pResults = (HRESULT*)pParam;
            // A thread already in the multi-threaded apartment.
            ::CoInitializeEx(NULL, COINIT_MULTITHREADED);
            CEvidenceEnvironment machine;
            pResults[0] = machine.ClearUrlHistory();
            // Still initialised: a second call answers S_FALSE.
            pResults[1] = ::CoInitializeEx(NULL, COINIT_MULTITHREADED);
            if (SUCCEEDED(pResults[1]))
                ::CoUninitialize();
            ::CoUninitialize();
            // And on a thread without COM: balanced, so COM is off afterwards.
            pResults[2] = machine.ClearUrlHistory();
            pResults[3] = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
            if (SUCCEEDED(pResults[3]))
                ::CoUninitialize();
            return 0;
        }
    };
    HRESULT results[4] = {};
    HANDLE hThread = AfxBeginWorker(Run::ThreadProc, results);
    ASSERT_NE(hThread, (HANDLE)NULL);
    ASSERT_EQ(::WaitForSingleObject(hThread, 60000), (DWORD)WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_EQ(results[1], S_FALSE);
    EXPECT_EQ(results[3], S_OK);
    EXPECT_EQ(results[0], results[2]);
    EXPECT_NE(results[0], (HRESULT)0x12345678);
}
