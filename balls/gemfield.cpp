#include "balls/gemfield.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The motion bit of a ball coming back the other way.
uint32_t Opposite(uint32_t motion) {
    switch (motion) {
        case BOL_FROM_LEFT:
            return BOL_FROM_RIGHT;
        case BOL_FROM_RIGHT:
            return BOL_FROM_LEFT;
        case BOL_FROM_ABOVE:
            return BOL_FROM_BELOW;
        case BOL_FROM_BELOW:
            return BOL_FROM_ABOVE;
    }
    return 0;
}

// Colour words above this are moving or vanishing balls.
constexpr uint32_t kLastResting = 15;

// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: score as much as you can before no swap is left.\n\n"
    u"The board: 7 columns of 8 balls in 8 colours; Bol settings in the menu sets the width "
    u"and height (2 to 16) and the colours (2 to 9) and starts a new board; they hold "
    u"for the next deals until New or another game brings back the 7 by 8 board.\n\n"
    u"Play: drag a ball onto a neighbouring cell to swap the two. Every group of one colour "
    u"that then holds a run of three or more in a row or a column vanishes; the balls above "
    u"fall, and new balls enter at the top. A swap that makes no run is taken back. A move "
    u"cannot be undone.\n\n"
    u"Score: a group of n balls scores n times (n - 1); the runs that form while the balls "
    u"fall score three times as much. The clock runs from your first move.\n\n"
    u"The end: the game is over when no swap anywhere could make a run.";
}  // namespace

CGemfield::CGemfield(CHiScoresDlg* hiScores) {
    m_title = u"Gemfield";
    m_hiScores = hiScores;
    m_bkColour = RGB(212, 208, 200);
}

void CGemfield::OnNewGame() {
    NewBoard();
    CallIfDealtStuck();
}

void CGemfield::OnLButtonDown(unsigned, CPoint point) {
    m_dragging = 1;
    m_pressPoint = point;
    StartClock();  // also a press beside the board starts the clock
    int col = 0, row = 0;
    if (!CellAt(point, &col, &row)) {
        m_dragging = 0;
        return;
    }
    m_dragCol = col;
    m_dragRow = row;
    const CRect lifted = CellRect(col, row);
    m_liftedAt = CPoint(lifted.left, lifted.top);
    m_dragOffset = CPoint(0, 0);
    m_dragRect = DraggedRect();
}

void CGemfield::OnLButtonUp(unsigned, CPoint point) {
    if (!m_dragging) return;
    m_dragging = 0;
    int col = 0, row = 0;
    if (CellAt(point, &col, &row)) {
        TrySwap(col, row);
    } else {
        // Dropped beside the board: the ball goes back to its cell.
        PutBackDragged();
    }
}

void CGemfield::TrySwap(int col, int row) {
    CBol* source = Cell(m_dragCol, m_dragRow);
    CBol* target = Cell(col, row);
    InvalidateRect(&m_dragRect, false);
    if (target) InvalidateRect(&target->m_rect, false);
    if (!source || !target || target == source) return;
    InvalidateRect(&source->m_rect, false);
    const bool neighbours = (std::abs(col - m_dragCol) == 1 && row == m_dragRow) ||
                            (std::abs(row - m_dragRow) == 1 && col == m_dragCol);
    if (!neighbours) return;
    // As after a swap by the keys: on the ball moved.
    if (KeysUsed()) m_focus = {col, row};

    const uint32_t t = target->Colour();
    target->m_color = source->Colour();
    source->m_color = t;
    // The dragged ball shows in its new cell at once; the other one slides
    // across into the cell the drag began in.
    InvalidateRect(&target->m_rect, true);
    UpdateWindow();
    const uint32_t d = col < m_dragCol   ? BOL_FROM_LEFT
                       : col > m_dragCol ? BOL_FROM_RIGHT
                       : row < m_dragRow ? BOL_FROM_ABOVE
                                         : BOL_FROM_BELOW;
    source->m_color |= d;
    Animate(BOL_ANIMATION_FRAMES, kSwapDelay, true);

    const int won = FindMatches();
    if (won > 0) {
        CountAsPlayed();
        const int32_t before = m_score;
        m_score += won;
        Cascade();
        ShowStatus();
        Announce(FormatString("Swapped: %d points", m_score - before));
        if (!HasPossibleMove()) {
            GameOver();
            if (!m_gameOver) return;  // a new game has begun
        }
        InvalidateRect(&target->m_rect, false);
        InvalidateRect(&source->m_rect, false);
        return;
    }
    // No run anywhere: both balls slide back.
    Announce(u"No run: swapped back");
    source->m_color = target->Colour() | d;
    target->m_color = t | Opposite(d);
    Animate(BOL_ANIMATION_FRAMES, kSwapDelay, true);
    ShowStatus();
    InvalidateRect(&target->m_rect, false);
    InvalidateRect(&source->m_rect, false);
}

