#include "balls/paintpot.h"

#include <utility>
#include <vector>

namespace {
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: flood the whole board with one colour in as few steps as you can.\n\n"
    u"The board: 14 by 14 balls in 6 colours; Bol settings in the menu sets the width and "
    u"height (2 to 16) and the colours (2 to 9) and starts a new board; they hold for "
    u"the next deals until New or another game brings back the 14 by 14 board. The flooded "
    u"area starts as the top-left ball's group.\n\n"
    u"Play: tap a ball that touches the flooded area: the whole area takes its colour and "
    u"swallows every touching ball of that colour. That is one step; the bar counts them "
    u"against a par of 25.\n\n"
    u"Score: 25 less the steps taken, never below 0; a score of 0 is not kept in the hi "
    u"scores. The clock runs from your first tap.\n\n"
    u"The end: the game is over when the flooded area covers the board.";
}  // namespace

CPaintpot::CPaintpot(CHiScoresDlg* hiScores) {
    m_title = u"Paintpot";
    m_hiScores = hiScores;
    m_cols = 14;
    m_rows = 14;
    m_bkColour = RGB(212, 208, 200);
    m_colors = 6;
}

void CPaintpot::OnNewGame() {
    NewBoard();
    m_steps = 0;
    FloodCorner();
    // No steps yet: a count left from the last game would be wrong.
    if (CDocument* document = GetDocument()) document->SetTitle(m_title);
    CallIfDealtStuck();
}

void CPaintpot::FloodCorner() {
    LabelRegions();
    CBol* corner = Cell(0, 0);
    if (!corner) return;
    // A lone corner ball is the whole area: the other groups' numbers would
    // otherwise start at 1.
    if (corner->m_region == 0) ForEachCell([](int, int, CBol& cell) { cell.m_region = 0; });
    corner->m_region = kFlooded;
}

void CPaintpot::OnLButtonDown(unsigned flags, CPoint point) {
    if (m_gameOver) {
        CBolGame::OnLButtonDown(flags, point);
        return;
    }
    StartClock();  // also a tap that makes no step
    CBol* tapped = nullptr;
    int col = 0, row = 0;
    ForEachCell([&](int c, int r, CBol& cell) {
        if (!tapped && cell.m_region != kFlooded && cell.m_rect.PtInRect(point)) {
            tapped = &cell;
            col = c;
            row = r;
        }
    });
    if (!tapped) {  // on the flooded area or beside the board
        CBolGame::OnLButtonDown(flags, point);
        return;
    }
    Step(col, row);
}

bool CPaintpot::Floods(int col, int row) const {
    const CBol* cell = Cell(col, row);
    return cell && cell->m_region != kFlooded && HasNeighbourRegion(col, row, kFlooded);
}

void CPaintpot::Step(int col, int row) {
    if (!Floods(col, row)) return;
    CBol* tapped = Cell(col, row);
    CountAsPlayed();
    ++m_steps;
    tapped->m_region = kFlooded;
    InvalidateRecoloured(kFlooded, tapped->m_color);
    RecolourRegion(kFlooded, tapped->m_color);
    // The corner now lies in a group of at least two, met first by the
    // numbering: the grown area is group 1 again.
    LabelRegions();
    if (CDocument* document = GetDocument())
        document->SetTitle(m_title + FormatString(" Steps done:%d", m_steps));
    int flooded = 0;
    ForEachCell([&](int, int, CBol& cell) { flooded += cell.m_region == kFlooded ? 1 : 0; });
    Announce(u"Painted " + ColourName(tapped->Colour()) +
             FormatString(": %d balls flooded", flooded));
    if (AllInRegion(kFlooded))
        GameOver();
    else
        ShowSteps();
}

std::vector<BallMove> CPaintpot::LegalMoves() {
    std::vector<BallMove> moves;
    if (m_gameOver) return moves;
    ForEachCell([&](int col, int row, CBol&) {
        if (Floods(col, row)) moves.push_back({col, row});
    });
    return moves;
}

bool CPaintpot::DoMove(const BallMove& move) {
    HideHint();
    if (m_gameOver || move.toCol != -1 || move.toRow != -1 || !Floods(move.col, move.row))
        return false;
    StartClock();
    Step(move.col, move.row);
    return true;
}

void CPaintpot::PressFocused() {
    if (m_gameOver) return;
    const BallPlace focus = Focus();
    StartClock();  // also a tap that makes no step
    Step(focus.col, focus.row);
}

