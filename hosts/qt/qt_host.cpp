#include "hosts/qt/qt_host.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gameview/game_view.h"
#include "hosts/qt/qt_accessible.h"
#include "hosts/qt/qt_convert.h"
#include "hosts/qt/qt_dialog.h"
#include "hosts/qt/qt_main_window.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace {
// The tick count a handheld shows soon after it was switched on, at least:
// never near 0, where a game reads 0 as "clock stopped".
constexpr uint64_t kMinimumStartTick = 100000;

// While the toolkit starts, what it says about its window system is held
// back: when it finds no display it can use it ends in a fatal error with
// advice for an installer, and the player gets one clear line instead.
struct StartingToolkit {
    QtMessageHandler previous = nullptr;
    std::string program;
    std::vector<std::pair<QtMsgType, QString>> held;
};
StartingToolkit* g_starting = nullptr;

void OnStartingMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const std::string where = display.isEmpty()
                                      ? std::string("DISPLAY is not set")
                                      : "DISPLAY is \"" + display.toStdString() + "\"";
        std::fprintf(stderr, "%s: cannot open a window: no usable display (%s)\n",
                     g_starting->program.c_str(), where.c_str());
        // Nothing has been read or changed yet; the toolkit is half made.
        std::_Exit(1);
    }
    const QString category = QString::fromLatin1(context.category ? context.category : "");
    if (category.startsWith(QLatin1String("qt.qpa")))
        g_starting->held.emplace_back(type, category + QLatin1String(": ") + text);
    else
        g_starting->previous(type, context, text);
}
}  // namespace

QtHost::QtHost(int& argc, char** argv) {
    if (!QApplication::instance()) {
        StartingToolkit starting;
        const std::string program = argc > 0 ? argv[0] : "parlour";
        starting.program = program.substr(program.find_last_of('/') + 1);
        g_starting = &starting;
        starting.previous = qInstallMessageHandler(OnStartingMessage);
        m_ownApp = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(starting.previous);
        g_starting = nullptr;
        // It started after all: what it said is said now.
        for (const auto& [type, text] : starting.held)
            starting.previous(type, QMessageLogContext(), text);
    }
    Init();
}

QtHost::QtHost() {
    Init();
}

// Keeps the stylus, the keys and the wheel from the program while a handler
// sleeps: what the player does then is dropped, not played back seconds
// later. The accelerators' shortcuts pass, for Exit.
class QtHost::InputGate : public QObject {
public:
    explicit InputGate(QtHost& host) : m_host(host) {}

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!m_host.Sleeping()) return false;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::TabletPress:
            case QEvent::TabletMove:
            case QEvent::TabletRelease:
                return true;
            case QEvent::Shortcut:
                return !qobject_cast<QShortcut*>(receiver);
            default:
                return false;
        }
    }

private:
    QtHost& m_host;
};

void QtHost::Init() {
    QApplication::setApplicationName(QStringLiteral("Parlour"));
    m_clock.start();
    // Like the handheld's tick count, the clock counts from the machine's
    // start, so each run deals differently.
    m_startTick =
        std::max<uint64_t>(static_cast<uint64_t>(m_clock.msecsSinceReference()), kMinimumStartTick);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(0);
    QObject::connect(&m_idleTimer, &QTimer::timeout, [this] { Idle(); });
    m_tickTimer.setSingleShot(true);
    m_tickTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_tickTimer, &QTimer::timeout, [this] { OnTimerDue(); });
    m_inputGate = std::make_unique<InputGate>(*this);
    QApplication::instance()->installEventFilter(m_inputGate.get());
    QAccessible::installFactory(QtViewAccessible::Factory);
    SetHost(this);
}

QtHost::~QtHost() {
    m_idleTimer.stop();
    m_tickTimer.stop();
    m_window.reset();
    if (QApplication::instance()) QApplication::instance()->removeEventFilter(m_inputGate.get());
    QAccessible::removeFactory(QtViewAccessible::Factory);
    if (HasHost() && &GetHost() == this) SetHost(nullptr);
}

