// The favorites backup page: the first start (and the first copy that
// fails, with or without an earlier backup), a backup that fails half-way,
// a favorites folder that cannot be found, opening nested favorites, copies
// of many favorites that leave the window answering, copies stopped
// half-way, and favorites nested deeper than a path reaches.
#include "tests/repair/BackupTestSupport.h"
#include "tests/repair/FavoritesTreeSnapshot.h"
#include "repair/FavoritesBackupPage.h"
#include "tests/support/HostLink.h"
#include "tests/support/HostPath.h"
#include "tests/support/ResponsiveWatch.h"

#include <shlwapi.h>

using namespace backuptest;

namespace {

class CWatchedFavoritesPage : public CFavoritesBackupPage
{
public:
    std::vector<std::wstring> m_opened;
protected:
    void OpenFavorite(const CString& strPath) override { m_opened.push_back(strPath.GetString()); }
};

class FavoritesTest : public BackupPageTest
{
protected:
    void SetUp() override
    {
        BackupPageTest::SetUp();
        m_strFavorites = AppDir() + L"Profile Favorites\\";
        ASSERT_TRUE(::CreateDirectoryW(m_strFavorites.c_str(), NULL));
        ASSERT_TRUE(::CreateDirectoryW((m_strFavorites + L"Sub").c_str(), NULL));
        ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"a.url", "[InternetShortcut]\r\nURL=http://a/\r\n"));
        ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"desktop.ini", "[.ShellClassInfo]\r\n"));
        ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"Sub\\b.url", "[InternetShortcut]\r\nURL=http://b/\r\n"));
        ASSERT_TRUE(::CreateDirectoryW((AppDir() + L"Utilities").c_str(), NULL));
        m_strBackup = AppDir() + L"Utilities\\Favorites\\";
        // The user's own key stays untouched: HKEY_CURRENT_USER is the scratch key.
        ASSERT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_CURRENT_USER, m_key.Key()));
        SetFavoritesValue(m_strFavorites.c_str());
    }
    void TearDown() override
    {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
        BackupPageTest::TearDown();
    }
    // A favorite that another program holds open without sharing; the
    // caller closes the handle.
    HANDLE PlantLockedFavorite()
    {
        std::wstring strFile = m_strFavorites + L"locked.url";
        if (!testsupport::WriteFileBytes(strFile, "locked"))
            return INVALID_HANDLE_VALUE;
        return ::CreateFileW(strFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    }
    void SetFavoritesValue(const wchar_t* pszFolder)
    {
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER,
                                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                                   0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
        if (pszFolder != NULL)
            ::RegSetValueExW(hKey, L"Favorites", 0, REG_SZ, (const BYTE*)pszFolder, (DWORD)(wcslen(pszFolder) + 1) * 2);
        else
            ::RegDeleteValueW(hKey, L"Favorites");
        ::RegCloseKey(hKey);
    }
    // The tree's texts, depth first, children indented by one space per level.
    static std::wstring TreeText(CTreeCtrl& tree, HTREEITEM hParent = TVI_ROOT, int nDepth = 0)
    {
        std::wstring text;
        for (HTREEITEM h = tree.GetChildItem(hParent); h != NULL; h = tree.GetNextSiblingItem(h))
            text += std::wstring(nDepth, L' ') + tree.GetItemText(h).GetString() + L"\n" + TreeText(tree, h, nDepth + 1);
        return text;
    }
    static HTREEITEM FindItem(CTreeCtrl& tree, HTREEITEM hParent, const wchar_t* pszText)
    {
        for (HTREEITEM h = tree.GetChildItem(hParent); h != NULL; h = tree.GetNextSiblingItem(h))
        {
            if (tree.GetItemText(h) == pszText)
                return h;
        }
        return NULL;
    }
    // Dispatches messages until the page's copy has ended and its answer is in.
    static void WaitForCopy(CFavoritesBackupPage& page)
    {
        EXPECT_TRUE(testsupport::PumpUntil([&page]() { return !page.IsBusy(); }, 120000));
    }
    template <class TPage> void OpenPage(TPage& page)
    {
        CreatePage(page);
        WaitForCopy(page);
    }
    void ClickAndWait(CFavoritesBackupPage& page, UINT nID)
    {
        Click(page, nID);
        WaitForCopy(page);
    }
    // nCount favorites in a folder of their own below the favorites.
    void PlantMany(const std::wstring& strFolder, int nCount)
    {
        std::wstring strPath = m_strFavorites + strFolder + L"\\";
        ASSERT_TRUE(::CreateDirectoryW(strPath.c_str(), NULL));
        for (int i = 0; i < nCount; i++)
            ASSERT_TRUE(testsupport::WriteFileBytes(strPath + std::to_wstring(i) + L".url", "[InternetShortcut]\r\nURL=http://many/\r\n"));
    }
    static int CountFiles(const std::wstring& strFolder)
    {
        WIN32_FIND_DATAW fd;
        HANDLE hFind = ::FindFirstFileW((strFolder + L"*.*").c_str(), &fd);
        if (hFind == INVALID_HANDLE_VALUE)
            return 0;
        int nCount = 0;
        do
        {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                nCount++;
        } while (::FindNextFileW(hFind, &fd));
        ::FindClose(hFind);
        return nCount;
    }

    void DoubleClick(CWatchedFavoritesPage& page, HTREEITEM hItem)
    {
        page.m_tree.SelectItem(hItem);
        NMHDR nm = {page.m_tree.m_hWnd, 1147, (UINT)NM_DBLCLK};
        page.SendMessage(WM_NOTIFY, 1147, (LPARAM)&nm);
    }

    testsupport::ScratchRegKey m_key;
    std::wstring m_strFavorites;
    std::wstring m_strBackup;
};

