// The floor for the desktop figures: a bare Qt window that takes the same
// mouse events as the program and does nothing with them, so what it costs
// is what Qt and X cost any program. bench/desktop_play.py builds and runs it.
//
//     bare_window WIDTH HEIGHT [drag]
//
// With "drag" it also paints what a drag shows, as simply as Qt can: a
// card-sized rectangle follows the pointer while the button is down, and
// each step repaints its old and its new place (the table, then the card).
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class BareWindow : public QWidget {
public:
    explicit BareWindow(bool drags) : m_drags(drags) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        for (const QRect& part : event->region()) painter.fillRect(part, Qt::darkGreen);
        if (m_held) painter.fillRect(m_card, Qt::white);
        if (!m_shown) {
            // The line desktop_play.py times start-up by, as the program's own.
            std::fputs("paint stats: first view paint\n", stderr);
            std::fflush(stderr);
            m_shown = true;
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        m_held = m_drags;
        MoveCard(event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        event->accept();
        MoveCard(event->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (!m_held) return;
        m_held = false;
        update(m_card);
    }

private:
    void MoveCard(QPoint at) {
        if (!m_held) return;
        update(m_card);
        m_card = QRect(at - QPoint(37, 20), QSize(75, 105));  // a card at zoom 3
        update(m_card);
    }

    const bool m_drags;
    bool m_held = false;
    bool m_shown = false;
    QRect m_card;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 720;
    const int height = argc > 2 ? std::atoi(argv[2]) : 882;
    BareWindow window(argc > 3 && std::strcmp(argv[3], "drag") == 0);
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(width, height);
    window.show();
    return QApplication::exec();
}
