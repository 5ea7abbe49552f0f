#include "tests/app/program_test.h"

#include <unistd.h>

#include "res/resource.h"

void ProgramTest::SetUp() {
    SetResources(ParlourResources());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps runs in other build trees at the same time apart.
    std::string name = std::string("parlour-") + std::to_string(getpid()) + "-" +
                       info->test_suite_name() + "-" + info->name();
    for (char& c : name)
        if (c == '/') c = '-';  // parametrised names
    dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
}

void ProgramTest::TearDown() {
    Stop();
    std::filesystem::remove_all(dir);
}

void ProgramTest::Start() {
    app = std::make_unique<CParlourApp>();
    app->SetDataDir(dir.string() + "/");
    ASSERT_TRUE(app->InitInstance());
}

void ProgramTest::Stop() {
    if (!app) return;
    app->ExitInstance();
    app.reset();
}

void ProgramTest::Command(unsigned id) {
    if (Query(id).m_enabled) Frame().SendCommand(id);
}

void ProgramTest::Answer(const std::string& line) {
    ModalAnswer answer;
    ASSERT_TRUE(ModalAnswer::Parse(line, &answer));
    host.QueueAnswer(answer);
}

void ProgramTest::WriteScoresFile(int table) {
    CHiScoreStore store;
    store.m_dataDir = dir.string() + "/";
    auto entry = std::make_unique<HiScoreEntry>();
    entry->m_name = u"Ann";
    entry->m_score = 1234;
    entry->m_seconds = 95;
    store.m_hiScoreTables[static_cast<size_t>(table)].m_entries.push_back(std::move(entry));
    ASSERT_TRUE(store.SaveHiScores());
}
