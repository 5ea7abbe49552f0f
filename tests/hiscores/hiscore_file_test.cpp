#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "tests/hiscores/hiscore_fixture.h"

namespace {

class HiScoreFileTest : public HiScoreTest {
protected:
    // Titles as they stand, all seven.
    std::vector<CString> Titles() const {
        std::vector<CString> titles;
        for (const CHiScoresDlg& table : store.m_hiScoreTables) titles.push_back(table.m_title);
        return titles;
    }
    std::vector<CString> GameTitles() const {
        std::vector<CString> titles;
        for (const char16_t* title : store.m_titles) titles.push_back(title);
        return titles;
    }
    // How many tables hold anything (entries or a last name), counted from the first.
    static int FilledTables(const CHiScoreStore& s) {
        int n = 0;
        for (const CHiScoresDlg& table : s.m_hiScoreTables)
            if (!table.m_entries.empty() || !table.m_lastName.empty()) ++n;
        return n;
    }
    // A distinct, non-empty table for game i.
    static Bytes GameTable(int i) {
        return Table(FormatString("Last%d", i),
                     {{FormatString("A%d", i), 100 + i, 10 + i}, {u"B", 50, 600}});
    }
    // A result of this run, as AddHiScore enters it.
    static const HiScoreEntry* Enter(CHiScoresDlg& table, const char16_t* name, int score) {
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = name;
        entry->m_score = score;
        table.m_lastName = name;
        return table.InsertEntry(table.RankOf(score), std::move(entry));
    }
    // What a save may leave in the folder besides the file, its lock and a
    // damaged file kept aside.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            const std::string name = e.path().filename().string();
            if (name != "Scores.dat" && name != "Scores.dat.lock" && name != "Scores.dat.bad" &&
                name != "victim")
                names.push_back(name);
        }
        return names;
    }
    // Caps the size of the files this process writes while it lives.
    struct FileSizeLimit {
        explicit FileSizeLimit(rlim_t bytes) {
            ::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &saved);
            rlimit cap = saved;
            cap.rlim_cur = bytes;
            ::setrlimit(RLIMIT_FSIZE, &cap);
        }
        ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved); }
        rlimit saved{};
    };
    Bytes SevenEmpty() const {
        Bytes b = Dw(7);
        for (int i = 0; i < 7; ++i) b = Cat({b, EmptyTable()});
        return b;
    }
};

