// Stopping the favorites copies at any point: a backup or restore stopped at
// each of its polls never harms the earlier backup or the user's favorites,
// the partial copy a stop leaves is cleared by the next run, and nothing
// beside the job's own scratch folders is touched.
#include "repair/FavoritesBackup.h"
#include "tests/repair/FavoritesTreeSnapshot.h"
#include "tests/support/HostLink.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <atomic>
#include <map>
#include <string>

namespace {

using favoritestest::IsPartOf;
using favoritestest::kFolder;
using favoritestest::Plant;
using favoritestest::Snapshot;
using favoritestest::TreeSnapshot;

bool Exists(const std::wstring& strPath)
{
    return ::GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Favorites with files at the top, in a subfolder and down a chain of folders.
TreeSnapshot SampleFavorites(const std::string& strContent)
{
    TreeSnapshot tree = {
        {L"a.url", "a " + strContent},
        {L"desktop.ini", "[.ShellClassInfo]"},
        {L"Sub", kFolder},
        {L"Sub\\b.url", "b " + strContent},
    };
    std::wstring strChain = L"Deep";
    for (int i = 1; i <= 6; i++)
    {
        tree[strChain] = kFolder;
        tree[strChain + L"\\" + std::to_wstring(i) + L".url"] = std::to_string(i) + " " + strContent;
        strChain += L"\\d";
    }
    return tree;
}

// Answers "stopped" from its nStopAt-th poll on (counting from 0; -1:
// never; 0: the flag is set before the job starts) and counts the polls, as
// the flag set by a close at that moment would. The copies and removals
// inside see the same flag.
class CStoppingBackup : public CFavoritesBackup
{
public:
    CStoppingBackup(const std::wstring& strBackupDir, int nStopAt)
        : CFavoritesBackup(strBackupDir.c_str()), m_nStopAt(nStopAt), m_bStop(nStopAt == 0)
    {
        SetStopFlag(&m_bStop);
    }
    mutable int m_nPolls = 0;

protected:
    BOOL IsStopped() const override
    {
        if (m_nStopAt >= 0 && m_nPolls >= m_nStopAt)
            m_bStop = true;
        m_nPolls++;
        return CFavoritesBackup::IsStopped();
    }

private:
    int m_nStopAt;
    mutable std::atomic<bool> m_bStop;
};

class FavoritesStopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strFavorites = m_folder.Path() + L"Favorites\\";
        m_strUtilities = m_folder.Path() + L"Utilities\\";
        m_strBackup = m_strUtilities + L"Favorites\\";
        m_strNew = m_strUtilities + L"Favorites.new\\";
        m_strOld = m_strUtilities + L"Favorites.old\\";
        ASSERT_TRUE(Plant(m_strFavorites, SampleFavorites("first")));
        // Beside the job's folders, with names close to theirs.
        ASSERT_TRUE(Plant(m_strUtilities, {{L"Favorites.newer", kFolder},
                                           {L"Favorites.newer\\keep.url", "keep"},
                                           {L"Favorites.new.txt", "keep"},
                                           {L"Startup.dat", "keep"}}));
        m_others = Others();
    }
    // What the Utilities folder holds beside the backup and its scratch folders.
    TreeSnapshot Others() const
    {
        TreeSnapshot entries = Snapshot(m_strUtilities);
        for (auto it = entries.begin(); it != entries.end();)
        {
            std::wstring strTop = it->first.substr(0, it->first.find(L'\\'));
            if (strTop == L"Favorites" || strTop == L"Favorites.new" || strTop == L"Favorites.old")
                it = entries.erase(it);
            else
                ++it;
        }
        return entries;
    }
    // The polls of a Backup over an earlier backup, counted on a twin of the
    // same favorites and state.
    int PollsOfBackupOverAnEarlierOne()
    {
        std::wstring strTwin = m_folder.Path() + L"Twin\\";
        std::wstring strTwinBackup = strTwin + L"Favorites\\";
        ::CreateDirectoryW(strTwin.c_str(), NULL);
        EXPECT_EQ(CFavoritesBackup::ResultOk, CFavoritesBackup(strTwinBackup.c_str()).Backup(m_strFavorites.c_str()));
        CStoppingBackup counter(strTwinBackup, -1);
        EXPECT_EQ(CFavoritesBackup::ResultOk, counter.Backup(m_strFavorites.c_str()));
        testsupport::RemoveTree(strTwin);
        return counter.m_nPolls;
    }

