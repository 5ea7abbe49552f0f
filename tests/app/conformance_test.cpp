// One suite for every game of the game table, run through the whole program:
// picking the game, New and Ctrl+N, Hi scores, a golden deal, and random play
// in which nothing is ever lost.
//
// A game joins by its line in app/game_table.inc: it is picked, dealt, played
// at random and shown its hi scores with no case of its own, its cards checked
// only for each being there equally often. Its own case (NAME_case.cpp, as
// klondike_case.cpp is Klondike's: its title, the menu items whose state is
// its own, its table at the golden tick as literal numbers, how to read its
// table, and the check that all its cards or balls are accounted for) adds
// the golden deal, undo and its own checks; the file joins by being there.
#include "tests/app/conformance.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "app/game_table.h"
#include "balls/bolgame.h"
#include "cards/cardgame.h"
#include "res/resource.h"
#include "solver/table.h"
#include "tests/app/forwarding_host.h"
#include "tests/app/program_test.h"

// Games by their class in test names and messages.
void PrintTo(const GameClass* game, std::ostream* out) {
    *out << game->className;
}

namespace {

std::vector<const GameCase*>& Cases() {
    static std::vector<const GameCase*> cases;
    return cases;
}

const GameCase* FindCase(unsigned commandId) {
    for (const GameCase* c : Cases())
        if (c->commandId == commandId) return c;
    return nullptr;
}

Snapshot AnySnapshot(CView& view) {
    Snapshot cards = CardSnapshot(view);
    return cards.empty() ? BolSnapshot(view) : cards;
}

// A game with no case of its own: each of its cards, if it has cards, lies
// equally often in its piles, and is marked as dragged only during a drag.
void CheckAnyGame(CView& view) {
    const auto* cards = dynamic_cast<const CCardgame*>(&view);
    if (!cards) return;
    std::map<int, int> seen;
    for (const auto& pile : cards->GetPiles())
        for (const auto& card : pile->GetCards()) {
            ASSERT_TRUE(card->m_index >= 0 && card->m_index < 52) << card->m_index;
            ++seen[card->m_index];
            if (!cards->IsDragging()) {
                ASSERT_FALSE(card->m_state & CARD_DRAGGED);
            }
        }
    for (const auto& [index, count] : seen) ASSERT_EQ(count, seen.begin()->second) << index;
}

std::vector<const GameClass*> AllGames() {
    std::vector<const GameClass*> games;
    for (const GameClass& game : GameClasses()) games.push_back(&game);
    return games;
}

class Conformance : public ProgramTest, public ::testing::WithParamInterface<const GameClass*> {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        game = GetParam();
        entry = FindCase(game->commandId);
        if (!entry) {
            ownTitle = FromUtf8(game->name);
            anyGame = {game->commandId, ownTitle.c_str(), {}, {}, &AnySnapshot, &CheckAnyGame};
            entry = &anyGame;
        }
    }

    // Starts the program and picks the game from the menu.
    void Pick() {
        Start();
        Frame().SendCommand(game->commandId);
        host.Idle();
    }
    CView& View() { return *Frame().GetActiveView(); }
    CGameView* GameView() { return dynamic_cast<CGameView*>(Frame().GetActiveView()); }
    CCardgame* CardGame() { return dynamic_cast<CCardgame*>(Frame().GetActiveView()); }
    Snapshot Table() { return entry->snapshot(View()); }
    void Check() { entry->check(View()); }

    int Random(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(rng); }
    CPoint RandomPoint() {
        const CRect client = View().ClientRect();
        // Sometimes just outside the table, where a drag may end.
        return CPoint(Random(client.Width() + 20) - 10, Random(client.Height() + 20) - 10);
    }
    void Tap(CPoint p) {
        View().SendStylusDown(p);
        View().SendStylusUp(p);
    }
    void DoubleTap(CPoint p) {
        Tap(p);
        View().SendStylusDown(p, true);
        View().SendStylusUp(p);
    }
    void Drag(CPoint from, CPoint to) {
        View().SendStylusDown(from);
        View().SendStylusMove(to);
        View().SendStylusUp(to);
    }
    static CPoint OnCard(const CCard& card, bool top) {
        return CPoint(card.m_rect.left + 12, card.m_rect.top + (top ? 17 : 3));
    }
    static CPoint OnTop(const CCardPile& pile) {
        return pile.TopCard() ? OnCard(*pile.TopCard(), true)
                              : CPoint(pile.m_rect.left + 12, pile.m_rect.top + 17);
    }