TEST_F(HiScoreFileTest, SevenEmptyTablesAreSixtyBytesInANewFolder) {
    store.m_dataDir = (dir / "deep" / "er").string() + "/";  // made by the first save
    ASSERT_TRUE(store.SaveHiScores());
    const Bytes bytes = GetFile(ScoresFile());
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes, SevenEmpty());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 12),
              (Bytes{7, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(std::filesystem::exists(ScoresFile() + ".tmp"));
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(HiScoreFileTest, MissingEmptyAndShortFilesLeaveTheTablesEmpty) {
    store.LoadHiScores();  // no file: captions stay as constructed
    EXPECT_EQ(Titles(), std::vector<CString>(7, u"Hi Scores"));
    EXPECT_EQ(FilledTables(store), 0);

    PutFile(ScoresFile(), {});
    store.LoadHiScores();  // the file opened, so the games' titles
    EXPECT_EQ(Titles(), GameTitles());
    EXPECT_EQ(Titles()[0], u"HiScores: Solitaire");
    EXPECT_EQ(Titles()[6], u"HiScores: Paintpot");
    EXPECT_EQ(FilledTables(store), 0);

    PutFile(ScoresFile(), {7, 0, 0});
    store.LoadHiScores();
    EXPECT_EQ(Titles(), GameTitles());
    EXPECT_EQ(FilledTables(store), 0);
}

TEST_F(HiScoreFileTest, OnlyASoundFileWithItsTablesHoldsHiScores) {
    const Bytes sound = Cat({Dw(3), GameTable(0), GameTable(1), GameTable(2)});
    const std::string text = "not ours\n";
    const struct {
        const char* what;
        Bytes bytes;
        bool holds;
    } cases[] = {
        {"empty", {}, false},
        {"short", {7, 0, 0}, false},
        {"text", Bytes(text.begin(), text.end()), false},
        {"no tables", Dw(0), false},
        {"cut in a table", Bytes(sound.begin(), sound.end() - 3), false},
        {"sound", sound, true},
    };
    EXPECT_FALSE(CHiScoreStore::HoldsHiScores(ScoresFile())) << "missing";
    for (const auto& c : cases) {
        PutFile(ScoresFile(), c.bytes);
        EXPECT_EQ(CHiScoreStore::HoldsHiScores(ScoresFile()), c.holds) << c.what;
    }
}

TEST_F(HiScoreFileTest, CountThreeReadsThreeTablesAndTheSaveWritesSeven) {
    PutFile(ScoresFile(), Cat({Dw(3), GameTable(0), GameTable(1), GameTable(2)}));
    store.LoadHiScores();
    EXPECT_EQ(FilledTables(store), 3);
    const CHiScoresDlg& cruel = store.m_hiScoreTables[HISCORE_CRUEL];
    EXPECT_EQ(cruel.m_lastName, u"Last1");
    ASSERT_EQ(cruel.m_entries.size(), 2u);
    EXPECT_EQ(cruel.m_entries[0]->m_name, u"A1");
    EXPECT_EQ(cruel.m_entries[0]->m_score, 101);
    EXPECT_EQ(cruel.m_entries[0]->m_seconds, 11);
    EXPECT_EQ(cruel.m_entries[1]->m_seconds, 600);
    EXPECT_EQ(Titles(), GameTitles());

    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(GetFile(ScoresFile()), Cat({Dw(7), GameTable(0), GameTable(1), GameTable(2),
                                          EmptyTable(), EmptyTable(), EmptyTable(), EmptyTable()}));
}

TEST_F(HiScoreFileTest, StoredOrderIsKeptAsItIs) {
    // Entries are not sorted again on reading, even out of order.
    PutFile(ScoresFile(),
            Cat({Dw(1), Table(u"", {{u"lo", 5, 1}, {u"hi", 90, 2}, {u"mid", 40, 3}})}));
    store.LoadHiScores();
    EXPECT_EQ(Scores(store.m_hiScoreTables[0]), (std::vector<int>{5, 90, 40}));
}

TEST_F(HiScoreFileTest, CountsEightAndNineReadSevenTablesAndIgnoreTheRest) {
    for (uint32_t count : {8u, 9u}) {
        Bytes file = Dw(count);
        for (int i = 0; i < 7; ++i) file = Cat({file, GameTable(i)});
        file = Cat({file, Bytes{0xDE, 0xAD}});  // whatever follows is never read
        PutFile(ScoresFile(), file);
        store.LoadHiScores();
        EXPECT_EQ(FilledTables(store), 7) << count;
        EXPECT_EQ(store.m_hiScoreTables[6].m_lastName, u"Last6");
        EXPECT_EQ(Titles(), GameTitles());
        std::filesystem::remove(ScoresFile() + ".bad");
        ASSERT_TRUE(store.SaveHiScores());
        EXPECT_FALSE(std::filesystem::exists(ScoresFile() + ".bad")) << "not a damaged file";
    }
}

TEST_F(HiScoreFileTest, CountsZeroAndTenReadNoTableButSetTheTitles) {
    const std::vector<uint32_t> counts = {0u, 10u, 0xFFFFFFFFu};
    for (uint32_t count : counts) {
        const Bytes file = Cat({Dw(count), GameTable(0), GameTable(1)});
        PutFile(ScoresFile(), file);
        store.LoadHiScores();
        EXPECT_EQ(FilledTables(store), 0) << count;
        EXPECT_EQ(Titles(), GameTitles());
        ASSERT_TRUE(store.SaveHiScores());
        EXPECT_EQ(GetFile(ScoresFile()), SevenEmpty());
    }
    // Not ours to throw away: each save keeps its damaged file aside, under
    // a name of its own.
    for (size_t i = 0; i < counts.size(); ++i) {
        std::string kept = ScoresFile() + ".bad";
        if (i) kept += '.' + std::to_string(i);
        EXPECT_EQ(GetFile(kept), Cat({Dw(counts[i]), GameTable(0), GameTable(1)}));
    }
}

TEST_F(HiScoreFileTest, EightBitTextIsReadAsWindows1252AndWrittenBackAsUtf16) {
    // "Jos" with the euro sign (0x80) and "Zoë" (0xEB), without the UTF-16 mark.
    PutFile(ScoresFile(), Cat({Dw(1), Str8("Jos\x80"), Dw(1), Str8("Zo\xEB"), Dw(250), Dw(61)}));
    store.LoadHiScores();
    const CHiScoresDlg& klondike = store.m_hiScoreTables[0];
    EXPECT_EQ(klondike.m_lastName, u"Jos\u20AC");
    ASSERT_EQ(klondike.m_entries.size(), 1u);
    EXPECT_EQ(klondike.m_entries[0]->m_name, u"Zo\u00EB");

    ASSERT_TRUE(store.SaveHiScores());
    const Bytes written = GetFile(ScoresFile());
    const Bytes first =
        Cat({Dw(7), Bytes{0xFF, 0xFE, 0xFF, 4, 'J', 0, 'o', 0, 's', 0, 0xAC, 0x20}, Dw(1),
             Bytes{0xFF, 0xFE, 0xFF, 3, 'Z', 0, 'o', 0, 0xEB, 0}, Dw(250), Dw(61)});
    ASSERT_GE(written.size(), first.size());
    EXPECT_EQ(Bytes(written.begin(), written.begin() + static_cast<long>(first.size())), first);
}

TEST_F(HiScoreFileTest, EveryLengthFormOfAStringIsRead) {
    const std::string long8(300, 'x');
    const Bytes forms = Cat({
        Dw(1),
        Str16(u"last"),
        Dw(5),
        // 8-bit, 16-bit length
        Bytes{0xFF, 0x2C, 0x01},
        Bytes(long8.begin(), long8.end()),
        Dw(9),
        Dw(1),
        // 8-bit, 32-bit length
        Bytes{0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'h', 'i'},
        Dw(8),
        Dw(1),
        // UTF-16, 16-bit length
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 2, 0, 'a', 0, 'b', 0},
        Dw(7),
        Dw(1),
        // UTF-16, 32-bit length
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 'c', 0},
        Dw(6),
        Dw(1),
        // UTF-16, 64-bit length
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
              1,    0,    0,    0,    0,    0,    0,    0,    'd',  0},
        Dw(5),
        Dw(1),
    });
    PutFile(ScoresFile(), forms);
    store.LoadHiScores();
    const CHiScoresDlg& table = store.m_hiScoreTables[0];
    ASSERT_EQ(table.m_entries.size(), 5u);
    EXPECT_EQ(table.m_entries[0]->m_name, CString(300, u'x'));
    EXPECT_EQ(table.m_entries[1]->m_name, u"hi");
    EXPECT_EQ(table.m_entries[2]->m_name, u"ab");
    EXPECT_EQ(table.m_entries[3]->m_name, u"c");
    EXPECT_EQ(table.m_entries[4]->m_name, u"d");
    EXPECT_EQ(Scores(table), (std::vector<int>{9, 8, 7, 6, 5}));
}

