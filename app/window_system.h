// What the program needs from the window system beyond what Qt does: to
// know before starting Qt whether a display is there, and frames that offer
// no resizing for windows of fixed size.
#pragma once

#include <string>

class QWidget;

namespace tessaly {

// DisplayProblem says why no window could be opened: a short reason such as
// "DISPLAY and WAYLAND_DISPLAY are unset", or empty when a display is there.
// On X11 it connects to the server DISPLAY names and hangs up again, so that
// a stale DISPLAY is caught here instead of aborting inside Qt. A platform
// chosen with QT_QPA_PLATFORM, and a Wayland session, are left to Qt. Call
// it before the application object exists.
std::string DisplayProblem();

// KeepFrameFixed tells the window manager that the top-level `window` has a
// fixed size: no resize function, no resize handles, no maximising. On X11
// Qt's own frame hints (_MOTIF_WM_HINTS) offer resizing to every window,
// even one whose minimum and maximum sizes agree; this takes it out and
// keeps the rest. Call it when the window is shown; elsewhere it does
// nothing.
void KeepFrameFixed(QWidget& window);

}  // namespace tessaly
