// Playing by keys, through the whole program: where the focus goes, picking
// up and dropping, the frames that show only after a key, and the words a
// screen reader gets.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "balls/gemfield.h"
#include "balls/paintpot.h"
#include "cards/cardgame.h"
#include "res/resource.h"
#include "tests/app/forwarding_host.h"
#include "tests/app/program_test.h"

namespace {

CPoint Centre(const CRect& r) {
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class KeysTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
        host.Idle();
    }
    CGameView& View() { return *dynamic_cast<CGameView*>(Frame().GetActiveView()); }
    CCardgame& Cards() { return dynamic_cast<CCardgame&>(View()); }
    // Presses the keys named, as the driver names them.
    void Keys(const std::string& names) {
        std::istringstream words(names);
        for (std::string name; words >> name;) {
            unsigned flags = 0;
            if (name.starts_with("Shift+")) {
                flags = MK_SHIFT;
                name.erase(0, 6);
            }
            static const std::vector<std::pair<std::string, unsigned>> kKeys = {
                {"Tab", VK_TAB},     {"Left", VK_LEFT},     {"Right", VK_RIGHT},
                {"Up", VK_UP},       {"Down", VK_DOWN},     {"Return", VK_RETURN},
                {"Space", VK_SPACE}, {"Escape", VK_ESCAPE}, {"Backtab", VK_TAB}};
            for (const auto& [keyName, key] : kKeys)
                if (name == keyName) View().SendKeyDown(key, name == "Backtab" ? unsigned{MK_SHIFT} : flags);
            host.Idle();
        }
    }
    void Pick(unsigned game) {
        Frame().SendCommand(game);
        host.Idle();
    }
};

// Klondike's deal at the first tick: piles 0 stock, 1 waste, 2..8 the
// columns (one to seven cards, the top one face up), 9..12 the foundations.
TEST_F(KeysTest, TheFocusGoesRoundThePilesAndAcrossTheTable) {
    struct Step {
        const char* keys;
        CardPlace focus;
    };
    const Step walk[] = {
        {"", {0, 23}},
        {"Tab", {1, -1}},
        {"Tab", {2, 0}},
        {"Right", {3, 1}},
        {"Backtab", {2, 0}},
        {"Up", {0, 23}},
        {"Backtab", {12, -1}},
        {"Left", {11, -1}},
        {"Down", {7, 5}},
        {"Up", {11, -1}},
        {"Left Left Left", {1, -1}},
        // A column one step lower lies beside, not below: Down stays.
        {"Down Right Right Right Right Right Right Down", {8, 6}},
        {"Right", {8, 6}},  // the table's edge
    };
    for (const Step& step : walk) {
        Keys(step.keys);
        EXPECT_EQ(Cards().Focus(), step.focus) << step.keys;
    }
}

// Golf's columns of unequal length: across goes to the next column, longer
// or shorter; down from a short column goes to the row below, not to a
// longer column beside it.
TEST_F(KeysTest, TheArrowsGoToTheNextColumnWhateverItsLength) {
    Pick(ID_GAME_GOLF);
    std::vector<CCardPile*> piles;
    for (const auto& pile : Cards().GetPiles()) piles.push_back(pile.get());
    // Piles 0 stock, 1 waste, 2..8 the columns of five: column 3 keeps two
    // cards, column 5 one.
    piles[4]->MoveTopCards(piles[1], true, 3);
    piles[6]->MoveTopCards(piles[1], true, 4);
    Cards().Invalidate();
    host.Idle();
    const struct {
        const char* keys;
        int pile;
    } walk[] = {{"Tab Tab Tab Tab Tab Tab", 6},
                {"Left", 5},
                {"Left", 4},
                {"Right", 5},
                {"Right", 6},
                {"Down", 1}};
    for (const auto& step : walk) {
        Keys(step.keys);
        EXPECT_EQ(Cards().Focus().pile, step.pile) << step.keys;
    }

    // Spider: piles 0 stock, 1 the completed suits (the bottom strip), 2..11
    // the columns. Two suits done, column 8 long: Up from the second suit
    // goes to the column over it, Down from the far column to the strip.
    Pick(ID_GAME_SPIDER);
    piles.clear();
    for (const auto& pile : Cards().GetPiles()) piles.push_back(pile.get());
    piles[0]->MoveTopCards(piles[1], true, 26);
    piles[0]->MoveTopCards(piles[8], true, 14);
    Cards().Invalidate();
    host.Idle();
    const CRect last = piles[1]->GetCards().back()->m_rect;
    const int middle = (last.left + last.right) / 2;
    int above = -1;
    for (int p = 2; p < 12; ++p)
        if (piles[p]->PlaceRect().left <= middle && middle < piles[p]->PlaceRect().right) above = p;
    ASSERT_NE(above, 8) << "the long column lies aside";
    Keys("Tab Up");
    EXPECT_EQ(Cards().Focus().pile, above);
    for (int p = above; p < 11; ++p) Keys("Tab");
    Keys("Down");
    EXPECT_EQ(Cards().Focus().pile, 1);
}