// Deep trees are made and removed on the host: Wine reaches no path longer
// than its host's 4,096 bytes, and each of its calls at depth d costs time
// in d squared. The folders named are removed when it goes.
class CHostTrees
{
public:
    ~CHostTrees()
    {
        for (const std::string& strUnix : m_folders)
            testsupport::RunHostCommand("rm -rf '" + strUnix + "'");
    }
    // A Windows folder, made when missing; its host path, empty on failure.
    std::string Add(const std::wstring& strFolder)
    {
        ::CreateDirectoryW(strFolder.c_str(), NULL);
        std::string strUnix = testsupport::UnixPathOf(strFolder);
        if (!strUnix.empty())
            m_folders.push_back(strUnix);
        return strUnix;
    }
private:
    std::vector<std::string> m_folders;
};

// Host shell text that defines go N: N more folders of strName (one byte
// each, or up to 255) below the current one, entered.
std::string HostGoFunction(const std::string& strName)
{
    int nChunk = (int)(1000 / (strName.size() + 1));
    return "go() { n=$1; while [ $n -gt 0 ]; do k=$n; [ $k -gt " + std::to_string(nChunk) +
           " ] && k=" + std::to_string(nChunk) + "; p=$(printf '" + strName +
           "/%.0s' $(seq $k)); mkdir -p $p && cd -P $p || exit 1; n=$((n-k)); done; }; ";
}

std::wstring Repeat(const std::wstring& strPart, int nCount)
{
    std::wstring str;
    for (int i = 0; i < nCount; i++)
        str += strPart;
    return str;
}

} // namespace

TEST_F(FavoritesTest, FirstStartCopiesSilentlyAndHidesIniFiles)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    EXPECT_EQ(0u, m_boxes.Count());
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"Sub\\b.url").c_str()));
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"desktop.ini").c_str()));
    std::wstring text = TreeText(page.m_tree);
    EXPECT_NE(std::wstring::npos, text.find(L"a.url\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"Sub\n b.url\n"));
    EXPECT_EQ(std::wstring::npos, text.find(L"desktop.ini"));
}

TEST_F(FavoritesTest, LockedFileMidBackupKeepsTheOldBackup)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"new.url", "new"));
    HANDLE hLocked = PlantLockedFavorite();
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1002);
    ::CloseHandle(hLocked);
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"earlier backup was kept")) << Narrow(m_boxes.LastText());
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"a.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"new.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));

    // Unlocked, the same backup goes through and replaces the old one.
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1002);
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"Successfully backup")) << Narrow(m_boxes.LastText());
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"new.url").c_str()));
    EXPECT_NE(std::wstring::npos, TreeText(page.m_tree).find(L"new.url"));
}

