// The ball board both ball games are played on: up to 16 x 16 cells, each
// with a ball of up to nine colours or nothing, painted from one strip of
// ball tiles, with ball animations that run frame by frame while the program
// waits, the numbering of same-colour groups, and the "Bol setup" dialog.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "gameview/game_view.h"

// The colour word of a cell: the colour index (0 empty, 1.. a ball, which
// is also its tile in the strip) and at most one motion bit.
enum : uint32_t {
    BOL_FROM_ABOVE = 0x100,
    BOL_FROM_LEFT = 0x200,
    BOL_FROM_RIGHT = 0x400,
    BOL_FROM_BELOW = 0x800,
    BOL_VANISHING = 0x1000,
    BOL_MOTION_MASK = 0x1F00,
};

constexpr int BOL_MAX_COLS = 16;
constexpr int BOL_MAX_ROWS = 16;
constexpr int BOL_ANIMATION_FRAMES = 10;

// One move of a ball game: Gemfield's swap of the ball at (col, row) with
// its neighbour at (toCol, toRow); Paintpot's tap on (col, row), to = -1.
struct BallMove {
    int32_t col = 0;
    int32_t row = 0;
    int32_t toCol = -1;
    int32_t toRow = -1;
    friend bool operator==(const BallMove&, const BallMove&) = default;
};

// A cell of the board by its column and row.
struct BallPlace {
    int32_t col = 0;
    int32_t row = 0;
    friend bool operator==(const BallPlace&, const BallPlace&) = default;
};

// One cell of the board.
class CBol {
public:
    // A new cell takes a random ball of one of colors colours at once.
    explicit CBol(int colors);
    virtual ~CBol() = default;

    uint32_t Colour() const { return m_color & ~BOL_MOTION_MASK; }
    uint32_t Motion() const { return m_color & BOL_MOTION_MASK; }

    CRect m_rect{0, 0, 10, 10};  // where it was painted last
    uint32_t m_color = 0;        // the colour word
    int32_t m_region = 0;        // its group's number from LabelRegions, 0 for none
    int32_t m_step = 0;          // animation step: 0 at rest, 1..10 moving
};

class CBolGame : public CGameView {
public:
    CBolGame();
    ~CBolGame() override;

    void OnSize(unsigned type, int cx, int cy) override;
    // Every cell that meets the clip box, then the ball being dragged.
    void OnDraw(CDC* dc) override;
    // Moves the dragged ball: both its old and its new place are repainted.
    void OnMouseMove(unsigned flags, CPoint point) override;

    // The moves that change the board now (Gemfield: the swaps that make a
    // run; Paintpot: the taps that flood), and a move made as the stylus
    // makes it, animations and all; false, with nothing changed, for a move
    // the stylus could not make.
    virtual std::vector<BallMove> LegalMoves() = 0;
    virtual bool DoMove(const BallMove& move) = 0;
    // The move a hint suggests now, and its words; none when no move is left.
    virtual std::optional<BallMove> SuggestedMove() = 0;
    virtual HintText HintWords(const BallMove& move) const = 0;
    // The hint on the board.
    const std::optional<BallMove>& Hint() const { return m_hint; }
    // Whether the board in play was dealt with nothing to do on it.
    virtual bool DealtStuck() = 0;
    // After a deal: a board dealt stuck is called over at once, and Yes
    // deals another.
    void CallIfDealtStuck();
    // "Row 5, column 2" for a cell.
    static CString PlaceWords(int col, int row);

    // The keys: Tab and Shift+Tab go through the cells column by column,
    // the arrows to the next cell that way; Return and Space are the game's.
    void OnKeyDown(unsigned key, unsigned flags) override;
    BallPlace Focus();  // kept on the board in play
    // Gemfield's ball picked up by the keys.
    const std::optional<BallPlace>& Picked() const { return m_pick; }
    CString FocusText() override;
    // "red", "green", ... for a colour index 1..9.
    static CString ColourName(uint32_t colour);
    // "the red ball": the ball picked up.
    CString PickedWords() const;
    // "the red ball", or "the ball" where there is none.
    static CString BallNamed(const CBol* ball);

