#include "tests/balls/bol_fixture.h"

#include "balls/bol_images.h"
#include "res/resource.h"

void TestGemfield::SetBoard(const Words& words, int colors) {
    m_cols = static_cast<int>(words.size());
    m_rows = static_cast<int>(words[0].size());
    m_colors = colors;
    NewBoard();
    ForEachCell([&](int col, int row, CBol& cell) {
        cell.m_color = words[static_cast<size_t>(col)][static_cast<size_t>(row)];
    });
}

Words TestGemfield::Board() const {
    Words words(static_cast<size_t>(m_cols), std::vector<uint32_t>(static_cast<size_t>(m_rows)));
    ForEachCell([&](int col, int row, CBol& cell) {
        words[static_cast<size_t>(col)][static_cast<size_t>(row)] = cell.m_color;
    });
    return words;
}

std::vector<CBol*> TestGemfield::Cells() const {
    std::vector<CBol*> cells;
    ForEachCell([&](int, int, CBol& cell) { cells.push_back(&cell); });
    return cells;
}

Words Filler(int cols, int rows) {
    Words words(static_cast<size_t>(cols));
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            words[static_cast<size_t>(c)].push_back(static_cast<uint32_t>(5 + (c + 2 * r) % 5));
    return words;
}

void BolTest::SetUp() {
    SetResources(ParlourResources());
    Open(7 * 35, 8 * 33);
}

void BolTest::Open(int width, int height) {
    view = std::make_unique<TestGemfield>();
    view->SetDocument(&document);
    ASSERT_TRUE(view->Create(CRect(0, 0, width, height), AFX_IDW_PANE_FIRST));
}

CPoint BolTest::Centre(int col, int row) const {
    return CPoint(col * view->CellWidth() + view->CellWidth() / 2,
                  row * view->CellHeight() + view->CellHeight() / 2);
}

void BolTest::Drag(int fromCol, int fromRow, int toCol, int toRow) {
    host.Idle();
    view->SendStylusDown(Centre(fromCol, fromRow));
    view->SendStylusMove(Centre(toCol, toRow));
    view->SendStylusUp(Centre(toCol, toRow));
    host.Idle();
}

uint32_t BolTest::Tile(int i, int x, int y) {
    return BolImages().m_strip.Image()->At(i * 35 + x, y);
}