TEST_F(HiScoreFileTest, LongAndUnusualNamesRoundTripWithTheirLengthForms) {
    const CString n254(254, u'a'), n255(255, u'b'), n70000(70000, u'c');
    const CString astral = u"\U0001F0A1 ace";                      // a surrogate pair
    const CString lone = CString(u"x") + char16_t(0xD800) + u"y";  // an unpaired surrogate
    CHiScoresDlg& golf = store.m_hiScoreTables[HISCORE_GOLF];
    golf.m_lastName = lone;
    for (const CString* name : {&n254, &n255, &n70000, &astral, &lone}) {
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = *name;
        entry->m_score = -static_cast<int>(golf.m_entries.size());  // negative scores too
        entry->m_seconds = 0x7FFFFFFF;
        golf.m_entries.push_back(std::move(entry));
    }
    ASSERT_TRUE(store.SaveHiScores());
    const Bytes bytes = GetFile(ScoresFile());
    const Bytes golfRecord = Table(lone, {{n254, 0, 0x7FFFFFFF},
                                          {n255, -1, 0x7FFFFFFF},
                                          {n70000, -2, 0x7FFFFFFF},
                                          {astral, -3, 0x7FFFFFFF},
                                          {lone, -4, 0x7FFFFFFF}});
    EXPECT_EQ(bytes, Cat({Dw(7), EmptyTable(), EmptyTable(), golfRecord, EmptyTable(), EmptyTable(),
                          EmptyTable(), EmptyTable()}));
    // The three length forms, checked by hand rather than through Str16.
    const Bytes at254{0xFF, 0xFE, 0xFF, 0xFE, 'a', 0};
    const Bytes at255{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 'b', 0};
    const Bytes at70000{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 'c', 0};
    for (const Bytes* form : {&at254, &at255, &at70000})
        EXPECT_NE(std::search(bytes.begin(), bytes.end(), form->begin(), form->end()), bytes.end());

    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    const CHiScoresDlg& again = reread.m_hiScoreTables[HISCORE_GOLF];
    EXPECT_EQ(again.m_lastName, lone);
    ASSERT_EQ(again.m_entries.size(), 5u);
    EXPECT_EQ(again.m_entries[0]->m_name, n254);
    EXPECT_EQ(again.m_entries[1]->m_name, n255);
    EXPECT_EQ(again.m_entries[2]->m_name, n70000);
    EXPECT_EQ(again.m_entries[3]->m_name, astral);
    EXPECT_EQ(again.m_entries[4]->m_name, lone);
    EXPECT_EQ(again.m_entries[4]->m_score, -4);
    EXPECT_EQ(again.m_entries[4]->m_seconds, 0x7FFFFFFF);
}

