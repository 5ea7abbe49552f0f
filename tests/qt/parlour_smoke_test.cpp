// The desktop program as a player starts it: the real application on the Qt
// host, off screen. Start-up, a tap on the stock, a drag, "New", the menu's
// hi-score list, and Exit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <filesystem>
#include <set>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "cardgames/solitaire.h"
#include "cardgames/spider.h"
#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_main_window.h"
#include "res/resource.h"
#include "tests/qt/qt_test_support.h"

namespace {

class ParlourSmokeTest : public testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("parlour-smoke-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        host = std::make_unique<QtHost>();
        SetResources(ParlourResources());
        app.SetDataDir(dir.string() + "/");
        ASSERT_TRUE(app.InitInstance());
        host->ShowFrame(app.m_pMainWnd);
        host->Window()->SetZoom(2);
        QApplication::processEvents();
    }
    void TearDown() override {
        app.ExitInstance();
        host.reset();
        std::filesystem::remove_all(dir);
    }
    CSolitaire* Klondike() const {
        return dynamic_cast<CSolitaire*>(app.m_pMainWnd->GetActiveView());
    }
    // Clicks the view pixel p in the window.
    void Tap(CPoint p) {
        const QPoint at =
            host->Window()->ViewWidget()->mapTo(host->Window(), QPoint(2 * p.x, 2 * p.y));
        QTest::mouseClick(host->Window()->windowHandle(), Qt::LeftButton, {}, at);
    }

    std::filesystem::path dir;
    std::unique_ptr<QtHost> host;
    CParlourApp app;
};

}  // namespace

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
    // The clock's first tick, a second later, shows the time and score.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return host->Window()->StatusLabel()->text() == "Time:1  Score:0"; }, 5000))
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

TEST_F(ParlourSmokeTest, SpiderAsksOnceForItsSuitsWithToggleButtonsOfOneGroup) {
    int shown = 0;
    WhenModal("QtTemplateDialog", [&shown](QWidget* dialog) {
        ++shown;
        EXPECT_EQ(dialog->windowTitle(), QString("Spider settings"));
        auto button = [dialog](unsigned id) {
            return dialog->findChild<QPushButton*>(QStringLiteral("control-%1").arg(id));
        };
        QPushButton* choices[] = {button(IDC_SPIDER_1TYPE), button(IDC_SPIDER_2TYPES),
                                  button(IDC_SPIDER_4TYPES)};
        for (QPushButton* choice : choices) {
            ASSERT_NE(choice, nullptr);
            EXPECT_TRUE(choice->isCheckable());
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