void QtHost::ShowFrame(CFrameWnd* frame, QSize size, int zoom, bool maximized) {
    m_frame = frame;
    m_window = std::make_unique<QtMainWindow>(*this, frame);
    m_window->SetZoom(zoom > 0 ? std::min(zoom, m_window->MaxZoom()) : m_window->DefaultZoom());
    if (size.isValid() && !size.isEmpty()) {
        // A screen smaller than the last one still shows the whole window.
        const QScreen* screen =
            m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
        if (screen) size = size.boundedTo(screen->availableGeometry().size());
        m_window->resize(size.expandedTo(m_window->minimumSize()));
    }
    // Maximised, the window's size (and with it the zoom) is the screen's;
    // the size above is the one it goes back to.
    if (maximized)
        m_window->showMaximized();
    else
        m_window->show();
    Idle();
    ArmTimer();
}

int QtHost::Exec() {
    if (m_quitRequested) return m_exitCode;
    const int code = QApplication::exec();
    return m_quitRequested ? m_exitCode : code;
}

void QtHost::Idle() {
    // This step does what a scheduled one would: one step per event is enough.
    m_idleTimer.stop();
    if (Sleeping()) {
        // Nothing else of the program runs until the sleeping handler returns.
        m_idleHeld = true;
        return;
    }
    if (m_exitPending) {
        m_exitPending = false;
        RequestExit();
        return;
    }
    if (m_window) m_window->SyncViewSize();
    RunHandler([] { DispatchPostedMessages(); });
    PaintInvalidWindows();
    if (m_window) {
        m_window->RefreshSoftKeys();
        m_window->UpdateView(m_drawn);
    }
    m_drawn = QRegion();
    TellReader();
}

void QtHost::TellReader(bool beforeModal) {
    if (!QAccessible::isActive() || !m_frame) return;
    auto* game = dynamic_cast<CGameView*>(m_frame->GetActiveView());
    if (!game) return;
    // A modal over the table: the last move's words are not read again
    // when the focus comes back.
    if (beforeModal) game->ForgetAnnouncement();
    // The words of the last move first (none for a new view or deal), so
    // that the focus's new words are never read with an old table's.
    if (game->LastAnnouncement() != m_toldDescription) Announce(*game, game->LastAnnouncement());
    game->TellReaderOfChanges();
}

void QtHost::PaintBehindModal() {
    // At start-up (Spider's question) the window may be shown but not yet
    // placed by the window manager: a modal centred on it then would lie
    // where it is not. Its events come first, as the modal's loop would
    // take them (a second at most).
    const QWindow* shown = m_window && m_window->isVisible() ? m_window->windowHandle() : nullptr;
    QElapsedTimer waited;
    waited.start();
    while (shown && !shown->isExposed() && waited.elapsed() < 1000) {
        QTimer::singleShot(50, [] {});  // so that the wait below ends
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    // A modal loop still paints the windows behind it, so a dialog opened
    // before the first idle step (a game picked from the command line, a
    // deal that asks first) shows over the table, not over an empty window.
    PaintInvalidWindows();
    if (m_window) m_window->UpdateView(m_drawn);
    m_drawn = QRegion();
}

bool QtHost::SendCommand(unsigned id) {
    if (Sleeping()) {
        // A command now would run inside the sleeping handler: Exit waits
        // until it has been left, anything else is dropped with the input.
        if (id == ID_APP_EXIT) RequestExit();
        return false;
    }
    if (!m_frame || !m_frame->QueryCommand(id).m_enabled) return false;
    RunHandler([this, id] { m_frame->SendCommand(id); });
    Idle();
    return true;
}

uint64_t QtHost::Now() {
    return m_startTick + static_cast<uint64_t>(m_clock.elapsed());
}

namespace {
// Leaves a sleeping handler when the program is to end: its view is
// destroyed by Exit only once nothing of the handler is left to run on it.
struct LeaveHandler {};
}  // namespace

void QtHost::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const LeaveHandler&) {
        ScheduleIdle();  // where Exit is done
    }
}

void QtHost::Sleep(uint32_t milliseconds) {
    if (m_exitPending) throw LeaveHandler{};
    // The handler waits on the program's clock as it always did, while the
    // window goes on repainting and can be closed.
    const qint64 until = m_clock.elapsed() + milliseconds;
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_sleepLoop = &loop;
    for (qint64 left = milliseconds; left > 0 && !m_exitPending; left = until - m_clock.elapsed()) {
        wake.start(static_cast<int>(left));
        loop.exec();
    }
    m_sleepLoop = nullptr;
    if (m_idleHeld) ScheduleIdle();
    m_idleHeld = false;
    if (m_timersHeld) ArmTimer();
    m_timersHeld = false;
    if (m_exitPending) throw LeaveHandler{};
}

