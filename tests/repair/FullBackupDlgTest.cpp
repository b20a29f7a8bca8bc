// The full backup progress dialog: only its worker ends it, and a WM_QUIT that
// arrives meanwhile stops the work and reaches the outer loop.
#include "tests/repair/FullBackupTestSupport.h"
#include "repair/FullBackupDlg.h"
#include "repair/FullBackupPage.h"
#include "services/ZipWriter.h"

#include <atomic>
#include <shlwapi.h>

using namespace backuptest;

namespace {

HWND FindProgressDialog()
{
    HWND hWnd = NULL;
    while ((hWnd = ::FindWindowExW(NULL, hWnd, L"#32770", L"Tamsel")) != NULL)
    {
        DWORD dwProcess = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcess);
        if (dwProcess == ::GetCurrentProcessId())
            return hWnd;
    }
    return NULL;
}

// Waits, bounded by what only a hang exceeds, for the job's stop flag.
bool WaitForStop(const CFullBackupJob& job)
{
    for (int i = 0; i < 600 && !job.IsStopped(); i++)
        ::Sleep(50);
    return job.IsStopped() != FALSE;
}

// A page whose backups export the planted key only.
class CScratchFullBackupPage : public CFullBackupPage
{
public:
    std::wstring m_strKeyText;
    bool m_bFailWrites = false;
    std::function<void(CFullBackupJob&)> m_fnDuringExport;
protected:
    CFullBackupJob* CreateJob() override
    {
        CScratchFullBackupJob* pJob = new CScratchFullBackupJob(m_strKeyText);
        pJob->m_bFailWrites = m_bFailWrites;
        if (m_fnDuringExport)
            pJob->m_fnDuringExport = [this, pJob] { m_fnDuringExport(*pJob); };
        return pJob;
    }
};

} // namespace

TEST_F(FullBackupTest, EnterEscapeAndCloseDoNotEndTheDialogItsWorkerDoes)
{
    std::atomic<bool> bStillOpen(false), bFound(false);
    CFullBackupDlg dlg;
    dlg.m_nMode = 0;
    CScratchFullBackupJob* pJob = new CScratchFullBackupJob(m_strKeyText);
    pJob->m_fnDuringExport = [&] {
        HWND hDlg = FindProgressDialog();
        bFound = hDlg != NULL;
        ::PostMessageW(hDlg, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(hDlg, WM_KEYUP, VK_RETURN, 0);
        ::PostMessageW(hDlg, WM_KEYDOWN, VK_ESCAPE, 0);
        ::PostMessageW(hDlg, WM_KEYUP, VK_ESCAPE, 0);
        ::PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        ::PostMessageW(hDlg, WM_CLOSE, 0, 0);
        ::PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
        ::Sleep(800);
        bStillOpen = ::IsWindow(hDlg) && ::IsWindowVisible(hDlg);
    };
    dlg.m_pJob.reset(pJob);
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(bFound);
    EXPECT_TRUE(bStillOpen);
    EXPECT_TRUE(dlg.m_bSucceeded);
    EXPECT_TRUE(::PathFileExistsW(pJob->m_strArchive));
}

// Closing the program quits the loop: the work is told to stop, DoModal
// comes back only after the worker, and the quit stays queued.
TEST_F(FullBackupTest, QuitDuringTheWorkStopsItWaitsForTheWorkerAndStaysQueued)
{
    DWORD dwThread = ::GetCurrentThreadId();
    std::atomic<bool> bDone(false), bSawStop(false);
    CFullBackupDlg dlg;
    dlg.m_nMode = 0;
    CScratchFullBackupJob* pJob = new CScratchFullBackupJob(m_strKeyText);
    pJob->m_fnDuringExport = [&] {
        ::PostThreadMessageW(dwThread, WM_QUIT, 7, 0);
        bSawStop = WaitForStop(*pJob);
        bDone = true;
    };
    dlg.m_pJob.reset(pJob);
    dlg.DoModal();
    // The worker had ended before DoModal came back.
    EXPECT_TRUE(bDone);
    EXPECT_TRUE(bSawStop);
    EXPECT_TRUE(dlg.m_bStopped);
    EXPECT_FALSE(dlg.m_bSucceeded);
    EXPECT_TRUE(pJob->m_bStopped);
    // The export began, was stopped, and its file went again.
    EXPECT_FALSE(pJob->m_strRegFile.IsEmpty());
    EXPECT_FALSE(::PathFileExistsW(pJob->m_strRegFile));
    EXPECT_FALSE(::PathFileExistsW(pJob->m_strArchive));
    EXPECT_TRUE(FolderEntries(m_strFolder).empty());
    // The dialog's flag went with it: the job may serve another.
    EXPECT_FALSE(pJob->IsStopped());
    MSG msg = {};
    ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);

    // The same job in a new dialog runs to its end.
    CFullBackupDlg second;
    second.m_nMode = 0;
    pJob->m_fnDuringExport = nullptr;
    second.m_pJob = std::move(dlg.m_pJob);
    EXPECT_EQ(IDOK, second.DoModal());
    EXPECT_FALSE(second.m_bStopped);
    EXPECT_TRUE(second.m_bSucceeded);
    EXPECT_TRUE(::PathFileExistsW(pJob->m_strArchive));
}

