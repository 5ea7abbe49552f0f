// Repaint figures for measuring the desktop program: with PARLOUR_PAINT_STATS
// set, every widget's paint events are counted with the pixels they cover, and
// the totals are written to standard error at exit. The first paint of the
// view is announced as it happens, so a launcher can time the start-up.
// SIGUSR1 writes the totals so far; SIGTERM ends the run as Exit does.
#pragma once

// Installs the counter when PARLOUR_PAINT_STATS is set; call once the
// application object exists.
void InstallPaintStatsIfAsked();
