// Random play on Klondike through the whole program: taps, drags, double
// taps, undos, "New" and the menu, from a fixed seed. Every card must stay in
// exactly one pile, the score must never go negative, and undoing every move
// must give the deal back.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "cardgames/solitaire.h"
#include "hosts/headless/headless_host.h"
#include "res/resource.h"

namespace {

class KlondikeSoak : public ::testing::Test {
protected:
    void SetUp() override {
        SetResources(ParlourResources());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir =
            std::filesystem::temp_directory_path() / (std::string("parlour-soak-") + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        app.SetDataDir(dir.string() + "/");
        ASSERT_TRUE(app.InitInstance());
        host.Idle();
    }
    void TearDown() override {
        app.ExitInstance();
        std::filesystem::remove_all(dir);
    }

    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app.m_pMainWnd); }
    CSolitaire* Game() { return dynamic_cast<CSolitaire*>(Frame().GetActiveView()); }
    int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    // Mostly points on piles and on their cards, sometimes anywhere near the table.
    CPoint RandomPoint() {
        CSolitaire* game = Game();
        const CRect client = game->ClientRect();
        const auto& piles = game->GetPiles();
        auto it = piles.begin();
        std::advance(it, Random(static_cast<int>(piles.size())));
        CCardPile* pile = it->get();
        const int choice = Random(10);
        if (choice < 5 && !pile->IsEmpty()) {
            // A card of the pile, its visible part more likely.
            pile->LayoutCards();
            CardPos pos = pile->FromTop(Random(std::min(pile->GetCount(), 4)));
            const CRect r = pos->m_rect;
            return CPoint(r.left + Random(r.Width()), r.top + Random(choice < 3 ? 9 : r.Height()));
        }
        if (choice < 8 && !pile->m_rect.IsRectEmpty())
            return CPoint(pile->m_rect.left + Random(pile->m_rect.Width()),
                          pile->m_rect.top + Random(std::min(pile->m_rect.Height(), 120)));
        return CPoint(Random(client.Width() + 20) - 10, Random(client.Height() + 20) - 10);
    }

    void Command(unsigned id) {
        if (Frame().QueryCommand(id).m_enabled) Frame().SendCommand(id);
    }
    void Tap(CPoint p) {
        Game()->SendStylusDown(p);
        Game()->SendStylusUp(p);
    }
    void DoubleTap(CPoint p) {
        Tap(p);
        Game()->SendStylusDown(p, true);
        Game()->SendStylusUp(p);
    }
    void Drag(CPoint from, CPoint to) {
        Game()->SendStylusDown(from);
        Game()->SendStylusMove(to);
        Game()->SendStylusUp(to);
    }
    static CPoint OnCard(const CCard& card, bool top) {
        return CPoint(card.m_rect.left + 12, card.m_rect.top + (top ? 17 : 3));
    }
    static CPoint OnTop(CCardPile* pile) {
        return pile->TopCard() ? OnCard(*pile->TopCard(), true)
                               : CPoint(pile->m_rect.left + 12, pile->m_rect.top + 17);
    }

    // A move as a player looking for one makes it: a drag of a face-up card
    // onto a pile that takes it (home first when one can go home), else a
    // turn of the stock. Games get much further than by blind drags alone.
    void PlayerMove() {
        CSolitaire* game = Game();
        std::vector<std::pair<CPoint, CPoint>> moves, homeMoves;
        const bool fromHome = Random(5) == 0;
        for (const auto& pile : game->GetPiles()) pile->LayoutCards();
        for (const auto& from : game->GetPiles()) {
            if (from->m_kind == PILE_STOCK || (from->m_kind == PILE_FOUNDATION && !fromHome))
                continue;
            for (const auto& card : from->GetCards()) {
                const bool top = card.get() == from->TopCard();
                if (card->IsFaceDown() || (!top && from->m_kind != PILE_TABLEAU)) continue;
                const bool wholeColumn =
                    card.get() == from->BottomCard() && from->m_kind == PILE_TABLEAU;
                for (const auto& to : game->GetPiles()) {
                    if (to == from ||
                        !game->CanDrop(from.get(), card.get(), to.get(), to->TopCard()))
                        continue;
                    if (wholeColumn && to->IsEmpty()) continue;  // goes nowhere new
                    moves.emplace_back(OnCard(*card, top), OnTop(to.get()));
                    if (to->m_kind == PILE_FOUNDATION) homeMoves.push_back(moves.back());
                }
            }
        }
        if (!homeMoves.empty() && Random(4)) moves.swap(homeMoves);
        if (moves.empty() || Random(4) == 0) {
            Tap(OnTop(game->m_stock));
            return;
        }
        const auto& move = moves[static_cast<size_t>(Random(static_cast<int>(moves.size())))];
        Drag(move.first, move.second);
    }

