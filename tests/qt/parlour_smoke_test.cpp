// The desktop program as a player starts it: the real application on the Qt
// host, off screen. Start-up, a tap on the stock, a drag, "New", the menu's
// hi-score list, and Exit.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest/QTest>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_settings.h"
#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "balls/gemfield.h"
#include "balls/paintpot.h"
#include "cardgames/solitaire.h"
#include "cardgames/spider.h"
#include "hosts/qt/desktop_memory.h"
#include "hosts/qt/qt_convert.h"
#include "platform/random.h"
#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_main_window.h"
#include "hosts/qt/qt_options.h"
#include "res/resource.h"
#include "tests/qt/parlour_app_test.h"
#include "tests/qt/qt_test_support.h"

// Named for the tests' list.
class ParlourSmokeTest : public ParlourAppTest {};

TEST_F(ParlourSmokeTest, StartsPlaysRenewsAndExits) {
    EXPECT_EQ(host->Window()->windowTitle(), QString("Klondike - Parlour"));
    EXPECT_FALSE(host->Window()->windowIcon().isNull());  // the program icon
    CSolitaire* first = Klondike();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_stock->GetCount(), 24);

    // A tap on the stock turns three cards and starts the clock.
    const CRect stock = first->m_stock->m_rect;
    Tap(CPoint(stock.left + 5, stock.top + 5));
    EXPECT_EQ(first->m_waste->GetCount(), 3);
    EXPECT_EQ(first->m_stock->GetCount(), 21);
    // The clock's first tick, a second later, shows the time and score (and
    // after them the deal's verdict, once the search has one).
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return host->Window()->StatusLabel()->text().startsWith("Time:1  Score:0"); },
        5000))
        << host->Window()->StatusLabel()->text().toStdString();
    // The picture on screen shows the waste's top card where the view put it.
    const QImage shown = host->Window()->ViewWidget()->grab().toImage();
    const CImage& surface = first->Surface();
    const CRect top = first->m_waste->TopCard()->m_rect;
    EXPECT_EQ(shown.pixel(2 * (top.left + 12), 2 * (top.top + 17)) & 0xFFFFFF,
              surface.At(top.left + 12, top.top + 17));

    // "New" puts a fresh game in a new view.
    QTest::mouseClick(host->Window()->LeftSoftKey(), Qt::LeftButton);
    ASSERT_NE(Klondike(), nullptr);
    EXPECT_NE(Klondike(), first);
    EXPECT_EQ(Klondike()->m_stock->GetCount(), 24);
    EXPECT_EQ(Klondike()->m_waste->GetCount(), 0);

    // The hi-score list opens from the menu as a real dialog, and closes.
    WhenModal("QDialog", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QString("Hi Scores"));
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_TRUE(host->SendCommand(ID_HI_SCORES));

    // Exit ends the loop with 0.
    QTimer::singleShot(0, [this] { host->SendCommand(ID_APP_EXIT); });
    EXPECT_EQ(host->Exec(), 0);
}

// Qt's options pass through; the game named is picked on the Qt host.
TEST_F(ParlourSmokeTest, CommandLinePicksTheGameAndPassesQtsOptionsOn) {
    const CommandLine line = ParseCommandLine(
        {"/usr/bin/parlour", "-platform", "offscreen", "-reverse", "--game", "Klondike"},
        kQtOptions);
    EXPECT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.toolkitArgs,
              (std::vector<std::string>{"/usr/bin/parlour", "-platform", "offscreen", "-reverse"}));
    ASSERT_EQ(line.game, ID_GAME_KLONDIKE);
    const CView* before = app.m_pMainWnd->GetActiveView();
    EXPECT_TRUE(host->SendCommand(line.game));
    EXPECT_NE(app.m_pMainWnd->GetActiveView(), before);
    EXPECT_EQ(ParseCommandLine({"parlour", "-platform"}, kQtOptions).action,
              CommandLine::Action::Error);
}