TEST_F(KeysTest, ARunIsPickedUpDroppedWhereTheRuleTakesItOrPutBack) {
    Keys("Tab Tab Tab Return");  // the ten of diamonds on column 2
    ASSERT_TRUE(Cards().Picked());
    EXPECT_EQ(*Cards().Picked(), (CardMove{MOVE_RUN, 3, 1, 1, -1}));
    Keys("Return");  // on its own pile: put back
    EXPECT_FALSE(Cards().Picked());
    Keys("Return Escape");
    EXPECT_FALSE(Cards().Picked());
    Keys("Return Tab Return");  // not onto the queen of diamonds
    EXPECT_TRUE(Cards().Picked());
    EXPECT_TRUE(Cards().UndoList().empty());
    Keys("Tab Tab Tab Tab Return");  // onto the jack of clubs
    EXPECT_FALSE(Cards().Picked());
    ASSERT_EQ(Cards().UndoList().size(), 1u);
    EXPECT_EQ(View().LastAnnouncement(),
              u"Moved the ten of diamonds onto the jack of clubs, turning up the king of spades in "
              u"Column 2");
    // Undone and redone, the focus is on the top card each time, whether or
    // not a paint or a screen reader asked where it was in between.
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 6}));
    EXPECT_EQ(View().LastAnnouncement(),
              u"Undid the move: the ten of diamonds back to Column 2, turning the king of spades "
              u"face down again");
    Frame().SendCommand(ID_REDO_MOVE);
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 7}));
    EXPECT_EQ(View().LastAnnouncement(), u"Redid the move: the ten of diamonds to Column 7");
    // Up and Down go through the column's face-up cards before they leave it.
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 7}));
    Keys("Up");
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 6}));
    EXPECT_EQ(Cards().FocusText(), u"Column 7: jack of clubs, 1 card on it, 6 cards face down");
    Keys("Down");
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 7}));
    // What the last move did is not read again with every pile passed.
    EXPECT_EQ(View().LastAnnouncement(), u"");
    // Picked up, a run goes onto a pile as a whole: Up leaves the column.
    Keys("Return Up");
    EXPECT_EQ(Cards().Focus(), (CardPlace{12, -1}));
    Keys("Down Return");  // put back
    EXPECT_FALSE(Cards().Picked());
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, 7}));
    // The card left on top of column 2 is turned up, as a paint turns it.
    Keys("Tab Tab Tab Tab Tab Tab Tab Tab");
    EXPECT_EQ(Cards().Focus(), (CardPlace{3, 0}));
    EXPECT_EQ(Cards().FocusText(), u"Column 2: king of spades");
    Keys("Backtab Backtab Backtab Return");  // the stock deals three
    EXPECT_EQ(Cards().GetPiles().front()->GetCount(), 21);
    EXPECT_EQ(View().LastAnnouncement(),
              u"Turned up three of clubs, king of diamonds, eight of hearts");
}

// What a screen reader is told of the focus, as the desktop tells it: at
// each focus change and whenever the focus's words are no longer those told.
class ReaderHost : public ForwardingHost {
public:
    using ForwardingHost::ForwardingHost;
    void AccessibleFocusChanged(CWnd& window) override {
        told.push_back(dynamic_cast<CGameView&>(window).FocusText());
        heard.push_back(u"focus " + told.back());
    }
    void Announce(CWnd&, const CString& text) override { heard.push_back(u"words " + text); }
    std::vector<CString> told;
    std::vector<CString> heard;  // focus and words, in order
};

