// The card table every patience game is played on: its piles, its painting,
// picking cards with the stylus, dragging runs, the search for a pile to drop
// them on, and the double tap that sends a card home.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card_images.h"
#include "cards/card_move.h"
#include "cards/cardpile.h"
#include "cards/drop_rules.h"
#include "gameview/game_view.h"
#include "solver/worker.h"

using PilePos = ListPosition<CCardPile>;
using TablePosition = solver::TablePosition;

constexpr uintptr_t CLOCK_TIMER_ID = 1234;
constexpr uint32_t CLOCK_PERIOD = 1000;
// The search's result is looked for this often while one runs.
constexpr uintptr_t SEARCH_TIMER_ID = 1236;
constexpr uint32_t SEARCH_POLL_PERIOD = 100;

// What is known of whether the deal can still be won.
enum class DealVerdict : int {
    Searching,   // a search of the table as it lies is owed or running
    Winnable,    // m_winningLine wins it
    Unwinnable,  // no line wins it, whatever the player does from here
    Unknown,     // not within the search's budget, or no game to search
};

// What a double tap's move home came to.
enum AutoMoveResult : int {
    AUTOMOVE_NONE = 0,      // no foundation takes the card
    AUTOMOVE_DONE = 1,      // the card went home
    AUTOMOVE_NEW_GAME = 2,  // it went home, won the game, and the player wants another
};

// What a press on a card of a pile starts.
enum PressKind : int {
    PRESS_NOTHING = 0,
    PRESS_TAP,   // the game's tap, which changes the table
    PRESS_LIFT,  // a drag of the run from the card to the top
};

// A card of the table by its numbers, for the keyboard's focus and pick.
struct CardPlace {
    int32_t pile = 0;
    int32_t card = -1;  // -1: the pile itself (empty)
    friend bool operator==(const CardPlace&, const CardPlace&) = default;
};

// The view's current pick, or the drop candidate being offered.
struct CardSelection {
    int32_t m_count = 0;          // cards picked: a column's run to the top, else 1 (0: empty pile)
    CardPos m_pos;                // the first picked card (null for an empty pile)
    CCardPile* m_pile = nullptr;  // the pile picked, or the drop candidate
    CCard* m_card = nullptr;      // the first picked card; for a candidate its reference card
    PilePos m_searchPos;          // where NextDropTarget goes on

    // Fills the selection from pile when point lies in it (the card under the
    // point) or else when rect touches it (its top card). False, with the
    // selection cleared, when neither.
    bool SelectAt(CCardPile* pile, std::optional<CPoint> point, std::optional<CRect> rect);
};

// What a drag picked up, kept across the drop search (which overwrites m_sel).
struct DraggedRun {
    CCardPile* m_pile = nullptr;
    CCard* m_card = nullptr;
    CardPos m_pos;
    int32_t m_count = 0;
};

class CCardgame : public CGameView {
public:
    using Piles = std::list<std::unique_ptr<CCardPile>>;

    CCardgame();
    ~CCardgame() override;

    // Every pile in list order, then the run being dragged at the stylus;
    // after an erase, the table colour around them.
    void OnDraw(CDC* dc) override;
    // Every paint of a card table shows the region as the table stands;
    // but a run lifted from a table its pixels were drawn for at once (the
    // driver's autopaint off) may have been laid out since, and its drag
    // steps then take away rectangles it no longer lies in. While such a
    // run is held, every paint draws at once.
    bool MayOwePixels() const override { return !m_dragging || m_liftedWhilePixelsOwed; }
    // Draws as a paint does, then puts back what the paint changed: the
    // layout and a column's top turned face up. Where a paint would have
    // changed them nothing was painted since (a pile out of sight), and a
    // paint that draws owed pixels is no paint the table would have had.
    void OnPaintOwed(CDC& dc) override;
    // Leaves the table colour to OnDraw, which fills only where no card lies.
    bool OnEraseBkgnd(CDC* dc) override;
    // Moves the run being dragged.
    void OnMouseMove(unsigned flags, CPoint point) override;
    // A press while a run is still being dragged: the run is dropped first.
    void PreStylusDown(CPoint point) override;
    void OnLButtonDblClk(unsigned flags, CPoint point) override;

    // The stylus: a press picks a card and does the game's press on it (a
    // tap, or the start of a drag); the lift offers the run to the piles
    // under it (FindDropTarget) and makes the move; a double tap does the
    // game's double tap.
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;

