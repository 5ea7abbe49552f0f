// The whole program on the headless host: start-up, the menu and its states,
// "New", game switching, Exit, About and the hi-score file around a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <typeinfo>
#include <vector>

#include "app/game_table.h"
#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "balls/bolgame.h"
#include "cardgames/solitaire.h"
#include "hosts/headless/headless_host.h"
#include "platform/doc_template.h"
#include "platform/strings.h"
#include "res/resource.h"
#include "tests/app/program_test.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class AppTest : public ProgramTest {
protected:
    CSolitaire* Game() { return dynamic_cast<CSolitaire*>(Frame().GetActiveView()); }
    void TapStock(CSolitaire* game) {
        const CPoint p(game->m_stock->m_rect.left + 5, game->m_stock->m_rect.top + 5);
        game->SendStylusDown(p);
        game->SendStylusUp(p);
    }
};

// ---- Start-up ---------------------------------------------------------------

TEST_F(AppTest, StartsOnAFreshKlondikeGame) {
    Start();
    // The document's new-document step found no main window: the template's
    // own view stays and no second game was asked for.
    EXPECT_FALSE(HasPostedMessages());
    CSolitaire* game = Game();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_FALSE(game->HasInvalidRegion());  // shown and painted before the first message
    EXPECT_EQ(Frame().GetCaption(), u"Klondike - Parlour");
    EXPECT_EQ(Frame().m_currentGame, ID_GAME_KLONDIKE);
    EXPECT_STREQ(Frame().m_viewClassName, "CSolitaire");
    EXPECT_EQ(game->ClientRect(), CRect(0, 0, 240, 268));
    EXPECT_EQ(game->m_stock->GetCount(), 24);
    EXPECT_EQ(game->StartTick(), 0u);
    host.Idle();
    EXPECT_EQ(Game(), game);
}

// A game picked before start-up is the first view made: the window never
// shows Klondike, and the game deals as when the menu picks it.
TEST_F(AppTest, StartsOnTheGamePickedBeforeStartUp) {
    for (const GameClass& game : GameClasses()) {
        SCOPED_TRACE(game.className);
        app = std::make_unique<CParlourApp>();
        app->SetDataDir(dir.string() + "/");
        app->SetFirstGame(game.commandId);
        ASSERT_TRUE(app->InitInstance());
        const CView& first = *Frame().GetActiveView();
        EXPECT_NE(std::string(typeid(first).name()).find(game.className), std::string::npos);
        EXPECT_EQ(Frame().GetCaption().starts_with(u"Klondike"), &game == &FirstGame());
        EXPECT_STREQ(Frame().m_viewClassName, game.className);
        EXPECT_EQ(Frame().m_currentGame, game.commandId);
        EXPECT_TRUE(Query(game.commandId).m_checked);
        EXPECT_EQ(HasPostedMessages(), &game != &FirstGame());
        host.Idle();
        EXPECT_EQ(Frame().GetActiveView(), &first);
        Stop();
    }
}

TEST(DocumentTemplate, TheFirstNewDocumentComesBeforeTheMainWindowIsKnown) {
    HeadlessHost host;
    struct ProbeDocument : CDocument {
        bool OnNewDocument() override {
            sawMainWindow.push_back(AfxGetApp()->m_pMainWnd != nullptr);
            return true;
        }
        std::vector<bool> sawMainWindow;
    };
    struct BlankView : CView {
        void OnDraw(CDC*) override {}
    };
    CWinApp probe;
    ProbeDocument* document = nullptr;
    probe.AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME,
        [&document] {
            auto made = std::make_unique<ProbeDocument>();
            document = made.get();
            return made;
        },
        [] { return std::make_unique<CFrameWnd>(); },
        [] { return std::make_unique<BlankView>(); }));
    ASSERT_TRUE(probe.OnFileNew());
    EXPECT_NE(probe.m_pMainWnd, nullptr);
    ASSERT_TRUE(probe.OnFileNew());
    EXPECT_EQ(document->sawMainWindow, (std::vector<bool>{false, true}));
}

// ---- The menu, the soft keys and the keys -------------------------------------

