// What every game's view has, whether it is played with cards or balls: its
// title, its score and the clock of the game in progress, the line in the
// status bar, the hand-off of a finished game to its hi-score table, the
// "New" and "Hi scores" commands, and its window with the game's background.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window.h"

// A hint stays on the table this long unless some input comes first.
constexpr uintptr_t HINT_TIMER_ID = 1235;
constexpr uint32_t HINT_SHOWN_MS = 3000;

class CHiScoresDlg;

class CGameView : public CView {
public:
    ~CGameView() override;

    // Window set-up: the game's colour as the class background, no border,
    // a sunken edge, and double taps delivered.
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    // Names the game in the caption. A game's size handler calls this first.
    void OnSize(unsigned type, int cx, int cy) override;
    // "New" and "Hi scores"; a family adds its own commands before these.
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    virtual void OnNewGame() = 0;
    // Shows the game's hi-score table.
    void OnHiScores();
    // Deals deal number deal of this game, with the settings of the deal on
    // the table (Spider's suits, the ball board's size and colours).
    void PlayDeal(uint32_t deal);
    // "Restart deal": the deal on the table again from the start.
    void OnRestartDeal() { PlayDeal(m_deal); }
    // "Choose deal...": asks for a deal's number and deals it.
    void OnChooseDeal();
    // The name the game's statistics are kept under: the game, and the
    // settings that make it another game.
    virtual CString StatisticsName() const { return m_title; }
    void OnStatistics();
    // A game that was begun and is left unfinished (a new deal, a switch,
    // Exit) counts as lost.
    void OnDestroy() override;
    // How the game is played, in a few paragraphs; "Rules" shows them.
    virtual CString Rules() const { return {}; }
    void OnRules();
    // "Hint": the suggested move outlined on the table, in the bar and to a
    // screen reader, until the next input or HINT_SHOWN_MS; "No moves left"
    // when there is none.
    void OnHint();
    // Takes the hint off the table; any input does, before it acts.
    void HideHint();
    bool ShowsHint() const { return m_hintShown; }
    // What the hint shown outlines: the piece first, then where it goes.
    const std::vector<CRect>& HintOutlines() const { return m_hintOutlines; }
    void OnTimer(uintptr_t id) override;

    // Starts the clock at the first action of a game; later calls do nothing
    // until the next deal stops it (m_startTick = 0).
    virtual void StartClock();
    // The game's first move: it counts as played in the statistics (a
    // press that moves nothing starts the clock only). Later calls do
    // nothing until the next deal.
    void CountAsPlayed();
    // Whole seconds since the first action; 0 while the clock is stopped.
    uint32_t ElapsedSeconds() const;

    // Reading the game.
    const CString& Title() const { return m_title; }
    int32_t Score() const { return m_score; }
    uint32_t StartTick() const { return m_startTick; }
    // The number of the deal on the table (the seed it was dealt from).
    uint32_t DealNumber() const { return m_deal; }
    bool IsGameOver() const { return m_gameOver; }
    // Whether the keyboard focus is drawn: from the first key until a press.
    bool ShowsFocus() const { return m_showFocus; }
    // A view that takes the place of another (New, a game switch) goes on
    // showing the frames where that one showed them: the player is on the keys.
    void KeepFramesOf(const CView* previous);

    // The keyboard focus and what a move did, in words for a screen reader.
    virtual CString FocusText() = 0;
    const CString& LastAnnouncement() const { return m_announcement; }
    // Drops the last move's words, and tells the reader they are gone: a
    // new deal, and a dialog or the menu coming over the table, leave none
    // to be read again with the focus.
    void ForgetAnnouncement();
    // Tells the screen reader the focus's words when they are no longer
    // those it was told: after an undo, a new deal, a game switch, a move
    // by the stylus. A host calls it when the program is idle.
    void TellReaderOfChanges();