    testsupport::ScratchFolder m_folder;
    std::wstring m_strFavorites, m_strUtilities, m_strBackup, m_strNew, m_strOld;
    TreeSnapshot m_others;
};

} // namespace

// A backup over an earlier one, stopped at each of its polls: until the copy
// is whole the earlier backup stays as it was and the partial copy stays for
// the next run (removing it is what made a close wait); stopped after the
// swap, the new backup is in place and the old one is left whole beside it.
// Each time the next run clears what was left and nothing else is touched.
TEST_F(FavoritesStopTest, ABackupStoppedAtAnyPollKeepsTheEarlierBackupWhole)
{
    ASSERT_EQ(CFavoritesBackup::ResultOk, CFavoritesBackup(m_strBackup.c_str()).Backup(m_strFavorites.c_str()));
    const TreeSnapshot earlier = Snapshot(m_strBackup);
    ASSERT_EQ(SampleFavorites("first"), earlier);
    testsupport::RemoveTree(m_strFavorites);
    TreeSnapshot changed = SampleFavorites("second");
    changed[L"Sub\\new.url"] = "new";
    ASSERT_TRUE(Plant(m_strFavorites, changed));
    const int nPolls = PollsOfBackupOverAnEarlierOne();
    ASSERT_GT(nPolls, (int)changed.size());

    int nPartial = 0;
    for (int nStopAt = 0; nStopAt < nPolls; nStopAt++)
    {
        CStoppingBackup backup(m_strBackup, nStopAt);
        CFavoritesBackup::Result result = backup.Backup(m_strFavorites.c_str());
        EXPECT_EQ(changed, Snapshot(m_strFavorites)) << nStopAt;
        EXPECT_EQ(m_others, Others()) << nStopAt;
        if (nStopAt < nPolls - 1)
        {
            EXPECT_EQ(CFavoritesBackup::ResultStopped, result) << nStopAt;
            EXPECT_EQ(earlier, Snapshot(m_strBackup)) << nStopAt;
            EXPECT_FALSE(Exists(m_strOld)) << nStopAt;
            TreeSnapshot partial = Snapshot(m_strNew);
            EXPECT_TRUE(IsPartOf(partial, changed)) << nStopAt;
            if (!partial.empty() && partial.size() < changed.size())
                nPartial++;
        }
        else
        {
            EXPECT_EQ(CFavoritesBackup::ResultOk, result);
            EXPECT_EQ(changed, Snapshot(m_strBackup));
            EXPECT_EQ(earlier, Snapshot(m_strOld));
            EXPECT_FALSE(Exists(m_strNew));
        }
        // The next run's clearing, as the page's worker does it at the start.
        EXPECT_TRUE(CFavoritesBackup(m_strBackup.c_str()).RemoveLeftovers()) << nStopAt;
        EXPECT_FALSE(Exists(m_strNew)) << nStopAt;
        EXPECT_FALSE(Exists(m_strOld)) << nStopAt;
        EXPECT_EQ(m_others, Others()) << nStopAt;
    }
    // The stops came while the copy was being made, not only before it.
    EXPECT_GT(nPartial, nPolls / 2);

    // Never stopped, the same job does it all.
    CStoppingBackup backup(m_strBackup, -1);
    EXPECT_EQ(CFavoritesBackup::ResultOk, backup.Backup(m_strFavorites.c_str()));
    EXPECT_EQ(nPolls, backup.m_nPolls);
    EXPECT_EQ(changed, Snapshot(m_strBackup));
    EXPECT_FALSE(Exists(m_strNew));
    EXPECT_FALSE(Exists(m_strOld));
}

// The first backup stopped half-way: no backup is claimed, the partial copy
// stays, and the next backup clears it before copying (its stale files do
// not end up in the backup) and goes through.
TEST_F(FavoritesStopTest, AFirstBackupStoppedHalfWayIsClearedByTheNextOne)
{
    CStoppingBackup counter(m_strBackup, -1);
    ASSERT_EQ(CFavoritesBackup::ResultOk, counter.Backup(m_strFavorites.c_str()));
    testsupport::RemoveTree(m_strBackup);
    ASSERT_FALSE(Exists(m_strBackup));
    const TreeSnapshot favorites = Snapshot(m_strFavorites);

    CStoppingBackup stopped(m_strBackup, counter.m_nPolls / 2);
    EXPECT_EQ(CFavoritesBackup::ResultStopped, stopped.Backup(m_strFavorites.c_str()));
    EXPECT_FALSE(stopped.HasBackup());
    TreeSnapshot partial = Snapshot(m_strNew);
    EXPECT_FALSE(partial.empty());
    EXPECT_LT(partial.size(), favorites.size());
    EXPECT_TRUE(IsPartOf(partial, favorites));

    // A favorite removed since then must not come back from the partial copy.
    ASSERT_TRUE(partial.count(L"a.url"));
    ASSERT_TRUE(::DeleteFileW((m_strFavorites + L"a.url").c_str()));
    CFavoritesBackup next(m_strBackup.c_str());
    EXPECT_EQ(CFavoritesBackup::ResultOk, next.Backup(m_strFavorites.c_str())) << (LPCWSTR)next.m_strError;
    EXPECT_EQ(Snapshot(m_strFavorites), Snapshot(m_strBackup));
    EXPECT_FALSE(Exists(m_strBackup + L"a.url"));
    EXPECT_FALSE(Exists(m_strNew));
    EXPECT_EQ(m_others, Others());
}

