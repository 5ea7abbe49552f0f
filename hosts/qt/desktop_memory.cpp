#include "hosts/qt/desktop_memory.h"

#include "app/main_frame.h"
#include "cards/cardgame.h"
#include "hosts/qt/qt_main_window.h"

DesktopSettings RememberedDesktop(const CMainFrame& frame, const QtMainWindow& window) {
    // A maximised window comes back at the size it had before.
    const bool maximized = window.isMaximized() || window.isFullScreen();
    const QSize size = maximized ? window.normalGeometry().size() : window.size();
    DesktopSettings kept{frame.m_currentGame, window.Zoom(), size.width(), size.height(),
                         maximized};
    kept.winnableDeals = CCardgame::s_winnableDeals;
    return kept;
}
