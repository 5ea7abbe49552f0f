// The desktop window: stylus input in view pixels, the zoomed picture, the
// idle step, timers, soft keys, menu, accelerators, message boxes and exit.
#include <QAbstractButton>
#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QtTest/QTest>
#include <algorithm>

#include "hosts/qt/qt_convert.h"
#include "tests/qt/qt_test_support.h"

namespace {

// Runs the idle step and the repaints it asks for.
void Settle() {
    QTest::qWait(20);
}

QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

TEST_F(QtHostTest, MouseReachesTheViewAsStylusInViewPixels) {
    ASSERT_EQ(Window()->Zoom(), 2);
    ASSERT_EQ(ViewWidget()->size(), QSize(480, 536));
    view->log.clear();
    QWindow* handle = Window()->windowHandle();
    // Every window pixel of a zoomed view pixel is that pixel, also the odd one.
    QTest::mouseClick(handle, Qt::LeftButton, {}, InWindow(QPoint(2 * 37 + 1, 2 * 101 + 1)));
    QTest::mouseClick(handle, Qt::LeftButton, {}, InWindow(QPoint(2 * 239 + 1, 2 * 267 + 1)));
    QTest::mouseClick(handle, Qt::LeftButton, {}, InWindow(QPoint(1, 1)));
    EXPECT_EQ(view->log, (std::vector<std::string>{"down 37 101", "up 37 101", "down 239 267",
                                                   "up 239 267", "down 0 0", "up 0 0"}));

    // A drag: moves arrive while the button is down, and the release where it ends.
    view->log.clear();
    QTest::mousePress(handle, Qt::LeftButton, {}, InWindow(QPoint(20, 20)));
    QTest::mouseMove(handle, InWindow(QPoint(41, 61)));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, InWindow(QPoint(41, 61)));
    EXPECT_EQ(view->log, (std::vector<std::string>{"down 10 10", "move 20 30", "up 20 30"}));

    // At another zoom the same arithmetic holds.
    Window()->SetZoom(3);
    QApplication::processEvents();
    view->log.clear();
    QTest::mouseClick(handle, Qt::LeftButton, {}, InWindow(QPoint(3 * 50 + 2, 3 * 60)));
    EXPECT_EQ(view->log, (std::vector<std::string>{"down 50 60", "up 50 60"}));
}

TEST_F(QtHostTest, DoubleClickArrivesAsDoubleTapInPlaceOfTheSecondPress) {
    view->log.clear();
    QTest::mouseDClick(Window()->windowHandle(), Qt::LeftButton, {},
                       InWindow(QPoint(2 * 12 + 1, 2 * 34)));
    EXPECT_EQ(view->log,
              (std::vector<std::string>{"down 12 34", "up 12 34", "dblclk 12 34", "up 12 34"}));
}

TEST_F(QtHostTest, ViewShowsItsSurfaceScaledPixelForPixel) {
    QApplication::processEvents();
    const QImage shot = ViewWidget()->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(480, 536));
    const CImage& surface = view->Surface();
    // The mark covers view pixels 10..29 x 10..19; each is a crisp 2 x 2 block.
    for (QPoint p : {QPoint(10, 10), QPoint(29, 19), QPoint(9, 10), QPoint(30, 19), QPoint(29, 20),
                     QPoint(239, 267), QPoint(0, 0)}) {
        const QRgb expected = 0xFF000000u | surface.At(p.x(), p.y());
        for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            EXPECT_EQ(shot.pixel(p * 2 + d), expected) << p.x() << "," << p.y();
    }
    EXPECT_EQ(shot.pixel(20, 20), Rgb(kTestMark));
    EXPECT_EQ(shot.pixel(60, 40), Rgb(kTestBackground));
}

TEST_F(QtHostTest, OnlyWhatTheViewDrewIsRepaintedAndTheStatusAlone) {
    Settle();
    PaintCounter onView(ViewWidget()), onStatus(Window()->StatusLabel());
    const CRect card(50, 60, 75, 94);
    view->InvalidateRect(&card, true);
    Settle();
    EXPECT_EQ(onView.painted, QRegion(100, 120, 50, 68));  // zoom 2

    onView.painted = QRegion();
    frame.SetStatusText(u"Time:1  Score:0");
    Settle();
    EXPECT_TRUE(onView.painted.isEmpty());
    EXPECT_GE(onStatus.paints, 1);
}

