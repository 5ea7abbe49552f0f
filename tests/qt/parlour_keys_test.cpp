// The table played with the keys on the desktop, and what a screen reader
// reads from it: the focus in words as the table's name, the last move as
// its description.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <vector>

#include "balls/bolgame.h"
#include "gameview/game_view.h"
#include "hosts/qt/qt_convert.h"
#include "platform/random.h"
#include "res/resource.h"
#include "tests/qt/parlour_app_test.h"
#include "tests/qt/qt_test_support.h"

namespace {

class ParlourKeysTest : public ParlourAppTest {
protected:
    void SetUp() override {
        ParlourAppTest::SetUp();
        Activate();
    }
    // Also back from a closed dialog.
    void Activate() {
        host->Window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host->Window()));
    }
    QWidget* Table() const { return host->Window()->ViewWidget(); }
    QString Read(QWidget* widget, QAccessible::Text text) const {
        return QAccessible::queryAccessibleInterface(widget)->text(text);
    }
    // A key as the window system gives it: to the widget with the focus.
    void Press(QKeyCombination key) {
        QTest::keyClick(host->Window()->windowHandle(), key.key(), key.keyboardModifiers());
    }
};

const QKeyCombination kReturn(Qt::Key_Return);

// The arrows from the top-left cell to a move's cell, Return, and for a
// swap the arrow towards the other cell.
std::vector<QKeyCombination> KeysFor(const BallMove& move) {
    std::vector<QKeyCombination> keys(move.col, QKeyCombination(Qt::Key_Right));
    keys.insert(keys.end(), move.row, QKeyCombination(Qt::Key_Down));
    keys.push_back(kReturn);
    if (move.toCol > move.col) keys.push_back(QKeyCombination(Qt::Key_Right));
    if (move.toRow > move.row) keys.push_back(QKeyCombination(Qt::Key_Down));
    return keys;
}

struct KeyPlay {
    unsigned game;
    const char* afterTab;               // the focus's words one Tab on from the first pile or cell
    std::vector<QKeyCombination> keys;  // a move from there; none: a ball game's first legal move
    const char* told;                   // what the move did, in words
};

}  // namespace

TEST_F(ParlourKeysTest, TheKeysPlayEveryGameAndTheReaderFollowsTheFocus) {
    const KeyPlay plays[] = {
        {ID_GAME_KLONDIKE, "^Waste: empty$", {kReturn}, "^Turned up (\\w+ of \\w+(, )?){3}$"},
        {ID_GAME_CRUEL,
         "^Pile 1: \\w+ of \\w+, 3 cards face down$",
         {kReturn},
         "^Dealt the piles again: (\\w+ of \\w+(, )?){12}$"},
        {ID_GAME_GOLF, "^Waste: \\w+ of \\w+$", {kReturn}, "^Turned up the \\w+ of \\w+$"},
        {ID_GAME_SPIDER,
         "^Completed suits: empty$",
         {kReturn},
         "^Dealt a row: (\\w+ of \\w+(, )?){10}$"},
        {ID_GAME_FREECELL, "^Column 2: \\w+ of \\w+$", {kReturn}, "^Picked up the \\w+ of \\w+$"},
        {ID_GAME_GEMFIELD, "^Row 2, column 1: \\w+ ball$", {}, "^Swapped: \\d+ points$"},
        {ID_GAME_PAINTPOT,
         "^Row 2, column 1: \\w+ ball(, flooded)?$",
         {},
         "^Painted \\w+: \\d+ balls flooded$"},
    };
    for (const KeyPlay& play : plays) {
        SCOPED_TRACE(play.afterTab);
        if (play.game == ID_GAME_SPIDER)  // its suits are asked first
            WhenModal("QtTemplateDialog",
                      [](QWidget* dialog) { static_cast<QDialog*>(dialog)->accept(); });
        // A fixed deal: a ball board dealt without a move would ask whether to
        // start again.
        runtime::ChooseNextDeal(1);
        ASSERT_TRUE(host->SendCommand(play.game));
        Activate();
        ASSERT_EQ(QApplication::focusWidget(), Table());
        auto* game = dynamic_cast<CGameView*>(app.m_pMainWnd->GetActiveView());
        ASSERT_NE(game, nullptr);

        // Tab moves the focus on the table, Shift+Tab brings it back.
        const QString first = Read(Table(), QAccessible::Name);
        Press(QKeyCombination(Qt::Key_Tab));
        const QString next = Read(Table(), QAccessible::Name);
        EXPECT_TRUE(QRegularExpression(play.afterTab).match(next).hasMatch()) << next.toStdString();
        EXPECT_EQ(next, ToQString(game->FocusText()));
        Press(QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab));
        EXPECT_EQ(Read(Table(), QAccessible::Name), first);
        EXPECT_TRUE(game->ShowsFocus());
        // H: the hint, in words for the reader too, until the next key.
        Press(QKeyCombination(Qt::Key_H));
        EXPECT_TRUE(game->ShowsHint());
        EXPECT_TRUE(Read(Table(), QAccessible::Description).startsWith("Hint: "));

        std::vector<QKeyCombination> keys = play.keys;
        if (auto* board = dynamic_cast<CBolGame*>(game)) {
            ASSERT_FALSE(board->LegalMoves().empty());
            keys = KeysFor(board->LegalMoves().front());
        }
        for (const QKeyCombination key : keys) Press(key);
        const QString told = Read(Table(), QAccessible::Description);
        EXPECT_TRUE(QRegularExpression(play.told).match(told).hasMatch()) << told.toStdString();
    }
    // Paintpot's bar counts the step, and reads as it shows.
    QLabel* status = host->Window()->StatusLabel();
    EXPECT_TRUE(status->text().endsWith("Steps:1/25")) << status->text().toStdString();
    EXPECT_EQ(Read(status, QAccessible::Name), status->text());
    // The window is the application's frame, named as its caption.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(host->Window());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), host->Window()->windowTitle());
}

// The menu's keys still reach the menu with the table focused.
TEST_F(ParlourKeysTest, TheMenuKeysWorkWhileTheTableHasTheFocus) {
    ASSERT_EQ(QApplication::focusWidget(), Table());
    const CView* first = Klondike();
    Press(kReturn);  // the stock
    ASSERT_EQ(Klondike()->m_waste->GetCount(), 3);
    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_Z));
    EXPECT_EQ(Klondike()->m_waste->GetCount(), 0);
    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_N));
    EXPECT_NE(Klondike(), first);
    EXPECT_EQ(QApplication::focusWidget(), Table());
    // A zoom key is a key too: the hint goes.
    Press(QKeyCombination(Qt::Key_H));
    ASSERT_TRUE(Klondike()->ShowsHint());
    const int zoom = host->Window()->Zoom();
    Press(QKeyCombination(Qt::ControlModifier, Qt::Key_Minus));
    EXPECT_NE(host->Window()->Zoom(), zoom);
    EXPECT_FALSE(Klondike()->ShowsHint());
}