// The desktop's keys do what the menu does, only while the menu would; the
// bar's right-click menu lists them beside the zoom.
TEST_F(ParlourSmokeTest, DesktopKeysSendTheMenuCommandsWhenEnabled) {
    QWidget* window = host->Window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const auto press = [window](int key, Qt::KeyboardModifiers modifiers) {
        window->activateWindow();  // back from a closed dialog
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key(key), modifiers);
        QApplication::processEvents();
    };

    std::vector<QString> listed;
    const std::unique_ptr<QMenu> barMenu = host->Window()->CreateBarMenu();
    for (QAction* action : barMenu->actions())
        if (!action->isSeparator())
            listed.push_back(action->text() + (action->isEnabled() ? "" : " (off)"));
    EXPECT_EQ(listed, (std::vector<QString>{"Zoom In", "Zoom Out", "Fit to Screen", "New\tCtrl+N",
                                            "Undo move\tCtrl+Z (off)",
                                            "Redo move\tCtrl+Shift+Z (off)", "Restart deal\tCtrl+R",
                                            "Hi scores\tCtrl+H", "Rules\tF1", "Exit\tCtrl+Q"}));

    // Ctrl+Z: nothing to undo yet, then the stock turn taken back.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Klondike()->m_stock->GetCount(), 24);
    const CRect stock = Klondike()->m_stock->m_rect;
    Tap(CPoint(stock.left + 5, stock.top + 5));
    ASSERT_EQ(Klondike()->m_stock->GetCount(), 21);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Klondike()->m_stock->GetCount(), 24);
    EXPECT_TRUE(Klondike()->UndoList().empty());

    // Ctrl+H and F1 open the hi scores and the rules of the game on view.
    for (const auto& [key, modifiers, caption] :
         {std::tuple{int(Qt::Key_H), Qt::KeyboardModifiers(Qt::ControlModifier), "Hi Scores"},
          std::tuple{int(Qt::Key_F1), Qt::KeyboardModifiers(), "Klondike rules"}}) {
        QString shown;
        WhenModal("QDialog", [&shown](QWidget* dialog) {
            shown = dialog->windowTitle();
            static_cast<QDialog*>(dialog)->reject();
        });
        press(key, modifiers);
        EXPECT_EQ(shown, QString(caption));
    }

    // Ctrl+Q ends the program as Exit does.
    QTimer::singleShot(0, [&] { press(Qt::Key_Q, Qt::ControlModifier); });
    EXPECT_EQ(host->Exec(), 0);
    EXPECT_TRUE(host->QuitRequested());
}

// The hi-score list grows with the table's zoom and shows every row and
// every name whole.
TEST_F(ParlourSmokeTest, TheHiScoreListGrowsWithTheZoomAndShowsEveryRowWhole) {
    const QString longName = QStringLiteral("Wilhelmina van Oranje-Nassau");
    CHiScoresDlg& klondike = app.HiScoreTable(0);
    for (int i = 0; i < 12; ++i)
        klondike.m_entries.push_back(std::make_unique<HiScoreEntry>(
            HiScoreEntry{i == 3 ? FromQString(longName) : u"Ann", 1000 - i, 60 + i}));
    std::vector<int> widths;
    for (int zoom : {1, 2}) {
        host->Window()->SetZoom(zoom);
        WhenModal("QDialog", [&](QWidget* dialog) {
            auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("control-1002"));
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(dialog->font().pointSizeF(), 8.0 * zoom);
            ASSERT_EQ(list->rowCount(), 12);
            int rows = 0;
            for (int r = 0; r < list->rowCount(); ++r) rows += list->rowHeight(r);
            EXPECT_GE(list->viewport()->height(), rows) << "zoom " << zoom;
            EXPECT_GE(list->columnWidth(1), list->fontMetrics().horizontalAdvance(longName));
            // OK stays at the list's right end as the list grows, Reset at its left.
            const QRect ok =
                dialog->findChild<QPushButton*>(QStringLiteral("control-1"))->geometry();
            EXPECT_LT(list->geometry().right() - ok.right(), list->width() / 10) << "zoom " << zoom;
            widths.push_back(dialog->width());
            static_cast<QDialog*>(dialog)->reject();
        });
        EXPECT_TRUE(host->SendCommand(ID_HI_SCORES));
    }
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_GE(widths[1], widths[0] * 3 / 2);
}