// A favorite another program holds open without sharing: the first start's
// copy fails, and says so and why, rather than leave the user counting on a
// backup. Nothing half-copied stays; the next start copies without a word.
TEST_F(FavoritesTest, FirstStartThatCannotCopySaysWhy)
{
    HANDLE hLocked = PlantLockedFavorite();
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    {
        CWatchedFavoritesPage page;
        OpenPage(page);
        ::CloseHandle(hLocked);
        ASSERT_EQ(1u, m_boxes.Count());
        std::wstring strText = m_boxes.LastText();
        EXPECT_EQ(0u, strText.find(L"The Favorites could not be copied, so there is no backup of them yet.\n" +
                                   m_strFavorites + L"locked.url (32)"))
            << Narrow(strText);
        EXPECT_EQ(std::wstring::npos, strText.find(L"earlier backup")) << Narrow(strText);
        EXPECT_FALSE(::PathFileExistsW(m_strBackup.c_str()));
        EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));
        EXPECT_EQ(L"", TreeText(page.m_tree));
        EXPECT_TRUE(page.m_btnBackup.IsWindowEnabled());
        page.DestroyWindow();
    }
    CWatchedFavoritesPage again;
    OpenPage(again);
    EXPECT_EQ(1u, m_boxes.Count());
    EXPECT_EQ("locked", testsupport::ReadFileBytes(m_strBackup + L"locked.url"));
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"Sub\\b.url").c_str()));
}

// An earlier backup that an interrupted swap left as Favorites.old, which the
// start cannot put back (another program has that folder open, as its
// current folder), and a locked favorite: the failed copy says the earlier
// backup was kept, and it is, whole; the next start puts it back.
TEST_F(FavoritesTest, FirstStartThatCannotCopyKeepsTheEarlierBackup)
{
    std::wstring strOld = AppDir() + L"Utilities\\Favorites.old\\";
    ASSERT_TRUE(::CreateDirectoryW(strOld.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strOld + L"earlier.url", "earlier"));
    HANDLE hOld = ::CreateFileW(strOld.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hOld);
    HANDLE hLocked = PlantLockedFavorite();
    ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
    {
        CWatchedFavoritesPage page;
        OpenPage(page);
        ::CloseHandle(hLocked);
        ::CloseHandle(hOld);
        ASSERT_EQ(1u, m_boxes.Count());
        std::wstring strText = m_boxes.LastText();
        EXPECT_EQ(0u, strText.find(L"The Favorites could not be copied; the earlier backup was kept.\n" +
                                   m_strFavorites + L"locked.url (32)"))
            << Narrow(strText);
        EXPECT_EQ(std::vector<std::wstring>{L"earlier.url"}, FolderEntries(strOld));
        EXPECT_EQ("earlier", testsupport::ReadFileBytes(strOld + L"earlier.url"));
        EXPECT_FALSE(::PathFileExistsW(m_strBackup.c_str()));
        EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));
        page.DestroyWindow();
    }
    CWatchedFavoritesPage again;
    OpenPage(again);
    EXPECT_EQ(1u, m_boxes.Count());
    EXPECT_EQ("earlier", testsupport::ReadFileBytes(m_strBackup + L"earlier.url"));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"a.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW(strOld.c_str()));
    EXPECT_EQ(L"earlier.url\n", TreeText(again.m_tree));
}

TEST_F(FavoritesTest, RestoreCopiesBackAndDecliningChangesNothing)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    ASSERT_TRUE(::DeleteFileW((m_strFavorites + L"Sub\\b.url").c_str()));
    m_boxes.QueueAnswer(IDNO);
    ClickAndWait(page, 1001);
    EXPECT_FALSE(::PathFileExistsW((m_strFavorites + L"Sub\\b.url").c_str()));
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1001);
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"Successfully restore")) << Narrow(m_boxes.LastText());
    EXPECT_EQ("[InternetShortcut]\r\nURL=http://b/\r\n", testsupport::ReadFileBytes(m_strFavorites + L"Sub\\b.url"));
}

TEST_F(FavoritesTest, UnknownFavoritesFolderCopiesNothing)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    for (const wchar_t* pszValue : {(const wchar_t*)NULL, L"ERR", L"C:\\No such folder\\"})
    {
        SetFavoritesValue(pszValue);
        size_t nBefore = m_boxes.Count();
        ClickAndWait(page, 1002);
        ClickAndWait(page, 1001);
        // One message each, no question, and the backup stays.
        EXPECT_EQ(nBefore + 2, m_boxes.Count());
        EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"cannot be found"));
        EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"a.url").c_str()));
    }
    EXPECT_FALSE(::PathFileExistsW(L"ERR"));
}