    // The moves. LegalMoves lists every move that changes the table now:
    // the taps that do something, each run that may be dragged onto each
    // pile that takes it, each card a double tap sends home. DoMove makes a
    // move through the same rules, scores, undo records, repaints and end of
    // game as the stylus, and refuses (false, nothing changed) one that is
    // not legal. Both first see the table as painted: the column tops that a
    // paint turns face up are face up (no score, no undo step), every pile is
    // laid out.
    std::vector<CardMove> LegalMoves();
    bool DoMove(const CardMove& move);
    void ShowTableAsPainted();
    // The table as painted, as a plain value the solvers can work on while
    // the view goes on.
    TablePosition Position();
    // The solver's game this view plays, if it has one.
    virtual std::optional<solver::Game> SolverGame() const { return std::nullopt; }

    // The search. From the deal on and after every change of the table, a
    // search of the table runs on a thread of its own; a change cancels it
    // at once. The view starts it and looks for its verdict on a timer; on
    // the driver's virtual clock only StartSearch and WaitForVerdict do, so
    // that what a script sees never depends on how fast the search runs.
    DealVerdict Verdict() const;
    void StartSearch();
    // Waits for the search to end, or at most that long (it then runs on).
    void WaitForVerdict(std::optional<std::chrono::milliseconds> most = std::nullopt);
    bool SearchRunning() const { return m_search.Running(); }
    CString VerdictWords() const override;
    // "Winnable deals": New deals only deals the solver wins (set as the run
    // starts, as the host kept it).
    static bool s_winnableDeals;
    // The next move of a line that wins the deal from the table as it lies,
    // when a search has found one.
    std::optional<CardMove> WinningMove() const {
        if (m_winningLine.empty()) return std::nullopt;
        return m_winningLine.front();
    }

    // Help at the table (card_help.cpp). The move a hint suggests now: the
    // winning line's next move when a search has found one, else the best
    // legal move in this order: home; one that turns up a face-down card,
    // uncovers one, empties a column onto another or lets the card under it
    // go home; a card from the waste or a free cell onto the table; another
    // run that leaves a card it could stay on; a card into a free cell; the
    // stock; a run from one card it fits onto another; a card back from
    // home. Never the move that takes back the one before, nor a whole
    // column onto an empty one; and, while another move will do, none that
    // leaves the table as it is or leads back to a table a hint was asked on
    // since the deal, so that following the hints never goes round in a
    // circle.
    std::optional<CardMove> SuggestedMove();
    // The hint on the table, a MOVE_HOME with its foundation in `to`.
    const std::optional<CardMove>& Hint() const { return m_hint; }
    // For tests: a line found by a search.
    void SetWinningLine(std::vector<CardMove> line) { m_winningLine = std::move(line); }
    // Whether the game can go nowhere new: no sequence of moves, stock turns
    // included, sends another card home or turns up another card (Golf:
    // plays another card; Spider: deals or completes a suit), with the
    // positions that differ only in which of two equivalent places (empty
    // columns, free cells) holds what counted once. False while not known
    // within kStuckSearchBudget tries.
    bool IsStuck();
    bool IsCalledStuck() const { return m_stuck; }
    static constexpr int kStuckSearchBudget = 60;
    // The hint's, when every move leads back to a table hinted on.
    static constexpr int kHintSearchBudget = 20000;
    // When that search finds no way on, the hints still go round each way
    // there is this many times before they say so.
    static constexpr int kHintRounds = 3;
    // A step of the cards going home by themselves, in milliseconds.
    static constexpr uint32_t kFinishStepMs = 60;

    // The keys: Tab and Shift+Tab, the arrows, Return and Space, Shift+Return,
    // Escape and H (the README's key table).
    void OnKeyDown(unsigned key, unsigned flags) override;
    CardPlace Focus();  // kept on a card that can have it
    // The run the keys picked up: a MOVE_RUN with to = -1, while it still
    // lies where it was picked.
    std::optional<CardMove> Picked();
    CString FocusText() override;
    // The words for a card ("seven of hearts") and a pile ("Column 3").
    static CString CardName(const CCard& card);
    // "6♣", "10♥", "Q♠": a card as the bar names it.
    static CString ShortCardName(const CCard& card);
    // The names of a pile's top count cards, the top one last.
    static CString TopCardsWords(const CCardPile& pile, int count);
    // The lowest of a pile's top count cards (its bottom one when it has fewer).
    static auto LowestOfTop(const CCardPile& pile, int count) {
        auto lowest = pile.GetCards().end();
        for (int index = 0; index < count && lowest != pile.GetCards().begin(); ++index) --lowest;
        return lowest;
    }
    // The top card of each pile that has one, in order.
    static CString TopCardsOfEach(std::span<CCardPile* const> piles);
    // Whether the player sees the card's face: a waste's cards all show,
    // those under its fan marked face down only to lie without a fan; a
    // stock's never do.
    static bool ShowsFace(const CCardPile& pile, const CCard& card) {
        return pile.m_kind == PILE_WASTE || (pile.m_kind != PILE_STOCK && !card.IsFaceDown());
    }
    virtual CString PileName(int pile);
    // A pile as a sentence names it: "the waste", "Column 3".
    CString PlaceWords(int pile);

