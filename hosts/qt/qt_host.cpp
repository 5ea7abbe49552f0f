#include "hosts/qt/qt_host.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <algorithm>

#include "hosts/qt/qt_convert.h"
#include "hosts/qt/qt_dialog.h"
#include "hosts/qt/qt_main_window.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace {
// The tick count a handheld shows soon after it was switched on, at least:
// never near 0, where a game reads 0 as "clock stopped".
constexpr uint64_t kMinimumStartTick = 100000;
}  // namespace

QtHost::QtHost(int& argc, char** argv) {
    if (!QApplication::instance()) m_ownApp = std::make_unique<QApplication>(argc, argv);
    Init();
}

QtHost::QtHost() {
    Init();
}

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
    SetHost(this);
}

QtHost::~QtHost() {
    m_idleTimer.stop();
    m_tickTimer.stop();
    m_window.reset();
    if (HasHost() && &GetHost() == this) SetHost(nullptr);
}

void QtHost::ShowFrame(CFrameWnd* frame) {
    m_frame = frame;
    m_window = std::make_unique<QtMainWindow>(*this, frame);
    m_window->SetZoom(m_window->DefaultZoom());
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
    DispatchPostedMessages();
    PaintInvalidWindows();
    if (m_window) {
        m_window->RefreshSoftKeys();
        m_window->UpdateView(m_drawn);
    }
    m_drawn = QRegion();
}

void QtHost::PaintBehindModal() {
    // A modal loop still paints the windows behind it, so a dialog opened
    // before the first idle step (a game picked from the command line, a
    // deal that asks first) shows over the table, not over an empty window.
    PaintInvalidWindows();
    if (m_window) m_window->UpdateView(m_drawn);
    m_drawn = QRegion();
}

bool QtHost::SendCommand(unsigned id) {
    if (!m_frame || !m_frame->QueryCommand(id).m_enabled) return false;
    m_frame->SendCommand(id);
    Idle();
    return true;
}

uint64_t QtHost::Now() {
    return m_startTick + static_cast<uint64_t>(m_clock.elapsed());
}

void QtHost::Sleep(uint32_t milliseconds) {
    QThread::msleep(milliseconds);
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
    FireDueTimers(Now());
    Idle();
    ArmTimer();
}

QWidget* QtHost::ModalParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return m_window.get();
}

int QtHost::RunModal(CDialog& dialog) {
    PaintBehindModal();
    return RunTemplateDialog(dialog, ModalParent(), m_window ? m_window->Zoom() : 1);
}

int QtHost::MessageBox(const CString& text, unsigned type) {
    PaintBehindModal();
    const bool yesNo = (type & 0xF) == MB_YESNO;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
        case 0x10:
            icon = QMessageBox::Critical;
            break;
        case 0x20:
            icon = QMessageBox::Question;
            break;
        case 0x30:
            icon = QMessageBox::Warning;
            break;
        case 0x40:
            icon = QMessageBox::Information;
            break;
    }
    const QString caption = m_frame && !m_frame->GetCaption().empty()
                                ? ToQString(m_frame->GetCaption())
                                : QStringLiteral("Parlour");
    QMessageBox box(icon, caption, ToQString(text),
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
