// A card game in a frame on the headless host, with solid card pictures and
// a hi-score table of its own, and the stylus and table helpers every game's
// tests use.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hiscores/hiscore_store.h"
#include "hosts/headless/headless_host.h"
#include "platform/doc_template.h"
#include "res/resource.h"
#include "tests/cards/test_table.h"
#include "tests/hiscores/handheld_tables.h"

// Suits in index order: clubs, diamonds, hearts, spades; ranks 1 (ace) .. 13.
enum { C, D, H, S };
constexpr int Card(int suit, int rank) {
    return suit * 13 + rank - 1;
}

inline std::vector<int> Indices(const CCardPile* pile) {
    std::vector<int> out;
    for (const auto& card : pile->GetCards()) out.push_back(card->m_index);
    return out;
}

inline std::vector<uint32_t> States(const CCardPile* pile) {
    std::vector<uint32_t> out;
    for (const auto& card : pile->GetCards()) out.push_back(card->m_state);
    return out;
}

template <class Game, int kTable>
class CardGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetResources(ParlourResources());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              (std::string("parlour-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        store.m_dataDir = dir.string() + "/";
        frame.SetDocument(&doc);
        doc.SetFrame(&frame);
        auto view = std::make_unique<Game>(&Table());
        game = view.get();
        ASSERT_TRUE(CreateViewInFrame(frame, &doc, *view));
        frame.SetActiveView(std::move(view));
        frame.RecalcLayout();
        game->SendCommand(ID_NEW_GAME);  // dealt once shown, as the program deals it
        host.Idle();
    }
    void TearDown() override {
        frame.SetActiveView(nullptr);
        std::filesystem::remove_all(dir);
    }

    CHiScoresDlg& Table() { return store.m_hiScoreTables[kTable]; }
    // Clears the table, then lays cards on a pile bottom first, the lowest
    // faceDown of them face down.
    void Empty() { game->ClearAllPiles(); }
    void Lay(CCardPile* pile, std::vector<int> cards, size_t faceDown = 0) {
        for (size_t i = 0; i < cards.size(); ++i)
            pile->AddCard(std::make_unique<CCard>(cards[i]))->m_state =
                i < faceDown ? CARD_FACEDOWN : CARD_FACEUP;
    }
    // Paints, which lays the cards out and turns column tops face up.
    void Paint() { host.Idle(); }
    // A point on the n-th card from the top (its visible strip), or the
    // pile's own place when it is empty.
    CPoint On(CCardPile* pile, int n = 0) {
        pile->LayoutCards();
        CardPos pos = pile->FromTop(n);
        const CRect r = pos ? pos->m_rect : pile->m_rect;
        return CPoint(r.left + 12, r.top + (n == 0 ? 17 : 3));
    }
    void Tap(CPoint p) {
        game->SendStylusDown(p);
        game->SendStylusUp(p);
    }
    void DoubleTap(CPoint p) {
        Tap(p);
        game->SendStylusDown(p, true);
        game->SendStylusUp(p);
    }
    void Drag(CPoint from, CPoint to) {
        game->SendStylusDown(from);
        game->SendStylusMove(to);
        game->SendStylusUp(to);
    }
    bool UndoEnabled() { return frame.QueryCommand(ID_UNDO_MOVE).m_enabled; }
    std::vector<CRect> Rects() const {
        std::vector<CRect> out;
        for (const auto& pile : game->GetPiles()) out.push_back(pile->m_rect);
        return out;
    }
    // Ten entries no game can beat, so a win asks the question instead.
    void FillTable() {
        for (int i = 0; i < 10; ++i) {
            auto entry = std::make_unique<HiScoreEntry>();
            entry->m_name = u"Best";
            entry->m_score = 100000;
            entry->m_seconds = 1;
            Table().m_entries.push_back(std::move(entry));
        }
    }
    void Answer(ModalAnswer::Kind kind) {
        ModalAnswer answer;
        answer.kind = kind;
        host.QueueAnswer(answer);
    }

    HeadlessHost host{100000};
    TestCardImages images;
    std::filesystem::path dir;
    CHiScoreStore store;
    CDocument doc;
    CFrameWnd frame;
    Game* game = nullptr;
};