TEST_F(KeysTest, AMoveThatTurnsUpACardTellsTheFocusOnce) {
    Answer("values 3");  // column 2's ace of clubs lies on a card face down
    Frame().SendCommand(ID_CHOOSE_DEAL);
    host.Idle();
    Keys("Tab Tab Tab");
    ReaderHost reader(host);
    Keys("Shift+Return");
    View().TellReaderOfChanges();
    EXPECT_EQ(View().LastAnnouncement().substr(0, 39), u"Moved the ace of clubs home, turning up");
    ASSERT_EQ(reader.told.size(), 1u);
    EXPECT_EQ(reader.told[0], Cards().FocusText());
    EXPECT_EQ(reader.told[0].find(u"face down"), CString::npos);
}

// The words tell what a move leaves on top, and a move that cannot be made.
TEST_F(KeysTest, AMoveTellsTheCardItUncoversAndOneThatCannotBeMadeSaysSo) {
    Keys("Tab Tab Tab Shift+Return");  // column 2's ten of diamonds
    EXPECT_EQ(View().LastAnnouncement(), u"The ten of diamonds cannot go home");
    Pick(ID_GAME_FREECELL);
    Keys("Return Up Return");  // column 1's top card into a free cell
    const CCardPile& column = **Cards().GetPiles().begin();
    EXPECT_TRUE(View().LastAnnouncement().ends_with(
        u", uncovering the " + CCardgame::CardName(*column.TopCard()) + u" in Column 1"))
        << ToUtf8(View().LastAnnouncement());
    // A press that does nothing says why.
    Pick(ID_GAME_GOLF);
    const struct {
        const char* keys;
        const char16_t* words;
    } refusals[] = {
        {"Tab Return", u"The waste's cards stay there"},
        {"Tab Up Return", u"The ten of clubs is covered"},
        {"Down Return", u"The ace of clubs does not go on the nine of hearts"},
    };
    for (const auto& refusal : refusals) {
        Keys(refusal.keys);
        EXPECT_EQ(View().LastAnnouncement(), refusal.words) << refusal.keys;
    }
}

// A waste's card under its fan is marked face down, but shows its face.
TEST_F(KeysTest, AWastesCardsAreNamedAsTheyShow) {
    Keys("Return Tab");  // three cards turned, the focus on the waste
    CCardPile& waste = **std::next(Cards().GetPiles().begin());
    waste.TopCard()->m_state = CARD_FACEDOWN;  // as when the fan's cards have gone
    EXPECT_EQ(Cards().FocusText(), u"Waste: " + CCardgame::CardName(*waste.TopCard()));
}

// A new deal's focus is never read with the last deal's words.
TEST_F(KeysTest, ARestartedDealDropsTheLastWordsBeforeItsFocusIsTold) {
    Keys("Tab Tab Tab Return Escape");
    ASSERT_EQ(View().LastAnnouncement(), u"Put back the ten of diamonds");
    ReaderHost reader(host);
    Frame().SendCommand(ID_RESTART_DEAL);
    host.Idle();
    const auto focus =
        std::find_if(reader.heard.begin(), reader.heard.end(),
                     [](const CString& line) { return line.starts_with(u"focus "); });
    ASSERT_NE(focus, reader.heard.end());
    EXPECT_NE(std::find(reader.heard.begin(), focus, CString(u"words ")), focus);
}

// Escape puts back a run the stylus holds; letting go then, over the jack
// of clubs the ten of diamonds would go onto, moves nothing.
TEST_F(KeysTest, EscapeEndsADragOfTheStylus) {
    const CCardPile& column = **std::next(Cards().GetPiles().begin(), 3);
    const CCardPile& jack = **std::next(Cards().GetPiles().begin(), 8);
    const CPoint from = Centre(column.TopCard()->m_rect), to = Centre(jack.TopCard()->m_rect);
    const int count = column.GetCount();
    View().SendStylusDown(from);
    View().SendStylusMove(to);
    Keys("Escape");
    EXPECT_EQ(View().LastAnnouncement(), u"Put back the " + CCardgame::CardName(*column.TopCard()));
    View().SendStylusUp(to);
    host.Idle();
    EXPECT_EQ(column.GetCount(), count);

    // A window sized anew under a held card (the table laid out again)
    // leaves it where the stylus holds it.
    View().SendStylusDown(from);
    View().SendStylusMove(to);
    const CRect held = Cards().DragRect();
    Frame().SetViewSize(Frame().ViewSize().cx + 90, Frame().ViewSize().cy + 40);
    host.Idle();
    View().SendStylusMove(CPoint(to.x + 1, to.y + 1));
    CRect moved = held;
    moved.OffsetRect(1, 1);
    EXPECT_EQ(Cards().DragRect(), moved);
    Keys("Escape");

    // A ball held by the stylus goes back too, and letting go swaps nothing.
    Pick(ID_GAME_GEMFIELD);
    auto& gemfield = dynamic_cast<CGemfield&>(View());
    const BallMove swap = gemfield.LegalMoves().front();
    const CRect ball = gemfield.CellRect(swap.col, swap.row),
                other = gemfield.CellRect(swap.toCol, swap.toRow);
    const int32_t score = gemfield.Score();
    View().SendStylusDown(Centre(ball));
    View().SendStylusMove(Centre(other));
    Keys("Escape");
    EXPECT_EQ(View().LastAnnouncement().rfind(u"Put back the ", 0), 0u)
        << ToUtf8(View().LastAnnouncement());
    View().SendStylusUp(Centre(other));
    host.Idle();
    EXPECT_EQ(gemfield.Score(), score);
}