TEST_F(QtHostTest, PartialRepaintsShowTheSurfaceExactlyAtEveryZoom) {
    for (int zoom : {1, 2, 3}) {
        Window()->SetZoom(zoom);
        Settle();
        const CRect part(9, 11, 31, 19);
        view->InvalidateRect(&part, true);
        Settle();
        const QImage shown = ViewWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, ToQImage(view->Surface(), zoom)) << "zoom " << zoom;
        // What the window itself holds, where the view writes its pixels straight.
        const auto* store = dynamic_cast<QImage*>(Window()->backingStore()->paintDevice());
        ASSERT_NE(store, nullptr);
        const QRect area(ViewWidget()->mapTo(Window(), QPoint(0, 0)), ViewWidget()->size());
        EXPECT_EQ(store->copy(area).convertToFormat(QImage::Format_RGB32),
                  ToQImage(view->Surface(), zoom))
            << "zoom " << zoom;
    }
}

TEST_F(QtHostTest, UpdateWindowIsShownAtOnceFrameByFrame) {
    QApplication::processEvents();
    PaintCounter counter(ViewWidget());
    const int paintsBefore = view->paints;
    // An animation: paint, show, sleep, with no return to the event loop.
    for (int frame = 0; frame < 3; ++frame) {
        view->InvalidateRect(nullptr, false);
        view->UpdateWindow();
        Sleep(5);
    }
    EXPECT_EQ(view->paints - paintsBefore, 3);
    EXPECT_EQ(counter.paints, 3);
}

TEST_F(QtHostTest, IdleStepRunsPostedCommandsAndPaintsInvalidViews) {
    QApplication::processEvents();
    const int paintsBefore = view->paints;
    view->log.clear();
    view->PostCommand(ID_TEST_POST);
    view->InvalidateRect(nullptr, true);
    EXPECT_TRUE(view->log.empty());  // nothing runs inside the caller's handler
    QApplication::processEvents();
    EXPECT_EQ(view->log, std::vector<std::string>{"posted"});
    EXPECT_EQ(view->paints, paintsBefore + 1);
}

TEST_F(QtHostTest, TimersTickOnTheRealClock) {
    const uint32_t start = GetTickCount();
    EXPECT_GE(start, 100000u);  // far from 0, which the games read as "stopped"
    view->log.clear();
    view->SetTimer(7, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->log.size() >= 2; }, 10000));
    view->KillTimer(7);
    const size_t ticks = view->log.size();
    for (const std::string& line : view->log) EXPECT_EQ(line.rfind("timer 7 at ", 0), 0u) << line;
    // A tick comes no earlier than its period.
    EXPECT_GE(std::stoul(view->log[0].substr(11)), start + 20);
    QTest::qWait(60);
    EXPECT_EQ(view->log.size(), ticks);  // killed: no more ticks
}

TEST_F(QtHostTest, SoftKeysStatusAndCaptionComeFromTheFrameAndResources) {
    ASSERT_NE(Window()->LeftSoftKey(), nullptr);
    ASSERT_NE(Window()->RightSoftKey(), nullptr);
    EXPECT_EQ(Window()->LeftSoftKey()->text(), "Deal");
    EXPECT_EQ(Window()->RightSoftKey()->text(), "More");
    EXPECT_EQ(Window()->windowTitle(), "Test - Parlour");

    frame.SetStatusText(u"Time:12  Score:-3");
    EXPECT_EQ(Window()->StatusLabel()->text(), "Time:12  Score:-3");
    document.SetTitle(u"Golf");
    EXPECT_EQ(Window()->windowTitle(), "Golf - Parlour");
    // The status sits in the middle of the window.
    QLabel* label = Window()->StatusLabel();
    const int middle = label->mapTo(Window(), QPoint(label->width() / 2, 0)).x();
    EXPECT_LE(std::abs(middle - Window()->width() / 2), 1);

    // The left key sends its command along the route.
    app.log.clear();
    Window()->LeftSoftKey()->click();
    EXPECT_EQ(app.log, std::vector<std::string>{"app"});
}

// Between the keys the time and score show whole, at zoom 1 in a smaller font.
TEST_F(QtHostTest, TheStatusFitsBetweenTheKeysAtEveryZoom) {
    const QString status = QStringLiteral("Time:3600  Score:12345");
    frame.SetStatusText(FromQString(status));
    for (int zoom : {1, 2, 3}) {
        Window()->SetZoom(zoom);
        Settle();
        QtStatusLabel* label = Window()->StatusLabel();
        const QFontMetrics shown(label->FittedFont());
        EXPECT_EQ(shown.elidedText(status, Qt::ElideRight, label->width()).toStdString(),
                  status.toStdString());
        EXPECT_GE(shown.height(), 8 * zoom) << "zoom " << zoom;  // still readable
        EXPECT_EQ(label->Fitted().lines, QStringList{status});   // on one line, as ever
    }
}

