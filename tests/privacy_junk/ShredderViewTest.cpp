// The shredder view driven as a user would: adding files and folders,
// the methods, Shred and Stop, and what a failure leaves in the list.
#include "privacy/FileShredderDlg.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/JunkBrowse.h"
#include "privacy/PrivacyState.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include "tests/support/PictureContrast.h"
#include <algorithm>
#include <objbase.h>
#include <shlobj.h>

using junktest::Exists;
using junktest::Plant;
using namespace privtest;

namespace {

CString g_strFolderAnswer;
BOOL FakeBrowse(HWND, LPCWSTR, CString& strFolder)
{
    strFolder = g_strFolderAnswer;
    return TRUE;
}

std::vector<std::wstring> g_fileAnswer;
BOOL FakeOpen(HWND, std::vector<std::wstring>& paths)
{
    paths = g_fileAnswer;
    return TRUE;
}

class ShredderViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrivacySetLanguageFile(EnglishLanguageFile().c_str());
        ASSERT_TRUE(m_view.CreateView(m_host.m_hWnd, 0, 0));
        m_view.ShowWindow(SW_SHOW);
        SetPrivacyBrowseFolderFunction(FakeBrowse);
        SetPrivacyOpenFilesFunction(FakeOpen);
        Pump(30);
    }
    void TearDown() override
    {
        m_view.StopAndWait(10000);
        SetPrivacyBrowseFolderFunction(NULL);
        SetPrivacyOpenFilesFunction(NULL);
    }
    bool WaitShredEnd() { return testsupport::WaitFor([&] { return !m_view.IsShredding(); }, 60000); }
    CString Cell(int nRow, int nColumn) { return m_view.GetList().GetItemText(nRow, nColumn); }

    HostWindow m_host;
    CFileShredderDlg m_view;
    testsupport::MessageBoxRecorder m_boxes;
};

bool MakeShortcut(const std::wstring& strLink, const std::wstring& strTarget)
{
    IShellLinkW* pLink = NULL;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink)))
        return false;
    IPersistFile* pFile = NULL;
    bool bSaved = SUCCEEDED(pLink->SetPath(strTarget.c_str())) &&
                  SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, (void**)&pFile)) &&
                  SUCCEEDED(pFile->Save(strLink.c_str(), TRUE));
    if (pFile != NULL)
        pFile->Release();
    pLink->Release();
    return bSaved;
}

BOOL CALLBACK FindOpenDialogProc(HWND hWnd, LPARAM lParam)
{
    wchar_t szClass[16] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") == 0 && ::IsWindowVisible(hWnd) && (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) == 0 &&
        (::GetDlgItem(hWnd, 0x47c) != NULL || ::GetDlgItem(hWnd, 0x480) != NULL))
    {
        *(HWND*)lParam = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The open dialog of this thread, once it shows.
HWND FindOpenDialog()
{
    HWND hFound = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOpenDialogProc, (LPARAM)&hFound);
    return hFound;
}

BOOL CALLBACK CancelDialogProc(HWND hWnd, LPARAM)
{
    wchar_t szClass[16] = L"";
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32770") == 0 && ::IsWindowVisible(hWnd))
        ::PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

} // namespace

// A shortcut chosen in the real open dialog is listed itself, not the
// document it points to.
TEST_F(ShredderViewTest, AddFileListsAChosenShortcutItself)
{
    testsupport::ScratchFolder scratch;
    ASSERT_TRUE(Plant(scratch.File(L"report.doc"), std::string(300, 'r')));
    ::CoInitialize(NULL);
    bool bMade = MakeShortcut(scratch.File(L"report.lnk"), scratch.File(L"report.doc"));
    ::CoUninitialize();
    ASSERT_TRUE(bMade);
    SetPrivacyOpenFilesFunction(NULL);
    bool bTyped = false;
    int nTries = 0;
    ModalScript script({[&] {
        HWND hDlg = FindOpenDialog();
        if (hDlg == NULL)
        {
            // Never found: whatever top-level window the dialog is, it is cancelled.
            if (++nTries < 50)
                return false;
            ::EnumThreadWindows(::GetCurrentThreadId(), CancelDialogProc, 0);
            return true;
        }
        HWND hName = ::GetDlgItem(hDlg, 0x47c) != NULL ? ::GetDlgItem(hDlg, 0x47c) : ::GetDlgItem(hDlg, 0x480);
        ::SetWindowTextW(hName, scratch.File(L"report.lnk").c_str());
        ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
        bTyped = true;
        return true;
    }}, 200);
    m_view.AddFiles();
    EXPECT_TRUE(bTyped);
    ASSERT_EQ(m_view.GetRowCount(), 1);
    EXPECT_EQ(m_view.GetItem(0).Path(), scratch.File(L"report.lnk"));
}