TEST_F(AppTest, TheMenuAndUndoFollowsTheUndoList) {
    Start();
    // What each item shows for the game on the table is the game's own (the
    // conformance suite), and the menu itself is the handheld's (the driver's
    // end-to-end tests); here, every game of the game table has its item.
    const MenuResource* menu = FindMenu(IDR_MAINFRAME);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title, u"Menu");
    std::vector<unsigned> items, games;
    for (const MenuItem& item : menu->items)
        if (const GameClass* game = FindGameClass(item.id)) {
            EXPECT_EQ(item.text, FromUtf8(game->name));
            items.push_back(item.id);
        }
    for (const GameClass& game : GameClasses()) games.push_back(game.commandId);
    std::ranges::sort(items);
    std::ranges::sort(games);
    EXPECT_EQ(items, games);

    // "Undo move" follows the undo list.
    TapStock(Game());
    EXPECT_TRUE(Query(ID_UNDO_MOVE).m_enabled);
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Game()->m_stock->GetCount(), 24);
    EXPECT_FALSE(Query(ID_UNDO_MOVE).m_enabled);
}

TEST_F(AppTest, SoftKeysAndAcceleratorsSendTheFrameworkCommands) {
    Start();
    const SoftKeyBar* bar = FindSoftKeyBar(IDR_MAINFRAME);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->buttons.size(), 2u);
    const SoftKey& left = bar->buttons[0];
    const SoftKey& right = bar->buttons[1];
    EXPECT_EQ(left.command, ID_FILE_NEW);
    EXPECT_EQ(LoadStringResource(left.stringId), u"New");
    EXPECT_EQ(left.subMenu, 0xFFFF);
    EXPECT_EQ(right.command, ID_MENU_BUTTON);
    EXPECT_EQ(LoadStringResource(right.stringId), u"Menu");
    EXPECT_EQ(right.style, 0x18);
    EXPECT_EQ(right.subMenu, 0);

    // New, and the desktop's keys for the menu's commands (Redo has two).
    std::vector<std::tuple<bool, char, unsigned, bool>> keys;
    for (const Accelerator& key : GetResources().accelerators)
        keys.emplace_back(key.control, key.key, key.command, key.function);
    EXPECT_EQ(keys, (std::vector<std::tuple<bool, char, unsigned, bool>>{
                        {true, 'N', ID_FILE_NEW, false},
                        {true, 'Z', ID_UNDO_MOVE, false},
                        {true, 'Z', ID_REDO_MOVE, false},
                        {true, 'Y', ID_REDO_MOVE, false},
                        {true, 'R', ID_RESTART_DEAL, false},
                        {true, 'H', ID_HI_SCORES, false},
                        {false, '1', ID_RULES, true},
                        {true, 'Q', ID_APP_EXIT, false}}));
    // Every key reaches a handler once there is a move to undo and one to redo.
    TapStock(Game());
    TapStock(Game());
    Frame().SendCommand(ID_UNDO_MOVE);
    for (const Accelerator& key : GetResources().accelerators)
        EXPECT_TRUE(Query(key.command).m_enabled) << key.key;
}

// ---- Switching games ----------------------------------------------------------------

// One run through all seven games, each picked while the one before is
// shown. A ball board's size and colours last only as long as its
// view: "New" and picking the game again bring back the game's own.
TEST_F(AppTest, SwitchingThroughEveryGame) {
    Start();
    auto settings = [this] {
        const auto* board = dynamic_cast<CBolGame*>(Frame().GetActiveView());
        return board ? std::vector<int>{board->Cols(), board->Rows(), board->Colors()}
                     : std::vector<int>{};
    };
    for (const GameClass& game : GameClasses()) {
        SCOPED_TRACE(game.className);
        const CView* old = Frame().GetActiveView();
        Frame().SendCommand(game.commandId);
        host.Idle();
        EXPECT_FALSE(CWnd::IsLive(old));
        EXPECT_STREQ(Frame().m_viewClassName, game.className);
        for (const GameClass& other : GameClasses())
            EXPECT_EQ(Query(other.commandId).m_checked, &other == &game) << other.className;
        const std::vector<int> defaults = settings();
        EXPECT_EQ(Query(ID_BOL_SETTINGS).m_enabled, !defaults.empty());
        if (defaults.empty()) continue;
        for (unsigned renew : {unsigned(ID_FILE_NEW), game.commandId}) {
            Answer("values 5 4 3");
            Frame().SendCommand(ID_BOL_SETTINGS);
            host.Idle();
            EXPECT_EQ(settings(), (std::vector<int>{5, 4, 3}));
            Frame().SendCommand(renew);
            host.Idle();
            EXPECT_EQ(settings(), defaults);
        }
    }
}

