#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cards/cardpile.h"
#include "hosts/headless/headless_host.h"
#include "tests/cards/test_table.h"

namespace {

std::vector<int> Indices(const CCardPile& pile) {
    std::vector<int> out;
    for (const auto& card : pile.GetCards()) out.push_back(card->m_index);
    return out;
}

std::vector<uint32_t> States(const CCardPile& pile) {
    std::vector<uint32_t> out;
    for (const auto& card : pile.GetCards()) out.push_back(card->m_state);
    return out;
}

void Put(CCardPile& pile, std::initializer_list<int> indices, uint32_t state = 0) {
    for (int index : indices) pile.AddCard(std::make_unique<CCard>(index))->m_state = state;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> out;
    for (int i = first; i <= last; ++i) out.push_back(i);
    return out;
}

class PileTest : public ::testing::Test {
protected:
    TestCardImages images;
    HeadlessHost host{100000};
    CCardPile a{PILE_TABLEAU};
    CCardPile b{PILE_TABLEAU};
};

}  // namespace

TEST(Card, ColourAndRankAtTheSuitBoundaries) {
    const CCard kingClubs(12), aceDiamonds(13), kingHearts(38), aceSpades(39), queenDiamonds(24);
    EXPECT_FALSE(kingClubs.IsSameColour(aceDiamonds));
    EXPECT_TRUE(kingClubs.IsSameColour(aceSpades));
    EXPECT_TRUE(aceDiamonds.IsSameColour(kingHearts));
    EXPECT_FALSE(kingHearts.IsSameColour(aceSpades));
    EXPECT_EQ(kingClubs.RankDiff(queenDiamonds), 1);
    EXPECT_EQ(queenDiamonds.RankDiff(kingClubs), -1);
    EXPECT_EQ(aceDiamonds.RankDiff(kingClubs), -12);
    EXPECT_TRUE(kingClubs.IsKing());
    EXPECT_TRUE(aceDiamonds.IsAce());
    EXPECT_FALSE(CCard(51).IsAce());
    EXPECT_TRUE(CCard(51).IsKing());
    EXPECT_FALSE(kingClubs.IsSameSuit(aceDiamonds));
    EXPECT_TRUE(aceDiamonds.IsSameSuit(queenDiamonds));
    EXPECT_EQ(CCard(38).Suit(), 2);
    EXPECT_EQ(CCard(39).Suit(), 3);
}

TEST_F(PileTest, FanStepsComeFromTheCardMetricsByKind) {
    EXPECT_EQ(a.m_faceUpStep, 9);
    EXPECT_EQ(a.m_faceDownStep, 2);
    EXPECT_EQ(CCardPile(PILE_WASTE).m_faceUpStep, 5);
    EXPECT_EQ(CCardPile(PILE_FOUNDATION).m_faceUpStep, 9);
    EXPECT_EQ(a.m_showDeal, 0);
}

TEST_F(PileTest, BuildDeckHonoursDecksSuitsAndTheExcludedRank) {
    a.BuildDeck(1, 15, -1);
    EXPECT_EQ(Indices(a), Range(0, 51));
    EXPECT_EQ(States(a), std::vector<uint32_t>(52, 0u));

    a.BuildDeck(1, 15, 0);
    ASSERT_EQ(a.GetCount(), 48);
    for (int index : Indices(a)) EXPECT_NE(index % 13, 0);
    EXPECT_EQ(a.BottomCard()->m_index, 1);
    EXPECT_EQ(a.TopCard()->m_index, 51);

    a.BuildDeck(2, 1, -1);
    std::vector<int> twice = Range(0, 12);
    twice.insert(twice.end(), twice.begin(), twice.end());
    EXPECT_EQ(Indices(a), twice);

    a.BuildDeck(1, 4 | 8, 12);
    std::vector<int> expected;
    for (int i = 26; i < 52; ++i)
        if (i % 13 != 12) expected.push_back(i);
    EXPECT_EQ(Indices(a), expected);

    a.BuildDeck(0, 15, -1);
    EXPECT_TRUE(a.IsEmpty());
}

TEST_F(PileTest, ShuffleDependsOnTheTickAlone) {
    a.BuildDeck(1, 15, -1);
    a.Shuffle();
    b.BuildDeck(1, 15, -1);
    b.Shuffle();  // same tick: same deal
    EXPECT_EQ(Indices(a), Indices(b));
    std::vector<int> sorted = Indices(a);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, Range(0, 51));
    EXPECT_NE(Indices(a), Range(0, 51));

    // The deal of tick 100000, pinned: the generator and the passes decide it.
    const std::vector<int> deal = Indices(a);
    const std::vector<int> top(deal.end() - 5, deal.end());
    EXPECT_EQ(top, (std::vector<int>{0, 9, 36, 51, 30}));

    host.Wait(1);
    b.BuildDeck(1, 15, -1);
    b.Shuffle();
    EXPECT_NE(Indices(a), Indices(b));
}

