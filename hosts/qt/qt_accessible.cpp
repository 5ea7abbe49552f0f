#include "hosts/qt/qt_accessible.h"

#include "gameview/game_view.h"
#include "hosts/qt/qt_convert.h"
#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_main_window.h"

QtViewAccessible::QtViewAccessible(QtViewWidget* widget)
    : QAccessibleWidget(widget, QAccessible::Canvas) {}

QtViewWidget* QtViewAccessible::View() const {
    return static_cast<QtViewWidget*>(widget());
}

QString QtViewAccessible::text(QAccessible::Text kind) const {
    auto* game = dynamic_cast<CGameView*>(View()->LiveView());
    if (!game) return QAccessibleWidget::text(kind);
    switch (kind) {
        case QAccessible::Name:
            if (!View()->Host().Sleeping()) m_focusWords = ToQString(game->FocusText());
            return m_focusWords;
        case QAccessible::Description:
            return ToQString(game->LastAnnouncement());
        default:
            return QAccessibleWidget::text(kind);
    }
}

QAccessibleInterface* QtViewAccessible::Factory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<QtViewWidget*>(object)) return new QtViewAccessible(view);
    // The program's window is a plain widget, which a reader would take for
    // a filler: it is the application's frame.
    if (auto* window = qobject_cast<QtMainWindow*>(object))
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}
