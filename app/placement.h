// Where a secondary window appears: centred over the window that owns it.
#pragma once

#include <QWidget>

namespace tessaly {

// CentreOverOwner moves `window` so that its frame is centred on its owner's
// frame; a window without an owner stays where it is.
inline void CentreOverOwner(QWidget* window) {
  const QWidget* owner = window->parentWidget();
  if (owner == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(owner->frameGeometry().center());
  window->move(frame.topLeft());
}

}  // namespace tessaly