TEST_F(HiScoreFileTest, AFileCutAnywhereKeepsTheTablesReadWhole) {
    const Bytes t0 = GameTable(0), t1 = GameTable(1), t2 = GameTable(2);
    const Bytes file = Cat({Dw(3), t0, t1, t2});
    const size_t end0 = 4 + t0.size(), end1 = end0 + t1.size();
    for (size_t cut = 4; cut < file.size(); ++cut) {
        PutFile(ScoresFile(), Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
        store.LoadHiScores();
        const int whole = cut >= end1 ? 2 : cut >= end0 ? 1 : 0;
        ASSERT_EQ(FilledTables(store), whole) << "cut at " << cut;
        if (whole >= 1) {
            EXPECT_EQ(store.m_hiScoreTables[0].m_lastName, u"Last0");
        }
        // The damaged table has nothing half read in it.
        const CHiScoresDlg& damaged = store.m_hiScoreTables[static_cast<size_t>(whole)];
        EXPECT_TRUE(damaged.m_entries.empty() && damaged.m_lastName.empty()) << "cut at " << cut;
        ASSERT_EQ(Titles(), GameTitles());
    }
}

TEST_F(HiScoreFileTest, AbsurdLengthsAndCountsAreRefusedWithoutReadingOn) {
    const Bytes good = GameTable(0);
    const std::vector<Bytes> damaged = {
        Cat({Str16(u""), Dw(0xFFFFFFFF), Str16(u"one"), Dw(1), Dw(1)}),          // entry count
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 'a'},  // 32-bit length
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,        // 64-bit length
              0, 0, 0, 0x80, 0, 0, 0, 0},
        Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // 64-bit length 2^63
              0, 0, 0, 0, 0, 0, 0, 0x80},
        Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF, 'a', 0},  // 16-bit length past the end
        Bytes{200, 'a', 'b'},                               // 8-bit length past the end
    };
    for (const Bytes& bad : damaged) {
        PutFile(ScoresFile(), Cat({Dw(7), good, bad, GameTable(2)}));
        store.LoadHiScores();
        EXPECT_EQ(FilledTables(store), 1);
        EXPECT_EQ(store.m_hiScoreTables[0].m_lastName, u"Last0");
        EXPECT_EQ(Titles(), GameTitles());
    }
}