    // On a card table, mostly a point on a pile or one of its visible cards.
    CPoint PointOnTable() {
        CCardgame* cards = CardGame();
        if (!cards || cards->GetPiles().empty() || Random(5) == 0) return RandomPoint();
        auto it = cards->GetPiles().begin();
        std::advance(it, Random(static_cast<int>(cards->GetPiles().size())));
        CCardPile& pile = **it;
        pile.LayoutCards();
        if (pile.IsEmpty() || Random(3) == 0)
            return CPoint(pile.m_rect.left + Random(pile.m_rect.Width()),
                          pile.m_rect.top + Random(std::min(pile.m_rect.Height(), 120)));
        const CardPos pos = pile.FromTop(Random(std::min(pile.GetCount(), 4)));
        return OnCard(*pos.Get(), pos == pile.Top());
    }

    // A move as a player looking for one makes it on a card table: a drag of
    // a face-up card onto a pile that takes it (home first, mostly), else a
    // tap on the stock. Games get much further than by blind drags alone.
    void PlayerMove() {
        CCardgame* cards = CardGame();
        if (!cards) {
            Drag(RandomPoint(), RandomPoint());
            return;
        }
        std::vector<std::pair<CPoint, CPoint>> moves, homeMoves;
        const CCardPile* stock = nullptr;
        for (const auto& pile : cards->GetPiles()) pile->LayoutCards();
        for (const auto& from : cards->GetPiles()) {
            if (from->m_kind == PILE_STOCK) stock = from.get();
            if (from->m_kind == PILE_STOCK || (from->m_kind == PILE_FOUNDATION && Random(5)))
                continue;
            for (const auto& card : from->GetCards()) {
                const bool top = card.get() == from->TopCard();
                if (card->IsFaceDown() || (!top && from->m_kind != PILE_TABLEAU)) continue;
                for (const auto& to : cards->GetPiles()) {
                    if (to == from ||
                        !cards->CanDrop(from.get(), card.get(), to.get(), to->TopCard()))
                        continue;
                    // A whole column to an empty one goes nowhere new.
                    if (card.get() == from->BottomCard() && to->IsEmpty()) continue;
                    moves.emplace_back(OnCard(*card, top), OnTop(*to));
                    if (to->m_kind == PILE_FOUNDATION) homeMoves.push_back(moves.back());
                }
            }
        }
        if (!homeMoves.empty() && Random(4)) moves.swap(homeMoves);
        if (moves.empty() || Random(4) == 0) {
            Tap(stock ? OnTop(*stock) : PointOnTable());
            return;
        }
        const auto& move = moves[static_cast<size_t>(Random(static_cast<int>(moves.size())))];
        Drag(move.first, move.second);
    }

    // Commands a player may give this game: the menu but Exit and the other
    // games, and New.
    std::vector<unsigned> PlayerCommands() {
        std::vector<unsigned> commands{ID_FILE_NEW};
        for (const MenuItem& item : FindMenu(IDR_MAINFRAME)->items) {
            const GameClass* other = FindGameClass(item.id);
            // "Winnable deals" makes every New a search, too slow for a soak
            // in the sanitizers' build; the solver's tests try it.
            if (!item.IsSeparator() && item.id != ID_APP_EXIT && item.id != ID_WINNABLE_DEALS &&
                (!other || other == game))
                commands.push_back(item.id);
        }
        return commands;
    }

    // A key a player may press, sometimes with Shift.
    void Key() {
        static constexpr unsigned kKeys[] = {VK_TAB,    VK_LEFT,  VK_RIGHT,  VK_UP,     VK_DOWN,
                                             VK_RETURN, VK_SPACE, VK_ESCAPE, VK_RETURN, VK_H};
        View().SendKeyDown(kKeys[Random(10)], Random(4) == 0 ? unsigned{MK_SHIFT} : 0u);
    }

    // Everything a move could change: cards and their faces, balls, score,
    // clock, undo list, the end.
    std::vector<int64_t> Fingerprint() {
        std::vector<int64_t> print;
        for (const auto& pile : Table())
            for (int card : pile) print.push_back(card);
        if (CCardgame* cards = CardGame()) {
            for (const auto& pile : cards->GetPiles())
                for (const auto& card : pile->GetCards()) print.push_back(card->m_state);
            print.push_back(static_cast<int64_t>(cards->UndoList().size()));
        }
        print.push_back(GameView()->Score());
        print.push_back(GameView()->StartTick());
        print.push_back(GameView()->IsGameOver());
        return print;
    }