TEST_F(FavoritesTest, DoubleClickOpensNestedFavoritesButNotFolders)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    HTREEITEM hSub = FindItem(page.m_tree, TVI_ROOT, L"Sub");
    ASSERT_NE((HTREEITEM)NULL, hSub);
    HTREEITEM hNested = FindItem(page.m_tree, hSub, L"b.url");
    ASSERT_NE((HTREEITEM)NULL, hNested);
    DoubleClick(page, hSub);
    EXPECT_TRUE(page.m_opened.empty());
    DoubleClick(page, hNested);
    DoubleClick(page, FindItem(page.m_tree, TVI_ROOT, L"a.url"));
    ASSERT_EQ(2u, page.m_opened.size());
    EXPECT_EQ(m_strBackup + L"Sub\\b.url", page.m_opened[0]);
    EXPECT_EQ(m_strBackup + L"a.url", page.m_opened[1]);
}

// The first start copies a large favorites folder on a worker: the window
// answers while it runs and the page says that it is busy.
TEST_F(FavoritesTest, FirstStartCopyOfManyFavoritesLeavesTheWindowAnswering)
{
    const int nMany = 3000;
    PlantMany(L"Many", nMany);
    testsupport::ResponsiveWatch watch(m_hWndHost);
    CWatchedFavoritesPage page;
    CreatePage(page);
    EXPECT_TRUE(page.IsBusy());
    EXPECT_FALSE(page.m_btnBackup.IsWindowEnabled());
    EXPECT_FALSE(page.m_btnRestore.IsWindowEnabled());
    EXPECT_EQ(L"Copying the Favorites, please wait...\n", TreeText(page.m_tree));
    WaitForCopy(page);
    watch.Stop();
    EXPECT_EQ(0, watch.Unanswered()) << "longest wait " << watch.LongestWait() << " ms";
    // The copy lasted long enough to be watched all along.
    EXPECT_GE(watch.Sends(), 5);
    EXPECT_EQ(0u, m_boxes.Count());
    EXPECT_EQ(nMany, CountFiles(m_strBackup + L"Many\\"));
    EXPECT_TRUE(page.m_btnBackup.IsWindowEnabled());
    EXPECT_NE(std::wstring::npos, TreeText(page.m_tree).find(L"Sub\n b.url\n"));
}

// A backup stopped half-way (as closing the program stops it) leaves the
// earlier backup whole; its partial copy stays until the next start clears it.
TEST_F(FavoritesTest, StoppedBackupKeepsTheEarlierOne)
{
    CWatchedFavoritesPage page;
    OpenPage(page);
    PlantMany(L"Many", 3000);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    ASSERT_TRUE(page.IsBusy());
    // Stop once the copy is under way, dispatching meanwhile.
    std::wstring strNewMany = AppDir() + L"Utilities\\Favorites.new\\Many\\";
    DWORD dwStart = ::GetTickCount();
    while (CountFiles(strNewMany) < 10 && page.IsBusy() && ::GetTickCount() - dwStart < 60000)
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
    ASSERT_TRUE(page.IsBusy()) << "the copy ended before it could be stopped";
    size_t nBoxes = m_boxes.Count();
    page.StopWorker();
    EXPECT_FALSE(page.IsBusy());
    EXPECT_GE(CountFiles(strNewMany), 10);
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"Sub\\b.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"Many").c_str()));
    // The stopped copy's answer says nothing when it arrives.
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    EXPECT_EQ(nBoxes, m_boxes.Count());
    EXPECT_TRUE(page.m_btnBackup.IsWindowEnabled());
    page.DestroyWindow();

    CWatchedFavoritesPage again;
    OpenPage(again);
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"Sub\\b.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"Many").c_str()));
    EXPECT_EQ(nBoxes, m_boxes.Count());
}

