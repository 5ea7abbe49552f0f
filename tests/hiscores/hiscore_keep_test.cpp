// Saves that must keep every result whatever stands in their way: another
// program's slow save, odd things named like the lock or the kept file, a
// file-size limit, a link into another folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <set>
#include <thread>

#include "tests/hiscores/hiscore_fixture.h"

namespace {

namespace fs = std::filesystem;

// Another program holding the lock on path (a lock file or a folder).
class Peer {
public:
    explicit Peer(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY)) {
        EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0) << path;
    }
    ~Peer() { Release(); }
    void Release() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

class HiScoreKeepTest : public HiScoreTest {
protected:
    std::string Lock() const { return ScoresFile() + ".lock"; }
    // A result of this run, as AddHiScore enters it.
    void Enter(int score) {
        CHiScoresDlg& golf = store.m_hiScoreTables[HISCORE_GOLF];
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = u"Gil";
        entry->m_score = score;
        golf.InsertEntry(golf.RankOf(score), std::move(entry));
    }
    std::vector<int> SavedGolf() const {
        CHiScoreStore reread;
        reread.m_dataDir = store.m_dataDir;
        reread.LoadHiScores();
        return Scores(reread.m_hiScoreTables[HISCORE_GOLF]);
    }
    static std::set<std::string> Names(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
        return names;
    }
    // Runs fn in a child process: its exit status, or 128 + the signal that ended it.
    static int InChild(const std::function<int()>& fn) {
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(fn());
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
};

TEST_F(HiScoreKeepTest, ASlowPeerNeverCostsAResultNorKeepsTheSaveWaiting) {
    PutFile(Lock(), {});
    Peer peer(Lock());
    Enter(10);
    EXPECT_FALSE(store.SaveHiScores());
    EXPECT_TRUE(store.HasUnsaved());
    host.Wait(3000);  // retried every second while the peer saves on
    Enter(20);
    EXPECT_FALSE(store.SaveHiScores());
    EXPECT_TRUE(MessageTexts().empty()) << "not written yet, but not lost either";
    EXPECT_FALSE(fs::exists(ScoresFile()));

    peer.Release();
    host.Wait(1000);
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_EQ(SavedGolf(), (std::vector<int>{20, 10}));

    // At the end of the run the save waits as long as the peer takes.
    Enter(30);
    auto slow = std::make_unique<Peer>(Lock());
    EXPECT_FALSE(store.SaveHiScores());
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        slow.reset();
    });
    store.SaveBeforeExit();
    release.join();
    EXPECT_EQ(SavedGolf(), (std::vector<int>{30, 20, 10}));
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(HiScoreKeepTest, WhateverIsNamedLikeTheLockSavesStillTakeTurns) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        std::string lockedByAll;  // what every program locks then
        fs::file_type stays;
    };
    const std::vector<Case> cases = {
        {"a folder", [](const std::string& p) { fs::create_directories(p + "/inside"); }, Lock(),
         fs::file_type::directory},
        {"a link to nowhere", [](const std::string& p) { fs::create_symlink("nowhere", p); },
         dir.string(), fs::file_type::symlink},
        {"a link to a file",
         [this](const std::string& p) {
             PutFile((dir / "elsewhere").string(), {});
             fs::create_symlink("elsewhere", p);
         },
         dir.string(), fs::file_type::symlink},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directories(dir);
        c.make(Lock());
        store.LoadHiScores();
        Enter(1);
        EXPECT_TRUE(store.SaveHiScores());
        {
            Peer peer(c.lockedByAll);
            Enter(2);
            EXPECT_FALSE(store.SaveHiScores());
        }
        host.Wait(1000);
        EXPECT_EQ(SavedGolf(), (std::vector<int>{2, 1}));
        EXPECT_EQ(fs::symlink_status(Lock()).type(), c.stays);
    }
    EXPECT_TRUE(MessageTexts().empty());
}