// ---- Exit and About -------------------------------------------------------------------

TEST_F(AppTest, ExitEndsTheProgram) {
    Start();
    ASSERT_TRUE(Query(ID_APP_EXIT).m_enabled);
    CView* view = Frame().GetActiveView();
    Frame().SendCommand(ID_APP_EXIT);
    EXPECT_TRUE(host.QuitRequested());
    EXPECT_FALSE(view->IsWindow());
    EXPECT_FALSE(Frame().IsWindow());
    EXPECT_TRUE(host.Modals().empty());
}

TEST_F(AppTest, TheViewGoesBeforeTheTablesItPointsAt) {
    // A view that looks at its table as it goes, as a view's last handlers may.
    struct Probe : CView {
        void OnDraw(CDC*) override {}
        ~Probe() override { *tableAlive = CWnd::IsLive(table); }
        CWnd* table = nullptr;
        bool* tableAlive = nullptr;
    };
    Start();
    bool tableAlive = false;
    auto probe = std::make_unique<Probe>();
    probe->table = &app->HiScoreTable(HISCORE_KLONDIKE);
    probe->tableAlive = &tableAlive;
    Frame().SetActiveView(std::move(probe));
    Stop();
    EXPECT_TRUE(tableAlive);
}

TEST_F(AppTest, AboutShowsTheTemplateThatFitsTheScreen) {
    Start();
    Frame().SendCommand(ID_APP_ABOUT);
    ASSERT_EQ(host.Modals().size(), 1u);
    EXPECT_EQ(host.Modals()[0].templateId, IDD_ABOUTBOX);
    EXPECT_EQ(host.Modals()[0].caption, u"About Parlour");
    EXPECT_EQ(host.Modals()[0].controls.at(IDC_ABOUT_VERSION).text, u"Parlour Version 1.0");
    Frame().SetViewSize(320, 200);
    Frame().SendCommand(ID_APP_ABOUT);
    ASSERT_EQ(host.Modals().size(), 2u);
    EXPECT_EQ(host.Modals()[1].templateId, IDD_ABOUTBOX_WIDE);
    EXPECT_EQ(host.Modals()[1].caption, u"About Parlour");
}

// ---- The hi-score file around a run -------------------------------------------------

TEST_F(AppTest, WithoutAScoresFileEveryTableIsEmptyUnderHiScores) {
    Start();
    for (const CHiScoresDlg& table : app->HiScores().m_hiScoreTables) {
        EXPECT_TRUE(table.m_entries.empty());
        EXPECT_EQ(table.m_title, u"Hi Scores");
    }
    Frame().SendCommand(ID_HI_SCORES);
    ASSERT_EQ(host.Modals().size(), 1u);
    EXPECT_EQ(host.Modals()[0].caption, u"Hi Scores");
    Stop();
    EXPECT_FALSE(std::filesystem::exists(dir / "Scores.dat"));  // nothing to keep, nothing written
}

TEST_F(AppTest, AScoresFileGivesTheTablesTheirCaptionsAndAResetIsKept) {
    WriteScoresFile(HISCORE_KLONDIKE);
    const std::string bytes = ReadFile(dir / "Scores.dat");
    Start();
    // The game table's first games have the handheld's tables, in the file's order.
    for (int i = 0; i < HISCORE_TABLE_COUNT; ++i)
        EXPECT_EQ(app->HiScoreTable(i).m_title, kHandheldHiScoreTitles[static_cast<size_t>(i)])
            << i;
    ASSERT_EQ(app->HiScoreTable(HISCORE_KLONDIKE).m_entries.size(), 1u);

    Answer("reset");
    Answer("yes");
    Frame().SendCommand(ID_HI_SCORES);
    ASSERT_EQ(host.Modals().size(), 2u);
    EXPECT_EQ(host.Modals()[1].caption, u"HiScores: Solitaire");
    EXPECT_TRUE(app->HiScoreTable(HISCORE_KLONDIKE).m_entries.empty());
    Stop();
    EXPECT_NE(ReadFile(dir / "Scores.dat"), bytes);

    Start();  // the next run finds the table as the reset left it
    EXPECT_TRUE(app->HiScoreTable(HISCORE_KLONDIKE).m_entries.empty());
    EXPECT_EQ(app->HiScoreTable(HISCORE_KLONDIKE).m_title, u"HiScores: Solitaire");
}

}  // namespace