    // One move of the move layer: a legal one, checked to be taken and, but
    // for a redeal that may deal the same again, to change the table; now
    // and then first a move made up at random that is not legal, checked to
    // be refused and to change nothing. False when there is no legal move.
    template <class Game, class MoveType>
    bool LayerMove(Game* game, MoveType (Conformance::*madeUp)()) {
        if (Random(4) == 0) {
            const std::vector<MoveType> legal = game->LegalMoves();
            const MoveType move = (this->*madeUp)();
            if (!IsListed(legal, move)) {
                const std::vector<int64_t> before = Fingerprint();
                const Snapshot table = Table();
                const int32_t score = game->Score();
                if (game->DoMove(move)) {
                    // A swap of two balls that makes no run is a move the
                    // stylus makes too: the clock starts, the balls swap back.
                    host.Idle();
                    EXPECT_TRUE(dynamic_cast<CBolGame*>(game)) << "a move not listed was taken";
                    EXPECT_EQ(Table(), table) << "a swap not listed changed the board";
                    EXPECT_EQ(game->Score(), score);
                } else {
                    EXPECT_EQ(Fingerprint(), before) << "a move refused changed the table";
                }
            }
        }
        std::vector<MoveType> legal = game->LegalMoves();
        if constexpr (std::is_same_v<MoveType, CardMove>) ExpectModelMoves(legal);
        if (legal.empty()) return false;
        // Mostly what a player looking ahead makes: a card home, else a run
        // that uncovers a card, else a tap (a deal, a play): games get much
        // further than by any legal move.
        if constexpr (std::is_same_v<MoveType, CardMove>) {
            std::vector<MoveType> best;
            int bestWorth = 0;
            for (const CardMove& m : legal) {
                const int worth = Worth(m);
                if (worth > bestWorth) best.clear();
                if (worth >= bestWorth && worth > 0) best.push_back(m);
                bestWorth = std::max(bestWorth, worth);
            }
            if (!best.empty() && Random(4)) legal.swap(best);
        }
        const MoveType move = legal[static_cast<size_t>(Random(static_cast<int>(legal.size())))];
        const std::vector<int64_t> before = Fingerprint();
        TablePosition model;
        if constexpr (std::is_same_v<MoveType, CardMove>) model = game->Position();
        EXPECT_TRUE(game->DoMove(move)) << "a listed move was refused";
        if constexpr (std::is_same_v<MoveType, CardMove>) ExpectModelMove(model, move);
        host.Idle(Random(8) == 0);
        if constexpr (std::is_same_v<MoveType, CardMove>)
            if (move.kind == MOVE_TAP) return true;
        EXPECT_NE(Fingerprint(), before) << "a listed move changed nothing";
        return true;
    }
    // The solver's model of the game lists the view's moves, and a move
    // leaves its table as the view's.
    void ExpectModelMoves(const std::vector<CardMove>& legal) {
        if (!CardGame()->SolverGame()) return;  // a game without a solver yet
        // A game called over takes no moves; the model knows no such end.
        if (CardGame()->IsGameOver()) return;
        TablePosition table = CardGame()->Position();
        const auto key = [](const CardMove& m) {
            return std::tuple(m.kind, m.pile, m.card, m.count, m.to);
        };
        std::vector<CardMove> model = solver::RulesFor(table.game).LegalMoves(table);
        std::vector<CardMove> view = legal;
        for (auto* moves : {&model, &view})
            std::sort(moves->begin(), moves->end(),
                      [&](const CardMove& a, const CardMove& b) { return key(a) < key(b); });
        EXPECT_TRUE(model == view)
            << model.size() << " moves in the model, " << view.size() << " on the view";
    }
    void ExpectModelMove(TablePosition model, const CardMove& move) {
        if (!CardGame()->SolverGame()) return;
        const solver::Rules& rules = solver::RulesFor(model.game);
        rules.Apply(model, move);
        if (rules.IsWon(model)) return;  // the view may have dealt again
        // Nor does it finish by itself or call a game over.
        if (CardGame()->IsGameOver()) return;
        TablePosition view = CardGame()->Position();
        // Only a column's faces are the model's: a waste's fan is the view's.
        for (TablePosition* table : {&model, &view})
            for (solver::Pile& pile : table->piles)
                if (pile.kind != solver::TABLEAU)
                    for (uint8_t& card : pile.cards) card &= ~solver::FACE_DOWN;
        EXPECT_TRUE(model == view)
            << "the model's move " << move.kind << " " << move.pile << " " << move.card << " "
            << move.count << " " << move.to << " left another table";
    }
    int Worth(const CardMove& move) {
        const auto& piles = CardGame()->GetPiles();
        const auto pile = [&](int index) { return std::next(piles.begin(), index)->get(); };
        if (move.kind == MOVE_HOME) return 3;
        if (move.kind == MOVE_TAP) return 1;
        if (pile(move.to)->m_kind == PILE_FOUNDATION) return 3;
        if (move.card > 0) {
            const CCard* below =
                std::next(pile(move.pile)->GetCards().begin(), move.card - 1)->get();
            if (below->IsFaceDown()) return 2;
        }
        return 0;
    }
    static bool IsListed(const std::vector<CardMove>& legal, const CardMove& move) {
        return std::find(legal.begin(), legal.end(), move) != legal.end();
    }
    // A swap is listed one way round.
    static bool IsListed(const std::vector<BallMove>& legal, const BallMove& move) {
        const BallMove back{move.toCol, move.toRow, move.col, move.row};
        return std::find(legal.begin(), legal.end(), move) != legal.end() ||
               std::find(legal.begin(), legal.end(), back) != legal.end();
    }
    CardMove MadeUpCardMove() {
        const int piles = static_cast<int>(CardGame()->GetPiles().size());
        return {static_cast<CardMoveKind>(Random(4)), Random(piles + 2) - 1, Random(24) - 2,
                Random(16) - 1, Random(piles + 2) - 1};
    }
    BallMove MadeUpBallMove() {
        const auto* board = dynamic_cast<CBolGame*>(GameView());
        const int col = Random(board->Cols() + 2) - 1, row = Random(board->Rows() + 2) - 1;
        if (Random(3) == 0) return {col, row};
        return {col, row, col + Random(3) - 1, row + Random(3) - 1};
    }
    bool LayerMove() {
        if (CCardgame* cards = CardGame()) return LayerMove(cards, &Conformance::MadeUpCardMove);
        return LayerMove(dynamic_cast<CBolGame*>(GameView()), &Conformance::MadeUpBallMove);
    }