// The statistics show their game's name whole in the header, also after a
// Reset has filled the list again, and the figures fill the list's width.
TEST_F(ParlourSmokeTest, TheStatisticsShowTheirHeaderWholeAndFillTheList) {
    WhenModal("QDialog", [](QWidget* dialog) {
        auto* list = dialog->findChild<QTableWidget*>(QStringLiteral("control-%1").arg(IDC_STATISTICS_LIST));
        ASSERT_NE(list, nullptr);
        WhenModal("QMessageBox", [](QWidget* box) {
            static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        auto* reset = dialog->findChild<QPushButton*>(QStringLiteral("control-%1").arg(IDC_STATISTICS_RESET));
        ASSERT_NE(reset, nullptr);
        reset->click();
        const QString game = list->horizontalHeaderItem(0)->text();
        EXPECT_GE(list->columnWidth(0), list->horizontalHeader()->fontMetrics().horizontalAdvance(game));
        EXPECT_EQ(list->columnWidth(0) + list->columnWidth(1), list->viewport()->width());
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_TRUE(host->SendCommand(ID_GAME_GEMFIELD));
    QApplication::processEvents();
    EXPECT_TRUE(host->SendCommand(ID_STATISTICS));
}

// The name box takes no more characters than a name may have.
TEST_F(ParlourSmokeTest, TheNameBoxRefusesMoreThanANameTakes) {
    WhenModal("QDialog", [](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("control-1001"));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        QTest::keyClicks(name, QString(40, QLatin1Char('n')));
        EXPECT_EQ(name->text(), QString(32, QLatin1Char('n')));
        WhenModal("QDialog", [](QWidget* list) { static_cast<QDialog*>(list)->reject(); });
        QTest::keyClick(name, Qt::Key_Return);
    });
    EXPECT_EQ(app.HiScoreTable(0).AddHiScore(10, 40), 1);
    EXPECT_EQ(app.HiScoreTable(0).m_entries.at(0)->m_name, CString(32, u'n'));
}

// Every item's text is painted whole, at every zoom: the ink of its row is
// as wide as the text (checked rows carry a mark beside it and are skipped).
TEST_F(ParlourSmokeTest, EveryMenuTextShowsWholeAtEveryZoom) {
    for (int zoom : {1, 2, 3}) {
        host->Window()->SetZoom(zoom);
        QApplication::processEvents();
        std::unique_ptr<QMenu> menu = host->Window()->CreatePopupMenu();
        menu->popup(QPoint(0, 0));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
        const QImage shot = menu->grab().toImage();
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->isChecked()) continue;
            const QRect row = menu->actionGeometry(action);
            const QRgb background = shot.pixel(row.right() - 1, row.center().y());
            int left = row.right(), right = row.left();
            for (int y = row.top(); y <= row.bottom(); ++y)
                for (int x = row.left(); x <= row.right(); ++x)
                    if (std::abs(qGray(shot.pixel(x, y)) - qGray(background)) > 40) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            const int text = QFontMetrics(menu->font()).horizontalAdvance(action->text());
            EXPECT_GE(right - left + 1, text * 9 / 10)
                << action->text().toStdString() << " at zoom " << zoom;
        }
        menu->close();
    }
}

TEST_F(ParlourSmokeTest, SpiderAsksOnceForItsSuitsWithToggleButtonsOfOneGroup) {
    int shown = 0;
    QtHost* shell = host.get();
    // The Klondike game's time and score go with its view.
    app.m_pMainWnd->SetStatusText(u"Time:225  Score:3778");
    WhenModal("QtTemplateDialog", [&shown, shell](QWidget* dialog) {
        ++shown;
        EXPECT_EQ(dialog->windowTitle(), QString("Spider settings"));
        EXPECT_EQ(shell->Window()->StatusLabel()->text().toStdString(), "");
        // The new table is painted behind the dialog, not left empty or old.
        const QImage behind = shell->Window()->ViewWidget()->grab().toImage();
        EXPECT_EQ(behind.pixelColor(behind.width() / 2, behind.height() - 2), QColor(127, 127, 0));
        auto button = [dialog](unsigned id) {
            return dialog->findChild<QAbstractButton*>(QStringLiteral("control-%1").arg(id));
        };
        QAbstractButton* choices[] = {button(IDC_SPIDER_1TYPE), button(IDC_SPIDER_2TYPES),
                                      button(IDC_SPIDER_4TYPES)};
        // Push buttons to the eye, radio buttons to a screen reader.
        for (QAbstractButton* choice : choices) {
            ASSERT_NE(choice, nullptr);
            EXPECT_TRUE(choice->isCheckable());
            EXPECT_EQ(QAccessible::queryAccessibleInterface(choice)->role(),
                      QAccessible::RadioButton);
        }
        EXPECT_EQ(choices[0]->text(), QString("1 Type"));
        EXPECT_TRUE(choices[0]->isChecked());
        // One stays down at a time; pressing the one down keeps it down.
        for (int twice = 0; twice < 2; ++twice) QTest::mouseClick(choices[2], Qt::LeftButton);
        EXPECT_FALSE(choices[0]->isChecked());
        EXPECT_FALSE(choices[1]->isChecked());
        EXPECT_TRUE(choices[2]->isChecked());
        QTest::mouseClick(button(IDOK), Qt::LeftButton);
    });
    EXPECT_TRUE(host->SendCommand(ID_GAME_SPIDER));
    auto* spider = dynamic_cast<CSpider*>(app.m_pMainWnd->GetActiveView());
    ASSERT_NE(spider, nullptr);
    EXPECT_EQ(shown, 1);
    std::set<int> indices;
    for (const auto& pile : spider->GetPiles())
        for (const auto& card : pile->GetCards()) indices.insert(card->m_index);
    EXPECT_EQ(indices.size(), 52u);  // four suits
    EXPECT_EQ(host->Window()->windowTitle(), QString("Spider - Parlour"));
}

// A new zoom in the middle of a drag leaves the held card under the pointer,
// which did not move.
TEST_F(ParlourSmokeTest, AZoomInTheMiddleOfADragKeepsTheCardUnderThePointer) {
    CSolitaire* game = Klondike();
    ASSERT_NE(game, nullptr);
    QtMainWindow* window = host->Window();
    window->SetZoom(2);
    QApplication::processEvents();
    const CRect card = game->m_tableau[6]->TopCard()->m_rect;
    const auto inWindow = [window](QPoint view) {
        return window->ViewWidget()->mapTo(window, view * window->Zoom());
    };
    const QPoint to = inWindow(QPoint(card.left + 10, card.top + 10) + QPoint(20, 40));
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {},
                      inWindow(QPoint(card.left + 10, card.top + 10)));
    QTest::mouseMove(window->windowHandle(), to);
    ASSERT_TRUE(game->IsDragging());
    const QPoint held = window->ViewWidget()->mapFrom(window, to) / 2;
    const QPoint grip = held - QPoint(game->DragRect().left, game->DragRect().top);
    for (int zoom : {1, 3}) {
        window->SetZoom(zoom);
        QApplication::processEvents();
        const QPoint under = window->ViewWidget()->mapFrom(window, to) / window->Zoom();
        EXPECT_EQ(under - grip, QPoint(game->DragRect().left, game->DragRect().top))
            << "zoom " << zoom;
    }
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, to);
    EXPECT_FALSE(game->IsDragging());
}

