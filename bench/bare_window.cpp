// The floor for the desktop figures: a bare Qt window that takes the same
// mouse events as the program and does nothing with them, so what it costs
// is what Qt and X cost any program. bench/desktop_play.py builds and runs it.
//
//     bare_window WIDTH HEIGHT
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class BareWindow : public QWidget {
public:
    BareWindow() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::darkGreen);
        if (!m_shown) {
            // The line desktop_play.py times start-up by, as the program's own.
            std::fputs("paint stats: first view paint\n", stderr);
            std::fflush(stderr);
            m_shown = true;
        }
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

private:
    bool m_shown = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 720;
    const int height = argc > 2 ? std::atoi(argv[2]) : 882;
    BareWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(width, height);
    window.show();
    return QApplication::exec();
}