TEST_F(KeysTest, TheFramesShowFromTheFirstKeyUntilAPressWhereTheFocusThenGoes) {
    const auto pile = [&](int index) -> const CCardPile& {
        return **std::next(Cards().GetPiles().begin(), index);
    };
    const auto press = [&](CPoint from, CPoint to) {
        View().SendStylusDown(from);
        View().SendStylusMove(to);
        View().SendStylusUp(to);
        host.Idle();
    };
    const auto top = [&](int index) { return Centre(pile(index).TopCard()->m_rect); };
    // The stylus alone leaves the focus where the deal put it.
    const CardPlace dealt = Cards().Focus();
    press(top(5), top(5));
    EXPECT_EQ(Cards().Focus(), dealt);
    const CImage untouched = View().Surface();
    Keys("Tab");
    EXPECT_TRUE(View().ShowsFocus());
    EXPECT_NE(View().Surface().pixels, untouched.pixels);
    Keys("Backtab Tab Tab Return");           // a run picked up, framed too
    View().SendStylusDown(CPoint(236, 264));  // bare table
    View().SendStylusUp(CPoint(236, 264));
    host.Idle();
    EXPECT_FALSE(View().ShowsFocus());
    EXPECT_FALSE(Cards().Picked());
    EXPECT_EQ(View().Surface().pixels, untouched.pixels);
    // Once the keys were used, a press takes the focus to what it pressed,
    // a drop to the cards that moved, and the keys go on from there.
    press(top(5), top(5));
    EXPECT_EQ(Cards().Focus(), (CardPlace{5, pile(5).GetCount() - 1}));
    press(top(3), top(8));
    EXPECT_EQ(Cards().Focus(), (CardPlace{8, pile(8).GetCount() - 1}));
    Keys("Left");
    EXPECT_EQ(Cards().Focus().pile, 7);
}

TEST_F(KeysTest, EveryGameNamesWhatHasTheFocus) {
    struct Case {
        unsigned game;
        const char* keys;
        const char16_t* words;
    };
    const Case cases[] = {
        {ID_GAME_KLONDIKE, "", u"Stock: 24 cards"},
        {ID_GAME_KLONDIKE, "Tab", u"Waste: empty"},
        {ID_GAME_KLONDIKE, "Tab Tab Tab Tab", u"Column 3: queen of diamonds, 2 cards face down"},
        {ID_GAME_KLONDIKE, "Backtab", u"Foundation 4: empty"},
        {ID_GAME_FREECELL, "Backtab", u"Free cell 4: empty"},
        {ID_GAME_FREECELL, "Backtab Backtab Backtab Backtab Backtab", u"Foundation 1: empty"},
        {ID_GAME_SPIDER, "Tab", u"Completed suits: empty"},
        {ID_GAME_CRUEL, "", u"Redeal"},
        {ID_GAME_CRUEL, "Tab", u"Pile 1: "},
        {ID_GAME_GOLF, "Tab", u"Waste: "},
        {ID_GAME_PAINTPOT, "Tab", u"Row 2, column 1: "},
        {ID_GAME_GEMFIELD, "Backtab Return", u"Row 8, column 7: "},
    };
    for (const Case& c : cases) {
        Answer("ok");  // Spider's suits
        Pick(c.game);
        Keys(c.keys);
        EXPECT_TRUE(View().FocusText().starts_with(c.words)) << c.keys;
    }
    EXPECT_TRUE(View().FocusText().ends_with(u" ball, picked up"));
    const CString focus = View().FocusText();  // "Row 8, column 7: red ball, picked up"
    const CString ball = focus.substr(focus.find(u": ") + 2);
    Keys("Escape");
    EXPECT_EQ(View().LastAnnouncement(), u"Put back the " + ball.substr(0, ball.find(u',')));
}

