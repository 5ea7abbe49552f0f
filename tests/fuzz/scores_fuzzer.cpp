// Feeds any bytes to the hi-score reader as "Scores.dat" and checks that what
// it made of them survives a save and a second reading unchanged, byte for
// byte on the next save too; and the same bytes to the statistics reader as
// "Statistics.dat".
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hiscores/hiscore_store.h"
#include "hiscores/statistics_store.h"
#include "platform/host.h"
#include "platform/window.h"

namespace {

// Message boxes are answered at once; no dialog is ever shown here.
class FuzzHost : public Host {
public:
    uint64_t Now() override { return 0; }
    void Sleep(uint32_t) override {}
    int RunModal(CDialog&) override { return IDCANCEL; }
    int MessageBox(const CString&, unsigned) override {
        ++messages;
        return IDOK;
    }
    void Quit(int) override {}
    int messages = 0;
};

// Folders of this process, on a memory file system when there is one, since
// every save flushes to the disk; removed when the process ends.
struct Folders {
    Folders() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "parlour-scores-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        root = pattern;
        read = root / "read";
        saved = root / "saved";
        std::filesystem::create_directories(read);
        std::filesystem::create_directories(saved);
    }
    ~Folders() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::filesystem::path root, read, saved;
};

std::vector<unsigned char> Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckSameTables(const CHiScoreStore& a, const CHiScoreStore& b) {
    for (size_t t = 0; t < a.m_hiScoreTables.size(); ++t) {
        const CHiScoresDlg& x = a.m_hiScoreTables[t];
        const CHiScoresDlg& y = b.m_hiScoreTables[t];
        Check(x.m_title == y.m_title);
        Check(x.m_lastName == y.m_lastName);
        Check(x.m_entries.size() == y.m_entries.size());
        for (size_t i = 0; i < x.m_entries.size(); ++i) {
            Check(x.m_entries[i]->m_name == y.m_entries[i]->m_name);
            Check(x.m_entries[i]->m_score == y.m_entries[i]->m_score);
            Check(x.m_entries[i]->m_seconds == y.m_entries[i]->m_seconds);
        }
    }
}

// A result of this run, as a finished game enters it.
const HiScoreEntry* Enter(CHiScoresDlg& table, int32_t score) {
    auto entry = std::make_unique<HiScoreEntry>();
    entry->m_name = u"fuzz";
    entry->m_score = score;
    const int place = table.RankOf(score);
    return table.InsertEntry(place < 0 ? static_cast<int>(table.m_entries.size()) : place,
                             std::move(entry));
}

// A sound statistics text is written back to the same bytes; any file,
// sound or not, takes a game's figures, and one that was not sound is kept
// aside as Statistics.dat.bad.
void CheckStatistics(const std::vector<unsigned char>& bytes, const std::filesystem::path& dir) {
    StatisticsTable table;
    const bool sound = ReadStatistics(bytes, &table);
    if (sound) {
        const std::vector<unsigned char> written = WriteStatistics(table);
        StatisticsTable again;
        Check(ReadStatistics(written, &again) && again == table);
        Check(written == bytes);
    }
    for (const char* name : {"Statistics.dat", "Statistics.dat.bad"})
        std::filesystem::remove(dir / name);
    {
        std::ofstream out(dir / "Statistics.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    CStatisticsStore store;
    store.m_dataDir = dir.string() + "/";
    store.Load();
    const uint32_t before = store.Figures(u"Klondike").played;
    store.Begin(u"Klondike");
    store.End(u"Klondike", true, 7, 9);
    Check(!store.HasUnsaved());
    const GameFigures after = store.Figures(u"Klondike");
    Check(after.played == before + 1 && after.streak >= 1 && after.bestSeconds.has_value());
    Check(std::filesystem::exists(dir / "Statistics.dat.bad") == !sound);
    StatisticsTable reread;
    Check(ReadStatistics(Contents(dir / "Statistics.dat"), &reread));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzHost host;
    SetHost(&host);
    static const Folders folders;
    for (const auto& p : {folders.read, folders.saved})
        for (const char* name : {"Scores.dat", "Scores.dat.bad"}) std::filesystem::remove(p / name);
    {
        std::ofstream out(folders.read / "Scores.dat", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    CHiScoreStore first;
    first.m_dataDir = folders.read.string() + "/";
    first.LoadHiScores();
    // Whatever was read is written whole.
    first.m_dataDir = folders.saved.string() + "/";
    Check(first.SaveHiScores());

    CHiScoreStore second;
    second.m_dataDir = folders.saved.string() + "/";
    second.LoadHiScores();
    CheckSameTables(first, second);
    // What we write reads back as sound, so saving over it keeps nothing
    // aside, and it is written again to the same bytes.
    const std::vector<unsigned char> saved = Contents(folders.saved / "Scores.dat");
    Check(second.SaveHiScores());
    Check(!std::filesystem::exists(folders.saved / "Scores.dat.bad"));
    Check(Contents(folders.saved / "Scores.dat") == saved);

    // Two programs that read those tables each enter a result and save, one
    // after the other; the first has also cleared a table. Every result
    // survives, the cleared table holds only what was entered after, and the
    // first program's tables show what the file now holds.
    const size_t ours = size % HISCORE_TABLE_COUNT, theirs = (size / 7) % HISCORE_TABLE_COUNT;
    const size_t cleared = (size / 49) % HISCORE_TABLE_COUNT;
    const int32_t score = static_cast<int32_t>(size * 2654435761u);
    const size_t theirsBefore = second.m_hiScoreTables[theirs].m_entries.size();
    CHiScoreStore other;
    other.m_dataDir = second.m_dataDir;
    other.LoadHiScores();
    Enter(other.m_hiScoreTables[theirs], score);
    Check(other.SaveHiScores());
    second.m_hiScoreTables[cleared].ClearTable();
    const HiScoreEntry* mine = Enter(second.m_hiScoreTables[ours], score);
    Check(second.SaveHiScores());
    CHiScoreStore after;
    after.m_dataDir = second.m_dataDir;
    after.LoadHiScores();
    CheckSameTables(second, after);
    Check(second.m_hiScoreTables[ours].IndexOf(mine) >= 0);
    const size_t theirsNow = after.m_hiScoreTables[theirs].m_entries.size();
    Check(theirs == cleared ? theirsNow == (ours == theirs ? 1u : 0u)
                            : theirsNow == theirsBefore + (ours == theirs ? 2u : 1u));
    Check(host.messages == 0);
    CheckStatistics(std::vector<unsigned char>(data, data + size), folders.read);
    return 0;
}
