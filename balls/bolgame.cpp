#include "balls/bolgame.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "balls/bol_images.h"
#include "balls/bolsetup_dlg.h"
#include "platform/random.h"
#include "res/resource.h"

CBol::CBol(int colors) : m_color(static_cast<uint32_t>(runtime::rand() % colors + 1)) {}

CBolGame::CBolGame() {
    BolImages();  // the strip and its metrics, before the first paint
}

CBolGame::~CBolGame() = default;

void CBolGame::OnSize(unsigned type, int cx, int cy) {
    CGameView::OnSize(type, cx, cy);
    if (cx > 0 && cy > 0) ComputeCellSize();
}

void CBolGame::ComputeCellSize() {
    const CRect client = ClientRect();
    m_cellWidth = client.Width() / m_cols;
    m_cellHeight = client.Height() / m_rows;
}

CBol* CBolGame::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows) return nullptr;
    return m_cells[static_cast<size_t>(col)][static_cast<size_t>(row)].get();
}

CRect CBolGame::CellRect(int col, int row) const {
    return CRect(col * m_cellWidth, row * m_cellHeight, (col + 1) * m_cellWidth,
                 (row + 1) * m_cellHeight);
}

void CBolGame::RandomColour(CBol& cell) const {
    cell.m_color = static_cast<uint32_t>(runtime::rand() % m_colors + 1);
}

void CBolGame::NewBoard() {
    LeaveGame();
    m_deal = runtime::SeedNewDeal();
    m_score = 0;
    m_gameOver = false;
    m_dragging = 0;
    m_pick.reset();
    ForgetAnnouncement();  // the last board's words are not this one's
    for (int col = 0; col < m_cols; ++col) {
        for (int row = 0; row < m_rows; ++row) {
            // A cell, once made, stays for the life of the view, also while
            // the board is smaller than it was.
            auto& slot = m_cells[static_cast<size_t>(col)][static_cast<size_t>(row)];
            if (slot)
                RandomColour(*slot);
            else
                slot = std::make_unique<CBol>(m_colors);
            slot->m_region = 0;
            slot->m_step = 0;
        }
    }
    m_startTick = 0;
    // No clock, no status: the bar fills again after the first move.
    if (IsWindow()) SetStatus(CString());
    Invalidate(true);
}

void CBolGame::OnDraw(CDC* dc) {
    CDC strip;
    strip.CreateCompatibleDC(dc);
    const CBitmap* old = strip.SelectObject(&BolImages().m_strip);
    CRect clip;
    dc->GetClipBox(&clip);
    ComputeCellSize();
    ForEachCell([&](int col, int row, CBol& cell) {
        cell.m_rect = CellRect(col, row);
        CRect common;
        const bool dragged = m_dragging && col == m_dragCol && row == m_dragRow;
        if (common.IntersectRect(cell.m_rect, clip) && !dragged) DrawBol(dc, &strip, cell);
    });
    if (m_dragging) DrawDraggedBol(dc, &strip);
    DrawFocusFrames(dc);
    strip.SelectObject(old);
    strip.DeleteDC();
}

void CBolGame::DrawBol(CDC* dc, CDC* strip, const CBol& cell) const {
    const CBolImages& images = BolImages();
    const int T = images.m_tileSize;
    int x = cell.m_rect.left, y = cell.m_rect.top;
    int w = cell.m_rect.Width(), h = cell.m_rect.Height();
    // A sliding ball is T - 7 * step pixels off its cell, on the side it
    // comes from: on its way in up to step 5, past it after.
    const int d = T - 7 * cell.m_step;
    switch (cell.Motion()) {
        case BOL_FROM_ABOVE:
            y -= d;
            break;
        case BOL_FROM_LEFT:
            x -= d;
            break;
        case BOL_FROM_RIGHT:
            x += d;
            break;
        case BOL_FROM_BELOW:
            y += d;
            break;
        case BOL_VANISHING: {
            // Shrinks towards its bottom-right corner.
            const int k = 7 * cell.m_step / 2;
            x += k;
            y += k;
            w -= k;
            h -= k;
            break;
        }
    }
    const int tile = static_cast<int>(cell.Colour());
    dc->StretchBlt(x, y, w, h, strip, tile * T, 0, T, images.m_sourceHeight, SRCCOPY);
}

void CBolGame::DrawDraggedBol(CDC* dc, CDC* strip) const {
    const CBol* cell = Cell(m_dragCol, m_dragRow);
    if (!cell) return;
    const CBolImages& images = BolImages();
    const CRect at = DraggedRect();
    dc->StretchBlt(at.left, at.top, at.Width(), at.Height(), strip,
                   static_cast<int>(cell->Colour()) * images.m_tileSize, 0, images.m_tileSize,
                   images.m_sourceHeight, SRCCOPY);
}

CRect CBolGame::DraggedRect() const {
    const CRect cell = CellRect(m_dragCol, m_dragRow);
    const CPoint at(m_liftedAt.x + m_dragOffset.x, m_liftedAt.y + m_dragOffset.y);
    return CRect(at.x, at.y, at.x + cell.Width(), at.y + cell.Height());
}