    // A random move on the table: a tap, a drag, a move that fits, a double
    // tap, a key.
    void Move() {
        switch (Random(6)) {
            case 4:
                Key();
                break;
            case 5:
                LayerMove();
                break;
            case 0:
                Tap(PointOnTable());
                break;
            case 1:  // a blind drag, through a few places
                View().SendStylusDown(PointOnTable());
                for (int moves = Random(3); moves >= 0; --moves)
                    View().SendStylusMove(PointOnTable());
                View().SendStylusUp(PointOnTable());
                break;
            case 2:
                PlayerMove();
                break;
            default:
                DoubleTap(PointOnTable());
                break;
        }
    }

    // One random action, as a player could make it, by weight out of 100.
    void Act(const std::vector<unsigned>& commands) {
        const int action = Random(100);
        undid = false;
        if (action < 80) {
            Move();
        } else if (action < 86) {
            Command(ID_UNDO_MOVE);
            undid = true;
        } else if (action < 93) {
            host.Wait(static_cast<uint64_t>(Random(15000)));
        } else if (action < 98) {
            const unsigned command =
                commands[static_cast<size_t>(Random(static_cast<int>(commands.size())))];
            const auto& answers = entry->newGameAnswers;
            if (!answers.empty() && (command == ID_FILE_NEW || command == game->commandId))
                Answer(answers[newGames++ % answers.size()]);
            Command(command);
            undid = command == ID_UNDO_MOVE;
        } else {
            static const CSize sizes[] = {{240, 268}, {180, 200}, {320, 220}, {100, 100}};
            const CSize size = sizes[Random(4)];
            Frame().SetViewSize(size.cx, size.cy);
        }
        // Painting is the slow part under the sanitizers; unpainted tables
        // (a column's new top card still face down) are a case of their own.
        host.Idle(Random(8) == 0);
    }

    // The moves on a card table that can still be taken back, with the
    // points each one made.
    using Standing = std::vector<std::pair<const CUndoMove*, int32_t>>;
    Standing StandingMoves() {
        Standing moves;
        if (const CCardgame* cards = CardGame())
            for (const auto& move : cards->UndoList())
                moves.emplace_back(move.get(), move->m_points);
        return moves;
    }
    // No run of moves and undos ends with more points than the moves still
    // standing earned: those the undo list holds, and those a redeal or a row
    // deal put beyond undo (banked). The decay only ever lowers the score; a
    // won game's bonus is not a move's.
    void CheckScoreAfter(const Standing& before) {
        const CCardgame* cards = CardGame();
        if (!cards || cards->IsGameOver()) return;
        const Standing after = StandingMoves();
        if (cards->StartTick() == 0) {
            banked = 0;  // a fresh deal
        } else {
            size_t kept = 0;
            while (kept < before.size() && kept < after.size() && before[kept] == after[kept])
                ++kept;
            // An undo takes its own move back; any other record gone stays made.
            const size_t undone = undid && kept + 1 == before.size() ? 1 : 0;
            for (size_t i = kept; i + undone < before.size(); ++i) banked += before[i].second;
        }
        int32_t earned = banked;
        for (const auto& move : after) earned += move.second;
        ASSERT_LE(cards->Score(), earned) << after.size() << " moves standing";
    }