// Every frame of a ball animation reaches the screen before the program
// sleeps towards the next one, at each zoom; the "Bol setup" dialog is a
// real dialog whose typed values make the board.
TEST_F(ParlourSmokeTest, GemfieldShowsEveryAnimationFrameAndTakesItsSettings) {
    // Boards of many colours are now and then dealt without a swap that makes
    // a run, and then ask whether to start again: these deals have swaps.
    runtime::ChooseNextDeal(1);
    EXPECT_TRUE(host->SendCommand(ID_GAME_GEMFIELD));
    auto* game = dynamic_cast<CGemfield*>(app.m_pMainWnd->GetActiveView());
    ASSERT_NE(game, nullptr);
    for (int asked = 1; asked <= 3; ++asked) {
        host->Window()->SetZoom(asked);
        QApplication::processEvents();
        const int zoom = host->Window()->Zoom();
        PaintCounter counter(host->Window()->ViewWidget());
        const QPoint from =
            host->Window()->ViewWidget()->mapTo(host->Window(), QPoint(17, 16) * zoom);
        const QPoint to = from + QPoint(34, 0) * zoom;
        QTest::mousePress(host->Window()->windowHandle(), Qt::LeftButton, {}, from);
        QTest::mouseMove(host->Window()->windowHandle(), to);
        QTest::mouseRelease(host->Window()->windowHandle(), Qt::LeftButton, {}, to);
        // The swap's 11 frames, then 11 more: the slide back or the vanishing.
        EXPECT_GE(counter.paints, 22) << "zoom " << zoom;
    }

    WhenModal("QtTemplateDialog", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QString("Bol setup"));
        auto box = [dialog](unsigned id) {
            return dialog->findChild<QLineEdit*>(QStringLiteral("control-%1").arg(id));
        };
        const unsigned ids[] = {IDC_BOL_HOR, IDC_BOL_VER, IDC_BOL_COLORS};
        const char* typed[] = {"16", "3", "9"};
        for (int i = 0; i < 3; ++i) {
            ASSERT_NE(box(ids[i]), nullptr);
            box(ids[i])->selectAll();
            QTest::keyClicks(box(ids[i]), typed[i]);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("control-%1").arg(IDOK)),
                          Qt::LeftButton);
    });
    runtime::ChooseNextDeal(1);
    EXPECT_TRUE(host->SendCommand(ID_BOL_SETTINGS));
    EXPECT_TRUE(game->HasPossibleMove());
    EXPECT_EQ(game->Cols(), 16);
    EXPECT_EQ(game->Rows(), 3);
    EXPECT_EQ(game->Colors(), 9);
    EXPECT_NE(game->Cell(15, 2), nullptr);  // the new game has made the cells
}