    // One random action, as a player could make it, by weight out of 1000.
    void Act() {
        CSolitaire* game = Game();
        int action = Random(1000);
        auto take = [&action](int weight) { return (action -= weight) < 0; };
        if (take(170)) {
            Tap(RandomPoint());
        } else if (take(160)) {  // a blind drag, through a few places
            game->SendStylusDown(RandomPoint());
            for (int moves = Random(3); moves >= 0; --moves) game->SendStylusMove(RandomPoint());
            game->SendStylusUp(RandomPoint());
        } else if (take(290)) {
            PlayerMove();
        } else if (take(80)) {
            DoubleTap(RandomPoint());
        } else if (take(80)) {  // a top card of the waste or a column, maybe home
            auto it = game->GetPiles().begin();
            std::advance(it, 1 + Random(8));
            (*it)->LayoutCards();
            DoubleTap(OnTop(it->get()));
        } else if (take(60)) {
            Command(ID_UNDO_MOVE);
        } else if (take(80)) {
            host.Wait(static_cast<uint64_t>(Random(15000)));
        } else if (take(5)) {
            Command(ID_FILE_NEW);
        } else if (take(3)) {
            Command(ID_GAME_KLONDIKE);
        } else if (take(10)) {
            Command(ID_GAME_PAINTPOT);  // no view for it yet: nothing changes
        } else if (take(15)) {
            Command(ID_HI_SCORES);  // closed again at once
        } else if (take(10)) {
            Command(ID_APP_ABOUT);
        } else if (take(10)) {
            Command(ID_EDIT_UNDO);  // Ctrl+Z: no handler, no effect
        } else if (take(10)) {
            Command(ID_AUTOFLIP);
        } else {
            static const CSize sizes[] = {{240, 268}, {180, 200}, {320, 220}, {100, 100}};
            const CSize size = sizes[Random(4)];
            Frame().SetViewSize(size.cx, size.cy);
        }
        // Painting is the slow part under the sanitizers; unpainted, a
        // column's new top card is still face down, a case of its own.
        host.Idle(Random(8) == 0);
    }

    // Every card index once in one pile, a score never negative, no card
    // left marked as dragged, no undo record pointing outside the table.
    void CheckTable(int step) {
        CSolitaire* game = Game();
        ASSERT_NE(game, nullptr) << step;
        std::vector<int> seen(52, 0);
        int cards = 0;
        for (const auto& pile : game->GetPiles()) {
            for (const auto& card : pile->GetCards()) {
                ++cards;
                ASSERT_TRUE(card->m_index >= 0 && card->m_index < 52) << step;
                ++seen[static_cast<size_t>(card->m_index)];
                if (!game->IsDragging()) {
                    ASSERT_FALSE(card->m_state & CARD_DRAGGED) << step;
                }
            }
        }
        ASSERT_EQ(cards, 52) << "step " << step;
        for (int i = 0; i < 52; ++i)
            ASSERT_EQ(seen[static_cast<size_t>(i)], 1) << "card " << i << " step " << step;
        ASSERT_GE(game->Score(), 0) << step;
        for (const auto& move : game->UndoList()) {
            ASSERT_NE(game->PileIndex(move->m_from), -1) << step;
            if (move->m_kind != UNDO_FLIP) {
                ASSERT_NE(game->PileIndex(move->m_to), -1) << step;
            }
        }
        if (game->IsGameOver()) {
            ASSERT_TRUE(game->UndoList().empty()) << step;
        }
        ASSERT_FALSE(host.QuitRequested());
    }

    std::vector<std::vector<int>> Layout() {
        std::vector<std::vector<int>> piles;
        for (const auto& pile : Game()->GetPiles()) {
            piles.emplace_back();
            for (const auto& card : pile->GetCards()) piles.back().push_back(card->m_index);
        }
        return piles;
    }

    HeadlessHost host{100000};
    std::filesystem::path dir;
    CParlourApp app;
    std::mt19937 rng{20240611};
};

TEST_F(KlondikeSoak, RandomPlayKeepsEveryCardInExactlyOnePile) {
    for (int step = 0; step < 3000; ++step) {
        Act();
        CheckTable(step);
        if (HasFatalFailure()) return;
    }
    EXPECT_FALSE(host.QuitRequested());
}

TEST_F(KlondikeSoak, UndoingEveryMoveGivesTheDealBack) {
    for (int deal = 0; deal < 8; ++deal) {
        host.Wait(1234);
        Command(ID_FILE_NEW);
        host.Idle();
        const std::vector<std::vector<int>> dealt = Layout();
        for (int step = 0; step < 100; ++step) {
            switch (Random(4)) {
                case 0:
                    Tap(RandomPoint());
                    break;
                case 1:
                    Drag(RandomPoint(), RandomPoint());
                    break;
                case 2:
                    PlayerMove();
                    break;
                default:
                    DoubleTap(RandomPoint());
                    break;
            }
            host.Idle(Random(8) == 0);
            CheckTable(step);
            if (HasFatalFailure()) return;
        }
        ASSERT_FALSE(Game()->IsGameOver());
        while (Frame().QueryCommand(ID_UNDO_MOVE).m_enabled) Frame().SendCommand(ID_UNDO_MOVE);
        EXPECT_EQ(Layout(), dealt) << "deal " << deal;
    }
}

}  // namespace
