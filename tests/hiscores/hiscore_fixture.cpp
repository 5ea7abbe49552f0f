#include "tests/hiscores/hiscore_fixture.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "res/resource.h"

Bytes Dw(uint32_t value) {
    return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

Bytes Str16(const CString& text) {
    const size_t n = text.size();
    Bytes length;
    if (n < 0xFF)
        length = {static_cast<unsigned char>(n)};
    else if (n < 0xFFFE)
        length = {0xFF, static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8)};
    else
        length = Cat({{0xFF, 0xFF, 0xFF}, Dw(static_cast<uint32_t>(n))});
    Bytes units(2 * n);
    for (size_t i = 0; i < n; ++i) {
        units[2 * i] = static_cast<unsigned char>(text[i]);
        units[2 * i + 1] = static_cast<unsigned char>(text[i] >> 8);
    }
    return Cat({{0xFF, 0xFE, 0xFF}, length, units});
}

Bytes Str8(const std::string& bytes) {
    Bytes out(1 + bytes.size());
    out[0] = static_cast<unsigned char>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), out.begin() + 1);
    return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Table(const CString& lastName, const std::vector<TestEntry>& entries) {
    Bytes out = Cat({Str16(lastName), Dw(static_cast<uint32_t>(entries.size()))});
    for (const TestEntry& e : entries)
        out = Cat({out, Str16(e.name), Dw(static_cast<uint32_t>(e.score)),
                   Dw(static_cast<uint32_t>(e.seconds))});
    return out;
}

Bytes EmptyTable() {
    return Table(u"", {});
}

void HiScoreTest::SetUp() {
    SetResources(ParlourResources());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps runs in other build trees at the same time apart.
    dir = std::filesystem::temp_directory_path() /
          (std::string("parlour-hiscores-") + std::to_string(getpid()) + "-" +
           info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    store.m_dataDir = dir.string() + "/";
    store.m_titles = kHandheldHiScoreTitles;
}

void HiScoreTest::TearDown() {
    std::filesystem::remove_all(dir);
}

void HiScoreTest::Answer(const std::string& line) {
    ModalAnswer answer;
    ASSERT_TRUE(ModalAnswer::Parse(line, &answer)) << line;
    host.QueueAnswer(answer);
}

void HiScoreTest::PutFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes HiScoreTest::GetFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void HiScoreTest::Fill(CHiScoresDlg& table, std::initializer_list<int> scores) {
    table.DeleteAllEntries();
    for (int score : scores) {
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = FormatString("P%zu", table.m_entries.size() + 1);
        entry->m_score = score;
        entry->m_seconds = 60;
        table.m_entries.push_back(std::move(entry));
    }
}

std::vector<int> HiScoreTest::Scores(const CHiScoresDlg& table) const {
    std::vector<int> scores;
    for (const auto& entry : table.m_entries) scores.push_back(entry->m_score);
    return scores;
}

std::vector<std::u16string> HiScoreTest::MessageTexts() const {
    std::vector<std::u16string> texts;
    for (const ModalRecord& m : host.Modals())
        if (m.isMessageBox) texts.push_back(m.text);
    return texts;
}
