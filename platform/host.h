// What the platform asks of the program's host: the desktop window on Qt, or
// the headless driver with its virtual clock. Exactly one host is installed.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"
#include "platform/strings.h"

class CWnd;
class CDialog;
class CFrameWnd;

class Host {
public:
    virtual ~Host() = default;

    // Milliseconds since the host started its clock (never wraps).
    virtual uint64_t Now() = 0;
    // Pauses the one thread; nothing else runs meanwhile.
    virtual void Sleep(uint32_t milliseconds) = 0;

    // A message was posted or a timer set or killed: the host's loop should
    // look at the queue and the timers again.
    virtual void QueueChanged() {}
    // A window was invalidated: paint it when idle.
    virtual void WindowInvalidated(CWnd&) {}
    // The window has drawn this region of its surface (when idle or through
    // UpdateWindow): that part, and only that, is to be shown again.
    virtual void WindowDrawn(CWnd&, const std::vector<CRect>& /*region*/) {}
    // The window has painted this region and owes its pixels (see
    // PixelsOnDemand).
    virtual void WindowOwesPixels(CWnd&, const std::vector<CRect>& /*region*/) {}
    // UpdateWindow has just painted the window: show it now.
    virtual void WindowPainted(CWnd&) {}
    // The frame's caption, active view or status text changed.
    virtual void FrameChanged(CFrameWnd&) {}
    // For a screen reader: what has the keyboard focus in the window changed
    // (its words are the window's to give), or a move is to be told in words.
    virtual void AccessibleFocusChanged(CWnd&) {}
    virtual void Announce(CWnd&, const CString& /*text*/) {}

    // Whether the host's clock is its own virtual one (the driver): then
    // nothing may depend on how long the real one takes, and a view looks
    // for its searches' results only when asked to.
    virtual bool VirtualClock() const { return false; }

    // Whether a window that may owe its pixels (CWnd::MayOwePixels) paints
    // them only when they are asked for: its paints then do to it all that
    // painting does but draw, and PaintOwedPixels draws it as it now stands.
    // The driver draws pixels only for its pictures.
    virtual bool PixelsOnDemand() const { return false; }

    // Runs a dialog modally; returns the code it was ended with.
    virtual int RunModal(CDialog& dialog) = 0;
    // Shows a message box modally; returns IDOK, IDYES or IDNO.
    virtual int MessageBox(const CString& text, unsigned type) = 0;

    // The program asked to end (the main window closed).
    virtual void Quit(int exitCode) = 0;
};

void SetHost(Host* host);
Host& GetHost();
bool HasHost();

uint32_t GetTickCount();
void Sleep(uint32_t milliseconds);
