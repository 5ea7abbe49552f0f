// Golf: seven columns of five, all face up. A column's top card goes onto
// the waste when it is one rank above or below the waste's top card, suits
// ignored, an ace and a king not adjacent, nothing on a king; the stock
// turns one card at a time. Won when every card lies on the waste.
#pragma once

#include <array>

#include "cards/cardgame.h"

class CGolf : public CCardgame {
public:
    explicit CGolf(CHiScoresDlg* hiScores);
    std::optional<solver::Game> SolverGame() const override { return solver::Game::Golf; }

    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    void OnSize(unsigned type, int cx, int cy) override;

    // Turns the stock's top card onto the waste.
    void DealToWaste();
    // Plays a column's top card onto the waste when it fits: 10 points.
    void PlayToWaste(CCardPile* column, CCard* card);
    void CheckWin();

    CCardPile* m_stock;
    CCardPile* m_waste;
    std::array<CCardPile*, 7> m_tableau;

protected:
    // Golf is played by tapping alone, and a double tap is two taps: the
    // stock turns a card, a column's top card that fits plays.
    PressKind PressKindAt(CCardPile* pile, CardPos pos) override;
    void Tap(CCardPile* pile, CardPos pos) override;
    bool DoubleTap(CCardPile* pile, CardPos pos) override;
    CString WhyNotPressed(CCardPile* pile, CardPos pos) override;
    // A column's card plays onto the waste.
    CCardPile* TapTarget(const CCardPile* pile) override {
        return pile->m_kind == PILE_TABLEAU ? m_waste : nullptr;
    }
    // Every move plays a card or turns the stock: each gets somewhere.
    std::optional<bool> ProgressUntried(const CardMove&) override { return true; }

private:
    // Whether card may go onto the waste's top card.
    bool FitsWaste(const CCard& card) const;
};