// What a game says in the bar (the verdict after the time and score, a hint)
// shows whole at every zoom: on one line, or on two, the verdict on its own.
TEST_F(QtHostTest, LongStatusTextsShowWholeOnTwoLines) {
    struct Case {
        QString text;
        QString secondLine;  // when it takes two lines at zoom 1
    } cases[] = {
        {QStringLiteral("Time:3600  Score:-1234  Cannot be won from here"),
         QStringLiteral("Cannot be won from here")},
        {QStringLiteral("Time:15  Score:0  Can be won"), QString()},
        {QStringLiteral("Hint: Q\u2666 and 11 more onto K\u2660"), QString()},
        {QStringLiteral("Hint: swap yellow and purple"), QString()},
        {QStringLiteral("Hint: turn up the top card of Column 10"), QString()},
    };
    for (const Case& c : cases) {
        frame.SetStatusText(FromQString(c.text));
        for (int zoom : {1, 2, 3}) {
            SCOPED_TRACE(c.text.toStdString() + " at zoom " + std::to_string(zoom));
            Window()->SetZoom(zoom);
            Settle();
            const QtStatusLabel* label = Window()->StatusLabel();
            const QtStatusLabel::Shown shown = label->Fitted();
            const QFontMetricsF metrics(shown.font);
            EXPECT_EQ(shown.lines.join(QLatin1Char(' ')).simplified(), c.text.simplified());
            EXPECT_LE(shown.lines.size() * metrics.height(), label->height());
            for (const QString& line : shown.lines) {
                EXPECT_LE(metrics.horizontalAdvance(line), label->width());
            }
            EXPECT_GE(shown.font.pixelSize(), 8 * zoom);  // still readable
            if (!c.secondLine.isEmpty() && zoom == 1) {
                ASSERT_EQ(shown.lines.size(), 2);
                EXPECT_EQ(shown.lines[1], c.secondLine);
            }
        }
    }
}

TEST_F(QtHostTest, SoftKeysAndMenuAreTheFramesResources) {
    // A frame of another resource gets neither resource 128's keys nor its menu.
    host.reset();
    frame.SetResourceId(129);
    host = std::make_unique<QtHost>();
    host->ShowFrame(&frame);
    EXPECT_EQ(Window()->LeftSoftKey(), nullptr);
    EXPECT_TRUE(Window()->CreatePopupMenu()->isEmpty());
}

TEST_F(QtHostTest, PopupMenuFollowsTheResourceAndTheCommandRoute) {
    std::unique_ptr<QMenu> menu = Window()->CreatePopupMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_EQ(actions[0]->text(), "Test command");
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "Checked");
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_EQ(actions[3]->text(), "Unhandled");
    EXPECT_FALSE(actions[3]->isEnabled());
    EXPECT_TRUE(actions[4]->isSeparator());
    EXPECT_EQ(actions[5]->data().toUInt(), ID_TEST_QUIT_3);

    // The right key opens it; choosing an item sends the command, then the
    // posted one runs in the idle step.
    view->log.clear();
    QTimer::singleShot(50, [] {
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->actions().size(), 6);
        QAction* first = open->actions()[0];
        QTest::mouseClick(open, Qt::LeftButton, {}, open->actionGeometry(first).center());
    });
    Window()->RightSoftKey()->click();
    EXPECT_EQ(view->log, (std::vector<std::string>{"command", "command done", "posted"}));
}