CString CPaintpot::FocusText() {
    const BallPlace focus = Focus();
    const CBol* cell = Cell(focus.col, focus.row);
    return CBolGame::FocusText() + (cell && cell->m_region == kFlooded ? u", flooded" : u"");
}

void CPaintpot::ShowSteps() {
    // The score is only known at the end; meanwhile the bar counts the
    // steps against the par that scores nothing.
    SetStatus(FormatString("Time:%d  Steps:%d/%d", static_cast<int>(ElapsedSeconds()), m_steps,
                           kParSteps));
}

void CPaintpot::RecolourRegion(int32_t label, uint32_t word) {
    ForEachCell([&](int, int, CBol& cell) {
        if (cell.m_region == label) cell.m_color = word;
    });
}

void CPaintpot::InvalidateRecoloured(int32_t label, uint32_t word) {
    // A step shows only in the balls that change colour; those one above the
    // other in a column go as one rectangle.
    CRect run;
    auto flush = [&] {
        if (!run.IsRectEmpty()) InvalidateRect(&run, true);
        run = CRect();
    };
    for (int col = 0; col < m_cols; ++col) {
        flush();
        for (int row = 0; row < m_rows; ++row) {
            const CBol* cell = Cell(col, row);
            if (!cell || cell->m_region != label || cell->m_color == word) {
                flush();
                continue;
            }
            const CRect rect = CellRect(col, row);
            if (run.IsRectEmpty())
                run = rect;
            else
                run.bottom = rect.bottom;
        }
    }
    flush();
}

bool CPaintpot::AllInRegion(int32_t label) const {
    for (int col = 0; col < m_cols; ++col)
        for (int row = 0; row < m_rows; ++row) {
            const CBol* cell = Cell(col, row);
            if (!cell || cell->m_region != label) return false;
        }
    return true;
}

void CPaintpot::GameOver() {
    UpdateWindow();  // the finished board shows behind what comes next
    const uint32_t seconds = ElapsedSeconds();
    m_gameOver = true;
    m_score = m_steps <= kParSteps ? kParSteps - m_steps : 0;
    ShowStatus();
    // Flooded within the par is a win; at or past it, a game lost.
    FinishGame(m_score > 0, seconds, m_score);
    // A score of 0 is no result to keep.
    if (m_score != 0 && AddHiScore(seconds, m_score)) return;
    const CString question =
        FormatString("Game over! %d steps done.\nin %d seconds\nScore:%d\n\nStart new game?",
                     m_steps, static_cast<int>(seconds), m_score);
    if (AfxMessageBox(question, MB_YESNO) == IDYES) OnNewGame();
}

CString CPaintpot::Rules() const {
    return kRules;
}

int CPaintpot::BallsJoined(uint32_t colour) const {
    // Out from the flooded area through the balls of that colour.
    std::vector<std::pair<int, int>> todo;
    std::vector<bool> met(static_cast<size_t>(m_cols * m_rows), false);
    ForEachCell([&](int col, int row, CBol& cell) {
        if (cell.m_region == kFlooded) {
            met[static_cast<size_t>(col * m_rows + row)] = true;
            todo.push_back({col, row});
        }
    });
    int joined = 0;
    while (!todo.empty()) {
        const auto [col, row] = todo.back();
        todo.pop_back();
        for (const auto& [dc, dr] : {std::pair{0, -1}, {-1, 0}, {1, 0}, {0, 1}}) {
            const CBol* next = Cell(col + dc, row + dr);
            if (!next || next->Colour() != colour) continue;
            const auto at = static_cast<size_t>((col + dc) * m_rows + row + dr);
            if (met[at]) continue;
            met[at] = true;
            ++joined;
            todo.push_back({col + dc, row + dr});
        }
    }
    return joined;
}

std::optional<BallMove> CPaintpot::SuggestedMove() {
    const std::vector<BallMove> moves = LegalMoves();
    std::optional<BallMove> best;
    int most = 0;
    for (uint32_t colour = 1; colour <= static_cast<uint32_t>(m_colors); ++colour) {
        const int joined = BallsJoined(colour);
        if (joined <= most) continue;
        for (const BallMove& move : moves)
            if (Cell(move.col, move.row)->Colour() == colour) {
                best = move;
                most = joined;
                break;
            }
    }
    return best;
}

CGameView::HintText CPaintpot::HintWords(const BallMove& move) const {
    const CString colour = ColourName(Cell(move.col, move.row)->Colour());
    return {u"tap the " + colour + u" ball in " + PlaceWords(move.col, move.row) +
                u" to paint the area " + colour,
            u"paint the area " + colour};
}
