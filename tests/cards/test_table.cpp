#include "tests/cards/test_table.h"

#include "res/resource.h"

namespace {
void Solid(CBitmap& bitmap, uint32_t colour) {
    bitmap.Attach(std::make_shared<CImage>(25, 34, colour));
}
}  // namespace

TestCardImages::TestCardImages() {
    Solid(images.m_bmCardBack, kBack);
    Solid(images.m_bmCardEmpty, kEmpty);
    Solid(images.m_bmCardDeal, kDeal);
    for (int i = 0; i < CARD_COUNT; ++i) Solid(images.m_bmCards[static_cast<size_t>(i)], Face(i));
    images.DeriveMetrics();
    SetCardImages(&images);
}

TestCardImages::~TestCardImages() {
    SetCardImages(nullptr);
}

uint32_t TestSurface::Block(int x, int y) const {
    const uint32_t colour = image.At(x, y);
    for (int j = 0; j < 34; ++j)
        for (int i = 0; i < 25; ++i)
            if (image.At(x + i, y + j) != colour) return 0;
    return colour;
}

CTestTable::CTestTable() {
    m_title = u"Test table";
    m_bkColour = RGB(0, 127, 0);
    stock = AddPile(PILE_STOCK);
    waste = AddPile(PILE_WASTE);
    for (CCardPile*& c : column) c = AddPile(PILE_TABLEAU);
    for (CCardPile*& f : foundation) f = AddPile(PILE_FOUNDATION);
    m_firstFoundationPos = PilePosOf(foundation[0]);
}

void CTestTable::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    stock->m_rect = CRect(2, 7, 27, 41);
    waste->m_rect = CRect(34, 7, 34 + 25 + 3 * waste->m_faceUpStep, 41);
    column[0]->m_rect = CRect(2, 50, 27, cy);
    column[1]->m_rect = CRect(34, 50, 59, cy);
    foundation[0]->m_rect = CRect(130, 7, 155, 41);
    foundation[1]->m_rect = CRect(162, 7, 187, 41);
}

void CTestTable::OnLButtonDown(unsigned, CPoint point) {
    if (!PickAt(point)) return;
    StartClock();
    if (m_sel.m_card && !m_sel.m_card->IsFaceDown()) StartDrag(point);
}

void CTestTable::OnLButtonUp(unsigned, CPoint point) {
    DraggedRun run;
    if (!EndDrag(&run)) return;
    DropResult result = DROP_REFUSED;
    CCardPile* target = FindDropTarget(point, run, &result);
    if (!target) return;
    AcceptDrop(run, target, result);
}

DropResult CTestTable::CanDrop(CCardPile*, CCard* card, CCardPile* to, CCard* ref) {
    offered.push_back(std::to_string(PileIndex(to)) + ":" +
                      (ref ? std::to_string(ref->m_index) : std::string("-")));
    if (to->m_kind == PILE_TABLEAU) {
        if (!ref) return card->IsKing() ? DROP_PLACED : DROP_REFUSED;
        return !card->IsSameColour(*ref) && card->RankDiff(*ref) == -1 ? DROP_PLACED : DROP_REFUSED;
    }
    if (to->m_kind == PILE_FOUNDATION) {
        if (card->IsAce()) return to->IsEmpty() ? DROP_HOME : DROP_REFUSED;
        return ref && card->m_index == ref->m_index + 1 ? DROP_HOME : DROP_REFUSED;
    }
    return DROP_REFUSED;
}

bool CTestTable::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == ID_NEW_GAME) return HandleCommand(update, [this] { ++newGames; });
    return CCardgame::OnCmdMsg(id, update);
}

void CTestTable::Put(CCardPile* pile, std::initializer_list<int> indices, uint32_t state) {
    for (int index : indices) pile->AddCard(std::make_unique<CCard>(index))->m_state = state;
}

bool CTestTable::EndGame() {
    ++endGames;
    CCardgame::EndGame();
    return endGameAnswer;
}