// A backup stopped while it copies a tree 600 folders deep, where each step
// costs Wine more the deeper it goes: the earlier backup stays whole, the
// partial copy is left as the stop found it (not removed while the window
// waits), and the next backup clears it and copies the whole tree.
TEST_F(FavoritesTest, StoppingADeepBackupKeepsTheEarlierOneWhole)
{
    const int nDepth = 600;
    CWatchedFavoritesPage page;
    OpenPage(page);
    const favoritestest::TreeSnapshot earlier = favoritestest::Snapshot(m_strBackup);
    ASSERT_EQ(favoritestest::Snapshot(m_strFavorites), earlier);
    CHostTrees trees;
    std::string strUnixDeep = trees.Add(m_strFavorites + L"Deep");
    ASSERT_FALSE(strUnixDeep.empty());
    ASSERT_FALSE(trees.Add(AppDir() + L"Utilities").empty());
    ASSERT_EQ(0, testsupport::RunHostCommand("cd -P '" + strUnixDeep + "' && " + HostGoFunction("a") + "go " +
                                             std::to_string(nDepth) + " && echo bottom > bottom.url"));

    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    ASSERT_TRUE(page.IsBusy());
    std::wstring strNewDeep = AppDir() + L"Utilities\\Favorites.new\\Deep\\";
    EXPECT_TRUE(testsupport::PumpUntil(
        [&]() { return !page.IsBusy() || ::PathIsDirectoryW((strNewDeep + Repeat(L"a\\", 5)).c_str()); }, 120000));
    ASSERT_TRUE(page.IsBusy()) << "the copy ended before it could be stopped";
    size_t nBoxes = m_boxes.Count();
    page.StopWorker();
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(earlier, favoritestest::Snapshot(m_strBackup));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.old").c_str()));
    EXPECT_TRUE(::PathIsDirectoryW((strNewDeep + Repeat(L"a\\", 5)).c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesW((L"\\\\?\\" + strNewDeep + Repeat(L"a\\", nDepth) + L"bottom.url").c_str()));
    // The stopped copy's answer says nothing when it arrives.
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    EXPECT_EQ(nBoxes, m_boxes.Count());

    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    EXPECT_TRUE(testsupport::PumpUntil([&page]() { return !page.IsBusy(); }, 600000));
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"Successfully backup")) << Narrow(m_boxes.LastText());
    EXPECT_EQ("bottom\n", testsupport::ReadFileBytes(L"\\\\?\\" + m_strBackup + L"Deep\\" + Repeat(L"a\\", nDepth) +
                                                     L"bottom.url"));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.old").c_str()));
}

// A folder link inside the favorites: the first copy does not take what it
// points at, a restore does not write through it, a backup leaves it out, and
// both say so. Nothing outside the favorites changes.
TEST_F(FavoritesTest, AFolderLinkIsNeitherCopiedNorWrittenThrough)
{
    std::wstring strOutside = AppDir() + L"Outside\\";
    ASSERT_TRUE(::CreateDirectoryW(strOutside.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strOutside + L"precious.url", "precious"));
    testsupport::CHostLink link(AppDir() + L"Outside", m_strFavorites + L"Linked");
    ASSERT_TRUE(link.IsMade());

    CWatchedFavoritesPage page;
    OpenPage(page);
    EXPECT_EQ(0u, m_boxes.Count()) << "the first copy stays silent";
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"Sub\\b.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"Linked").c_str()));

    // A backup that holds a real folder of that name, as one made before the
    // link was: the restore copies the rest and leaves the link alone.
    ASSERT_TRUE(::CreateDirectoryW((m_strBackup + L"Linked").c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strBackup + L"Linked\\precious.url", "planted"));
    ASSERT_TRUE(::DeleteFileW((m_strFavorites + L"a.url").c_str()));
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1001);
    EXPECT_EQ("precious", testsupport::ReadFileBytes(strOutside + L"precious.url"));
    EXPECT_TRUE(::PathFileExistsW((m_strFavorites + L"a.url").c_str()));
    std::wstring strText = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"Successfully restore")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(L"These links were left out")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(m_strFavorites + L"Linked")) << Narrow(strText);

    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1002);
    strText = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"Successfully backup")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(m_strFavorites + L"Linked")) << Narrow(strText);
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"Linked").c_str()));
    EXPECT_TRUE(::PathFileExistsW((m_strBackup + L"a.url").c_str()));
    EXPECT_EQ(std::vector<std::wstring>{L"precious.url"}, FolderEntries(strOutside));
}