// A backup stopped by closing the program tells nothing and adds no row.
TEST_F(FullBackupTest, PageStoppedByClosingSaysNothing)
{
    CScratchFullBackupPage page;
    page.m_strKeyText = m_strKeyText;
    DWORD dwThread = ::GetCurrentThreadId();
    std::atomic<bool> bSawStop(false);
    page.m_fnDuringExport = [&](CFullBackupJob& job) {
        ::PostThreadMessageW(dwThread, WM_QUIT, 0, 0);
        bSawStop = WaitForStop(job);
    };
    CreatePage(page);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1001);
    MSG msg = {};
    EXPECT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(bSawStop);
    EXPECT_EQ(1u, m_boxes.Count()) << "the question only";
    EXPECT_EQ(0, page.m_list.GetItemCount());
    EXPECT_TRUE(FolderEntries(m_strFolder).empty());
}

TEST_F(FullBackupTest, PageBacksUpRestoresAndReportsFailures)
{
    CScratchFullBackupPage page;
    page.m_strKeyText = m_strKeyText;
    CreatePage(page);
    EXPECT_EQ(0, page.m_list.GetItemCount());
    // The header pictures name the columns: no second header under them.
    HWND hHeader = (HWND)page.m_list.SendMessage(LVM_GETHEADER);
    LONG lHeaderStyle = hHeader != NULL ? ::GetWindowLongW(hHeader, GWL_STYLE) : 0;
    EXPECT_TRUE(hHeader == NULL || (lHeaderStyle & HDS_HIDDEN) || !(lHeaderStyle & WS_VISIBLE));

    // Restore and Remove without a selection say to select a backup first;
    // a declined backup does nothing.
    Click(page, 1002);
    Click(page, 1003);
    ASSERT_EQ(2u, m_boxes.Count());
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SELECT_BACKUP")), m_boxes.Boxes()[0].strText);
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SELECT_BACKUP")), m_boxes.LastText());
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1001);
    EXPECT_EQ(0, page.m_list.GetItemCount());

    m_boxes.QueueAnswer(IDYES);
    Click(page, 1001);
    ASSERT_EQ(1, page.m_list.GetItemCount());
    EXPECT_EQ(4u, m_boxes.Count());  // the question only

    // A failing backup adds no row, says so and keeps the .reg.
    page.m_bFailWrites = true;
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1001);
    EXPECT_EQ(1, page.m_list.GetItemCount());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"failed")) << Narrow(m_boxes.LastText());
    page.m_bFailWrites = false;

    std::string before = ExportKeyText(m_strKeyText);
    ChangeKey();
    page.SendMessage(WM_SHOWWINDOW, TRUE, 0);
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_EQ(before, ExportKeyText(m_strKeyText));
    EXPECT_FALSE(m_app.m_strFullBackupFile.IsEmpty());

    // A refused archive: nothing imported, no "Restore OK!".
    std::string archive = testsupport::ReadFileBytes(m_app.m_strFullBackupFile.GetString());
    ASSERT_TRUE(testsupport::WriteFileBytes(m_app.m_strFullBackupFile.GetString(), archive.substr(0, archive.size() / 2)));
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    EXPECT_NE(L"Restore OK!", m_boxes.LastText());
}

// The restore question comes after the backup was read and checked and names
// the keys it writes; No leaves the registry as it was, a refused archive is
// told without a question.
TEST_F(FullBackupTest, RestoreQuestionNamesTheKeysAndNoImportsNothing)
{
    CScratchFullBackupPage page;
    page.m_strKeyText = m_strKeyText;
    CreatePage(page);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1001);
    ASSERT_EQ(1, page.m_list.GetItemCount());

    ChangeKey();
    std::string changed = ExportKeyText(m_strKeyText);
    SelectRow(page.m_list, 0);
    size_t nBefore = m_boxes.Count();
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1002);
    ASSERT_EQ(nBefore + 1, m_boxes.Count());
    std::wstring strQuestion = m_boxes.LastText();
    EXPECT_EQ(0u, strQuestion.find(L"Would you like to restore the registry now?")) << Narrow(strQuestion);
    EXPECT_NE(std::wstring::npos, strQuestion.find(m_strKeyNamed)) << Narrow(strQuestion);
    EXPECT_EQ(changed, ExportKeyText(m_strKeyText));
    EXPECT_EQ(1u, FolderEntries(m_strFolder).size()) << "no work folder stays";

    // A line a full backup never holds: said by line and file, nothing asked.
    std::wstring strArchive = m_app.m_strFullBackupFile.GetString();
    std::wstring strEntry = strArchive.substr(strArchive.rfind(L'\\') + 1);
    strEntry = strEntry.substr(0, strEntry.size() - 4) + L".reg";
    std::wstring strText = L"Windows Registry Editor Version 5.00\r\n\r\n[" + m_strKeyText +
                           L"]\r\n\r\n[HKEY_CLASSES_ROOT\\exefile\\shell\\open\\command]\r\n@=\"C:\\\\evil.exe\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    ASSERT_NE((ZipHandle)NULL, hZip);
    AddToZipArchive(hZip, strEntry.c_str(), bytes.data(), (DWORD)bytes.size(), ZipKindMemory);
    ASSERT_EQ(ZipOk, CloseZipWriter(hZip));
    SelectRow(page.m_list, 0);
    nBefore = m_boxes.Count();
    m_boxes.QueueAnswer(IDOK);
    Click(page, 1002);
    ASSERT_EQ(nBefore + 1, m_boxes.Count());
    std::wstring strRefusal = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strRefusal.find(L"Line 5 of " + strEntry + L" cannot be restored.")) << Narrow(strRefusal);
    EXPECT_NE(std::wstring::npos, strRefusal.find(L"exefile")) << Narrow(strRefusal);
    EXPECT_EQ(std::wstring::npos, strRefusal.find(L"is not a full backup")) << Narrow(strRefusal);
    EXPECT_EQ(changed, ExportKeyText(m_strKeyText));
}