void CGemfield::GameOver() {
    UpdateWindow();
    m_gameOver = true;
    const int seconds = static_cast<int>(ElapsedSeconds());
    // Gemfield has no losing end: a game played until no swap is left is won.
    FinishGame(true, static_cast<uint32_t>(seconds), m_score);
    if (AddHiScore(static_cast<uint32_t>(seconds), m_score)) return;
    const CString question =
        FormatString("Game over!\nin %d seconds\nScore:%d\n\nStart new game?", seconds, m_score);
    if (AfxMessageBox(question, MB_YESNO) == IDYES) OnNewGame();
}

bool CGemfield::InRun(int col, int row, const CBol& cell) const {
    if (cell.m_color == 0 || cell.m_color > kLastResting) return false;
    const auto [h, v] = CountRuns(col, row);
    return h >= 3 || v >= 3;
}

bool CGemfield::HasRun() {
    LabelRegions();
    bool found = false;
    ForEachCell([&](int col, int row, CBol& cell) { found = found || InRun(col, row, cell); });
    return found;
}

int CGemfield::FindMatches() {
    LabelRegions();
    int total = 0;
    ForEachCell([&](int col, int row, CBol& cell) {
        if (InRun(col, row, cell)) total += RemoveRegion(col, row);
    });
    return total;
}

std::pair<int, int> CGemfield::CountRuns(int col, int row) const {
    const CBol* cell = Cell(col, row);
    if (!cell) return {0, 0};
    const uint32_t word = cell->m_color;
    auto run = [&](int dc, int dr) {
        int n = 0;
        for (int c = col + dc, r = row + dr; Cell(c, r) && Cell(c, r)->m_color == word;
             c += dc, r += dr)
            ++n;
        return n;
    };
    return {1 + run(-1, 0) + run(1, 0), 1 + run(0, -1) + run(0, 1)};
}

int CGemfield::RemoveRegion(int col, int row) {
    const CBol* cell = Cell(col, row);
    if (!cell) return 0;
    const int32_t label = cell->m_region;
    int n = 0;
    if (label == 0) {
        // A run is always part of a group; this is only a guard.
        return 0;
    }
    ForEachCell([&](int, int, CBol& other) {
        if (other.m_region != label) return;
        other.m_color |= BOL_VANISHING;
        other.m_step = BOL_ANIMATION_FRAMES;
        ++n;
    });
    return n * (n - 1);
}