    const GameClass* game = nullptr;
    const GameCase* entry = nullptr;
    CString ownTitle;  // a game without a case: its menu text
    GameCase anyGame;
    size_t newGames = 0;
    bool undid = false;  // the last action was Undo
    int32_t banked = 0;
    std::mt19937 rng{20240611};
};

TEST_P(Conformance, PickingTheGameShowsItsViewTitleAndMenu) {
    Pick();
    EXPECT_STREQ(Frame().m_viewClassName, game->className);
    const CView& shown = View();
    EXPECT_NE(std::string(typeid(shown).name()).find(game->className), std::string::npos);
    EXPECT_EQ(View().GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(View().ClientRect(), CRect(0, 0, 240, 268));
    EXPECT_EQ(Frame().GetActiveDocument()->GetTitle(), entry->title);
    EXPECT_EQ(Frame().GetCaption(), CString(entry->title) + u" - Parlour");
    EXPECT_EQ(Frame().m_currentGame, game->commandId);
    for (const GameClass& other : GameClasses()) {
        EXPECT_TRUE(Query(other.commandId).m_enabled) << other.className;
        EXPECT_EQ(Query(other.commandId).m_checked, &other == game) << other.className;
    }
    for (unsigned id : {unsigned(ID_FILE_NEW), unsigned(ID_HI_SCORES), unsigned(ID_APP_ABOUT),
                        unsigned(ID_APP_EXIT)})
        EXPECT_TRUE(Query(id).m_enabled) << id;
    for (const auto& [id, enabled] : entry->menu) EXPECT_EQ(Query(id).m_enabled, enabled) << id;
    ASSERT_NE(GameView(), nullptr);
    EXPECT_EQ(GameView()->StartTick(), 0u);  // the clock waits for the first action
    EXPECT_FALSE(GameView()->IsGameOver());
}

TEST_P(Conformance, AKnownTickGivesTheGoldenDeal) {
    if (entry->golden.empty()) GTEST_SKIP() << game->className << " has no golden deal";
    Pick();
    EXPECT_EQ(host.Now(), kGoldenTick);
    EXPECT_EQ(Table(), entry->golden);
    Frame().SendCommand(ID_FILE_NEW);  // the same tick, the same deal
    host.Idle();
    EXPECT_EQ(Table(), entry->golden);
    host.Wait(1);
    Frame().SendCommand(ID_FILE_NEW);
    host.Idle();
    EXPECT_NE(Table(), entry->golden);
    Check();
}

TEST_P(Conformance, NewAndCtrlNDealAFreshGameInANewView) {
    unsigned ctrlN = 0;
    for (const Accelerator& key : GetResources().accelerators)
        if (key.control && key.key == 'N') ctrlN = key.command;
    Pick();
    for (unsigned command : {unsigned(ID_FILE_NEW), ctrlN}) {
        for (int i = 0; i < 20; ++i) PlayerMove();
        host.Wait(5000);
        const CView* old = &View();
        const Snapshot before = Table();
        ASSERT_TRUE(Query(command).m_enabled) << command;
        host.ClearModals();  // a settings dialog of the game picked before
        Frame().SendCommand(command);
        EXPECT_FALSE(CWnd::IsLive(old));  // the old game went without a question
        EXPECT_TRUE(host.Modals().empty());
        host.Idle();
        ASSERT_NE(GameView(), nullptr);
        EXPECT_EQ(GameView()->StartTick(), 0u);
        EXPECT_FALSE(GameView()->IsGameOver());
        EXPECT_NE(Table(), before);
        if (CardGame()) {
            EXPECT_TRUE(CardGame()->UndoList().empty());
        }
        EXPECT_EQ(Frame().m_currentGame, game->commandId);
        EXPECT_TRUE(Query(game->commandId).m_checked);
        EXPECT_EQ(Frame().GetCaption(), CString(entry->title) + u" - Parlour");
        Check();
    }
}

TEST_P(Conformance, HiScoresShowsTheGamesOwnTable) {
    // The handheld's games have their tables in Scores.dat; a later game's
    // table is its own, for the run.
    const int table = HiScoreTableOf(*game);
    const bool inFile = table < HISCORE_TABLE_COUNT;
    WriteScoresFile(inFile ? table : 0);
    Pick();
    host.ClearModals();
    Frame().SendCommand(ID_HI_SCORES);
    ASSERT_EQ(host.Modals().size(), 1u);
    const ModalRecord& shown = host.Modals()[0];
    EXPECT_EQ(shown.templateId, IDD_HISCORES);
    EXPECT_EQ(shown.caption, game->hiScoreTitle);
    const ListViewData& list = shown.controls.at(IDC_HISCORE_LIST).list;
    ASSERT_EQ(list.rows.size(), inFile ? 1u : 0u);
    if (inFile) {
        EXPECT_NE(std::find(list.rows[0].begin(), list.rows[0].end(), u"Ann"), list.rows[0].end());
    }
}

// Played by the move layer alone, games go deep: every listed move is taken
// and changes the table, a move made up is refused, and nothing is lost.
TEST_P(Conformance, LegalMovesPlayDeepAndAccountForEverything) {
    Pick();
    int moves = 0, deals = 1;
    for (int step = 0, inDeal = 0; step < 1200; ++step) {
        SCOPED_TRACE(step);
        // A deal that goes round in circles is left after a while.
        if (++inDeal < 300 && LayerMove()) {
            ++moves;
        } else {
            inDeal = 0;
            if (!entry->newGameAnswers.empty())
                Answer(entry->newGameAnswers[newGames++ % entry->newGameAnswers.size()]);
            Command(ID_FILE_NEW);
            host.Idle();
            ++deals;
        }
        Check();
        if (HasFailure()) return;
    }
    EXPECT_GT(moves, 900) << deals << " deals";
}

TEST_P(Conformance, RandomPlayAccountsForEverything) {
    Pick();
    const std::vector<unsigned> commands = PlayerCommands();
    for (int step = 0; step < 2500; ++step) {
        const Standing before = StandingMoves();
        Act(commands);
        ASSERT_EQ(Frame().m_currentGame, game->commandId);
        ASSERT_FALSE(host.QuitRequested());
        SCOPED_TRACE(step);
        Check();
        CheckScoreAfter(before);
        if (HasFatalFailure()) return;
    }
}

// Paints every region a view has drawn once more on a surface of its own,
// the plain way: the background over the whole region when the paint
// erases, then OnDraw. A view that saves work in its paint must show the same.
class PlainPaintHost : public ForwardingHost {
public:
    using ForwardingHost::ForwardingHost;
    void WindowDrawn(CWnd& window, const std::vector<CRect>& region) override {
        if (auto* view = dynamic_cast<CView*>(&window)) {
            PaintPlainly(*view, region);
            CountDifference(*view);
        }
    }
    // Whether the next paint erases first.
    void WindowInvalidated(CWnd& window) override {
        if (auto* view = dynamic_cast<CView*>(&window)) m_erase[view] = view->EraseRequested();
    }
    int m_differences = 0;

protected:
    void PaintPlainly(CView& view, const std::vector<CRect>& region) {
        const CImage& surface = view.Surface();
        // First seen, or sized afresh: outside the region the paint left
        // the pixels as they were.
        CImage& plain = m_plain[&view];
        if (plain.width != surface.width || plain.height != surface.height) plain = surface;
        CDC dc(&plain, region);
        if (m_erase[&view]) dc.FillSolidRect(view.ClientRect(), view.BackgroundColour());
        m_erase[&view] = false;
        view.OnDraw(&dc);
    }
    // Counts a difference when the view shows other pixels than the plain
    // paints (none yet: nothing to differ).
    void CountDifference(CView& view) {
        const auto plain = m_plain.find(&view);
        if (plain != m_plain.end() && plain->second.pixels != view.Surface().pixels)
            ++m_differences;
    }

private:
    std::map<CView*, CImage> m_plain;
    std::map<CView*, bool> m_erase;
};

// Paints as the driver does, a card table's pixels owed until they are asked
// for, and beside them every paint the plain way at once: the owed pixels,
// once drawn, must be those.
class OwedPixelsHost : public PlainPaintHost {
public:
    using PlainPaintHost::PlainPaintHost;
    bool PixelsOnDemand() const override { return true; }
    void WindowOwesPixels(CWnd& window, const std::vector<CRect>& region) override {
        if (auto* view = dynamic_cast<CView*>(&window)) PaintPlainly(*view, region);
    }
    // A paint drawn at once (a run is held) is painted plainly too; else
    // what was owed is being drawn (by the test, or as a run is lifted),
    // with what has changed since, which the next idle paint catches up with.
    void WindowDrawn(CWnd& window, const std::vector<CRect>& region) override {
        auto* view = dynamic_cast<CView*>(&window);
        if (view && !view->MayOwePixels() && !m_drawingOwed) PaintPlainly(*view, region);
    }
    void DrawOwedPixels() {
        m_drawingOwed = true;
        PaintOwedPixelsOfAllWindows();
        m_drawingOwed = false;
    }
    using PlainPaintHost::CountDifference;

private:
    bool m_drawingOwed = false;
};

// The first pixel at which a card table, painted whole afresh, differs from
// what its paints so far left on its surface; nullopt when none does. A
// view that repaints less than what changed shows stale cards.
std::optional<CPoint> StaleAgainstFreshTable(CView& view) {
    const CImage& surface = view.Surface();
    CImage fresh(surface.width, surface.height);
    CDC dc(&fresh, {view.ClientRect()});
    dc.FillSolidRect(view.ClientRect(), view.BackgroundColour());
    view.OnDraw(&dc);
    for (int y = 0; y < fresh.height; ++y)
        for (int x = 0; x < fresh.width; ++x)
            if (fresh.At(x, y) != surface.At(x, y)) return CPoint(x, y);
    return std::nullopt;
}

TEST_P(Conformance, EveryPaintShowsWhatPaintingItPlainlyShows) {
    if (!game->create) GTEST_SKIP() << game->className << " is not built yet";
    Pick();
    PlainPaintHost plain(host);
    const std::vector<unsigned> commands = PlayerCommands();
    for (int step = 0; step < 300 && plain.m_differences == 0; ++step) {
        Act(commands);
        host.Idle();
        ASSERT_EQ(plain.m_differences, 0) << "step " << step;
        // A ball game's animation shows a ball only where it invalidates, so
        // only a card table is always what it shows painted whole.
        if (CardGame() && !View().HasInvalidRegion()) {
            const std::optional<CPoint> stale = StaleAgainstFreshTable(View());
            ASSERT_FALSE(stale) << "step " << step << ", pixel " << stale->x << "," << stale->y;
        }
    }
}

// As the driver paints: a card table's paints draw no pixels until a picture
// is asked for. Then the table shows what painting at once would have shown,
// with a run held in the air too, and drawing what was owed changes nothing
// else, not even a column's top out of sight that no paint has turned.
TEST_P(Conformance, OwedPixelsDrawnAreThoseEveryPaintWouldHaveDrawn) {
    Pick();
    if (!View().MayOwePixels()) GTEST_SKIP() << game->className << " draws every paint at once";
    OwedPixelsHost owing(host);
    const std::vector<unsigned> commands = PlayerCommands();
    const auto table = [&] {
        std::vector<int64_t> print = Fingerprint();
        for (const auto& pile : CardGame()->GetPiles())
            for (const auto& card : pile->GetCards())
                print.insert(print.end(), {card->m_rect.left, card->m_rect.top});
        return print;
    };
    for (int step = 0; step < 2000; ++step) {
        SCOPED_TRACE(step);
        Act(commands);
        // Piles out of sight now and then.
        if (Random(20) == 0) Frame().SetViewSize(Random(2) ? 100 : 240, Random(2) ? 100 : 268);
        host.Idle();
        const bool held = Random(4) == 0;
        if (held) {
            // Owed everywhere, so that any card the lift leaves on top shows.
            View().Invalidate(false);
            host.Idle();
            View().SendStylusDown(PointOnTable());
            if (Random(2) == 0) View().SendStylusMove(PointOnTable());
            host.Idle();
        }
        if (held || Random(5) == 0) {
            // A column's top no paint has turned yet, as a move out of sight
            // leaves it (its pile's repaint is cut away with the view): here
            // the top of one whose other cards lie face down.
            for (const auto& pile : CardGame()->GetPiles())
                if (pile->m_kind == PILE_TABLEAU && pile->GetCount() > 1 && !held &&
                    Random(8) == 0 && std::next(pile->GetCards().rbegin())->get()->IsFaceDown())
                    pile->TopCard()->m_state |= CARD_FACEDOWN;
            const std::vector<int64_t> before = table();
            owing.DrawOwedPixels();
            ASSERT_EQ(table(), before);
            owing.CountDifference(View());
            ASSERT_EQ(owing.m_differences, 0);
        }
        if (held) View().SendStylusUp(PointOnTable());
    }
}

TEST_P(Conformance, UndoingEveryMoveGivesTheDealBackAndRedoingGivesThePlayBack) {
    if (!entry->undoRestoresDeal)
        GTEST_SKIP() << game->className << " does not take every move back";
    Pick();
    for (int deal = 0; deal < 8; ++deal) {
        host.Wait(1234);
        Frame().SendCommand(ID_FILE_NEW);
        host.Idle();
        const Snapshot dealt = Table();
        for (int step = 0; step < 100; ++step) {
            Move();
            host.Idle(Random(8) == 0);
        }
        // Random play may leave a game stuck, which undo reopens; a won one
        // cannot be taken back.
        const bool stuck = CardGame() && CardGame()->IsCalledStuck();
        ASSERT_FALSE(GameView()->IsGameOver() && !stuck);
        const Snapshot played = Table();
        while (Query(ID_UNDO_MOVE).m_enabled) Frame().SendCommand(ID_UNDO_MOVE);
        EXPECT_EQ(Table(), dealt) << "deal " << deal;
        EXPECT_FALSE(GameView()->IsGameOver()) << "deal " << deal;
        // And redoing every move plays the game forward to where it was.
        while (Query(ID_REDO_MOVE).m_enabled) Frame().SendCommand(ID_REDO_MOVE);
        EXPECT_EQ(Table(), played) << "deal " << deal;
    }
}

// Every game tells its rules, and deals the same table again on a restart,
// with score, clock and undo back at the start.
TEST_P(Conformance, RestartDealsTheSameTableAndTheRulesAreTold) {
    Pick();
    EXPECT_NE(GameView()->Rules().find(u"Goal: "), CString::npos);
    const Snapshot dealt = Table();
    const uint32_t deal = GameView()->DealNumber();
    for (int step = 0; step < 30 && !GameView()->IsGameOver(); ++step) Move();
    Frame().SendCommand(ID_RESTART_DEAL);
    host.Idle();
    EXPECT_EQ(Table(), dealt);
    EXPECT_EQ(GameView()->DealNumber(), deal);
    EXPECT_EQ(GameView()->Score(), 0);
    EXPECT_EQ(GameView()->StartTick(), 0u);
    EXPECT_FALSE(Query(ID_UNDO_MOVE).m_enabled || Query(ID_REDO_MOVE).m_enabled);
}

// A case is for a game of the table.
TEST(ConformanceCases, EachIsForAGameOfTheTable) {
    for (const GameCase* c : Cases())
        EXPECT_NE(FindGameClass(c->commandId), nullptr) << c->commandId;
}

INSTANTIATE_TEST_SUITE_P(GameTable, Conformance, ::testing::ValuesIn(AllGames()),
                         [](const auto& info) { return std::string(info.param->className + 1); });

}  // namespace