// What stopped runs left (a partial copy, an old backup beside the one in
// place): a stop set before the clearing starts leaves it all, the backup
// whole; unstopped, the clearing takes only those two folders. An old backup
// with none in its place is the only one there is, and stays.
TEST_F(FavoritesStopTest, LeftoversStayWhileStoppedAndGoAtTheNextRun)
{
    ASSERT_EQ(CFavoritesBackup::ResultOk, CFavoritesBackup(m_strBackup.c_str()).Backup(m_strFavorites.c_str()));
    const TreeSnapshot backup = Snapshot(m_strBackup);
    TreeSnapshot leftover = SampleFavorites("stale");
    ASSERT_TRUE(Plant(m_strNew, leftover));
    ASSERT_TRUE(Plant(m_strOld, leftover));

    CStoppingBackup stoppedBackup(m_strBackup, 0);
    EXPECT_EQ(CFavoritesBackup::ResultStopped, stoppedBackup.Backup(m_strFavorites.c_str()));
    CStoppingBackup stoppedClearing(m_strBackup, 0);
    EXPECT_FALSE(stoppedClearing.RemoveLeftovers());
    EXPECT_EQ(leftover, Snapshot(m_strNew));
    EXPECT_EQ(leftover, Snapshot(m_strOld));
    EXPECT_EQ(backup, Snapshot(m_strBackup));

    EXPECT_TRUE(CFavoritesBackup(m_strBackup.c_str()).RemoveLeftovers());
    EXPECT_FALSE(Exists(m_strNew));
    EXPECT_FALSE(Exists(m_strOld));
    EXPECT_EQ(backup, Snapshot(m_strBackup));
    EXPECT_EQ(m_others, Others());
    EXPECT_EQ(SampleFavorites("first"), Snapshot(m_strFavorites));

    // The earlier backup left only as Favorites.old (its swap cut off).
    ASSERT_TRUE(::MoveFileW(m_strBackup.substr(0, m_strBackup.size() - 1).c_str(),
                            m_strOld.substr(0, m_strOld.size() - 1).c_str()));
    ASSERT_TRUE(Plant(m_strNew, leftover));
    EXPECT_TRUE(CFavoritesBackup(m_strBackup.c_str()).RemoveLeftovers());
    EXPECT_FALSE(Exists(m_strNew));
    EXPECT_EQ(backup, Snapshot(m_strOld));
}

// A partial copy left by a stop that holds a folder link (planted there by
// hand, as the copy itself never follows one): clearing it at the next run
// never touches what the link points at. (Wine cannot remove a host link as
// a folder, so there the clearing fails and says why.)
TEST_F(FavoritesStopTest, ClearingALeftoverNeverPassesThroughALinkInIt)
{
    std::wstring strOutside = m_folder.Path() + L"Outside\\";
    ASSERT_TRUE(Plant(strOutside, {{L"mine.url", "mine"}}));
    const TreeSnapshot outside = Snapshot(strOutside);
    ASSERT_TRUE(Plant(m_strNew, SampleFavorites("stale")));
    testsupport::CHostLink link(strOutside.substr(0, strOutside.size() - 1), m_strNew + L"Linked");
    ASSERT_TRUE(link.IsMade());

    CFavoritesBackup backup(m_strBackup.c_str());
    if (backup.RemoveLeftovers())
    {
        EXPECT_FALSE(Exists(m_strNew));
    }
    else
    {
        EXPECT_FALSE(backup.m_strError.IsEmpty());
    }
    EXPECT_EQ(outside, Snapshot(strOutside));
    EXPECT_EQ(m_others, Others());
}

