// What the program needs from the window system beyond what Qt does:
// frames that offer no resizing for windows of fixed size.
#pragma once

class QWidget;

namespace tessaly {

// KeepFrameFixed tells the window manager that the top-level `window` has a
// fixed size: no resize function, no resize handles, no maximising. On X11
// Qt's own frame hints (_MOTIF_WM_HINTS) offer resizing to every window,
// even one whose minimum and maximum sizes agree; this takes it out and
// keeps the rest. Call it when the window is shown; elsewhere it does
// nothing.
void KeepFrameFixed(QWidget& window);

}  // namespace tessaly
