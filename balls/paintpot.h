// Paintpot: the flooded area starts as the top-left ball's group. A tap on a
// ball that touches the area paints the whole area in that ball's colour, so
// it swallows every touching ball of that colour: one step. The game ends
// when the area covers the board; it scores 25 less the steps taken, never
// below 0.
#pragma once

#include <cstdint>

#include "balls/bolgame.h"

class CPaintpot : public CBolGame {
public:
    explicit CPaintpot(CHiScoresDlg* hiScores);

    // A new board; the flooded area is the top-left ball's group, or that
    // ball alone.
    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    // One step, when the tap is on a ball that touches the flooded area.
    void OnLButtonDown(unsigned flags, CPoint point) override;
    std::vector<BallMove> LegalMoves() override;
    bool DoMove(const BallMove& move) override;
    // A tap on a ball of the colour that joins the most balls to the
    // flooded area; the lower colour on a tie.
    std::optional<BallMove> SuggestedMove() override;
    HintText HintWords(const BallMove& move) const override;
    // The balls a step in that colour would join to the flooded area.
    int BallsJoined(uint32_t colour) const;
    // Dealt in one colour: flooded before the first step.
    bool DealtStuck() override { return AllInRegion(kFlooded); }
    CString FocusText() override;

    // Every cell of group label takes the colour word.
    void RecolourRegion(int32_t label, uint32_t word);
    // Invalidates the cells of group label that the colour word would
    // change, and no others.
    void InvalidateRecoloured(int32_t label, uint32_t word);
    bool AllInRegion(int32_t label) const;

    int32_t Steps() const { return m_steps; }

    // The region label of the flooded area.
    static constexpr int32_t kFlooded = 1;
    // A game finished in this many steps or more scores nothing.
    static constexpr int32_t kParSteps = 25;

protected:
    // Return taps the focused ball.
    void PressFocused() override;
    // Whether a tap on the cell makes a step: a ball outside the flooded
    // area that touches it.
    bool Floods(int col, int row) const;
    // The step of a tap on that ball.
    void Step(int col, int row);

    // The flooded area of a new board: the corner's group, or the corner
    // alone.
    void FloodCorner();

    int32_t m_steps = 0;  // steps taken in this game

private:
    // The bar while playing: the time and the steps against the par.
    void ShowSteps();
    void GameOver();
};