// Favorites 10,000 folders deep, with favorites at depths 1, 10, 100, 1,000
// and 9,999: the first start copies every folder a path reaches, leaves out
// the first one no path reaches with all it holds, and says so.
TEST_F(FavoritesTest, FirstStartCopiesADeepTreeAsFarAsAPathReaches)
{
    // Wine's paths end at 4,095 bytes on the host: a long start of the
    // favorites path puts that end a little past depth 1,000, which keeps
    // the copy short. Folders are named "a", one byte each.
    const int nReach = 1020;
    CHostTrees trees;
    std::string strUnixRoot = trees.Add(AppDir() + L"Deep");
    ASSERT_FALSE(strUnixRoot.empty());
    ASSERT_FALSE(trees.Add(AppDir() + L"Utilities").empty());
    std::wstring strRoot = AppDir() + L"Deep";
    size_t nRootLength = 4095 - 2 * nReach;
    while (strUnixRoot.size() < nRootLength)
    {
        size_t nName = std::min<size_t>(200, nRootLength - strUnixRoot.size() - 1);
        strUnixRoot += "/" + std::string(nName, 'p');
        strRoot += L"\\" + std::wstring(nName, L'p');
    }
    std::string strScript = "mkdir -p '" + strUnixRoot + "' && cd -P '" + strUnixRoot + "' && " + HostGoFunction("a") +
                            "echo top > top.url";
    int nDepth = 0;
    for (int nFile : {1, 10, 100, 1000, 9999, 10000})
    {
        strScript += " && go " + std::to_string(nFile - nDepth);
        if (nFile < 10000)
            strScript += " && echo d" + std::to_string(nFile) + " > d" + std::to_string(nFile) + ".url";
        nDepth = nFile;
    }
    ASSERT_EQ(0, testsupport::RunHostCommand(strScript));
    SetFavoritesValue((strRoot + L"\\").c_str());
    // The deepest folder whose contents a path reaches, the host's length
    // allowing the 1,000th (the one below it can still be seen, not listed).
    std::wstring strLongRoot = L"\\\\?\\" + strRoot;
    int nDeepest = 999;
    while (nDeepest < 2 * nReach)
    {
        WIN32_FIND_DATAW fd;
        HANDLE hFind = ::FindFirstFileW((strLongRoot + Repeat(L"\\a", nDeepest + 1) + L"\\*").c_str(), &fd);
        if (hFind == INVALID_HANDLE_VALUE)
            break;
        ::FindClose(hFind);
        nDeepest++;
    }
    ASSERT_GE(nDeepest, 1001);
    ASSERT_LT(nDeepest, 9999);

    CWatchedFavoritesPage page;
    CreatePage(page);
    EXPECT_TRUE(testsupport::PumpUntil([&page]() { return !page.IsBusy(); }, 900000));

    std::wstring strLongBackup = L"\\\\?\\" + m_strBackup;
    EXPECT_EQ("top\n", testsupport::ReadFileBytes(strLongBackup + L"top.url"));
    for (int nFile : {1, 10, 100, 1000})
    {
        std::wstring strFile = strLongBackup + Repeat(L"a\\", nFile) + L"d" + std::to_wstring(nFile) + L".url";
        EXPECT_EQ("d" + std::to_string(nFile) + "\n", testsupport::ReadFileBytes(strFile)) << "depth " << nFile;
    }
    // Every folder a path reaches is there, and nothing deeper.
    std::wstring strDeepest = strLongBackup + Repeat(L"a\\", nDeepest);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(strDeepest.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((strDeepest + L"a").c_str()));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));

    // One message: the backup, and the folder left out with its reason (the
    // end of its path, a\a, does not tell its depth: the backup's contents do).
    ASSERT_EQ(1u, m_boxes.Count());
    std::wstring strText = m_boxes.LastText();
    EXPECT_EQ(0u, strText.find(L"Successfully backup your Favorites at:\n" + m_strBackup)) << Narrow(strText);
    const std::wstring strReason =
        L"\n\nThese were left out with all they hold: their path is longer than Windows can open.\n";
    size_t nReason = strText.find(strReason);
    ASSERT_NE(std::wstring::npos, nReason) << Narrow(strText);
    // The folder is named by its start and its end: one line.
    std::wstring strLeftOut = strRoot + Repeat(L"\\a", nDeepest + 1);
    std::wstring strLine = strText.substr(nReason + strReason.size());
    EXPECT_EQ(std::wstring::npos, strLine.find(L'\n')) << Narrow(strLine);
    EXPECT_LE(strLine.size(), 260u);
    EXPECT_EQ(0u, strLine.find(strLeftOut.substr(0, 150))) << Narrow(strLine);
    EXPECT_NE(std::wstring::npos, strLine.find(L"..."));
    EXPECT_EQ(strLeftOut.substr(strLeftOut.size() - 20), strLine.substr(strLine.size() - 20));
    EXPECT_NE(std::wstring::npos, TreeText(page.m_tree).find(L"top.url\n"));
}