// A partial copy that cannot be cleared (a file of it held open): the
// backup fails and says why rather than copy over the stale files, and the
// earlier backup stays; once it can be cleared the backup goes through.
TEST_F(FavoritesStopTest, APartialCopyThatCannotBeClearedFailsTheBackup)
{
    ASSERT_EQ(CFavoritesBackup::ResultOk, CFavoritesBackup(m_strBackup.c_str()).Backup(m_strFavorites.c_str()));
    const TreeSnapshot earlier = Snapshot(m_strBackup);
    ASSERT_TRUE(Plant(m_strNew, {{L"Sub", kFolder}, {L"Sub\\stale.url", "stale"}}));
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + L"new.url", "new"));
    {
        HANDLE hLocked = ::CreateFileW((m_strNew + L"Sub\\stale.url").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                       OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, hLocked);
        CFavoritesBackup backup(m_strBackup.c_str());
        EXPECT_EQ(CFavoritesBackup::ResultCopyFailed, backup.Backup(m_strFavorites.c_str()));
        ::CloseHandle(hLocked);
        EXPECT_NE(-1, backup.m_strError.Find(L"stale.url")) << (LPCWSTR)backup.m_strError;
    }
    EXPECT_EQ(earlier, Snapshot(m_strBackup));
    EXPECT_FALSE(Exists(m_strOld));

    CFavoritesBackup backup(m_strBackup.c_str());
    EXPECT_EQ(CFavoritesBackup::ResultOk, backup.Backup(m_strFavorites.c_str())) << (LPCWSTR)backup.m_strError;
    EXPECT_EQ(Snapshot(m_strFavorites), Snapshot(m_strBackup));
    EXPECT_FALSE(Exists(m_strBackup + L"Sub\\stale.url"));
    EXPECT_FALSE(Exists(m_strNew));
}

// A restore stopped at each of its polls: it removes nothing from the
// favorites, each favorite is as the user had it or as the backup has it
// (never half-written), nothing is added but the backup's, and the backup
// is only read.
TEST_F(FavoritesStopTest, ARestoreStoppedAtAnyPollKeepsEveryFavoriteAndTheBackup)
{
    ASSERT_EQ(CFavoritesBackup::ResultOk, CFavoritesBackup(m_strBackup.c_str()).Backup(m_strFavorites.c_str()));
    const TreeSnapshot backup = Snapshot(m_strBackup);
    TreeSnapshot mine = SampleFavorites("mine");
    mine[L"mine.url"] = "only mine";
    mine[L"Mine"] = kFolder;
    mine[L"Mine\\m.url"] = "only mine";
    mine.erase(L"Deep\\d\\d\\d\\d\\d\\6.url");
    auto PlantMine = [&]() {
        testsupport::RemoveTree(m_strFavorites);
        return Plant(m_strFavorites, mine);
    };
    ASSERT_TRUE(PlantMine());
    CStoppingBackup counter(m_strBackup, -1);
    ASSERT_EQ(CFavoritesBackup::ResultOk, counter.Restore(m_strFavorites.c_str()));
    TreeSnapshot restored = mine;
    for (const auto& entry : backup)
        restored[entry.first] = entry.second;
    ASSERT_EQ(restored, Snapshot(m_strFavorites));
    const int nPolls = counter.m_nPolls;

    int nPartial = 0;
    for (int nStopAt = 0; nStopAt < nPolls; nStopAt++)
    {
        ASSERT_TRUE(PlantMine());
        CStoppingBackup restore(m_strBackup, nStopAt);
        EXPECT_EQ(CFavoritesBackup::ResultStopped, restore.Restore(m_strFavorites.c_str())) << nStopAt;
        TreeSnapshot after = Snapshot(m_strFavorites);
        for (const auto& entry : mine)
            EXPECT_TRUE(after.count(entry.first)) << nStopAt << ": " << testing::PrintToString(entry.first);
        for (const auto& entry : after)
        {
            bool bMine = mine.count(entry.first) && mine.at(entry.first) == entry.second;
            bool bBackups = backup.count(entry.first) && backup.at(entry.first) == entry.second;
            EXPECT_TRUE(bMine || bBackups) << nStopAt << ": " << testing::PrintToString(entry.first);
        }
        if (after != mine && after != restored)
            nPartial++;
        EXPECT_EQ(backup, Snapshot(m_strBackup)) << nStopAt;
        EXPECT_EQ(m_others, Others()) << nStopAt;
    }
    EXPECT_GT(nPartial, 0);
}
