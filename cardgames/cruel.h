// Cruel: the aces start at home, the rest lie in twelve squared piles of
// four. Top cards go one at a time onto the next higher card of their suit,
// kings onto empty piles, and home; the stock gathers the piles and deals
// them again in fours, as often as the player likes.
#pragma once

#include <array>

#include "cards/cardgame.h"

class CCruel : public CCardgame {
public:
    explicit CCruel(CHiScoresDlg* hiScores);
    std::optional<solver::Game> SolverGame() const override { return solver::Game::Cruel; }

    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    void OnSize(unsigned type, int cx, int cy) override;

    // DROP_PLACED onto a pile, DROP_HOME onto a foundation, else DROP_REFUSED.
    DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) override;
    // Gathers the piles in order and deals them back in fours; the last pile
    // keeps whatever is left over.
    void Redeal();
    // The empty stock is the redeal button, and read as one.
    CString FocusText() override;
    CString PileName(int pile) override;

    CCardPile* m_stock;
    std::array<CCardPile*, 12> m_tableau;
    std::array<CCardPile*, 4> m_foundation;

protected:
    // The stock redeals; a face-down top card turns; the other top cards lift.
    PressKind PressKindAt(CCardPile* pile, CardPos pos) override;
    void Tap(CCardPile* pile, CardPos pos) override;
    bool ReadyToFinish() override { return ColumnsDescend(); }
    // A redeal gets somewhere only when it changes the layout.
    std::optional<bool> ProgressUntried(const CardMove& move) override;
    // A redeal's table: laid out, keyed and laid back.
    bool WithUntriedLaidOut(const CardMove& move, const std::function<void()>& laidOut) override;
    // Which pile holds a card matters to the redeal.
    bool ColumnsInterchangeable() const override { return false; }

private:
    using PileCounts = std::array<int, 12>;
    // How many cards each pile holds now, and after a redeal: fours from the
    // first pile on, the last pile taking what is left over.
    PileCounts CountsNow() const;
    PileCounts CountsAfterRedeal() const;
    // Gathers the piles in order and lays them out again in these sizes,
    // every card keeping its state; nothing is recorded.
    void LayOut(const PileCounts& counts);
    bool IsRedeal(const CardMove& move) const;
    // Whether a redeal would lay the piles out otherwise than they lie.
    bool RedealChanges() const { return CountsNow() != CountsAfterRedeal(); }
};
