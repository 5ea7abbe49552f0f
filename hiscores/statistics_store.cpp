#include "hiscores/statistics_store.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "platform/file.h"
#include "platform/host.h"

namespace {

constexpr std::string_view kFirstLine = "Parlour statistics 1";
// A few hundred games and settings take some kilobytes; more is not ours.
constexpr size_t kMaxFileSize = 1 << 20;
constexpr uint32_t kLockWaitMs = 200;
constexpr uint32_t kExitLockWaitMs = 60000;
constexpr const char* kTemporaryMark = ".tmp.";

CStatisticsStore* g_store = nullptr;

std::string Number(const auto& value) {
    return value ? std::to_string(*value) : std::string("-");
}

template <class T>
bool Parse(std::string_view word, T* value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
    // Written as we write it: no leading zeros, no "-0".
    return !word.empty() && error == std::errc() && end == word.data() + word.size() &&
           std::to_string(*value) == word;
}

template <class T>
bool ParseBest(std::string_view word, std::optional<T>* value) {
    if (word == "-") {
        value->reset();
        return true;
    }
    T parsed{};
    if (!Parse(word, &parsed)) return false;
    *value = parsed;
    return true;
}

std::vector<std::string_view> Split(std::string_view line, char at) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = line.find(at, start);
        parts.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool IsName(std::string_view name) {
    // A name is one cell of a line: not empty, no tab, no line break.
    return !name.empty() && name.find_first_of("\t\n\r") == std::string_view::npos;
}

}  // namespace

std::vector<unsigned char> WriteStatistics(const StatisticsTable& table) {
    std::string text(kFirstLine);
    text += '\n';
    for (const auto& [name, f] : table) {
        if (!IsName(name)) continue;
        text.append(name).append("\t").append(std::to_string(f.played));
        for (const std::string& cell :
             {std::to_string(f.won), std::to_string(f.streak), std::to_string(f.longest),
              Number(f.bestSeconds), Number(f.bestScore)})
            text.append("\t").append(cell);
        text += '\n';
    }
    return {text.begin(), text.end()};
}

bool ReadStatistics(const std::vector<unsigned char>& bytes, StatisticsTable* table) {
    table->clear();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (text.empty() || text.back() != '\n') return false;
    std::vector<std::string_view> lines = Split(text.substr(0, text.size() - 1), '\n');
    if (lines.front() != kFirstLine) return false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> cells = Split(lines[i], '\t');
        GameFigures f;
        // One line a game, in the order of their names, as we write them.
        if (cells.size() != 7 || !IsName(cells[0]) ||
            (!table->empty() && table->rbegin()->first >= cells[0]) ||
            !Parse(cells[1], &f.played) || !Parse(cells[2], &f.won) ||
            !Parse(cells[3], &f.streak) || !Parse(cells[4], &f.longest) ||
            !ParseBest(cells[5], &f.bestSeconds) || !ParseBest(cells[6], &f.bestScore))
            return false;
        // Figures that cannot all be true of one player's games are damage.
        if (f.won > f.played || f.streak > f.longest || f.longest > f.won ||
            (f.won > 0) != f.bestSeconds.has_value())
            return false;
        (*table)[std::string(cells[0])] = f;
    }
    return true;
}

void SetStatisticsStore(CStatisticsStore* store) {
    g_store = store;
}

CStatisticsStore* StatisticsStore() {
    return g_store;
}

void CStatisticsStore::Apply(const Event& event, StatisticsTable* table) {
    if (event.kind == Event::reset) {
        table->erase(event.game);
        return;
    }
    GameFigures& f = (*table)[event.game];
    if (event.kind == Event::begin) {
        ++f.played;
        return;
    }
    if (!event.won) {
        f.streak = 0;
    } else {
        // A game begun in a run before a reset is not counted twice.
        f.played = std::max(f.played, f.won + 1);
        ++f.won;
        f.longest = std::max(f.longest, ++f.streak);
        f.bestSeconds = std::min(f.bestSeconds.value_or(event.seconds), event.seconds);
    }
    if (event.won || event.score > 0)
        f.bestScore = std::max(f.bestScore.value_or(event.score), event.score);
}

void CStatisticsStore::Load() {
    std::vector<unsigned char> bytes;
    if (ReadSmallFile(Path(), kMaxFileSize, &bytes) != FileRead::read ||
        !ReadStatistics(bytes, &m_table))
        m_table.clear();
}

void CStatisticsStore::Begin(const CString& game) {
    m_pending.push_back({Event::begin, ToUtf8(game)});
    Save(kLockWaitMs);
}

void CStatisticsStore::End(const CString& game, bool won, uint32_t seconds, int32_t score) {
    m_pending.push_back({Event::end, ToUtf8(game), won, seconds, score});
    Save(kLockWaitMs);
}

void CStatisticsStore::Reset(const CString& game) {
    m_pending.push_back({Event::reset, ToUtf8(game)});
    Save(kLockWaitMs);
}

GameFigures CStatisticsStore::Figures(const CString& game) const {
    StatisticsTable table = m_table;
    for (const Event& event : m_pending) Apply(event, &table);
    const auto found = table.find(ToUtf8(game));
    return found == table.end() ? GameFigures() : found->second;
}

void CStatisticsStore::SaveBeforeExit() {
    if (!m_pending.empty()) Save(kExitLockWaitMs);
}

void CStatisticsStore::Save(uint32_t lockWaitMs) {
    if (!m_dataDir.empty() && !CreateDirectories(m_dataDir)) return;
    CFileLock lock;
    if (lock.Lock(Path() + ".lock", lockWaitMs) != CFileLock::locked) return;
    const std::string path = FileBehindLink(Path());
    // Temporary files left by a program that died in a save: once a run is
    // enough, ours are never left behind.
    if (!m_swept) {
        const std::string stale = std::string("Statistics.dat") + kTemporaryMark;
        for (const std::string& name : FolderEntries(m_dataDir.empty() ? "." : m_dataDir))
            if (name.rfind(stale, 0) == 0) RemoveFile(m_dataDir + name);
        m_swept = true;
    }

    std::vector<unsigned char> bytes;
    const FileRead read = ReadSmallFile(path, kMaxFileSize, &bytes);
    StatisticsTable table;
    const bool damaged =
        read != FileRead::missing && (read != FileRead::read || !ReadStatistics(bytes, &table));
    if (damaged) table.clear();  // a file that is not sound starts afresh
    const StatisticsTable before = table;
    for (const Event& event : m_pending) Apply(event, &table);
    // A game given up with no streak to break and no best beaten changes
    // nothing: the file stays as it is, and no write waits for the disk.
    if (read == FileRead::read && !damaged && table == before) {
        m_table = std::move(table);
        m_pending.clear();
        return;
    }
    bytes = WriteStatistics(table);
    const std::string temp = WriteTemporaryFile(path + kTemporaryMark, bytes, path);
    if (temp.empty()) return;
    // A damaged file is moved aside, never thrown away.
    if ((damaged && MoveToFreeName(path, path + ".bad").empty()) || !ReplaceFile(temp, path)) {
        RemoveFile(temp);
        return;
    }
    m_table = std::move(table);
    m_pending.clear();
}
