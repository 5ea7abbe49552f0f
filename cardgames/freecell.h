// Freecell: the whole deck face up in eight columns, four free cells of one
// card each, four foundations built up by suit from the ace. A run in
// alternating colours moves as a unit onto a card of the other colour one
// rank higher, or a king's run onto an empty column.
#pragma once

#include <array>

#include "cards/cardgame.h"

class CFreecell : public CCardgame {
public:
    explicit CFreecell(CHiScoresDlg* hiScores);
    std::optional<solver::Game> SolverGame() const override { return solver::Game::Freecell; }

    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    void OnSize(unsigned type, int cx, int cy) override;

    // DROP_PLACED onto a column or a free cell, DROP_HOME onto a foundation,
    // else DROP_REFUSED.
    DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) override;
    CString PileName(int pile) override;

    std::array<CCardPile*, 8> m_tableau;
    std::array<CCardPile*, 4> m_foundation;  // foundation 0 is the rightmost
    std::array<CCardPile*, 4> m_freeCell;

protected:
    // A free cell's card and a run in alternating colours lift; cards never
    // leave a foundation.
    PressKind PressKindAt(CCardPile* pile, CardPos pos) override;
    // Every column in order: the free cells hold nothing that could block.
    bool ReadyToFinish() override { return ColumnsDescend(); }
    // An empty free cell or column always takes a card, which shows the
    // card under it.
    bool MightBeStuck() override;
};