// Left by the program run once as root: the player may read it, not write it.
TEST_F(HiScoreKeepTest, ALockFileThePlayerMayNotWriteStillLocks) {
    PutFile(Lock(), {});
    fs::permissions(Lock(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const bool root = ::geteuid() == 0;
    // Root may write any file: the save runs as nobody in a folder open to all.
    if (root) fs::permissions(dir, fs::perms::all);
    const int status = InChild([&] {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 2;
        if (::open(Lock().c_str(), O_RDWR) >= 0) return 3;
        Enter(7);
        if (!store.SaveHiScores() || !MessageTexts().empty()) return 4;
        // Another program holding it still makes this one wait its turn.
        const int peer = ::open(Lock().c_str(), O_RDONLY);
        if (::flock(peer, LOCK_EX) != 0) return 5;
        Enter(8);
        return store.SaveHiScores() ? 6 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(SavedGolf(), std::vector<int>{7});
}

TEST_F(HiScoreKeepTest, AFileSizeLimitFailsTheSaveWithoutEndingTheProgram) {
    const Bytes old = Cat({Dw(1), Table(u"", {{u"Old", 5, 5}})});
    PutFile(ScoresFile(), old);
    store.LoadHiScores();
    const int status = InChild([&] {
        // As a shell's "ulimit -f" leaves a program: the signal as it comes.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit cap{20, 20};
        ::setrlimit(RLIMIT_FSIZE, &cap);
        Fill(store.m_hiScoreTables[HISCORE_CRUEL], {1, 2, 3});
        const bool saved = store.SaveHiScores();
        return !saved && MessageTexts() == std::vector<std::u16string>{u"can't write scores!"} ? 0
                                                                                               : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(GetFile(ScoresFile()), old);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"Scores.dat", "Scores.dat.lock"}));
}

TEST_F(HiScoreKeepTest, ASaveKeepsTheModeAndSavesThroughALinkNextToItsTarget) {
    const fs::path synced = dir / "synced";
    fs::create_directories(synced);
    const std::string target = (synced / "Scores.dat").string();
    PutFile(target, Cat({Dw(1), Table(u"", {})}));
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode, fs::perm_options::replace);
    fs::create_symlink(target, ScoresFile());
    store.LoadHiScores();
    std::set<std::string> writing;
    store.m_beforeReplace = [&] { writing = Names(synced); };
    for (int round = 0; round < 2; ++round) {
        // The second time the file behind the link is damaged: kept beside it.
        if (round == 1) PutFile(target, {1, 2, 3});
        Enter(10 + round);
        ASSERT_TRUE(store.SaveHiScores());
        EXPECT_EQ(fs::read_symlink(ScoresFile()), target);
        EXPECT_EQ(fs::status(target).permissions(), mode);
        // The new file was made beside the one it replaces.
        EXPECT_EQ(std::count_if(writing.begin(), writing.end(),
                                [](const std::string& name) {
                                    return name.rfind("Scores.dat.tmp.", 0) == 0;
                                }),
                  1);
        EXPECT_EQ(Names(dir), (std::set<std::string>{"Scores.dat", "Scores.dat.lock", "synced"}));
    }
    EXPECT_EQ(SavedGolf(), (std::vector<int>{11, 10}));
    EXPECT_EQ(GetFile(target + ".bad"), (Bytes{1, 2, 3}));
    EXPECT_EQ(Names(synced), (std::set<std::string>{"Scores.dat", "Scores.dat.bad"}));
}

TEST_F(HiScoreKeepTest, EveryFileASaveWritesAStartReadsBack) {
    // Seven empty tables take 60 bytes, one entry with a name of n >= 0xFFFE
    // units 18 + 2n more: this one makes the largest file a start reads.
    const size_t largest = 4 << 20;
    const size_t n = (largest - 60 - 18) / 2;
    CHiScoresDlg& golf = store.m_hiScoreTables[HISCORE_GOLF];
    Fill(golf, {1});
    golf.m_entries[0]->m_name = CString(n, u'x');
    ASSERT_TRUE(store.SaveHiScores());
    ASSERT_EQ(fs::file_size(ScoresFile()), largest);
    store.LoadHiScores();
    ASSERT_EQ(golf.m_entries.size(), 1u);
    EXPECT_EQ(golf.m_entries[0]->m_name.size(), n);

    // One more result would make a file no start reads: it is not written.
    const auto before = fs::last_write_time(ScoresFile());
    Enter(2);
    EXPECT_FALSE(store.SaveHiScores());
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"can't write scores!"});
    EXPECT_EQ(fs::last_write_time(ScoresFile()), before);
    EXPECT_EQ(fs::file_size(ScoresFile()), largest);
    EXPECT_FALSE(fs::exists(ScoresFile() + ".bad"));
}

}  // namespace