    // Picking. The first pile in list order that the point (or, without one,
    // the rectangle) designates, other than skip; m_sel describes the pick.
    // Nothing while the game is over.
    CCardPile* PickAt(std::optional<CPoint> point, std::optional<CRect> rect = std::nullopt,
                      const CCardPile* skip = nullptr);
    // The drop search, skipping the source pile: PointedDropTarget gives the
    // pile whose cards show under the point, else the first pile there;
    // BeginDropSearch and NextDropTarget go through the piles under the point
    // or the rectangle, in list order. Each candidate's reference card in
    // m_sel is its top card (null when empty).
    PilePos BeginDropSearch();
    CCardPile* PointedDropTarget(CPoint point, const CCardPile* source);
    CCardPile* NextDropTarget(CPoint point, const CRect& rect, const CCardPile* source);

    // Sends m_sel's card to the first foundation that takes it (an ace on an
    // empty one, else the next card of the suit), scoring HOME_POINTS.
    AutoMoveResult AutoMoveToFoundation();
    // Every foundation from pos on (while the piles are foundations) holds 13.
    bool AllFoundationsFull(PilePos pos) const;

    // Starts the game clock, and its tick, at the first action of a game.
    void StartClock() override;
    // The clock tick after a change of score: decay, then the status text.
    void UpdateStatus() { OnTimer(CLOCK_TIMER_ID); }
    // Ends the game as a win (no card game is ever lost): stops the clock,
    // adds the time bonus and offers the result to the hi scores, else asks
    // whether to play again. True when the player asked for a new game; a
    // second call does nothing.
    virtual bool EndGame();

    // The clock: every 10 seconds of play cost 2 points, never below 0.
    void OnTimer(uintptr_t id) override;
    // The clock, the toll, the bonus and undo as the rules tell them.
    static CString ClockRules();
    // The last step of every deal: no drag, clock stopped, score 0. With
    // "Winnable deals", the first deal from this one on that the solver
    // wins takes its place.
    void ResetGame();
    void ClearUndo();
    // The first step of every deal: no undo, no cards.
    void ClearAllPiles();

    // Undo and redo, which every card game answers, then "New" and "Hi
    // scores".
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    virtual void OnUndo();
    void OnUpdateUndo(CCmdUI& update) const;
    // Plays forward again the move undo took back last: the table as the
    // move left it, its record back on the undo list and its points back on
    // the score. Any new move, and every deal, clears what could be redone.
    void OnRedo();
    void OnUpdateRedo(CCmdUI& update) const;
    size_t RedoCount() const { return m_redoList.size(); }

    // The game's drop rule: whether the run whose first card is card, from
    // pile from, may go onto pile to, whose top card is ref (null when
    // empty), and as what.
    virtual DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref);

    // Reading the table.
    const Piles& GetPiles() const { return m_piles; }
    PilePos FirstPilePos() { return PilePos::Head(m_piles); }
    PilePos PilePosOf(const CCardPile* pile);
    int PileIndex(const CCardPile* pile) const;  // -1 when not one of the view's piles
    const std::vector<std::unique_ptr<CUndoMove>>& UndoList() const { return m_undoList; }
    bool IsDragging() const { return m_dragging != 0; }
    const CardSelection& Selection() const { return m_sel; }
    const CRect& DragRect() const { return m_dragRect; }

