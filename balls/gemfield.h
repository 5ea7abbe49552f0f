// Gemfield: drag a ball onto a neighbouring cell to swap the two. Every
// group of one colour that then holds a run of three or more in a row or a
// column vanishes and scores n(n - 1) for its n balls; the balls above fall
// one row at a time, new balls enter at the top, and the runs that form
// meanwhile score three times as much. A swap that makes no run is taken
// back. The game is over when no swap anywhere could make a run.
#pragma once

#include <utility>

#include "balls/bolgame.h"

class CGemfield : public CBolGame {
public:
    explicit CGemfield(CHiScoresDlg* hiScores);

    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;

    std::vector<BallMove> LegalMoves() override;
    bool DoMove(const BallMove& move) override;
    // The swap that scores most at once; the first of them on a tie.
    std::optional<BallMove> SuggestedMove() override;
    HintText HintWords(const BallMove& move) const override;
    // No run and no swap that makes one.
    bool DealtStuck() override;
    // What the runs of the board would score with the swap made.
    int SwapScore(const BallMove& swap);

    // The dragged ball dropped on cell (col, row).
    void TrySwap(int col, int row);
    // Whether the board holds a run of three or more. Numbers the groups
    // afresh, as FindMatches does.
    bool HasRun();
    // Marks every group holding a run of three or more to vanish and returns
    // their score.
    int FindMatches();
    // The length of the row run (first) and the column run (second) through
    // the cell.
    std::pair<int, int> CountRuns(int col, int row) const;
    // Marks the cell's whole group to vanish; n(n - 1) for its n balls.
    int RemoveRegion(int col, int row);
    // Vanish, fall and refill until no run is left, or kMaxWaves waves.
    void Cascade();
    // Whether some swap of two neighbours would make a run.
    bool HasPossibleMove();

    // Animation timings: 11 frames each of these many milliseconds.
    static constexpr uint32_t kSwapDelay = 25;
    static constexpr uint32_t kVanishDelay = 40;
    static constexpr uint32_t kFallDelay = 15;
    // Waves one swap may set off at most.
    static constexpr int kMaxWaves = 20;

protected:
    // Return picks the focused ball up, or puts it back; an arrow then
    // swaps it with that neighbour.
    void PressFocused() override;
    void ArrowWithPick(int dx, int dy) override;

private:
    // Whether swapping the two balls makes a run, with the lines of three
    // that stand on the board already (a cascade stopped at its wave limit
    // leaves some): a swap changes two cells only, so a run after it passes
    // through one of them or stood there before.
    struct StandingLine {
        int col, row, dc, dr;
        bool Holds(int c, int r) const;
    };
    std::vector<StandingLine> StandingLines() const;
    bool SwapMakesRun(const BallMove& swap, const std::vector<StandingLine>& standing);
    // Whether the cell, still at rest, is part of a row or column run of three.
    bool InRun(int col, int row, const CBol& cell) const;
    void NumberGroupsAfterSwap(CBol& cell, CBol& other);
    void GameOver();
};