TEST_F(HiScoreFileTest, AnOverLongFileIsReadAndWrittenBackWithoutTheTail) {
    Bytes file = Dw(7);
    for (int i = 0; i < 7; ++i) file = Cat({file, GameTable(i)});
    const Bytes canonical = file;
    file = Cat({file, Bytes(1000, 0xAB)});
    PutFile(ScoresFile(), file);
    store.LoadHiScores();
    EXPECT_EQ(FilledTables(store), 7);
    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(GetFile(ScoresFile()), canonical);
    EXPECT_FALSE(std::filesystem::exists(ScoresFile() + ".bad"));
}

TEST_F(HiScoreFileTest, ADamagedFileIsKeptAsideOnceBeforeItIsReplaced) {
    const Bytes file = Cat({Dw(2), GameTable(0), Bytes{0xFF, 0xFE, 0xFF, 9, 'x'}});
    PutFile(ScoresFile(), file);
    store.LoadHiScores();
    EXPECT_FALSE(std::filesystem::exists(ScoresFile() + ".bad"));  // reading alone changes nothing
    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(GetFile(ScoresFile() + ".bad"), file);
    EXPECT_EQ(GetFile(ScoresFile()), Cat({Dw(7), GameTable(0), EmptyTable(), EmptyTable(),
                                          EmptyTable(), EmptyTable(), EmptyTable(), EmptyTable()}));
    // Later saves replace a sound file: the kept copy stays as it is.
    PutFile(ScoresFile() + ".bad", {1, 2, 3});
    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(GetFile(ScoresFile() + ".bad"), (Bytes{1, 2, 3}));
}

TEST_F(HiScoreFileTest, NoFolderToWriteIn) {
    PutFile((dir / "plain").string(), {1});
    store.m_dataDir = (dir / "plain" / "parlour").string() + "/";
    store.m_hiScoreTables[0].m_lastName = u"kept";
    EXPECT_FALSE(store.SaveHiScores());
    ASSERT_EQ(host.Modals().size(), 1u);
    EXPECT_EQ(host.Modals()[0].text, u"can't write scores!");
    EXPECT_EQ(host.Modals()[0].type, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(store.m_hiScoreTables[0].m_lastName, u"kept");
}

TEST_F(HiScoreFileTest, AWriteThatFailsAfterOpeningLeavesTheOldFile) {
    const Bytes old = Cat({Dw(1), GameTable(0)});
    PutFile(ScoresFile(), old);
    store.LoadHiScores();
    Fill(store.m_hiScoreTables[HISCORE_GOLF], {1, 2, 3});
    {
        // Every file this process writes is cut at ten bytes, as on a full disk.
        FileSizeLimit limit(10);
        EXPECT_FALSE(store.SaveHiScores());
    }
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"can't write scores!"});
    EXPECT_EQ(GetFile(ScoresFile()), old);
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(HiScoreFileTest, AReplaceThatFailsLeavesNoTemporaryFile) {
    PutFile(ScoresFile(), Cat({Dw(1), GameTable(0)}));
    // A folder that holds something takes the file's name meanwhile.
    store.m_beforeReplace = [this] {
        std::filesystem::remove(ScoresFile());
        std::filesystem::create_directories(ScoresFile() + "/inside");
    };
    EXPECT_FALSE(store.SaveHiScores());
    EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"can't write scores!"});
    EXPECT_TRUE(std::filesystem::is_directory(ScoresFile() + "/inside"));
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(HiScoreFileTest, WhateverHasTheKeptNameADamagedFileIsMovedAsideUnderAnother) {
    PutFile(ScoresFile(), {9, 9, 9, 9});
    std::filesystem::create_directories(ScoresFile() + ".bad/inside");
    std::filesystem::create_symlink("nowhere", ScoresFile() + ".bad.1");
    Fill(store.m_hiScoreTables[HISCORE_GOLF], {5});
    ASSERT_TRUE(store.SaveHiScores());
    EXPECT_EQ(GetFile(ScoresFile() + ".bad.2"), (Bytes{9, 9, 9, 9}));
    EXPECT_TRUE(std::filesystem::is_directory(ScoresFile() + ".bad/inside"));
    EXPECT_TRUE(std::filesystem::is_symlink(ScoresFile() + ".bad.1"));
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    EXPECT_EQ(Scores(reread.m_hiScoreTables[HISCORE_GOLF]), std::vector<int>{5});
    EXPECT_TRUE(MessageTexts().empty());
}