TEST_F(QtHostTest, AcceleratorsSendOnlyEnabledCommands) {
    view->log.clear();
    QTest::keyClick(Window(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(view->log, (std::vector<std::string>{"command", "command done", "posted"}));
    EXPECT_FALSE(host->SendCommand(ID_TEST_UNHANDLED));
    EXPECT_TRUE(host->SendCommand(ID_TEST_APP));
}

TEST_F(QtHostTest, ZoomResizesTheWindowAroundTheView) {
    Window()->SetZoom(3);
    QApplication::processEvents();
    EXPECT_EQ(Window()->Zoom(), 3);
    EXPECT_EQ(ViewWidget()->size(), QSize(720, 804));
    EXPECT_EQ(Window()->ViewArea()->size(), QSize(720, 804));
    QTest::keyClick(Window(), Qt::Key_Minus, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Window()->Zoom(), 2);
    EXPECT_EQ(ViewWidget()->size(), QSize(480, 536));
    Window()->SetZoom(0);
    EXPECT_EQ(Window()->Zoom(), 1);

    EXPECT_EQ(QtMainWindow::FitZoom(QSize(1024, 768 - 60), QSize(240, 268)), 2);
    EXPECT_EQ(QtMainWindow::FitZoom(QSize(1920, 1080 - 60), QSize(240, 268)), 3);
    EXPECT_EQ(QtMainWindow::FitZoom(QSize(200, 200), QSize(240, 268)), 1);
    EXPECT_EQ(QtMainWindow::FitZoom(QSize(719, 2000), QSize(240, 268)), 2);
    EXPECT_GE(Window()->DefaultZoom(), 1);
}

// Any window size is filled by the table: the zoom is the largest at which
// 240 x 268 and the bar fit, and the view's client area is the rest of the
// window divided by it, so less than one zoom step is left over.
TEST_F(QtHostTest, AResizedOrMaximisedWindowIsFilledByTheTable) {
    struct Case {
        QSize window;
        int zoom;
        QSize client;
    };
    for (const Case& c :
         {Case{{3 * 240 + 50, 3 * 294 + 10}, 3, {256, 271}},
          Case{{3 * 240 - 1, 3 * 294}, 2, {359, 415}}, Case{{240, 294}, 1, {240, 268}},
          // Never smaller than the table at zoom 1 with its bar.
          Case{{112, 100}, 1, {240, 268}}, Case{{239, 600}, 1, {240, 574}}}) {
        Window()->resize(c.window);
        QApplication::processEvents();
        EXPECT_EQ(Window()->Zoom(), c.zoom) << c.window.width();
        EXPECT_TRUE(Window()->rect().contains(
            Window()->RightSoftKey()->geometry().translated(Window()->Bar()->pos())));
        EXPECT_EQ(Window()->Bar()->height(), 26 * c.zoom);
        EXPECT_EQ(frame.ViewSize(), (CSize{c.client.width(), c.client.height()}));
        EXPECT_EQ(view->ClientRect(), CRect(0, 0, c.client.width(), c.client.height()));
        EXPECT_EQ(ViewWidget()->size(), c.client * c.zoom);
        // The menu grows with the table, as the bar does.
        EXPECT_GE(Window()->CreatePopupMenu()->font().pointSizeF(), 8.0 * c.zoom);
    }
    Window()->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Window()->isMaximized(); }, 2000));
    QApplication::processEvents();
    const int zoom = Window()->Zoom();
    EXPECT_EQ(zoom, QtMainWindow::FitZoom(Window()->size(), QSize(240, 294)));
    EXPECT_LT(Window()->width() - ViewWidget()->width(), zoom);
    EXPECT_LT(Window()->ViewArea()->height() - ViewWidget()->height(), zoom);
    Window()->SetZoom(zoom + 1);  // a maximised window keeps its size and zoom
    EXPECT_EQ(Window()->Zoom(), zoom);
}

TEST_F(QtHostTest, MessageBoxesAnswerWithTheButtonPressed) {
    WhenModal("QMessageBox", [](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        EXPECT_EQ(box->text(), "Game over!\nStart new game?");
        EXPECT_EQ(box->windowTitle(), "Parlour");  // not the caption
        ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(AfxMessageBox(u"Game over!\nStart new game?", MB_YESNO), IDYES);

    WhenModal("QMessageBox", [](QWidget* modal) {
        static_cast<QMessageBox*>(modal)->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(AfxMessageBox(u"Again?", MB_YESNO), IDNO);

    WhenModal("QMessageBox", [](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        EXPECT_EQ(box->button(QMessageBox::Yes), nullptr);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(AfxMessageBox(u"Saved.", MB_OK), IDOK);
}

TEST_F(QtHostTest, QuitEndsTheLoopWithItsCode) {
    QTimer::singleShot(0, [this] { host->SendCommand(ID_TEST_QUIT_3); });
    EXPECT_EQ(host->Exec(), 3);
    EXPECT_FALSE(Window()->isVisible());
}

TEST_F(QtHostTest, ClosingTheWindowEndsTheProgram) {
    // No one handles Exit on this route, so closing quits with 0.
    QTimer::singleShot(0, [this] { Window()->close(); });
    EXPECT_EQ(host->Exec(), 0);
    EXPECT_TRUE(host->QuitRequested());
}