// Backup and Restore after the first start: what no path reaches, where the
// favorites are or where the copy goes, is left out and told with the
// success; the rest is copied, and the earlier backup gives way.
TEST_F(FavoritesTest, BackupAndRestoreLeaveOutWhatNoPathReaches)
{
    // Folders of 250 characters: Wine's end of paths comes at the 16th.
    const std::string strName(250, 'n');
    CHostTrees trees;
    std::string strUnixLong = trees.Add(m_strFavorites + L"Long");
    ASSERT_FALSE(strUnixLong.empty());
    ASSERT_FALSE(trees.Add(AppDir() + L"Utilities").empty());
    ASSERT_EQ(0, testsupport::RunHostCommand("cd -P '" + strUnixLong + "' && " + HostGoFunction(strName) +
                                             "echo near > near.url && go 1 && echo one > one.url && go 20 && "
                                             "echo far > far.url"));
    CWatchedFavoritesPage page;
    OpenPage(page);
    ASSERT_EQ(1u, m_boxes.Count()) << "the first backup tells what it left out";
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"their path is longer than Windows can open"));

    ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"new.url", "new"));
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1002);
    std::wstring strText = m_boxes.LastText();
    EXPECT_EQ(0u, strText.find(L"Successfully backup")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(L"their path is longer than Windows can open.\n" +
                                               (m_strFavorites + L"Long\\" + Widen(strName)).substr(0, 150)))
        << Narrow(strText);
    EXPECT_EQ("new", testsupport::ReadFileBytes(m_strBackup + L"new.url"));
    std::wstring strOne = L"\\\\?\\" + m_strBackup + L"Long\\" + Widen(strName) + L"\\one.url";
    EXPECT_EQ("one\n", testsupport::ReadFileBytes(strOne));
    EXPECT_EQ("near\n", testsupport::ReadFileBytes(m_strBackup + L"Long\\near.url"));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.old").c_str()));
    EXPECT_FALSE(::PathFileExistsW((AppDir() + L"Utilities\\Favorites.new").c_str()));

    // Favorites whose own path is longer than the backup's by more than a
    // folder: what reached the end of paths in the backup does not fit there
    // and is named; the rest comes back.
    std::wstring strOtherParent = AppDir() + L"Other Favorites with a longer name";
    std::wstring strOther = strOtherParent + L"\\" + std::wstring(250, L'o') + L"\\";
    ASSERT_FALSE(trees.Add(strOtherParent).empty());
    ASSERT_TRUE(::CreateDirectoryW(strOther.c_str(), NULL));
    SetFavoritesValue(strOther.c_str());
    m_boxes.QueueAnswer(IDYES);
    ClickAndWait(page, 1001);
    strText = m_boxes.LastText();
    EXPECT_EQ(0u, strText.find(L"Successfully restore")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(L"their path is longer than Windows can open.\n" +
                                               (m_strBackup + L"Long\\" + Widen(strName)).substr(0, 150)))
        << Narrow(strText);
    EXPECT_EQ("near\n", testsupport::ReadFileBytes(strOther + L"Long\\near.url"));
    EXPECT_EQ("new", testsupport::ReadFileBytes(strOther + L"new.url"));
}

// A replacement of the backup cut off between its two renames leaves the
// earlier backup as Favorites.old: the next start takes it back rather than
// making a new first backup over it.
TEST_F(FavoritesTest, AnInterruptedSwapKeepsTheEarlierBackup)
{
    std::wstring strOld = AppDir() + L"Utilities\\Favorites.old\\";
    ASSERT_TRUE(::CreateDirectoryW(strOld.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strOld + L"earlier.url", "earlier"));
    CWatchedFavoritesPage page;
    OpenPage(page);
    EXPECT_EQ(0u, m_boxes.Count());
    EXPECT_EQ("earlier", testsupport::ReadFileBytes(m_strBackup + L"earlier.url"));
    EXPECT_FALSE(::PathFileExistsW((m_strBackup + L"a.url").c_str()));
    EXPECT_FALSE(::PathFileExistsW(strOld.c_str()));
    EXPECT_EQ(L"earlier.url\n", TreeText(page.m_tree));
}