protected:
    // The table changed: the search of the old one stops, a new one is owed.
    // playedOn: by a move of the game, not an undo or a new deal.
    void TableChanged(bool playedOn = false);

    // The game's press on pos of pile (null: the pile is empty), and its
    // tap. Only a tap or a lift that changes something is one.
    virtual PressKind PressKindAt(CCardPile*, CardPos) { return PRESS_NOTHING; }
    virtual void Tap(CCardPile*, CardPos) {}
    // What a screen reader is told when a key presses a card that shows and
    // the press does nothing.
    virtual CString WhyNotPressed(CCardPile*, CardPos pos) {
        return u"The " + CardName(*pos.Get()) + u" cannot be moved";
    }
    // After a drop has moved cards: the win, or a game's own tidying.
    virtual void AfterDrop() { CheckFoundationsWin(); }
    // The game's double tap: by default a single top card of a waste or a
    // column goes home. True when it did.
    virtual bool DoubleTap(CCardPile* pile, CardPos pos);
    // Whether the double tap on pos sends the card home (MOVE_HOME).
    bool SendsHome(CCardPile* pile, CardPos pos);
    // Whether the pile's top card, of a waste or a column, goes home.
    bool TopGoesHome(CCardPile* pile);
    // The foundation that takes card next, or null.
    CCardPile* FoundationFor(const CCard& card);
    // Whether a press can pick the card (-1: the empty pile) of the pile.
    bool IsPickable(int pile, int card);
    bool IsLegalRun(const CardMove& move);
    // A drop the search or a move accepted: the cards move, the status shows
    // the score, and the game looks for its end.
    void MakeDrop(const DraggedRun& run, CCardPile* target, DropResult result);
    // A column's face-down top card not yet shown face up turned by a tap:
    // a move of its own for points that undo takes back.
    void TurnUpTop(CCardPile* pile, CardPos pos, int32_t points);
    // Makes m_sel the card at pos of pile, as a press there picks it.
    void SelectCard(CCardPile* pile, CardPos pos);

    CRect FocusRect() override;
    int FrameOutset() const override { return 2; }
    void LayOutForFrames() override { ShowTableAsPainted(); }
    CRect PickRect() override;
    void DropPick() override { m_pick.reset(); }
    void MoveFocusToStart() override { m_focus = {}; }
    // On the card a press there picks, or the pile's top card.
    void MoveFocusToPoint(CPoint point) override;
    bool PrepareHint(HintText* words, std::vector<CRect>* outlines) override;
    // The pile a tap on a face-up card of pile plays it onto (Golf: the
    // waste), or none.
    virtual CCardPile* TapTarget(const CCardPile*) { return nullptr; }
    void ForgetHint() override { m_hint.reset(); }

    // After each move of the player: the cards go home by themselves when
    // nothing can stop them any more, else a stuck game is called over.
    void AfterMove();
    // Whether the cards left can all go home by themselves: the games that
    // finish so say when.
    virtual bool ReadyToFinish() { return false; }
    // No card face down (but a column's top, which the paint turns), and
    // every column descending from its bottom card:
    // the lowest card left then always goes home next.
    bool ColumnsDescend() const;
    // Sends the lowest card that goes home there, one painted step each,
    // until the game is won.
    void AutoFinish();
    // What grows when a game gets somewhere: cards home, less hidden (a
    // face-down card on top of its column is as good as turned).
    virtual int ProgressMeasure() const;
    // For a move that cannot be tried and taken back (a deal that clears the
    // undo list): whether it leads anywhere new. Nullopt: try it.
    virtual std::optional<bool> ProgressUntried(const CardMove&) { return std::nullopt; }
    // For such a move that changes the table, where the game can lay out
    // the table it leads to and back again without records (Cruel's
    // redeal): lays it out, runs laidOut, lays the table back as it lay and
    // returns true; false where it cannot. With no laidOut it only tells.
    virtual bool WithUntriedLaidOut(const CardMove&, const std::function<void()>& /*laidOut*/) {
        return false;
    }
    // The table as a string: equal for tables that differ only in which of
    // two alike places (ColumnsInterchangeable) holds what.
    std::string TableKey() const;
    // Whether the search is worth making: false where some move always
    // opens up something new.
    virtual bool MightBeStuck() { return true; }
    // Whether the columns, and the free cells, are places alike.
    virtual bool ColumnsInterchangeable() const { return true; }
    // Whether the stock and waste lie as turning the stock round and round
    // always brings them again, whatever turn they were at: then a table
    // found to go on vouches for every table that differs from it only there.
    virtual bool StockComesRoundHere() const { return false; }

    // Appends a new pile of that kind to the table (the painting and search
    // order) and returns it; the view owns it.
    CCardPile* AddPile(PileKind kind);
    // Repaints a pile that changed: where its cards lay and, laid out
    // afresh, where they lie now. A column's fan may reach past m_rect.
    void InvalidatePile(CCardPile* pile);
    // Appends a move to the undo list, with the points it earns (negative:
    // takes off), which go onto the score at once, never below 0. A null
    // record is not a move and scores nothing.
    void AddUndo(std::unique_ptr<CUndoMove> move, int32_t points = 0);

    // Dragging, for the games' stylus handlers. StartDrag picks up m_sel's
    // run at point; EndDrag puts it down, repaints its source and its last
    // place, and tells what it was (false when no drag was going on);
    // FindDropTarget is the one drop search of every card game: it offers
    // the run to the pile under the lift point first, then to the other
    // piles the run touches in list order, and gives the first that takes
    // it, with CanDrop's answer in *result. A foundation is built one card at
    // a time, so a run of two or more is never offered to one, whatever the
    // game's rule.
    void StartDrag(CPoint point);
    bool EndDrag(DraggedRun* run);
    CCardPile* FindDropTarget(CPoint point, const DraggedRun& run, DropResult* result);
    // An accepted drop: the run moves onto target for the drop's points, and
    // the move is recorded. A card leaving a foundation gives back what going
    // home earned, so no trip home is paid twice.
    void AcceptDrop(const DraggedRun& run, CCardPile* target, DropResult result);
    // The end check of the games won by filling their foundations: the win,
    // and a new deal at once when the player asks for one.
    void CheckFoundationsWin();
    // Where the run lies with the stylus at m_dragPoint.
    CRect ComputeDragRect() const;
    // How far the held run is drawn from where its cards are laid out: the
    // stylus's way since the press, and the way the table's layout took the
    // run's pile meanwhile (a window sized anew), so it stays in the stylus.
    CPoint DragShift() const;
    // Makes m_sel offer pile with its top card as the reference card.
    CCardPile* OfferTopCard(CCardPile* pile);
    // The game's rule asked about one candidate, with its top card.
    DropResult OfferDrop(const DraggedRun& run, CCardPile* target);
    // Takes the newest move back, and the points it made; null when there is
    // none.
    std::unique_ptr<CUndoMove> UndoLastMove();
    // Repaints what taking move back changed: the piles it names.
    void InvalidateUndone(const CUndoMove& move);

    int32_t m_dragging = 0;
    bool m_liftedWhilePixelsOwed = false;  // see MayOwePixels
    CPoint m_pressPoint;
    CPoint m_dragPoint;
    CPoint m_liftedAt;  // the held card's top left when it was lifted
    uint32_t m_decayTick = 0;
    std::vector<std::unique_ptr<CUndoMove>> m_undoList;  // oldest first
    CardSelection m_sel;
    CRect m_dragRect;
    Piles m_piles;
    PilePos m_firstFoundationPos;
    bool m_fillAround = false;  // the paint being drawn was asked to erase
    PaintedArea m_painted;      // what the paint being drawn has covered so far
    // A line of moves that wins the deal from the table as it lies, first
    // move first; empty when none is known.
    std::vector<CardMove> m_winningLine;

