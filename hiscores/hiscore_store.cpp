#include "hiscores/hiscore_store.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <unordered_map>

namespace {

// Files written before ours held between one and nine tables; we read at most
// the seven games we have.
constexpr uint32_t kMaxTableCount = 9;
// Real tables take a few kilobytes; anything this large is not ours. No save
// writes a larger file, which the next start would refuse.
constexpr size_t kMaxFileSize = 4 << 20;
// How long a save waits for another program's save before it leaves its
// results for a retry: a save takes milliseconds, and the window waits too.
constexpr uint32_t kLockWaitMs = 200;
constexpr uint32_t kRetryMs = 1000;
// At the end of the run nothing waits on the window any more; only a program
// stopped while saving takes this long.
constexpr uint32_t kExitLockWaitMs = 60000;
// Each save writes "Scores.dat.tmp.<pid>.<n>", a name of its own.
constexpr const char* kTemporaryMark = ".tmp.";

uint32_t Dword(const unsigned char* b) {
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

std::string DefaultDataDir() {
    // A relative XDG_DATA_HOME is to be ignored, as an unset one.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return WithSlash(xdg) + "parlour/";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return WithSlash(home) + ".local/share/parlour/";
    return "parlour/";
}

// A window of no size, only for the timer that retries a deferred save.
class CHiScoreStore::RetryWindow : public CWnd {
public:
    explicit RetryWindow(CHiScoreStore* store) : m_store(store) {}
    void OnTimer(uintptr_t) override { m_store->RetrySave(); }

private:
    CHiScoreStore* m_store;
};

CHiScoreStore::CHiScoreStore() {
    for (CHiScoresDlg& table : m_hiScoreTables) table.SetStore(this);
}

CHiScoreStore::~CHiScoreStore() = default;

void CHiScoreStore::DeleteAllEntries() {
    for (CHiScoresDlg& table : m_hiScoreTables) table.DeleteAllEntries();
}

// The tables as a file holds them, and what kind of file it was.
struct CHiScoreStore::FileTables {
    FileRead read = FileRead::missing;
    bool damaged = false;  // there, but not a sound file of ours
    bool empty = true;     // no bytes at all
    std::array<CString, HISCORE_TABLE_COUNT> lastNames;
    std::array<HiScoreEntries, HISCORE_TABLE_COUNT> entries;

    explicit FileTables(const std::string& path) {
        std::vector<unsigned char> bytes;
        read = ReadSmallFile(path, kMaxFileSize, &bytes);
        damaged = read != FileRead::read && read != FileRead::missing;
        if (read != FileRead::read || bytes.empty()) return;
        empty = false;
        if (bytes.size() < 4) {
            damaged = true;
            return;
        }
        const uint32_t count = Dword(bytes.data());
        if (count < 1 || count > kMaxTableCount) {
            damaged = true;
            return;
        }
        bytes.erase(bytes.begin(), bytes.begin() + 4);
        CArchive ar(bytes);
        const size_t tables = std::min<size_t>(count, HISCORE_TABLE_COUNT);
        for (size_t i = 0; i < tables; ++i) {
            CString lastName;
            HiScoreEntries record;
            try {
                CHiScoresDlg::ReadRecord(ar, &lastName, &record);
            } catch (const CArchiveException&) {
                // This table and the ones after it stay empty.
                damaged = true;
                return;
            }
            lastNames[i] = std::move(lastName);
            entries[i] = std::move(record);
        }
    }
    bool Opened() const { return read != FileRead::missing && read != FileRead::unreadable; }
    bool Sound() const { return read == FileRead::read && !damaged; }
};

bool CHiScoreStore::HoldsHiScores(const std::string& path) {
    const FileTables file(path);
    return file.Sound() && !file.empty;
}

void CHiScoreStore::LoadHiScores() {
    FileTables file(ScoresPath());
    for (size_t i = 0; i < m_hiScoreTables.size(); ++i) {
        CHiScoresDlg& table = m_hiScoreTables[i];
        table.m_entries = std::move(file.entries[i]);
        table.m_lastName = std::move(file.lastNames[i]);
        table.m_highlight = 0;
        table.m_title = file.Opened() && m_titles[i] ? m_titles[i] : u"Hi Scores";
        table.m_unsaved.clear();
        table.m_cleared = false;
    }
}

void CHiScoreStore::RemoveStaleTemporaries() const {
    // Only called under the lock: no other save is writing one now, so any
    // temporary file there is left over from a program that died in a save.
    const std::string stale = std::string("Scores.dat") + kTemporaryMark;
    const std::string legacy = "Scores.dat.tmp";
    for (const std::string& name : FolderEntries(m_dataDir.empty() ? "." : m_dataDir))
        if (name.rfind(stale, 0) == 0 || name == legacy) RemoveFile(m_dataDir + name);
}

bool CHiScoreStore::SaveHiScores() {
    const Saved saved = Save(kLockWaitMs);
    const bool retry = saved == Saved::busy && HasHost();
    if (retry && !m_retry) {
        m_retry = std::make_unique<RetryWindow>(this);
        m_retry->Create(CRect(), 0);
    }
    if (m_retry) {
        if (retry)
            m_retry->SetTimer(1, kRetryMs);
        else
            m_retry->KillTimer(1);
    }
    if (saved == Saved::failed) AfxMessageBox(u"can't write scores!", MB_OK);
    return saved == Saved::yes;
}

void CHiScoreStore::RetrySave() {
    const Saved saved = Save(0);
    if (saved == Saved::busy) return;
    m_retry->KillTimer(1);
    if (saved == Saved::failed) AfxMessageBox(u"can't write scores!", MB_OK);
}

bool CHiScoreStore::HasUnsaved() const {
    return std::any_of(m_hiScoreTables.begin(), m_hiScoreTables.end(),
                       [](const CHiScoresDlg& t) { return !t.m_unsaved.empty() || t.m_cleared; });
}

void CHiScoreStore::SaveBeforeExit() {
    if (m_retry) m_retry->KillTimer(1);
    if (HasUnsaved() && Save(kExitLockWaitMs) != Saved::yes)
        AfxMessageBox(u"can't write scores!", MB_OK);
}

CHiScoreStore::Saved CHiScoreStore::Save(uint32_t lockWaitMs) {
    if (!m_dataDir.empty() && !CreateDirectories(m_dataDir)) return Saved::failed;
    CFileLock lock;
    switch (lock.Lock(m_dataDir + "Scores.dat.lock", lockWaitMs)) {
        case CFileLock::locked:
            break;
        case CFileLock::busy:
            return Saved::busy;
        case CFileLock::failed:
            return Saved::failed;
    }
    RemoveStaleTemporaries();

    // Another program may have saved since this one read the file: its results
    // are kept and ours added to them. A link to the file (into a synced
    // folder, say) stays: the file it leads to is the one replaced, in its own
    // folder.
    const std::string path = FileBehindLink(ScoresPath());
    FileTables file(path);
    const Merged merged = MergeWith(file);

    std::vector<unsigned char> bytes;
    CArchive ar(&bytes);
    ar << static_cast<uint32_t>(HISCORE_TABLE_COUNT);
    for (size_t t = 0; t < merged.rows.size(); ++t)
        CHiScoresDlg::WriteRecord(ar, merged.lastNames[t], merged.rows[t]);

    if (bytes.size() > kMaxFileSize) return Saved::failed;

    // The new file is whole on disk before it takes the old one's name, so a
    // crash or a full disk never leaves a damaged or empty file behind.
    const std::string temp = WriteTemporaryFile(path + kTemporaryMark, bytes, path);
    if (temp.empty()) return Saved::failed;
    if (m_beforeReplace) m_beforeReplace();
    // A damaged file is not ours to throw away: it is moved aside, never
    // copied, so keeping it costs no space and cannot fail half way; one kept
    // before, or anything else there, keeps its name.
    if ((file.damaged && MoveToFreeName(path, path + ".bad").empty()) || !ReplaceFile(temp, path)) {
        RemoveFile(temp);
        return Saved::failed;
    }

    // The tables now show what the file holds.
    TakeRows(&file, merged);
    for (CHiScoresDlg& table : m_hiScoreTables) {
        table.m_unsaved.clear();
        table.m_cleared = false;
    }
    return Saved::yes;
}

CHiScoreStore::Merged CHiScoreStore::MergeWith(const FileTables& file) const {
    // With no sound file there is nothing of anyone else's to keep.
    Merged merged;
    for (size_t t = 0; t < m_hiScoreTables.size(); ++t) {
        const CHiScoresDlg& table = m_hiScoreTables[t];
        std::vector<const HiScoreEntry*>& rows = merged.rows[t];
        if (!file.Sound() || table.m_cleared) {
            merged.lastNames[t] = table.m_lastName;
            for (const auto& entry : table.m_entries) rows.push_back(entry.get());
            continue;
        }
        merged.lastNames[t] = table.m_unsaved.empty() ? file.lastNames[t] : table.m_lastName;
        for (const auto& entry : file.entries[t]) rows.push_back(entry.get());
        for (const HiScoreEntry* ours : table.m_unsaved) {
            // Below every equal or better score; kept even where the table
            // would refuse it now, since the player has been told its place.
            auto at = std::find_if(rows.begin(), rows.end(), [&](const HiScoreEntry* e) {
                return e->m_score < ours->m_score;
            });
            rows.insert(at, ours);
        }
    }
    return merged;
}

void CHiScoreStore::TakeRows(FileTables* file, const Merged& merged) {
    for (size_t t = 0; t < m_hiScoreTables.size(); ++t) {
        CHiScoresDlg& table = m_hiScoreTables[t];
        std::unordered_map<const HiScoreEntry*, std::unique_ptr<HiScoreEntry>> owners;
        for (auto* from : {&table.m_entries, &file->entries[t]})
            for (auto& entry : *from) owners[entry.get()] = std::move(entry);
        HiScoreEntries rows;
        for (const HiScoreEntry* row : merged.rows[t]) rows.push_back(std::move(owners[row]));
        table.m_entries = std::move(rows);
    }
}

void CHiScoreStore::Refresh() {
    FileTables file(FileBehindLink(ScoresPath()));
    if (!file.Sound()) return;
    // The row shown lit stays lit where it went, found by what it says: a
    // row this run has saved is read back from the file as a new one.
    std::array<std::optional<HiScoreEntry>, HISCORE_TABLE_COUNT> lit;
    for (size_t t = 0; t < m_hiScoreTables.size(); ++t) {
        const CHiScoresDlg& table = m_hiScoreTables[t];
        if (table.m_highlight >= 0 &&
            static_cast<size_t>(table.m_highlight) < table.m_entries.size())
            lit[t] = *table.m_entries[static_cast<size_t>(table.m_highlight)];
    }
    TakeRows(&file, MergeWith(file));
    for (size_t t = 0; t < m_hiScoreTables.size(); ++t) {
        CHiScoresDlg& table = m_hiScoreTables[t];
        const auto same =
            std::find_if(table.m_entries.begin(), table.m_entries.end(), [&](const auto& entry) {
                return lit[t] && entry->m_name == lit[t]->m_name &&
                       entry->m_score == lit[t]->m_score && entry->m_seconds == lit[t]->m_seconds;
            });
        table.m_highlight = same == table.m_entries.end()
                                ? 0
                                : static_cast<int32_t>(same - table.m_entries.begin());
    }
}
