// Klondike: one deck, three cards at a time from the stock, as many passes
// as the player likes, built down in alternating colours and home by suit.
#pragma once

#include <array>

#include "cards/cardgame.h"

class CSolitaire : public CCardgame {
public:
    explicit CSolitaire(CHiScoresDlg* hiScores);
    std::optional<solver::Game> SolverGame() const override { return solver::Game::Klondike; }

    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnUndo() override;

    // DROP_PLACED onto a column, DROP_HOME onto a foundation, else DROP_REFUSED.
    DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) override;
    // Turns three cards from the stock, or the waste back when it is empty.
    void DrawFromStock();

    CCardPile* m_stock;
    CCardPile* m_waste;
    std::array<CCardPile*, 7> m_tableau;
    std::array<CCardPile*, 4> m_foundation;

protected:
    // The stock deals; a face-down column top turns; the other cards lift.
    PressKind PressKindAt(CCardPile* pile, CardPos pos) override;
    // A card from the waste onto the table gets somewhere too: it never
    // goes back.
    int ProgressMeasure() const override {
        return CCardgame::ProgressMeasure() - m_stock->GetCount() - m_waste->GetCount();
    }
    std::optional<bool> ProgressUntried(const CardMove& move) override {
        if (move.kind == MOVE_RUN && move.pile == PileIndex(m_waste)) return true;
        return std::nullopt;
    }
    bool StockComesRoundHere() const override;
    // Stock and waste out, every card face up.
    bool ReadyToFinish() override {
        return m_stock->IsEmpty() && m_waste->IsEmpty() && ColumnsDescend();
    }
    void Tap(CCardPile* pile, CardPos pos) override;
    // On the stock a double tap deals as a tap does.
    bool DoubleTap(CCardPile* pile, CardPos pos) override;

private:
    // Only the three cards turned last fan out in the waste.
    void FanWasteTop();
};
