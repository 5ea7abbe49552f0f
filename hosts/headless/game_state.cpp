#include "hosts/headless/game_state.h"

#include "app/main_frame.h"
#include "balls/bolgame.h"
#include "balls/paintpot.h"
#include "cards/cardgame.h"
#include "hosts/headless/headless_host.h"
#include "hosts/headless/json.h"

namespace {

std::string RectJson(const CRect& r) {
    return JsonArray({std::to_string(r.left), std::to_string(r.top), std::to_string(r.right),
                      std::to_string(r.bottom)});
}

void AddCardGame(JsonObject& state, CCardgame& game) {
    state.Bool("dragging", game.IsDragging());
    const CardPlace focus = game.Focus();
    state.Raw("focus", JsonObject().Number("pile", focus.pile).Number("card", focus.card).Str());
    if (const std::optional<CardMove> picked = game.Picked())
        state.Raw("picked", JsonObject()
                                .Number("pile", picked->pile)
                                .Number("card", picked->card)
                                .Number("count", picked->count)
                                .Str());
    else
        state.Raw("picked", "null");
    if (const std::optional<CardMove>& hint = game.Hint())
        state.Raw("hint", hint->kind == MOVE_TAP ? JsonObject().Number("tap", hint->pile).Str()
                                                 : JsonObject()
                                                       .Number("from", hint->pile)
                                                       .Number("card", hint->card)
                                                       .Number("count", hint->count)
                                                       .Number("to", hint->to)
                                                       .Str());
    else
        state.Raw("hint", "null");
    std::vector<std::string> undo;
    for (const auto& move : game.UndoList())
        undo.push_back(JsonArray({std::to_string(move->m_kind), std::to_string(move->m_count),
                                  std::to_string(game.PileIndex(move->m_from)),
                                  std::to_string(game.PileIndex(move->m_to))}));
    state.Raw("undo", JsonArray(undo));
    std::vector<std::string> piles;
    for (const auto& pile : game.GetPiles()) {
        std::vector<std::string> cards;
        for (const auto& card : pile->GetCards())
            cards.push_back(
                JsonArray({std::to_string(card->m_index), std::to_string(card->m_state),
                           std::to_string(card->m_rect.left), std::to_string(card->m_rect.top)}));
        piles.push_back(JsonObject()
                            .Number("kind", pile->m_kind)
                            .Raw("rect", RectJson(pile->m_rect))
                            .Number("showDeal", pile->m_showDeal ? 1 : 0)
                            .Raw("cards", JsonArray(cards))
                            .Str());
    }
    state.Raw("piles", JsonArray(piles));
}

// The board in play, [column][row].
void AddBolGame(JsonObject& state, CBolGame& game) {
    const BallPlace focus = game.Focus();
    state.Raw("focus", JsonObject().Number("col", focus.col).Number("row", focus.row).Str());
    if (const std::optional<BallPlace>& picked = game.Picked())
        state.Raw("picked",
                  JsonObject().Number("col", picked->col).Number("row", picked->row).Str());
    else
        state.Raw("picked", "null");
    if (const std::optional<BallMove>& hint = game.Hint()) {
        JsonObject shown;
        shown.Number("col", hint->col).Number("row", hint->row);
        if (hint->toCol >= 0) shown.Number("toCol", hint->toCol).Number("toRow", hint->toRow);
        state.Raw("hint", shown.Str());
    } else {
        state.Raw("hint", "null");
    }
    state.Bool("dragging", game.IsDragging())
        .Number("cols", game.Cols())
        .Number("rows", game.Rows())
        .Number("colors", game.Colors())
        .Number("cellWidth", game.CellWidth())
        .Number("cellHeight", game.CellHeight());
    std::vector<std::string> cells, regions;
    for (int col = 0; col < game.Cols(); ++col) {
        std::vector<std::string> words, labels;
        for (int row = 0; row < game.Rows(); ++row) {
            const CBol* cell = game.Cell(col, row);
            words.push_back(std::to_string(cell ? cell->m_color : 0));
            labels.push_back(std::to_string(cell ? cell->m_region : 0));
        }
        cells.push_back(JsonArray(words));
        regions.push_back(JsonArray(labels));
    }
    state.Raw("cells", JsonArray(cells)).Raw("regions", JsonArray(regions));
    if (const auto* paintpot = dynamic_cast<const CPaintpot*>(&game))
        state.Number("steps", paintpot->Steps());
}

}  // namespace

std::string StateLine(CMainFrame& frame, HeadlessHost& host) {
    JsonObject state;
    CView* view = frame.GetActiveView();
    const CDocument* document = frame.GetActiveDocument();
    state.Text("view", frame.m_viewClassName)
        .Text("title", document ? document->GetTitle() : CString())
        .Text("caption", frame.GetCaption())
        .Number("currentGame", frame.m_currentGame)
        .Raw("client", RectJson(view ? view->ClientRect() : CRect()))
        .Number("tick", static_cast<uint32_t>(host.Now()));
    if (const auto* game = dynamic_cast<const CGameView*>(view))
        state.Number("score", game->Score())
            .Number("startTick", game->StartTick())
            .Bool("gameOver", game->IsGameOver())
            .Number("deal", game->DealNumber());
    else
        state.Number("score", 0).Number("startTick", 0).Bool("gameOver", false).Number("deal", 0);
    if (auto* game = dynamic_cast<CCardgame*>(view)) AddCardGame(state, *game);
    if (auto* board = dynamic_cast<CBolGame*>(view)) AddBolGame(state, *board);
    state.Text("status", frame.StatusText());
    const auto* cards = dynamic_cast<CCardgame*>(view);
    switch (cards ? cards->Verdict() : DealVerdict::Unknown) {
        case DealVerdict::Searching:
            state.Text("verdict", u"searching");
            break;
        case DealVerdict::Winnable:
            state.Text("verdict", u"winnable");
            break;
        case DealVerdict::Unwinnable:
            state.Text("verdict", u"unwinnable");
            break;
        default:
            state.Text("verdict", u"unknown");
            break;
    }
    return state.Str();
}
