#include "hosts/qt/paint_stats.h"

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

int g_quitPipe[2] = {-1, -1};

// SIGUSR1 writes the totals so far; SIGTERM ends the run as Exit does, so
// the totals are still written. Both wake the event loop through a pipe.
void OnSignal(int signal) {
    const char byte = signal == SIGTERM ? 'q' : 'r';
    [[maybe_unused]] const ssize_t written = write(g_quitPipe[1], &byte, 1);
}

struct Tally {
    long long paints = 0;
    long long pixels = 0;
};

class PaintStats : public QObject {
public:
    using QObject::QObject;
    ~PaintStats() override { Report(); }

    void Report() const {
        const Tally total{view.paints + status.paints + other.paints,
                          view.pixels + status.pixels + other.pixels};
        std::fprintf(stderr,
                     "paint stats: input events %lld; view %lld paints, %lld px; status %lld "
                     "paints, %lld px; other %lld paints, %lld px; total %lld paints, %lld px; "
                     "%.0f px per input event\n",
                     input, view.paints, view.pixels, status.paints, status.pixels, other.paints,
                     other.pixels, total.paints, total.pixels,
                     input ? double(total.pixels) / double(input) : 0.0);
        std::fflush(stderr);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        switch (event->type()) {
            case QEvent::Paint: {
                long long area = 0;
                for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                    area += static_cast<long long>(r.width()) * r.height();
                const qreal ratio = widget->devicePixelRatioF();
                area = static_cast<long long>(double(area) * ratio * ratio);
                const QString name = widget->objectName();
                Tally& tally = name == QLatin1String("view")     ? view
                               : name == QLatin1String("status") ? status
                                                                 : other;
                ++tally.paints;
                tally.pixels += area;
                if (&tally == &view && !announced) {
                    announced = true;
                    std::fprintf(stderr, "paint stats: first view paint\n");
                    std::fflush(stderr);
                }
                break;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
                if (widget->objectName() == QLatin1String("view")) ++input;
                break;
            default:
                break;
        }
        return false;
    }

private:
    Tally view, status, other;
    long long input = 0;
    bool announced = false;
};

}  // namespace

void InstallPaintStatsIfAsked() {
    if (!std::getenv("PARLOUR_PAINT_STATS") || !qApp) return;
    auto* stats = new PaintStats(qApp);
    qApp->installEventFilter(stats);
    if (pipe(g_quitPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_quitPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [stats] {
        char byte = 0;
        if (read(g_quitPipe[0], &byte, 1) != 1) return;
        if (byte == 'q')
            QApplication::exit(0);
        else
            stats->Report();
    });
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGUSR1, OnSignal);
}