private:
    // DoMove without what follows a player's move.
    bool MakeMove(const CardMove& move);
    // MakeMove for a move of the player's, by the layer or the keys: one
    // along the winning line keeps the rest of it.
    bool MakePlayersMove(const CardMove& move);
    // The winning line as it stands before a move of the player's (by the
    // stylus, the keys or the layer), and the move as the line names it.
    struct LineBeforeMove {
        std::vector<CardMove> line;
        CardMove move;
    };
    LineBeforeMove LineBefore(const CardMove& move);
    // After that move: when it was the line's next one and was made, the
    // rest of the line still wins, with no search; so following the hints
    // by any means plays one line to its end.
    void KeepLineIfFollowed(LineBeforeMove before);
    int HintRank(const CardMove& move);
    bool CardAwayFromHomeGoesOnto(CCardPile* target, CCard* card);
    // How many hints were given on the table move leads to (or leaves as
    // it is): tried and taken back, under a QuietTries.
    int TimesHintedAfter(const CardMove& move);
    // While one lives, moves are made quietly, to be taken back: nothing is
    // painted, said or scored for good, and at its end the clock, the
    // player's pick, selection and redo list, and every card's face are as
    // they were.
    class QuietTries;
    HintText MoveWords(const CardMove& move);
    bool UndoesLastMove(const CardMove& move) const;
    // The table's key without the stock and the waste.
    std::string KeyBesideStock() const;
    // A move of a line the hint follows, and the table (TableKey) it is made on.
    struct LineStep {
        CardMove move;
        std::string table;
    };
    // Tries the moves of a table (its list from ListMovesUnlessOneGetsSomewhere)
    // and the tables they lead to. Found, *line (when given) gets the moves
    // from this table to the one where something gets somewhere.
    bool FindsProgress(int root, const std::vector<CardMove>& moves, std::set<std::string>& seen,
                       int& budget, std::vector<LineStep>* line = nullptr);
    // A move that gets somewhere from a table as far on as the first.
    bool GetsSomewhere(const CardMove& move);
    // LegalMoves into *moves, unless the table is as far on as root
    // (ProgressMeasure) and one of them GetsSomewhere: then true, and the
    // list is left unfinished.
    bool ListMovesUnlessOneGetsSomewhere(int root, std::vector<CardMove>* moves);
    // Calls visit(move) for each of LegalMoves' moves, in its order, on the
    // table as painted, until visit returns true; returns whether it did.
    template <typename Visit>
    bool VisitLegalMoves(Visit&& visit);
    // The message box of a stuck game: the clock stops; an undo reopens it.
    void CallStuck();
    void Reopen();

    CCardPile* PileAt(int index) const;
    CardPos CardAt(CCardPile* pile, int index) const;
    int CardIndex(CCardPile* pile, CardPos pos) const;
    // The cards of pile the keys can focus, bottom first: a column's face-up
    // cards that show, else the top card; none for an empty pile.
    std::vector<int> FocusableCards(int pile);
    // The same into cards, which play's searches reuse from pile to pile.
    static void FocusableCards(const CCardPile* pile, std::vector<int>* cards);
    // What shows of a card (its strip when the next card covers it), or of
    // an empty pile's place.
    CRect ShownRect(const CardPlace& place);
    void MoveFocusTo(CardPlace place);
    void MoveFocusToTopOf(const CCardPile* pile);
    void MoveFocusAcross(int dx, int dy);
    void PressFocused(bool doubleTap);
    // "the six of clubs and 2 more": a run from card of count cards, and
    // the run picked up.
    static CString RunNamed(const CCard& card, int count);
    CString PickedWords();
    // The words a drop is told in, worked out before it is made.
    CString RunWords(const DraggedRun& run, const CCardPile* target);
    // ", turning up the queen of clubs in Column 3" when the move just
    // recorded left a face-down card on top of its column, which the table
    // turns up; ", uncovering the ..." when it left a face-up one there.
    CString TurnedUpByLastMove();
    // What an undo (undone) or a redo did with move, whose cards now lie on
    // top of now: "the nine of spades back to Column 6".
    CString CardsMovedWords(const CUndoMove& move, const CCardPile* now, bool undone);

    // Every pile's cards, bottom first, as (index, state).
    using TableCards = std::vector<std::vector<std::pair<int32_t, uint32_t>>>;
    TableCards SaveTable() const;
    void RestoreTable(const TableCards& table);
    // A move undo took back: the table as the move had left it, and its record.
    struct RedoStep {
        TableCards table;
        std::unique_ptr<CUndoMove> move;
    };

    CardPlace m_focus;
    std::optional<CardMove> m_pick;
    std::vector<RedoStep> m_redoList;  // the move undone last at the back
    std::optional<CardMove> m_hint;
    std::map<std::string, int> m_hintedTables;  // as TableKey: hints on it since the deal
    bool m_hintFoundStuck = false;              // by SuggestedMove's longer search
    bool m_hintGoesRound = false;               // every move leads back, kHintRounds times
    CString m_verdictTold;                 // to a screen reader, since the deal
    std::vector<LineStep> m_wayOut;        // the rest of the line that search found
    int m_dealtCards = 0;     // the cards on the table when it was dealt
    std::string m_goesOnKey;  // the last table found not stuck, as TableKey
    // The last table proved to go on, where StockComesRoundHere, as KeyBesideStock.
    std::string m_goesOnBesideStock;
    // TableKey's piles to sort, kept from key to key.
    mutable std::string m_keyScratch;
    mutable std::vector<std::string_view> m_keyColumns, m_keyCells;
    bool m_stuck = false;      // called over for want of moves; an undo reopens it
    uint32_t m_stuckTick = 0;  // when it was
    // Takes a finished search's result, and tells it.
    void TakeResult(const solver::Result& result);
    // The search timer: starts the search owed, takes the result of one
    // that has ended, and stops when there is nothing left to wait for.
    void PollSearch();
    void ChooseWinnableDeal();

    solver::SearchThread m_search;
    bool m_searchDue = false;
    bool m_choosingDeal = false;
    DealVerdict m_verdict = DealVerdict::Unknown;
};
