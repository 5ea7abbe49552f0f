// Spider: 104 cards of one, two or four suits, ten columns, a stock dealt a
// row at a time, and complete suits from king to ace leaving the table. Runs
// of one suit move as a unit onto a card one rank higher of any suit, or onto
// an empty column. Won when every column is empty.
#pragma once

#include <array>

#include "cards/cardgame.h"
#include "platform/dialog.h"

// "Spider settings": how many suits the next deal is made of.
class CSpiderSettingsDlg : public CDialog {
public:
    CSpiderSettingsDlg();
    void DoDataExchange(CDataExchange* dx) override;

    int m_suitChoice = 0;  // 0 "1 Type", 1 "2 Types", 2 "4 Types"
};

class CSpider : public CCardgame {
public:
    explicit CSpider(CHiScoresDlg* hiScores);
    std::optional<solver::Game> SolverGame() const override { return solver::Game::Spider; }

    // Asks for the number of suits, then deals.
    void OnNewGame() override;
    // How the game is played, as the Rules dialog shows it.
    CString Rules() const override;
    // Deals a game of the suits the dialog's choice stands for.
    void Deal(int suitChoice);
    int SuitChoice() const { return m_suitChoice; }
    void OnSize(unsigned type, int cx, int cy) override;

    // Onto a column one rank higher, of any suit, or onto an empty column.
    DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) override;
    // Every card from pos to the top is of pos's suit, each one rank below
    // the card beneath it.
    static bool IsRun(CardPos pos);
    // One face-up card from the stock onto every column.
    void DealRow();
    // Complete suits at the top of the columns go to the completed pile; the
    // game is won when that empties the last column.
    void RemoveCompleteSuits();
    CString PileName(int pile) override;

    CCardPile* m_stock;
    CCardPile* m_completed;
    std::array<CCardPile*, 10> m_tableau;
    int m_suitChoice = 0;  // of the last deal

protected:
    // The stock deals a row; a face-down column top turns; a run of one suit
    // lifts.
    PressKind PressKindAt(CCardPile* pile, CardPos pos) override;
    void Tap(CCardPile* pile, CardPos pos) override;
    void AfterDrop() override { RemoveCompleteSuits(); }
    // A row dealt, and a suit completed, get somewhere.
    std::optional<bool> ProgressUntried(const CardMove& move) override {
        if (move.kind == MOVE_TAP && move.pile == PileIndex(m_stock)) return true;
        return std::nullopt;
    }
    int ProgressMeasure() const override {
        return CCardgame::ProgressMeasure() + m_completed->GetCount();
    }
    // A deal chosen by number, restarted or tried for a win keeps the suits
    // of the one on the table rather than asking again.
    void DealAgain() override { Deal(m_suitChoice); }
    // Spider has no double tap: the second tap of a quick pair is lost.
    bool DoubleTap(CCardPile*, CardPos) override { return false; }
    // Each suit count keeps its own figures.
    CString StatisticsName() const override;
};