void QtHost::RequestExit() {
    if (Sleeping() || m_exitPending) {
        // Exit destroys the view, which must not happen under the handler
        // still running on it; the next idle step does it.
        m_exitPending = true;
        if (m_window) m_window->hide();
        if (m_sleepLoop) m_sleepLoop->quit();
        return;
    }
    if (!SendCommand(ID_APP_EXIT)) Quit(0);
}

void QtHost::ScheduleIdle() {
    if (!m_idleTimer.isActive()) m_idleTimer.start();
}

void QtHost::QueueChanged() {
    ScheduleIdle();
    ArmTimer();
}

void QtHost::WindowInvalidated(CWnd&) {
    ScheduleIdle();
}

void QtHost::WindowDrawn(CWnd& window, const std::vector<CRect>& region) {
    if (!m_frame || static_cast<CWnd*>(m_frame->GetActiveView()) != &window) return;
    for (const CRect& r : region) m_drawn += QRect(r.left, r.top, r.Width(), r.Height());
}

void QtHost::WindowPainted(CWnd& window) {
    // UpdateWindow: the frame must be on the screen before the program
    // sleeps towards the next one.
    if (m_window && m_frame && static_cast<CWnd*>(m_frame->GetActiveView()) == &window) {
        m_window->RepaintView(m_drawn);
        m_drawn = QRegion();
    }
}

void QtHost::FrameChanged(CFrameWnd& frame) {
    if (m_window && &frame == m_frame) m_window->RefreshFrame();
}

QWidget* QtHost::TableOf(const CWnd& window) const {
    if (!m_window || !m_frame || static_cast<CWnd*>(m_frame->GetActiveView()) != &window)
        return nullptr;
    return m_window->ViewWidget();
}

void QtHost::AccessibleFocusChanged(CWnd& window) {
    // With no screen reader listening, there is no one to tell.
    if (!QAccessible::isActive()) return;
    QWidget* table = TableOf(window);
    if (!table) return;
    QAccessibleEvent named(table, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    // The focus stays on the table as it moves from pile to pile: a reader
    // told so again reads the new words.
    if (table->hasFocus()) {
        QAccessibleEvent focus(table, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void QtHost::Announce(CWnd& window, const CString& text) {
    // The words are the view's, read as the table's description.
    if (!QAccessible::isActive()) return;
    if (QWidget* table = TableOf(window)) {
        m_toldDescription = text;
        QAccessibleEvent told(table, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&told);
    }
}

void QtHost::ArmTimer() {
    DueTimer next;
    if (!NextTimer(&next)) {
        m_tickTimer.stop();
        return;
    }
    const uint64_t now = Now();
    const uint64_t wait = next.due > now ? next.due - now : 0;
    m_tickTimer.start(static_cast<int>(std::min<uint64_t>(wait, 1u << 30)));
}

void QtHost::OnTimerDue() {
    if (Sleeping()) {
        m_timersHeld = true;
        return;
    }
    RunHandler([this] { FireDueTimers(Now()); });
    Idle();
    ArmTimer();
}

QWidget* QtHost::ModalParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return m_window.get();
}

int QtHost::RunModal(CDialog& dialog) {
    PaintBehindModal();
    TellReader(true);  // the table as the dialog leaves it, when the focus comes back
    return RunTemplateDialog(dialog, ModalParent(), m_window ? m_window->Zoom() : 1);
}

int QtHost::MessageBox(const CString& text, unsigned type) {
    PaintBehindModal();
    TellReader(true);
    const bool yesNo = (type & MB_TYPEMASK) == MB_YESNO;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            icon = QMessageBox::Critical;
            break;
        case MB_ICONQUESTION:
            icon = QMessageBox::Question;
            break;
        case MB_ICONEXCLAMATION:
            icon = QMessageBox::Warning;
            break;
        case MB_ICONASTERISK:
            icon = QMessageBox::Information;
            break;
    }
    // Titled with the program's name, as the system's boxes are, not with
    // the window's caption that the game changes.
    QMessageBox box(icon, QApplication::applicationName(), ToQString(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, ModalParent());
    box.setObjectName(QStringLiteral("messageBox"));
    if (m_window) box.setFont(ZoomedFont(box.font(), m_window->Zoom()));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    if (!yesNo) return IDOK;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? IDYES : IDNO;
}

void QtHost::Quit(int exitCode) {
    m_quitRequested = true;
    m_exitCode = exitCode;
    if (m_window) m_window->close();
    QApplication::exit(exitCode);
}