TEST_F(PileTest, ShuffleLeavesAOneCardOrEmptyPileAlone) {
    Put(a, {17}, CARD_FACEDOWN);
    CCard* only = a.TopCard();
    a.Shuffle();
    EXPECT_EQ(a.TopCard(), only);
    EXPECT_EQ(only->m_index, 17);
    EXPECT_EQ(only->m_state, CARD_FACEDOWN);
    b.Shuffle();
    EXPECT_TRUE(b.IsEmpty());
}

TEST_F(PileTest, MoveTopCardsReversesSetsFacesAndCountsWhatMoved) {
    Put(a, {3, 4}, CARD_DRAGGED);
    Put(b, {40});
    auto move = a.MoveTopCards(&b, false, 3);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->m_kind, UNDO_MOVE_TOP);
    EXPECT_EQ(move->m_count, 2);
    EXPECT_EQ(move->m_from, &a);
    EXPECT_EQ(move->m_to, &b);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(Indices(b), (std::vector<int>{40, 4, 3}));
    EXPECT_EQ(States(b), (std::vector<uint32_t>{0, CARD_FACEDOWN, CARD_FACEDOWN}));

    auto back = b.MoveTopCards(&a, true, 1);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_count, 1);
    EXPECT_EQ(States(a), std::vector<uint32_t>{0});
    EXPECT_EQ(b.TopCard()->m_state, CARD_FACEDOWN);  // a column's new top is left as it was

    // Nothing to move, or nothing asked for: no record, nothing changed.
    CCardPile empty(PILE_STOCK);
    EXPECT_FALSE(empty.MoveTopCards(&a, true, 1));
    EXPECT_FALSE(b.MoveTopCards(&a, true, 0));
    EXPECT_FALSE(b.MoveTopCards(&b, true, 1));
    EXPECT_EQ(Indices(b), (std::vector<int>{40, 4}));
}

TEST_F(PileTest, MoveTopCardsOutOfAWasteFansItsNewTopCard) {
    CCardPile waste(PILE_WASTE);
    Put(waste, {1, 2, 3}, CARD_FACEDOWN);
    auto move = waste.MoveTopCards(&a, true, 1);
    ASSERT_TRUE(move);
    EXPECT_EQ(States(waste), (std::vector<uint32_t>{CARD_FACEDOWN, 0}));
    EXPECT_EQ(a.TopCard()->m_index, 3);
}

TEST_F(PileTest, MoveRunKeepsOrderAndStates) {
    Put(a, {10}, CARD_FACEDOWN);
    Put(a, {20, 21});
    a.TopCard()->m_state = CARD_DRAGGED;
    auto move = a.MoveRun(&b, a.Bottom());
    ASSERT_TRUE(move);
    EXPECT_EQ(move->m_kind, UNDO_MOVE_RUN);
    EXPECT_EQ(move->m_count, 3);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(Indices(b), (std::vector<int>{10, 20, 21}));
    EXPECT_EQ(States(b), (std::vector<uint32_t>{CARD_FACEDOWN, 0, CARD_DRAGGED}));

    auto part = b.MoveRun(&a, b.FromTop(1));
    ASSERT_TRUE(part);
    EXPECT_EQ(part->m_count, 2);
    EXPECT_EQ(Indices(a), (std::vector<int>{20, 21}));
    EXPECT_EQ(Indices(b), std::vector<int>{10});

    EXPECT_FALSE(b.MoveRun(&a, CardPos()));
    EXPECT_FALSE(b.MoveRun(&a, a.Top()));  // a position of another pile
    EXPECT_EQ(Indices(b), std::vector<int>{10});
}

TEST_F(PileTest, SetAllStatesAssignsTheWholeWord) {
    Put(a, {1, 2});
    a.TopCard()->m_state = CARD_DRAGGED;
    a.SetAllStates(CARD_FACEDOWN);
    EXPECT_EQ(States(a), (std::vector<uint32_t>{CARD_FACEDOWN, CARD_FACEDOWN}));
}

TEST_F(PileTest, FindCompleteSuitWantsThirteenFaceUpCardsOfOneSuitAceOnTop) {
    auto hearts = [](CCardPile& pile) {
        for (int i = 38; i >= 26; --i) Put(pile, {i});
    };
    Put(a, {5}, CARD_FACEDOWN);
    hearts(a);
    CardPos king = a.FindCompleteSuit();
    ASSERT_TRUE(king);
    EXPECT_EQ(king->m_index, 38);
    EXPECT_EQ(a.CountFrom(king), 13);

    a.FromTop(6)->m_state = CARD_FACEDOWN;
    EXPECT_FALSE(a.FindCompleteSuit());

    // A club of the same rank in the middle of the hearts.
    for (int i = 38; i >= 26; --i) Put(b, {i == 32 ? 6 : i});
    EXPECT_FALSE(b.FindCompleteSuit());

    CCardPile twelve(PILE_TABLEAU);
    for (int i = 37; i >= 26; --i) Put(twelve, {i});
    EXPECT_FALSE(twelve.FindCompleteSuit());
    Put(twelve, {25});  // king of diamonds on top: not an ace
    EXPECT_FALSE(twelve.FindCompleteSuit());
    EXPECT_FALSE(CCardPile(PILE_TABLEAU).FindCompleteSuit());
}