void CBolGame::PutBackDragged() {
    m_dragging = 0;
    InvalidateRect(&m_dragRect, true);
    const CRect source = CellRect(m_dragCol, m_dragRow);
    InvalidateRect(&source, false);
}

void CBolGame::OnMouseMove(unsigned, CPoint point) {
    if (!m_dragging || !Cell(m_dragCol, m_dragRow)) return;
    // Both places, so that the ball is always seen whole where the stylus is.
    m_dragRect = DraggedRect();
    InvalidateRect(&m_dragRect, true);
    m_dragOffset = CPoint(point.x - m_pressPoint.x, point.y - m_pressPoint.y);
    m_dragRect = DraggedRect();
    InvalidateRect(&m_dragRect, true);
}

void CBolGame::Animate(int frames, uint32_t delayMs, bool erase) {
    m_animStep = 0;
    while (m_animStep < frames) {
        ++m_animStep;
        SetAnimationStep(m_animStep, erase);
        UpdateWindow();
        Sleep(delayMs);
    }
    ++m_animStep;
    SetAnimationStep(0, false);
    UpdateWindow();
    Sleep(delayMs);
}

void CBolGame::SetAnimationStep(int step, bool erase) {
    // The moving cells one above the other in a column are invalidated as
    // one rectangle: the same area, in fewer pieces for the paint to clip to.
    CRect run;
    auto flush = [&] {
        if (!run.IsRectEmpty()) InvalidateRect(&run, erase);
        run = CRect();
    };
    ForEachCell([&](int, int row, CBol& cell) {
        cell.m_step = step;
        if (row == 0) flush();
        if (cell.Motion()) {
            if (!run.IsRectEmpty() && run.left == cell.m_rect.left &&
                run.right == cell.m_rect.right && run.bottom == cell.m_rect.top)
                run.bottom = cell.m_rect.bottom;
            else {
                flush();
                run = cell.m_rect;
            }
        } else {
            flush();
        }
        if (step == 0) {
            if (cell.Motion() == BOL_VANISHING) cell.m_color = 0;
            cell.m_color &= ~BOL_MOTION_MASK;
        }
    });
    flush();
}

void CBolGame::LabelRegions() {
    ForEachCell([](int, int, CBol& cell) { cell.m_region = 0; });
    int32_t label = 1;
    std::vector<std::pair<int, int>> todo;
    ForEachCell([&](int col, int row, CBol& first) {
        if (first.m_color == 0 || first.m_region != 0 ||
            !HasNeighbourColour(col, row, first.m_color))
            return;
        // The whole group takes the label before the scan goes on, so groups
        // are numbered in the order their first cells are met.
        first.m_region = label;
        todo.assign(1, {col, row});
        while (!todo.empty()) {
            const auto [c, r] = todo.back();
            todo.pop_back();
            for (const auto& [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}}) {
                CBol* next = Cell(c + dc, r + dr);
                if (next && next->m_region == 0 && next->m_color == first.m_color) {
                    next->m_region = label;
                    todo.push_back({c + dc, r + dr});
                }
            }
        }
        ++label;
    });
}

bool CBolGame::HasNeighbourColour(int col, int row, uint32_t word) const {
    for (const auto& [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}})
        if (const CBol* next = Cell(col + dc, row + dr); next && next->m_color == word) return true;
    return false;
}

bool CBolGame::HasNeighbourRegion(int col, int row, int32_t label) const {
    for (const auto& [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}})
        if (const CBol* next = Cell(col + dc, row + dr); next && next->m_region == label)
            return true;
    return false;
}

bool CBolGame::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (!update && id != ID_HINT) HideHint();  // a command is input too
    switch (id) {
        case ID_BOL_SETTINGS:
            return HandleCommand(update, [this] { OnBolSettings(); });
    }
    return CGameView::OnCmdMsg(id, update);
}

CString CBolGame::StatisticsName() const {
    return m_title + FormatString(", %d x %d, %d colours", m_cols, m_rows, m_colors);
}

void CBolGame::OnBolSettings() {
    CBolSetupDlg dialog;
    dialog.m_hor = m_cols;
    dialog.m_ver = m_rows;
    dialog.m_colors = m_colors;
    // Only OK changes the board: closing the dialog any other way keeps the
    // game in progress.
    if (dialog.DoModal() != IDOK) return;
    m_cols = dialog.m_hor;
    m_rows = dialog.m_ver;
    m_colors = dialog.m_colors;
    m_dragging = 0;
    PostCommand(ID_NEW_GAME);
    Invalidate(true);
}

bool CBolGame::AreNeighbours(const BallMove& move) const {
    if (!Cell(move.col, move.row) || !Cell(move.toCol, move.toRow)) return false;
    return std::abs(move.col - move.toCol) + std::abs(move.row - move.toRow) == 1;
}

