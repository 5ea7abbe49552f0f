// A Gemfield view to test the ball board on: hosted on a virtual clock that
// logs every pause, with boards laid out by hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "balls/gemfield.h"
#include "hosts/headless/headless_host.h"

// Logs every Sleep, so a test can see each animation frame's pause.
class SleepLogHost : public HeadlessHost {
public:
    void Sleep(uint32_t milliseconds) override {
        sleeps.push_back(milliseconds);
        HeadlessHost::Sleep(milliseconds);
    }
    std::vector<uint32_t> sleeps;
};

using Words = std::vector<std::vector<uint32_t>>;  // [column][row]

class TestGemfield : public CGemfield {
public:
    TestGemfield() : CGemfield(nullptr) {}
    using CBolGame::m_cells;
    using CBolGame::m_colors;
    using CBolGame::m_cols;
    using CBolGame::m_dragRect;
    using CBolGame::m_hiScores;
    using CBolGame::m_rows;
    using CBolGame::m_score;
    // Makes the board words.size() x words[0].size() and lays the words out.
    void SetBoard(const Words& words, int colors = 9);
    Words Board() const;
    // Every cell, laid out column by column.
    std::vector<CBol*> Cells() const;
};

// A board with no two equal neighbours, of the colours 5..9.
Words Filler(int cols, int rows);

class BolTest : public ::testing::Test {
protected:
    // Cells of 35 x 33 pixels by default: the strip's tiles one to one.
    void SetUp() override;
    void Open(int width, int height);
    // Stylus down in the middle of one cell, up in the middle of another.
    void Drag(int fromCol, int fromRow, int toCol, int toRow);
    CPoint Centre(int col, int row) const;
    // The pixel of strip tile i at (x, y).
    static uint32_t Tile(int i, int x, int y);

    SleepLogHost host;
    CDocument document;
    std::unique_ptr<TestGemfield> view;
};
