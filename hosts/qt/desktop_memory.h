// What the desktop program keeps of a run for the next: the game on view,
// the zoom, the window's size, whether it was maximised and whether New
// deals only winnable deals.
#pragma once

#include "app/desktop_settings.h"

class CMainFrame;
class QtMainWindow;

DesktopSettings RememberedDesktop(const CMainFrame& frame, const QtMainWindow& window);