TEST_F(KeysTest, EveryDealStartsTheFocusOnTheFirstPileAndTheFramesStayWithTheKeys) {
    Keys("Tab Tab Tab");
    EXPECT_EQ(Cards().Focus(), (CardPlace{3, 1}));
    struct Step {
        unsigned command;
        bool framed;
    };
    // Restart deal, New and a switch by the keys; then a click, and New.
    const Step steps[] = {{ID_RESTART_DEAL, true}, {ID_FILE_NEW, true}, {ID_GAME_GOLF, true},
                          {0, false}, {ID_FILE_NEW, false}};
    for (const Step& step : steps) {
        if (step.command) {
            Frame().SendCommand(step.command);
        } else {
            View().SendStylusDown(CPoint(236, 264));
            View().SendStylusUp(CPoint(236, 264));
        }
        host.Idle();
        EXPECT_EQ(Cards().Focus().pile, 0) << step.command;
        EXPECT_EQ(View().ShowsFocus(), step.framed) << step.command;
    }
}

TEST_F(KeysTest, TheFrameOfAPilePastTheEdgeShowsWhole) {
    Answer("ok");  // Spider's suits
    Pick(ID_GAME_SPIDER);
    // Every card in the completed pile, as at the end of a game.
    const auto& piles = Cards().GetPiles();
    CCardPile* completed = std::next(piles.begin())->get();
    for (const auto& pile : piles)
        if (pile.get() != completed) pile->MoveTopCards(completed, true, pile->GetCount());
    View().Invalidate(true);
    Keys("Tab");
    const CImage& table = View().Surface();
    int framed = 0;
    for (int y = 0; y < table.height; ++y)
        framed += table.At(table.width - 2, y) == PixelFromColorRef(RGB(255, 214, 0));
    EXPECT_GT(framed, 20);
}

TEST_F(KeysTest, BallGamesGoCellByCellAndPlayByReturnAndArrows) {
    Pick(ID_GAME_PAINTPOT);
    auto& paintpot = dynamic_cast<CPaintpot&>(View());
    Keys("Tab");
    EXPECT_EQ(paintpot.Focus(), (BallPlace{0, 1}));
    Keys("Backtab Backtab");  // column by column, round to the last cell
    EXPECT_EQ(paintpot.Focus(), (BallPlace{13, 13}));
    Keys("Right Down Left Up");  // the edges hold
    EXPECT_EQ(paintpot.Focus(), (BallPlace{12, 12}));
    // Return on a ball that touches the flooded area is a step.
    const BallMove step = paintpot.LegalMoves().front();
    Keys(
        "Up Up Up Up Up Up Up Up Up Up Up Up Left Left Left Left Left Left Left Left Left Left "
        "Left Left");
    for (int i = 0; i < step.col; ++i) Keys("Right");
    for (int i = 0; i < step.row; ++i) Keys("Down");
    Keys("Return");
    EXPECT_EQ(paintpot.Steps(), 1);

    Pick(ID_GAME_GEMFIELD);
    auto& gemfield = dynamic_cast<CGemfield&>(View());
    const BallMove swap = gemfield.LegalMoves().front();
    for (int i = 0; i < swap.col; ++i) Keys("Right");
    for (int i = 0; i < swap.row; ++i) Keys("Down");
    Keys("Return Tab");  // moving on puts the ball back
    EXPECT_FALSE(gemfield.Picked());
    Keys("Backtab Return");
    ASSERT_TRUE(gemfield.Picked());
    Keys(swap.toCol > swap.col ? "Right" : "Down");
    EXPECT_FALSE(gemfield.Picked());
    EXPECT_GT(gemfield.Score(), 0);
    EXPECT_EQ(gemfield.Focus(), (BallPlace{swap.toCol, swap.toRow}));
    const CPoint ball = Centre(gemfield.CellRect(2, 3));
    View().SendStylusDown(ball);
    View().SendStylusUp(ball);
    EXPECT_EQ(gemfield.Focus(), (BallPlace{2, 3}));
}

}  // namespace
