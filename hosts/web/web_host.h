// The browser host: the program compiled to WebAssembly, its window a canvas
// and HTML around it. A handler that sleeps or runs a modal is suspended
// with Asyncify while the page goes on; the page holds back input meanwhile.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/host.h"

class CFrameWnd;
class CDialog;

class WebHost : public Host {
public:
    // A fixed clock starts at tick and moves only as the program sleeps, as
    // the driver's does, so a page and a script deal and draw alike.
    WebHost(bool fixedClock, uint64_t tick);
    ~WebHost() override;
    WebHost(const WebHost&) = delete;
    WebHost& operator=(const WebHost&) = delete;

    // Shows the frame with a client area of width x height view pixels.
    void ShowFrame(CFrameWnd* frame, int width, int height);
    CFrameWnd* Frame() const { return m_frame; }

    // What an idle message loop runs: posted messages, painting, then the
    // drawn part of the view goes to the canvas and the bar is brought up
    // to date.
    void Idle();
    // The timers that fell due.
    void TimersDue();
    // The view's client area, in view pixels.
    void Resize(int width, int height);
    // As the menu, a soft key or an accelerator sends it: only when enabled.
    bool SendCommand(unsigned id);
    // Tells the page when the next timer falls due.
    void ArmTimer();
    // Tells the page when Scores.dat or Statistics.dat has been saved anew,
    // to keep its bytes.
    void WatchKeptFiles();
    // The player loaded a hi-score file, written at loaded: it takes the
    // place of Scores.dat when it is one, else the player is told so.
    void ScoresLoaded(const std::string& loaded);

    // Host
    uint64_t Now() override;
    void Sleep(uint32_t milliseconds) override;
    void QueueChanged() override;
    void WindowInvalidated(CWnd& window) override;
    void WindowDrawn(CWnd& window, const std::vector<CRect>& region) override;
    void WindowPainted(CWnd& window) override;
    void FrameChanged(CFrameWnd& frame) override;
    void AccessibleFocusChanged(CWnd& window) override;
    void Announce(CWnd& window, const CString& text) override;
    int RunModal(CDialog& dialog) override;
    int MessageBox(const CString& text, unsigned type) override;
    void Quit(int exitCode) override;

    bool QuitRequested() const { return m_quit; }

private:
    void Present(bool whole);
    void RefreshBar();
    // The table as it now stands, drawn and given to the page with the bar.
    void ShowTable();
    // Takes the page's new size under an open dialog or message box.
    void FollowPageSize();

    bool m_fixedClock;
    uint64_t m_start;
    uint64_t m_fixedNow;
    CFrameWnd* m_frame = nullptr;
    const CWnd* m_shownView = nullptr;
    // The part of the view drawn since the canvas was last given it.
    CRect m_drawn;
    std::vector<uint32_t> m_rgba;
    // What was last told to the page, to tell it only what changed.
    std::string m_status, m_caption, m_softKeys, m_game;
    bool m_winnable = false;
    // The words of a move the page's reader was last told.
    CString m_toldWords;
    // The kept files as last seen, by inode, size and time, by path.
    std::map<std::string, std::string> m_keptStamps;
    bool m_quit = false;
};

// The page's description of the menu, the soft keys and the accelerators.
std::string MenuJson(CFrameWnd& frame);
std::string SoftKeysJson(CFrameWnd& frame);
std::string AcceleratorsJson();
std::string DialogJson(CDialog& dialog);
// What a dialog or a message box answers when the window changed size under
// it: no button was pressed, and it is shown again laid out anew.
constexpr unsigned kWindowResized = 0;
// Applies the page's answer to an open dialog: its controls' new contents;
// returns the button pressed, or kWindowResized.
unsigned ApplyDialogAnswer(CDialog& dialog, const std::string& answer);