TEST_F(PileTest, PositionsWalkBothWaysAndEndInNull) {
    Put(a, {1, 2, 3});
    EXPECT_EQ(a.Bottom()->m_index, 1);
    EXPECT_EQ(a.Top()->m_index, 3);
    EXPECT_FALSE(a.Top().Next());
    EXPECT_FALSE(a.Bottom().Prev());
    EXPECT_EQ(a.Bottom().Next().Next(), a.Top());
    EXPECT_EQ(a.FromTop(2), a.Bottom());
    EXPECT_FALSE(a.FromTop(3));
    EXPECT_EQ(a.CountFrom(a.Bottom()), 3);
    EXPECT_EQ(a.CountFrom(b.Top()), 0);
    EXPECT_FALSE(b.Top());
}

TEST_F(PileTest, APositionKeptWhileItsCardLeftReadsAsNull) {
    // A pick (the view's selection, a dragged run) outlives the move it makes.
    Put(a, {1, 2, 3, 4});
    const CardPos top = a.Top(), second = a.FromTop(1), bottom = a.Bottom();
    a.MoveTopCards(&b, true, 1);
    EXPECT_FALSE(top);
    EXPECT_FALSE(top.In(a.GetCards()));
    EXPECT_FALSE(top.Next());
    EXPECT_FALSE(second.Next());  // now the top
    a.MoveRun(&b, second);
    EXPECT_FALSE(second);
    EXPECT_EQ(a.CountFrom(second), 0);
    EXPECT_EQ(a.MoveRun(&b, second), nullptr);
    EXPECT_EQ(bottom.Next()->m_index, 2);
    a.Clear();
    EXPECT_FALSE(bottom);
}

TEST_F(PileTest, UndoingEveryMoveReturnsToTheDeal) {
    CCardPile stock(PILE_STOCK), waste(PILE_WASTE);
    stock.BuildDeck(1, 15, -1);
    stock.Shuffle();
    stock.MoveTopCards(&a, false, 4);
    const std::vector<int> stockBefore = Indices(stock), columnBefore = Indices(a);
    const std::vector<uint32_t> columnStates = States(a);

    std::vector<std::unique_ptr<CUndoMove>> moves;
    moves.push_back(stock.MoveTopCards(&waste, true, 3));
    moves.push_back(a.MoveRun(&b, a.FromTop(1)));
    a.TopCard()->m_state = 0;
    moves.push_back(std::make_unique<CUndoMove>(UNDO_FLIP, 1, &a, nullptr));
    moves.push_back(waste.MoveTopCards(&a, true, 1));
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        ASSERT_TRUE(*it);
        (*it)->Undo();
    }
    EXPECT_EQ(Indices(stock), stockBefore);
    EXPECT_EQ(Indices(a), columnBefore);
    EXPECT_EQ(States(a), columnStates);
    EXPECT_TRUE(waste.IsEmpty());
    EXPECT_TRUE(b.IsEmpty());
}

// The table turns a column's uncovered face-down card up; undoing the move
// that uncovered it turns it down again, so a move and its undo show nothing.
TEST_F(PileTest, UndoCoversAgainTheCardAMoveUncovered) {
    CCardPile waste(PILE_WASTE);
    Put(a, {10}, CARD_FACEDOWN);
    Put(a, {20, 21, 22});
    Put(b, {30});
    std::vector<std::unique_ptr<CUndoMove>> moves;
    moves.push_back(a.MoveRun(&b, a.FromTop(1)));  // leaves 20, face up, on top
    moves.push_back(a.MoveTopCards(&waste, true, 1));
    a.TopCard()->m_state = 0;  // as the next paint does
    moves.push_back(b.MoveRun(&a, b.Top()));
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        (*it)->Undo();
        EXPECT_EQ(States(a).front(), it == moves.rbegin() ? 0u : CARD_FACEDOWN);
    }
    EXPECT_EQ(Indices(a), (std::vector<int>{10, 20, 21, 22}));
    EXPECT_EQ(States(a), (std::vector<uint32_t>{CARD_FACEDOWN, 0, 0, 0}));
    EXPECT_EQ(States(b), std::vector<uint32_t>{0});
}