BallPlace CBolGame::Focus() {
    m_focus.col = std::clamp(m_focus.col, 0, std::max(m_cols - 1, 0));
    m_focus.row = std::clamp(m_focus.row, 0, std::max(m_rows - 1, 0));
    return m_focus;
}

CRect CBolGame::FocusRect() {
    const BallPlace focus = Focus();
    return Cell(focus.col, focus.row) ? CellRect(focus.col, focus.row) : CRect();
}

CRect CBolGame::PickRect() {
    return m_pick ? CellRect(m_pick->col, m_pick->row) : CRect();
}

CString CBolGame::ColourName(uint32_t colour) {
    static constexpr const char* kNames[] = {"red",     "green", "blue", "yellow", "cyan",
                                             "magenta", "white", "grey", "orange"};
    return colour >= 1 && colour <= 9 ? FromUtf8(kNames[colour - 1]) : CString(u"no");
}

CString CBolGame::PickedWords() const {
    const CBol* ball = m_pick ? Cell(m_pick->col, m_pick->row) : nullptr;
    return BallNamed(ball);
}

CString CBolGame::BallNamed(const CBol* ball) {
    return ball ? u"the " + ColourName(ball->Colour()) + u" ball" : CString(u"the ball");
}

CString CBolGame::FocusText() {
    const BallPlace focus = Focus();
    const CBol* cell = Cell(focus.col, focus.row);
    CString text = FormatString("Row %d, column %d: ", focus.row + 1, focus.col + 1);
    text += (cell ? ColourName(cell->Colour()) : CString(u"no")) + u" ball";
    if (m_pick && *m_pick == focus) text += u", picked up";
    return text;
}

bool CBolGame::CellAt(CPoint point, int* col, int* row) const {
    bool found = false;
    ForEachCell([&](int c, int r, CBol& cell) {
        if (!found && cell.m_rect.PtInRect(point)) {
            *col = c;
            *row = r;
            found = true;
        }
    });
    return found;
}

void CBolGame::MoveFocusToPoint(CPoint point) {
    int col = 0, row = 0;
    if (CellAt(point, &col, &row)) m_focus = {col, row};
}

void CBolGame::OnKeyDown(unsigned key, unsigned flags) {
    if (m_dragging) {
        // The stylus has the board; Escape puts the ball it holds back.
        if (key == VK_ESCAPE) {
            PutBackDragged();
            Announce(u"Put back " + BallNamed(Cell(m_dragCol, m_dragRow)));
        }
        return;
    }
    if (m_cols <= 0 || m_rows <= 0) return;
    if (key == VK_H) {
        OnHint();
        return;
    }
    HideHint();
    BeginFocusChange();
    ShowFocus();
    const BallPlace focus = Focus();
    const int cells = m_cols * m_rows;
    int dx = 0, dy = 0;
    switch (key) {
        case VK_TAB: {
            // Column by column, wrapping round; a ball picked up stays in
            // its cell.
            if (m_pick) Announce(u"Put back " + PickedWords());
            m_pick.reset();
            const int index = focus.col * m_rows + focus.row + (flags & MK_SHIFT ? cells - 1 : 1);
            m_focus = {index % cells / m_rows, index % cells % m_rows};
            break;
        }
        case VK_LEFT:
            dx = -1;
            break;
        case VK_RIGHT:
            dx = 1;
            break;
        case VK_UP:
            dy = -1;
            break;
        case VK_DOWN:
            dy = 1;
            break;
        case VK_RETURN:
        case VK_SPACE:
            if (!(flags & MK_SHIFT)) PressFocused();
            break;
        case VK_ESCAPE:
            if (m_pick) Announce(u"Put back " + PickedWords());
            m_pick.reset();
            break;
        default:
            break;
    }
    if (dx || dy) {
        if (m_pick)
            ArrowWithPick(dx, dy);
        else if (Cell(focus.col + dx, focus.row + dy))
            m_focus = {focus.col + dx, focus.row + dy};
    }
    EndFocusChange();
}

CString CBolGame::PlaceWords(int col, int row) {
    return FormatString("row %d, column %d", row + 1, col + 1);
}

bool CBolGame::PrepareHint(HintText* words, std::vector<CRect>* outlines) {
    if (m_dragging) return false;
    const std::optional<BallMove> move = SuggestedMove();
    if (!move) return false;
    *words = HintWords(*move);
    outlines->push_back(CellRect(move->col, move->row));
    if (move->toCol >= 0) outlines->push_back(CellRect(move->toCol, move->toRow));
    m_hint = move;
    return true;
}

void CBolGame::CallIfDealtStuck() {
    if (m_gameOver || !DealtStuck()) return;
    UpdateWindow();  // the board shows behind the question
    m_gameOver = true;
    const CString question =
        FormatString("No more moves.\nin %d seconds\nScore:%d\n\nStart new game?",
                     static_cast<int>(ElapsedSeconds()), m_score);
    if (AfxMessageBox(question, MB_YESNO) == IDYES) OnNewGame();
}
