// A store of hi-score tables in a folder of its own, on the headless host
// with the program's real dialog templates.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "hiscores/hiscore_store.h"
#include "hosts/headless/headless_host.h"
#include "tests/hiscores/handheld_tables.h"

using Bytes = std::vector<unsigned char>;

// Pieces of a hand-made file.
Bytes Dw(uint32_t value);
Bytes Str16(const CString& text);      // the written form
Bytes Str8(const std::string& bytes);  // 8-bit text, short length form
Bytes Cat(std::initializer_list<Bytes> parts);
// A table record whose strings are all in the written form.
struct TestEntry {
    CString name;
    int32_t score;
    int32_t seconds;
};
Bytes Table(const CString& lastName, const std::vector<TestEntry>& entries);
// The bytes of a table with nothing in it.
Bytes EmptyTable();

class HiScoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Answer(const std::string& line);
    void PutFile(const std::string& path, const Bytes& bytes);
    Bytes GetFile(const std::string& path);
    std::string ScoresFile() const { return store.ScoresPath(); }
    // Fills a table with entries of the given scores, best first, named by place.
    void Fill(CHiScoresDlg& table, std::initializer_list<int> scores);
    std::vector<int> Scores(const CHiScoresDlg& table) const;
    // The messages boxes shown so far, by text.
    std::vector<std::u16string> MessageTexts() const;

    std::filesystem::path dir;
    HeadlessHost host;
    CHiScoreStore store;
};