void CGemfield::Cascade() {
    for (int wave = 1;; ++wave) {
        Animate(BOL_ANIMATION_FRAMES, kVanishDelay, true);
        // Each pass lowers what stands above the topmost hole of every
        // column by one row, with a new ball entering at the top.
        for (;;) {
            bool changed = false;
            for (int col = 0; col < m_cols; ++col) {
                int hole = -1;
                for (int row = 0; row < m_rows && hole < 0; ++row)
                    if (Cell(col, row) && Cell(col, row)->m_color == 0) hole = row;
                if (hole < 0) continue;
                for (int k = hole; k >= 1; --k) {
                    CBol* below = Cell(col, k);
                    const CBol* above = Cell(col, k - 1);
                    if (below && above) below->m_color = above->m_color | BOL_FROM_ABOVE;
                }
                if (CBol* top = Cell(col, 0)) {
                    RandomColour(*top);
                    top->m_color |= BOL_FROM_ABOVE;
                }
                changed = true;
            }
            if (!changed) break;
            Animate(BOL_ANIMATION_FRAMES, kFallDelay, false);
        }
        // With few colours on a big board the new balls make new runs
        // faster than the waves clear them, and the cascade would hold the
        // program for ever. The runs left stand; the next swap takes them.
        if (wave == kMaxWaves) return;
        const int won = FindMatches();
        if (won == 0) return;
        m_score += 3 * won;
    }
}

bool CGemfield::StandingLine::Holds(int c, int r) const {
    for (int i = 0; i < 3; ++i)
        if (c == col + i * dc && r == row + i * dr) return true;
    return false;
}

std::vector<CGemfield::StandingLine> CGemfield::StandingLines() const {
    std::vector<StandingLine> standing;
    ForEachCell([&](int col, int row, CBol& cell) {
        if (cell.m_color == 0 || cell.m_color > kLastResting) return;
        for (const auto& [dc, dr] : {std::pair{1, 0}, {0, 1}}) {
            const CBol* next = Cell(col + dc, row + dr);
            const CBol* last = Cell(col + 2 * dc, row + 2 * dr);
            if (next && last && next->m_color == cell.m_color && last->m_color == cell.m_color)
                standing.push_back({col, row, dc, dr});
        }
    });
    return standing;
}

bool CGemfield::SwapMakesRun(const BallMove& swap, const std::vector<StandingLine>& standing) {
    CBol* cell = Cell(swap.col, swap.row);
    CBol* other = Cell(swap.toCol, swap.toRow);
    auto RunAt = [this](int col, int row) {
        const CBol* ball = Cell(col, row);
        return ball && InRun(col, row, *ball);
    };
    std::swap(cell->m_color, other->m_color);
    const bool found =
        RunAt(swap.col, swap.row) || RunAt(swap.toCol, swap.toRow) ||
        std::any_of(standing.begin(), standing.end(), [&](const StandingLine& line) {
            return !line.Holds(swap.col, swap.row) && !line.Holds(swap.toCol, swap.toRow);
        });
    std::swap(cell->m_color, other->m_color);
    return found;
}

bool CGemfield::HasPossibleMove() {
    const std::vector<StandingLine> standing = StandingLines();
    // The last swap tried, found or not.
    CBol* tried = nullptr;
    CBol* triedWith = nullptr;
    for (int col = 0; col < m_cols; ++col) {
        for (int row = 0; row < m_rows; ++row) {
            CBol* cell = Cell(col, row);
            if (!cell) continue;
            for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, -1}, {0, 1}}) {
                CBol* other = Cell(col + dc, row + dr);
                if (!other) continue;
                tried = cell;
                triedWith = other;
                if (SwapMakesRun({col, row, col + dc, row + dr}, standing)) {
                    NumberGroupsAfterSwap(*cell, *other);
                    return true;
                }
            }
        }
    }
    if (tried) NumberGroupsAfterSwap(*tried, *triedWith);
    return false;
}

std::vector<BallMove> CGemfield::LegalMoves() {
    std::vector<BallMove> moves;
    if (m_gameOver) return moves;
    const std::vector<StandingLine> standing = StandingLines();
    ForEachCell([&](int col, int row, CBol&) {
        for (const BallMove swap :
             {BallMove{col, row, col + 1, row}, BallMove{col, row, col, row + 1}})
            if (Cell(swap.toCol, swap.toRow) && SwapMakesRun(swap, standing)) moves.push_back(swap);
    });
    return moves;
}