    // A stylus press hides the keyboard focus and puts back what the keys
    // picked up: a game played with the stylus looks as it always did. Once
    // the keys were used on the table, the focus goes where the press is,
    // so the next key goes on from there.
    void PreStylusDown(CPoint point) override;
    CHiScoresDlg* HiScores() const { return m_hiScores; }
    COLORREF BackgroundColour() const { return m_bkColour; }

protected:
    // A new deal with the settings of the one on the table, where OnNewGame
    // would ask for them again.
    virtual void DealAgain() { OnNewGame(); }
    // The end of a game that was begun, for its statistics: won, or over
    // (won false); LeaveGame, before a new deal, counts one left unfinished
    // as lost.
    void FinishGame(bool won, uint32_t seconds, int32_t score);
    // A game called over is finished, its score a best as a win's is.
    void LeaveGame() { FinishGame(false, 0, m_gameOver ? m_score : 0); }
    // Puts text in the frame's status bar (empty: clears it).
    void SetStatus(const CString& text);
    // Shows "Time:..  Score:.." for the game as it stands, and after it the
    // verdict on the deal when one is known.
    void ShowStatus();
    virtual CString VerdictWords() const { return CString(); }
    // Offers a finished game's result to the game's table. True when it
    // entered: the table has then asked for the name, saved and shown itself,
    // and the game says nothing more.
    bool AddHiScore(uint32_t seconds, int32_t score);

    // The keyboard focus's place on the table, and the run or ball the keys
    // picked up (an empty rectangle: nothing), as the view lies now.
    virtual CRect FocusRect() = 0;
    virtual CRect PickRect() = 0;
    // Puts back what the keys picked up.
    virtual void DropPick() = 0;
    // The focus where a new view has it: the first pile, the first ball.
    virtual void MoveFocusToStart() = 0;
    // The focus on the card or ball under point, if any.
    virtual void MoveFocusToPoint(CPoint point) = 0;
    // Whether the keys were used on this table (or the one it replaced).
    bool KeysUsed() const { return m_keysUsed; }
    // Call before and after the focus or the pick moves: repaints where the
    // frames were and where they now are, and tells the screen reader.
    void BeginFocusChange();
    void EndFocusChange();
    // After a key: the frames show from now on.
    void ShowFocus();
    // The frames over the table, drawn last.
    void DrawFocusFrames(CDC* dc);
    // How far the frames lie outside what they outline: a card game's round
    // its card, its inner ring on the card's own border line, clear of the
    // corner index; a ball game's inside its cell, as the cells touch.
    virtual int FrameOutset() const { return 0; }
    // Lays the table out as the next paint will (a frame follows its card).
    virtual void LayOutForFrames() {}
    // Tells a screen reader what a move did.
    void Announce(const CString& text);
    // The game's suggestion: its words after "Hint: ", whole for a screen
    // reader and short for the bar, and the places to outline, the piece
    // first; false when no move is left. The game keeps the move until
    // ForgetHint.
    struct HintText {
        CString said;   // "move the six of clubs onto the seven of diamonds"
        CString shown;  // "6♣ onto 7♦"
    };
    virtual bool PrepareHint(HintText* words, std::vector<CRect>* outlines) = 0;
    // Set by a PrepareHint that found the game stuck and asked its question
    // (a new game?) itself: the hint then says nothing more.
    bool m_hintAskedItself = false;
    virtual void ForgetHint() {}

    CString m_title;                     // set by the game's constructor
    CHiScoresDlg* m_hiScores = nullptr;  // the application's table for this game
    int32_t m_score = 0;
    uint32_t m_startTick = 0;  // tick of the first action; 0: the clock is not running
    uint32_t m_deal = 0;
    bool m_gameOver = false;
    COLORREF m_bkColour = RGB(0, 127, 0);  // set by the game's constructor
    CBrush m_bkBrush;
    bool m_showFocus = false;
    bool m_keysUsed = false;
    CString m_announcement;
    // While a game tries moves to see where they lead: nothing reaches the
    // bar or the screen reader.
    bool m_quiet = false;
    // While PlayDeal deals a deal by its number (Restart deal, Choose deal).
    bool m_playingNamedDeal = false;

private:
    struct Frame {
        CRect rect;
        COLORREF colour;
        bool operator==(const Frame&) const = default;
    };
    // The frames as the table lies now: the hint's outlines, the pick, the
    // focus, in the order they are drawn.
    std::vector<Frame> Frames();
    CRect Framed(CRect rect) const;
    void InvalidateFrames(const std::vector<Frame>& frames, bool erase);
    void BeforePaint() override;
    std::vector<Frame> m_framesBefore;  // where the frames lay when the change began
    std::vector<Frame> m_framesDrawn;   // by the last paint
    bool m_announcedInChange = false;  // since BeginFocusChange
    CString m_toldFocusWords;          // what the screen reader was told last
    bool m_toldAnnouncement = false;   // words, not yet told gone
    CString m_statisticsName;         // of the game begun, until it ends
    bool m_hintShown = false;
    std::vector<CRect> m_hintOutlines;
    CString m_hintText;
    CString m_statusBeforeHint;
};