// Paintpot's bar counts the steps against the par; the caption keeps them too.
TEST_F(ParlourSmokeTest, PaintpotsBarCountsTheStepsAgainstThePar) {
    EXPECT_TRUE(host->SendCommand(ID_GAME_PAINTPOT));
    auto* game = dynamic_cast<CPaintpot*>(app.m_pMainWnd->GetActiveView());
    ASSERT_NE(game, nullptr);
    CRect next;  // a ball beside the flooded area
    game->ForEachCell([&](int col, int row, CBol& cell) {
        if (next.IsRectEmpty() && cell.m_region != CPaintpot::kFlooded &&
            game->HasNeighbourRegion(col, row, CPaintpot::kFlooded))
            next = game->CellRect(col, row);
    });
    ASSERT_FALSE(next.IsRectEmpty());
    Tap(CPoint(next.left + 2, next.top + 2));
    ASSERT_EQ(game->Steps(), 1);
    EXPECT_EQ(host->Window()->StatusLabel()->text().toStdString(), "Time:0  Steps:1/25");
    EXPECT_EQ(host->Window()->windowTitle().toStdString(), "Paintpot Steps done:1 - Parlour");
}

namespace {

// Gemfield on a board of the given size and colours, through its dialog;
// fixed deals, never a board dealt without a swap (which would ask whether
// to start again).
CGemfield* GemfieldOf(QtHost& host, CParlourApp& app, const char* size, const char* colors) {
    runtime::ChooseNextDeal(1);
    host.SendCommand(ID_GAME_GEMFIELD);
    WhenModal("QtTemplateDialog", [size, colors](QWidget* dialog) {
        for (const auto& [id, typed] :
             {std::pair{IDC_BOL_HOR, size}, {IDC_BOL_VER, size}, {IDC_BOL_COLORS, colors}}) {
            auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("control-%1").arg(id));
            box->selectAll();
            QTest::keyClicks(box, typed);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("control-%1").arg(IDOK)),
                          Qt::LeftButton);
    });
    runtime::ChooseNextDeal(1);
    host.SendCommand(ID_BOL_SETTINGS);
    return dynamic_cast<CGemfield*>(app.m_pMainWnd->GetActiveView());
}

}  // namespace

// While a swap's balls move, the window repaints what it is asked to, and
// a press made meanwhile is dropped, not played back when the swap is done.
TEST_F(ParlourSmokeTest, TheWindowStaysAliveWhileTheBallsMove) {
    CGemfield* game = GemfieldOf(*host, app, "7", "8");
    ASSERT_NE(game, nullptr);
    QtMainWindow* window = host->Window();
    const int zoom = window->Zoom();
    const QPoint from = window->ViewWidget()->mapTo(window, QPoint(17, 16) * zoom);
    const QPoint to = from + QPoint(34, 0) * zoom;
    PaintCounter bar(window->Bar());
    bool moving = true;
    QTimer::singleShot(60, [&] {
        EXPECT_TRUE(moving);
        bar.paints = 0;
        window->Bar()->update();  // as an expose asks
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, from);
    });
    QTimer::singleShot(150, [&] { EXPECT_GE(bar.paints, 1); });
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, from);
    QTest::mouseMove(window->windowHandle(), to);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, to);
    moving = false;
    QTest::qWait(200);  // anything held back comes now
    EXPECT_FALSE(game->IsDragging());
}

