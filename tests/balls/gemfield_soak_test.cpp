// Random play on Gemfield through the whole program, on every board size
// from 2 x 2 to 16 x 16: drags, drops beside the board, the settings dialog
// answered, refused and closed, and "New". At rest every cell must hold a
// ball of a colour in play, or nothing, and no motion.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "balls/gemfield.h"
#include "hosts/headless/headless_host.h"
#include "res/resource.h"

namespace {

class GemfieldSoak : public ::testing::Test {
protected:
    void SetUp() override {
        SetResources(ParlourResources());
        dir = std::filesystem::temp_directory_path() / "parlour-gemfield-soak";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        app.SetDataDir(dir.string() + "/");
        ASSERT_TRUE(app.InitInstance());
        Command(ID_GAME_GEMFIELD);
        // A small view: the play is what counts here, not the pixels.
        Frame().SetViewSize(48, 48);
    }
    void TearDown() override {
        app.ExitInstance();
        std::filesystem::remove_all(dir);
    }

    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app.m_pMainWnd); }
    CGemfield* Game() { return dynamic_cast<CGemfield*>(Frame().GetActiveView()); }
    int Random(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    void Command(unsigned id) {
        Frame().SendCommand(id);
        host.Idle();
    }
    // The dialog answered with values; a refused one is then closed.
    void Settings(std::vector<std::string> values, bool thenCancel = false) {
        ModalAnswer answer{ModalAnswer::Values, {}, 0, {}};
        for (const std::string& v : values) answer.values.push_back(FromUtf8(v));
        host.QueueAnswer(answer);
        if (thenCancel) host.QueueAnswer({ModalAnswer::Cancel, {}, 0, {}});
        Command(ID_BOL_SETTINGS);
    }
    CPoint CellPoint(int col, int row) {
        const CGemfield* game = Game();
        return CPoint(col * game->CellWidth() + Random(0, game->CellWidth() - 1),
                      row * game->CellHeight() + Random(0, game->CellHeight() - 1));
    }
    void RandomDrag() {
        CGemfield* game = Game();
        const int col = Random(0, game->Cols() - 1), row = Random(0, game->Rows() - 1);
        CPoint to;
        switch (Random(0, 9)) {
            case 0:  // anywhere, beside the board too
                to = CPoint(Random(-5, 52), Random(-5, 52));
                break;
            case 1:
                to = CellPoint(Random(0, game->Cols() - 1), Random(0, game->Rows() - 1));
                break;
            default: {
                const int side = Random(0, 3);
                to = CellPoint(col + (side == 0) - (side == 1), row + (side == 2) - (side == 3));
            }
        }
        game->SendStylusDown(CellPoint(col, row));
        game->SendStylusMove(CPoint((to.x + CellPoint(col, row).x) / 2, to.y));
        game->SendStylusMove(to);
        // The game over asks whether to play again; either answer will do.
        host.QueueAnswer({Random(0, 1) ? ModalAnswer::Yes : ModalAnswer::No, {}, 0, {}});
        game->SendStylusUp(to);
        host.Idle();
        while (host.QueuedAnswers()) host.MessageBox(u"", MB_OK);  // drop what was not asked
        host.ClearModals();
    }
    void ExpectAtRest(int colors) {
        const CGemfield* game = Game();
        ASSERT_TRUE(game);
        game->ForEachCell([&](int col, int row, CBol& cell) {
            ASSERT_LE(cell.m_color, static_cast<uint32_t>(colors)) << col << "," << row;
            ASSERT_EQ(cell.m_step, 0);
        });
        ASSERT_FALSE(game->IsDragging());
    }

    HeadlessHost host;
    CParlourApp app;
    std::filesystem::path dir;
    std::mt19937 rng{20261208};
};

TEST_F(GemfieldSoak, RandomPlayOnEveryBoardSizeKeepsEveryCellAtRest) {
    for (int cols = 2; cols <= 16; ++cols) {
        for (int rows = 2; rows <= 16; ++rows) {
            SCOPED_TRACE(testing::Message() << cols << " x " << rows);
            const int colors = Random(2, 9);
            Settings({std::to_string(cols), std::to_string(rows), std::to_string(colors)});
            ASSERT_EQ(Game()->Cols(), cols);
            ASSERT_EQ(Game()->Rows(), rows);
            for (int move = 0; move < 3; ++move) {
                switch (Random(0, 19)) {
                    case 0:  // refused, then closed: nothing changes
                        Settings({std::to_string(Random(17, 99)), "8", "8"}, true);
                        break;
                    case 1:  // "New": a new view with the defaults, and back
                        Command(ID_FILE_NEW);
                        Settings(
                            {std::to_string(cols), std::to_string(rows), std::to_string(colors)});
                        break;
                    default:
                        RandomDrag();
                }
                ExpectAtRest(colors);
                ASSERT_EQ(Game()->Cols(), cols);
            }
        }
    }
}

}  // namespace