    // Each board size and colour count keeps its own figures.
    CString StatisticsName() const override;
    // "Bol settings", then the commands of every game.
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    // The size-and-colours dialog; OK starts a new game with its values.
    void OnBolSettings();

    // The common new game: a fresh random board, score 0, clock stopped.
    void NewBoard();
    // A random ball of the colours in play; any motion goes.
    void RandomColour(CBol& cell) const;

    // Numbers every 4-connected group of two or more cells with one colour
    // word 1, 2, ... in the column-major order of their first cells; single
    // and empty cells get 0.
    void LabelRegions();
    bool HasNeighbourColour(int col, int row, uint32_t word) const;
    bool HasNeighbourRegion(int col, int row, int32_t label) const;

    // Plays frames steps of the cells that carry a motion bit, each shown at
    // once and held delayMs, then the rest frame, which settles them. The
    // program does nothing else meanwhile.
    void Animate(int frames, uint32_t delayMs, bool erase);
    void SetAnimationStep(int step, bool erase);

    // The cell at (col, row) of the board in play; null outside it and for a
    // cell not made yet (before the first new game has covered it).
    CBol* Cell(int col, int row) const;
    CRect CellRect(int col, int row) const;
    // Calls f(col, row, cell) for every cell of the board in play, column by
    // column, skipping cells not made yet.
    template <class F>
    void ForEachCell(F&& f) const {
        for (int col = 0; col < m_cols; ++col)
            for (int row = 0; row < m_rows; ++row)
                if (CBol* cell = Cell(col, row)) f(col, row, *cell);
    }

    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }
    int Colors() const { return m_colors; }
    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    bool IsDragging() const { return m_dragging != 0; }

protected:
    // Return or Space on the focused cell, with an arrow while a ball is
    // picked up: the game's.
    virtual void PressFocused() = 0;
    virtual void ArrowWithPick(int, int) {}
    CRect FocusRect() override;
    CRect PickRect() override;
    void DropPick() override { m_pick.reset(); }
    void MoveFocusToStart() override { m_focus = {}; }
    void MoveFocusToPoint(CPoint point) override;
    // The cell under point, column by column; false when none.
    bool CellAt(CPoint point, int* col, int* row) const;
    bool PrepareHint(HintText* words, std::vector<CRect>* outlines) override;
    void ForgetHint() override { m_hint.reset(); }
    std::optional<BallMove> m_hint;
    // Whether (col, row) and (toCol, toRow) are cells side by side.
    bool AreNeighbours(const BallMove& move) const;

    BallPlace m_focus;
    std::optional<BallPlace> m_pick;

    void DrawBol(CDC* dc, CDC* strip, const CBol& cell) const;
    void DrawDraggedBol(CDC* dc, CDC* strip) const;
    void ComputeCellSize();
    // Where the dragged ball is drawn at the current offset: where it was
    // lifted plus the stylus's way since the press, at its cell's size, so it
    // stays in the stylus whatever a new layout (a window sized anew) did.
    CRect DraggedRect() const;
    // Ends a drag with the ball back in its cell; nothing is swapped.
    void PutBackDragged();

    std::array<std::array<std::unique_ptr<CBol>, BOL_MAX_ROWS>, BOL_MAX_COLS>
        m_cells;  // [col][row]
    int m_colors = 8;
    int m_cols = 7;
    int m_rows = 8;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_animStep = 0;
    int32_t m_dragging = 0;
    int m_dragCol = 0;
    int m_dragRow = 0;
    CPoint m_pressPoint;
    CPoint m_liftedAt;  // the dragged ball's cell's top left at the press
    CPoint m_dragOffset;
    CRect m_dragRect;
};