JoinsConformance::JoinsConformance(const GameCase& gameCase) {
    Cases().push_back(&gameCase);
}

Snapshot CardSnapshot(CView& view) {
    Snapshot piles;
    if (const auto* cards = dynamic_cast<const CCardgame*>(&view))
        for (const auto& pile : cards->GetPiles()) {
            piles.emplace_back();
            for (const auto& card : pile->GetCards()) piles.back().push_back(card->m_index);
        }
    return piles;
}

Snapshot BolSnapshot(CView& view) {
    Snapshot columns;
    if (const auto* board = dynamic_cast<const CBolGame*>(&view))
        for (int col = 0; col < board->Cols(); ++col) {
            columns.emplace_back();
            for (int row = 0; row < board->Rows(); ++row) {
                const CBol* cell = board->Cell(col, row);
                columns.back().push_back(cell ? static_cast<int>(cell->m_color) : -1);
            }
        }
    return columns;
}

void CheckCards(CView& view, int decks, int suitMask) {
    const auto* cards = dynamic_cast<const CCardgame*>(&view);
    ASSERT_NE(cards, nullptr);
    std::vector<int> seen(52, 0);
    for (const auto& pile : cards->GetPiles())
        for (const auto& card : pile->GetCards()) {
            ASSERT_TRUE(card->m_index >= 0 && card->m_index < 52) << card->m_index;
            ++seen[static_cast<size_t>(card->m_index)];
            if (!cards->IsDragging()) {
                ASSERT_FALSE(card->m_state & CARD_DRAGGED);
            }
        }
    for (int i = 0; i < 52; ++i)
        ASSERT_EQ(seen[static_cast<size_t>(i)], suitMask & (1 << (i / 13)) ? decks : 0)
            << "card " << i;
    for (const auto& move : cards->UndoList()) {
        ASSERT_NE(cards->PileIndex(move->m_from), -1);
        if (move->m_kind != UNDO_FLIP) {
            ASSERT_NE(cards->PileIndex(move->m_to), -1);
        }
    }
    // A won game cannot be taken back; one called stuck can.
    if (cards->IsGameOver() && !cards->IsCalledStuck()) {
        ASSERT_TRUE(cards->UndoList().empty());
    }
}