TEST_F(ShredderViewTest, AddingListsEachWritableFileOnceWithItsWholeSize)
{
    testsupport::ScratchFolder scratch;
    ASSERT_TRUE(Plant(scratch.File(L"a.doc"), std::string(1234, 'a')));
    ASSERT_TRUE(Plant(scratch.File(L"held.doc")));
    std::wstring strBig = scratch.File(L"big.vhd");
    {
        HANDLE h = ::CreateFileW(strBig.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER li;
        li.QuadPart = 0x100001000ll;
        BOOL bOk = ::SetFilePointerEx(h, li, NULL, FILE_BEGIN) && ::SetEndOfFile(h);
        ::CloseHandle(h);
        ASSERT_TRUE(bOk);
    }
    // Read by someone who shares no writing: it cannot be shredded, so not listed.
    HANDLE hReader = ::CreateFileW(scratch.File(L"held.doc").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hReader, INVALID_HANDLE_VALUE);
    g_fileAnswer = {scratch.File(L"a.doc"), scratch.File(L"held.doc"), strBig, scratch.File(L"a.doc")};
    m_view.AddFiles();
    ::CloseHandle(hReader);
    ASSERT_EQ(m_view.GetRowCount(), 2);
    // The user is told which file stayed out, and why; a file listed twice is no fault.
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.LastText(), L"These files were not added to the list:\n" + scratch.File(L"held.doc") +
                                      L": another program has it open and does not share it");
    EXPECT_EQ(Cell(0, 0), CString(L"a.doc"));
    EXPECT_EQ(std::wstring(Cell(0, 1)), scratch.Path());
    EXPECT_EQ(Cell(0, 2), CString(L"1234"));
    EXPECT_EQ(Cell(1, 2), CString(L"4294971392")) << "the whole 64-bit size";
    EXPECT_FALSE(m_view.AddShredFile(scratch.File(L"A.DOC"))) << "the same file in another case";

    // Add File appends; Add Directory replaces, entering no link.
    std::wstring strTop = scratch.File(L"top"), strOut = scratch.File(L"out");
    ASSERT_TRUE(Plant(strTop + L"\\x.txt"));
    ASSERT_TRUE(Plant(strTop + L"\\sub\\y.txt"));
    ASSERT_TRUE(Plant(strOut + L"\\precious.txt"));
    junktest::CHostLink link(strOut, strTop + L"\\sub\\linked");
    ASSERT_TRUE(link.IsMade());
    // Held open by another program that shares no writing: left out, and told.
    ASSERT_TRUE(Plant(strTop + L"\\z_held.txt"));
    HANDLE hHeld = ::CreateFileW((strTop + L"\\z_held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    g_strFolderAnswer = strTop.c_str();
    m_view.AddDirectory();
    EXPECT_EQ(m_view.GetRowCount(), 0) << "emptied at once";
    EXPECT_EQ(PrivacyIsBusy(), 1) << "the folder is collected on the worker";
    ASSERT_TRUE(WaitShredEnd());
    ::CloseHandle(hHeld);
    EXPECT_EQ(PrivacyIsBusy(), 0);
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.LastText(), L"These files were not added to the list:\n" + strTop +
                                      L"\\z_held.txt: another program has it open and does not share it");
    ASSERT_EQ(m_view.GetRowCount(), 2);
    EXPECT_EQ(m_view.GetItem(0).Path(), strTop + L"\\x.txt");
    EXPECT_EQ(m_view.GetItem(1).Path(), strTop + L"\\sub\\y.txt");
    if (ScreenshotsWanted())
        Shoot(m_host.m_hWnd, "shredder_list");

    m_view.GetList().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_view.RemoveSelectedRows();
    ASSERT_EQ(m_view.GetRowCount(), 1);
    EXPECT_EQ(m_view.GetItem(0).strName, L"y.txt");
    m_view.ClearFileList();
    EXPECT_EQ(m_view.GetRowCount(), 0);
    EXPECT_TRUE(Exists(strTop + L"\\x.txt")) << "removing rows touches no file";
}

TEST_F(ShredderViewTest, AFailedDeleteEndsTheShredWithAMessageAndKeepsItsRow)
{
    testsupport::ScratchFolder scratch;
    for (LPCWSTR lpszName : {L"1.doc", L"2.doc", L"3.doc"})
        ASSERT_TRUE(Plant(scratch.File(lpszName), std::string(100000, 'd')));
    g_fileAnswer = {scratch.File(L"1.doc"), scratch.File(L"2.doc"), scratch.File(L"3.doc")};
    m_view.AddFiles();
    ASSERT_EQ(m_view.GetRowCount(), 3);
    // Writable by its holder, who shares no deleting: the passes run, the delete fails.
    HANDLE hHolder = ::CreateFileW(scratch.File(L"2.doc").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHolder, INVALID_HANDLE_VALUE);
    m_view.ChooseMethod(CFileShredderDlg::IDC_SAFE);
    EXPECT_EQ(m_view.GetPassCount(), 3);
    m_view.OnShredButton();
    EXPECT_EQ(PrivacyIsBusy(), 1) << "busy before the thread runs";
    EXPECT_TRUE(m_view.IsShredding());
    m_view.ClearFileList();
    EXPECT_EQ(m_view.GetRowCount(), 3) << "the running shred's rows stay";
    EXPECT_FALSE(m_view.GetButton(CFileShredderDlg::IDC_ADD_FILE).IsButtonEnabled());
    ASSERT_TRUE(WaitShredEnd());
    ::CloseHandle(hHolder);
    EXPECT_EQ(PrivacyIsBusy(), 0);
    EXPECT_FALSE(Exists(scratch.File(L"1.doc")));
    EXPECT_TRUE(Exists(scratch.File(L"2.doc")));
    EXPECT_EQ(testsupport::ReadFileBytes(scratch.File(L"3.doc")), std::string(100000, 'd')) << "not reached";
    ASSERT_EQ(m_view.GetRowCount(), 2);
    EXPECT_EQ(m_view.GetItem(0).strName, L"2.doc");
    EXPECT_EQ(m_view.GetItem(1).strName, L"3.doc");
    ASSERT_EQ(m_boxes.Count(), 1u);
    // Its data is gone but the file is not: said as it is, naming it and why.
    EXPECT_NE(m_boxes.LastText().find(L"overwritten, but it could not be removed"), std::wstring::npos)
        << junktest::Narrow(m_boxes.LastText());
    EXPECT_NE(m_boxes.LastText().find(scratch.File(L"2.doc") + L": another program has it open"), std::wstring::npos)
        << junktest::Narrow(m_boxes.LastText());
    EXPECT_TRUE(m_view.GetButton(CFileShredderDlg::IDC_ADD_FILE).IsButtonEnabled());

    // The rest go on the next press, Thorough this time.
    m_view.ChooseMethod(CFileShredderDlg::IDC_THOROUGH);
    m_view.OnShredButton();
    ASSERT_TRUE(WaitShredEnd());
    EXPECT_EQ(m_view.GetRowCount(), 0);
    EXPECT_FALSE(Exists(scratch.File(L"2.doc")));
    EXPECT_FALSE(Exists(scratch.File(L"3.doc")));
    EXPECT_EQ(m_boxes.Count(), 1u);
}

// A read-only file the user adds is listed with its size and shredded
// without a word; a file only read by someone else is the look-alike that
// stays out of the list.
TEST_F(ShredderViewTest, AReadOnlyFileIsListedAndShredded)
{
    testsupport::ScratchFolder scratch;
    ASSERT_TRUE(Plant(scratch.File(L"ro.doc"), std::string(4321, 'o')));
    ASSERT_TRUE(::SetFileAttributesW(scratch.File(L"ro.doc").c_str(), FILE_ATTRIBUTE_READONLY));
    g_fileAnswer = {scratch.File(L"ro.doc")};
    m_view.AddFiles();
    ASSERT_EQ(m_view.GetRowCount(), 1);
    EXPECT_EQ(Cell(0, 2), CString(L"4321"));
    EXPECT_EQ(m_boxes.Count(), 0u);
    m_view.OnShredButton();
    ASSERT_TRUE(WaitShredEnd());
    EXPECT_FALSE(Exists(scratch.File(L"ro.doc")));
    EXPECT_EQ(m_view.GetRowCount(), 0);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ShredderViewTest, StopUnderQuickLeavesEveryRow)
{
    testsupport::ScratchFolder scratch;
    std::string strUnix = junktest::UnixPathOf(scratch.Path());
    ASSERT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && head -c 67108864 /dev/zero > big.bin && echo x > small.txt", 60000), 0);
    g_fileAnswer = {scratch.File(L"big.bin"), scratch.File(L"small.txt")};
    m_view.AddFiles();
    ASSERT_EQ(m_view.GetRowCount(), 2);
    m_view.OnShredButton();
    m_view.OnShredButton();  // the same button stops
    ASSERT_TRUE(WaitShredEnd());
    EXPECT_EQ(m_view.GetRowCount(), 2);
    EXPECT_TRUE(Exists(scratch.File(L"big.bin")));
    EXPECT_TRUE(Exists(scratch.File(L"small.txt")));
    EXPECT_EQ(m_boxes.Count(), 0u) << "a stop is no failure";
    EXPECT_EQ(m_view.GetProgress().GetPos(), 0);
}

TEST_F(ShredderViewTest, SwitchLanguageRelabelsBothViews)
{
    testsupport::ScratchFolder folder;
    std::wstring strGerman = folder.File(L"German.ini");
    ASSERT_TRUE(::CopyFileW(EnglishLanguageFile().c_str(), strGerman.c_str(), FALSE));
    ::WritePrivateProfileStringW(L"String", L"IDC_BTN_SHRED_SHRED", L"Vernichten", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_LIST_SHRED_COLUMN_3", L"Bytes", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_BTN_JUNK_RES_DELALL", L"Alle weg", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_TAB_JUNK_RES", L"Ergebnis", strGerman.c_str());
    CJunkCleanerDlg junk;
    ASSERT_TRUE(junk.CreateView(m_host.m_hWnd, 0, 0));
    PrivacySetLanguageFile(strGerman.c_str());
    m_view.SwitchLanguage();
    junk.SwitchLanguage();
    CString strText;
    m_view.GetButton(CFileShredderDlg::IDC_SHRED).GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Vernichten"));
    wchar_t szHeader[64] = {0};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = szHeader;
    column.cchTextMax = 64;
    ASSERT_TRUE(m_view.GetList().GetColumn(2, &column));
    EXPECT_STREQ(szHeader, L"Bytes");
    junk.GetResults().GetButton(CJunkResultDlg::IDC_DELETE_ALL).GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Alle weg"));
    EXPECT_EQ(junk.GetTabStrip().GetTabTooltip(1), CString(L"Ergebnis"));
    PrivacySetLanguageFile(EnglishLanguageFile().c_str());
}

// Each file with its own reason; a long list names the first fifteen and counts the rest.
TEST(ShredRejects, EachFileWithItsReasonAndTheRestCounted)
{
    PrivacySetLanguageFile(EnglishLanguageFile().c_str());
    std::vector<ShredReject> rejects = {{L"C:\\a\\ro.doc", ERROR_ACCESS_DENIED}, {L"C:\\a\\held.doc", ERROR_LOCK_VIOLATION}};
    EXPECT_EQ(std::wstring(FormatShredRejects(rejects)),
              L"These files were not added to the list:\n"
              L"C:\\a\\ro.doc: it cannot be opened for writing (read-only, or no permission)\n"
              L"C:\\a\\held.doc: another program has it open and does not share it");
    rejects.assign(17, ShredReject{L"C:\\a\\x.doc", ERROR_SHARING_VIOLATION});
    std::wstring strText = FormatShredRejects(rejects).Str();
    EXPECT_EQ(std::count(strText.begin(), strText.end(), L'\n'), 16);
    EXPECT_EQ(strText.substr(strText.rfind(L'\n') + 1), L"... and 2 more.");
    PrivacySetLanguageFile(L"");
}

// What the view shows: the method labels on the page's white (not on bands
// of whatever was there before), and the list buttons' texts inside their
// picture with room to its rounded border (bold Verdana 12, as they draw).
TEST_F(ShredderViewTest, LabelsOnWhiteAndButtonTextsInsideTheirBorder)
{
    for (UINT nID : {4001u, 4002u, 4003u})
    {
        CMyStaticCtrl* pLabel = dynamic_cast<CMyStaticCtrl*>(CWnd::FromHandlePermanent(::GetDlgItem(m_view.m_hWnd, (int)nID)));
        ASSERT_TRUE(pLabel != NULL) << nID;
        EXPECT_EQ(pLabel->GetBackColor(), RGB(255, 255, 255)) << nID;
    }
    HFONT hFont = ::CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    HDC hDC = ::GetDC(m_view.m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    for (int nID : {CFileShredderDlg::IDC_ADD_FILE, CFileShredderDlg::IDC_ADD_DIR, CFileShredderDlg::IDC_DEL_FILE,
                    CFileShredderDlg::IDC_DEL_ALL})
    {
        CNButtonEx& button = m_view.GetButton(nID);
        CString strText;
        button.GetWindowText(strText);
        CRect rc;
        button.GetClientRect(&rc);
        SIZE size = {};
        ::GetTextExtentPoint32W(hDC, strText, strText.GetLength(), &size);
        EXPECT_LE(size.cx + 2 * 6, rc.Width()) << nID << ": " << size.cx << " px of text";
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_view.m_hWnd, hDC);
    ::DeleteObject(hFont);
}

// Shred File draws its white text across the middle of its pictures: the
// face behind that line is dark enough for white in every state.
TEST(ShredderPictures, ShredFileTextReadsOnTheFaceBehindIt)
{
    // 93 x 57: one centred line of bold text.
    const RECT rcLine = { 10, 57 / 2 - 7, 93 - 10, 57 / 2 + 7 };
    for (UINT nID : { 270u, 271u, 272u })
        EXPECT_GE(testsupport::WorstWhiteContrast(nID, rcLine), 3.0) << nID;
}