// Files no program of ours wrote, in place of "Scores.dat": reading them never
// blocks or takes long, and the first save moves them aside as they are.
TEST_F(HiScoreFileTest, HostileFilesAreMovedAsideUnreadAndUncopied) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        bool titles;  // the file could be opened
    };
    const std::vector<Case> cases = {
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, true},
        {"a link to an endless device",
         [](const std::string& p) { fs::create_symlink("/dev/zero", p); }, true},
        {"a link to nowhere", [](const std::string& p) { fs::create_symlink("nowhere", p); },
         false},
        {"a folder", [](const std::string& p) { fs::create_directories(p + "/inside"); }, true},
        {"a sparse gigabyte",
         [](const std::string& p) {
             std::ofstream(p).close();
             fs::resize_file(p, uint64_t{1} << 30);
         },
         true},
        {"five megabytes of one table with a huge entry count",
         [this](const std::string& p) {
             PutFile(p, Cat({Dw(1), Str16(u""), Dw(0xFFFFFFFF), Bytes(5 << 20, 0)}));
         },
         true},
        {"a file nobody may read",
         [this](const std::string& p) {
             PutFile(p, Cat({Dw(1), GameTable(0)}));
             fs::permissions(p, fs::perms::none);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Root reads every file; the link to nowhere stands in for it there.
        if (::geteuid() == 0 && c.what == cases.back().what) continue;
        fs::remove_all(dir);
        fs::create_directories(dir);
        c.make(ScoresFile());
        const fs::file_status before = fs::symlink_status(ScoresFile());
        const uintmax_t size = fs::is_regular_file(before) ? fs::file_size(ScoresFile()) : 0;
        store.LoadHiScores();
        EXPECT_EQ(FilledTables(store), 0);
        EXPECT_EQ(Titles(), c.titles ? GameTitles() : std::vector<CString>(7, u"Hi Scores"));
        Fill(store.m_hiScoreTables[HISCORE_FREECELL], {40});
        ASSERT_TRUE(store.SaveHiScores());
        const fs::file_status kept = fs::symlink_status(ScoresFile() + ".bad");
        EXPECT_EQ(kept.type(), before.type());
        if (size) {
            EXPECT_EQ(fs::file_size(ScoresFile() + ".bad"), size);
        }
        CHiScoreStore reread;
        reread.m_dataDir = store.m_dataDir;
        reread.LoadHiScores();
        EXPECT_EQ(Scores(reread.m_hiScoreTables[HISCORE_FREECELL]), std::vector<int>{40});
        EXPECT_EQ(Leftovers(), std::vector<std::string>{});
    }
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(HiScoreFileTest, LeftoverTemporaryFilesAreNeitherFollowedNorInTheWay) {
    const std::string victim = (dir / "victim").string();
    PutFile(victim, {1, 2, 3});
    // The name older programs always wrote, and names like ours, of programs
    // that died during a save or of someone who meant harm.
    std::filesystem::create_symlink(victim, ScoresFile() + ".tmp");
    std::filesystem::create_symlink(victim,
                                    ScoresFile() + ".tmp." + std::to_string(::getpid()) + ".0");
    std::filesystem::create_directories(ScoresFile() + ".tmp.1.1/inside");
    PutFile(ScoresFile() + ".tmp.2.2", {4});
    for (int round = 0; round < 2; ++round) {
        Enter(store.m_hiScoreTables[HISCORE_GOLF], u"Gil", 7 + round);
        ASSERT_TRUE(store.SaveHiScores());
        EXPECT_EQ(GetFile(victim), (Bytes{1, 2, 3}));
        EXPECT_TRUE(
            std::filesystem::is_regular_file(std::filesystem::symlink_status(ScoresFile())));
        EXPECT_EQ(Leftovers(), std::vector<std::string>{"Scores.dat.tmp.1.1"});
    }
    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    EXPECT_EQ(Scores(reread.m_hiScoreTables[HISCORE_GOLF]), (std::vector<int>{8, 7}));
}

// Two programs, each with a result of its own, save at the same moment: the
// first is held between writing its file and putting it in place while the
// second saves.
TEST_F(HiScoreFileTest, SavesAtTheSameMomentKeepBothResults) {
    PutFile(ScoresFile(), Cat({Dw(7), GameTable(0), GameTable(1), EmptyTable(), EmptyTable(),
                               EmptyTable(), EmptyTable(), EmptyTable()}));
    CHiScoreStore& first = store;
    CHiScoreStore second;
    for (CHiScoreStore* s : {&first, &second}) {
        s->m_dataDir = store.m_dataDir;
        s->LoadHiScores();
    }
    const HiScoreEntry* ann = Enter(first.m_hiScoreTables[HISCORE_KLONDIKE], u"Ann", 75);
    Enter(second.m_hiScoreTables[HISCORE_KLONDIKE], u"Ben", 101);
    Enter(second.m_hiScoreTables[HISCORE_SPIDER], u"Ben", 5);
    // The second program's player cleared Cruel: it stays cleared.
    second.m_hiScoreTables[HISCORE_CRUEL].ClearTable();

    std::atomic<bool> held{false};
    first.m_beforeReplace = [&] {
        held = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    };
    bool firstSaved = false, secondSaved = false;
    std::thread one([&] { firstSaved = first.SaveHiScores(); });
    while (!held) std::this_thread::yield();
    std::thread two([&] { secondSaved = second.SaveHiScores(); });
    one.join();
    two.join();
    EXPECT_TRUE(firstSaved);
    // The second waited a moment and, when that was not enough, left its
    // results to the retry a second later.
    if (!secondSaved) {
        EXPECT_TRUE(second.HasUnsaved());
        host.Wait(1000);
    }
    EXPECT_FALSE(second.HasUnsaved());

    CHiScoreStore reread;
    reread.m_dataDir = store.m_dataDir;
    reread.LoadHiScores();
    const CHiScoresDlg& klondike = reread.m_hiScoreTables[HISCORE_KLONDIKE];
    EXPECT_EQ(Scores(klondike), (std::vector<int>{101, 100, 75, 50}));
    EXPECT_EQ(klondike.m_lastName, u"Ben");
    EXPECT_TRUE(reread.m_hiScoreTables[HISCORE_CRUEL].m_entries.empty());
    EXPECT_EQ(Scores(reread.m_hiScoreTables[HISCORE_SPIDER]), std::vector<int>{5});
    // The first program's tables now show what it wrote, its entry included.
    EXPECT_EQ(Scores(first.m_hiScoreTables[HISCORE_KLONDIKE]), (std::vector<int>{100, 75, 50}));
    EXPECT_EQ(first.m_hiScoreTables[HISCORE_KLONDIKE].IndexOf(ann), 1);
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
    EXPECT_TRUE(MessageTexts().empty());
}

class DataDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) Set(name.c_str(), value ? value->c_str() : nullptr);
    }
    static void Set(const char* name, const char* value) {
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(DataDirTest, XdgDataHomeThenHome) {
    Set("HOME", "/home/jos");
    Set("XDG_DATA_HOME", "/data");
    EXPECT_EQ(DefaultDataDir(), "/data/parlour/");
    Set("XDG_DATA_HOME", "/data/");
    EXPECT_EQ(DefaultDataDir(), "/data/parlour/");
    Set("XDG_DATA_HOME", "");
    EXPECT_EQ(DefaultDataDir(), "/home/jos/.local/share/parlour/");
    Set("XDG_DATA_HOME", "relative/dir");  // not a valid base folder
    EXPECT_EQ(DefaultDataDir(), "/home/jos/.local/share/parlour/");
    Set("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(DefaultDataDir(), "/home/jos/.local/share/parlour/");
}

}  // namespace
