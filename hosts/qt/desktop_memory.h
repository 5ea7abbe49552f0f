// What the desktop program keeps of a run for the next: the game on view,
// the zoom, the window's size and whether it was maximised.
#pragma once

#include "app/desktop_settings.h"

class CMainFrame;
class QtMainWindow;

DesktopSettings RememberedDesktop(const CMainFrame& frame, const QtMainWindow& window);