// Ctrl+Q or the close button in the middle of a cascade that would take a
// minute ends the program at once, through Exit, once the handler is left.
void ExitInTheMiddleOfACascade(QtHost& host, CParlourApp& app, bool closeButton) {
    CGemfield* game = GemfieldOf(host, app, "16", "2");
    ASSERT_NE(game, nullptr);
    QtMainWindow* window = host.Window();
    const int zoom = window->Zoom();
    const QPoint from = window->ViewWidget()->mapTo(window, QPoint(5, 5) * zoom);
    const QPoint to = from + QPoint(game->CellWidth(), 0) * zoom;
    window->activateWindow();  // for its keys
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTimer::singleShot(0, [&] {
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, from);
        QTest::mouseMove(window->windowHandle(), to);
        QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, to);
    });
    QTimer::singleShot(400, [&] {
        ASSERT_TRUE(host.Sleeping());
        if (closeButton)
            window->close();
        else
            QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier);
        EXPECT_FALSE(window->isVisible());  // gone at once
        EXPECT_TRUE(game->IsWindow());      // the handler still runs on its view
    });
    EXPECT_EQ(host.Exec(), 0);
    EXPECT_TRUE(host.QuitRequested());
    EXPECT_FALSE(game->IsWindow());  // Exit has destroyed it since
}

TEST_F(ParlourSmokeTest, CtrlQInTheMiddleOfACascadeEndsTheProgramAtOnce) {
    ExitInTheMiddleOfACascade(*host, app, false);
}

TEST_F(ParlourSmokeTest, ClosingInTheMiddleOfACascadeEndsTheProgramAtOnce) {
    ExitInTheMiddleOfACascade(*host, app, true);
}

// Two runs of the desktop program: the second starts on the game, the zoom,
// the window size and "Winnable deals" the first ended with, as the
// program's own start and end keep them.
TEST(ParlourRemembers, TheGameZoomWindowSizeAndWinnableDealsOfTheLastRun) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("parlour-remember-" + std::to_string(::getpid()));
    const std::string settings = (dir / "config" / "parlour.conf").string();
    SetResources(ParlourResources());
    QSize size;
    for (int run = 0; run < 2; ++run) {
        const DesktopSettings remembered = ReadDesktopSettings(settings);
        QtHost host;
        CParlourApp app;
        app.SetDataDir(dir.string() + "/");
        app.SetFirstGame(remembered.game);
        app.SetWinnableDeals(remembered.winnableDeals);
        ASSERT_TRUE(app.InitInstance());
        host.ShowFrame(app.m_pMainWnd, QSize(remembered.width, remembered.height), remembered.zoom);
        QApplication::processEvents();
        auto& frame = *static_cast<CMainFrame*>(app.m_pMainWnd);
        if (run == 0) {
            EXPECT_EQ(remembered, DesktopSettings());  // a first run: the defaults
            EXPECT_EQ(frame.m_currentGame, ID_GAME_KLONDIKE);
            host.SendCommand(ID_GAME_GOLF);
            host.SendCommand(ID_WINNABLE_DEALS);
            host.Window()->SetZoom(1);
            host.Window()->resize(host.Window()->size() + QSize(40, 30));
            QApplication::processEvents();
            size = host.Window()->size();
        } else {
            EXPECT_EQ(frame.m_currentGame, ID_GAME_GOLF);
            EXPECT_TRUE(frame.QueryCommand(ID_WINNABLE_DEALS).m_checked);
            EXPECT_EQ(host.Window()->Zoom(), 1);
            EXPECT_EQ(host.Window()->size(), size);
        }
        EXPECT_TRUE(WriteDesktopSettings(settings, RememberedDesktop(frame, *host.Window())));
        app.ExitInstance();
    }
    CCardgame::s_winnableDeals = false;  // as the next test's run starts
    std::filesystem::remove_all(dir);
}