bool CGemfield::DoMove(const BallMove& move) {
    HideHint();
    if (m_gameOver || m_dragging || !AreNeighbours(move)) return false;
    // As a drag from the one cell onto the other.
    StartClock();
    m_dragCol = move.col;
    m_dragRow = move.row;
    m_dragOffset = CPoint(0, 0);
    m_dragRect = DraggedRect();
    TrySwap(move.toCol, move.toRow);
    return true;
}

void CGemfield::PressFocused() {
    const BallPlace focus = Focus();
    if (m_pick) {
        Announce(u"Put back " + PickedWords());
        m_pick.reset();
    } else if (!m_gameOver && Cell(focus.col, focus.row)) {
        StartClock();  // as a press on the ball
        m_pick = focus;
        Announce(u"Picked up " + PickedWords());
    }
}

void CGemfield::ArrowWithPick(int dx, int dy) {
    const BallPlace from = *m_pick;
    const BallMove swap{from.col, from.row, from.col + dx, from.row + dy};
    if (!Cell(swap.toCol, swap.toRow)) return;  // the board's edge: it stays picked up
    m_pick.reset();
    m_focus = {swap.toCol, swap.toRow};
    DoMove(swap);
}

void CGemfield::NumberGroupsAfterSwap(CBol& cell, CBol& other) {
    // The groups are left numbered on the board as the swap made it, as
    // testing that board with FindMatches did: the driver's state shows them.
    std::swap(cell.m_color, other.m_color);
    LabelRegions();
    std::swap(cell.m_color, other.m_color);
}

CString CGemfield::Rules() const {
    return kRules;
}

int CGemfield::SwapScore(const BallMove& swap) {
    CBol* cell = Cell(swap.col, swap.row);
    CBol* other = Cell(swap.toCol, swap.toRow);
    // The groups' numbers stay as the board shows them.
    std::vector<int32_t> labels;
    ForEachCell([&](int, int, CBol& ball) { labels.push_back(ball.m_region); });
    std::swap(cell->m_color, other->m_color);
    LabelRegions();
    std::vector<int32_t> scoring;
    ForEachCell([&](int col, int row, CBol& ball) {
        if (InRun(col, row, ball) &&
            std::find(scoring.begin(), scoring.end(), ball.m_region) == scoring.end())
            scoring.push_back(ball.m_region);
    });
    int score = 0;
    for (const int32_t label : scoring) {
        int n = 0;
        ForEachCell([&](int, int, CBol& ball) { n += ball.m_region == label ? 1 : 0; });
        score += n * (n - 1);
    }
    std::swap(cell->m_color, other->m_color);
    auto label = labels.begin();
    ForEachCell([&](int, int, CBol& ball) { ball.m_region = *label++; });
    return score;
}

std::optional<BallMove> CGemfield::SuggestedMove() {
    std::optional<BallMove> best;
    int bestScore = 0;
    for (const BallMove& swap : LegalMoves()) {
        const int score = SwapScore(swap);
        if (!best || score > bestScore) {
            best = swap;
            bestScore = score;
        }
    }
    return best;
}

CGameView::HintText CGemfield::HintWords(const BallMove& move) const {
    const CBol* cell = Cell(move.col, move.row);
    const CBol* other = Cell(move.toCol, move.toRow);
    const CString where = move.toCol > move.col   ? CString(u" to its right")
                          : move.toCol < move.col ? CString(u" to its left")
                          : move.toRow > move.row ? CString(u" below it")
                                                  : CString(u" above it");
    return {u"swap the " + ColourName(cell->Colour()) + u" ball in " +
                PlaceWords(move.col, move.row) + u" with the " + ColourName(other->Colour()) +
                u" ball" + where,
            u"swap " + ColourName(cell->Colour()) + u" and " + ColourName(other->Colour())};
}

bool CGemfield::DealtStuck() {
    // A new board shows no groups numbered until its first swap.
    const bool stuck = !HasRun() && !HasPossibleMove();
    ForEachCell([](int, int, CBol& ball) { ball.m_region = 0; });
    return stuck;
}
