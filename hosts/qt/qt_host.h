// The desktop host: one Qt window showing the frame's view, its soft keys and
// its menu; real time, real timers, dialogs built from the templates.
#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QSize>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/host.h"

class QApplication;
class QEventLoop;
class QWidget;
class CFrameWnd;
class QtMainWindow;

class QtHost : public Host {
public:
    // Creates the QApplication unless one exists already (tests make their own).
    QtHost(int& argc, char** argv);
    // Uses the QApplication that exists.
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    // Opens the one main window on frame, at the zoom that fits the screen;
    // or at the size given (within the screen, the zoom following from it),
    // else at the zoom given (at most the one that fits). The frame (and its
    // view) stays the caller's; it must outlive Exec().
    void ShowFrame(CFrameWnd* frame, QSize size = QSize(), int zoom = 0, bool maximized = false);
    // Runs the event loop until Quit; returns the exit code.
    int Exec();

    CFrameWnd* Frame() const { return m_frame; }
    QtMainWindow* Window() const { return m_window.get(); }

    // Runs what an idle message loop runs: posted messages, then painting,
    // then shows the view's surface.
    void Idle();
    // Sends a command as the menu, a soft key or an accelerator does:
    // only when the command route enables it; then the idle step. Returns
    // whether it was sent.
    bool SendCommand(unsigned id);

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

    bool QuitRequested() const { return m_quitRequested; }
    int ExitCode() const { return m_exitCode; }
    // Inside Sleep: a handler of the program is waiting half way.
    bool Sleeping() const { return m_sleepLoop != nullptr; }
    // Ends the program as Exit does, or, while a handler is sleeping, as
    // soon as it has been left: the window goes at once.
    void RequestExit();
    // Runs a handler of the program. When Exit is asked for while it sleeps,
    // the rest of it is left undone: the program is ending.
    void RunHandler(const std::function<void()>& handler);

private:
    class InputGate;
    void Init();
    void ScheduleIdle();
    void PaintBehindModal();
    void ArmTimer();
    void OnTimerDue();
    // The table widget while window is the view it shows, else null.
    QWidget* TableOf(const CWnd& window) const;
    // The window a modal box should sit over: the open dialog, else the main window.
    QWidget* ModalParent() const;

    std::unique_ptr<QApplication> m_ownApp;
    QElapsedTimer m_clock;
    uint64_t m_startTick = 0;
    QTimer m_idleTimer;
    QTimer m_tickTimer;
    CFrameWnd* m_frame = nullptr;
    std::unique_ptr<QtMainWindow> m_window;
    // What the active view has drawn and the screen does not show yet, in
    // view pixels.
    QRegion m_drawn;
    bool m_quitRequested = false;
    int m_exitCode = 0;
    // While a handler sleeps, the event loop runs for the window's sake
    // only: input is dropped, and the idle step and the timers wait.
    QEventLoop* m_sleepLoop = nullptr;
    std::unique_ptr<InputGate> m_inputGate;
    bool m_idleHeld = false;
    bool m_timersHeld = false;
    bool m_exitPending = false;
    CString m_toldDescription;  // the table's, as a screen reader was last told
    // Tells a listening screen reader what changed on the table since it
    // was last told: the last move's words, the focus's.
    // beforeModal: a dialog or message box is about to take the focus.
    void TellReader(bool beforeModal = false);
};
